#include "core/analysis/result_grid_model.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

// A 3 x 4 grid whose cell (r, c) reads "rc".
void Fill(ResultGridModel& g) {
  g.setCols(4);
  g.setRows(3);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) g.setCell(r, c, QStringLiteral("%1%2").arg(r).arg(c));
  }
}

TEST(ResultGridModel, CurrentCellTextsAreStoredUnchanged) {
  ResultGridModel g;
  EXPECT_EQ(g.rows(), 0);
  EXPECT_EQ(g.cols(), 0);
  g.setCols(18);
  g.setRows(2);
  const QStringList texts = {QString(), " 1月", " 0～ 2時", "/ 1右手親指外側/ 14右手親指内側", "a,b", "  "};
  for (int c = 0; c < texts.size(); ++c) {
    g.setRow(1);
    g.setCol(c);
    g.setText(texts[c]);
  }
  for (int c = 0; c < texts.size(); ++c) {
    g.setCol(c);
    EXPECT_EQ(g.text(), texts[c]) << c;
    EXPECT_EQ(g.cell(1, c), texts[c]) << c;
    EXPECT_EQ(g.data(g.index(1, c)).toString(), texts[c]) << c;
    // A text cut off by a narrow column can be read whole in its tooltip.
    EXPECT_EQ(g.data(g.index(1, c), Qt::ToolTipRole).isValid(), !texts[c].isEmpty()) << c;
    EXPECT_EQ(g.data(g.index(1, c), Qt::ToolTipRole).toString(), texts[c]) << c;
  }
  // A cell never written is empty; a row or column outside the grid changes
  // nothing and reads empty.
  EXPECT_EQ(g.cell(0, 5), QString());
  g.setRow(2);
  g.setCol(18);
  EXPECT_EQ(g.row(), 1);
  EXPECT_EQ(g.col(), 5);
  g.setCell(2, 0, "x");
  g.setCell(-1, 0, "x");
  EXPECT_EQ(g.cell(2, 0), QString());
  EXPECT_EQ(g.rows(), 2);
}

TEST(ResultGridModel, RowsAndColumnsCutOffTakeTheirTexts) {
  ResultGridModel g;
  Fill(g);
  g.setRow(2);
  g.setCol(3);

  g.setCols(2);  // the texts that stay keep their places
  EXPECT_EQ(g.cell(2, 1), "21");
  EXPECT_EQ(g.col(), 1);  // the current cell moved inside
  g.setCols(4);
  EXPECT_EQ(g.cell(2, 1), "21");
  EXPECT_EQ(g.cell(2, 3), QString());
  EXPECT_EQ(g.cell(0, 2), QString());

  g.setRows(1);  // only the heading row is left
  EXPECT_EQ(g.rows(), 1);
  EXPECT_EQ(g.row(), 0);
  EXPECT_EQ(g.cell(0, 0), "00");
  g.setRows(3);
  EXPECT_EQ(g.cell(1, 0), QString());
  EXPECT_EQ(g.cell(2, 1), QString());
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(g.columnCount(), 4);
}

TEST(ResultGridModel, FixedRowsStayBelowTheRowCount) {
  ResultGridModel g;
  g.setCols(3);
  g.setRows(1);
  g.setFixedRows(1);
  g.setFixedCols(1);
  EXPECT_EQ(g.fixedRows(), 0);  // a one-row grid has no fixed row yet
  EXPECT_EQ(g.fixedCols(), 1);
  g.setRows(2);
  EXPECT_EQ(g.fixedRows(), 1);
  g.setRows(1);
  EXPECT_EQ(g.fixedRows(), 0);
  g.setCols(1);
  EXPECT_EQ(g.fixedCols(), 0);
  g.setFixedCols(0);
  g.setCols(3);
  EXPECT_EQ(g.fixedCols(), 0);
}

TEST(ResultGridModel, HeadersAreTheFixedCells) {
  ResultGridModel g;
  Fill(g);
  g.setFixedRows(1);
  g.setFixedCols(1);
  EXPECT_EQ(g.headerData(2, Qt::Horizontal).toString(), "02");
  EXPECT_EQ(g.headerData(1, Qt::Vertical).toString(), "10");
  // A heading cut off by a narrow section can be read whole in its tooltip.
  g.setCell(2, 0, QStringLiteral("12;業務士(清掃･洗濯･廃棄)"));
  EXPECT_EQ(g.headerData(2, Qt::Vertical, Qt::ToolTipRole).toString(), QStringLiteral("12;業務士(清掃･洗濯･廃棄)"));
  EXPECT_EQ(g.headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), "02");
  g.setCell(0, 1, QString());
  EXPECT_FALSE(g.headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());
  g.setCell(0, 1, "01");
  g.setFixedRows(2);
  EXPECT_EQ(g.headerData(3, Qt::Horizontal).toString(), "03\n13");
  EXPECT_EQ(g.headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(), "03\n13");
  g.setFixedRows(0);
  g.setFixedCols(0);
  EXPECT_EQ(g.headerData(3, Qt::Horizontal).toString(), QString());
  EXPECT_FALSE(g.headerData(3, Qt::Horizontal, Qt::ToolTipRole).isValid());
  EXPECT_FALSE(g.headerData(4, Qt::Horizontal).isValid());
}

TEST(ResultGridModel, WidthsHeightsAndAlignments) {
  ResultGridModel g;
  g.setCols(2);
  g.setRows(2);
  EXPECT_EQ(g.colWidth(1), kDefaultGridColWidth);
  EXPECT_EQ(g.rowHeight(1), kDefaultGridRowHeight);
  g.setColWidth(0, 3000);
  g.setColWidth(1, 1500);
  g.setRowHeight(0, 1000);
  EXPECT_EQ(g.colWidth(0), 3000);
  EXPECT_EQ(g.colWidth(1), 1500);
  EXPECT_EQ(g.rowHeight(0), 1000);
  EXPECT_EQ(g.rowHeight(1), kDefaultGridRowHeight);
  g.setCols(3);
  EXPECT_EQ(g.colWidth(2), kDefaultGridColWidth);
  EXPECT_EQ(g.colWidth(0), 3000);

  g.setCell(1, 0, "12");
  g.setCell(1, 1, "看護師");
  g.setCell(1, 2, " 3");
  struct Case {
    int col;
    GridAlignment a;
    Qt::Alignment expected;
  };
  const std::vector<Case> cases = {
      {0, GridAlignment::General, Qt::AlignRight},  // a number
      {1, GridAlignment::General, Qt::AlignLeft},   // a text
      {2, GridAlignment::General, Qt::AlignRight},
      {0, GridAlignment::Left, Qt::AlignLeft},
      {1, GridAlignment::Center, Qt::AlignHCenter},
      {1, GridAlignment::Right, Qt::AlignRight},
  };
  for (const Case& c : cases) {
    g.setColAlignment(c.col, c.a);
    EXPECT_EQ(g.colAlignment(c.col), c.a);
    EXPECT_EQ(g.cellAlignment(1, c.col), c.expected | Qt::AlignVCenter) << c.col;
    EXPECT_EQ(g.data(g.index(1, c.col), Qt::TextAlignmentRole).value<Qt::Alignment>(), c.expected | Qt::AlignVCenter);
  }
}

TEST(ResultGridModel, BulkFilling) {
  ResultGridModel g;
  g.setCols(3);
  g.setRows(4);
  g.setColumnTexts(1, {"a", "b", "c", "d", "e"}, 1);  // as far as rows exist
  EXPECT_EQ(g.cell(0, 1), QString());
  EXPECT_EQ(g.cell(1, 1), "a");
  EXPECT_EQ(g.cell(3, 1), "c");
  EXPECT_EQ(g.rows(), 4);

  g.setColWidth(0, 2000);
  g.setAllCells(2, 2, {"h0", "h1", "v0"});
  EXPECT_EQ(g.rows(), 2);
  EXPECT_EQ(g.cols(), 2);
  EXPECT_EQ(g.cell(0, 1), "h1");
  EXPECT_EQ(g.cell(1, 0), "v0");
  EXPECT_EQ(g.cell(1, 1), QString());
  EXPECT_EQ(g.colWidth(0), 2000);

  g.setFixedRows(1);
  g.appendRows({"r2a", "r2b", "r3a", "r3b", "odd"}, 400);  // whole rows only
  EXPECT_EQ(g.rows(), 4);
  EXPECT_EQ(g.cell(2, 0), "r2a");
  EXPECT_EQ(g.cell(3, 1), "r3b");
  EXPECT_EQ(g.rowHeight(3), 400);
  EXPECT_EQ(g.rowHeight(1), kDefaultGridRowHeight);
  EXPECT_EQ(g.fixedRows(), 1);
}

TEST(ResultGridModel, AnUpdateTellsViewsOnceAtItsEnd) {
  ResultGridModel g;
  g.setCols(2);
  int changes = 0;
  int resets = 0;
  for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    QObject::connect(&g, signal, [&] { ++changes; });
  }
  QObject::connect(&g, &QAbstractItemModel::dataChanged, [&] { ++changes; });
  QObject::connect(&g, &ResultGridModel::rowHeightChanged, [&] { ++changes; });
  QObject::connect(&g, &QAbstractItemModel::modelReset, [&] { ++resets; });
  {
    ResultGridModel::UpdateBatch outer(g);
    {
      ResultGridModel::UpdateBatch inner(g);
      for (int r = 0; r < 100; ++r) {
        g.setRows(r + 1);
        g.setRowHeight(r, 400);
        g.setCell(r, 0, QString::number(r));
      }
    }
    g.setRows(50);
    EXPECT_EQ(resets, 0);
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(g.rows(), 50);
  EXPECT_EQ(g.cell(49, 0), "49");
  EXPECT_FALSE(g.updating());

  g.setCell(0, 1, "x");  // outside an update each change is told at once
  g.setRows(51);
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace orvanta
