#include "core/rates/trend_graph.h"

#include <algorithm>
#include <cmath>

#include "core/output/surface.h"

namespace orvanta {
namespace {

constexpr int kMostGridLines = 6;
constexpr int kBlack = 0;
constexpr int kGrey = 8;
constexpr int kLightGrey = 7;
constexpr int kBlue = 9;
constexpr int kRed = 12;

void Text(Surface& s, double x, double y, const QString& text) {
  s.SetPosition(x, y);
  s.PrintText(text);
}

// The label of a year under its months: "2024年度" when it fits, else the
// year alone, else nothing.
QString FittingYearLabel(const Surface& s, int year, YearKind kind, double width) {
  const QString label = YearLabel(year, kind);
  if (s.TextWidth(label) <= width) return label;
  const QString number = QString::number(year);
  return s.TextWidth(number) <= width ? number : QString();
}

}  // namespace

TrendScale TrendScaleFor(std::int64_t largest) {
  const double most = static_cast<double>(std::max<std::int64_t>(largest, 1));
  for (double power = 1;; power *= 10) {
    for (const double f : {1.0, 2.0, 5.0}) {
      const double step = f * power;
      const int lines = static_cast<int>(std::ceil(most / step));
      if (lines <= kMostGridLines) return TrendScale{step * lines, step, lines};
    }
  }
}

std::optional<double> TrendDayX(const std::vector<MonthCount>& months, const QDate& day, double plotLeft,
                                double plotWidth) {
  if (months.empty() || !day.isValid()) return std::nullopt;
  const int index = (day.year() - months.front().year) * 12 + (day.month() - months.front().month);
  if (index < 0 || index >= static_cast<int>(months.size())) return std::nullopt;
  const double slot = plotWidth / static_cast<double>(months.size());
  return plotLeft + slot * (index + static_cast<double>(day.day() - 1) / day.daysInMonth());
}

TrendLayout DrawTrendGraph(Surface& s, const TrendGraph& graph, const QRectF& box, const TrendStyle& style) {
  TrendLayout layout;
  const double line = style.lineHeight;
  const double gap = line * 0.3;
  s.SetLineStyle(LineStyle::Solid);
  s.SetLineWidth(1);
  s.SetForeColor(kBlack);
  if (graph.months.empty()) {
    s.DrawBox(box.left(), box.top(), box.right(), box.bottom());
    Text(s, box.left() + gap, box.top() + gap, QStringLiteral("表示する月がありません"));
    return layout;
  }
  std::int64_t largest = 0;
  for (const MonthCount& m : graph.months) largest = std::max(largest, m.count);
  const TrendScale scale = TrendScaleFor(largest);
  layout.top = scale.top;

  // Across: the value labels, then the plot.
  double labelWidth = 0;
  for (int i = 0; i <= scale.lines; ++i)
    labelWidth = std::max(labelWidth, s.TextWidth(QString::number(scale.step * i, 'f', 0)));
  const double left = box.left() + labelWidth + 2 * gap;
  const double right = box.right() - gap;
  const double width = right - left;
  const double slot = width / static_cast<double>(graph.months.size());

  // The interventions inside the months, in date order, and the line each
  // label goes on: the first line where it overlaps no earlier label.
  struct Mark {
    double x;
    double labelLeft;
    int row;
    QString label;
  };
  std::vector<Intervention> inside;
  for (const Intervention& i : graph.interventions)
    if (TrendDayX(graph.months, i.date, left, width)) inside.push_back(i);
  std::stable_sort(inside.begin(), inside.end(),
                   [](const Intervention& a, const Intervention& b) { return a.date < b.date; });
  std::vector<Mark> marks;
  std::vector<double> rowEnds;  // right end of the last label on each line
  for (const Intervention& i : inside) {
    Mark m{*TrendDayX(graph.months, i.date, left, width), 0, 0, i.label};
    const double w = s.TextWidth(m.label);
    m.labelLeft = m.x + gap;
    if (m.labelLeft + w > box.right()) m.labelLeft = std::max(box.left(), m.x - gap - w);
    int row = 0;
    while (row < static_cast<int>(rowEnds.size()) && rowEnds[static_cast<std::size_t>(row)] + gap > m.labelLeft) ++row;
    if (row == static_cast<int>(rowEnds.size())) rowEnds.push_back(0);
    rowEnds[static_cast<std::size_t>(row)] = m.labelLeft + w;
    m.row = row;
    marks.push_back(m);
  }

  // Down: the labels' lines, the plot, two lines of months and years.
  const double top = box.top() + static_cast<double>(rowEnds.size()) * line + (rowEnds.empty() ? gap : 2 * gap);
  const double bottom = box.bottom() - 2 * line - gap;
  layout.plot = QRectF(QPointF(left, top), QPointF(right, bottom));
  const auto yOf = [&](double v) { return bottom - (bottom - top) * v / scale.top; };

  // The grid and the values.
  for (int i = 0; i <= scale.lines; ++i) {
    const double y = yOf(scale.step * i);
    if (i > 0) s.DrawLine(left, y, right, y, PaletteColor(kLightGrey));
    const QString value = QString::number(scale.step * i, 'f', 0);
    Text(s, left - gap - s.TextWidth(value), y - line / 2, value);
  }

  // One tick per month; at each year's first month a long tick and a dotted
  // line up the plot, and the year under its months.
  const double tick = line * 0.25;
  const int firstMonth = FirstMonthOfYear(graph.kind);
  const bool everyMonth = s.TextWidth(QStringLiteral("12")) <= slot * 0.9;
  const bool quarters = !everyMonth && s.TextWidth(QStringLiteral("12")) <= slot * 2.7;
  std::size_t yearStart = 0;
  const auto labelYear = [&](std::size_t from, std::size_t to) {
    const MonthCount& m = graph.months[from];
    const int year = YearOfDate(m.year, m.month, graph.kind);
    const double x0 = left + slot * static_cast<double>(from);
    const double x1 = left + slot * static_cast<double>(to);
    const QString label = FittingYearLabel(s, year, graph.kind, x1 - x0);
    if (!label.isEmpty()) Text(s, (x0 + x1 - s.TextWidth(label)) / 2, bottom + line + gap, label);
  };
  for (std::size_t i = 0; i < graph.months.size(); ++i) {
    const MonthCount& m = graph.months[i];
    const double x = left + slot * static_cast<double>(i);
    const bool yearBegins = m.month == firstMonth;
    if (yearBegins && i > 0) {
      labelYear(yearStart, i);
      yearStart = i;
      s.SetLineStyle(LineStyle::Dotted);
      s.DrawLine(x, top, x, bottom, PaletteColor(kGrey));
      s.SetLineStyle(LineStyle::Solid);
    }
    s.DrawLine(x, bottom, x, bottom + (yearBegins ? 2 * tick : tick));
    if (everyMonth || (quarters && (m.month - 1) % 3 == 0)) {
      const QString number = QString::number(m.month);
      Text(s, x + (slot - s.TextWidth(number)) / 2, bottom + tick, number);
    }
  }
  s.DrawLine(right, bottom, right, bottom + tick);
  labelYear(yearStart, graph.months.size());

  // The axes.
  s.DrawLine(left, top, left, bottom);
  s.DrawLine(left, bottom, right, bottom);

  // The counts.
  s.SetLineWidth(style.lineDots);
  double lastX = 0;
  double lastY = 0;
  for (std::size_t i = 0; i < graph.months.size(); ++i) {
    const double x = left + slot * (static_cast<double>(i) + 0.5);
    const double y = yOf(static_cast<double>(graph.months[i].count));
    layout.monthX.push_back(x);
    if (i > 0) s.DrawLine(lastX, lastY, x, y, PaletteColor(kBlue));
    lastX = x;
    lastY = y;
  }
  if (style.pointWidth * 2 < slot) {
    for (std::size_t i = 0; i < graph.months.size(); ++i) {
      const double x = layout.monthX[i];
      const double y = yOf(static_cast<double>(graph.months[i].count));
      s.FillBox(x - style.pointWidth / 2, y - style.pointHeight / 2, x + style.pointWidth / 2,
                y + style.pointHeight / 2, PaletteColor(kBlue));
    }
  }

  // The interventions: the line from its label down to the axis; then the
  // labels on white, so that a line passing behind a lower label leaves it
  // readable.
  const auto labelTop = [&](const Mark& m) { return top - gap - static_cast<double>(m.row + 1) * line; };
  s.SetLineWidth(style.lineDots);
  for (const Mark& m : marks) {
    s.DrawLine(m.x, labelTop(m) + line * 0.5, m.x, bottom, PaletteColor(kRed));
    layout.markX.push_back(m.x);
    layout.markRow.push_back(m.row);
  }
  s.SetForeColor(kRed);
  for (const Mark& m : marks) {
    const double y = labelTop(m);
    s.FillBox(m.labelLeft - gap / 3, y, m.labelLeft + s.TextWidth(m.label) + gap / 3, y + line * 0.9, Qt::white);
    Text(s, m.labelLeft, y, m.label);
  }
  s.SetForeColor(kBlack);
  s.SetLineWidth(1);
  return layout;
}

}  // namespace orvanta
