#include "core/output/item_graph_csv.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "support/fixture_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kFixtures = QStringLiteral(ORVANTA_FIXTURES "/csv/item_graph/");

// The collection of tools/make_item_graph_csv_fixtures.py: its code lists,
// data files 0 and 2 (1 is missing), and the files it expects.
class ItemGraphCsvFileTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ItemGraphCsvFileTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallFixtureCollection(state, kFixtures, {0, 2}));
  }

  QByteArray Written(const ItemGraphResult& result, const ItemGraphHeading& heading) {
    const QString path = root.filePath(u"graph.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    EXPECT_TRUE(WriteItemGraphCsv(state.prompts(), state.paths, result, heading));
    EXPECT_EQ(prompts.last().text, u"ﾌｧｲﾙ処理に成功しました"_s);
    return testing::FileBytes(path);
  }
};

TEST_F(ItemGraphCsvFileTest, FilesMatchTheIndependentlyBuiltFixtures) {
  const AnalysisPeriod year{{2023, 6, 16}, {2024, 6, 15}};
  const AnalysisPeriod y2024{{2024, 1, 1}, {2024, 12, 31}};
  AxisFilter doctorsInEmergencies;
  doctorsInEmergencies.selection[0] = 1;
  doctorsInEmergencies.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  AxisFilter site1;
  site1.selection[AxisNumber(AnalysisAxis::BodySite)] = 1;
  struct Case {
    const char* fixture;
    AnalysisAxis axis;
    AnalysisPeriod period;
    AxisFilter filter;
    std::vector<std::pair<QString, QString>> conditions;
  };
  const Case cases[] = {
      {"occupation_all.csv", AnalysisAxis::Occupation, year, {}, {}},
      {"hour_all.csv", AnalysisAxis::Hour, year, {}, {}},
      {"sites_two_filters.csv",
       AnalysisAxis::BodySite,
       year,
       doctorsInEmergencies,
       {{u"職種"_s, u"医師"_s}, {u"緊急処置時"_s, u"はい"_s}}},
      {"infection_site_filter.csv",
       AnalysisAxis::Infection,
       y2024,
       site1,
       {{u"針刺し・切創部位"_s, u" 1;右手親指外側"_s}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    const ItemGraphResult result = ComputeItemGraph(state.paths, state.counters.NewestFileNo, state.lists,
                                                    BodySiteNames(), c.axis, c.period, c.filter);
    const ItemGraphHeading heading{AxisCaption(c.axis, CaptionDot::HalfWidth), c.period, c.conditions};
    QByteArray expected;
    ASSERT_TRUE(ReadWholeFile(kFixtures + QString::fromLatin1(c.fixture), expected));
    const QByteArray actual = Written(result, heading);
    EXPECT_EQ(cp932::Decode(actual), cp932::Decode(expected));  // readable when it fails
    EXPECT_EQ(actual, expected);
  }
}

TEST_F(ItemGraphCsvFileTest, NothingCountedWritesNothingAndAsksNothing) {
  const ItemGraphResult empty = ComputeItemGraph(state.paths, state.counters.NewestFileNo, state.lists, BodySiteNames(),
                                                 AnalysisAxis::Occupation, {{2030, 1, 1}, {2030, 12, 31}}, {});
  ASSERT_FALSE(empty.hasBars());
  EXPECT_FALSE(WriteItemGraphCsv(state.prompts(), state.paths, empty, {u"職種"_s, empty.period, {}}));
  EXPECT_TRUE(prompts.shown().empty());  // no dialog, no message
}

// The heading reads the window as it stands, the rows the last computation.
TEST(ItemGraphCsvText, HeadingAndRowsComeFromTheirOwnSources) {
  ItemGraphResult r;
  r.axis = AnalysisAxis::Month;
  r.counts = {0, 12};
  r.labels = {u" 1月"_s, u" 2月"_s};
  r.maximum = 12;
  r.period = {{2020, 1, 1}, {2020, 12, 31}};
  const ItemGraphHeading heading{u"発生月"_s, {{2024, 1, 1}, {2024, 3, 31}}, {{u"経験年数"_s, u"2～3年"_s}}};
  EXPECT_EQ(ItemGraphCsvText(r, heading),
            u"発生月, 2024年 1月 1日～ 2024年 3月 31日\r\n抽出条件\r\n経験年数\r\n2～3年\r\n 1月, 0\r\n 2月, 12\r\n"_s);
}

}  // namespace
}  // namespace orvanta
