#include "gui/followup/due_list_window.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

#include "core/followup/followup_case.h"
#include "core/followup/followup_store.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/followup_cases.h"
#include "support/gui/modal_window.h"
#include "support/pdf_pages.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::QueryNumber;
using testing::WhenModal;

// Today is 9 December 2026; the cases of StoreDueListCases.
class DueListWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    testing::OpenFollowupDatabase(state);
    testing::StoreDueListCases(state.database);
  }
  static ResultGrid* Grid(const DueListWindow& w) { return w.findChild<ResultGrid*>(QStringLiteral("grdDue")); }
  static QStringList Column(const DueListWindow& w, int col) {
    QStringList cells;
    const ResultGridModel& grid = Grid(w)->grid();
    for (int r = 1; r < grid.rows(); ++r) cells << grid.cell(r, col);
    return cells;
  }
  static void DoubleClickRow(const DueListWindow& w, int row) {
    ResultGrid* grid = Grid(w);
    QApplication::processEvents();
    const QRect cell = grid->visualRect(grid->model()->index(row, 2));
    ASSERT_FALSE(cell.isEmpty());
    // A double click is a click followed by a second press that Qt reports
    // as the double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  }
};

TEST_F(DueListWindowTest, ShowsEveryColumnWholeAndEveryDefaultTestWhole) {
  DueListWindow w(state);
  w.show();
  QApplication::processEvents();
  ResultGrid* grid = Grid(w);
  EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
  const QFontMetrics metrics(grid->font());
  constexpr int kCellMargins = 8;
  ASSERT_EQ(grid->headingText(Qt::Horizontal, 4), QStringLiteral("検査"));
  for (const ScheduleEntry& entry : DefaultSchedule()) {
    const QString label = TestLabel(entry.test, entry.offset);
    EXPECT_LE(metrics.horizontalAdvance(label) + kCellMargins, grid->columnWidth(4)) << label.toStdString();
  }
}

TEST_F(DueListWindowTest, ListsTheDueTestsOverdueFirstAndKeepsTheDaysAhead) {
  DueListWindow w(state);
  w.show();
  EXPECT_EQ(w.objectName(), QStringLiteral("frmDueList"));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("経過観察予定"));
  auto* days = w.findChild<QSpinBox*>(QStringLiteral("spnDaysAhead"));
  ASSERT_NE(days, nullptr);
  EXPECT_EQ(days->value(), 14);
  EXPECT_EQ(Column(w, 0), (QStringList{"期限切れ", "期限切れ", "", ""}));
  EXPECT_EQ(Column(w, 2), (QStringList{"山田 花子", "高橋", "佐藤 一郎", "佐藤 一郎"}));
  EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblCount"))->text(), QStringLiteral("4 件（うち期限切れ 2 件）"));
  // The overdue mark is the row's heading, beside the columns of the list.
  EXPECT_EQ(Grid(w)->headingText(Qt::Vertical, 1), QStringLiteral("期限切れ"));
  EXPECT_EQ(Grid(w)->headingText(Qt::Horizontal, 6), QStringLiteral("経過日数"));

  days->setValue(30);
  EXPECT_EQ(Column(w, 1).last(), QStringLiteral("2027/01/01"));
  EXPECT_EQ(ReadDueDaysAhead(state.database.connection()), 30);
  // The next window opens with them.
  DueListWindow again(state);
  EXPECT_EQ(again.findChild<QSpinBox*>(QStringLiteral("spnDaysAhead"))->value(), 30);
}

// A number being typed is taken only when the box is left or Enter is
// pressed: Delete right after the window opens does not store 4.
TEST_F(DueListWindowTest, TheDaysAheadAreTakenWhenTheBoxIsLeftOrEnterPressed) {
  DueListWindow w(state);
  w.show();
  auto* days = w.findChild<QSpinBox*>(QStringLiteral("spnDaysAhead"));
  days->setFocus();
  days->findChild<QLineEdit*>()->setCursorPosition(0);
  QTest::keyClick(days, Qt::Key_Delete);
  EXPECT_EQ(days->text(), QStringLiteral("4"));
  EXPECT_EQ(ReadDueDaysAhead(state.database.connection()), 14);
  EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblCount"))->text(), QStringLiteral("4 件（うち期限切れ 2 件）"));
  QTest::keyClick(days, Qt::Key_Return);
  EXPECT_EQ(ReadDueDaysAhead(state.database.connection()), 4);
  // The arrows take the number at once.
  QTest::keyClick(days, Qt::Key_Up);
  EXPECT_EQ(ReadDueDaysAhead(state.database.connection()), 5);
}

TEST_F(DueListWindowTest, ADoubleClickOpensTheCaseAndTheListFollowsWhatWasDoneThere) {
  DueListWindow w(state);
  w.show();
  QString opened;
  WhenModal(QStringLiteral("frmFollowup"), [&](QWidget* f) {
    opened = f->findChild<QLabel*>(QStringLiteral("lblName"))->text();
    // The test recorded as done meanwhile.
    QSqlQuery(state.database.connection())
        .exec(QStringLiteral("UPDATE followup_test SET done_on = '2026-12-09' WHERE report_id = 4"));
    f->findChild<QPushButton*>(QStringLiteral("cmdBack"))->click();
  });
  DoubleClickRow(w, 2);
  EXPECT_EQ(opened, QStringLiteral("高橋"));
  EXPECT_EQ(Column(w, 2), (QStringList{"山田 花子", "佐藤 一郎", "佐藤 一郎"}));
}

TEST_F(DueListWindowTest, CsvAndPrint) {
  DueListWindow w(state);
  const QString csv = QDir(root.path()).filePath(QStringLiteral("due.csv"));
  prompts.answerSaveFile(csv).answer(PromptAnswer::Ok);
  w.findChild<QPushButton*>(QStringLiteral("cmdCsv"))->click();
  EXPECT_EQ(prompts.last().text, QStringLiteral("ﾌｧｲﾙ処理に成功しました"));
  EXPECT_EQ(testing::FileBytes(csv), testing::FixtureBytes(QStringLiteral("csv/followup/due_list.csv")));

  const QString pdf = QDir(root.path()).filePath(QStringLiteral("due.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  w.findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click();
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_GT(pages[0].width, pages[0].height);
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("期限切れ")));
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("HCV-RNA（3週）")));
}

}  // namespace
}  // namespace orvanta
