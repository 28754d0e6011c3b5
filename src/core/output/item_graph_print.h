#pragma once
// The print of the item graph window ("印刷"): A4 portrait pages with the
// graph item and the period on top, the conditions on the first page, and
// one red bar per category, 100 units a line on a page of 2900 x 4000 units.

#include <QStringList>

#include "core/analysis/item_graph.h"

namespace orvanta {

class Surface;

// The x where every bar starts, from the longest label (in characters): 500
// up to 8 characters, 50 per character and 50 more for 9 to 19, 1080 from 20
// on.
int ItemGraphBarOrigin(const QStringList& labels);

// Draws every page of the print on a surface that is ready (after the
// printer dialog): the header of the first page with the conditions, then
// the categories, a new page whenever a page is full (33 lines, less the
// condition lines on the first), each page finished with its frame, bar axis
// and scale. A first page whose conditions leave no line for a category holds
// the header and conditions only. Does not end the document. Returns false
// when the surface failed.
bool DrawItemGraphPages(Surface& surface, const ItemGraphResult& result, const ItemGraphHeading& heading);

}  // namespace orvanta
