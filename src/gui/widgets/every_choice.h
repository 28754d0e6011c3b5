#pragma once
// Every choice made in a drop-down list, also the choice of the entry it
// already shows. QComboBox tells an entry that changed (currentIndexChanged,
// by the user or by the program) apart from an entry the user chose
// (activated, also when it was already shown). A window that recomputes on
// every choice listens to both, but a user's change of entry sends both
// signals one after the other: this watcher turns them into one `chosen`.

#include <QObject>

class QComboBox;

namespace orvanta {

class EveryChoice : public QObject {
  Q_OBJECT

 public:
  // Watches the box; the watcher belongs to the box.
  explicit EveryChoice(QComboBox* box);

 signals:
  // The entry changed, or the user chose the entry already shown.
  void chosen();

 private:
  // Set while a change of entry is being handled, until the activation that
  // follows a user's change (or, for a change made by the program, until the
  // event loop runs again).
  bool changedJustNow_ = false;
};

}  // namespace orvanta
