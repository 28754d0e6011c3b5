// One thread against several: every computation over the data files gives
// the same result, row for row and byte for byte, whatever the number of
// threads that read the files.

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/cross_table.h"
#include "core/analysis/extraction.h"
#include "core/analysis/item_graph.h"
#include "core/analysis/result_grid_model.h"
#include "core/analysis/summary_counts.h"
#include "core/codelists/code_lists.h"
#include "core/output/csv_file.h"
#include "core/output/extraction_csv.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "core/reports/report_search.h"

namespace orvanta {
namespace {

const AnalysisPeriod kPeriod{{2003, 4, 1}, {2004, 3, 31}};
const AnalysisPeriod kAllTime{{100, 1, 1}, {9999, 12, 31}};
constexpr int kSeveral[] = {2, 3, 8};

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

QString Pick(std::mt19937& rng, std::initializer_list<const char16_t*> texts) {
  return QString::fromUtf16(texts.begin()[Uniform(rng, 0, static_cast<int>(texts.size()) - 1)]);
}

// A report with varied answers: dates around the period's ends and a few
// that cannot be formed, answer ids inside and outside the lists, results
// and hours out of range, texts empty, short, Japanese and long.
ReportRecord RandomReport(std::mt19937& rng, std::int32_t id, const CodeLists& lists) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kReporterName] = Pick(rng, {u"", u"佐藤　花子", u"鈴木太郎", u"ｻﾄｳ", u"Tanaka"});
  r.Texts[kRecordNumber] = Uniform(rng, 0, 5) == 0 ? QString() : QStringLiteral("K-%1").arg(Uniform(rng, 1, 999));
  r.Texts[kExperienceYears] = Pick(rng, {u"", u"1.9", u" 12", u"30", u"約２年", u"-3"});
  r.Texts[kDepartmentYears] = Pick(rng, {u"", u"2", u"5年", u"29.5"});
  r.Texts[kOtherInfection] = Pick(rng, {u"", u"", u"梅毒", u"MRSA"});
  if (Uniform(rng, 0, 200) == 0) r.Texts[kOtherInfection] = QString(300, QChar(u'長'));
  r.Years[0] = Uniform(rng, 2002, 2005);
  r.Months[0] = Uniform(rng, 0, 13);
  r.Days[0] = Uniform(rng, 0, 32);
  if (Uniform(rng, 0, 100) == 0) r.Years[0] = 99999;  // a date the calendar cannot form
  r.Hours[0] = Uniform(rng, -1, 24);
  r.Minutes[0] = Uniform(rng, 0, 60);
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    const CodeList& list = lists[static_cast<std::size_t>(k)];
    const int pick = Uniform(rng, 0, list.count() + 1);
    // 0: unanswered; past the end: an id no entry has.
    r.AnswerIds[static_cast<std::size_t>(k)] = pick == 0              ? 0
                                               : pick <= list.count() ? list.entries[pick - 1].id
                                                                      : 100000 + pick;
  }
  for (int c : {2, 3, 4}) r.Choices[static_cast<std::size_t>(c)] = Uniform(rng, 0, 4);
  r.Choices[8] = Uniform(rng, 0, 3);
  const int marks = Uniform(rng, 0, 4);
  for (int m = 0; m < marks; ++m) r.Sites[static_cast<std::size_t>(Uniform(rng, 0, kSiteSlots - 1))] = 1;
  return r;
}

class ScanThreadsTest : public ::testing::Test {
 protected:
  // Files 0 to 13 of a few hundred reports each; file 4 is missing, file 9
  // unreadable, file 11 empty.
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(paths.ReportFolderPath()));
    SetDefaultCodeLists(lists);
    std::mt19937 rng(20240601);
    std::int32_t id = 1;
    for (int n = 0; n <= 13; ++n) {
      if (n == 4) continue;
      std::vector<ReportRecord> table;
      const int count = n == 11 ? 0 : Uniform(rng, 150, 500);
      for (int i = 0; i < count; ++i) table.push_back(RandomReport(rng, id++, lists));
      ASSERT_TRUE(WriteDataFile(paths.DataFilePath(n), table));
      reports += count;
    }
    QFile broken(paths.DataFilePath(9));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write(" 3 \r\n 1 \r\nname\r\n");
    broken.close();
  }

  ExtractionListing extract(const AnalysisPeriod& period, const AxisFilter& filter, int threads) const {
    return ComputeExtraction(paths, kNewest, lists, period, filter, threads);
  }

  static std::vector<QStringList> RowsOf(const ExtractionListing& listing) {
    std::vector<QStringList> rows;
    if (listing.rows) {
      for (int r = 0; r < listing.rows->rowCount(); ++r) rows.push_back(listing.rows->row(r));
    }
    return rows;
  }

  static constexpr int kNewest = 13;
  QTemporaryDir root;
  const DrivePaths paths{root.path()};
  CodeLists lists;
  int reports = 0;
};

std::vector<AxisFilter> Filters() {
  std::vector<AxisFilter> filters(5);
  filters[1].selection[AxisNumber(AnalysisAxis::Infection)] = 1;
  filters[1].selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  filters[2].selection[AxisNumber(AnalysisAxis::Occupation)] = 2;
  filters[3].selection[AxisNumber(AnalysisAxis::BodySite)] = 29;
  filters[4].selection[AxisNumber(AnalysisAxis::Experience)] = 8;
  filters[4].selection[AxisNumber(AnalysisAxis::Month)] = 12;
  return filters;
}

TEST_F(ScanThreadsTest, ExtractionRowsAndCsvBytesAreTheSame) {
  ASSERT_GT(reports, 3000);
  for (const AnalysisPeriod& period : {kPeriod, kAllTime}) {
    for (const AxisFilter& filter : Filters()) {
      const ExtractionListing one = extract(period, filter, 1);
      const std::vector<QStringList> expected = RowsOf(one);
      ASSERT_EQ(one.count, static_cast<std::int64_t>(expected.size()));

      ResultGridModel oneGrid;
      PrepareExtractionGrid(oneGrid);
      ShowExtraction(oneGrid, extract(period, filter, 1));
      const QString periodText = QStringLiteral("2003年4月1日～2004年3月31");
      const std::vector<ExtractionCondition> conditions{{QStringLiteral("職種"), QStringLiteral("看護師")}};
      const QByteArray expectedCsv = ExtractionCsvBytes(periodText, conditions, oneGrid);
      // The bytes built a block at a time are those of the whole text.
      EXPECT_EQ(expectedCsv, CsvFileBytes(ExtractionCsvText(periodText, conditions, oneGrid)));

      for (const int threads : kSeveral) {
        SCOPED_TRACE(threads);
        const ExtractionListing several = extract(period, filter, threads);
        EXPECT_EQ(several.count, one.count);
        EXPECT_EQ(RowsOf(several), expected);
        ResultGridModel grid;
        PrepareExtractionGrid(grid);
        ShowExtraction(grid, extract(period, filter, threads));
        EXPECT_EQ(ExtractionCsvBytes(periodText, conditions, grid), expectedCsv);
      }
    }
  }
  // The everything listing holds reports of every readable file.
  const ExtractionListing all = extract(kAllTime, AxisFilter{}, 3);
  EXPECT_GT(all.count, reports * 8 / 10);
}

TEST_F(ScanThreadsTest, CrossTablesAreTheSame) {
  const std::vector<std::pair<AnalysisAxis, AnalysisAxis>> pairs = {
      {AnalysisAxis::Occupation, AnalysisAxis::Place},
      {AnalysisAxis::Infection, AnalysisAxis::Hour},
      {AnalysisAxis::BodySite, AnalysisAxis::Experience},
      {AnalysisAxis::Month, AnalysisAxis::BodySite},
  };
  for (const auto& [vertical, horizontal] : pairs) {
    const CrossTable one = CountCrossTable(paths, kNewest, lists, vertical, horizontal, kPeriod, 1);
    std::int64_t total = 0;
    for (int r = 1; r <= one.rows(); ++r) total += one.rowTotal(r);
    EXPECT_GT(total, 0);
    for (const int threads : kSeveral) {
      SCOPED_TRACE(threads);
      EXPECT_EQ(CountCrossTable(paths, kNewest, lists, vertical, horizontal, kPeriod, threads), one);
    }
  }
}

TEST_F(ScanThreadsTest, SummaryCountsAreTheSame) {
  for (const AxisFilter& filter : Filters()) {
    const SummaryResult one = ComputeSummary(paths, kNewest, lists, kPeriod, filter, {}, 1);
    for (const int threads : kSeveral) {
      SCOPED_TRACE(threads);
      const SummaryResult several = ComputeSummary(paths, kNewest, lists, kPeriod, filter, {}, threads);
      EXPECT_EQ(several.matching, one.matching);
      EXPECT_EQ(several.counts, one.counts);
    }
  }
  EXPECT_GT(ComputeSummary(paths, kNewest, lists, kPeriod, AxisFilter{}, {}, 2).matching, 0);
}

std::vector<std::pair<int, int>> Places(const SearchOutcome& found) {
  std::vector<std::pair<int, int>> out;
  for (const SearchHit& h : found.hits) out.emplace_back(h.fileNo, h.slot);
  return out;
}

TEST_F(ScanThreadsTest, ItemGraphCountsAreTheSame) {
  std::array<QString, kSiteSlots> sites;
  FillBodySiteNames(sites);
  for (const AnalysisAxis axis : {AnalysisAxis::Occupation, AnalysisAxis::Infection, AnalysisAxis::BodySite}) {
    for (const AxisFilter& filter : Filters()) {
      const ItemGraphResult one = ComputeItemGraph(paths, kNewest, lists, sites, axis, kPeriod, filter, 1);
      for (const int threads : kSeveral) {
        SCOPED_TRACE(threads);
        const ItemGraphResult several = ComputeItemGraph(paths, kNewest, lists, sites, axis, kPeriod, filter, threads);
        EXPECT_EQ(several.counts, one.counts);
        EXPECT_EQ(several.maximum, one.maximum);
      }
    }
    EXPECT_GT(ComputeItemGraph(paths, kNewest, lists, sites, axis, kPeriod, AxisFilter{}, 2).maximum, 0);
  }
}

TEST_F(ScanThreadsTest, SearchHitsAreTheSame) {
  const std::vector<std::pair<SearchField, QString>> searches = {
      {SearchField::ReporterName, QStringLiteral("花子")},
      {SearchField::ReporterName, QStringLiteral("ｻﾄｳ")},
      {SearchField::RecordNumber, QStringLiteral("K-1")},
      {SearchField::RecordNumber, QStringLiteral("9")},
  };
  for (const auto& [field, text] : searches) {
    const SearchOutcome one = SearchReports(paths, kNewest, field, text, 1);
    EXPECT_FALSE(one.hits.empty());
    EXPECT_EQ(one.filesSkipped, 2);  // the missing and the unreadable file
    for (const int threads : kSeveral) {
      SCOPED_TRACE(threads);
      const SearchOutcome several = SearchReports(paths, kNewest, field, text, threads);
      EXPECT_EQ(Places(several), Places(one));
      EXPECT_EQ(several.lines, one.lines);
      EXPECT_EQ(several.filesSkipped, one.filesSkipped);
    }
  }
}

// The plain scan visits the files in their order on the calling thread,
// whatever the threads.
TEST_F(ScanThreadsTest, ScanVisitsFilesInOrder) {
  std::vector<int> expectedFiles;
  std::int64_t expectedReports = 0;
  const ScanSummary one = ScanReports(
      paths, kNewest, kPeriod,
      [&](const ScannedFile& f) {
        expectedFiles.push_back(f.fileNo());
        expectedReports += static_cast<std::int64_t>(f.reports().size());
      },
      1);
  EXPECT_EQ(expectedFiles, (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 10, 11, 12, 13}));
  for (const int threads : kSeveral) {
    SCOPED_TRACE(threads);
    std::vector<int> files;
    std::int64_t inPeriod = 0;
    const ScanSummary s = ScanReports(
        paths, kNewest, kPeriod,
        [&](const ScannedFile& f) {
          files.push_back(f.fileNo());
          inPeriod += static_cast<std::int64_t>(f.reports().size());
        },
        threads);
    EXPECT_EQ(files, expectedFiles);
    EXPECT_EQ(inPeriod, expectedReports);
    EXPECT_EQ(s.filesRead, one.filesRead);
    EXPECT_EQ(s.filesSkipped, 2);
    EXPECT_EQ(s.unreadableFiles, std::vector<int>{9});
    EXPECT_EQ(s.reportsInPeriod, one.reportsInPeriod);
  }
}

// Every view's computation names the file that is there but does not read
// (9), not the missing one (4), whatever the threads.
TEST_F(ScanThreadsTest, EveryComputationNamesTheUnreadableFile) {
  const std::vector<int> expected = {9};
  std::array<QString, kSiteSlots> sites;
  FillBodySiteNames(sites);
  for (const int threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    std::vector<int> crossTable = {-1};
    CountCrossTable(paths, kNewest, lists, AnalysisAxis::Occupation, AnalysisAxis::Month, kPeriod, threads,
                    &crossTable);
    EXPECT_EQ(crossTable, expected);
    EXPECT_EQ(ComputeSummary(paths, kNewest, lists, kPeriod, AxisFilter{}, {}, threads).unreadableFiles, expected);
    EXPECT_EQ(ComputeItemGraph(paths, kNewest, lists, sites, AnalysisAxis::Occupation, kPeriod, AxisFilter{}, threads)
                  .unreadableFiles,
              expected);
    EXPECT_EQ(ComputeExtraction(paths, kNewest, lists, kPeriod, AxisFilter{}, threads).unreadableFiles, expected);
  }
}

}  // namespace
}  // namespace orvanta
