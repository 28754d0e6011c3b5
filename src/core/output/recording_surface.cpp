#include "core/output/recording_surface.h"

#include <QStringList>

namespace orvanta {

RecordingSurface::Entry RecordingSurface::Stamp(Op op) const {
  Entry e;
  e.op = op;
  e.page = page_;
  e.fontSize = fontSize_;
  e.color = foreColor_;
  e.lineWidth = lineWidth_;
  e.lineStyle = lineStyle_;
  e.fillStyle = fillStyle_;
  e.fillColor = fillColor_;
  e.orientation = orientation_;
  return e;
}

void RecordingSurface::PrintText(const QString& text) {
  Entry e = Stamp(Op::Text);
  e.x1 = currentX_;
  e.y1 = currentY_;
  e.text = text;
  entries_.push_back(e);
}

void RecordingSurface::DrawLine(double x1, double y1, double x2, double y2, const QColor& color) {
  Entry e = Stamp(Op::Line);
  e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
  e.color = color;
  entries_.push_back(e);
}

void RecordingSurface::DrawBox(double x1, double y1, double x2, double y2, const QColor& color) {
  Entry e = Stamp(Op::Box);
  e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
  e.color = color;
  entries_.push_back(e);
}

void RecordingSurface::FillBox(double x1, double y1, double x2, double y2, const QColor& color) {
  Entry e = Stamp(Op::FilledBox);
  e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
  e.color = color;
  entries_.push_back(e);
}

void RecordingSurface::DrawArc(double cx, double cy, double radius, const QColor& outline, double startAngle,
                               double endAngle, bool withRadii) {
  Entry e = Stamp(Op::Arc);
  e.x1 = cx, e.y1 = cy;
  e.radius = radius;
  e.color = outline;
  e.startAngle = startAngle;
  e.endAngle = endAngle;
  e.withRadii = withRadii;
  entries_.push_back(e);
}

void RecordingSurface::DrawPicture(const QString& svgPath, double x, double y, double width, double height) {
  Entry e = Stamp(Op::Picture);
  e.x1 = x, e.y1 = y, e.x2 = x + width, e.y2 = y + height;
  e.text = svgPath;
  entries_.push_back(e);
}

void RecordingSurface::Clear() { entries_.push_back(Stamp(Op::Clear)); }

bool RecordingSurface::NewPage() {
  ++page_;
  entries_.push_back(Stamp(Op::NewPage));
  return true;
}

bool RecordingSurface::EndDocument() {
  ended_ = true;
  entries_.push_back(Stamp(Op::EndDocument));
  return true;
}

void RecordingSurface::SetOrientation(PageOrientation orientation) {
  Surface::SetOrientation(orientation);
  entries_.push_back(Stamp(Op::Orientation));
}

std::vector<RecordingSurface::Entry> RecordingSurface::all(Op op, std::optional<int> page) const {
  std::vector<Entry> out;
  for (const Entry& e : entries_)
    if (e.op == op && (!page || e.page == *page)) out.push_back(e);
  return out;
}

QStringList RecordingSurface::texts(std::optional<int> page) const {
  QStringList out;
  for (const Entry& e : entries_)
    if (e.op == Op::Text && (!page || e.page == *page)) out << e.text;
  return out;
}

std::optional<RecordingSurface::Entry> RecordingSurface::findText(const QString& text, std::optional<int> page) const {
  for (const Entry& e : entries_)
    if (e.op == Op::Text && e.text == text && (!page || e.page == *page)) return e;
  return std::nullopt;
}

}  // namespace orvanta
