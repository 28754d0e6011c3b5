#include "gui/reports/body_site_widget.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "core/reports/body_site_drawing.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

// The check-box columns at the right of the drawing.
constexpr int kBoxLeft = kBodyDrawingWidth + 14;  // left edge of the leftmost column
constexpr int kBoxColumnPitch = 44;
constexpr int kBoxRowPitch = 23;
constexpr int kBoxTop = 2;
constexpr int kBoxColumns = 4;

const QColor kMarkedColour(255, 0, 0);
const QColor kUnmarkedColour(0, 0, 0);

}  // namespace

BodySiteDrawing::BodySiteDrawing(QWidget* parent) : QWidget(parent) {
  setFixedSize(kBodyDrawingWidth, kBodyDrawingHeight);
}

void BodySiteDrawing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  static QSvgRenderer renderer(BodySiteDrawingPath());
  renderer.render(&painter, QRectF(rect()));
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
    box->setGeometry(kBoxLeft + (kBoxColumns - 1 - place.column) * kBoxColumnPitch, kBoxTop + place.row * kBoxRowPitch,
                     kBoxColumnPitch - 4, kBoxRowPitch - 3);
    connect(box, &QCheckBox::toggled, this, [this, i](bool checked) { onBoxToggled(i, checked); });
    boxes_[i] = box;

    auto* label = Named(new BodySiteNumberLabel(number, this), "lblBui", i);
    label->setFont(numberFont);
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(names[i]);
    label->setCursor(Qt::PointingHandCursor);
    const QSize size(metrics.horizontalAdvance(number) + 4, metrics.height());
    const QPoint spot = BodySiteSpot(n);
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
