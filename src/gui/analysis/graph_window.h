#pragma once
// The graph window (frmTySu3, "グラフ "): the counts of one item, chosen in
// "グラフ表示項目" (List1) among the items whose filter list stands at
// "全て", drawn as a bar, pie or line graph for the reports of the period
// that pass the seventeen filter lists. The counts are those of the summary
// view, computed the same way. The graph is copied to the clipboard with or
// without its texts and printed on portrait pages.
//
// Every choice in a filter list builds List1 again and draws its first item;
// every choice of an item or a kind and "再計算" computes again with the
// period the date boxes show.

#include <QDialog>
#include <array>
#include <memory>
#include <optional>
#include <utility>

#include "core/analysis/graph_series.h"
#include "core/analysis/summary_counts.h"
#include "gui/widgets/unreadable_files_notice.h"

class QAction;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace orvanta {

class AppState;
class FilterPanel;
class GraphArea;
class PainterSurface;
class PeriodFrame;

class GraphWindow : public QDialog {
  Q_OBJECT

 public:
  explicit GraphWindow(AppState& state, QWidget* parent = nullptr);
  ~GraphWindow() override;

  // What the last computation left: the counts, the period, the lists.
  const SummaryResult& result() const { return result_; }
  // The item drawn, none when every list restricts the reports.
  std::optional<AnalysisAxis> drawnItem() const { return drawnItem_; }
  GraphKind kind() const { return kind_; }
  // The two pictures as last drawn: the figure alone (index 0, "図だけ") and
  // the figure with its texts (index 1, "図と文字").
  QImage picture(int index) const;

  // "グラフの印刷" and the menu "印刷": prints the graph of the current kind.
  void printGraph();
  // "図だけ" (0) and "図と文字" (1): the whole picture to the clipboard.
  void copyPicture(int index);

 protected:
  void reject() override;

 private:
  void buildMenu();
  void buildControls(QWidget* content);
  // Lists the items whose filter list stands at "全て", none selected.
  void rebuildItemList();
  // Selects the first item when none is, then computes and draws.
  void preHyouji();
  void computeAndDraw();
  void showPictures();

  AppState& state_;
  PeriodFrame* periodFrame_ = nullptr;
  FilterPanel* filters_ = nullptr;
  QLabel* matchingCountLabel_ = nullptr;
  QListWidget* itemList_ = nullptr;
  std::array<int, kAxisCount> itemOfRow_{};  // the item behind each row of the list
  GraphArea* graphArea_ = nullptr;
  std::array<QRadioButton*, 3> kindButtons_{};
  QPushButton* printButton_ = nullptr;
  std::array<QPushButton*, 2> copyButtons_{};
  std::array<QAction*, 2> copyActions_{};
  QAction* printAction_ = nullptr;
  QAction* closeAction_ = nullptr;

  GraphKind kind_ = GraphKind::Bar;
  SummaryResult result_;
  std::optional<AnalysisAxis> drawnItem_;
  std::optional<std::pair<AnalysisAxis, GraphKind>> shownGraph_;  // what the area shows
  GraphSeries series_;
  std::unique_ptr<PainterSurface> figureSurface_;
  std::unique_ptr<PainterSurface> textSurface_;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
