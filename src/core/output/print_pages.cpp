#include "core/output/print_pages.h"

#include <algorithm>

#include "core/output/print_job.h"
#include "core/output/surface.h"

namespace orvanta {

using namespace print_pages;

QStringList WrapToWidth(const Surface& s, const QString& text, double width) {
  QStringList lines;
  QString line;
  for (const QChar ch : text) {
    if (!line.isEmpty() && s.TextWidth(line + ch) > width) {
      lines << line;
      line.clear();
    }
    line += ch;
  }
  if (!line.isEmpty() || lines.isEmpty()) lines << line;
  return lines;
}

void PrintPages::begin(const std::function<void()>& continued) {
  s_.SetScale(0, 0, width_, height_);
  s_.SetForeColor(Qt::black);
  s_.SetLineStyle(LineStyle::Solid);
  s_.SetLineWidth(2);
  s_.SetFontSize(kTextPoints);
  continued_ = continued;
  y = 0;
}

bool PrintPages::room(double h) {
  if (y + h <= height_ - kFooterRoom) return true;
  if (!finishPage()) return false;
  s_.NewPage();
  y = 0;
  if (continued_) continued_();
  return true;
}

bool PrintPages::finishPage() {
  ++pages_;
  s_.SetFontSize(kTextPoints);
  s_.SetForeColor(Qt::black);
  const QString number = QStringLiteral("- %1 -").arg(pages_);
  text((width_ - s_.TextWidth(number)) / 2, height_ - kLine, number);
  return PageFinished(s_, progress_, pages_);
}

void PrintPages::text(double x, double yAt, const QString& t) {
  if (t.isEmpty()) return;
  s_.SetPosition(x, yAt);
  s_.PrintText(t);
}

void PrintPages::section(const QString& caption) {
  y += 24;
  s_.SetFontSize(kSectionPoints);
  text(0, y, caption);
  s_.SetFontSize(kTextPoints);
  y += 56;
}

double PrintPages::rowHeight(const std::vector<PrintColumn>& columns, const QStringList& cells) const {
  int lines = 1;
  for (std::size_t c = 0; c < columns.size(); ++c)
    lines = std::max<int>(
        lines, WrapToWidth(s_, cells.value(static_cast<qsizetype>(c)), columns[c].width - 2 * kCellPadX).size());
  return lines * kLine + 2 * kCellPadY - (kLine - 34);
}

void PrintPages::row(const std::vector<PrintColumn>& columns, const QStringList& cells, bool heading,
                     const std::vector<QColor>& colors) {
  const double h = rowHeight(columns, cells);
  double x = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const PrintColumn& col = columns[c];
    if (heading) s_.FillBox(x, y, x + col.width, y + h, kHeadingFill);
    s_.DrawBox(x, y, x + col.width, y + h, Qt::black);
    s_.SetForeColor(c < colors.size() && colors[c].isValid() ? colors[c] : QColor(Qt::black));
    const QStringList lines = WrapToWidth(s_, cells.value(static_cast<qsizetype>(c)), col.width - 2 * kCellPadX);
    for (int i = 0; i < lines.size(); ++i) {
      const double tx = col.right ? x + col.width - kCellPadX - s_.TextWidth(lines[i]) : x + kCellPadX;
      text(tx, y + kCellPadY + i * kLine, lines[i]);
    }
    s_.SetForeColor(Qt::black);
    x += col.width;
  }
  y += h;
}

}  // namespace orvanta
