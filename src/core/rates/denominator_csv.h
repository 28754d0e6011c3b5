#pragma once
// The CSV file of the denominators: written by "CSVファイル変換" of the window
// "分母の登録" and read back by "CSVファイルから読み込み", in the same layout
// both ways, so that a file made here, or kept in a spreadsheet, can be
// edited and read in again.
//
//   年度,稼働病床数,延べ患者日数,常勤換算:1:医師(常勤・非常勤),...,購入数:201:使い捨て注射器の針(...),...
//   2023,350,121000,85.5,...,12000,...
//   2024,352,,86,...,,...
//
// Line 1 heads the columns: the year ("年度", or "年" when calendar years are
// chosen), the average occupied beds, the patient-days, then one column of
// full-time-equivalent staff per 職種 entry and one of units purchased per
// 原因器材 entry, each named by its kind, the entry's id and (for the reader)
// its name: "常勤換算:<id>:<name>", "購入数:<id>:<name>". Then one line per
// year, oldest first: the year as a number (2024 for 2024年度), then each
// value as a plain decimal number, empty where the year has none.
//
// Written in code page 932 with CR LF after every line. Read from code page
// 932, or from UTF-8 when the file starts with its byte-order mark; lines may
// end in CR LF, LF or CR; fields may be in double quotes (a quoted number may
// group its thousands with commas, "12,000"); empty lines and lines of empty
// fields are passed over. The reader takes any subset of the columns in any
// order (the name after the id is not read); for each year line it sets the
// value of every column the file has, and removes it where the field is
// empty. Columns the file lacks, and years it lacks, are left alone.
//
// A file is read whole or not at all: a heading that is no column, a code no
// list holds, a column twice, a year outside 1900-2200 or twice, a field that
// is not a number, a negative number, more decimals than three, a number
// above 0 and below 0.01, or more fields
// than headings makes it refused with a message that names the line (and the
// column). So does a file, a line or a field longer than any such file holds
// (kMaxDenominatorCsvBytes, kMaxDenominatorCsvLine, kMaxDenominatorField),
// found before it is taken apart.
//
// Before anything is stored the window says what the file will add, change
// and remove (CompareDenominatorImport): an empty field removes a value.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/rates/denominators.h"
#include "core/rates/rate_years.h"

namespace orvanta {

// One column after the year.
struct DenominatorColumn {
  DenominatorKind kind = DenominatorKind::Beds;
  std::int32_t code = 0;
  QString name;  // the entry's name (empty for beds and patient-days)
  friend bool operator==(const DenominatorColumn&, const DenominatorColumn&) = default;
};

// The columns for the lists as they are: beds, patient-days, the 職種
// entries, the 原因器材 entries.
std::vector<DenominatorColumn> DenominatorColumns(const CodeLists& lists);

// "稼働病床数", "延べ患者日数", "常勤換算", "購入数".
QString DenominatorKindCaption(DenominatorKind kind);
// The heading of a column in the file: "稼働病床数", "常勤換算:1:医師".
QString DenominatorCsvHeading(const DenominatorColumn& column);

// A value as the file and the window write it: a plain decimal number
// without trailing zeros ("350", "85.5").
QString DenominatorValueText(double value);
// Reads a value as typed or read from a file: blanks around it are ignored,
// full-width forms read as plain ones ("３５０" is 350); digits with at most
// one decimal point and an optional leading "+"; commas only as thousands
// separators ("12,000"). None, with the reason in problem, for anything else,
// a negative number, more than three decimals or a number above 0 but below
// 0.01 (no count of beds, days, staff or devices is finer: 0.125 is an eighth
// of a post), or more than kMaxDenominatorValue. A character
// that cannot be seen (a control character, a zero-width space) is named by
// its code.
std::optional<double> ReadDenominatorValue(const QString& text, QString* problem);
inline constexpr double kMaxDenominatorValue = 1e9;
inline constexpr int kDenominatorDecimals = 3;
inline constexpr double kMinDenominatorValue = 0.01;  // above 0
inline constexpr qsizetype kMaxDenominatorCsvBytes = 4 * 1024 * 1024;
inline constexpr qsizetype kMaxDenominatorCsvLine = 20000;  // characters
inline constexpr qsizetype kMaxDenominatorField = 200;      // characters

// The file's bytes for the values of the years that hold any, under the
// columns of the lists.
QByteArray DenominatorCsvBytes(const Denominators& denominators, const CodeLists& lists, YearKind kind);

// What a file asks to store: each year line's value for each of the file's
// columns (none: remove it), in file order.
struct DenominatorImport {
  std::vector<int> years;
  std::vector<std::pair<DenominatorKey, std::optional<double>>> values;
};

// Reads a file's bytes against the lists and the year kind; none, with the
// message for the user in problem ("3行目 2列目: ..."), when it is refused.
std::optional<DenominatorImport> ReadDenominatorCsv(QByteArrayView bytes, const CodeLists& lists, YearKind kind,
                                                    QString* problem);

// What storing an import would do to the values stored now.
struct DenominatorImportChanges {
  int added = 0;
  int changed = 0;
  int removed = 0;
  int unchanged = 0;
  QStringList removedValues;  // "2024年度 稼働病床数 350", in file order
  bool any() const { return added + changed + removed > 0; }
};
DenominatorImportChanges CompareDenominatorImport(const DenominatorImport& import, const Denominators& stored,
                                                  const CodeLists& lists, YearKind kind);
// The question asked before storing them.
QString DenominatorImportQuestion(const DenominatorImportChanges& changes);

}  // namespace orvanta
