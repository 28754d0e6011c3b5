#pragma once
// The hourglass goes when a window is ready for input.

class QWidget;

namespace orvanta {

class Prompts;

// Gives the normal pointer back whenever window is shown or becomes the
// active window again: a window opened under the hourglass, or activated
// after slow work elsewhere, is ready for input. Lives as long as window.
void ResetBusyPointerOnActivation(QWidget* window, Prompts& prompts);

}  // namespace orvanta
