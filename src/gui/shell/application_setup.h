#pragma once

class QApplication;

namespace orvanta {

// Application-wide set-up shared by the program and the widget tests: the
// application name, the program's icon on every window, Japanese dialog
// buttons, and the font substitutions that give the windows' "ＭＳ Ｐゴシック"
// the same look on every system, and F1 opening the guide in every window.
void SetUpApplication(QApplication& app);

}  // namespace orvanta
