#pragma once
// A year's submission to the surveillance network: what goes into the file
// (docs/submission.md), gathered in one scan of the data files with the code
// lists and the year's denominators, shown in the check window "提出内容の確認"
// before anything is written; its CSV for the privacy officer; and the
// writing of the file itself, under a temporary name in the target folder,
// read back with CheckSubmissionFile and only then renamed into place.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/codelists/code_lists.h"
#include "core/network/submission_format.h"
#include "core/rates/denominators.h"
#include "core/rates/rate_years.h"

namespace orvanta {

class DrivePaths;

// One report as it goes. Compared member by member, which is the order of
// the rows in the file: year, month, hour (unanswered first), then the
// answers column by column.
struct SubmissionRow {
  std::int16_t year = 0;
  std::int8_t month = 0;
  std::int8_t hour = -1;  // -1: not given
  // The answers of code lists 0 to 9: 0 unanswered, n the n-th code of the
  // item's codes in SubmissionContent (sorted, so rows sort by code).
  std::array<std::uint16_t, submission::kCodeColumnCount> code{};
  std::int8_t experienceBand = 0;  // 1-8, 0: the text is empty
  std::int8_t departmentBand = 0;
  std::int8_t hiv = 0;  // 1-3, 0: unanswered
  std::int8_t hcv = 0;
  std::int8_t hbv = 0;
  std::int8_t otherInfection = 0;  // 0 or 1
  std::int8_t emergency = 0;       // 1-2, 0: unanswered
  // Body sites 1 to 64 from the top bit down, then site 65: ordered as the
  // text of 65 marks is.
  std::uint64_t sites = 0;
  std::uint8_t site65 = 0;

  bool siteMarked(int site) const {
    return site == 65 ? site65 != 0 : site >= 1 && site <= 64 && ((sites >> (64 - site)) & 1u) != 0;
  }
  // "0" or "1" for sites 1 to 65.
  QByteArray siteMarks() const;

  friend auto operator<=>(const SubmissionRow&, const SubmissionRow&) = default;
};

// An item's codes as they go: the distinct codes of its code list's
// entries, sorted ("" first when an entry has none), with the name of the
// first entry that has each.
struct ItemCodes {
  std::vector<QString> codes;
  std::vector<QString> names;
};

// A line of the check window's denominators: one of the year's values as
// 分母の登録 has it, and whether it goes.
struct DenominatorLine {
  enum class Status {
    Goes,     // found, with a code, greater than 0
    Missing,  // 分母の登録 has no value for the year
    Zero,     // the value is 0
    NoCode,   // the entry has no code: left out
  };
  DenominatorKind kind = DenominatorKind::Beds;
  QString name;  // the entry's name (empty for beds and patient-days)
  QString code;  // the entry's code as it goes
  std::optional<double> value;
  Status status = Status::Missing;
};

// The unanswered reports of one column of the file.
struct UnansweredCount {
  QString caption;  // the item as the form names it
  std::int64_t reports = 0;
};

struct SubmissionContent {
  int year = 0;
  YearKind kind = YearKind::Fiscal;
  QDate from;
  QDate to;
  // Every report of the year that reads, in file order until sorted.
  std::vector<SubmissionRow> rows;
  std::array<ItemCodes, submission::kCodeColumnCount> codes;
  // The data files that are there but do not read: their reports are not
  // in rows.
  std::vector<int> unreadableFiles;
  // Answers whose entry has no code (written as ""), in all and per item.
  std::int64_t codelessAnswers = 0;
  std::array<std::int64_t, submission::kCodeColumnCount> codelessByItem{};
  std::vector<DenominatorLine> denominators;
  std::vector<UnansweredCount> unanswered;

  std::int64_t reportCount() const { return static_cast<std::int64_t>(rows.size()); }
  // The code a row holds for an item: "" for an entry without a code, none
  // when the item is unanswered.
  std::optional<QString> codeOf(const SubmissionRow& row, int item) const;
};

// The first and last day of a year of the kind.
QDate FirstDateOfYear(int year, YearKind kind);
QDate LastDateOfYear(int year, YearKind kind);

// Gathers the year's submission: the reports of the year's days from data
// files 0 to newestFileNo (read as the analysis views read them, on
// `threads` threads), their answers as codes of the lists, the year's
// denominators line by line, the unanswered counts, sorted into the file's
// row order.
SubmissionContent GatherSubmission(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                   const Denominators& denominators, int year, YearKind kind,
                                   int threads = kScanThreadsAuto);

// What goes into the file, and what never goes, named one by one for the
// check window.
QStringList SubmissionGoes();
QStringList SubmissionNeverGoes();

// The CSV of the rows for the privacy officer: one heading line in plain
// Japanese, then one line per row in the file's order, lines ending in CR LF
// (written in code page 932 by the CSV writer).
QString SubmissionCsvText(const SubmissionContent& content);

// The name the save dialog proposes: "提出_<施設コード>_<年>.sqlite".
QString SubmissionFileName(const QString& facilityCode, int year);

// What the file says of its making.
struct SubmissionStamp {
  QString facilityCode;
  QDateTime createdAt;  // local time; written with its UTC offset
  QString programVersion = SubmissionProgramVersion();
  static QString SubmissionProgramVersion();
};

struct SubmissionWriteOptions {
  // Tests: the most bytes the file may grow to, as if the disk were full
  // beyond (0: no limit).
  std::int64_t byteLimit = 0;
};

// Writes the file at path: made under a temporary name in the same folder,
// mode 0600, read back with CheckSubmissionFile (its report count and facts
// compared with what was written), then renamed over path. On any failure
// the temporary file is removed, no file is left at path other than one
// that was there before, and error says why in Japanese. today: the date
// the read-back check takes as today.
bool WriteSubmissionFile(const QString& path, const SubmissionContent& content, const SubmissionStamp& stamp,
                         const QDate& today, QString* error, const SubmissionWriteOptions& options = {});

}  // namespace orvanta
