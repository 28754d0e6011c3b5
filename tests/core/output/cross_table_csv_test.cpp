#include "core/output/cross_table_csv.h"

#include <gtest/gtest.h>

#include "core/analysis/cross_table.h"
#include "core/analysis/result_grid_model.h"

namespace orvanta {
namespace {

TEST(CrossTableCsv, PeriodLineThenTheTableRows) {
  ResultGridModel table;
  ResultGridModel colTotals;
  ResultGridModel rowTotals;
  ResetCrossTableGrids(table, colTotals, rowTotals);
  const QString period = QStringLiteral("2003年6月16日～2004年6月15");
  // Before anything is chosen: empty captions and the untouched grid.
  EXPECT_EQ(CrossTableCsvText(period, {}, {}, table),
            QStringLiteral("2003年6月16日～2004年6月15日　　縦項目；横項目\r\n,\r\n,\r\n"));

  LayOutCrossTableGrids(table, colTotals, rowTotals, {{"HIV陽性", "HIV陰性"}, {" 1月", " 2月", " 3月"}});
  CrossTable counts(2, 3);
  CategorySet hivPositive;
  hivPositive.add(1);
  CategorySet march;
  march.add(3);
  counts.add(hivPositive, march);
  FillCrossTableGrids(table, colTotals, rowTotals, counts);
  EXPECT_EQ(CrossTableCsvText(period, QStringLiteral("患者の感染症の有無"), QStringLiteral("発生月"), table),
            QStringLiteral("2003年6月16日～2004年6月15日　　縦項目患者の感染症の有無；横項目発生月\r\n"
                           ", 1月, 2月, 3月\r\n"
                           "HIV陽性,0,0,1\r\n"
                           "HIV陰性,0,0,0\r\n"));
}

}  // namespace
}  // namespace orvanta
