#include "gui/codelists/rename_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "core/app/app_state.h"
#include "core/codelists/code_list_editing.h"
#include "core/platform/prompts.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {

RenameDialog::RenameDialog(AppState& state, const QString& currentName, QWidget* parent)
    : QDialog(parent), state_(state), handedBack_(currentName) {
  setObjectName(QStringLiteral("frmMeibo"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("項目名変更"));
  setFixedSize(Twips(10335), Twips(1380));

  nameBox_ = Named(new QLineEdit(this), "Text1");
  PlaceTw(nameBox_, 390, 240, 9555, 330);
  KeepLineBoxStorable(nameBox_, StorableFieldText, state_.prompts());
  nameBox_->setText(currentName);
  nameBox_->selectAll();

  auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), "Command1");
  PlaceTw(ok, 7260, 780, 1275, 375);
  ok->setDefault(true);
  auto* cancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "Command2");
  PlaceTw(cancel, 8670, 780, 1275, 375);
  cancel->setAutoDefault(false);

  connect(ok, &QPushButton::clicked, this, [this] {
    const QString typed = StorableFieldText(nameBox_->text());
    if (!typed.isEmpty()) handedBack_ = typed;
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RenameDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  nameBox_->setFocus();
}

QString RenameDialog::Ask(AppState& state, const QString& currentName, QWidget* parent) {
  RenameDialog dialog(state, currentName, parent);
  dialog.exec();
  return dialog.handedBackName();
}

}  // namespace orvanta
