#pragma once
// The statistics of the network's pooled analysis: the funnel plot's control
// limits, the percentiles of the hospitals' rates and the bed-size classes.
// The distributions are Boost.Math's; a rate's exact interval is the rates'
// own (core/rates/rate_statistics.h).
//
// The funnel plot compares each hospital's rate (reports per 100 occupied
// beds) with the network's rate, the target. For a hospital of b beds the
// expected count is E = target × b / 100, and the control limit for a
// probability p is
//
//   (r − α) / (b / 100)
//
// where r is the smallest integer with P(X ≤ r) ≥ p for X ~ Poisson(E), and
// α = (P(X ≤ r) − p) / (P(X ≤ r) − P(X ≤ r − 1)) interpolates between the
// steps of the distribution, so the limits are smooth curves in b. The 95%
// limits take p = 0.025 and 0.975, the 99.8% limits p = 0.001 and 0.999.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvanta {

// r − α for the Poisson distribution with the mean (0 when the mean is not
// above 0), 0 < p < 1.
double PoissonInterpolatedQuantile(double mean, double p);

inline constexpr double kFunnelLower998 = 0.001;
inline constexpr double kFunnelLower95 = 0.025;
inline constexpr double kFunnelUpper95 = 0.975;
inline constexpr double kFunnelUpper998 = 0.999;

// The four control limits of a hospital's size, as rates per 100 beds.
struct FunnelLimits {
  double lower998 = 0;
  double lower95 = 0;
  double upper95 = 0;
  double upper998 = 0;
};
// None when beds is not above 0.
std::optional<FunnelLimits> FunnelLimitsAt(double target, double beds);

// A hospital's place on the funnel.
enum class FunnelPlace { Above998, Above95, Inside, Below95, Below998 };
FunnelPlace PlaceOnFunnel(double rate, const FunnelLimits& limits);
// "99.8%の上限を超える", "95%の上限を超える", "範囲内", "95%の下限を下回る",
// "99.8%の下限を下回る".
QString FunnelPlaceText(FunnelPlace place);
inline bool OutsideLimits998(FunnelPlace place) {
  return place == FunnelPlace::Above998 || place == FunnelPlace::Below998;
}

// The percentile of the values as a spreadsheet's PERCENTILE.INC: the
// values sorted, h = (n − 1) × fraction, linear interpolation between the
// order statistics around h. None for no values; fraction in 0..1.
std::optional<double> PercentileInc(std::vector<double> values, double fraction);

// Where a value stands among the values: the share (0 to 100) of them below
// it, the equal ones (up to rounding) counting half. None for no values.
std::optional<double> PercentileRank(const std::vector<double>& values, double value);

// The bed-size classes: 200床未満, 200〜399床, 400〜599床, 600床以上.
inline constexpr int kBedClassCount = 4;
int BedClassOf(double beds);  // 0..3
QString BedClassName(int bedClass);

}  // namespace orvanta
