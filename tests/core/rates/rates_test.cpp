#include "core/rates/rates.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "core/rates/rates_tables.h"
#include "support/rates_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::EntryIdAt;
using testing::kRatesPeriod;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectClose(const std::optional<double>& actual, double expected, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_FALSE(actual) << what;
    return;
  }
  ASSERT_TRUE(actual) << what;
  if (std::isinf(expected)) {
    EXPECT_TRUE(std::isinf(*actual)) << what;
    return;
  }
  EXPECT_NEAR(*actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

std::optional<double> Field(const std::optional<RateEstimate>& r, double RateEstimate::*f) {
  return r ? std::optional<double>((*r).*f) : std::nullopt;
}

// One row of the rates table as tools/make_rates_expectations.py computes it.
struct ExpectedRow {
  int year;
  std::int64_t count;
  double beds, perBeds, bedsLower, bedsUpper, staff, perStaff, staffLower, staffUpper;
};

void ExpectRows(const std::vector<RatesRow>& rows, const std::vector<ExpectedRow>& expected) {
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RatesRow& r = rows[i];
    const ExpectedRow& e = expected[i];
    SCOPED_TRACE(e.year);
    EXPECT_EQ(r.year.year, e.year);
    EXPECT_EQ(r.count, e.count);
    ExpectClose(r.beds, e.beds, "beds");
    ExpectClose(Field(r.perBeds, &RateEstimate::rate), e.perBeds, "per 100 beds");
    ExpectClose(Field(r.perBeds, &RateEstimate::lower), e.bedsLower, "beds' lower");
    ExpectClose(Field(r.perBeds, &RateEstimate::upper), e.bedsUpper, "beds' upper");
    ExpectClose(r.staff, e.staff, "staff");
    ExpectClose(Field(r.perStaff, &RateEstimate::rate), e.perStaff, "per 100 staff");
    ExpectClose(Field(r.perStaff, &RateEstimate::lower), e.staffLower, "staff's lower");
    ExpectClose(Field(r.perStaff, &RateEstimate::upper), e.staffUpper, "staff's upper");
  }
}

class RatesTest : public ::testing::Test, public testing::TempDrive {
 protected:
  RatesTest() {
    EXPECT_TRUE(testing::InstallRatesCollection(*this));
    QString error;
    EXPECT_TRUE(LoadDenominators(state.database, &denominators, &error)) << error.toStdString();
  }

  RatesCounts Count(YearKind kind, const AxisFilter& filter = {}, const AnalysisPeriod& period = kRatesPeriod,
                    int threads = kScanThreadsAuto) {
    return CountRates(state.paths, state.counters.NewestFileNo, state.lists, period, filter, kind, threads);
  }

  Denominators denominators;
};

TEST(RateYearsTest, YearsStartOnTheFirstOfAprilOrJanuary) {
  struct Case {
    int year, month, day;
    int fiscal, calendar;
  };
  const Case cases[] = {
      {2024, 3, 31, 2023, 2024}, {2024, 4, 1, 2024, 2024}, {2024, 1, 1, 2023, 2024}, {2023, 12, 31, 2023, 2023}};
  for (const Case& c : cases) {
    EXPECT_EQ(YearOfDate(c.year, c.month, YearKind::Fiscal), c.fiscal) << c.month << "/" << c.day;
    EXPECT_EQ(YearOfDate(c.year, c.month, YearKind::Calendar), c.calendar) << c.month << "/" << c.day;
  }
  // 年度 2023 holds 29 February 2024; calendar 2023 does not.
  EXPECT_EQ(DaysOfYear(2023, YearKind::Fiscal), 366);
  EXPECT_EQ(DaysOfYear(2024, YearKind::Fiscal), 365);
  EXPECT_EQ(DaysOfYear(2024, YearKind::Calendar), 366);
  EXPECT_EQ(DateOfSerial(LastDayOfYear(2023, YearKind::Fiscal)), (CalendarDate{2024, 3, 31}));
  EXPECT_EQ(YearLabel(2025, YearKind::Fiscal), u"2025年度"_s);
  EXPECT_EQ(YearLabel(2025, YearKind::Calendar), u"2025年"_s);

  const std::vector<YearPart> parts =
      YearsTouched(SerialDayUnchecked(2024, 3, 31), SerialDayUnchecked(2024, 4, 1), YearKind::Fiscal);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].year, 2023);
  EXPECT_EQ(parts[0].daysInside, 1);
  EXPECT_EQ(parts[1].year, 2024);
  EXPECT_EQ(parts[1].daysInside, 1);
}

// Values from tools/make_rates_expectations.py: 年度 2022 has no report (k =
// 0) and is cut to 182 of its 365 days, so its denominators are scaled;
// 2023 is whole and holds 31 March 2024; 2024 starts with 1 April and has
// no denominators.
TEST_F(RatesTest, FiscalYearsCountAgainstScaledDenominators) {
  const RatesCounts counts = Count(YearKind::Fiscal);
  EXPECT_EQ(counts.total, 10);
  ExpectRows(RatesTable(counts, denominators),
             {
                 {2022, 0, 149.589041096, 0.0, 0.0, 2.46600915889, 99.7260273973, 0.0, 0.0, 3.69901373833},
                 {2023, 7, 330.0, 2.12121212121, 0.852837288339, 4.37050768536, 210.0, 3.33333333333, 1.34017288168,
                  6.86794064843},
                 {2024, 3, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
             });
}

TEST_F(RatesTest, CalendarYearsCountTheSameReportsOtherwise) {
  const RatesCounts counts = Count(YearKind::Calendar);
  ExpectRows(RatesTable(counts, denominators),
             {
                 {2022, 0, 75.6164383562, 0.0, 0.0, 4.87840942301, 50.4109589041, 0.0, 0.0, 7.31761413452},
                 {2023, 6, 330.0, 1.81818181818, 0.667240682876, 3.95741637046, 210.0, 2.85714285714, 1.04852107309,
                  6.21879715358},
                 {2024, 4, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
             });
}

// A 職種 chosen in the filter counts that occupation's reports against that
// occupation's staff alone.
TEST_F(RatesTest, ChosenOccupationCountsAgainstItsOwnStaff) {
  AxisFilter nurses;
  nurses.selection[0] = 4;
  const std::vector<RatesRow> rows = RatesTable(Count(YearKind::Fiscal, nurses), denominators);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].count, 5);
  ExpectClose(rows[1].staff, 150, "staff");
  ExpectClose(Field(rows[1].perStaff, &RateEstimate::rate), 5.0 / 150 * 100, "rate");
  ExpectClose(Field(rows[1].perStaff, &RateEstimate::upper), 11.6683320793 / 150 * 100, "upper");
}

TEST_F(RatesTest, TablesByOccupationAndDevice) {
  const RatesCounts counts = Count(YearKind::Fiscal);
  const std::vector<GroupRow> occupations = OccupationTable(counts, denominators);
  ASSERT_EQ(occupations.size(), static_cast<std::size_t>(state.lists[kOccupations].count()));
  const GroupRow& doctors = occupations[0];
  EXPECT_EQ(doctors.entry.id, EntryIdAt(*this, kOccupations, 1));
  ASSERT_EQ(doctors.years.size(), 3u);
  EXPECT_EQ(doctors.years[1].count, 2);
  ExpectClose(doctors.years[1].denominator, 60, "FTE");
  ExpectClose(doctors.years[1].rate, 2.0 / 60 * 100, "rate");
  ExpectClose(doctors.years[0].denominator, 50.0 * 182 / 365, "scaled FTE");
  ExpectClose(doctors.years[0].rate, 0, "k = 0");
  EXPECT_EQ(doctors.years[2].count, 1);
  EXPECT_FALSE(doctors.years[2].denominator);
  EXPECT_EQ(occupations[3].years[1].count, 5);
  EXPECT_EQ(occupations[1].years[1].count, 0);
  EXPECT_FALSE(occupations[1].years[1].rate);

  const std::vector<GroupRow> devices = DeviceTable(counts, denominators);
  EXPECT_EQ(devices[0].years[1].count, 4);
  ExpectClose(devices[0].years[1].rate, 4.0 / 20000 * 100000, "per 100,000");
  EXPECT_EQ(devices[5].years[1].count, 2);
  ExpectClose(devices[5].years[1].rate, 2.0 / 5000 * 100000, "per 100,000");
  EXPECT_EQ(devices[6].years[1].count, 1);
  EXPECT_FALSE(devices[6].years[1].rate);
}

TEST_F(RatesTest, MonthsOfThePeriod) {
  const RatesCounts counts = Count(YearKind::Fiscal, {}, AnalysisPeriod{{2023, 3, 15}, {2024, 4, 1}});
  const std::vector<MonthCount> months = MonthlyCounts(counts);
  ASSERT_EQ(months.size(), 14u);  // March 2023 to April 2024
  EXPECT_EQ(months.front().year, 2023);
  EXPECT_EQ(months.front().month, 3);
  EXPECT_FALSE(months.front().whole);
  EXPECT_EQ(months[1].count, 1);  // 1 April 2023
  EXPECT_TRUE(months[1].whole);
  EXPECT_EQ(months[12].count, 1);     // 31 March 2024
  EXPECT_EQ(months.back().count, 1);  // 1 April 2024, the period's last day
  EXPECT_FALSE(months.back().whole);
  std::int64_t sum = 0;
  for (const MonthCount& m : months) sum += m.count;
  EXPECT_EQ(sum, counts.total);
  EXPECT_EQ(counts.total, 8);
}

TEST_F(RatesTest, OneThreadCountsTheSame) {
  const RatesCounts many = Count(YearKind::Fiscal);
  const RatesCounts one = Count(YearKind::Fiscal, {}, kRatesPeriod, 1);
  EXPECT_EQ(many.dayCounts, one.dayCounts);
  EXPECT_EQ(many.byOccupation, one.byOccupation);
  EXPECT_EQ(many.byDevice, one.byDevice);
}

// Around 1 October 2023 (values from tools/make_rates_expectations.py): six
// months each side lie in 年度 2023 and use its beds; twelve months after
// reach 年度 2024, which has none, so months serve as the time; 24 months
// are cut to the period.
TEST_F(RatesTest, BeforeAndAfterAnIntervention) {
  const RatesCounts counts = Count(YearKind::Fiscal);
  const Intervention safety{1, QDate(2023, 10, 1), u"安全装置付き翼状針の導入"_s};
  struct Case {
    int months;
    std::int64_t kb;
    double tb;
    std::int64_t ka;
    double ta, ratio, lower, upper, p;
    ComparisonBase used;
  };
  const Case cases[] = {
      {6, 4, 165.0, 3, 165.0, 0.75, 0.109863474663, 4.43325988918, 1.0, ComparisonBase::Beds},
      {12, 4, 12.0, 6, 12.0, 1.5, 0.355708077927, 7.22691421343, 0.75390625, ComparisonBase::Months},
      {24, 4, 12.0, 6, 12.0164158687, 1.49795081967, 0.35522213793, 7.2170413798, 0.753906824886,
       ComparisonBase::Months},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.months);
    const BeforeAfter r = CompareBeforeAfter(counts, denominators, safety, c.months, ComparisonBase::Beds);
    EXPECT_TRUE(r.problem.isEmpty()) << r.problem.toStdString();
    EXPECT_EQ(r.used, c.used);
    EXPECT_EQ(r.fellBackToMonths(), c.used != ComparisonBase::Beds);
    EXPECT_EQ(r.before.count, c.kb);
    EXPECT_EQ(r.after.count, c.ka);
    ExpectClose(r.before.time, c.tb, "T before");
    ExpectClose(r.after.time, c.ta, "T after");
    EXPECT_EQ(DateOfSerial(r.before.lastDay), (CalendarDate{2023, 9, 30}));
    EXPECT_EQ(DateOfSerial(r.after.firstDay), (CalendarDate{2023, 10, 1}));
    ASSERT_TRUE(r.ratio);
    ExpectClose(r.ratio->ratio, c.ratio, "ratio");
    ExpectClose(r.ratio->lower, c.lower, "lower");
    ExpectClose(r.ratio->upper, c.upper, "upper");
    ExpectClose(r.ratio->pValue, c.p, "p");
  }
  // Six months of staff: the FTE of every occupation of 年度 2023, half a year each side.
  const BeforeAfter staff = CompareBeforeAfter(counts, denominators, safety, 6, ComparisonBase::Staff);
  ExpectClose(staff.before.time, 210.0 * 183 / 366, "staff-years");
  ExpectClose(Field(staff.after.rate, &RateEstimate::rate), 3 / (210.0 * 183 / 366) * 100, "rate");

  const BeforeAfter outside =
      CompareBeforeAfter(counts, denominators, {2, QDate(2022, 10, 1), u"前"_s}, 6, ComparisonBase::Months);
  EXPECT_EQ(outside.problem, u"介入の前と後の両方が計算期間に入っていないため、比較できません。"_s);
  EXPECT_FALSE(outside.ratio);
}

// The CSV files, byte for byte: code page 932, CR LF, two decimals, empty
// where there is no value.
TEST_F(RatesTest, CsvFilesOfTheTables) {
  const RatesCounts counts = Count(YearKind::Fiscal);
  EXPECT_EQ(RatesCsvBytes(RatesTable(counts, denominators), YearKind::Fiscal),
            cp932::Encode(u"年度,件数,稼働病床数,100床あたり,下限,上限,対象件数,常勤換算職員数,100人あたり,下限,上限\r\n"
                          u"2022,0,149.59,0.00,0.00,2.47,0,99.73,0.00,0.00,3.70\r\n"
                          u"2023,7,330.00,2.12,0.85,4.37,7,210.00,3.33,1.34,6.87\r\n"
                          u"2024,3,,,,,,,,,\r\n"_s));
  EXPECT_EQ(RatesCsvBytes(RatesTable(Count(YearKind::Calendar), denominators), YearKind::Calendar).left(30),
            cp932::Encode(u"年,件数,稼働病床数,100床あたり,下限,上限,対象件数,常勤換算職員数,100人あたり,下限,上限\r\n"
                          u"2022,0,75.62,"_s)
                .left(30));

  const QByteArray occupations = GroupCsvBytes(OccupationTableTexts(OccupationTable(counts, denominators), counts));
  const QList<QByteArray> lines = occupations.split('\n');
  EXPECT_EQ(lines[0],
            cp932::Encode(u"職種,2022年度件数,2022年度常勤換算,2022年度100人あたり,2023年度件数,2023年度常勤換算,"
                          u"2023年度100人あたり,2024年度件数,2024年度常勤換算,2024年度100人あたり\r"_s));
  EXPECT_EQ(lines[1], cp932::Encode(u"医師(常勤・非常勤),0,24.93,0.00,2,60.00,3.33,1,,\r"_s));
  EXPECT_EQ(lines.size(), state.lists[kOccupations].count() + 2);  // and the empty piece after the last CR LF

  const BeforeAfter c = CompareBeforeAfter(counts, denominators, {1, QDate(2023, 10, 1), u"安全装置付き翼状針の導入"_s},
                                           6, ComparisonBase::Beds);
  EXPECT_EQ(ComparisonCsvBytes(c), cp932::Encode(u"介入,2023-10-01,安全装置付き翼状針の導入\r\n"
                                                 u"前後の月数,6\r\n"
                                                 u"分母,稼働病床数,100床・年あたり\r\n"
                                                 u"区分,開始日,終了日,件数,分母,発生率,下限,上限\r\n"
                                                 u"前,2023年4月1日,2023年9月30日,4,165.00,2.42,0.66,6.21\r\n"
                                                 u"後,2023年10月1日,2024年3月31日,3,165.00,1.82,0.37,5.31\r\n"
                                                 u"率比（後/前）,,,,,0.75,0.11,4.43\r\n"
                                                 u"p値,,,,,1.0000,,\r\n"_s));
}

}  // namespace
}  // namespace orvanta
