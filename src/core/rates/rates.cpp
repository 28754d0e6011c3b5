#include "core/rates/rates.h"

#include <algorithm>
#include <cmath>

namespace orvanta {
namespace {

constexpr std::uint16_t kNoCategory = 0;

// One passing report as the reading thread leaves it: its day in the period
// and its entry positions + 1 in the two lists (0 for none).
struct CountedReport {
  std::int32_t dayIndex = 0;
  std::uint16_t occupation = kNoCategory;
  std::uint16_t device = kNoCategory;
};

std::vector<RatesEntry> EntriesOf(const CodeList& list) {
  std::vector<RatesEntry> out;
  out.reserve(static_cast<std::size_t>(list.count()));
  for (const CodeEntry& e : list.entries) out.push_back(RatesEntry{e.id, e.name});
  return out;
}

std::optional<double> Scaled(std::optional<double> value, const YearPart& year) {
  if (!value) return std::nullopt;
  return *value * year.share();
}

std::vector<GroupRow> GroupTable(const RatesCounts& counts, const Denominators& denominators,
                                 const std::vector<RatesEntry>& entries,
                                 const std::vector<std::vector<std::int64_t>>& byYear, DenominatorKind kind,
                                 double multiplier) {
  std::vector<GroupRow> rows;
  rows.reserve(entries.size());
  for (std::size_t e = 0; e < entries.size(); ++e) {
    GroupRow row;
    row.entry = entries[e];
    for (std::size_t y = 0; y < counts.years.size(); ++y) {
      GroupYear cell;
      cell.count = e < byYear[y].size() ? byYear[y][e] : 0;
      const YearPart& year = counts.years[y];
      cell.denominator = Scaled(denominators.value(year.year, kind, row.entry.id), year);
      if (const std::optional<RateEstimate> r = EstimateRate(cell.count, cell.denominator.value_or(0), multiplier))
        cell.rate = r->rate;
      row.years.push_back(cell);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// The denominator of a year for a comparison base; none when missing.
std::optional<double> YearDenominator(const RatesCounts& counts, const Denominators& denominators, int year,
                                      ComparisonBase base) {
  switch (base) {
    case ComparisonBase::Beds: return denominators.value(year, DenominatorKind::Beds);
    case ComparisonBase::PatientDays: return denominators.value(year, DenominatorKind::PatientDays);
    case ComparisonBase::Staff: return denominators.sum(year, DenominatorKind::Fte, counts.staffCodes);
    case ComparisonBase::Months: return std::nullopt;
  }
  return std::nullopt;
}

// The time of the days first..last in the base's unit: each year's
// denominator times the share of its days, summed; none when a year lacks it.
std::optional<double> TimeOf(const RatesCounts& counts, const Denominators& denominators, std::int32_t first,
                             std::int32_t last, ComparisonBase base) {
  double time = 0;
  for (const YearPart& part : YearsTouched(first, last, counts.kind)) {
    const std::optional<double> d = YearDenominator(counts, denominators, part.year, base);
    if (!d) return std::nullopt;
    time += *d * part.share();
  }
  return time;
}

// The reports of the days first..last whose occupation is one of staffCodes
// with an FTE in the year of the report's day: those a rate per staff pairs
// with its staff-years.
std::int64_t StaffCountBetween(const RatesCounts& counts, const Denominators& denominators, std::int32_t first,
                               std::int32_t last) {
  std::int64_t n = 0;
  for (const RatesCounts::DayAndOccupation& r : counts.reportOccupations) {
    const std::int32_t day = counts.days.first + r.dayIndex;
    if (day < first || day > last || r.occupation == kNoCategory) continue;
    const std::int32_t id = counts.occupations[r.occupation - 1u].id;
    if (std::find(counts.staffCodes.begin(), counts.staffCodes.end(), id) == counts.staffCodes.end()) continue;
    const std::vector<YearPart> year = YearsTouched(day, day, counts.kind);
    if (!year.empty() && denominators.value(year.front().year, DenominatorKind::Fte, id)) ++n;
  }
  return n;
}

std::int32_t SerialOf(const QDate& date) { return SerialDayUnchecked(date.year(), date.month(), date.day()); }

}  // namespace

std::int64_t RatesCounts::countBetween(std::int32_t firstDay, std::int32_t lastDay) const {
  const std::int32_t from = std::max(firstDay, days.first);
  const std::int32_t to = std::min(lastDay, days.last);
  std::int64_t n = 0;
  for (std::int32_t d = from; d <= to; ++d) n += dayCounts[static_cast<std::size_t>(d - days.first)];
  return n;
}

RatesCounts CountRates(const DrivePaths& paths, int newestFileNo, const CodeLists& lists, const AnalysisPeriod& period,
                       const AxisFilter& filter, YearKind kind, int threads) {
  RatesCounts counts;
  counts.period = period;
  counts.days = DaysOf(period);
  counts.kind = kind;
  counts.occupations = EntriesOf(lists[kOccupations]);
  counts.devices = EntriesOf(lists[kDevices]);
  const int chosenOccupation = filter.selection[static_cast<std::size_t>(AxisNumber(AnalysisAxis::Occupation))];
  if (chosenOccupation >= 1 && chosenOccupation <= lists[kOccupations].count()) {
    counts.staffCodes.push_back(lists[kOccupations].entries[chosenOccupation - 1].id);
  } else {
    for (const RatesEntry& e : counts.occupations) counts.staffCodes.push_back(e.id);
  }
  if (counts.days.empty()) return counts;

  counts.years = YearsTouched(counts.days.first, counts.days.last, kind);
  const std::size_t dayCount = static_cast<std::size_t>(counts.days.last - counts.days.first + 1);
  counts.dayCounts.assign(dayCount, 0);
  // The year slot of every day of the period.
  std::vector<std::uint32_t> yearOfDay(dayCount, 0);
  for (std::size_t y = 0; y < counts.years.size(); ++y) {
    const YearPart& part = counts.years[y];
    std::fill(yearOfDay.begin() + (part.firstDay - counts.days.first),
              yearOfDay.begin() + (part.lastDay - counts.days.first + 1), static_cast<std::uint32_t>(y));
  }
  counts.byOccupation.assign(counts.years.size(), std::vector<std::int64_t>(counts.occupations.size(), 0));
  counts.byDevice.assign(counts.years.size(), std::vector<std::int64_t>(counts.devices.size(), 0));

  // Each file is read, filtered and classified on the thread that read it;
  // the reports it leaves are counted in file order.
  const CategoryIndex index(lists);
  const FilterTest test(filter, lists);
  const std::int32_t firstDay = counts.days.first;
  const ScanSummary scanned = ScanReportsInParts<std::vector<CountedReport>>(
      paths, newestFileNo, period,
      [&](const ScannedFile& file) {
        std::vector<CountedReport> part;
        part.reserve(file.reports().size());
        CategorySet set;
        for (const ReportFacts& report : file.reports()) {
          if (!test.passes(report)) continue;
          const std::optional<std::int32_t> day = SerialDay(report.year, report.month, report.day);
          if (!day) continue;  // the scan only hands over reports of the period
          CountedReport counted;
          counted.dayIndex = *day - firstDay;
          CategoriesOf(AnalysisAxis::Occupation, report, index, set);
          if (!set.empty()) counted.occupation = static_cast<std::uint16_t>(set[0]);
          CategoriesOf(AnalysisAxis::CausingDevice, report, index, set);
          if (!set.empty()) counted.device = static_cast<std::uint16_t>(set[0]);
          part.push_back(counted);
        }
        return part;
      },
      [&](std::vector<CountedReport>&& part) {
        for (const CountedReport& r : part) {
          const std::size_t d = static_cast<std::size_t>(r.dayIndex);
          ++counts.dayCounts[d];
          const std::size_t y = yearOfDay[d];
          if (r.occupation != kNoCategory) ++counts.byOccupation[y][r.occupation - 1u];
          counts.reportOccupations.push_back({r.dayIndex, r.occupation});
          if (r.device != kNoCategory) ++counts.byDevice[y][r.device - 1u];
        }
        counts.total += static_cast<std::int64_t>(part.size());
      },
      threads);
  counts.unreadableFiles = scanned.unreadableFiles;
  counts.cutShortFiles = scanned.cutShortFiles;
  return counts;
}

std::vector<RatesRow> RatesTable(const RatesCounts& counts, const Denominators& denominators) {
  std::vector<RatesRow> rows;
  for (const YearPart& year : counts.years) {
    RatesRow row;
    row.year = year;
    row.count = counts.countBetween(year.firstDay, year.lastDay);
    row.beds = Scaled(denominators.value(year.year, DenominatorKind::Beds), year);
    if (row.beds) row.perBeds = EstimateRate(row.count, *row.beds, kPerHundred);
    row.staff = Scaled(denominators.sum(year.year, DenominatorKind::Fte, counts.staffCodes), year);
    const std::size_t y = rows.size();
    for (std::size_t e = 0; e < counts.occupations.size(); ++e) {
      const std::int32_t id = counts.occupations[e].id;
      if (std::find(counts.staffCodes.begin(), counts.staffCodes.end(), id) == counts.staffCodes.end()) continue;
      if (denominators.value(year.year, DenominatorKind::Fte, id) && y < counts.byOccupation.size())
        row.staffCount += counts.byOccupation[y][e];
    }
    if (row.staff) row.perStaff = EstimateRate(row.staffCount, *row.staff, kPerHundred);
    rows.push_back(row);
  }
  return rows;
}

std::vector<GroupRow> OccupationTable(const RatesCounts& counts, const Denominators& denominators) {
  return GroupTable(counts, denominators, counts.occupations, counts.byOccupation, DenominatorKind::Fte, kPerHundred);
}

std::vector<GroupRow> DeviceTable(const RatesCounts& counts, const Denominators& denominators) {
  return GroupTable(counts, denominators, counts.devices, counts.byDevice, DenominatorKind::Devices,
                    kPerHundredThousand);
}

namespace {

void AddLeftOut(std::vector<LeftOutEntry>& entries, const QString& name, std::int64_t count) {
  if (count == 0) return;
  for (LeftOutEntry& e : entries) {
    if (e.name == name) {
      e.count += count;
      return;
    }
  }
  entries.push_back(LeftOutEntry{name, count});
}

// The reports of year slot y that name no entry of the list.
std::int64_t WithoutEntry(const RatesCounts& counts, const std::vector<std::vector<std::int64_t>>& byYear,
                          std::size_t y) {
  std::int64_t named = 0;
  for (const std::int64_t n : byYear[y]) named += n;
  return counts.countBetween(counts.years[y].firstDay, counts.years[y].lastDay) - named;
}

}  // namespace

LeftOut StaffLeftOut(const RatesCounts& counts, const std::vector<GroupRow>& occupationRows,
                     const std::vector<RatesRow>& ratesRows) {
  LeftOut out;
  for (std::size_t y = 0; y < ratesRows.size() && y < counts.byOccupation.size(); ++y) {
    if (!ratesRows[y].staff) continue;  // no rate that year: nothing paired
    for (const GroupRow& row : occupationRows) {
      if (std::find(counts.staffCodes.begin(), counts.staffCodes.end(), row.entry.id) == counts.staffCodes.end())
        continue;
      if (y >= row.years.size()) continue;
      if (!row.years[y].denominator) AddLeftOut(out.entries, row.entry.name, row.years[y].count);
    }
    // A filter on one occupation passes only its reports; otherwise every
    // report not under an entry is left out.
    if (counts.staffCodes.size() == counts.occupations.size())
      out.withoutEntry += WithoutEntry(counts, counts.byOccupation, y);
  }
  return out;
}

LeftOut GroupLeftOut(const RatesCounts& counts, const std::vector<GroupRow>& rows,
                     const std::vector<std::vector<std::int64_t>>& byYear) {
  LeftOut out;
  for (const GroupRow& row : rows) {
    for (const GroupYear& year : row.years) {
      if (!year.denominator) AddLeftOut(out.entries, row.entry.name, year.count);
    }
  }
  for (std::size_t y = 0; y < byYear.size() && y < counts.years.size(); ++y)
    out.withoutEntry += WithoutEntry(counts, byYear, y);
  return out;
}

std::vector<MonthCount> MonthlyCounts(const RatesCounts& counts) {
  std::vector<MonthCount> months;
  if (counts.days.empty()) return months;
  CalendarDate at = DateOfSerial(counts.days.first);
  for (;;) {
    const std::int32_t first = SerialDayUnchecked(at.year, at.month, 1);
    const std::int32_t last = first + DaysInMonth(at.year, at.month) - 1;
    if (first > counts.days.last) break;
    MonthCount m;
    m.year = at.year;
    m.month = at.month;
    m.count = counts.countBetween(first, last);
    m.whole = first >= counts.days.first && last <= counts.days.last;
    months.push_back(m);
    if (++at.month > 12) {
      at.month = 1;
      ++at.year;
    }
  }
  return months;
}

QString ComparisonBaseName(ComparisonBase base) {
  switch (base) {
    case ComparisonBase::Beds: return QStringLiteral("稼働病床数");
    case ComparisonBase::Staff: return QStringLiteral("常勤換算職員数");
    case ComparisonBase::PatientDays: return QStringLiteral("延べ患者日数");
    case ComparisonBase::Months: return QStringLiteral("月数");
  }
  return {};
}

QString ComparisonRateUnit(ComparisonBase base) {
  switch (base) {
    case ComparisonBase::Beds: return QStringLiteral("100床・年あたり");
    case ComparisonBase::Staff: return QStringLiteral("100人・年あたり");
    case ComparisonBase::PatientDays: return QStringLiteral("1000患者日あたり");
    case ComparisonBase::Months: return QStringLiteral("1か月あたり");
  }
  return {};
}

double ComparisonMultiplier(ComparisonBase base) {
  switch (base) {
    case ComparisonBase::Beds:
    case ComparisonBase::Staff: return kPerHundred;
    case ComparisonBase::PatientDays: return kPerThousand;
    case ComparisonBase::Months: return 1;
  }
  return 1;
}

BeforeAfter CompareBeforeAfter(const RatesCounts& counts, const Denominators& denominators,
                               const Intervention& intervention, int months, ComparisonBase base) {
  BeforeAfter r;
  r.intervention = intervention;
  r.months = std::clamp(months, 1, kMaxComparisonMonths);
  r.asked = base;
  r.used = base;
  if (!intervention.date.isValid()) {
    r.problem = QStringLiteral("介入の日付が正しくありません。");
    return r;
  }
  // The whole windows, then the part of each inside the period.
  const std::int32_t on = SerialOf(intervention.date);
  const std::int32_t beforeFirst = SerialOf(intervention.date.addMonths(-r.months));
  const std::int32_t afterLast = SerialOf(intervention.date.addMonths(r.months)) - 1;
  const auto clip = [&](std::int32_t first, std::int32_t last) {
    ComparisonSide side;
    if (counts.days.empty()) return side;
    side.firstDay = std::max(first, counts.days.first);
    side.lastDay = std::min(last, counts.days.last);
    if (!side.empty()) side.count = counts.countBetween(side.firstDay, side.lastDay);
    return side;
  };
  r.before = clip(beforeFirst, on - 1);
  r.after = clip(on, afterLast);
  if (r.before.empty() || r.after.empty()) {
    r.problem = QStringLiteral("介入の前と後の両方が計算期間に入っていないため、比較できません。");
    return r;
  }
  std::optional<double> timeBefore;
  std::optional<double> timeAfter;
  if (base != ComparisonBase::Months) {
    timeBefore = TimeOf(counts, denominators, r.before.firstDay, r.before.lastDay, base);
    timeAfter = TimeOf(counts, denominators, r.after.firstDay, r.after.lastDay, base);
  }
  if (!timeBefore || !timeAfter || !(*timeBefore > 0) || !(*timeAfter > 0)) {
    // Months serve as the time: the N months, or the part of them the
    // period covers.
    r.fallBack = (!timeBefore || !timeAfter) ? BeforeAfter::FallBack::Missing : BeforeAfter::FallBack::Zero;
    if (base == ComparisonBase::Months) r.fallBack = BeforeAfter::FallBack::None;
    r.used = ComparisonBase::Months;
    timeBefore = r.months * static_cast<double>(r.before.lastDay - r.before.firstDay + 1) / (on - beforeFirst);
    timeAfter = r.months * static_cast<double>(r.after.lastDay - r.after.firstDay + 1) / (afterLast - on + 1);
  }
  r.before.time = *timeBefore;
  r.after.time = *timeAfter;
  if (r.used == ComparisonBase::Staff) {
    r.before.count = StaffCountBetween(counts, denominators, r.before.firstDay, r.before.lastDay);
    r.after.count = StaffCountBetween(counts, denominators, r.after.firstDay, r.after.lastDay);
  }
  const double m = ComparisonMultiplier(r.used);
  r.before.rate = EstimateRate(r.before.count, r.before.time, m);
  r.after.rate = EstimateRate(r.after.count, r.after.time, m);
  r.ratio = CompareRates(r.before.count, r.before.time, r.after.count, r.after.time);
  return r;
}

QString CountText(std::int64_t count) { return QString::number(count); }

QString DecimalText(double value) {
  const QString text = QString::number(value, 'f', 2);
  return text == QStringLiteral("-0.00") ? QStringLiteral("0.00") : text;
}

QString DecimalText(const std::optional<double>& value) { return value ? DecimalText(*value) : QString(); }

QString DayText(std::int32_t serialDay) {
  const CalendarDate d = DateOfSerial(serialDay);
  return QStringLiteral("%1年%2月%3日").arg(d.year).arg(d.month).arg(d.day);
}

}  // namespace orvanta
