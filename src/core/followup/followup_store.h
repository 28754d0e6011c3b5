#pragma once
// The follow-up as orvanta.sqlite keeps it (followup_case, followup_test,
// schedule_template and the setting due_days_ahead; docs/database.md).
//
// Reading takes the connection; every change a user makes is one function
// here and one transaction (Database::change), so a stop at any moment
// leaves the old state or the new one. The "...In" forms do the same work
// inside a transaction the caller holds.
//
// A case is stored with its first change: a window shows a case built from
// its report (CaseFromReport) until then, and every change stores the whole
// case together with what changed.

#include <QSqlDatabase>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/followup/followup_case.h"

namespace orvanta {

class Database;

// ---- Reading --------------------------------------------------------------------

// The stored case of a report. False with the reason when the database
// could not be read; found says whether the report has a case.
bool ReadCase(const QSqlDatabase& db, std::int32_t reportId, FollowupCase* followup, bool* found, QString* error);
// The case's tests, in the order of SortTests.
bool ReadTests(const QSqlDatabase& db, std::int32_t reportId, std::vector<FollowupTest>* tests, QString* error);
// The schedule, in the order of SortSchedule.
bool ReadSchedule(const QSqlDatabase& db, std::vector<ScheduleEntry>* entries, QString* error);

inline constexpr int kDefaultDueDaysAhead = 14;
inline constexpr int kMaxDueDaysAhead = 366;
// How many days ahead the due list looks: the stored setting, or 14 when it
// is missing or not a number from 0 to 366.
int ReadDueDaysAhead(const QSqlDatabase& db);

// ---- Changes, one transaction each ------------------------------------------

// Stores the case as it is (its worker, sources, prophylaxis, closing,
// remarks), creating it when it is not stored yet.
bool SaveCase(Database& database, const FollowupCase& followup, QString* error);
bool SaveCaseIn(QSqlDatabase& db, const FollowupCase& followup, QString* error);

// Adds a test to the case (storing the case first when it is new); the test
// receives its id.
bool AddTest(Database& database, const FollowupCase& followup, FollowupTest* test, QString* error);
// Changes a stored test (found by its id).
bool UpdateTest(Database& database, const FollowupTest& test, QString* error);
bool RemoveTest(Database& database, std::int64_t testId, QString* error);

// "予定を作成": stores the case and every planned test together; each test
// receives its id.
bool AddPlannedTests(Database& database, const FollowupCase& followup, std::vector<FollowupTest>* tests,
                     QString* error);
bool AddPlannedTestsIn(QSqlDatabase& db, const FollowupCase& followup, std::vector<FollowupTest>* tests,
                       QString* error);

bool SaveDueDaysAhead(Database& database, int days, QString* error);

// The schedule window's changes; an added entry receives its id.
bool AddScheduleEntry(Database& database, ScheduleEntry* entry, QString* error);
bool UpdateScheduleEntry(Database& database, const ScheduleEntry& entry, QString* error);
bool RemoveScheduleEntry(Database& database, std::int64_t entryId, QString* error);
// "既定に戻す": the whole schedule replaced by entries (DefaultSchedule()),
// in one transaction.
bool ReplaceSchedule(Database& database, const std::vector<ScheduleEntry>& entries, QString* error);

// ---- Keeping the cases in step with their reports -------------------------

// After a data file was saved: every case of one of these reports takes
// the worker's name, department, occupation and incident date the report
// now gives. When the incident date moved, each test not done that was
// planned from the schedule and still stands on the date the old incident
// date gave moves with it. Writes nothing (and opens no transaction) when
// every case already agrees; one transaction otherwise.
bool KeepCasesInStep(Database& database, const std::vector<ReportRecord>& reports, const CodeLists& lists,
                     QString* error);

// ---- Deleting a case with its report ----------------------------------------
//
// A report and its follow-up are in two files: the data file and the
// database. So that a stop at any moment leaves both or neither, the case is
// first marked (followup_case.deleting = 1), then the report leaves its data
// file, then the marked case is deleted with its tests. When the report's
// deletion does not reach its file, the mark is taken back. A start after a
// stop in between settles what is marked by looking for the report.

// What a report's follow-up holds, for the question before its deletion.
struct CaseRecords {
  bool exists = false;
  int tests = 0;
  int testsDone = 0;
  bool prophylaxis = false;  // some prophylaxis recorded
  bool closed = false;
};
bool ReadCaseRecords(const QSqlDatabase& db, std::int32_t reportId, CaseRecords* records, QString* error);
// The question before a report with follow-up records is deleted, naming
// what goes with it.
QString CaseDeletionQuestion(const CaseRecords& records);

bool MarkCaseForDeletion(Database& database, std::int32_t reportId, QString* error);
// Deletes the marked cases of these reports with their tests.
bool FinishCaseDeletions(Database& database, const std::vector<std::int32_t>& reportIds, QString* error);
// Takes the marks of these reports back: their reports stay.
bool CancelCaseDeletions(Database& database, const std::vector<std::int32_t>& reportIds, QString* error);
// Every marked case: deleted when reportExists answers false, its mark
// taken back when true, left marked when it cannot tell (nullopt: a data
// file that does not read may hold the report). One transaction.
bool SettleCaseDeletions(Database& database, const std::function<std::optional<bool>(std::int32_t)>& reportExists,
                         QString* error);

// The text of a database error for the user, naming the database.
QString FollowupSaveError(const Database& database, const QString& reason);

}  // namespace orvanta
