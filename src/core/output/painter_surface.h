#pragma once
// The surface drawn with QPainter: on a QImage for the on-screen graphs and
// the clipboard, on a printer or PDF file (any QPagedPaintDevice) for prints.
//
// The user coordinate system maps onto the whole device (the printable area
// of a page, or the whole image). Fonts keep their point size whatever the
// scale, a circle's radius counts horizontal units and the circle stays
// round, and line widths count dots: on a paged device a dot is 1/600 inch
// (prints are drawn at 600 dots per inch), on an image a pixel.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/output/surface.h"

class QPagedPaintDevice;

namespace orvanta {

class PainterSurface final : public Surface {
 public:
  // Draws on pages of the device, which the surface does not own. Nothing is
  // drawn until the first operation; a device that cannot be opened makes
  // the surface Failed().
  explicit PainterSurface(QPagedPaintDevice* pages);
  // Draws on a white picture of the size in pixels (96 dots per inch).
  explicit PainterSurface(QSize pictureSize);
  ~PainterSurface() override;

  // Starts drawing on the device now rather than at the first operation.
  // False when the device cannot be opened (the surface is then Failed()).
  bool Begin();

  void PrintText(const QString& text) override;
  // Measured in the gothic face on the device.
  double TextWidth(const QString& text) const override;
  using Surface::DrawBox;
  using Surface::DrawLine;
  void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) override;
  void DrawBox(double x1, double y1, double x2, double y2, const QColor& color) override;
  void FillBox(double x1, double y1, double x2, double y2, const QColor& color) override;
  void DrawArc(double cx, double cy, double radius, const QColor& outline, double startAngle, double endAngle,
               bool withRadii) override;
  void DrawPicture(const QString& svgPath, double x, double y, double width, double height) override;
  void Clear() override;
  QImage Image() const override;
  bool NewPage() override;
  bool EndDocument() override;
  bool Failed() const override { return failed_; }
  void SetOrientation(PageOrientation orientation) override;

  // Picture surfaces: a new size (the drawing is cleared).
  void Resize(QSize pictureSize);
  // Antialiased lines, edges and text (on for pictures, off for prints).
  void SetAntialiased(bool on) { antialiased_ = on; }

 private:
  QPointF Map(double x, double y) const;
  double MapWidth(double units) const;
  QPen Pen(const QColor& color) const;
  QPainter* Ready();
  QPaintDevice* Device() const;
  // The font of the current size on the device (made again when the size or
  // the device changes).
  const QFont& Font(const QPaintDevice* device) const;

  QPagedPaintDevice* pages_ = nullptr;
  std::unique_ptr<QImage> image_;
  QPainter painter_;
  bool failed_ = false;
  bool ended_ = false;
  bool antialiased_ = false;
  // The font of the current size and its ascent on the device, kept until
  // the size changes, and the size of the font the painter holds.
  mutable double fontPoints_ = -1;
  double painterPoints_ = -1;
  mutable const QPaintDevice* fontDevice_ = nullptr;
  mutable QFont font_;
  mutable double fontAscent_ = 0;
};

}  // namespace orvanta
