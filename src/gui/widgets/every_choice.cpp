#include "gui/widgets/every_choice.h"

#include <QComboBox>
#include <QTimer>

namespace orvanta {

EveryChoice::EveryChoice(QComboBox* box) : QObject(box) {
  // A user's choice of another entry: the box changes its entry first
  // (currentIndexChanged) and then reports the activation, in one go.
  connect(box, &QComboBox::currentIndexChanged, this, [this] {
    changedJustNow_ = true;
    QTimer::singleShot(0, this, [this] { changedJustNow_ = false; });
    emit chosen();
  });
  connect(box, &QComboBox::activated, this, [this] {
    if (changedJustNow_) {
      changedJustNow_ = false;
      return;
    }
    emit chosen();
  });
}

}  // namespace orvanta
