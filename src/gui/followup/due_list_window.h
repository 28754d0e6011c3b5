#pragma once
// "経過観察予定" (frmDueList): every test not done that is due within the
// chosen number of days, overdue ones first and marked. The number of days
// is kept in the database. A double click opens the case's follow-up window;
// "CSVファイル変換" and "印刷" write and print the list as it stands.

#include <QDialog>
#include <memory>

#include "core/followup/due_list.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace orvanta {

class AppState;
class ResultGrid;

class DueListWindow : public QDialog {
  Q_OBJECT
 public:
  explicit DueListWindow(AppState& state, QWidget* parent = nullptr);

  // Reads the list again (after the days changed, or a case was edited).
  void reload();
  // Opens the follow-up window of the test in grid row `row` (from 1).
  void openCaseAt(int row);
  void writeCsv();
  void printList();

  const DueList& shownList() const { return *list_; }

 private:
  void onDaysChanged(int days);

  AppState& state_;
  std::shared_ptr<DueList> list_;
  QSpinBox* daysBox_ = nullptr;
  QLabel* countLabel_ = nullptr;
  ResultGrid* dueGrid_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

}  // namespace orvanta
