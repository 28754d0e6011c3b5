#include "core/store/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace orvanta {

const char* const kAccessLogNoDeleteTrigger =
    "CREATE TRIGGER access_log_no_delete BEFORE DELETE ON access_log"
    " BEGIN SELECT RAISE(ABORT, 'access_log: entries cannot be deleted'); END";

namespace {

// Version 1: every table of the follow-up and of the rates, the default
// schedule and the default settings.
const char* const kVersion1[] = {
    "CREATE TABLE setting(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
    "INSERT INTO setting(key, value) VALUES ('year_kind', 'fiscal'), ('due_days_ahead', '14')",

    "CREATE TABLE followup_case("
    " report_id INTEGER PRIMARY KEY,"
    " worker_name TEXT NOT NULL DEFAULT '',"
    " department TEXT NOT NULL DEFAULT '',"
    " occupation TEXT NOT NULL DEFAULT '',"
    " incident_on TEXT NOT NULL,"
    " source_hbv TEXT NOT NULL DEFAULT '不明' CHECK (source_hbv IN ('陽性','陰性','不明','対象外')),"
    " source_hcv TEXT NOT NULL DEFAULT '不明' CHECK (source_hcv IN ('陽性','陰性','不明','対象外')),"
    " source_hiv TEXT NOT NULL DEFAULT '不明' CHECK (source_hiv IN ('陽性','陰性','不明','対象外')),"
    " hbig_given INTEGER NOT NULL DEFAULT 0 CHECK (hbig_given IN (0, 1)),"
    " hbig_at TEXT,"
    " hb_vaccine_given INTEGER NOT NULL DEFAULT 0 CHECK (hb_vaccine_given IN (0, 1)),"
    " hb_vaccine_at TEXT,"
    " arv_given INTEGER NOT NULL DEFAULT 0 CHECK (arv_given IN (0, 1)),"
    " arv_at TEXT,"
    " closed_on TEXT,"
    " closed_reason TEXT,"
    " remarks TEXT NOT NULL DEFAULT '',"
    " deleting INTEGER NOT NULL DEFAULT 0 CHECK (deleting IN (0, 1)))",

    "CREATE TABLE followup_test("
    " id INTEGER PRIMARY KEY,"
    " report_id INTEGER NOT NULL REFERENCES followup_case(report_id) ON DELETE CASCADE,"
    " pathogen TEXT NOT NULL CHECK (pathogen IN ('HBV','HCV','HIV','その他')),"
    " test TEXT NOT NULL CHECK (test <> ''),"
    " due_on TEXT NOT NULL,"
    " done_on TEXT,"
    " result TEXT,"
    " remarks TEXT NOT NULL DEFAULT '',"
    " offset_count INTEGER CHECK (offset_count IS NULL OR offset_count >= 0),"
    " offset_unit TEXT CHECK (offset_unit IS NULL OR offset_unit IN ('週','か月')))",
    "CREATE INDEX followup_test_by_report ON followup_test(report_id)",
    // The open tests by due date, with their case and what the due list
    // shows of them: the due list and the overdue count of the start read
    // this index alone.
    "CREATE INDEX followup_test_open_by_due ON followup_test(due_on, report_id, test, offset_count, offset_unit)"
    " WHERE done_on IS NULL",

    "CREATE TABLE schedule_template("
    " id INTEGER PRIMARY KEY,"
    " pathogen TEXT NOT NULL CHECK (pathogen IN ('HBV','HCV','HIV','その他')),"
    " offset_count INTEGER NOT NULL CHECK (offset_count >= 0),"
    " offset_unit TEXT NOT NULL CHECK (offset_unit IN ('週','か月')),"
    " test TEXT NOT NULL CHECK (test <> ''))",
    // The default schedule (kDefaultSchedule) follows as data of the new
    // database; the hospital's own policy replaces it in "経過観察の予定表".

    "CREATE TABLE denominator("
    " year INTEGER NOT NULL,"
    " kind TEXT NOT NULL CHECK (kind IN ('beds','patient_days','fte','devices')),"
    " code INTEGER NOT NULL,"
    " value REAL NOT NULL CHECK (value >= 0),"
    " PRIMARY KEY(year, kind, code))",

    "CREATE TABLE intervention(id INTEGER PRIMARY KEY, on_date TEXT NOT NULL, label TEXT NOT NULL)",
};

// Version 2: the access log, its entries only ever added (the triggers
// refuse every UPDATE and DELETE) and chained by their hashes; the entries
// of report changes waiting for their data file (settled at the next start).
const char* const kVersion2[] = {
    "CREATE TABLE access_log("
    " seq INTEGER PRIMARY KEY,"
    " at TEXT NOT NULL,"
    " os_user TEXT NOT NULL,"
    " host TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " report_id INTEGER,"
    " summary TEXT NOT NULL,"
    " details TEXT NOT NULL,"
    " prev_hash TEXT NOT NULL,"
    " hash TEXT NOT NULL)",
    "CREATE INDEX access_log_by_report ON access_log(report_id, seq) WHERE report_id IS NOT NULL",
    "CREATE INDEX access_log_by_kind ON access_log(kind, seq)",
    "CREATE INDEX access_log_by_user ON access_log(os_user, seq)",
    "CREATE TRIGGER access_log_no_update BEFORE UPDATE ON access_log"
    " BEGIN SELECT RAISE(ABORT, 'access_log: entries cannot be changed'); END",
    kAccessLogNoDeleteTrigger,

    "CREATE TABLE access_log_pending("
    " id INTEGER PRIMARY KEY,"
    " at TEXT NOT NULL,"
    " os_user TEXT NOT NULL,"
    " host TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " report_id INTEGER NOT NULL,"
    " summary TEXT NOT NULL,"
    " details TEXT NOT NULL,"
    " expect TEXT)",
};

bool Run(QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery query(db);
  if (query.exec(sql)) return true;
  if (error) *error = query.lastError().text();
  return false;
}

bool InsertDefaultSchedule(QSqlDatabase& db, QString* error) {
  QSqlQuery query(db);
  query.prepare(
      QStringLiteral("INSERT INTO schedule_template(pathogen, offset_count, offset_unit, test) VALUES (?, ?, ?, ?)"));
  for (const DefaultScheduleRow& row : kDefaultSchedule) {
    query.addBindValue(QString::fromUtf8(row.pathogen));
    query.addBindValue(row.offsetCount);
    query.addBindValue(QString::fromUtf8(row.offsetUnit));
    query.addBindValue(QString::fromUtf8(row.test));
    if (!query.exec()) {
      if (error) *error = query.lastError().text();
      return false;
    }
  }
  return true;
}

template <std::size_t N>
bool RunAll(QSqlDatabase& db, const char* const (&statements)[N], QString* error) {
  for (const char* statement : statements)
    if (!Run(db, QString::fromUtf8(statement), error)) return false;
  return true;
}

bool CreateVersion1(QSqlDatabase& db, QString* error) { return RunAll(db, kVersion1, error); }
bool CreateAccessLog(QSqlDatabase& db, QString* error) { return RunAll(db, kVersion2, error); }

// The network's feedback as a hospital reads it in (core/network/feedback_file.h):
// per year and year kind the network's rate and percentiles, its bed-size
// classes' figures and every member hospital's point on the funnel. A step of
// its own: it only adds tables, so it may take any number in the order.
bool CreateNetworkFeedbackTables(QSqlDatabase& db, QString* error) {
  const char* const statements[] = {
      "CREATE TABLE network_year("
      " year_kind TEXT NOT NULL CHECK (year_kind IN ('fiscal','calendar')),"
      " year INTEGER NOT NULL,"
      " hospital_count INTEGER NOT NULL, report_count INTEGER NOT NULL, bed_total REAL NOT NULL,"
      " rate REAL, rate_lower REAL, rate_upper REAL, p25 REAL, p50 REAL, p75 REAL, p90 REAL,"
      " feedback_created_at TEXT NOT NULL, loaded_at TEXT NOT NULL,"
      " PRIMARY KEY(year_kind, year))",
      "CREATE TABLE network_bed_class("
      " year_kind TEXT NOT NULL, year INTEGER NOT NULL, class INTEGER NOT NULL CHECK (class BETWEEN 0 AND 3),"
      " hospital_count INTEGER NOT NULL, report_count INTEGER NOT NULL, bed_total REAL NOT NULL, rate REAL, p50 REAL,"
      " PRIMARY KEY(year_kind, year, class),"
      " FOREIGN KEY(year_kind, year) REFERENCES network_year(year_kind, year) ON DELETE CASCADE)",
      "CREATE TABLE network_point("
      " year_kind TEXT NOT NULL, year INTEGER NOT NULL, beds REAL NOT NULL, report_count INTEGER NOT NULL,"
      " FOREIGN KEY(year_kind, year) REFERENCES network_year(year_kind, year) ON DELETE CASCADE)",
      "CREATE INDEX network_point_by_year ON network_point(year_kind, year)",
  };
  return RunAll(db, statements, error);
}

struct Migration {
  int to;
  bool (*apply)(QSqlDatabase& db, QString* error);
};

const Migration kMigrations[] = {
    {1, &CreateVersion1},
    {kAccessLogSchemaVersion, &CreateAccessLog},
    {kNetworkFeedbackSchemaVersion, &CreateNetworkFeedbackTables},
};

}  // namespace

int SchemaVersion(const QSqlDatabase& db) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) return -1;
  return query.value(0).toInt();
}

bool MigrateSchema(QSqlDatabase& db, int from, QString* error) {
  for (const Migration& step : kMigrations) {
    if (step.to <= from) continue;
    if (!db.transaction()) {
      if (error) *error = db.lastError().text();
      return false;
    }
    bool ok = step.apply(db, error);
    // A new database's schedule.
    if (ok && step.to == 1) ok = InsertDefaultSchedule(db, error);
    // The version moves with the step, inside the same transaction.
    if (ok) ok = Run(db, QStringLiteral("PRAGMA user_version = %1").arg(step.to), error);
    if (ok && !db.commit()) {
      if (error) *error = db.lastError().text();
      ok = false;
    }
    if (!ok) {
      db.rollback();
      return false;
    }
  }
  return true;
}

}  // namespace orvanta
