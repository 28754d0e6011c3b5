#include "core/rates/rates_print.h"

#include <algorithm>
#include <cmath>

#include "core/analysis/summary_counts.h"
#include "core/output/recording_surface.h"
#include "core/output/surface.h"
#include "core/output/table_print.h"
#include "core/platform/print_progress.h"

namespace orvanta {
namespace {

constexpr double kLine = 100;
constexpr double kPageLeft = 60;
constexpr double kPageRight = kTableScaleWidth - 60;
constexpr double kPageBottom = kTableScaleHeight - 100;
constexpr double kTextPoints = 8;
constexpr double kTitlePoints = 11;
constexpr double kCellPad = 20;
constexpr double kMinLabelWidth = 400;
constexpr double kMaxLabelWidth = 1100;
constexpr double kMinColumnWidth = 260;
constexpr int kThinDots = 1;
constexpr int kFrameDots = 4;

QString KindText(YearKind kind) {
  return kind == YearKind::Fiscal ? QStringLiteral("年度（4月～3月）") : QStringLiteral("暦年（1月～12月）");
}

// Pieces of a text that each fit the width on the surface.
QStringList Wrapped(const Surface& s, const QString& text, double width) {
  QStringList pieces;
  QString piece;
  for (const QChar c : text) {
    if (!piece.isEmpty() && s.TextWidth(piece + c) > width) {
      pieces << piece;
      piece.clear();
    }
    piece += c;
  }
  if (!piece.isEmpty() || pieces.isEmpty()) pieces << piece;
  return pieces;
}

// Lays the pages out, and draws them when drawing is on (otherwise it only
// counts them), measuring every text on the surface it has.
class RatesPrinter {
 public:
  RatesPrinter(Surface& surface, bool drawing, PrintProgress* progress, const RatesPrintHeading& heading, int pages)
      : s_(surface), drawing_(drawing), progress_(progress), heading_(heading), pageCount_(pages) {}

  int pages() const { return pagesDone_; }

  bool Tables(const RatesTablesPrint& print) {
    Setup();
    for (std::size_t t = 0; t < print.tables.size(); ++t) {
      if (t > 0 && !NextPage()) return false;
      if (!Table(print.tables[t])) return false;
    }
    if (print.tables.empty()) StartPage();
    return FinishPage();
  }

  bool Trend(const RatesTrendPrint& print) {
    Setup();
    StartPage();
    TrendStyle style;
    style.lineHeight = kLine;
    // 1.5 mm square points, lines a third of a millimetre wide.
    style.pointWidth = 1.5 * kTableScaleWidth / 277;
    style.pointHeight = 1.5 * kTableScaleHeight / 190;
    style.lineDots = 8;
    if (drawing_)
      DrawTrendGraph(s_, print.graph, QRectF(QPointF(kPageLeft, y_ + kLine), QPointF(kPageRight, kPageBottom)), style);
    return FinishPage();
  }

 private:
  void Setup() {
    s_.SetScale(0, 0, kTableScaleWidth, kTableScaleHeight);
    s_.SetFontSize(kTextPoints);
    s_.SetForeColor(0);
    s_.SetLineWidth(kThinDots);
    s_.SetLineStyle(LineStyle::Solid);
  }

  void Text(double x, double y, const QString& text) {
    if (!drawing_ || text.isEmpty()) return;
    s_.SetPosition(x, y);
    s_.PrintText(text);
  }

  // The heading of a page; y_ is then where the page's content starts.
  void StartPage() {
    ++page_;
    s_.SetFontSize(kTitlePoints);
    Text(kPageLeft, 40, heading_.title);
    s_.SetFontSize(kTextPoints);
    const QString number =
        pageCount_ > 0 ? QStringLiteral("%1 / %2").arg(page_).arg(pageCount_) : QString::number(page_);
    Text(kPageRight - s_.TextWidth(number), 60, number);
    Text(kPageLeft, 230,
         QStringLiteral("計算期間: ") + heading_.period + QStringLiteral("　　年の区切り: ") + KindText(heading_.kind));
    y_ = 330;
    for (const QString& piece :
         Wrapped(s_, QStringLiteral("抽出条件: ") + heading_.conditions, kPageRight - kPageLeft)) {
      Text(kPageLeft, y_, piece);
      y_ += kLine;
    }
    y_ += kLine / 2;
  }

  bool FinishPage() {
    ++pagesDone_;
    if (!drawing_ || !progress_) return true;
    return PageFinished(s_, *progress_, pagesDone_);
  }

  bool NextPage() {
    if (!FinishPage()) return false;
    if (drawing_) s_.NewPage();
    StartPage();
    return true;
  }

  struct Block {
    int first = 1;  // first data column
    int count = 0;
  };

  bool Table(const PrintedTable& table) {
    if (page_ == 0) StartPage();
    const TextTable& cells = table.cells;
    const int columns = cells.empty() ? 0 : static_cast<int>(cells.front().size());
    // Widths: the label column as its longest text (within bounds), each
    // other column as its longest text.
    double labelWidth = kMinLabelWidth;
    std::vector<double> widths(static_cast<std::size_t>(std::max(columns, 1)), kMinColumnWidth);
    for (std::size_t r = 0; r < cells.size(); ++r) {
      for (int c = 0; c < cells[r].size() && c < columns; ++c) {
        const double w = s_.TextWidth(cells[r][c]) + 2 * kCellPad;
        // A year over a group of columns may run across them.
        if (c > 0 && static_cast<int>(r) == 0 && table.headingRows > 1) continue;
        if (c == 0) {
          labelWidth = std::max(labelWidth, std::min(w, kMaxLabelWidth));
        } else {
          widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], w);
        }
      }
    }
    // The data columns in blocks of whole groups that fit beside the labels.
    std::vector<Block> blocks;
    const int group = std::max(table.columnGroup, 1);
    for (int c = 1; c < columns;) {
      Block b{c, 0};
      double used = kPageLeft + labelWidth;
      while (c < columns) {
        double groupWidth = 0;
        const int n = std::min(group, columns - c);
        for (int k = 0; k < n; ++k) groupWidth += widths[static_cast<std::size_t>(c + k)];
        if (b.count > 0 && used + groupWidth > kPageRight) break;
        used += groupWidth;
        b.count += n;
        c += n;
      }
      blocks.push_back(b);
    }
    if (blocks.empty()) blocks.push_back(Block{1, 0});

    for (std::size_t b = 0; b < blocks.size(); ++b) {
      if (b > 0 && !NextPage()) return false;
      if (!TableBlock(table, blocks[b], labelWidth, widths, b > 0)) return false;
    }
    for (const QString& piece : Wrapped(s_, table.note, kPageRight - kPageLeft)) {
      if (piece.isEmpty()) continue;
      if (y_ + kLine > kPageBottom && !NextPage()) return false;
      Text(kPageLeft, y_, piece);
      y_ += kLine;
    }
    return true;
  }

  // The caption and the heading rows of a block, from y_ on.
  void Headings(const PrintedTable& table, const Block& block, double labelWidth, const std::vector<double>& widths,
                bool continued) {
    const QStringList caption =
        Wrapped(s_, table.caption + (continued ? QStringLiteral("（続き）") : QString()), kPageRight - kPageLeft);
    for (const QString& piece : caption) {
      Text(kPageLeft, y_, piece);
      y_ += kLine;
    }
    y_ += kLine * 0.2;
    frameTop_ = y_;
    for (int r = 0; r < table.headingRows && r < static_cast<int>(table.cells.size()); ++r) {
      const QStringList& row = table.cells[static_cast<std::size_t>(r)];
      Text(kPageLeft + kCellPad, y_ + 15, row.value(0));
      double x = kPageLeft + labelWidth;
      for (int c = block.first; c < block.first + block.count; ++c) {
        const double w = widths[static_cast<std::size_t>(c)];
        const QString text = row.value(c);
        // The upper heading row starts at its column; the others end at it.
        if (r + 1 < table.headingRows) {
          Text(x + kCellPad, y_ + 15, text);
        } else {
          Text(x + w - kCellPad - s_.TextWidth(text), y_ + 15, text);
        }
        x += w;
      }
      y_ += kLine;
    }
    Rule(y_);
  }

  void Rule(double y) {
    if (drawing_) s_.DrawLine(kPageLeft, y, right_, y);
  }

  // The column rules and the frame of the part of a table on this page.
  void Frame(double labelWidth, const Block& block, const std::vector<double>& widths) {
    if (!drawing_ || y_ <= frameTop_) return;
    double x = kPageLeft + labelWidth;
    for (int c = block.first; c < block.first + block.count; ++c) {
      s_.DrawLine(x, frameTop_, x, y_);
      x += widths[static_cast<std::size_t>(c)];
    }
    s_.SetLineWidth(kFrameDots);
    s_.DrawBox(kPageLeft, frameTop_, right_, y_);
    s_.SetLineWidth(kThinDots);
  }

  bool TableBlock(const PrintedTable& table, const Block& block, double labelWidth, const std::vector<double>& widths,
                  bool continued) {
    right_ = kPageLeft + labelWidth;
    for (int c = block.first; c < block.first + block.count; ++c) right_ += widths[static_cast<std::size_t>(c)];
    const double headingHeight = kLine * (2.2 + table.headingRows);
    if (y_ + headingHeight + kLine > kPageBottom && !NextPage()) return false;
    Headings(table, block, labelWidth, widths, continued);
    for (std::size_t r = static_cast<std::size_t>(table.headingRows); r < table.cells.size(); ++r) {
      const QStringList& row = table.cells[r];
      const QStringList label = Wrapped(s_, row.value(0), labelWidth - 2 * kCellPad);
      const double height = kLine * static_cast<double>(label.size());
      if (y_ + height > kPageBottom) {
        Frame(labelWidth, block, widths);
        if (!NextPage()) return false;
        Headings(table, block, labelWidth, widths, true);
      }
      for (qsizetype i = 0; i < label.size(); ++i)
        Text(kPageLeft + kCellPad, y_ + 15 + kLine * static_cast<double>(i), label[i]);
      double x = kPageLeft + labelWidth;
      for (int c = block.first; c < block.first + block.count; ++c) {
        const double w = widths[static_cast<std::size_t>(c)];
        const QString text = row.value(c);
        Text(x + w - kCellPad - s_.TextWidth(text), y_ + 15 + height - kLine, text);
        x += w;
      }
      y_ += height;
      Rule(y_);
    }
    Frame(labelWidth, block, widths);
    y_ += kLine / 2;
    return true;
  }

  Surface& s_;
  bool drawing_;
  PrintProgress* progress_;
  const RatesPrintHeading& heading_;
  int pageCount_;
  int page_ = 0;
  int pagesDone_ = 0;
  double y_ = 0;
  double frameTop_ = 0;
  double right_ = kPageRight;
};

}  // namespace

QString FilterConditionsText(const AxisFilter& filter, const std::array<QString, kAxisCount>& selectedTexts) {
  SummaryResult described;
  described.filter = filter;
  described.selectedTexts = selectedTexts;
  for (int k = 0; k < kAxisCount; ++k)
    described.captions[static_cast<std::size_t>(k)] = AxisCaption(AxisAt(k), CaptionDot::FullWidth);
  return described.conditionsText();
}

bool DrawRatesTables(Surface& surface, const RatesTablesPrint& print, PrintProgress& progress) {
  RatesPrinter counter(surface, false, nullptr, print.heading, 0);
  counter.Tables(print);
  progress.setPageCount(counter.pages());
  return RatesPrinter(surface, true, &progress, print.heading, counter.pages()).Tables(print);
}

bool DrawRatesTrend(Surface& surface, const RatesTrendPrint& print, PrintProgress& progress) {
  progress.setPageCount(1);
  return RatesPrinter(surface, true, &progress, print.heading, 1).Trend(print);
}

int RatesTablesPageCount(const RatesTablesPrint& print) {
  RecordingSurface surface;
  RatesPrinter counter(surface, false, nullptr, print.heading, 0);
  counter.Tables(print);
  return counter.pages();
}

PrintResult PrintRatesTables(Prompts& prompts, const RatesTablesPrint& print) {
  return RunPrint(
      prompts,
      PrintSetup{.landscape = true, .orientationMessage = kLandscapeMessage, .what = QStringLiteral("発生率の表")},
      [&print](Surface& surface, PrintProgress& progress) { return DrawRatesTables(surface, print, progress); });
}

PrintResult PrintRatesTrend(Prompts& prompts, const RatesTrendPrint& print) {
  return RunPrint(
      prompts,
      PrintSetup{.landscape = true, .orientationMessage = kLandscapeMessage, .what = QStringLiteral("発生率の推移")},
      [&print](Surface& surface, PrintProgress& progress) { return DrawRatesTrend(surface, print, progress); });
}

}  // namespace orvanta
