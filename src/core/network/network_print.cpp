#include "core/network/network_print.h"

#include <algorithm>
#include <map>

#include "core/output/recording_surface.h"
#include "core/output/surface.h"
#include "core/platform/print_progress.h"

namespace orvanta {
namespace {

// Landscape pages: 2900 × 2000 units over the printable area; portrait
// 2000 × 2900. Texts 8 point on lines of 42 units (portrait) or 50 units.
constexpr double kLandscapeWidth = 2900;
constexpr double kLandscapeHeight = 2000;
constexpr double kPortraitWidth = 2000;
constexpr double kPortraitHeight = 2900;
constexpr double kMargin = 40;
constexpr double kSheetLine = 42;
constexpr double kTextPoints = 8;
constexpr double kTitlePoints = 13;

void Text(Surface& s, double x, double y, const QString& text) {
  if (text.isEmpty()) return;
  s.SetPosition(x, y);
  s.PrintText(text);
}
void RightText(Surface& s, double right, double y, const QString& text) { Text(s, right - s.TextWidth(text), y, text); }

QString Rate(const std::optional<RateEstimate>& r) {
  if (!r) return QStringLiteral("—");
  return QStringLiteral("%1（%2～%3）")
      .arg(QString::number(r->rate, 'f', 2), QString::number(r->lower, 'f', 2), QString::number(r->upper, 'f', 2));
}

QString Number2(const std::optional<double>& v) { return v ? QString::number(*v, 'f', 2) : QStringLiteral("—"); }

// One line of the items' pages: a caption, a heading or a row.
struct ItemLine {
  enum class Kind { Caption, Heading, Row } kind = Kind::Row;
  QString code, label, ownCount, ownShare, networkShare;
};

std::vector<ItemLine> ItemLines(const FeedbackSheet& sheet) {
  std::vector<ItemLine> lines;
  for (std::size_t i = 0; i < sheet.networkItems.size(); ++i) {
    const ItemTable& network = sheet.networkItems[i];
    std::map<std::pair<QString, QString>, const ItemRow*> own;
    if (i < sheet.own.size())
      for (const ItemRow& r : sheet.own[i].rows) own[{r.code, r.label}] = &r;
    lines.push_back(ItemLine{ItemLine::Kind::Caption,
                             QString(),
                             QStringLiteral("%1. %2").arg(network.item + 1).arg(network.caption),
                             {},
                             {},
                             {}});
    lines.push_back(ItemLine{ItemLine::Kind::Heading, QStringLiteral("コード"), QStringLiteral("名称"),
                             QStringLiteral("貴施設件数"), QStringLiteral("貴施設%"), QStringLiteral("全体%")});
    for (const ItemRow& r : network.rows) {
      const auto found = own.find({r.code, r.label});
      const ItemRow* o = found == own.end() ? nullptr : found->second;
      if (r.count == 0 && (!o || o->count == 0)) continue;
      lines.push_back(ItemLine{ItemLine::Kind::Row, r.code, r.label,
                               o ? QString::number(o->count) : QStringLiteral("0"),
                               QString::number(o ? o->share : 0.0, 'f', 1), QString::number(r.share, 'f', 1)});
    }
  }
  return lines;
}

constexpr double kItemsTop = 260;
int LinesPerColumn() { return static_cast<int>((kPortraitHeight - kMargin - kItemsTop) / kSheetLine); }

class SheetPrinter {
 public:
  SheetPrinter(Surface& s, PrintProgress* progress) : s_(s), progress_(progress) {}
  int pagesDone() const { return pagesDone_; }

  bool Sheet(const FeedbackSheet& sheet, bool first) {
    if (!first) s_.NewPage();
    Setup();
    FirstPage(sheet);
    if (!Finish()) return false;
    const std::vector<ItemLine> lines = ItemLines(sheet);
    const int perColumn = LinesPerColumn();
    std::size_t at = 0;
    int page = 2;
    while (at < lines.size()) {
      s_.NewPage();
      Setup();
      Header(sheet, QStringLiteral("項目別の割合（貴施設とネットワーク全体）　%1ページ").arg(page++));
      for (int column = 0; column < 2 && at < lines.size(); ++column) {
        const double left = kMargin + column * (kPortraitWidth - 2 * kMargin) / 2;
        const double right = left + (kPortraitWidth - 2 * kMargin) / 2 - 30;
        double y = kItemsTop;
        for (int n = 0; n < perColumn && at < lines.size(); ++n, ++at) {
          const ItemLine& line = lines[at];
          // A caption never ends a column.
          if (line.kind == ItemLine::Kind::Caption && n + 3 > perColumn) break;
          ItemRowText(line, left, right, y);
          y += kSheetLine;
        }
      }
      if (!Finish()) return false;
    }
    return true;
  }

 private:
  void Setup() {
    s_.SetScale(0, 0, kPortraitWidth, kPortraitHeight);
    s_.SetFontSize(kTextPoints);
    s_.SetForeColor(Qt::black);
    s_.SetLineWidth(1);
    s_.SetLineStyle(LineStyle::Solid);
  }

  bool Finish() {
    ++pagesDone_;
    return !progress_ || PageFinished(s_, *progress_, pagesDone_);
  }

  void Header(const FeedbackSheet& sheet, const QString& subtitle) {
    s_.SetFontSize(kTitlePoints);
    Text(s_, kMargin, 20, QStringLiteral("施設別還元シート"));
    s_.SetFontSize(kTextPoints);
    RightText(
        s_, kPortraitWidth - kMargin, 30,
        QStringLiteral("施設コード %1　%2").arg(sheet.hospital.hospital.facilityCode, NetworkYearLabel(sheet.year)));
    Text(s_, kMargin, 110, subtitle);
    s_.DrawLine(kMargin, 160, kPortraitWidth - kMargin, 160);
  }

  void FirstPage(const FeedbackSheet& sheet) {
    Header(sheet, QStringLiteral("針刺し・切創の発生率（100床あたり件数、括弧内は95%信頼区間）"));
    const HospitalFigures& h = sheet.hospital;
    double y = 200;
    const double valueX = kMargin + 700;
    const auto row = [&](const QString& label, const QString& value) {
      Text(s_, kMargin + 20, y, label);
      Text(s_, valueX, y, value);
      y += kSheetLine;
    };
    row(QStringLiteral("貴施設の件数"), QString::number(h.hospital.reportCount) + QStringLiteral(" 件"));
    row(QStringLiteral("貴施設の稼働病床数"), h.hospital.beds
                                                  ? QString::number(*h.hospital.beds, 'f', 1) + QStringLiteral(" 床")
                                                  : QStringLiteral("登録なし"));
    row(QStringLiteral("貴施設の100床あたり"), Rate(h.perBeds));
    if (h.perFte) row(QStringLiteral("貴施設の常勤換算100人あたり"), Rate(h.perFte));
    row(QStringLiteral("ファネルプロット上の位置"), h.place ? FunnelPlaceText(*h.place) : QStringLiteral("—"));
    y += kSheetLine / 2;
    row(QStringLiteral("ネットワーク全体（%1施設、%2件）").arg(sheet.network.hospitals).arg(sheet.network.reports),
        Rate(sheet.network.rate));
    row(QStringLiteral("施設の率の25%点・中央値・75%点・90%点"),
        QStringLiteral("%1 ・ %2 ・ %3 ・ %4")
            .arg(Number2(sheet.network.p25), Number2(sheet.network.p50), Number2(sheet.network.p75),
                 Number2(sheet.network.p90)));
    if (sheet.bedClass >= 0) {
      const GroupFigures& c = sheet.bedClassFigures;
      row(QStringLiteral("同じ病床規模（%1、%2施設）").arg(BedClassName(sheet.bedClass)).arg(c.hospitals),
          Rate(c.rate));
      row(QStringLiteral("同じ病床規模の施設の率の中央値"), Number2(c.p50));
    }
    y += kSheetLine / 2;
    s_.DrawLine(kMargin, y, kPortraitWidth - kMargin, y);
    y += kSheetLine / 2;
    Text(s_, kMargin, y, QStringLiteral("ファネルプロット（貴施設の点を強調、他の施設は名前を伏せています）"));
    y += kSheetLine * 1.5;
    FunnelStyle style;
    style.lineHeight = kSheetLine;
    style.pointRadius = 6;
    style.curveDots = 5;
    DrawFunnelPlot(s_, sheet.plot, QRectF(kMargin, y, kPortraitWidth - 2 * kMargin, kPortraitHeight - kMargin - y),
                   style);
  }

  void ItemRowText(const ItemLine& line, double left, double right, double y) {
    const double countRight = right - 380;
    const double ownRight = right - 190;
    switch (line.kind) {
      case ItemLine::Kind::Caption: Text(s_, left, y, line.label); return;
      case ItemLine::Kind::Heading:
        // Under the heading's texts, clear of the first row's.
        s_.DrawLine(left, y + kSheetLine * 0.8, right, y + kSheetLine * 0.8);
        break;
      case ItemLine::Kind::Row: break;
    }
    Text(s_, left + 20, y, line.code);
    // The name is cut to its room.
    QString label = line.label;
    const double room = countRight - 180 - left - 140;
    while (!label.isEmpty() && s_.TextWidth(label) > room) label.chop(1);
    Text(s_, left + 140, y, label);
    RightText(s_, countRight, y, line.ownCount);
    RightText(s_, ownRight, y, line.ownShare);
    RightText(s_, right, y, line.networkShare);
  }

  Surface& s_;
  PrintProgress* progress_;
  int pagesDone_ = 0;
};

}  // namespace

FunnelPlotData NetworkFunnelData(const NetworkFigures& figures) {
  FunnelPlotData data;
  data.target = figures.network.rate ? figures.network.rate->rate : 0;
  for (const HospitalFigures& h : figures.hospitals) {
    if (!h.perBeds || !h.hospital.beds) continue;
    FunnelPoint p;
    p.beds = *h.hospital.beds;
    p.rate = h.perBeds->rate;
    p.label = h.hospital.facilityCode;
    p.outside998 = h.place && OutsideLimits998(*h.place);
    data.points.push_back(p);
  }
  return data;
}

FeedbackSheet FeedbackSheetOf(const NetworkFigures& figures, std::size_t hospital, std::vector<ItemTable> ownItems) {
  FeedbackSheet sheet;
  sheet.year = figures.year;
  sheet.hospital = figures.hospitals.at(hospital);
  sheet.network = figures.network;
  if (sheet.hospital.hospital.beds && *sheet.hospital.hospital.beds > 0) {
    sheet.bedClass = BedClassOf(*sheet.hospital.hospital.beds);
    sheet.bedClassFigures = figures.classes[static_cast<std::size_t>(sheet.bedClass)];
  }
  sheet.plot = NetworkFunnelData(figures);
  sheet.plot.nameOutliers = false;
  sheet.plot.highlightLabel = sheet.hospital.hospital.facilityCode;
  for (FunnelPoint& p : sheet.plot.points) {
    p.highlighted = p.label == sheet.hospital.hospital.facilityCode;
    p.label.clear();
  }
  sheet.own = std::move(ownItems);
  sheet.networkItems = figures.items;
  return sheet;
}

bool DrawFunnelPage(Surface& s, const QString& title, const FunnelPlotData& data, PrintProgress& progress) {
  progress.setPageCount(1);
  s.SetScale(0, 0, kLandscapeWidth, kLandscapeHeight);
  s.SetForeColor(Qt::black);
  s.SetFontSize(kTitlePoints);
  Text(s, kMargin, 20, title);
  s.SetFontSize(kTextPoints);
  FunnelStyle style;
  style.lineHeight = 50;
  style.pointRadius = 6;
  style.curveDots = 5;
  DrawFunnelPlot(s, data, QRectF(kMargin, 120, kLandscapeWidth - 2 * kMargin, kLandscapeHeight - 160), style);
  return PageFinished(s, progress, 1);
}

int FeedbackSheetPages(const FeedbackSheet& sheet) {
  RecordingSurface surface;
  SheetPrinter printer(surface, nullptr);
  printer.Sheet(sheet, true);
  return printer.pagesDone();
}

bool DrawFeedbackSheets(Surface& s, const std::vector<FeedbackSheet>& sheets, PrintProgress& progress) {
  int pages = 0;
  for (const FeedbackSheet& sheet : sheets) pages += FeedbackSheetPages(sheet);
  progress.setPageCount(pages);
  SheetPrinter printer(s, &progress);
  for (std::size_t i = 0; i < sheets.size(); ++i)
    if (!printer.Sheet(sheets[i], i == 0)) return false;
  return true;
}

bool DrawNetworkComparison(Surface& s, const NetworkComparison& comparison, PrintProgress& progress) {
  progress.setPageCount(1);
  s.SetScale(0, 0, kLandscapeWidth, kLandscapeHeight);
  s.SetForeColor(Qt::black);
  s.SetFontSize(kTitlePoints);
  Text(s, kMargin, 20, QStringLiteral("ネットワークとの比較　%1").arg(NetworkYearLabel(comparison.network.year)));
  s.SetFontSize(kTextPoints);
  const TextTable table = NetworkComparisonTexts(comparison);
  double y = 130;
  std::vector<double> widths;
  for (const QStringList& row : table)
    for (int c = 0; c < row.size(); ++c) {
      if (static_cast<int>(widths.size()) <= c) widths.resize(static_cast<std::size_t>(c) + 1, 0);
      widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], s.TextWidth(row[c]) + 60);
    }
  for (const QStringList& row : table) {
    double x = kMargin;
    for (int c = 0; c < row.size(); ++c) {
      if (c == 0) {
        Text(s, x, y, row[c]);
      } else {
        RightText(s, x + widths[static_cast<std::size_t>(c)] - 20, y, row[c]);
      }
      x += widths[static_cast<std::size_t>(c)];
    }
    y += 50;
    if (&row == &table.front()) s.DrawLine(kMargin, y - 4, x, y - 4);
  }
  FunnelStyle style;
  style.lineHeight = 50;
  style.pointRadius = 6;
  style.curveDots = 5;
  DrawFunnelPlot(s, NetworkComparisonPlot(comparison),
                 QRectF(kMargin, y + 40, kLandscapeWidth - 2 * kMargin, kLandscapeHeight - y - 80), style);
  return PageFinished(s, progress, 1);
}

PrintResult PrintFunnelPlot(Prompts& prompts, const QString& title, const FunnelPlotData& data) {
  return RunPrint(prompts, PrintSetup{true, kLandscapeMessage}, [&](Surface& surface, PrintProgress& progress) {
    return DrawFunnelPage(surface, title, data, progress);
  });
}

PrintResult PrintFeedbackSheets(Prompts& prompts, const std::vector<FeedbackSheet>& sheets) {
  return RunPrint(prompts, PrintSetup{false, kPortraitMessage}, [&](Surface& surface, PrintProgress& progress) {
    return DrawFeedbackSheets(surface, sheets, progress);
  });
}

PrintResult PrintNetworkComparison(Prompts& prompts, const NetworkComparison& comparison) {
  return RunPrint(prompts, PrintSetup{true, kLandscapeMessage}, [&](Surface& surface, PrintProgress& progress) {
    return DrawNetworkComparison(surface, comparison, progress);
  });
}

}  // namespace orvanta
