#include "core/output/summary_csv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "core/analysis/summary_counts.h"
#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "support/fixture_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kFixtures = QStringLiteral(ORVANTA_FIXTURES "/csv/summary/");

// The collection of tools/make_summary_csv_fixtures.py: its code lists, data
// files 0 and 2 (1 is missing), and the files it expects.
class SummaryCsvFileTest : public ::testing::Test, public testing::TempDrive {
 protected:
  SummaryCsvFileTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallFixtureCollection(state, kFixtures, {0, 2}));
  }

  QByteArray Written(const AnalysisPeriod& period, const AxisFilter& filter) {
    const SummaryResult result = ComputeSummary(state.paths, state.counters.NewestFileNo, state.lists, period, filter,
                                                SelectedListTexts(filter, state.lists, BodySiteNames()));
    const QString path = root.filePath(u"summary.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    EXPECT_TRUE(WriteSummaryCsvFile(state.prompts(), state.paths, state.lists, result));
    EXPECT_EQ(prompts.last().text, u"ﾌｧｲﾙ処理に成功しました"_s);
    return testing::FileBytes(path);
  }
};

TEST_F(SummaryCsvFileTest, FilesMatchTheIndependentlyBuiltFixtures) {
  AxisFilter emergencyYes;
  emergencyYes.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  struct Case {
    const char* fixture;
    AnalysisPeriod period;
    AxisFilter filter;
  };
  const Case cases[] = {
      {"summary_one_year.csv", {{2023, 6, 16}, {2024, 6, 15}}, {}},
      {"summary_20_days.csv", {{2024, 3, 1}, {2024, 3, 20}}, {}},  // no month section
      {"summary_emergency_yes.csv", {{2023, 6, 16}, {2024, 6, 15}}, emergencyYes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    const QByteArray expected = testing::FixtureBytes(QStringLiteral("csv/summary/") + QLatin1String(c.fixture));
    const QByteArray actual = Written(c.period, c.filter);
    EXPECT_EQ(cp932::Decode(actual), cp932::Decode(expected));  // readable when it fails
    EXPECT_EQ(actual, expected);
  }
}

// The sections and the conditions line, on results made up by hand.
TEST(SummaryCsvText, SectionsFollowTheListsThePeriodAndTheCodeLists) {
  CodeLists lists;
  lists[kOccupations].entries = {CodeEntry{u"医師"_s, u"1"_s, 1}, CodeEntry{u"看護師"_s, u"2"_s, 2}};
  lists[kDepartments].entries = {CodeEntry{u"内科"_s, u"1"_s, 81}};
  std::array<QString, kSiteSlots> sites;
  FillBodySiteNames(sites);

  auto make = [](CalendarDate from, CalendarDate to) {
    SummaryResult r;
    r.period = {from, to};
    r.fromDay = SerialDay(from.year, from.month, from.day);
    r.toDay = SerialDay(to.year, to.month, to.day);
    r.captions = SummaryCaptions();
    r.matching = 3;
    return r;
  };
  auto has = [](const QString& text, const QString& line) { return text.split(u"\r\n"_s).contains(line); };

  // 31 days after the from-date: no month section; 32 days: a month section.
  const QString days31 = SummaryCsvText(make({2024, 1, 1}, {2024, 2, 1}), lists, sites);
  const QString days32 = SummaryCsvText(make({2024, 1, 1}, {2024, 2, 2}), lists, sites);
  EXPECT_FALSE(days31.contains(u"発生月"_s));
  EXPECT_TRUE(has(days32, u"発生月,01. 1月,0"_s));
  EXPECT_TRUE(has(days32, u",12. 12月,0"_s));
  // A to-date the calendar cannot form: no month section either.
  EXPECT_FALSE(SummaryCsvText(make({2024, 1, 1}, {10000, 1, 1}), lists, sites).contains(u"発生月"_s));

  // Code lists without entries give no section; the others list every entry.
  EXPECT_TRUE(has(days31, u"職種,1.医師,0"_s));
  EXPECT_TRUE(has(days31, u",2.看護師,0"_s));
  EXPECT_TRUE(has(days31, u"所属部署,1.内科,0"_s));
  EXPECT_FALSE(days31.contains(u"発生場所"_s));
  // Site 29 is its number and the point; infection ends before "その他".
  EXPECT_TRUE(has(days31, u",29.,0"_s));
  EXPECT_TRUE(has(days31, u",65.右腰部後面,0"_s));
  EXPECT_TRUE(has(days31, u",HBV未検査,0"_s));
  EXPECT_FALSE(days31.contains(u"その他"_s));
  EXPECT_TRUE(days31.endsWith(u",65.右腰部後面,0\r\n"_s));  // the writer adds the empty line

  // Restricted lists: in item order on the conditions line, their sections gone.
  SummaryResult restricted = make({2024, 1, 1}, {2024, 12, 31});
  restricted.filter.selection[0] = 2;
  restricted.selectedTexts[0] = u"看護師"_s;
  restricted.filter.selection[16] = 29;
  restricted.selectedTexts[16] = u" 29;"_s;
  restricted.filter.selection[11] = 7;
  restricted.selectedTexts[11] = u"12～14時"_s;
  const QString text = SummaryCsvText(restricted, lists, sites);
  EXPECT_TRUE(
      text.startsWith(u"トンリクスレポート集計書\r\n2024年1月1日～2024年12月31日 \r\n該当件数,3\r\n"
                      u"抽出条件,職種  看護師; 発生時刻  12～14時; 針刺し・切創部位   29;; \r\n"
                      u"分類,項目,件数\r\n発生月,01. 1月,0\r\n"_s));
  EXPECT_FALSE(text.contains(u"時刻,"_s));
  EXPECT_FALSE(text.contains(u"職種,"_s));
  EXPECT_FALSE(text.contains(u"右腰部後面"_s));
  EXPECT_TRUE(text.endsWith(u"所属部署,1.内科,0\r\n"_s));
}

}  // namespace
}  // namespace orvanta
