#pragma once
// The tab "ネットワークとの比較" of the window 発生率と推移: "還元ファイルの読み込み"
// stores the network's feedback file in orvanta.sqlite; for the year chosen
// the hospital's own rate (its reports of the whole year, its beds from
// 分母の登録) is set on the network's funnel with its point highlighted, with
// its percentile among the network's hospitals and its bed-size class's
// figures; its CSV file and print. The hospital's year is counted when the
// tab is first shown, and again when another year is chosen.

#include <QWidget>
#include <optional>

#include "core/network/funnel_plot.h"
#include "core/network/network_comparison.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace orvanta {

class AppState;
class GraphArea;
class ResultGrid;

class NetworkComparisonPage : public QWidget {
  Q_OBJECT

 public:
  // widthTwips, heightTwips: the page's size.
  NetworkComparisonPage(AppState& state, int widthTwips, int heightTwips, QWidget* parent);

  const std::optional<NetworkComparison>& comparison() const { return comparison_; }
  const FunnelLayout& funnelLayout() const { return funnelLayout_; }
  QImage funnelPicture() const;

  void loadFeedback();  // "還元ファイルの読み込み"
  void showYear();      // the year chosen: counted and compared
  void writeCsv();      // "この表をCSVファイルに変換"
  void print();         // "比較の印刷"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fillYears();

  AppState& state_;
  bool counted_ = false;
  std::optional<NetworkComparison> comparison_;
  FunnelLayout funnelLayout_;
  QComboBox* yearList_ = nullptr;
  QLabel* note_ = nullptr;
  ResultGrid* grid_ = nullptr;
  GraphArea* funnelArea_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
};

}  // namespace orvanta
