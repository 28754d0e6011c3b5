#include "gui/reports/search_result_dialog.h"

#include <QLabel>
#include <QListView>
#include <QStringListModel>

#include "core/platform/prompts.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "core/app/app_state.h"

namespace orvanta {

SearchResultDialog::SearchResultDialog(AppState& state, const QStringList& lines, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmkekka"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("検索結果"));
  setFixedSize(Twips(6600), Twips(4800));

  label1_ = Named(new QLabel(QStringLiteral("表示したいカルテをクリックしてください。"), this), "Label1");
  PlaceTw(label1_, 180, 120, 6240, 300);

  // Hits are not capped: a model view keeps a long list quick to fill.
  model_ = new QStringListModel(lines, this);
  list1_ = Named(new QListView(this), "List1");
  list1_->setModel(model_);
  list1_->setUniformItemSizes(true);
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTw(list1_, 180, 480, 6240, 4140);

  connect(list1_, &QListView::clicked, this, &SearchResultDialog::choose);
  // Enter on the current line chooses it as well.
  connect(list1_, &QListView::activated, this, &SearchResultDialog::choose);
}

void SearchResultDialog::choose(const QModelIndex& index) {
  if (!index.isValid() || chosen_ >= 0) return;
  chosen_ = index.row();
  accept();
}

void SearchResultDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  list1_->setFocus();
}

int SearchResultDialog::Choose(AppState& state, const QStringList& lines, QWidget* parent) {
  SearchResultDialog dialog(state, lines, parent);
  dialog.exec();
  return dialog.chosenHit();
}

}  // namespace orvanta
