#pragma once
// The body-site drawing of question 12: the front and back of a body and
// both hands, palm and back, as the program's own SVG picture
// (resources/body_sites.svg, compiled in), and where each numbered site
// stands on it. The report window shows it with a clickable number on every
// site, the blank report form prints it with the site numbers, and the main
// window keeps a small copy.

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace orvanta {

// The drawing's own size in pixels.
inline constexpr int kBodyDrawingWidth = 683;
inline constexpr int kBodyDrawingHeight = 392;

// The resource path of the drawing, ready to be opened (the resources of the
// core library are registered on the first call).
QString BodySiteDrawingPath();

// Where a site's number stands on the drawing: the centre of its label, in
// drawing pixels. (-1, -1) for a number without a site (29, or outside 1-65).
QPoint BodySiteSpot(int siteNumber);

// The drawing (on its white ground) rendered to an image of the given size,
// scaled to fill it. A null image for an empty size.
QImage RenderBodySiteDrawing(const QSize& size);

}  // namespace orvanta
