#include "gui/widgets/filter_panel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <algorithm>

#include "core/reports/body_sites.h"
#include "gui/widgets/every_choice.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

FilterPanel::FilterPanel(const FilterPanelLayout& layout, QWidget* parent) : QWidget(parent), layout_(layout) {
  for (int i = 0; i < kAxisCount; ++i) {
    const int left = layout.oneColumn ? 0 : (i % kListsPerRow) * layout.columnPitch;
    const int top = layout.oneColumn ? layout.listTops[0] + i * layout.columnRowPitch
                                     : layout.listTops[static_cast<std::size_t>(i / kListsPerRow)];
    auto* caption = Named(new QLabel(this), "Label4", i);
    caption->setAlignment(layout.captionAlignment);
    PlaceTw(caption, left, top - layout.captionHeight, layout.listWidth, layout.captionHeight);
    captions_[static_cast<std::size_t>(i)] = caption;

    auto* box = Named(new QComboBox(this), "Combo1", i);
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    PlaceTw(box, left, top, layout.listWidth, layout.listHeight);
    lists_[static_cast<std::size_t>(i)] = box;
    connect(new EveryChoice(box), &EveryChoice::chosen, this, [this, i] { emit changed(i); });
  }
  resize(Twips(widthTwips()), Twips(heightTwips()));
}

void FilterPanel::fillWithItems(const CodeLists& lists) {
  std::array<QString, kAxisCount> captions;
  std::array<QStringList, kAxisCount> entries;
  for (int k = 0; k < kAxisCount; ++k) {
    captions[static_cast<std::size_t>(k)] = AxisCaption(AxisAt(k), CaptionDot::FullWidth);
    entries[static_cast<std::size_t>(k)] = CategoryLabels(AxisAt(k), LabelKind::Filter, lists, BodySiteNames());
  }
  fill(captions, entries);
}

int FilterPanel::widthTwips() const {
  return (layout_.oneColumn ? 0 : (kListsPerRow - 1) * layout_.columnPitch) + layout_.listWidth;
}

int FilterPanel::heightTwips() const {
  const int lastTop =
      layout_.oneColumn ? layout_.listTops[0] + (kAxisCount - 1) * layout_.columnRowPitch : layout_.listTops[2];
  return lastTop + layout_.listHeight;
}

void FilterPanel::fill(const std::array<QString, kAxisCount>& captions,
                       const std::array<QStringList, kAxisCount>& entries) {
  for (int i = 0; i < kAxisCount; ++i) {
    const auto at = static_cast<std::size_t>(i);
    captions_[at]->setText(captions[at]);
    QComboBox* box = lists_[at];
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries[at]);
    box->setCurrentIndex(entries[at].isEmpty() ? -1 : 0);
    // The drop-down shows long entry names whole.
    box->view()->setMinimumWidth(std::max(box->width(), box->view()->sizeHintForColumn(0) + 24));
  }
}

AxisFilter FilterPanel::filter() const {
  AxisFilter f;
  for (int i = 0; i < kAxisCount; ++i)
    f.selection[static_cast<std::size_t>(i)] = std::max(lists_[static_cast<std::size_t>(i)]->currentIndex(), 0);
  return f;
}

std::array<QString, kAxisCount> FilterPanel::selectedTexts() const {
  std::array<QString, kAxisCount> texts;
  for (int i = 0; i < kAxisCount; ++i)
    texts[static_cast<std::size_t>(i)] = lists_[static_cast<std::size_t>(i)]->currentText();
  return texts;
}

bool FilterPanel::everyListHasPosition() const {
  return std::all_of(lists_.begin(), lists_.end(), [](const QComboBox* box) { return box->currentIndex() >= 0; });
}

QString FilterPanel::caption(int item) const { return captions_[static_cast<std::size_t>(item)]->text(); }

}  // namespace orvanta
