// A stop at any moment leaves the old state of a change or the new one: a
// child process (this test binary run again) is killed while it changes the
// follow-up, and the database is read afterwards.

#include <QDir>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/reports/data_file.h"
#include "core/store/database.h"
#include "support/child_process.h"
#include "support/followup_cases.h"
#include "support/qt_printers.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::CaseOf;
using testing::QueryNumber;
using testing::TellParent;

const QDate kIncident(2026, 12, 1);

// The tests the schedule plans for a case whose sources are all 不明,
// each carrying the round's number in its remarks.
std::vector<FollowupTest> Plan(Database& db, const FollowupCase& c, int round) {
  std::vector<ScheduleEntry> schedule;
  QString error;
  ReadSchedule(db.connection(), &schedule, &error);
  std::vector<FollowupTest> tests = PlanSchedule(c, schedule, {});
  for (FollowupTest& t : tests) t.remarks = QString::number(round);
  return tests;
}

bool OpenAt(Database& db, const QString& path) {
  QString error;
  return db.open(path, QDateTime(QDate(2026, 12, 9), QTime(9, 0)), nullptr, &error);
}

// Plans the case's tests inside a transaction and stays there.
ORVANTA_CHILD_ROLE_FUNCTION(plan_and_wait) {
  Database db;
  if (!OpenAt(db, argument)) return 2;
  const FollowupCase c = CaseOf(1, QStringLiteral("山田"), kIncident);
  std::vector<FollowupTest> tests = Plan(db, c, 1);
  QString error;
  db.change(
      [&](QSqlDatabase& connection, QString* why) {
        if (!AddPlannedTestsIn(connection, c, &tests, why)) return false;
        TellParent("in-transaction");
        QThread::sleep(60);  // killed here
        return true;
      },
      &error);
  return 0;
}

// Replaces the case's tests again and again, one transaction a round, and
// tells each round committed.
ORVANTA_CHILD_ROLE_FUNCTION(churn) {
  Database db;
  if (!OpenAt(db, argument)) return 2;
  FollowupCase c = CaseOf(1, QStringLiteral("山田"), kIncident);
  for (int round = 1;; ++round) {
    std::vector<FollowupTest> tests = Plan(db, c, round);
    c.remarks = QString::number(round);
    QString error;
    const bool ok = db.change(
        [&](QSqlDatabase& connection, QString* why) {
          QSqlQuery clear(connection);
          return clear.exec(QStringLiteral("DELETE FROM followup_test WHERE report_id = 1")) &&
                 AddPlannedTestsIn(connection, c, &tests, why);
        },
        &error);
    if (!ok) return 4;
    TellParent("committed " + QByteArray::number(round));
  }
}

// Deletes report 2 and its case as the report window does, and stays after
// the step named by the argument ("<drive root>|marked" or "|saved").
ORVANTA_CHILD_ROLE_FUNCTION(delete_report) {
  const QStringList parts = argument.split(QLatin1Char('|'));
  testing::ScriptedPrompts prompts;
  FixedClock clock(testing::kTestMoment);
  AppState state(parts[0], prompts, clock);
  if (!OpenAt(state.database, state.paths.DatabasePath())) return 2;
  QString error;
  if (!MarkCaseForDeletion(state.database, 2, &error)) return 4;
  if (parts[1] == QStringLiteral("marked")) {
    TellParent("stopped");
    QThread::sleep(60);
  }
  std::vector<ReportRecord> table;
  if (!ReadDataFile(state.paths.DataFilePath(0), table).ok()) return 5;
  std::erase_if(table, [](const ReportRecord& r) { return r.ReportId == 2; });
  if (!WriteDataFile(state.paths.DataFilePath(0), table, &error)) return 6;
  TellParent("stopped");
  QThread::sleep(60);
  return 0;
}

class FollowupKillTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override { ASSERT_TRUE(QDir().mkpath(state.paths.ReportFolderPath())); }
  QString path() const { return state.paths.DatabasePath(); }

  // Kills the child and opens the database as the next start does.
  void killAndReopen(QProcess& child) {
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    state.database.close();
    testing::OpenFollowupDatabase(state);
    QString error;
    EXPECT_TRUE(CheckDatabaseFile(path(), &error)) << error.toStdString();
  }
};

TEST_F(FollowupKillTest, AKillInsideTheTransactionLeavesTheOldState) {
  testing::OpenFollowupDatabase(state);
  state.database.close();
  auto child = testing::StartChildRole(QStringLiteral("plan_and_wait"), path());
  ASSERT_TRUE(child);
  ASSERT_EQ(testing::WaitForChildLine(*child, "in-transaction"), QByteArray("in-transaction"));
  // The child holds the change uncommitted: its journal is beside the file.
  EXPECT_TRUE(QFileInfo::exists(path() + QStringLiteral("-journal")));
  killAndReopen(*child);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_case")), 0);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), 0);
  // And the next change goes through.
  std::vector<FollowupTest> tests = Plan(state.database, CaseOf(1, QStringLiteral("山田"), kIncident), 2);
  testing::StoreCase(state.database, CaseOf(1, QStringLiteral("山田"), kIncident), tests);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), 8);
}

TEST_F(FollowupKillTest, AKillAtAnyMomentLeavesOneWholeRound) {
  testing::OpenFollowupDatabase(state);
  state.database.close();
  int lastSeen = 0;
  for (int kill = 0; kill < 5; ++kill) {
    SCOPED_TRACE(kill);
    auto child = testing::StartChildRole(QStringLiteral("churn"), path());
    ASSERT_TRUE(child);
    // A few rounds in, then a moment anywhere within the next ones.
    const QByteArray line = testing::WaitForChildLine(*child, "committed " + QByteArray::number(2 + 3 * kill));
    ASSERT_FALSE(line.isEmpty());
    QThread::usleep(QRandomGenerator::global()->bounded(20000));
    killAndReopen(*child);
    const int round =
        QueryNumber(state.database, QStringLiteral("SELECT remarks FROM followup_case WHERE report_id = 1"));
    EXPECT_GE(round, 2 + 3 * kill);  // nothing committed is lost
    // The tests are those of exactly that round, all eight of them.
    EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), 8);
    EXPECT_EQ(QueryNumber(state.database,
                          QStringLiteral("SELECT count(*) FROM followup_test WHERE remarks = '%1'").arg(round)),
              8);
    lastSeen = round;
    state.database.close();
  }
  EXPECT_GT(lastSeen, 0);
}

TEST_F(FollowupKillTest, AReportAndItsCaseGoTogetherWhereverTheDeletionStops) {
  for (const char* stop : {"marked", "saved"}) {
    SCOPED_TRACE(stop);
    const QDate incident = kIncident;
    ASSERT_TRUE(WriteReports(0, {testing::ExposureReport(1, QStringLiteral("佐藤"), incident),
                                 testing::ExposureReport(2, QStringLiteral("山田"), incident)}));
    state.database.close();
    QFile::remove(path());
    testing::OpenFollowupDatabase(state);
    std::vector<FollowupTest> tests = Plan(state.database, CaseOf(2, QStringLiteral("山田"), incident), 1);
    testing::StoreCase(state.database, CaseOf(2, QStringLiteral("山田"), incident), tests);
    state.database.close();

    auto child = testing::StartChildRole(QStringLiteral("delete_report"),
                                         state.paths.DriveRoot() + QLatin1Char('|') + QString::fromLatin1(stop));
    ASSERT_TRUE(child);
    ASSERT_EQ(testing::WaitForChildLine(*child, "stopped"), QByteArray("stopped"));
    killAndReopen(*child);
    SettleFollowupAtStart(state.database, state.paths, state.counters);

    const bool reportThere = ReportInDataFiles(state.paths, state.counters, 2);
    EXPECT_EQ(reportThere, std::string(stop) == "marked");
    EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_case")), reportThere ? 1 : 0);
    EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), reportThere ? 8 : 0);
    EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_case WHERE deleting = 1")), 0);
  }
}

// A data file that does not read may hold the report of a marked case: the
// start leaves the mark until every file reads again, and only then settles.
TEST_F(FollowupKillTest, AMarkWaitsWhileADataFileDoesNotRead) {
  testing::OpenFollowupDatabase(state);
  const std::vector<ReportRecord> first{testing::ExposureReport(1, QStringLiteral("佐藤"), kIncident)};
  ASSERT_TRUE(WriteReports(0, first));
  ASSERT_TRUE(WriteReports(1, {testing::ExposureReport(2, QStringLiteral("山田"), kIncident)}));
  std::vector<FollowupTest> tests = Plan(state.database, CaseOf(2, QStringLiteral("山田"), kIncident), 1);
  testing::StoreCase(state.database, CaseOf(2, QStringLiteral("山田"), kIncident), tests);
  QString error;
  ASSERT_TRUE(MarkCaseForDeletion(state.database, 2, &error));
  // File 0 cut inside its first report: it does not read, so report 2
  // might be there.
  const QByteArray whole = testing::FileBytes(state.paths.DataFilePath(0));
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(0), whole.left(whole.size() / 5)));
  // Report 2 gone from file 1, as a deletion stopped half-way leaves it.
  ASSERT_TRUE(WriteReports(1, {}));

  SettleFollowupAtStart(state.database, state.paths, state.counters);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_case WHERE deleting = 1")), 1);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), 8);

  ASSERT_TRUE(WriteReports(0, first));  // repaired
  SettleFollowupAtStart(state.database, state.paths, state.counters);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_case")), 0);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM followup_test")), 0);
}

}  // namespace
}  // namespace orvanta
