// A restore stopped by a kill at any of its file moves: the next start
// finishes it or undoes it, and the data folder then holds exactly the
// restored state or exactly the earlier one, never a first start's defaults.

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>

#include "core/app/data_folder_lock.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "core/backup/restore_backup.h"
#include "core/backup/restore_record.h"
#include "core/codelists/code_lists.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "support/backup_drive.h"
#include "support/child_process.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::DatedReport;
using testing::FileBytes;

// Renames as the system does, and kills the process just before the nth.
class KillingIo final : public BackupIo {
 public:
  explicit KillingIo(int n) : left_(n) {}
  bool rename(const QString& from, const QString& to) override {
    if (--left_ == 0) std::raise(SIGKILL);
    return BackupIo::rename(from, to);
  }

 private:
  int left_;
};

// Restores the generation "<root>|<generation>|<n>" with a kill at the nth
// rename; tells "done" when the restore ended before it.
ORVANTA_CHILD_ROLE_FUNCTION(restore_killed) {
  const QStringList parts = argument.split(QLatin1Char('|'));
  testing::ScriptedPrompts prompts;
  FixedClock clock(testing::kTestMoment.addDays(1));
  AppState state(parts[0], prompts, clock);
  QString notice;
  QString error;
  if (!state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error)) return 2;
  LoadPassword(state.login, state.paths);
  LoadIdFile(state.counters, state.paths, false, &error);
  ReadSettingsFile(state.paths.SettingsFilePath(), state.lists);
  KillingIo io(parts[2].toInt());
  WorkProgress progress;
  const RestoreResult result = RestoreBackup(state, parts[1], progress, io, 1);
  testing::TellParent(result.outcome == RestoreResult::Outcome::Restored ? "done" : "failed");
  return 0;
}

class RestoreKillTest : public ::testing::Test {
 protected:
  // A drive whose state B (after a day's work) is about to be replaced by
  // its generation A.
  struct Drive : BackupDrive {
    Drive() {
      generation = makeGeneration().generation.path;
      EXPECT_TRUE(WriteReports(2, {DatedReport(6, 2026, 12, 8)}));
      state.counters.LastReportId = 6;
      state.counters.TotalReports = 6;
      EXPECT_TRUE(WriteIdFile(state.paths.IdFilePath(), state.counters));
      state.lists[kDepartments].entries[0].name = QStringLiteral("新しい部署");
      EXPECT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
      EXPECT_TRUE(WritePasswordFile(state.paths.PasswordFilePath(), QStringLiteral("changed")));
      EXPECT_TRUE(changeSetting(QStringLiteral("due_days_ahead"), QStringLiteral("30")));
      state.database.close();
    }
    QString data() const { return state.paths.DataFolderPath(); }
    // The data folder's files but the database and the lock.
    std::map<QString, QByteArray> files() const {
      std::map<QString, QByteArray> all = FolderFiles(data());
      all.erase(QStringLiteral("orvanta.sqlite"));
      all.erase(kLockFileName);
      return all;
    }
    QString generation;
  };
};

TEST_F(RestoreKillTest, AKillAtAnyMoveIsFinishedOrUndoneByTheNextStart) {
  bool sawRestored = false;
  bool sawEarlier = false;
  bool completed = false;
  for (int n = 1; n <= 60 && !completed; ++n) {
    SCOPED_TRACE(n);
    Drive drive;
    const std::map<QString, QByteArray> earlier = drive.files();
    std::map<QString, QByteArray> restored = drive.FolderFiles(drive.generation);
    restored.erase(QStringLiteral("orvanta.sqlite"));
    restored.erase(kSummaryFileName);

    auto child = testing::StartChildRole(
        QStringLiteral("restore_killed"),
        drive.root.path() + QLatin1Char('|') + drive.generation + QLatin1Char('|') + QString::number(n));
    ASSERT_TRUE(child);
    const QByteArray said = testing::WaitForChildLine(*child, "");
    if (child->state() != QProcess::NotRunning) ASSERT_TRUE(child->waitForFinished(20000));
    if (said.startsWith("done")) {
      completed = true;
    } else {
      ASSERT_EQ(child->exitStatus(), QProcess::CrashExit) << said.toStdString();
    }

    // The next start.
    const RestoreSettlement settlement = SettleInterruptedRestore(drive.state.paths, testing::kTestMoment.addDays(2));
    ASSERT_NE(settlement.outcome, RestoreSettlement::Outcome::Stuck) << settlement.reason.toStdString();
    DecideFirstRun(drive.state.startup, drive.state.paths);
    EXPECT_FALSE(drive.state.startup.FirstRun);
    for (const QString& leftover : {kRestoreIncomingFolder, kRestoreOutgoingFolder, kRestoreRecordFile})
      EXPECT_FALSE(QFileInfo::exists(QDir(drive.data()).filePath(leftover))) << leftover.toStdString();

    const std::map<QString, QByteArray> now = drive.files();
    QString notice;
    QString error;
    ASSERT_TRUE(
        drive.state.database.open(drive.state.paths.DatabasePath(), testing::kTestMoment.addDays(2), &notice, &error))
        << error.toStdString();
    const QString days = drive.setting(QStringLiteral("due_days_ahead"));
    if (now == restored) {
      sawRestored = true;
      EXPECT_EQ(days, QStringLiteral("21"));  // the database came back with the files
      EXPECT_NE(settlement.outcome, RestoreSettlement::Outcome::RolledBack);
    } else {
      EXPECT_EQ(now, earlier);
      sawEarlier = true;
      EXPECT_EQ(days, QStringLiteral("30"));
      EXPECT_NE(settlement.outcome, RestoreSettlement::Outcome::Finished);
    }
    const QString text = RestoreSettlementText(settlement, drive.state.paths);
    if (settlement.outcome == RestoreSettlement::Outcome::Finished) {
      EXPECT_EQ(text,
                QStringLiteral("前回、バックアップからの復元が途中で止まっていたため、復元を最後まで行いました。\n"
                               "復元の前のデータは「2026/12/10 09:00:00」の世代に保存してあります。"));
    }
  }
  EXPECT_TRUE(completed);
  EXPECT_TRUE(sawRestored);
  EXPECT_TRUE(sawEarlier);
}

TEST_F(RestoreKillTest, AStopInTheMiddleIsUndoneWhenTheMovesCannotBeFinished) {
  Drive drive;
  const std::map<QString, QByteArray> earlier = drive.files();
  const QString data = drive.data();
  const QString in = QDir(data).filePath(kRestoreIncomingFolder);
  const QString out = QDir(data).filePath(kRestoreOutgoingFolder);
  // Every entry went out and set.dat's copy came in; then the copy of
  // ttid.dat went missing from the incoming folder, so the moves cannot be
  // finished.
  ASSERT_TRUE(QDir().mkpath(in));
  ASSERT_TRUE(QDir().mkpath(out));
  RestoreRecord record;
  record.goingOut = {QStringLiteral("set.dat"), QStringLiteral("data"), QStringLiteral("ttid.dat")};
  record.comingIn = {QStringLiteral("set.dat"), QStringLiteral("ttid.dat")};
  ASSERT_TRUE(WriteRestoreRecord(data, record, nullptr));
  for (const QString& name : record.goingOut)
    ASSERT_TRUE(QDir().rename(QDir(data).filePath(name), QDir(out).filePath(name)));
  ASSERT_TRUE(SaveFileAtomically(QDir(data).filePath(QStringLiteral("set.dat")), "restored", FileAccess::OwnerOnly));

  const RestoreSettlement settlement = SettleInterruptedRestore(drive.state.paths, testing::kTestMoment.addDays(2));
  EXPECT_EQ(settlement.outcome, RestoreSettlement::Outcome::RolledBack);
  EXPECT_EQ(RestoreSettlementText(settlement, drive.state.paths),
            QStringLiteral("前回、バックアップからの復元が途中で止まっていました。復元を最後まで行えなかったため、"
                           "データを復元の前の状態に戻しました。"));
  EXPECT_EQ(drive.files(), earlier);
  EXPECT_FALSE(QFileInfo::exists(in));
  EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(RestoreKillTest, WhatAStartCannotSettleStopsItAndIsNeverRemoved) {
  Drive drive;
  const QString out = QDir(drive.data()).filePath(kRestoreOutgoingFolder);
  // An older program's restore stopped after moving the data out, without a record.
  ASSERT_TRUE(QDir().mkpath(out));
  ASSERT_TRUE(
      QDir().rename(QDir(drive.data()).filePath(QStringLiteral("data")), QDir(out).filePath(QStringLiteral("data"))));
  RestoreSettlement settlement = SettleInterruptedRestore(drive.state.paths, testing::kTestMoment.addDays(2));
  EXPECT_EQ(settlement.outcome, RestoreSettlement::Outcome::Stuck);
  EXPECT_TRUE(QFileInfo(QDir(out).filePath(QStringLiteral("data"))).isDir());
  EXPECT_EQ(RestoreSettlementText(settlement, drive.state.paths),
            QStringLiteral("前回、バックアップからの復元が途中で止まっており、データを元の状態にできませんでした。\n"
                           "フォルダ「%1」に、途中で止まった復元の前のファイルが残っています。\n"
                           "データフォルダ「%2」のファイルを失わないよう、Orvantaを終了します。"
                           "フォルダの中身を確かめてから、もう一度起動してください。")
                .arg(QDir::toNativeSeparators(out), QDir::toNativeSeparators(drive.data())));

  // A record that does not read is never acted on either.
  ASSERT_TRUE(SaveFileAtomically(QDir(drive.data()).filePath(kRestoreRecordFile), "orvanta-restore 1\nphase ?\n",
                                 FileAccess::OwnerOnly));
  settlement = SettleInterruptedRestore(drive.state.paths, testing::kTestMoment.addDays(2));
  EXPECT_EQ(settlement.outcome, RestoreSettlement::Outcome::Stuck);
  EXPECT_TRUE(QFileInfo(QDir(out).filePath(QStringLiteral("data"))).isDir());

  // Names in a record are entries of the data folder, never paths.
  EXPECT_FALSE(ReadRestoreRecordBytes("orvanta-restore 1\nphase replacing\nsaved \nout ../x\n"));
  EXPECT_TRUE(ReadRestoreRecordBytes("orvanta-restore 1\r\nphase replacing\r\nsaved \r\nout data\r\nin data\r\n"));
}

}  // namespace
}  // namespace orvanta
