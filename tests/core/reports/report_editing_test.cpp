#include "core/reports/report_editing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

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

class ReportEditingTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ReportEditingTest() : TempDrive(kNow) {}
  void SetUp() override { ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath())); }

  static std::vector<ReportRecord> Reports(int count, int firstId) {
    std::vector<ReportRecord> table(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      table[static_cast<std::size_t>(i)].ReportId = firstId + i;
      table[static_cast<std::size_t>(i)].Texts[kReporterName] = QStringLiteral("報告者%1").arg(firstId + i);
    }
    return table;
  }
  // Writes data files with the given report counts, numbers the reports on
  // from 1 and sets the counters to match; the newest file is in memory.
  void Collection(std::initializer_list<int> counts) {
    int id = 1;
    int n = 0;
    for (int count : counts) {
      ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), Reports(count, id)));
      state.dataFile.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(count);
      id += count;
      ++n;
    }
    state.counters.LastReportId = id - 1;
    state.counters.TotalReports = id - 1;
    state.counters.NewestFileNo = static_cast<std::int16_t>(n - 1);
    state.dataFile.CurrentFileNo = n - 1;
    ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(n - 1), state.dataFile.ReportTable).ok());
    state.dataFile.CurrentIndex = std::max(0, state.dataFile.ReportCount() - 1);
  }

  int saves = 0;
  std::function<bool()> countingSave = [this] {
    ++saves;
    return true;
  };
};

TEST_F(ReportEditingTest, PositionLabelCountsTheFilesBeforeTheCurrentOne) {
  struct Case {
    std::vector<int> counts;
    int fileNo, index, total;
    const char* label;
  } cases[] = {
      {{12}, 0, 4, 12, " 5/ 12"},
      {{12}, 0, 11, 12, " 12/ 12"},
      {{1000, 1000, 3}, 2, 0, 2003, " 2001/ 2003"},
      {{1000, 7}, 1, 6, 1007, " 1007/ 1007"},
      {{0}, 0, 0, 0, " 1/ 0"},  // a new report not counted yet
  };
  for (const Case& c : cases) {
    state.dataFile.FileRecordCounts.fill(0);
    for (std::size_t n = 0; n < c.counts.size(); ++n)
      state.dataFile.FileRecordCounts[n] = static_cast<std::int16_t>(c.counts[n]);
    state.dataFile.CurrentFileNo = c.fileNo;
    state.dataFile.CurrentIndex = c.index;
    state.counters.TotalReports = c.total;
    EXPECT_EQ(PositionLabelText(state.dataFile, state.counters), QString::fromLatin1(c.label)) << c.label;
  }
}

TEST_F(ReportEditingTest, NewReportGoesToTheEndOfTheNewestFileWithTheNextIdAndTodaysDate) {
  Collection({3, 2});
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  EXPECT_EQ(saves, 0);  // already on the newest file: nothing to leave
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  ASSERT_EQ(state.dataFile.ReportCount(), 3);
  EXPECT_EQ(state.dataFile.CurrentIndex, 2);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 3);
  EXPECT_EQ(state.counters.TotalReports, 6);
  EXPECT_EQ(state.counters.LastReportId, 6);
  EXPECT_EQ(PositionLabelText(state.dataFile, state.counters), QStringLiteral(" 6/ 6"));

  ReportRecord expected;
  expected.ReportId = 6;
  expected.Years = {2026, 2026, 0};
  expected.Months = {12, 12, 0};
  expected.Days = {9, 9, 0};
  expected.Hours = {10, 0, 0};
  expected.Minutes = {30, 0, 0};
  EXPECT_EQ(state.dataFile.ReportTable[2], expected);
  EXPECT_EQ(state.dataFile.ReportTable[1].ReportId, 5);  // the reports before it stay
}

TEST_F(ReportEditingTest, NewReportFromAnOlderFileSavesItAndMovesToTheNewestFile) {
  Collection({3, 2});
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(0), state.dataFile.ReportTable).ok());
  state.dataFile.CurrentFileNo = 0;
  state.dataFile.CurrentIndex = 1;
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  ASSERT_EQ(state.dataFile.ReportCount(), 3);
  EXPECT_EQ(state.dataFile.ReportTable[0].ReportId, 4);  // file 1 was read from disk
  EXPECT_EQ(state.dataFile.CurrentIndex, 2);
  EXPECT_EQ(PositionLabelText(state.dataFile, state.counters), QStringLiteral(" 6/ 6"));
}

TEST_F(ReportEditingTest, TheThousandthReportStaysAndTheNextStartsANewFile) {
  Collection({5, 999});
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  EXPECT_EQ(state.dataFile.ReportCount(), 1000);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 1000);

  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  EXPECT_EQ(saves, 1);  // the full file is saved before it is left
  EXPECT_EQ(state.counters.NewestFileNo, 2);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 2);
  ASSERT_EQ(state.dataFile.ReportCount(), 1);
  EXPECT_EQ(state.dataFile.CurrentIndex, 0);
  EXPECT_EQ(state.dataFile.ReportTable[0].ReportId, 1006);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 1000);
  EXPECT_EQ(state.dataFile.FileRecordCounts[2], 1);
  EXPECT_EQ(state.counters.TotalReports, 1006);
  EXPECT_EQ(PositionLabelText(state.dataFile, state.counters), QStringLiteral(" 1006/ 1006"));
}

// A newest data file that does not read stays under its number, untouched:
// the new report starts the next file, from the file in memory or from an
// older one. A file that reads although cut short takes the new report.
TEST_F(ReportEditingTest, ANewReportPassesOverANewestFileThatDoesNotRead) {
  for (const int startFrom : {1, 0}) {
    SCOPED_TRACE(startFrom);
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    Collection({3, 4});
    QByteArray damaged = FileBytes(state.paths.DataFilePath(1));
    damaged.replace(0, 5, " 2 \r\n");  // the count line " 4 " lowered
    ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), damaged));
    CountDataFiles(state.dataFile, state.counters, state.paths);
    ASSERT_EQ(state.counters.TotalReports, 3);
    LoadDataFile(state.dataFile, state.paths, startFrom);
    EXPECT_TRUE(NewReportPassesOverNewestFile(state.dataFile, state.counters, state.paths));

    ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave),
              NewReportOutcome::Created);
    EXPECT_EQ(state.counters.NewestFileNo, 2);
    EXPECT_EQ(state.dataFile.CurrentFileNo, 2);
    ASSERT_EQ(state.dataFile.ReportCount(), 1);
    EXPECT_EQ(state.dataFile.ReportTable[0].ReportId, 8);  // past every id of the damaged file
    EXPECT_EQ(state.dataFile.FileRecordCounts[1], 0);
    EXPECT_EQ(state.dataFile.FileRecordCounts[2], 1);
    EXPECT_EQ(state.counters.TotalReports, 4);
    EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), damaged);
    EXPECT_FALSE(NewReportPassesOverNewestFile(state.dataFile, state.counters, state.paths));
  }

  // Cut short in its body-site block, the file reads: the report joins it.
  Collection({3, 4});
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), FileBytes(state.paths.DataFilePath(1)).chopped(25)));
  LoadNewestFile(state.dataFile, state.counters, state.paths);
  EXPECT_FALSE(NewReportPassesOverNewestFile(state.dataFile, state.counters, state.paths));
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(state.dataFile.ReportCount(), 5);
}

TEST_F(ReportEditingTest, NoNewReportWhenTheLastPossibleFileIsFullOrTheSaveFails) {
  // Data file 1000 holding 1000 reports: the collection cannot grow.
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(kMaxFileNo), Reports(1000, 5000)));
  state.counters.NewestFileNo = kMaxFileNo;
  state.dataFile.CurrentFileNo = kMaxFileNo;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(kMaxFileNo), state.dataFile.ReportTable).ok());
  state.dataFile.CurrentIndex = 10;
  state.counters.LastReportId = 5999;
  state.counters.TotalReports = 1000;
  state.dataFile.FileRecordCounts[kMaxFileNo] = 1000;
  const IdCounters before = state.counters;
  EXPECT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave),
            NewReportOutcome::CollectionFull);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(state.counters, before);
  EXPECT_EQ(state.dataFile.ReportCount(), 1000);
  EXPECT_EQ(state.dataFile.CurrentIndex, 10);
  EXPECT_EQ(state.dataFile.FileRecordCounts[kMaxFileNo], 1000);

  // A full file that cannot be saved is not left: nothing changes.
  Collection({1000});
  const IdCounters counters = state.counters;
  const auto table = state.dataFile.ReportTable;
  EXPECT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, [] { return false; }),
            NewReportOutcome::SaveFailed);
  EXPECT_EQ(state.counters, counters);
  EXPECT_EQ(state.dataFile.ReportTable, table);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);

  // Neither is an older file whose save fails.
  Collection({2, 1});
  state.dataFile.CurrentFileNo = 0;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(0), state.dataFile.ReportTable).ok());
  EXPECT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, [] { return false; }),
            NewReportOutcome::SaveFailed);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.counters.TotalReports, 3);
}

TEST_F(ReportEditingTest, AnUnsavedNewReportTakenBackRestoresTheCounters) {
  Collection({2});
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  const std::int32_t newId = state.dataFile.ReportTable.back().ReportId;
  EXPECT_EQ(DropUnsavedNewReports(state.dataFile, state.counters, state.paths, {newId}), 1);
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.counters.TotalReports, 2);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 2);
  EXPECT_EQ(state.dataFile.CurrentIndex, 1);
  EXPECT_EQ(state.counters.LastReportId, 3);  // ids are never given twice
  EXPECT_EQ(DropUnsavedNewReports(state.dataFile, state.counters, state.paths, {newId}), 0);

  // A new file that only the new report had started goes away with it.
  Collection({1000});
  ASSERT_EQ(StartNewReport(state.dataFile, state.counters, state.paths, kNow, countingSave), NewReportOutcome::Created);
  ASSERT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(
      DropUnsavedNewReports(state.dataFile, state.counters, state.paths, {state.dataFile.ReportTable.back().ReportId}),
      1);
  EXPECT_EQ(state.counters.NewestFileNo, 0);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_EQ(state.dataFile.ReportCount(), 1000);
  EXPECT_EQ(state.dataFile.CurrentIndex, 999);
  EXPECT_EQ(state.counters.TotalReports, 1000);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 0);
}

TEST_F(ReportEditingTest, SavingWritesTheCountersAndTheDataFile) {
  Collection({2});
  state.dataFile.ReportTable[1].Texts[kReporterName] = QStringLiteral("変更後");
  state.counters.LastCodeId = 470;
  const ReportSaveOutcome saved = SaveReportFile(state.dataFile, state.counters, state.paths, kNow);
  EXPECT_TRUE(saved.ok());
  EXPECT_TRUE(saved.notice.isEmpty());
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), DataFileBytes(state.dataFile.ReportTable));
  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 2 \r\n 0 \r\n 2 \r\n"));
}

TEST_F(ReportEditingTest, AnUnreadableDataFileIsKeptUnderANewNameBeforeItIsWrittenOver) {
  const QByteArray damaged("3\r\n 1 \r\nabc\r\n");  // cut short in its first report
  QFile f(state.paths.DataFilePath(0));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(damaged);
  f.close();
  state.dataFile.ReportTable = Reports(1, 9);

  const QString kept = state.paths.DataFilePath(0) + QStringLiteral(".damaged-20261209-1030");
  const ReportSaveOutcome saved = SaveReportFile(state.dataFile, state.counters, state.paths, kNow);
  ASSERT_TRUE(saved.ok()) << saved.error.toStdString();
  EXPECT_EQ(saved.notice, QStringLiteral("データファイル「%1」は読み込めなかったため、上書きせずに「0.dat.damaged-"
                                         "20261209-1030」という名前で残しました。")
                              .arg(QDir::toNativeSeparators(state.paths.DataFilePath(0))));
  EXPECT_EQ(FileBytes(kept), damaged);
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), DataFileBytes(state.dataFile.ReportTable));

  // A second damaged file in the same minute gets a name of its own.
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("x\r\n");
  f.close();
  EXPECT_TRUE(SaveReportFile(state.dataFile, state.counters, state.paths, kNow).ok());
  EXPECT_EQ(FileBytes(kept + QStringLiteral("-2")), QByteArray("x\r\n"));
  EXPECT_EQ(FileBytes(kept), damaged);
}

TEST_F(ReportEditingTest, AFailedSaveNamesTheFileAndLeavesMemoryAndCountersAlone) {
  Collection({2});
  ASSERT_TRUE(WriteIdFile(state.paths.IdFilePath(), state.counters));
  const QByteArray idBefore = FileBytes(state.paths.IdFilePath());
  // A folder where data file 1 should be: it cannot be written.
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFilePath(1)));
  state.dataFile.CurrentFileNo = 1;
  state.dataFile.ReportTable = Reports(1, 3);
  state.counters.TotalReports = 3;
  const auto table = state.dataFile.ReportTable;
  const ReportSaveOutcome saved = SaveReportFile(state.dataFile, state.counters, state.paths, kNow);
  EXPECT_FALSE(saved.ok());
  EXPECT_FALSE(saved.dataFileSaved);
  EXPECT_TRUE(saved.error.startsWith(QStringLiteral("ファイル「%1」を書き込めませんでした。")
                                         .arg(QDir::toNativeSeparators(state.paths.DataFilePath(1)))))
      << saved.error.toStdString();
  EXPECT_EQ(state.dataFile.ReportTable, table);
  // The counters are saved first, so a stop between the two saves skips an
  // id rather than giving it twice: they are on disk although the data file
  // failed.
  EXPECT_NE(FileBytes(state.paths.IdFilePath()), idBefore);
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
  EXPECT_EQ(onDisk, state.counters);
  EXPECT_TRUE(saved.idFileSaved);

  // When the counters cannot be saved, the data file is not written either.
  ASSERT_TRUE(QDir().rmdir(state.paths.DataFilePath(1)));
  ASSERT_TRUE(QFile::remove(state.paths.IdFilePath()));
  ASSERT_TRUE(QDir().mkpath(state.paths.IdFilePath()));
  const ReportSaveOutcome noCounters = SaveReportFile(state.dataFile, state.counters, state.paths, kNow);
  EXPECT_FALSE(noCounters.idFileSaved);
  EXPECT_FALSE(noCounters.dataFileSaved);
  EXPECT_TRUE(noCounters.error.contains(QStringLiteral("ttid.dat"))) << noCounters.error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(state.paths.DataFilePath(1)));
}

TEST_F(ReportEditingTest, QuestionFiveClosesThePatientBlockUnlessTheAnswerIsYes) {
  for (int option : {0, 1, 2}) {
    ReportRecord r;
    r.Choices = {1, 1, 1, 2, 3, 1, 0, 0, 0, 0, 0};
    r.Texts[kOtherInfection] = QStringLiteral("梅毒");
    r.Texts[kPatientRecordNumber] = QStringLiteral("P-1");
    r.Texts[kPatientName] = QStringLiteral("患者");
    const bool open = ApplyPatientKnownAnswer(r, option);
    EXPECT_EQ(open, option == 0);
    EXPECT_EQ(r.Choices[1], option + 1);
    const bool kept = option == 0;
    EXPECT_EQ(r.Choices[2], kept ? 1 : 0) << option;
    EXPECT_EQ(r.Choices[3], kept ? 2 : 0) << option;
    EXPECT_EQ(r.Choices[4], kept ? 3 : 0) << option;
    EXPECT_EQ(r.Texts[kOtherInfection], kept ? QStringLiteral("梅毒") : QString()) << option;
    EXPECT_EQ(r.Texts[kPatientRecordNumber], QStringLiteral("P-1"));
    EXPECT_EQ(r.Texts[kPatientName], QStringLiteral("患者"));
    EXPECT_EQ(r.Choices[5], 1);  // other questions stay
  }
}

TEST_F(ReportEditingTest, StoredFieldTextsHoldNoCommaAndOnlyWhatTheCodePageCanHold) {
  struct Case {
    QString typed, stored;
  } cases[] = {
      {QStringLiteral("山田,花子"), QStringLiteral("山田花子")},
      {QStringLiteral("山田，花子"), QStringLiteral("山田花子")},
      {QStringLiteral("髙橋😀①ｶﾅ"), QStringLiteral("髙橋①ｶﾅ")},
      {QStringLiteral(" \"K-1\" "), QStringLiteral(" \"K-1\" ")},
  };
  for (const Case& c : cases) EXPECT_EQ(StorableLineText(c.typed), c.stored) << c.typed.toStdString();
}

TEST_F(ReportEditingTest, ADateStoredAsZeroShowsToday) {
  const QDate today(2026, 12, 9);
  struct Case {
    int y, m, d;
    ShownDate shown;
  } cases[] = {
      {0, 0, 0, {2026, 12, 9}},
      {2020, 0, 15, {2020, 12, 15}},
      {0, 3, 0, {2026, 3, 9}},
      {2024, 2, 29, {2024, 2, 29}},
  };
  for (const Case& c : cases) {
    const ShownDate s = DateShownFor(c.y, c.m, c.d, today);
    EXPECT_EQ(s.year, c.shown.year);
    EXPECT_EQ(s.month, c.shown.month);
    EXPECT_EQ(s.day, c.shown.day);
  }
  ReportRecord r;
  r.Years = {2020, 0, 0};
  r.Months = {0, 0, 0};
  r.Days = {0, 31, 0};
  StoreMissingDateParts(r, 1, today);
  StoreMissingDateParts(r, 0, today);
  EXPECT_EQ(r.Years, (std::array<std::int32_t, 3>{2020, 2026, 0}));
  EXPECT_EQ(r.Months, (std::array<std::int32_t, 3>{12, 12, 0}));
  EXPECT_EQ(r.Days, (std::array<std::int32_t, 3>{9, 31, 0}));
}

}  // namespace
}  // namespace orvanta
