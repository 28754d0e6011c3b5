#pragma once
// The rates of one period under the seventeen filters: what one scan of the
// data files counts (per day, and per year by 職種 and by 原因器材), and what
// the window, its CSV files and its prints read from it: the rates table per
// year, the tables by occupation and by device, the monthly trend and the
// comparison before and after an intervention.
//
// A year the period cuts counts the reports inside the period, and its
// denominators are scaled by the share of the year's days that the period
// covers (d × days inside ÷ days of the year). A year without a denominator
// has its count and no rate.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/codelists/code_lists.h"
#include "core/rates/denominators.h"
#include "core/rates/interventions.h"
#include "core/rates/rate_statistics.h"
#include "core/rates/rate_years.h"

namespace orvanta {

class DrivePaths;

// The multipliers: per 100 beds, per 100 staff, per 100,000 units, per
// 1,000 patient-days.
inline constexpr double kPerHundred = 100;
inline constexpr double kPerHundredThousand = 100000;
inline constexpr double kPerThousand = 1000;

// One entry of a code list as the scan found it.
struct RatesEntry {
  std::int32_t id = 0;
  QString name;
};

// What one scan leaves for the whole window.
struct RatesCounts {
  AnalysisPeriod period;  // as the date fields held it
  PeriodDays days;        // empty when the period is
  YearKind kind = YearKind::Fiscal;
  // The years the period touches, oldest first.
  std::vector<YearPart> years;
  // The reports that pass the filters, per day of the period (day
  // days.first + i in slot i).
  std::vector<std::int32_t> dayCounts;
  // Per year (slot as in years) and entry position: the reports of each
  // 職種 and 原因器材 entry.
  std::vector<std::vector<std::int64_t>> byOccupation;
  std::vector<std::vector<std::int64_t>> byDevice;
  // Each counted report's day (slot as in dayCounts) and 職種 entry position
  // + 1 (0 for none), in file order: what a comparison per staff counts.
  struct DayAndOccupation {
    std::int32_t dayIndex = 0;
    std::uint16_t occupation = 0;
  };
  std::vector<DayAndOccupation> reportOccupations;
  // The entries of the two lists as they were when the scan started.
  std::vector<RatesEntry> occupations;
  std::vector<RatesEntry> devices;
  // The 職種 ids whose full-time equivalents are the staff the rates count
  // against: every entry, or the one the 職種 filter chooses.
  std::vector<std::int32_t> staffCodes;
  std::int64_t total = 0;
  // The data files that are there but could not be read, in file order.
  std::vector<int> unreadableFiles;
  std::vector<CutShortFile> cutShortFiles;  // read, but some reports lack body sites

  // The reports of the days first..last (clipped to the period).
  std::int64_t countBetween(std::int32_t firstDay, std::int32_t lastDay) const;
};

// The one scan: data files 0 to newestFileNo read once, every report of the
// period that passes the filter counted on its day and under its 職種 and
// 原因器材 entries. The result is the same whatever the number of threads.
RatesCounts CountRates(const DrivePaths& paths, int newestFileNo, const CodeLists& lists, const AnalysisPeriod& period,
                       const AxisFilter& filter, YearKind kind, int threads = kScanThreadsAuto);

// One row of the rates table.
struct RatesRow {
  YearPart year;
  std::int64_t count = 0;
  std::optional<double> beds;  // scaled to the period's share of the year
  std::optional<RateEstimate> perBeds;
  // The staff rate pairs its count with its denominator: staffCount counts
  // only the reports of the staffCodes entries that have an FTE in the year,
  // staff sums those FTE (scaled); none when no entry has one.
  std::int64_t staffCount = 0;
  std::optional<double> staff;
  std::optional<RateEstimate> perStaff;
};
std::vector<RatesRow> RatesTable(const RatesCounts& counts, const Denominators& denominators);

// One year of a row of the table by occupation or by device.
struct GroupYear {
  std::int64_t count = 0;
  std::optional<double> denominator;  // scaled
  std::optional<double> rate;
};
struct GroupRow {
  RatesEntry entry;
  std::vector<GroupYear> years;  // slot as in RatesCounts::years
};
// Rows: the 職種 entries, FTE per 100 staff; the 原因器材 entries, units
// purchased per 100,000.
std::vector<GroupRow> OccupationTable(const RatesCounts& counts, const Denominators& denominators);
std::vector<GroupRow> DeviceTable(const RatesCounts& counts, const Denominators& denominators);

// What a rate leaves out: the reports of each entry that counted but had no
// denominator to pair with, summed over the years, in list order; and the
// reports that name no entry of the list at all.
struct LeftOutEntry {
  QString name;
  std::int64_t count = 0;
  bool operator==(const LeftOutEntry&) const = default;
};
struct LeftOut {
  std::vector<LeftOutEntry> entries;
  std::int64_t withoutEntry = 0;
  bool empty() const { return entries.empty() && withoutEntry == 0; }
};
// Of the rates table's 100人あたり: in each year that has a staff rate, the
// reports of the staffCodes entries without an FTE, and the reports that
// name no occupation. occupationRows is OccupationTable(counts, ...).
LeftOut StaffLeftOut(const RatesCounts& counts, const std::vector<GroupRow>& occupationRows,
                     const std::vector<RatesRow>& ratesRows);
// Of a table by occupation or by device: each entry's reports in the years
// where it has no denominator, and the reports of no entry.
LeftOut GroupLeftOut(const RatesCounts& counts, const std::vector<GroupRow>& rows,
                     const std::vector<std::vector<std::int64_t>>& byYear);

// The reports of one month of the period.
struct MonthCount {
  int year = 0;   // calendar year
  int month = 0;  // 1-12
  std::int64_t count = 0;
  bool whole = true;  // false when the period covers only part of the month
};
std::vector<MonthCount> MonthlyCounts(const RatesCounts& counts);

// What the time before and after an intervention is measured in.
enum class ComparisonBase { Beds, Staff, PatientDays, Months };
// "稼働病床数", "常勤換算職員数", "延べ患者日数", "月数".
QString ComparisonBaseName(ComparisonBase base);
// The unit of its rates: "100床・年あたり", "100人・年あたり",
// "1000患者日あたり", "1か月あたり".
QString ComparisonRateUnit(ComparisonBase base);
double ComparisonMultiplier(ComparisonBase base);

inline constexpr int kDefaultComparisonMonths = 12;
inline constexpr int kMaxComparisonMonths = 120;

struct ComparisonSide {
  std::int32_t firstDay = 1;  // inside the period; empty when last < first
  std::int32_t lastDay = 0;
  std::int64_t count = 0;
  double time = 0;  // bed-years, staff-years, patient-days or months
  std::optional<RateEstimate> rate;
  bool empty() const { return lastDay < firstDay; }
};

struct BeforeAfter {
  Intervention intervention;
  int months = kDefaultComparisonMonths;
  ComparisonBase asked = ComparisonBase::Beds;
  ComparisonBase used = ComparisonBase::Beds;  // Months when the asked one is missing
  // The N months before the date (up to the day before) and after it (from
  // the day itself), each cut to the period.
  ComparisonSide before;
  ComparisonSide after;
  std::optional<RateRatio> ratio;
  // Why the asked base gave way to months: a year without the denominator,
  // or denominators registered as 0.
  enum class FallBack { None, Missing, Zero };
  FallBack fallBack = FallBack::None;
  // Why nothing could be compared; empty when it could.
  QString problem;
  bool fellBackToMonths() const { return used != asked; }
};
BeforeAfter CompareBeforeAfter(const RatesCounts& counts, const Denominators& denominators,
                               const Intervention& intervention, int months, ComparisonBase base);

// Numbers as the tables show and write them: counts whole, the rest with two
// decimals ("12.50").
QString CountText(std::int64_t count);
QString DecimalText(double value);
QString DecimalText(const std::optional<double>& value);  // empty for none
// "2024年4月1日" for a serial day.
QString DayText(std::int32_t serialDay);

}  // namespace orvanta
