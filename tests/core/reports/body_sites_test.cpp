#include "core/reports/body_sites.h"

#include <QSet>
#include <QStringList>
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
    // clang-format off
  } cases[] = {
      {1, u"右手親指外側"},  {14, u"右手親指内側"},   {15, u"左手親指内側"}, {22, u"左手甲左側"},
      {28, u"左手親指外側"}, {29, u""},               {30, u"右腰部前面"},   {38, u"右足背部"},
      {39, u"左顔面"},       {47, u"左腰部前面"},     {48, u"左腰部後面"},   {51, u"左後頭部"},
      {57, u"右後頭部"},     {65, u"右腰部後面"},     {66, u""},             {81, u""},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(names[c.site - 1], QString::fromUtf16(c.name)) << c.site;
  int named = 0;
  for (const QString& n : names) named += n.isEmpty() ? 0 : 1;
  EXPECT_EQ(named, 64);
}

// Every name differs from the others, and the two sides of each part of the
// drawing name the same places: a slip in any one name breaks its pair.
TEST(BodySites, EachSideNamesTheSamePlacesAsTheOther) {
  std::array<QString, kSiteSlots> names;
  FillBodySiteNames(names);
  QSet<QString> distinct;
  for (int i = 0; i < kSiteCount; ++i) distinct.insert(names[i]);
  EXPECT_EQ(distinct.size(), kSiteCount);  // 64 names and the empty one

  // (first, last, side prefix) of the two sides of each part.
  struct Side {
    int first, last;
    const char16_t* prefix;
  };
  const std::pair<Side, Side> parts[] = {
      {{1, 14, u"右手"}, {15, 28, u"左手"}},
      {{30, 38, u"右"}, {39, 47, u"左"}},
      {{57, 65, u"右"}, {48, 56, u"左"}},
  };
  auto places = [&](const Side& side) {
    const QString prefix = QString::fromUtf16(side.prefix);
    QStringList out;
    for (int n = side.first; n <= side.last; ++n) {
      EXPECT_TRUE(names[n - 1].startsWith(prefix)) << n;
      out.append(names[n - 1].mid(prefix.size()));
    }
    out.sort();
    return out;
  };
  for (const auto& [right, left] : parts) {
    SCOPED_TRACE(right.first);
    EXPECT_EQ(places(right), places(left));
  }
  // No front site names a back surface and no back site a front one.
  for (int n = 48; n <= 65; ++n) EXPECT_FALSE(names[n - 1].contains(QStringLiteral("前面"))) << n;
  for (int n = 30; n <= 47; ++n) EXPECT_FALSE(names[n - 1].contains(QStringLiteral("後"))) << n;
}

TEST(BodySites, RegionsAndCheckBoxPlaces) {
  struct Case {
    int site;
    BodyRegion region;
    bool drawn;
    int column, row;
  } cases[] = {
      {0, BodyRegion::None, false, -1, -1},     {1, BodyRegion::RightHand, true, 0, 0},
      {14, BodyRegion::RightHand, true, 0, 13}, {16, BodyRegion::LeftHand, true, 0, 15},
      {17, BodyRegion::LeftHand, true, 1, 0},   {28, BodyRegion::LeftHand, true, 1, 11},
      {29, BodyRegion::None, false, -1, -1},    {30, BodyRegion::Front, true, 1, 13},
      {32, BodyRegion::Front, true, 1, 15},     {33, BodyRegion::Front, true, 2, 0},
      {47, BodyRegion::Front, true, 2, 14},     {48, BodyRegion::Back, true, 2, 15},
      {49, BodyRegion::Back, true, 3, 0},       {65, BodyRegion::Back, true, 3, 16},
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
