#pragma once
// The drawing surface that every print and both graph pictures are drawn on.
//
// A surface has a user coordinate system set by its corners, a current
// position, a font size, a foreground colour, a line width and style, and a
// fill style with a fill colour. Drawing operations read that state; the
// state itself lives here, so every implementation (a printer or PDF page, a
// QImage picture, the recording surface of the tests) sees it the same way.
//
// Units need not be square. Positions map through the coordinate system, but
// texts are never stretched (a 9-point text is 9 points on paper) and a
// circle's radius counts horizontal units, so a circle stays round. Line
// widths count device dots (prints are drawn at 600 dots per inch).

#include <QColor>
#include <QImage>
#include <QString>

namespace orvanta {

// The sixteen colours that drawings name by number (0 black ... 15 white).
QColor PaletteColor(int number);

enum class LineStyle { Solid, Dotted };
enum class FillStyle { None, Solid };
enum class PageOrientation { Portrait, Landscape };

class Surface {
 public:
  virtual ~Surface() = default;

  // The coordinate system: the whole drawable area (the printable area of a
  // page, or the whole picture) maps onto left..right, top..bottom. x grows
  // to the right and y downwards when right > left and bottom > top.
  void SetScale(double left, double top, double right, double bottom);
  double ScaleLeft() const { return scaleLeft_; }
  double ScaleTop() const { return scaleTop_; }
  double ScaleWidth() const { return scaleRight_ - scaleLeft_; }
  double ScaleHeight() const { return scaleBottom_ - scaleTop_; }

  // The current position, in user units. Every text is placed by setting the
  // position first.
  void SetPosition(double x, double y) {
    currentX_ = x;
    currentY_ = y;
  }
  double CurrentX() const { return currentX_; }
  double CurrentY() const { return currentY_; }

  // Font size in points; the typeface is the surface's gothic face.
  void SetFontSize(double points) { fontSize_ = points; }
  double FontSize() const { return fontSize_; }

  void SetForeColor(const QColor& color) { foreColor_ = color; }
  void SetForeColor(int paletteNumber) { foreColor_ = PaletteColor(paletteNumber); }
  // Qt::black and friends are colours, not palette numbers.
  void SetForeColor(Qt::GlobalColor color) { foreColor_ = QColor(color); }
  QColor ForeColor() const { return foreColor_; }

  // Line width in device dots (never below 1).
  void SetLineWidth(int dots) { lineWidth_ = dots < 1 ? 1 : dots; }
  int LineWidth() const { return lineWidth_; }
  void SetLineStyle(LineStyle style) { lineStyle_ = style; }
  LineStyle CurrentLineStyle() const { return lineStyle_; }

  void SetFillStyle(FillStyle style) { fillStyle_ = style; }
  FillStyle CurrentFillStyle() const { return fillStyle_; }
  void SetFillColor(const QColor& color) { fillColor_ = color; }
  void SetFillColor(int paletteNumber) { fillColor_ = PaletteColor(paletteNumber); }
  void SetFillColor(Qt::GlobalColor color) { fillColor_ = QColor(color); }
  QColor FillColor() const { return fillColor_; }

  // Draws the text in the foreground colour with its top-left corner at the
  // current position.
  virtual void PrintText(const QString& text) = 0;
  // The width of the text in the current font size, in horizontal user
  // units, for fitting a text beside another. A surface over a device
  // measures it in its own face; this estimate counts a full-width
  // character as one em and any other as two thirds, on a drawable area
  // 200 mm wide.
  virtual double TextWidth(const QString& text) const;

  // A line from (x1, y1) to (x2, y2) in the foreground colour, or in the
  // colour given, with the current width and style.
  void DrawLine(double x1, double y1, double x2, double y2) { DrawLine(x1, y1, x2, y2, foreColor_); }
  virtual void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) = 0;
  // The outline of the box with corners (x1, y1) and (x2, y2).
  void DrawBox(double x1, double y1, double x2, double y2) { DrawBox(x1, y1, x2, y2, foreColor_); }
  virtual void DrawBox(double x1, double y1, double x2, double y2, const QColor& color) = 0;
  // The box with corners (x1, y1) and (x2, y2) filled with the colour.
  virtual void FillBox(double x1, double y1, double x2, double y2, const QColor& color) = 0;

  // A circle arc around (cx, cy) with the radius in horizontal units, from
  // startAngle to endAngle in radians counted counter-clockwise from
  // 3 o'clock, outlined in the colour. With radii the sector is closed and,
  // with a solid fill style, filled with the fill colour.
  virtual void DrawArc(double cx, double cy, double radius, const QColor& outline, double startAngle, double endAngle,
                       bool withRadii) = 0;

  // The SVG picture (a resource path or a file) scaled into the rectangle
  // with top-left corner (x, y), width and height in user units.
  virtual void DrawPicture(const QString& svgPath, double x, double y, double width, double height) = 0;

  // Picture surfaces: empties the drawing (white). Printers ignore it.
  virtual void Clear() {}
  // Picture surfaces: the drawing as an image. Printers give a null image.
  virtual QImage Image() const { return {}; }

  // Printers: the next page, and the end of the document (sends the pages).
  // Each answers false once the device has failed; a failed surface draws
  // nothing more.
  virtual bool NewPage() { return true; }
  virtual bool EndDocument() { return true; }
  virtual bool Failed() const { return false; }

  // Printers: the orientation of the pages that follow.
  virtual void SetOrientation(PageOrientation orientation) { orientation_ = orientation; }
  PageOrientation Orientation() const { return orientation_; }

 protected:
  double scaleLeft_ = 0;
  double scaleTop_ = 0;
  double scaleRight_ = 1;
  double scaleBottom_ = 1;
  double currentX_ = 0;
  double currentY_ = 0;
  double fontSize_ = 9;
  QColor foreColor_ = Qt::black;
  int lineWidth_ = 1;
  LineStyle lineStyle_ = LineStyle::Solid;
  FillStyle fillStyle_ = FillStyle::None;
  QColor fillColor_ = Qt::black;
  PageOrientation orientation_ = PageOrientation::Portrait;
};

}  // namespace orvanta
