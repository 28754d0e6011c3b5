#include "core/followup/followup_store.h"

#include <QDir>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/store/database.h"
#include "core/store/schema.h"
#include "support/followup_cases.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::CaseOf;
using testing::QueryNumber;
using testing::StoreCase;
using testing::TestOf;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

class FollowupStoreTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override { testing::OpenFollowupDatabase(state); }
  Database& db() { return state.database; }

  FollowupCase readCase(int reportId) {
    FollowupCase c;
    bool found = false;
    QString error;
    EXPECT_TRUE(ReadCase(db().connection(), reportId, &c, &found, &error)) << error.toStdString();
    EXPECT_TRUE(found) << reportId;
    return c;
  }
  std::vector<FollowupTest> readTests(int reportId) {
    std::vector<FollowupTest> tests;
    QString error;
    EXPECT_TRUE(ReadTests(db().connection(), reportId, &tests, &error)) << error.toStdString();
    return tests;
  }
  // The stored row of a test as other tools read it.
  QStringList rawTest(std::int64_t id) {
    QSqlQuery q(db().connection());
    q.prepare(QStringLiteral(
        "SELECT report_id, pathogen, test, due_on, ifnull(done_on, 'NULL'), ifnull(result, 'NULL'), remarks,"
        " ifnull(offset_count, 'NULL'), ifnull(offset_unit, 'NULL') FROM followup_test WHERE id = ?"));
    q.addBindValue(static_cast<qlonglong>(id));
    QStringList row;
    if (q.exec() && q.next())
      for (int i = 0; i < 9; ++i) row << q.value(i).toString();
    return row;
  }
};

TEST_F(FollowupStoreTest, ACaseAndItsTestsAreStoredAsOtherToolsReadThem) {
  FollowupCase c = CaseOf(7, QStringLiteral("山田 花子"), D(2026, 12, 1));
  c.sources = {SourceStatus::Positive, SourceStatus::Unknown, SourceStatus::NotApplicable};
  c.of(Prophylactic::Antiretroviral) = {true, QDateTime(D(2026, 12, 1), QTime(14, 5))};
  c.remarks = QStringLiteral("本人へ説明済み");
  QString error;
  ASSERT_TRUE(SaveCase(db(), c, &error)) << error.toStdString();
  EXPECT_EQ(readCase(7), c);

  QSqlQuery raw(db().connection());
  ASSERT_TRUE(raw.exec(QStringLiteral(
                  "SELECT source_hiv, source_hcv, source_hbv, arv_given, arv_at, hbig_given, ifnull(hbig_at, 'NULL'),"
                  " incident_on, ifnull(closed_on, 'NULL') FROM followup_case WHERE report_id = 7")) &&
              raw.next());
  QStringList row;
  for (int i = 0; i < 9; ++i) row << raw.value(i).toString();
  EXPECT_EQ(row, (QStringList{"陽性", "不明", "対象外", "1", "2026-12-01 14:05", "0", "NULL", "2026-12-01", "NULL"}));

  // A test by hand, then done with its result; NULL until then.
  FollowupTest t = TestOf(7, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12));
  ASSERT_TRUE(AddTest(db(), c, &t, &error)) << error.toStdString();
  ASSERT_GT(t.id, 0);
  EXPECT_EQ(rawTest(t.id), (QStringList{"7", "HIV", "HIV抗体", "2027-01-12", "NULL", "NULL", "", "NULL", "NULL"}));
  t.done = D(2027, 1, 13);
  t.result = QStringLiteral("陰性");
  t.remarks = QStringLiteral("外来で採血");
  ASSERT_TRUE(UpdateTest(db(), t, &error)) << error.toStdString();
  EXPECT_EQ(rawTest(t.id),
            (QStringList{"7", "HIV", "HIV抗体", "2027-01-12", "2027-01-13", "陰性", "外来で採血", "NULL", "NULL"}));
  EXPECT_EQ(readTests(7), std::vector<FollowupTest>{t});

  // Closing, then removing the test.
  c.closedOn = D(2027, 6, 1);
  c.closedReason = QStringLiteral("予定の検査がすべて終了");
  ASSERT_TRUE(SaveCase(db(), c, &error));
  EXPECT_EQ(readCase(7), c);
  ASSERT_TRUE(RemoveTest(db(), t.id, &error));
  EXPECT_TRUE(readTests(7).empty());
  // A test that is gone cannot be changed.
  EXPECT_FALSE(UpdateTest(db(), t, &error));
}

TEST_F(FollowupStoreTest, ANewCaseIsStoredWithItsFirstTest) {
  const FollowupCase c = CaseOf(3, QStringLiteral("佐藤"), D(2026, 12, 2));
  bool found = true;
  FollowupCase read;
  QString error;
  ASSERT_TRUE(ReadCase(db().connection(), 3, &read, &found, &error));
  EXPECT_FALSE(found);
  FollowupTest t = TestOf(3, Pathogen::Other, QStringLiteral("梅毒"), D(2026, 12, 2));
  ASSERT_TRUE(AddTest(db(), c, &t, &error)) << error.toStdString();
  EXPECT_EQ(readCase(3), c);

  // A refused test leaves no case behind either.
  const FollowupCase other = CaseOf(4, QStringLiteral("鈴木"), D(2026, 12, 2));
  FollowupTest bad = TestOf(4, Pathogen::HIV, QString(), D(2026, 12, 2));  // the schema refuses an empty test
  EXPECT_FALSE(AddTest(db(), other, &bad, &error));
  ASSERT_TRUE(ReadCase(db().connection(), 4, &read, &found, &error));
  EXPECT_FALSE(found);
}

TEST_F(FollowupStoreTest, TheDefaultScheduleIsPlannedOnceWithItsPoints) {
  std::vector<ScheduleEntry> schedule;
  QString error;
  ASSERT_TRUE(ReadSchedule(db().connection(), &schedule, &error));
  QStringList shown;
  for (const ScheduleEntry& e : schedule)
    shown << PathogenText(e.pathogen) + QLatin1Char(' ') + OffsetText(e.offset) + QLatin1Char(' ') + e.test;
  // HIV to 4 months with a fourth-generation test, HCV by RNA at 6 weeks and
  // without ALT, HBV with the core antibody.
  EXPECT_EQ(shown,
            (QStringList{"HIV 受傷時 HIV抗原・抗体(第4世代)", "HIV 6週 HIV抗原・抗体(第4世代)",
                         "HIV 4か月 HIV抗原・抗体(第4世代)", "HCV 受傷時 HCV抗体(陽性ならHCV-RNA)", "HCV 6週 HCV-RNA",
                         "HCV 6か月 HCV抗体", "HBV 受傷時 HBs抗原・HBs抗体・HBc抗体", "HBV 6か月 HBs抗原・HBc抗体"}));
  // The same entries that "既定に戻す" offers.
  std::vector<ScheduleEntry> withoutIds = schedule;
  for (ScheduleEntry& e : withoutIds) e.id = 0;
  EXPECT_EQ(withoutIds, DefaultSchedule());

  FollowupCase c = CaseOf(9, QStringLiteral("山田"), D(2027, 1, 31));  // every source 不明
  // A worker known to be immune to HBV gets no HBV test, whatever the source.
  for (const HbvImmunity immune : {HbvImmunity::Vaccinated, HbvImmunity::Natural}) {
    const std::vector<FollowupTest> plan = PlanSchedule(c, schedule, {}, immune);
    EXPECT_EQ(plan.size(), 6u);
    for (const FollowupTest& t : plan) EXPECT_NE(t.pathogen, Pathogen::HBV) << t.test.toStdString();
  }
  EXPECT_EQ(PlanSchedule(c, schedule, {}, HbvImmunity::NotImmune).size(), 8u);
  std::vector<FollowupTest> planned = PlanSchedule(c, schedule, {});
  ASSERT_EQ(planned.size(), 8u);
  ASSERT_TRUE(AddPlannedTests(db(), c, &planned, &error)) << error.toStdString();
  const std::vector<FollowupTest> stored = readTests(9);
  EXPECT_EQ(stored.size(), 8u);
  EXPECT_EQ(rawTest(planned[0].id).mid(7), (QStringList{"0", "週"}));
  // Read back, the points keep the plan from adding them again.
  EXPECT_TRUE(PlanSchedule(c, schedule, stored).empty());
}

TEST_F(FollowupStoreTest, ScheduleEntriesAreCheckedAndStored) {
  QString error;
  ScheduleEntry e{0, Pathogen::HCV, {12, OffsetUnit::Weeks}, QStringLiteral("HCV-RNA")};
  ASSERT_TRUE(AddScheduleEntry(db(), &e, &error)) << error.toStdString();
  EXPECT_GT(e.id, 0);
  e.offset = {4, OffsetUnit::Months};
  ASSERT_TRUE(UpdateScheduleEntry(db(), e, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM schedule_template WHERE offset_unit = 'か月' AND"
                                             " offset_count = 4 AND pathogen = 'HCV'")),
            1);
  ScheduleEntry other = e;
  other.pathogen = Pathogen::Other;
  EXPECT_FALSE(UpdateScheduleEntry(db(), other, &error));
  EXPECT_EQ(error, QStringLiteral("予定表の病原体は、HIV、HCV、HBVのいずれかを選んでください。"));
  other = e;
  other.test = QString();
  EXPECT_FALSE(AddScheduleEntry(db(), &other, &error));
  EXPECT_EQ(error, QStringLiteral("検査名を入力してください。"));
  ASSERT_TRUE(RemoveScheduleEntry(db(), e.id, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM schedule_template")), 8);
  // An entry no longer there is not changed, and that is told.
  EXPECT_FALSE(UpdateScheduleEntry(db(), e, &error));
  EXPECT_EQ(error, QStringLiteral("変更する予定が見つかりません。"));
}

TEST_F(FollowupStoreTest, DaysAheadAreKeptAndReadLeniently) {
  EXPECT_EQ(ReadDueDaysAhead(db().connection()), 14);
  QString error;
  ASSERT_TRUE(SaveDueDaysAhead(db(), 30, &error));
  EXPECT_EQ(ReadDueDaysAhead(db().connection()), 30);
  for (const char* stored : {"x", "-1", "400", ""}) {
    QSqlQuery q(db().connection());
    q.prepare(QStringLiteral("UPDATE setting SET value = ? WHERE key = 'due_days_ahead'"));
    q.addBindValue(QString::fromLatin1(stored));
    ASSERT_TRUE(q.exec());
    EXPECT_EQ(ReadDueDaysAhead(db().connection()), 14) << stored;
  }
}

TEST_F(FollowupStoreTest, CasesFollowTheirSavedReports) {
  CodeLists lists;
  testing::UseFollowupLists(lists);
  FollowupCase c = CaseOf(20, QStringLiteral("山田"), D(2026, 12, 1));
  std::vector<ScheduleEntry> schedule;
  QString error;
  ASSERT_TRUE(ReadSchedule(db().connection(), &schedule, &error));
  std::vector<FollowupTest> tests = PlanSchedule(c, schedule, {});
  // One planned test moved by hand, one done, one added by hand.
  tests[1].due = tests[1].due.addDays(3);
  tests[2].done = tests[2].due;
  tests.push_back(TestOf(20, Pathogen::Other, QStringLiteral("梅毒"), D(2026, 12, 5)));
  StoreCase(db(), c, tests);
  const std::vector<FollowupTest> before = readTests(20);

  // Saved unchanged: nothing is written.
  ReportRecord report = testing::ExposureReport(20, QStringLiteral("山田"), D(2026, 12, 1));
  const int changes = QueryNumber(db(), QStringLiteral("SELECT total_changes()"));
  ASSERT_TRUE(
      KeepCasesInStep(db(), {testing::ExposureReport(19, QStringLiteral("他"), D(2026, 1, 1)), report}, lists, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT total_changes()")), changes);

  // Name, department and incident changed: the case follows, and so do the
  // planned tests still on the dates the old incident gave.
  report.Texts[kReporterName] = QStringLiteral("山田 花子");
  report.AnswerIds[kDepartments] = 402;
  report.Days[0] = 3;
  ASSERT_TRUE(KeepCasesInStep(db(), {report}, lists, &error)) << error.toStdString();
  const FollowupCase now = readCase(20);
  EXPECT_EQ(now.worker, (WorkerFields{QStringLiteral("山田 花子"), QStringLiteral("外科"), QStringLiteral("看護師"),
                                      D(2026, 12, 3)}));
  const std::vector<FollowupTest> after = readTests(20);
  ASSERT_EQ(after.size(), before.size());
  for (const FollowupTest& old : before) {
    const auto moved = std::find_if(after.begin(), after.end(), [&](const FollowupTest& t) { return t.id == old.id; });
    ASSERT_NE(moved, after.end());
    const bool follows = old.planned && !old.isDone() && old.due == DueDateAfter(D(2026, 12, 1), *old.planned);
    EXPECT_EQ(moved->due, follows ? DueDateAfter(D(2026, 12, 3), *old.planned) : old.due)
        << old.test.toStdString() << " " << DateText(old.due).toStdString();
  }
}

TEST_F(FollowupStoreTest, DeletionMarksFirstAndSettlesEitherWay) {
  QString error;
  for (int id : {1, 2, 3}) {
    std::vector<FollowupTest> tests{
        TestOf(id, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2026, 12, 1), D(2026, 12, 1)),
        TestOf(id, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
    FollowupCase c = CaseOf(id, QStringLiteral("職員%1").arg(id), D(2026, 12, 1));
    if (id == 1) c.of(Prophylactic::Hbig) = {true, QDateTime(D(2026, 12, 1), QTime(12, 0))};
    StoreCase(db(), c, tests);
  }
  CaseRecords records;
  ASSERT_TRUE(ReadCaseRecords(db().connection(), 1, &records, &error));
  EXPECT_TRUE(records.exists);
  EXPECT_EQ(records.tests, 2);
  EXPECT_EQ(records.testsDone, 1);
  EXPECT_TRUE(records.prophylaxis);
  EXPECT_EQ(CaseDeletionQuestion(records),
            QStringLiteral("この報告書には経過観察の記録があります。\n"
                           "・汚染源の患者の状況\n・予防投与の記録\n・検査 2 件（実施済み 1 件、未実施 1 件）\n\n"
                           "表示データを削除すると、これらの経過観察の記録も削除されます。削除しますか？"));
  ASSERT_TRUE(ReadCaseRecords(db().connection(), 99, &records, &error));
  EXPECT_FALSE(records.exists);

  // Finished: only a marked case goes, with its tests.
  ASSERT_TRUE(MarkCaseForDeletion(db(), 1, &error));
  ASSERT_TRUE(FinishCaseDeletions(db(), {1, 2}, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_case")), 2);
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_test WHERE report_id = 1")), 0);
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_test WHERE report_id = 2")), 2);

  // Cancelled: the mark goes, the case stays.
  ASSERT_TRUE(MarkCaseForDeletion(db(), 2, &error));
  ASSERT_TRUE(CancelCaseDeletions(db(), {2}, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_case WHERE deleting = 1")), 0);

  // Settled after a stop: the case of a report still there stays, the other goes.
  ASSERT_TRUE(MarkCaseForDeletion(db(), 2, &error));
  ASSERT_TRUE(MarkCaseForDeletion(db(), 3, &error));
  ASSERT_TRUE(SettleCaseDeletions(
      db(), [](std::int32_t id) { return std::optional<bool>(id == 2); }, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT group_concat(report_id) FROM followup_case")), 2);
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_case WHERE deleting = 1")), 0);
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_test")), 2);

  // Not told (a data file that does not read may hold the report): the case
  // stays, still marked, for a later start.
  ASSERT_TRUE(MarkCaseForDeletion(db(), 2, &error));
  ASSERT_TRUE(SettleCaseDeletions(
      db(), [](std::int32_t) { return std::optional<bool>(); }, &error));
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_case WHERE deleting = 1")), 1);
  EXPECT_EQ(QueryNumber(db(), QStringLiteral("SELECT count(*) FROM followup_test")), 2);
}

TEST_F(FollowupStoreTest, ANewerDatabaseIsReadButNothingIsWritten) {
  std::vector<FollowupTest> tests{TestOf(1, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
  StoreCase(db(), CaseOf(1, QStringLiteral("山田"), D(2026, 12, 1)), tests);
  {
    QSqlQuery bump(db().connection());
    ASSERT_TRUE(bump.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1)));
  }
  db().close();
  const QByteArray before = testing::FileBytes(state.paths.DatabasePath());
  testing::OpenFollowupDatabase(state);
  ASSERT_TRUE(db().isReadOnly());
  FollowupCase c = readCase(1);
  EXPECT_EQ(readTests(1).size(), 1u);
  QString error;
  c.remarks = QStringLiteral("書けない");
  EXPECT_FALSE(SaveCase(db(), c, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("新しい版"))) << error.toStdString();
  FollowupTest t = tests[0];
  EXPECT_FALSE(UpdateTest(db(), t, &error));
  EXPECT_FALSE(SaveDueDaysAhead(db(), 3, &error));
  db().close();
  EXPECT_EQ(testing::FileBytes(state.paths.DatabasePath()), before);
}

}  // namespace
}  // namespace orvanta
