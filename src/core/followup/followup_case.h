#pragma once
// The follow-up of one exposed worker: the case (the worker, the incident
// date, the source patient's status per pathogen, prophylaxis, the closing),
// the worker's tests, the hospital's schedule, and the rules that connect
// them: the offsets of the schedule, the source status a report's answers
// give, the tests "予定を作成" adds, and what a test may hold.
//
// Nothing here reads or writes the database (followup_store.h does).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"

namespace orvanta {

// ---- Pathogens and the source patient's status -----------------------------

// Stored as "HBV", "HCV", "HIV", "その他".
enum class Pathogen { HIV, HCV, HBV, Other };
QString PathogenText(Pathogen pathogen);
std::optional<Pathogen> PathogenFromText(const QString& text);

// The three pathogens the report asks the source patient's result of, in the
// order of the report form (and of every window and print).
inline constexpr std::array<Pathogen, 3> kSourcePathogens{Pathogen::HIV, Pathogen::HCV, Pathogen::HBV};

// Stored as "陽性", "陰性", "不明", "対象外".
enum class SourceStatus { Positive, Negative, Unknown, NotApplicable };
inline constexpr std::array<SourceStatus, 4> kSourceStatuses{SourceStatus::Positive, SourceStatus::Negative,
                                                             SourceStatus::Unknown, SourceStatus::NotApplicable};
QString SourceStatusText(SourceStatus status);
std::optional<SourceStatus> SourceStatusFromText(const QString& text);

// The source patient's status for HIV, HCV and HBV.
struct SourceStatuses {
  SourceStatus hiv = SourceStatus::Unknown;
  SourceStatus hcv = SourceStatus::Unknown;
  SourceStatus hbv = SourceStatus::Unknown;

  // Other has no status of its own: it answers Unknown.
  SourceStatus of(Pathogen pathogen) const;
  void set(Pathogen pathogen, SourceStatus status);
  friend bool operator==(const SourceStatuses&, const SourceStatuses&) = default;
};

// The status a report's question 5 gives. The source patient known
// (Choices(1) = 1): each result (Choices(2) HIV, (3) HCV, (4) HBV) 1 -> 陽性,
// 2 -> 陰性, 3 (未検査) or not answered -> 不明. The patient not known or the
// question not answered (Choices(1) = 2 or 0): 不明 for all three. The device
// not yet used on a patient (Choices(1) = 3): 対象外 for all three.
SourceStatuses SourceStatusesFromReport(const ReportRecord& report);

// ---- The schedule --------------------------------------------------------------

// When a test falls due after the incident: "N週" is N x 7 days; "Nか月" is
// the same day N calendar months later, or that month's last day where the
// day does not exist. 0 (either unit) is "受傷時", the incident date itself.
enum class OffsetUnit { Weeks, Months };
struct ScheduleOffset {
  int count = 0;
  OffsetUnit unit = OffsetUnit::Weeks;
  friend bool operator==(const ScheduleOffset&, const ScheduleOffset&) = default;
};
inline constexpr int kMaxOffsetCount = 120;

// Stored as "週" and "か月".
QString OffsetUnitText(OffsetUnit unit);
std::optional<OffsetUnit> OffsetUnitFromText(const QString& text);
// "受傷時", "6週", "3か月".
QString OffsetText(const ScheduleOffset& offset);
// The due date of a test at the offset after the incident; invalid when the
// incident date is.
QDate DueDateAfter(const QDate& incident, const ScheduleOffset& offset);
// For ordering a schedule: about how many days the offset is.
int ApproximateDays(const ScheduleOffset& offset);

// One test of the hospital's schedule.
struct ScheduleEntry {
  std::int64_t id = 0;  // 0 until stored
  Pathogen pathogen = Pathogen::HIV;
  ScheduleOffset offset;
  QString test;
  friend bool operator==(const ScheduleEntry&, const ScheduleEntry&) = default;
};

// The order of the schedule window: by pathogen (HIV, HCV, HBV, その他),
// then by offset, then by test.
void SortSchedule(std::vector<ScheduleEntry>& entries);

// The schedule of a new database (kDefaultSchedule in store/schema.h), in
// the window's order, without ids.
std::vector<ScheduleEntry> DefaultSchedule();

// ---- The worker's own HBV immunity ---------------------------------------------

// Question 14 of the report, "あなた自身はHBs抗体陽性ですか？" (Choices(7)):
// 1 はい(ワクチン接種による), 2 はい(自然陽転あるいは既往疾患などによる),
// 3 いいえ, 4 不明, 0 not answered.
enum class HbvImmunity { Vaccinated, Natural, NotImmune, Unknown };
HbvImmunity HbvImmunityFromReport(const ReportRecord& report);
// A worker known to be immune needs no HBV follow-up tests.
bool KnownImmune(HbvImmunity immunity);
// Why no HBV test is planned for a worker known to be immune; empty
// otherwise.
QString HbvImmunityNote(HbvImmunity immunity);

// ---- The case and its tests ------------------------------------------------------

// Prophylaxis given after the exposure: HBIG, HBワクチン, 抗HIV薬.
enum class Prophylactic { Hbig, HbVaccine, Antiretroviral };
inline constexpr std::array<Prophylactic, 3> kProphylactics{Prophylactic::Hbig, Prophylactic::HbVaccine,
                                                            Prophylactic::Antiretroviral};
QString ProphylacticText(Prophylactic what);

struct Prophylaxis {
  bool given = false;
  QDateTime at;  // to the minute; invalid when not given
  friend bool operator==(const Prophylaxis&, const Prophylaxis&) = default;
};

// The worker as the report names them, and the incident date: what the case
// keeps of the report so that the due list reads no data file.
struct WorkerFields {
  QString name;        // 氏名
  QString department;  // 所属部署: the name of the department entry
  QString occupation;  // 職種: the name of the occupation entry
  QDate incident;      // the date of occurrence; invalid when the report holds none
  friend bool operator==(const WorkerFields&, const WorkerFields&) = default;
};
WorkerFields WorkerFieldsFromReport(const ReportRecord& report, const CodeLists& lists);

struct FollowupCase {
  std::int32_t reportId = 0;
  WorkerFields worker;
  SourceStatuses sources;
  std::array<Prophylaxis, 3> prophylaxis{};  // in the order of kProphylactics
  QDate closedOn;                            // invalid while the follow-up goes on
  QString closedReason;
  QString remarks;

  bool isClosed() const { return closedOn.isValid(); }
  Prophylaxis& of(Prophylactic what) { return prophylaxis[static_cast<std::size_t>(what)]; }
  const Prophylaxis& of(Prophylactic what) const { return prophylaxis[static_cast<std::size_t>(what)]; }
  friend bool operator==(const FollowupCase&, const FollowupCase&) = default;
};

// A new case for a report: the worker, the incident date and the source
// statuses from its answers, no prophylaxis, open.
FollowupCase CaseFromReport(const ReportRecord& report, const CodeLists& lists);

struct FollowupTest {
  std::int64_t id = 0;  // 0 until stored
  std::int32_t reportId = 0;
  Pathogen pathogen = Pathogen::Other;
  QString test;
  QDate due;
  QDate done;  // invalid until the test is done
  QString result;
  QString remarks;
  // The point of the schedule the test was planned for; empty for a test
  // added by hand.
  std::optional<ScheduleOffset> planned;

  bool isDone() const { return done.isValid(); }
  friend bool operator==(const FollowupTest&, const FollowupTest&) = default;
};

// How the lists name a test: "HIV抗体（6週）" for a test of the schedule,
// the test alone for one added by hand.
QString TestLabel(const QString& test, const std::optional<ScheduleOffset>& planned);

// The order of the case's list: by due date, then pathogen, then test.
void SortTests(std::vector<FollowupTest>& tests);

// "予定を作成": for every pathogen whose source status is 陽性 or 不明, that
// pathogen's tests of the schedule, due at their offsets after the incident;
// no HBV test for a worker known to be immune.
// A test already on the list (the same pathogen, test and point of the
// schedule, whatever its due date became) is not planned again, and neither
// is one the schedule holds twice. Empty when the incident date is invalid.
std::vector<FollowupTest> PlanSchedule(const FollowupCase& followup, const std::vector<ScheduleEntry>& schedule,
                                       const std::vector<FollowupTest>& existing,
                                       HbvImmunity immunity = HbvImmunity::Unknown);

// ---- What the user may enter ----------------------------------------------

inline constexpr int kMaxTestNameLength = 40;
inline constexpr int kMaxResultLength = 40;
inline constexpr int kMaxRemarksLength = 100;
inline constexpr int kMaxReasonLength = 100;

// Why a test cannot be stored as it is (empty when it can): an empty or too
// long test name, no due date or one before the incident, a done date
// before the incident or after today, a result without a done date, a
// result or remarks beyond their length.
QString TestProblem(const FollowupTest& test, const QDate& incident, const QDate& today);

// Why a schedule entry cannot be stored: an empty or too long test name, an
// offset out of range, a pathogen without a source status (その他).
QString ScheduleEntryProblem(const ScheduleEntry& entry);

// Why the follow-up cannot be closed on that date with that reason.
QString ClosingProblem(const QDate& closedOn, const QString& reason, const QDate& incident, const QDate& today);

// Why prophylaxis cannot be recorded at that moment: before the incident
// date or after now.
QString ProphylaxisProblem(Prophylactic what, const Prophylaxis& given, const QDate& incident, const QDateTime& now);

// Dates as the windows, the CSV and the prints show them: "2026/12/09"; an
// invalid date is an empty text.
QString DateText(const QDate& date);
// "2026/12/09 14:30".
QString MomentText(const QDateTime& moment);

}  // namespace orvanta
