#include "core/followup/due_list.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/analysis/result_grid_model.h"
#include "core/followup/followup_store.h"
#include "core/store/database.h"
#include "support/followup_cases.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

QDate D(int y, int m, int d) { return QDate(y, m, d); }

// Today is 9 December 2026 (kTestMoment); the cases of StoreDueListCases.
class DueListTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    testing::OpenFollowupDatabase(state);
    testing::StoreDueListCases(state.database);
  }

  DueList read(int daysAhead) {
    DueList list;
    QString error;
    EXPECT_TRUE(ReadDueList(state.database.connection(), D(2026, 12, 9), daysAhead, &list, &error))
        << error.toStdString();
    return list;
  }
};

TEST_F(DueListTest, OverdueFirstThenByDueDateWithinTheDaysAhead) {
  const auto list = std::make_shared<DueList>(read(14));
  ResultGridModel grid;
  ShowDueList(grid, list);
  ASSERT_EQ(grid.rows(), 5);
  QStringList rows;
  for (int r = 0; r < grid.rows(); ++r) {
    QStringList cells;
    for (int c = 0; c < grid.cols(); ++c) cells << grid.cell(r, c);
    rows << cells.join(QLatin1Char('|'));
  }
  EXPECT_EQ(rows, (QStringList{
                      "|予定日|氏名|所属部署|検査|受傷日|経過日数",
                      "期限切れ|2026/11/12|山田 花子|内科|HIV抗体（6週）|2026/10/01|69",
                      "期限切れ|2026/12/01|高橋|内科|梅毒|2026/11/20|19",
                      "|2026/12/09|佐藤 一郎|外科|HBs抗体|2026/12/02|7",
                      "|2026/12/23|佐藤 一郎|外科|HCV-RNA（3週）|2026/12/02|7",
                  }));
  EXPECT_EQ(grid.fixedRows(), 1);
  EXPECT_EQ(grid.fixedCols(), 1);
  EXPECT_EQ(list->overdue, 2);
  EXPECT_EQ(list->caseOf(list->tests[0]).reportId, 1);
  EXPECT_EQ(DueListCountText(*list), QStringLiteral("4 件（うち期限切れ 2 件）"));

  // Days ahead: 0 leaves today's test; 15 takes the one of the 24th as well.
  EXPECT_EQ(read(0).tests.size(), 3u);
  EXPECT_EQ(read(15).tests.size(), 5u);
  EXPECT_EQ(read(15).overdue, 2);
}

TEST_F(DueListTest, CsvIsTheTitleAndTheGridInCodePage932) {
  const auto list = std::make_shared<DueList>(read(14));
  ResultGridModel grid;
  ShowDueList(grid, list);
  QByteArray bytes;
  ASSERT_TRUE(WriteDueListCsv(*list, grid, [&bytes](QByteArrayView piece) {
    bytes += piece;
    return true;
  }));
  EXPECT_EQ(bytes, testing::FixtureBytes(QStringLiteral("csv/followup/due_list.csv")));
}

TEST_F(DueListTest, TheOverdueCountOfTheStart) {
  EXPECT_EQ(CountOverdueTests(state.database.connection(), D(2026, 12, 9)), 2);
  // The day after, the test due today is overdue as well; long before, none.
  EXPECT_EQ(CountOverdueTests(state.database.connection(), D(2026, 12, 10)), 3);
  EXPECT_EQ(CountOverdueTests(state.database.connection(), D(2026, 1, 1)), 0);
  EXPECT_EQ(OverdueLineText(2), QStringLiteral("期限を過ぎた経過観察の検査が 2 件あります"));
}

// Rows written by another tool (a test without a due date, one with a date
// that is none, one of a report whose case is gone): the start's count and
// the list count the same rows.
TEST_F(DueListTest, TheStartAndTheListCountTheSameRows) {
  QSqlQuery q(state.database.connection());
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA foreign_keys = OFF")));
  for (const char* due : {"", "2026-1-5", "2026-13-01", "0000-00-00"}) {
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO followup_test(report_id, pathogen, test, due_on, remarks) "
                                      "VALUES (1, 'HIV', 'x', '%1', '')")
                           .arg(QString::fromLatin1(due))))
        << q.lastError().text().toStdString();
  }
  ASSERT_TRUE(
      q.exec(QStringLiteral("INSERT INTO followup_test(report_id, pathogen, test, due_on, remarks) "
                            "VALUES (999, 'HIV', 'x', '2026-11-01', '')")));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA foreign_keys = ON")));
  for (const QDate& today : {D(2026, 12, 9), D(2026, 12, 10), D(2027, 6, 1)}) {
    DueList list;
    QString error;
    ASSERT_TRUE(ReadDueList(state.database.connection(), today, 14, &list, &error));
    EXPECT_EQ(CountOverdueTests(state.database.connection(), today), list.overdue) << today.toString().toStdString();
  }
  EXPECT_EQ(CountOverdueTests(state.database.connection(), D(2026, 12, 9)), 2);
}

}  // namespace
}  // namespace orvanta
