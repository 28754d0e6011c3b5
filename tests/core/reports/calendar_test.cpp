#include "core/reports/calendar.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

std::string Show(const CalendarDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

TEST(Calendar, SerialDayCarriesDaysAndMonthsIntoNeighbours) {
  struct Case {
    CalendarDate in;
    CalendarDate out;
  } cases[] = {
      {{2004, 12, 32}, {2005, 1, 1}},                                  // 31 December + 1 day
      {{2005, 1, 0}, {2004, 12, 31}},                                  // 1 January - 1 day
      {{2004, 3, 0}, {2004, 2, 29}},                                   // leap year
      {{2005, 3, 0}, {2005, 2, 28}},   {{1900, 3, 0}, {1900, 2, 28}},  // century, not leap
      {{2000, 3, 0}, {2000, 2, 29}},                                   // 400-year, leap
      {{2026, 4, 31}, {2026, 5, 1}},                                   // 30 April + 1 day
      {{2004, 1, 32}, {2004, 2, 1}},   {{2004, 13, 1}, {2005, 1, 1}},  // month 13
      {{2004, 0, 1}, {2003, 12, 1}},                                   // month 0
      {{2004, 14, 0}, {2005, 1, 31}},  {{2004, -11, 1}, {2003, 1, 1}}, {{2026, 1, 400}, {2027, 2, 4}},
      {{2026, 1, -364}, {2025, 1, 1}}, {{29, 1, 1}, {2029, 1, 1}},  // two-digit-year window
      {{30, 1, 1}, {1930, 1, 1}},      {{0, 0, 1}, {1999, 12, 1}},  // window first, then the carry
      {{99, 13, 1}, {2000, 1, 1}},
  };
  for (const Case& c : cases) {
    const auto s = SerialDay(c.in.year, c.in.month, c.in.day);
    ASSERT_TRUE(s.has_value()) << Show(c.in);
    EXPECT_EQ(DateOfSerial(*s), c.out) << Show(c.in) << " gave " << Show(DateOfSerial(*s));
  }
}

TEST(Calendar, SerialDayMatchesKnownSerialsAndLimits) {
  struct Case {
    CalendarDate in;
    std::optional<std::int32_t> serial;
  } cases[] = {
      {{1899, 12, 30}, 0},
      {{1900, 1, 1}, 2},
      {{2026, 12, 9}, 46365},
      {{100, 1, 1}, -657434},
      {{9999, 12, 31}, 2958465},
      {{100, 1, 0}, std::nullopt},
      {{100, 0, 1}, std::nullopt},
      {{9999, 12, 32}, std::nullopt},
      {{10000, 1, 1}, std::nullopt},
      {{20000, 6, 15}, std::nullopt},
      {{-1, 1, 1}, std::nullopt},
      {{2026, 1, 2147483647}, std::nullopt},
      {{2026, -2147483647 - 1, 1}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SerialDay(c.in.year, c.in.month, c.in.day), c.serial) << Show(c.in);
}

TEST(Calendar, EverySerialDayOfTheFormableRangeRoundTrips) {
  const std::int32_t first = *SerialDay(100, 1, 1);
  const std::int32_t last = *SerialDay(9999, 12, 31);
  CalendarDate prev = DateOfSerial(first - 1);
  EXPECT_EQ(prev, (CalendarDate{99, 12, 31}));
  for (std::int32_t s = first; s <= last; ++s) {
    const CalendarDate d = DateOfSerial(s);
    // Each day follows the one before it in the calendar.
    const bool nextDay = d.year == prev.year && d.month == prev.month && d.day == prev.day + 1;
    const bool nextMonth = d.year == prev.year && d.month == prev.month + 1 && d.day == 1 &&
                           prev.day == DaysInMonth(prev.year, prev.month);
    const bool nextYear = d.year == prev.year + 1 && d.month == 1 && d.day == 1 && prev.month == 12 && prev.day == 31;
    ASSERT_TRUE(nextDay || nextMonth || nextYear) << s << ": " << Show(prev) << " then " << Show(d);
    ASSERT_EQ(SerialDay(d.year, d.month, d.day), s) << Show(d);
    ASSERT_EQ(WeekdayOfSerial(s), (WeekdayOfSerial(s - 1) + 1) % 7);
    prev = d;
  }
}

TEST(Calendar, DateTextValidity) {
  struct Case {
    CalendarDate d;
    bool valid;
  } cases[] = {
      {{2004, 2, 29}, true},  {{2005, 2, 29}, false}, {{1900, 2, 29}, false}, {{2000, 2, 29}, true},
      {{0, 2, 29}, true},    // 2000
      {{30, 2, 29}, false},  // 1930
      {{96, 2, 29}, true},   // 1996
      {{100, 2, 29}, false},  {{100, 1, 1}, true},    {{9999, 12, 31}, true}, {{10000, 1, 1}, false},
      {{20000, 1, 1}, false}, {{-1, 1, 1}, false},    {{2026, 13, 1}, false}, {{2026, 0, 1}, false},
      {{2026, 4, 31}, false}, {{2026, 4, 30}, true},  {{2026, 1, 0}, false},  {{2026, 1, 32}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidDateText(c.d.year, c.d.month, c.d.day), c.valid) << Show(c.d);
}

TEST(Calendar, WeekdayNames) {
  struct Case {
    CalendarDate d;
    const char16_t* name;
  } cases[] = {
      {{2026, 12, 9}, u"水"}, {{1899, 12, 30}, u"土"}, {{2000, 2, 29}, u"火"},  {{1996, 2, 29}, u"木"},
      {{2005, 3, 1}, u"火"},  {{100, 1, 1}, u"金"},    {{9999, 12, 31}, u"金"}, {{29, 1, 1}, u"月"},  // 2029-01-01
      {{30, 1, 1}, u"水"},                                                                            // 1930-01-01
      {{2026, 2, 29}, u""},   {{2026, 4, 31}, u""},    {{10000, 1, 1}, u""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WeekdayName(c.d.year, c.d.month, c.d.day), QString::fromUtf16(c.name)) << Show(c.d);
  for (int w = 0; w < 7; ++w) EXPECT_EQ(WeekdayNameOf(w).size(), 1);
  EXPECT_EQ(WeekdayNameOf(0), QStringLiteral("日"));
  EXPECT_EQ(WeekdayNameOf(6), QStringLiteral("土"));
  EXPECT_TRUE(WeekdayNameOf(7).isEmpty());
}

TEST(Calendar, DaysBetween) {
  struct Case {
    CalendarDate from, to;
    std::optional<std::int32_t> days;
  } cases[] = {
      {{2004, 2, 28}, {2004, 3, 1}, 2},
      {{2005, 2, 28}, {2005, 3, 1}, 1},
      {{2026, 12, 9}, {2026, 1, 1}, -342},
      {{2004, 1, 1}, {2005, 1, 1}, 366},
      {{2026, 5, 0}, {2026, 4, 30}, 0},  // both formed with carries
      {{2026, 1, 1}, {10000, 1, 1}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DaysBetween(c.from, c.to), c.days) << Show(c.from) << " " << Show(c.to);
}

}  // namespace
}  // namespace orvanta
