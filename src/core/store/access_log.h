#pragma once
// The access log in orvanta.sqlite (table access_log, docs/database.md): who
// did what, when, on which report. Entries are only ever added: the
// database's triggers refuse every UPDATE and DELETE, and each entry carries
// the SHA-256 of its own content and of the entry before it, so that an
// entry changed, removed or slipped in by another tool breaks the chain
// (CheckLogChain). A chain recomputed as a whole is found by the heads kept
// in the backup generations.
//
// Every event is recorded through AccessLog::record (one entry in its own
// transaction) or, where the entry belongs to a change of the database
// itself, through AppendEntries inside that change's transaction. Exports
// reach it through core/platform/export_record.h. The password is never
// recorded.

#include <QJsonObject>
#include <QSqlDatabase>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/platform/export_record.h"

namespace orvanta {

class Clock;
class Database;
class Prompts;

// The kinds of entries, as stored.
namespace log_kind {
inline const QString kStart = QStringLiteral("start");
inline const QString kLogin = QStringLiteral("login");
inline const QString kLoginFailed = QStringLiteral("login_failed");
inline const QString kEnd = QStringLiteral("end");
inline const QString kReportShown = QStringLiteral("report_shown");
inline const QString kReportNew = QStringLiteral("report_new");
inline const QString kReportChange = QStringLiteral("report_change");
inline const QString kReportDelete = QStringLiteral("report_delete");
inline const QString kReportRestore = QStringLiteral("report_restore");
inline const QString kFollowup = QStringLiteral("followup");
inline const QString kCodeList = QStringLiteral("codelist");
inline const QString kDenominator = QStringLiteral("denominator");
inline const QString kIntervention = QStringLiteral("intervention");
inline const QString kPrint = QStringLiteral("print");
inline const QString kPdf = QStringLiteral("pdf");
inline const QString kCsv = QStringLiteral("csv");
inline const QString kFile = QStringLiteral("file");
inline const QString kBackup = QStringLiteral("backup");
inline const QString kRestore = QStringLiteral("restore");
inline const QString kRepair = QStringLiteral("repair");
inline const QString kSettle = QStringLiteral("settle");
inline const QString kLogCheck = QStringLiteral("log_check");
}  // namespace log_kind

// Every kind in the order the log window offers them.
const std::vector<QString>& LogKinds();
// The Japanese name of a kind ("ログイン", "報告の変更", ...); the kind itself
// when unknown.
QString LogKindLabel(const QString& kind);
// Whether entries of the kind hold a version of a report (details "report").
bool IsReportVersionKind(const QString& kind);

// What a caller records.
struct LogEvent {
  QString kind;
  std::int32_t reportId = 0;  // 0: no report
  QString summary;            // one line, Japanese: what was done
  QJsonObject details;        // the particulars (changed items, paths, counts)
};

struct LogEntry {
  std::int64_t seq = 0;  // the entry's number, 1, 2, ... without gaps
  QString at;            // local time with its UTC offset, "2026-12-09T09:00:00+09:00"
  QString user;          // the operating system's user
  QString host;
  QString kind;
  std::int32_t reportId = 0;
  QString summary;
  QString details;  // JSON object
  QString prevHash;
  QString hash;
};

// The moment as entries write it.
QString LogTimeText(const QDateTime& moment);

// The hash of an entry (hex SHA-256) over its number, time, user, host,
// kind, report, summary, details and the previous entry's hash, each part
// preceded by its length so that no two contents give the same input.
QString EntryHash(const LogEntry& entry);
// The previous hash of the first entry.
QString FirstPrevHash();

// The newest entry: its number and hash (0 and FirstPrevHash when empty).
struct LogHead {
  std::int64_t seq = 0;
  QString hash;
  QString at;
  friend bool operator==(const LogHead&, const LogHead&) = default;
};
bool ReadLogHead(const QSqlDatabase& db, LogHead* head, QString* error);

// Appends entries (at, user, host, kind, report, summary, details given)
// after the newest one, numbering and hashing them; inside a transaction the
// caller holds.
bool AppendEntries(QSqlDatabase& db, std::vector<LogEntry> entries, QString* error);

// A restore puts back a backup's database, whose log ends where the backup
// was made. The log is never turned back: the log of the database that was
// replaced (at previousPath), which holds every entry up to the restore, is
// taken over whole, in one transaction. Nothing is done when that file holds
// no log or a shorter one.
bool CarryLogOver(Database& database, const QString& previousPath, QString* error);

// ---- The check -------------------------------------------------------------

struct LogCheck {
  bool readable = true;        // false: the log could not be read (error says why)
  bool intact = true;          // every entry and every kept head holds
  std::int64_t entries = 0;    // entries walked
  std::int64_t brokenSeq = 0;  // the first entry where the chain breaks
  QString brokenAt;            // its time
  QString error;
};
// Walks the chain from the first entry: each entry's number follows the one
// before, its previous hash is that entry's hash, and its hash is its
// content's. Then each kept head (a backup generation's newest entry) must
// still be in the log, with the same hash. progress gets (done, total) now
// and then and may answer false to stop (the result is then not intact,
// brokenSeq 0, error "中止").
LogCheck CheckLogChain(const QSqlDatabase& db, const std::vector<LogHead>& keptHeads = {},
                       const std::function<bool(std::int64_t, std::int64_t)>& progress = {});
// What "記録の検証" tells.
QString LogCheckText(const LogCheck& check);

// ---- Reading for the window ------------------------------------------------

struct LogFilter {
  QDate from;  // invalid: no lower bound
  QDate to;    // invalid: no upper bound
  QString user;
  QString kind;
  std::int32_t reportId = 0;  // 0: every report
};
// How many entries pass the filter.
std::int64_t CountLogEntries(const QSqlDatabase& db, const LogFilter& filter, QString* error = nullptr);
// Entries passing the filter, newest first, skipping the first `offset`.
std::vector<LogEntry> ReadLogEntries(const QSqlDatabase& db, const LogFilter& filter, std::int64_t offset, int limit,
                                     QString* error = nullptr);
// Every user named in the log, sorted.
QStringList LogUsers(const QSqlDatabase& db);
// The entries of one report that hold a version, oldest first.
std::vector<LogEntry> ReportVersionEntries(const QSqlDatabase& db, std::int32_t reportId, QString* error = nullptr);

// ---- Recording -------------------------------------------------------------

// The log of the run. Holds what happens before the database is open (the
// start, the login) and writes it once attach is called; tells the user once
// when the log cannot be written, and never stands in the way of the work.
class AccessLog {
 public:
  AccessLog(Database& database, Prompts& prompts, const Clock& clock);
  ~AccessLog();
  AccessLog(const AccessLog&) = delete;
  AccessLog& operator=(const AccessLog&) = delete;

  const QString& user() const { return user_; }
  const QString& host() const { return host_; }
  // An entry for the event now, by this user on this host.
  LogEntry stamp(const LogEvent& event) const;

  // Records one event. Before attach, the entry is held. False when it could
  // not be written: a failure of the database is told once; a database that
  // is not there or is newer was told at the start.
  bool record(const LogEvent& event);
  // The entry of a change of the database itself, written inside that
  // change's transaction: the next Database::change while the returned
  // object lives (it takes the entry back when it goes).
  //
  //   const auto entry = state.log.forNextChange({log_kind::kFollowup, id, text, details});
  //   SaveCase(state.database, ...);
  class NextChange {
   public:
    explicit NextChange(Database& database) : database_(&database) {}
    NextChange(NextChange&& other) noexcept : database_(std::exchange(other.database_, nullptr)) {}
    NextChange(const NextChange&) = delete;
    NextChange& operator=(const NextChange&) = delete;
    NextChange& operator=(NextChange&&) = delete;
    ~NextChange();

   private:
    Database* database_;
  };
  [[nodiscard]] NextChange forNextChange(const LogEvent& event);

  // Writes the held entries: called once the database is open.
  void attach();
  // Whether the database takes entries (open and writable).
  bool writable() const;
  // Tells the user, once per run, that the log could not be written and why.
  void tellNotWritten(const QString& reason);

  // The start of the run, and its end with how long it lasted.
  void recordStart();
  void recordEnd();

 private:
  void exported(const ExportRecord& record);

  Database& database_;
  Prompts& prompts_;
  const Clock& clock_;
  QString user_;
  QString host_;
  bool attached_ = false;
  bool told_ = false;
  QDateTime started_;
  std::vector<LogEntry> held_;
  ExportListener replaced_;
};

}  // namespace orvanta
