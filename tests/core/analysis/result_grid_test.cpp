#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "core/analysis/result_grid_model.h"

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
      {2, GridAlignment::General, Qt::AlignRight},  {0, GridAlignment::Left, Qt::AlignLeft},
      {1, GridAlignment::Center, Qt::AlignHCenter}, {1, GridAlignment::Right, Qt::AlignRight},
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

// Rows whose cell (r, c) reads "s<r>.<c>", counting every cell made.
class CountingSource final : public GridRowSource {
 public:
  CountingSource(int rows, int cols) : rows_(rows), cols_(cols) {}
  int rowCount() const override { return rows_; }
  int columnCount() const override { return cols_; }
  QString cell(int row, int col) const override {
    ++made;
    return QStringLiteral("s%1.%2").arg(row).arg(col);
  }
  mutable std::atomic<int> made = 0;

 private:
  int rows_;
  int cols_;
};

std::vector<QString> SourceTexts(int rows, int cols, int modelCols) {
  std::vector<QString> cells;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < modelCols; ++c) cells.push_back(c < cols ? QStringLiteral("s%1.%2").arg(r).arg(c) : QString());
  }
  return cells;
}

std::vector<QString> AllCells(const ResultGridModel& g) {
  std::vector<QString> cells;
  for (int r = 0; r < g.rows(); ++r) {
    for (int c = 0; c < g.cols(); ++c) cells.push_back(g.cell(r, c));
  }
  return cells;
}

// A grid showing a source's rows answers every operation as a grid holding
// the same texts: each step is done to both, and every cell compared.
TEST(ResultGridModel, RowsFromASourceBehaveAsStoredRows) {
  struct Step {
    const char* what;
    std::function<void(ResultGridModel&)> apply;
  };
  // clang-format off
  const std::vector<Step> steps = {
      {"nothing yet", [](ResultGridModel&) {}},
      {"write over a source cell", [](ResultGridModel& g) { g.setCell(3, 2, "edited"); }},
      {"write the current cell", [](ResultGridModel& g) { g.setRow(5); g.setCol(0); g.setText("current"); }},
      {"a column of texts across head and source",
       [](ResultGridModel& g) { g.setColumnTexts(1, {"c1", "c2", "c3"}, 1); }},
      {"rows added after the source", [](ResultGridModel& g) { g.setRows(g.rows() + 3); g.setCell(g.rows() - 1, 0, "tail"); }},
      {"stored rows appended after the source", [](ResultGridModel& g) { g.appendRows({"a", "b", "c", "d"}, 400); }},
      {"cut inside the tail", [](ResultGridModel& g) { g.setRows(g.rows() - 2); }},
      {"cut inside the source's rows", [](ResultGridModel& g) { g.setRows(4); }},
      {"rows again: new ones are empty", [](ResultGridModel& g) { g.setRows(8); }},
      {"a column more", [](ResultGridModel& g) { g.setCols(5); g.setCell(2, 4, "wide"); }},
      {"columns cut off", [](ResultGridModel& g) { g.setCols(2); }},
      {"columns again: the cut ones stay empty", [](ResultGridModel& g) { g.setCols(4); }},
  };
  // clang-format on
  for (std::size_t upTo = 0; upTo < steps.size(); ++upTo) {
    ResultGridModel stored;
    ResultGridModel made;
    for (ResultGridModel* g : {&stored, &made}) {
      g->setCols(4);
      g->setRows(1);
      g->setCell(0, 0, "head");
    }
    // The source has one column less than the grid: the last reads empty.
    stored.appendRows(SourceTexts(7, 3, 4), 400);
    made.appendRows(std::make_shared<CountingSource>(7, 3), 400);
    for (std::size_t i = 0; i <= upTo; ++i) {
      steps[i].apply(stored);
      steps[i].apply(made);
    }
    SCOPED_TRACE(steps[upTo].what);
    ASSERT_EQ(made.rows(), stored.rows());
    ASSERT_EQ(made.cols(), stored.cols());
    EXPECT_EQ(AllCells(made), AllCells(stored));
    for (int r = 0; r < made.rows(); ++r) EXPECT_EQ(made.rowHeight(r), stored.rowHeight(r)) << r;
    for (int r = 0; r < made.rows(); ++r) {
      for (int c = 0; c < made.cols(); ++c)
        EXPECT_EQ(made.data(made.index(r, c)).toString(), stored.cell(r, c)) << r << "," << c;
    }
  }
}

TEST(ResultGridModel, ASourceIsReadOnlyWhenAskedAndLetGoWhenItsRowsGo) {
  ResultGridModel g;
  g.setCols(3);
  g.setRows(1);
  g.setFixedRows(1);
  auto source = std::make_shared<CountingSource>(100000, 3);
  const std::weak_ptr<CountingSource> watch = source;
  CountingSource& counter = *source;
  g.appendRows(std::move(source), 400);
  EXPECT_EQ(g.rows(), 100001);
  EXPECT_EQ(g.fixedRows(), 1);
  EXPECT_EQ(g.rowHeight(100000), 400);
  EXPECT_EQ(counter.made.load(), 0);  // nothing made until read
  EXPECT_EQ(g.cell(100000, 2), "s99999.2");
  EXPECT_EQ(counter.made.load(), 1);
  // A Centre column needs no text for its alignment.
  g.setColAlignment(1, GridAlignment::Center);
  static_cast<void>(g.cellAlignment(50, 1));
  EXPECT_EQ(counter.made.load(), 1);

  // A second source: the rows of the first become stored rows.
  g.setRows(3);
  EXPECT_FALSE(watch.expired());
  g.appendRows(std::make_shared<CountingSource>(2, 3), 400);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(g.rows(), 5);
  EXPECT_EQ(g.cell(2, 0), "s1.0");
  EXPECT_EQ(g.cell(4, 1), "s1.1");

  // Cut back to the heading row, the source is let go at once.
  auto third = std::make_shared<CountingSource>(10, 3);
  const std::weak_ptr<CountingSource> watchThird = third;
  g.appendRows(std::move(third), 400);
  g.setRows(1);
  EXPECT_TRUE(watchThird.expired());
  EXPECT_EQ(g.cell(0, 0), QString());
  // Replacing every cell lets it go too.
  auto fourth = std::make_shared<CountingSource>(10, 3);
  const std::weak_ptr<CountingSource> watchFourth = fourth;
  g.appendRows(std::move(fourth), 400);
  g.setAllCells(1, 1, {"x"});
  EXPECT_TRUE(watchFourth.expired());
  EXPECT_EQ(g.rows(), 1);
}

}  // namespace
}  // namespace orvanta
