#include "core/network/funnel_statistics.h"

#include <cmath>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

// The interpolated quantile computed another way: the Poisson probabilities
// summed one by one from P(X = 0) (in logarithms, so a mean above 1000 does
// not underflow), the step found by walking up, α from the two sums.
double SummedQuantile(double mean, double p) {
  double cumulative = 0;
  double previous = 0;
  for (int k = 0;; ++k) {
    previous = cumulative;
    cumulative += std::exp(-mean + k * std::log(mean) - std::lgamma(k + 1.0));
    if (cumulative >= p) return k - (cumulative - p) / (cumulative - previous);
  }
}

TEST(FunnelStatisticsTest, InterpolatedQuantilesMatchTheSummedDistribution) {
  // Means below 1, near 10 and above 1000; each of the four probabilities.
  for (const double mean : {0.05, 0.3, 0.97, 9.6, 10.0, 10.4, 57.3, 1234.5, 4000.0}) {
    for (const double p : {kFunnelLower998, kFunnelLower95, kFunnelUpper95, kFunnelUpper998}) {
      SCOPED_TRACE(testing::Message() << "E=" << mean << " p=" << p);
      EXPECT_NEAR(PoissonInterpolatedQuantile(mean, p), SummedQuantile(mean, p), 1e-6 * std::max(1.0, mean));
    }
  }
  // By hand for E = 0.3, p = 0.975: P(X ≤ 1) = 0.96306, P(X ≤ 2) = 0.99640,
  // so r = 2 and α = (0.99640 − 0.975) / (0.99640 − 0.96306) = 0.6418.
  EXPECT_NEAR(PoissonInterpolatedQuantile(0.3, 0.975), 2 - 0.6418, 1e-3);
  // A lower limit below the first step is 0 − α, never below −1: at E = 0.3
  // P(X ≤ 0) = 0.7408 already exceeds 0.025.
  EXPECT_NEAR(PoissonInterpolatedQuantile(0.3, 0.025), -(0.7408 - 0.025) / 0.7408, 1e-3);
  EXPECT_EQ(PoissonInterpolatedQuantile(0, 0.975), 0);
}

TEST(FunnelStatisticsTest, LimitsAreRatesPerHundredBedsAroundTheTargetAndNarrowWithSize) {
  const double target = 5.0;  // reports per 100 beds
  double previousWidth = 1e9;
  for (const double beds : {20.0, 150.0, 480.0, 1200.0, 30000.0}) {
    SCOPED_TRACE(beds);
    const auto limits = FunnelLimitsAt(target, beds);
    ASSERT_TRUE(limits);
    const double expected = target * beds / 100;
    EXPECT_NEAR(limits->upper95, SummedQuantile(expected, 0.975) / (beds / 100), 1e-6);
    EXPECT_NEAR(limits->lower998, SummedQuantile(expected, 0.001) / (beds / 100), 1e-6);
    EXPECT_LT(limits->lower998, limits->lower95);
    EXPECT_LT(limits->lower95, target);
    EXPECT_GT(limits->upper95, target);
    EXPECT_LT(limits->upper95, limits->upper998);
    const double width = limits->upper998 - limits->lower998;
    EXPECT_LT(width, previousWidth);
    previousWidth = width;
  }
  EXPECT_FALSE(FunnelLimitsAt(target, 0));
  EXPECT_FALSE(FunnelLimitsAt(target, -3));
  EXPECT_FALSE(FunnelLimitsAt(target, std::nan("")));
}

TEST(FunnelStatisticsTest, PlacesOnTheFunnel) {
  const FunnelLimits limits{1, 2, 8, 9};
  struct Case {
    double rate;
    FunnelPlace place;
    const char* text;
  };
  const Case cases[] = {
      {9.5, FunnelPlace::Above998, "99.8%の上限を超える"},
      {8.5, FunnelPlace::Above95, "95%の上限を超える"},
      {8.0, FunnelPlace::Inside, "範囲内"},
      {2.0, FunnelPlace::Inside, "範囲内"},
      {1.5, FunnelPlace::Below95, "95%の下限を下回る"},
      {0.5, FunnelPlace::Below998, "99.8%の下限を下回る"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    EXPECT_EQ(PlaceOnFunnel(c.rate, limits), c.place);
    EXPECT_EQ(FunnelPlaceText(c.place), QString::fromUtf8(c.text));
  }
}

TEST(FunnelStatisticsTest, PercentilesInterpolateLikeASpreadsheet) {
  // The spreadsheet's own example: PERCENTILE.INC({1,3,2,4}, 0.3) = 1.9.
  EXPECT_NEAR(*PercentileInc({1, 3, 2, 4}, 0.3), 1.9, 1e-12);
  const std::vector<double> rates{7.5, 2.0, 4.0, 11.0, 3.0};  // sorted: 2 3 4 7.5 11
  EXPECT_NEAR(*PercentileInc(rates, 0.5), 4.0, 1e-12);
  EXPECT_NEAR(*PercentileInc(rates, 0.25), 3.0, 1e-12);
  EXPECT_NEAR(*PercentileInc(rates, 0.75), 7.5, 1e-12);
  EXPECT_NEAR(*PercentileInc(rates, 0.9), 7.5 + 0.6 * 3.5, 1e-12);  // h = 3.6
  EXPECT_NEAR(*PercentileInc(rates, 0.0), 2.0, 1e-12);
  EXPECT_NEAR(*PercentileInc(rates, 1.0), 11.0, 1e-12);
  EXPECT_NEAR(*PercentileInc({6.0}, 0.9), 6.0, 1e-12);
  EXPECT_FALSE(PercentileInc({}, 0.5));

  EXPECT_NEAR(*PercentileRank(rates, 4.0), 50.0, 1e-12);  // two below, itself half
  EXPECT_NEAR(*PercentileRank(rates, 1.0), 0.0, 1e-12);
  EXPECT_NEAR(*PercentileRank(rates, 20.0), 100.0, 1e-12);
  EXPECT_FALSE(PercentileRank({}, 1.0));
}

TEST(FunnelStatisticsTest, BedClassesHaveTheirBounds) {
  const std::pair<double, const char*> cases[] = {
      {0.5, "200床未満"},  {199.9, "200床未満"},  {200, "200〜399床"}, {399.5, "200〜399床"},
      {400, "400〜599床"}, {599.9, "400〜599床"}, {600, "600床以上"},  {2500, "600床以上"},
  };
  for (const auto& [beds, name] : cases) EXPECT_EQ(BedClassName(BedClassOf(beds)), QString::fromUtf8(name)) << beds;
}

}  // namespace
}  // namespace orvanta
