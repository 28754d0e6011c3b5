#include "gui/analysis/graph_window.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/app/app_state.h"
#include "core/output/graph_drawing.h"
#include "core/output/graph_print.h"
#include "core/output/painter_surface.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/filter_panel.h"
#include "gui/widgets/graph_area.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"

namespace orvanta {
namespace {

// Places and sizes, in twips. The client area below the menu bar is 15270 x
// 10485: the period frame at the top left and the matching count at the top
// right, the filter lists in three rows of six, six and five, then from left
// to right the item list, the graph area and the commands.
constexpr int kClientWidth = 15270;
constexpr int kClientHeight = 10485;
constexpr int kLeft = 120;
constexpr int kRight = kClientWidth - 120;

constexpr int kCaptionHeight = 240;
constexpr int kListHeight = 330;
constexpr int kListsTop = 750;  // the first row of captions
constexpr FilterPanelLayout kFilterLayout{
    .columnPitch = 2520,
    .listTops = {kCaptionHeight, kCaptionHeight + 600, kCaptionHeight + 1200},
    .captionHeight = kCaptionHeight,
    .listWidth = 2295,
    .listHeight = kListHeight,
    .captionAlignment = Qt::AlignLeft | Qt::AlignVCenter,
};

constexpr int kGraphTop = 2640;
constexpr int kItemListTop = kGraphTop + 240;
constexpr int kItemListWidth = 2355;
constexpr int kItemListHeight = 6000;
constexpr int kAreaLeft = 2595;
constexpr int kAreaWidth = 9705;
constexpr int kAreaHeight = 7215;
constexpr int kCommandsLeft = 12420;
constexpr int kCommandsWidth = kRight - kCommandsLeft;

}  // namespace

GraphWindow::GraphWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmTySu3"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("グラフ "));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  buildMenu();
  auto* content = new QWidget(this);
  content->setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  layout->addWidget(content);
  buildControls(content);

  figureSurface_ = std::make_unique<PainterSurface>(QSize(1, 1));
  textSurface_ = std::make_unique<PainterSurface>(QSize(1, 1));

  // Set-up as the summary view's: captions, lists at "全て", the default
  // period; then the list of items and the first graph.
  std::array<QString, kAxisCount> captions = SummaryCaptions();
  std::array<QStringList, kAxisCount> entries;
  for (int i = 0; i < kAxisCount; ++i)
    entries[static_cast<std::size_t>(i)] = SummaryListTexts(AxisAt(i), state_.lists, BodySiteNames());
  filters_->fill(captions, entries);
  periodFrame_->showPeriod(DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date()));
  rebuildItemList();

  connect(filters_, &FilterPanel::changed, this, [this] {
    if (!filters_->everyListHasPosition()) return;
    rebuildItemList();
    preHyouji();
  });
  connect(itemList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) computeAndDraw();
  });
  for (int i = 0; i < 3; ++i) {
    connect(kindButtons_[static_cast<std::size_t>(i)], &QRadioButton::clicked, this, [this, i] {
      kind_ = static_cast<GraphKind>(i);
      preHyouji();
    });
  }
  connect(periodFrame_, &PeriodFrame::recomputeClicked, this, &GraphWindow::preHyouji);
  connect(printButton_, &QPushButton::clicked, this, &GraphWindow::printGraph);
  connect(printAction_, &QAction::triggered, this, &GraphWindow::printGraph);
  for (int i = 0; i < 2; ++i) {
    connect(copyButtons_[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] { copyPicture(i); });
    connect(copyActions_[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { copyPicture(i); });
  }
  connect(closeAction_, &QAction::triggered, this, &GraphWindow::reject);

  preHyouji();
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::buildMenu() {
  auto* bar = Named(new QMenuBar(this), "MenuBar");
  QMenu* copy = Named(bar->addMenu(QStringLiteral("図のコピー")), "mnuCopy");
  copy->menuAction()->setObjectName(QStringLiteral("mnuCopy"));
  const std::array<QString, 2> copyTexts = {QStringLiteral("図だけ"), QStringLiteral("図と文字")};
  for (int i = 0; i < 2; ++i) {
    QAction* item = copy->addAction(copyTexts[static_cast<std::size_t>(i)]);
    item->setObjectName(ControlName("mnuCopyItem", i));
    copyActions_[static_cast<std::size_t>(i)] = item;
  }
  printAction_ = bar->addAction(QStringLiteral("印刷"));
  printAction_->setObjectName(QStringLiteral("mnuPri"));
  closeAction_ = bar->addAction(QStringLiteral("戻る"));
  closeAction_->setObjectName(QStringLiteral("mnuEnd"));
  layout()->setMenuBar(bar);
}

void GraphWindow::buildControls(QWidget* content) {
  periodFrame_ = new PeriodFrame(PeriodFrameLayout{}, content);
  periodFrame_->place(kLeft, 0);

  // "該当件数" n "件" at the top right.
  constexpr int kCountTop = 255;
  constexpr int kCountWidth = 1050;
  PlaceLabel(content, QStringLiteral("件"), kRight - 240, kCountTop, 240, 300);
  matchingCountLabel_ = Named(new QLabel(content), "Label7");
  matchingCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  matchingCountLabel_->setFrameShape(QFrame::Panel);
  matchingCountLabel_->setFrameShadow(QFrame::Sunken);
  PlaceTw(matchingCountLabel_, kRight - 240 - 60 - kCountWidth, kCountTop, kCountWidth, 300);
  PlaceLabel(content, QStringLiteral("該当件数"), kRight - 240 - 60 - kCountWidth - 840, kCountTop, 780, 300);

  filters_ = new FilterPanel(kFilterLayout, content);
  PlaceTw(filters_, kLeft, kListsTop);

  PlaceLabel(content, QStringLiteral("グラフ表示項目"), kLeft, kGraphTop, kItemListWidth, 240);
  itemList_ = Named(new QListWidget(content), "List1");
  itemList_->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTw(itemList_, kLeft, kItemListTop, kItemListWidth, kItemListHeight);

  graphArea_ = Named(new GraphArea(kAreaWidth, kAreaHeight, content), "Picture1");
  graphArea_->move(Twips(kAreaLeft), Twips(kGraphTop));

  // The kind of graph: the bar graph, drawn until another is chosen, is
  // marked from the start.
  auto* kinds = Named(new QGroupBox(QStringLiteral("グラフの種類"), content), "Frame2");
  PlaceTw(kinds, kCommandsLeft, kGraphTop - 60, kCommandsWidth, 1350);
  const std::array<QString, 3> kindTexts = {QStringLiteral("棒グラフ"), QStringLiteral("円グラフ"),
                                            QStringLiteral("折れ線グラフ")};
  for (int i = 0; i < 3; ++i) {
    auto* option = Named(new QRadioButton(kindTexts[static_cast<std::size_t>(i)], kinds), "Option1", i);
    PlaceTw(option, 240, 300 + 330 * i, kCommandsWidth - 360, 300);
    kindButtons_[static_cast<std::size_t>(i)] = option;
  }
  kindButtons_[0]->setChecked(true);

  printButton_ =
      Named(PlaceButton(content, QStringLiteral("グラフの印刷"), kCommandsLeft, kGraphTop + 1500, kCommandsWidth, 495),
            "Command1");

  auto* clipboard = Named(new QGroupBox(QStringLiteral("クリップボードに"), content), "Frame3");
  PlaceTw(clipboard, kCommandsLeft, kGraphTop + 2220, kCommandsWidth, 1905);
  PlaceLabel(clipboard, QStringLiteral("グラフのコピー"), 240, 285, kCommandsWidth - 360, 240);
  const std::array<QString, 2> copyTexts = {QStringLiteral("図だけ"), QStringLiteral("図と文字")};
  for (int i = 0; i < 2; ++i)
    copyButtons_[static_cast<std::size_t>(i)] = Named(
        PlaceButton(clipboard, copyTexts[static_cast<std::size_t>(i)], 240, 600 + 600 * i, kCommandsWidth - 480, 450),
        "Command2", i);
}

void GraphWindow::rebuildItemList() {
  const QSignalBlocker quiet(itemList_);
  itemList_->clear();
  int row = 0;
  for (int i = 0; i < kAxisCount; ++i) {
    if (filters_->list(i)->currentIndex() != 0) continue;
    itemList_->addItem(filters_->caption(i));
    itemOfRow_[static_cast<std::size_t>(row++)] = i;
  }
  itemList_->setCurrentRow(-1);
}

void GraphWindow::preHyouji() {
  if (itemList_->count() > 0 && itemList_->currentRow() < 0) {
    const QSignalBlocker quiet(itemList_);
    itemList_->setCurrentRow(0);
  }
  computeAndDraw();
}

void GraphWindow::computeAndDraw() {
  Prompts& prompts = state_.prompts();
  prompts.setBusy(true);
  result_ = ComputeSummary(state_.paths, state_.counters.NewestFileNo, state_.lists, periodFrame_->period(),
                           filters_->filter(), filters_->selectedTexts());
  matchingCountLabel_->setText(QString::number(result_.matching));

  const int row = itemList_->currentRow();
  drawnItem_.reset();
  if (row >= 0 && row < itemList_->count()) drawnItem_ = AxisAt(itemOfRow_[static_cast<std::size_t>(row)]);
  if (drawnItem_) {
    series_ = GraphSeriesOf(result_, *drawnItem_, state_.lists, BodySiteNames());
    const QSize size(Twips(kGraphPictureWidthTwips), Twips(GraphPictureHeightTwips(kind_, series_)));
    figureSurface_->Resize(size);
    textSurface_->Resize(size);
    DrawGraph(kind_, series_, *figureSurface_, *textSurface_);
  } else {
    // Every list restricts the reports: no item to draw.
    series_ = GraphSeries{};
    figureSurface_->Resize(QSize(1, 1));
    textSurface_->Resize(QSize(1, 1));
  }
  showPictures();
  prompts.setBusy(false);
  unreadableNotice_.tell(prompts, state_.paths, result_.unreadableFiles, result_.cutShortFiles);
}

void GraphWindow::showPictures() {
  if (!drawnItem_) {
    graphArea_->clearPictures();
    shownGraph_.reset();
    return;
  }
  // Another item or kind starts at the top; the same one drawn again keeps
  // the part the user scrolled to.
  const std::pair<AnalysisAxis, GraphKind> shown{*drawnItem_, kind_};
  if (shownGraph_ != shown) graphArea_->scrollBar()->setValue(0);
  shownGraph_ = shown;
  graphArea_->setPictures(figureSurface_->Image(), textSurface_->Image(), GraphScrollMaximum(kind_, series_));
}

QImage GraphWindow::picture(int index) const {
  if (!drawnItem_) return {};
  return index == 0 ? figureSurface_->Image() : textSurface_->Image();
}

void GraphWindow::printGraph() {
  if (!drawnItem_) return;
  PrintGraph(state_.prompts(), kind_, series_, result_);
}

void GraphWindow::copyPicture(int index) {
  if (!drawnItem_) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(picture(index));
}

void GraphWindow::reject() {
  state_.prompts().setBusy(false);
  QDialog::reject();
}

}  // namespace orvanta
