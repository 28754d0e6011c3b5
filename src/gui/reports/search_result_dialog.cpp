#include "gui/reports/search_result_dialog.h"

#include <QLabel>
#include <QListView>
#include <QStringListModel>

#include "core/app/app_state.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

SearchResultDialog::SearchResultDialog(AppState& state, const QStringList& lines, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmkekka"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("検索結果"));
  setFixedSize(Twips(6600), Twips(4800));

  Named(PlaceLabel(this, QStringLiteral("表示したいカルテをクリックしてください。"), 180, 120, 6240, 300), "Label1");

  // Hits are not capped: a model view keeps a long list quick to fill.
  hitList_ = Named(new QListView(this), "List1");
  hitList_->setModel(new QStringListModel(lines, this));
  hitList_->setUniformItemSizes(true);
  hitList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  hitList_->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTw(hitList_, 180, 480, 6240, 4140);

  connect(hitList_, &QListView::clicked, this, &SearchResultDialog::chooseHit);
  // Enter on the current line chooses it as well.
  connect(hitList_, &QListView::activated, this, &SearchResultDialog::chooseHit);
}

void SearchResultDialog::chooseHit(const QModelIndex& index) {
  if (!index.isValid() || chosenHit_ >= 0) return;
  chosenHit_ = index.row();
  accept();
}

void SearchResultDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  hitList_->setFocus();
}

int SearchResultDialog::Choose(AppState& state, const QStringList& lines, QWidget* parent) {
  SearchResultDialog dialog(state, lines, parent);
  dialog.exec();
  return dialog.chosenHit();
}

}  // namespace orvanta
