#pragma once
// The summary sheet: the counts of the summary view's last computation on A4
// portrait pages. Every page starts with a heading (title, period, matching
// count, the list restrictions); then one framed section per item whose list
// stands at "全て", each category with its number of reports in equal
// columns, the item's caption at the left on the section's middle row.
//
// Pages are drawn in units of 2000 across and 4500 down the printable area.
// Body lines are 60 units apart; a code-list or body-site section that does
// not fit below the earlier ones starts a new page.

#include <QString>
#include <array>
#include <functional>

#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"

namespace orvanta {

class Prompts;
class Surface;
struct SummaryResult;
enum class PrintResult;

// Tells that a page is finished (pagesDone pages so far); false stops the
// drawing.
using SheetPageDone = std::function<bool(int pagesDone)>;

// Draws every page of the sheet and closes the last one with its frame; the
// caller ends the document. Code-list sections take their entries from
// `lists`, the body-site section its names from `siteNames` (index n - 1 for
// site n). Each page closed is reported to pageDone; the drawing stops when
// it answers false, and then answers false itself.
bool DrawSummarySheet(Surface& surface, const SummaryResult& result, const CodeLists& lists,
                      const std::array<QString, kSiteSlots>& siteNames, const SheetPageDone& pageDone = {});

// "レポート印刷": opens the printer dialog in portrait and prints the sheet.
// Cancel prints nothing; a failing printer is reported and the job is not
// finished.
PrintResult PrintSummarySheet(Prompts& prompts, const SummaryResult& result, const CodeLists& lists,
                              const std::array<QString, kSiteSlots>& siteNames);

}  // namespace orvanta
