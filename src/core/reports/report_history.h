#pragma once
// The history of every report, kept in the access log (core/store/access_log.h):
// each new report, change, deletion and restoration is an entry whose details
// hold the report as it then was ("report", the record's fields as JSON) and,
// for a change, every item that changed with its old and new value
// ("changes"). The first change of a report made before the log began also
// holds the report as it was before ("before").
//
// A data file and the database are two files. A save of a data file therefore
// writes its entries in two steps: first into access_log_pending (with the
// report as the data file will hold it), then, once the file is written, into
// the log, in one transaction that empties the pending rows. A stop in
// between is settled at the next start (SettleReportEntriesAtStart): an entry
// goes into the log only when the data files hold what it claims.

#include <QJsonObject>
#include <QSqlDatabase>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"
#include "core/store/access_log.h"

namespace orvanta {

class Database;
class DrivePaths;
struct IdCounters;
struct OpenDataFile;

// ---- The report as JSON ----------------------------------------------------

QJsonObject ReportJson(const ReportRecord& report);
// The report of ReportJson; nullopt when the object does not hold one.
std::optional<ReportRecord> ReportFromJson(const QJsonObject& object);

// ---- Items -----------------------------------------------------------------

// One item of the report form as the history shows it: its name ("氏名",
// "３職種") and its value as text (the entry's name for a code-list answer,
// the option's text for a choice, "2026年12月9日" for a date).
struct ReportItem {
  QString name;
  QString value;
};
// Every item of a report, in the order of the form; fields the form does
// not show come last under names of their own, so that no change is missed.
std::vector<ReportItem> ReportItems(const ReportRecord& report, const CodeLists& lists);

struct ItemChange {
  QString item;
  QString before;
  QString after;
  friend bool operator==(const ItemChange&, const ItemChange&) = default;
};
// The items whose values differ, in the order of the form.
std::vector<ItemChange> ChangedItems(const ReportRecord& before, const ReportRecord& after, const CodeLists& lists);

// ---- Recording a save ------------------------------------------------------

// The entries of one save: what the data file held and what it will hold.
struct ReportWrite {
  int fileNo = 0;
  std::vector<ReportRecord> before;
  std::vector<ReportRecord> after;
  // Reports brought back to an earlier version: their id and the entry of
  // that version; they are recorded as restorations.
  std::map<std::int32_t, std::int64_t> restoredFrom;
};

// The events of a write, one per report added, changed or taken out.
std::vector<LogEvent> ReportWriteEvents(const ReportWrite& write, const CodeLists& lists);

// The two steps around the writing of a data file. begin writes the pending
// entries (false when the database cannot take them: the user has been told
// through the log, and the file is written all the same); finish moves them
// into the log when the file was written, or drops them when it was not.
class RecordedReportWrite {
 public:
  RecordedReportWrite(AccessLog& log, Database& database) : log_(log), database_(database) {}
  bool begin(const ReportWrite& write, const CodeLists& lists);
  void finish(bool written);

 private:
  AccessLog& log_;
  Database& database_;
  std::vector<std::int64_t> pendingIds_;
};

// The report window's save (SaveReportFile) with its entries.
struct ReportSaveOutcome;
ReportSaveOutcome SaveReportFileRecorded(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                         const CodeLists& lists, AccessLog& log, Database& database,
                                         const QDateTime& now);

// Settles what a stop between the two steps left: each pending entry goes
// into the log (with its own time, marked as settled at this start) when
// the data files hold what it claims, and is dropped otherwise; an entry of
// the kind "settle" says how many of each. The pending entries wait while a
// data file does not read. Returns the number of entries settled into the
// log.
int SettleReportEntriesAtStart(Database& database, AccessLog& log, const DrivePaths& paths, const IdCounters& counters);

// ---- The history -----------------------------------------------------------

struct ReportVersion {
  std::int64_t seq = 0;  // the entry; 0 for the report as it was before the log began
  QString at;
  QString user;
  QString kind;  // the entry's kind (log_kind); empty for the version before the log
  std::vector<ItemChange> changes;
  std::optional<ReportRecord> report;  // the report this version holds; none for a deletion
  int fileNo = -1;                     // the data file the entry names
};
// Every version of a report, oldest first.
std::vector<ReportVersion> ReadReportHistory(const QSqlDatabase& db, std::int32_t reportId, QString* error = nullptr);
// The report as the history last holds it (the deleted one for a deletion);
// nullopt when the history holds none.
std::optional<ReportRecord> LastKnownReport(const std::vector<ReportVersion>& history);

// Where a data file holds a report: its file and slot; nullopt when not in
// any data file 0 to NewestFileNo.
struct ReportPlace {
  int fileNo = 0;
  int index = 0;
};
std::optional<ReportPlace> FindReport(const DrivePaths& paths, const IdCounters& counters, std::int32_t reportId);

// Makes version the report's current content, as a change of its own (a
// restoration) in the data file that holds it. error says why not.
bool RestoreReportVersion(const ReportVersion& version, std::int32_t reportId, OpenDataFile& file, IdCounters& counters,
                          const DrivePaths& paths, const CodeLists& lists, AccessLog& log, Database& database,
                          const QDateTime& now, QString* error);

// Brings back a deleted report under its own record number: into the data
// file it was deleted from when that file's numbers allow it there (the
// file reads, holds fewer than 1000 reports, and the number falls between
// the files before and after), else at the end of the newest data file (or
// a new one). outcome says where it went.
struct BringBackOutcome {
  bool ok = false;
  bool original = false;  // back in the data file it was deleted from
  int fileNo = 0;
  QString message;  // what the user is told (where it went, or why not)
};
BringBackOutcome BringBackReport(const ReportVersion& version, std::int32_t reportId, OpenDataFile& file,
                                 IdCounters& counters, const DrivePaths& paths, const CodeLists& lists, AccessLog& log,
                                 Database& database, const QDateTime& now);

}  // namespace orvanta
