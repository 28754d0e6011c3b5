#include "support/gui/modal_window.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace orvanta::testing {

void WhenModal(const QString& objectName, std::function<void(QWidget*)> action, int timeoutMs) {
  auto timer = new QTimer(qApp);
  auto elapsed = std::make_shared<int>(0);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, qApp, [=] {
    *elapsed += 5;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->objectName() == objectName && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
      return;
    }
    if (*elapsed > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "modal window " << objectName.toStdString() << " never opened";
      if (modal) modal->close();
    }
  });
  timer->start();
}

}  // namespace orvanta::testing
