#pragma once
// The extraction listing's CSV file.

#include <QByteArray>
#include <QString>
#include <vector>

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
// The bytes of that file (CsvFileBytes of the text), encoded a block of rows
// at a time so that the whole text of a long listing is never held at once.
QByteArray ExtractionCsvBytes(const QString& periodText, const std::vector<ExtractionCondition>& conditions,
                              const ResultGridModel& grid);

}  // namespace orvanta
