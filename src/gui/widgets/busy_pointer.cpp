#include "gui/widgets/busy_pointer.h"

#include <QEvent>
#include <QWidget>

#include "core/platform/prompts.h"

namespace orvanta {
namespace {

class BusyPointerReset final : public QObject {
 public:
  BusyPointerReset(QWidget* window, Prompts& prompts) : QObject(window), window_(window), prompts_(prompts) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_) {
      const bool shown = event->type() == QEvent::Show;
      const bool activated = event->type() == QEvent::ActivationChange && window_->isActiveWindow();
      if (shown || activated) prompts_.setBusy(false);
    }
    return false;
  }

 private:
  QWidget* window_;
  Prompts& prompts_;
};

}  // namespace

void ResetBusyPointerOnActivation(QWidget* window, Prompts& prompts) { new BusyPointerReset(window, prompts); }

}  // namespace orvanta
