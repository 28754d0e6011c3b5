#include "core/analysis/graph_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orvanta {

int GraphCategoryCount(AnalysisAxis axis, const CodeLists& lists) {
  if (axis == AnalysisAxis::Infection) return CategoryCount(axis, lists) - 1;  // without "その他"
  return CategoryCount(axis, lists);
}

QStringList GraphCategoryLabels(AnalysisAxis axis, const CodeLists& lists,
                                const std::array<QString, kSiteSlots>& siteNames) {
  const int count = GraphCategoryCount(axis, lists);
  QStringList out;
  switch (axis) {
    case AnalysisAxis::Month:
      for (int n = 1; n <= count; ++n) out << GraphNumberText(n) + QStringLiteral("月");
      return out;
    case AnalysisAxis::Hour:
      for (int k = 0; k < count; ++k)
        out << GraphNumberText(2 * k) + QStringLiteral("時～") + GraphNumberText(2 * k + 2) + QStringLiteral("時");
      return out;
    default: {
      // The filter labels of the other items name their categories as the
      // graphs do (code-list names, bands, results, はい/いいえ, " 1;site").
      out = CategoryLabels(axis, LabelKind::Filter, lists, siteNames);
      out.removeFirst();  // "全て"
      while (out.size() > count) out.removeLast();
      return out;
    }
  }
}

std::int32_t GraphSeries::maximum() const {
  return counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
}

std::int64_t GraphSeries::total() const { return std::accumulate(counts.begin(), counts.end(), std::int64_t{0}); }

GraphSeries GraphSeriesOf(const SummaryResult& result, AnalysisAxis axis, const CodeLists& lists,
                          const std::array<QString, kSiteSlots>& siteNames) {
  GraphSeries s;
  s.axis = axis;
  s.caption = result.captions[static_cast<std::size_t>(AxisNumber(axis))];
  s.codeListLabels = IsCodeListAxis(axis);
  s.labels = GraphCategoryLabels(axis, lists, siteNames);
  const int count = GraphCategoryCount(axis, lists);
  s.counts.reserve(static_cast<std::size_t>(count));
  for (int n = 1; n <= count; ++n) s.counts.push_back(result.counts.count(axis, n));
  return s;
}

QString GraphNumberText(double value) {
  const QString digits = QString::number(std::abs(value), 'g', 15);
  return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}

double MiddleScaleValue(std::int32_t maximum) {
  // Half of a whole number is exact in tenths; cut down, not rounded.
  const std::int64_t tenths = static_cast<std::int64_t>(maximum) * 5;
  return static_cast<double>(tenths) / 10.0;
}

WrappedLabel WrapLabel(const QString& text) {
  WrappedLabel out;
  const qsizetype length = text.size();
  if (length <= 16) {
    out.lines << text;
    return out;
  }
  const int pieces = static_cast<int>((length + 15) / 16);
  out.fontSize = std::max(9 - pieces, 1);
  const int perLine = 16 + 3 * (pieces - 2);
  for (qsizetype at = 0; at < length; at += perLine) out.lines << text.mid(at, perLine);
  return out;
}

}  // namespace orvanta
