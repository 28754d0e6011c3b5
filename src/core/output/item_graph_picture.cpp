#include "core/output/item_graph_picture.h"

#include <cmath>

#include "core/output/surface.h"

namespace orvanta {
namespace {

constexpr double kLabelX = -830;
constexpr double kFullBar = 2000;
constexpr double kMark = 30;  // length of the marks at the middle of the frame
constexpr int kLineChars = 18;
const QColor kBarRed(255, 0, 0);

}  // namespace

ItemGraphPictureSize ItemGraphPictureSizeFor(int categoryCount) {
  ItemGraphPictureSize size;
  if (categoryCount > kItemGraphRowsWithoutScrolling) {
    size.heightTwips = categoryCount * 700;
    size.heightUnits = categoryCount * 100.0 + 200.0;
    size.scrollMaximum = static_cast<int>(std::lround((categoryCount * 700.0 - 7000.0) / 100.0));
  }
  return size;
}

void DrawItemGraphPicture(Surface& s, const ItemGraphResult& r) {
  const int n = r.categoryCount();
  const double h = ItemGraphPictureSizeFor(n).heightUnits;
  const double bottom = h - 200;  // the frame's bottom edge

  s.Clear();
  s.SetScale(kItemGraphPictureLeft, kItemGraphPictureTop, kItemGraphPictureLeft + kItemGraphPictureWidth,
             kItemGraphPictureTop + h);
  s.SetFontSize(9);
  s.SetForeColor(0);  // black
  s.SetLineWidth(1);
  s.SetLineStyle(LineStyle::Solid);

  s.DrawLine(0, 0, kFullBar, 0);
  s.DrawLine(0, 0, 0, bottom);
  s.DrawLine(kFullBar, 0, kFullBar, bottom);
  s.DrawLine(0, bottom, kFullBar, bottom);
  s.DrawLine(kFullBar / 2, 0, kFullBar / 2, kMark);
  s.DrawLine(kFullBar / 2, bottom, kFullBar / 2, bottom - kMark);

  const double maximum = static_cast<double>(r.maximum);
  if (r.hasBars()) {
    for (int k = 0; k < n; ++k) {
      const double top = 100.0 * k;
      const QString label = k < r.labels.size() ? r.labels[k] : QString();
      if (r.codeListItem() && label.size() > kLineChars) {
        s.SetPosition(kLabelX, top + 20);
        s.PrintText(label.left(kLineChars));
        s.SetPosition(kLabelX, top + 50);
        s.PrintText(label.mid(kLineChars, kLineChars));
      } else {
        s.SetPosition(kLabelX, top + 40);
        s.PrintText(label);
      }
      const double count = static_cast<double>(r.counts[static_cast<std::size_t>(k)]);
      const double end = kFullBar * count / maximum;
      s.FillBox(0, top + 20, end, top + 80, kBarRed);
      s.SetPosition(end, top + 40);
      s.PrintText(LeadingBlankNumber(count));
    }
  }

  // The scale under and above the frame.
  s.SetFontSize(10);
  const double middle = ItemGraphMiddleValue(maximum);
  for (const double y : {bottom + 20, -40.0}) {
    s.SetPosition(1950, y);
    s.PrintText(LeadingBlankNumber(maximum));
    s.SetPosition(-50, y);
    s.PrintText(LeadingBlankNumber(0));
    s.SetPosition(950, y);
    s.PrintText(LeadingBlankNumber(middle));
  }
  s.SetFontSize(9);
}

}  // namespace orvanta
