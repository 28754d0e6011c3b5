#pragma once
// Choosing an entry of a drop-down list as a user does: the list opens, the
// entry is highlighted and Return takes it. Unlike setCurrentIndex this also
// chooses the entry the list already shows (QComboBox::activated).

class QComboBox;

namespace orvanta::testing {

// Chooses entry `index` through the open drop-down; false when the list did
// not open or did not take the entry.
bool ChooseInList(QComboBox* box, int index);

}  // namespace orvanta::testing
