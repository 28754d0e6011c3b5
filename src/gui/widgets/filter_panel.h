#pragma once
// The seventeen filter lists of the analysis views: one drop-down list per
// item (Combo1_0 to Combo1_16) under its caption (Label4_0 to Label4_16), in
// three rows of six, six and five, or in one column. Entry 0 of every list is "全て"; the
// positions of the seventeen lists form the filter. Every choice is
// reported, also the choice of the entry a list already shows, so that the
// views compute again with the period as the date boxes show it.

#include <QStringList>
#include <QWidget>
#include <array>

#include "core/analysis/analysis_axis.h"

class QComboBox;
class QLabel;

namespace orvanta {

// Where the lists go inside the panel, in twips from its top-left corner.
struct FilterPanelLayout {
  int columnPitch = 2520;                          // from one list to the next in a row
  std::array<int, 3> listTops = {195, 690, 1185};  // the three rows of lists
  int captionHeight = 195;                         // each caption stands right above its list
  int listWidth = 2295;
  int listHeight = 300;
  Qt::Alignment captionAlignment = Qt::AlignLeft | Qt::AlignBottom;
  // One column instead of three rows: list k at listTops[0] + k * columnRowPitch.
  bool oneColumn = false;
  int columnRowPitch = 525;
};

class FilterPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kListsPerRow = 6;

  FilterPanel(const FilterPanelLayout& layout, QWidget* parent);

  // Writes the captions and fills the lists (each entry list starts with
  // "全て") and puts every list at "全て", without reporting a choice.
  void fill(const std::array<QString, kAxisCount>& captions, const std::array<QStringList, kAxisCount>& entries);
  // The same with the items' own captions (full-width dot) and the filter
  // labels of their categories, from the code lists as they are now.
  void fillWithItems(const CodeLists& lists);

  // The positions of the seventeen lists (a list without a position counts
  // as "全て").
  AxisFilter filter() const;
  // The text of the entry each list shows.
  std::array<QString, kAxisCount> selectedTexts() const;
  // Whether every list has a position.
  bool everyListHasPosition() const;

  QString caption(int item) const;
  QComboBox* list(int item) const { return lists_[static_cast<std::size_t>(item)]; }
  QLabel* captionLabel(int item) const { return captions_[static_cast<std::size_t>(item)]; }

  // Width and height of the panel in twips.
  int widthTwips() const;
  int heightTwips() const;

 signals:
  // A choice in list `item`: another entry, or the one it already showed.
  void changed(int item);

 private:
  FilterPanelLayout layout_;
  std::array<QComboBox*, kAxisCount> lists_{};
  std::array<QLabel*, kAxisCount> captions_{};
};

}  // namespace orvanta
