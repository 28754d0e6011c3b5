#include "core/analysis/cross_table.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <vector>

#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

constexpr auto kOccupation = AnalysisAxis::Occupation;
constexpr auto kHour = AnalysisAxis::Hour;
constexpr auto kMonth = AnalysisAxis::Month;
constexpr auto kInfection = AnalysisAxis::Infection;
constexpr auto kEmergency = AnalysisAxis::Emergency;
constexpr auto kSites = AnalysisAxis::BodySite;

const AnalysisPeriod kYear2024{{2024, 1, 1}, {2024, 12, 31}};

// A report of 10 May 2024 at 9 o'clock with nothing else answered.
ReportRecord Report() {
  ReportRecord r;
  r.Years[0] = 2024;
  r.Months[0] = 5;
  r.Days[0] = 10;
  r.Hours[0] = 9;
  return r;
}

// The three grids of the window, as it lays them out and fills them.
struct Grids {
  ResultGridModel table;
  ResultGridModel colTotals;
  ResultGridModel rowTotals;

  // Every text of the three grids, for comparing two computations.
  std::vector<QString> all() const {
    std::vector<QString> texts;
    for (const ResultGridModel* g : {&table, &colTotals, &rowTotals}) {
      texts.push_back(QString::number(g->rows()) + u'x' + QString::number(g->cols()));
      for (int r = 0; r < g->rows(); ++r)
        for (int c = 0; c < g->cols(); ++c) texts.push_back(g->cell(r, c));
    }
    return texts;
  }
};

class CrossTableTest : public ::testing::Test, public testing::TempDrive {
 protected:
  CrossTableTest() : TempDrive(QDateTime(QDate(2024, 12, 31), QTime(9, 0))) {
    QDir().mkpath(state.paths.ReportFolderPath());
    SetDefaultCodeLists(state.lists);
  }

  void Write(const std::vector<ReportRecord>& reports, int fileNo = 0) { ASSERT_TRUE(WriteReports(fileNo, reports)); }

  // Lays the grids out and fills them, as one computation of the window does.
  void Compute(Grids& g, AnalysisAxis vertical, AnalysisAxis horizontal, const AnalysisPeriod& period = kYear2024) {
    LayOutCrossTableGrids(g.table, g.colTotals, g.rowTotals,
                          CrossTableHeadingsOf(vertical, horizontal, state.lists, BodySiteNames()));
    FillCrossTableGrids(
        g.table, g.colTotals, g.rowTotals,
        CountCrossTable(state.paths, state.counters.NewestFileNo, state.lists, vertical, horizontal, period));
  }

  std::int32_t EntryId(int list, int category) const {
    return state.lists[static_cast<std::size_t>(list)].entries[category - 1].id;
  }
};

// Every count cell of the table that is not listed in `nonZero` reads "0".
void ExpectOnly(const ResultGridModel& table, const std::map<std::pair<int, int>, QString>& nonZero) {
  for (int r = 1; r < table.rows(); ++r) {
    for (int c = 1; c < table.cols(); ++c) {
      const auto it = nonZero.find({r, c});
      EXPECT_EQ(table.cell(r, c), it == nonZero.end() ? QStringLiteral("0") : it->second) << "cell " << r << ", " << c;
    }
  }
}

TEST_F(CrossTableTest, HeadingsSizesAndEmptyCorners) {
  Write({Report()});
  Grids g;
  Compute(g, kMonth, kHour);

  // Twelve months down, twelve two-hour bands across.
  ASSERT_EQ(g.table.rows(), 13);
  ASSERT_EQ(g.table.cols(), 13);
  EXPECT_EQ(g.table.fixedRows(), 1);
  EXPECT_EQ(g.table.fixedCols(), 1);
  EXPECT_EQ(g.table.cell(1, 0), QStringLiteral(" 1月"));
  EXPECT_EQ(g.table.cell(12, 0), QStringLiteral(" 12月"));
  EXPECT_EQ(g.table.cell(0, 1), QStringLiteral(" 0～ 2時"));
  EXPECT_EQ(g.table.cell(0, 12), QStringLiteral(" 22～ 24時"));
  EXPECT_EQ(g.table.colWidth(0), 3000);
  EXPECT_EQ(g.table.colWidth(12), 1500);
  EXPECT_EQ(g.table.rowHeight(0), 1000);
  for (int c : {0, 1, 12}) EXPECT_EQ(g.table.colAlignment(c), GridAlignment::Right) << c;

  // The column totals: two rows, the headings again (aligned left), and the
  // table's widths so every total stands under its column.
  ASSERT_EQ(g.colTotals.rows(), 2);
  ASSERT_EQ(g.colTotals.cols(), 13);
  EXPECT_EQ(g.colTotals.cell(0, 12), QStringLiteral(" 22～ 24時"));
  EXPECT_EQ(g.colTotals.colAlignment(12), GridAlignment::Left);
  for (int c : {0, 5}) EXPECT_EQ(g.colTotals.colWidth(c), g.table.colWidth(c)) << c;

  // The row totals: two columns, the row headings again (aligned left), and
  // the table's heights.
  ASSERT_EQ(g.rowTotals.rows(), 13);
  ASSERT_EQ(g.rowTotals.cols(), 2);
  EXPECT_EQ(g.rowTotals.cell(12, 0), QStringLiteral(" 12月"));
  EXPECT_EQ(g.rowTotals.colAlignment(0), GridAlignment::Left);
  for (int r : {0, 7}) EXPECT_EQ(g.rowTotals.rowHeight(r), g.table.rowHeight(r)) << r;
  EXPECT_LE(g.rowTotals.colWidth(0) + g.rowTotals.colWidth(1), 1905 - 60);

  // The May report at 9 o'clock; no grand total, corners empty.
  ExpectOnly(g.table, {{{5, 5}, "1"}});
  EXPECT_EQ(g.colTotals.cell(1, 5), "1");
  EXPECT_EQ(g.rowTotals.cell(5, 1), "1");
  for (const ResultGridModel* grid : {&g.table, &g.colTotals, &g.rowTotals}) EXPECT_EQ(grid->cell(0, 0), "");
  EXPECT_EQ(g.colTotals.cell(1, 0), "");
  EXPECT_EQ(g.rowTotals.cell(0, 1), "");
}

// The infection item puts one report into several rows; every row and column
// total is the sum of the cells shown.
TEST_F(CrossTableTest, InfectionAgainstEmergencyCountsEveryPair) {
  ReportRecord plain = Report();
  plain.Choices[2] = 2;  // HIV negative
  plain.Choices[8] = 1;  // during emergency care
  ReportRecord other = Report();
  other.Choices[4] = 3;  // HBV not tested
  other.Choices[8] = 2;
  Write({plain, other});
  Grids before;
  Compute(before, kInfection, kEmergency);
  EXPECT_EQ(before.colTotals.cell(1, 1), "1");

  ReportRecord example = Report();
  example.Choices[2] = 1;  // HIV positive
  example.Choices[3] = 2;  // HCV negative
  example.Choices[8] = 1;
  Write({plain, other, example});
  Grids after;
  Compute(after, kInfection, kEmergency);

  ASSERT_EQ(after.table.rows(), 11);
  ASSERT_EQ(after.table.cols(), 3);
  EXPECT_EQ(after.table.cell(1, 0), "HIV陽性");
  EXPECT_EQ(after.table.cell(5, 0), "HCV陰性");
  EXPECT_EQ(after.table.cell(0, 1), "緊急処置時であった");
  EXPECT_EQ(after.table.cell(0, 2), "緊急処置時でなかった");
  ExpectOnly(after.table, {{{1, 1}, "1"}, {{5, 1}, "1"}, {{2, 1}, "1"}, {{9, 2}, "1"}});
  EXPECT_EQ(after.colTotals.cell(1, 1).toInt(), before.colTotals.cell(1, 1).toInt() + 2);
  EXPECT_EQ(after.colTotals.cell(1, 2), "1");
  const std::vector<QString> rowTotals = {"1", "1", "0", "0", "1", "0", "0", "0", "1", "0"};
  for (int r = 1; r <= 10; ++r) EXPECT_EQ(after.rowTotals.cell(r, 1), rowTotals[r - 1]) << r;
}

TEST_F(CrossTableTest, SitesAgainstOccupationAndOccupationAgainstItself) {
  ReportRecord nurse = Report();
  nurse.AnswerIds[0] = EntryId(0, 2);
  nurse.Sites[3 - 1] = 1;
  nurse.Sites[7 - 1] = 1;
  ReportRecord student = Report();
  student.AnswerIds[0] = EntryId(0, 3);
  Write({nurse, student});
  Write({nurse}, 1);

  Grids g;
  Compute(g, kOccupation, kSites);
  const int entries = state.lists[0].count();
  ASSERT_EQ(g.table.rows(), entries + 1);
  ASSERT_EQ(g.table.cols(), 66);
  const CodeEntry& second = state.lists[0].entries[1];
  EXPECT_EQ(g.table.cell(2, 0), second.code + u';' + second.name);
  EXPECT_EQ(g.table.cell(0, 3), QStringLiteral(" 3") + BodySiteNames()[2]);
  ExpectOnly(g.table, {{{2, 3}, "2"}, {{2, 7}, "2"}});
  // A row total counts report-and-site pairs.
  EXPECT_EQ(g.rowTotals.cell(2, 1), "4");
  EXPECT_EQ(g.rowTotals.cell(3, 1), "0");
  EXPECT_EQ(g.colTotals.cell(1, 7), "2");

  // The same item both ways: the diagonal only.
  Compute(g, kOccupation, kOccupation);
  ExpectOnly(g.table, {{{2, 2}, "2"}, {{3, 3}, "1"}});
  EXPECT_EQ(g.rowTotals.cell(2, 1), "2");
  EXPECT_EQ(g.colTotals.cell(1, 3), "1");
}

// Reports that fall into no category of the vertical item, or lie outside the
// period, are counted nowhere.
TEST_F(CrossTableTest, WhatIsCountedNowhere) {
  ReportRecord deleted = Report();
  deleted.AnswerIds[0] = 999999;  // an entry no longer in the list
  deleted.Choices[8] = 1;
  ReportRecord counted = Report();
  counted.AnswerIds[0] = EntryId(0, 1);
  counted.Choices[8] = 2;
  Write({deleted, counted});

  struct Case {
    const char* what;
    AnalysisPeriod period;
    std::map<std::pair<int, int>, QString> nonZero;
  };
  const Case cases[] = {
      {"the deleted entry's report", kYear2024, {{{1, 2}, "1"}}},
      {"from-date after to-date", {{2024, 12, 31}, {2024, 1, 1}}, {}},
      {"a period the day after", {{2024, 5, 11}, {2024, 12, 31}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grids g;
    Compute(g, kOccupation, kEmergency, c.period);
    ExpectOnly(g.table, c.nonZero);
    EXPECT_EQ(g.colTotals.cell(1, 1), "0");
    EXPECT_EQ(g.colTotals.cell(1, 2), c.nonZero.empty() ? "0" : "1");
    for (int r = 2; r < g.rowTotals.rows(); ++r) EXPECT_EQ(g.rowTotals.cell(r, 1), "0") << r;
  }
}

// A full code list has 101 entries; its 101st is a row like the others.
TEST_F(CrossTableTest, HundredAndFirstEntryIsCounted) {
  CodeList& list = state.lists[8];
  list.entries.clear();
  for (int i = 1; i <= kCodeListCapacity; ++i)
    list.entries.push_back({QStringLiteral("部署%1").arg(i), QString::number(i), 5000 + i});
  ReportRecord last = Report();
  last.AnswerIds[8] = 5101;
  last.Sites[65 - 1] = 1;
  ReportRecord first = Report();
  first.AnswerIds[8] = 5001;
  first.Sites[1 - 1] = 1;
  Write({last, first, last});

  Grids g;
  Compute(g, AnalysisAxis::Department, kSites);
  ASSERT_EQ(g.table.rows(), 102);
  EXPECT_EQ(g.table.cell(101, 0), QStringLiteral("101;部署101"));
  ExpectOnly(g.table, {{{101, 65}, "2"}, {{1, 1}, "1"}});
  EXPECT_EQ(g.rowTotals.cell(101, 0), QStringLiteral("101;部署101"));
  EXPECT_EQ(g.rowTotals.cell(101, 1), "2");
  EXPECT_EQ(g.colTotals.cell(1, 65), "2");

  // Across as well.
  Compute(g, kSites, AnalysisAxis::Department);
  ASSERT_EQ(g.table.cols(), 102);
  EXPECT_EQ(g.table.cell(0, 101), QStringLiteral("101;部署101"));
  EXPECT_EQ(g.table.cell(65, 101), "2");
  EXPECT_EQ(g.colTotals.cell(1, 101), "2");
}

// Computing again with nothing changed shows the same, and a new layout
// leaves nothing of the last one behind.
TEST_F(CrossTableTest, RecomputingGivesTheSameGrids) {
  std::vector<ReportRecord> reports;
  for (int i = 0; i < 40; ++i) {
    ReportRecord r = Report();
    r.Hours[0] = i % 24;
    r.AnswerIds[0] = EntryId(0, 1 + i % state.lists[0].count());
    r.Sites[static_cast<std::size_t>(i % kSiteCount)] = 1;
    reports.push_back(r);
  }
  Write(reports);
  Grids g;
  Compute(g, kOccupation, kHour);
  const std::vector<QString> first = g.all();
  Compute(g, kOccupation, kHour);
  EXPECT_EQ(g.all(), first);

  Compute(g, kSites, kOccupation);
  Compute(g, kOccupation, kHour);
  EXPECT_EQ(g.all(), first);
  EXPECT_EQ(g.colTotals.colWidth(5), 1500);
  EXPECT_EQ(g.rowTotals.rowHeight(5), kDefaultGridRowHeight);
}

}  // namespace
}  // namespace orvanta
