#pragma once
// The due list, "経過観察予定": every test not done, of a case not closed,
// whose due date is at most so many days ahead, the overdue ones (due
// before today) first and marked, then by due date. Its grid, its CSV text
// and the overdue count of the start.
//
// The grid: row 0 the headings, column 0 the mark ("期限切れ" for an overdue
// test, empty otherwise), then 予定日, 氏名, 所属部署, 検査, 受傷日, 経過日数
// (the days since the incident). The CSV file is the title line and the
// grid's rows, as the other views write theirs.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/followup/followup_case.h"
#include "core/platform/safe_save.h"

namespace orvanta {

class ResultGridModel;

// A case with tests on the list: the worker and the incident date.
struct DueCase {
  std::int32_t reportId = 0;
  QString name;
  QString department;
  QDate incident;
};

// A test on the list, of cases[caseIndex].
struct DueTest {
  int caseIndex = 0;
  std::int64_t testId = 0;
  QDate due;
  QString test;
  std::optional<ScheduleOffset> planned;
};

struct DueList {
  QDate today;
  int daysAhead = 0;
  std::vector<DueCase> cases;
  std::vector<DueTest> tests;  // overdue first, then by due date
  int overdue = 0;             // the first `overdue` tests are overdue

  const DueCase& caseOf(const DueTest& test) const { return cases[static_cast<std::size_t>(test.caseIndex)]; }
};

// Reads the due list. False with the reason when the database cannot be read.
bool ReadDueList(const QSqlDatabase& db, const QDate& today, int daysAhead, DueList* list, QString* error);

// How many tests not done, of cases not closed, were due before today; -1
// when the database cannot be read.
int CountOverdueTests(const QSqlDatabase& db, const QDate& today);

// The line the main window shows when tests are overdue.
QString OverdueLineText(int overdue);

inline const QString kOverdueMark = QStringLiteral("期限切れ");

// Fills the grid with the list (row 0 the headings). The rows are made as
// they are read, so a long list costs no more than its compact rows.
void ShowDueList(ResultGridModel& grid, std::shared_ptr<const DueList> list);

// "経過観察予定　2026年12月9日現在　14日先まで" and the counts.
QString DueListTitle(const DueList& list);
QString DueListCountText(const DueList& list);

// The CSV file's bytes, handed a block at a time: the title line, then the
// grid's rows; code page 932, CR LF.
bool WriteDueListCsv(const DueList& list, const ResultGridModel& grid, const BytePieces& write);

}  // namespace orvanta
