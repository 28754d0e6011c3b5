#include "core/rates/rate_statistics.h"

#include <algorithm>
#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>

namespace orvanta {
namespace {

constexpr double kTail = (1.0 - kConfidence) / 2.0;  // 0.025
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double ChiSquaredQuantile(double degrees, double probability) {
  return boost::math::quantile(boost::math::chi_squared_distribution<double>(degrees), probability);
}

// The Clopper-Pearson interval of a binomial proportion x / n (n > 0).
CountInterval ProportionInterval(std::int64_t x, std::int64_t n) {
  const double xs = static_cast<double>(x);
  const double ns = static_cast<double>(n);
  CountInterval p{0, 1};
  if (x > 0) p.lower = boost::math::quantile(boost::math::beta_distribution<double>(xs, ns - xs + 1), kTail);
  if (x < n) p.upper = boost::math::quantile(boost::math::beta_distribution<double>(xs + 1, ns - xs), 1 - kTail);
  return p;
}

}  // namespace

CountInterval GarwoodInterval(std::int64_t count) {
  const double k = static_cast<double>(std::max<std::int64_t>(count, 0));
  CountInterval i;
  i.lower = k > 0 ? ChiSquaredQuantile(2 * k, kTail) / 2 : 0.0;
  i.upper = ChiSquaredQuantile(2 * k + 2, 1 - kTail) / 2;
  return i;
}

std::optional<RateEstimate> EstimateRate(std::int64_t count, double denominator, double multiplier) {
  if (!(denominator > 0) || !std::isfinite(denominator)) return std::nullopt;
  const CountInterval i = GarwoodInterval(count);
  const double per = multiplier / denominator;
  const RateEstimate estimate{static_cast<double>(count) * per, i.lower * per, i.upper * per};
  // A denominator too small to mean anything never shows as an infinite rate.
  if (!std::isfinite(estimate.rate) || !std::isfinite(estimate.lower) || !std::isfinite(estimate.upper))
    return std::nullopt;
  return estimate;
}

double BinomialTestPValue(std::int64_t x, std::int64_t n, double p0) {
  if (n <= 0) return 1;
  const boost::math::binomial_distribution<double> b(static_cast<double>(n), p0);
  const double observed = boost::math::pdf(b, static_cast<double>(x));
  // Outcomes whose probability equals the observed one up to rounding count
  // as no more likely.
  const double bound = observed * (1 + 1e-7);
  const double expected = static_cast<double>(n) * p0;
  const auto pdf = [&](std::int64_t y) { return boost::math::pdf(b, static_cast<double>(y)); };
  double p = 0;
  if (static_cast<double>(x) == expected) return 1;
  if (static_cast<double>(x) < expected) {
    // The lower tail up to x, and the upper tail from the first outcome
    // above the expected count that is no more likely than x. Above the mode
    // the probabilities fall, so that outcome is found by halving.
    std::int64_t lo = static_cast<std::int64_t>(std::ceil(expected));
    std::int64_t hi = n + 1;  // first y with pdf(y) <= bound lies in [lo, hi]
    while (lo < hi) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (pdf(mid) <= bound) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    p = boost::math::cdf(b, static_cast<double>(x));
    if (lo <= n) p += boost::math::cdf(boost::math::complement(b, static_cast<double>(lo - 1)));
  } else {
    // The upper tail from x, and the lower tail up to the last outcome below
    // the expected count that is no more likely than x.
    std::int64_t lo = -1;  // last y with pdf(y) <= bound lies in [lo, hi]
    std::int64_t hi = static_cast<std::int64_t>(std::floor(expected));
    while (lo < hi) {
      const std::int64_t mid = hi - (hi - lo) / 2;
      if (pdf(mid) <= bound) {
        lo = mid;
      } else {
        hi = mid - 1;
      }
    }
    p = x > 0 ? boost::math::cdf(boost::math::complement(b, static_cast<double>(x - 1))) : 1.0;
    if (lo >= 0) p += boost::math::cdf(b, static_cast<double>(lo));
  }
  return std::min(p, 1.0);
}

std::optional<RateRatio> CompareRates(std::int64_t countBefore, double timeBefore, std::int64_t countAfter,
                                      double timeAfter) {
  if (!(timeBefore > 0) || !(timeAfter > 0) || !std::isfinite(timeBefore) || !std::isfinite(timeAfter))
    return std::nullopt;
  RateRatio r;
  const std::int64_t n = countBefore + countAfter;
  if (n == 0) {
    r.upper = kInfinity;
    return r;
  }
  const double times = timeBefore / timeAfter;  // RR = p / (1 - p) × T_b / T_a
  if (countBefore == 0) {
    r.ratio = kInfinity;
  } else {
    r.ratio = static_cast<double>(countAfter) / static_cast<double>(countBefore) * times;
  }
  const CountInterval p = ProportionInterval(countAfter, n);
  r.lower = p.lower / (1 - p.lower) * times;
  r.upper = p.upper >= 1 ? kInfinity : p.upper / (1 - p.upper) * times;
  r.pValue = BinomialTestPValue(countAfter, n, timeAfter / (timeBefore + timeAfter));
  return r;
}

}  // namespace orvanta
