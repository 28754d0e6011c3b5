#pragma once
// The one SQLite database, ~/tonrix/orvanta.sqlite, that holds what the
// program keeps beyond the original files: the follow-up of exposed workers,
// the denominators and interventions of the rates, the settings of those
// windows. Its schema is described in schema.h (and docs/database.md).
//
// Opening checks it: a file that is not a database, or that fails
// `PRAGMA integrity_check`, is kept aside under its damaged name and a new
// empty database takes its place; a database written by a newer program
// (a higher `PRAGMA user_version`) is opened read-only, never written.
// Every change a user makes is one transaction, written with
// `synchronous=FULL`, so a crash leaves the old state or the new one.

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <vector>

namespace orvanta {

// What tells one database of the program from another: its schema (the
// version this program writes and the steps that bring an older file up to
// it) and what the user is told about it. orvanta.sqlite is the default;
// the centre's network.sqlite has its own (core/network/network_store.h).
struct DatabaseSchema {
  int version = 0;
  // Brings a database of version from (0 for a new, empty file) up to
  // version, each step in a transaction of its own.
  bool (*migrate)(QSqlDatabase& db, int from, QString* error) = nullptr;
  // The records the file holds, as the notices name them
  // ("経過観察と発生率の記録").
  QString records;
  // How they come back after a damaged file was put aside.
  QString recovery;
};
// orvanta.sqlite's schema (core/store/schema.h).
DatabaseSchema MainDatabaseSchema();

class Database {
 public:
  Database();
  explicit Database(DatabaseSchema schema);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens the database at path, creating it with the whole schema when it is
  // missing and bringing an older one up to date. notice receives what the
  // user should be told (a damaged file kept aside, a newer database opened
  // read-only); it stays empty otherwise. False only when no database could
  // be opened at all, with the reason in error; the rest of the program then
  // works on without it.
  bool open(const QString& path, const QDateTime& now, QString* notice, QString* error);
  // Opens the database at path only to read it, for a run that must not
  // write anything (the disk is full): nothing is created, checked aside,
  // brought up to date or changed. False (with the reason in error) when
  // the file is missing, does not read, or is of an older version than this
  // program reads without bringing it up to date.
  bool openReadOnly(const QString& path, QString* error);
  void close();

  bool isOpen() const;
  // True for a database written by a newer program, or opened with
  // openReadOnly: it is read, never written.
  bool isReadOnly() const { return readOnly_ != ReadOnly::No; }
  // Why a read-only database is not written, as the start of a sentence
  // ("データベースが新しい版のOrvantaで作られているため"); empty when it is written.
  QString readOnlyReason() const;
  QString path() const { return path_; }
  // The connection, for queries. Only valid while open.
  QSqlDatabase connection() const;

  // Runs work in one transaction: committed when work returns true, rolled
  // back when it returns false (with the reason in error). Refused on a
  // read-only or closed database.
  bool change(const std::function<bool(QSqlDatabase& db, QString* error)>& work, QString* error);

  // Work run inside the next change's transaction after its own work (the
  // access log's entry of that change: see AccessLog::forNextChange), so
  // that the change and what records it are committed together or not at
  // all. Cleared by that change, or with clearNextChangeWork.
  void setNextChangeWork(std::function<bool(QSqlDatabase& db, QString* error)> work) {
    nextChangeWork_ = std::move(work);
  }
  void clearNextChangeWork() { nextChangeWork_ = nullptr; }

  // Work that needs no sync of its own, put off to the front of the next
  // change's transaction: the access log's final entries of a saved report,
  // whose pending entries (committed before the data file was written)
  // already stand for them until then. A failure there leaves the pending
  // entries for the next start to settle, and the change goes on alone.
  void deferToNextChange(std::function<bool(QSqlDatabase& db, QString* error)> work) {
    deferred_.push_back(std::move(work));
  }
  // Runs the deferred work now, in a transaction of its own: before the log
  // is read or the database copied or closed. True when there was none.
  bool runDeferred(QString* error = nullptr);

  // Writes a consistent copy of the open database to target (which must not
  // exist), through SQLite itself, never as the bytes of an open file.
  bool copyTo(const QString& target, QString* error) const;

 private:
  DatabaseSchema schema_;
  QString connectionName_;
  QString path_;
  enum class ReadOnly { No, NewerProgram, Asked };
  ReadOnly readOnly_ = ReadOnly::No;
  std::function<bool(QSqlDatabase& db, QString* error)> nextChangeWork_;
  std::vector<std::function<bool(QSqlDatabase& db, QString* error)>> deferred_;
};

// The message for a database that could not be opened, changed or copied, and
// why; used by every caller so the user reads one wording.
QString DatabaseErrorText(const QString& path, const QString& reason);

// Copies a database file that no connection of this program holds open
// (a backup's copy, for instance) consistently to target.
bool CopyDatabaseFile(const QString& source, const QString& target, QString* error);

// Whether the database file at path opens and passes `PRAGMA integrity_check`;
// error says why not.
bool CheckDatabaseFile(const QString& path, QString* error);

}  // namespace orvanta
