#include "gui/analysis/cross_table_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/cross_table.h"
#include "gui/widgets/result_grid_widget.h"
#include "core/output/cross_table_csv.h"
#include "core/output/csv_file.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/date_field_widget.h"
#include "core/app/app_state.h"

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

QLabel* Caption(QWidget* parent, const QString& text, const char* name, int index, int left, int top) {
  auto* label = Named(new QLabel(text, parent), name, index);
  PlaceTw(label, left, top);
  return label;
}

QPushButton* Button(QWidget* parent, const QString& text, const char* name, int left, int top, int width) {
  auto* button = Named(new QPushButton(text, parent), name);
  button->setAutoDefault(false);
  PlaceTw(button, left, top, width, kButtonHeight);
  return button;
}

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
  setWindowTitle(QStringLiteral("クロス集計表"));
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  loading_ = true;

  // The two items.
  const QStringList captions = AxisCaptions(CaptionDot::HalfWidth);
  const std::array<QString, 2> itemCaptions = {QStringLiteral("縦項目"), QStringLiteral("横項目")};
  for (int i = 0; i < 2; ++i) {
    QComboBox* box = Named(new QComboBox(this), "Combo1", i);
    box->addItems(captions);
    box->setMaxVisibleItems(captions.size());
    box->setCurrentIndex(-1);
    PlaceTw(box, kComboLeft[static_cast<std::size_t>(i)], kComboTop, kComboWidth, kComboHeight);
    QLabel* label = Caption(this, itemCaptions[static_cast<std::size_t>(i)], "Label2", i, 0, kComboTop + 60);
    label->move(box->x() - label->width() - 6, label->y());
    combo1_[static_cast<std::size_t>(i)] = box;
  }
  Caption(this, QStringLiteral("縦項目と横項目を選択するとクロス集計表が表示されます。"), "Label1", -1, 7380,
          kComboTop + 60);

  // The table and its totals.
  grid1_ = Named(new ResultGrid(this), "Grid1");
  PlaceTw(grid1_, kGridLeft, kGridTop, kTableWidth, kTableHeight);
  grid2_ = Named(new ResultGrid(this), "Grid2");
  PlaceTw(grid2_, kGridLeft, kColTotalsTop, kTableWidth, kColTotalsHeight);
  grid3_ = Named(new ResultGrid(this), "Grid3");
  PlaceTw(grid3_, kRowTotalsLeft, kGridTop, kRowTotalsWidth, kTableHeight);
  ResetCrossTableGrids(grid1_->grid(), grid2_->grid(), grid3_->grid());
  linkScrolling();

  // The period.
  auto* frame = Named(new QGroupBox(QStringLiteral("計算期間"), this), "Frame1");
  dates_ = new DateFieldControls(DateFieldVariant::Analysis, this);
  dates_->placeDate(0, frame, 150, 300);
  const int secondLeft = 150 + dates_->dateRowWidthTwips(0) + 150;
  dates_->placeDate(1, frame, secondLeft, 300);
  const int recalcLeft = secondLeft + dates_->dateRowWidthTwips(1) + 240;
  command4_ = Button(frame, QStringLiteral("再計算"), "Command4", recalcLeft, 255, 1020);
  PlaceTw(frame, kGridLeft, kBottomTop - 90, recalcLeft + 1020 + 150, 780);
  Caption(this, QStringLiteral("集計期間を変更した場合は「再計算」ボタンをクリックしてください。"), "Label3", -1,
          kGridLeft + 60, kBottomTop + 780);

  command1_ = Button(this, QStringLiteral("CSVファイル変換"), "Command1", 10500, kBottomTop - 30, 1995);
  command5_ = Button(this, QStringLiteral("印刷"), "Command5", 10500, kBottomTop + 420, 1995);
  command3_ = Button(this, QStringLiteral("戻る"), "Command3", 13260, kBottomTop + 420, 1545);
  // The table print is not part of this window yet.
  command5_->setEnabled(false);
  command5_->setToolTip(QStringLiteral("印刷はまだできません"));

  dates_->model().setLoading(true);
  const AnalysisPeriod period = DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date());
  dates_->showDate(0, period.from.year, period.from.month, period.from.day);
  dates_->showDate(1, period.to.year, period.to.month, period.to.day);
  dates_->model().setLoading(false);
  loading_ = false;

  for (QComboBox* box : combo1_) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (!loading_) preHyouji();
    });
  }
  connect(command4_, &QPushButton::clicked, this, &CrossTableWindow::preHyouji);
  connect(command1_, &QPushButton::clicked, this, &CrossTableWindow::writeCsv);
  // The close box, Escape and "戻る" all close through reject(); the window
  // keeps nothing that would need saving.
  connect(command3_, &QPushButton::clicked, this, &CrossTableWindow::reject);
}

CrossTableWindow::~CrossTableWindow() = default;

bool CrossTableWindow::bothChosen() const {
  return combo1_[0]->currentIndex() >= 0 && combo1_[1]->currentIndex() >= 0;
}

void CrossTableWindow::preHyouji() {
  if (!bothChosen()) return;
  const AnalysisAxis vertical = AxisAt(combo1_[0]->currentIndex());
  const AnalysisAxis horizontal = AxisAt(combo1_[1]->currentIndex());
  state_.prompts().setBusy(true);
  for (ResultGrid* grid : {grid1_, grid2_, grid3_}) grid->hide();

  LayOutCrossTableGrids(grid1_->grid(), grid2_->grid(), grid3_->grid(),
                        CrossTableHeadingsOf(vertical, horizontal, state_.lists, BodySiteNames()));
  const AnalysisPeriod period{{dates_->year(0), dates_->month(0), dates_->day(0)},
                              {dates_->year(1), dates_->month(1), dates_->day(1)}};
  FillCrossTableGrids(grid1_->grid(), grid2_->grid(), grid3_->grid(),
                      CountCrossTable(state_.paths, state_.counters.NewestFileNo, state_.lists, vertical, horizontal, period));

  for (ResultGrid* grid : {grid1_, grid2_, grid3_}) grid->show();
  state_.prompts().setBusy(false);
}

QString CrossTableWindow::csvText() const {
  const QString period =
      CsvPeriodText(dates_->text(DatePart::Year, 0), dates_->text(DatePart::Month, 0), dates_->text(DatePart::Day, 0),
                    dates_->text(DatePart::Year, 1), dates_->text(DatePart::Month, 1), dates_->text(DatePart::Day, 1));
  return CrossTableCsvText(period, combo1_[0]->currentText(), combo1_[1]->currentText(), grid1_->grid());
}

void CrossTableWindow::writeCsv() {
  WriteCsvFile(state_.prompts(), state_.paths, [this] { return csvText(); });
}

// The totals stay beside their rows and under their columns: Grid2 scrolls
// sideways with the table and Grid3 up and down. Each totals grid shows the
// table's scroll bar across the direction it follows, so that its cells and
// the table's have the same room and scroll the same way to the end.
void CrossTableWindow::linkScrolling() {
  grid2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid3_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid3_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QScrollBar* across = grid1_->horizontalScrollBar();
  QScrollBar* down = grid1_->verticalScrollBar();
  connect(down, &QScrollBar::rangeChanged, grid2_, [this](int min, int max) {
    grid2_->setVerticalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  });
  connect(across, &QScrollBar::rangeChanged, grid3_, [this](int min, int max) {
    grid3_->setHorizontalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  });
  Follow(across, grid2_->horizontalScrollBar());
  Follow(down, grid3_->verticalScrollBar());
}

void CrossTableWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  state_.prompts().setBusy(false);
}

void CrossTableWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) state_.prompts().setBusy(false);
}

}  // namespace orvanta
