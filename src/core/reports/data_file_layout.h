#pragma once
// The line layout of a data file (0.dat, 1.dat, ...), written down once.
//
// A data file holds one value per line (code page 932, CR LF; the number and
// text rules are those of value_file.h):
//
//   line 1          the count c of reports, 0 to kMaxReadableCount
//   c x 71 lines    the reports, slot 0 first, each in the field order below
//   c x 81 lines    the body-site block: the 81 marks of each report, slot 0
//                   first; a mark is 0 or 1 (a number line read leniently, so
//                   " 1 " and "1" are 1 and an empty line is 0)
//
// A whole file therefore has 1 + 152 c lines; only empty lines may follow it.
// The body-site block stands last so that a file without it, or cut short
// inside it, still reads: the marks not read are 0. Such a file is read, but
// the program keeps the original aside before it writes over it. A count
// raised above the reports a file holds makes the last "reports" out of the
// body-site block: a cut-short file whose last report is nothing but marks
// does not read.
//
// The full reader (data_file.h), the start-up count, the analysis scan and
// the search all walk a file with WalkDataFile (data_file_walk.h), which
// takes its offsets and limits from here, so they agree on every file. The
// repair of a file that does not read (data_file_repair.h) finds its reports
// by these line counts, whatever its count line says.

#include <array>
#include <cstdint>

#include "core/reports/report_record.h"

namespace orvanta::datafile {

// Lines of one report before the body-site block, and marks after it.
inline constexpr int kReportLines = 71;
inline constexpr int kSiteLines = kSiteSlots;  // 81
inline constexpr int kLinesPerReport = kReportLines + kSiteLines;

// The largest count a file may hold and still be read: the table of one data
// file has slots 0 to 1000. The program itself writes at most kFileCapacity
// (1000) reports to a file.
inline constexpr std::int32_t kMaxReadableCount = kFileCapacity + 1;

// The slots of each field of a report, as the file holds them.
inline constexpr int kTextSlots = 11;    // Texts, each followed by Choices
inline constexpr int kNoteSlots = 6;     // Notes, each followed by OtherTexts
inline constexpr int kAnswerSlots = 21;  // AnswerIds
inline constexpr int kDateSlots = 3;     // Years, Months, Days, Hours, Minutes

// The field order of one report (offsets 0 to 70 inside its 71 lines):
//   0                 ReportId
//   1 + 2i, 2 + 2i    Texts(i), Choices(i)         for i = 0 to 10
//   23 + 2i, 24 + 2i  Notes(i), OtherTexts(i)      for i = 0 to 5
//   35 + k            AnswerIds(k)                 for k = 0 to 20
//   56 + 5i ...       Years(i), Months(i), Days(i), Hours(i), Minutes(i)
//                                                  for i = 0 to 2
inline constexpr int kReportIdLine = 0;
constexpr int TextLine(int i) { return 1 + 2 * i; }
constexpr int ChoiceLine(int i) { return 2 + 2 * i; }
constexpr int NoteLine(int i) { return 1 + 2 * kTextSlots + 2 * i; }
constexpr int OtherTextLine(int i) { return NoteLine(i) + 1; }
constexpr int AnswerIdLine(int k) { return 1 + 2 * kTextSlots + 2 * kNoteSlots + k; }
constexpr int YearLine(int i) { return AnswerIdLine(kAnswerSlots) + 5 * i; }
constexpr int MonthLine(int i) { return YearLine(i) + 1; }
constexpr int DayLine(int i) { return YearLine(i) + 2; }
constexpr int HourLine(int i) { return YearLine(i) + 3; }
constexpr int MinuteLine(int i) { return YearLine(i) + 4; }
static_assert(MinuteLine(kDateSlots - 1) == kReportLines - 1);

enum class Field : std::uint8_t { ReportId, Text, Choice, Note, OtherText, AnswerId, Year, Month, Day, Hour, Minute };

// What each of the 71 lines of a report holds: its field and slot.
struct LineField {
  Field field = Field::ReportId;
  std::uint8_t slot = 0;
};

constexpr bool IsTextField(Field f) { return f == Field::Text || f == Field::Note || f == Field::OtherText; }

constexpr std::array<LineField, kReportLines> MakeReportFields() {
  std::array<LineField, kReportLines> out{};
  out[kReportIdLine] = {Field::ReportId, 0};
  for (int i = 0; i < kTextSlots; ++i) {
    out[TextLine(i)] = {Field::Text, static_cast<std::uint8_t>(i)};
    out[ChoiceLine(i)] = {Field::Choice, static_cast<std::uint8_t>(i)};
  }
  for (int i = 0; i < kNoteSlots; ++i) {
    out[NoteLine(i)] = {Field::Note, static_cast<std::uint8_t>(i)};
    out[OtherTextLine(i)] = {Field::OtherText, static_cast<std::uint8_t>(i)};
  }
  for (int k = 0; k < kAnswerSlots; ++k) out[AnswerIdLine(k)] = {Field::AnswerId, static_cast<std::uint8_t>(k)};
  for (int i = 0; i < kDateSlots; ++i) {
    const auto slot = static_cast<std::uint8_t>(i);
    out[YearLine(i)] = {Field::Year, slot};
    out[MonthLine(i)] = {Field::Month, slot};
    out[DayLine(i)] = {Field::Day, slot};
    out[HourLine(i)] = {Field::Hour, slot};
    out[MinuteLine(i)] = {Field::Minute, slot};
  }
  return out;
}
inline constexpr std::array<LineField, kReportLines> kReportFields = MakeReportFields();

constexpr bool IsTextLine(int line) { return IsTextField(kReportFields[static_cast<std::size_t>(line)].field); }

constexpr int CountTextLines() {
  int n = 0;
  for (int line = 0; line < kReportLines; ++line) n += IsTextLine(line) ? 1 : 0;
  return n;
}
static_assert(CountTextLines() == kTextSlots + 2 * kNoteSlots);

// The record has a slot for every one of these.
static_assert(std::tuple_size_v<decltype(ReportRecord::Texts)> == kTextSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::Choices)> == kTextSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::Notes)> == kNoteSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::OtherTexts)> == kNoteSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::AnswerIds)> == kAnswerSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::Years)> == kDateSlots);
static_assert(std::tuple_size_v<decltype(ReportRecord::Sites)> == kSiteLines);

// A body-site mark is 0 or 1; any other value makes the file unreadable.
constexpr bool IsMark(std::int64_t value) { return value == 0 || value == 1; }

}  // namespace orvanta::datafile
