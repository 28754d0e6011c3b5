#pragma once
// The repair of damaged data files as the user meets it: what was found is
// shown and the file mended only on "はい" (the finding and the mending are
// in core/reports/data_file_repair.h).

namespace orvanta {

class AppState;

// Offers to mend data file fileNo: a file that cannot be mended, or that
// reads exactly, is said to be so; otherwise the reports found are shown
// beside what the count line claims and, on "はい", written back. True when
// the file was mended.
bool OfferDataFileRepair(AppState& state, int fileNo);

// The menu command "データファイルの修復": offers the repair of every data
// file that does not read exactly, one after the other, or says that none
// needs it.
void RepairDamagedDataFiles(AppState& state);

}  // namespace orvanta
