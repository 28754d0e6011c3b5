#include "core/output/graph_print.h"

#include <QStringList>
#include <algorithm>

#include "core/output/graph_drawing.h"
#include "core/output/print_job.h"

namespace orvanta {
namespace {

constexpr double kPageWidth = 2200;
constexpr double kPageHeight = 3900;
constexpr int kConditionPiece = 45;
constexpr int kLastRow = 33;         // rows of a bar or line page
constexpr double kPlotLeft = 600;    // x of count 0
constexpr double kPlotWidth = 1400;  // from count 0 to the largest count
constexpr double kTwoPi = 2 * 3.1415;
// The last legend line of a pie page whose entry still ends above the
// page's bottom edge (a 9-point line is about 45 units high).
constexpr int kLastLegendLine = 43;
// Labels stand between x = 100 and the frame at 600, clear of its line.
constexpr double kLabelColumn = 600 - 100 - 20;
// The lines of a wrapped label or legend entry.
constexpr double kWrappedLinePitch = 32;

void TextAt(Surface& s, double x, double y, const QString& text) {
  s.SetPosition(x, y);
  s.PrintText(text);
}

QString Title(const GraphSeries& series) { return QStringLiteral("【") + series.caption + QStringLiteral("】"); }

// The heading of a bar or line page; answers the number of condition lines
// beyond the first, the rows the plot moves down.
int PageHeading(Surface& page, const GraphSeries& series, const SummaryResult& result) {
  page.SetForeColor(0);
  page.SetFontSize(12);
  TextAt(page, 200, 80, QStringLiteral("トンリクスレポート"));
  TextAt(page, 400, 170, GraphPrintPeriodLine(result));
  page.SetFontSize(10);
  TextAt(page, 200, 250, Title(series));
  TextAt(page, 200, 330, QStringLiteral("抽出条件;"));
  const QStringList lines = ConditionLines(result.conditionsText());
  for (int j = 0; j < lines.size(); ++j) TextAt(page, 400, 330 + 60 * j, lines[j]);
  return static_cast<int>(lines.size()) - 1;
}

// The label of a row: a long code-list name smaller and wrapped, its lines
// 32 units apart.
void RowLabel(Surface& page, const GraphSeries& series, int k, int row) {
  const QString& label = series.labels.value(k);
  page.SetFontSize(9);
  if (series.codeListLabels && label.size() > 16) {
    const WrappedLabel wrapped = WrapLabel(label);
    page.SetFontSize(wrapped.fontSize);
    for (int j = 0; j < wrapped.lines.size(); ++j)
      TextAt(page, 100, 100.0 * row + 390 + kWrappedLinePitch * j, wrapped.lines[j]);
  } else {
    // A label too wide for its column is printed smaller, clear of the bars.
    page.SetFontSize(FittingFontSize(page, label, kLabelColumn));
    TextAt(page, 100, 100.0 * row + 420, label);
  }
  page.SetFontSize(9);
}

// The count right of its bar's end; one that would run into the frame's
// line stands right of it, as the largest count does.
void BarCount(Surface& page, double barEnd, double y, std::int32_t count) {
  const QString digits = GraphNumberText(count);
  const double width = page.TextWidth(digits);
  const double frame = kPlotLeft + kPlotWidth;
  TextAt(page, barEnd < frame && barEnd + width > frame - 5 ? frame : barEnd, y, digits);
}

// The frame of a page's plot from the first row to `lastRow`, its ticks at
// the middle value and the scale values above and below.
void FinishPage(Surface& page, const GraphSeries& series, int firstRowOffset, int lastRow) {
  const double top = 100.0 * firstRowOffset + 480;
  const double bottom = 100.0 * lastRow + 510;
  const double middle = kPlotLeft + kPlotWidth / 2;
  page.SetForeColor(9);
  page.SetLineWidth(3);
  page.DrawBox(kPlotLeft, top, kPlotLeft + kPlotWidth, bottom);
  page.DrawLine(middle, top, middle, top + 10);
  page.DrawLine(middle, bottom, middle, bottom - 10);
  page.SetForeColor(0);
  page.SetLineWidth(1);
  page.SetFontSize(10);
  const std::int32_t maximum = series.maximum();
  for (const double y : {bottom, top - 80}) {
    TextAt(page, 1980, y, GraphNumberText(maximum));
    TextAt(page, 580, y, GraphNumberText(0));
    TextAt(page, 1280, y, GraphNumberText(MiddleScaleValue(maximum)));
  }
  page.SetFontSize(9);
}

enum class Plot { Bars, Line };

// A page is finished: the progress is told, and the next one started.
bool NextPage(Surface& page, const GraphPageDone& pageDone, int& pagesDone) {
  ++pagesDone;
  if (pageDone && !pageDone(pagesDone)) return false;
  return page.NewPage();
}

bool Finished(const GraphPageDone& pageDone, int pagesDone) { return !pageDone || pageDone(pagesDone + 1); }

bool DrawRowsPrint(Plot plot, Surface& page, const GraphSeries& series, const SummaryResult& result,
                   const GraphPageDone& pageDone) {
  int pagesDone = 0;
  page.SetFontSize(9);
  page.SetScale(0, 0, kPageWidth, kPageHeight);
  const int offset = PageHeading(page, series, result);
  int row = offset;
  const std::int32_t maximum = series.maximum();
  if (maximum > 0) {
    bool lineStarted = false;
    double lastX = 0;
    double lastY = 0;
    for (int k = 0; k < series.categoryCount(); ++k) {
      ++row;
      // A full page is finished and the rows go on under the heading of the
      // next; a page always takes at least one row.
      if (row > kLastRow && row > offset + 1) {
        FinishPage(page, series, offset, row - 1);
        if (!NextPage(page, pageDone, pagesDone)) return false;
        PageHeading(page, series, result);
        row = offset + 1;
        lineStarted = false;  // the line starts afresh on the new page
      }
      const std::int32_t c = series.counts[static_cast<std::size_t>(k)];
      const double x = kPlotLeft + kPlotWidth * c / maximum;
      RowLabel(page, series, k, row);
      if (plot == Plot::Bars) {
        page.FillBox(kPlotLeft, 100.0 * row + 400, x, 100.0 * row + 460, PaletteColor(12));
        BarCount(page, x, 100.0 * row + 415, c);
      } else {
        const double y = 100.0 * row + 400;
        if (lineStarted) page.DrawLine(lastX, lastY, x, y, PaletteColor(12));
        lineStarted = true;
        lastX = x;
        lastY = y;
      }
    }
  }
  FinishPage(page, series, offset, row);
  return Finished(pageDone, pagesDone);
}

}  // namespace

QStringList ConditionLines(const QString& conditions) {
  QStringList lines;
  for (qsizetype at = 0; at < conditions.size(); at += kConditionPiece) lines << conditions.mid(at, kConditionPiece);
  if (lines.isEmpty()) lines << QString();
  return lines;
}

QString GraphPrintPeriodLine(const SummaryResult& result) {
  const AnalysisPeriod& p = result.period;
  return QStringLiteral("%1年%2月%3日～%4年%5月%6日          該当件数%7")
      .arg(p.from.year)
      .arg(p.from.month)
      .arg(p.from.day)
      .arg(p.to.year)
      .arg(p.to.month)
      .arg(p.to.day)
      .arg(result.matching);
}

bool DrawBarGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                       const GraphPageDone& pageDone) {
  return DrawRowsPrint(Plot::Bars, page, series, result, pageDone);
}

bool DrawLineGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                        const GraphPageDone& pageDone) {
  return DrawRowsPrint(Plot::Line, page, series, result, pageDone);
}

bool DrawPieGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                       const GraphPageDone& pageDone) {
  int pagesDone = 0;
  page.SetFontSize(9);
  page.SetScale(0, 0, kPageWidth, kPageHeight);
  page.SetForeColor(0);
  page.SetLineWidth(1);
  const std::int64_t total = series.total();

  // The sectors as on screen: the last category first, from 3 o'clock,
  // counter-clockwise; the colours advance only on drawn sectors.
  struct LegendEntry {
    QColor colour;
    QString text;
  };
  std::vector<LegendEntry> legend;
  if (total > 0) {
    double angle = 1e-10;
    for (int k = series.categoryCount() - 1; k >= 0; --k) {
      const std::int32_t c = series.counts[static_cast<std::size_t>(k)];
      if (c <= 0) continue;
      const QColor colour = PaletteColor(PieSectorColor(static_cast<int>(legend.size())));
      const double end = angle + static_cast<double>(c) / static_cast<double>(total) * kTwoPi;
      page.SetFillStyle(FillStyle::Solid);
      page.SetFillColor(colour);
      page.DrawArc(1100, 1000, 600, PaletteColor(0), angle, end, true);
      page.SetFillStyle(FillStyle::None);
      angle = end;
      legend.push_back(
          {colour, series.labels.value(k) + QStringLiteral("; ") + QString::number(c) + QStringLiteral("件")});
    }
  }

  // The heading under the pie.
  page.SetFontSize(12);
  TextAt(page, 200, 1980, QStringLiteral("トンリクスレポート"));
  TextAt(page, 400, 2070, GraphPrintPeriodLine(result));
  page.SetFontSize(10);
  TextAt(page, 200, 2150, Title(series));
  TextAt(page, 200, 2230, QStringLiteral("抽出条件;"));
  const QStringList conditions = ConditionLines(result.conditionsText());
  int j = 20;
  for (int piece = 0; piece < conditions.size(); ++piece, ++j) TextAt(page, 400, 80.0 * j + 630, conditions[piece]);
  const int lastPiece = j - 1;
  if (total <= 0) return Finished(pageDone, pagesDone);

  // The legend, three entries to a row. A wrapped entry takes one row for
  // each of its lines; a row that would end below the page starts a new
  // page (without heading) at line 1.
  page.SetFontSize(9);
  int line = lastPiece + 7;
  for (std::size_t first = 0; first < legend.size(); first += 3) {
    const std::size_t end = std::min(first + 3, legend.size());
    std::vector<WrappedLabel> texts;
    int extra = 0;
    for (std::size_t e = first; e < end; ++e) {
      const QString& text = legend[e].text;
      WrappedLabel w;
      if (series.codeListLabels && text.size() > 16) {
        w = WrapLabel(text);
      } else {
        w.lines << text;
      }
      extra = std::max(extra, static_cast<int>(w.lines.size()) - 1);
      texts.push_back(w);
    }
    if (line + extra > kLastLegendLine && line > 1) {
      if (!NextPage(page, pageDone, pagesDone)) return false;
      line = 1;
    }
    for (std::size_t e = first; e < end; ++e) {
      const double left = 700.0 * static_cast<double>(e - first);
      const WrappedLabel& w = texts[e - first];
      page.FillBox(left + 20, 80.0 * line + 330, left + 80, 80.0 * line + 360, legend[e].colour);
      page.SetFontSize(w.fontSize);
      if (w.lines.size() == 1) {
        TextAt(page, left + 100, 80.0 * line + 335, w.lines.front());
      } else {
        // A wrapped entry starts 20 units higher, its lines as close as
        // those of a wrapped bar label; the row makes room for them.
        for (int l = 0; l < w.lines.size(); ++l)
          TextAt(page, left + 100, 80.0 * line + 315 + kWrappedLinePitch * l, w.lines[l]);
      }
      page.SetFontSize(9);
    }
    line += 1 + extra;
  }
  return Finished(pageDone, pagesDone);
}

bool DrawGraphPrint(GraphKind kind, Surface& page, const GraphSeries& series, const SummaryResult& result,
                    const GraphPageDone& pageDone) {
  switch (kind) {
    case GraphKind::Bar: return DrawBarGraphPrint(page, series, result, pageDone);
    case GraphKind::Pie: return DrawPieGraphPrint(page, series, result, pageDone);
    case GraphKind::Line: return DrawLineGraphPrint(page, series, result, pageDone);
  }
  return false;
}

QString GraphPrintFailureMessage(GraphKind kind) {
  return kind == GraphKind::Pie ? kPrinterNotConnected : kPrinterNotConnected + QStringLiteral("。");
}

void PrintGraph(Prompts& prompts, GraphKind kind, const GraphSeries& series, const SummaryResult& result) {
  if (series.categoryCount() == 0) return;
  // Portrait pages, chosen for the user in the dialog; no message first.
  const PrintSetup setup{.landscape = false,
                         .orientationMessage = {},
                         .failureMessage = GraphPrintFailureMessage(kind),
                         .what = QStringLiteral("グラフ"),
                         .reports = static_cast<int>(result.matching)};
  RunPrint(prompts, setup, [&](Surface& page, PrintProgress& progress) {
    return DrawGraphPrint(kind, page, series, result,
                          [&](int pagesDone) { return PageFinished(page, progress, pagesDone); });
  });
}

}  // namespace orvanta
