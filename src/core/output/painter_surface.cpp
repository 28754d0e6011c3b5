#include "core/output/painter_surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QSvgRenderer>
#include <cmath>
#include <numbers>

namespace orvanta {
namespace {

constexpr double kPrintDotsPerInch = 600.0;
constexpr double kPictureDotsPerMeter = 96.0 / 0.0254;

QFont GothicFont(double points) {
  // The gothic face, as the windows use it.
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points > 0 ? points : 1.0);
  return font;
}

// A coordinate system without extent is taken as one unit wide (or high),
// so that nothing divides by zero.
double Extent(double from, double to) { return to != from ? to - from : 1.0; }

}  // namespace

PainterSurface::PainterSurface(QPagedPaintDevice* pages) : pages_(pages) {}

PainterSurface::PainterSurface(QSize pictureSize) {
  antialiased_ = true;
  Resize(pictureSize);
}

PainterSurface::~PainterSurface() {
  if (painter_.isActive()) painter_.end();
}

void PainterSurface::Resize(QSize pictureSize) {
  if (painter_.isActive()) painter_.end();
  image_ = std::make_unique<QImage>(pictureSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image_->setDotsPerMeterX(static_cast<int>(std::lround(kPictureDotsPerMeter)));
  image_->setDotsPerMeterY(static_cast<int>(std::lround(kPictureDotsPerMeter)));
  image_->fill(Qt::white);
}

bool PainterSurface::Begin() {
  if (painter_.isActive()) return true;
  if (failed_ || ended_) return false;
  QPaintDevice* device = pages_ ? static_cast<QPaintDevice*>(pages_) : image_.get();
  if (!device || !painter_.begin(device)) {
    failed_ = true;
    return false;
  }
  painter_.setRenderHint(QPainter::Antialiasing, antialiased_);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  // A new painter starts with the default font.
  painterPoints_ = -1;
  return true;
}

QPainter* PainterSurface::Ready() { return Begin() ? &painter_ : nullptr; }

QPointF PainterSurface::Map(double x, double y) const {
  const QPaintDevice* device = painter_.device();
  const double w = device ? device->width() : 1;
  const double h = device ? device->height() : 1;
  return {(x - scaleLeft_) * w / Extent(scaleLeft_, scaleRight_),
          (y - scaleTop_) * h / Extent(scaleTop_, scaleBottom_)};
}

double PainterSurface::MapWidth(double units) const {
  const QPaintDevice* device = painter_.device();
  const double w = device ? device->width() : 1;
  return units * w / Extent(scaleLeft_, scaleRight_);
}

QPen PainterSurface::Pen(const QColor& color) const {
  // A dot is one pixel of a picture, or 1/600 inch on paper.
  double dot = 1.0;
  if (pages_ && painter_.device()) dot = painter_.device()->logicalDpiX() / kPrintDotsPerInch;
  const double width = std::max(lineWidth_ * dot, 0.5);
  QPen pen(color, width);
  pen.setCosmetic(false);
  pen.setJoinStyle(Qt::MiterJoin);
  if (lineStyle_ == LineStyle::Solid) {
    // Square ends close the corners where lines of a frame meet.
    pen.setCapStyle(Qt::SquareCap);
    return pen;
  }
  pen.setCapStyle(Qt::FlatCap);
  if (pages_) {
    // On paper a dot is 6 printer dots long with 12 between (about 0.25 and
    // 0.5 mm), whatever the line's width, so that a thin dotted line reads as
    // dotted and not as a faint solid one.
    pen.setDashPattern({6 * dot / width, 12 * dot / width});
  } else {
    pen.setStyle(Qt::DotLine);
  }
  return pen;
}

void PainterSurface::PrintText(const QString& text) {
  QPainter* p = Ready();
  if (!p || text.isEmpty()) return;
  const QFont& font = Font(p->device());
  if (painterPoints_ != fontPoints_) {
    p->setFont(font);
    painterPoints_ = fontPoints_;
  }
  p->setPen(foreColor_);
  const QPointF at = Map(currentX_, currentY_);
  p->drawText(QPointF(at.x(), at.y() + fontAscent_), text);
}

const QFont& PainterSurface::Font(const QPaintDevice* device) const {
  if (fontPoints_ != fontSize_ || fontDevice_ != device) {
    fontPoints_ = fontSize_;
    fontDevice_ = device;
    font_ = GothicFont(fontSize_);
    fontAscent_ = QFontMetricsF(font_, device).ascent();
  }
  return font_;
}

QPaintDevice* PainterSurface::Device() const {
  return pages_ ? static_cast<QPaintDevice*>(pages_) : static_cast<QPaintDevice*>(image_.get());
}

double PainterSurface::TextWidth(const QString& text) const {
  const QPaintDevice* device = Device();
  if (!device || text.isEmpty()) return 0;
  const double dots = QFontMetricsF(Font(device), device).horizontalAdvance(text);
  const double width = device->width() > 0 ? device->width() : 1;
  return dots * Extent(scaleLeft_, scaleRight_) / width;
}

void PainterSurface::DrawLine(double x1, double y1, double x2, double y2, const QColor& color) {
  QPainter* p = Ready();
  if (!p) return;
  p->setPen(Pen(color));
  p->drawLine(Map(x1, y1), Map(x2, y2));
}

void PainterSurface::DrawBox(double x1, double y1, double x2, double y2, const QColor& color) {
  QPainter* p = Ready();
  if (!p) return;
  p->setPen(Pen(color));
  p->setBrush(Qt::NoBrush);
  p->drawRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized());
}

void PainterSurface::FillBox(double x1, double y1, double x2, double y2, const QColor& color) {
  QPainter* p = Ready();
  if (!p) return;
  p->fillRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized(), color);
}

void PainterSurface::DrawArc(double cx, double cy, double radius, const QColor& outline, double startAngle,
                             double endAngle, bool withRadii) {
  QPainter* p = Ready();
  if (!p) return;
  const QPaintDevice* device = p->device();
  const double rx = std::abs(MapWidth(radius));
  // Round on paper: the vertical radius follows the device's own dot ratio.
  const double ry = rx * device->logicalDpiY() / device->logicalDpiX();
  const QPointF centre = Map(cx, cy);
  const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
  const double toSixteenths = 180.0 / std::numbers::pi * 16.0;
  const int start = static_cast<int>(std::lround(startAngle * toSixteenths));
  const int span = static_cast<int>(std::lround((endAngle - startAngle) * toSixteenths));
  p->setPen(Pen(outline));
  if (withRadii) {
    p->setBrush(fillStyle_ == FillStyle::Solid ? QBrush(fillColor_) : QBrush(Qt::NoBrush));
    p->drawPie(box, start, span);
    p->setBrush(Qt::NoBrush);
  } else {
    p->drawArc(box, start, span);
  }
}

void PainterSurface::DrawPicture(const QString& svgPath, double x, double y, double width, double height) {
  QPainter* p = Ready();
  if (!p) return;
  QSvgRenderer renderer(svgPath);
  if (!renderer.isValid()) return;
  renderer.render(p, QRectF(Map(x, y), Map(x + width, y + height)).normalized());
  // The picture may leave its own font on the painter.
  painterPoints_ = -1;
}

void PainterSurface::Clear() {
  if (!image_) return;
  if (painter_.isActive()) painter_.end();
  image_->fill(Qt::white);
}

QImage PainterSurface::Image() const { return image_ ? image_->copy() : QImage(); }

bool PainterSurface::NewPage() {
  if (!pages_) return !failed_;
  if (!Begin()) return false;
  if (!pages_->newPage()) failed_ = true;
  return !failed_;
}

bool PainterSurface::EndDocument() {
  if (!pages_) return !failed_;
  // An empty document still gets its one page.
  if (!Begin()) return false;
  ended_ = true;
  if (!painter_.end()) failed_ = true;
  return !failed_;
}

void PainterSurface::SetOrientation(PageOrientation orientation) {
  Surface::SetOrientation(orientation);
  if (pages_ && !painter_.isActive())
    pages_->setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
}

}  // namespace orvanta
