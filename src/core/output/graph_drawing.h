#pragma once
// The pictures of the graph view: a bar, line or pie graph of one item drawn
// twice, on the figure surface (the figure alone, for "図だけ") and on the
// text surface (the figure with its title, labels, counts, scale values and
// legend, shown in the window and copied by "図と文字").
//
// Both pictures are 9405 twips wide. A bar or line graph gives each category
// 600 twips of height and 100 units, with 100 units above and below the
// plot; the value axis runs from x = 0 (count 0) to x = 2000 (the largest
// count). A pie picture is 7200 twips high and its units are twips; when its
// legend needs more room the picture grows downwards and scrolls like a bar
// graph, so that no entry is lost.

#include "core/analysis/graph_series.h"
#include "core/output/surface.h"

namespace orvanta {

inline constexpr int kGraphPictureWidthTwips = 9405;
// The part of the text surface that the graph area shows at a time.
inline constexpr int kGraphViewHeightTwips = 7215;
inline constexpr int kPiePictureHeightTwips = 7200;
// One step of the scroll bar moves the text surface this far.
inline constexpr int kGraphScrollStepTwips = 100;

// The height of both pictures: NV x 600 twips for a bar or line graph, 7200
// for a pie (more when its legend runs further down).
int GraphPictureHeightTwips(GraphKind kind, const GraphSeries& series);
// The scroll bar's maximum for a picture of that height: 0 when it fits the
// graph area, else the twips it runs past the area in steps of 100, rounded.
int GraphScrollMaximum(GraphKind kind, const GraphSeries& series);
int ScrollMaximumForHeight(int pictureHeightTwips);

// The colour of the n-th sector drawn (n from 0): 9, 10, 11, 12, 13, 14, 0,
// 1, ..., 6, then 9 again.
int PieSectorColor(int drawn);

// The largest font size, at most `size` and in steps of half a point, at
// which the text fits `widthUnits` on the surface (measured there).
double FittingFontSize(const Surface& surface, const QString& text, double widthUnits, double size = 9);

// Clears both surfaces and draws the graph of the kind: sets their
// coordinate systems, so the caller only sizes them (GraphPictureHeightTwips
// high, kGraphPictureWidthTwips wide).
void DrawGraph(GraphKind kind, const GraphSeries& series, Surface& figure, Surface& text);
void DrawBarGraph(const GraphSeries& series, Surface& figure, Surface& text);
void DrawLineGraph(const GraphSeries& series, Surface& figure, Surface& text);
void DrawPieGraph(const GraphSeries& series, Surface& figure, Surface& text);

}  // namespace orvanta
