#pragma once
// Pages of a print drawn one after the other: a cursor that moves down, a
// new page (with its continued heading) when a row no longer fits, the page
// number at each page's foot, table rows whose texts wrap in their cells.
// The follow-up's prints and the access log's print draw with it.

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace orvanta {

class PrintProgress;
class Surface;

namespace print_pages {
inline constexpr double kTextPoints = 9;
inline constexpr double kSectionPoints = 11;
inline constexpr double kLine = 44;        // one line of 9-point text
inline constexpr double kCellPadX = 12;    // text from its cell's left rule
inline constexpr double kCellPadY = 10;    // text from its cell's top rule
inline constexpr double kFooterRoom = 90;  // the foot of a page holds its number
inline const QColor kHeadingFill(230, 230, 230);
}  // namespace print_pages

// The pieces of a text that fit a width, cut between characters.
QStringList WrapToWidth(const Surface& s, const QString& text, double width);

struct PrintColumn {
  QString heading;
  double width = 0;
  bool right = false;
};

class PrintPages {
 public:
  PrintPages(Surface& s, PrintProgress& progress, double width, double height)
      : s_(s), progress_(progress), width_(width), height_(height) {}

  Surface& surface() { return s_; }
  double width() const { return width_; }
  double y = 0;

  // Starts the first page; continued pages call `continued` for their heading.
  void begin(const std::function<void()>& continued);
  // Room for h more units on this page, or a new page (with its continued
  // heading). False when the job is to stop.
  bool room(double h);
  bool finishPage();
  void text(double x, double yAt, const QString& t);
  void section(const QString& caption);
  // A table row of cells across the columns from x = 0: the texts wrapped
  // into their cells, the row as tall as its tallest cell. Headings are
  // shaded. Colours per cell (black where none is given).
  double rowHeight(const std::vector<PrintColumn>& columns, const QStringList& cells) const;
  void row(const std::vector<PrintColumn>& columns, const QStringList& cells, bool heading,
           const std::vector<QColor>& colors = {});

 private:
  Surface& s_;
  PrintProgress& progress_;
  double width_;
  double height_;
  int pages_ = 0;
  std::function<void()> continued_;
};

}  // namespace orvanta
