#pragma once
// A small hold on an SQLite file through SQLite's own interface, for the
// files that leave the machine (the network submission): one connection of
// its own, opened and closed here, never shared with the program's database
// (which goes through Qt SQL). Bulk writing and the one-pass checks of
// 100,000 rows go through prepared statements without a QVariant per value.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace orvanta {

class SqliteStatement;

class SqliteFile {
 public:
  enum class Mode { ReadOnly, Create };

  SqliteFile() = default;
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  // Opens path; Create makes the file when it is missing. False with
  // SQLite's reason in error.
  bool open(const QString& path, Mode mode, QString* error);
  void close();
  bool isOpen() const { return db_ != nullptr; }

  // Runs statements that return no rows; false with the reason.
  bool exec(const QString& sql, QString* error);
  // The first column of the first row of a query, as an integer or a text;
  // none when the query fails (error says why) or gives no row.
  std::optional<std::int64_t> integer(const QString& sql, QString* error);
  std::optional<QString> text(const QString& sql, QString* error);

  // SQLite's last error message.
  QString lastError() const;
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// One prepared statement of an SqliteFile; finalised when it goes.
class SqliteStatement {
 public:
  SqliteStatement(SqliteFile& file, const QString& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  QString error() const { return error_; }

  // Parameters are numbered from 1.
  void bindNull(int i);
  void bindInt(int i, std::int64_t value);
  void bindDouble(int i, double value);
  // UTF-8 bytes, copied by SQLite.
  void bindText(int i, const QByteArray& utf8);
  void bindText(int i, const QString& text) { bindText(i, text.toUtf8()); }

  // One step: true while a row is there; false at the end or on an error
  // (failed() tells which, error() why).
  bool step();
  bool failed() const { return failed_; }
  // Runs the statement to its end (once) and resets it for the next binding;
  // false with the reason in error().
  bool run();
  void reset();

  bool isNull(int col) const;
  std::int64_t integer(int col) const;
  double real(int col) const;
  QString text(int col) const;

 private:
  SqliteFile& file_;
  sqlite3_stmt* stmt_ = nullptr;
  QString error_;
  bool failed_ = false;
};

}  // namespace orvanta
