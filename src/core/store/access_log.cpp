#include "core/store/access_log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QVariant>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <openssl/evp.h>
#include <sqlite3.h>

#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/platform/system_info.h"
#include "core/store/database.h"
#include "core/store/schema.h"

namespace orvanta {

namespace {

struct KindName {
  const QString* kind;
  const char* label;
};

const KindName kKindNames[] = {
    {&log_kind::kStart, "起動"},
    {&log_kind::kLogin, "ログイン"},
    {&log_kind::kLoginFailed, "ログイン失敗"},
    {&log_kind::kEnd, "終了"},
    {&log_kind::kReportShown, "報告の表示"},
    {&log_kind::kReportNew, "報告の追加"},
    {&log_kind::kReportChange, "報告の変更"},
    {&log_kind::kReportDelete, "報告の削除"},
    {&log_kind::kReportRestore, "報告の復元"},
    {&log_kind::kFollowup, "経過観察"},
    {&log_kind::kCodeList, "コードの変更"},
    {&log_kind::kDenominator, "分母"},
    {&log_kind::kIntervention, "介入"},
    {&log_kind::kPrint, "印刷"},
    {&log_kind::kPdf, "PDFファイル"},
    {&log_kind::kCsv, "CSVファイル"},
    {&log_kind::kFile, "ファイルの書き出し"},
    {&log_kind::kBackup, "バックアップ"},
    {&log_kind::kRestore, "バックアップの復元"},
    {&log_kind::kRepair, "データファイルの修復"},
    {&log_kind::kSettle, "起動時の確定"},
    {&log_kind::kLogCheck, "記録の検証"},
};

const QString kColumns = QStringLiteral("seq, at, os_user, host, kind, report_id, summary, details, prev_hash, hash");

LogEntry EntryOf(const QSqlQuery& query) {
  LogEntry e;
  e.seq = query.value(0).toLongLong();
  e.at = query.value(1).toString();
  e.user = query.value(2).toString();
  e.host = query.value(3).toString();
  e.kind = query.value(4).toString();
  e.reportId = query.value(5).isNull() ? 0 : query.value(5).toInt();
  e.summary = query.value(6).toString();
  e.details = query.value(7).toString();
  e.prevHash = query.value(8).toString();
  e.hash = query.value(9).toString();
  return e;
}

void AddPart(QCryptographicHash& hash, const QByteArray& part) {
  // The length in decimal and ":", without a string of its own.
  char length[24];
  const auto end = std::to_chars(length, length + sizeof length - 1, part.size()).ptr;
  *end = ':';
  hash.addData(QByteArrayView(length, end - length + 1));
  hash.addData(part);
}

// The WHERE clause of a filter and its bound values.
QString WhereOf(const LogFilter& filter, QVariantList* values) {
  QStringList terms;
  if (filter.from.isValid()) {
    terms << QStringLiteral("at >= ?");
    *values << filter.from.toString(Qt::ISODate);
  }
  if (filter.to.isValid()) {
    terms << QStringLiteral("at < ?");
    *values << filter.to.addDays(1).toString(Qt::ISODate);
  }
  if (!filter.user.isEmpty()) {
    terms << QStringLiteral("os_user = ?");
    *values << filter.user;
  }
  if (!filter.kind.isEmpty()) {
    terms << QStringLiteral("kind = ?");
    *values << filter.kind;
  }
  if (filter.reportId != 0) {
    terms << QStringLiteral("report_id = ?");
    *values << filter.reportId;
  }
  return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

bool Unfiltered(const LogFilter& f) {
  return !f.from.isValid() && !f.to.isValid() && f.user.isEmpty() && f.kind.isEmpty() && f.reportId == 0;
}

void SetError(QString* error, const QSqlQuery& query) {
  if (error) *error = query.lastError().text();
}

}  // namespace

const std::vector<QString>& LogKinds() {
  static const std::vector<QString> kinds = [] {
    std::vector<QString> all;
    for (const KindName& k : kKindNames) all.push_back(*k.kind);
    return all;
  }();
  return kinds;
}

QString LogKindLabel(const QString& kind) {
  for (const KindName& k : kKindNames)
    if (*k.kind == kind) return QString::fromUtf8(k.label);
  return kind;
}

bool IsReportVersionKind(const QString& kind) {
  return kind == log_kind::kReportNew || kind == log_kind::kReportChange || kind == log_kind::kReportDelete ||
         kind == log_kind::kReportRestore;
}

QString LogTimeText(const QDateTime& moment) {
  const int offset = moment.offsetFromUtc();
  const int minutes = std::abs(offset) / 60;
  return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
         QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString FirstPrevHash() { return QString(64, QLatin1Char('0')); }

namespace {

// The hash over the parts of an entry as UTF-8, in their order: seq,
// at, user, host, kind, report (empty for none), summary, details,
// prev_hash. The check hashes the stored bytes with it directly.
QByteArray HashOfParts(QCryptographicHash& hash, const std::array<QByteArray, 9>& parts) {
  hash.reset();
  for (const QByteArray& part : parts) AddPart(hash, part);
  return hash.result().toHex();
}

}  // namespace

QString EntryHash(const LogEntry& e) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  return QString::fromLatin1(
      HashOfParts(hash, {QByteArray::number(qint64(e.seq)), e.at.toUtf8(), e.user.toUtf8(), e.host.toUtf8(),
                         e.kind.toUtf8(), e.reportId == 0 ? QByteArray() : QByteArray::number(e.reportId),
                         e.summary.toUtf8(), e.details.toUtf8(), e.prevHash.toLatin1()}));
}

bool ReadLogHead(const QSqlDatabase& db, LogHead* head, QString* error) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT seq, hash, at FROM access_log ORDER BY seq DESC LIMIT 1"))) {
    SetError(error, query);
    return false;
  }
  *head = LogHead{0, FirstPrevHash(), QString()};
  if (query.next()) *head = LogHead{query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString()};
  return true;
}

bool AppendEntries(QSqlDatabase& db, std::vector<LogEntry> entries, QString* error) {
  if (entries.empty()) return true;
  LogHead head;
  if (!ReadLogHead(db, &head, error)) return false;
  QSqlQuery insert(db);
  if (!insert.prepare(QStringLiteral("INSERT INTO access_log(") + kColumns +
                      QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
    SetError(error, insert);
    return false;
  }
  for (LogEntry& e : entries) {
    e.seq = head.seq + 1;
    e.prevHash = head.hash;
    e.hash = EntryHash(e);
    const QVariantList values{
        qint64(e.seq), e.at,      e.user,
        e.host,        e.kind,    e.reportId == 0 ? QVariant(QMetaType(QMetaType::Int)) : QVariant(e.reportId),
        e.summary,     e.details, e.prevHash,
        e.hash};
    for (int i = 0; i < values.size(); ++i) insert.bindValue(i, values[i]);
    if (!insert.exec()) {
      SetError(error, insert);
      return false;
    }
    head.seq = e.seq;
    head.hash = e.hash;
  }
  return true;
}

bool CarryLogOver(Database& database, const QString& previousPath, QString* error) {
  if (!database.isOpen() || database.isReadOnly()) return true;
  QSqlDatabase db = database.connection();
  QSqlQuery attach(db);
  attach.prepare(QStringLiteral("ATTACH DATABASE ? AS previous"));
  attach.bindValue(0, previousPath);
  if (!attach.exec()) {
    SetError(error, attach);
    return false;
  }
  auto count = [&db](const QString& table, std::int64_t* n) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !q.next()) return false;
    *n = q.value(0).toLongLong();
    return true;
  };
  std::int64_t previous = 0;
  std::int64_t present = 0;
  bool ok = true;
  if (count(QStringLiteral("previous.access_log"), &previous) && count(QStringLiteral("main.access_log"), &present) &&
      previous >= present) {
    ok = database.change(
        [](QSqlDatabase& c, QString* why) {
          QSqlQuery q(c);
          const QStringList steps{
              QStringLiteral("DROP TRIGGER main.access_log_no_delete"), QStringLiteral("DELETE FROM main.access_log"),
              QStringLiteral("INSERT INTO main.access_log(") + kColumns + QStringLiteral(") SELECT ") + kColumns +
                  QStringLiteral(" FROM previous.access_log ORDER BY seq"),
              QString::fromUtf8(kAccessLogNoDeleteTrigger)};
          for (const QString& step : steps) {
            if (!q.exec(step)) {
              *why = q.lastError().text();
              return false;
            }
          }
          return true;
        },
        error);
  }
  QSqlQuery detach(db);
  detach.exec(QStringLiteral("DETACH DATABASE previous"));
  return ok;
}

// ---- The check -------------------------------------------------------------

namespace {

// SQLite's own handle of a Qt SQL connection, for reading a million rows
// without a QVariant per value; none for another driver.
sqlite3* RawHandle(const QSqlDatabase& db) {
  const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

// A run of entries read for the check: what each one's hash is over (the
// stored bytes with their lengths, as HashOfParts adds them) and the hash
// stored with it. The hashes of a run are computed on other threads while
// the next run is read.
struct CheckRun {
  struct Entry {
    std::int64_t seq;
    qsizetype inputEnd;  // the entry's input ends here in `input`
    qsizetype atBegin;   // its time, for the message
    qsizetype atSize;
  };
  std::vector<Entry> entries;
  QByteArray input;
  QByteArray storedHashes;  // 64 hexadecimal digits per entry
  // The first entry whose number or previous hash does not follow on; -1
  // while the run holds.
  qsizetype sequenceBreak = -1;

  qsizetype inputBegin(qsizetype i) const { return i == 0 ? 0 : entries[static_cast<std::size_t>(i) - 1].inputEnd; }
  QString at(qsizetype i) const {
    const Entry& e = entries[static_cast<std::size_t>(i)];
    return QString::fromUtf8(input.constData() + e.atBegin, e.atSize);
  }
};

void AddPart(QByteArray& input, const char* data, int size) {
  char length[24];
  const auto end = std::to_chars(length, length + sizeof length - 1, size).ptr;
  *end = ':';
  input.append(length, end - length + 1);
  input.append(data, size);
}

// The first entry of entries [from, to) of a run whose stored hash is not
// the hash of its content; -1 when all hold. OpenSSL's SHA-256 uses the
// processor's SHA instructions where there are any: a million entries are
// hashed in a fraction of a second.
qsizetype FirstWrongHash(const CheckRun& run, qsizetype from, qsizetype to) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  char hex[64];
  for (qsizetype i = from; i < to; ++i) {
    const qsizetype begin = run.inputBegin(i);
    unsigned int size = 0;
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), run.input.constData() + begin,
                         static_cast<std::size_t>(run.entries[static_cast<std::size_t>(i)].inputEnd - begin)) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest, &size) != 1 || size != 32)
      return i;
    for (int b = 0; b < 32; ++b) {
      hex[2 * b] = kHex[digest[b] >> 4];
      hex[2 * b + 1] = kHex[digest[b] & 0xf];
    }
    if (std::memcmp(hex, run.storedHashes.constData() + 64 * i, 64) != 0) return i;
  }
  return -1;
}

// The first wrong hash of a whole run, on two threads.
qsizetype FirstWrongHash(const CheckRun& run) {
  const qsizetype count = static_cast<qsizetype>(run.entries.size());
  const qsizetype half = count / 2;
  std::future<qsizetype> second =
      std::async(std::launch::async, [&run, half, count] { return FirstWrongHash(run, half, count); });
  const qsizetype first = FirstWrongHash(run, 0, half);
  const qsizetype later = second.get();
  return first >= 0 ? first : later;
}

}  // namespace

LogCheck CheckLogChain(const QSqlDatabase& db, const std::vector<LogHead>& keptHeads,
                       const std::function<bool(std::int64_t, std::int64_t)>& progress) {
  LogCheck check;
  auto failWith = [&check](const QString& why) {
    check.readable = false;
    check.intact = false;
    check.error = why;
    return check;
  };
  auto fail = [&failWith](const QSqlQuery& q) { return failWith(q.lastError().text()); };
  QSqlQuery total(db);
  if (!total.exec(QStringLiteral("SELECT count(*) FROM access_log")) || !total.next()) return fail(total);
  const std::int64_t count = total.value(0).toLongLong();
  sqlite3* handle = RawHandle(db);
  if (!handle) return failWith(QStringLiteral("SQLiteのデータベースではありません。"));

  // The stored bytes as they are (no text conversion): what the hash is over.
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle,
                         "SELECT seq, CAST(at AS BLOB), CAST(os_user AS BLOB), CAST(host AS BLOB),"
                         " CAST(kind AS BLOB), CAST(report_id AS BLOB), CAST(summary AS BLOB),"
                         " CAST(details AS BLOB), CAST(prev_hash AS BLOB), CAST(hash AS BLOB)"
                         " FROM access_log ORDER BY seq",
                         -1, &statement, nullptr) != SQLITE_OK)
    return failWith(QString::fromUtf8(sqlite3_errmsg(handle)));
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalise(statement, sqlite3_finalize);

  constexpr qsizetype kRun = 20000;
  QByteArray prevHash = FirstPrevHash().toLatin1();
  std::int64_t expected = 1;
  bool ended = false;
  QString readError;
  // Reads the next run of entries, checking the numbers and the links to
  // the entry before as it goes.
  auto readRun = [&](CheckRun& run) {
    run.entries.clear();
    run.input.clear();
    run.storedHashes.clear();
    run.sequenceBreak = -1;
    while (static_cast<qsizetype>(run.entries.size()) < kRun) {
      const int rc = sqlite3_step(statement);
      if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) readError = QString::fromUtf8(sqlite3_errmsg(handle));
        ended = true;
        return;
      }
      const std::int64_t seq = sqlite3_column_int64(statement, 0);
      char number[24];
      const auto numberEnd = std::to_chars(number, number + sizeof number, seq).ptr;
      AddPart(run.input, number, static_cast<int>(numberEnd - number));
      CheckRun::Entry entry{seq, 0, 0, 0};
      for (int column = 1; column < 9; ++column) {
        const char* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        if (column == 1) {
          entry.atSize = size;
          entry.atBegin = run.input.size() + std::to_chars(number, number + sizeof number, size).ptr - number + 1;
        }
        AddPart(run.input, bytes, size);
        if (column == 8 && QByteArrayView(bytes, size) != QByteArrayView(prevHash) && run.sequenceBreak < 0)
          run.sequenceBreak = static_cast<qsizetype>(run.entries.size());
      }
      entry.inputEnd = run.input.size();
      const char* stored = static_cast<const char*>(sqlite3_column_blob(statement, 9));
      const int storedSize = sqlite3_column_bytes(statement, 9);
      // A hash of another length can never match: it is kept as 64 other
      // digits, and its entry's hash check fails.
      QByteArray hash(stored, storedSize);
      if (storedSize != 64) hash = QByteArray(64, 'x');
      run.storedHashes.append(hash);
      if (seq != expected && run.sequenceBreak < 0) run.sequenceBreak = static_cast<qsizetype>(run.entries.size());
      run.entries.push_back(entry);
      prevHash = QByteArray(stored, storedSize);
      ++expected;
      if (run.sequenceBreak >= 0) {
        ended = true;
        return;
      }
    }
  };
  auto brokenAt = [&check](const CheckRun& run, qsizetype i) {
    check.intact = false;
    check.brokenSeq = run.entries[static_cast<std::size_t>(i)].seq;
    check.brokenAt = run.at(i);
  };

  // While one run is hashed, the next is read.
  CheckRun runs[2];
  int current = 0;
  readRun(runs[current]);
  while (!runs[current].entries.empty()) {
    CheckRun& run = runs[current];
    std::future<qsizetype> wrong = std::async(std::launch::async, [&run] { return FirstWrongHash(run); });
    CheckRun& next = runs[1 - current];
    next.entries.clear();
    if (!ended) readRun(next);
    const qsizetype wrongHash = wrong.get();
    // The entries before the first broken one have been walked.
    qsizetype firstBroken = wrongHash;
    if (run.sequenceBreak >= 0 && (firstBroken < 0 || run.sequenceBreak < firstBroken)) firstBroken = run.sequenceBreak;
    if (firstBroken >= 0) {
      check.entries += firstBroken + 1;
      brokenAt(run, firstBroken);
      return check;
    }
    check.entries += static_cast<std::int64_t>(run.entries.size());
    if (progress && !progress(check.entries, count)) {
      check.intact = false;
      check.error = QStringLiteral("中止");
      return check;
    }
    current = 1 - current;
  }
  if (!readError.isEmpty()) return failWith(readError);

  // A head kept when a backup was made must still be there, unchanged.
  for (const LogHead& kept : keptHeads) {
    if (kept.seq <= 0) continue;
    QSqlQuery at(db);
    at.prepare(QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM access_log WHERE seq = ?"));
    at.bindValue(0, qint64(kept.seq));
    if (!at.exec()) return fail(at);
    if (!at.next()) {
      // The log ends before an entry a backup saw: entries were taken away
      // at its end.
      check.intact = false;
      check.brokenSeq = kept.seq;
      check.brokenAt = kept.at;
      return check;
    }
    const LogEntry e = EntryOf(at);
    if (e.hash != kept.hash) {
      check.intact = false;
      check.brokenSeq = e.seq;
      check.brokenAt = e.at;
      return check;
    }
  }
  return check;
}

QString LogCheckText(const LogCheck& check) {
  if (!check.readable) return QStringLiteral("操作記録を読めませんでした。\n") + check.error;
  if (check.intact) return QStringLiteral("操作記録の全%1件は改ざんされていません。").arg(check.entries);
  if (check.brokenSeq == 0) return QStringLiteral("記録の検証を中止しました。");
  return QStringLiteral(
             "操作記録の連鎖が番号%1（%2）の記録で途切れています。\n"
             "この記録かその前後の記録が、Orvanta以外の方法で変更・削除・挿入されています。")
      .arg(check.brokenSeq)
      .arg(check.brokenAt.isEmpty() ? QStringLiteral("日時不明") : check.brokenAt);
}

// ---- Reading for the window ------------------------------------------------

std::int64_t CountLogEntries(const QSqlDatabase& db, const LogFilter& filter, QString* error) {
  if (Unfiltered(filter)) {
    // The numbers run without gaps: the newest one is the count.
    LogHead head;
    return ReadLogHead(db, &head, error) ? head.seq : 0;
  }
  QVariantList values;
  QSqlQuery query(db);
  query.prepare(QStringLiteral("SELECT count(*) FROM access_log") + WhereOf(filter, &values));
  for (int i = 0; i < values.size(); ++i) query.bindValue(i, values[i]);
  if (!query.exec() || !query.next()) {
    SetError(error, query);
    return 0;
  }
  return query.value(0).toLongLong();
}

std::vector<LogEntry> ReadLogEntries(const QSqlDatabase& db, const LogFilter& filter, std::int64_t offset, int limit,
                                     QString* error) {
  std::vector<LogEntry> entries;
  QSqlQuery query(db);
  query.setForwardOnly(true);
  QVariantList values;
  QString sql = QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM access_log");
  if (Unfiltered(filter)) {
    // Straight to the page by number, however far back it lies.
    LogHead head;
    if (!ReadLogHead(db, &head, error)) return entries;
    sql += QStringLiteral(" WHERE seq <= ? ORDER BY seq DESC LIMIT ?");
    values << qint64(head.seq - offset) << limit;
  } else {
    sql += WhereOf(filter, &values) + QStringLiteral(" ORDER BY seq DESC LIMIT ? OFFSET ?");
    values << limit << qint64(offset);
  }
  query.prepare(sql);
  for (int i = 0; i < values.size(); ++i) query.bindValue(i, values[i]);
  if (!query.exec()) {
    SetError(error, query);
    return entries;
  }
  while (query.next()) entries.push_back(EntryOf(query));
  return entries;
}

QStringList LogUsers(const QSqlDatabase& db) {
  QStringList users;
  QSqlQuery query(db);
  // Walks the index by skipping from one user to the next.
  if (!query.exec(QStringLiteral("SELECT min(os_user) FROM access_log"))) return users;
  while (query.next() && !query.value(0).isNull()) {
    const QString user = query.value(0).toString();
    users << user;
    query.prepare(QStringLiteral("SELECT min(os_user) FROM access_log WHERE os_user > ?"));
    query.bindValue(0, user);
    if (!query.exec()) break;
  }
  return users;
}

std::vector<LogEntry> ReportVersionEntries(const QSqlDatabase& db, std::int32_t reportId, QString* error) {
  std::vector<LogEntry> entries;
  QSqlQuery query(db);
  query.prepare(QStringLiteral("SELECT ") + kColumns +
                QStringLiteral(" FROM access_log WHERE report_id = ? AND kind IN (?, ?, ?, ?) ORDER BY seq"));
  query.bindValue(0, reportId);
  query.bindValue(1, log_kind::kReportNew);
  query.bindValue(2, log_kind::kReportChange);
  query.bindValue(3, log_kind::kReportDelete);
  query.bindValue(4, log_kind::kReportRestore);
  if (!query.exec()) {
    SetError(error, query);
    return entries;
  }
  while (query.next()) entries.push_back(EntryOf(query));
  return entries;
}

// ---- Recording -------------------------------------------------------------

AccessLog::AccessLog(Database& database, Prompts& prompts, const Clock& clock)
    : database_(database),
      prompts_(prompts),
      clock_(clock),
      user_(CurrentUserName()),
      host_(QSysInfo::machineHostName()) {
  replaced_ = SetExportListener([this](const ExportRecord& record) { exported(record); });
}

AccessLog::~AccessLog() { SetExportListener(std::move(replaced_)); }

LogEntry AccessLog::stamp(const LogEvent& event) const {
  LogEntry e;
  e.at = LogTimeText(clock_.now());
  e.user = user_;
  e.host = host_;
  e.kind = event.kind;
  e.reportId = event.reportId;
  e.summary = event.summary;
  e.details = QString::fromUtf8(QJsonDocument(event.details).toJson(QJsonDocument::Compact));
  return e;
}

bool AccessLog::writable() const { return database_.isOpen() && !database_.isReadOnly(); }

bool AccessLog::record(const LogEvent& event) {
  LogEntry entry = stamp(event);
  if (!attached_) {
    held_.push_back(std::move(entry));
    return true;
  }
  // Without a database (or with a newer one) the start has told the user.
  if (!writable()) return false;
  QString error;
  if (database_.change([&entry](QSqlDatabase& db, QString* why) { return AppendEntries(db, {entry}, why); }, &error))
    return true;
  tellNotWritten(error);
  return false;
}

void AccessLog::attach() {
  attached_ = true;
  if (!writable()) held_.clear();
  if (held_.empty()) return;
  QString error;
  std::vector<LogEntry> held = std::move(held_);
  held_.clear();
  if (!database_.change([&held](QSqlDatabase& db, QString* why) { return AppendEntries(db, held, why); }, &error))
    tellNotWritten(error);
}

AccessLog::NextChange::~NextChange() {
  if (database_) database_->clearNextChangeWork();
}

AccessLog::NextChange AccessLog::forNextChange(const LogEvent& event) {
  LogEntry entry = stamp(event);
  database_.setNextChangeWork([entry](QSqlDatabase& db, QString* why) { return AppendEntries(db, {entry}, why); });
  return NextChange(database_);
}

void AccessLog::tellNotWritten(const QString& reason) {
  if (told_) return;
  told_ = true;
  QString text = QStringLiteral("操作記録を書き込めませんでした。");
  if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
  text += QStringLiteral("\n作業はそのまま続けられますが、この間の操作は記録されません。");
  prompts_.message(text, QString(), PromptIcon::Exclamation);
}

void AccessLog::exported(const ExportRecord& r) {
  LogEvent event;
  QString what = r.what;
  switch (r.kind) {
    case ExportKind::Print: event.kind = log_kind::kPrint; break;
    case ExportKind::Pdf: event.kind = log_kind::kPdf; break;
    case ExportKind::Csv: event.kind = log_kind::kCsv; break;
    case ExportKind::File: event.kind = log_kind::kFile; break;
  }
  event.summary = what.isEmpty() ? LogKindLabel(event.kind) : what;
  if (!r.path.isEmpty()) event.summary += QStringLiteral("：") + QDir::toNativeSeparators(r.path);
  if (r.reports >= 0) event.summary += QStringLiteral("（%1件）").arg(r.reports);
  event.details = QJsonObject{{QStringLiteral("what"), r.what}, {QStringLiteral("path"), r.path}};
  if (r.reports >= 0) event.details.insert(QStringLiteral("reports"), r.reports);
  record(event);
}

void AccessLog::recordStart() {
  started_ = clock_.now();
  record({log_kind::kStart, 0, QStringLiteral("起動"), {}});
}

void AccessLog::recordEnd() {
  const qint64 seconds = started_.isValid() ? std::max<qint64>(0, started_.secsTo(clock_.now())) : 0;
  record(
      {log_kind::kEnd, 0,
       QStringLiteral("終了（使用時間 %1時間%2分%3秒）").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60),
       QJsonObject{{QStringLiteral("seconds"), seconds}}});
}

}  // namespace orvanta
