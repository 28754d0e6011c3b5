#include "core/followup/followup_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <map>

#include "core/store/database.h"
#include "core/store/schema.h"

namespace orvanta {

namespace {

const QString kMomentFormat = QStringLiteral("yyyy-MM-dd HH:mm");

QVariant DateValue(const QDate& date) {
  return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant(QMetaType(QMetaType::QString));
}
QDate DateFrom(const QVariant& value) {
  return value.isNull() ? QDate() : QDate::fromString(value.toString(), Qt::ISODate);
}
QVariant MomentValue(const QDateTime& moment) {
  return moment.isValid() ? QVariant(moment.toString(kMomentFormat)) : QVariant(QMetaType(QMetaType::QString));
}
QDateTime MomentFrom(const QVariant& value) {
  return value.isNull() ? QDateTime() : QDateTime::fromString(value.toString(), kMomentFormat);
}
// A text for a NOT NULL column: Qt binds a null QString as NULL.
QString Text(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }
QVariant TextOrNull(const QString& text) {
  return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

bool Fail(const QSqlQuery& query, QString* error) {
  if (error) *error = query.lastError().text();
  return false;
}

bool Exec(QSqlQuery& query, QString* error) { return query.exec() || Fail(query, error); }

// A query over a connection the caller only reads.
QSqlQuery Query(const QSqlDatabase& db) { return QSqlQuery(db); }

QString JoinedIds(const std::vector<std::int32_t>& ids) {
  QStringList parts;
  for (std::int32_t id : ids) parts << QString::number(id);
  return parts.join(QLatin1Char(','));
}

const char* const kCaseColumns =
    "report_id, worker_name, department, occupation, incident_on, source_hbv, source_hcv, source_hiv,"
    " hbig_given, hbig_at, hb_vaccine_given, hb_vaccine_at, arv_given, arv_at, closed_on, closed_reason, remarks";

const char* const kTestColumns =
    "id, report_id, pathogen, test, due_on, done_on, result, remarks, offset_count, offset_unit";

FollowupTest TestFrom(const QSqlQuery& q) {
  FollowupTest t;
  t.id = q.value(0).toLongLong();
  t.reportId = q.value(1).toInt();
  t.pathogen = PathogenFromText(q.value(2).toString()).value_or(Pathogen::Other);
  t.test = q.value(3).toString();
  t.due = DateFrom(q.value(4));
  t.done = DateFrom(q.value(5));
  t.result = q.value(6).toString();
  t.remarks = q.value(7).toString();
  const std::optional<OffsetUnit> unit = OffsetUnitFromText(q.value(9).toString());
  if (!q.value(8).isNull() && unit) t.planned = ScheduleOffset{q.value(8).toInt(), *unit};
  return t;
}

void BindTest(QSqlQuery& q, const FollowupTest& t) {
  q.bindValue(QStringLiteral(":report"), t.reportId);
  q.bindValue(QStringLiteral(":pathogen"), PathogenText(t.pathogen));
  q.bindValue(QStringLiteral(":test"), Text(t.test));
  q.bindValue(QStringLiteral(":due"), DateValue(t.due));
  q.bindValue(QStringLiteral(":done"), DateValue(t.done));
  q.bindValue(QStringLiteral(":result"), TextOrNull(t.result));
  q.bindValue(QStringLiteral(":remarks"), Text(t.remarks));
  q.bindValue(QStringLiteral(":count"), t.planned ? QVariant(t.planned->count) : QVariant(QMetaType(QMetaType::Int)));
  q.bindValue(QStringLiteral(":unit"),
              t.planned ? QVariant(OffsetUnitText(t.planned->unit)) : QVariant(QMetaType(QMetaType::QString)));
}

bool InsertTestIn(QSqlDatabase& db, FollowupTest* test, QString* error) {
  QSqlQuery q(db);
  q.prepare(QStringLiteral(
      "INSERT INTO followup_test(report_id, pathogen, test, due_on, done_on, result, remarks, offset_count,"
      " offset_unit) VALUES (:report, :pathogen, :test, :due, :done, :result, :remarks, :count, :unit)"));
  BindTest(q, *test);
  if (!Exec(q, error)) return false;
  test->id = q.lastInsertId().toLongLong();
  return true;
}

// Runs one statement with bound values as a change of its own.
bool ChangeWith(Database& database, const QString& sql, const std::vector<std::pair<QString, QVariant>>& values,
                QString* error, int* rowsAffected = nullptr) {
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        q.prepare(sql);
        for (const auto& [name, value] : values) q.bindValue(name, value);
        if (!Exec(q, why)) return false;
        if (rowsAffected) *rowsAffected = q.numRowsAffected();
        return true;
      },
      error);
}

bool ScheduleEntryFits(const ScheduleEntry& entry, QString* error) {
  const QString problem = ScheduleEntryProblem(entry);
  if (problem.isEmpty()) return true;
  if (error) *error = problem;
  return false;
}

}  // namespace

// ---- Reading --------------------------------------------------------------------

bool ReadCase(const QSqlDatabase& db, std::int32_t reportId, FollowupCase* followup, bool* found, QString* error) {
  *found = false;
  QSqlQuery q = Query(db);
  q.prepare(QStringLiteral("SELECT %1 FROM followup_case WHERE report_id = ?").arg(QLatin1String(kCaseColumns)));
  q.addBindValue(reportId);
  if (!Exec(q, error)) return false;
  if (!q.next()) return true;
  FollowupCase c;
  c.reportId = q.value(0).toInt();
  c.worker.name = q.value(1).toString();
  c.worker.department = q.value(2).toString();
  c.worker.occupation = q.value(3).toString();
  c.worker.incident = DateFrom(q.value(4));
  c.sources.hbv = SourceStatusFromText(q.value(5).toString()).value_or(SourceStatus::Unknown);
  c.sources.hcv = SourceStatusFromText(q.value(6).toString()).value_or(SourceStatus::Unknown);
  c.sources.hiv = SourceStatusFromText(q.value(7).toString()).value_or(SourceStatus::Unknown);
  for (int i = 0; i < 3; ++i) {
    Prophylaxis& p = c.prophylaxis[static_cast<std::size_t>(i)];
    p.given = q.value(8 + 2 * i).toInt() != 0;
    p.at = p.given ? MomentFrom(q.value(9 + 2 * i)) : QDateTime();
  }
  c.closedOn = DateFrom(q.value(14));
  c.closedReason = c.closedOn.isValid() ? q.value(15).toString() : QString();
  c.remarks = q.value(16).toString();
  *followup = c;
  *found = true;
  return true;
}

bool ReadTests(const QSqlDatabase& db, std::int32_t reportId, std::vector<FollowupTest>* tests, QString* error) {
  tests->clear();
  QSqlQuery q = Query(db);
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM followup_test WHERE report_id = ?").arg(QLatin1String(kTestColumns)));
  q.addBindValue(reportId);
  if (!Exec(q, error)) return false;
  while (q.next()) tests->push_back(TestFrom(q));
  SortTests(*tests);
  return true;
}

bool ReadSchedule(const QSqlDatabase& db, std::vector<ScheduleEntry>* entries, QString* error) {
  entries->clear();
  QSqlQuery q = Query(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT id, pathogen, offset_count, offset_unit, test FROM schedule_template")))
    return Fail(q, error);
  while (q.next()) {
    ScheduleEntry e;
    e.id = q.value(0).toLongLong();
    e.pathogen = PathogenFromText(q.value(1).toString()).value_or(Pathogen::Other);
    e.offset =
        ScheduleOffset{q.value(2).toInt(), OffsetUnitFromText(q.value(3).toString()).value_or(OffsetUnit::Weeks)};
    e.test = q.value(4).toString();
    entries->push_back(e);
  }
  SortSchedule(*entries);
  return true;
}

int ReadDueDaysAhead(const QSqlDatabase& db) {
  QSqlQuery q = Query(db);
  q.prepare(QStringLiteral("SELECT value FROM setting WHERE key = ?"));
  q.addBindValue(kSettingDueDaysAhead);
  if (!q.exec() || !q.next()) return kDefaultDueDaysAhead;
  bool ok = false;
  const int days = q.value(0).toString().trimmed().toInt(&ok);
  return ok && days >= 0 && days <= kMaxDueDaysAhead ? days : kDefaultDueDaysAhead;
}

// ---- Changes --------------------------------------------------------------------

bool SaveCaseIn(QSqlDatabase& db, const FollowupCase& c, QString* error) {
  if (!c.worker.incident.isValid()) {
    if (error) *error = QStringLiteral("受傷日が正しくない報告書のため、経過観察を記録できません。");
    return false;
  }
  QSqlQuery q(db);
  q.prepare(
      QStringLiteral(
          "INSERT INTO followup_case(%1) VALUES (:report, :name, :department, :occupation, :incident, :hbv, :hcv, :hiv,"
          " :hbig, :hbigAt, :vaccine, :vaccineAt, :arv, :arvAt, :closedOn, :closedReason, :remarks)"
          " ON CONFLICT(report_id) DO UPDATE SET worker_name = excluded.worker_name, department = excluded.department,"
          " occupation = excluded.occupation, incident_on = excluded.incident_on, source_hbv = excluded.source_hbv,"
          " source_hcv = excluded.source_hcv, source_hiv = excluded.source_hiv, hbig_given = excluded.hbig_given,"
          " hbig_at = excluded.hbig_at, hb_vaccine_given = excluded.hb_vaccine_given,"
          " hb_vaccine_at = excluded.hb_vaccine_at, arv_given = excluded.arv_given, arv_at = excluded.arv_at,"
          " closed_on = excluded.closed_on, closed_reason = excluded.closed_reason, remarks = excluded.remarks")
          .arg(QLatin1String(kCaseColumns)));
  q.bindValue(QStringLiteral(":report"), c.reportId);
  q.bindValue(QStringLiteral(":name"), Text(c.worker.name));
  q.bindValue(QStringLiteral(":department"), Text(c.worker.department));
  q.bindValue(QStringLiteral(":occupation"), Text(c.worker.occupation));
  q.bindValue(QStringLiteral(":incident"), DateValue(c.worker.incident));
  q.bindValue(QStringLiteral(":hbv"), SourceStatusText(c.sources.hbv));
  q.bindValue(QStringLiteral(":hcv"), SourceStatusText(c.sources.hcv));
  q.bindValue(QStringLiteral(":hiv"), SourceStatusText(c.sources.hiv));
  const char* given[3] = {":hbig", ":vaccine", ":arv"};
  const char* at[3] = {":hbigAt", ":vaccineAt", ":arvAt"};
  for (int i = 0; i < 3; ++i) {
    const Prophylaxis& p = c.prophylaxis[static_cast<std::size_t>(i)];
    q.bindValue(QString::fromLatin1(given[i]), p.given ? 1 : 0);
    q.bindValue(QString::fromLatin1(at[i]), MomentValue(p.given ? p.at : QDateTime()));
  }
  q.bindValue(QStringLiteral(":closedOn"), DateValue(c.closedOn));
  q.bindValue(QStringLiteral(":closedReason"), c.closedOn.isValid() ? TextOrNull(c.closedReason) : TextOrNull({}));
  q.bindValue(QStringLiteral(":remarks"), Text(c.remarks));
  return Exec(q, error);
}

bool SaveCase(Database& database, const FollowupCase& followup, QString* error) {
  return database.change([&](QSqlDatabase& db, QString* why) { return SaveCaseIn(db, followup, why); }, error);
}

bool AddTest(Database& database, const FollowupCase& followup, FollowupTest* test, QString* error) {
  FollowupTest stored = *test;
  stored.reportId = followup.reportId;
  const bool ok = database.change(
      [&](QSqlDatabase& db, QString* why) { return SaveCaseIn(db, followup, why) && InsertTestIn(db, &stored, why); },
      error);
  if (ok) *test = stored;
  return ok;
}

bool UpdateTest(Database& database, const FollowupTest& test, QString* error) {
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "UPDATE followup_test SET report_id = :report, pathogen = :pathogen, test = :test, due_on = :due,"
            " done_on = :done, result = :result, remarks = :remarks, offset_count = :count, offset_unit = :unit"
            " WHERE id = :id"));
        BindTest(q, test);
        q.bindValue(QStringLiteral(":id"), static_cast<qlonglong>(test.id));
        if (!Exec(q, why)) return false;
        if (q.numRowsAffected() == 1) return true;
        *why = QStringLiteral("変更する検査が見つかりません。");
        return false;
      },
      error);
}

bool RemoveTest(Database& database, std::int64_t testId, QString* error) {
  return ChangeWith(database, QStringLiteral("DELETE FROM followup_test WHERE id = :id"),
                    {{QStringLiteral(":id"), static_cast<qlonglong>(testId)}}, error);
}

bool AddPlannedTestsIn(QSqlDatabase& db, const FollowupCase& followup, std::vector<FollowupTest>* tests,
                       QString* error) {
  if (!SaveCaseIn(db, followup, error)) return false;
  for (FollowupTest& test : *tests) {
    test.reportId = followup.reportId;
    if (!InsertTestIn(db, &test, error)) return false;
  }
  return true;
}

bool AddPlannedTests(Database& database, const FollowupCase& followup, std::vector<FollowupTest>* tests,
                     QString* error) {
  std::vector<FollowupTest> stored = *tests;
  const bool ok = database.change(
      [&](QSqlDatabase& db, QString* why) { return AddPlannedTestsIn(db, followup, &stored, why); }, error);
  if (ok) *tests = stored;
  return ok;
}

bool SaveDueDaysAhead(Database& database, int days, QString* error) {
  return ChangeWith(database,
                    QStringLiteral("INSERT INTO setting(key, value) VALUES (:key, :value)"
                                   " ON CONFLICT(key) DO UPDATE SET value = excluded.value"),
                    {{QStringLiteral(":key"), kSettingDueDaysAhead},
                     {QStringLiteral(":value"), QString::number(std::clamp(days, 0, kMaxDueDaysAhead))}},
                    error);
}

bool AddScheduleEntry(Database& database, ScheduleEntry* entry, QString* error) {
  if (!ScheduleEntryFits(*entry, error)) return false;
  std::int64_t id = 0;
  const bool ok = database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO schedule_template(pathogen, offset_count, offset_unit, test) VALUES (?, ?, ?, ?)"));
        q.addBindValue(PathogenText(entry->pathogen));
        q.addBindValue(entry->offset.count);
        q.addBindValue(OffsetUnitText(entry->offset.unit));
        q.addBindValue(Text(entry->test));
        if (!Exec(q, why)) return false;
        id = q.lastInsertId().toLongLong();
        return true;
      },
      error);
  if (ok) entry->id = id;
  return ok;
}

bool ReplaceSchedule(Database& database, const std::vector<ScheduleEntry>& entries, QString* error) {
  for (const ScheduleEntry& e : entries) {
    if (!ScheduleEntryFits(e, error)) return false;
  }
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("DELETE FROM schedule_template"))) return Fail(q, why);
        q.prepare(QStringLiteral(
            "INSERT INTO schedule_template(pathogen, offset_count, offset_unit, test) VALUES (?, ?, ?, ?)"));
        for (const ScheduleEntry& e : entries) {
          q.addBindValue(PathogenText(e.pathogen));
          q.addBindValue(e.offset.count);
          q.addBindValue(OffsetUnitText(e.offset.unit));
          q.addBindValue(Text(e.test));
          if (!Exec(q, why)) return false;
        }
        return true;
      },
      error);
}

bool UpdateScheduleEntry(Database& database, const ScheduleEntry& entry, QString* error) {
  if (!ScheduleEntryFits(entry, error)) return false;
  int rows = 0;
  const bool ok = ChangeWith(database,
                             QStringLiteral("UPDATE schedule_template SET pathogen = :pathogen, offset_count = :count,"
                                            " offset_unit = :unit, test = :test WHERE id = :id"),
                             {{QStringLiteral(":pathogen"), PathogenText(entry.pathogen)},
                              {QStringLiteral(":count"), entry.offset.count},
                              {QStringLiteral(":unit"), OffsetUnitText(entry.offset.unit)},
                              {QStringLiteral(":test"), Text(entry.test)},
                              {QStringLiteral(":id"), static_cast<qlonglong>(entry.id)}},
                             error, &rows);
  if (ok && rows != 1) {
    if (error) *error = QStringLiteral("変更する予定が見つかりません。");
    return false;
  }
  return ok;
}

bool RemoveScheduleEntry(Database& database, std::int64_t entryId, QString* error) {
  return ChangeWith(database, QStringLiteral("DELETE FROM schedule_template WHERE id = :id"),
                    {{QStringLiteral(":id"), static_cast<qlonglong>(entryId)}}, error);
}

// ---- Keeping the cases in step ------------------------------------------------

bool KeepCasesInStep(Database& database, const std::vector<ReportRecord>& reports, const CodeLists& lists,
                     QString* error) {
  if (reports.empty() || !database.isOpen() || database.isReadOnly()) return true;
  std::int32_t low = 0, high = 0;
  std::map<std::int32_t, const ReportRecord*> byId;
  for (const ReportRecord& r : reports) {
    if (r.ReportId == 0) continue;
    if (byId.empty() || r.ReportId < low) low = r.ReportId;
    if (byId.empty() || r.ReportId > high) high = r.ReportId;
    byId[r.ReportId] = &r;
  }
  if (byId.empty()) return true;

  // The cases of these reports whose worker or incident date differ.
  struct Moved {
    std::int32_t reportId;
    WorkerFields now;
    QDate oldIncident;
  };
  std::vector<Moved> changed;
  {
    QSqlQuery q(database.connection());
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT report_id, worker_name, department, occupation, incident_on FROM followup_case"
                       " WHERE report_id BETWEEN ? AND ?"));
    q.addBindValue(low);
    q.addBindValue(high);
    if (!Exec(q, error)) return false;
    while (q.next()) {
      const auto found = byId.find(q.value(0).toInt());
      if (found == byId.end()) continue;
      const WorkerFields stored{q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                                DateFrom(q.value(4))};
      WorkerFields now = WorkerFieldsFromReport(*found->second, lists);
      if (!now.incident.isValid()) now.incident = stored.incident;  // a date the report cannot give stays
      if (now != stored) changed.push_back({found->first, now, stored.incident});
    }
  }
  if (changed.empty()) return true;

  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        for (const Moved& m : changed) {
          QSqlQuery update(db);
          update.prepare(
              QStringLiteral("UPDATE followup_case SET worker_name = ?, department = ?, occupation = ?, incident_on = ?"
                             " WHERE report_id = ?"));
          update.addBindValue(Text(m.now.name));
          update.addBindValue(Text(m.now.department));
          update.addBindValue(Text(m.now.occupation));
          update.addBindValue(DateValue(m.now.incident));
          update.addBindValue(m.reportId);
          if (!Exec(update, why)) return false;
          if (m.now.incident == m.oldIncident || !m.oldIncident.isValid()) continue;

          // Planned tests not done that still stand where the old date put
          // them move with the incident; a date the user set stays.
          std::vector<FollowupTest> tests;
          if (!ReadTests(db, m.reportId, &tests, why)) return false;
          for (const FollowupTest& t : tests) {
            if (t.isDone() || !t.planned || t.due != DueDateAfter(m.oldIncident, *t.planned)) continue;
            QSqlQuery move(db);
            move.prepare(QStringLiteral("UPDATE followup_test SET due_on = ? WHERE id = ?"));
            move.addBindValue(DateValue(DueDateAfter(m.now.incident, *t.planned)));
            move.addBindValue(static_cast<qlonglong>(t.id));
            if (!Exec(move, why)) return false;
          }
        }
        return true;
      },
      error);
}

// ---- Deletion -----------------------------------------------------------------

bool ReadCaseRecords(const QSqlDatabase& db, std::int32_t reportId, CaseRecords* records, QString* error) {
  *records = CaseRecords{};
  QSqlQuery q = Query(db);
  q.prepare(
      QStringLiteral("SELECT hbig_given + hb_vaccine_given + arv_given, closed_on IS NOT NULL,"
                     " (SELECT count(*) FROM followup_test t WHERE t.report_id = c.report_id),"
                     " (SELECT count(*) FROM followup_test t WHERE t.report_id = c.report_id AND t.done_on IS NOT NULL)"
                     " FROM followup_case c WHERE c.report_id = ?"));
  q.addBindValue(reportId);
  if (!Exec(q, error)) return false;
  if (!q.next()) return true;
  records->exists = true;
  records->prophylaxis = q.value(0).toInt() > 0;
  records->closed = q.value(1).toInt() != 0;
  records->tests = q.value(2).toInt();
  records->testsDone = q.value(3).toInt();
  return true;
}

QString CaseDeletionQuestion(const CaseRecords& records) {
  QStringList what;
  what << QStringLiteral("・汚染源の患者の状況");
  if (records.prophylaxis) what << QStringLiteral("・予防投与の記録");
  if (records.tests > 0)
    what << QStringLiteral("・検査 %1 件（実施済み %2 件、未実施 %3 件）")
                .arg(records.tests)
                .arg(records.testsDone)
                .arg(records.tests - records.testsDone);
  if (records.closed) what << QStringLiteral("・経過観察の終了の記録");
  return QStringLiteral(
             "この報告書には経過観察の記録があります。\n%1\n\n"
             "表示データを削除すると、これらの経過観察の記録も削除されます。削除しますか？")
      .arg(what.join(QLatin1Char('\n')));
}

bool MarkCaseForDeletion(Database& database, std::int32_t reportId, QString* error) {
  return ChangeWith(database, QStringLiteral("UPDATE followup_case SET deleting = 1 WHERE report_id = :id"),
                    {{QStringLiteral(":id"), reportId}}, error);
}

bool FinishCaseDeletions(Database& database, const std::vector<std::int32_t>& reportIds, QString* error) {
  if (reportIds.empty()) return true;
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        const QString ids = JoinedIds(reportIds);
        QSqlQuery q(db);
        // The tests go by the foreign key's cascade; deleted here as well so
        // that a connection without foreign keys leaves none behind.
        return (q.exec(QStringLiteral("DELETE FROM followup_test WHERE report_id IN (SELECT report_id FROM"
                                      " followup_case WHERE deleting = 1 AND report_id IN (%1))")
                           .arg(ids)) &&
                q.exec(
                    QStringLiteral("DELETE FROM followup_case WHERE deleting = 1 AND report_id IN (%1)").arg(ids))) ||
               Fail(q, why);
      },
      error);
}

bool CancelCaseDeletions(Database& database, const std::vector<std::int32_t>& reportIds, QString* error) {
  if (reportIds.empty()) return true;
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        return q.exec(QStringLiteral("UPDATE followup_case SET deleting = 0 WHERE report_id IN (%1)")
                          .arg(JoinedIds(reportIds))) ||
               Fail(q, why);
      },
      error);
}

bool SettleCaseDeletions(Database& database, const std::function<std::optional<bool>(std::int32_t)>& reportExists,
                         QString* error) {
  if (!database.isOpen() || database.isReadOnly()) return true;
  std::vector<std::int32_t> marked;
  {
    QSqlQuery q(database.connection());
    if (!q.exec(QStringLiteral("SELECT report_id FROM followup_case WHERE deleting = 1"))) return Fail(q, error);
    while (q.next()) marked.push_back(q.value(0).toInt());
  }
  if (marked.empty()) return true;
  std::vector<std::int32_t> gone, kept;
  for (std::int32_t id : marked) {
    const std::optional<bool> there = reportExists(id);
    if (there) (*there ? kept : gone).push_back(id);
  }
  if (gone.empty() && kept.empty()) return true;
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery q(db);
        if (!gone.empty()) {
          const QString ids = JoinedIds(gone);
          if (!q.exec(QStringLiteral("DELETE FROM followup_test WHERE report_id IN (%1)").arg(ids)) ||
              !q.exec(QStringLiteral("DELETE FROM followup_case WHERE report_id IN (%1)").arg(ids)))
            return Fail(q, why);
        }
        if (!kept.empty() &&
            !q.exec(
                QStringLiteral("UPDATE followup_case SET deleting = 0 WHERE report_id IN (%1)").arg(JoinedIds(kept))))
          return Fail(q, why);
        return true;
      },
      error);
}

QString FollowupSaveError(const Database& database, const QString& reason) {
  return QStringLiteral("経過観察の記録を保存できませんでした。\n") + DatabaseErrorText(database.path(), reason);
}

}  // namespace orvanta
