#pragma once
// Mending a data file that does not read exactly: the complete reports it
// really holds are found whatever its count line says, shown to the user,
// and on their word written back as a valid file of the same number, the
// original first kept beside it under its damaged name.
//
// The search goes by the layout (data_file_layout.h), never by the count:
//
//   - the count line is only reported (what the file claims);
//   - from line 2 the lines are taken 71 at a time, one report block each.
//     The body-site block starts at the first block whose lines are all
//     marks (0, 1 or empty: as in the reader, a report of nothing but marks
//     is none), or at a last run of fewer than 71 lines that are all marks;
//   - a report block is complete when each of its number lines holds a
//     number that fits 32 bits (a text line may hold anything). A block that
//     is not complete, or cut short at the end of the file, is left out; it
//     keeps its place, so the marks of the reports after it are still found
//     where the layout puts them;
//   - the marks of report block k are the 81 lines of the body-site block
//     from 81 k on. A mark line that is missing (the file ends) or holds
//     anything but 0, 1 or nothing reads 0, and the report counts as one
//     whose marks are not all there;
//   - lines after the body-site block (other than empty lines at the very
//     end) belong to no report and are left out.
//
// A file in which no complete report is found cannot be mended and is left
// as it is.

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;
struct IdCounters;
struct OpenDataFile;

struct DataFileRecovery {
  enum class Verdict {
    Intact,          // the file reads exactly: nothing to mend
    Recoverable,     // complete reports were found
    NotRecoverable,  // no complete report was found (or more than a file can hold)
    CannotOpen,      // missing or unreadable on disk
  };
  Verdict verdict = Verdict::CannotOpen;
  // What the count line claims, when it holds a number.
  std::optional<std::int64_t> claimedCount;
  // The complete reports found, in file order, with their marks.
  std::vector<ReportRecord> reports;
  int incompleteReports = 0;       // report blocks left out
  int reportsWithoutAllMarks = 0;  // reports found whose marks are not all there
  int linesLeftOut = 0;            // lines after the body-site block

  // The lowest and highest report id of the reports found (0 when none).
  std::int32_t firstReportId() const;
  std::int32_t lastReportId() const;
};

DataFileRecovery RecoverDataFileBytes(QByteArrayView bytes);
DataFileRecovery RecoverDataFile(const QString& path);

// The data files 0 to NewestFileNo that are there but do not read exactly
// (unreadable, or cut short in their body-site block), in file order.
std::vector<int> FindDamagedDataFiles(const IdCounters& counters, const DrivePaths& paths);

struct DataFileRepairOutcome {
  bool repaired = false;
  // The path the original was kept under (when repaired).
  QString kept;
  // Why the file could not be written (nothing was changed), or, after a
  // repair, why ttid.dat could not be: in Japanese, naming the file.
  QString error;
};

// Writes the reports found back as data file fileNo: the original is first
// copied beside itself under its damaged name (see DamagedFileName; `now`
// dates it), then the file is replaced whole. When the copy or the write
// fails nothing is changed. After a repair the counts follow the file: its
// FileRecordCounts entry, TotalReports, LastReportId (which never goes
// back), and ttid.dat is written; when the file is the one in memory it is
// loaded again.
DataFileRepairOutcome RepairDataFile(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths, int fileNo,
                                     const DataFileRecovery& found, const QDateTime& now);

// ---- What the user is told -------------------------------------------------

// The question before a repair: what the count line claims beside the
// reports found and their report numbers, and what is left out.
QString RepairQuestionText(const DrivePaths& paths, int fileNo, const DataFileRecovery& found);
// After a repair, with the name the original was kept under.
QString RepairDoneText(const DrivePaths& paths, int fileNo, const DataFileRepairOutcome& outcome,
                       const DataFileRecovery& found);
// A file in which no complete report was found.
QString NotRepairableText(const DrivePaths& paths, int fileNo);
// A file that reads exactly.
QString IntactFileText(const DrivePaths& paths, int fileNo);
// The menu command when every data file reads exactly.
inline const QString kNoDamagedFileText = QStringLiteral("修復が必要なデータファイルはありません。");
// When a new report passes over the newest data file because it does not
// read: the file stays as it is, and its repair is offered.
QString DamagedNewestFileText(const DrivePaths& paths, int fileNo);

}  // namespace orvanta
