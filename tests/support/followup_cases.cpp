#include "support/followup_cases.h"

#include <QDir>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/store/database.h"

namespace orvanta::testing {

void OpenFollowupDatabase(AppState& state) {
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFolderPath()));
  QString error;
  ASSERT_TRUE(state.database.open(state.paths.DatabasePath(), state.clock().now(), nullptr, &error))
      << error.toStdString();
}

void UseFollowupLists(CodeLists& lists) {
  lists[kDepartments].entries = {CodeEntry{QStringLiteral("内科"), QStringLiteral("1"), 401},
                                 CodeEntry{QStringLiteral("外科"), QStringLiteral("2"), 402}};
  lists[kOccupations].entries = {CodeEntry{QStringLiteral("医師"), QStringLiteral("1"), 1},
                                 CodeEntry{QStringLiteral("看護師"), QStringLiteral("2"), 2}};
}

ReportRecord ExposureReport(int id, const QString& name, const QDate& incident, int known, std::array<int, 3> results) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kReporterName] = name;
  r.AnswerIds[kDepartments] = 401;
  r.AnswerIds[kOccupations] = 2;
  r.Choices[1] = known;
  for (int i = 0; i < 3; ++i) r.Choices[2 + i] = results[static_cast<std::size_t>(i)];
  r.Years = {incident.year(), incident.year(), 0};
  r.Months = {incident.month(), incident.month(), 0};
  r.Days = {incident.day(), incident.day(), 0};
  r.Hours[0] = 10;
  return r;
}

FollowupCase CaseOf(int reportId, const QString& name, const QDate& incident, const QString& department) {
  FollowupCase c;
  c.reportId = reportId;
  c.worker = WorkerFields{name, department.isEmpty() ? QStringLiteral("内科") : department, QStringLiteral("看護師"),
                          incident};
  return c;
}

FollowupTest TestOf(int reportId, Pathogen pathogen, const QString& test, const QDate& due, const QDate& done) {
  FollowupTest t;
  t.reportId = reportId;
  t.pathogen = pathogen;
  t.test = test;
  t.due = due;
  t.done = done;
  return t;
}

void StoreCase(Database& database, const FollowupCase& followup, std::vector<FollowupTest>& tests) {
  QString error;
  ASSERT_TRUE(AddPlannedTests(database, followup, &tests, &error)) << error.toStdString();
}

void StoreDueListCases(Database& database) {
  const auto d = [](int y, int m, int day) { return QDate(y, m, day); };
  FollowupTest sixWeeks = TestOf(1, Pathogen::HIV, QStringLiteral("HIV抗体"), d(2026, 11, 12));
  sixWeeks.planned = ScheduleOffset{6, OffsetUnit::Weeks};
  std::vector<FollowupTest> yamada{sixWeeks, TestOf(1, Pathogen::HIV, QStringLiteral("HIV抗体"), d(2027, 1, 1)),
                                   TestOf(1, Pathogen::HIV, QStringLiteral("HIV抗体"), d(2026, 10, 1), d(2026, 10, 1))};
  StoreCase(database, CaseOf(1, QStringLiteral("山田 花子"), d(2026, 10, 1)), yamada);

  FollowupTest threeWeeks = TestOf(2, Pathogen::HCV, QStringLiteral("HCV-RNA"), d(2026, 12, 23));
  threeWeeks.planned = ScheduleOffset{3, OffsetUnit::Weeks};
  std::vector<FollowupTest> sato{threeWeeks, TestOf(2, Pathogen::HBV, QStringLiteral("HBs抗体"), d(2026, 12, 9)),
                                 TestOf(2, Pathogen::HBV, QStringLiteral("HBs抗原"), d(2026, 12, 24))};
  StoreCase(database, CaseOf(2, QStringLiteral("佐藤 一郎"), d(2026, 12, 2), QStringLiteral("外科")), sato);

  FollowupCase closed = CaseOf(3, QStringLiteral("鈴木"), d(2026, 10, 1));
  closed.closedOn = d(2026, 11, 30);
  closed.closedReason = QStringLiteral("退職・異動");
  std::vector<FollowupTest> suzuki{TestOf(3, Pathogen::HIV, QStringLiteral("HIV抗体"), d(2026, 11, 1))};
  StoreCase(database, closed, suzuki);

  std::vector<FollowupTest> takahashi{TestOf(4, Pathogen::Other, QStringLiteral("梅毒"), d(2026, 12, 1))};
  StoreCase(database, CaseOf(4, QStringLiteral("高橋"), d(2026, 11, 20)), takahashi);
}

int QueryNumber(const Database& database, const QString& sql) {
  QSqlQuery q(database.connection());
  if (!q.exec(sql) || !q.next()) return -1;
  return q.value(0).toInt();
}

}  // namespace orvanta::testing
