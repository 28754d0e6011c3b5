// The copy into ~/tonrixbu: whole or not at all, the database through
// SQLite, and folders of the data folder that are links followed.

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/backup/backup_run.h"
#include "core/backup/make_generation.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/store/database.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::DatedReport;
using testing::FileBytes;

class BackupFolderTest : public ::testing::Test, public BackupDrive {
 protected:
  QString backup() const { return state.paths.BackupFolderPath(); }
  // The setting in the backup's database copy.
  QString backedUpSetting(const QString& key) {
    Database copy;
    QString notice;
    QString error;
    EXPECT_TRUE(copy.open(QDir(backup()).filePath(QStringLiteral("orvanta.sqlite")), clock.now(), &notice, &error))
        << error.toStdString();
    QSqlQuery q(copy.connection());
    q.prepare(QStringLiteral("SELECT value FROM setting WHERE key = ?"));
    q.addBindValue(key);
    if (!q.exec() || !q.next()) return {};
    return q.value(0).toString();
  }
};

TEST_F(BackupFolderTest, AStopHalfWayLeavesTheEarlierBackupWhole) {
  QStringList failed;
  ASSERT_TRUE(CopyToBackupFolder(state.paths, state.database, &failed)) << failed.join(u',').toStdString();
  const std::map<QString, QByteArray> earlier = FolderFiles(backup());
  EXPECT_EQ(backedUpSetting(QStringLiteral("due_days_ahead")), QStringLiteral("21"));

  ASSERT_TRUE(WriteReports(2, {DatedReport(6, 2026, 12, 8)}));
  ASSERT_TRUE(changeSetting(QStringLiteral("due_days_ahead"), QStringLiteral("30")));
  for (int stopAt : {1, 2, 4}) {
    SCOPED_TRACE(stopAt);
    int files = 0;
    bool stopped = false;
    EXPECT_FALSE(CopyToBackupFolder(
        state.paths, state.database, &failed, [&] { return ++files < stopAt; }, &stopped));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(FolderFiles(backup()), earlier);
    EXPECT_FALSE(QFileInfo::exists(backup() + kBackupMakingSuffix));
  }

  // Whole, it takes the place of the earlier one at once, database included.
  ASSERT_TRUE(CopyToBackupFolder(state.paths, state.database, &failed));
  EXPECT_EQ(FolderFiles(backup()).at(QStringLiteral("data/2.dat")), FileBytes(state.paths.DataFilePath(2)));
  EXPECT_EQ(backedUpSetting(QStringLiteral("due_days_ahead")), QStringLiteral("30"));
  EXPECT_FALSE(QFileInfo::exists(backup() + kBackupMakingSuffix));
  EXPECT_EQ(QFile::permissions(backup()) & 0x0077, QFileDevice::Permissions());
}

TEST_F(BackupFolderTest, FoldersThatAreLinksAreFollowedOnceAndCopiedAsFolders) {
  // The report folder kept on another disk, and a link inside it back up to
  // the data folder (a loop).
  const QString elsewhere = root.filePath(QStringLiteral("other-disk/data"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(elsewhere).path()));
  ASSERT_TRUE(QDir().rename(state.paths.ReportFolderPath(), elsewhere));
  ASSERT_TRUE(QFile::link(elsewhere, state.paths.ReportFolderPath()));
  ASSERT_TRUE(QFile::link(state.paths.DataFolderPath(), QDir(elsewhere).filePath(QStringLiteral("loop"))));

  const GenerationResult generation = makeGeneration();
  ASSERT_TRUE(generation.made()) << generation.reason.toStdString();
  const QString heldData = QDir(generation.generation.path).filePath(QStringLiteral("data"));
  EXPECT_TRUE(QFileInfo(heldData).isDir());
  EXPECT_FALSE(QFileInfo(heldData).isSymLink());
  EXPECT_EQ(FileBytes(QDir(heldData).filePath(QStringLiteral("1.dat"))), FileBytes(state.paths.DataFilePath(1)));
  EXPECT_EQ(GenerationSummary(generation.generation.path).reports, 5);

  QStringList failed;
  ASSERT_TRUE(CopyToBackupFolder(state.paths, state.database, &failed)) << failed.join(u',').toStdString();
  const QString backedUp = QDir(backup()).filePath(QStringLiteral("data"));
  EXPECT_FALSE(QFileInfo(backedUp).isSymLink());
  EXPECT_EQ(FileBytes(QDir(backedUp).filePath(QStringLiteral("0.dat"))), FileBytes(state.paths.DataFilePath(0)));
  // The loop is met once: the data folder is not copied into itself.
  EXPECT_FALSE(QFileInfo::exists(QDir(backedUp).filePath(QStringLiteral("loop/set.dat"))));
}

}  // namespace
}  // namespace orvanta
