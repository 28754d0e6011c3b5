#include "core/output/extraction_csv.h"

#include <gtest/gtest.h>

#include "core/analysis/result_grid_model.h"

namespace orvanta {
namespace {

TEST(ExtractionCsv, PeriodLineConditionsAndGridRows) {
  ResultGridModel grid;
  grid.setAllCells(2, 3, {"h1", "h2", "h3", "a", "", " 9: 5"});
  const QString period = QStringLiteral("2003年6月16日～2004年6月15");

  EXPECT_EQ(ExtractionCsvText(period, {}, grid),
            QStringLiteral("2003年6月16日～2004年6月15日\r\nh1,h2,h3\r\na,, 9: 5\r\n"));
  EXPECT_EQ(ExtractionCsvText(period,
                              {{QStringLiteral("職種"), QStringLiteral("看護師")},
                               {QStringLiteral("針刺し・切創部位"), QStringLiteral(" 1;右手親指外側")}},
                              grid),
            QStringLiteral("2003年6月16日～2004年6月15日\r\n抽出条件\r\n職種\r\n看護師\r\n針刺し・切創部位\r\n"
                           " 1;右手親指外側\r\nh1,h2,h3\r\na,, 9: 5\r\n"));
}

}  // namespace
}  // namespace orvanta
