#pragma once
// The printed graphs of the graph view: the bar, line and pie graph of the
// drawn item on portrait pages in a page coordinate system of their own,
// (0, 0) at the top left to (2200, 3900) at the bottom right of the printable
// area. Every bar and line page carries the heading: "トンリクスレポート", the
// period with the matching count, the item's caption, "抽出条件;" and the
// conditions in pieces of 45 characters. The pie page has its heading under
// the pie and its legend, three entries to a row, under the heading.

#include <QString>
#include <functional>

#include "core/analysis/graph_series.h"
#include "core/analysis/summary_counts.h"
#include "core/output/surface.h"

namespace orvanta {

class Prompts;

// The pieces of the conditions text as the heading writes them, 45
// characters each.
QStringList ConditionLines(const QString& conditions);
// The period line: "2004年1月1日～2004年12月31日", ten blanks, "該当件数" and
// the matching count.
QString GraphPrintPeriodLine(const SummaryResult& result);

// Told each time a page is finished (with the number of pages finished so
// far); answers false to stop the print there.
using GraphPageDone = std::function<bool(int pagesDone)>;

// The pages of each print, drawn from the font and coordinate system on;
// the caller starts the job and ends the document. False when the print was
// stopped (pageDone answered false or a new page could not be started).
bool DrawBarGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                       const GraphPageDone& pageDone = {});
bool DrawLineGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                        const GraphPageDone& pageDone = {});
bool DrawPieGraphPrint(Surface& page, const GraphSeries& series, const SummaryResult& result,
                       const GraphPageDone& pageDone = {});
bool DrawGraphPrint(GraphKind kind, Surface& page, const GraphSeries& series, const SummaryResult& result,
                    const GraphPageDone& pageDone = {});

// The message when the printer fails: "プリンターが接続されていません。" for
// the bar and line prints, without the final "。" for the pie.
QString GraphPrintFailureMessage(GraphKind kind);

// The whole print of the graph: nothing for an item without categories;
// else the shared print steps (RunPrint): the printer dialog opened for
// portrait pages (cancel: nothing more), the pages with their progress, the
// end of the document, and the failure message of the kind when the printer
// fails on the way.
void PrintGraph(Prompts& prompts, GraphKind kind, const GraphSeries& series, const SummaryResult& result);

}  // namespace orvanta
