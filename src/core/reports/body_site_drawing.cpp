#include "core/reports/body_site_drawing.h"

#include <QPainter>
#include <QSvgRenderer>

#include "core/reports/body_sites.h"

// The resources compiled into the core library (resources/orvanta.qrc).
static void InitOrvantaResources() { Q_INIT_RESOURCE(orvanta); }

namespace orvanta {
namespace {

// Label centres on the drawing, index = site number - 1. The front figure
// stands on the left (the figure's right side on the viewer's left), the back
// figure beside it (the figure's left side on the viewer's left); the right
// hand is the upper row (back of the hand with the thumb on the left, then
// the palm), the left hand the lower row (palm, then back of the hand).
// clang-format off
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
// clang-format on

QSvgRenderer& DrawingRenderer() {
  static QSvgRenderer* renderer = new QSvgRenderer(BodySiteDrawingPath());
  return *renderer;
}

}  // namespace

QString BodySiteDrawingPath() {
  static const bool registered = [] {
    InitOrvantaResources();
    return true;
  }();
  (void)registered;
  return QStringLiteral(":/body_sites.svg");
}

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

}  // namespace orvanta
