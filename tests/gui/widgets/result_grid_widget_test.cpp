#include "gui/widgets/result_grid_widget.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

TEST(ResultGridWidget, FixedCellsAreTheHeadings) {
  ResultGrid grid;
  QAbstractItemModelTester tester(&grid.grid(), QAbstractItemModelTester::FailureReportingMode::Warning);
  ResultGridModel& g = grid.grid();
  g.setCols(4);
  g.setRows(3);
  g.setFixedRows(1);
  g.setFixedCols(1);
  g.setColWidth(0, 3000);
  for (int c = 1; c < 4; ++c) g.setColWidth(c, 1500);
  g.setRowHeight(0, 1000);
  for (int c = 1; c < 4; ++c) g.setCell(0, c, QStringLiteral(" %1月").arg(c));
  g.setCell(1, 0, "1;看護師");
  g.setCell(1, 1, "7");
  grid.resize(600, 300);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

  EXPECT_TRUE(grid.isRowHidden(0));
  EXPECT_TRUE(grid.isColumnHidden(0));
  EXPECT_FALSE(grid.isRowHidden(1));
  EXPECT_TRUE(grid.horizontalHeader()->isVisible());
  EXPECT_TRUE(grid.verticalHeader()->isVisible());
  EXPECT_EQ(grid.horizontalHeader()->height(), Twips(1000));
  EXPECT_EQ(grid.verticalHeader()->width(), Twips(3000));
  EXPECT_EQ(grid.columnWidth(2), Twips(1500));
  EXPECT_EQ(grid.rowHeight(1), Twips(kDefaultGridRowHeight));
  EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), " 2月");
  EXPECT_EQ(grid.model()->headerData(1, Qt::Vertical).toString(), "1;看護師");
  // The first cell shown in the corner of the viewport is (1, 1).
  EXPECT_EQ(grid.indexAt(QPoint(2, 2)), g.index(1, 1));

  // Without fixed rows and columns the headings go away and row 0 is a row.
  g.setFixedRows(0);
  g.setFixedCols(0);
  EXPECT_FALSE(grid.isRowHidden(0));
  EXPECT_FALSE(grid.isColumnHidden(0));
  EXPECT_FALSE(grid.horizontalHeader()->isVisible());
  EXPECT_FALSE(grid.verticalHeader()->isVisible());
  EXPECT_EQ(grid.indexAt(QPoint(2, 2)), g.index(0, 0));
  EXPECT_FALSE(grid.grab().isNull());
}

// Where the fixed rows and the fixed columns meet, the corner between the
// headings shows their cells.
TEST(ResultGridWidget, CornerShowsTheFixedCornerCell) {
  ResultGrid grid;
  ResultGridModel& g = grid.grid();
  g.setCols(3);
  g.setRows(3);
  g.setFixedRows(1);
  g.setFixedCols(1);
  g.setColWidth(0, 1500);
  g.setRowHeight(0, 600);
  grid.resize(400, 200);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

  QWidget* corner = grid.findChild<QWidget*>("GridCorner");
  ASSERT_NE(corner, nullptr);
  EXPECT_TRUE(corner->isVisible());
  EXPECT_EQ(corner->geometry(),
            QRect(grid.verticalHeader()->x(), grid.horizontalHeader()->y(), Twips(1500), Twips(600)));
  const QImage empty = corner->grab().toImage();

  g.setCell(0, 0, QStringLiteral("区分"));
  const QImage shown = corner->grab().toImage();
  EXPECT_NE(shown, empty);
  g.setCell(0, 0, QStringLiteral("年齢"));
  EXPECT_NE(corner->grab().toImage(), shown);
  g.setCell(0, 0, QString());
  EXPECT_EQ(corner->grab().toImage(), empty);

  // Filled while hidden, shown once the grid is shown again.
  grid.hide();
  g.setCell(0, 0, QStringLiteral("区分"));
  grid.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(corner->grab().toImage(), shown);

  // With only a fixed row, or only a fixed column, there is no corner.
  g.setFixedCols(0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(corner->isVisible());
  g.setFixedCols(1);
  g.setFixedRows(0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(corner->isVisible());
  g.setFixedRows(1);
  QCoreApplication::processEvents();
  EXPECT_TRUE(corner->isVisible());
}

// A heading too long for its section is drawn from its start and ends in
// "…", as a cell is: the row heading shows as some start of its text followed
// by the ellipsis, never cut off at the edge.
TEST(ResultGridWidget, LongHeadingsEndInAnEllipsis) {
  ResultGrid grid;
  ResultGridModel& g = grid.grid();
  g.setCols(2);
  g.setRows(3);
  g.setFixedRows(1);
  g.setFixedCols(1);
  g.setColWidth(0, 1020);
  g.setColAlignment(0, GridAlignment::Left);
  grid.resize(300, 200);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

  QHeaderView* rows = grid.verticalHeader();
  const auto heading = [&](const QString& text) {
    g.setCell(1, 0, text);
    QCoreApplication::processEvents();
    return rows->grab(QRect(0, rows->sectionViewportPosition(1), rows->width(), rows->sectionSize(1))).toImage();
  };
  const QString text = QStringLiteral("12;業務士(清掃･洗濯･廃棄)");
  const QImage shown = heading(text);
  // Only starts that fit whole count: one that does not would be cut off at
  // the edge just like the text itself.
  const QFontMetrics metrics(rows->font());
  ASSERT_GT(metrics.horizontalAdvance(text), rows->width());
  int shownAs = 0;
  for (int k = 1; k < text.size() && shownAs == 0; ++k) {
    const QString start = text.left(k) + QChar(0x2026);
    if (metrics.horizontalAdvance(start) <= rows->width() && heading(start) == shown) shownAs = k;
  }
  EXPECT_GT(shownAs, 2) << "the heading is not shown as its start and an ellipsis";
  // A heading that fits is shown whole.
  const QImage fits = heading(QStringLiteral("1;医師"));
  EXPECT_NE(heading(QStringLiteral("1;医") + QChar(0x2026)), fits);
}

// The extraction listing: the heading row, then 100,000 report rows added one
// by one while the grid is hidden, each 400 twips high.
TEST(ResultGridWidget, HundredThousandRowsFilledWhileHidden) {
  ResultGrid grid;
  ResultGridModel& g = grid.grid();
  grid.resize(900, 400);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

  QElapsedTimer timer;
  timer.start();
  grid.hide();
  g.setCols(18);
  g.setRows(1);
  g.setRowHeight(0, 600);
  for (int c = 0; c < 18; ++c) {
    g.setColWidth(c, 2000);
    g.setColAlignment(c, GridAlignment::Center);
    g.setCell(0, c, QStringLiteral("見出し%1").arg(c));
  }
  constexpr int kRows = 100000;
  for (int r = 1; r <= kRows; ++r) {
    g.setRows(r + 1);
    if (r == 1) g.setFixedRows(1);
    g.setRow(r);
    g.setRowHeight(r, 400);
    for (int c = 0; c < 18; ++c) {
      g.setCol(c);
      g.setText(QString::number(r));
    }
  }
  grid.show();
  QCoreApplication::processEvents();
  // Quadratic work on 100,000 rows would take minutes; this takes well under
  // a second on a developer machine.
  EXPECT_LT(timer.elapsed(), 10000);

  EXPECT_EQ(grid.model()->rowCount(), kRows + 1);
  EXPECT_EQ(grid.horizontalHeader()->height(), Twips(600));
  EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), Twips(400));
  EXPECT_EQ(grid.rowHeight(kRows), Twips(400));
  EXPECT_TRUE(grid.isRowHidden(0));
  EXPECT_EQ(grid.horizontalHeader()->sectionSize(17), Twips(2000));

  grid.scrollToBottom();
  QCoreApplication::processEvents();
  const QModelIndex bottom = grid.indexAt(QPoint(5, grid.viewport()->height() - 3));
  EXPECT_EQ(bottom.row(), kRows);
  EXPECT_EQ(bottom.data().toString(), QString::number(kRows));
  EXPECT_EQ(grid.verticalScrollBar()->value(), grid.verticalScrollBar()->maximum());

  // Cut back to the heading row while hidden, as every recomputation does.
  grid.hide();
  g.setRows(1);
  grid.show();
  EXPECT_EQ(grid.model()->rowCount(), 1);
  EXPECT_EQ(g.fixedRows(), 0);
  EXPECT_EQ(g.cell(0, 3), "見出し3");
}

}  // namespace
}  // namespace orvanta
