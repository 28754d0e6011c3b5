#pragma once
// The window "発生率と推移" (frmRates): the reports of a period under the
// seventeen filter lists counted against the denominators, in one scan of
// the data files: the rates per year with their exact intervals, the tables
// by occupation and by device, the monthly trend with the interventions
// marked, and the comparison before and after an intervention; their CSV
// files and prints.

#include <QDialog>
#include <vector>

#include "core/rates/rates.h"
#include "core/rates/rates_print.h"
#include "core/rates/rates_tables.h"
#include "gui/widgets/unreadable_files_notice.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace orvanta {

class AppState;
class FilterPanel;
class GraphArea;
class NetworkComparisonPage;
class PeriodFrame;
class ResultGrid;

class RatesWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RatesWindow(AppState& state, QWidget* parent = nullptr);
  ~RatesWindow() override;

  // What the last computation left.
  const RatesCounts& counts() const { return counts_; }
  const std::vector<RatesRow>& ratesRows() const { return ratesRows_; }
  const BeforeAfter& comparison() const { return comparison_; }
  const std::vector<Intervention>& interventions() const { return interventions_; }
  // The trend picture as last drawn, and where its parts went.
  QImage trendPicture() const;
  const TrendLayout& trendLayout() const { return trendLayout_; }

  // "再計算", and every choice of a filter list: one scan, every table.
  void recompute();
  // The comparison again with the intervention, months and base chosen.
  void compare();
  // "CSVファイル変換" (the rates table) and the tables' own buttons.
  void writeRatesCsv();
  void writeOccupationCsv();
  void writeDeviceCsv();
  void writeComparisonCsv();
  // "表の印刷" and "推移の印刷".
  void printTables();
  void printTrend();

  RatesTablesPrint tablesPrint() const;
  NetworkComparisonPage* networkPage() const { return networkPage_; }
  RatesTrendPrint trendPrint() const;

 private:
  void buildFilters();
  void buildPeriod();
  void buildPages();
  void buildComparisonPage(QWidget* page);
  void buildButtons();

  void fillTables();
  void fillComparisonChoices();
  void drawTrend();
  RatesPrintHeading heading(const QString& title) const;
  TrendGraph trendGraph() const;

  AppState& state_;
  YearKind kind_ = YearKind::Fiscal;
  Denominators denominators_;
  std::vector<Intervention> interventions_;
  RatesCounts counts_;
  std::vector<RatesRow> ratesRows_;
  std::vector<GroupRow> occupationRows_;
  std::vector<GroupRow> deviceRows_;
  BeforeAfter comparison_;
  TrendLayout trendLayout_;
  bool loading_ = false;

  FilterPanel* filters_ = nullptr;
  PeriodFrame* period_ = nullptr;
  QLabel* yearKindLabel_ = nullptr;
  QTabWidget* pages_ = nullptr;
  ResultGrid* ratesGrid_ = nullptr;
  QLabel* occupationNote_ = nullptr;
  QLabel* deviceNote_ = nullptr;
  QLabel* ratesNote_ = nullptr;
  ResultGrid* occupationGrid_ = nullptr;
  ResultGrid* deviceGrid_ = nullptr;
  GraphArea* trendArea_ = nullptr;
  QComboBox* interventionList_ = nullptr;
  QSpinBox* monthsBox_ = nullptr;
  QComboBox* baseList_ = nullptr;
  QLabel* comparisonCaption_ = nullptr;
  ResultGrid* comparisonGrid_ = nullptr;
  NetworkComparisonPage* networkPage_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printTablesButton_ = nullptr;
  QPushButton* printTrendButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
