#include "core/network/network_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <map>

namespace orvanta {
namespace {

bool Run(QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery query(db);
  if (query.exec(sql)) return true;
  if (error) *error = query.lastError().text();
  return false;
}

const char* const kNetworkVersion1[] = {
    "CREATE TABLE hospital_year("
    " id INTEGER PRIMARY KEY,"
    " facility_code TEXT NOT NULL,"
    " year INTEGER NOT NULL,"
    " year_kind TEXT NOT NULL CHECK (year_kind IN ('fiscal','calendar')),"
    " period_from TEXT NOT NULL, period_to TEXT NOT NULL,"
    " report_count INTEGER NOT NULL CHECK (report_count >= 0),"
    " beds REAL, patient_days REAL, fte REAL,"
    " program_version TEXT NOT NULL, created_at TEXT NOT NULL,"
    " imported_at TEXT NOT NULL, file_name TEXT NOT NULL,"
    " UNIQUE(year_kind, year, facility_code))",
    "CREATE TABLE report("
    " hospital_year_id INTEGER NOT NULL REFERENCES hospital_year(id) ON DELETE CASCADE,"
    " seq INTEGER NOT NULL,"
    " incident_year INTEGER NOT NULL, incident_month INTEGER NOT NULL, incident_hour INTEGER,"
    " occupation TEXT, place TEXT, device_purpose TEXT, circumstance TEXT, causing_device TEXT,"
    " severity TEXT, device_in_use TEXT, contamination TEXT, department TEXT, action_type TEXT,"
    " experience_band INTEGER, department_experience_band INTEGER,"
    " hiv INTEGER, hcv INTEGER, hbv INTEGER, other_infection INTEGER NOT NULL, emergency INTEGER,"
    " body_sites TEXT NOT NULL,"
    " PRIMARY KEY(hospital_year_id, seq)) WITHOUT ROWID",
    "CREATE TABLE denominator("
    " hospital_year_id INTEGER NOT NULL REFERENCES hospital_year(id) ON DELETE CASCADE,"
    " kind TEXT NOT NULL, code TEXT NOT NULL, value REAL NOT NULL,"
    " PRIMARY KEY(hospital_year_id, kind, code)) WITHOUT ROWID",
    "CREATE TABLE code_entry("
    " hospital_year_id INTEGER NOT NULL REFERENCES hospital_year(id) ON DELETE CASCADE,"
    " item TEXT NOT NULL, code TEXT NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY(hospital_year_id, item, code)) WITHOUT ROWID",
    "CREATE TABLE item_count("
    " hospital_year_id INTEGER NOT NULL REFERENCES hospital_year(id) ON DELETE CASCADE,"
    " item INTEGER NOT NULL CHECK (item BETWEEN 0 AND 16),"
    " code TEXT,"
    " count INTEGER NOT NULL)",
    "CREATE INDEX item_count_by_hospital_year ON item_count(hospital_year_id)",
};

bool MigrateNetworkSchema(QSqlDatabase& db, int from, QString* error) {
  if (from >= 1) return true;
  if (!db.transaction()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  bool ok = true;
  for (const char* statement : kNetworkVersion1) ok = ok && Run(db, QString::fromUtf8(statement), error);
  ok = ok && Run(db, QStringLiteral("PRAGMA user_version = 1"), error);
  if (ok && !db.commit()) {
    if (error) *error = db.lastError().text();
    ok = false;
  }
  if (!ok) db.rollback();
  return ok;
}

std::optional<double> OptionalNumber(const QVariant& value) {
  if (value.isNull()) return std::nullopt;
  return value.toDouble();
}

const char* const kHospitalYearColumns =
    "id, facility_code, year, year_kind, report_count, beds, fte, imported_at, file_name";

HospitalYear HospitalYearAt(const QSqlQuery& query) {
  HospitalYear h;
  h.id = query.value(0).toLongLong();
  h.facilityCode = query.value(1).toString();
  h.year.year = query.value(2).toInt();
  h.year.kind = query.value(3).toString() == QStringLiteral("calendar") ? YearKind::Calendar : YearKind::Fiscal;
  h.reportCount = query.value(4).toLongLong();
  h.beds = OptionalNumber(query.value(5));
  h.fte = OptionalNumber(query.value(6));
  h.importedAt = query.value(7).toString();
  h.fileName = query.value(8).toString();
  return h;
}

}  // namespace

DatabaseSchema NetworkDatabaseSchema() {
  return DatabaseSchema{
      kNetworkSchemaVersion, &MigrateNetworkSchema, QStringLiteral("ネットワーク集計のデータ"),
      QStringLiteral("ネットワーク集計のデータは、バックアップから復元するか、提出ファイルを取り込み直すと戻せます。")};
}

bool OpenNetworkDatabase(Database& network, const QString& path, const QDateTime& now, QString* notice,
                         QString* error) {
  if (notice) notice->clear();
  if (network.isOpen() && network.path() == path) return true;
  // The data folder, when the centre's machine has none yet.
  QDir().mkpath(QFileInfo(path).absolutePath());
  return network.open(path, now, notice, error);
}

QString NetworkYearLabel(const NetworkYear& year) { return YearLabel(year.year, year.kind); }

std::vector<NetworkYear> ListNetworkYears(const Database& network) {
  std::vector<NetworkYear> years;
  QSqlQuery query(network.connection());
  query.exec(QStringLiteral("SELECT DISTINCT year, year_kind FROM hospital_year ORDER BY year DESC, year_kind DESC"));
  while (query.next())
    years.push_back(NetworkYear{query.value(0).toInt(), query.value(1).toString() == QStringLiteral("calendar")
                                                            ? YearKind::Calendar
                                                            : YearKind::Fiscal});
  return years;
}

std::vector<HospitalYear> ListHospitalYears(const Database& network, std::optional<NetworkYear> year) {
  std::vector<HospitalYear> list;
  QSqlQuery query(network.connection());
  QString sql = QStringLiteral("SELECT %1 FROM hospital_year").arg(QLatin1String(kHospitalYearColumns));
  if (year) sql += QStringLiteral(" WHERE year = ? AND year_kind = ?");
  sql += QStringLiteral(" ORDER BY year DESC, year_kind DESC, facility_code");
  query.prepare(sql);
  if (year) {
    query.addBindValue(year->year);
    query.addBindValue(YearKindKey(year->kind));
  }
  query.exec();
  while (query.next()) list.push_back(HospitalYearAt(query));
  return list;
}

std::optional<HospitalYear> FindHospitalYear(const Database& network, const QString& facilityCode,
                                             const NetworkYear& year) {
  QSqlQuery query(network.connection());
  query.prepare(QStringLiteral("SELECT %1 FROM hospital_year WHERE facility_code = ? AND year = ? AND year_kind = ?")
                    .arg(QLatin1String(kHospitalYearColumns)));
  query.addBindValue(facilityCode);
  query.addBindValue(year.year);
  query.addBindValue(YearKindKey(year.kind));
  if (!query.exec() || !query.next()) return std::nullopt;
  return HospitalYearAt(query);
}

bool RemoveHospitalYear(Database& network, std::int64_t id, QString* error) {
  return network.change(
      [id](QSqlDatabase& db, QString* why) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM hospital_year WHERE id = ?"));
        query.addBindValue(static_cast<qlonglong>(id));
        if (!query.exec()) {
          if (why) *why = query.lastError().text();
          return false;
        }
        return true;
      },
      error);
}

std::vector<ItemCount> ReadItemCounts(const Database& network, const NetworkYear& year) {
  std::vector<ItemCount> counts;
  QSqlQuery query(network.connection());
  query.setForwardOnly(true);
  query.prepare(
      QStringLiteral("SELECT c.hospital_year_id, c.item, c.code, c.count FROM hospital_year h JOIN item_count c"
                     " ON c.hospital_year_id = h.id WHERE h.year = ? AND h.year_kind = ?"));
  query.addBindValue(year.year);
  query.addBindValue(YearKindKey(year.kind));
  query.exec();
  while (query.next()) {
    const QVariant code = query.value(2);
    counts.push_back(ItemCount{query.value(0).toLongLong(), query.value(1).toInt(), code.toString(), !code.isNull(),
                               query.value(3).toLongLong()});
  }
  return counts;
}

std::vector<CodeName> ReadCodeNames(const Database& network, const NetworkYear& year) {
  static const char* const kItems[] = {"occupation",     "place",      "device_purpose", "circumstance",
                                       "causing_device", "severity",   "device_in_use",  "contamination",
                                       "department",     "action_type"};
  std::map<QString, int> itemOf;
  for (int i = 0; i < 10; ++i) itemOf[QString::fromLatin1(kItems[i])] = i;
  std::vector<CodeName> names;
  QSqlQuery query(network.connection());
  query.setForwardOnly(true);
  // The name most hospitals give a code (the first in order among equals).
  query.prepare(QStringLiteral(
      "SELECT item, code, name, max(n) FROM (SELECT e.item, e.code, e.name, count(*) AS n FROM hospital_year h"
      " JOIN code_entry e ON e.hospital_year_id = h.id WHERE h.year = ? AND h.year_kind = ?"
      " GROUP BY e.item, e.code, e.name)"
      " GROUP BY item, code"));
  query.addBindValue(year.year);
  query.addBindValue(YearKindKey(year.kind));
  query.exec();
  while (query.next()) {
    const auto found = itemOf.find(query.value(0).toString());
    if (found == itemOf.end()) continue;
    names.push_back(CodeName{found->second, query.value(1).toString(), query.value(2).toString()});
  }
  return names;
}

}  // namespace orvanta
