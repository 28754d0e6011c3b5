#pragma once
// Calendar arithmetic of the date fields and the analysis period.
//
// Dates are proleptic Gregorian and can be formed for the years 100 to 9999.
// A date is handled as a serial day number: day 0 is 30 December 1899, day 1
// is 31 December 1899, and so on (negative before). Years 0 to 99 go through
// the two-digit-year window: 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to
// 1999. Every function here is a few integer operations; nothing allocates
// except the weekday name.

#include <QString>
#include <cstdint>
#include <optional>

namespace orvanta {

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

inline constexpr int kFirstCalendarYear = 100;
inline constexpr int kLastCalendarYear = 9999;

// The year a typed year stands for: 0-29 -> 2000-2029, 30-99 -> 1930-1999,
// every other value unchanged.
constexpr int WindowedYear(int year) {
  if (year >= 0 && year <= 29) return year + 2000;
  if (year >= 30 && year <= 99) return year + 1900;
  return year;
}

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days of month 1-12 of a (four-digit) year; 0 for any other month.
constexpr int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The serial day of year/month/day with carries: day 0 is the last day of the
// previous month, day 32 of January is 1 February, month 0 is December of the
// previous year, month 13 January of the next, and so on for any distance.
// The year goes through the two-digit window before the carries. Empty when
// the resulting date lies outside 1 January 100 to 31 December 9999.
std::optional<std::int32_t> SerialDay(int year, int month, int day);

// The serial day of a date inside 100-9999 without range checks.
std::int32_t SerialDayUnchecked(int year, int month, int day);

// The date of a serial day (any value; the year may fall outside 100-9999).
CalendarDate DateOfSerial(std::int32_t serial);

// Weekday of a serial day: 0 = Sunday ... 6 = Saturday.
constexpr int WeekdayOfSerial(std::int32_t serial) {
  // Serial 0 (30 December 1899) was a Saturday.
  const int w = static_cast<int>((static_cast<std::int64_t>(serial) + 6) % 7);
  return w < 0 ? w + 7 : w;
}

// Whether the text year "/" month "/" day, read as a date, is one: the year
// 0-99 through the window or 100-9999 as it is, month 1-12, day inside the
// month. No carries.
bool IsValidDateText(int year, int month, int day);

// The one-character weekday name of the text year/month/day read as a date:
// one of "日" "月" "火" "水" "木" "金" "土", or an empty text when the text is
// not a date (see IsValidDateText).
QString WeekdayName(int year, int month, int day);

// The name of weekday 0 (Sunday) to 6 (Saturday).
QString WeekdayNameOf(int weekday);

// Days from the first date to the second (negative when the second is
// earlier), both formed with carries as SerialDay does. Empty when either
// date cannot be formed.
std::optional<std::int32_t> DaysBetween(const CalendarDate& from, const CalendarDate& to);

}  // namespace orvanta
