#include "core/output/extraction_csv.h"

#include "core/output/csv_file.h"

namespace orvanta {

QString ExtractionCsvText(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                          const ResultGridModel& grid) {
  const QString crlf = QStringLiteral("\r\n");
  QString text = periodText + QStringLiteral("日") + crlf;
  if (!conditions.empty()) {
    text += QStringLiteral("抽出条件") + crlf;
    for (const ExtractionCondition& c : conditions) text += c.caption + crlf + c.entry + crlf;
  }
  return text + CsvGridRows(grid);
}

}  // namespace orvanta
