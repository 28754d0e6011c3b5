#include "core/output/item_graph_picture.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "core/output/painter_surface.h"
#include "core/output/recording_surface.h"
#include "support/item_graph_results.h"

namespace orvanta {
namespace {

using testing::MadeItemGraphResult;
using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;

TEST(ItemGraphPicture, SizeAndScrollingFollowTheNumberOfCategories) {
  struct Case {
    int categories;
    int twips;
    double units;
    int scrollMaximum;
  };
  for (const Case c : {Case{2, 9100, 1500, 0}, Case{12, 9100, 1500, 0}, Case{13, 9100, 1500, 0},
                       Case{14, 9800, 1600, 28}, Case{65, 45500, 6700, 385}, Case{101, 70700, 10300, 637}}) {
    SCOPED_TRACE(c.categories);
    const ItemGraphPictureSize size = ItemGraphPictureSizeFor(c.categories);
    EXPECT_EQ(size.heightTwips, c.twips);
    EXPECT_DOUBLE_EQ(size.heightUnits, c.units);
    EXPECT_EQ(size.scrollMaximum, c.scrollMaximum);
  }
}

TEST(ItemGraphPicture, BarsAreScaledToTheMaximumWithLabelsCountsAndScale) {
  RecordingSurface s;
  DrawItemGraphPicture(s, MadeItemGraphResult(AnalysisAxis::Month, {3, 0, 6}, {u" 1月"_s, u" 2月"_s, u" 3月"_s}));

  EXPECT_DOUBLE_EQ(s.ScaleLeft(), -850);
  EXPECT_DOUBLE_EQ(s.ScaleWidth(), 3000);
  EXPECT_DOUBLE_EQ(s.ScaleTop(), -100);
  EXPECT_DOUBLE_EQ(s.ScaleHeight(), 1500);
  ASSERT_FALSE(s.entries().empty());
  EXPECT_EQ(s.entries().front().op, Op::Clear);

  const auto bars = s.all(Op::FilledBox);
  ASSERT_EQ(bars.size(), 3u);
  const double ends[] = {1000, 0, 2000};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const auto& b = bars[static_cast<std::size_t>(k)];
    EXPECT_DOUBLE_EQ(b.x1, 0);
    EXPECT_DOUBLE_EQ(b.y1, 100 * k + 20);
    EXPECT_DOUBLE_EQ(b.x2, ends[k]);
    EXPECT_DOUBLE_EQ(b.y2, 100 * k + 80);
    EXPECT_EQ(b.color, QColor(255, 0, 0));
  }
  // Labels at x = -830 and the counts at the bars' ends, in 9 point.
  const auto label = s.findText(u" 3月"_s);
  ASSERT_TRUE(label);
  EXPECT_DOUBLE_EQ(label->x1, -830);
  EXPECT_DOUBLE_EQ(label->y1, 240);
  EXPECT_DOUBLE_EQ(label->fontSize, 9);
  // Texts and lines in black.
  for (const auto& e : s.entries())
    if (e.op == Op::Text || e.op == Op::Line) {
      EXPECT_EQ(e.color, QColor(0, 0, 0)) << e.text.toStdString();
    }
  const auto six = s.findText(u" 6"_s);
  ASSERT_TRUE(six);
  EXPECT_DOUBLE_EQ(six->x1, 2000);
  EXPECT_DOUBLE_EQ(six->y1, 240);
  EXPECT_DOUBLE_EQ(six->fontSize, 9);

  // The scale in 10 point under the frame (H - 180) and above it (-40):
  // 0, the middle value 3 and the maximum 6.
  struct Scale {
    QString text;
    double x;
  };
  for (const double y : {1320.0, -40.0}) {
    for (const Scale& sc : {Scale{u" 0"_s, -50}, Scale{u" 3"_s, 950}, Scale{u" 6"_s, 1950}}) {
      const auto& texts = s.entries();
      const bool found = std::any_of(texts.begin(), texts.end(), [&](const RecordingSurface::Entry& e) {
        return e.op == Op::Text && e.text == sc.text && e.x1 == sc.x && e.y1 == y && e.fontSize == 10;
      });
      EXPECT_TRUE(found) << sc.text.toStdString() << " at " << sc.x << ", " << y;
    }
  }
  // The frame: top at 0, bottom at H - 200, sides at 0 and 2000.
  const auto lines = s.all(Op::Line);
  const auto has = [&](double x1, double y1, double x2, double y2) {
    return std::any_of(lines.begin(), lines.end(), [&](const RecordingSurface::Entry& e) {
      return e.x1 == x1 && e.y1 == y1 && e.x2 == x2 && e.y2 == y2;
    });
  };
  EXPECT_TRUE(has(0, 0, 2000, 0));
  EXPECT_TRUE(has(0, 1300, 2000, 1300));
  EXPECT_TRUE(has(0, 0, 0, 1300));
  EXPECT_TRUE(has(2000, 0, 2000, 1300));
}

TEST(ItemGraphPicture, LongCodeListNamesTakeTwoLinesOfEighteen) {
  const QString name25 = u"臨床検査技師および診療放射線技師並びに臨床工学技士"_s;
  ASSERT_EQ(name25.size(), 25);
  const QString name18 = name25.left(18);
  RecordingSurface s;
  DrawItemGraphPicture(s, MadeItemGraphResult(AnalysisAxis::Occupation, {1, 2}, {u"医師"_s, name25}));
  const auto first = s.findText(name18);
  const auto second = s.findText(name25.mid(18));
  ASSERT_TRUE(first && second);
  EXPECT_DOUBLE_EQ(first->x1, -830);
  EXPECT_DOUBLE_EQ(first->y1, 120);
  EXPECT_DOUBLE_EQ(second->x1, -830);
  EXPECT_DOUBLE_EQ(second->y1, 150);
  EXPECT_EQ(second->text.size(), 7);
  EXPECT_FALSE(s.findText(name25));

  // An 18-character name stays on one line; other items never wrap.
  RecordingSurface t;
  DrawItemGraphPicture(t, MadeItemGraphResult(AnalysisAxis::Occupation, {1}, {name18}));
  ASSERT_TRUE(t.findText(name18));
  EXPECT_DOUBLE_EQ(t.findText(name18)->y1, 40);
  RecordingSurface u;
  DrawItemGraphPicture(u, MadeItemGraphResult(AnalysisAxis::BodySite, {1}, {name25}));
  EXPECT_TRUE(u.findText(name25));
}

TEST(ItemGraphPicture, NothingCountedLeavesTheFrameAndAScaleOfZeros) {
  RecordingSurface s;
  DrawItemGraphPicture(s, MadeItemGraphResult(AnalysisAxis::BodySite, std::vector<std::int64_t>(65, 0)));
  EXPECT_DOUBLE_EQ(s.ScaleHeight(), 6700);
  EXPECT_TRUE(s.all(Op::FilledBox).empty());
  const QStringList texts = s.texts();
  EXPECT_EQ(texts.size(), 6);
  for (const QString& t : texts) EXPECT_EQ(t, u" 0"_s);
  // The frame's bottom edge lies at H - 200 = 6500.
  const auto lines = s.all(Op::Line);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const auto& e) { return e.y1 == 6500 && e.y2 == 6500 && e.x2 == 2000; }));
}

// The picture on screen, drawn as the window draws it (lines not smoothed,
// so that they stay sharp): bars in red where the scale puts them.
TEST(ItemGraphPicture, PaintedPictureShowsTheBarsInRed) {
  PainterSurface s(QSize(780, 607));
  s.SetAntialiased(false);
  DrawItemGraphPicture(s, MadeItemGraphResult(AnalysisAxis::Month, {3, 0, 6}));
  const QImage image = s.Image();
  // Unit x = 0 is pixel 780 * 850 / 3000 = 221; the full bar ends at pixel
  // 741; category 3's bar spans y = 220 to 280, pixels 607 * 320 / 1500 = 129
  // to 154.
  EXPECT_EQ(image.pixelColor(700, 142), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(230, 142), QColor(255, 0, 0));
  // Category 1's bar ends half-way, at pixel 481.
  EXPECT_EQ(image.pixelColor(470, 60), QColor(255, 0, 0));
  EXPECT_NE(image.pixelColor(500, 60), QColor(255, 0, 0));
  // The frame's right edge (x = 2000) in black, between two bars.
  const QColor left = image.pixelColor(740, 100);
  const QColor right = image.pixelColor(741, 100);
  EXPECT_TRUE(left == QColor(0, 0, 0) || right == QColor(0, 0, 0))
      << left.name().toStdString() << " " << right.name().toStdString();
}

}  // namespace
}  // namespace orvanta
