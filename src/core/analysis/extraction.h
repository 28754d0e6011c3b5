#pragma once
// The data extraction listing: every report of a period that passes a filter
// on the seventeen items, one row of 18 cells per report. Its CSV text is in
// core/output/extraction_csv.h.
//
// The listing is computed in one pass over the data files (ScanReports): a
// report is tested on its boiled-down facts, and only the texts its row shows
// are decoded. The cells come out as one flat vector, row by row, ready for
// ResultGridModel::appendRows.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "core/analysis/analysis_axis.h"

namespace orvanta {

class DrivePaths;
class ResultGridModel;

inline constexpr int kExtractionColumns = 18;
inline constexpr int kExtractionColWidth = 2000;       // twips, every column
inline constexpr int kExtractionHeadingHeight = 600;   // twips, row 0
inline constexpr int kExtractionRowHeight = 400;       // twips, every report row

// The headings of the 18 columns: "氏名･発生年月日･カルテ番号", the captions
// of items 0 to 15, and "針刺し･切創部位" (half-width middle dots).
QStringList ExtractionHeadings();

// Makes the cells of report rows. Set up once per computation: the names of
// the code-list entries by id, the body-site pieces and the usual times are
// prepared here, so a row costs a few decodes and concatenations.
//
// The cells of a report:
//  0  Texts(5), the occurrence date as "yy/mm/dd/(aaa)" (formed with the
//     calendar carries; "04/03/15/(月)"), Texts(0), without separators;
//  1-10  the name of the entry of code list c - 1 with the report's answer
//     id (the first such entry); empty when no entry has that id;
//  11 the month as a plain number;
//  12 hour and minute, each with a blank in the sign position, joined by
//     ":" (" 9: 5");
//  13, 14 Texts(2) and Texts(8) as stored;
//  15 " HIV陽性"/" HIV陰性"/" HIV未検査" for HIV result 1/2/3, likewise
//     HCV and HBV, nothing for other results, then Texts(1);
//  16 "はい" for emergency answer 1, "いいえ" for 2, empty otherwise;
//  17 "/", the site number with a blank in the sign position and the site's
//     name, for every marked site in ascending order ("/ 29" for site 29).
class ExtractionRowMaker {
 public:
  ExtractionRowMaker(const CodeLists& lists, const std::array<QString, kSiteSlots>& siteNames);

  // Appends the 18 cells of a report of `file` to out.
  void append(const ScannedFile& file, const ReportFacts& report, std::vector<QString>& out) const;
  // The 18 cells of a report of `file`.
  QStringList row(const ScannedFile& file, const ReportFacts& report) const;

 private:
  QString dateCell(const ScannedFile& file, const ReportFacts& report) const;
  QString timeCell(int hour, int minute) const;
  QString infectionCell(const ScannedFile& file, const ReportFacts& report) const;
  QString siteCell(const ReportFacts& report) const;

  CategoryIndex index_;
  // Names of code lists 0 to 9 by category (entry position + 1); [0] unused.
  std::array<std::vector<QString>, kCodeListAxisCount> names_;
  std::array<QString, kSiteCount + 1> sitePieces_;  // "/ 1右手親指外側", [0] unused
  std::array<QString, 13> months_;                  // "1" to "12", [0] unused
  std::vector<QString> times_;                      // hour * 60 + minute, 0:00 to 23:59
  std::array<QString, 64> infections_;              // by hiv + 4 * hcv + 16 * hbv, results 0-3
  QString yes_;
  QString no_;
};

// A computed listing: count rows of kExtractionColumns cells, row by row, in
// data-file order.
struct ExtractionListing {
  std::vector<QString> cells;
  std::int64_t count = 0;
};

// Scans data files 0 to newestFileNo under paths (ScanReports) and lists
// every report of the period that passes the filter, by the code lists as
// they are now.
ExtractionListing ComputeExtraction(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                    const AnalysisPeriod& period, const AxisFilter& filter);

// Sets a grid up for the listing: 18 columns with their headings in row 0,
// each 2000 twips wide and centred, row 0 600 twips high and fixed, and no
// report rows.
void PrepareExtractionGrid(ResultGridModel& grid);

// Cuts the grid back to its heading row and appends the listing's rows, each
// 400 twips high. The listing's cells are moved into the grid.
void ShowExtraction(ResultGridModel& grid, ExtractionListing&& listing);

}  // namespace orvanta
