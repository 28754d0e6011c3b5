#pragma once
// The cells of a result grid: a rectangle of texts with fixed heading rows and
// columns, a current cell, column widths and alignments and row heights, with
// the operations the analysis views use. ResultGrid shows it; the CSV writer
// and the prints read its cells back.
//
// Sizes are in twips (15 twips = 1 logical pixel). Out-of-range rows and
// columns are ignored by every setter and read as empty texts.
//
// Filling many cells: between beginUpdate() and endUpdate() (or inside an
// UpdateBatch, or while the ResultGrid is hidden) the model tells its views
// nothing; endUpdate() tells them once that everything changed.
//
// Rows made on demand: a block of rows may come from a GridRowSource, which
// makes a cell's text when the view, the CSV writer or a print reads it, so a
// listing of a million reports holds compact rows, not eighteen million
// texts. Such rows behave like the others: a cell written over keeps its new
// text, rows and columns cut off disappear with their texts.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace orvanta {

enum class GridAlignment {
  General,  // numbers to the right, other texts to the left
  Left,
  Center,
  Right,
};

// Rows whose cells are made when they are read. The texts must not change
// while a grid holds the source.
class GridRowSource {
 public:
  virtual ~GridRowSource() = default;
  virtual int rowCount() const = 0;
  virtual int columnCount() const = 0;
  // The text of a cell, row 0 to rowCount() - 1, column 0 to
  // columnCount() - 1.
  virtual QString cell(int row, int col) const = 0;
};

inline constexpr int kDefaultGridColWidth = 960;   // twips
inline constexpr int kDefaultGridRowHeight = 270;  // twips

class ResultGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultGridModel(QObject* parent = nullptr);

  // Rows and columns. A new grid has none. Rows or columns cut off take
  // their texts with them; new ones are empty, with the default size and
  // General alignment.
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  void setRows(int n);
  void setCols(int n);

  // Fixed heading rows and columns: the number asked for is kept, and as many
  // of them are fixed as stay below the row (column) count, so a one-row grid
  // has no fixed row until a second row exists.
  int fixedRows() const;
  int fixedCols() const;
  void setFixedRows(int n);
  void setFixedCols(int n);

  // The current cell: the next text() and setText() work on it. Setting a
  // row or column outside the grid changes nothing; when the grid shrinks
  // past it, it moves to the last row (column).
  int row() const { return row_; }
  int col() const { return col_; }
  void setRow(int r);
  void setCol(int c);
  QString text() const { return cell(row_, col_); }
  void setText(const QString& text) { setCell(row_, col_, text); }

  // Any cell.
  QString cell(int r, int c) const;
  void setCell(int r, int c, const QString& text);

  int colWidth(int c) const;
  void setColWidth(int c, int twips);
  GridAlignment colAlignment(int c) const;
  void setColAlignment(int c, GridAlignment alignment);
  int rowHeight(int r) const;
  void setRowHeight(int r, int twips);

  // Bulk filling.
  // Writes texts into column c from row firstRow down, as far as rows exist.
  void setColumnTexts(int c, const QStringList& texts, int firstRow = 0);
  // Replaces the whole grid: rows x cols texts, row by row (missing texts are
  // empty). Sizes and alignments of rows and columns that stay are kept.
  void setAllCells(int rows, int cols, std::vector<QString> cells);
  // Appends cells.size() / cols() rows (row by row) of the given height.
  void appendRows(std::vector<QString> cells, int heightTwips = kDefaultGridRowHeight);
  // Appends the rows of a source, each of the given height; their cells are
  // made when read (a column past the source's columns reads empty). A grid
  // holds one source: rows of an earlier one become ordinary rows first.
  void appendRows(std::shared_ptr<const GridRowSource> source, int heightTwips = kDefaultGridRowHeight);

  // Views are told nothing until the matching endUpdate(); the calls nest.
  void beginUpdate();
  void endUpdate();
  bool updating() const { return updateDepth_ > 0; }

  class UpdateBatch {
   public:
    explicit UpdateBatch(ResultGridModel& model) : model_(model) { model_.beginUpdate(); }
    ~UpdateBatch() { model_.endUpdate(); }
    UpdateBatch(const UpdateBatch&) = delete;
    UpdateBatch& operator=(const UpdateBatch&) = delete;

   private:
    ResultGridModel& model_;
  };

  // The Qt model: every row and column, fixed ones included. headerData
  // gives, for column c, the texts of the fixed rows in that column (one per
  // line) and, for row r, those of the fixed columns in that row, so a view
  // can show the fixed cells as its headers. Cells and headings that hold a
  // text give it whole as their tooltip.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The Qt alignment of a cell's text (always vertically centred).
  Qt::Alignment cellAlignment(int r, int c) const;

 signals:
  // Fixed counts, widths or heights changed (not sent while updating; the
  // end of an update sends it once).
  void layoutOfGridChanged();
  void colWidthChanged(int c);
  void rowHeightChanged(int r);

 private:
  bool validCell(int r, int c) const { return r >= 0 && r < rows_ && c >= 0 && c < cols_; }
  static std::size_t at(int r, int c, int cols) {
    return static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c);
  }
  // The rows kept as texts before the source's rows (all rows without one).
  int headRows() const { return source_ ? headRows_ : rows_; }
  // The texts a valid cell is written to (a cell of the source's rows gets
  // one of its own).
  QString& slot(int r, int c);
  static std::int64_t editKey(int sourceRow, int c) { return (static_cast<std::int64_t>(sourceRow) << 32) | c; }
  // Turns the source's rows into ordinary rows.
  void keepSourceRowsAsTexts();
  void dropSource();
  void resizeRows(int n);
  void resizeCols(int n);
  void clampCurrent();
  void tellLayout();

  int rows_ = 0;
  int cols_ = 0;
  int fixedRowsWanted_ = 0;
  int fixedColsWanted_ = 0;
  int row_ = 0;
  int col_ = 0;
  std::vector<QString> cells_;  // row by row: every row, or the rows before the source's
  // Rows made on demand: sourceRows_ rows after headRows_, reading the
  // source's first sourceCols_ columns; cells written over them are kept in
  // sourceEdits_; tail_ holds the rows after them, row by row.
  std::shared_ptr<const GridRowSource> source_;
  int headRows_ = 0;
  int sourceRows_ = 0;
  int sourceCols_ = 0;
  std::unordered_map<std::int64_t, QString> sourceEdits_;
  std::vector<QString> tail_;
  std::vector<int> colWidths_;
  std::vector<GridAlignment> colAlignments_;
  std::vector<int> rowHeights_;
  int updateDepth_ = 0;
};

}  // namespace orvanta
