#pragma once
// The cross tabulation: how many reports of a period fall into each pair of
// categories of two items (a vertical item for the rows, a horizontal one for
// the columns), with the total of every row and column; the layout and the
// filling of the window's three grids. Its CSV text is in
// core/output/cross_table_csv.h.
//
// The table covers every category of both items, so the 101st entry of a
// full code list is a row or column like the others.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "core/analysis/analysis_axis.h"

namespace orvanta {

class DrivePaths;
class ResultGridModel;

// Counts per cell, categories numbered from 1 on both items.
class CrossTable {
 public:
  CrossTable() = default;
  // An empty table of rows x cols categories.
  CrossTable(int rows, int cols);

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  // Count of row category r and column category c (1-based); 0 outside.
  std::int64_t count(int r, int c) const;
  // Adds one to every cell (r, c) for r in rowCategories and c in
  // colCategories; categories outside the table are left out.
  void add(const CategorySet& rowCategories, const CategorySet& colCategories);
  // Adds the counts of another table of the same size, cell by cell.
  void add(const CrossTable& other);

  // The totals of the shown cells: of row r over its columns, of column c
  // over its rows. With an item on which one report has several categories,
  // a total counts report-and-category pairs, not reports.
  std::int64_t rowTotal(int r) const;
  std::int64_t colTotal(int c) const;

  friend bool operator==(const CrossTable&, const CrossTable&) = default;

 private:
  std::size_t at(int r, int c) const {
    return static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c - 1);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<std::int64_t> counts_;  // row by row, category 1 first
};

// Counts the reports of one scan into a table sized for the two items as the
// code lists are when it is made.
class CrossTableCounter {
 public:
  CrossTableCounter(AnalysisAxis vertical, AnalysisAxis horizontal, const CodeLists& lists);

  // One report of the period.
  void add(const ReportFacts& report);
  // Every report of the period of one loaded data file.
  void addFile(const ScannedFile& file);

  const CrossTable& table() const { return table_; }

 private:
  AnalysisAxis vertical_;
  AnalysisAxis horizontal_;
  CategoryIndex index_;
  CategorySet rowCategories_;
  CategorySet colCategories_;
  CrossTable table_;
};

// Reads data files 0 to newestFileNo under paths (one scan) and counts the
// reports of the period, by the code lists as they are now. Files that cannot
// be read are skipped; when unreadableFiles is given, it receives the numbers
// of those that are there but could not be read. The files are counted on
// `threads` threads (see ScanDataFiles); the table is the same whatever their
// number.
CrossTable CountCrossTable(const DrivePaths& paths, int newestFileNo, const CodeLists& lists, AnalysisAxis vertical,
                           AnalysisAxis horizontal, const AnalysisPeriod& period, int threads = kScanThreadsAuto,
                           std::vector<int>* unreadableFiles = nullptr,
                           std::vector<CutShortFile>* cutShortFiles = nullptr);

// The headings of a table: the table labels of the vertical item's categories
// (rows, category 1 first) and of the horizontal item's (columns).
struct CrossTableHeadings {
  QStringList rowLabels;
  QStringList colLabels;
};

CrossTableHeadings CrossTableHeadingsOf(AnalysisAxis vertical, AnalysisAxis horizontal, const CodeLists& lists,
                                        const std::array<QString, kSiteSlots>& siteNames);

// Sizes in twips of the table grid (Grid1): the heading column, every other
// column, the heading row.
inline constexpr int kCrossHeadingColWidth = 3000;
inline constexpr int kCrossColWidth = 1500;
inline constexpr int kCrossHeadingRowHeight = 1000;
// The totals: the row-totals grid's (Grid3) two columns, which fit its width
// of 1905 twips, and the height of the column-totals grid's (Grid2) heading
// row, two lines of text within its height of 915 twips.
inline constexpr int kCrossRowTotalsHeadingWidth = 1020;
inline constexpr int kCrossRowTotalsWidth = 810;
inline constexpr int kCrossColTotalsHeadingHeight = 450;

// The grids as the window opens, before anything is computed: two rows and two
// columns each, one fixed row and one fixed column, every cell empty.
void ResetCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals);

// Lays the three grids out for the headings: the table (Grid1) gets a row per
// vertical and a column per horizontal category with the labels in its
// heading column and row; the column totals (Grid2), two rows under it, repeat
// the column headings; the row totals (Grid3), two columns beside it, repeat
// the row headings. Counts and totals are left empty; corners stay empty.
// The totals grids take the table's column widths and row heights so that
// each total lines up with its column or row.
void LayOutCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals,
                           const CrossTableHeadings& headings);

// Writes every count into the table grid as a plain whole number ("0" for an
// empty cell), the column totals into row 1 of colTotals and the row totals
// into column 1 of rowTotals. The grids must have been laid out for the
// table's items.
void FillCrossTableGrids(ResultGridModel& table, ResultGridModel& colTotals, ResultGridModel& rowTotals,
                         const CrossTable& counts);

}  // namespace orvanta
