#pragma once
// The data extraction window (frmTySu, "データ抽出"): every report of the
// period that matches the seventeen selection boxes, one row per report, and
// how many there are. Every choice in a box lists again at once, with the
// period the date boxes show; a period changed alone waits for "再表示".
// "CSVファイル変換" writes the listing to a CSV file.

#include <QDialog>

#include "core/analysis/analysis_axis.h"
#include "core/output/extraction_csv.h"
#include "core/platform/safe_save.h"
#include "gui/widgets/unreadable_files_notice.h"

class QLabel;
class QPushButton;

namespace orvanta {

class AppState;
class FilterPanel;
class PeriodFrame;
class ResultGrid;

class ExtractionWindow : public QDialog {
  Q_OBJECT

 public:
  // Sets the window up and makes the first listing, of the default period
  // with every box at "全て".
  explicit ExtractionWindow(AppState& state, QWidget* parent = nullptr);

  // The selections of the seventeen boxes.
  AxisFilter filter() const;
  // The period the date fields hold now.
  AnalysisPeriod period() const;

 private:
  void hyouji();
  void preHyouji();
  void writeCsv();
  // The lists not at "全て", with their captions, for the CSV file and the print.
  std::vector<ExtractionCondition> conditions() const;
  // The CSV file's bytes, a block of rows at a time.
  void writeCsvTo(const BytePieces& write) const;
  // "印刷": the listing on A4 landscape pages.
  void printListing();

  AppState& state_;
  FilterPanel* filters_ = nullptr;
  ResultGrid* listingGrid_ = nullptr;
  QLabel* matchingCountLabel_ = nullptr;
  PeriodFrame* periodFrame_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
