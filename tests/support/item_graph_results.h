#pragma once
// Item graph results made up by hand, for the tests of the pictures and
// prints drawn from them.

#include <QStringList>
#include <cstdint>
#include <vector>

#include "core/analysis/item_graph.h"

namespace orvanta::testing {

// A result of the item with these counts (category k + 1 in slot k); the
// categories without a label given are labelled "分類<k + 1>", and the maximum
// is the largest count.
ItemGraphResult MadeItemGraphResult(AnalysisAxis axis, std::vector<std::int64_t> counts, QStringList labels = {});

}  // namespace orvanta::testing
