#pragma once
// The cross tabulation window (frmYHJ, "クロス集計表"): the user picks a
// vertical and a horizontal item, and the window counts the reports of the
// period for every pair of their categories, with the total of every column
// (Grid2, under the table) and of every row (Grid3, beside it).

#include <QDialog>
#include <array>

#include "gui/widgets/unreadable_files_notice.h"

class QComboBox;
class QPushButton;

namespace orvanta {

class AppState;
class PeriodFrame;
class ResultGrid;

class CrossTableWindow : public QDialog {
  Q_OBJECT

 public:
  explicit CrossTableWindow(AppState& state, QWidget* parent = nullptr);
  ~CrossTableWindow() override;

  // Recomputes the table for the two chosen items and the period in the date
  // fields; nothing happens unless both items are chosen.
  void preHyouji();
  // "CSVファイル変換": writes the table to a CSV file the user chooses.
  void writeCsv();
  // The text of that file as the window stands now.
  QString csvText() const;
  // "印刷": the table on A4 landscape pages.
  void printTable();

 private:
  bool bothChosen() const;
  void linkScrolling();

  AppState& state_;
  std::array<QComboBox*, 2> itemLists_{};  // vertical, horizontal
  ResultGrid* tableGrid_ = nullptr;
  ResultGrid* columnTotalsGrid_ = nullptr;
  ResultGrid* rowTotalsGrid_ = nullptr;
  PeriodFrame* periodFrame_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
