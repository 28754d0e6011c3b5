#include "core/network/funnel_plot.h"

#include <gtest/gtest.h>

#include "core/output/recording_surface.h"

namespace orvanta {
namespace {

FunnelPlotData Data() {
  FunnelPlotData data;
  data.target = 5;
  for (int i = 0; i < 500; ++i)
    data.points.push_back(FunnelPoint{50.0 + i * 2, 4.0 + (i % 5) * 0.5, QStringLiteral("P%1").arg(i)});
  data.points.push_back(FunnelPoint{600, 14, QStringLiteral("HIGH1"), true});
  data.points.push_back(FunnelPoint{610, 14.2, QStringLiteral("HIGH2"), true});  // beside it
  return data;
}

TEST(FunnelPlotTest, OnlyThePointsOutsideTheWidestLimitsAreNamedAndTheirNamesDoNotOverlap) {
  RecordingSurface s;
  s.SetScale(0, 0, 1000, 700);
  const FunnelLayout layout = DrawFunnelPlot(s, Data(), QRectF(0, 0, 1000, 700), FunnelStyle{});
  const QStringList texts = s.texts();
  EXPECT_TRUE(texts.contains(QStringLiteral("HIGH1")));
  EXPECT_TRUE(texts.contains(QStringLiteral("HIGH2")));
  EXPECT_FALSE(texts.contains(QStringLiteral("P7")));
  EXPECT_EQ(layout.labelled, 2);
  EXPECT_EQ(layout.xTop, 1500);  // 1,048 beds × 1.05 rounded up
  EXPECT_TRUE(texts.contains(QStringLiteral("稼働病床数")));
  EXPECT_TRUE(texts.contains(QStringLiteral("100床あたり件数")));
  std::vector<QPointF> at;
  for (const auto& e : s.all(RecordingSurface::Op::Text))
    if (e.text.startsWith(QStringLiteral("HIGH"))) at.emplace_back(e.x1, e.y1);
  ASSERT_EQ(at.size(), 2u);
  EXPECT_GE(std::abs(at[0].y() - at[1].y()), FunnelStyle{}.lineHeight - 1e-9);
}

TEST(FunnelPlotTest, AHighlightedPointCarriesItsOwnLabelAndNoOtherIsNamed) {
  FunnelPlotData data = Data();
  data.nameOutliers = false;
  data.highlightLabel = QStringLiteral("貴施設");
  data.points[10].highlighted = true;
  RecordingSurface s;
  s.SetScale(0, 0, 1000, 700);
  const FunnelLayout layout = DrawFunnelPlot(s, data, QRectF(0, 0, 1000, 700), FunnelStyle{});
  const QStringList texts = s.texts();
  EXPECT_TRUE(texts.contains(QStringLiteral("貴施設")));
  EXPECT_FALSE(texts.contains(QStringLiteral("HIGH1")));
  EXPECT_EQ(layout.labelled, 1);
  EXPECT_GT(layout.highlightedX, layout.plot.left());
}

}  // namespace
}  // namespace orvanta
