#include "core/store/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <utility>

#include "core/platform/safe_save.h"
#include "core/store/schema.h"

namespace orvanta {

namespace {

QString NewConnectionName() {
  static std::atomic<int> next{0};
  return QStringLiteral("orvanta-db-%1").arg(next++);
}

bool Exec(QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery query(db);
  if (query.exec(sql)) return true;
  if (error) *error = query.lastError().text();
  return false;
}

// The result of `PRAGMA integrity_check`: true for "ok". Also fails for a
// file that is not a database at all.
// What a check of an existing file found: sound, damaged (not a database,
// or its pages do not hold together), or not to be judged now (the file could
// not be read: no permission, held by another program, an I/O error), which
// must never be taken for damage.
enum class FileCheck { Sound, Damaged, Unreadable, RowsBreakRules };

// The table a line of `PRAGMA integrity_check` names when it speaks of a row
// that breaks a rule of its table (a CHECK or NOT NULL constraint, as another
// tool may write), rather than of pages that do not hold together.
QString TableOfBrokenRule(const QString& problem) {
  static const QRegularExpression rule(
      QStringLiteral("^(?:CHECK constraint failed in ([A-Za-z_][A-Za-z0-9_]*)|NULL value in "
                     "([A-Za-z_][A-Za-z0-9_]*)\\.[A-Za-z0-9_]+)$"));
  const QRegularExpressionMatch m = rule.match(problem);
  if (!m.hasMatch()) return {};
  return m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
}

// SQLite's primary result codes that say the file itself is bad.
bool SaysDamaged(const QSqlError& error) {
  bool ok = false;
  const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
  return ok && (code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */);
}

FileCheck CheckIntegrity(QSqlDatabase& db, QString* error, QStringList* ruleTables = nullptr) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) {
    if (error) *error = query.lastError().text();
    return SaysDamaged(query.lastError()) ? FileCheck::Damaged : FileCheck::Unreadable;
  }
  QStringList problems;
  while (query.next()) problems << query.value(0).toString();
  if (problems == QStringList{QStringLiteral("ok")}) return FileCheck::Sound;
  if (query.lastError().isValid() && problems.isEmpty()) {
    if (error) *error = query.lastError().text();
    return SaysDamaged(query.lastError()) ? FileCheck::Damaged : FileCheck::Unreadable;
  }
  if (error) *error = problems.mid(0, 3).join(QLatin1Char('\n'));
  QStringList tables;
  for (const QString& problem : problems) {
    const QString table = TableOfBrokenRule(problem);
    if (table.isEmpty()) return FileCheck::Damaged;
    if (!tables.contains(table)) tables << table;
  }
  if (ruleTables) *ruleTables = tables;
  return FileCheck::RowsBreakRules;
}

// The rows of the tables that break a rule: each is written back as it is
// inside a savepoint, which its table's constraints refuse for exactly those
// rows; nothing is changed. "table rowid" each.
QStringList RowsBreakingRules(QSqlDatabase& db, const QStringList& tables) {
  QStringList rows;
  QSqlQuery q(db);
  for (const QString& table : tables) {
    QStringList columns;
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) continue;
    while (q.next()) columns << q.value(1).toString();
    if (columns.isEmpty()) continue;
    QStringList ids;
    if (!q.exec(QStringLiteral("SELECT rowid FROM \"%1\"").arg(table))) continue;
    while (q.next()) ids << q.value(0).toString();
    // Every column: SQLite checks only the constraints of the columns an
    // UPDATE sets.
    QStringList sets;
    for (const QString& column : columns) sets << QStringLiteral("\"%1\" = \"%1\"").arg(column);
    const QString same = sets.join(QStringLiteral(", "));
    for (const QString& id : ids) {
      if (!q.exec(QStringLiteral("SAVEPOINT rule_check"))) break;
      if (!q.exec(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = %3").arg(table, same, id)))
        rows << table + QLatin1Char(' ') + id;
      q.exec(QStringLiteral("ROLLBACK TO rule_check"));
      q.exec(QStringLiteral("RELEASE rule_check"));
    }
  }
  return rows;
}

// A string literal for SQL: quotes doubled.
QString SqlText(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void MakeOwnerOnly(const QString& path) {
  if (QFileInfo::exists(path)) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A short-lived connection to a file that no other connection of this
// program holds, for checking or copying it.
class TemporaryConnection {
 public:
  explicit TemporaryConnection(const QString& path, bool readOnly) : name_(NewConnectionName()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    if (readOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
  }
  ~TemporaryConnection() {
    {
      QSqlDatabase db = QSqlDatabase::database(name_, false);
      if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(name_);
  }
  QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

 private:
  QString name_;
};

bool VacuumInto(QSqlDatabase& db, const QString& target, QString* error) {
  if (QFileInfo::exists(target) && !QFile::remove(target)) {
    if (error) *error = QStringLiteral("既にあるファイルを置き換えられません。");
    return false;
  }
  if (!Exec(db, QStringLiteral("VACUUM INTO %1").arg(SqlText(target)), error)) {
    QFile::remove(target);
    return false;
  }
  MakeOwnerOnly(target);
  return true;
}

}  // namespace

namespace {

// A sound database with rows that break a rule of their table: the whole
// file is copied aside first (nothing is lost), then those rows are taken
// out, in one transaction, so that no window meets them; notice names them.
// False when that cannot be done (the file is then treated as damaged).
bool SetAsideRowsBreakingRules(QSqlDatabase& db, const QString& path, const QDateTime& now, const QStringList& tables,
                               QString* notice) {
  const QStringList rows = RowsBreakingRules(db, tables);
  if (rows.isEmpty()) return false;
  QString kept = path + QStringLiteral(".rows-") + now.toString(QStringLiteral("yyyyMMdd-HHmm"));
  for (int n = 2; QFileInfo::exists(kept); ++n)
    kept =
        path + QStringLiteral(".rows-") + now.toString(QStringLiteral("yyyyMMdd-HHmm")) + QStringLiteral("-%1").arg(n);
  QString error;
  if (!VacuumInto(db, kept, &error)) return false;
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return false;
  for (const QString& row : rows) {
    const QStringList parts = row.split(QLatin1Char(' '));
    if (!q.exec(QStringLiteral("DELETE FROM \"%1\" WHERE rowid = %2").arg(parts[0], parts[1]))) {
      q.exec(QStringLiteral("ROLLBACK"));
      return false;
    }
  }
  if (!q.exec(QStringLiteral("COMMIT"))) {
    q.exec(QStringLiteral("ROLLBACK"));
    return false;
  }
  QString check;
  if (CheckIntegrity(db, &check) != FileCheck::Sound) return false;
  QStringList named = rows.mid(0, 10);
  for (QString& r : named)
    r = QStringLiteral("表 %1 の %2 行目").arg(r.section(QLatin1Char(' '), 0, 0), r.section(QLatin1Char(' '), 1));
  QString list = named.join(QLatin1Char('\n'));
  if (rows.size() > 10) list += QStringLiteral("\nほか%1行").arg(rows.size() - 10);
  *notice = QStringLiteral(
                "データベース「%1」に、決まりに合わない値の行がありました（別のソフトウェアで書き換えられた"
                "可能性があります）。\n%2\nこれらの行は画面に出さないよう取り除きました。取り除く前のデータベースは"
                "「%3」として残してあります。ほかの記録はこれまでどおり使えます。")
                .arg(QDir::toNativeSeparators(path), list, QDir::toNativeSeparators(kept));
  return true;
}

}  // namespace

QString DatabaseErrorText(const QString& path, const QString& reason) {
  QString text = QStringLiteral("データベース「%1」を読み書きできませんでした。").arg(QDir::toNativeSeparators(path));
  if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
  return text;
}

DatabaseSchema MainDatabaseSchema() {
  return DatabaseSchema{kSchemaVersion, &MigrateSchema, QStringLiteral("経過観察と発生率の記録"),
                        QStringLiteral("経過観察と発生率の記録は、バックアップから復元すると戻せます。")};
}

Database::Database() : Database(MainDatabaseSchema()) {}

Database::Database(DatabaseSchema schema) : schema_(std::move(schema)), connectionName_(NewConnectionName()) {}

Database::~Database() {
  close();
  QSqlDatabase::removeDatabase(connectionName_);
}

bool Database::isOpen() const { return QSqlDatabase::database(connectionName_, false).isOpen(); }

QSqlDatabase Database::connection() const { return QSqlDatabase::database(connectionName_, false); }

void Database::close() {
  if (!deferred_.empty()) runDeferred();
  deferred_.clear();
  {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (db.isOpen()) db.close();
  }
  readOnly_ = ReadOnly::No;
}

QString Database::readOnlyReason() const {
  switch (readOnly_) {
    case ReadOnly::No: return {};
    case ReadOnly::NewerProgram: return QStringLiteral("データベースが新しい版のOrvantaで作られているため");
    case ReadOnly::Asked: return QStringLiteral("読み取り専用で起動しているため");
  }
  return {};
}

bool Database::openReadOnly(const QString& path, QString* error) {
  close();
  path_ = path;
  if (!QFileInfo(path).isFile()) {
    if (error) *error = DatabaseErrorText(path, QStringLiteral("ファイルがありません。"));
    return false;
  }
  QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                        ? QSqlDatabase::database(connectionName_, false)
                        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
  QString reason;
  if (!db.open()) {
    reason = db.lastError().text();
  } else {
    // Rows that break a rule of their table are only read here; pages that
    // do not hold together are not.
    const FileCheck check = CheckIntegrity(db, &reason);
    if (check == FileCheck::Damaged || check == FileCheck::Unreadable) {
      if (reason.isEmpty()) reason = QStringLiteral("データベースが壊れています。");
    } else if (SchemaVersion(db) < schema_.version) {
      reason = QStringLiteral("古い版のOrvantaで作られたデータベースは、読み取り専用では開けません。");
    } else {
      readOnly_ = ReadOnly::Asked;
      return true;
    }
    db.close();
  }
  if (error) *error = DatabaseErrorText(path, reason);
  return false;
}

bool Database::open(const QString& path, const QDateTime& now, QString* notice, QString* error) {
  close();
  path_ = path;
  if (notice) notice->clear();
  QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                        ? QSqlDatabase::database(connectionName_, false)
                        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
  db.setDatabaseName(path);
  db.setConnectOptions();

  const bool existed = QFileInfo::exists(path);
  if (existed) {
    QString reason;
    QStringList ruleTables;
    const bool opened = db.open();
    FileCheck check = opened ? CheckIntegrity(db, &reason, &ruleTables)
                             : (SaysDamaged(db.lastError()) ? FileCheck::Damaged : FileCheck::Unreadable);
    if (check == FileCheck::RowsBreakRules && SchemaVersion(db) > kSchemaVersion) {
      check = FileCheck::Sound;  // a newer program's file is only read
    } else if (check == FileCheck::RowsBreakRules) {
      QString set;
      check = SetAsideRowsBreakingRules(db, path, now, ruleTables, &set) ? FileCheck::Sound : FileCheck::Damaged;
      if (notice) *notice = set;
    }
    if (check == FileCheck::Unreadable) {
      // Not read now is not damaged: the file stays as it is, and the
      // program goes on without it until the next start.
      if (!opened) reason = db.lastError().text();
      db.close();
      if (error) *error = DatabaseErrorText(path, reason);
      return false;
    }
    const bool sound = check == FileCheck::Sound;
    const int version = sound ? SchemaVersion(db) : -1;
    if (sound && version > schema_.version) {
      // Written by a newer program: read it, never write it.
      db.close();
      db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
      if (!db.open()) {
        if (error) *error = DatabaseErrorText(path, db.lastError().text());
        return false;
      }
      readOnly_ = ReadOnly::NewerProgram;
      if (notice) {
        *notice = QStringLiteral(
                      "データベース「%1」は、このOrvantaより新しい版で作られています。\n"
                      "%2は表示だけができ、変更は保存されません。新しい版のOrvantaをお使いください。")
                      .arg(QDir::toNativeSeparators(path), schema_.records);
      }
      return true;
    }
    if (!sound) {
      if (!opened) reason = db.lastError().text();
      db.close();
      QString kept;
      if (!KeepDamagedFile(path, now, &kept)) {
        if (error) *error = DatabaseErrorText(path, reason);
        return false;
      }
      // A journal left beside the damaged file belongs to it, not to the new one.
      const QString journal = path + QStringLiteral("-journal");
      if (QFileInfo::exists(journal)) QFile::rename(journal, kept + QStringLiteral("-journal"));
      if (notice) {
        *notice = QStringLiteral(
                      "データベース「%1」が壊れていたため読み込めませんでした。\n"
                      "壊れたファイルは「%2」として残し、新しい空のデータベースで始めます。\n%3")
                      .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(kept), schema_.recovery);
      }
    }
  }

  if (!QFileInfo::exists(path)) {
    // Owner-only from its first byte (SQLite's journal takes the same mode).
    QFile empty(path);
    if (empty.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
      empty.close();
  }
  if (!db.isOpen() && !db.open()) {
    if (error) *error = DatabaseErrorText(path, db.lastError().text());
    return false;
  }
  QString reason;
  const int version = SchemaVersion(db);
  const bool ready = Exec(db, QStringLiteral("PRAGMA journal_mode = DELETE"), &reason) &&
                     Exec(db, QStringLiteral("PRAGMA synchronous = FULL"), &reason) &&
                     Exec(db, QStringLiteral("PRAGMA foreign_keys = ON"), &reason) &&
                     Exec(db, QStringLiteral("PRAGMA busy_timeout = 5000"), &reason) &&
                     // Pages kept in memory (up to 32 MB): lists read again and
                     // again are not read from the file each time.
                     Exec(db, QStringLiteral("PRAGMA cache_size = -32000"), &reason) && version >= 0 &&
                     schema_.migrate(db, version, &reason);
  MakeOwnerOnly(path);
  if (!ready) {
    db.close();
    if (error) *error = DatabaseErrorText(path, reason);
    return false;
  }
  return true;
}

bool Database::change(const std::function<bool(QSqlDatabase& db, QString* error)>& work, QString* error) {
  QSqlDatabase db = connection();
  if (!db.isOpen()) {
    if (error) *error = DatabaseErrorText(path_, QStringLiteral("データベースが開かれていません。"));
    return false;
  }
  if (isReadOnly()) {
    if (error) {
      *error = readOnly_ == ReadOnly::NewerProgram
                   ? QStringLiteral("データベース「%1」は新しい版のOrvantaで作られているため、変更を保存できません。")
                         .arg(QDir::toNativeSeparators(path_))
                   : QStringLiteral("読み取り専用で起動しているため、データベース「%1」に変更を保存できません。")
                         .arg(QDir::toNativeSeparators(path_));
    }
    return false;
  }
  if (!db.transaction()) {
    if (error) *error = DatabaseErrorText(path_, db.lastError().text());
    return false;
  }
  QString reason;
  const auto alongside = std::exchange(nextChangeWork_, nullptr);
  const auto deferred = std::exchange(deferred_, {});
  for (const auto& before : deferred) {
    if (before(db, &reason)) continue;
    // Left for the next start; the change itself goes on.
    db.rollback();
    reason.clear();
    if (!db.transaction()) {
      if (error) *error = DatabaseErrorText(path_, db.lastError().text());
      return false;
    }
    break;
  }
  if (work(db, &reason) && (!alongside || alongside(db, &reason)) && db.commit()) return true;
  if (reason.isEmpty()) reason = db.lastError().text();
  db.rollback();
  if (error) *error = reason;
  return false;
}

bool Database::runDeferred(QString* error) {
  if (deferred_.empty()) return true;
  return change([](QSqlDatabase&, QString*) { return true; }, error);
}

bool Database::copyTo(const QString& target, QString* error) const {
  QSqlDatabase db = connection();
  if (!db.isOpen()) {
    if (error) *error = QStringLiteral("データベースが開かれていません。");
    return false;
  }
  return VacuumInto(db, target, error);
}

bool CopyDatabaseFile(const QString& source, const QString& target, QString* error) {
  TemporaryConnection connection(source, true);
  QSqlDatabase db = connection.db();
  if (!db.open()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  return VacuumInto(db, target, error);
}

bool CheckDatabaseFile(const QString& path, QString* error) {
  if (!QFileInfo(path).isFile()) {
    if (error) *error = QStringLiteral("ファイルがありません。");
    return false;
  }
  TemporaryConnection connection(path, true);
  QSqlDatabase db = connection.db();
  if (!db.open()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  return CheckIntegrity(db, error) == FileCheck::Sound;
}

}  // namespace orvanta
