#pragma once
// The picture of the item graph window: one horizontal red bar per category
// of the graph item, the longest at full length, inside a frame with the
// scale above and below. It is drawn on a surface whose coordinates run from
// x = -850 over 3000 units (the bar axis at 0, a full bar ends at 2000) and
// from y = -100 down, one category per 100 units.

#include "core/analysis/item_graph.h"

namespace orvanta {

class Surface;

inline constexpr double kItemGraphPictureLeft = -850;
inline constexpr double kItemGraphPictureWidth = 3000;
inline constexpr double kItemGraphPictureTop = -100;
// Up to this many categories the picture fits the window without scrolling.
inline constexpr int kItemGraphRowsWithoutScrolling = 13;

// The size of the picture for a number of categories: up to 13, 9100 twips
// high for 1500 units and no scrolling; above, 700 twips and 100 units per
// category plus 200 units, and a scroll bar whose every step moves the
// picture by 100 twips.
struct ItemGraphPictureSize {
  int heightTwips = 9100;
  double heightUnits = 1500;
  int scrollMaximum = 0;  // 0: the picture does not scroll
};
ItemGraphPictureSize ItemGraphPictureSizeFor(int categoryCount);

// Clears the surface, sets its coordinates for the result's categories and
// draws the frame with its middle marks; when the maximum is above 0 the
// label, bar and count of every category; and the scale (0, the middle value
// and the maximum, in 10 point) above and below the frame. Labels stand at
// x = -830; a code-list name of 19 characters or more takes two lines of up
// to 18.
void DrawItemGraphPicture(Surface& surface, const ItemGraphResult& result);

}  // namespace orvanta
