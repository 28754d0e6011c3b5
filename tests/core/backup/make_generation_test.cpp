#include "core/backup/make_generation.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QVariant>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/app/data_folder_lock.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_progress.h"
#include "core/reports/data_file.h"
#include "core/store/database.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::DatedReport;
using testing::FaultyBackupIo;
using testing::FileBytes;
using testing::kTestMoment;
using testing::StopAt;
using testing::WriteFileBytes;

struct stat Stat(const QString& path) {
  struct stat info {};
  EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
  return info;
}

QStringList Names(const std::vector<Generation>& generations) {
  QStringList names;
  for (const Generation& g : generations) names << g.name;
  return names;
}

// Leftovers of a generation that was not finished.
QStringList Unfinished(const DrivePaths& paths) {
  return QDir(paths.GenerationsFolderPath()).entryList({kMakingPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden);
}

class MakeGenerationTest : public ::testing::Test, public BackupDrive {
 protected:
  QString data() const { return state.paths.DataFolderPath(); }
  // The data folder's files as a generation holds them: all but the lock
  // and the database, which is copied through SQLite.
  std::map<QString, QByteArray> copiedFiles() const {
    std::map<QString, QByteArray> files = FolderFiles(data());
    files.erase(kLockFileName);
    files.erase(QStringLiteral("orvanta.sqlite"));
    return files;
  }
  void later(int hours = 1) { clock.set(clock.now().addSecs(hours * 3600)); }
  // Saves the file again with the same bytes: a new modification time.
  void touch(const QString& relative) {
    const QString path = QDir(data()).filePath(relative);
    ASSERT_TRUE(SaveFileAtomically(path, FileBytes(path), FileAccess::OwnerOnly));
  }
};

TEST_F(MakeGenerationTest, HoldsTheWholeDataFolderVerifiedOwnerOnlyWithoutTheLock) {
  ASSERT_TRUE(WriteFileBytes(QDir(data()).filePath(QStringLiteral("set.dat.damaged-20260101-0900")), "kept aside"));
  const GenerationResult result = makeGeneration();
  ASSERT_TRUE(result.made());
  EXPECT_EQ(result.generation.name, QStringLiteral("20261209-090000"));
  EXPECT_EQ(Names(ListGenerations(state.paths)), QStringList{QStringLiteral("20261209-090000")});
  const QString folder = result.generation.path;
  EXPECT_EQ(folder, QDir(state.paths.GenerationsFolderPath()).filePath(QStringLiteral("20261209-090000")));

  // Every file but the lock, byte for byte, and the summary beside them.
  std::map<QString, QByteArray> held = FolderFiles(folder);
  ASSERT_EQ(held.count(QStringLiteral("orvanta.sqlite")), 1u);
  ASSERT_EQ(held.count(kSummaryFileName), 1u);
  held.erase(QStringLiteral("orvanta.sqlite"));
  held.erase(kSummaryFileName);
  EXPECT_EQ(held, copiedFiles());
  EXPECT_EQ(held.count(QStringLiteral("started.dat")), 1u);
  EXPECT_EQ(held.count(QStringLiteral("data/1.dat")), 1u);

  // The database copy is whole and holds the change.
  const QString copy = QDir(folder).filePath(QStringLiteral("orvanta.sqlite"));
  QString error;
  EXPECT_TRUE(CheckDatabaseFile(copy, &error)) << error.toStdString();
  {
    Database copied;
    QString notice;
    ASSERT_TRUE(copied.open(copy, clock.now(), &notice, &error));
    QSqlQuery query(copied.connection());
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT value FROM setting WHERE key = 'due_days_ahead'")) && query.next());
    EXPECT_EQ(query.value(0).toString(), QStringLiteral("21"));
  }

  for (const QString& f : {state.paths.GenerationsFolderPath(), folder, QDir(folder).filePath(QStringLiteral("data"))})
    EXPECT_EQ(Stat(f).st_mode & 07777, 0700u) << f.toStdString();
  for (const auto& [relative, bytes] : FolderFiles(folder))
    EXPECT_EQ(Stat(QDir(folder).filePath(relative)).st_mode & 07777, 0600u) << relative.toStdString();

  const BackupSummary summary = GenerationSummary(folder);
  EXPECT_EQ(summary.reports, 5);
  EXPECT_EQ(summary.newest, (CalendarDate{2026, 11, 30}));
  EXPECT_EQ(summary.occasion, BackupOccasion::OnDemand);
  EXPECT_EQ(summary.made, clock.now());
  EXPECT_TRUE(summary.damaged.isEmpty());
}

TEST_F(MakeGenerationTest, UnchangedFilesAreLinksToThePreviousGenerationAndChangedOnesCopies) {
  const GenerationResult first = makeGeneration();
  ASSERT_TRUE(WriteReports(1, {DatedReport(4, 2026, 11, 30), DatedReport(5, 2026, 2, 2), DatedReport(6, 2026, 12, 8)}));
  later();
  FaultyBackupIo io;
  const GenerationResult second = makeGeneration(io);
  ASSERT_TRUE(second.made());
  EXPECT_EQ(second.generation.name, QStringLiteral("20261209-100000"));

  const std::map<QString, QByteArray> files = copiedFiles();
  for (const auto& [relative, bytes] : files) {
    const struct stat a = Stat(QDir(first.generation.path).filePath(relative));
    const struct stat b = Stat(QDir(second.generation.path).filePath(relative));
    EXPECT_EQ(a.st_ino == b.st_ino, relative != QStringLiteral("data/1.dat")) << relative.toStdString();
    EXPECT_EQ(FileBytes(QDir(second.generation.path).filePath(relative)), bytes) << relative.toStdString();
  }
  EXPECT_EQ(second.linkedFiles, static_cast<int>(files.size()) - 1);
  EXPECT_EQ(io.links(), second.linkedFiles);
  EXPECT_EQ(second.copiedFiles, 2);  // the changed data file and the database
  EXPECT_EQ(second.summary.reports, 6);
  EXPECT_EQ(second.summary.newest, (CalendarDate{2026, 12, 8}));

  // Where links cannot be made (another file system) every file is copied.
  later();
  FaultyBackupIo noLinks;
  noLinks.refuseLinks = true;
  const GenerationResult third = makeGeneration(noLinks);
  ASSERT_TRUE(third.made());
  EXPECT_EQ(third.linkedFiles, 0);
  for (const auto& [relative, bytes] : files) {
    EXPECT_NE(Stat(QDir(second.generation.path).filePath(relative)).st_ino,
              Stat(QDir(third.generation.path).filePath(relative)).st_ino);
    EXPECT_EQ(FileBytes(QDir(third.generation.path).filePath(relative)), bytes);
  }
}

TEST_F(MakeGenerationTest, VerificationRefusesADamagedCopyAndKeepsTheOlderGenerations) {
  const GenerationResult first = makeGeneration();
  const std::map<QString, QByteArray> before = FolderFiles(first.generation.path);
  for (const char* file : {"data/1.dat", "set.dat", "ttid.dat", "passw.dat", "started.dat"}) {
    SCOPED_TRACE(file);
    const QString relative = QString::fromLatin1(file);
    touch(relative);  // changed since the generation before: copied, not linked
    later();
    FaultyBackupIo io;
    io.damageWritesOf(relative);
    WorkProgress progress;
    const GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), {}, progress, io);
    EXPECT_EQ(result.outcome, GenerationResult::Outcome::Failed);
    EXPECT_EQ(GenerationFailureText(result),
              QStringLiteral("バックアップの世代を作成できませんでした。\n"
                             "ファイル「%1」のコピーを読み戻すと、元のファイルと一致しませんでした。\n"
                             "作りかけの世代は削除しました。これまでの世代はそのまま残っています。")
                  .arg(relative));
    EXPECT_EQ(Names(ListGenerations(state.paths)), QStringList{first.generation.name});
    EXPECT_TRUE(Unfinished(state.paths).isEmpty());
    EXPECT_EQ(FolderFiles(first.generation.path), before);
  }
}

TEST_F(MakeGenerationTest, AnEarlierCopyThatNoLongerReadsIsNotLinkedButCopiedAfresh) {
  const GenerationResult first = makeGeneration();
  // The earlier copy of data file 0 is damaged where it lies; its size and
  // time stay.
  const QString earlier = QDir(first.generation.path).filePath(QStringLiteral("data/0.dat"));
  QByteArray bytes = FileBytes(earlier);
  bytes.replace(0, 3, " x ");
  QFile file(earlier);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_EQ(file.write(bytes), bytes.size());
  file.close();
  CopyFileTime(QDir(data()).filePath(QStringLiteral("data/0.dat")), earlier);

  later();
  const GenerationResult second = makeGeneration();
  ASSERT_TRUE(second.made());
  const QString copy = QDir(second.generation.path).filePath(QStringLiteral("data/0.dat"));
  EXPECT_NE(Stat(copy).st_ino, Stat(earlier).st_ino);
  EXPECT_EQ(FileBytes(copy), FileBytes(state.paths.DataFilePath(0)));
  EXPECT_EQ(second.summary.reports, 5);
}

TEST_F(MakeGenerationTest, AFileThatDoesNotReadInTheDataFolderIsKeptAsItIsAndNamed) {
  ASSERT_TRUE(WriteFileBytes(state.paths.DataFilePath(2), " 2 \r\n 7 \r\nno number\r\n"));
  const GenerationResult result = makeGeneration();
  ASSERT_TRUE(result.made());
  EXPECT_EQ(FileBytes(QDir(result.generation.path).filePath(QStringLiteral("data/2.dat"))),
            FileBytes(state.paths.DataFilePath(2)));
  EXPECT_EQ(GenerationSummary(result.generation.path).damaged, QStringList{QStringLiteral("data/2.dat")});
  EXPECT_EQ(result.summary.reports, 5);
  EXPECT_EQ(ReportCountText(result.summary), QStringLiteral("5件（読めないファイル1個）"));
}

// A data file whose count line lies still holds complete reports: the
// restore window counts what the repair would find, and their newest date.
TEST_F(MakeGenerationTest, TheReportsOfADamagedDataFileAreCountedAsTheRepairFindsThem) {
  std::vector<ReportRecord> reports;
  for (int i = 0; i < 30; ++i) reports.push_back(DatedReport(10 + i, 2026, 12, 1 + i % 9));
  QByteArray bytes = DataFileBytes(reports);
  ASSERT_TRUE(bytes.startsWith(" 30 \r\n"));
  bytes.replace(0, 6, " 31 \r\n");  // the count line no longer fits
  ASSERT_TRUE(WriteFileBytes(state.paths.DataFilePath(2), bytes));
  const GenerationResult result = makeGeneration();
  ASSERT_TRUE(result.made());
  for (const BackupSummary& summary : {result.summary, GenerationSummary(result.generation.path)}) {
    EXPECT_EQ(summary.damaged, QStringList{QStringLiteral("data/2.dat")});
    EXPECT_EQ(ReportCountText(summary), QStringLiteral("35件（うち要修復30件）"));
    EXPECT_EQ(summary.newest, (CalendarDate{2026, 12, 9}));
  }
  // A summary written before these were counted is counted again from the copy.
  QByteArray old = FileBytes(QDir(result.generation.path).filePath(kSummaryFileName));
  old.replace(QByteArray("recoverable=30\n"), QByteArray());
  ASSERT_TRUE(WriteFileBytes(QDir(result.generation.path).filePath(kSummaryFileName), old));
  EXPECT_EQ(ReportCountText(GenerationSummary(result.generation.path)),
            QStringLiteral("35件（うち要修復30件）"));
}

TEST_F(MakeGenerationTest, ADiskThatFillsUpHalfWayLeavesEverythingElseAsItWas) {
  // Eleven generations on eleven days of one month: the next one made would
  // let the oldest go.
  for (int day = 1; day <= 12; ++day) {
    clock.set(QDateTime(QDate(2026, 11, day), QTime(9, 0)));
    makeGeneration();
  }
  const std::vector<Generation> generations = ListGenerations(state.paths);
  ASSERT_EQ(generations.size(), 11u);
  std::map<QString, std::map<QString, QByteArray>> held;
  for (const Generation& g : generations) held[g.name] = FolderFiles(g.path);

  ASSERT_TRUE(WriteReports(0, {DatedReport(1, 2026, 1, 5), DatedReport(2, 2026, 3, 1)}));
  ASSERT_TRUE(WriteReports(1, {DatedReport(4, 2026, 11, 30)}));
  const std::map<QString, QByteArray> dataFolder = FolderFiles(data());
  clock.set(kTestMoment);
  FaultyBackupIo io;
  io.fillDiskAfter(200);
  WorkProgress progress;
  GenerationOptions oneThread;
  oneThread.threads = 1;
  const GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), oneThread, progress, io);

  EXPECT_EQ(result.outcome, GenerationResult::Outcome::DiskFull);
  EXPECT_TRUE(GenerationFailureText(result).startsWith(
      QStringLiteral("ディスクの空き容量が足りないため、バックアップの世代を作成できませんでした。\n"
                     "作りかけの世代は削除しました。これまでの世代とデータはそのまま残っています。\n"
                     "ファイル「data")))
      << GenerationFailureText(result).toStdString();
  EXPECT_TRUE(Unfinished(state.paths).isEmpty());
  EXPECT_EQ(Names(ListGenerations(state.paths)), Names(generations));
  for (const Generation& g : generations) EXPECT_EQ(FolderFiles(g.path), held[g.name]) << g.name.toStdString();
  EXPECT_EQ(FolderFiles(data()), dataFolder);
}

// A file system of its own that fills up, where the machine lets the test
// make one (as root); otherwise the failing writes above stand for it.
TEST_F(MakeGenerationTest, ASmallFileSystemThatFillsUpLeavesNoGeneration) {
  const QString generations = state.paths.GenerationsFolderPath();
  ASSERT_TRUE(QDir().mkpath(generations));
  if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                  QStringLiteral("size=600k"), QStringLiteral("tmpfs"), generations}) !=
      0)
    GTEST_SKIP() << "no file system can be mounted here";
  struct Unmount {
    QString path;
    ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
  } unmount{generations};

  const GenerationResult first = makeGeneration();
  // Three full data files more than the file system holds.
  for (int n = 2; n <= 4; ++n) {
    std::vector<ReportRecord> reports;
    for (int i = 0; i < kFileCapacity; ++i) reports.push_back(DatedReport(10 + n * 1000 + i, 2026, 6, 1));
    ASSERT_TRUE(WriteReports(n, reports));
  }
  later();
  WorkProgress progress;
  const GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), {}, progress);
  EXPECT_EQ(result.outcome, GenerationResult::Outcome::DiskFull) << GenerationFailureText(result).toStdString();
  EXPECT_TRUE(GenerationFailureText(result).startsWith(QStringLiteral("ディスクの空き容量が足りないため")));
  EXPECT_EQ(Names(ListGenerations(state.paths)), QStringList{first.generation.name});
  EXPECT_TRUE(Unfinished(state.paths).isEmpty());
}

TEST_F(MakeGenerationTest, StoppedByTheUserLeavesNothing) {
  StopAt stop(3);
  const GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), {}, stop);
  EXPECT_EQ(result.outcome, GenerationResult::Outcome::Stopped);
  EXPECT_EQ(GenerationFailureText(result),
            QStringLiteral("バックアップの世代の作成を中止しました。作りかけの世代は削除しました。"));
  EXPECT_TRUE(ListGenerations(state.paths).empty());
  EXPECT_TRUE(Unfinished(state.paths).isEmpty());
}

// The program killed while a generation is being written leaves a folder
// that does not count, and the next generation clears it away.
TEST_F(MakeGenerationTest, KilledHalfWayLeavesNoGenerationThatCounts) {
  const GenerationResult first = makeGeneration();
  ASSERT_TRUE(WriteReports(0, {DatedReport(1, 2026, 1, 5)}));
  ASSERT_TRUE(WriteReports(1, {DatedReport(4, 2026, 11, 30)}));
  later();
  EXPECT_EXIT(
      {
        FaultyBackupIo io;
        io.beforeWrite = [](const QString& path) {
          if (path.endsWith(QStringLiteral("data/1.dat"))) std::raise(SIGKILL);
        };
        WorkProgress progress;
        GenerationOptions oneThread;
        oneThread.threads = 1;
        MakeGeneration(state.paths, state.database, clock.now(), oneThread, progress, io);
      },
      ::testing::KilledBySignal(SIGKILL), "");

  // What the killed program left: data file 0 already copied, no summary.
  const QStringList left = Unfinished(state.paths);
  ASSERT_EQ(left.size(), 1);
  const QString half = QDir(state.paths.GenerationsFolderPath()).filePath(left.front());
  EXPECT_TRUE(QFileInfo::exists(QDir(half).filePath(QStringLiteral("data/0.dat"))));
  EXPECT_FALSE(QFileInfo::exists(QDir(half).filePath(kSummaryFileName)));
  EXPECT_EQ(Names(ListGenerations(state.paths)), QStringList{first.generation.name});

  const GenerationResult next = makeGeneration();
  EXPECT_TRUE(Unfinished(state.paths).isEmpty());
  EXPECT_EQ(Names(ListGenerations(state.paths)), (QStringList{next.generation.name, first.generation.name}));
}

TEST_F(MakeGenerationTest, TwoGenerationsInOneSecondTakeTheNextSecond) {
  const GenerationResult first = makeGeneration();
  const GenerationResult second = makeGeneration();
  EXPECT_EQ(first.generation.name, QStringLiteral("20261209-090000"));
  EXPECT_EQ(second.generation.name, QStringLiteral("20261209-090001"));
}

}  // namespace
}  // namespace orvanta
