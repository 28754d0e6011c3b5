#include "gui/analysis/item_graph_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/app/app_state.h"
#include "core/output/item_graph_csv.h"
#include "core/output/item_graph_picture.h"
#include "core/output/item_graph_print.h"
#include "core/output/painter_surface.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/every_choice.h"
#include "gui/widgets/filter_panel.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"

namespace orvanta {
namespace {

// Places and sizes, in twips. The client area is 14670 x 10470: the graph
// item and the period on top, the picture under them, the filter lists in a
// column down the right edge, the buttons at the bottom right.
constexpr int kClientWidth = 14670;
constexpr int kClientHeight = 10470;
constexpr int kLeft = 120;

constexpr int kItemCaptionTop = 90;
constexpr int kItemListTop = 330;
constexpr int kItemListWidth = 2895;
constexpr int kListHeight = 300;
constexpr int kCaptionHeight = 195;  // one line of 9-point text

constexpr int kPeriodLeft = 3255;
constexpr int kPeriodHeight = 690;

constexpr int kViewportTop = 780;
constexpr int kViewportWidth = 11955;
constexpr int kViewportHeight = 9165;
constexpr int kScrollBarWidth = 255;

constexpr int kFilterFrameLeft = kLeft + kViewportWidth + 120;
constexpr int kFilterFrameWidth = kClientWidth - kFilterFrameLeft - 60;
constexpr int kFilterFrameHeight = kViewportTop + kViewportHeight;
constexpr int kFilterInset = 120;
constexpr int kFirstFilterTop = 225;  // the first caption, inside the frame
constexpr int kFilterPitch = 525;     // caption and list, and a gap
static_assert(kFirstFilterTop + kAxisCount * kFilterPitch <= kFilterFrameHeight, "the lists fit their frame");

constexpr int kButtonsTop = kViewportTop + kViewportHeight + 105;
constexpr int kButtonHeight = 375;
static_assert(kButtonsTop + kButtonHeight <= kClientHeight, "the buttons fit the client area");

const QString kSameItem = QStringLiteral("グラフ表示項目と同じ項目は抽出できません");

}  // namespace

ItemGraphWindow::ItemGraphWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmPost"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("売上状況"));
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  buildTopRow();
  buildPeriodFrame();
  buildFilterLists();
  buildPicture();
  buildButtons();

  // Set-up: the graph items, the default period, the lists with "全て"
  // first; then the first graph item, which computes once.
  loading_ = true;
  {
    const QSignalBlocker quiet(graphItemList_);
    graphItemList_->addItems(AxisCaptions(CaptionDot::HalfWidth));
    graphItemList_->setCurrentIndex(-1);
  }
  period_->showPeriod(DefaultPeriod(state_.startup.StartDate(), state_.clock().now().date()));
  filters_->fillWithItems(state_.lists);
  loading_ = false;
  graphItemList_->setCurrentIndex(0);
}

ItemGraphWindow::~ItemGraphWindow() = default;

void ItemGraphWindow::buildTopRow() {
  auto* caption = Named(new QLabel(QStringLiteral("グラフ項目"), this), "Label1");
  caption->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  PlaceTw(caption, kLeft, kItemCaptionTop, kItemListWidth, kCaptionHeight + 45);
  graphItemList_ = Named(new QComboBox(this), "Combo2");
  graphItemList_->setEditable(false);
  graphItemList_->setMaxVisibleItems(kAxisCount);
  PlaceTw(graphItemList_, kLeft, kItemListTop, kItemListWidth, kListHeight);
  // Every choice counts, also of the item already shown: it resets the lists.
  connect(new EveryChoice(graphItemList_), &EveryChoice::chosen, this, [this] { onGraphItemChosen(); });
}

void ItemGraphWindow::buildPeriodFrame() {
  PeriodFrameLayout layout;
  layout.note = PeriodFrameLayout::Note::None;
  layout.frameHeight = kPeriodHeight;
  period_ = new PeriodFrame(layout, this);
  period_->place(kPeriodLeft, 0);
  connect(period_, &PeriodFrame::recomputeClicked, this, &ItemGraphWindow::recompute);
}

void ItemGraphWindow::buildFilterLists() {
  auto* frame = Named(new QGroupBox(QStringLiteral("抽出条件"), this), "Frame2");
  PlaceTw(frame, kFilterFrameLeft, 0, kFilterFrameWidth, kFilterFrameHeight);
  FilterPanelLayout layout;
  layout.oneColumn = true;
  layout.listTops = {kFirstFilterTop + kCaptionHeight, 0, 0};
  layout.columnRowPitch = kFilterPitch;
  layout.captionHeight = kCaptionHeight;
  layout.listWidth = kFilterFrameWidth - 2 * kFilterInset;
  layout.listHeight = kListHeight;
  filters_ = new FilterPanel(layout, frame);
  PlaceTw(filters_, kFilterInset, 0, filters_->widthTwips(), filters_->heightTwips());
  connect(filters_, &FilterPanel::changed, this, &ItemGraphWindow::onFilterChosen);
}

void ItemGraphWindow::buildPicture() {
  // The viewport with a sunken edge; the picture moves inside its clip
  // area, the scroll bar stands at its right edge.
  auto* frame = Named(new QFrame(this), "Picture1", 1);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setLineWidth(1);
  PlaceTw(frame, kLeft, kViewportTop, kViewportWidth, kViewportHeight);
  viewport_ = frame;
  const QRect inside = frame->contentsRect();
  const int scrollWidth = Twips(kScrollBarWidth);

  auto* clip = new QWidget(frame);
  clip->setGeometry(inside.x(), inside.y(), inside.width() - scrollWidth, inside.height());
  clip->setAutoFillBackground(true);
  QPalette white = clip->palette();
  white.setColor(QPalette::Window, Qt::white);
  clip->setPalette(white);
  clip->installEventFilter(this);

  pictureLabel_ = Named(new QLabel(clip), "Picture1", 0);
  pictureLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pictureLabel_->move(0, 0);
  pictureLabel_->installEventFilter(this);

  scrollBar_ = Named(new QScrollBar(Qt::Vertical, frame), "VScroll1");
  scrollBar_->setGeometry(inside.right() + 1 - scrollWidth, inside.y(), scrollWidth, inside.height());
  scrollBar_->setRange(0, 0);
  scrollBar_->setSingleStep(1);
  // A page is what the viewport shows, in steps of 100 twips.
  scrollBar_->setPageStep(kViewportHeight / 100);
  connect(scrollBar_, &QScrollBar::valueChanged, this, &ItemGraphWindow::scrollPicture);

  surface_ = std::make_unique<PainterSurface>(QSize(clip->width(), Twips(ItemGraphPictureSizeFor(0).heightTwips)));
  // Sharp lines and bar edges; the text stays smoothed.
  surface_->SetAntialiased(false);
}

void ItemGraphWindow::buildButtons() {
  const auto button = [this](const char* name, const QString& text, int left, int width) {
    return Named(PlaceButton(this, text, left, kButtonsTop, width, kButtonHeight), name);
  };
  const int right = kFilterFrameLeft + kFilterFrameWidth;
  closeButton_ = button("Command1", QStringLiteral("戻る"), right - 1215, 1215);
  printButton_ = button("Command2", QStringLiteral("印刷"), right - 2 * 1215 - 120, 1215);
  csvButton_ = button("Command3", QStringLiteral("CSVファイル変換"), right - 2 * 1215 - 240 - 1815, 1815);
  connect(closeButton_, &QPushButton::clicked, this, &ItemGraphWindow::reject);
  connect(csvButton_, &QPushButton::clicked, this, &ItemGraphWindow::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &ItemGraphWindow::print);
}

AnalysisAxis ItemGraphWindow::graphItem() const {
  return AxisAt(std::clamp(graphItemList_->currentIndex(), 0, kAxisCount - 1));
}

void ItemGraphWindow::onGraphItemChosen() {
  if (graphItemList_->currentIndex() < 0) return;
  // Quietly: no message and no computation per list.
  for (int k = 0; k < kAxisCount; ++k) {
    QComboBox* box = filters_->list(k);
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(0);
  }
  if (!loading_) recompute();
}

void ItemGraphWindow::onFilterChosen(int item) {
  if (loading_) return;
  if (item == AxisNumber(graphItem())) {
    // The graph item's own list stays at 全て: the refused entry is taken
    // back before the message, so that the activation that follows a user's
    // choice (after the message's own event loop) finds nothing to refuse.
    QComboBox* box = filters_->list(item);
    if (box->currentIndex() <= 0) return;
    {
      const QSignalBlocker quiet(box);
      box->setCurrentIndex(0);
    }
    state_.prompts().message(kSameItem);
    return;
  }
  recompute();
}

void ItemGraphWindow::recompute() {
  Prompts& prompts = state_.prompts();
  prompts.setBusy(true);
  result_ = ComputeItemGraph(state_.paths, state_.counters.NewestFileNo, state_.lists, BodySiteNames(), graphItem(),
                             period_->period(), filters_->filter());
  drawPicture();
  prompts.setBusy(false);
  unreadableNotice_.tell(prompts, state_.paths, result_.unreadableFiles, result_.cutShortFiles);
}

void ItemGraphWindow::drawPicture() {
  const ItemGraphPictureSize size = ItemGraphPictureSizeFor(result_.categoryCount());
  const QSize pixels(pictureLabel_->parentWidget()->width(), Twips(size.heightTwips));
  surface_->Resize(pixels);
  DrawItemGraphPicture(*surface_, result_);
  pictureLabel_->setPixmap(QPixmap::fromImage(surface_->Image()));
  pictureLabel_->resize(pixels);
  {
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, size.scrollMaximum);
    scrollBar_->setValue(0);
  }
  scrollBar_->setEnabled(size.scrollMaximum > 0);
  scrollPicture(0);
}

void ItemGraphWindow::scrollPicture(int value) {
  // Every step moves the picture up by 100 twips.
  pictureLabel_->move(0, -static_cast<int>(std::lround(100.0 * value / 15.0)));
}

QImage ItemGraphWindow::picture() const { return surface_->Image(); }

ItemGraphHeading ItemGraphWindow::heading() const {
  ItemGraphHeading h;
  h.itemCaption = graphItemList_->currentText();
  h.period = period_->period();
  for (int k = 0; k < kAxisCount; ++k) {
    const QComboBox* box = filters_->list(k);
    if (box->currentIndex() > 0) h.conditions.emplace_back(filters_->caption(k), box->currentText());
  }
  return h;
}

void ItemGraphWindow::writeCsv() { WriteItemGraphCsv(state_.prompts(), state_.paths, result_, heading()); }

void ItemGraphWindow::print() { PrintItemGraph(state_.prompts(), result_, heading()); }

bool ItemGraphWindow::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over the picture scrolls it.
  if (event->type() == QEvent::Wheel && scrollBar_->isEnabled()) {
    QApplication::sendEvent(scrollBar_, event);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace orvanta
