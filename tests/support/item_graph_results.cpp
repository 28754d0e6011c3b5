#include "support/item_graph_results.h"

#include <algorithm>

namespace orvanta::testing {

ItemGraphResult MadeItemGraphResult(AnalysisAxis axis, std::vector<std::int64_t> counts, QStringList labels) {
  ItemGraphResult r;
  r.axis = axis;
  r.counts = std::move(counts);
  for (int k = static_cast<int>(labels.size()); k < r.categoryCount(); ++k)
    labels << QStringLiteral("分類%1").arg(k + 1);
  r.labels = labels;
  for (const std::int64_t c : r.counts) r.maximum = std::max(r.maximum, c);
  return r;
}

}  // namespace orvanta::testing
