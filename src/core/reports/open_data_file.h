#pragma once
// The one data file in memory, where the report window stands in it, and how
// many reports every data file holds. Only one data file's reports are held
// at a time.

#include <array>
#include <cstdint>
#include <vector>

#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;
struct IdCounters;

struct OpenDataFile {
  std::vector<ReportRecord> ReportTable;  // the reports of data file CurrentFileNo
  std::int32_t CurrentFileNo = 0;
  std::int32_t CurrentIndex = 0;  // the shown report's slot in ReportTable
  // The reports of each data file 0 to 1000, as last counted.
  std::array<std::int16_t, kMaxFileNo + 1> FileRecordCounts{};

  int ReportCount() const { return static_cast<int>(ReportTable.size()); }
};

enum class LoadOutcome { Loaded, Missing, Unreadable };
// Loads data file fileNo into ReportTable (emptied first) and makes it the
// current file. A missing or unreadable file leaves the table empty.
LoadOutcome LoadDataFile(OpenDataFile& file, const DrivePaths& paths, int fileNo);

// Counts the reports of every data file 0 to NewestFileNo into
// FileRecordCounts (cleared first), with the checks of the reader (a file
// that does not read counts 0) but without building any report; the files
// are counted on all the machine's cores. Then moves the counters on to what
// the files hold: LastReportId to the highest report id found (it never goes
// back; the ids of reports read whole in a file that does not read count
// too), LastCodeId on to at least the highest answer id of those reports (an
// entry deleted from its list keeps its id), TotalReports to the sum of the
// counts. So ids never repeat after a
// program was stopped between saving a report and saving ttid.dat, or with a
// ttid.dat that lost its later lines. The table in memory is not touched.
// Returns whether the counters changed.
bool CountDataFiles(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths);

// Loads the newest data file: what the main window does on activation.
void LoadNewestFile(OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths);

}  // namespace orvanta
