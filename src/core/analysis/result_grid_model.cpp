#include "core/analysis/result_grid_model.h"

#include <algorithm>

namespace orvanta {
namespace {

// What a General column does with a text: numbers to the right.
bool LooksNumeric(const QString& text) {
  if (text.isEmpty()) return false;
  bool isNumber = false;
  static_cast<void>(text.toDouble(&isNumber));  // only whether it parses matters
  return isNumber;
}

Qt::Alignment HorizontalOf(GridAlignment a, const QString& text) {
  switch (a) {
    case GridAlignment::Left: return Qt::AlignLeft;
    case GridAlignment::Center: return Qt::AlignHCenter;
    case GridAlignment::Right: return Qt::AlignRight;
    case GridAlignment::General: break;
  }
  return LooksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft;
}

}  // namespace

ResultGridModel::ResultGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultGridModel::fixedRows() const { return std::clamp(fixedRowsWanted_, 0, std::max(rows_ - 1, 0)); }
int ResultGridModel::fixedCols() const { return std::clamp(fixedColsWanted_, 0, std::max(cols_ - 1, 0)); }

void ResultGridModel::tellLayout() {
  if (updating()) return;
  if (rows_ > 0) emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
  if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
  emit layoutOfGridChanged();
}

void ResultGridModel::clampCurrent() {
  row_ = std::clamp(row_, 0, std::max(rows_ - 1, 0));
  col_ = std::clamp(col_, 0, std::max(cols_ - 1, 0));
}

QString& ResultGridModel::slot(int r, int c) {
  const int head = headRows();
  if (r < head) return cells_[at(r, c, cols_)];
  if (r < head + sourceRows_) {
    const int sourceRow = r - head;
    const auto [it, added] = sourceEdits_.try_emplace(editKey(sourceRow, c));
    if (added && c < sourceCols_) it->second = source_->cell(sourceRow, c);
    return it->second;
  }
  return tail_[at(r - head - sourceRows_, c, cols_)];
}

void ResultGridModel::dropSource() {
  source_.reset();
  headRows_ = 0;
  sourceRows_ = 0;
  sourceCols_ = 0;
  sourceEdits_.clear();
  tail_.clear();
}

void ResultGridModel::keepSourceRowsAsTexts() {
  if (!source_) return;
  std::vector<QString> cells;
  cells.reserve(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < cols_; ++c) cells.push_back(cell(r, c));
  }
  dropSource();
  cells_ = std::move(cells);
}

void ResultGridModel::resizeRows(int n) {
  if (source_) {
    if (n <= headRows_) {
      dropSource();
    } else if (n <= headRows_ + sourceRows_) {
      // Cut inside the source's rows: what was written over the rows cut off
      // goes with them.
      sourceRows_ = n - headRows_;
      tail_.clear();
      std::erase_if(sourceEdits_, [this](const auto& edit) { return (edit.first >> 32) >= sourceRows_; });
    } else {
      tail_.resize(static_cast<std::size_t>(n - headRows_ - sourceRows_) * static_cast<std::size_t>(cols_));
    }
  }
  if (!source_) cells_.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(cols_));
  rowHeights_.resize(static_cast<std::size_t>(n), kDefaultGridRowHeight);
  rows_ = n;
}

namespace {

// Rows of texts laid out again for another number of columns.
void Relayout(std::vector<QString>& cells, int rows, int from, int to) {
  if (from == to || rows == 0) return;
  std::vector<QString> out(static_cast<std::size_t>(rows) * static_cast<std::size_t>(to));
  const int keep = std::min(from, to);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < keep; ++c) {
      out[static_cast<std::size_t>(r) * static_cast<std::size_t>(to) + static_cast<std::size_t>(c)] =
          std::move(cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(from) + static_cast<std::size_t>(c)]);
    }
  }
  cells = std::move(out);
}

}  // namespace

void ResultGridModel::resizeCols(int n) {
  Relayout(cells_, headRows(), cols_, n);
  if (source_) {
    Relayout(tail_, rows_ - headRows_ - sourceRows_, cols_, n);
    // Columns cut off lose their texts for good: a column added again is
    // empty.
    sourceCols_ = std::min(sourceCols_, n);
    std::erase_if(sourceEdits_, [n](const auto& edit) { return static_cast<int>(edit.first & 0xFFFFFFFF) >= n; });
  }
  colWidths_.resize(static_cast<std::size_t>(n), kDefaultGridColWidth);
  colAlignments_.resize(static_cast<std::size_t>(n), GridAlignment::General);
  cols_ = n;
}

void ResultGridModel::setRows(int n) {
  n = std::max(n, 0);
  if (n == rows_) return;
  const int fixedBefore = fixedRows();
  if (updating()) {
    resizeRows(n);
  } else if (n > rows_) {
    beginInsertRows(QModelIndex(), rows_, n - 1);
    resizeRows(n);
    endInsertRows();
  } else {
    beginRemoveRows(QModelIndex(), n, rows_ - 1);
    resizeRows(n);
    endRemoveRows();
  }
  clampCurrent();
  if (fixedRows() != fixedBefore) tellLayout();
}

void ResultGridModel::setCols(int n) {
  n = std::max(n, 0);
  if (n == cols_) return;
  const int fixedBefore = fixedCols();
  if (updating()) {
    resizeCols(n);
  } else if (n > cols_) {
    beginInsertColumns(QModelIndex(), cols_, n - 1);
    resizeCols(n);
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), n, cols_ - 1);
    resizeCols(n);
    endRemoveColumns();
  }
  clampCurrent();
  if (fixedCols() != fixedBefore) tellLayout();
}

void ResultGridModel::setFixedRows(int n) {
  n = std::max(n, 0);
  if (n == fixedRowsWanted_) return;
  const int before = fixedRows();
  fixedRowsWanted_ = n;
  if (fixedRows() != before) tellLayout();
}

void ResultGridModel::setFixedCols(int n) {
  n = std::max(n, 0);
  if (n == fixedColsWanted_) return;
  const int before = fixedCols();
  fixedColsWanted_ = n;
  if (fixedCols() != before) tellLayout();
}

void ResultGridModel::setRow(int r) {
  if (r >= 0 && r < rows_) row_ = r;
}

void ResultGridModel::setCol(int c) {
  if (c >= 0 && c < cols_) col_ = c;
}

QString ResultGridModel::cell(int r, int c) const {
  if (!validCell(r, c)) return {};
  const int head = headRows();
  if (r < head) return cells_[at(r, c, cols_)];
  if (r < head + sourceRows_) {
    const int sourceRow = r - head;
    if (!sourceEdits_.empty()) {
      const auto edit = sourceEdits_.find(editKey(sourceRow, c));
      if (edit != sourceEdits_.end()) return edit->second;
    }
    return c < sourceCols_ ? source_->cell(sourceRow, c) : QString();
  }
  return tail_[at(r - head - sourceRows_, c, cols_)];
}

void ResultGridModel::setCell(int r, int c, const QString& text) {
  if (!validCell(r, c)) return;
  slot(r, c) = text;
  if (updating()) return;
  const QModelIndex i = index(r, c);
  emit dataChanged(i, i, {Qt::DisplayRole, Qt::TextAlignmentRole});
  if (r < fixedRows()) emit headerDataChanged(Qt::Horizontal, c, c);
  if (c < fixedCols()) emit headerDataChanged(Qt::Vertical, r, r);
}

int ResultGridModel::colWidth(int c) const { return c >= 0 && c < cols_ ? colWidths_[static_cast<std::size_t>(c)] : 0; }

void ResultGridModel::setColWidth(int c, int twips) {
  if (c < 0 || c >= cols_) return;
  twips = std::max(twips, 0);
  if (colWidths_[static_cast<std::size_t>(c)] == twips) return;
  colWidths_[static_cast<std::size_t>(c)] = twips;
  if (!updating()) emit colWidthChanged(c);
}

GridAlignment ResultGridModel::colAlignment(int c) const {
  return c >= 0 && c < cols_ ? colAlignments_[static_cast<std::size_t>(c)] : GridAlignment::General;
}

void ResultGridModel::setColAlignment(int c, GridAlignment alignment) {
  if (c < 0 || c >= cols_) return;
  if (colAlignments_[static_cast<std::size_t>(c)] == alignment) return;
  colAlignments_[static_cast<std::size_t>(c)] = alignment;
  if (updating()) return;
  if (rows_ > 0) emit dataChanged(index(0, c), index(rows_ - 1, c), {Qt::TextAlignmentRole});
  emit headerDataChanged(Qt::Horizontal, c, c);
}

int ResultGridModel::rowHeight(int r) const {
  return r >= 0 && r < rows_ ? rowHeights_[static_cast<std::size_t>(r)] : 0;
}

void ResultGridModel::setRowHeight(int r, int twips) {
  if (r < 0 || r >= rows_) return;
  twips = std::max(twips, 0);
  if (rowHeights_[static_cast<std::size_t>(r)] == twips) return;
  rowHeights_[static_cast<std::size_t>(r)] = twips;
  if (!updating()) emit rowHeightChanged(r);
}

void ResultGridModel::setColumnTexts(int c, const QStringList& texts, int firstRow) {
  if (c < 0 || c >= cols_ || firstRow < 0 || firstRow >= rows_) return;
  const int last = std::min<qsizetype>(rows_ - 1, firstRow + texts.size() - 1);
  if (last < firstRow) return;
  for (int r = firstRow; r <= last; ++r) slot(r, c) = texts[r - firstRow];
  if (updating()) return;
  emit dataChanged(index(firstRow, c), index(last, c), {Qt::DisplayRole, Qt::TextAlignmentRole});
  if (firstRow < fixedRows()) emit headerDataChanged(Qt::Horizontal, c, c);
  if (c < fixedCols()) emit headerDataChanged(Qt::Vertical, firstRow, last);
}

void ResultGridModel::setAllCells(int rows, int cols, std::vector<QString> cells) {
  rows = std::max(rows, 0);
  cols = std::max(cols, 0);
  UpdateBatch batch(*this);
  dropSource();
  cells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  cells_ = std::move(cells);
  rows_ = rows;
  cols_ = cols;
  rowHeights_.resize(static_cast<std::size_t>(rows), kDefaultGridRowHeight);
  colWidths_.resize(static_cast<std::size_t>(cols), kDefaultGridColWidth);
  colAlignments_.resize(static_cast<std::size_t>(cols), GridAlignment::General);
  clampCurrent();
}

void ResultGridModel::appendRows(std::vector<QString> cells, int heightTwips) {
  if (cols_ == 0) return;
  const int added = static_cast<int>(cells.size() / static_cast<std::size_t>(cols_));
  if (added == 0) return;
  const int first = rows_;
  const int fixedBefore = fixedRows();
  const bool tell = !updating();
  if (tell) beginInsertRows(QModelIndex(), first, first + added - 1);
  std::vector<QString>& to = source_ ? tail_ : cells_;
  to.reserve(to.size() + static_cast<std::size_t>(added) * static_cast<std::size_t>(cols_));
  for (std::size_t i = 0; i < static_cast<std::size_t>(added) * static_cast<std::size_t>(cols_); ++i)
    to.push_back(std::move(cells[i]));
  rowHeights_.resize(static_cast<std::size_t>(first + added), std::max(heightTwips, 0));
  rows_ = first + added;
  if (tell) endInsertRows();
  if (fixedRows() != fixedBefore) tellLayout();
}

void ResultGridModel::appendRows(std::shared_ptr<const GridRowSource> source, int heightTwips) {
  if (cols_ == 0 || !source || source->rowCount() <= 0) return;
  const int added = source->rowCount();
  const int first = rows_;
  const int fixedBefore = fixedRows();
  const bool tell = !updating();
  if (tell) beginInsertRows(QModelIndex(), first, first + added - 1);
  keepSourceRowsAsTexts();
  headRows_ = rows_;
  sourceRows_ = added;
  sourceCols_ = std::min(cols_, source->columnCount());
  source_ = std::move(source);
  rowHeights_.resize(static_cast<std::size_t>(first + added), std::max(heightTwips, 0));
  rows_ = first + added;
  if (tell) endInsertRows();
  if (fixedRows() != fixedBefore) tellLayout();
}

void ResultGridModel::beginUpdate() {
  if (updateDepth_++ == 0) beginResetModel();
}

void ResultGridModel::endUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ == 0) {
    endResetModel();
    emit layoutOfGridChanged();
  }
}

int ResultGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int ResultGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

Qt::Alignment ResultGridModel::cellAlignment(int r, int c) const {
  const GridAlignment a = colAlignment(c);
  // Only a General column looks at the text.
  return HorizontalOf(a, a == GridAlignment::General ? cell(r, c) : QString()) | Qt::AlignVCenter;
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !validCell(index.row(), index.column())) return {};
  switch (role) {
    case Qt::DisplayRole: return cell(index.row(), index.column());
    case Qt::TextAlignmentRole: return QVariant::fromValue(cellAlignment(index.row(), index.column()));
    case Qt::ToolTipRole: {
      // The whole text, for cells too narrow to show it.
      const QString text = cell(index.row(), index.column());
      return text.isEmpty() ? QVariant() : QVariant(text);
    }
    default: return {};
  }
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const bool horizontal = orientation == Qt::Horizontal;
  if (section < 0 || section >= (horizontal ? cols_ : rows_)) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    QStringList parts;
    if (horizontal) {
      for (int r = 0; r < fixedRows(); ++r) parts << cell(r, section);
    } else {
      for (int c = 0; c < fixedCols(); ++c) parts << cell(section, c);
    }
    const QString text = parts.join(horizontal ? QLatin1Char('\n') : QLatin1Char(' '));
    // The whole heading, for sections too narrow to show it.
    if (role == Qt::ToolTipRole) return text.trimmed().isEmpty() ? QVariant() : QVariant(text);
    return text;
  }
  if (role == Qt::TextAlignmentRole) {
    // Headings follow their column's alignment and wrap within the column.
    const int c = horizontal ? section : 0;
    QString sample;
    if (horizontal && fixedRows() > 0) sample = cell(0, section);
    if (!horizontal && fixedCols() > 0) sample = cell(section, 0);
    const int flags = static_cast<int>(HorizontalOf(colAlignment(c), sample) | Qt::AlignVCenter);
    return QVariant(flags | Qt::TextWordWrap);
  }
  return {};
}

}  // namespace orvanta
