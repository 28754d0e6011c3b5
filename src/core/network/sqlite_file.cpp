#include "core/network/sqlite_file.h"

#include <sqlite3.h>
#include <utility>

namespace orvanta {

SqliteFile::~SqliteFile() { close(); }

bool SqliteFile::open(const QString& path, Mode mode, QString* error) {
  close();
  const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const QByteArray name = path.toUtf8();
  const int rc = sqlite3_open_v2(name.constData(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    if (error) *error = db_ ? lastError() : QString::fromUtf8(sqlite3_errstr(rc));
    close();
    return false;
  }
  // A file of another program may be busy for a moment; never wait long.
  sqlite3_busy_timeout(db_, 2000);
  return true;
}

void SqliteFile::close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

QString SqliteFile::lastError() const {
  return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("not open");
}

bool SqliteFile::exec(const QString& sql, QString* error) {
  char* message = nullptr;
  const QByteArray text = sql.toUtf8();
  if (sqlite3_exec(db_, text.constData(), nullptr, nullptr, &message) == SQLITE_OK) return true;
  if (error) *error = message ? QString::fromUtf8(message) : lastError();
  sqlite3_free(message);
  return false;
}

namespace {

// The first column of the first row of a query, read by value; none when
// the query fails (error says why) or gives no row.
template <typename Read>
auto FirstValue(SqliteFile& file, const QString& sql, QString* error, Read value)
    -> std::optional<decltype(value(std::declval<SqliteStatement&>()))> {
  SqliteStatement query(file, sql);
  if (!query.ok()) {
    if (error) *error = query.error();
    return std::nullopt;
  }
  if (!query.step()) {
    if (error && query.failed()) *error = query.error();
    return std::nullopt;
  }
  return value(query);
}

}  // namespace

std::optional<std::int64_t> SqliteFile::integer(const QString& sql, QString* error) {
  return FirstValue(*this, sql, error, [](SqliteStatement& q) { return q.integer(0); });
}

std::optional<QString> SqliteFile::text(const QString& sql, QString* error) {
  return FirstValue(*this, sql, error, [](SqliteStatement& q) { return q.text(0); });
}

SqliteStatement::SqliteStatement(SqliteFile& file, const QString& sql) : file_(file) {
  const QByteArray text = sql.toUtf8();
  if (!file.handle()) {
    error_ = QStringLiteral("not open");
    return;
  }
  if (sqlite3_prepare_v2(file.handle(), text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) !=
      SQLITE_OK) {
    error_ = file.lastError();
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

void SqliteStatement::bindNull(int i) { sqlite3_bind_null(stmt_, i); }
void SqliteStatement::bindInt(int i, std::int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
void SqliteStatement::bindDouble(int i, double value) { sqlite3_bind_double(stmt_, i, value); }
void SqliteStatement::bindText(int i, const QByteArray& utf8) {
  sqlite3_bind_text(stmt_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

bool SqliteStatement::step() {
  if (!stmt_) {
    failed_ = true;
    return false;
  }
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    failed_ = true;
    error_ = file_.lastError();
  }
  return false;
}

bool SqliteStatement::run() {
  while (step()) {}
  const bool ok = !failed_;
  reset();
  return ok;
}

void SqliteStatement::reset() {
  if (stmt_) sqlite3_reset(stmt_);
  failed_ = false;
}

SqliteStatement::Type SqliteStatement::type(int col) const {
  switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_INTEGER: return Type::Integer;
    case SQLITE_FLOAT: return Type::Real;
    case SQLITE_TEXT: return Type::Text;
    case SQLITE_BLOB: return Type::Blob;
    default: return Type::Null;
  }
}

QByteArrayView SqliteStatement::bytes(int col) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return data ? QByteArrayView(data, sqlite3_column_bytes(stmt_, col)) : QByteArrayView();
}

bool SqliteStatement::isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
std::int64_t SqliteStatement::integer(int col) const { return sqlite3_column_int64(stmt_, col); }
double SqliteStatement::real(int col) const { return sqlite3_column_double(stmt_, col); }
QString SqliteStatement::text(int col) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, col)) : QString();
}

}  // namespace orvanta
