#pragma once
// The statistics of the rates: a rate with its exact 95% interval, and the
// comparison of two rates (after against before) by the conditional binomial
// test. The distributions are Boost.Math's.
//
//   rate = k / d × m
//   Garwood's exact interval of a Poisson count k:
//     lower = χ²(0.025; 2k) / 2   (0 when k = 0)
//     upper = χ²(0.975; 2k + 2) / 2
//   each divided by d and multiplied by m.
//
// Two rates k_b / T_b (before) and k_a / T_a (after): given n = k_a + k_b,
// k_a is binomial with p = T_a·RR / (T_a·RR + T_b). The rate ratio RR =
// (k_a / T_a) / (k_b / T_b) has the exact interval of the Clopper-Pearson
// interval of p carried over, and the two-sided p-value of RR = 1 is that of
// the binomial test of k_a out of n with p0 = T_a / (T_b + T_a): the sum of
// the probabilities of every outcome no more likely than the one observed.

#include <cstdint>
#include <optional>

namespace orvanta {

inline constexpr double kConfidence = 0.95;

// Garwood's exact 95% interval of a count.
struct CountInterval {
  double lower = 0;
  double upper = 0;
};
CountInterval GarwoodInterval(std::int64_t count);

// A rate with its interval, per `multiplier` units of the denominator.
struct RateEstimate {
  double rate = 0;
  double lower = 0;
  double upper = 0;
  friend bool operator==(const RateEstimate&, const RateEstimate&) = default;
};
// The rate of count over denominator × multiplier; none when the
// denominator is not above 0.
std::optional<RateEstimate> EstimateRate(std::int64_t count, double denominator, double multiplier);

// The comparison of an after-rate with a before-rate.
struct RateRatio {
  // (k_a / T_a) / (k_b / T_b); infinite when k_b is 0 and k_a is not, none
  // when both are 0.
  std::optional<double> ratio;
  double lower = 0;  // 0 when k_a is 0
  double upper = 0;  // infinite when k_b is 0
  double pValue = 1;
};
// None when either time is not above 0.
std::optional<RateRatio> CompareRates(std::int64_t countBefore, double timeBefore, std::int64_t countAfter,
                                      double timeAfter);

// The two-sided p-value of the binomial test of x successes out of n with
// success probability p0 (0 < p0 < 1).
double BinomialTestPValue(std::int64_t x, std::int64_t n, double p0);

}  // namespace orvanta
