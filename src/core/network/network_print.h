#pragma once
// The prints of the network window, A4 through the shared print steps
// (core/output/print_job.h):
//  - the tables 施設別, ネットワーク全体 and 項目別 as the rates' table prints
//    draw them (core/rates/rates_print.h), landscape;
//  - the funnel plot on one landscape page;
//  - "施設別還元シート", one hospital or each in turn, portrait: page 1 its
//    count, rate and interval, the network's rate and percentiles, its
//    bed-size class's figures, its place on the funnel and the funnel plot
//    with its own point highlighted and no other point named; then its
//    shares on the seventeen items beside the network's, in two columns,
//    over as many pages as they take.
// The hospital's tab "ネットワークとの比較" prints its table and its funnel on
// one landscape page.

#include <QString>
#include <vector>

#include "core/network/funnel_plot.h"
#include "core/network/network_analysis.h"
#include "core/network/network_comparison.h"
#include "core/output/print_job.h"

namespace orvanta {

class PrintProgress;
class Prompts;
class Surface;

// One hospital's sheet.
struct FeedbackSheet {
  NetworkYear year;
  HospitalFigures hospital;
  GroupFigures network;
  int bedClass = -1;
  GroupFigures bedClassFigures;
  FunnelPlotData plot;                  // its point highlighted, no other point named
  std::vector<ItemTable> own;           // its shares
  std::vector<ItemTable> networkItems;  // the network's
};

// The sheet of one hospital of the figures (its index in figures.hospitals);
// ownItems are its own tables (HospitalItemTables).
FeedbackSheet FeedbackSheetOf(const NetworkFigures& figures, std::size_t hospital, std::vector<ItemTable> ownItems);

// The funnel plot of the year: every hospital with beds, the points outside a
// 99.8% limit named.
FunnelPlotData NetworkFunnelData(const NetworkFigures& figures);

bool DrawFunnelPage(Surface& surface, const QString& title, const FunnelPlotData& data, PrintProgress& progress);
// Draws the sheets one after the other; pageCount of all of them told first.
bool DrawFeedbackSheets(Surface& surface, const std::vector<FeedbackSheet>& sheets, PrintProgress& progress);
// The pages one sheet takes.
int FeedbackSheetPages(const FeedbackSheet& sheet);
bool DrawNetworkComparison(Surface& surface, const NetworkComparison& comparison, PrintProgress& progress);

PrintResult PrintFunnelPlot(Prompts& prompts, const QString& title, const FunnelPlotData& data);
PrintResult PrintFeedbackSheets(Prompts& prompts, const std::vector<FeedbackSheet>& sheets);
PrintResult PrintNetworkComparison(Prompts& prompts, const NetworkComparison& comparison);

}  // namespace orvanta
