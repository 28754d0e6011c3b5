#include "gui/help/help_key.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "gui/help/guide_pages.h"
#include "gui/help/guide_window.h"

namespace orvanta {

namespace {

class HelpKey final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    if (!key->isAutoRepeat()) {
      QWidget* window = static_cast<QWidget*>(receiver)->window();
      // An open menu or list belongs to the window it drops down from.
      while (window->windowType() == Qt::Popup && window->parentWidget()) window = window->parentWidget()->window();
      ShowGuide(GuidePageOf(window), window);
    }
    return true;  // handled once, not again by every parent the key would travel to
  }
};

}  // namespace

void InstallHelpKey(QApplication& app) {
  static HelpKey* helpKey = nullptr;
  if (helpKey) return;
  helpKey = new HelpKey(&app);
  app.installEventFilter(helpKey);
}

}  // namespace orvanta
