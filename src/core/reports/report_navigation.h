#pragma once
// Moving through the whole collection from the report entry window: the four
// step buttons across data files, and the deletion of the shown report with
// the renumbering of the data files so that they stay numbered 0 to
// NewestFileNo without gaps.
//
// A data file that holds no report (missing, unreadable, or of 0 reports) is
// passed over: a step or a deletion that would land in it moves on to the
// nearest report in the same direction, or stays where it is.

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;
struct IdCounters;
struct OpenDataFile;

// Reads data file fileNo into table. False, with the table empty, when the
// file is missing or unreadable or holds no report.
bool ReadReportsOf(const DrivePaths& paths, int fileNo, std::vector<ReportRecord>& table);

// The report with that record number, searched from the newest data file
// back; none when no readable file holds it.
std::optional<ReportRecord> FindReport(const DrivePaths& paths, int newestFileNo, std::int32_t reportId);

// The first data file, from file `from` on in `direction` (+1 towards newer
// files, -1 towards older ones) and within 0 to NewestFileNo, that holds a
// report; its reports are read into table. -1 when there is none.
int FindFileWithReports(const IdCounters& counters, const DrivePaths& paths, int from, int direction,
                        std::vector<ReportRecord>& table);

// Makes file fileNo, whose reports are in table, the file in memory, standing
// at index (kept within the table).
void ShowFile(OpenDataFile& file, int fileNo, std::vector<ReportRecord> table, int index);

// ---- Steps -------------------------------------------------------------------

enum class Step {
  First,     // ▲▲
  Previous,  // ▲
  Next,      // ▼
  Last,      // ▼▼
};

struct StepPlan {
  bool moves = false;       // false: the step does nothing
  bool leavesFile = false;  // another data file is shown: the one in memory is saved first
  int fileNo = 0;
  int index = 0;
  std::vector<ReportRecord> table;  // the reports of that file, when leavesFile
};

// Where a step leads from the shown report, in input order over all data
// files. "▲" on the first report and "▼" on the last do nothing. Files that
// hold no report are passed over; "▲▲" and "▼▼" then stop at the first or
// last report there is.
StepPlan PlanStep(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths, Step step);

// Goes where the plan leads (the window has saved the file it leaves).
void ApplyStep(OpenDataFile& file, StepPlan plan);

// ---- Deletion ----------------------------------------------------------------

enum class DeletionCase {
  None,              // no report shown
  LastOfCollection,  // the last report there is: the emptied file stays, a new report starts
  WithinFile,        // the file keeps other reports: the later ones move down a slot
  OnlyReportOfFile,  // the file goes, and the newer files are renamed down
};

DeletionCase ClassifyDeletion(const OpenDataFile& file, const IdCounters& counters);

struct WithinFileDeletion {
  bool wasLastOfFile = false;    // the deleted report was the file's last
  bool newerFilesExist = false;  // files after the current one exist
};

// Takes the shown report out of the file in memory: the reports after it
// move down one slot, the counts of the file and of the collection go down
// by one. CurrentIndex stays on the report that followed, or goes to the
// one before when none followed. LastReportId stays: ids are never given
// again.
WithinFileDeletion TakeOutShownReport(OpenDataFile& file, IdCounters& counters);

// The file system operations of a deletion, replaceable so that a failure
// at any step can be shown to lose nothing.
class DataFileOps {
 public:
  virtual ~DataFileOps() = default;
  virtual bool exists(const QString& path) const;
  // Never replaces an existing file.
  virtual bool rename(const QString& from, const QString& to);
  virtual bool remove(const QString& path);
};
DataFileOps& FileSystemDataFileOps();

struct FileRemovalOutcome {
  bool ok = false;
  // No report left to show anywhere: the window starts a new report.
  bool startNewReport = false;
  // Why nothing was deleted (when not ok), in Japanese.
  QString error;
  // What the user is told after a deletion that went through (a damaged
  // file kept, a file left behind), in Japanese; empty otherwise.
  QString notice;
};

// Deletes the shown report when it is the only report of its file: data file
// CurrentFileNo is removed from disk and files CurrentFileNo + 1 to
// NewestFileNo are renamed down by one, their counts with them; NewestFileNo
// and TotalReports go down by one. The window then stands at the first
// report of the file that took the number (the nearest report after it, or
// before it, when that file holds none).
//
// Nothing is lost when the file system refuses: the file is first moved
// aside, then the newer files are renamed in ascending order, each into the
// number just freed; when a step fails, the steps done are undone in reverse,
// the file is put back, memory and counters stay as they were, and error
// says which file could not be renamed. Only after every rename succeeded is
// the file moved aside removed. A file on disk that cannot be read is not
// removed but kept under another name (notice says so). ttid.dat is written
// at once so that the counters on disk match the renumbered files.
FileRemovalOutcome RemoveShownReportFile(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths,
                                         DataFileOps& ops, const QDateTime& now);

}  // namespace orvanta
