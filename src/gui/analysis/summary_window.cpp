#include "gui/analysis/summary_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/widgets/result_grid_widget.h"
#include "core/output/summary_csv.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/date_field_widget.h"
#include "core/app/app_state.h"

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
constexpr int kFrameHeight = 690;
constexpr int kDateTop = 255;       // inside the frame
constexpr int kDateGap = 180;       // between the two dates, and before "再計算"
constexpr int kButtonWidth = 900;
constexpr int kNoteTop = 195;       // inside the frame
constexpr int kNoteWidth = 3450;
constexpr int kLineHeight = 195;    // one line of 9-point text

constexpr int kListWidth = 2295;
constexpr int kListHeight = 300;
constexpr int kListPitch = 2520;    // from one list to the next in a row
// A caption is one line of 9-point text high; the three rows of captions
// and lists fill what the frame and the six rows of tables leave.
constexpr int kCaptionHeight = kLineHeight;
constexpr int kFirstCaptionTop = kFrameTop + kFrameHeight;
constexpr int kRowPitch = kCaptionHeight + kListHeight;
constexpr int kListsPerRow = 6;

constexpr int kTableWidth = 4965;
constexpr int kTableHeight = 1395;
constexpr int kTablePitch = 5010;   // from one column of tables to the next
constexpr int kTablesTop = kFirstCaptionTop + 3 * kRowPitch;
constexpr int kTablesPerColumn = 6;
static_assert(kTablesTop + kTablesPerColumn * kTableHeight <= kClientHeight, "the tables fit the client area");
// The count column is wide enough for a six-digit count beside the scroll
// bar; the label column gives up what it needs.
constexpr int kLabelColWidth = 3900;
constexpr int kCountColWidth = 780;

const QString kInstruction =
    QStringLiteral("各リストから項目を選択すると、その項目に対応するものが他の項目の表に表示されます。");
const QString kNote = QStringLiteral("集計期間を変更した場合は「再計算」ボタンをクリックしてください。");

QLabel* Caption(QWidget* parent, const QString& text, int left, int top, int width, int height) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  PlaceTw(label, left, top, width, height);
  return label;
}

}  // namespace

SummaryWindow::SummaryWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmTySu2"));
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

  dates_ = new DateFieldControls(DateFieldVariant::Analysis, this);
  for (int i = 0; i < kAxisCount; ++i) {
    captions_[static_cast<std::size_t>(i)] = SummaryCaption(AxisAt(i));
    rowTexts_[static_cast<std::size_t>(i)] = SummaryRowTexts(AxisAt(i), state_.lists, BodySiteNames());
  }
  buildPeriodFrame();
  buildLists();
  buildTables();

  // Set-up: the lists fill while the window is loading; setting every list
  // to "全て" runs the list handler, which computes nothing yet.
  loading_ = true;
  for (int i = 0; i < kAxisCount; ++i) label4_[static_cast<std::size_t>(i)]->setText(captions_[static_cast<std::size_t>(i)]);
  for (int i = 0; i < kAxisCount; ++i) {
    QComboBox* box = combo1_[static_cast<std::size_t>(i)];
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(SummaryListTexts(AxisAt(i), state_.lists, BodySiteNames()));
    box->setCurrentIndex(-1);
    // The drop-down shows long entry names whole.
    box->view()->setMinimumWidth(std::max(box->width(), box->view()->sizeHintForColumn(0) + 24));
  }
  for (QComboBox* box : combo1_) box->setCurrentIndex(0);
  loading_ = false;

  // The default period, to-date first, with the date fields' own stepping
  // held back until all six values are written.
  const AnalysisPeriod period = DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date());
  dates_->model().setLoading(true);
  dates_->showDate(1, period.to.year, period.to.month, period.to.day);
  dates_->showDate(0, period.from.year, period.from.month, period.from.day);
  dates_->model().setLoading(false);

  hyouji();
  preHyouji();
}

SummaryWindow::~SummaryWindow() = default;

void SummaryWindow::buildMenu(QMenuBar* bar) {
  mnuRept_ = bar->addAction(QStringLiteral("レポート印刷"));
  mnuRept_->setObjectName(QStringLiteral("mnuRept"));
  // The summary sheet comes with the printing work; until then the entry is
  // shown but cannot be chosen.
  mnuRept_->setEnabled(false);
  mnuCSV_ = bar->addAction(QStringLiteral("CSVファイル作成"));
  mnuCSV_->setObjectName(QStringLiteral("mnuCSV"));
  connect(mnuCSV_, &QAction::triggered, this, &SummaryWindow::writeCsv);
  mnuEnd_ = bar->addAction(QStringLiteral("戻る"));
  mnuEnd_->setObjectName(QStringLiteral("mnuEnd"));
  connect(mnuEnd_, &QAction::triggered, this, &SummaryWindow::reject);
}

void SummaryWindow::buildPeriodFrame() {
  QWidget* content = content_;
  auto* frame = new QGroupBox(QStringLiteral("計算期間"), content);
  dates_->placeDate(0, frame, kLeft, kDateTop);
  const int secondLeft = kLeft + dates_->dateRowWidthTwips(0) + kDateGap;
  dates_->placeDate(1, frame, secondLeft, kDateTop);
  const int buttonLeft = secondLeft + dates_->dateRowWidthTwips(1) + kDateGap;
  command4_ = Named(new QPushButton(QStringLiteral("再計算"), frame), "Command4");
  command4_->setAutoDefault(false);
  PlaceTw(command4_, buttonLeft, kDateTop, kButtonWidth, DateFieldControls::rowHeightTwips());
  connect(command4_, &QPushButton::clicked, this, [this] {
    if (everyListHasPosition()) preHyouji();
  });
  // The note in two lines beside the button.
  const int noteLeft = buttonLeft + kButtonWidth + 120;
  auto* note = Caption(frame, kNote, noteLeft, kNoteTop, kNoteWidth, 2 * kLineHeight + 30);
  note->setWordWrap(true);
  const int frameWidth = noteLeft + kNoteWidth + 60;
  PlaceTw(frame, kLeft, kFrameTop, frameWidth, kFrameHeight);

  // The instruction line, right of the frame.
  const int left = kLeft + frameWidth + 180;
  auto* instruction = Caption(content, kInstruction, left, 150, kClientWidth - kLeft - left, 3 * kLineHeight);
  instruction->setWordWrap(true);
  instruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SummaryWindow::buildLists() {
  QWidget* content = content_;
  for (int i = 0; i < kAxisCount; ++i) {
    const int row = i / kListsPerRow;
    const int left = kLeft + (i % kListsPerRow) * kListPitch;
    const int top = kFirstCaptionTop + row * kRowPitch;
    auto* label = Named(new QLabel(content), "Label4", i);
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    PlaceTw(label, left, top, kListWidth, kCaptionHeight);
    label4_[static_cast<std::size_t>(i)] = label;

    auto* box = Named(new QComboBox(content), "Combo1", i);
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    PlaceTw(box, left, top + kCaptionHeight, kListWidth, kListHeight);
    combo1_[static_cast<std::size_t>(i)] = box;
    connect(box, &QComboBox::currentIndexChanged, this, [this, i] { onListChanged(i); });
  }
  // The number of matching reports at the right end of the third row.
  const int top = kFirstCaptionTop + 2 * kRowPitch + kCaptionHeight;
  const int left = kLeft + 5 * kListPitch + 150;
  Caption(content, QStringLiteral("該当件数"), left, top, 780, kListHeight);
  label7_ = Named(new QLabel(content), "Label7");
  label7_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label7_->setFrameShape(QFrame::Panel);
  label7_->setFrameShadow(QFrame::Sunken);
  PlaceTw(label7_, left + 780, top, 1050, kListHeight);
  Caption(content, QStringLiteral("件"), left + 780 + 1050 + 60, top, 240, kListHeight);
}

void SummaryWindow::buildTables() {
  QWidget* content = content_;
  for (int i = 0; i < kAxisCount; ++i) {
    auto* grid = Named(new ResultGrid(content), "Grid1", i);
    PlaceTw(grid, kLeft + (i / kTablesPerColumn) * kTablePitch, kTablesTop + (i % kTablesPerColumn) * kTableHeight,
            kTableWidth, kTableHeight);
    grid1_[static_cast<std::size_t>(i)] = grid;
  }
}

void SummaryWindow::fillTable(int i) {
  ResultGridModel& g = grid1_[static_cast<std::size_t>(i)]->grid();
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

bool SummaryWindow::everyListHasPosition() const {
  for (const QComboBox* box : combo1_) {
    if (box->currentIndex() < 0) return false;
  }
  return true;
}

void SummaryWindow::onListChanged(int i) {
  if (!everyListHasPosition()) return;
  QComboBox* box = combo1_[static_cast<std::size_t>(i)];
  if (box->currentIndex() >= 1) {
    // A restricted item names its category in its heading and shows no
    // count: the matching count is that category's count.
    ResultGridModel& g = grid1_[static_cast<std::size_t>(i)]->grid();
    const ResultGridModel::UpdateBatch batch(g);
    g.setRows(1);
    g.setRows(2);
    g.setCell(0, 0, box->currentText());
  } else {
    fillTable(i);
  }
  if (!loading_) preHyouji();
}

void SummaryWindow::recompute() {
  if (everyListHasPosition()) preHyouji();
}

void SummaryWindow::preHyouji() {
  Prompts& prompts = state_.prompts();
  prompts.setBusy(true);
  for (ResultGrid* g : grid1_) g->setVisible(false);

  // The period as the spin buttons hold it now, and the lists' positions.
  const AnalysisPeriod period{{dates_->year(0), dates_->month(0), dates_->day(0)},
                              {dates_->year(1), dates_->month(1), dates_->day(1)}};
  AxisFilter filter;
  std::array<QString, kAxisCount> texts;
  for (int i = 0; i < kAxisCount; ++i) {
    filter.selection[static_cast<std::size_t>(i)] = combo1_[static_cast<std::size_t>(i)]->currentIndex();
    texts[static_cast<std::size_t>(i)] = combo1_[static_cast<std::size_t>(i)]->currentText();
  }
  result_ = ComputeSummary(state_.paths, state_.counters.NewestFileNo, state_.lists, period, filter, texts);
  goukei();

  for (ResultGrid* g : grid1_) g->setVisible(true);
  prompts.setBusy(false);
}

void SummaryWindow::goukei() {
  label7_->setText(QString::number(result_.matching));
  // Every table whose list stands at "全て" shows its counts, whatever the
  // number of its categories.
  for (int i = 0; i < kAxisCount; ++i) {
    if (result_.filter.selection[static_cast<std::size_t>(i)] != 0) continue;
    ResultGridModel& g = grid1_[static_cast<std::size_t>(i)]->grid();
    const int categories = std::min(g.rows() - 1, kSummaryMaxCategory);
    for (int n = 1; n <= categories; ++n) g.setCell(n, 1, QString::number(result_.counts.count(AxisAt(i), n)));
  }
}

void SummaryWindow::writeCsv() { WriteSummaryCsvFile(state_.prompts(), state_.paths, state_.lists, result_); }

// The close box, Escape and "戻る" all close the window; nothing is kept.
void SummaryWindow::reject() {
  state_.prompts().setBusy(false);
  QDialog::reject();
}

void SummaryWindow::closeEvent(QCloseEvent* event) {
  if (isVisible()) reject();
  event->accept();
}

void SummaryWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  state_.prompts().setBusy(false);
}

void SummaryWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) state_.prompts().setBusy(false);
}

}  // namespace orvanta
