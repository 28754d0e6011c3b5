#include "core/analysis/analysis_axis.h"

#include <QDateTime>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

// Lists 0 to 9 with a few entries each: list k holds the ids 100k + 1,
// 100k + 2, 100k + 3 with the codes "1", "2", "3" and names "Lk-1" ...
CodeLists SmallLists() {
  CodeLists lists;
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    for (int e = 1; e <= 3; ++e) {
      lists[k].entries.push_back(CodeEntry{QStringLiteral("L%1-%2").arg(k).arg(e), QString::number(e), 100 * k + e});
    }
  }
  return lists;
}

// A report that lies on 15 March 2004 at 9:05 and answers nothing else.
ReportRecord Report() {
  ReportRecord r;
  r.ReportId = 1;
  r.Years[0] = 2004;
  r.Months[0] = 3;
  r.Days[0] = 15;
  r.Hours[0] = 9;
  r.Minutes[0] = 5;
  return r;
}

std::vector<int> Cats(AnalysisAxis axis, const ReportRecord& r, const CodeLists& lists) {
  return CategoriesOf(axis, r, lists).toVector();
}

std::array<QString, kSiteSlots> SiteNames() {
  std::array<QString, kSiteSlots> names;
  FillBodySiteNames(names);
  return names;
}

TEST(AnalysisAxis, CaptionsInItemOrderWithBothDots) {
  const QStringList full = AxisCaptions(CaptionDot::FullWidth);
  const QStringList half = AxisCaptions(CaptionDot::HalfWidth);
  // clang-format off
  const QStringList expected = {
      "職種",       "発生場所",   "機器の使用目的", "事故発生状況",
      "原因器材",   "事故程度",   "受傷者の原因器材の使用中", "器材の汚染",
      "所属部署",   "行為別",     "発生月",         "発生時刻",
      "経験年数",   "当該部署における経験年数",     "患者の感染症の有無",
      "緊急処置時", QString::fromUtf16(u"針刺し\u30FB切創部位"),
  };
  // clang-format on
  EXPECT_EQ(full, expected);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(half[n], full[n]) << n;
  EXPECT_EQ(half[16], QString::fromUtf16(u"針刺し\uFF65切創部位"));
  EXPECT_EQ(AxisCaption(AnalysisAxis::BodySite, CaptionDot::HalfWidth), half[16]);
}

TEST(AnalysisAxis, LabelsOfEveryKind) {
  CodeLists lists;
  SetDefaultCodeLists(lists);
  const auto names = SiteNames();
  auto labels = [&](AnalysisAxis a, LabelKind k) { return CategoryLabels(a, k, lists, names); };
  const QString tilde = QString::fromUtf16(u"\uFF5E");

  // Code lists: the name to filter, code;name to head a table.
  const QStringList placeTable = labels(AnalysisAxis::Place, LabelKind::Table);
  EXPECT_EQ(placeTable[2], "3;救急部門");
  const QStringList placeFilter = labels(AnalysisAxis::Place, LabelKind::Filter);
  EXPECT_EQ(placeFilter[0], "全て");
  EXPECT_EQ(placeFilter[3], "救急部門");
  EXPECT_EQ(placeFilter.size(), lists[1].count() + 1);
  EXPECT_EQ(placeTable.size(), lists[1].count());

  struct Case {
    AnalysisAxis axis;
    LabelKind kind;
    int index;
    QString label;
  };
  const std::vector<Case> cases = {
      {AnalysisAxis::Month, LabelKind::Filter, 1, "1"},
      {AnalysisAxis::Month, LabelKind::Filter, 12, "12"},
      {AnalysisAxis::Month, LabelKind::Table, 0, " 1月"},
      {AnalysisAxis::Month, LabelKind::Table, 11, " 12月"},
      {AnalysisAxis::Hour, LabelKind::Filter, 1, "0" + tilde + "2時"},
      {AnalysisAxis::Hour, LabelKind::Filter, 5, "8" + tilde + "10時"},
      {AnalysisAxis::Hour, LabelKind::Filter, 12, "22" + tilde + "24時"},
      {AnalysisAxis::Hour, LabelKind::Table, 0, " 0" + tilde + " 2時"},
      {AnalysisAxis::Hour, LabelKind::Table, 11, " 22" + tilde + " 24時"},
      {AnalysisAxis::Experience, LabelKind::Filter, 1, "0" + tilde + "1年"},
      {AnalysisAxis::Experience, LabelKind::Table, 4, "10" + tilde + "14年"},
      {AnalysisAxis::DepartmentExperience, LabelKind::Table, 7, "30年以上"},
      {AnalysisAxis::Infection, LabelKind::Filter, 1, "HIV陽性"},
      {AnalysisAxis::Infection, LabelKind::Table, 5, "HCV未検査"},
      {AnalysisAxis::Infection, LabelKind::Table, 9, "その他"},
      {AnalysisAxis::Emergency, LabelKind::Filter, 1, "はい"},
      {AnalysisAxis::Emergency, LabelKind::Filter, 2, "いいえ"},
      {AnalysisAxis::Emergency, LabelKind::Table, 0, "緊急処置時であった"},
      {AnalysisAxis::Emergency, LabelKind::Table, 1, "緊急処置時でなかった"},
      {AnalysisAxis::BodySite, LabelKind::Filter, 1, " 1;右手親指外側"},
      {AnalysisAxis::BodySite, LabelKind::Filter, 29, " 29;"},
      {AnalysisAxis::BodySite, LabelKind::Filter, 65, " 65;右腰部後面"},
      {AnalysisAxis::BodySite, LabelKind::Table, 0, " 1右手親指外側"},
      {AnalysisAxis::BodySite, LabelKind::Table, 28, " 29"},
      {AnalysisAxis::BodySite, LabelKind::Table, 13, " 14右手親指内側"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(AxisNumber(c.axis));
    const QStringList l = labels(c.axis, c.kind);
    ASSERT_LT(c.index, l.size());
    EXPECT_EQ(l[c.index], c.label);
  }

  // Every item: a filter list is "全て" and one label per category; a table
  // list one label per category.
  for (int n = 0; n < kAxisCount; ++n) {
    const AnalysisAxis a = AxisAt(n);
    SCOPED_TRACE(n);
    EXPECT_EQ(labels(a, LabelKind::Filter).size(), CategoryCount(a, lists) + 1);
    EXPECT_EQ(labels(a, LabelKind::Filter).first(), "全て");
    EXPECT_EQ(labels(a, LabelKind::Table).size(), CategoryCount(a, lists));
  }
  EXPECT_EQ(CategoryCount(AnalysisAxis::Month, lists), 12);
  EXPECT_EQ(CategoryCount(AnalysisAxis::Hour, lists), 12);
  EXPECT_EQ(CategoryCount(AnalysisAxis::Experience, lists), 8);
  EXPECT_EQ(CategoryCount(AnalysisAxis::Infection, lists), 10);
  EXPECT_EQ(CategoryCount(AnalysisAxis::Emergency, lists), 2);
  EXPECT_EQ(CategoryCount(AnalysisAxis::BodySite, lists), 65);
}

TEST(AnalysisAxis, CategoriesOfEachItem) {
  const CodeLists lists = SmallLists();
  struct Case {
    const char* what;
    AnalysisAxis axis;
    std::function<void(ReportRecord&)> set;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"second entry of list 0", AnalysisAxis::Occupation, [](ReportRecord& r) { r.AnswerIds[0] = 2; }, {2}},
      {"third entry of list 9", AnalysisAxis::ActionType, [](ReportRecord& r) { r.AnswerIds[9] = 903; }, {3}},
      {"unanswered", AnalysisAxis::Place, [](ReportRecord& r) { r.AnswerIds[1] = 0; }, {}},
      {"id of another list", AnalysisAxis::Place, [](ReportRecord& r) { r.AnswerIds[1] = 201; }, {}},
      {"month 1", AnalysisAxis::Month, [](ReportRecord& r) { r.Months[0] = 1; }, {1}},
      {"month 12", AnalysisAxis::Month, [](ReportRecord& r) { r.Months[0] = 12; }, {12}},
      {"month 0", AnalysisAxis::Month, [](ReportRecord& r) { r.Months[0] = 0; }, {}},
      {"month 13", AnalysisAxis::Month, [](ReportRecord& r) { r.Months[0] = 13; }, {}},
      {"hour 0", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 0; }, {1}},
      {"hour 1", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 1; }, {1}},
      {"hour 21", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 21; }, {11}},
      {"hour 22", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 22; }, {12}},
      {"hour 23", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 23; }, {12}},
      {"hour -1", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = -1; }, {}},
      {"hour 24", AnalysisAxis::Hour, [](ReportRecord& r) { r.Hours[0] = 24; }, {}},
      {"department years",
       AnalysisAxis::DepartmentExperience,
       [](ReportRecord& r) {
         r.Texts[kDepartmentYears] = "16";
         r.Texts[kExperienceYears] = "1";
       },
       {6}},
      {"infection example",
       AnalysisAxis::Infection,
       [](ReportRecord& r) {
         r.Choices[2] = 1;  // HIV positive
         r.Choices[3] = 2;  // HCV negative
         r.Choices[4] = 0;  // HBV unanswered
         r.Texts[kOtherInfection] = "梅毒";
       },
       {1, 5, 10}},
      {"all four",
       AnalysisAxis::Infection,
       [](ReportRecord& r) {
         r.Choices[2] = 3;
         r.Choices[3] = 3;
         r.Choices[4] = 2;
         r.Texts[kOtherInfection] = " ";
       },
       {3, 6, 8, 10}},
      {"no results", AnalysisAxis::Infection, [](ReportRecord& r) { r.Choices[2] = 4; }, {}},
      {"emergency yes", AnalysisAxis::Emergency, [](ReportRecord& r) { r.Choices[8] = 1; }, {1}},
      {"emergency no", AnalysisAxis::Emergency, [](ReportRecord& r) { r.Choices[8] = 2; }, {2}},
      {"emergency unanswered", AnalysisAxis::Emergency, [](ReportRecord& r) { r.Choices[8] = 0; }, {}},
      {"emergency 3", AnalysisAxis::Emergency, [](ReportRecord& r) { r.Choices[8] = 3; }, {}},
      {"sites 3 and 40", AnalysisAxis::BodySite, [](ReportRecord& r) { r.Sites[2] = r.Sites[39] = 1; }, {3, 40}},
      {"site 29", AnalysisAxis::BodySite, [](ReportRecord& r) { r.Sites[28] = 1; }, {29}},
      {"sites 1, 64, 65",
       AnalysisAxis::BodySite,
       [](ReportRecord& r) { r.Sites[0] = r.Sites[63] = r.Sites[64] = 1; },
       {1, 64, 65}},
      {"marks other than 1 and slots past 65",
       AnalysisAxis::BodySite,
       [](ReportRecord& r) {
         r.Sites[4] = 2;
         r.Sites[5] = -1;
         r.Sites[65] = 1;
         r.Sites[80] = 1;
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportRecord r = Report();
    c.set(r);
    EXPECT_EQ(Cats(c.axis, r, lists), c.expected);
  }
}

TEST(AnalysisAxis, ExperienceBandsReadTheLeadingNumber) {
  struct Case {
    QString text;
    int band;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"", 1},      {"1.9", 1},   {"2", 2},        {"29.5", 7},      {"30", 8},     {" 12", 5},
      {"abc", 1},   {"3.5", 2},   {"0", 1},        {"3", 2},         {"4", 3},      {"5.99", 3},
      {"6", 4},     {"9", 4},     {"10", 5},       {"14.9", 5},      {"15", 6},     {"19", 6},
      {"20", 7},    {"29", 7},    {"99999999", 8}, {"-5", 1},        {"+4", 3},     {"\t7", 4},
      {"12年", 5},  {"12abc", 5}, {".", 1},        {".5", 1},        {"5.", 3},     {"2.5.1", 2},
      {"- 3", 1},   {"１２", 1},  {"　12", 1},     {"1.99999999999999999999", 2},  // rounds to 2
      {"12 3", 5},
  };
  // clang-format on
  CodeLists lists;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(ExperienceBand(QStringView(c.text)), c.band);
    EXPECT_EQ(ExperienceBand(QByteArrayView(c.text.toUtf8())), c.band);  // ASCII in front reads the same
    ReportRecord r = Report();
    r.Texts[kExperienceYears] = c.text;
    r.Texts[kDepartmentYears] = c.text;
    EXPECT_EQ(Cats(AnalysisAxis::Experience, r, lists), std::vector<int>{c.band});
    EXPECT_EQ(Cats(AnalysisAxis::DepartmentExperience, r, lists), std::vector<int>{c.band});
  }
}

TEST(AnalysisAxis, DeletedAndDuplicatedCodeEntries) {
  CodeLists lists = SmallLists();
  ReportRecord r = Report();
  r.AnswerIds[3] = 302;  // second entry of list 3
  EXPECT_EQ(Cats(AnalysisAxis::Circumstance, r, lists), std::vector<int>{2});

  AxisFilter onSecond;
  onSecond.selection[3] = 2;
  AxisFilter onFirst;
  onFirst.selection[3] = 1;
  EXPECT_TRUE(Passes(onSecond, r, lists));

  // The entry is deleted: the report is in no category of the item and every
  // selection on the item leaves it out; it still counts on other items.
  lists[3].entries.removeAt(1);
  EXPECT_TRUE(Cats(AnalysisAxis::Circumstance, r, lists).empty());
  EXPECT_FALSE(Passes(onSecond, r, lists));
  EXPECT_FALSE(Passes(onFirst, r, lists));
  EXPECT_EQ(Cats(AnalysisAxis::Month, r, lists), std::vector<int>{3});
  EXPECT_TRUE(Passes(AxisFilter{}, r, lists));

  // A damaged list that holds an id twice: the report is under both entries.
  lists[3].entries.push_back(CodeEntry{"again", "9", 301});
  r.AnswerIds[3] = 301;
  EXPECT_EQ(Cats(AnalysisAxis::Circumstance, r, lists), (std::vector<int>{1, 3}));

  // Ids far apart are found as well.
  lists[4].entries.push_back(CodeEntry{"far", "7", 2000000000});
  r.AnswerIds[4] = 2000000000;
  EXPECT_EQ(Cats(AnalysisAxis::CausingDevice, r, lists), std::vector<int>{4});
  r.AnswerIds[4] = 402;
  EXPECT_EQ(Cats(AnalysisAxis::CausingDevice, r, lists), std::vector<int>{2});
}

TEST(AnalysisAxis, FilterCombinesTheItems) {
  const CodeLists lists = SmallLists();
  ReportRecord r = Report();
  r.AnswerIds[0] = 3;  // third entry of list 0
  r.Choices[2] = 1;
  r.Choices[3] = 2;
  r.Choices[4] = 0;
  r.Texts[kOtherInfection] = "梅毒";
  r.Choices[8] = 1;
  r.Sites[2] = r.Sites[39] = 1;
  r.Texts[kExperienceYears] = "29.5";
  r.Hours[0] = 22;

  auto with = [](std::initializer_list<std::pair<AnalysisAxis, int>> sel) {
    AxisFilter f;
    for (auto [a, n] : sel) f.selection[AxisNumber(a)] = n;
    return f;
  };
  struct Case {
    const char* what;
    AxisFilter filter;
    bool passes;
  };
  const std::vector<Case> cases = {
      {"everything at 全て", AxisFilter{}, true},
      {"HIV陽性", with({{AnalysisAxis::Infection, 1}}), true},
      {"HCV陰性", with({{AnalysisAxis::Infection, 5}}), true},
      {"その他", with({{AnalysisAxis::Infection, 10}}), true},
      {"HBV陽性", with({{AnalysisAxis::Infection, 7}}), false},
      {"HIV陰性", with({{AnalysisAxis::Infection, 2}}), false},
      {"site 3", with({{AnalysisAxis::BodySite, 3}}), true},
      {"site 40", with({{AnalysisAxis::BodySite, 40}}), true},
      {"site 4", with({{AnalysisAxis::BodySite, 4}}), false},
      {"third occupation", with({{AnalysisAxis::Occupation, 3}}), true},
      {"second occupation", with({{AnalysisAxis::Occupation, 2}}), false},
      {"occupation past the list", with({{AnalysisAxis::Occupation, 4}}), false},
      {"22～24時", with({{AnalysisAxis::Hour, 12}}), true},
      {"20～22時", with({{AnalysisAxis::Hour, 11}}), false},
      {"20～29年", with({{AnalysisAxis::Experience, 7}}), true},
      {"department 0～1年", with({{AnalysisAxis::DepartmentExperience, 1}}), true},
      {"month 3", with({{AnalysisAxis::Month, 3}}), true},
      {"month 4", with({{AnalysisAxis::Month, 4}}), false},
      {"はい", with({{AnalysisAxis::Emergency, 1}}), true},
      {"いいえ", with({{AnalysisAxis::Emergency, 2}}), false},
      {"HIV陽性 and はい", with({{AnalysisAxis::Infection, 1}, {AnalysisAxis::Emergency, 1}}), true},
      {"HIV陽性 and いいえ", with({{AnalysisAxis::Infection, 1}, {AnalysisAxis::Emergency, 2}}), false},
      {"five items at once",
       with({{AnalysisAxis::Occupation, 3},
             {AnalysisAxis::Infection, 10},
             {AnalysisAxis::BodySite, 40},
             {AnalysisAxis::Hour, 12},
             {AnalysisAxis::Month, 3}}),
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Passes(c.filter, r, lists), c.passes);
    // The prepared filter on the boiled-down report says the same, and a
    // selection passes exactly when it is among the report's categories.
    const FilterTest test(c.filter, lists);
    EXPECT_EQ(test.passes(FactsOf(r)), c.passes);
    EXPECT_EQ(test.passesEverything(), c.filter == AxisFilter{});
  }
  for (int n = 0; n < kAxisCount; ++n) {
    const CategorySet cats = CategoriesOf(AxisAt(n), r, lists);
    for (int sel = 1; sel <= CategoryCount(AxisAt(n), lists); ++sel) {
      AxisFilter f;
      f.selection[n] = sel;
      EXPECT_EQ(Passes(f, r, lists), cats.contains(sel)) << "item " << n << " selection " << sel;
    }
  }
}

TEST(AnalysisPeriod, BoundsAreInclusiveAndFormedWithCarries) {
  auto on = [](int y, int m, int d) {
    ReportRecord r = Report();
    r.Years[0] = y;
    r.Months[0] = m;
    r.Days[0] = d;
    return r;
  };
  const AnalysisPeriod year2004{{2004, 1, 1}, {2004, 12, 31}};
  struct Case {
    const char* what;
    AnalysisPeriod period;
    ReportRecord report;
    bool in;
  };
  const std::vector<Case> cases = {
      {"on the from-date", year2004, on(2004, 1, 1), true},
      {"on the to-date", year2004, on(2004, 12, 31), true},
      {"a day before", year2004, on(2003, 12, 31), false},
      {"a day after", year2004, on(2005, 1, 1), false},
      {"day 0 is the last of the month before", year2004, on(2004, 1, 0), false},
      {"day 0 of February", year2004, on(2004, 2, 0), true},
      {"month 13 is January next year", year2004, on(2003, 13, 1), true},
      {"month 13 of 2004", year2004, on(2004, 13, 1), false},
      {"day 32 of December", year2004, on(2004, 12, 32), false},
      {"31 April is 1 May", AnalysisPeriod{{2004, 5, 1}, {2004, 5, 1}}, on(2004, 4, 31), true},
      {"two-digit year", year2004, on(4, 6, 1), true},
      {"year that cannot be formed", year2004, on(12000, 1, 1), false},
      {"from after to", AnalysisPeriod{{2004, 12, 31}, {2004, 1, 1}}, on(2004, 6, 1), false},
      {"one-day period", AnalysisPeriod{{2004, 2, 29}, {2004, 2, 29}}, on(2004, 2, 29), true},
      {"bounds formed with carries", AnalysisPeriod{{2004, 1, 32}, {2004, 2, 0}}, on(2004, 2, 1), false},
      {"bound carried onto the report", AnalysisPeriod{{2004, 1, 32}, {2004, 3, 0}}, on(2004, 2, 29), true},
      {"bound that cannot be formed", AnalysisPeriod{{2004, 1, 1}, {10000, 1, 1}}, on(2004, 6, 1), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(InPeriod(c.period, c.report), c.in);
    EXPECT_EQ(InPeriod(DaysOf(c.period), FactsOf(c.report)), c.in);
  }
  EXPECT_TRUE(DaysOf(AnalysisPeriod{{2004, 12, 31}, {2004, 1, 1}}).empty());
  EXPECT_FALSE(DaysOf(year2004).empty());
}

TEST(AnalysisPeriod, DefaultRunsUpToTheStartDate) {
  struct Case {
    const char* what;
    int today[3];
    int system[3];
    AnalysisPeriod expected;
  };
  const std::vector<Case> cases = {
      {"an ordinary day", {2024, 6, 15}, {2024, 6, 15}, {{2023, 6, 16}, {2024, 6, 15}}},
      {"31 December", {2023, 12, 31}, {2023, 12, 31}, {{2022, 1, 1}, {2023, 12, 31}}},
      {"end of a month", {2024, 4, 30}, {2024, 4, 30}, {{2023, 5, 1}, {2024, 4, 30}}},
      {"28 February of a leap year", {2024, 2, 28}, {2024, 2, 28}, {{2023, 2, 29}, {2024, 2, 28}}},
      // Past midnight the system date has moved on; the start date has not.
      {"after midnight", {2024, 6, 15}, {2024, 6, 16}, {{2023, 6, 17}, {2024, 6, 15}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DefaultPeriod(c.today[0], c.today[1], c.today[2], c.system[0], c.system[1], c.system[2]), c.expected);
  }
  // 29 February 2023 carries to 1 March when the period is used.
  const PeriodDays days = DaysOf(AnalysisPeriod{{2023, 2, 29}, {2024, 2, 28}});
  EXPECT_EQ(days.first, *SerialDay(2023, 3, 1));

  // From the start-up date and the present date (the run went past midnight).
  EXPECT_EQ(DefaultPeriod(CalendarDate{2023, 12, 31}, QDate(2024, 1, 1)),
            (AnalysisPeriod{{2022, 1, 2}, {2023, 12, 31}}));
}

}  // namespace
}  // namespace orvanta
