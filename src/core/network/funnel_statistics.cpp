#include "core/network/funnel_statistics.h"

#include <algorithm>
#include <boost/math/distributions/poisson.hpp>
#include <cmath>

namespace orvanta {

double PoissonInterpolatedQuantile(double mean, double p) {
  if (!(mean > 0) || !std::isfinite(mean)) return 0;
  const boost::math::poisson_distribution<double> poisson(mean);
  const auto cdf = [&](double r) { return r < 0 ? 0.0 : boost::math::cdf(poisson, r); };
  // Boost's quantile rounded up is the step we look for; the two loops only
  // mend a step that rounding of the search put one off.
  double r = std::max(0.0, boost::math::quantile(poisson, p));
  r = std::ceil(r);
  while (r > 0 && cdf(r - 1) >= p) r -= 1;
  while (cdf(r) < p) r += 1;
  const double at = cdf(r);
  const double below = cdf(r - 1);
  const double alpha = at > below ? (at - p) / (at - below) : 0;
  return r - alpha;
}

std::optional<FunnelLimits> FunnelLimitsAt(double target, double beds) {
  if (!(beds > 0) || !std::isfinite(beds)) return std::nullopt;
  const double hundreds = beds / 100;
  const double expected = target * hundreds;
  const auto limit = [&](double p) { return PoissonInterpolatedQuantile(expected, p) / hundreds; };
  return FunnelLimits{limit(kFunnelLower998), limit(kFunnelLower95), limit(kFunnelUpper95), limit(kFunnelUpper998)};
}

FunnelPlace PlaceOnFunnel(double rate, const FunnelLimits& limits) {
  if (rate > limits.upper998) return FunnelPlace::Above998;
  if (rate > limits.upper95) return FunnelPlace::Above95;
  if (rate < limits.lower998) return FunnelPlace::Below998;
  if (rate < limits.lower95) return FunnelPlace::Below95;
  return FunnelPlace::Inside;
}

QString FunnelPlaceText(FunnelPlace place) {
  switch (place) {
    case FunnelPlace::Above998: return QStringLiteral("99.8%の上限を超える");
    case FunnelPlace::Above95: return QStringLiteral("95%の上限を超える");
    case FunnelPlace::Inside: return QStringLiteral("範囲内");
    case FunnelPlace::Below95: return QStringLiteral("95%の下限を下回る");
    case FunnelPlace::Below998: return QStringLiteral("99.8%の下限を下回る");
  }
  return {};
}

std::optional<double> PercentileInc(std::vector<double> values, double fraction) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  const double h = (static_cast<double>(values.size()) - 1) * std::clamp(fraction, 0.0, 1.0);
  const auto low = static_cast<std::size_t>(std::floor(h));
  const std::size_t high = std::min(low + 1, values.size() - 1);
  return values[low] + (h - static_cast<double>(low)) * (values[high] - values[low]);
}

std::optional<double> PercentileRank(const std::vector<double>& values, double value) {
  if (values.empty()) return std::nullopt;
  // Equal up to rounding: the hospital's own rate, computed again, meets its
  // own point among the network's.
  const double tolerance = 1e-9 * std::max(1.0, std::fabs(value));
  double below = 0;
  for (const double v : values) {
    if (std::fabs(v - value) <= tolerance) {
      below += 0.5;
    } else if (v < value) {
      below += 1;
    }
  }
  return below / static_cast<double>(values.size()) * 100;
}

int BedClassOf(double beds) {
  if (beds < 200) return 0;
  if (beds < 400) return 1;
  if (beds < 600) return 2;
  return 3;
}

QString BedClassName(int bedClass) {
  switch (bedClass) {
    case 0: return QStringLiteral("200床未満");
    case 1: return QStringLiteral("200〜399床");
    case 2: return QStringLiteral("400〜599床");
    default: return QStringLiteral("600床以上");
  }
}

}  // namespace orvanta
