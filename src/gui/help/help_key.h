#pragma once
// F1 in any window of the program opens the user guide at the page of that
// window (guide_pages.h names it by the window's object name). Installed
// once on the application at start-up, so no window needs code of its own.

class QApplication;

namespace orvanta {

void InstallHelpKey(QApplication& app);

}  // namespace orvanta
