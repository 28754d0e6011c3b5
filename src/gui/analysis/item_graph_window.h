#pragma once
// The item graph window (frmPost, "売上状況"): the reports of a period counted
// per category of one item (the graph item, Combo2) under seventeen filter
// lists, drawn as horizontal red bars in a scrolling picture, with its CSV
// file and its print.

#include <QDialog>
#include <QImage>
#include <array>
#include <memory>

#include "core/analysis/item_graph.h"
#include "gui/widgets/unreadable_files_notice.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace orvanta {

class AppState;
class FilterPanel;
class PainterSurface;
class PeriodFrame;

class ItemGraphWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ItemGraphWindow(AppState& state, QWidget* parent = nullptr);
  ~ItemGraphWindow() override;

  // What the last computation left: the counts and labels the picture, the
  // CSV file and the print show.
  const ItemGraphResult& result() const { return result_; }
  // The picture as last drawn.
  QImage picture() const;

  // Counts again with the period the spin buttons hold and the lists as they
  // stand, and draws the picture.
  void recompute();
  // "CSVファイル変換": writes the last result to a CSV file (nothing when no
  // report was counted).
  void writeCsv();
  // "印刷": prints the last result on A4 portrait pages (nothing when no
  // report was counted).
  void print();
  // The graph item, period and conditions as the window shows them now.
  ItemGraphHeading heading() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildTopRow();
  void buildPeriodFrame();
  void buildFilterLists();
  void buildPicture();
  void buildButtons();

  // A graph item chosen: every list back to "全て", then one computation.
  void onGraphItemChosen();
  // A list chosen: refused on the graph item itself, otherwise a computation.
  void onFilterChosen(int item);
  void drawPicture();
  void scrollPicture(int value);

  AnalysisAxis graphItem() const;

  AppState& state_;
  bool loading_ = false;
  QComboBox* graphItemList_ = nullptr;  // Combo2
  PeriodFrame* period_ = nullptr;
  FilterPanel* filters_ = nullptr;
  QWidget* viewport_ = nullptr;      // Picture1_1
  QLabel* pictureLabel_ = nullptr;   // Picture1_0
  QScrollBar* scrollBar_ = nullptr;  // VScroll1
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  std::unique_ptr<PainterSurface> surface_;
  ItemGraphResult result_;
  UnreadableFilesNotice unreadableNotice_;
};

}  // namespace orvanta
