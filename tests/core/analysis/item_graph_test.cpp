#include "core/analysis/item_graph.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>
#include <vector>

#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

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

class ItemGraphTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ItemGraphTest() : TempDrive(QDateTime(QDate(2024, 12, 31), QTime(9, 0))) {
    QDir().mkpath(state.paths.ReportFolderPath());
    SetDefaultCodeLists(state.lists);
  }

  void Write(const std::vector<ReportRecord>& reports, int fileNo = 0) { ASSERT_TRUE(WriteReports(fileNo, reports)); }

  std::int32_t EntryId(int list, int category) const {
    return state.lists[static_cast<std::size_t>(list)].entries[category - 1].id;
  }

  ItemGraphResult Compute(AnalysisAxis axis, const AxisFilter& filter = {}, const AnalysisPeriod& period = kYear2024) {
    return ComputeItemGraph(state.paths, state.counters.NewestFileNo, state.lists, BodySiteNames(), axis, period,
                            filter);
  }
};

TEST_F(ItemGraphTest, LabelsAreThisViewsOwnWithTheirLeadingBlanks) {
  struct Case {
    AnalysisAxis axis;
    int count;
    int category;
    QString label;
  };
  const QString firstOccupation = state.lists[0].entries[0].name;
  const Case cases[] = {
      {AnalysisAxis::Occupation, state.lists[0].count(), 1, firstOccupation},  // the name, no code
      {AnalysisAxis::Month, 12, 1, u" 1月"_s},
      {AnalysisAxis::Month, 12, 12, u" 12月"_s},
      {AnalysisAxis::Hour, 12, 1, u" 0時～ 2時"_s},
      {AnalysisAxis::Hour, 12, 12, u" 22時～ 24時"_s},
      {AnalysisAxis::Experience, 8, 1, u"0～1年"_s},
      {AnalysisAxis::DepartmentExperience, 8, 8, u"30年以上"_s},
      {AnalysisAxis::Infection, 10, 1, u" HIV陽性"_s},
      {AnalysisAxis::Infection, 10, 10, u" その他"_s},
      {AnalysisAxis::Emergency, 2, 1, u"はい"_s},
      {AnalysisAxis::Emergency, 2, 2, u"いいえ"_s},
      {AnalysisAxis::BodySite, 65, 1, u" 1右手親指外側"_s},
      {AnalysisAxis::BodySite, 65, 29, u" 29"_s},
      {AnalysisAxis::BodySite, 65, 65, u" 65右腰部後面"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AxisNumber(c.axis));
    const QStringList labels = ItemGraphLabels(c.axis, state.lists, BodySiteNames());
    EXPECT_EQ(labels.size(), c.count);
    ASSERT_GE(labels.size(), c.category);
    EXPECT_EQ(labels[c.category - 1], c.label);
    // The counts of a computation go with the labels slot by slot.
    EXPECT_EQ(Compute(c.axis).categoryCount(), c.count);
  }
}

TEST_F(ItemGraphTest, NumbersCarryABlankForTheSignAndTheMiddleValueOneDecimal) {
  EXPECT_EQ(LeadingBlankNumber(0), u" 0"_s);
  EXPECT_EQ(LeadingBlankNumber(6), u" 6"_s);
  EXPECT_EQ(LeadingBlankNumber(2.5), u" 2.5"_s);
  EXPECT_EQ(LeadingBlankNumber(123456), u" 123456"_s);
  EXPECT_EQ(LeadingBlankNumber(-3), u"-3"_s);
  struct Case {
    double maximum;
    double middle;
  };
  for (const Case c : {Case{6, 3}, Case{5, 2.5}, Case{1, 0.5}, Case{7, 3.5}, Case{0, 0}, Case{1001, 500.5}})
    EXPECT_DOUBLE_EQ(ItemGraphMiddleValue(c.maximum), c.middle) << c.maximum;
  const ItemGraphHeading heading{u"職種"_s, {{2003, 6, 16}, {2004, 6, 15}}, {}};
  EXPECT_EQ(heading.periodText(), u" 2003年 6月 16日～ 2004年 6月 15日"_s);
}

TEST_F(ItemGraphTest, EachReportCountsUnderEveryCategoryItFallsInto) {
  ReportRecord lateNight = Report();
  lateNight.Hours[0] = 23;
  lateNight.Minutes[0] = 10;
  ReportRecord midnight = Report();
  midnight.Hours[0] = 0;
  ReportRecord threeSites = Report();
  threeSites.Sites[2] = 1;
  threeSites.Sites[39] = 1;
  threeSites.Sites[64] = 1;
  ReportRecord hivAndOther = Report();
  hivAndOther.Choices[2] = 1;
  hivAndOther.Texts[kOtherInfection] = u"梅毒"_s;
  ReportRecord outside = Report();
  outside.Years[0] = 2023;
  outside.Hours[0] = 23;
  outside.Sites[2] = 1;
  Write({lateNight, midnight, threeSites, hivAndOther});
  Write({outside}, 2);  // file 1 is missing and skipped

  const ItemGraphResult hours = Compute(AnalysisAxis::Hour);
  ASSERT_EQ(hours.categoryCount(), 12);
  EXPECT_EQ(hours.counts[0], 1);   // 0 o'clock
  EXPECT_EQ(hours.counts[4], 2);   // 9 o'clock: 8 to 10
  EXPECT_EQ(hours.counts[11], 1);  // 23:10 in the last band
  EXPECT_EQ(hours.maximum, 2);
  EXPECT_EQ(hours.axis, AnalysisAxis::Hour);
  EXPECT_EQ(hours.period, kYear2024);

  const ItemGraphResult sites = Compute(AnalysisAxis::BodySite);
  ASSERT_EQ(sites.categoryCount(), 65);
  std::vector<int> marked;
  for (int k = 0; k < 65; ++k)
    if (sites.counts[static_cast<std::size_t>(k)] != 0) marked.push_back(k + 1);
  EXPECT_EQ(marked, (std::vector<int>{3, 40, 65}));

  const ItemGraphResult infection = Compute(AnalysisAxis::Infection);
  EXPECT_EQ(infection.counts, (std::vector<std::int64_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(infection.labels[0], u" HIV陽性"_s);
  EXPECT_EQ(infection.labels[9], u" その他"_s);
}

TEST_F(ItemGraphTest, FiltersRestrictTheCountedReportsIncludingOneOnTheGraphItemItself) {
  ReportRecord doctorAt9 = Report();
  doctorAt9.AnswerIds[0] = EntryId(0, 1);
  doctorAt9.Choices[8] = 1;
  ReportRecord doctorAt23 = doctorAt9;
  doctorAt23.Hours[0] = 23;
  ReportRecord nurseAt9 = Report();
  nurseAt9.AnswerIds[0] = EntryId(0, 2);
  nurseAt9.Choices[8] = 1;
  Write({doctorAt9, doctorAt23, nurseAt9});

  AxisFilter doctors;
  doctors.selection[0] = 1;
  EXPECT_EQ(Compute(AnalysisAxis::Hour, doctors).counts[4], 1);
  EXPECT_EQ(Compute(AnalysisAxis::Hour, doctors).counts[11], 1);

  AxisFilter doctorsInEmergencies = doctors;
  doctorsInEmergencies.selection[AxisNumber(AnalysisAxis::Emergency)] = 2;  // いいえ
  const ItemGraphResult none = Compute(AnalysisAxis::Hour, doctorsInEmergencies);
  EXPECT_EQ(none.maximum, 0);
  EXPECT_FALSE(none.hasBars());

  // A list set on the graph item itself restricts the next computation like
  // any other.
  AxisFilter hour9;
  hour9.selection[AxisNumber(AnalysisAxis::Hour)] = 5;
  const ItemGraphResult own = Compute(AnalysisAxis::Hour, hour9);
  EXPECT_EQ(own.counts[4], 2);
  EXPECT_EQ(own.counts[11], 0);
}

TEST_F(ItemGraphTest, APeriodWithNoReportLeavesEveryCountAtZero) {
  Write({Report()});
  const ItemGraphResult r = Compute(AnalysisAxis::Occupation, {}, {{2024, 6, 1}, {2024, 5, 1}});
  EXPECT_EQ(r.categoryCount(), state.lists[0].count());
  EXPECT_EQ(r.maximum, 0);
  for (const std::int64_t c : r.counts) EXPECT_EQ(c, 0);
}

}  // namespace
}  // namespace orvanta
