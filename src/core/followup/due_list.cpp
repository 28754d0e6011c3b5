#include "core/followup/due_list.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

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
    switch (col) {
      case 0: return row < list_->overdue ? kOverdueMark : QString();
      case 1: return DateText(t.due);
      case 2: return RemoveCommas(t.name);
      case 3: return RemoveCommas(t.department);
      case 4: return RemoveCommas(t.test);
      case 5: return DateText(t.incident);
      case 6: return t.incident.isValid() ? QString::number(t.incident.daysTo(list_->today)) : QString();
      default: return {};
    }
  }

 private:
  std::shared_ptr<const DueList> list_;
};

QDate IsoDate(const QVariant& value) { return QDate::fromString(value.toString(), Qt::ISODate); }

}  // namespace

bool ReadDueList(const QSqlDatabase& db, const QDate& today, int daysAhead, DueList* list, QString* error) {
  list->today = today;
  list->daysAhead = daysAhead;
  list->tests.clear();
  list->overdue = 0;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  // The open tests by their due date (the partial index), each joined to its
  // case by the case's key.
  q.prepare(QStringLiteral(
      "SELECT t.report_id, t.id, t.due_on, c.worker_name, c.department, t.test, t.offset_count, t.offset_unit,"
      " c.incident_on FROM followup_test t JOIN followup_case c ON c.report_id = t.report_id"
      " WHERE t.done_on IS NULL AND t.due_on <= ? AND c.closed_on IS NULL ORDER BY t.due_on, t.report_id, t.id"));
  q.addBindValue(today.addDays(daysAhead).toString(Qt::ISODate));
  if (!q.exec()) {
    if (error) *error = q.lastError().text();
    return false;
  }
  while (q.next()) {
    DueTest t;
    t.reportId = q.value(0).toInt();
    t.testId = q.value(1).toLongLong();
    t.due = IsoDate(q.value(2));
    t.name = q.value(3).toString();
    t.department = q.value(4).toString();
    std::optional<ScheduleOffset> planned;
    if (const auto unit = OffsetUnitFromText(q.value(7).toString()); unit && !q.value(6).isNull())
      planned = ScheduleOffset{q.value(6).toInt(), *unit};
    t.test = TestLabel(q.value(5).toString(), planned);
    t.incident = IsoDate(q.value(8));
    if (t.due < today) ++list->overdue;
    list->tests.push_back(std::move(t));
  }
  return true;
}

int CountOverdueTests(const QSqlDatabase& db, const QDate& today) {
  QSqlQuery q(db);
  q.prepare(
      QStringLiteral("SELECT count(*) FROM followup_test t JOIN followup_case c ON c.report_id = t.report_id"
                     " WHERE t.done_on IS NULL AND t.due_on < ? AND c.closed_on IS NULL"));
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
  const int widths[kColumns] = {1000, 1300, 1800, 2000, 2700, 1300, 1000};
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
