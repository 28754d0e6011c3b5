#pragma once
// What the graph view draws and prints of one item: its caption, the labels
// and counts of its drawn categories (NV of them), their largest count and
// their sum. The counts come from a summary computation (ComputeSummary), so
// the graph view counts exactly as the summary view does.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/summary_counts.h"
#include "core/codelists/code_lists.h"

namespace orvanta {

// The three kinds of graph, numbered as the option buttons that choose them.
enum class GraphKind : int { Bar = 0, Pie = 1, Line = 2 };

// The number of categories drawn for an item (NV): the entries of its code
// list, 12 for the month and the hour, 8 for each experience item, 9 for the
// infections (the tenth, "その他", is counted but not drawn), 2 for the
// emergency question, 65 for the body sites.
int GraphCategoryCount(AnalysisAxis axis, const CodeLists& lists);

// The labels of the drawn categories, category 1 first: code-list names;
// " 1月" ... "12月" (numbers with their leading blank); " 0時～ 2時" ...;
// the year bands; the nine test results; "はい", "いいえ"; " 1;右手親指外側" ...
QStringList GraphCategoryLabels(AnalysisAxis axis, const CodeLists& lists,
                                const std::array<QString, kSiteSlots>& siteNames);

struct GraphSeries {
  AnalysisAxis axis = AnalysisAxis::Occupation;
  QString caption;                   // the item's caption, as its list's label reads
  bool codeListLabels = false;       // the labels are code-list names (long ones wrap)
  QStringList labels;                // of categories 1 to NV
  std::vector<std::int32_t> counts;  // of categories 1 to NV

  int categoryCount() const { return static_cast<int>(counts.size()); }
  // The largest count (0 when there are no categories); the scale runs from 0 to it.
  std::int32_t maximum() const;
  std::int64_t total() const;
};

// The series of `axis` from a computation's counts, with the lists and site
// names as they are now.
GraphSeries GraphSeriesOf(const SummaryResult& result, AnalysisAxis axis, const CodeLists& lists,
                          const std::array<QString, kSiteSlots>& siteNames);

// A number as the graphs write it, with one leading blank where a minus sign
// would stand: " 7", " 3.5".
QString GraphNumberText(double value);
// The middle value of a scale whose top is `maximum`: half of it, cut down to
// one decimal place (7 gives 3.5, 12 gives 6).
double MiddleScaleValue(std::int32_t maximum);

// How a long code-list label is written: with m = the number of 16-character
// pieces of the text, in font size 9 - m (at least 1) and in lines of
// 16 + 3 (m - 2) characters. A text of up to 16 characters stays one line in
// size 9.
struct WrappedLabel {
  double fontSize = 9;
  QStringList lines;
};
WrappedLabel WrapLabel(const QString& text);

}  // namespace orvanta
