#include "gui/reports/body_site_widget.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "gui/widgets/layout_helpers.h"
#include "core/reports/body_sites.h"

static void InitOrvantaResources() { Q_INIT_RESOURCE(orvanta); }

namespace orvanta {
namespace {

// Label centres on the drawing, index = site number - 1. The front figure
// stands on the left (the figure's right side on the viewer's left), the back
// figure beside it (the figure's left side on the viewer's left); the right
// hand is the upper row (back of the hand with the thumb on the left, then
// the palm), the left hand the lower row (palm, then back of the hand).
constexpr QPoint kSpots[kSiteCount] = {
    // 1-7: right hand, back: thumb, index, middle, ring and little finger,
    // back of the hand left and right
    {421, 100}, {438, 52}, {458, 43}, {477, 51}, {496, 63}, {462, 128}, {488, 128},
    // 8-14: right hand, palm: palm left, little, ring, middle and index
    // finger, palm right, thumb
    {571, 128}, {563, 63}, {581, 51}, {601, 43}, {620, 52}, {597, 128}, {638, 100},
    // 15-21: left hand, palm: thumb, palm left, index, middle, ring and little
    // finger, palm right
    {421, 296}, {462, 324}, {438, 248}, {458, 239}, {477, 247}, {496, 259}, {488, 324},
    // 22-28: left hand, back: back left, little, ring, middle and index
    // finger, back right, thumb
    {571, 324}, {563, 259}, {581, 247}, {601, 239}, {620, 248}, {597, 324}, {638, 296},
    // 29: no site
    {-1, -1},
    // 30-38: front, right side: waist, forearm, upper arm, face, chest, groin,
    // thigh, lower leg, instep
    {72, 165}, {33, 187}, {43, 130}, {77, 50}, {71, 113}, {71, 212}, {69, 259}, {70, 333}, {68, 376},
    // 39-47: front, left side: face, chest, groin, thigh, lower leg, instep,
    // upper arm, forearm, waist
    {95, 50}, {101, 113}, {101, 212}, {103, 259}, {102, 333}, {104, 376}, {130, 130}, {139, 187}, {100, 165},
    // 48-56: back, left side: waist, forearm, upper arm, back of the head,
    // back, buttock, thigh, lower leg, sole
    {244, 167}, {205, 187}, {215, 130}, {249, 47}, {242, 123}, {243, 208}, {241, 263}, {242, 333}, {243, 377},
    // 57-65: back, right side: back of the head, back, buttock, thigh, lower
    // leg, sole, upper arm, forearm, waist
    {267, 47}, {274, 123}, {273, 208}, {275, 263}, {274, 333}, {273, 377}, {302, 130}, {311, 187}, {272, 167},
};

// The check-box columns at the right of the drawing.
constexpr int kBoxLeft = kBodyDrawingWidth + 14;  // left edge of the leftmost column
constexpr int kBoxColumnPitch = 44;
constexpr int kBoxRowPitch = 23;
constexpr int kBoxTop = 2;
constexpr int kBoxColumns = 4;

const QColor kMarkedColour(255, 0, 0);
const QColor kUnmarkedColour(0, 0, 0);

QSvgRenderer& DrawingRenderer() {
  static QSvgRenderer* renderer = [] {
    InitOrvantaResources();
    return new QSvgRenderer(QStringLiteral(":/body_sites.svg"));
  }();
  return *renderer;
}

}  // namespace

QPoint BodySiteSpot(int siteNumber) {
  if (!IsDrawnSite(siteNumber)) return {-1, -1};
  return kSpots[siteNumber - 1];
}

QImage RenderBodySiteDrawing(const QSize& size) {
  if (size.isEmpty()) return {};
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawingRenderer().render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

BodySiteDrawing::BodySiteDrawing(QWidget* parent) : QWidget(parent) {
  setFixedSize(kBodyDrawingWidth, kBodyDrawingHeight);
}

void BodySiteDrawing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawingRenderer().render(&painter, QRectF(rect()));
}

void BodySiteNumberLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void BodySiteNumberLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit clicked();
}

BodySitePage::BodySitePage(const std::array<QString, 81>& names, QWidget* parent) : QWidget(parent) {
  auto* drawing = Named(new BodySiteDrawing(this), "Image1");
  drawing->move(0, 0);

  QFont numberFont = font();
  numberFont.setBold(true);
  numberFont.setPixelSize(11);
  const QFontMetrics metrics(numberFont);

  for (int n = 1; n <= kSiteCount; ++n) {
    if (!IsDrawnSite(n)) continue;
    const int i = n - 1;
    const QString number = QString::number(n);

    auto* box = Named(new QCheckBox(number, this), "CHKbui", i);
    const SiteCheckBoxPlace place = CheckBoxPlaceOf(n);
    box->setGeometry(kBoxLeft + (kBoxColumns - 1 - place.column) * kBoxColumnPitch,
                     kBoxTop + place.row * kBoxRowPitch, kBoxColumnPitch - 4, kBoxRowPitch - 3);
    connect(box, &QCheckBox::toggled, this, [this, i](bool checked) { onBoxToggled(i, checked); });
    boxes_[i] = box;

    auto* label = Named(new BodySiteNumberLabel(number, this), "lblBui", i);
    label->setFont(numberFont);
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(names[i]);
    label->setCursor(Qt::PointingHandCursor);
    const QSize size(metrics.horizontalAdvance(number) + 4, metrics.height());
    const QPoint spot = kSpots[i];
    label->setGeometry(spot.x() - size.width() / 2, spot.y() - size.height() / 2, size.width(), size.height());
    label->raise();
    connect(label, &BodySiteNumberLabel::clicked, this, [this, i] { onLabelClicked(i); });
    labels_[i] = label;
    colourLabel(i, false);
  }

  setFixedSize(kBoxLeft + kBoxColumns * kBoxColumnPitch, kBodyDrawingHeight);
}

void BodySitePage::showMarks(const std::array<std::int16_t, 81>& sites) {
  filling_ = true;
  for (int i = 0; i < kSiteCount; ++i) {
    if (!boxes_[i]) continue;
    const bool marked = sites[i] != 0;
    boxes_[i]->setChecked(marked);
    colourLabel(i, marked);
  }
  filling_ = false;
}

void BodySitePage::clearMarks() { showMarks({}); }

void BodySitePage::onLabelClicked(int index) {
  // The check box's own change stores the mark and recolours the label.
  boxes_[index]->setChecked(!boxes_[index]->isChecked());
}

void BodySitePage::onBoxToggled(int index, bool checked) {
  // The label follows its box whichever way the box was changed, so a site
  // marked with its check box reads red on the drawing too.
  colourLabel(index, checked);
  if (!filling_) emit siteToggled(index, checked ? 1 : 0);
}

void BodySitePage::colourLabel(int index, bool marked) {
  QPalette palette = labels_[index]->palette();
  palette.setColor(QPalette::WindowText, marked ? kMarkedColour : kUnmarkedColour);
  labels_[index]->setPalette(palette);
}

}  // namespace orvanta
