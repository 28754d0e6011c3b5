#pragma once
// What a backup holds, as the restore window lists it: the number of
// reports, the newest date of occurrence among them, the size of its files.
//
// A generation keeps its summary in ".orvanta-generation" in its folder,
// written when it was made: ASCII text, one "key=value" a line, LF ends:
//
//   made=2026-12-09T09:00:00   the moment it was made (local time)
//   occasion=exit              exit (the backup at the end of a run), now
//                              ("今すぐバックアップ") or restore (the state
//                              before a restore)
//   reports=1234               the reports of its data files that read
//   newest=2026-12-01          the newest date of occurrence among them
//                              (empty when no report has a date)
//   damaged=data/5.dat         a file that did not read in the data folder
//                              either and was copied as it was (a line each)
//   recoverable=30             the complete reports that the repair of a
//                              data file finds in the damaged data files
//                              (their dates count for newest)
//   log_seq=812                the access log's newest entry when the
//   log_hash=9f86d0…           generation was made: its number, hash (hex)
//   log_at=2026-12-09T09:…     and time (none of the three when the log was
//                              empty or could not be read)
//
// Unknown keys are passed over. A backup without a summary (~/tonrixbu, or a
// generation whose summary is missing or does not read) is summarised from
// its files.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "core/platform/value_file.h"
#include "core/reports/calendar.h"

namespace orvanta {

inline const QString kSummaryFileName = QStringLiteral(".orvanta-generation");

// Work on backups reads files on as many threads as the machine has cores.
inline constexpr int kAllCores = 0;

enum class BackupOccasion {
  AtExit,         // the backup offered when the program ends
  OnDemand,       // "今すぐバックアップ"
  BeforeRestore,  // the data folder as it was before a restore
};

struct BackupSummary {
  QDateTime made;
  std::optional<BackupOccasion> occasion;  // unknown for ~/tonrixbu
  std::int64_t reports = 0;
  CalendarDate newest{};  // {0, 0, 0}: no report has a date
  QStringList damaged;    // paths relative to the folder
  // Complete reports inside damaged data files, as the repair finds them;
  // nullopt in a summary written before they were counted.
  std::optional<std::int64_t> recoverable = 0;
  // The access log's newest entry at that moment (seq 0: none).
  std::int64_t logSeq = 0;
  QString logHash;
  QString logAt;
};

// The number of reports as the restore window lists it: "30件", and for a
// backup with damaged files what they hold ("…（うち要修復30件）").
QString ReportCountText(const BackupSummary& summary);

QByteArray SummaryFileBytes(const BackupSummary& summary);
// nullopt when the bytes are no summary (no "reports" line).
std::optional<BackupSummary> ReadSummaryBytes(QByteArrayView bytes);

// What one data file holds: the reader's verdict, its reports, and the
// newest date of occurrence among them as yyyymmdd (0 when none has a date).
struct DataFileSummary {
  ReadResult result;
  std::int32_t reports = 0;
  std::int32_t newest = 0;
  std::int32_t recoverable = 0;  // a file that does not read: the reports the repair finds
};
// Reads the bytes with the data files' reader (the one checking walk of
// data_file_walk.h); a file that does not read is searched as the repair
// does, for its complete reports and their newest date.
DataFileSummary SummarizeDataFileBytes(QByteArrayView bytes);

// Adds one data file's reports and newest date to a summary.
void AddToSummary(BackupSummary& summary, const DataFileSummary& file);

// Whether a path relative to a data folder names a data file ("data/12.dat").
bool IsDataFilePath(const QString& relativePath);

// The summary of a backup folder read from its files: every data file read
// (on all the machine's cores). The moment is left empty.
BackupSummary SummarizeFolder(const QString& folder);
// The summary of a generation: its summary file, or else its files.
BackupSummary GenerationSummary(const QString& folder);

// The bytes of every file in folder and its sub-folders.
std::int64_t FolderBytes(const QString& folder);

}  // namespace orvanta
