// The history of a report in the access log: the entries of a save, the
// settling of a save a stop cut short, going back to a version, bringing
// back a deleted report.

#include "core/reports/report_history.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"
#include "core/store/database.h"
#include "support/child_process.h"
#include "support/followup_cases.h"
#include "support/logged_reports.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::TellParent;

ReportRecord Report(int id, const QString& name) { return testing::NamedReport(id, name); }

std::vector<ReportRecord> ReadFile(const DrivePaths& paths, int n) {
  std::vector<ReportRecord> table;
  ReadDataFile(paths.DataFilePath(n), table);
  return table;
}

int PendingRows(const QSqlDatabase& db) {
  QSqlQuery q(db);
  return q.exec(QStringLiteral("SELECT count(*) FROM access_log_pending")) && q.next() ? q.value(0).toInt() : -1;
}

QJsonObject DetailsOf(const LogEntry& e) { return QJsonDocument::fromJson(e.details.toUtf8()).object(); }

class ReportHistoryTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override { testing::SetUpLoggedReports(*this); }
  // The database as a reader of the log sees it: the entries of the last
  // save moved in first.
  QSqlDatabase db() {
    state.database.runDeferred();
    return state.database.connection();
  }
  bool save() {
    return SaveReportFileRecorded(state.dataFile, state.counters, state.paths, state.lists, state.log, state.database,
                                  clock.now())
        .ok();
  }
  std::vector<LogEntry> entriesOf(const QString& kind) {
    LogFilter f;
    f.kind = kind;
    return ReadLogEntries(db(), f, 0, 100);
  }
};

TEST_F(ReportHistoryTest, ASavedChangeIsRecordedWithEveryChangedItemsOldAndNewValue) {
  ReportRecord& r = state.dataFile.ReportTable[1];
  r.Texts[kReporterName] = QStringLiteral("佐藤 一子");
  r.Texts[kAge] = QStringLiteral("34");
  r.AnswerIds[kOccupations] = 2;  // 看護師
  r.Choices[0] = 2;               // 女
  r.Sites[4] = 1;
  ASSERT_TRUE(save());

  const std::vector<LogEntry> changes = entriesOf(log_kind::kReportChange);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].reportId, 2);
  EXPECT_EQ(changes[0].summary, QStringLiteral("変更：氏名、性別、年齢、３職種、１２受傷部位"));
  const QJsonArray items = DetailsOf(changes[0]).value(QStringLiteral("changes")).toArray();
  QStringList lines;
  for (const QJsonValue& v : items) {
    const QJsonObject o = v.toObject();
    lines << o.value(QStringLiteral("item")).toString() + QStringLiteral(": ") +
                 o.value(QStringLiteral("old")).toString() + QStringLiteral(" → ") +
                 o.value(QStringLiteral("new")).toString();
  }
  EXPECT_EQ(lines, (QStringList{QStringLiteral("氏名: 佐藤 一郎 → 佐藤 一子"), QStringLiteral("性別:  → 女"),
                                QStringLiteral("年齢:  → 34"), QStringLiteral("３職種:  → 看護師"),
                                QStringLiteral("１２受傷部位:  → 5")}));
  EXPECT_EQ(PendingRows(db()), 0);
  // Nothing else changed: no entry for the other reports.
  EXPECT_EQ(CountLogEntries(db(), {}), 1);

  // A save with no change writes no entry.
  ASSERT_TRUE(save());
  EXPECT_EQ(CountLogEntries(db(), {}), 1);
}

// A save syncs only its pending entry; the entry moves into the log with
// the next change of the database, before that change's own entry, or when
// the log is read.
TEST_F(ReportHistoryTest, ASavesEntryGoesIntoTheLogWithTheNextChange) {
  const QSqlDatabase raw = state.database.connection();
  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("41");
  ASSERT_TRUE(save());
  EXPECT_EQ(PendingRows(raw), 1);
  EXPECT_EQ(CountLogEntries(raw, {}), 0);

  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("42");
  ASSERT_TRUE(save());
  EXPECT_EQ(PendingRows(raw), 1);  // the first moved in with the second's pending entry
  ASSERT_TRUE(state.log.record({log_kind::kReportShown, 1, QStringLiteral("表示"), {}}));
  EXPECT_EQ(PendingRows(raw), 0);
  const std::vector<LogEntry> all = ReadLogEntries(raw, {}, 0, 10);  // newest first
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[2].summary, QStringLiteral("変更：年齢"));
  EXPECT_EQ(all[1].summary, QStringLiteral("変更：年齢"));
  // The second save was compared with what the first one wrote.
  const QJsonObject second = DetailsOf(all[1]).value(QStringLiteral("changes")).toArray().at(0).toObject();
  EXPECT_EQ(second.value(QStringLiteral("old")).toString(), QStringLiteral("41"));
  EXPECT_EQ(second.value(QStringLiteral("new")).toString(), QStringLiteral("42"));
  EXPECT_EQ(all[0].kind, log_kind::kReportShown);
  EXPECT_EQ(ReadReportHistory(raw, 1).back().report->Texts[kAge], QStringLiteral("42"));

  // Reading the log moves them in too; and closing the database.
  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("43");
  ASSERT_TRUE(save());
  EXPECT_TRUE(state.database.runDeferred());
  EXPECT_EQ(PendingRows(raw), 0);
  EXPECT_EQ(CountLogEntries(raw, {}), 4);
  EXPECT_TRUE(CheckLogChain(raw).intact);
}

TEST_F(ReportHistoryTest, ANewReportAndADeletionAreRecordedWithTheWholeReport) {
  state.dataFile.ReportTable.push_back(Report(4, QStringLiteral("新人 三郎")));
  const ReportRecord gone = state.dataFile.ReportTable[0];
  state.dataFile.ReportTable.erase(state.dataFile.ReportTable.begin());
  ASSERT_TRUE(save());

  const std::vector<LogEntry> added = entriesOf(log_kind::kReportNew);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].reportId, 4);
  EXPECT_EQ(ReportFromJson(DetailsOf(added[0]).value(QStringLiteral("report")).toObject()),
            state.dataFile.ReportTable.back());
  const std::vector<LogEntry> deleted = entriesOf(log_kind::kReportDelete);
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0].reportId, 1);
  EXPECT_EQ(deleted[0].summary, QStringLiteral("報告を削除しました（データファイル0）"));
  EXPECT_EQ(ReportFromJson(DetailsOf(deleted[0]).value(QStringLiteral("report")).toObject()), gone);
  EXPECT_TRUE(CheckLogChain(db()).intact);
}

TEST_F(ReportHistoryTest, TheHistoryListsEveryVersionAndAVersionCanBeMadeCurrentAgain) {
  const ReportRecord original = state.dataFile.ReportTable[0];
  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("40");
  ASSERT_TRUE(save());
  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("41");
  ASSERT_TRUE(save());

  std::vector<ReportVersion> history = ReadReportHistory(db(), 1);
  // The report as it was before the log began, then the two changes.
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[0].seq, 0);
  EXPECT_EQ(history[0].report, original);
  EXPECT_EQ(history[1].changes, (std::vector<ItemChange>{{QStringLiteral("年齢"), QString(), QStringLiteral("40")}}));
  EXPECT_EQ(history[2].changes,
            (std::vector<ItemChange>{{QStringLiteral("年齢"), QStringLiteral("40"), QStringLiteral("41")}}));

  QString error;
  ASSERT_TRUE(RestoreReportVersion(history[1], 1, state.dataFile, state.counters, state.paths, state.lists, state.log,
                                   state.database, clock.now(), &error))
      << error.toStdString();
  EXPECT_EQ(ReadFile(state.paths, 0)[0].Texts[kAge], QStringLiteral("40"));
  history = ReadReportHistory(db(), 1);
  ASSERT_EQ(history.size(), 4u);
  EXPECT_EQ(history[3].kind, log_kind::kReportRestore);
  EXPECT_EQ(history[3].changes,
            (std::vector<ItemChange>{{QStringLiteral("年齢"), QStringLiteral("41"), QStringLiteral("40")}}));
  EXPECT_EQ(entriesOf(log_kind::kReportRestore)[0].summary,
            QStringLiteral("番号%1の版に戻しました：年齢").arg(history[1].seq));
}

TEST_F(ReportHistoryTest, ADeletedReportComesBackInItsOwnFileWhereItsNumberFitsElseAtTheEnd) {
  // Report 2 deleted from file 0.
  state.dataFile.ReportTable.erase(state.dataFile.ReportTable.begin() + 1);
  state.counters.TotalReports = 2;
  ASSERT_TRUE(save());
  std::vector<ReportVersion> history = ReadReportHistory(db(), 2);
  ASSERT_FALSE(history.empty());
  ASSERT_EQ(history.back().kind, log_kind::kReportDelete);

  BringBackOutcome back = BringBackReport(history.back(), 2, state.dataFile, state.counters, state.paths, state.lists,
                                          state.log, state.database, clock.now());
  ASSERT_TRUE(back.ok) << back.message.toStdString();
  EXPECT_TRUE(back.original);
  EXPECT_EQ(back.message, QStringLiteral("記録番号2の報告を、削除前のデータファイル0に戻しました。"));
  std::vector<ReportRecord> file0 = ReadFile(state.paths, 0);
  ASSERT_EQ(file0.size(), 3u);
  EXPECT_EQ(file0[1].ReportId, 2);
  EXPECT_EQ(file0[1].Texts[kReporterName], QStringLiteral("佐藤 一郎"));
  EXPECT_EQ(state.counters.TotalReports, 3);
  EXPECT_EQ(entriesOf(log_kind::kReportRestore)[0].summary,
            QStringLiteral("削除された報告を戻しました（データファイル0）"));

  // Deleted again, and meanwhile a newer file begins with report 5: file 0
  // still fits number 2. A report 1 deleted while file 0 is full does not.
  state.dataFile.ReportTable.erase(state.dataFile.ReportTable.begin());
  ASSERT_TRUE(save());
  std::vector<ReportRecord> full;
  for (int id = 10; id < 10 + kFileCapacity; ++id) full.push_back(Report(id, QStringLiteral("x")));
  full[0] = Report(2, QStringLiteral("佐藤 一郎"));
  full[1] = Report(3, QStringLiteral("鈴木 次郎"));
  ASSERT_TRUE(WriteReports(0, full));
  state.counters.TotalReports = kFileCapacity;
  LoadDataFile(state.dataFile, state.paths, 0);
  history = ReadReportHistory(db(), 1);
  back = BringBackReport(history.back(), 1, state.dataFile, state.counters, state.paths, state.lists, state.log,
                         state.database, clock.now());
  ASSERT_TRUE(back.ok) << back.message.toStdString();
  EXPECT_FALSE(back.original);
  EXPECT_EQ(back.fileNo, 1);
  EXPECT_EQ(
      back.message,
      QStringLiteral(
          "記録番号1の報告を、削除前のデータファイルには戻せないため、最後のデータファイル1の末尾に戻しました。"));
  EXPECT_EQ(ReadFile(state.paths, 1).at(0).ReportId, 1);
  EXPECT_EQ(state.counters.NewestFileNo, 1);
}

TEST_F(ReportHistoryTest, ADatabaseThatCannotBeWrittenIsToldAndTheReportIsSavedAllTheSame) {
  QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = ON"));
  prompts.answer(PromptAnswer::Ok);
  state.dataFile.ReportTable[0].Texts[kAge] = QStringLiteral("30");
  ASSERT_TRUE(save());
  EXPECT_EQ(ReadFile(state.paths, 0)[0].Texts[kAge], QStringLiteral("30"));
  ASSERT_EQ(prompts.texts().size(), 1);
  EXPECT_TRUE(prompts.texts()[0].startsWith(QStringLiteral("操作記録を書き込めませんでした。")));
  QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = OFF"));
  EXPECT_EQ(CountLogEntries(db(), {}), 0);
  EXPECT_EQ(PendingRows(db()), 0);
}

// A stop between the two steps of a save: the entry goes into the log only
// when the data file holds the change.
TEST_F(ReportHistoryTest, TheNextStartSettlesWhatAStopBetweenTheStepsLeft) {
  for (const bool fileWritten : {false, true}) {
    SCOPED_TRACE(fileWritten);
    const std::int64_t before = CountLogEntries(db(), {});
    ReportWrite write{0, ReadFile(state.paths, 0), {}, {}};
    write.after = write.before;
    write.after[2].Texts[kAge] = fileWritten ? QStringLiteral("50") : QStringLiteral("99");
    RecordedReportWrite recorded(state.log, state.database);
    ASSERT_TRUE(recorded.begin(write, state.lists));
    EXPECT_EQ(PendingRows(db()), 1);
    if (fileWritten) {
      ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(0), write.after));
    }
    // The program stops here: finish never runs.
    EXPECT_EQ(SettleReportEntriesAtStart(state.database, state.log, state.paths, state.counters), fileWritten ? 1 : 0);
    EXPECT_EQ(PendingRows(db()), 0);
    const std::vector<LogEntry> last = ReadLogEntries(db(), {}, 0, 2);
    EXPECT_EQ(last[0].kind, log_kind::kSettle);
    if (fileWritten) {
      EXPECT_EQ(CountLogEntries(db(), {}), before + 2);
      EXPECT_EQ(last[1].kind, log_kind::kReportChange);
      EXPECT_EQ(last[1].summary, QStringLiteral("変更：年齢（次の起動時に確定）"));
    } else {
      EXPECT_EQ(CountLogEntries(db(), {}), before + 1);
      EXPECT_TRUE(last[0].summary.contains(QStringLiteral("保存されていなかった1件を取り消しました")));
    }
  }
  EXPECT_TRUE(CheckLogChain(db()).intact);
}

// ---- A kill at any moment of a save --------------------------------------------

// Saves report 1 again and again with the round's number as its age, as the
// report window does, and tells each round saved.
ORVANTA_CHILD_ROLE_FUNCTION(save_rounds) {
  testing::ScriptedPrompts prompts;
  FixedClock clock(testing::kTestMoment);
  AppState state(argument, prompts, clock);
  QString error;
  if (!state.database.open(state.paths.DatabasePath(), clock.now(), nullptr, &error)) return 2;
  state.log.attach();
  state.counters.NewestFileNo = 0;
  if (LoadDataFile(state.dataFile, state.paths, 0) != LoadOutcome::Loaded) return 3;
  for (int round = 1;; ++round) {
    state.dataFile.ReportTable[0].Texts[kAge] = QString::number(round);
    if (!SaveReportFileRecorded(state.dataFile, state.counters, state.paths, state.lists, state.log, state.database,
                                clock.now())
             .ok())
      return 4;
    TellParent("saved " + QByteArray::number(round));
  }
}

TEST_F(ReportHistoryTest, AKillAtAnyMomentOfASaveLeavesEntriesAndDataFileInStep) {
  state.database.close();
  for (int kill = 0; kill < 8; ++kill) {
    SCOPED_TRACE(kill);
    auto child = testing::StartChildRole(QStringLiteral("save_rounds"), root.path());
    ASSERT_TRUE(child);
    ASSERT_FALSE(testing::WaitForChildLine(*child, "saved 2").isEmpty());
    // Somewhere inside a later save.
    QThread::usleep(static_cast<unsigned long>(kill * 1700));
    child->kill();
    child->waitForFinished();

    testing::ScriptedPrompts prompts;
    AppState next(root.path(), prompts, clock);
    QString error;
    ASSERT_TRUE(next.database.open(next.paths.DatabasePath(), clock.now(), nullptr, &error));
    next.log.attach();
    next.counters.NewestFileNo = 0;
    SettleReportEntriesAtStart(next.database, next.log, next.paths, next.counters);
    const QSqlDatabase db = next.database.connection();
    EXPECT_EQ(PendingRows(db), 0);
    // The newest version the log holds is what the data file holds.
    const std::vector<ReportVersion> history = ReadReportHistory(db, 1);
    ASSERT_FALSE(history.empty());
    ASSERT_TRUE(history.back().report);
    EXPECT_EQ(*history.back().report, ReadFile(next.paths, 0).at(0));
    // Each saved round has its one entry, in order, none twice: a child
    // counts on from 1.
    int age = 0;
    for (const ReportVersion& v : history) {
      if (v.seq == 0) continue;
      const int a = v.report->Texts[kAge].toInt();
      EXPECT_TRUE(a == age + 1 || a == 1) << age << " then " << a;
      age = a;
    }
    EXPECT_TRUE(CheckLogChain(db).intact);
  }
}

}  // namespace
}  // namespace orvanta
