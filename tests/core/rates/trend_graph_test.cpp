#include "core/rates/trend_graph.h"

#include <gtest/gtest.h>

#include "core/output/recording_surface.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;

TEST(TrendGraphTest, ScaleReachesTheLargestCountInRoundSteps) {
  struct Case {
    std::int64_t largest;
    double top, step;
    int lines;
  };
  const Case cases[] = {{0, 1, 1, 1},   {1, 1, 1, 1},      {6, 6, 1, 6},         {7, 8, 2, 4},
                        {13, 15, 5, 3}, {100, 100, 20, 5}, {1234, 1500, 500, 3}, {60000, 60000, 10000, 6}};
  for (const Case& c : cases) {
    const TrendScale s = TrendScaleFor(c.largest);
    EXPECT_EQ(s.top, c.top) << c.largest;
    EXPECT_EQ(s.step, c.step) << c.largest;
    EXPECT_EQ(s.lines, c.lines) << c.largest;
  }
}

// Twelve months of 年度 2023; three interventions inside, one outside. The
// two on 1 and 3 October have labels that would overlap: the second goes on
// the line above.
TEST(TrendGraphTest, InterventionsInsideAreRedLinesWithTheirLabels) {
  TrendGraph graph;
  graph.kind = YearKind::Fiscal;
  for (int i = 0; i < 12; ++i) graph.months.push_back(MonthCount{i < 9 ? 2023 : 2024, (i + 3) % 12 + 1, i, true});
  graph.interventions = {{1, QDate(2023, 10, 1), u"安全器材"_s},
                         {2, QDate(2023, 10, 3), u"研修"_s},
                         {3, QDate(2024, 3, 16), u"容器"_s},
                         {4, QDate(2024, 4, 1), u"外"_s}};
  RecordingSurface s;
  s.SetScale(0, 0, 1200, 600);
  s.SetCharacterWidth(20);
  const TrendLayout layout = DrawTrendGraph(s, graph, QRectF(0, 0, 1200, 600), TrendStyle{40, 6, 6, 2});

  ASSERT_EQ(layout.monthX.size(), 12u);
  ASSERT_EQ(layout.markX.size(), 3u);
  const double slot = layout.plot.width() / 12;
  EXPECT_NEAR(layout.markX[0], layout.plot.left() + 6 * slot, 1e-9);
  EXPECT_NEAR(layout.markX[1], layout.plot.left() + (6 + 2.0 / 31) * slot, 1e-9);
  EXPECT_NEAR(layout.markX[2], layout.plot.left() + (11 + 15.0 / 31) * slot, 1e-9);
  EXPECT_EQ(layout.markRow, (std::vector<int>{0, 1, 0}));
  // Two label lines above the plot.
  EXPECT_NEAR(layout.plot.top(), 2 * 40 + 2 * 12, 1e-9);

  int redLines = 0;
  for (const auto& e : s.all(Op::Line)) {
    if (e.color != QColor(255, 0, 0)) continue;
    ++redLines;
    EXPECT_EQ(e.x1, e.x2);
    EXPECT_EQ(e.y2, layout.plot.bottom());
  }
  EXPECT_EQ(redLines, 3);
  const auto label = s.findText(u"研修"_s);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->color, QColor(255, 0, 0));
  EXPECT_LT(label->y1, s.findText(u"安全器材"_s)->y1);
  EXPECT_FALSE(s.findText(u"外"_s));
  // The year under its months, one tick per month and one at the end.
  EXPECT_TRUE(s.findText(u"2023年度"_s));
  EXPECT_TRUE(s.findText(u"4"_s));
  EXPECT_TRUE(s.findText(u"3"_s));
}

TEST(TrendGraphTest, NoMonthsSaysSo) {
  RecordingSurface s;
  s.SetScale(0, 0, 1000, 500);
  DrawTrendGraph(s, TrendGraph{}, QRectF(0, 0, 1000, 500), TrendStyle{});
  EXPECT_TRUE(s.findText(u"表示する月がありません"_s));
}

}  // namespace
}  // namespace orvanta
