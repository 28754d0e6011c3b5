#pragma once
// The cross table's CSV file.

#include <QString>

namespace orvanta {

class ResultGridModel;

// The text of the CSV file: the period line (periodText from CsvPeriodText,
// then "日　　縦項目", the vertical caption, "；横項目", the horizontal caption),
// then every row of the table grid. Lines end in CR LF; the totals are not
// written.
QString CrossTableCsvText(const QString& periodText, const QString& verticalCaption, const QString& horizontalCaption,
                          const ResultGridModel& table);

}  // namespace orvanta
