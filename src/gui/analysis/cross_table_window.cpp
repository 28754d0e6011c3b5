#include "gui/analysis/cross_table_window.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/cross_table.h"
#include "core/app/app_state.h"
#include "core/output/cross_table_csv.h"
#include "core/output/csv_file.h"
#include "core/output/table_print.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/every_choice.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

// Positions and sizes in twips.
constexpr int kClientWidth = 14985;
constexpr int kClientHeight = 9960;
constexpr int kComboTop = 150;
constexpr int kComboWidth = 2295;
constexpr int kComboHeight = 345;
constexpr std::array<int, 2> kComboLeft = {1440, 4650};
constexpr int kGridLeft = 180;
constexpr int kGridTop = 600;
constexpr int kTableWidth = 12735;
constexpr int kTableHeight = 7035;
constexpr int kColTotalsTop = 7620;
constexpr int kColTotalsHeight = 915;
constexpr int kRowTotalsLeft = 12900;
constexpr int kRowTotalsWidth = 1905;
constexpr int kBottomTop = 8640;
constexpr int kButtonHeight = 375;

const PeriodFrameLayout kPeriodLayout{
    .buttonText = QStringLiteral("再計算"),
    .inset = 150,
    .dateTop = 300,
    .dateGap = 150,
    .buttonGap = 240,
    .buttonTop = 255,
    .buttonWidth = 1020,
    .buttonHeight = kButtonHeight,
    .rightMargin = 150,
    .frameHeight = 780,
    .note = PeriodFrameLayout::Note::Below,
    .noteGap = 90,
    .noteIndent = 60,
    .noteName = "Label3",
};

// The scroll bars of a totals grid follow the table's in one direction, and
// the table follows them (the wheel over a totals grid scrolls both). A
// follower's range can lag behind the table's while one of them is being laid
// out; it only leads when both ranges agree, and catches up when its range
// is set.
void Follow(QScrollBar* table, QScrollBar* totals) {
  QObject::connect(table, &QScrollBar::valueChanged, totals, &QScrollBar::setValue);
  QObject::connect(totals, &QScrollBar::valueChanged, table, [table, totals](int value) {
    if (totals->minimum() == table->minimum() && totals->maximum() == table->maximum()) table->setValue(value);
  });
  QObject::connect(totals, &QScrollBar::rangeChanged, table, [table, totals] { totals->setValue(table->value()); });
}

}  // namespace

CrossTableWindow::CrossTableWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmYHJ"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("クロス集計表"));
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  // The two items.
  const QStringList captions = AxisCaptions(CaptionDot::HalfWidth);
  const std::array<QString, 2> itemCaptions = {QStringLiteral("縦項目"), QStringLiteral("横項目")};
  for (int i = 0; i < 2; ++i) {
    QComboBox* box = Named(new QComboBox(this), "Combo1", i);
    box->addItems(captions);
    box->setMaxVisibleItems(captions.size());
    box->setCurrentIndex(-1);
    PlaceTw(box, kComboLeft[static_cast<std::size_t>(i)], kComboTop, kComboWidth, kComboHeight);
    QLabel* label = Named(PlaceLabel(this, itemCaptions[static_cast<std::size_t>(i)], 0, kComboTop + 60), "Label2", i);
    label->move(box->x() - label->width() - 6, label->y());
    itemLists_[static_cast<std::size_t>(i)] = box;
  }
  Named(
      PlaceLabel(this, QStringLiteral("縦項目と横項目を選択するとクロス集計表が表示されます。"), 7380, kComboTop + 60),
      "Label1");

  // The table and its totals.
  tableGrid_ = Named(new ResultGrid(this), "Grid1");
  PlaceTw(tableGrid_, kGridLeft, kGridTop, kTableWidth, kTableHeight);
  columnTotalsGrid_ = Named(new ResultGrid(this), "Grid2");
  PlaceTw(columnTotalsGrid_, kGridLeft, kColTotalsTop, kTableWidth, kColTotalsHeight);
  rowTotalsGrid_ = Named(new ResultGrid(this), "Grid3");
  PlaceTw(rowTotalsGrid_, kRowTotalsLeft, kGridTop, kRowTotalsWidth, kTableHeight);
  ResetCrossTableGrids(tableGrid_->grid(), columnTotalsGrid_->grid(), rowTotalsGrid_->grid());
  linkScrolling();

  // The period, with "再計算".
  periodFrame_ = new PeriodFrame(kPeriodLayout, this);
  periodFrame_->place(kGridLeft, kBottomTop - 90);

  csvButton_ = Named(PlaceButton(this, QStringLiteral("CSVファイル変換"), 10500, kBottomTop - 30, 1995, kButtonHeight),
                     "Command1");
  printButton_ =
      Named(PlaceButton(this, QStringLiteral("印刷"), 10500, kBottomTop + 420, 1995, kButtonHeight), "Command5");
  closeButton_ =
      Named(PlaceButton(this, QStringLiteral("戻る"), 13260, kBottomTop + 420, 1545, kButtonHeight), "Command3");

  periodFrame_->showPeriod(DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date()));

  // Every choice of an item computes again (once both are chosen), also the
  // choice of the item a box already shows: the period may have changed.
  for (QComboBox* box : itemLists_)
    connect(new EveryChoice(box), &EveryChoice::chosen, this, &CrossTableWindow::preHyouji);
  connect(periodFrame_, &PeriodFrame::recomputeClicked, this, &CrossTableWindow::preHyouji);
  connect(csvButton_, &QPushButton::clicked, this, &CrossTableWindow::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &CrossTableWindow::printTable);
  // The close box, Escape and "戻る" all close through reject(); the window
  // keeps nothing that would need saving.
  connect(closeButton_, &QPushButton::clicked, this, &CrossTableWindow::reject);
}

CrossTableWindow::~CrossTableWindow() = default;

bool CrossTableWindow::bothChosen() const {
  return itemLists_[0]->currentIndex() >= 0 && itemLists_[1]->currentIndex() >= 0;
}

void CrossTableWindow::preHyouji() {
  if (!bothChosen()) return;
  const AnalysisAxis vertical = AxisAt(itemLists_[0]->currentIndex());
  const AnalysisAxis horizontal = AxisAt(itemLists_[1]->currentIndex());
  state_.prompts().setBusy(true);
  for (ResultGrid* grid : {tableGrid_, columnTotalsGrid_, rowTotalsGrid_}) grid->hide();

  LayOutCrossTableGrids(tableGrid_->grid(), columnTotalsGrid_->grid(), rowTotalsGrid_->grid(),
                        CrossTableHeadingsOf(vertical, horizontal, state_.lists, BodySiteNames()));
  std::vector<int> unreadable;
  std::vector<CutShortFile> cutShort;
  FillCrossTableGrids(tableGrid_->grid(), columnTotalsGrid_->grid(), rowTotalsGrid_->grid(),
                      CountCrossTable(state_.paths, state_.counters.NewestFileNo, state_.lists, vertical, horizontal,
                                      periodFrame_->period(), kScanThreadsAuto, &unreadable, &cutShort));

  for (ResultGrid* grid : {tableGrid_, columnTotalsGrid_, rowTotalsGrid_}) grid->show();
  state_.prompts().setBusy(false);
  unreadableNotice_.tell(state_.prompts(), state_.paths, unreadable, cutShort);
}

QString CrossTableWindow::csvText() const {
  return CrossTableCsvText(periodFrame_->csvPeriodText(), itemLists_[0]->currentText(), itemLists_[1]->currentText(),
                           tableGrid_->grid());
}

void CrossTableWindow::writeCsv() {
  WriteCsvFile(state_.prompts(), state_.paths, QStringLiteral("クロス集計.csv"), [this] { return csvText(); });
}

void CrossTableWindow::printTable() {
  // The grid is hidden while the pages are drawn.
  PrintCrossTable(state_.prompts(),
                  CrossTablePrint{periodFrame_->csvPeriodText(), itemLists_[0]->currentText(),
                                  itemLists_[1]->currentText(), &tableGrid_->grid()},
                  WhileDrawing{[this] { tableGrid_->hide(); }, [this] { tableGrid_->show(); }});
}

// The totals stay beside their rows and under their columns: Grid2 scrolls
// sideways with the table and Grid3 up and down. Each totals grid shows the
// table's scroll bar across the direction it follows, so that its cells and
// the table's have the same room and scroll the same way to the end.
void CrossTableWindow::linkScrolling() {
  columnTotalsGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  columnTotalsGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rowTotalsGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rowTotalsGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QScrollBar* across = tableGrid_->horizontalScrollBar();
  QScrollBar* down = tableGrid_->verticalScrollBar();
  connect(down, &QScrollBar::rangeChanged, columnTotalsGrid_, [this](int min, int max) {
    columnTotalsGrid_->setVerticalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  });
  connect(across, &QScrollBar::rangeChanged, rowTotalsGrid_, [this](int min, int max) {
    rowTotalsGrid_->setHorizontalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  });
  Follow(across, columnTotalsGrid_->horizontalScrollBar());
  Follow(down, rowTotalsGrid_->verticalScrollBar());
}

}  // namespace orvanta
