#include "core/app/startup.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

class IdFileStartTest : public ::testing::Test, public testing::TempDrive {
 protected:
  IdFileStartTest() : TempDrive(QDateTime(QDate(2026, 12, 10), QTime(9, 0))) {}
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.DataFolderPath()));
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
  }
  void makeDataFiles(std::initializer_list<int> numbers) {
    for (int n : numbers) ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), std::vector<ReportRecord>(1)));
  }
  void writeIdFile(const QByteArray& bytes) {
    QFile f(state.paths.IdFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
};

// A ttid.dat that lost the newest file number must not hide the data files
// that follow: the next new file would be written over one of them.
TEST_F(IdFileStartTest, NewestFileNumberCoversEveryDataFileThatFollowsWithoutAGap) {
  struct Case {
    QByteArray idFile;
    std::initializer_list<int> files;
    int newest;
  };
  const Case cases[] = {
      {" 40 \r\n 7 \r\n 1 \r\n 7 \r\n", {0, 1}, 1},        // all well: unchanged
      {" 40 \r\n", {0, 1, 2}, 2},                          // one-line file: number lost
      {" 40 \r\n 7 \r\n 5000 \r\n 7 \r\n", {0, 1, 3}, 1},  // damaged number; the gap ends the run
      {" 40 \r\n 7 \r\n 3 \r\n 7 \r\n", {0, 1}, 3},        // a larger stored number stays
  };
  for (const Case& c : cases) {
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    makeDataFiles(c.files);
    writeIdFile(c.idFile);
    state.counters = IdCounters{};
    state.startup.FirstRun = false;
    EXPECT_EQ(LoadIdFile(state.counters, state.paths, state.startup.FirstRun), IdFileOutcome::Read)
        << c.idFile.constData();
    EXPECT_EQ(state.counters.NewestFileNo, c.newest) << c.idFile.constData();
    EXPECT_EQ(state.counters.LastCodeId, 40);
  }
}

TEST_F(IdFileStartTest, FirstStartBesideExistingDataFilesWritesTheirNewestNumber) {
  makeDataFiles({0, 1});
  state.startup.FirstRun = true;
  EXPECT_EQ(LoadIdFile(state.counters, state.paths, state.startup.FirstRun), IdFileOutcome::FirstRunZero);
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  IdCounters read;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), read).ok());
  EXPECT_EQ(read.NewestFileNo, 1);
  EXPECT_EQ(read.LastCodeId, 461);  // the highest id of the default lists
}

// A read-only run reads set.dat as it is; what it cannot read gives the
// default lists in memory, and the file is neither kept aside nor replaced.
TEST_F(IdFileStartTest, ReadOnlyListsLeaveSetDatAsItIs) {
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  CodeLists own = defaults;
  own[kDepartments].entries.append(CodeEntry{QStringLiteral("救命救急センター"), QStringLiteral("99"), 900});
  const QString path = state.paths.SettingsFilePath();
  struct Case {
    const char* what;
    std::optional<QByteArray> bytes;  // none: no set.dat
    const CodeLists& lists;
    bool told;
  } cases[] = {
      {"readable", SettingsFileBytes(own), own, false},
      {"damaged", QByteArray("x\r\n"), defaults, true},
      {"missing", std::nullopt, defaults, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(path);
    if (c.bytes) ASSERT_TRUE(testing::WriteFileBytes(path, *c.bytes));
    const QStringList before = QDir(state.paths.DataFolderPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    CodeLists lists;
    QString notice;
    ReadCodeListsOnly(lists, state.paths, &notice);
    EXPECT_EQ(lists, c.lists);
    EXPECT_EQ(notice.isEmpty(), !c.told);
    if (c.told) {
      EXPECT_EQ(notice,
                QStringLiteral("設定ファイル「%1」を読み込めませんでした。部署・職種などの一覧は初期設定のものを"
                               "使います。読み取り専用で起動しているため、このファイルはそのままにしてあります。")
                    .arg(QDir::toNativeSeparators(path)));
    }
    EXPECT_EQ(QDir(state.paths.DataFolderPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    if (c.bytes) EXPECT_EQ(testing::FileBytes(path), *c.bytes);
  }
}

}  // namespace
}  // namespace orvanta
