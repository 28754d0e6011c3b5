#pragma once
// The prints of the rates window, on A4 landscape pages in the coordinate
// system of the table prints (3450 x 4000 units over the printable area,
// texts 8 point on lines of 100 units):
//  - "表の印刷": the rates table, the table by occupation, the table by
//    device and, when one was made, the comparison before and after an
//    intervention; each table from a new page, its headings again on every
//    page it runs over, its note under it. The tables by occupation and by device print as many
//    years side by side as fit, and the next years on the following pages.
//  - "推移の印刷": the monthly trend with the interventions on one page.
// Every page carries the heading: the title at 11 point, the period with the
// kind of year and the filter's conditions.

#include <QString>

#include "core/output/print_job.h"
#include "core/rates/rates_tables.h"
#include "core/rates/trend_graph.h"

namespace orvanta {

class PrintProgress;
class Prompts;
class Surface;

struct RatesPrintHeading {
  QString title;   // "発生率と推移"
  QString period;  // "2020年4月1日～2025年3月31日"
  YearKind kind = YearKind::Fiscal;
  QString conditions;  // "職種  正看護婦; " or "全ての報告書"
};

// One table of the print.
struct PrintedTable {
  QString caption;  // "発生率（年度別）"
  TextTable cells;  // heading rows first
  int headingRows = 1;
  // Columns after the first that belong together (a year's three columns)
  // and stay on one page; 1 for none.
  int columnGroup = 1;
  QString note;  // printed under the table when not empty
};

struct RatesTablesPrint {
  RatesPrintHeading heading;
  std::vector<PrintedTable> tables;
};

struct RatesTrendPrint {
  RatesPrintHeading heading;
  TrendGraph graph;
};

// The conditions text of a filter: for every list not at "全て" its caption,
// two blanks, the chosen entry's text and "; "; "全ての報告書" for none.
QString FilterConditionsText(const AxisFilter& filter, const std::array<QString, kAxisCount>& selectedTexts);

// Draws every page (the document is not ended). False when the progress
// asked to stop or the surface failed.
bool DrawRatesTables(Surface& surface, const RatesTablesPrint& print, PrintProgress& progress);
bool DrawRatesTrend(Surface& surface, const RatesTrendPrint& print, PrintProgress& progress);
int RatesTablesPageCount(const RatesTablesPrint& print);

// The print commands: the landscape message, the printer dialog, the pages,
// and "プリンターが接続されていません" when the printer fails.
PrintResult PrintRatesTables(Prompts& prompts, const RatesTablesPrint& print);
PrintResult PrintRatesTrend(Prompts& prompts, const RatesTrendPrint& print);

}  // namespace orvanta
