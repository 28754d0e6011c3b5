#pragma once
// The years that rates are counted in: the 年度 (1 April to 31 March, named
// by the year in which it starts) or the calendar year. The choice is kept in
// the database (setting year_kind) and holds for the denominators and for
// every table and graph of the rates.

#include <QString>
#include <cstdint>
#include <vector>

#include "core/reports/calendar.h"

namespace orvanta {

class Database;

enum class YearKind { Fiscal, Calendar };

// The stored values of the setting: "fiscal", "calendar".
QString YearKindKey(YearKind kind);

// The year a date (a formed date, month 1-12) belongs to.
constexpr int YearOfDate(int year, int month, YearKind kind) {
  return kind == YearKind::Fiscal && month < 4 ? year - 1 : year;
}
// The month a year starts with: April or January.
constexpr int FirstMonthOfYear(YearKind kind) { return kind == YearKind::Fiscal ? 4 : 1; }

// The first and last serial day of a year (years 100 to 9998 for 年度).
std::int32_t FirstDayOfYear(int year, YearKind kind);
std::int32_t LastDayOfYear(int year, YearKind kind);
// How many days the year has: 365 or 366.
int DaysOfYear(int year, YearKind kind);

// "2024年度" or "2024年".
QString YearLabel(int year, YearKind kind);
// The heading of a column of years: "年度" or "年".
QString YearHeading(YearKind kind);

// One year as a stretch of days (a period) covers it: the days inside, and
// the share of the year's days they are.
struct YearPart {
  int year = 0;
  std::int32_t firstDay = 0;  // serial days, inside the stretch
  std::int32_t lastDay = 0;
  int daysInside = 0;
  int daysOfYear = 365;
  double share() const { return static_cast<double>(daysInside) / daysOfYear; }
  bool whole() const { return daysInside == daysOfYear; }
};

// The years that the days first..last touch, oldest first; none when last
// is before first.
std::vector<YearPart> YearsTouched(std::int32_t firstDay, std::int32_t lastDay, YearKind kind);

// The year kind the database holds; 年度 when it holds none or is not open.
YearKind ReadYearKind(const Database& database);
// Keeps the choice, in one transaction; false with the reason in error.
bool WriteYearKind(Database& database, YearKind kind, QString* error);

}  // namespace orvanta
