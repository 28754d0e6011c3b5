#include "core/reports/report_navigation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 30, 15));
constexpr int kMissing = -1;     // no file of that number
constexpr int kUnreadable = -2;  // a file that cannot be read

// Replaces chosen renames and removals by failures; everything else reaches
// the file system.
class FailingOps : public DataFileOps {
 public:
  std::set<int> failRenames;  // 1-based numbers of the renames that fail
  bool failRemove = false;
  int renames = 0;
  bool rename(const QString& from, const QString& to) override {
    if (failRenames.count(++renames)) return false;
    return DataFileOps::rename(from, to);
  }
  bool remove(const QString& path) override { return !failRemove && DataFileOps::remove(path); }
};

class ReportNavigationTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ReportNavigationTest() : TempDrive(kNow) {}
  void SetUp() override { ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath())); }

  // Data files 0, 1, ... with the given report counts (or kMissing,
  // kUnreadable), reports numbered on from 1, counters to match; nothing
  // loaded.
  void Collection(std::initializer_list<int> files) {
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    state.dataFile.FileRecordCounts.fill(0);
    int id = 1, n = 0;
    for (int count : files) {
      if (count == kUnreadable) {
        QFile f(state.paths.DataFilePath(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("3\r\n 1 \r\n");
      } else if (count >= 0) {
        std::vector<ReportRecord> table;
        for (int i = 0; i < count; ++i) {
          table.emplace_back();
          table.back().ReportId = id++;
        }
        ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), table));
        state.dataFile.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(count);
      }
      ++n;
    }
    state.counters.LastReportId = state.counters.TotalReports = id - 1;
    state.counters.NewestFileNo = static_cast<std::int16_t>(n - 1);
  }
  void StandAt(int fileNo, int index) {
    LoadDataFile(state.dataFile, state.paths, fileNo);
    state.dataFile.CurrentIndex = index;
  }
  // The bytes of every file of the report folder, by name.
  std::map<QString, QByteArray> Folder() const {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(state.paths.ReportFolderPath()).entryList(QDir::Files))
      files[name] = FileBytes(QDir(state.paths.ReportFolderPath()).filePath(name));
    return files;
  }
};

TEST_F(ReportNavigationTest, StepsFollowInputOrderAndPassOverFilesWithoutReports) {
  struct Case {
    std::initializer_list<int> files;
    int fileNo, index;
    Step step;
    bool moves, leaves;
    int toFile, toIndex;
  } cases[] = {
      // 0: two reports, 1 missing, 2 unreadable, 3 empty, 4: three reports.
      {{2, kMissing, kUnreadable, 0, 3}, 0, 0, Step::Previous, false, false, 0, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 0, 1, Step::Previous, true, false, 0, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 0, 0, Step::Next, true, false, 0, 1},
      {{2, kMissing, kUnreadable, 0, 3}, 0, 1, Step::Next, true, true, 4, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 4, 0, Step::Previous, true, true, 0, 1},
      {{2, kMissing, kUnreadable, 0, 3}, 4, 2, Step::Next, false, false, 0, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 4, 1, Step::First, true, true, 0, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 0, 0, Step::Last, true, true, 4, 2},
      {{2, kMissing, kUnreadable, 0, 3}, 0, 1, Step::First, true, false, 0, 0},
      {{2, kMissing, kUnreadable, 0, 3}, 4, 0, Step::Last, true, false, 4, 2},
      // Nothing before the first file with reports, nothing after the last.
      {{kMissing, 2, 1, kUnreadable}, 1, 1, Step::First, true, false, 1, 0},
      {{kMissing, 2, 1, kUnreadable}, 1, 0, Step::Previous, false, false, 0, 0},
      {{kMissing, 2, 1, kUnreadable}, 2, 0, Step::Next, false, false, 0, 0},
      {{kMissing, 2, 1, kUnreadable}, 2, 0, Step::Last, true, false, 2, 0},
      {{kMissing, 2, 1, kUnreadable}, 2, 0, Step::Previous, true, true, 1, 1},
  };
  int i = 0;
  for (const Case& c : cases) {
    Collection(c.files);
    StandAt(c.fileNo, c.index);
    StepPlan plan = PlanStep(state.dataFile, state.counters, state.paths, c.step);
    EXPECT_EQ(plan.moves, c.moves) << i;
    if (plan.moves) {
      EXPECT_EQ(plan.leavesFile, c.leaves) << i;
      EXPECT_EQ(plan.fileNo, c.toFile) << i;
      EXPECT_EQ(plan.index, c.toIndex) << i;
      ApplyStep(state.dataFile, std::move(plan));
      EXPECT_EQ(state.dataFile.CurrentFileNo, c.toFile) << i;
      EXPECT_EQ(state.dataFile.CurrentIndex, c.toIndex) << i;
      std::vector<ReportRecord> onDisk;
      ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(c.toFile), onDisk).ok()) << i;
      EXPECT_EQ(state.dataFile.ReportTable, onDisk) << i;
    }
    ++i;
  }
}

TEST_F(ReportNavigationTest, TakingAReportOutMovesTheLaterOnesDownAndKeepsTheIds) {
  Collection({3, 5});
  StandAt(1, 2);
  WithinFileDeletion d = TakeOutShownReport(state.dataFile, state.counters);
  EXPECT_FALSE(d.wasLastOfFile);
  ASSERT_EQ(state.dataFile.ReportCount(), 4);
  EXPECT_EQ(state.dataFile.ReportTable[2].ReportId, 7);  // the fourth is now third
  EXPECT_EQ(state.dataFile.CurrentIndex, 2);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 4);
  EXPECT_EQ(state.counters.TotalReports, 7);
  EXPECT_EQ(state.counters.LastReportId, 8);

  StandAt(0, 2);
  d = TakeOutShownReport(state.dataFile, state.counters);
  EXPECT_TRUE(d.wasLastOfFile);
  EXPECT_TRUE(d.newerFilesExist);
  EXPECT_EQ(state.dataFile.CurrentIndex, 1);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 2);
  EXPECT_EQ(state.counters.TotalReports, 6);
}

TEST_F(ReportNavigationTest, DeletionCasesFollowTheShownReport) {
  struct Case {
    std::initializer_list<int> files;
    int fileNo, index;
    DeletionCase expected;
  } cases[] = {
      {{5}, 0, 2, DeletionCase::WithinFile},
      {{3, 2}, 0, 2, DeletionCase::WithinFile},
      {{2, 2, 1, 2}, 2, 0, DeletionCase::OnlyReportOfFile},
      {{2, 1}, 1, 0, DeletionCase::OnlyReportOfFile},
      {{1}, 0, 0, DeletionCase::LastOfCollection},
      {{0}, 0, 0, DeletionCase::None},
  };
  for (const Case& c : cases) {
    Collection(c.files);
    StandAt(c.fileNo, c.index);
    EXPECT_EQ(ClassifyDeletion(state.dataFile, state.counters), c.expected) << c.fileNo << "/" << c.index;
  }
}

TEST_F(ReportNavigationTest, RemovingAFileRenamesTheNewerFilesDownWithTheirCounts) {
  struct Case {
    std::initializer_list<int> files;
    int remove;
    std::vector<int> after;  // per new number: the old number whose bytes it holds, or kMissing
    int newest, total;
    int shownFile, shownIndex;
    bool startNew;
  } cases[] = {
      {{2, 2, 1, 2, 2}, 2, {0, 1, 3, 4}, 3, 8, 2, 0, false},
      {{2, 1, kMissing, 2}, 1, {0, kMissing, 3}, 2, 4, 2, 0, false},  // the gap moves down
      {{2, 1, 0, kUnreadable}, 1, {0, 2, 3}, 2, 2, 0, 1, false},      // none after: the one before
      {{2, 1}, 1, {0}, 0, 2, 0, 1, false},                            // the newest file
      {{1}, 0, {}, 0, 0, 0, 0, true},                                 // counters said 2: none left
  };
  for (const Case& c : cases) {
    Collection(c.files);
    if (c.files.size() == 1) state.counters.TotalReports = 2;
    std::map<int, QByteArray> before;
    for (int n = 0; n < static_cast<int>(c.files.size()); ++n) before[n] = FileBytes(state.paths.DataFilePath(n));
    const std::vector<int> countsBefore(state.dataFile.FileRecordCounts.begin(),
                                        state.dataFile.FileRecordCounts.begin() + 5);
    StandAt(c.remove, 0);

    const FileRemovalOutcome out =
        RemoveShownReportFile(state.dataFile, state.counters, state.paths, FileSystemDataFileOps(), kNow);
    ASSERT_TRUE(out.ok) << out.error.toStdString();
    EXPECT_EQ(out.notice, QString());
    EXPECT_EQ(out.startNewReport, c.startNew);
    for (int n = 0; n < static_cast<int>(c.files.size()); ++n) {
      const bool present = n < static_cast<int>(c.after.size()) && c.after[n] != kMissing;
      EXPECT_EQ(QFile::exists(state.paths.DataFilePath(n)), present) << c.remove << " file " << n;
      if (present) {
        EXPECT_EQ(FileBytes(state.paths.DataFilePath(n)), before[c.after[n]]) << c.remove << " file " << n;
      }
      const int expectedCount = present ? countsBefore[c.after[n]] : 0;
      EXPECT_EQ(state.dataFile.FileRecordCounts[n], expectedCount) << c.remove << " count " << n;
    }
    EXPECT_EQ(QDir(state.paths.ReportFolderPath()).entryList(QDir::Files).filter(QStringLiteral("deleted")),
              QStringList());
    EXPECT_EQ(state.counters.NewestFileNo, c.newest);
    EXPECT_EQ(state.counters.TotalReports, c.total);
    EXPECT_EQ(state.dataFile.CurrentFileNo, c.shownFile);
    EXPECT_EQ(state.dataFile.CurrentIndex, c.shownIndex);
    EXPECT_EQ(state.counters.LastReportId, static_cast<int>(countsBefore[0] + countsBefore[1] + countsBefore[2] +
                                                            countsBefore[3] + countsBefore[4]));
    // The counters on disk go with the files.
    IdCounters onDisk;
    ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
    EXPECT_EQ(onDisk, state.counters);
  }
}

TEST_F(ReportNavigationTest, AFailedRenameAtAnyStepPutsEveryFileBack) {
  // Removing file 1 of four: file 1 aside, then 2 -> 1, 3 -> 2.
  const QString folder = QDir::toNativeSeparators(state.paths.ReportFolderPath());
  struct Case {
    std::set<int> fail;
    QString error;
  } cases[] = {
      {{1},
       QStringLiteral("データファイル「%1」を削除できなかったため、表示データは削除していません。")
           .arg(QDir::toNativeSeparators(state.paths.DataFilePath(1)))},
      {{2},
       QStringLiteral("データファイル「%1」の名前を「1.dat」に変更できなかったため、表示データは削除していません。")
           .arg(QDir::toNativeSeparators(state.paths.DataFilePath(2)))},
      {{3},
       QStringLiteral("データファイル「%1」の名前を「2.dat」に変更できなかったため、表示データは削除していません。")
           .arg(QDir::toNativeSeparators(state.paths.DataFilePath(3)))},
      // The undo of 2 -> 1 fails too: the user is sent to the folder.
      {{3, 4},
       QStringLiteral("データファイル「%1」の名前を「2.dat」に変更できなかったため、表示データは削除していません。\n"
                      "元の名前に戻せなかったファイルがあります。フォルダ「%2」のファイルを確認してください。")
           .arg(QDir::toNativeSeparators(state.paths.DataFilePath(3)), folder)},
  };
  for (const Case& c : cases) {
    Collection({2, 1, 2, 2});
    StandAt(1, 0);
    const auto files = Folder();
    const IdCounters counters = state.counters;
    const auto counts = state.dataFile.FileRecordCounts;
    const auto table = state.dataFile.ReportTable;
    FailingOps ops;
    ops.failRenames = c.fail;

    const FileRemovalOutcome out = RemoveShownReportFile(state.dataFile, state.counters, state.paths, ops, kNow);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, c.error);
    EXPECT_EQ(state.counters, counters);
    EXPECT_EQ(state.dataFile.FileRecordCounts, counts);
    EXPECT_EQ(state.dataFile.ReportTable, table);
    EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
    EXPECT_FALSE(QFile::exists(state.paths.IdFilePath()));
    if (c.fail.size() == 1) {
      EXPECT_EQ(Folder(), files);  // every file back under its own name
    } else {
      // Not every name came back, but every file's bytes are still there.
      std::multiset<QByteArray> was, now;
      for (const auto& [name, bytes] : files) was.insert(bytes);
      for (const auto& [name, bytes] : Folder()) now.insert(bytes);
      EXPECT_EQ(now, was);
    }
  }
}

TEST_F(ReportNavigationTest, AFileThatCannotBeRemovedOrReadIsLeftAndTold) {
  // The file moved aside cannot be removed: the deletion stands, the user
  // is told which file to remove.
  Collection({2, 1, 2});
  StandAt(1, 0);
  const QByteArray removed = FileBytes(state.paths.DataFilePath(1));
  FailingOps ops;
  ops.failRemove = true;
  FileRemovalOutcome out = RemoveShownReportFile(state.dataFile, state.counters, state.paths, ops, kNow);
  ASSERT_TRUE(out.ok);
  const QString aside = state.paths.DataFilePath(1) + QStringLiteral(".deleted");
  EXPECT_EQ(out.notice, QStringLiteral("表示データは削除しましたが、ファイル「%1」を削除できませんでした。"
                                       "このファイルは手作業で削除してください。")
                            .arg(QDir::toNativeSeparators(aside)));
  EXPECT_EQ(FileBytes(aside), removed);
  EXPECT_EQ(state.counters.NewestFileNo, 1);

  // A data file on disk that cannot be read (the report in memory is a new
  // one) may hold reports never shown: it is kept under another name.
  Collection({2, kUnreadable});
  LoadDataFile(state.dataFile, state.paths, 1);
  state.dataFile.ReportTable.emplace_back();
  state.dataFile.ReportTable.back().ReportId = 3;
  state.counters.TotalReports = 3;
  state.dataFile.CurrentIndex = 0;
  out = RemoveShownReportFile(state.dataFile, state.counters, state.paths, FileSystemDataFileOps(), kNow);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.notice, QStringLiteral("データファイル「%1」は読み込めなかったため、削除せずに「1.dat.damaged-20261209-"
                                       "1030」という名前で残しました。")
                            .arg(QDir::toNativeSeparators(state.paths.DataFilePath(1))));
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1) + QStringLiteral(".damaged-20261209-1030")),
            QByteArray("3\r\n 1 \r\n"));
  EXPECT_FALSE(QFile::exists(state.paths.DataFilePath(1)));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_EQ(state.dataFile.CurrentIndex, 1);
}

}  // namespace
}  // namespace orvanta
