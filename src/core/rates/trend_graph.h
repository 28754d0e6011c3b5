#pragma once
// The monthly trend of the rates window, drawn on a surface: the reports of
// each month of the period as a line over one tick per month, the years
// labelled under their months, and every intervention inside the period as
// a red vertical line at its day with its label above the plot. The window
// draws it on a picture, the print on an A4 landscape page.
//
// The graph fills a box given in the surface's units. The style says how
// many vertical units one line of text takes at the surface's font size (the
// labels of interventions that would overlap go on further lines above the
// plot), how big a month's point is in the units of each direction and how
// many dots wide the lines of the counts and the interventions are.

#include <QRectF>
#include <optional>
#include <vector>

#include "core/rates/interventions.h"
#include "core/rates/rate_years.h"
#include "core/rates/rates.h"

namespace orvanta {

class Surface;

struct TrendGraph {
  std::vector<MonthCount> months;
  std::vector<Intervention> interventions;  // those outside the months are not drawn
  YearKind kind = YearKind::Fiscal;
};

// Where things went, for whoever checks the drawing.
struct TrendLayout {
  QRectF plot;                 // the plot area (axes at its left and bottom)
  double top = 0;              // the value at the plot's top edge
  std::vector<double> monthX;  // the point of each month
  std::vector<double> markX;   // the line of each intervention drawn, in date order
  std::vector<int> markRow;    // the label line of each, 0 nearest the plot
};

// The scale: grid lines at a round step (1, 2 or 5 times a power of ten),
// as few as reach the largest count, at most six; at least one.
struct TrendScale {
  double top = 1;
  double step = 1;
  int lines = 1;
};
TrendScale TrendScaleFor(std::int64_t largest);

// The x of a day in a graph of the months: inside its month's slot by the
// day's place in the month. None when the day is outside the months.
std::optional<double> TrendDayX(const std::vector<MonthCount>& months, const QDate& day, double plotLeft,
                                double plotWidth);

struct TrendStyle {
  double lineHeight = 100;
  double pointWidth = 10;
  double pointHeight = 10;
  int lineDots = 2;
};

TrendLayout DrawTrendGraph(Surface& surface, const TrendGraph& graph, const QRectF& box, const TrendStyle& style);

}  // namespace orvanta
