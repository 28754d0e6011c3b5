#include "core/analysis/graph_series.h"

#include <gtest/gtest.h>

#include "core/codelists/code_lists.h"
#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

class GraphSeriesTest : public ::testing::Test {
 protected:
  GraphSeriesTest() {
    SetDefaultCodeLists(lists);
    FillBodySiteNames(sites);
  }
  CodeLists lists;
  std::array<QString, kSiteSlots> sites;
};

TEST_F(GraphSeriesTest, CategoriesDrawnPerItem) {
  struct Case {
    AnalysisAxis axis;
    int count;
    int at;  // category index (from 0)
    QString label;
  };
  const Case cases[] = {
      {AnalysisAxis::Occupation, static_cast<int>(lists[0].count()), 0, lists[0].entries[0].name},
      {AnalysisAxis::Department, static_cast<int>(lists[8].count()), 1, lists[8].entries[1].name},
      {AnalysisAxis::Month, 12, 0, u" 1月"_s},
      {AnalysisAxis::Month, 12, 11, u" 12月"_s},
      {AnalysisAxis::Hour, 12, 0, u" 0時～ 2時"_s},
      {AnalysisAxis::Hour, 12, 6, u" 12時～ 14時"_s},  // hours 12 and 13: the seventh bar
      {AnalysisAxis::Hour, 12, 11, u" 22時～ 24時"_s},
      {AnalysisAxis::Experience, 8, 7, u"30年以上"_s},
      {AnalysisAxis::DepartmentExperience, 8, 0, u"0～1年"_s},
      // "その他" is counted but not drawn.
      {AnalysisAxis::Infection, 9, 8, u"HBV未検査"_s},
      {AnalysisAxis::Emergency, 2, 1, u"いいえ"_s},
      {AnalysisAxis::BodySite, 65, 0, u" 1;右手親指外側"_s},
      {AnalysisAxis::BodySite, 65, 28, u" 29;"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AxisNumber(c.axis));
    EXPECT_EQ(GraphCategoryCount(c.axis, lists), c.count);
    const QStringList labels = GraphCategoryLabels(c.axis, lists, sites);
    ASSERT_EQ(labels.size(), c.count);
    EXPECT_EQ(labels[c.at], c.label);
  }
  CodeLists empty;
  EXPECT_EQ(GraphCategoryCount(AnalysisAxis::Place, empty), 0);
  EXPECT_TRUE(GraphCategoryLabels(AnalysisAxis::Place, empty, sites).isEmpty());
}

TEST_F(GraphSeriesTest, SeriesTakesTheSummaryCountsOfTheDrawnCategories) {
  SummaryResult result;
  result.captions = SummaryCaptions();
  for (const int hour : {12, 13, 13, 0, 23}) {
    ReportRecord r;
    r.Hours[0] = hour;
    result.counts.add(AnalysisAxis::Hour, CategoriesOf(AnalysisAxis::Hour, r, lists));
  }
  ReportRecord infected;
  infected.Choices[2] = 1;                      // HIV陽性
  infected.Texts[kOtherInfection] = u"梅毒"_s;  // その他
  result.counts.add(AnalysisAxis::Infection, CategoriesOf(AnalysisAxis::Infection, infected, lists));

  const GraphSeries hours = GraphSeriesOf(result, AnalysisAxis::Hour, lists, sites);
  EXPECT_EQ(hours.caption, u"発生時刻"_s);
  EXPECT_FALSE(hours.codeListLabels);
  EXPECT_EQ(hours.counts, (std::vector<std::int32_t>{1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1}));
  EXPECT_EQ(hours.maximum(), 3);
  EXPECT_EQ(hours.total(), 5);

  const GraphSeries infection = GraphSeriesOf(result, AnalysisAxis::Infection, lists, sites);
  EXPECT_EQ(infection.caption, u"患者感染症の有無"_s);
  EXPECT_EQ(infection.categoryCount(), 9);
  EXPECT_EQ(infection.total(), 1);  // "その他" left out
  EXPECT_EQ(result.counts.count(AnalysisAxis::Infection, 10), 1);

  const GraphSeries places = GraphSeriesOf(result, AnalysisAxis::Place, lists, sites);
  EXPECT_TRUE(places.codeListLabels);
  EXPECT_EQ(places.maximum(), 0);
}

TEST(GraphNumbers, ScaleValuesAndCounts) {
  struct Case {
    std::int32_t maximum;
    QString middle;
  };
  for (const Case& c :
       {Case{7, u" 3.5"_s}, Case{12, u" 6"_s}, Case{1, u" 0.5"_s}, Case{0, u" 0"_s}, Case{99999, u" 49999.5"_s}}) {
    EXPECT_EQ(GraphNumberText(MiddleScaleValue(c.maximum)), c.middle) << c.maximum;
  }
  EXPECT_EQ(GraphNumberText(12), u" 12"_s);
}

TEST(GraphLabels, LongLabelsWrapSmaller) {
  struct Case {
    int length;
    double fontSize;
    std::vector<int> lines;  // lengths
  };
  const Case cases[] = {
      {16, 9, {16}},         {17, 7, {16, 1}},     {32, 7, {16, 16}},          {33, 6, {19, 14}},
      {48, 6, {19, 19, 10}}, {50, 5, {22, 22, 6}}, {160, 1, {40, 40, 40, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    QString text;
    for (int i = 0; i < c.length; ++i) text += QChar(u'あ' + i % 40);
    const WrappedLabel w = WrapLabel(text);
    EXPECT_EQ(w.fontSize, c.fontSize);
    std::vector<int> lengths;
    for (const QString& line : w.lines) lengths.push_back(static_cast<int>(line.size()));
    EXPECT_EQ(lengths, c.lines);
    EXPECT_EQ(w.lines.join(QString()), text);
  }
}

}  // namespace
}  // namespace orvanta
