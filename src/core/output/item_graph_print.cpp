#include "core/output/item_graph_print.h"

#include <algorithm>

#include "core/output/surface.h"
#include "core/platform/print_progress.h"

namespace orvanta {
namespace {

constexpr int kLinesPerPage = 33;
constexpr double kBarEnd = 2500;  // where the longest bar ends
constexpr double kFrameLeft = 100;
constexpr double kFrameRight = 2800;
constexpr double kLabelX = 120;

// The header line of every page: the graph item and the period, in 11 point.
void PrintHeaderLine(Surface& s, const ItemGraphHeading& heading) {
  s.SetFontSize(11);
  s.SetPosition(500, 80);
  s.PrintText(heading.itemCaption + heading.periodText());
}

// The first page's header; answers the number of condition lines.
int PrintFirstHeader(Surface& s, const ItemGraphHeading& heading) {
  PrintHeaderLine(s, heading);
  int line = 0;
  if (!heading.conditions.empty()) {
    s.SetPosition(80, 170);
    s.PrintText(QStringLiteral("抽出条件"));
    for (const auto& [caption, entry] : heading.conditions) {
      ++line;
      s.SetPosition(120, 100.0 * line + 170);
      s.PrintText(caption);
      ++line;
      s.SetPosition(140, 100.0 * line + 170);
      s.PrintText(entry);
    }
  }
  s.SetFontSize(9);
  return line;
}

void PrintLaterHeader(Surface& s, const ItemGraphHeading& heading) {
  PrintHeaderLine(s, heading);
  s.SetFontSize(9);
  if (!heading.conditions.empty()) {
    s.SetPosition(80, 170);
    s.PrintText(QStringLiteral("抽出条件は1枚目に記載"));
  }
}

// The label of the category on line top (100 L + T): up to 18 characters in
// 9 point on one line; up to 38 in 8 point as 18 and the rest; longer ones in
// 7 point as two lines of 27 (what is left after 54 characters is not
// printed).
void PrintLabel(Surface& s, const QString& label, double lineY) {
  const auto twoLines = [&](double points, int perLine, int secondLine) {
    s.SetFontSize(points);
    s.SetPosition(kLabelX, lineY - 45);
    s.PrintText(label.left(perLine));
    s.SetPosition(kLabelX, lineY - 5);
    s.PrintText(label.mid(perLine, secondLine));
  };
  const int length = static_cast<int>(label.size());
  if (length <= 18) {
    s.SetFontSize(9);
    s.SetPosition(kLabelX, lineY - 20);
    s.PrintText(label);
  } else if (length <= 38) {
    twoLines(8, 18, 20);
  } else {
    twoLines(7, 27, 27);
  }
  s.SetFontSize(9);
}

// The frame around the page's bars, the bar axis and the scale numbers.
void FinishPage(Surface& s, double top, double bottom, double origin, double maximum) {
  s.SetForeColor(0);
  s.DrawLine(kFrameLeft, top + 50, kFrameRight, top + 50);
  s.DrawLine(kFrameLeft, bottom, kFrameRight, bottom);
  s.DrawLine(kFrameLeft, top + 50, kFrameLeft, bottom);
  s.DrawLine(kFrameRight, top + 50, kFrameRight, bottom);
  s.DrawLine(origin, top + 50, origin, bottom);
  s.SetFontSize(9);
  const double middle = ItemGraphMiddleValue(maximum);
  for (const double y : {bottom + 50, top}) {
    s.SetPosition(kBarEnd - 50, y);
    s.PrintText(LeadingBlankNumber(maximum));
    // The middle value and the minimum follow the bar origin, so both stand
    // on the paper whatever the labels' length.
    s.SetPosition((origin + kBarEnd) / 2 - 50, y);
    s.PrintText(LeadingBlankNumber(middle));
    s.SetPosition(origin - 50, y);
    s.PrintText(LeadingBlankNumber(0));
  }
  s.SetFontSize(9);
}

}  // namespace

int ItemGraphPageCount(int categoryCount, int conditionCount) {
  const int first = std::max(kLinesPerPage - 2 * conditionCount, 0);
  const int rest = std::max(categoryCount - first, 0);
  return 1 + (rest + kLinesPerPage - 1) / kLinesPerPage;
}

int ItemGraphBarOrigin(const QStringList& labels) {
  int longest = 0;
  for (const QString& label : labels) longest = std::max(longest, static_cast<int>(label.size()));
  if (longest <= 8) return 500;
  if (longest <= 19) return 50 * longest + 50;
  return 1080;
}

bool DrawItemGraphPages(Surface& s, const ItemGraphResult& result, const ItemGraphHeading& heading,
                        PrintProgress* progress) {
  const int n = result.categoryCount();
  if (progress) progress->setPageCount(ItemGraphPageCount(n, static_cast<int>(heading.conditions.size())));
  int pagesDone = 0;
  const auto pageDone = [&] { return progress ? PageFinished(s, *progress, ++pagesDone) : !s.Failed(); };

  s.SetFontSize(9);
  s.SetScale(0, 0, 2900, 4000);
  s.SetForeColor(0);

  int conditionLines = PrintFirstHeader(s, heading);
  double top = 200.0 + 100.0 * conditionLines;
  const QStringList labels = result.labels.mid(0, n);
  const double origin = ItemGraphBarOrigin(labels);
  const double maximum = static_cast<double>(result.maximum);

  int line = 0;
  double bottom = 0;
  for (int k = 0; k < n; ++k) {
    ++line;
    if (line + conditionLines > kLinesPerPage) {
      // A first page that the conditions fill holds no bar and gets no frame.
      if (bottom > 0) FinishPage(s, top, bottom, origin, maximum);
      if (!pageDone() || !s.NewPage()) return false;
      PrintLaterHeader(s, heading);
      conditionLines = 0;
      line = 1;
      bottom = 0;
      top = 200;
    }
    const double lineY = 100.0 * line + top;
    PrintLabel(s, k < labels.size() ? labels[k] : QString(), lineY);
    const double count = static_cast<double>(result.counts[static_cast<std::size_t>(k)]);
    const double end = maximum > 0 ? origin + count / maximum * (kBarEnd - origin) : origin;
    s.FillBox(origin, lineY - 40, end, lineY + 40, PaletteColor(12));
    s.SetPosition(end, lineY - 20);
    s.PrintText(LeadingBlankNumber(count));
    bottom = lineY + 80;
  }
  if (bottom > 0) FinishPage(s, top, bottom, origin, maximum);
  return pageDone();
}

PrintResult PrintItemGraph(Prompts& prompts, const ItemGraphResult& result, const ItemGraphHeading& heading) {
  if (!result.hasBars()) return PrintResult::Cancelled;
  const PrintSetup setup{
      .landscape = false, .orientationMessage = kItemGraphOrientationMessage, .what = QStringLiteral("項目別グラフ")};
  return RunPrint(prompts, setup, [&](Surface& surface, PrintProgress& progress) {
    return DrawItemGraphPages(surface, result, heading, &progress);
  });
}

}  // namespace orvanta
