#pragma once
// The catalogue of numbered body sites of question 12: 65 numbers, 28 on the
// two hands, 18 on the front of the body, 18 on the back, and number 29,
// which has no site and an empty name.

#include <QString>
#include <array>

#include "core/reports/report_record.h"

namespace orvanta {

// Fills the names: index n - 1 holds the name of site n; index 28 (site 29)
// and indexes 65 to 80 are empty.
void FillBodySiteNames(std::array<QString, kSiteSlots>& names);

// The names, filled once for the whole run.
const std::array<QString, kSiteSlots>& BodySiteNames();

// The part of the drawing a site number belongs to.
enum class BodyRegion {
  None,       // 29, and every number outside 1-65
  RightHand,  // 1-14, "右手"
  LeftHand,   // 15-28, "左手"
  Front,      // 30-47, "前面" (right side 30-38, left side 39-47)
  Back,       // 48-65, "背面" (left side 48-56, right side 57-65)
};

BodyRegion BodyRegionOf(int siteNumber);

// The caption of a region on the drawing ("右手", "左手", "前面", "背面");
// empty for None.
QString BodyRegionCaption(BodyRegion region);

// Whether a site number has a check box and a label on the drawing: 1-65
// except 29.
bool IsDrawnSite(int siteNumber);

// Where a site's check box stands in the four columns at the right of the
// body-site page: column 0 is the rightmost. Numbers run down each column:
// 1-16, 17-32 (the place of 29 left empty), 33-48, 49-65.
struct SiteCheckBoxPlace {
  int column = -1;  // -1 for a number without a check box
  int row = -1;
};

SiteCheckBoxPlace CheckBoxPlaceOf(int siteNumber);

}  // namespace orvanta
