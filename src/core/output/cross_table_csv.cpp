#include "core/output/cross_table_csv.h"

#include "core/output/csv_file.h"

namespace orvanta {

QString CrossTableCsvText(const QString& periodText, const QString& verticalCaption, const QString& horizontalCaption,
                          const ResultGridModel& table) {
  return periodText + QStringLiteral("日　　縦項目") + verticalCaption + QStringLiteral("；横項目") +
         horizontalCaption + QStringLiteral("\r\n") + CsvGridRows(table);
}

}  // namespace orvanta
