#include "core/reports/data_file_repair.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_layout.h"
#include "core/reports/open_data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using Verdict = DataFileRecovery::Verdict;

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 30));

// Five reports with ids from firstId, texts in Japanese and marks of their
// own, so that a report or a mark read from the wrong lines shows.
std::vector<ReportRecord> FiveReports(int firstId = 1) {
  std::vector<ReportRecord> table(5);
  for (int i = 0; i < 5; ++i) {
    ReportRecord& r = table[static_cast<std::size_t>(i)];
    r.ReportId = firstId + i;
    r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(firstId + i);
    r.Notes[1] = QStringLiteral("状況%1").arg(i);
    r.AnswerIds[0] = 10 + i;
    r.Years = {2025, 2025, 0};
    r.Months = {6, 7, 0};
    r.Days = {1 + i, 2 + i, 0};
    r.Hours[0] = 9 + i;
    r.Sites[static_cast<std::size_t>(i)] = 1;
    r.Sites[static_cast<std::size_t>(40 + i)] = 1;
  }
  return table;
}

// The file's lines, changed, joined again.
QByteArray WithLines(const QByteArray& bytes, const std::function<void(QList<QByteArray>&)>& change) {
  QList<QByteArray> lines = bytes.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  change(lines);
  return lines.join('\n') + '\n';
}

constexpr int kMarksStart = 1 + 5 * datafile::kReportLines;  // 0-based line of the first mark

TEST(DataFileRecovery, FindsTheReportsAFileHoldsWhateverItsCountSays) {
  const std::vector<ReportRecord> reports = FiveReports();
  const QByteArray whole = DataFileBytes(reports);
  auto sitesCleared = [&](std::initializer_list<int> cleared) {
    std::vector<ReportRecord> out = reports;
    for (int k : cleared) out[static_cast<std::size_t>(k)].Sites.fill(0);
    return out;
  };
  struct Case {
    const char* what;
    QByteArray bytes;
    std::optional<std::int64_t> claimed;
    std::vector<ReportRecord> found;
    int incomplete = 0, withoutAllMarks = 0, leftOut = 0;
  };
  const Case cases[] = {
      {"count lowered 5 to 2", WithLines(whole, [](auto& l) { l[0] = " 2 \r"; }), 2, reports},
      {"count raised 5 to 7", WithLines(whole, [](auto& l) { l[0] = " 7 \r"; }), 7, reports},
      {"count line not a number", WithLines(whole, [](auto& l) { l[0] = "x\r"; }), std::nullopt, reports},
      // The file ends 100 lines early: report 4 has no mark, report 3 only
      // its first 62 (its marks at slots 3 and 43 are among them).
      {"body-site block cut short", WithLines(whole, [](auto& l) { l.resize(l.size() - 100); }), 5,
       [&] {
         auto out = reports;
         out[4].Sites.fill(0);
         return out;
       }(),
       0, 2},
      // The file ends inside report 3: reports 0 to 2 without any mark.
      {"cut short inside the reports", WithLines(whole, [](auto& l) { l.resize(1 + 3 * datafile::kReportLines + 20); }),
       5,
       [&] {
         auto out = sitesCleared({0, 1, 2});
         out.resize(3);
         return out;
       }(),
       1, 3},
      // Report 2's year is broken where it stands: the others keep their
      // marks, found where the layout puts them.
      {"a number line of one report broken",
       WithLines(whole, [](auto& l) { l[1 + 2 * datafile::kReportLines + datafile::YearLine(0)] = "二〇二五\r"; }),
       5,
       {reports[0], reports[1], reports[3], reports[4]},
       1,
       0},
      {"a mark that is no mark",
       WithLines(whole, [](auto& l) { l[kMarksStart + datafile::kSiteLines + 41] = " 7 \r"; }), 5,
       [&] {
         auto out = reports;
         out[1].Sites[41] = 0;
         return out;
       }(),
       0, 1},
      {"lines after the body-site block", whole + "ゴミ\r\n 3 \r\n\r\n", 5, reports, 0, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DataFileRecovery r = RecoverDataFileBytes(c.bytes);
    ASSERT_EQ(r.verdict, Verdict::Recoverable);
    EXPECT_EQ(r.claimedCount, c.claimed);
    ASSERT_EQ(r.reports.size(), c.found.size());
    for (std::size_t k = 0; k < c.found.size(); ++k) EXPECT_EQ(r.reports[k], c.found[k]) << "report " << k;
    EXPECT_EQ(r.incompleteReports, c.incomplete);
    EXPECT_EQ(r.reportsWithoutAllMarks, c.withoutAllMarks);
    EXPECT_EQ(r.linesLeftOut, c.leftOut);
    EXPECT_EQ(r.firstReportId(), c.found.front().ReportId);
    EXPECT_EQ(r.lastReportId(), c.found.back().ReportId);
  }
}

TEST(DataFileRecovery, AFileThatReadsOrHoldsNoCompleteReportIsNotMended) {
  EXPECT_EQ(RecoverDataFileBytes(DataFileBytes(FiveReports())).verdict, Verdict::Intact);
  EXPECT_EQ(RecoverDataFileBytes(" 0 \r\n").verdict, Verdict::Intact);
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"empty", ""},
      {"a count only", " 3 \r\n"},
      {"marks only", " 2 \r\n 0 \r\n 1 \r\n 0 \r\n"},
      {"text where numbers belong", "x\r\nabc\r\ndef\r\n"},
      // The first report's id then stands for the count and every report
      // block is one line off: none is complete.
      {"the count line taken out", WithLines(DataFileBytes(FiveReports()), [](auto& l) { l.removeFirst(); })},
      // Every number line of the one report broken.
      {"one report, not complete", WithLines(DataFileBytes({FiveReports()[0]}),
                                             [](auto& l) {
                                               for (int line = 0; line < datafile::kReportLines; ++line)
                                                 if (!datafile::IsTextLine(line)) l[1 + line] = "？\r";
                                             })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DataFileRecovery r = RecoverDataFileBytes(c.bytes);
    EXPECT_EQ(r.verdict, Verdict::NotRecoverable);
    EXPECT_TRUE(r.reports.empty());
  }
}

class DataFileRepairTest : public ::testing::Test, public testing::TempDrive {
 protected:
  DataFileRepairTest() : TempDrive(kNow) {}
  void SetUp() override { ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath())); }
};

// Data file 1 with its count lowered is written back whole under its own
// number, the original copied aside first; the counts and ttid.dat follow.
TEST_F(DataFileRepairTest, TheReportsFoundAreWrittenBackAndTheOriginalKept) {
  ASSERT_TRUE(WriteReports(0, FiveReports(1)));
  const std::vector<ReportRecord> second = FiveReports(6);
  const QByteArray damaged = WithLines(DataFileBytes(second), [](auto& l) { l[0] = " 2 \r"; });
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), damaged));
  state.counters.NewestFileNo = 1;
  state.counters.LastReportId = 5;
  CountDataFiles(state.dataFile, state.counters, state.paths);
  LoadNewestFile(state.dataFile, state.counters, state.paths);
  ASSERT_EQ(state.counters.TotalReports, 5);
  ASSERT_EQ(state.dataFile.CurrentFileNo, 1);
  ASSERT_EQ(state.dataFile.ReportCount(), 0);
  EXPECT_EQ(FindDamagedDataFiles(state.counters, state.paths), std::vector<int>{1});

  const DataFileRecovery found = RecoverDataFile(state.paths.DataFilePath(1));
  const DataFileRepairOutcome outcome =
      RepairDataFile(state.dataFile, state.counters, state.paths, 1, found, clock.now());
  ASSERT_TRUE(outcome.repaired);
  EXPECT_TRUE(outcome.error.isEmpty());
  EXPECT_EQ(outcome.kept, state.paths.DataFilePath(1) + QStringLiteral(".damaged-20261209-1030"));
  EXPECT_EQ(FileBytes(outcome.kept), damaged);
  EXPECT_EQ(QFileInfo(outcome.kept).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
            QFileDevice::Permissions());
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), DataFileBytes(second));
  EXPECT_TRUE(FindDamagedDataFiles(state.counters, state.paths).empty());

  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 5);
  EXPECT_EQ(state.counters.TotalReports, 10);
  EXPECT_EQ(state.counters.LastReportId, 10);
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
  EXPECT_EQ(onDisk, state.counters);
  // The file in memory was the damaged one: it holds the reports now.
  EXPECT_EQ(state.dataFile.ReportTable, second);

  // A cut-short file counted its reports already: the total stays right.
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(0), DataFileBytes(FiveReports(1)).chopped(50)));
  CountDataFiles(state.dataFile, state.counters, state.paths);
  ASSERT_EQ(state.counters.TotalReports, 10);
  EXPECT_EQ(FindDamagedDataFiles(state.counters, state.paths), std::vector<int>{0});
  ASSERT_TRUE(
      RepairDataFile(state.dataFile, state.counters, state.paths, 0, RecoverDataFile(state.paths.DataFilePath(0)), kNow)
          .repaired);
  EXPECT_EQ(state.counters.TotalReports, 10);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 5);
  EXPECT_TRUE(QFileInfo::exists(state.paths.DataFilePath(0) + QStringLiteral(".damaged-20261209-1030")));
}

}  // namespace
}  // namespace orvanta
