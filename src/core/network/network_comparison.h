#pragma once
// The hospital's side of the feedback: its own year (its reports counted from
// its data files, its beds from 分母の登録) set beside the network's year as
// the feedback file gave it: its rate with the exact interval on the
// network's funnel, its percentile among the network's hospitals, and its
// bed-size class's figures. The tab "ネットワークとの比較" of the rates
// window shows it, prints it and writes it as CSV.

#include <QString>
#include <optional>

#include "core/codelists/code_lists.h"
#include "core/network/feedback_file.h"
#include "core/network/funnel_plot.h"
#include "core/rates/denominators.h"
#include "core/rates/rates_tables.h"

namespace orvanta {

class DrivePaths;

struct OwnYear {
  NetworkYear year;
  std::int64_t reports = 0;
  std::optional<double> beds;  // none when 分母の登録 holds none for the year (or for another kind of year)
};

// Counts the hospital's reports of the whole year (every report, no filter).
// The beds are taken only when the hospital's denominators are kept by the
// same kind of year (hospitalKind) as the network's year.
OwnYear CountOwnYear(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                     const Denominators& denominators, YearKind hospitalKind, const NetworkYear& year);

struct NetworkComparison {
  FeedbackYear network;
  OwnYear own;
  std::optional<RateEstimate> rate;    // the hospital's, per 100 beds
  std::optional<FunnelLimits> limits;  // at its beds
  std::optional<FunnelPlace> place;
  std::optional<double> percentile;  // its place among the network's hospitals (0-100)
  int bedClass = -1;                 // -1 without beds
};
NetworkComparison CompareWithNetwork(const FeedbackYear& network, const OwnYear& own);

// The table of the tab, its CSV and its print: "区分,件数,稼働病床数,100床あたり,下限,上限"
// rows for 貴施設, ネットワーク全体 and the hospital's bed-size class, then the
// percentiles and the place on the funnel.
TextTable NetworkComparisonTexts(const NetworkComparison& comparison);
QByteArray NetworkComparisonCsvBytes(const NetworkComparison& comparison);

// The funnel of the network's points with the hospital's own highlighted.
FunnelPlotData NetworkComparisonPlot(const NetworkComparison& comparison);

// A number with two decimals; empty for none.
QString TwoDecimals(const std::optional<double>& value);

}  // namespace orvanta
