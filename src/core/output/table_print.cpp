#include "core/output/table_print.h"

#include <algorithm>

#include "core/analysis/result_grid_model.h"
#include "core/output/surface.h"
#include "core/platform/print_progress.h"

namespace orvanta {
namespace {

constexpr double kLineHeight = 100;
// Line L of the table has its top at T + 200 + 100 L, T being where the
// page's table starts.
constexpr double kFirstLineTop = 200;
// The last line a row may use on a page whose table starts at T = 0; a page
// whose table starts lower holds as many lines fewer.
constexpr int kLastLine = 37;
constexpr double kRuleBelowLineTop = 80;
constexpr double kTableLeft = 30;
constexpr double kTableRight = 3400;
constexpr double kLabelX = 40;
constexpr double kColumnsLeft = 380;
constexpr double kColumnWidth = 300;
constexpr double kCellX = 400;
constexpr int kBlockColumns = 10;
constexpr double kTextPoints = 8;
constexpr double kPeriodPoints = 11;
constexpr int kThinDots = 1;
constexpr int kFrameDots = 4;

int PieceCount(const QString& text, int wrap) { return static_cast<int>((text.size() + wrap - 1) / wrap); }

struct TableStyle {
  int wrap;              // characters per line
  double headingOffset;  // the first heading line, below T
  double frameOffset;    // the frame's top, below T
  bool crossTable;       // counts on the row heading's last line; an empty heading takes no line
};

// Lays the grid out on pages, and draws them when it has a surface (without
// one it only counts the pages). The page header is the view's own.
class TablePrinter {
 public:
  TablePrinter(Surface* surface, PrintProgress* progress, const ResultGridModel& grid, TableStyle style)
      : surface_(surface), progress_(progress), grid_(grid), style_(style) {}
  virtual ~TablePrinter() = default;

  // Every page; false when the job is to stop.
  bool Run() {
    if (surface_) {
      surface_->SetFontSize(kTextPoints);
      surface_->SetScale(0, 0, kTableScaleWidth, kTableScaleHeight);
      surface_->SetLineWidth(kThinDots);
      surface_->SetLineStyle(LineStyle::Solid);
      surface_->SetForeColor(0);
    }
    StartPage(true);
    const int dataColumns = std::max(grid_.cols() - 1, 0);
    const int blocks = (dataColumns + kBlockColumns - 1) / kBlockColumns;
    if (blocks == 0) return FinishPage(false);
    for (int b = 0; b < blocks; ++b) {
      firstColumn_ = 1 + kBlockColumns * b;
      columns_ = std::min(kBlockColumns, dataColumns - kBlockColumns * b);
      if (b > 0) {
        NewPage();
        StartPage(false);
      }
      Headings();
      for (int r = 1; r < grid_.rows(); ++r)
        if (!Row(r)) return false;
      if (!FinishPage(true)) return false;
    }
    return true;
  }

  int pages() const { return pagesDone_; }

 protected:
  // Prints the page header and answers where the page's table starts (T).
  virtual double Header(bool firstPage) = 0;

  void Text(double x, double y, const QString& text) {
    if (!surface_ || text.isEmpty()) return;
    surface_->SetPosition(x, y);
    surface_->PrintText(text);
  }

  Surface* surface_;

 private:
  double LineTop(int line) const { return top_ + kFirstLineTop + kLineHeight * line; }
  static int LastLine(double top) { return kLastLine - static_cast<int>(top / kLineHeight); }

  int LinesOf(const QString& text) const { return std::max(PieceCount(text, style_.wrap), 1); }
  int LabelLines(const QString& label) const {
    return style_.crossTable ? PieceCount(label, style_.wrap) : LinesOf(label);
  }

  void StartPage(bool firstPage) {
    top_ = Header(firstPage);
    lastLine_ = LastLine(top_);
    laterLastLine_ = LastLine(laterTop_);
    frameTop_ = top_ + style_.frameOffset;
    rowsOnPage_ = 0;
  }

  void NewPage() {
    if (surface_) surface_->NewPage();
  }

  // The headings of the block's columns, as tall as the tallest (but never
  // so tall that no row line is left), and the rule under them.
  void Headings() {
    headingLines_ = 1;
    for (int j = 0; j < columns_; ++j)
      headingLines_ = std::max(headingLines_, LinesOf(grid_.cell(0, firstColumn_ + j)));
    headingLines_ = std::min(headingLines_, std::max(std::min(lastLine_, laterLastLine_), 1));
    if (surface_) {
      for (int j = 0; j < columns_; ++j) {
        const QString heading = grid_.cell(0, firstColumn_ + j);
        for (int i = 0; i < headingLines_; ++i)
          Text(kCellX + kColumnWidth * j, top_ + style_.headingOffset + kLineHeight * i,
               heading.mid(static_cast<qsizetype>(i) * style_.wrap, style_.wrap));
      }
    }
    line_ = headingLines_;
    Rule(LineTop(headingLines_ - 1) + kRuleBelowLineTop);
  }

  void Rule(double y) {
    lastRule_ = y;
    if (surface_) surface_->DrawLine(kTableLeft, y, kTableRight, y);
  }

  // One grid row: its lines start on a new page when they do not fit on
  // this one; a row taller than a whole page goes on over the next pages. In
  // the listing, each page a row is carried over to starts the row's label
  // column again with "（続き）" and the whole label, so that the page says
  // whose row it continues; the cells go on where they stopped.
  bool Row(int r) {
    const QString label = grid_.cell(r, 0);
    const int labelLines = LabelLines(label);
    int cellLines = 0;
    if (!style_.crossTable)
      for (int j = 0; j < columns_; ++j) cellLines = std::max(cellLines, LinesOf(grid_.cell(r, firstColumn_ + j)));
    const int lines = std::max({labelLines, cellLines, 1});
    const int countLine = labelLines > 0 ? labelLines - 1 : 0;

    const int wholePage = laterLastLine_ - headingLines_ + 1;
    if (line_ + lines - 1 > lastLine_ && (rowsOnPage_ > 0 || lines <= wholePage))
      if (!NextPage()) return false;
    int from = 0;          // the row's next line
    int labelDone = 0;     // the label's lines printed so far, in their order
    bool carried = false;  // some of the row stands on an earlier page
    while (true) {
      const int room = lastLine_ - line_ + 1;
      // The mark needs a line of its own beside at least one line of the row.
      if (!carried || style_.crossTable || room < 2) {
        const int to = std::min(lines, from + std::max(room, 0));
        if (to > from) {
          RowLines(r, Pieces(label, from, to), countLine - from, from, to);
          labelDone = std::max(labelDone, std::min(to, labelLines));
          from = to;
        }
        if (from >= lines) return true;
      } else {
        // The whole label again when it fits beside the mark on a page;
        // else it goes on from where it stopped.
        const int labelFrom = 1 + labelLines <= room ? 0 : labelDone;
        const int height = std::min(room, std::max(cellLines - from, 1 + labelLines - labelFrom));
        QStringList labelColumn = Pieces(label, labelFrom, labelFrom + height - 1);
        labelColumn.prepend(QStringLiteral("（続き）"));
        RowLines(r, labelColumn, -1, from, from + height);
        labelDone = std::max(labelDone, std::min(labelLines, labelFrom + height - 1));
        from += height;
        if (from >= cellLines && labelDone >= labelLines) return true;
      }
      if (!NextPage()) return false;
      carried = from > 0;
    }
  }

  // Lines from..to (exclusive) of a text cut into lines.
  QStringList Pieces(const QString& text, int from, int to) const {
    QStringList out;
    for (int i = from; i < to; ++i) {
      const qsizetype at = static_cast<qsizetype>(i) * style_.wrap;
      if (at >= text.size()) break;
      out << text.mid(at, style_.wrap);
    }
    return out;
  }

  // Lines from..to (exclusive) of row r's cells from the current line on,
  // with `labelColumn` down the label column beside them (the cross table's
  // counts on line `countLine` of these), and the rule under them.
  void RowLines(int r, const QStringList& labelColumn, int countLine, int from, int to) {
    if (surface_) {
      for (int i = 0; i < labelColumn.size() && i < to - from; ++i) Text(kLabelX, LineTop(line_ + i), labelColumn[i]);
      for (int j = 0; j < columns_; ++j) {
        const QString cell = grid_.cell(r, firstColumn_ + j);
        if (!style_.crossTable) {
          const QStringList pieces = Pieces(cell, from, to);
          for (int i = 0; i < pieces.size(); ++i) Text(kCellX + kColumnWidth * j, LineTop(line_ + i), pieces[i]);
        } else if (countLine >= 0 && countLine < to - from) {
          // Right-aligned: the count ends 20 units left of its column's rule.
          Text(660 + kColumnWidth * j - surface_->TextWidth(cell), LineTop(line_ + countLine), cell);
        }
      }
    }
    line_ += to - from;
    ++rowsOnPage_;
    Rule(LineTop(line_ - 1) + kRuleBelowLineTop);
  }

  bool NextPage() {
    if (!FinishPage(true)) return false;
    NewPage();
    StartPage(false);
    Headings();
    return true;
  }

  // The thin column rules and the thick frame, from the frame's top to the
  // last rule; then the page is done.
  bool FinishPage(bool withTable) {
    if (surface_ && withTable) {
      for (int j = 0; j < kBlockColumns; ++j) {
        const double x = kColumnsLeft + kColumnWidth * j;
        surface_->DrawLine(x, frameTop_, x, lastRule_);
      }
      surface_->SetLineWidth(kFrameDots);
      surface_->DrawBox(kTableLeft, frameTop_, kTableRight, lastRule_);
      surface_->SetLineWidth(kThinDots);
    }
    ++pagesDone_;
    if (!surface_ || !progress_) return true;
    return PageFinished(*surface_, *progress_, pagesDone_);
  }

 protected:
  // Where the table of pages after the first starts.
  double laterTop_ = 0;

 private:
  PrintProgress* progress_;
  const ResultGridModel& grid_;
  TableStyle style_;
  int firstColumn_ = 1;
  int columns_ = 0;
  double top_ = 0;
  double frameTop_ = 0;
  double lastRule_ = 0;
  int lastLine_ = kLastLine;
  int laterLastLine_ = kLastLine;
  int headingLines_ = 1;
  int line_ = 0;
  int rowsOnPage_ = 0;
  int pagesDone_ = 0;
};

class ListingPrinter final : public TablePrinter {
 public:
  ListingPrinter(Surface* surface, PrintProgress* progress, const ExtractionPrint& print)
      : TablePrinter(surface, progress, *print.grid, TableStyle{6, 170, 150, false}), print_(print) {
    laterTop_ = print.conditions.empty() ? 0 : 100;
  }

 protected:
  double Header(bool firstPage) override {
    if (surface_) {
      surface_->SetFontSize(kPeriodPoints);
      Text(300, 40, print_.period + QStringLiteral("日"));
      surface_->SetFontSize(kTextPoints);
    }
    const double conditions = static_cast<double>(print_.conditions.size());
    if (!firstPage) {
      if (!print_.conditions.empty()) Text(80, 170, QStringLiteral("抽出条件は1枚目に記載"));
      return laterTop_;
    }
    if (!print_.conditions.empty()) {
      Text(80, 170, QStringLiteral("抽出条件"));
      double y = 270;
      for (const ExtractionCondition& condition : print_.conditions) {
        Text(120, y, condition.caption);
        Text(140, y + 100, condition.entry);
        y += 200;
      }
    }
    return 100 + 200 * conditions;
  }

 private:
  const ExtractionPrint& print_;
};

class CrossTablePrinter final : public TablePrinter {
 public:
  CrossTablePrinter(Surface* surface, PrintProgress* progress, const CrossTablePrint& print)
      : TablePrinter(surface, progress, *print.grid, TableStyle{8, 150, 130, true}), print_(print) {}

 protected:
  double Header(bool) override {
    if (surface_) {
      surface_->SetFontSize(kPeriodPoints);
      Text(300, 40,
           print_.period + QStringLiteral("日　　縦項目:") + print_.verticalCaption + QStringLiteral("；  横項目:") +
               print_.horizontalCaption);
      surface_->SetFontSize(kTextPoints);
    }
    return 0;
  }

 private:
  const CrossTablePrint& print_;
};

}  // namespace

bool DrawExtractionListing(Surface& surface, const ExtractionPrint& print, PrintProgress& progress) {
  if (!print.grid) return true;
  progress.setPageCount(ExtractionListingPageCount(print));
  return ListingPrinter(&surface, &progress, print).Run();
}

bool DrawCrossTable(Surface& surface, const CrossTablePrint& print, PrintProgress& progress) {
  if (!print.grid) return true;
  progress.setPageCount(CrossTablePageCount(print));
  return CrossTablePrinter(&surface, &progress, print).Run();
}

int ExtractionListingPageCount(const ExtractionPrint& print) {
  if (!print.grid) return 0;
  ListingPrinter counter(nullptr, nullptr, print);
  counter.Run();
  return counter.pages();
}

int CrossTablePageCount(const CrossTablePrint& print) {
  if (!print.grid) return 0;
  CrossTablePrinter counter(nullptr, nullptr, print);
  counter.Run();
  return counter.pages();
}

PrintResult PrintExtractionListing(Prompts& prompts, const ExtractionPrint& print, const WhileDrawing& whileDrawing) {
  const PrintSetup setup{true, kLandscapeMessage, kPrinterNotConnected, whileDrawing, QStringLiteral("データ抽出")};
  return RunPrint(prompts, setup, [&print](Surface& surface, PrintProgress& progress) {
    return DrawExtractionListing(surface, print, progress);
  });
}

PrintResult PrintCrossTable(Prompts& prompts, const CrossTablePrint& print, const WhileDrawing& whileDrawing) {
  const PrintSetup setup{true, kLandscapeMessage, kPrinterNotConnected, whileDrawing, QStringLiteral("クロス集計")};
  return RunPrint(prompts, setup, [&print](Surface& surface, PrintProgress& progress) {
    return DrawCrossTable(surface, print, progress);
  });
}

}  // namespace orvanta
