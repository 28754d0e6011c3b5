#include "core/rates/denominators.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>

#include "core/store/database.h"

namespace orvanta {
namespace {

bool Fail(const QSqlQuery& query, QString* error) {
  if (error) *error = query.lastError().text();
  return false;
}

bool Write(QSqlDatabase& db, const DenominatorKey& key, std::optional<double> value, QString* error) {
  QSqlQuery query(db);
  if (value) {
    if (!IsDenominatorValue(*value)) {
      if (error) *error = QStringLiteral("分母には0以上の数値を入力してください。");
      return false;
    }
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO denominator(year, kind, code, value) VALUES (?, ?, ?, ?)"));
  } else {
    query.prepare(QStringLiteral("DELETE FROM denominator WHERE year = ? AND kind = ? AND code = ?"));
  }
  query.addBindValue(key.year);
  query.addBindValue(DenominatorKindKey(key.kind));
  query.addBindValue(key.code);
  if (value) query.addBindValue(*value);
  return query.exec() || Fail(query, error);
}

}  // namespace

QString DenominatorKindKey(DenominatorKind kind) {
  switch (kind) {
    case DenominatorKind::Beds: return QStringLiteral("beds");
    case DenominatorKind::PatientDays: return QStringLiteral("patient_days");
    case DenominatorKind::Fte: return QStringLiteral("fte");
    case DenominatorKind::Devices: return QStringLiteral("devices");
  }
  return {};
}

std::optional<DenominatorKind> DenominatorKindOfKey(const QString& key) {
  for (const DenominatorKind kind :
       {DenominatorKind::Beds, DenominatorKind::PatientDays, DenominatorKind::Fte, DenominatorKind::Devices}) {
    if (DenominatorKindKey(kind) == key) return kind;
  }
  return std::nullopt;
}

std::optional<double> Denominators::value(const DenominatorKey& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<double> Denominators::sum(int year, DenominatorKind kind, const std::vector<std::int32_t>& codes) const {
  std::optional<double> total;
  for (const std::int32_t code : codes) {
    if (const std::optional<double> v = value(year, kind, code)) total = total.value_or(0) + *v;
  }
  return total;
}

std::vector<int> Denominators::years() const {
  std::set<int> years;
  for (const auto& [key, v] : values_) years.insert(key.year);
  return {years.begin(), years.end()};
}

void Denominators::set(const DenominatorKey& key, std::optional<double> value) {
  if (value) {
    values_[key] = *value;
  } else {
    values_.erase(key);
  }
}

bool IsDenominatorValue(double value) { return std::isfinite(value) && value >= 0; }

bool LoadDenominators(const Database& database, Denominators* out, QString* error) {
  *out = Denominators();
  if (!database.isOpen()) return true;
  QSqlQuery query(database.connection());
  if (!query.exec(QStringLiteral("SELECT year, kind, code, value FROM denominator"))) return Fail(query, error);
  while (query.next()) {
    const std::optional<DenominatorKind> kind = DenominatorKindOfKey(query.value(1).toString());
    if (!kind) continue;
    out->set(DenominatorKey{query.value(0).toInt(), *kind, query.value(2).toInt()}, query.value(3).toDouble());
  }
  return true;
}

bool StoreDenominator(Database& database, const DenominatorKey& key, std::optional<double> value, QString* error) {
  return StoreDenominators(database, {{key, value}}, error);
}

bool StoreDenominators(Database& database, const std::vector<std::pair<DenominatorKey, std::optional<double>>>& values,
                       QString* error) {
  return database.change(
      [&values](QSqlDatabase& db, QString* reason) {
        for (const auto& [key, value] : values) {
          if (!Write(db, key, value, reason)) return false;
        }
        return true;
      },
      error);
}

bool RemoveDenominatorYear(Database& database, int year, QString* error) {
  return database.change(
      [year](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM denominator WHERE year = ?"));
        query.addBindValue(year);
        return query.exec() || Fail(query, reason);
      },
      error);
}

}  // namespace orvanta
