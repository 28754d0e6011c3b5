#pragma once
// The summary report window (frmTySu2, "レポート"): the reports of a period
// counted along all seventeen items at once, one small table per item, with
// one list per item that restricts every table to the reports of the chosen
// category. Lists combine; every list change recomputes with the period the
// date fields hold at that moment.

#include <QDialog>
#include <array>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/summary_counts.h"
#include "gui/widgets/unreadable_files_notice.h"

class QAction;
class QLabel;
class QMenuBar;

namespace orvanta {

class AppState;
class FilterPanel;
class PeriodFrame;
class ResultGrid;

class SummaryWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SummaryWindow(AppState& state, QWidget* parent = nullptr);
  ~SummaryWindow() override;

  // What the last computation left: counts, matching count, period, list
  // positions and texts, captions. The summary sheet, the CSV file and the
  // graph view read it.
  const SummaryResult& result() const { return result_; }

  // "再計算": recomputes with the period and lists as they stand.
  void recompute();
  // "CSVファイル作成": writes the last result to a CSV file.
  void writeCsv();
  // "レポート印刷": prints the last result as the summary sheet.
  void printSheet();

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildPeriodFrame();
  void buildLists();
  void buildTables();
  void buildMenu(QMenuBar* bar);

  // Heading and category rows of every table.
  void hyouji();
  // Table i with its heading (the item's caption) and its category rows,
  // column 1 empty.
  void fillTable(int i);
  // A choice in list i: restricts or restores table i, then recomputes.
  void onListChanged(int i);
  // Hides the tables, computes, writes the counts, shows the tables.
  void preHyouji();
  void goukei();

  AppState& state_;
  QWidget* content_ = nullptr;  // the client area below the menu bar
  PeriodFrame* periodFrame_ = nullptr;
  FilterPanel* filters_ = nullptr;
  std::array<ResultGrid*, kAxisCount> itemTables_{};
  QLabel* matchingCountLabel_ = nullptr;
  QAction* printSheetAction_ = nullptr;
  QAction* csvAction_ = nullptr;
  QAction* closeAction_ = nullptr;
  std::array<QString, kAxisCount> captions_;
  std::array<QStringList, kAxisCount> rowTexts_;
  SummaryResult result_;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
