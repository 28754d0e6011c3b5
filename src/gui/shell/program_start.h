#pragma once

#include <memory>

#include "core/app/data_folder_lock.h"

namespace orvanta {

class AppState;
class MainWindow;

// Start-up: body-site names, splash, today's date, the data folder, the
// password, the first-run record, the counters, the code lists, the login,
// and the main window, shown. Returns nullptr when the program ends here
// (the counters cannot be read on a later start, or the login is cancelled).
// With the disk full (roomLeft tells) the user may go on read-only
// (StartupFacts::ReadOnlySession).
std::unique_ptr<MainWindow> Main(AppState& state, const RoomLeft& roomLeft = RoomLeftOnDisk);

// Runs the program: start-up, then the main window's event loop.
int RunProgram(int argc, char** argv);

}  // namespace orvanta
