#include "reports/body_sites.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(BodySites, NamesByNumber) {
  std::array<QString, kSiteSlots> names;
  names.fill(QStringLiteral("stale"));
  FillBodySiteNames(names);
  struct Case {
    int site;
    const char16_t* name;
  } cases[] = {
      {1, u"右手親指外側"},  {14, u"右手親指内側"},   {15, u"左手親指内側"}, {22, u"左手甲左側"},
      {28, u"左手親指外側"}, {29, u""},               {30, u"右腰部前面"},   {38, u"右足背部"},
      {39, u"左顔面"},       {47, u"左腰部前面"},     {48, u"左腰部後面"},   {51, u"左後頭部"},
      {57, u"右後頭部"},     {65, u"右腰部後面"},     {66, u""},             {81, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(names[c.site - 1], QString::fromUtf16(c.name)) << c.site;
  int named = 0;
  for (const QString& n : names) named += n.isEmpty() ? 0 : 1;
  EXPECT_EQ(named, 64);
}

TEST(BodySites, RegionsAndCheckBoxPlaces) {
  struct Case {
    int site;
    BodyRegion region;
    bool drawn;
    int column, row;
  } cases[] = {
      {0, BodyRegion::None, false, -1, -1},      {1, BodyRegion::RightHand, true, 0, 0},
      {14, BodyRegion::RightHand, true, 0, 13},  {16, BodyRegion::LeftHand, true, 0, 15},
      {17, BodyRegion::LeftHand, true, 1, 0},    {28, BodyRegion::LeftHand, true, 1, 11},
      {29, BodyRegion::None, false, -1, -1},     {30, BodyRegion::Front, true, 1, 13},
      {32, BodyRegion::Front, true, 1, 15},      {33, BodyRegion::Front, true, 2, 0},
      {47, BodyRegion::Front, true, 2, 14},      {48, BodyRegion::Back, true, 2, 15},
      {49, BodyRegion::Back, true, 3, 0},        {65, BodyRegion::Back, true, 3, 16},
      {66, BodyRegion::None, false, -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BodyRegionOf(c.site), c.region) << c.site;
    EXPECT_EQ(IsDrawnSite(c.site), c.drawn) << c.site;
    const SiteCheckBoxPlace p = CheckBoxPlaceOf(c.site);
    EXPECT_EQ(p.column, c.column) << c.site;
    EXPECT_EQ(p.row, c.row) << c.site;
  }
  EXPECT_EQ(BodyRegionCaption(BodyRegion::RightHand), QStringLiteral("右手"));
  EXPECT_EQ(BodyRegionCaption(BodyRegion::LeftHand), QStringLiteral("左手"));
  EXPECT_EQ(BodyRegionCaption(BodyRegion::Front), QStringLiteral("前面"));
  EXPECT_EQ(BodyRegionCaption(BodyRegion::Back), QStringLiteral("背面"));
  EXPECT_TRUE(BodyRegionCaption(BodyRegion::None).isEmpty());
}

}  // namespace
}  // namespace orvanta
