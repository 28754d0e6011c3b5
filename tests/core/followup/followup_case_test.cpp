#include "core/followup/followup_case.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

#include "support/followup_cases.h"
#include "support/qt_printers.h"

namespace orvanta {
namespace {

using testing::CaseOf;
using testing::ExposureReport;
using testing::TestOf;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

TEST(ScheduleOffsetTest, WeeksAreSevenDaysAndMonthsKeepTheDayOrTakeTheMonthsLast) {
  struct Case {
    QDate incident;
    ScheduleOffset offset;
    QDate due;
  } cases[] = {
      {D(2026, 12, 9), {0, OffsetUnit::Weeks}, D(2026, 12, 9)},  // 受傷時
      {D(2026, 12, 9), {0, OffsetUnit::Months}, D(2026, 12, 9)},
      {D(2026, 12, 9), {6, OffsetUnit::Weeks}, D(2027, 1, 20)},   // over the year's end
      {D(2028, 2, 22), {1, OffsetUnit::Weeks}, D(2028, 2, 29)},   // onto a leap day
      {D(2027, 2, 22), {1, OffsetUnit::Weeks}, D(2027, 3, 1)},    // no leap day
      {D(2027, 1, 31), {1, OffsetUnit::Months}, D(2027, 2, 28)},  // the month's last day
      {D(2028, 1, 31), {1, OffsetUnit::Months}, D(2028, 2, 29)},  // a leap year's
      {D(2026, 8, 31), {6, OffsetUnit::Months}, D(2027, 2, 28)},
      {D(2027, 8, 31), {6, OffsetUnit::Months}, D(2028, 2, 29)},
      {D(2026, 11, 30), {3, OffsetUnit::Months}, D(2027, 2, 28)},
      {D(2027, 3, 31), {1, OffsetUnit::Months}, D(2027, 4, 30)},
      {D(2028, 2, 29), {12, OffsetUnit::Months}, D(2029, 2, 28)},  // a leap day a year on
      {D(2028, 2, 29), {48, OffsetUnit::Months}, D(2032, 2, 29)},
      {D(2026, 12, 31), {1, OffsetUnit::Months}, D(2027, 1, 31)},  // into the next year
      {D(2026, 10, 15), {6, OffsetUnit::Months}, D(2027, 4, 15)},
      {D(2026, 7, 31), {18, OffsetUnit::Months}, D(2028, 1, 31)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DueDateAfter(c.incident, c.offset), c.due)
        << c.incident.toString(Qt::ISODate).toStdString() << " + " << OffsetText(c.offset).toStdString();
  }
  EXPECT_FALSE(DueDateAfter(QDate(), {6, OffsetUnit::Weeks}).isValid());
  EXPECT_EQ(OffsetText({0, OffsetUnit::Months}), QStringLiteral("受傷時"));
  EXPECT_EQ(OffsetText({6, OffsetUnit::Weeks}), QStringLiteral("6週"));
  EXPECT_EQ(OffsetText({3, OffsetUnit::Months}), QStringLiteral("3か月"));
}

TEST(SourceStatusTest, TheReportsQuestionFiveGivesTheStartingStatus) {
  using S = SourceStatus;
  struct Case {
    int known;
    std::array<int, 3> results;  // HIV, HCV, HBV
    S hiv, hcv, hbv;
  } cases[] = {
      {1, {1, 2, 3}, S::Positive, S::Negative, S::Unknown},
      {1, {2, 1, 0}, S::Negative, S::Positive, S::Unknown},  // not answered: 不明
      {1, {0, 0, 0}, S::Unknown, S::Unknown, S::Unknown},
      {2, {0, 0, 0}, S::Unknown, S::Unknown, S::Unknown},                    // not known
      {0, {0, 0, 0}, S::Unknown, S::Unknown, S::Unknown},                    // not answered
      {3, {0, 0, 0}, S::NotApplicable, S::NotApplicable, S::NotApplicable},  // not yet used on a patient
  };
  for (const Case& c : cases) {
    const ReportRecord r = ExposureReport(1, QStringLiteral("山田"), D(2026, 12, 1), c.known, c.results);
    const SourceStatuses s = SourceStatusesFromReport(r);
    EXPECT_EQ(s.hiv, c.hiv) << c.known;
    EXPECT_EQ(s.hcv, c.hcv) << c.known;
    EXPECT_EQ(s.hbv, c.hbv) << c.known;
  }
}

TEST(HbvImmunityTest, TheReportsQuestionFourteenSaysWhetherTheWorkerIsKnownImmune) {
  const std::tuple<int, HbvImmunity, bool> cases[] = {
      {1, HbvImmunity::Vaccinated, true}, {2, HbvImmunity::Natural, true},  {3, HbvImmunity::NotImmune, false},
      {4, HbvImmunity::Unknown, false},   {0, HbvImmunity::Unknown, false}, {9, HbvImmunity::Unknown, false},
  };
  for (const auto& [answer, immunity, immune] : cases) {
    ReportRecord r;
    r.Choices[7] = answer;
    EXPECT_EQ(HbvImmunityFromReport(r), immunity) << answer;
    EXPECT_EQ(KnownImmune(immunity), immune) << answer;
    EXPECT_EQ(HbvImmunityNote(immunity).isEmpty(), !immune) << answer;
  }
}

TEST(CaseFromReportTest, TakesTheWorkerAndIncidentFromTheReport) {
  CodeLists lists;
  testing::UseFollowupLists(lists);
  ReportRecord r = ExposureReport(12, QStringLiteral("山田 花子"), D(2026, 11, 30), 1, {1, 2, 2});
  r.AnswerIds[kDepartments] = 402;
  r.AnswerIds[kOccupations] = 1;
  const FollowupCase c = CaseFromReport(r, lists);
  EXPECT_EQ(c.reportId, 12);
  EXPECT_EQ(c.worker, (WorkerFields{QStringLiteral("山田 花子"), QStringLiteral("外科"), QStringLiteral("医師"),
                                    D(2026, 11, 30)}));
  EXPECT_EQ(c.sources, (SourceStatuses{SourceStatus::Positive, SourceStatus::Negative, SourceStatus::Negative}));
  EXPECT_FALSE(c.isClosed());
  for (const Prophylaxis& p : c.prophylaxis) EXPECT_FALSE(p.given);

  // An entry deleted from its list names nothing; a date that is none is
  // invalid (two-digit years go through the window).
  r.AnswerIds[kDepartments] = 999;
  r.Years[0] = 26;
  r.Months[0] = 2;
  r.Days[0] = 30;
  const WorkerFields w = WorkerFieldsFromReport(r, lists);
  EXPECT_TRUE(w.department.isEmpty());
  EXPECT_FALSE(w.incident.isValid());
  r.Days[0] = 28;
  EXPECT_EQ(WorkerFieldsFromReport(r, lists).incident, D(2026, 2, 28));
}

std::vector<ScheduleEntry> DefaultSchedule() {
  const auto e = [](Pathogen p, int n, OffsetUnit u, const char16_t* test) {
    return ScheduleEntry{0, p, {n, u}, QString::fromUtf16(test)};
  };
  using enum OffsetUnit;
  return {e(Pathogen::HBV, 0, Weeks, u"HBs抗原・HBs抗体"), e(Pathogen::HBV, 6, Months, u"HBs抗原・HBs抗体"),
          e(Pathogen::HCV, 0, Weeks, u"HCV抗体・ALT"),     e(Pathogen::HCV, 6, Weeks, u"HCV-RNA"),
          e(Pathogen::HCV, 6, Months, u"HCV抗体・ALT"),    e(Pathogen::HIV, 0, Weeks, u"HIV抗体"),
          e(Pathogen::HIV, 6, Weeks, u"HIV抗体"),          e(Pathogen::HIV, 3, Months, u"HIV抗体"),
          e(Pathogen::HIV, 6, Months, u"HIV抗体"),         e(Pathogen::Other, 0, Weeks, u"梅毒")};
}

QStringList Planned(const std::vector<FollowupTest>& tests) {
  QStringList lines;
  for (const FollowupTest& t : tests)
    lines << DateText(t.due) + QLatin1Char(' ') + PathogenText(t.pathogen) + QLatin1Char(' ') +
                 TestLabel(t.test, t.planned);
  return lines;
}

TEST(PlanScheduleTest, PlansThePathogensWhoseSourceIsPositiveOrUnknownOnce) {
  FollowupCase c = CaseOf(5, QStringLiteral("山田"), D(2027, 8, 31));
  c.sources = {SourceStatus::Positive, SourceStatus::Negative, SourceStatus::Unknown};
  std::vector<FollowupTest> tests = PlanSchedule(c, DefaultSchedule(), {});
  EXPECT_EQ(Planned(tests), (QStringList{
                                "2027/08/31 HIV HIV抗体（受傷時）",
                                "2027/08/31 HBV HBs抗原・HBs抗体（受傷時）",
                                "2027/10/12 HIV HIV抗体（6週）",
                                "2027/11/30 HIV HIV抗体（3か月）",
                                "2028/02/29 HIV HIV抗体（6か月）",
                                "2028/02/29 HBV HBs抗原・HBs抗体（6か月）",
                            }));
  for (const FollowupTest& t : tests) EXPECT_EQ(t.reportId, 5);

  // Planned again: nothing new, even where a due date was moved since or a
  // test was added by hand on the day the schedule would give.
  tests[2].due = D(2027, 10, 20);
  EXPECT_TRUE(PlanSchedule(c, DefaultSchedule(), tests).empty());

  // HCV turns unknown: only its three tests are added; a hand-made HCV-RNA
  // on the 6-week day stands for the schedule's.
  c.sources.hcv = SourceStatus::Unknown;
  tests.push_back(TestOf(5, Pathogen::HCV, QStringLiteral("HCV-RNA"), D(2027, 10, 12)));
  EXPECT_EQ(Planned(PlanSchedule(c, DefaultSchedule(), tests)), (QStringList{
                                                                    "2027/08/31 HCV HCV抗体・ALT（受傷時）",
                                                                    "2028/02/29 HCV HCV抗体・ALT（6か月）",
                                                                }));

  // Negative or not applicable: nothing; and nothing without an incident date.
  c.sources = {SourceStatus::Negative, SourceStatus::NotApplicable, SourceStatus::NotApplicable};
  EXPECT_TRUE(PlanSchedule(c, DefaultSchedule(), {}).empty());
  c.sources = {};
  c.worker.incident = QDate();
  EXPECT_TRUE(PlanSchedule(c, DefaultSchedule(), {}).empty());
}

TEST(TestProblemTest, RefusesWhatCannotBeStored) {
  const QDate incident = D(2026, 12, 1);
  const QDate today = D(2026, 12, 9);
  FollowupTest ok = TestOf(1, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2026, 12, 1), D(2026, 12, 9));
  ok.result = QStringLiteral("陰性");
  EXPECT_EQ(TestProblem(ok, incident, today), QString());

  struct Case {
    const char* what;
    std::function<void(FollowupTest&)> change;
    const char* problem;
  } cases[] = {
      {"empty name", [](FollowupTest& t) { t.test = QStringLiteral("  "); }, "検査名を入力してください。"},
      {"long name", [](FollowupTest& t) { t.test = QString(41, QChar(u'検')); },
       "検査名は40文字以内で入力してください。"},
      {"due before the incident", [](FollowupTest& t) { t.due = D(2026, 11, 30); },
       "予定日が受傷日（2026/12/01）より前になっています。"},
      {"done before the incident", [](FollowupTest& t) { t.done = D(2026, 11, 30); },
       "実施日が受傷日（2026/12/01）より前になっています。"},
      {"done after today", [](FollowupTest& t) { t.done = D(2026, 12, 10); },
       "実施日が今日（2026/12/09）より後になっています。"},
      {"result without a done date", [](FollowupTest& t) { t.done = QDate(); },
       "結果を入力するときは、実施日も入力してください。"},
      {"long result", [](FollowupTest& t) { t.result = QString(41, QChar(u'陰')); },
       "結果は40文字以内で入力してください。"},
      {"long remarks", [](FollowupTest& t) { t.remarks = QString(101, QChar(u'備')); },
       "備考は100文字以内で入力してください。"},
  };
  for (const Case& c : cases) {
    FollowupTest t = ok;
    c.change(t);
    EXPECT_EQ(TestProblem(t, incident, today), QString::fromUtf8(c.problem)) << c.what;
  }
  // The limits themselves are allowed.
  FollowupTest longest = ok;
  longest.test = QString(40, QChar(u'検'));
  longest.result = QString(40, QChar(u'陰'));
  longest.remarks = QString(100, QChar(u'備'));
  EXPECT_EQ(TestProblem(longest, incident, today), QString());
}

TEST(ClosingAndProphylaxisTest, DatesMustLieBetweenTheIncidentAndNow) {
  const QDate incident = D(2026, 12, 1);
  const QDate today = D(2026, 12, 9);
  EXPECT_EQ(ClosingProblem(today, QStringLiteral("終了"), incident, today), QString());
  EXPECT_EQ(ClosingProblem(D(2026, 11, 30), QStringLiteral("終了"), incident, today),
            QStringLiteral("終了日が受傷日（2026/12/01）より前になっています。"));
  EXPECT_EQ(ClosingProblem(D(2026, 12, 10), QStringLiteral("終了"), incident, today),
            QStringLiteral("終了日が今日（2026/12/09）より後になっています。"));
  EXPECT_EQ(ClosingProblem(today, QStringLiteral(" "), incident, today),
            QStringLiteral("終了の理由を入力してください。"));

  const QDateTime now(today, QTime(9, 0));
  EXPECT_EQ(ProphylaxisProblem(Prophylactic::Hbig, {true, QDateTime(incident, QTime(0, 0))}, incident, now), QString());
  EXPECT_EQ(ProphylaxisProblem(Prophylactic::Hbig, {true, QDateTime(D(2026, 11, 30), QTime(23, 59))}, incident, now),
            QStringLiteral("HBIGの投与日時が受傷日（2026/12/01）より前になっています。"));
  EXPECT_EQ(ProphylaxisProblem(Prophylactic::Antiretroviral, {true, QDateTime(today, QTime(9, 1))}, incident, now),
            QStringLiteral("抗HIV薬の投与日時が現在より後になっています。"));
  EXPECT_EQ(ProphylaxisProblem(Prophylactic::HbVaccine, {false, {}}, incident, now), QString());
}

}  // namespace
}  // namespace orvanta
