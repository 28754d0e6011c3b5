#pragma once
// The database's schema, in one place. docs/database.md describes the same
// tables for whoever reads the file with other tools; keep both true.
//
// Version 1:
//   setting(key TEXT PRIMARY KEY, value TEXT NOT NULL)
//       year_kind: "fiscal" (April to March, named by the year it starts in,
//       the default) or "calendar"; due_days_ahead: how many days ahead the
//       due list looks (default 14).
//   followup_case(report_id INTEGER PRIMARY KEY, ...)
//       one exposed worker's follow-up, tied to the report's record number:
//       the worker as the report names them (kept here so the due list needs
//       no data file), the incident date, the source patient's status per
//       pathogen (陽性, 陰性, 不明, 対象外), prophylaxis given and when
//       ("YYYY-MM-DD HH:MM"), the closing date and reason, remarks, and
//       deleting: 1 while the report's deletion is under way (see
//       core/followup/followup_store.h).
//   followup_test(id INTEGER PRIMARY KEY, report_id INTEGER NOT NULL,
//       pathogen TEXT NOT NULL, test TEXT NOT NULL, due_on TEXT NOT NULL,
//       done_on TEXT, result TEXT, remarks TEXT NOT NULL DEFAULT '',
//       offset_count INTEGER, offset_unit TEXT)
//       the worker's tests; pathogen is HBV, HCV, HIV or その他; dates
//       "YYYY-MM-DD"; done_on NULL until the test is done; the offset is the
//       point of the schedule the test was planned for (NULL for a test added
//       by hand). Deleting the case deletes its tests.
//   schedule_template(id INTEGER PRIMARY KEY, pathogen TEXT NOT NULL,
//       offset_count INTEGER NOT NULL, offset_unit TEXT NOT NULL, test TEXT NOT NULL)
//       the hospital's follow-up schedule: offset_unit 週 (N × 7 days after
//       the incident) or か月 (the same day N calendar months later); 0 週 is
//       受傷時.
//   denominator(year INTEGER NOT NULL, kind TEXT NOT NULL, code INTEGER NOT NULL,
//       value REAL NOT NULL, PRIMARY KEY(year, kind, code))
//       kind beds and patient_days (code 0), fte (code: a 職種 id), devices
//       (code: a 原因器材 id).
//   intervention(id INTEGER PRIMARY KEY, on_date TEXT NOT NULL, label TEXT NOT NULL)
//
// Version 2 (core/store/access_log.h):
//   access_log(seq INTEGER PRIMARY KEY, at TEXT NOT NULL, os_user TEXT NOT NULL,
//       host TEXT NOT NULL, kind TEXT NOT NULL, report_id INTEGER,
//       summary TEXT NOT NULL, details TEXT NOT NULL, prev_hash TEXT NOT NULL,
//       hash TEXT NOT NULL)
//       one entry per event, numbered 1, 2, ... without gaps; at is the local
//       time with its UTC offset ("2026-12-09T09:00:00+09:00"); details is a
//       JSON object; hash is the SHA-256 (hex) over the entry's content and
//       prev_hash, the hash of the entry before (64 zeros for the first).
//       Triggers refuse every UPDATE and DELETE.
//   access_log_pending(id INTEGER PRIMARY KEY, at, os_user, host, kind,
//       report_id INTEGER NOT NULL, summary, details, expect TEXT)
//       the entry of a report change whose data file is being written;
//       expect is the report as the data file will hold it (JSON), NULL when
//       the report leaves the data files. The next start settles what a stop
//       left here.
// Version 3 (kNetworkFeedbackSchemaVersion): the network's feedback file as
// read in (core/network/feedback_file.h):
//   network_year(year_kind, year, hospital_count, report_count, bed_total,
//       rate, rate_lower, rate_upper, p25, p50, p75, p90,
//       feedback_created_at, loaded_at, PRIMARY KEY(year_kind, year))
//   network_bed_class(year_kind, year, class 0-3, hospital_count,
//       report_count, bed_total, rate, p50)
//   network_point(year_kind, year, beds, report_count): one per member
//       hospital, without its code.

#include <QSqlDatabase>
#include <QString>

namespace orvanta {

// The version this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 3;
// The step that adds the access log (access_log, access_log_pending).
inline constexpr int kAccessLogSchemaVersion = 2;
// The step that adds the network's feedback tables (network_year,
// network_bed_class, network_point).
inline constexpr int kNetworkFeedbackSchemaVersion = 3;

// Text values the schema allows.
inline const QString kSettingYearKind = QStringLiteral("year_kind");
inline const QString kSettingDueDaysAhead = QStringLiteral("due_days_ahead");

// The trigger that refuses every DELETE on the access log (version 2).
extern const char* const kAccessLogNoDeleteTrigger;

// Brings a database of version from (0 for a new, empty file) up to
// kSchemaVersion, each step in a transaction of its own. False with the
// reason when a step fails (that step then leaves nothing behind).
bool MigrateSchema(QSqlDatabase& db, int from, QString* error);

// The follow-up schedule a new database starts with (and "既定に戻す" in
// 経過観察の予定表 offers), as schedule_template stores it, from public
// guidance for occupational exposures (kDefaultScheduleSource). A database
// that exists keeps the schedule it has.
struct DefaultScheduleRow {
  const char* pathogen;  // "HIV", "HCV", "HBV"
  int offsetCount;
  const char* offsetUnit;  // "週", "か月"
  const char* test;
};
inline constexpr DefaultScheduleRow kDefaultSchedule[] = {
    {"HIV", 0, "週", "HIV抗原・抗体(第4世代)"},
    {"HIV", 6, "週", "HIV抗原・抗体(第4世代)"},
    {"HIV", 4, "か月", "HIV抗原・抗体(第4世代)"},
    {"HCV", 0, "週", "HCV抗体(陽性ならHCV-RNA)"},
    {"HCV", 6, "週", "HCV-RNA"},
    {"HCV", 6, "か月", "HCV抗体"},
    {"HBV", 0, "週", "HBs抗原・HBs抗体・HBc抗体"},
    {"HBV", 6, "か月", "HBs抗原・HBc抗体"},
};
// Where the defaults come from, as the schedule window and the guide name it.
inline const QString kDefaultScheduleSource = QStringLiteral(
    "既定の予定は、HIVは米国公衆衛生局の指針（2013年）、HCVはCDCの指針（2020年）、HBVはCDCの指針（2013年）"
    "によります。HBVの検査は、受傷者がHBs抗体陽性（設問14）のときは予定しません。");

// The database's version, -1 when it cannot be read.
int SchemaVersion(const QSqlDatabase& db);

}  // namespace orvanta
