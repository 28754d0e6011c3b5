#include "support/gui/typing.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace orvanta::testing {

void Type(QWidget* box, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &release);
  }
}

void Retype(QLineEdit* box, const QString& text) {
  box->selectAll();
  Type(box, text);
}

void Commit(QWidget* box, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(box, &event);
}

}  // namespace orvanta::testing
