#include "gui/analysis/extraction_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "core/analysis/extraction.h"
#include "gui/widgets/result_grid_widget.h"
#include "core/output/csv_file.h"
#include "core/output/extraction_csv.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/date_field_widget.h"
#include "core/app/app_state.h"

namespace orvanta {
namespace {

// The client area and the places of the controls, in twips.
constexpr int kClientWidth = 14835;
constexpr int kClientHeight = 9420;
constexpr int kBoxWidth = 2295;
constexpr int kBoxHeight = 330;
constexpr int kCaptionHeight = 240;
constexpr int kBoxLefts[6] = {360, 2700, 5040, 7380, 9720, 12060};
constexpr int kBoxTops[3] = {510, 1110, 1740};
constexpr int kGridLeft = 180;
constexpr int kGridTop = 2130;
constexpr int kGridWidth = 14475;
constexpr int kGridHeight = 5595;
constexpr int kCountTop = 7800;
constexpr int kFrameTop = 8130;
constexpr int kFrameHeight = 810;
constexpr int kButtonTop = 8310;
constexpr int kButtonHeight = 495;

QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width = -1, int height = -1) {
  auto* label = new QLabel(text, parent);
  PlaceTw(label, left, top, width, height);
  return label;
}

QPushButton* PlaceButton(QWidget* parent, const QString& text, const char* name, int left, int top, int width,
                         int height) {
  auto* button = Named(new QPushButton(text, parent), name);
  button->setAutoDefault(false);
  PlaceTw(button, left, top, width, height);
  return button;
}

}  // namespace

ExtractionWindow::ExtractionWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmTySu"));
  setWindowTitle(QStringLiteral("データ抽出"));
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  loading_ = true;

  PlaceLabel(this, QStringLiteral("各リストから項目を選択すると、該当する報告書だけが表示されます。"), 360, 30);

  // The seventeen selection boxes with their captions: six, six and five.
  const QStringList captions = AxisCaptions(CaptionDot::FullWidth);
  for (int k = 0; k < kAxisCount; ++k) {
    const int left = kBoxLefts[k % 6];
    const int top = kBoxTops[k / 6];
    QLabel* caption = Named(new QLabel(captions[k], this), "Label4", k);
    PlaceTw(caption, left, top - kCaptionHeight, kBoxWidth, kCaptionHeight);
    captions_[static_cast<std::size_t>(k)] = caption;

    QComboBox* box = Named(new QComboBox(this), "Combo1", k);
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (!loading_) preHyouji();
    });
    // Filling the box selects "全て", which starts nothing while loading.
    box->addItems(CategoryLabels(AxisAt(k), LabelKind::Filter, state_.lists, BodySiteNames()));
    box->setCurrentIndex(0);
    PlaceTw(box, left, top, kBoxWidth, kBoxHeight);
    boxes_[static_cast<std::size_t>(k)] = box;
  }

  grid_ = Named(new ResultGrid(this), "Grid1");
  PlaceTw(grid_, kGridLeft, kGridTop, kGridWidth, kGridHeight);

  // "合計" n "件" under the grid's right end.
  PlaceLabel(this, QStringLiteral("合計"), 12840, kCountTop + 15);
  count_ = Named(new QLabel(QStringLiteral("0"), this), "Label7");
  count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PlaceTw(count_, 13230, kCountTop, 810, 300);
  PlaceLabel(this, QStringLiteral("件"), 14130, kCountTop + 15);

  // The period.
  auto* frame = Named(new QGroupBox(QStringLiteral("計算期間"), this), "Frame1");
  dates_ = new DateFieldControls(DateFieldVariant::Analysis, this);
  dates_->placeDate(0, frame, 150, 330);
  const int secondLeft = 150 + dates_->dateRowWidthTwips(0) + 120;
  dates_->placeDate(1, frame, secondLeft, 330);
  const int buttonLeft = secondLeft + dates_->dateRowWidthTwips(1) + 180;
  QPushButton* again = PlaceButton(frame, QStringLiteral("再表示"), "Command4", buttonLeft, 270, 1095, 405);
  PlaceTw(frame, kGridLeft, kFrameTop, buttonLeft + 1095 + 150, kFrameHeight);
  PlaceLabel(this, QStringLiteral("集計期間を変更した場合は「再計算」ボタンをクリックしてください。"), kGridLeft,
             kFrameTop + kFrameHeight + 75);

  QPushButton* csv = PlaceButton(this, QStringLiteral("CSVファイル変換"), "Command1", 9570, kButtonTop, 1935,
                                 kButtonHeight);
  QPushButton* print = PlaceButton(this, QStringLiteral("印刷"), "Command5", 11625, kButtonTop, 1455, kButtonHeight);
  QPushButton* back = PlaceButton(this, QStringLiteral("戻る"), "Command3", 13200, kButtonTop, 1455, kButtonHeight);
  // Printing the listing is not there yet.
  print->setEnabled(false);
  print->setToolTip(QStringLiteral("印刷はまだできません"));

  connect(again, &QPushButton::clicked, this, &ExtractionWindow::preHyouji);
  connect(csv, &QPushButton::clicked, this, &ExtractionWindow::writeCsv);
  connect(back, &QPushButton::clicked, this, &ExtractionWindow::reject);

  // The default period, written while loading so that it starts nothing.
  const AnalysisPeriod start = DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date());
  dates_->model().setLoading(true);
  dates_->showDate(0, start.from.year, start.from.month, start.from.day);
  dates_->showDate(1, start.to.year, start.to.month, start.to.day);
  dates_->model().setLoading(false);

  loading_ = false;
  hyouji();
  preHyouji();
}

AxisFilter ExtractionWindow::filter() const {
  AxisFilter f;
  for (int k = 0; k < kAxisCount; ++k)
    f.selection[static_cast<std::size_t>(k)] = std::max(boxes_[static_cast<std::size_t>(k)]->currentIndex(), 0);
  return f;
}

AnalysisPeriod ExtractionWindow::period() const {
  return AnalysisPeriod{{dates_->year(0), dates_->month(0), dates_->day(0)},
                        {dates_->year(1), dates_->month(1), dates_->day(1)}};
}

void ExtractionWindow::hyouji() { PrepareExtractionGrid(grid_->grid()); }

// Lists again from scratch with the boxes and the period as they are now. The
// grid is hidden meanwhile, so it is laid out once, at the end.
void ExtractionWindow::preHyouji() {
  state_.prompts().setBusy(true);
  grid_->hide();
  grid_->grid().setRows(1);
  ExtractionListing listing = ComputeExtraction(state_.paths, state_.counters.NewestFileNo, state_.lists, period(), filter());
  const std::int64_t count = listing.count;
  ShowExtraction(grid_->grid(), std::move(listing));
  count_->setText(QString::number(count));
  grid_->show();
  state_.prompts().setBusy(false);
}

void ExtractionWindow::writeCsvTo(const BytePieces& write) const {
  std::vector<ExtractionCondition> conditions;
  for (int k = 0; k < kAxisCount; ++k) {
    const QComboBox* box = boxes_[static_cast<std::size_t>(k)];
    if (box->currentIndex() > 0)
      conditions.push_back({captions_[static_cast<std::size_t>(k)]->text(), box->currentText()});
  }
  const QString period = CsvPeriodText(dates_->text(DatePart::Year, 0), dates_->text(DatePart::Month, 0),
                                       dates_->text(DatePart::Day, 0), dates_->text(DatePart::Year, 1),
                                       dates_->text(DatePart::Month, 1), dates_->text(DatePart::Day, 1));
  WriteExtractionCsv(period, conditions, grid_->grid(), write);
}

void ExtractionWindow::writeCsv() {
  WriteCsvFileInPieces(state_.prompts(), state_.paths, [this](const BytePieces& write) { writeCsvTo(write); });
}

void ExtractionWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  state_.prompts().setBusy(false);
}

void ExtractionWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) state_.prompts().setBusy(false);
}

}  // namespace orvanta
