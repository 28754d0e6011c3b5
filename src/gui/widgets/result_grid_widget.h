#pragma once
// ResultGrid: the grid of text cells of the analysis views, a table view over
// a ResultGridModel. Fixed rows are shown as the column headings and fixed
// columns as the row headings, so they stay in place while the cells scroll;
// the cells where fixed rows and fixed columns meet are shown in the corner
// between the two headings.
//
// Hiding the grid (hide(), setVisible(false)) holds back every change of its
// model until it is shown again, so filling a hidden grid row by row costs no
// more than filling it at once; showing it lays it out once. Rows of one
// height are laid out as one uniform height, so 100,000 rows scroll freely.

#include <QTableView>

#include "core/analysis/result_grid_model.h"
#include "core/rates/rates_tables.h"

namespace orvanta {

class ResultGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ResultGrid(QWidget* parent = nullptr);

  ResultGridModel& grid() { return *model_; }
  const ResultGridModel& grid() const { return *model_; }

  void setVisible(bool visible) override;

  // A heading as it is drawn: the text of column heading `section`
  // (Qt::Horizontal) or row heading `section`, cut short to what its section
  // shows.
  QString headingText(Qt::Orientation orientation, int section) const;

 protected:
  void updateGeometries() override;

 private:
  void applyLayout();
  void applyFixedSizes();
  void applyColWidth(int c);
  void applyRowHeights(int first, int last);
  void applyRowHeight(int r);

  ResultGridModel* model_;
  QWidget* fixedCorner_;         // the fixed cells of the top-left corner
  bool holdingUpdates_ = false;  // hidden: the model is in an update
  int rowsHiddenAsFixed_ = 0;    // leading rows hidden as fixed
  int colsHiddenAsFixed_ = 0;
};

// Shows a table of texts: the heading rows fixed, the first column fixed as
// the row headings (labelWidth twips wide), numbers to the right (each other
// column valueWidth twips wide).
void ShowTextTable(ResultGrid* view, const TextTable& table, int headingRows, int labelWidth, int valueWidth);

}  // namespace orvanta
