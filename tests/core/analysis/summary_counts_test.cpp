#include "core/analysis/summary_counts.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

CodeList ListOf(std::initializer_list<std::tuple<const char16_t*, const char16_t*, std::int32_t>> entries) {
  CodeList list;
  for (const auto& [name, code, id] : entries)
    list.entries.append(CodeEntry{QString::fromUtf16(name), QString::fromUtf16(code), id});
  return list;
}

TEST(SummaryTexts, CaptionsUseTheShortFormsOfThisView) {
  const std::array<QString, kAxisCount> expected = {
      u"職種"_s,       u"発生場所"_s,         u"機器の使用目的"_s, u"事故発生状況"_s,     u"原因器材"_s,
      u"事故程度"_s,   u"原因器材の使用中"_s, u"器材の汚染"_s,     u"所属部署"_s,         u"行為別"_s,
      u"発生月"_s,     u"発生時刻"_s,         u"経験年数"_s,       u"当該部署経験年数"_s, u"患者感染症の有無"_s,
      u"緊急処置時"_s, u"針刺し・切創部位"_s,  // full-width middle dot
  };
  EXPECT_EQ(SummaryCaptions(), expected);
}

TEST(SummaryTexts, ListEntriesAndTableRows) {
  CodeLists lists;
  lists[kOccupations] = ListOf({{u"医師", u"1", 1}, {u"救急部門", u"3", 2}});
  std::array<QString, kSiteSlots> sites;
  FillBodySiteNames(sites);

  struct Case {
    AnalysisAxis axis;
    int size;  // list entries, "全て" included
    int at;    // a list position
    QString listText;
    QString rowText;  // the table row of the same category
  };
  const Case cases[] = {
      {AnalysisAxis::Occupation, 3, 2, u"救急部門"_s, u"3 救急部門"_s},
      {AnalysisAxis::Place, 1, 0, u"全て"_s, QString()},  // an empty code list
      {AnalysisAxis::Month, 13, 1, u"1"_s, u"1"_s},
      {AnalysisAxis::Month, 13, 12, u"12"_s, u"12"_s},
      {AnalysisAxis::Hour, 13, 7, u"12～14時"_s, u"12～14時"_s},
      {AnalysisAxis::Hour, 13, 12, u"22～24時"_s, u"22～24時"_s},
      {AnalysisAxis::DepartmentExperience, 9, 8, u"30年以上"_s, u"30年以上"_s},
      {AnalysisAxis::Infection, 11, 10, u"その他"_s, u"その他"_s},
      {AnalysisAxis::Emergency, 3, 1, u"はい"_s, u"はい"_s},
      {AnalysisAxis::BodySite, 66, 1, u" 1;右手親指外側"_s, u" 1;右手親指外側"_s},
      {AnalysisAxis::BodySite, 66, 29, u" 29;"_s, u" 29;"_s},
      {AnalysisAxis::BodySite, 66, 65, u" 65;右腰部後面"_s, u" 65;右腰部後面"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AxisNumber(c.axis));
    const QStringList list = SummaryListTexts(c.axis, lists, sites);
    const QStringList rows = SummaryRowTexts(c.axis, lists, sites);
    ASSERT_EQ(list.size(), c.size);
    ASSERT_EQ(rows.size(), c.size - 1);
    EXPECT_EQ(list.front(), u"全て"_s);
    EXPECT_EQ(list[c.at], c.listText);
    if (c.at > 0) {
      EXPECT_EQ(rows[c.at - 1], c.rowText);
    }
  }
}

// A small collection in files 0 and 2 (file 1 is missing) with counts worked
// out by hand.
class ComputeSummaryTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ComputeSummaryTest() : TempDrive(QDateTime(QDate(2024, 12, 31), QTime(9, 0))) {
    QDir().mkpath(state.paths.ReportFolderPath());
    state.lists[kOccupations] = ListOf({{u"医師", u"1", 1}, {u"看護師", u"2", 2}});
    state.lists[kPurposes] = ListOf({{u"採血", u"3", 21}});  // one entry only
    // The same id twice: a report with it counts under both.
    state.lists[kCircumstances] = ListOf({{u"使用中", u"1", 31}, {u"使用中(重複)", u"1", 31}, {u"廃棄時", u"7", 32}});

    ReportRecord a = Made(1, 2024, 5, 10, 13, 30);  // 13:30
    a.AnswerIds[kOccupations] = 1;
    a.AnswerIds[kPurposes] = 21;
    a.AnswerIds[kCircumstances] = 31;
    a.Choices[2] = 1;  // HIV positive
    a.Choices[3] = 2;  // HCV negative
    a.Choices[8] = 1;  // emergency: yes
    a.Sites[2] = a.Sites[39] = 1;
    a.Texts[kExperienceYears] = u"1.9"_s;
    ReportRecord b = Made(2, 2024, 5, 11, 23, 0);  // 23:00
    b.AnswerIds[kOccupations] = 2;
    b.AnswerIds[kPurposes] = 21;
    b.AnswerIds[kCircumstances] = 32;
    b.Choices[8] = 2;
    b.Sites[2] = 1;
    b.Texts[kExperienceYears] = u"30"_s;
    ReportRecord c = Made(3, 2024, 1, 1, 0, 5);  // the from-date, 0:05
    c.AnswerIds[kOccupations] = 99;              // an entry deleted since
    ReportRecord outside = Made(4, 2023, 12, 31, 10, 0);
    outside.AnswerIds[kOccupations] = 1;
    ReportRecord e = Made(5, 2024, 12, 31, 22, 0);  // the to-date, in file 2
    e.AnswerIds[kOccupations] = 1;
    e.Choices[8] = 1;
    e.Sites[64] = 1;
    EXPECT_TRUE(WriteDataFile(state.paths.DataFilePath(0), {a, b, c, outside}));
    EXPECT_TRUE(WriteDataFile(state.paths.DataFilePath(2), {e}));
    state.counters.NewestFileNo = 2;
  }

  static ReportRecord Made(int id, int y, int m, int d, int h, int min) {
    ReportRecord r;
    r.ReportId = id;
    r.Years[0] = y;
    r.Months[0] = m;
    r.Days[0] = d;
    r.Hours[0] = h;
    r.Minutes[0] = min;
    return r;
  }

  SummaryResult Compute(const AxisFilter& filter) {
    return ComputeSummary(state.paths, state.counters.NewestFileNo, state.lists, kYear2024, filter,
                          SelectedListTexts(filter, state.lists, BodySiteNames()));
  }

  static constexpr AnalysisPeriod kYear2024{{2024, 1, 1}, {2024, 12, 31}};
};

TEST_F(ComputeSummaryTest, EveryListAtAllCountsEveryReportOfThePeriod) {
  const SummaryResult r = Compute(AxisFilter{});
  // a, b, c and e: the report of 2023 is out, file 1 is missing and skipped.
  EXPECT_EQ(r.matching, 4);

  struct Count {
    AnalysisAxis axis;
    int category;
    int expected;
  };
  const Count counts[] = {
      {AnalysisAxis::Occupation, 1, 2},                                         // a, e
      {AnalysisAxis::Occupation, 2, 1},                                         // b; c's deleted entry counts nowhere
      {AnalysisAxis::DevicePurpose, 1, 2},                                      // the one entry of its list
      {AnalysisAxis::Circumstance, 1, 1},                                       // a, under both entries of id 31
      {AnalysisAxis::Circumstance, 2, 1},  {AnalysisAxis::Circumstance, 3, 1},  // b
      {AnalysisAxis::Hour, 1, 1},                                               // 0:05
      {AnalysisAxis::Hour, 7, 1},                                               // 13:30 is "12～14時"
      {AnalysisAxis::Hour, 8, 0},          {AnalysisAxis::Hour, 12, 2},         // 23:00 and 22:00 are "22～24時"
      {AnalysisAxis::Month, 5, 2},         {AnalysisAxis::Month, 1, 1},        {AnalysisAxis::Month, 12, 1},
      {AnalysisAxis::Experience, 1, 3},  // "1.9" and two empty texts
      {AnalysisAxis::Experience, 8, 1},  // "30"
      {AnalysisAxis::Emergency, 1, 2},     {AnalysisAxis::Emergency, 2, 1},    {AnalysisAxis::BodySite, 3, 2},
      {AnalysisAxis::BodySite, 40, 1},     {AnalysisAxis::BodySite, 65, 1},    {AnalysisAxis::BodySite, 29, 0},
  };
  for (const Count& c : counts)
    EXPECT_EQ(r.counts.count(c.axis, c.category), c.expected) << AxisNumber(c.axis) << " / " << c.category;

  // HIV positive and HCV negative, HBV unanswered, no other infection: once
  // under each of the two results and nowhere else.
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(r.counts.count(AnalysisAxis::Infection, n), n == 1 || n == 5 ? 1 : 0) << n;
  // Category 0 and the numbers past an item's categories stay empty.
  EXPECT_EQ(r.counts.counter(1, 0), 0);
  EXPECT_EQ(r.counts.count(AnalysisAxis::Occupation, 3), 0);
}

TEST_F(ComputeSummaryTest, ListsRestrictEveryItemTogether) {
  AxisFilter doctors;
  doctors.selection[AxisNumber(AnalysisAxis::Occupation)] = 1;
  SummaryResult r = Compute(doctors);
  EXPECT_EQ(r.matching, 2);  // a and e
  EXPECT_EQ(r.counts.count(AnalysisAxis::Hour, 7), 1);
  EXPECT_EQ(r.counts.count(AnalysisAxis::Hour, 12), 1);
  EXPECT_EQ(r.counts.count(AnalysisAxis::Occupation, 1), 2);  // its own item still counts
  EXPECT_EQ(r.counts.count(AnalysisAxis::Occupation, 2), 0);

  AxisFilter both = doctors;
  both.selection[AxisNumber(AnalysisAxis::BodySite)] = 40;
  r = Compute(both);
  EXPECT_EQ(r.matching, 1);  // a
  EXPECT_EQ(r.counts.count(AnalysisAxis::BodySite, 3), 1);
  EXPECT_EQ(r.counts.count(AnalysisAxis::BodySite, 65), 0);

  AxisFilter none;
  none.selection[AxisNumber(AnalysisAxis::Infection)] = 10;  // no report names another infection
  r = Compute(none);
  EXPECT_EQ(r.matching, 0);
  EXPECT_EQ(r.counts, SummaryCounts{});
}

TEST_F(ComputeSummaryTest, ResultKeepsWhatTheComputationStartedWith) {
  AxisFilter filter;
  filter.selection[AxisNumber(AnalysisAxis::Occupation)] = 2;
  filter.selection[AxisNumber(AnalysisAxis::BodySite)] = 29;
  const SummaryResult r = Compute(filter);
  EXPECT_EQ(r.period, kYear2024);
  ASSERT_TRUE(r.fromDay && r.toDay);
  EXPECT_EQ(*r.toDay - *r.fromDay, 365);  // a leap year
  EXPECT_TRUE(r.longerThan31Days());
  EXPECT_EQ(r.filter, filter);
  EXPECT_EQ(r.selectedTexts[0], u"看護師"_s);
  EXPECT_EQ(r.selectedTexts[1], u"全て"_s);
  EXPECT_EQ(r.selectedTexts[16], u" 29;"_s);
  EXPECT_EQ(r.captions, SummaryCaptions());
  EXPECT_TRUE(r.restricted(AnalysisAxis::BodySite));
  EXPECT_FALSE(r.restricted(AnalysisAxis::Hour));
}

TEST_F(ComputeSummaryTest, PeriodsThatHoldNothing) {
  struct Case {
    const char* what;
    AnalysisPeriod period;
    bool datesFormed;
  };
  const Case cases[] = {
      {"from after to", {{2024, 12, 31}, {2024, 1, 1}}, true},
      {"a year the calendar cannot form", {{2024, 1, 1}, {10000, 1, 1}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SummaryResult r =
        ComputeSummary(state.paths, state.counters.NewestFileNo, state.lists, c.period, AxisFilter{}, {});
    EXPECT_EQ(r.matching, 0);
    EXPECT_EQ(r.counts, SummaryCounts{});
    EXPECT_EQ(r.fromDay.has_value() && r.toDay.has_value(), c.datesFormed);
    EXPECT_FALSE(r.longerThan31Days());
  }
}

}  // namespace
}  // namespace orvanta
