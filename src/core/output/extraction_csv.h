#pragma once
// The extraction listing's CSV file.

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

}  // namespace orvanta
