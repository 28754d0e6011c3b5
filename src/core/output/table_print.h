#pragma once
// The two table prints on A4 landscape pages: the extraction listing and the
// cross tabulation, laid out from the grid the view shows.
//
// Both tables map the printable area onto 3450 x 4000 units. Texts are
// 8 point (the period line 11 point); a print line is 100 units. Each page
// holds the row-label column (x 30 to 380) and at most ten data columns of
// 300 units (column j from 380 + 300 j); the grid's columns after column 0
// are printed in blocks of ten, each block from a new page and with every
// row. Cell texts are cut into pieces of six (listing) or eight (cross
// table) characters, one piece per line.
//
// Every row stays inside the page: a page whose table starts lower (the
// first page of a listing with conditions) holds fewer lines, and a row
// taller than a whole page is continued on the next page. In the listing, a
// row carried over to a page starts there with "（続き）" and its whole label
// (name, occurrence date, record number) down the label column, beside the
// cells going on where they stopped.

#include <QString>
#include <vector>

#include "core/output/extraction_csv.h"
#include "core/output/print_job.h"

namespace orvanta {

class PrintProgress;
class ResultGridModel;
class Prompts;
class Surface;

// The extraction listing as the window stands.
struct ExtractionPrint {
  // The period as CsvPeriodText gives it, without the final "日".
  QString period;
  // The selection boxes not at "全て", in box order.
  std::vector<ExtractionCondition> conditions;
  // The listing: row 0 the headings, then one row per report.
  const ResultGridModel* grid = nullptr;
};

// The cross tabulation as the window stands.
struct CrossTablePrint {
  // The period as CsvPeriodText gives it, without the final "日".
  QString period;
  QString verticalCaption;
  QString horizontalCaption;
  // The table: row 0 the column headings, column 0 the row headings.
  const ResultGridModel* grid = nullptr;
};

inline constexpr double kTableScaleWidth = 3450;
inline constexpr double kTableScaleHeight = 4000;

// Draws every page (the document is not ended). False when the progress
// asked to stop or the surface failed.
bool DrawExtractionListing(Surface& surface, const ExtractionPrint& print, PrintProgress& progress);
bool DrawCrossTable(Surface& surface, const CrossTablePrint& print, PrintProgress& progress);

// The number of pages the print will have.
int ExtractionListingPageCount(const ExtractionPrint& print);
int CrossTablePageCount(const CrossTablePrint& print);

// The "印刷" commands: the landscape message, the printer dialog, the pages,
// and "プリンターが接続されていません" when the printer fails. whileDrawing
// lets the window hide its grid while the pages are drawn and show it again
// at the end.
PrintResult PrintExtractionListing(Prompts& prompts, const ExtractionPrint& print,
                                   const WhileDrawing& whileDrawing = {});
PrintResult PrintCrossTable(Prompts& prompts, const CrossTablePrint& print, const WhileDrawing& whileDrawing = {});

}  // namespace orvanta
