#include "core/backup/restore_backup.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "core/app/data_folder_lock.h"
#include "core/app/password_file.h"
#include "core/backup/backup_run.h"
#include "core/codelists/code_list_editing.h"
#include "core/codelists/code_lists.h"
#include "core/platform/work_progress.h"
#include "core/reports/data_file.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::DatedReport;
using testing::FaultyBackupIo;
using testing::FileBytes;
using testing::StopAt;
using testing::WriteFileBytes;

class RestoreBackupTest : public ::testing::Test, public BackupDrive {
 protected:
  QString data() const { return state.paths.DataFolderPath(); }
  // The data folder's files but the database (compared by its contents).
  std::map<QString, QByteArray> dataFiles() const {
    std::map<QString, QByteArray> files = FolderFiles(data());
    files.erase(QStringLiteral("orvanta.sqlite"));
    return files;
  }
  static std::map<QString, QByteArray> HeldFiles(const QString& folder) {
    std::map<QString, QByteArray> files = FolderFiles(folder);
    files.erase(QStringLiteral("orvanta.sqlite"));
    files.erase(kSummaryFileName);
    return files;
  }
  void later() { clock.set(clock.now().addSecs(3600)); }

  // Changes everything the backup holds, as a day's work would: a new data
  // file, the counters, a list entry, the password, a setting.
  void changeEverything() {
    ASSERT_TRUE(WriteReports(2, {DatedReport(6, 2026, 12, 8)}));
    state.counters.LastReportId = 6;
    state.counters.TotalReports = 6;
    ASSERT_TRUE(WriteIdFile(state.paths.IdFilePath(), state.counters));
    state.lists[kDepartments].entries[0].name = QStringLiteral("新しい部署");
    ASSERT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
    ASSERT_TRUE(WritePasswordFile(state.paths.PasswordFilePath(), QStringLiteral("changed")));
    state.login.Password = QStringLiteral("changed");
    ASSERT_TRUE(changeSetting(QStringLiteral("due_days_ahead"), QStringLiteral("30")));
    LoadNewestFile(state.dataFile, state.counters, state.paths);
  }

  RestoreResult restore(const QString& folder, BackupIo& io = SystemBackupIo()) {
    WorkProgress progress;
    return RestoreBackup(state, folder, progress, io);
  }
};

TEST_F(RestoreBackupTest, RestoresAGenerationIntoTheStateAndCanBeUndone) {
  const GenerationResult a = makeGeneration();
  const std::map<QString, QByteArray> stateA = HeldFiles(a.generation.path);
  const QByteArray lock = FileBytes(QDir(data()).filePath(kLockFileName));
  changeEverything();
  const std::map<QString, QByteArray> stateB = dataFiles();
  const IdCounters countersB = state.counters;
  const CodeLists listsB = state.lists;

  later();
  const RestoreResult result = restore(a.generation.path);
  ASSERT_EQ(result.outcome, RestoreResult::Outcome::Restored) << RestoreResultText(result, {}).toStdString();
  EXPECT_EQ(RestoreResultText(result, GenerationLabel(a.generation.made)),
            QStringLiteral("「2026/12/09 09:00:00」のバックアップから復元しました。\n"
                           "復元の前のデータは「2026/12/09 10:00:00」の世代に保存してあります。"));

  // The files are the generation's: data file 2, made after it, is gone;
  // the lock of the running program stays.
  std::map<QString, QByteArray> now = dataFiles();
  EXPECT_EQ(now.erase(kLockFileName), 1u);
  EXPECT_EQ(now, stateA);
  EXPECT_FALSE(QFileInfo::exists(state.paths.DataFilePath(2)));
  EXPECT_EQ(FileBytes(QDir(data()).filePath(kLockFileName)), lock);
  EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreIncomingFolder)));
  EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreOutgoingFolder)));

  // Everything read again, as at start-up.
  EXPECT_EQ(state.counters, (IdCounters{*HighestCodeId(state.lists), 5, 1, 5}));
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  EXPECT_EQ(state.lists, defaults);
  EXPECT_EQ(state.login.Password, QStringLiteral("secret"));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 3);
  EXPECT_EQ(state.dataFile.FileRecordCounts[2], 0);
  ASSERT_TRUE(state.database.isOpen());
  EXPECT_EQ(setting(QStringLiteral("due_days_ahead")), QStringLiteral("21"));

  // The state before the restore was kept as a generation of its own ...
  ASSERT_TRUE(result.saved.made());
  EXPECT_EQ(GenerationSummary(result.saved.generation.path).occasion, BackupOccasion::BeforeRestore);
  std::map<QString, QByteArray> savedB = stateB;
  savedB.erase(kLockFileName);
  EXPECT_EQ(HeldFiles(result.saved.generation.path), savedB);

  // ... and restoring it undoes the restore.
  later();
  const RestoreResult undo = restore(result.saved.generation.path);
  ASSERT_EQ(undo.outcome, RestoreResult::Outcome::Restored);
  EXPECT_EQ(dataFiles(), stateB);
  EXPECT_EQ(state.counters, countersB);
  EXPECT_EQ(state.lists, listsB);
  EXPECT_EQ(state.login.Password, QStringLiteral("changed"));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 2);
  EXPECT_EQ(setting(QStringLiteral("due_days_ahead")), QStringLiteral("30"));
}

TEST_F(RestoreBackupTest, RestoresTheBackupFolderToo) {
  QStringList failed;
  ASSERT_TRUE(CopyToBackupFolder(state.paths, state.database, &failed));
  std::map<QString, QByteArray> backedUp = dataFiles();
  changeEverything();
  const RestoreResult result = restore(state.paths.BackupFolderPath());
  ASSERT_EQ(result.outcome, RestoreResult::Outcome::Restored) << RestoreResultText(result, {}).toStdString();
  EXPECT_EQ(dataFiles(), backedUp);
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(setting(QStringLiteral("due_days_ahead")), QStringLiteral("21"));
}

TEST_F(RestoreBackupTest, ABackupThatDoesNotReadIsRefusedAndNothingChanges) {
  const GenerationResult a = makeGeneration();
  struct Case {
    const char* file;
    QByteArray bytes;  // empty: the file is removed
    const char* reason;
  } cases[] = {
      {"data/1.dat", " 2 \r\n 4 \r\nword\r\n", "ファイル「data/1.dat」が壊れています。"},
      {"set.dat", " 400 \r\n", "ファイル「set.dat」が壊れています。"},
      {"ttid.dat", "", "ファイル「ttid.dat」がありません。"},
      {"orvanta.sqlite", "not a database at all, but long enough to be read as one", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const QString path = QDir(a.generation.path).filePath(QString::fromLatin1(c.file));
    const QByteArray original = FileBytes(path);
    ASSERT_TRUE(QFile::remove(path));
    if (!c.bytes.isEmpty()) {
      ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    }
    const std::map<QString, QByteArray> before = dataFiles();

    const RestoreResult result = restore(a.generation.path);
    EXPECT_EQ(result.outcome, RestoreResult::Outcome::Refused);
    const QString text = RestoreResultText(result, QStringLiteral("2026/12/09 09:00:00"));
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("「2026/12/09 09:00:00」のバックアップは読めないファイルがあるため、復元できません。\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nデータは何も変わっていません。")));
    if (c.reason) {
      EXPECT_TRUE(text.contains(QString::fromUtf8(c.reason))) << text.toStdString();
    }
    EXPECT_EQ(dataFiles(), before);
    EXPECT_EQ(ListGenerations(state.paths).size(), 1u);  // no generation of the present state either
    EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreIncomingFolder)));
    ASSERT_TRUE(QFile::remove(path) || c.bytes.isEmpty());
    ASSERT_TRUE(WriteFileBytes(path, original));
  }
}

TEST_F(RestoreBackupTest, AFileDamagedWhenTheGenerationWasMadeComesBackAsItWas) {
  ASSERT_TRUE(WriteFileBytes(state.paths.DataFilePath(2), " 1 \r\nnot a report\r\n"));
  const GenerationResult a = makeGeneration();
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(2)));
  later();
  const RestoreResult result = restore(a.generation.path);
  ASSERT_EQ(result.outcome, RestoreResult::Outcome::Restored) << RestoreResultText(result, {}).toStdString();
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(2)), QByteArray(" 1 \r\nnot a report\r\n"));
}

// A rename that fails while the files are being replaced: whatever had been
// moved is moved back, the database is open again, nothing was read again.
TEST_F(RestoreBackupTest, AFailureHalfWayPutsThePresentStateBack) {
  const GenerationResult a = makeGeneration();
  changeEverything();
  const std::map<QString, QByteArray> before = dataFiles();
  const IdCounters counters = state.counters;
  // The first rename puts the generation of the present state in place; six
  // entries then go out and six come in.
  for (int failing : {2, 5, 8, 13}) {
    SCOPED_TRACE(failing);
    later();
    FaultyBackupIo io;
    io.failRename(failing);
    const RestoreResult result = restore(a.generation.path, io);
    EXPECT_EQ(result.outcome, RestoreResult::Outcome::PutBack);
    EXPECT_EQ(
        RestoreResultText(result, {}),
        QStringLiteral("ファイルを入れ替えられなかったため、復元を取りやめ、データを復元の前の状態に戻しました。"));
    EXPECT_EQ(dataFiles(), before);
    EXPECT_EQ(state.counters, counters);
    ASSERT_TRUE(state.database.isOpen());
    EXPECT_EQ(setting(QStringLiteral("due_days_ahead")), QStringLiteral("30"));
    EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreIncomingFolder)));
    EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreOutgoingFolder)));
  }

  // When the generation of the present state cannot be made, nothing is
  // replaced at all.
  later();
  FaultyBackupIo io;
  io.failRename(1);
  const RestoreResult notSaved = restore(a.generation.path, io);
  EXPECT_EQ(notSaved.outcome, RestoreResult::Outcome::NotSaved);
  EXPECT_TRUE(RestoreResultText(notSaved, {})
                  .startsWith(QStringLiteral(
                      "今のデータを世代として保存できなかったため、復元しませんでした。データは何も変わっていません。\n"
                      "バックアップの世代を作成できませんでした。")));
  EXPECT_EQ(dataFiles(), before);
}

TEST_F(RestoreBackupTest, AFullDiskOrTheUserStopsItBeforeAnythingChanges) {
  const GenerationResult a = makeGeneration();
  changeEverything();
  const std::map<QString, QByteArray> before = dataFiles();
  later();

  FaultyBackupIo io;
  io.fillDiskAfter(100);
  const RestoreResult full = restore(a.generation.path, io);
  EXPECT_EQ(full.outcome, RestoreResult::Outcome::NotReady);
  EXPECT_TRUE(full.diskFull);
  EXPECT_TRUE(RestoreResultText(full, {}).startsWith(
      QStringLiteral("ディスクの空き容量が足りないため、復元できませんでした。\n")));
  EXPECT_TRUE(RestoreResultText(full, {}).endsWith(QStringLiteral("\nデータは何も変わっていません。")));
  EXPECT_EQ(dataFiles(), before);
  EXPECT_EQ(ListGenerations(state.paths).size(), 1u);

  for (int step : {2, 10}) {  // while the backup is checked; while the present state is saved
    SCOPED_TRACE(step);
    StopAt stop(step);
    const RestoreResult stopped = RestoreBackup(state, a.generation.path, stop);
    EXPECT_EQ(stopped.outcome, RestoreResult::Outcome::Stopped);
    EXPECT_EQ(RestoreResultText(stopped, {}), QStringLiteral("復元を中止しました。データは何も変わっていません。"));
    EXPECT_EQ(dataFiles(), before);
    EXPECT_EQ(ListGenerations(state.paths).size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(kRestoreIncomingFolder)));
  }
}

}  // namespace
}  // namespace orvanta
