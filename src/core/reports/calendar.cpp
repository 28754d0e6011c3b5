#include "core/reports/calendar.h"

namespace orvanta {
namespace {

// Days from 1 January 1970 to a proleptic Gregorian date (month 1-12).
constexpr std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;                                    // 0-399
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // 0-365
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;            // 0-146096
  return era * 146097 + doe - 719468;
}

// 1 January 1970 is serial day 25569.
constexpr std::int64_t kUnixDayToSerial = 25569;

constexpr std::int64_t SerialOf(std::int64_t y, int m, int d) { return DaysFromCivil(y, m, d) + kUnixDayToSerial; }

constexpr std::int64_t kFirstSerial = SerialOf(kFirstCalendarYear, 1, 1);
constexpr std::int64_t kLastSerial = SerialOf(kLastCalendarYear, 12, 31);

static_assert(SerialOf(1899, 12, 30) == 0);
static_assert(SerialOf(1900, 1, 1) == 2);

const QString& WeekdayNames(int w) {
  static const QString kNames[7] = {
      QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
      QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
  };
  return kNames[w];
}

}  // namespace

std::optional<std::int32_t> SerialDay(int year, int month, int day) {
  std::int64_t y = WindowedYear(year);
  // Month carries: month 0 is December of the year before, 13 January after.
  const std::int64_t m0 = static_cast<std::int64_t>(month) - 1;
  std::int64_t carry = m0 / 12;
  std::int64_t m = m0 % 12;
  if (m < 0) {
    m += 12;
    carry -= 1;
  }
  y += carry;
  // Outside the formable years even before the day is added: far enough out
  // that no day of the 32-bit range brings it back.
  if (y < kFirstCalendarYear - 6000000 || y > kLastCalendarYear + 6000000) return std::nullopt;
  const std::int64_t serial = SerialOf(y, static_cast<int>(m) + 1, 1) + (static_cast<std::int64_t>(day) - 1);
  if (serial < kFirstSerial || serial > kLastSerial) return std::nullopt;
  return static_cast<std::int32_t>(serial);
}

std::int32_t SerialDayUnchecked(int year, int month, int day) {
  return static_cast<std::int32_t>(SerialOf(year, month, day));
}

CalendarDate DateOfSerial(std::int32_t serial) {
  std::int64_t z = static_cast<std::int64_t>(serial) - kUnixDayToSerial + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  return CalendarDate{static_cast<int>(y), m, d};
}

bool IsValidDateText(int year, int month, int day) {
  if (year < 0 || year > kLastCalendarYear) return false;
  const int y = WindowedYear(year);
  if (y < kFirstCalendarYear) return false;
  return day >= 1 && day <= DaysInMonth(y, month);
}

QString WeekdayNameOf(int weekday) {
  if (weekday < 0 || weekday > 6) return QString();
  return WeekdayNames(weekday);
}

QString WeekdayName(int year, int month, int day) {
  if (!IsValidDateText(year, month, day)) return QString();
  return WeekdayNames(WeekdayOfSerial(SerialDayUnchecked(WindowedYear(year), month, day)));
}

std::optional<std::int32_t> DaysBetween(const CalendarDate& from, const CalendarDate& to) {
  const auto a = SerialDay(from.year, from.month, from.day);
  const auto b = SerialDay(to.year, to.month, to.day);
  if (!a || !b) return std::nullopt;
  return *b - *a;
}

}  // namespace orvanta
