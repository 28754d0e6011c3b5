#include "core/rates/rate_statistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace orvanta {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// A value computed independently to twelve digits, compared to nine.
void ExpectClose(double actual, double expected, const char* what) {
  if (std::isinf(expected)) {
    EXPECT_TRUE(std::isinf(actual)) << what << ": " << actual;
    return;
  }
  EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

// tools/make_rates_expectations.py, from mpmath.
TEST(RateStatisticsTest, GarwoodIntervalsMatchIndependentValues) {
  struct Case {
    std::int64_t k;
    double lower, upper;
  };
  const Case cases[] = {
      {0, 0.0, 3.68887945411},
      {1, 0.0253178079843, 5.57164339094},
      {2, 0.242209278544, 7.22468766772},
      {5, 1.62348639012, 11.6683320793},
      {10, 4.79538869613, 18.390356042},
      {37, 26.0514145671, 50.9996261419},
      {100, 81.3639912509, 121.626793792},
      {1000, 938.973018408, 1063.95213602},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.k);
    const CountInterval i = GarwoodInterval(c.k);
    ExpectClose(i.lower, c.lower, "lower");
    ExpectClose(i.upper, c.upper, "upper");
    // The same count over 250 units, per 100.
    const std::optional<RateEstimate> r = EstimateRate(c.k, 250, 100);
    ASSERT_TRUE(r);
    ExpectClose(r->rate, static_cast<double>(c.k) * 0.4, "rate");
    ExpectClose(r->lower, c.lower * 0.4, "rate's lower");
    ExpectClose(r->upper, c.upper * 0.4, "rate's upper");
  }
}

TEST(RateStatisticsTest, NoRateWithoutAPositiveDenominator) {
  EXPECT_FALSE(EstimateRate(3, 0, 100));
  EXPECT_FALSE(EstimateRate(3, -5, 100));
  EXPECT_FALSE(EstimateRate(3, std::numeric_limits<double>::quiet_NaN(), 100));
  EXPECT_FALSE(EstimateRate(0, kInf, 100));
}

TEST(RateStatisticsTest, RateRatiosMatchIndependentValues) {
  struct Case {
    std::int64_t kb;
    double tb;
    std::int64_t ka;
    double ta;
    double ratio, lower, upper, p;
  };
  const Case cases[] = {
      {20, 12, 8, 12, 0.4, 0.152387735238, 0.948058205046, 0.0356981381774},
      {30, 350, 12, 360, 0.388888888889, 0.181328298311, 0.782181059757, 0.00494455006851},
      {5, 6, 5, 12, 0.5, 0.115071234469, 2.17256728976, 0.317177259564},
      {0, 12, 4, 12, kInf, 0.66012401936, kInf, 0.125},
      {6, 12, 0, 12, 0.0, 0.0, 0.849311194297, 0.03125},
      {400, 1000, 330, 1000, 0.825, 0.710931001685, 0.956853646888, 0.0106059947787},
      {1, 1, 1, 1, 1.0, 0.0127393670837, 78.4968353163, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.kb << "/" << c.tb << " -> " << c.ka << "/" << c.ta);
    const std::optional<RateRatio> r = CompareRates(c.kb, c.tb, c.ka, c.ta);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->ratio);
    ExpectClose(*r->ratio, c.ratio, "ratio");
    ExpectClose(r->lower, c.lower, "lower");
    ExpectClose(r->upper, c.upper, "upper");
    ExpectClose(r->pValue, c.p, "p");
  }
}

TEST(RateStatisticsTest, NothingToCompareWithoutTimeOrReports) {
  EXPECT_FALSE(CompareRates(3, 0, 4, 12));
  EXPECT_FALSE(CompareRates(3, 12, 4, 0));
  const std::optional<RateRatio> none = CompareRates(0, 12, 0, 12);
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->ratio);
  EXPECT_EQ(none->pValue, 1);
}

// The two-sided test sums both tails; a large n takes no time and agrees
// with the normal approximation's order of magnitude.
TEST(RateStatisticsTest, BinomialTestTails) {
  EXPECT_EQ(BinomialTestPValue(5, 10, 0.5), 1);
  EXPECT_DOUBLE_EQ(BinomialTestPValue(0, 5, 0.5), 2.0 / 32);
  EXPECT_DOUBLE_EQ(BinomialTestPValue(5, 5, 0.5), 2.0 / 32);
  // 9 of 10 with p0 = 0.5: {0, 1, 9, 10} = 22 / 1024.
  EXPECT_NEAR(BinomialTestPValue(9, 10, 0.5), 22.0 / 1024, 1e-15);
  // Four standard deviations off: about 6.3e-5.
  const double p = BinomialTestPValue(498000, 1000000, 0.5);
  EXPECT_GT(p, 5e-5);
  EXPECT_LT(p, 8e-5);
  EXPECT_NEAR(BinomialTestPValue(500500, 1000000, 0.5), 0.3173, 5e-3);
}

}  // namespace
}  // namespace orvanta
