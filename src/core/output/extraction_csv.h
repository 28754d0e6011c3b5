#pragma once
// The extraction listing's CSV file.

#include <QByteArray>
#include <QString>
#include <vector>

#include "core/platform/safe_save.h"

namespace orvanta {

class ResultGridModel;

// A selection box that is not at "全て": its caption and the text of its
// selected entry.
struct ExtractionCondition {
  QString caption;
  QString entry;
};

// The text of the extraction's CSV file: the period line (periodText, as
// CsvPeriodText gives it, followed by "日"); when there are conditions, the
// line "抽出条件" and for each condition its caption line and its entry line;
// then every row of the grid. Lines end in CR LF.
QString ExtractionCsvText(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                          const ResultGridModel& grid);
// The bytes of that file (CsvFileBytes of the text), handed to write a block
// of rows at a time so that the text of a long listing is never held whole.
bool WriteExtractionCsv(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                        const ResultGridModel& grid, const BytePieces& write);
// The same bytes at once.
QByteArray ExtractionCsvBytes(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                              const ResultGridModel& grid);

}  // namespace orvanta
