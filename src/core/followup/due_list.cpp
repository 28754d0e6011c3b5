#include "core/followup/due_list.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <unordered_map>

#include "core/analysis/result_grid_model.h"
#include "core/followup/followup_case.h"
#include "core/output/csv_file.h"
#include "core/platform/codepage.h"
#include "core/platform/text_filters.h"

namespace orvanta {

namespace {

constexpr int kColumns = 7;

// The rows of the list, made as they are read.
class DueRows final : public GridRowSource {
 public:
  explicit DueRows(std::shared_ptr<const DueList> list) : list_(std::move(list)) {}
  int rowCount() const override { return static_cast<int>(list_->tests.size()); }
  int columnCount() const override { return kColumns; }
  QString cell(int row, int col) const override {
    const DueTest& t = list_->tests[static_cast<std::size_t>(row)];
    const DueCase& c = list_->caseOf(t);
    switch (col) {
      case 0: return row < list_->overdue ? kOverdueMark : QString();
      case 1: return DateText(t.due);
      case 2: return RemoveCommas(c.name);
      case 3: return RemoveCommas(c.department);
      case 4: return RemoveCommas(TestLabel(t.test, t.planned));
      case 5: return DateText(c.incident);
      case 6: return c.incident.isValid() ? QString::number(c.incident.daysTo(list_->today)) : QString();
      default: return {};
    }
  }

 private:
  std::shared_ptr<const DueList> list_;
};

// SQLite's day number of a date text, as QDate counts days (the Julian day
// at noon): the dates of many rows come as numbers, not texts to parse.
const char* const kDayNumber = "CAST(julianday(%1) + 0.5 AS INTEGER)";

// The point of the schedule packed into one number: count x 2, plus 1 for
// months; NULL for a test added by hand.
std::optional<ScheduleOffset> UnpackedOffset(const QVariant& packed) {
  if (packed.isNull()) return std::nullopt;
  const int n = packed.toInt();
  return ScheduleOffset{n / 2, n % 2 ? OffsetUnit::Months : OffsetUnit::Weeks};
}

}  // namespace

bool ReadDueList(const QSqlDatabase& db, const QDate& today, int daysAhead, DueList* list, QString* error) {
  list->today = today;
  list->daysAhead = daysAhead;
  list->cases.clear();
  list->tests.clear();
  list->overdue = 0;
  const auto fail = [error](const QSqlQuery& q) {
    if (error) *error = q.lastError().text();
    return false;
  };

  // The cases still followed that have a test on the list, each read once
  // however many tests it has.
  const QString limit = today.addDays(daysAhead).toString(Qt::ISODate);
  std::unordered_map<std::int32_t, int> caseIndex;
  {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT report_id, worker_name, department, %1 FROM followup_case"
                             " WHERE closed_on IS NULL AND report_id IN"
                             " (SELECT report_id FROM followup_test WHERE done_on IS NULL AND due_on <= ?)")
                  .arg(QString::fromLatin1(kDayNumber).arg(QStringLiteral("incident_on"))));
    q.addBindValue(limit);
    if (!q.exec()) return fail(q);
    while (q.next()) {
      DueCase c;
      c.reportId = q.value(0).toInt();
      c.name = q.value(1).toString();
      c.department = q.value(2).toString();
      c.incident = q.value(3).isNull() ? QDate() : QDate::fromJulianDay(q.value(3).toLongLong());
      caseIndex.emplace(c.reportId, static_cast<int>(list->cases.size()));
      list->cases.push_back(std::move(c));
    }
  }

  // The open tests by their due date, through the partial index; the
  // tests of closed cases are passed over.
  QSqlQuery q(db);
  q.setForwardOnly(true);
  q.prepare(
      QStringLiteral("SELECT report_id, id, %1, test,"
                     " CASE WHEN offset_count IS NULL THEN NULL ELSE offset_count * 2 + (offset_unit = 'か月') END"
                     " FROM followup_test WHERE done_on IS NULL AND due_on <= ?"
                     " ORDER BY due_on, report_id, test, offset_count, offset_unit")
          .arg(QString::fromLatin1(kDayNumber).arg(QStringLiteral("due_on"))));
  q.addBindValue(limit);
  if (!q.exec()) return fail(q);
  const qint64 todayNumber = today.toJulianDay();
  while (q.next()) {
    const auto found = caseIndex.find(q.value(0).toInt());
    // A due date that is not one (written by another tool) cannot be
    // placed on the list.
    if (found == caseIndex.end() || q.value(2).isNull()) continue;
    DueTest t;
    t.caseIndex = found->second;
    t.testId = q.value(1).toLongLong();
    const qint64 due = q.value(2).toLongLong();
    t.due = QDate::fromJulianDay(due);
    t.test = q.value(3).toString();
    t.planned = UnpackedOffset(q.value(4));
    if (due < todayNumber) ++list->overdue;
    list->tests.push_back(std::move(t));
  }
  return true;
}

int CountOverdueTests(const QSqlDatabase& db, const QDate& today) {
  // The same rows as the due list's overdue ones: open tests of a case still
  // followed, whose due date is a date. The partial index holds the due date
  // and the case of every open test; each is looked up by its case's key.
  QSqlQuery q(db);
  q.prepare(
      QStringLiteral("SELECT count(*) FROM followup_test t JOIN followup_case c ON c.report_id = t.report_id"
                     " WHERE t.done_on IS NULL AND t.due_on < ? AND c.closed_on IS NULL"
                     " AND julianday(t.due_on) IS NOT NULL"));
  q.addBindValue(today.toString(Qt::ISODate));
  if (!q.exec() || !q.next()) return -1;
  return q.value(0).toInt();
}

QString OverdueLineText(int overdue) {
  return QStringLiteral("期限を過ぎた経過観察の検査が %1 件あります").arg(overdue);
}

void ShowDueList(ResultGridModel& grid, std::shared_ptr<const DueList> list) {
  ResultGridModel::UpdateBatch batch(grid);
  grid.setRows(0);
  grid.setCols(kColumns);
  grid.setRows(1);
  const QString headings[kColumns] = {QString(),
                                      QStringLiteral("予定日"),
                                      QStringLiteral("氏名"),
                                      QStringLiteral("所属部署"),
                                      QStringLiteral("検査"),
                                      QStringLiteral("受傷日"),
                                      QStringLiteral("経過日数")};
  for (int c = 0; c < kColumns; ++c) grid.setCell(0, c, headings[c]);
  // The test is the longest: a default test with its time fits whole, and
  // all the columns fit the window's list side by side.
  const int widths[kColumns] = {900, 1300, 1400, 2000, 3400, 1200, 900};
  for (int c = 0; c < kColumns; ++c) grid.setColWidth(c, widths[c]);
  grid.setColAlignment(0, GridAlignment::Center);
  grid.setColAlignment(6, GridAlignment::Right);
  grid.setFixedRows(1);
  grid.setFixedCols(1);
  grid.appendRows(std::make_shared<DueRows>(std::move(list)));
}

QString DueListTitle(const DueList& list) {
  return QStringLiteral("経過観察予定　%1年%2月%3日現在　%4日先まで")
      .arg(list.today.year())
      .arg(list.today.month())
      .arg(list.today.day())
      .arg(list.daysAhead);
}

QString DueListCountText(const DueList& list) {
  return QStringLiteral("%1 件（うち期限切れ %2 件）").arg(list.tests.size()).arg(list.overdue);
}

bool WriteDueListCsv(const DueList& list, const ResultGridModel& grid, const BytePieces& write) {
  return write(cp932::Encode(DueListTitle(list) + QStringLiteral("\r\n"))) && WriteCsvGridRows(grid, write) &&
         write("\r\n");
}

}  // namespace orvanta
