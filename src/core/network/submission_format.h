#pragma once
// The network submission file (docs/submission.md): one SQLite file per
// hospital and year holding the year's de-identified reports, its
// denominators and the meaning of the answer codes. The names of its tables
// and columns, its application id and format version, and the one check that
// the writer (reading its own file back) and every reader (the centre's
// import) apply.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>

namespace orvanta {

namespace submission {

// PRAGMA application_id: the bytes "OVS1".
inline constexpr std::uint32_t kApplicationId = 0x4F565331;
// PRAGMA user_version and submission.format_version.
inline constexpr int kFormatVersion = 1;

inline constexpr char kSubmissionTable[] = "submission";
inline constexpr char kReportTable[] = "report";
inline constexpr char kDenominatorTable[] = "denominator";
inline constexpr char kCodeEntryTable[] = "code_entry";

// The columns of each table, in their order in the file.
inline constexpr std::array<const char*, 9> kSubmissionColumns = {"format_version", "facility_code",   "year",
                                                                  "year_kind",      "period_from",     "period_to",
                                                                  "report_count",   "program_version", "created_at"};

// The code columns of report: column n holds the answer of code list n
// (items 1 to 10 of the form).
inline constexpr int kCodeColumnCount = 10;
inline constexpr std::array<const char*, kCodeColumnCount> kCodeColumns = {
    "occupation", "place",         "device_purpose", "circumstance", "causing_device",
    "severity",   "device_in_use", "contamination",  "department",   "action_type"};

inline constexpr int kReportColumnCount = 22;
inline constexpr std::array<const char*, kReportColumnCount> kReportColumns = {"seq",
                                                                               "incident_year",
                                                                               "incident_month",
                                                                               "incident_hour",
                                                                               "occupation",
                                                                               "place",
                                                                               "device_purpose",
                                                                               "circumstance",
                                                                               "causing_device",
                                                                               "severity",
                                                                               "device_in_use",
                                                                               "contamination",
                                                                               "department",
                                                                               "action_type",
                                                                               "experience_band",
                                                                               "department_experience_band",
                                                                               "hiv",
                                                                               "hcv",
                                                                               "hbv",
                                                                               "other_infection",
                                                                               "emergency",
                                                                               "body_sites"};
// The position of the first code column in kReportColumns.
inline constexpr int kFirstCodeColumn = 4;

inline constexpr std::array<const char*, 3> kDenominatorColumns = {"kind", "code", "value"};
inline constexpr std::array<const char*, 3> kCodeEntryColumns = {"item", "code", "name"};

// denominator.kind; the same words as the hospital's database uses.
inline constexpr char kBedsKind[] = "beds";
inline constexpr char kPatientDaysKind[] = "patient_days";
inline constexpr char kFteKind[] = "fte";
inline constexpr char kDevicesKind[] = "devices";

// submission.year_kind.
inline constexpr char kFiscalYearKind[] = "fiscal";
inline constexpr char kCalendarYearKind[] = "calendar";

inline constexpr int kBodySiteCount = 65;
inline constexpr int kBandCount = 8;
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 9999;
inline constexpr int kFacilityCodeMaxLength = 8;

// The statements that make the four tables of a new, empty file (the
// PRAGMAs apart).
QStringList SchemaStatements();

}  // namespace submission

// Whether a 施設コード is one the network takes: 1 to 8 half-width letters
// (A-Z, a-z) and digits.
bool IsFacilityCode(QStringView code);

// The first and last day of a year of a kind ("fiscal": 1 April to 31 March
// of the next year; "calendar": 1 January to 31 December); invalid dates for
// an unknown kind.
struct SubmissionPeriod {
  QDate from;
  QDate to;
};
SubmissionPeriod PeriodOfSubmissionYear(int year, QStringView yearKind);

// The facts of a submission file that passed every check: its submission row
// and the sizes of its tables.
struct SubmissionFacts {
  int formatVersion = 0;
  QString facilityCode;
  int year = 0;
  QString yearKind;  // "fiscal" or "calendar"
  QDate periodFrom;
  QDate periodTo;
  std::int64_t reportCount = 0;
  QString programVersion;
  QString createdAt;
  std::int64_t denominatorCount = 0;
  std::int64_t codeEntryCount = 0;
};

// What the check found: the facts, or the first reason the file is refused,
// in Japanese (a whole sentence, shown to the user as it is).
struct SubmissionCheck {
  bool ok = false;
  QString refusal;
  SubmissionFacts facts;
  explicit operator bool() const { return ok; }
};

// Every check of docs/submission.md, in that order, on the file at path,
// opened read-only. today gives the latest year a file may be for (its year
// + 1).
SubmissionCheck CheckSubmissionFile(const QString& path, const QDate& today);
// The same with the system's date.
SubmissionCheck CheckSubmissionFile(const QString& path);

}  // namespace orvanta
