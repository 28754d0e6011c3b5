#include "gui/analysis/extraction_window.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "core/analysis/extraction.h"
#include "core/app/app_state.h"
#include "core/output/csv_file.h"
#include "core/output/extraction_csv.h"
#include "core/output/table_print.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/filter_panel.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"
#include "gui/widgets/result_grid_widget.h"

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
constexpr int kButtonTop = 8310;
constexpr int kButtonHeight = 495;

// The boxes' rows relative to the panel, which starts at the first caption.
const FilterPanelLayout kFilterLayout{
    .columnPitch = kBoxLefts[1] - kBoxLefts[0],
    .listTops = {kCaptionHeight, kCaptionHeight + kBoxTops[1] - kBoxTops[0],
                 kCaptionHeight + kBoxTops[2] - kBoxTops[0]},
    .captionHeight = kCaptionHeight,
    .listWidth = kBoxWidth,
    .listHeight = kBoxHeight,
    .captionAlignment = Qt::AlignLeft | Qt::AlignVCenter,
};

const PeriodFrameLayout kPeriodLayout{
    .buttonText = QStringLiteral("再表示"),
    .inset = 150,
    .dateTop = 330,
    .dateGap = 120,
    .buttonGap = 180,
    .buttonTop = 270,
    .buttonWidth = 1095,
    .buttonHeight = 405,
    .rightMargin = 150,
    .frameHeight = 810,
    .note = PeriodFrameLayout::Note::Below,
    .noteGap = 75,
};

}  // namespace

ExtractionWindow::ExtractionWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmTySu"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("データ抽出"));
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  PlaceLabel(this, QStringLiteral("各リストから項目を選択すると、該当する報告書だけが表示されます。"), 360, 30);

  // The seventeen selection boxes with their captions: six, six and five.
  filters_ = new FilterPanel(kFilterLayout, this);
  PlaceTw(filters_, kBoxLefts[0], kBoxTops[0] - kCaptionHeight);
  filters_->fillWithItems(state_.lists);

  listingGrid_ = Named(new ResultGrid(this), "Grid1");
  PlaceTw(listingGrid_, kGridLeft, kGridTop, kGridWidth, kGridHeight);

  // "合計" n "件" under the grid's right end.
  PlaceLabel(this, QStringLiteral("合計"), 12840, kCountTop + 15);
  matchingCountLabel_ = Named(new QLabel(QStringLiteral("0"), this), "Label7");
  matchingCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PlaceTw(matchingCountLabel_, 13230, kCountTop, 810, 300);
  PlaceLabel(this, QStringLiteral("件"), 14130, kCountTop + 15);

  // The period, with "再表示".
  periodFrame_ = new PeriodFrame(kPeriodLayout, this);
  periodFrame_->place(kGridLeft, kFrameTop);

  csvButton_ =
      Named(PlaceButton(this, QStringLiteral("CSVファイル変換"), 9570, kButtonTop, 1935, kButtonHeight), "Command1");
  printButton_ = Named(PlaceButton(this, QStringLiteral("印刷"), 11625, kButtonTop, 1455, kButtonHeight), "Command5");
  closeButton_ = Named(PlaceButton(this, QStringLiteral("戻る"), 13200, kButtonTop, 1455, kButtonHeight), "Command3");

  // The default period, written before anything listens.
  periodFrame_->showPeriod(DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date()));

  connect(filters_, &FilterPanel::changed, this, &ExtractionWindow::preHyouji);
  connect(periodFrame_, &PeriodFrame::recomputeClicked, this, &ExtractionWindow::preHyouji);
  connect(csvButton_, &QPushButton::clicked, this, &ExtractionWindow::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &ExtractionWindow::printListing);
  connect(closeButton_, &QPushButton::clicked, this, &ExtractionWindow::reject);

  hyouji();
  preHyouji();
}

AxisFilter ExtractionWindow::filter() const { return filters_->filter(); }

AnalysisPeriod ExtractionWindow::period() const { return periodFrame_->period(); }

void ExtractionWindow::hyouji() { PrepareExtractionGrid(listingGrid_->grid()); }

// Lists again from scratch with the boxes and the period as they are now. The
// grid is hidden meanwhile, so it is laid out once, at the end.
void ExtractionWindow::preHyouji() {
  state_.prompts().setBusy(true);
  listingGrid_->hide();
  listingGrid_->grid().setRows(1);
  ExtractionListing listing =
      ComputeExtraction(state_.paths, state_.counters.NewestFileNo, state_.lists, period(), filter());
  const std::int64_t count = listing.count;
  const std::vector<int> unreadable = listing.unreadableFiles;
  const std::vector<CutShortFile> cutShort = listing.cutShortFiles;
  ShowExtraction(listingGrid_->grid(), std::move(listing));
  matchingCountLabel_->setText(QString::number(count));
  listingGrid_->show();
  state_.prompts().setBusy(false);
  unreadableNotice_.tell(state_.prompts(), state_.paths, unreadable, cutShort);
}

std::vector<ExtractionCondition> ExtractionWindow::conditions() const {
  std::vector<ExtractionCondition> out;
  for (int k = 0; k < kAxisCount; ++k) {
    const QComboBox* box = filters_->list(k);
    if (box->currentIndex() > 0) out.push_back({filters_->caption(k), box->currentText()});
  }
  return out;
}

void ExtractionWindow::writeCsvTo(const BytePieces& write) const {
  WriteExtractionCsv(periodFrame_->csvPeriodText(), conditions(), listingGrid_->grid(), write);
}

void ExtractionWindow::writeCsv() {
  // A block of rows at a time into the file, so that a long listing is never
  // held a second time as text.
  WriteCsvFileInPieces(state_.prompts(), state_.paths, QStringLiteral("データ抽出.csv"),
                       [this](const BytePieces& write) { writeCsvTo(write); });
}

void ExtractionWindow::printListing() {
  ExtractionPrint print;
  print.period = periodFrame_->csvPeriodText();
  print.conditions = conditions();
  print.grid = &listingGrid_->grid();
  // The grid is hidden while the pages are drawn.
  PrintExtractionListing(state_.prompts(), print,
                         WhileDrawing{[this] { listingGrid_->hide(); }, [this] { listingGrid_->show(); }});
}

}  // namespace orvanta
