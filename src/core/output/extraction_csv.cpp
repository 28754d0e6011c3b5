#include "core/output/extraction_csv.h"

#include "core/output/csv_file.h"
#include "core/platform/codepage.h"

namespace orvanta {
namespace {

// The lines before the grid rows.
QString ExtractionCsvHead(const QString& periodText, const std::vector<ExtractionCondition>& conditions) {
  const QString crlf = QStringLiteral("\r\n");
  QString text = periodText + QStringLiteral("日") + crlf;
  if (!conditions.empty()) {
    text += QStringLiteral("抽出条件") + crlf;
    for (const ExtractionCondition& c : conditions) text += c.caption + crlf + c.entry + crlf;
  }
  return text;
}

}  // namespace

QString ExtractionCsvText(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                          const ResultGridModel& grid) {
  return ExtractionCsvHead(periodText, conditions) + CsvGridRows(grid);
}

bool WriteExtractionCsv(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                        const ResultGridModel& grid, const BytePieces& write) {
  return write(cp932::Encode(ExtractionCsvHead(periodText, conditions))) && WriteCsvGridRows(grid, write) &&
         write("\r\n");
}

QByteArray ExtractionCsvBytes(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                              const ResultGridModel& grid) {
  QByteArray bytes;
  WriteExtractionCsv(periodText, conditions, grid, [&bytes](QByteArrayView piece) {
    bytes += piece;
    return true;
  });
  return bytes;
}

}  // namespace orvanta
