#include "gui/followup/entry_dialog.h"

#include <QPushButton>

#include "core/app/app_state.h"
#include "core/platform/prompts.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

EntryDialog::EntryDialog(AppState& state, const char* objectName, const QString& title, int width, int height,
                         QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QString::fromLatin1(objectName));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(title);
  setFixedSize(Twips(width), Twips(height));
  okButton_ = Named(PlaceButton(this, QStringLiteral("OK"), width - 2700, height - 570, 1200, 405), "cmdOk");
  cancelButton_ =
      Named(PlaceButton(this, QStringLiteral("キャンセル"), width - 1380, height - 570, 1200, 405), "cmdCancel");
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &EntryDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &EntryDialog::reject);
}

void EntryDialog::accept() {
  if (store()) QDialog::accept();
}

bool EntryDialog::refuse(const QString& problem) {
  state_.prompts().message(problem, QString(), PromptIcon::Exclamation);
  return false;
}

}  // namespace orvanta
