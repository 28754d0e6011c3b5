#include "core/reports/date_field_model.h"

#include <gtest/gtest.h>
#include <map>
#include <utility>

namespace orvanta {
namespace {

using P = DatePart;

// Keeps its own copy of every control from the notifications alone, as a
// widget would, and records what the report window is asked to do.
struct RecordingListener : DateFieldListener {
  std::map<std::pair<P, int>, int> spins;
  std::map<std::pair<P, int>, QString> texts;
  std::map<int, QString> weekdays;
  std::map<std::pair<P, int>, int> stored;  // last value stored per field
  int storeCalls = 0;
  int changedMarks = 0;

  void spinValueChanged(P p, int i, int v) override { spins[{p, i}] = v; }
  void textChanged(P p, int i, const QString& t) override { texts[{p, i}] = t; }
  void weekdayChanged(int i, const QString& n) override { weekdays[i] = n; }
  void storeValue(P p, int i, int v) override {
    stored[{p, i}] = v;
    ++storeCalls;
  }
  void markChanged() override { ++changedMarks; }
  void forget() {
    storeCalls = 0;
    changedMarks = 0;
    stored.clear();
  }
};

std::string Show(const CalendarDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

class DateFieldTest : public ::testing::Test {
 protected:
  explicit DateFieldTest(DateFieldVariant variant = DateFieldVariant::Report) : model(variant, &rec) {}

  // Shows a date the way the windows do: written into the boxes while
  // Loading, then the day handler brings the weekday up to date.
  void show(int i, int y, int m, int d) {
    model.setLoading(true);
    model.showDate(i, y, m, d);
    model.setLoading(false);
    model.runDayHandler(i);
    rec.forget();
  }

  // The listener saw every change: its copy equals the model.
  void expectMirrored() {
    for (int i = 0; i < kDateFieldCount; ++i) {
      for (P p : {P::Year, P::Month, P::Day}) {
        EXPECT_EQ((rec.spins[{p, i}]), model.spinValue(p, i));
        EXPECT_EQ((rec.texts[{p, i}]), model.text(p, i));
      }
      EXPECT_EQ(rec.weekdays[i], model.weekday(i));
    }
  }

  RecordingListener rec;
  DateFieldModel model;
};

class AnalysisDateFieldTest : public DateFieldTest {
 protected:
  AnalysisDateFieldTest() : DateFieldTest(DateFieldVariant::Analysis) {}
};

TEST_F(DateFieldTest, SpinStepsCarryAndKeepTheDateValid) {
  struct Case {
    CalendarDate start;
    P part;
    int delta;
    CalendarDate end;
  } cases[] = {
      {{2004, 12, 31}, P::Day, +1, {2005, 1, 1}},
      {{2005, 1, 1}, P::Day, -1, {2004, 12, 31}},
      {{2026, 4, 30}, P::Day, +1, {2026, 5, 1}},
      {{2026, 4, 29}, P::Day, +1, {2026, 4, 30}},
      {{2004, 3, 1}, P::Day, -1, {2004, 2, 29}},
      {{2005, 3, 1}, P::Day, -1, {2005, 2, 28}},
      {{1900, 3, 1}, P::Day, -1, {1900, 2, 28}},
      {{2000, 3, 1}, P::Day, -1, {2000, 2, 29}},
      {{2004, 2, 29}, P::Day, +1, {2004, 3, 1}},
      {{2004, 1, 31}, P::Month, +1, {2004, 2, 29}},
      {{2005, 1, 31}, P::Month, +1, {2005, 2, 28}},
      {{2026, 3, 31}, P::Month, -1, {2026, 2, 28}},
      {{2004, 2, 29}, P::Year, +1, {2005, 2, 28}},
      {{2004, 2, 29}, P::Year, -1, {2003, 2, 28}},
      {{2004, 12, 15}, P::Month, +1, {2005, 1, 15}},
      {{2004, 1, 15}, P::Month, -1, {2003, 12, 15}},
      {{1, 1, 15}, P::Month, -1, {1, 1, 15}},        // a report holds no year 0: stays
      {{1, 1, 1}, P::Day, -1, {1, 1, 1}},            //
      {{30, 2, 28}, P::Day, +1, {30, 3, 1}},         // 1930 is no leap year
      {{28, 2, 28}, P::Day, +1, {28, 2, 29}},        // 2028 is one
      {{9999, 12, 31}, P::Day, +1, {9999, 12, 31}},  // bounded: year 10000
      {{9999, 12, 15}, P::Month, +1, {9999, 12, 15}},
      {{9999, 6, 15}, P::Year, +1, {9999, 6, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.start) + " part " + std::to_string(static_cast<int>(c.part)) + " " + std::to_string(c.delta));
    show(0, c.start.year, c.start.month, c.start.day);
    if (c.delta > 0)
      model.stepUp(c.part, 0);
    else
      model.stepDown(c.part, 0);
    EXPECT_EQ(model.spinDate(0), c.end) << Show(model.spinDate(0));
    EXPECT_FALSE(model.invalid());
    EXPECT_FALSE(model.adjusting());
    // Every box shows its spin button with the sign blank (the stepped one
    // was written by its button; the others were written when they moved or
    // still hold what was shown).
    EXPECT_EQ(model.text(c.part, 0), QLatin1Char(' ') + QString::number(model.spinValue(c.part, 0)));
    expectMirrored();
  }
}

TEST_F(DateFieldTest, StepWritesEveryMovedBoxWithTheSignBlank) {
  show(0, 2004, 12, 31);
  EXPECT_EQ(model.text(P::Day, 0), QStringLiteral(" 31"));  // rewritten by the weekday refresh
  EXPECT_EQ(model.text(P::Month, 0), QStringLiteral("12"));
  EXPECT_EQ(model.text(P::Year, 0), QStringLiteral("2004"));
  model.stepUp(P::Day, 0);
  EXPECT_EQ(model.text(P::Day, 0), QStringLiteral(" 1"));
  EXPECT_EQ(model.text(P::Month, 0), QStringLiteral(" 1"));
  EXPECT_EQ(model.text(P::Year, 0), QStringLiteral(" 2005"));
  EXPECT_EQ(model.weekday(0), QStringLiteral("土"));  // 1 January 2005
  expectMirrored();
}

TEST_F(DateFieldTest, YearStaysInsideItsRange) {
  show(0, 0, 6, 15);
  model.stepDown(P::Year, 0);  // already at its minimum: nothing runs
  EXPECT_EQ(model.spinDate(0), (CalendarDate{0, 6, 15}));
  EXPECT_EQ(model.text(P::Year, 0), QStringLiteral("0"));
  EXPECT_EQ(rec.changedMarks, 0);

  // The year spin allows 20000, which is no date: stepping the month past
  // December does not carry the year above 20000, and the date stays.
  model.setLoading(true);
  model.setSpinValue(P::Year, 0, 20000);
  model.setSpinValue(P::Month, 0, 12);
  model.setSpinValue(P::Day, 0, 15);
  model.setLoading(false);
  model.stepUp(P::Year, 0);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{20000, 12, 15}));
  model.stepUp(P::Month, 0);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{20000, 12, 15}));
  EXPECT_TRUE(model.invalid());
  EXPECT_TRUE(model.weekday(0).isEmpty());
}

TEST_F(DateFieldTest, TypedTextsFollowTheBoxRules) {
  struct Case {
    CalendarDate start;
    P part;
    const char* typed;
    const char* textAfter;
    CalendarDate end;
    bool marks;
  } cases[] = {
      {{2026, 5, 10}, P::Day, "45", "31", {2026, 5, 31}, true},
      {{2026, 4, 10}, P::Day, "45", "31", {2026, 5, 1}, true},
      {{2026, 4, 10}, P::Day, "31", "31", {2026, 5, 1}, true},  // box keeps 31
      {{2026, 3, 15}, P::Day, "-3", "0", {2026, 2, 28}, true},
      {{2024, 3, 15}, P::Day, "-3", "0", {2024, 2, 29}, true},
      {{2026, 1, 15}, P::Day, "0", "0", {2025, 12, 31}, true},
      {{2026, 3, 15}, P::Day, "abc", "abc", {2026, 2, 28}, true},  // counts as 0
      {{2026, 3, 15}, P::Day, "3,1", "31", {2026, 3, 31}, true},   // comma removed
      {{2026, 3, 15}, P::Day, " 7.6x", " 7.6x", {2026, 3, 8}, true},
      {{2026, 3, 15}, P::Month, "abc", "abc", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Month, "0", "0", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Month, "13", "13", {2026, 3, 15}, false},
      {{2026, 1, 31}, P::Month, "2", "2", {2026, 2, 28}, true},
      {{2026, 3, 15}, P::Year, "abc", "abc", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Year, "", "", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Year, "0", "0", {2026, 3, 15}, true},  // a report holds no year 0
      {{2026, 3, 15}, P::Year, "10001", "10001", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Year, "-5", "-5", {2026, 3, 15}, false},
      {{2026, 3, 15}, P::Year, "10000", "10000", {2026, 3, 15}, true},  // taken, no date: stays
      {{2004, 2, 29}, P::Year, "2005", "2005", {2005, 2, 28}, true},
      {{2026, 3, 15}, P::Year, "29", "29", {29, 3, 15}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.start) + " typed " + c.typed);
    show(0, c.start.year, c.start.month, c.start.day);
    model.setText(c.part, 0, QString::fromUtf8(c.typed));
    EXPECT_EQ(model.text(c.part, 0), QString::fromUtf8(c.textAfter));
    EXPECT_EQ(model.spinDate(0), c.end) << Show(model.spinDate(0));
    EXPECT_EQ(rec.changedMarks > 0, c.marks);
    EXPECT_FALSE(model.typing(c.part));
    // What was stored last is what the spin buttons hold.
    for (const auto& [key, value] : rec.stored) EXPECT_EQ(value, model.spinValue(key.first, key.second));
    expectMirrored();
  }
}

TEST_F(DateFieldTest, TypedDayMovesOtherBoxesButNotTheOneTypedIn) {
  show(0, 2026, 4, 10);
  model.setText(P::Day, 0, QStringLiteral("31"));
  EXPECT_EQ(model.text(P::Day, 0), QStringLiteral("31"));
  EXPECT_EQ(model.spinValue(P::Day, 0), 1);
  EXPECT_EQ(model.text(P::Month, 0), QStringLiteral(" 5"));
  EXPECT_EQ(model.weekday(0), QStringLiteral("金"));  // 1 May 2026
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 0)], 1);
  EXPECT_EQ(rec.stored[std::make_pair(P::Month, 0)], 5);
}

TEST_F(DateFieldTest, WeekdayLabelsFollowTheTwoDigitYearWindow) {
  struct Case {
    CalendarDate d;
    const char16_t* weekday;
  } cases[] = {
      {{2026, 12, 9}, u"水"},
      {{29, 1, 1}, u"月"},  // 2029
      {{30, 1, 1}, u"水"},  // 1930
      {{4, 2, 29}, u"日"},  // 2004
  };
  for (const Case& c : cases) {
    show(1, c.d.year, c.d.month, c.d.day);
    EXPECT_EQ(model.weekday(1), QString::fromUtf16(c.weekday)) << Show(c.d);
    EXPECT_EQ(model.spinDate(1), c.d);
    EXPECT_TRUE(model.weekday(0).isEmpty());  // the other field is untouched
  }
}

TEST_F(DateFieldTest, AYearThatIsNoDateShowsNoWeekday) {
  show(0, 10000, 3, 15);  // a stored year the year box still takes
  EXPECT_TRUE(model.invalid());
  EXPECT_TRUE(model.weekday(0).isEmpty());
  EXPECT_EQ(model.spinDate(0), (CalendarDate{10000, 3, 15}));
  show(0, 0, 2, 29);  // no year of a report, though the calendar reads 2000
  EXPECT_TRUE(model.invalid());
  EXPECT_TRUE(model.weekday(0).isEmpty());
  show(0, 2026, 12, 9);
  EXPECT_EQ(model.weekday(0), QStringLiteral("水"));
  EXPECT_FALSE(model.invalid());
}

TEST_F(DateFieldTest, ShowingStoresValuesWithoutMarkingChanged) {
  model.setLoading(true);
  model.showDate(0, 2026, 4, 31);
  model.showTime(14, 5);
  EXPECT_EQ(rec.stored[std::make_pair(P::Year, 0)], 2026);
  EXPECT_EQ(rec.stored[std::make_pair(P::Month, 0)], 4);
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 0)], 31);  // no stepping while Loading
  EXPECT_EQ(rec.stored[std::make_pair(P::Hour, 0)], 14);
  EXPECT_EQ(rec.stored[std::make_pair(P::Minute, 0)], 5);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2026, 4, 31}));
  EXPECT_EQ(model.text(P::Day, 0), QStringLiteral("31"));
  EXPECT_EQ(model.text(P::Hour, 0), QStringLiteral("14"));
  EXPECT_EQ(rec.changedMarks, 0);
  model.setLoading(false);
  model.runDayHandler(0);
  // The refresh settles the date and shows the weekday, and is no change.
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2026, 5, 1}));
  EXPECT_EQ(rec.stored[std::make_pair(P::Month, 0)], 5);
  EXPECT_EQ(model.weekday(0), QStringLiteral("金"));
  EXPECT_EQ(rec.changedMarks, 0);
}

TEST_F(DateFieldTest, ShowingTakesTheDateWhateverTheBoxesHeld) {
  // A day typed that the month lacks: the box keeps "30", the spin buttons
  // settle on 1 March.
  show(0, 2004, 2, 10);
  model.setText(P::Day, 0, QStringLiteral("30"));
  ASSERT_EQ(model.spinDate(0), (CalendarDate{2004, 3, 1}));
  ASSERT_EQ(model.text(P::Day, 0), QStringLiteral("30"));
  rec.forget();
  // Another report stored on 30 June is shown: the day box already says 30.
  model.setLoading(true);
  model.showDate(0, 2004, 6, 30);
  model.setLoading(false);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2004, 6, 30}));
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 0)], 30);
  model.runDayHandler(0);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2004, 6, 30}));
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 0)], 30);
  EXPECT_EQ(rec.stored[std::make_pair(P::Month, 0)], 6);
  EXPECT_EQ(model.weekday(0), QStringLiteral("水"));
  EXPECT_EQ(rec.changedMarks, 0);
}

TEST_F(DateFieldTest, UserChangesStoreAndMark) {
  show(0, 2026, 12, 9);
  model.stepUp(P::Day, 0);
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 0)], 10);
  EXPECT_GT(rec.changedMarks, 0);
  EXPECT_EQ(model.weekday(0), QStringLiteral("木"));

  show(1, 2026, 12, 20);
  model.setText(P::Day, 1, QStringLiteral("5"));
  EXPECT_EQ(rec.stored[std::make_pair(P::Day, 1)], 5);
  EXPECT_EQ(rec.stored.count(std::make_pair(P::Day, 0)), 0u);
  EXPECT_GT(rec.changedMarks, 0);
}

TEST_F(DateFieldTest, SettingTheValueAControlHoldsRunsNothing) {
  show(0, 2026, 12, 9);
  RecordingListener quiet;
  model.setListener(&quiet);
  model.setText(P::Day, 0, model.text(P::Day, 0));
  model.setText(P::Year, 0, model.text(P::Year, 0));
  model.setSpinValue(P::Month, 0, 12);
  model.setSpinValue(P::Day, 0, 9);
  EXPECT_TRUE(quiet.spins.empty());
  EXPECT_TRUE(quiet.texts.empty());
  EXPECT_EQ(quiet.storeCalls, 0);
  EXPECT_EQ(quiet.changedMarks, 0);
}

TEST_F(DateFieldTest, TimeWrapsWithinTheDay) {
  show(0, 2026, 12, 31);
  model.setLoading(true);
  model.showTime(23, 0);
  model.setLoading(false);
  rec.forget();

  model.stepUp(P::Hour, 0);
  EXPECT_EQ(model.spinValue(P::Hour, 0), 0);
  EXPECT_EQ(model.text(P::Hour, 0), QStringLiteral("0"));
  EXPECT_EQ(rec.stored[std::make_pair(P::Hour, 0)], 0);
  EXPECT_GT(rec.changedMarks, 0);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2026, 12, 31}));  // no carry into the date

  model.stepDown(P::Minute, 0);
  EXPECT_EQ(model.spinValue(P::Minute, 0), 59);
  EXPECT_EQ(model.text(P::Minute, 0), QStringLiteral("59"));
  EXPECT_EQ(model.spinValue(P::Hour, 0), 0);
  EXPECT_EQ(rec.stored[std::make_pair(P::Minute, 0)], 59);

  model.stepDown(P::Hour, 0);
  EXPECT_EQ(model.text(P::Hour, 0), QStringLiteral("23"));
  model.stepDown(P::Hour, 0);
  EXPECT_EQ(model.text(P::Hour, 0), QStringLiteral(" 22"));
  model.stepUp(P::Minute, 0);
  EXPECT_EQ(model.text(P::Minute, 0), QStringLiteral("0"));
  EXPECT_EQ(model.spinValue(P::Minute, 0), 0);
}

TEST_F(DateFieldTest, TypedTimeWrapsOutOfRangeValues) {
  struct Case {
    P part;
    const char* typed;
    const char* textAfter;
    int value;
  } cases[] = {
      {P::Hour, "24", "0", 0},   {P::Hour, "-1", "23", 23},   {P::Hour, "abc", "abc", 0},  {P::Hour, "7", "7", 7},
      {P::Minute, "75", "0", 0}, {P::Minute, "-2", "59", 59}, {P::Minute, "30", "30", 30},
  };
  for (const Case& c : cases) {
    model.setLoading(true);
    model.showTime(12, 12);
    model.setLoading(false);
    rec.forget();
    model.setText(c.part, 0, QString::fromUtf8(c.typed));
    EXPECT_EQ(model.text(c.part, 0), QString::fromUtf8(c.textAfter)) << c.typed;
    EXPECT_EQ(model.spinValue(c.part, 0), c.value) << c.typed;
    EXPECT_EQ(rec.stored[std::make_pair(c.part, 0)], c.value) << c.typed;
    EXPECT_GT(rec.changedMarks, 0);
  }
}

TEST_F(AnalysisDateFieldTest, StepsWithoutReportWeekdayOrTime) {
  show(0, 2004, 1, 31);
  show(1, 2005, 3, 1);
  model.stepUp(P::Month, 0);
  model.stepDown(P::Day, 1);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2004, 2, 29}));
  EXPECT_EQ(model.spinDate(1), (CalendarDate{2005, 2, 28}));
  EXPECT_EQ(rec.storeCalls, 0);
  EXPECT_EQ(rec.changedMarks, 0);
  EXPECT_TRUE(model.weekday(0).isEmpty());
  model.setText(P::Hour, 0, QStringLiteral("5"));
  EXPECT_TRUE(model.text(P::Hour, 0).isEmpty());
  // The weekday check still runs.
  model.setText(P::Year, 0, QStringLiteral("10000"));
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2004, 2, 29}));
}

// In the period the year 0 is a year like others (2000 through the window),
// and the spin buttons' ends hold.
TEST_F(AnalysisDateFieldTest, StepsAtTheYearZero) {
  struct Case {
    CalendarDate start;
    P part;
    CalendarDate end;
  } cases[] = {
      {{0, 1, 15}, P::Month, {0, 12, 15}},  // the year does not go below 0
      {{0, 1, 1}, P::Day, {0, 1, 1}},       // year -1 is no date: stays
      {{0, 3, 1}, P::Day, {0, 2, 29}},      // 2000 is a leap year
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.start));
    show(0, c.start.year, c.start.month, c.start.day);
    model.stepDown(c.part, 0);
    EXPECT_EQ(model.spinDate(0), c.end) << Show(model.spinDate(0));
    EXPECT_FALSE(model.invalid());
  }
}

TEST_F(AnalysisDateFieldTest, DefaultPeriodWrittenWhileLoadingIsTakenAsItIs) {
  model.setLoading(true);
  model.showDate(1, 2004, 6, 15);
  model.showDate(0, 2003, 6, 16);
  model.setLoading(false);
  EXPECT_EQ(model.spinDate(0), (CalendarDate{2003, 6, 16}));
  EXPECT_EQ(model.spinDate(1), (CalendarDate{2004, 6, 15}));
  EXPECT_EQ(model.text(P::Day, 0), QStringLiteral("16"));
  EXPECT_EQ(model.text(P::Year, 1), QStringLiteral("2004"));
}

// What a report's box keeps of an edit: digits only (full-width ones as
// ASCII), never a number past what the report holds, and a paste only as a
// whole value; refused edits keep the text before.
TEST(DateBoxEdits, KeepDigitsWithinWhatTheReportHolds) {
  struct Case {
    P part;
    const char16_t* before;
    const char16_t* after;
    const char16_t* kept;
    bool refused;
  } cases[] = {
      {P::Day, u"10", u"1", u"1", false},                          // on the way to another number
      {P::Day, u"1", u"", u"", false},                             // emptied
      {P::Day, u"", u"0", u"0", false},                            // "05" may follow
      {P::Day, u"8", u"8a", u"8", true},                           // no letters
      {P::Day, u"15", u"-15", u"15", true},                        // no sign
      {P::Day, u"15", u"1.5", u"15", true},                        // no point
      {P::Day, u" 15", u" 1", u" 1", false},                       // the sign blank the spin button wrote stays
      {P::Day, u" 15", u"  15", u" 15", true},                     // but none is typed
      {P::Day, u"1", u"1 ", u"1", true},                           // nor after the number
      {P::Day, u"3", u"31", u"31", false},                         //
      {P::Day, u"3", u"32", u"3", true},                           // past 31
      {P::Day, u"4", u"45", u"4", true},                           //
      {P::Day, u"1", u"1５", u"15", false},                        // full-width digits as ASCII
      {P::Day, u"", u"０５", u"05", false},                        // pasted whole value
      {P::Day, u"10", u"1a", u"10", true},                         // pasted: not a number
      {P::Day, u"15", u"00", u"15", true},                         // pasted: no day
      {P::Day, u"10", u"", u"", false},                            // cut
      {P::Month, u"4", u"１２", u"12", false},                     // pasted over the box
      {P::Month, u"4", u"１３", u"4", true},                       //
      {P::Month, u"4", u"412", u"4", true},                        // pasted after the 4
      {P::Month, u"1", u"13", u"1", true},                         //
      {P::Year, u"1000", u"10000", u"1000", true},                 // past 9999
      {P::Year, u"2023", u"0", u"0", false},                       // waits: no year 0 is taken
      {P::Year, u"2023", u"99999999999999999999", u"2023", true},  // pasted: far past 9999
      {P::Hour, u"1", u"23", u"23", false},                        //
      {P::Hour, u"2", u"24", u"2", true},                          //
      {P::Minute, u"5", u"59", u"59", false},                      //
      {P::Minute, u"6", u"60", u"6", true},                        //
  };
  for (const Case& c : cases) {
    const QString before = QString::fromUtf16(c.before), after = QString::fromUtf16(c.after);
    SCOPED_TRACE(before.toStdString() + " -> " + after.toStdString());
    const DateBoxEdit edit = EditDateBox(c.part, before, after);
    EXPECT_EQ(edit.text, QString::fromUtf16(c.kept));
    EXPECT_EQ(edit.refused, c.refused);
  }
}

TEST(DateFieldText, LeadingNumberAndSpinText) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"15", 15}, {" 15", 15}, {"-3", -3},  {"+4", 4},      {"12abc", 12}, {"abc", 0},  {"", 0},
      {"-", 0},   {".", 0},    {".5", 0.5}, {"2.5.1", 2.5}, {"1 2", 1},    {"１２", 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
  for (const char* text : {"abc", "", "-", ".", " x1"}) {
    bool found = true;
    LeadingNumber(QString::fromUtf8(text), &found);
    EXPECT_FALSE(found) << text;
  }
  bool found = false;
  EXPECT_EQ(LeadingNumber(QStringLiteral("0"), &found), 0.0);
  EXPECT_TRUE(found);
  EXPECT_EQ(SpinText(15), QStringLiteral(" 15"));
  EXPECT_EQ(SpinText(0), QStringLiteral(" 0"));
  EXPECT_EQ(SpinText(-1), QStringLiteral("-1"));
}

}  // namespace
}  // namespace orvanta
