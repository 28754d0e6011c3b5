#pragma once
// "変更履歴" (frmReportHistory): every version of a report, oldest first,
// as the access log holds them: when, who, what was done, and each item
// that changed with its old and new value. "この版に戻す" makes the chosen
// version the current one as a change of its own; for a deleted report it
// brings the report back under its own record number. Any record number
// can be typed to find a report that was deleted.

#include <QDialog>
#include <cstdint>
#include <vector>

#include "core/reports/report_history.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace orvanta {

class AppState;

class ReportHistoryWindow : public QDialog {
  Q_OBJECT
 public:
  ReportHistoryWindow(AppState& state, std::int32_t reportId, QWidget* parent = nullptr);

  // Shows the history of the record number.
  void showHistory(std::int32_t reportId);
  // "この版に戻す" on the chosen row.
  void restoreChosen();

  const std::vector<ReportVersion>& versions() const { return versions_; }
  // Whether a version was made current here (the report window reads its
  // file again).
  bool changedReports() const { return changed_; }
  std::int32_t shownReportId() const { return reportId_; }

 private:
  void enableRestore();

  AppState& state_;
  std::int32_t reportId_ = 0;
  bool inDataFiles_ = false;
  bool changed_ = false;
  std::vector<ReportVersion> versions_;
  QLineEdit* reportBox_ = nullptr;
  QPushButton* findButton_ = nullptr;
  QLabel* stateLabel_ = nullptr;
  QTreeWidget* versionList_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

}  // namespace orvanta
