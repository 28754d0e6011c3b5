#pragma once
// The centre's pooled data: network.sqlite, a database of its own beside the
// hospital's orvanta.sqlite, kept under the same rules (core/store/database.h:
// a versioned schema, synchronous=FULL, one transaction per change, mode 0600,
// a damaged file kept aside, a newer one read-only, copied through SQLite by
// the backups). docs/network_database.md describes it for other tools.
//
// Version 1:
//   hospital_year(id INTEGER PRIMARY KEY, facility_code, year, year_kind,
//       period_from, period_to, report_count, beds, patient_days, fte,
//       program_version, created_at, imported_at, file_name,
//       UNIQUE(year_kind, year, facility_code))
//       one submission: a hospital's year. beds, patient_days and fte (the
//       sum over the occupations) are NULL when the submission has none.
//   report(hospital_year_id, seq, incident_year, incident_month,
//       incident_hour, the ten code items, experience_band,
//       department_experience_band, hiv, hcv, hbv, other_infection,
//       emergency, body_sites, PRIMARY KEY(hospital_year_id, seq))
//       the submission's reports as they came.
//   denominator(hospital_year_id, kind, code, value)
//   code_entry(hospital_year_id, item, code, name)
//   item_count(hospital_year_id, item 0-16, code, count)
//       the reports of the hospital's year counted by the seventeen items
//       when it is imported (code NULL: unanswered), so that the window never
//       reads the reports themselves.
// Removing a hospital_year removes everything that hangs on it.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/rates/rate_years.h"
#include "core/store/database.h"

namespace orvanta {

inline constexpr int kNetworkSchemaVersion = 1;
DatabaseSchema NetworkDatabaseSchema();

// Opens network.sqlite at path unless it is open there already (see
// Database::open for the notice and the error).
bool OpenNetworkDatabase(Database& network, const QString& path, const QDateTime& now, QString* notice, QString* error);

// A year of the network: its number and kind.
struct NetworkYear {
  int year = 0;
  YearKind kind = YearKind::Fiscal;
  friend bool operator==(const NetworkYear&, const NetworkYear&) = default;
};
// "2024年度" or "2024年".
QString NetworkYearLabel(const NetworkYear& year);

// One submission as stored.
struct HospitalYear {
  std::int64_t id = 0;
  QString facilityCode;
  NetworkYear year;
  std::int64_t reportCount = 0;
  std::optional<double> beds;
  std::optional<double> fte;
  QString importedAt;
  QString fileName;
};

// The years present, newest first.
std::vector<NetworkYear> ListNetworkYears(const Database& network);
// The hospitals' years stored, by year (newest first) and code; only those of
// one year when it is given.
std::vector<HospitalYear> ListHospitalYears(const Database& network, std::optional<NetworkYear> year = {});
std::optional<HospitalYear> FindHospitalYear(const Database& network, const QString& facilityCode,
                                             const NetworkYear& year);
// Removes a hospital's year with its reports, in one transaction.
bool RemoveHospitalYear(Database& network, std::int64_t id, QString* error);

// The counts of one item's code in one hospital's year (code empty and
// answered false: unanswered).
struct ItemCount {
  std::int64_t hospitalYearId = 0;
  int item = 0;
  QString code;
  bool answered = true;
  std::int64_t count = 0;
};
// Every item count of the year's hospitals.
std::vector<ItemCount> ReadItemCounts(const Database& network, const NetworkYear& year);

// The names of the code items' codes as the year's hospitals name them: for
// each item and code, the name most hospitals give it.
struct CodeName {
  int item = 0;
  QString code;
  QString name;
};
std::vector<CodeName> ReadCodeNames(const Database& network, const NetworkYear& year);

}  // namespace orvanta
