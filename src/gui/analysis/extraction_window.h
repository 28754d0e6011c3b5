#pragma once
// The data extraction window (frmTySu, "データ抽出"): every report of the
// period that matches the seventeen selection boxes, one row per report, and
// how many there are. Each box change lists again at once; a changed period
// waits for "再表示". "CSVファイル変換" writes the listing to a CSV file.

#include <QDialog>
#include <array>

#include "core/analysis/analysis_axis.h"
#include "core/platform/safe_save.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace orvanta {

class AppState;
class DateFieldControls;
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

 protected:
  // When the window becomes active the mouse pointer returns to normal.
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void hyouji();
  void preHyouji();
  void writeCsv();
  // The CSV file's bytes, a block of rows at a time.
  void writeCsvTo(const BytePieces& write) const;

  AppState& state_;
  bool loading_ = false;
  std::array<QComboBox*, kAxisCount> boxes_{};
  std::array<QLabel*, kAxisCount> captions_{};
  ResultGrid* grid_ = nullptr;
  QLabel* count_ = nullptr;
  DateFieldControls* dates_ = nullptr;
};

}  // namespace orvanta
