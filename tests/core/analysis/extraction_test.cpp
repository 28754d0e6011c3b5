#include "core/analysis/extraction.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <vector>

#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

const AnalysisPeriod kAllTime{{100, 1, 1}, {9999, 12, 31}};

constexpr int kDateCol = 0;
constexpr int kOccupationCol = 1;
constexpr int kPlaceCol = 2;
constexpr int kMonthCol = 11;
constexpr int kTimeCol = 12;
constexpr int kExperienceCol = 13;
constexpr int kDepartmentCol = 14;
constexpr int kInfectionCol = 15;
constexpr int kEmergencyCol = 16;
constexpr int kSiteCol = 17;

CodeList ListOf(std::initializer_list<std::tuple<const char16_t*, std::int32_t>> entries) {
  CodeList list;
  int code = 1;
  for (const auto& [name, id] : entries)
    list.entries.append(CodeEntry{QString::fromUtf16(name), QString::number(code++), id});
  return list;
}

CodeLists SmallLists() {
  CodeLists lists;
  lists[kOccupations] = ListOf({{u"医師", 1}, {u"看護師", 2}, {u"薬剤師", 3}});
  lists[kPlaces] = ListOf({{u"病室", 51}, {u"手術部", 52}});
  lists[kDepartments] = ListOf({{u"内科病棟", 401}});
  return lists;
}

ReportRecord Report(const QString& name, const QString& record, int y, int m, int d) {
  static std::int32_t nextId = 1;
  ReportRecord r;
  r.ReportId = nextId++;
  r.Texts[kReporterName] = name;
  r.Texts[kRecordNumber] = record;
  r.Years[0] = y;
  r.Months[0] = m;
  r.Days[0] = d;
  return r;
}

// The rows of one file's reports, made as the listing makes them.
std::vector<QStringList> RowsOf(const std::vector<ReportRecord>& table, const CodeLists& lists) {
  std::array<QString, kSiteSlots> sites;
  FillBodySiteNames(sites);
  ScannedFile file;
  EXPECT_TRUE(file.loadBytes(DataFileBytes(table), DaysOf(kAllTime)));
  const ExtractionRowMaker maker(lists, sites);
  std::vector<QStringList> rows;
  for (const ReportFacts& f : file.reports()) rows.push_back(maker.row(file, f));
  return rows;
}

QStringList RowOf(const ReportRecord& r, const CodeLists& lists = SmallLists()) {
  const std::vector<QStringList> rows = RowsOf({r}, lists);
  return rows.empty() ? QStringList() : rows.front();
}

TEST(ExtractionHeadings, AreTheEighteenColumnTitles) {
  EXPECT_EQ(
      ExtractionHeadings(),
      (QStringList{"氏名･発生年月日･カルテ番号", "職種", "発生場所", "機器の使用目的", "事故発生状況", "原因器材",
                   "事故程度", "受傷者の原因器材の使用中", "器材の汚染", "所属部署", "行為別", "発生月", "発生時刻",
                   "経験年数", "当該部署における経験年数", "患者の感染症の有無", "緊急処置時", "針刺し･切創部位"}));
}

TEST(ExtractionRow, FullReport) {
  ReportRecord r = Report(QStringLiteral("山田　花子"), QStringLiteral("K-1024"), 2004, 3, 15);
  r.Hours[0] = 9;
  r.Minutes[0] = 5;
  r.AnswerIds[kOccupations] = 2;
  r.AnswerIds[kPlaces] = 52;
  r.AnswerIds[kDepartments] = 401;
  r.Texts[kExperienceYears] = QStringLiteral(" 12");
  r.Texts[kDepartmentYears] = QStringLiteral("3.5年");
  r.Choices[2] = 2;  // HIV negative
  r.Choices[3] = 0;  // HCV unanswered
  r.Choices[4] = 1;  // HBV positive
  r.Texts[kOtherInfection] = QStringLiteral("梅毒");
  r.Choices[8] = 1;
  r.Sites[0] = 1;   // site 1
  r.Sites[13] = 1;  // site 14
  const QStringList row = RowOf(r);
  EXPECT_EQ(row, (QStringList{"山田　花子04/03/15/(月)K-1024", "看護師", "手術部", "", "", "", "", "", "", "内科病棟",
                              "", "3", " 9: 5", " 12", "3.5年", " HIV陰性 HBV陽性梅毒", "はい",
                              "/ 1右手親指外側/ 14右手親指内側"}));
}

// The cells that depend on one or two fields, one case each.
TEST(ExtractionRow, SingleCells) {
  struct Case {
    const char* what;
    std::function<void(ReportRecord&)> set;
    int col;
    QString expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"date with carries: day 0 of March", [](ReportRecord& r) { r.Days[0] = 0; }, kDateCol,
       "名04/02/29/(日)R1"},
      {"date through the two-digit window", [](ReportRecord& r) { r.Years[0] = 4; }, kDateCol, "名04/03/15/(月)R1"},
      {"date in the 1990s", [](ReportRecord& r) { r.Years[0] = 1999; r.Months[0] = 12; r.Days[0] = 31; }, kDateCol,
       "名99/12/31/(金)R1"},
      {"empty name and record number",
       [](ReportRecord& r) { r.Texts[kReporterName].clear(); r.Texts[kRecordNumber].clear(); }, kDateCol,
       "04/03/15/(月)"},
      {"month as stored, not carried", [](ReportRecord& r) { r.Days[0] = 0; }, kMonthCol, "3"},
      {"month 12", [](ReportRecord& r) { r.Months[0] = 12; }, kMonthCol, "12"},
      {"time 0:00", [](ReportRecord& r) { r.Hours[0] = 0; r.Minutes[0] = 0; }, kTimeCol, " 0: 0"},
      {"time 23:59", [](ReportRecord& r) { r.Hours[0] = 23; r.Minutes[0] = 59; }, kTimeCol, " 23: 59"},
      {"time out of range", [](ReportRecord& r) { r.Hours[0] = -1; r.Minutes[0] = 60; }, kTimeCol, "-1: 60"},
      {"experience as stored", [](ReportRecord& r) { r.Texts[kExperienceYears] = QStringLiteral("約２年"); },
       kExperienceCol, "約２年"},
      {"department experience empty", [](ReportRecord&) {}, kDepartmentCol, ""},
      {"infection: all three and another",
       [](ReportRecord& r) { r.Choices[2] = 1; r.Choices[3] = 2; r.Choices[4] = 3; r.Texts[kOtherInfection] = "MRSA"; },
       kInfectionCol, " HIV陽性 HCV陰性 HBV未検査MRSA"},
      {"infection: HIV not tested, HCV positive",
       [](ReportRecord& r) { r.Choices[2] = 3; r.Choices[3] = 1; }, kInfectionCol, " HIV未検査 HCV陽性"},
      {"infection: only the other text", [](ReportRecord& r) { r.Texts[kOtherInfection] = "梅毒"; }, kInfectionCol,
       "梅毒"},
      {"infection: nothing answered", [](ReportRecord&) {}, kInfectionCol, ""},
      {"infection: results outside 0-3 add nothing", [](ReportRecord& r) { r.Choices[2] = 4; r.Choices[4] = -1; },
       kInfectionCol, ""},
      {"emergency no", [](ReportRecord& r) { r.Choices[8] = 2; }, kEmergencyCol, "いいえ"},
      {"emergency unanswered", [](ReportRecord&) {}, kEmergencyCol, ""},
      {"emergency out of range", [](ReportRecord& r) { r.Choices[8] = 3; }, kEmergencyCol, ""},
      {"no site", [](ReportRecord&) {}, kSiteCol, ""},
      {"only site 29", [](ReportRecord& r) { r.Sites[28] = 1; }, kSiteCol, "/ 29"},
      {"sites 65 and 64, ascending", [](ReportRecord& r) { r.Sites[64] = 1; r.Sites[63] = 1; }, kSiteCol,
       "/ 64右前腕後面/ 65右腰部後面"},
      // (A mark other than 0 or 1 makes the whole file unreadable.)
      {"slots past 65 are no sites", [](ReportRecord& r) { r.Sites[70] = 1; r.Sites[80] = 1; }, kSiteCol, ""},
      {"deleted occupation entry", [](ReportRecord& r) { r.AnswerIds[kOccupations] = 4; }, kOccupationCol, ""},
      {"unanswered place", [](ReportRecord& r) { r.AnswerIds[kPlaces] = 0; }, kPlaceCol, ""},
      {"id of another list", [](ReportRecord& r) { r.AnswerIds[kPlaces] = 1; }, kPlaceCol, ""},
      // Texts of every length are kept whole beside the row.
      {"a long other infection", [](ReportRecord& r) { r.Texts[kOtherInfection] = QString(300, QChar(u'梅')); },
       kInfectionCol, QString(300, QChar(u'梅'))},
      {"a very long name and record number",
       [](ReportRecord& r) { r.Texts[kReporterName] = QString(20000, QChar(u'名')); r.Texts[kRecordNumber] = QString(130, 'K'); },
       kDateCol, QString(20000, QChar(u'名')) + "04/03/15/(月)" + QString(130, 'K')},
      {"texts after a long one", [](ReportRecord& r) { r.Texts[kExperienceYears] = QString(200, 'x'); r.Texts[kDepartmentYears] = "7"; },
       kDepartmentCol, "7"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportRecord r = Report(QStringLiteral("名"), QStringLiteral("R1"), 2004, 3, 15);
    c.set(r);
    const QStringList row = RowOf(r);
    ASSERT_EQ(row.size(), kExtractionColumns);
    EXPECT_EQ(row[c.col], c.expected);
  }
}

TEST(ExtractionRow, FirstOfTwoEntriesWithTheSameIdNamesTheCell) {
  CodeLists lists = SmallLists();
  lists[kOccupations] = ListOf({{u"医師", 1}, {u"看護師", 7}, {u"重複", 7}});
  ReportRecord r = Report(QStringLiteral("名"), QString(), 2004, 3, 15);
  r.AnswerIds[kOccupations] = 7;
  EXPECT_EQ(RowOf(r, lists)[kOccupationCol], QStringLiteral("看護師"));
}

// A collection in a temporary data folder, listed as the window lists it.
class ExtractionListingTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ExtractionListingTest() : TempDrive(QDateTime(QDate(2004, 6, 15), QTime(9, 0))) {}
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    state.lists = SmallLists();
  }
  void writeFile(int n, const std::vector<ReportRecord>& table) { ASSERT_TRUE(WriteReports(n, table)); }
  // Column 0 of every listed row.
  static QStringList FirstCells(const ExtractionListing& listing) {
    QStringList out;
    if (!listing.rows) return out;
    for (int r = 0; r < listing.rows->rowCount(); ++r) out << listing.rows->cell(r, 0);
    return out;
  }
};

TEST_F(ExtractionListingTest, ListsTheReportsOfThePeriodInFileOrderSkippingAMissingFile) {
  writeFile(0, {Report("a", "1", 2003, 6, 15), Report("b", "2", 2003, 6, 16), Report("c", "3", 2004, 1, 1)});
  // File 1 is missing.
  writeFile(2, {Report("d", "4", 2004, 6, 15), Report("e", "5", 2004, 6, 16), Report("f", "6", 2003, 12, 31)});
  const AnalysisPeriod period{{2003, 6, 16}, {2004, 6, 15}};
  const ExtractionListing listing =
      ComputeExtraction(state.paths, state.counters.NewestFileNo, state.lists, period, AxisFilter{});
  EXPECT_EQ(listing.count, 4);
  ASSERT_TRUE(listing.rows);
  ASSERT_EQ(listing.rows->rowCount(), 4);
  EXPECT_EQ(FirstCells(listing),
            (QStringList{"b03/06/16/(月)2", "c04/01/01/(木)3", "d04/06/15/(火)4", "f03/12/31/(水)6"}));
}

TEST_F(ExtractionListingTest, APeriodWithNothingListsNothing) {
  writeFile(0, {Report("a", "1", 2004, 3, 15)});
  for (const AnalysisPeriod& period :
       {AnalysisPeriod{{2004, 3, 16}, {2004, 6, 15}}, AnalysisPeriod{{2004, 3, 15}, {2004, 3, 14}}}) {
    const ExtractionListing listing =
        ComputeExtraction(state.paths, state.counters.NewestFileNo, state.lists, period, AxisFilter{});
    EXPECT_EQ(listing.count, 0);
    EXPECT_FALSE(listing.rows);
  }
}

TEST_F(ExtractionListingTest, SelectionsNarrowTheListing) {
  ReportRecord hivYes = Report("hivYes", "", 2004, 3, 15);
  hivYes.Choices[2] = 1;
  hivYes.Choices[8] = 1;
  hivYes.AnswerIds[kOccupations] = 2;
  ReportRecord hivNo = Report("hivNo", "", 2004, 3, 15);
  hivNo.Choices[2] = 1;
  hivNo.Choices[8] = 2;
  ReportRecord hcvYes = Report("hcvYes", "", 2004, 3, 15);
  hcvYes.Choices[3] = 1;
  hcvYes.Choices[8] = 1;
  hcvYes.Sites[6] = 1;  // site 7
  ReportRecord deleted = Report("deleted", "", 2004, 3, 15);
  deleted.Choices[2] = 1;
  deleted.Choices[8] = 1;
  deleted.AnswerIds[kOccupations] = 4;  // no longer in the list
  writeFile(0, {hivYes, hivNo, hcvYes, deleted});

  struct Case {
    const char* what;
    std::vector<std::pair<AnalysisAxis, int>> selections;
    QStringList names;
  };
  const std::vector<Case> cases = {
      {"everything", {}, {"hivYes", "hivNo", "hcvYes", "deleted"}},
      {"HIV陽性 and 緊急処置時 はい",
       {{AnalysisAxis::Infection, 1}, {AnalysisAxis::Emergency, 1}},
       {"hivYes", "deleted"}},
      {"site 7", {{AnalysisAxis::BodySite, 7}}, {"hcvYes"}},
      {"every occupation", {{AnalysisAxis::Occupation, 1}}, {}},
      {"看護師", {{AnalysisAxis::Occupation, 2}}, {"hivYes"}},
      {"薬剤師: not the deleted entry's report", {{AnalysisAxis::Occupation, 3}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AxisFilter filter;
    for (const auto& [axis, selection] : c.selections)
      filter.selection[static_cast<std::size_t>(AxisNumber(axis))] = selection;
    const ExtractionListing listing =
        ComputeExtraction(state.paths, state.counters.NewestFileNo, state.lists, kAllTime, filter);
    QStringList names;
    for (const QString& cell : FirstCells(listing)) names << cell.left(cell.indexOf(QLatin1Char('0')));
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(listing.count, c.names.size());
  }
}

TEST_F(ExtractionListingTest, GridHoldsHeadingRowThenReportRowsOfTheirHeights) {
  ReportRecord first = Report("a", "1", 2004, 3, 15);
  ReportRecord second = Report("b", "2", 2004, 3, 16);
  second.Sites[28] = 1;  // site 29
  writeFile(0, {first, second});
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_EQ(grid.cols(), kExtractionColumns);
  EXPECT_EQ(grid.fixedRows(), 0);  // no report row yet
  EXPECT_EQ(grid.rowHeight(0), 600);
  for (int c = 0; c < kExtractionColumns; ++c) {
    EXPECT_EQ(grid.cell(0, c), ExtractionHeadings()[c]);
    EXPECT_EQ(grid.colWidth(c), 2000);
    EXPECT_EQ(grid.colAlignment(c), GridAlignment::Center);
  }

  ShowExtraction(grid,
                 ComputeExtraction(state.paths, state.counters.NewestFileNo, state.lists, kAllTime, AxisFilter{}));
  EXPECT_EQ(grid.rows(), 3);
  EXPECT_EQ(grid.fixedRows(), 1);
  EXPECT_EQ(grid.rowHeight(1), 400);
  EXPECT_EQ(grid.rowHeight(2), 400);
  EXPECT_EQ(grid.cell(0, 17), QStringLiteral("針刺し･切創部位"));
  EXPECT_EQ(grid.cell(1, 0), QStringLiteral("a04/03/15/(月)1"));
  EXPECT_EQ(grid.cell(2, 0), QStringLiteral("b04/03/16/(火)2"));
  EXPECT_EQ(grid.cell(2, 17), QStringLiteral("/ 29"));
  EXPECT_EQ(grid.cell(2, 18), QString());  // no such column

  // A second listing replaces the first; an empty one leaves the headings.
  ShowExtraction(grid, ExtractionListing{});
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_EQ(grid.cell(0, 0), QStringLiteral("氏名･発生年月日･カルテ番号"));
}

}  // namespace
}  // namespace orvanta
