#include "core/analysis/cross_table.h"

#include <algorithm>

#include "core/analysis/result_grid_model.h"

namespace orvanta {

// ---------------------------------------------------------------------------
// Counting

CrossTable::CrossTable(int rows, int cols)
    : rows_(std::max(rows, 0)),
      cols_(std::max(cols, 0)),
      counts_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), 0) {}

std::int64_t CrossTable::count(int r, int c) const {
  if (r < 1 || r > rows_ || c < 1 || c > cols_) return 0;
  return counts_[at(r, c)];
}

void CrossTable::add(const CategorySet& rowCategories, const CategorySet& colCategories) {
  for (const int r : rowCategories) {
    if (r < 1 || r > rows_) continue;
    for (const int c : colCategories) {
      if (c >= 1 && c <= cols_) ++counts_[at(r, c)];
    }
  }
}

void CrossTable::add(const CrossTable& other) {
  if (other.rows_ != rows_ || other.cols_ != cols_) return;
  for (std::size_t i = 0; i < counts_.size(); ++i) counts_[i] += other.counts_[i];
}

std::int64_t CrossTable::rowTotal(int r) const {
  std::int64_t sum = 0;
  for (int c = 1; c <= cols_; ++c) sum += count(r, c);
  return sum;
}

std::int64_t CrossTable::colTotal(int c) const {
  std::int64_t sum = 0;
  for (int r = 1; r <= rows_; ++r) sum += count(r, c);
  return sum;
}

CrossTableCounter::CrossTableCounter(AnalysisAxis vertical, AnalysisAxis horizontal, const CodeLists& lists)
    : vertical_(vertical),
      horizontal_(horizontal),
      index_(lists),
      table_(CategoryCount(vertical, lists), CategoryCount(horizontal, lists)) {}

void CrossTableCounter::add(const ReportFacts& report) {
  CategoriesOf(vertical_, report, index_, rowCategories_);
  if (rowCategories_.empty()) return;
  CategoriesOf(horizontal_, report, index_, colCategories_);
  table_.add(rowCategories_, colCategories_);
}

void CrossTableCounter::addFile(const ScannedFile& file) {
  for (const ReportFacts& report : file.reports()) add(report);
}

CrossTable CountCrossTable(const DrivePaths& paths, int newestFileNo, const CodeLists& lists, AnalysisAxis vertical,
                           AnalysisAxis horizontal, const AnalysisPeriod& period, int threads,
                           std::vector<int>* unreadableFiles, std::vector<CutShortFile>* cutShortFiles) {
  // Each file is counted into a table of its own on the thread that read it;
  // the tables are added up in file order.
  const CategoryIndex index(lists);
  const int rows = CategoryCount(vertical, lists);
  const int cols = CategoryCount(horizontal, lists);
  CrossTable total(rows, cols);
  const ScanSummary scanned = ScanReportsInParts<CrossTable>(
      paths, newestFileNo, period,
      [&](const ScannedFile& file) {
        CrossTable part(rows, cols);
        CategorySet rowCategories;
        CategorySet colCategories;
        for (const ReportFacts& report : file.reports()) {
          CategoriesOf(vertical, report, index, rowCategories);
          if (rowCategories.empty()) continue;
          CategoriesOf(horizontal, report, index, colCategories);
          part.add(rowCategories, colCategories);
        }
        return part;
      },
      [&](CrossTable&& part) { total.add(part); }, threads);
  if (unreadableFiles) *unreadableFiles = scanned.unreadableFiles;
  if (cutShortFiles) *cutShortFiles = scanned.cutShortFiles;
  return total;
}

// ---------------------------------------------------------------------------
// Grids

CrossTableHeadings CrossTableHeadingsOf(AnalysisAxis vertical, AnalysisAxis horizontal, const CodeLists& lists,
                                        const std::array<QString, kSiteSlots>& siteNames) {
  return {CategoryLabels(vertical, LabelKind::Table, lists, siteNames),
          CategoryLabels(horizontal, LabelKind::Table, lists, siteNames)};
}

namespace {

// Every cell emptied, every size and alignment back to the grid's default,
// one fixed row and column (as far as the grid has more rows and columns).
void Clear(ResultGridModel& grid, int rows, int cols) {
  ResultGridModel::UpdateBatch batch(grid);
  grid.setAllCells(rows, cols, {});
  for (int c = 0; c < cols; ++c) {
    grid.setColWidth(c, kDefaultGridColWidth);
    grid.setColAlignment(c, GridAlignment::General);
  }
  for (int r = 0; r < rows; ++r) grid.setRowHeight(r, kDefaultGridRowHeight);
  grid.setFixedRows(1);
  grid.setFixedCols(1);
}

}  // namespace

void ResetCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals) {
  for (ResultGridModel* grid : {&table, &colTotals, &rowTotals}) Clear(*grid, 2, 2);
}

void LayOutCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals,
                           const CrossTableHeadings& headings) {
  const int rows = static_cast<int>(headings.rowLabels.size()) + 1;
  const int cols = static_cast<int>(headings.colLabels.size()) + 1;

  // The table: labels in the heading column and row, every column to the
  // right.
  Clear(table, rows, cols);
  table.setColumnTexts(0, headings.rowLabels, 1);
  for (int c = 1; c < cols; ++c) table.setCell(0, c, headings.colLabels[c - 1]);
  for (int c = 0; c < cols; ++c) {
    table.setColWidth(c, c == 0 ? kCrossHeadingColWidth : kCrossColWidth);
    table.setColAlignment(c, GridAlignment::Right);
  }
  table.setRowHeight(0, kCrossHeadingRowHeight);

  // Column totals: the column headings again, aligned left, then the totals,
  // each column as wide as the table's.
  Clear(colTotals, 2, cols);
  for (int c = 1; c < cols; ++c) {
    colTotals.setCell(0, c, headings.colLabels[c - 1]);
    colTotals.setColAlignment(c, GridAlignment::Left);
  }
  for (int c = 0; c < cols; ++c) colTotals.setColWidth(c, table.colWidth(c));
  colTotals.setRowHeight(0, kCrossColTotalsHeadingHeight);

  // Row totals: the row headings again, aligned left, then the totals, each
  // row as high as the table's.
  Clear(rowTotals, rows, 2);
  rowTotals.setColumnTexts(0, headings.rowLabels, 1);
  rowTotals.setColAlignment(0, GridAlignment::Left);
  rowTotals.setColWidth(0, kCrossRowTotalsHeadingWidth);
  rowTotals.setColWidth(1, kCrossRowTotalsWidth);
  for (int r = 0; r < rows; ++r) rowTotals.setRowHeight(r, table.rowHeight(r));
}

void FillCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals,
                         const CrossTable& counts) {
  const int rows = std::min(counts.rows(), table.rows() - 1);
  const int cols = std::min(counts.cols(), table.cols() - 1);
  std::vector<std::int64_t> colSums(static_cast<std::size_t>(std::max(cols, 0)) + 1, 0);
  for (int r = 1; r <= rows; ++r) {
    std::int64_t rowSum = 0;
    for (int c = 1; c <= cols; ++c) {
      const std::int64_t n = counts.count(r, c);
      table.setCell(r, c, QString::number(n));
      rowSum += n;
      colSums[static_cast<std::size_t>(c)] += n;
    }
    rowTotals.setCell(r, 1, QString::number(rowSum));
  }
  for (int c = 1; c <= cols; ++c) colTotals.setCell(1, c, QString::number(colSums[static_cast<std::size_t>(c)]));
}

}  // namespace orvanta
