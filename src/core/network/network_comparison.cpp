#include "core/network/network_comparison.h"

#include <QDate>

#include "core/rates/rates.h"

namespace orvanta {

QString TwoDecimals(const std::optional<double>& value) { return value ? QString::number(*value, 'f', 2) : QString(); }

OwnYear CountOwnYear(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                     const Denominators& denominators, YearKind hospitalKind, const NetworkYear& year) {
  OwnYear own;
  own.year = year;
  const QDate first = QDate(year.year, FirstMonthOfYear(year.kind), 1);
  const QDate last = first.addYears(1).addDays(-1);
  const AnalysisPeriod period{CalendarDate{first.year(), first.month(), first.day()},
                              CalendarDate{last.year(), last.month(), last.day()}};
  const RatesCounts counts = CountRates(paths, newestFileNo, lists, period, AxisFilter{}, year.kind);
  own.reports = counts.total;
  if (hospitalKind == year.kind) {
    const auto beds = denominators.value(year.year, DenominatorKind::Beds);
    if (beds && *beds > 0) own.beds = beds;
  }
  return own;
}

NetworkComparison CompareWithNetwork(const FeedbackYear& network, const OwnYear& own) {
  NetworkComparison c;
  c.network = network;
  c.own = own;
  if (!own.beds) return c;
  c.rate = EstimateRate(own.reports, *own.beds, 100);
  c.limits = FunnelLimitsAt(network.network.rate.value_or(0), *own.beds);
  if (c.rate && c.limits) c.place = PlaceOnFunnel(c.rate->rate, *c.limits);
  std::vector<double> rates;
  for (const auto& [beds, reports] : network.points) rates.push_back(static_cast<double>(reports) / beds * 100);
  if (c.rate) c.percentile = PercentileRank(rates, c.rate->rate);
  c.bedClass = BedClassOf(*own.beds);
  return c;
}

TextTable NetworkComparisonTexts(const NetworkComparison& c) {
  TextTable t;
  t.push_back(QStringList{QStringLiteral("区分"), QStringLiteral("施設数"), QStringLiteral("件数"),
                          QStringLiteral("稼働病床数"), QStringLiteral("100床あたり"), QStringLiteral("下限"),
                          QStringLiteral("上限"), QStringLiteral("中央値")});
  t.push_back({QStringLiteral("貴施設"), QString(), QString::number(c.own.reports),
               c.own.beds ? QString::number(*c.own.beds, 'f', 1) : QString(),
               TwoDecimals(c.rate ? std::optional(c.rate->rate) : std::nullopt),
               TwoDecimals(c.rate ? std::optional(c.rate->lower) : std::nullopt),
               TwoDecimals(c.rate ? std::optional(c.rate->upper) : std::nullopt), QString()});
  const auto group = [&t](const QString& name, const FeedbackGroup& g) {
    t.push_back({name, QString::number(g.hospitals), QString::number(g.reports), QString::number(g.beds, 'f', 1),
                 TwoDecimals(g.rate), TwoDecimals(g.lower), TwoDecimals(g.upper), TwoDecimals(g.p50)});
  };
  group(QStringLiteral("ネットワーク全体"), c.network.network);
  if (c.bedClass >= 0)
    group(QStringLiteral("同じ病床規模（%1）").arg(BedClassName(c.bedClass)),
          c.network.classes[static_cast<std::size_t>(c.bedClass)]);
  t.push_back({QStringLiteral("施設の率の分位点"), QStringLiteral("25%点"),
               TwoDecimals(c.network.network.p25), QStringLiteral("75%点"), TwoDecimals(c.network.network.p75),
               QStringLiteral("90%点"), TwoDecimals(c.network.network.p90), QString()});
  t.push_back({QStringLiteral("貴施設のパーセンタイル"),
               c.percentile ? QString::number(*c.percentile, 'f', 1) : QString(), QString(), QString(), QString(),
               QString(), QString(), QString()});
  t.push_back({QStringLiteral("ファネルプロット上の位置"),
               c.place ? FunnelPlaceText(*c.place) : QStringLiteral("稼働病床数がありません"), QString(), QString(),
               QString(), QString(), QString(), QString()});
  return t;
}

QByteArray NetworkComparisonCsvBytes(const NetworkComparison& comparison) {
  TextTable lines{QStringList{NetworkYearLabel(comparison.network.year)}};
  for (const QStringList& row : NetworkComparisonTexts(comparison)) lines.push_back(row);
  return CsvLinesBytes(lines);
}

FunnelPlotData NetworkComparisonPlot(const NetworkComparison& c) {
  FunnelPlotData data;
  data.target = c.network.network.rate.value_or(0);
  data.nameOutliers = false;
  data.highlightLabel = QStringLiteral("貴施設");
  for (const auto& [beds, reports] : c.network.points) {
    FunnelPoint p;
    p.beds = beds;
    p.rate = static_cast<double>(reports) / beds * 100;
    data.points.push_back(p);
  }
  if (c.rate && c.own.beds) {
    FunnelPoint own;
    own.beds = *c.own.beds;
    own.rate = c.rate->rate;
    own.highlighted = true;
    data.points.push_back(own);
  }
  return data;
}

}  // namespace orvanta
