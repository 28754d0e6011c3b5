#pragma once
// The tables of the rates as texts: what the window's grids show, what the
// CSV files hold and what the prints draw, made once from the computed
// rows.
//
// The CSV files are in code page 932 with CR LF after every line (and no
// empty line at the end):
//  - the rates table ("CSVファイル変換"):
//      年度,件数,稼働病床数,100床あたり,下限,上限,常勤換算職員数,100人あたり,下限,上限
//    then one line per year, oldest first: the year as the number of the
//    year it starts in (2025 for 2025年度), counts whole, denominators, rates
//    and intervals with two decimals, empty where there is no value. With
//    calendar years the first heading is "年".
//  - by occupation: "職種", then for each year "<year>件数",
//    "<year>常勤換算", "<year>100人あたり" (year as in "2024年度"); one line
//    per 職種 entry.
//  - by device: "原因器材", then for each year "<year>件数", "<year>購入数",
//    "<year>10万個あたり"; one line per 原因器材 entry.
//  - before/after: the intervention, the months and the time's unit, then
//    "区分,開始日,終了日,件数,分母,発生率,下限,上限" with the lines "前" and
//    "後", "率比（後/前）" with the ratio and its interval, and "p値".

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/rates/rates.h"

namespace orvanta {

// Rows of cells, the heading rows first.
using TextTable = std::vector<QStringList>;

// The rates table: one heading row, then a row per year. The window writes
// the years as "2024年度", the CSV file as "2024".
enum class YearForm { Label, Number };
TextTable RatesTableTexts(const std::vector<RatesRow>& rows, YearKind kind, YearForm form);

// A table by occupation or by device: two heading rows (the year over the
// first of its three columns; the column names, "職種" or "原因器材" first),
// then a row per entry.
TextTable OccupationTableTexts(const std::vector<GroupRow>& rows, const RatesCounts& counts);
TextTable DeviceTableTexts(const std::vector<GroupRow>& rows, const RatesCounts& counts);

// The comparison: the rows "前", "後" (period, count, time, rate and its
// interval), "率比（後/前）" and "p値", under one heading row.
TextTable ComparisonTexts(const BeforeAfter& comparison);
// What it compares: "介入: 2024-04-01  ... ／ 前後12か月 ／ 分母: 稼働病床数（100床・年あたり）",
// with the reason when months serve as the time.
QString ComparisonCaption(const BeforeAfter& comparison);

// How the comparison is made, for the window and the print.
QString ComparisonExplanation();

// The notes under the tables that say what a rate leaves out (rates.h,
// LeftOut): the 100人あたり of the rates table (always said how it is
// paired), the tables by occupation and by device (empty when nothing is
// left out).
QString StaffRateNote(const LeftOut& leftOut);
QString OccupationTableNote(const LeftOut& leftOut);
QString DeviceTableNote(const LeftOut& leftOut);

// A p-value with four decimals; "<0.0001" below that.
QString PValueText(double p);
// A ratio or bound with two decimals; "∞" when infinite.
QString RatioText(double value);

// The CSV files' bytes.
QByteArray RatesCsvBytes(const std::vector<RatesRow>& rows, YearKind kind);
QByteArray GroupCsvBytes(const TextTable& table);
QByteArray ComparisonCsvBytes(const BeforeAfter& comparison);
// Lines of fields joined by "," with CR LF after each, in code page 932.
QByteArray CsvLinesBytes(const TextTable& lines);

}  // namespace orvanta
