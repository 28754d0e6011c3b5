#include "core/output/item_graph_csv.h"

#include "core/output/csv_file.h"

namespace orvanta {

QString ItemGraphCsvText(const ItemGraphResult& result, const ItemGraphHeading& heading) {
  const QString end = QStringLiteral("\r\n");
  QString text = heading.itemCaption + u',' + heading.periodText() + end;
  if (!heading.conditions.empty()) {
    text += QStringLiteral("抽出条件") + end;
    for (const auto& [caption, entry] : heading.conditions) text += caption + end + entry + end;
  }
  for (int k = 0; k < result.categoryCount(); ++k) {
    const QString label = k < result.labels.size() ? result.labels[k] : QString();
    text += label + u',' + LeadingBlankNumber(static_cast<double>(result.counts[static_cast<std::size_t>(k)])) + end;
  }
  return text;
}

bool WriteItemGraphCsv(Prompts& prompts, const DrivePaths& paths, const ItemGraphResult& result,
                       const ItemGraphHeading& heading) {
  if (!result.hasBars()) return false;
  return WriteCsvFile(prompts, paths, QStringLiteral("項目別グラフ.csv"),
                      [&] { return ItemGraphCsvText(result, heading); });
}

}  // namespace orvanta
