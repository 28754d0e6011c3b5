#pragma once
// Typing into widgets as a keyboard or an input method delivers the text: one
// character at a time, each a key press and a release (QTest::keyClicks only
// knows Latin-1).

#include <QString>

class QLineEdit;
class QWidget;

namespace orvanta::testing {

void Type(QWidget* box, const QString& text);

// Replaces what a line box holds by typing.
void Retype(QLineEdit* box, const QString& text);

// Hands text to a box the way an input method commits what was composed.
void Commit(QWidget* box, const QString& text);

}  // namespace orvanta::testing
