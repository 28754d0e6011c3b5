#pragma once
// The funnel plot, drawn on a surface: x the occupied beds, y the reports
// per 100 beds; the network's rate as the target line, the 95% and 99.8%
// control limits (core/network/funnel_statistics.h) as smooth curves over the
// whole x range (a limit below 0 is drawn at 0), each hospital a point. The
// points outside a 99.8% limit are drawn red and labelled with their
// 施設コード; one point may be highlighted (a hospital's own: larger, orange,
// labelled with its own label) while the others carry no name. A legend
// stands above the plot. The window draws it on a picture, the prints on an
// A4 page.

#include <QRectF>
#include <QString>
#include <vector>

namespace orvanta {

class Surface;

struct FunnelPoint {
  double beds = 0;
  double rate = 0;  // per 100 beds
  QString label;    // 施設コード; drawn only for a point outside a 99.8% limit
  bool outside998 = false;
  bool highlighted = false;
};

struct FunnelPlotData {
  double target = 0;  // the network's rate per 100 beds
  std::vector<FunnelPoint> points;
  QString highlightLabel;    // the highlighted point's label ("貴施設")
  bool nameOutliers = true;  // false: no point but the highlighted one is named
};

struct FunnelStyle {
  double lineHeight = 18;    // one line of text at the surface's font size, in y units
  double pointRadius = 2.5;  // in x units
  int curveDots = 2;
};

// Where things went, for whoever checks the drawing.
struct FunnelLayout {
  QRectF plot;
  double xTop = 1;   // the beds at the plot's right edge
  double yTop = 1;   // the rate at the plot's top edge
  int labelled = 0;  // points whose label was drawn
  double highlightedX = -1;
  double highlightedY = -1;
};

// A round top for an axis: 1, 1.5, 2, 2.5, 3, 4, 5, 6 or 8 times a power of
// ten, at least value.
double RoundAxisTop(double value);

FunnelLayout DrawFunnelPlot(Surface& surface, const FunnelPlotData& data, const QRectF& box, const FunnelStyle& style);

}  // namespace orvanta
