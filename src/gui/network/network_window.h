#pragma once
// The window "ネットワーク集計" (frmNetwork): the centre's pooled analysis of
// the member hospitals' submissions in network.sqlite. The import of
// submission files with its list of what became of each, the removal of a
// hospital's year, a year chooser and the tabs 施設別, ネットワーク全体,
// ファネルプロット, 項目別 and 取り込み結果; their CSV files and prints, the
// feedback sheets "施設別還元シート" and "還元ファイルの作成".

#include <QDialog>
#include <optional>
#include <vector>

#include "core/network/funnel_plot.h"
#include "core/network/network_analysis.h"
#include "core/network/submission_import.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace orvanta {

class AppState;
class GraphArea;
class ResultGrid;

class NetworkWindow : public QDialog {
  Q_OBJECT

 public:
  explicit NetworkWindow(AppState& state, QWidget* parent = nullptr);
  ~NetworkWindow() override;

  const NetworkFigures& figures() const { return figures_; }
  const std::vector<FileImport>& lastImport() const { return lastImport_; }
  const FunnelLayout& funnelLayout() const { return funnelLayout_; }
  QImage funnelPicture() const;

  // "提出ファイルの取り込み"
  void importFiles();
  // "削除": the hospital's year chosen in 施設別, after asking.
  void removeHospitalYear();
  // The year chosen: every tab's figures.
  void showYear();
  // "CSVファイル変換": 施設別, or 項目別 when that tab is shown.
  void writeCsv();
  // "印刷": the tab shown (施設別, ネットワーク全体, ファネルプロット, 項目別).
  void printPage();
  // "施設別還元シート": the chosen hospital or every hospital.
  void printFeedbackSheets();
  // "還元ファイルの作成"
  void writeFeedbackFile();

 private:
  void buildControls();
  // Whether submissions can be imported and removed: network.sqlite open
  // and not read-only.
  bool writable() const;
  void fillYears(std::optional<NetworkYear> keep);
  void drawFunnel();
  std::optional<NetworkYear> chosenYear() const;
  const HospitalFigures* chosenHospital() const;

  AppState& state_;
  bool ready_ = false;  // network.sqlite is open
  NetworkFigures figures_;
  std::vector<FileImport> lastImport_;
  FunnelLayout funnelLayout_;

  QComboBox* yearList_ = nullptr;
  QLabel* summary_ = nullptr;
  QTabWidget* pages_ = nullptr;
  ResultGrid* hospitalGrid_ = nullptr;
  QLabel* hospitalNote_ = nullptr;
  ResultGrid* networkGrid_ = nullptr;
  GraphArea* funnelArea_ = nullptr;
  ResultGrid* itemGrid_ = nullptr;
  ResultGrid* importGrid_ = nullptr;
  QPushButton* importButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* sheetButton_ = nullptr;
  QPushButton* feedbackButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace orvanta
