#pragma once
// The data extraction listing: every report of a period that passes a filter
// on the seventeen items, one row of 18 cells per report. Its CSV text is in
// core/output/extraction_csv.h.
//
// The listing is computed in one pass over the data files (ScanReports, the
// files side by side on the machine's cores): a report is tested on its
// boiled-down facts, and a matching one is kept as a compact row, the few
// numbers and short texts its cells are made of. The grid shows the rows
// through ExtractionRows, which makes a cell's text only when the view, the
// CSV file or the print reads it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/result_grid_model.h"

namespace orvanta {

class DrivePaths;

inline constexpr int kExtractionColumns = 18;
inline constexpr int kExtractionColWidth = 2000;      // twips, every column
inline constexpr int kExtractionHeadingHeight = 600;  // twips, row 0
inline constexpr int kExtractionRowHeight = 400;      // twips, every report row

// The headings of the 18 columns: "氏名･発生年月日･カルテ番号", the captions
// of items 0 to 15, and "針刺し･切創部位" (half-width middle dots).
QStringList ExtractionHeadings();

// One listed report, boiled down to what its eighteen cells are made of: the
// numbers as stored, the code-list answers as the category of their entry,
// and five texts kept, still in code page 932, beside the rows (the name, the
// record number, the two years-of-experience texts and the other infection).
struct ExtractionRow {
  std::array<std::uint64_t, 2> siteBits{};  // as ReportFacts::siteBits
  std::uint32_t textOffset = 0;             // where the row's texts start
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  // For code lists 0 to 9: the position + 1 of the first entry with the
  // report's answer id, 0 when none has it.
  std::array<std::uint16_t, kCodeListAxisCount> entries{};
  // The HIV, HCV and HBV results 0 to 3 (two bits each; other values as 0)
  // and the emergency answer 0 to 2 (other values as 0) in the top bits.
  std::uint8_t answers = 0;
};

// Makes the rows of a listing and, later, their cells. Set up once per
// computation: the names of the code-list entries, the body-site pieces and
// the usual times are prepared here, so a cell costs a decode or a
// concatenation at most.
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

  // The row of a report of `file`; its texts are appended to texts.
  ExtractionRow compact(const ScannedFile& file, const ReportFacts& report, QByteArray& texts) const;
  // Cell `col` (0 to 17) of a row whose texts start at texts + row.textOffset.
  QString cell(const ExtractionRow& row, const char* texts, int col) const;
  // The 18 cells of a report of `file`.
  QStringList row(const ScannedFile& file, const ReportFacts& report) const;

 private:
  QString dateCell(const ExtractionRow& row, QByteArrayView name, QByteArrayView record) const;
  QString timeCell(int hour, int minute) const;
  QString siteCell(const ExtractionRow& row) const;

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

// The rows of a listing in data-file order, kept file by file: each file's
// rows and, in one block beside them, their texts. A cell is made when it is
// read; the grid shows the rows through this.
class ExtractionRows final : public GridRowSource {
 public:
  // One data file's rows.
  struct Chunk {
    std::vector<ExtractionRow> rows;
    QByteArray texts;
  };

  explicit ExtractionRows(std::shared_ptr<const ExtractionRowMaker> maker);

  // Appends a file's rows after those already held.
  void append(Chunk&& chunk);

  int rowCount() const override { return rowCount_; }
  int columnCount() const override { return kExtractionColumns; }
  QString cell(int row, int col) const override;
  // The 18 cells of a row.
  QStringList row(int row) const;

  // The bytes the rows take, for the record.
  std::size_t bytesHeld() const;

 private:
  std::shared_ptr<const ExtractionRowMaker> maker_;
  std::vector<Chunk> chunks_;
  std::vector<int> firstRows_;  // the number of the first row of each chunk
  int rowCount_ = 0;
};

// A computed listing: count rows of kExtractionColumns cells in data-file
// order (rows is null when nothing was listed).
struct ExtractionListing {
  std::shared_ptr<const ExtractionRows> rows;
  std::int64_t count = 0;
  // The data files that are there but could not be read (their reports are
  // not listed), in file order.
  std::vector<int> unreadableFiles;
  std::vector<CutShortFile> cutShortFiles;  // read, but some reports lack body sites
};

// Scans data files 0 to newestFileNo under paths (ScanReports) and lists
// every report of the period that passes the filter, by the code lists as
// they are now. The files are read and their rows made on `threads` threads
// (see ScanDataFiles); the listing is the same whatever their number.
ExtractionListing ComputeExtraction(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                    const AnalysisPeriod& period, const AxisFilter& filter,
                                    int threads = kScanThreadsAuto);

// Sets a grid up for the listing: 18 columns with their headings in row 0,
// each 2000 twips wide and centred, row 0 600 twips high and fixed, and no
// report rows.
void PrepareExtractionGrid(ResultGridModel& grid);

// Cuts the grid back to its heading row and appends the listing's rows, each
// 400 twips high. The grid takes the listing's rows over; their cells are
// made as they are read.
void ShowExtraction(ResultGridModel& grid, ExtractionListing&& listing);

}  // namespace orvanta
