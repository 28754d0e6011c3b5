#include "core/rates/interventions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "core/rates/denominators.h"
#include "core/store/database.h"

namespace orvanta {
namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

bool Fail(const QSqlQuery& query, QString* error) {
  if (error) *error = query.lastError().text();
  return false;
}

bool Refuse(const QDate& date, const QString& label, QString* error) {
  const QString problem = InterventionProblem(date, label);
  if (problem.isEmpty()) return false;
  if (error) *error = problem;
  return true;
}

}  // namespace

QString InterventionText(const Intervention& intervention) {
  return intervention.date.toString(kDateFormat) + QStringLiteral("  ") + intervention.label;
}

QString InterventionProblem(const QDate& date, const QString& label) {
  if (label.trimmed().isEmpty()) return QStringLiteral("介入の内容を入力してください。");
  if (!date.isValid() || date.year() < kFirstDenominatorYear || date.year() > kLastDenominatorYear)
    return QStringLiteral("介入の日付は1900年から2200年の間で入力してください。");
  return {};
}

bool LoadInterventions(const Database& database, std::vector<Intervention>* out, QString* error) {
  out->clear();
  if (!database.isOpen()) return true;
  QSqlQuery query(database.connection());
  if (!query.exec(QStringLiteral("SELECT id, on_date, label FROM intervention ORDER BY on_date, id")))
    return Fail(query, error);
  while (query.next()) {
    Intervention i{query.value(0).toLongLong(), QDate::fromString(query.value(1).toString(), kDateFormat),
                   query.value(2).toString()};
    if (i.date.isValid()) out->push_back(i);
  }
  // Dates stored in another form sort by the date, not by the text.
  std::stable_sort(out->begin(), out->end(),
                   [](const Intervention& a, const Intervention& b) { return a.date < b.date; });
  return true;
}

bool AddIntervention(Database& database, const QDate& date, const QString& label, std::int64_t* id, QString* error) {
  if (Refuse(date, label, error)) return false;
  return database.change(
      [&](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES (?, ?)"));
        query.addBindValue(date.toString(kDateFormat));
        query.addBindValue(label.trimmed());
        if (!query.exec()) return Fail(query, reason);
        if (id) *id = query.lastInsertId().toLongLong();
        return true;
      },
      error);
}

bool ChangeIntervention(Database& database, std::int64_t id, const QDate& date, const QString& label, QString* error) {
  if (Refuse(date, label, error)) return false;
  return database.change(
      [&](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE intervention SET on_date = ?, label = ? WHERE id = ?"));
        query.addBindValue(date.toString(kDateFormat));
        query.addBindValue(label.trimmed());
        query.addBindValue(static_cast<qlonglong>(id));
        return query.exec() || Fail(query, reason);
      },
      error);
}

bool RemoveIntervention(Database& database, std::int64_t id, QString* error) {
  return database.change(
      [id](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM intervention WHERE id = ?"));
        query.addBindValue(static_cast<qlonglong>(id));
        return query.exec() || Fail(query, reason);
      },
      error);
}

}  // namespace orvanta
