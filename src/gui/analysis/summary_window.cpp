#include "gui/analysis/summary_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/output/summary_csv.h"
#include "core/output/summary_sheet.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/filter_panel.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

// Places and sizes, in twips. The client area below the menu bar is 15270 x
// 10545: the period frame and the instruction line on top, the lists in three
// rows of six, six and five under their captions, and the tables in three
// columns of six filling the rest.
constexpr int kClientWidth = 15270;
constexpr int kClientHeight = 10545;
constexpr int kLeft = 120;

constexpr int kFrameTop = 0;
constexpr int kFrameHeight = 690;  // the period frame's default height
constexpr int kLineHeight = 195;   // one line of 9-point text

constexpr int kListWidth = 2295;
constexpr int kListHeight = 300;
constexpr int kListPitch = 2520;  // from one list to the next in a row
// A caption is one line of 9-point text high; the three rows of captions
// and lists fill what the frame and the six rows of tables leave.
constexpr int kCaptionHeight = kLineHeight;
constexpr int kFirstCaptionTop = kFrameTop + kFrameHeight;
constexpr int kRowPitch = kCaptionHeight + kListHeight;
constexpr int kListsPerRow = 6;

constexpr int kTableWidth = 4965;
constexpr int kTableHeight = 1395;
constexpr int kTablePitch = 5010;  // from one column of tables to the next
constexpr int kTablesTop = kFirstCaptionTop + 3 * kRowPitch;
constexpr int kTablesPerColumn = 6;
static_assert(kTablesTop + kTablesPerColumn * kTableHeight <= kClientHeight, "the tables fit the client area");
// The count column is wide enough for a six-digit count beside the scroll
// bar; the label column gives up what it needs.
constexpr int kLabelColWidth = 3900;
constexpr int kCountColWidth = 780;

const FilterPanelLayout kFilterLayout{
    .columnPitch = kListPitch,
    .listTops = {kCaptionHeight, kCaptionHeight + kRowPitch, kCaptionHeight + 2 * kRowPitch},
    .captionHeight = kCaptionHeight,
    .listWidth = kListWidth,
    .listHeight = kListHeight,
    .captionAlignment = Qt::AlignLeft | Qt::AlignBottom,
};

const QString kInstruction =
    QStringLiteral("各リストから項目を選択すると、その項目に対応するものが他の項目の表に表示されます。");

}  // namespace

SummaryWindow::SummaryWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmTySu2"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("レポート"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* bar = Named(new QMenuBar(this), "MenuBar");
  buildMenu(bar);
  layout->setMenuBar(bar);
  content_ = new QWidget(this);
  content_->setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  layout->addWidget(content_);

  std::array<QStringList, kAxisCount> entries;
  for (int i = 0; i < kAxisCount; ++i) {
    captions_[static_cast<std::size_t>(i)] = SummaryCaption(AxisAt(i));
    rowTexts_[static_cast<std::size_t>(i)] = SummaryRowTexts(AxisAt(i), state_.lists, BodySiteNames());
    entries[static_cast<std::size_t>(i)] = SummaryListTexts(AxisAt(i), state_.lists, BodySiteNames());
  }
  buildPeriodFrame();
  buildLists();
  buildTables();

  // Set-up: the captions, every list filled and at "全て", the default
  // period; then the tables and the first computation.
  filters_->fill(captions_, entries);
  periodFrame_->showPeriod(DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date()));
  connect(filters_, &FilterPanel::changed, this, &SummaryWindow::onListChanged);
  connect(periodFrame_, &PeriodFrame::recomputeClicked, this, &SummaryWindow::recompute);

  hyouji();
  preHyouji();
}

SummaryWindow::~SummaryWindow() = default;

void SummaryWindow::buildMenu(QMenuBar* bar) {
  printSheetAction_ = bar->addAction(QStringLiteral("レポート印刷"));
  printSheetAction_->setObjectName(QStringLiteral("mnuRept"));
  connect(printSheetAction_, &QAction::triggered, this, &SummaryWindow::printSheet);
  csvAction_ = bar->addAction(QStringLiteral("CSVファイル作成"));
  csvAction_->setObjectName(QStringLiteral("mnuCSV"));
  connect(csvAction_, &QAction::triggered, this, &SummaryWindow::writeCsv);
  closeAction_ = bar->addAction(QStringLiteral("戻る"));
  closeAction_->setObjectName(QStringLiteral("mnuEnd"));
  connect(closeAction_, &QAction::triggered, this, &SummaryWindow::reject);
}

void SummaryWindow::buildPeriodFrame() {
  periodFrame_ = new PeriodFrame(PeriodFrameLayout{}, content_);
  periodFrame_->place(kLeft, kFrameTop);

  // The instruction line, right of the frame.
  const int left = kLeft + periodFrame_->widthTwips() + 180;
  auto* instruction = PlaceLabel(content_, kInstruction, left, 150, kClientWidth - kLeft - left, 3 * kLineHeight);
  instruction->setWordWrap(true);
  instruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SummaryWindow::buildLists() {
  filters_ = new FilterPanel(kFilterLayout, content_);
  PlaceTw(filters_, kLeft, kFirstCaptionTop);
  // The number of matching reports at the right end of the third row.
  const int top = kFirstCaptionTop + 2 * kRowPitch + kCaptionHeight;
  const int left = kLeft + 5 * kListPitch + 150;
  PlaceLabel(content_, QStringLiteral("該当件数"), left, top, 780, kListHeight);
  matchingCountLabel_ = Named(new QLabel(content_), "Label7");
  matchingCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  matchingCountLabel_->setFrameShape(QFrame::Panel);
  matchingCountLabel_->setFrameShadow(QFrame::Sunken);
  PlaceTw(matchingCountLabel_, left + 780, top, 1050, kListHeight);
  PlaceLabel(content_, QStringLiteral("件"), left + 780 + 1050 + 60, top, 240, kListHeight);
}

void SummaryWindow::buildTables() {
  for (int i = 0; i < kAxisCount; ++i) {
    auto* grid = Named(new ResultGrid(content_), "Grid1", i);
    PlaceTw(grid, kLeft + (i / kTablesPerColumn) * kTablePitch, kTablesTop + (i % kTablesPerColumn) * kTableHeight,
            kTableWidth, kTableHeight);
    itemTables_[static_cast<std::size_t>(i)] = grid;
  }
}

void SummaryWindow::fillTable(int i) {
  ResultGridModel& g = itemTables_[static_cast<std::size_t>(i)]->grid();
  const ResultGridModel::UpdateBatch batch(g);
  const QStringList& rows = rowTexts_[static_cast<std::size_t>(i)];
  std::vector<QString> cells;
  cells.reserve(static_cast<std::size_t>(rows.size()) * 2);
  for (const QString& text : rows) {
    cells.push_back(text);
    cells.emplace_back();
  }
  g.setCols(2);
  g.setRows(1);
  g.setFixedCols(0);
  g.setFixedRows(1);
  g.setCell(0, 0, captions_[static_cast<std::size_t>(i)]);
  g.setCell(0, 1, QString());
  g.setColWidth(0, kLabelColWidth);
  g.setColWidth(1, kCountColWidth);
  g.setColAlignment(0, GridAlignment::Center);
  g.setColAlignment(1, GridAlignment::Right);
  g.appendRows(std::move(cells));
  g.setRow(0);
  g.setCol(0);
}

void SummaryWindow::hyouji() {
  for (int i = 0; i < kAxisCount; ++i) fillTable(i);
}

// Every choice in list i, also of the entry it already shows: restricts or
// restores table i, then recomputes with the period the boxes show now.
void SummaryWindow::onListChanged(int i) {
  if (!filters_->everyListHasPosition()) return;
  const QComboBox* box = filters_->list(i);
  if (box->currentIndex() >= 1) {
    // A restricted item names its category in its heading and shows no
    // count: the matching count is that category's count.
    ResultGridModel& g = itemTables_[static_cast<std::size_t>(i)]->grid();
    const ResultGridModel::UpdateBatch batch(g);
    g.setRows(1);
    g.setRows(2);
    g.setCell(0, 0, box->currentText());
  } else {
    fillTable(i);
  }
  preHyouji();
}

void SummaryWindow::recompute() {
  if (filters_->everyListHasPosition()) preHyouji();
}

void SummaryWindow::preHyouji() {
  Prompts& prompts = state_.prompts();
  prompts.setBusy(true);
  for (ResultGrid* g : itemTables_) g->setVisible(false);

  // The period as the spin buttons hold it now, and the lists' positions.
  result_ = ComputeSummary(state_.paths, state_.counters.NewestFileNo, state_.lists, periodFrame_->period(),
                           filters_->filter(), filters_->selectedTexts());
  goukei();

  for (ResultGrid* g : itemTables_) g->setVisible(true);
  prompts.setBusy(false);
  unreadableNotice_.tell(prompts, state_.paths, result_.unreadableFiles, result_.cutShortFiles);
}

void SummaryWindow::goukei() {
  matchingCountLabel_->setText(QString::number(result_.matching));
  // Every table whose list stands at "全て" shows its counts, whatever the
  // number of its categories.
  for (int i = 0; i < kAxisCount; ++i) {
    if (result_.filter.selection[static_cast<std::size_t>(i)] != 0) continue;
    ResultGridModel& g = itemTables_[static_cast<std::size_t>(i)]->grid();
    const int categories = std::min(g.rows() - 1, kSummaryMaxCategory);
    for (int n = 1; n <= categories; ++n) g.setCell(n, 1, QString::number(result_.counts.count(AxisAt(i), n)));
  }
}

void SummaryWindow::writeCsv() { WriteSummaryCsvFile(state_.prompts(), state_.paths, state_.lists, result_); }

void SummaryWindow::printSheet() { PrintSummarySheet(state_.prompts(), result_, state_.lists, BodySiteNames()); }

// The close box, Escape and "戻る" all close the window; nothing is kept.
void SummaryWindow::reject() {
  state_.prompts().setBusy(false);
  QDialog::reject();
}

void SummaryWindow::closeEvent(QCloseEvent* event) {
  if (isVisible()) reject();
  event->accept();
}

}  // namespace orvanta
