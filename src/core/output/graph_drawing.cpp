#include "core/output/graph_drawing.h"

#include <algorithm>
#include <cmath>

namespace orvanta {
namespace {

constexpr int kCategoryHeightTwips = 600;
constexpr double kRowUnits = 100;      // one category of a bar or line graph
constexpr double kPlotWidth = 2000;    // x of the largest count
constexpr double kTwoPi = 2 * 3.1415;  // a whole turn, as the pies have always been measured
constexpr int kSectorColors[] = {9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4, 5, 6};
constexpr double kTextRightEdge = 2150;  // the picture's right edge on the text surface
// Labels stand between x = -830 and the frame at 0, a few pixels clear of
// its line.
constexpr double kLabelColumn = 830 - 30;
constexpr int kLegendLineTwips = 200;
constexpr int kFirstLegendLine = 2;

QString Title(const GraphSeries& series) { return QStringLiteral("【") + series.caption + QStringLiteral("】"); }

void TextAt(Surface& s, double x, double y, const QString& text) {
  s.SetPosition(x, y);
  s.PrintText(text);
}

// Both surfaces of a bar or line graph: their coordinate systems, the title
// on the text surface, and on both the frame of the plot with its two ticks
// at the middle value.
void StartPlot(const GraphSeries& series, Surface& figure, Surface& text) {
  const int nv = series.categoryCount();
  const double bottom = nv * kRowUnits;
  figure.Clear();
  text.Clear();
  figure.SetScale(-50, -100, -50 + 2100, -100 + bottom + 200);
  text.SetScale(-850, -100, -850 + 3000, -100 + bottom + 200);

  text.SetFontSize(9);
  text.SetForeColor(0);
  TextAt(text, -800, -50, Title(series));

  for (Surface* s : {&figure, &text}) {
    s->SetForeColor(9);
    s->SetLineWidth(3);
    s->DrawLine(0, 0, kPlotWidth, 0);
    s->DrawLine(kPlotWidth, 0, kPlotWidth, bottom);
    s->DrawLine(kPlotWidth, bottom, 0, bottom);
    s->DrawLine(0, bottom, 0, 0);
    s->DrawLine(kPlotWidth / 2, 0, kPlotWidth / 2, 10);
    s->DrawLine(kPlotWidth / 2, bottom, kPlotWidth / 2, bottom - 10);
    s->SetForeColor(0);
    s->SetLineWidth(1);
  }
}

// The label of category index k left of its row; a long code-list name
// smaller and wrapped, its lines 25 units apart.
void RowLabel(const GraphSeries& series, Surface& text, int k) {
  const QString& label = series.labels.value(k);
  const double top = k * kRowUnits;
  if (series.codeListLabels && label.size() > 16) {
    const WrappedLabel wrapped = WrapLabel(label);
    text.SetFontSize(wrapped.fontSize);
    for (int j = 0; j < wrapped.lines.size(); ++j) TextAt(text, -830, top + 20 + 25 * j, wrapped.lines[j]);
    text.SetFontSize(9);
  } else {
    // A label too wide for its column is written smaller, clear of the frame.
    text.SetFontSize(FittingFontSize(text, label, kLabelColumn));
    TextAt(text, -830, top + 40, label);
    text.SetFontSize(9);
  }
}

// The count of a bar right of the bar's end. A count that would run into
// the frame's line stands right of it, as the largest count does; one that
// would run off the picture stands in white inside the end of its bar.
void BarCount(Surface& text, double barEnd, double y, std::int32_t count) {
  const QString digits = GraphNumberText(count);
  const double width = text.TextWidth(digits);
  double x = barEnd;
  if (x < kPlotWidth && x + width > kPlotWidth - 5) x = kPlotWidth;
  if (x + width > kTextRightEdge) {
    x = std::max(barEnd - width - 10, 0.0);
    text.SetForeColor(15);
    TextAt(text, x, y, digits);
    text.SetForeColor(0);
    return;
  }
  TextAt(text, x, y, digits);
}

// The legend lines the entries of a pie take: one each, or one per line of a
// wrapped code-list entry.
int LegendEntryLines(const GraphSeries& series, const QString& entry) {
  if (series.codeListLabels && entry.size() > 16) return static_cast<int>(WrapLabel(entry).lines.size());
  return 1;
}

QString LegendEntry(const GraphSeries& series, int k) {
  return series.labels.value(k) + QStringLiteral("; ") + QString::number(series.counts[static_cast<std::size_t>(k)]) +
         QStringLiteral("件");
}

// The legend line after the last entry.
int LegendEnd(const GraphSeries& series) {
  int line = kFirstLegendLine;
  if (series.total() <= 0) return line;
  for (int k = series.categoryCount() - 1; k >= 0; --k)
    if (series.counts[static_cast<std::size_t>(k)] > 0) line += LegendEntryLines(series, LegendEntry(series, k));
  return line;
}

// The scale values above and below the plot, in size 10.
void ScaleValues(const GraphSeries& series, Surface& text) {
  const double bottom = series.categoryCount() * kRowUnits;
  const std::int32_t maximum = series.maximum();
  text.SetFontSize(10);
  for (const double y : {bottom + 20, -70.0}) {
    TextAt(text, 1950, y, GraphNumberText(maximum));
    TextAt(text, -50, y, GraphNumberText(0));
    TextAt(text, 950, y, GraphNumberText(MiddleScaleValue(maximum)));
  }
  text.SetFontSize(9);
}

double ValueX(std::int32_t count, std::int32_t maximum) { return kPlotWidth * count / maximum; }

}  // namespace

double FittingFontSize(const Surface& surface, const QString& text, double widthUnits, double size) {
  const double current = surface.FontSize() > 0 ? surface.FontSize() : 1;
  const double width = surface.TextWidth(text) * size / current;
  if (width <= widthUnits || width <= 0) return size;
  return std::max(std::floor(2 * size * widthUnits / width) / 2, 1.0);
}

int GraphPictureHeightTwips(GraphKind kind, const GraphSeries& series) {
  if (kind == GraphKind::Pie) {
    // The legend's last line, a line's height under it, from the top at -115.
    const int legendBottom = LegendEnd(series) * kLegendLineTwips + kLegendLineTwips + 115;
    return std::max(kPiePictureHeightTwips, legendBottom);
  }
  return series.categoryCount() * kCategoryHeightTwips;
}

int ScrollMaximumForHeight(int height) {
  if (height < kGraphViewHeightTwips) return 0;
  return static_cast<int>(std::lround(static_cast<double>(height - kGraphViewHeightTwips) / kGraphScrollStepTwips));
}

int GraphScrollMaximum(GraphKind kind, const GraphSeries& series) {
  return ScrollMaximumForHeight(GraphPictureHeightTwips(kind, series));
}

int PieSectorColor(int drawn) {
  constexpr int cycle = static_cast<int>(std::size(kSectorColors));
  return kSectorColors[((drawn % cycle) + cycle) % cycle];
}

void DrawGraph(GraphKind kind, const GraphSeries& series, Surface& figure, Surface& text) {
  switch (kind) {
    case GraphKind::Bar: DrawBarGraph(series, figure, text); return;
    case GraphKind::Pie: DrawPieGraph(series, figure, text); return;
    case GraphKind::Line: DrawLineGraph(series, figure, text); return;
  }
}

void DrawBarGraph(const GraphSeries& series, Surface& figure, Surface& text) {
  StartPlot(series, figure, text);
  const std::int32_t maximum = series.maximum();
  if (maximum > 0) {
    text.SetFontSize(9);
    for (int k = 0; k < series.categoryCount(); ++k) {
      const std::int32_t c = series.counts[static_cast<std::size_t>(k)];
      const double top = k * kRowUnits;
      const double right = ValueX(c, maximum);
      RowLabel(series, text, k);
      figure.FillBox(0, top + 20, right, top + 80, PaletteColor(12));
      text.FillBox(0, top + 20, right, top + 80, PaletteColor(12));
      BarCount(text, right, top + 35, c);
    }
  }
  ScaleValues(series, text);
}

void DrawLineGraph(const GraphSeries& series, Surface& figure, Surface& text) {
  StartPlot(series, figure, text);
  const std::int32_t maximum = series.maximum();
  if (maximum > 0) {
    text.SetFontSize(9);
    double lastX = 0;
    for (int k = 0; k < series.categoryCount(); ++k) {
      RowLabel(series, text, k);
      const double x = ValueX(series.counts[static_cast<std::size_t>(k)], maximum);
      const double y = k * kRowUnits;
      if (k > 0) {
        figure.DrawLine(lastX, y - kRowUnits, x, y, PaletteColor(12));
        text.DrawLine(lastX, y - kRowUnits, x, y, PaletteColor(12));
      }
      lastX = x;
    }
  }
  ScaleValues(series, text);
}

void DrawPieGraph(const GraphSeries& series, Surface& figure, Surface& text) {
  figure.Clear();
  text.Clear();
  // One unit is one twip; the picture's top-left corner is (-425, -115).
  const int height = GraphPictureHeightTwips(GraphKind::Pie, series);
  for (Surface* s : {&figure, &text}) {
    s->SetScale(-425, -115, -425 + kGraphPictureWidthTwips, -115 + height);
    s->SetForeColor(0);
    s->SetLineWidth(1);
  }
  text.SetFontSize(9);
  TextAt(text, 120, 50, Title(series));

  const std::int64_t total = series.total();
  if (total <= 0) return;

  // From the last category down to the first, each from where the one
  // before ended, counter-clockwise from 3 o'clock; the legend in the same
  // order. Categories without reports draw nothing and take no colour.
  double angle = 1e-10;
  int legendLine = kFirstLegendLine;
  int drawn = 0;
  for (int k = series.categoryCount() - 1; k >= 0; --k) {
    const std::int32_t c = series.counts[static_cast<std::size_t>(k)];
    if (c <= 0) continue;
    const QColor colour = PaletteColor(PieSectorColor(drawn));
    const double end = angle + static_cast<double>(c) / static_cast<double>(total) * kTwoPi;
    for (Surface* s : {&figure, &text}) {
      s->SetFillStyle(FillStyle::Solid);
      s->SetFillColor(colour);
      s->DrawArc(5900, 3500, 2900, PaletteColor(0), angle, end, true);
      s->SetFillStyle(FillStyle::None);
    }
    angle = end;

    const double top = 1.0 * kLegendLineTwips * legendLine;
    text.FillBox(-140, top + 60, 20, top + 160, colour);
    const QString entry = LegendEntry(series, k);
    if (LegendEntryLines(series, entry) > 1) {
      // Each line of a wrapped entry takes a legend line of its own, the
      // first starting 20 units higher than a one-line entry.
      const WrappedLabel wrapped = WrapLabel(entry);
      text.SetFontSize(wrapped.fontSize);
      for (int j = 0; j < wrapped.lines.size(); ++j)
        TextAt(text, 100, 1.0 * kLegendLineTwips * (legendLine + j) + 15, wrapped.lines[j]);
      text.SetFontSize(9);
      legendLine += static_cast<int>(wrapped.lines.size());
    } else {
      TextAt(text, 100, top + 35, entry);
      legendLine += 1;
    }
    ++drawn;
  }
}

}  // namespace orvanta
