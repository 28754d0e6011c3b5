#include "gui/widgets/view_only.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace orvanta {

void MakeViewOnly(QWidget* root) {
  auto apply = [](QWidget* w) {
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      line->setReadOnly(true);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
      plain->setReadOnly(true);
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
      text->setReadOnly(true);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
      spin->setReadOnly(true);
    } else if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w)) {
      w->setEnabled(false);
    }
  };
  apply(root);
  for (QWidget* w : root->findChildren<QWidget*>()) {
    // The line box inside an editable list belongs to the list.
    if (qobject_cast<QComboBox*>(w->parentWidget())) continue;
    // A text box's own scroll bars still scroll what it shows.
    if (qobject_cast<QAbstractSlider*>(w) && w->parentWidget() && w->parentWidget()->parentWidget() &&
        (qobject_cast<QPlainTextEdit*>(w->parentWidget()->parentWidget()) ||
         qobject_cast<QTextEdit*>(w->parentWidget()->parentWidget())))
      continue;
    apply(w);
  }
}

}  // namespace orvanta
