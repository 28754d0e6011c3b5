#include "gui/widgets/result_grid_widget.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <algorithm>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

// Cells paint their text only. A centred or right-aligned text too long for
// its cell is shown from its start, so what is cut off is its end.
class CellDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->displayAlignment & Qt::AlignLeft) return;
    const QWidget* w = option->widget;
    const int margin = (w ? w->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) : 2) + 1;
    if (option->fontMetrics.horizontalAdvance(option->text) > option->rect.width() - 2 * margin)
      option->displayAlignment = (option->displayAlignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
  }
};

// Whether text, wrapped in lines `width` wide, stands in `height`.
bool WrappedFits(const QFontMetrics& metrics, int width, int height, const QString& text) {
  return metrics.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap, text).height() <= height;
}

// Headings wrap within their section when it has room for a second line;
// in a section one line high a heading stays on one line, and one too long
// for its section is shown from its start and ends in "…", as the cells do
// (its tooltip shows it whole). A wrapped heading that needs more lines than
// its section holds keeps the lines that fit, the last one ending in "…",
// instead of being cut through at the top and bottom.
class GridHeader final : public QHeaderView {
 public:
  using QHeaderView::QHeaderView;

  QString shownText(int logicalIndex) const {
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    return option.text;
  }

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const int across = orientation() == Qt::Horizontal ? height() : sectionSize(logicalIndex);
    const int along = orientation() == Qt::Horizontal ? sectionSize(logicalIndex) : width();
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    const int room = along - 2 * margin;
    int flags = option->textAlignment.toInt();
    if (across < 2 * option->fontMetrics.lineSpacing()) flags &= ~Qt::TextWordWrap;
    if (!(flags & Qt::TextWordWrap) && !option->text.contains(QLatin1Char('\n'))) {
      if (option->fontMetrics.horizontalAdvance(option->text) > room) {
        flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
        option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, std::max(room, 0));
      }
    } else if ((flags & Qt::TextWordWrap) && !WrappedFits(option->fontMetrics, room, across, option->text)) {
      // The longest start of the text that fits with "…" after it.
      const QString ellipsis(QChar(0x2026));
      qsizetype fits = 0;
      qsizetype tooLong = option->text.size();
      while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (WrappedFits(option->fontMetrics, room, across, option->text.left(mid) + ellipsis)) {
          fits = mid;
        } else {
          tooLong = mid;
        }
      }
      option->text = option->text.left(fits) + ellipsis;
    }
    option->textAlignment = Qt::Alignment::fromInt(flags);
  }
};

// The corner where the headings meet: the cells of the fixed rows in the
// fixed columns, drawn as a heading. A row's cells are joined by a blank and
// the rows stand one per line, as the headings join theirs; the text follows
// the alignment of column 0 and wraps within the corner.
class GridCorner final : public QWidget {
 public:
  GridCorner(const ResultGridModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("GridCorner"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  QString text() const {
    QStringList lines;
    for (int r = 0; r < model_.fixedRows(); ++r) {
      QStringList cells;
      for (int c = 0; c < model_.fixedCols(); ++c) cells << model_.cell(r, c);
      lines << cells.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QStyleOptionHeader option;
    option.initFrom(this);
    option.rect = rect();
    option.state |= QStyle::State_Raised;
    option.orientation = Qt::Horizontal;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.section = 0;
    option.text = text();
    option.textAlignment = Qt::Alignment::fromInt(model_.cellAlignment(0, 0).toInt() | Qt::TextWordWrap);
    style()->drawControl(QStyle::CE_Header, &option, &painter, this);
  }

 private:
  const ResultGridModel& model_;
};

}  // namespace

QString ResultGrid::headingText(Qt::Orientation orientation, int section) const {
  const auto* headings =
      static_cast<const GridHeader*>(orientation == Qt::Horizontal ? horizontalHeader() : verticalHeader());
  return headings->shownText(section);
}

ResultGrid::ResultGrid(QWidget* parent)
    : QTableView(parent), model_(new ResultGridModel(this)), fixedCorner_(new GridCorner(*model_, this)) {
  fixedCorner_->hide();
  setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
  setVerticalHeader(new GridHeader(Qt::Vertical, this));
  setModel(model_);
  setItemDelegate(new CellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWordWrap(false);
  // A text wider than its cell ends in "…"; its tooltip shows it whole.
  setTextElideMode(Qt::ElideRight);
  setCornerButtonEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  for (QHeaderView* headings : {horizontalHeader(), verticalHeader()}) {
    headings->setSectionResizeMode(QHeaderView::Fixed);
    headings->setSectionsClickable(false);
    headings->setHighlightSections(false);
    headings->setMinimumSectionSize(1);
    headings->setTextElideMode(Qt::ElideNone);
  }
  horizontalHeader()->setDefaultSectionSize(Twips(kDefaultGridColWidth));
  verticalHeader()->setDefaultSectionSize(Twips(kDefaultGridRowHeight));

  connect(model_, &ResultGridModel::layoutOfGridChanged, this, &ResultGrid::applyLayout);
  // The corner repaints when one of its cells may have changed.
  connect(model_, &QAbstractItemModel::dataChanged, fixedCorner_, [this](const QModelIndex& topLeft) {
    if (topLeft.row() < model_->fixedRows() && topLeft.column() < model_->fixedCols()) fixedCorner_->update();
  });
  connect(model_, &QAbstractItemModel::headerDataChanged, fixedCorner_, qOverload<>(&QWidget::update));
  connect(model_, &QAbstractItemModel::modelReset, fixedCorner_, qOverload<>(&QWidget::update));
  connect(model_, &ResultGridModel::colWidthChanged, this, [this](int c) {
    if (c < model_->fixedCols()) {
      applyFixedSizes();
    } else {
      applyColWidth(c);
    }
  });
  connect(model_, &ResultGridModel::rowHeightChanged, this, &ResultGrid::applyRowHeight);
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { applyRowHeights(first, last); });
  connect(model_, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
    for (int c = first; c <= last; ++c) applyColWidth(c);
  });
  connect(model_, &QAbstractItemModel::rowsRemoved, this,
          [this] { rowsHiddenAsFixed_ = std::min(rowsHiddenAsFixed_, model_->rows()); });
  connect(model_, &QAbstractItemModel::columnsRemoved, this,
          [this] { colsHiddenAsFixed_ = std::min(colsHiddenAsFixed_, model_->cols()); });
  applyLayout();
}

void ResultGrid::setVisible(bool visible) {
  if (!visible && !holdingUpdates_) {
    holdingUpdates_ = true;
    model_->beginUpdate();
  }
  QTableView::setVisible(visible);
  if (visible && holdingUpdates_) {
    holdingUpdates_ = false;
    model_->endUpdate();
  }
}

// The heading sizes: the fixed rows make the height of the column headings,
// the fixed columns the width of the row headings.
void ResultGrid::applyFixedSizes() {
  const int fixedRows = model_->fixedRows();
  const int fixedCols = model_->fixedCols();
  int height = 0;
  for (int r = 0; r < fixedRows; ++r) height += Twips(model_->rowHeight(r));
  int width = 0;
  for (int c = 0; c < fixedCols; ++c) width += Twips(model_->colWidth(c));
  horizontalHeader()->setVisible(fixedRows > 0);
  verticalHeader()->setVisible(fixedCols > 0);
  if (fixedRows > 0) horizontalHeader()->setFixedHeight(height);
  if (fixedCols > 0) verticalHeader()->setFixedWidth(width);
}

void ResultGrid::applyColWidth(int c) {
  if (c < model_->fixedCols() || c >= model_->cols()) return;
  const int pixels = Twips(model_->colWidth(c));
  if (horizontalHeader()->sectionSize(c) != pixels) horizontalHeader()->resizeSection(c, pixels);
}

// Rows first to last get their heights; the usual height of a report row is
// the header's default, so only rows of another height are sized one by one.
void ResultGrid::applyRowHeights(int first, int last) {
  QHeaderView* rowHeadings = verticalHeader();
  first = std::max(first, model_->fixedRows());
  for (int r = first; r <= last && r < model_->rows(); ++r) {
    const int pixels = Twips(model_->rowHeight(r));
    if (rowHeadings->sectionSize(r) != pixels) rowHeadings->resizeSection(r, pixels);
  }
}

void ResultGrid::applyRowHeight(int r) {
  if (r < model_->fixedRows()) {
    applyFixedSizes();
  } else {
    applyRowHeights(r, r);
  }
}

// The corner covers the place where the two headings meet, while both are
// shown.
void ResultGrid::updateGeometries() {
  QTableView::updateGeometries();
  const QHeaderView* colHeadings = horizontalHeader();
  const QHeaderView* rowHeadings = verticalHeader();
  if (colHeadings->isHidden() || rowHeadings->isHidden()) {
    fixedCorner_->hide();
    return;
  }
  fixedCorner_->setGeometry(rowHeadings->x(), colHeadings->y(), rowHeadings->width(), colHeadings->height());
  fixedCorner_->show();
  fixedCorner_->raise();
}

void ResultGrid::applyLayout() {
  if (model_->updating()) return;
  const int rows = model_->rows();
  const int cols = model_->cols();
  const int fixedRows = model_->fixedRows();
  const int fixedCols = model_->fixedCols();

  // A reset shows every row and column again.
  QHeaderView* rowHeadings = verticalHeader();
  QHeaderView* colHeadings = horizontalHeader();
  rowsHiddenAsFixed_ = std::min(rowsHiddenAsFixed_, rows);
  colsHiddenAsFixed_ = std::min(colsHiddenAsFixed_, cols);
  for (int r = 0; r < rowsHiddenAsFixed_; ++r) {
    if (rowHeadings->isSectionHidden(r) != (r < fixedRows)) setRowHidden(r, r < fixedRows);
  }
  for (int r = rowsHiddenAsFixed_; r < fixedRows; ++r) setRowHidden(r, true);
  rowsHiddenAsFixed_ = fixedRows;
  for (int c = 0; c < colsHiddenAsFixed_; ++c) {
    if (colHeadings->isSectionHidden(c) != (c < fixedCols)) setColumnHidden(c, c < fixedCols);
  }
  for (int c = colsHiddenAsFixed_; c < fixedCols; ++c) setColumnHidden(c, true);
  colsHiddenAsFixed_ = fixedCols;

  applyFixedSizes();
  for (int c = fixedCols; c < cols; ++c) applyColWidth(c);

  // The height most rows have becomes the default: that is the last row's.
  if (rows > fixedRows) {
    const int usual = Twips(model_->rowHeight(rows - 1));
    if (rowHeadings->defaultSectionSize() != usual) rowHeadings->setDefaultSectionSize(usual);
  }
  applyRowHeights(fixedRows, rows - 1);
}

void ShowTextTable(ResultGrid* view, const TextTable& table, int headingRows, int labelWidth, int valueWidth) {
  ResultGridModel& grid = view->grid();
  ResultGridModel::UpdateBatch batch(grid);
  const int cols = table.empty() ? 0 : static_cast<int>(table.front().size());
  std::vector<QString> cells;
  cells.reserve(table.size() * static_cast<std::size_t>(cols));
  for (const QStringList& row : table)
    for (int c = 0; c < cols; ++c) cells.push_back(row.value(c));
  grid.setAllCells(static_cast<int>(table.size()), cols, std::move(cells));
  grid.setFixedRows(headingRows);
  grid.setFixedCols(1);
  for (int c = 0; c < cols; ++c) {
    grid.setColWidth(c, c == 0 ? labelWidth : valueWidth);
    grid.setColAlignment(c, c == 0 ? GridAlignment::Left : GridAlignment::Right);
  }
}

}  // namespace orvanta
