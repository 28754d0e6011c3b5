#pragma once
// The two prints of the follow-up, drawn on the surface through the shared
// print steps (core/output/print_job.h):
//
// - the follow-up sheet of one case ("経過観察票"), A4 portrait: the worker,
//   the incident date, the source patient's status, prophylaxis, every test
//   with its dates, result and remarks, the closing and the remarks; the
//   tests go on over further pages, under their headings again;
// - the due list ("経過観察予定"), A4 landscape: the title line, the counts
//   and the list's grid, overdue tests marked in red.
//
// Units: the printable area is 2000 across and 2870 down on a portrait page
// (2870 across and 2000 down on a landscape one), about a tenth of a
// millimetre each. Every page carries its number at the foot.

#include <QDate>
#include <vector>

#include "core/followup/due_list.h"
#include "core/followup/followup_case.h"
#include "core/output/print_job.h"

namespace orvanta {

class PrintProgress;
class Prompts;
class ResultGridModel;
class Surface;

inline constexpr double kSheetWidth = 2000;
inline constexpr double kSheetHeight = 2870;

struct FollowupSheet {
  FollowupCase followup;
  std::vector<FollowupTest> tests;
  QDate printedOn;
};

// Draws every page (the document is not ended). False when the progress
// asked to stop or the surface failed.
bool DrawFollowupSheet(Surface& surface, const FollowupSheet& sheet, PrintProgress& progress);
// The print command: the portrait message, the printer dialog, the pages.
PrintResult PrintFollowupSheet(Prompts& prompts, const FollowupSheet& sheet);

bool DrawDueListPrint(Surface& surface, const DueList& list, const ResultGridModel& grid, PrintProgress& progress);
PrintResult PrintDueList(Prompts& prompts, const DueList& list, const ResultGridModel& grid);

}  // namespace orvanta
