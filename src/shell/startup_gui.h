#pragma once

namespace orvanta {

// Runs the program: start-up, the main window, the event loop.
int RunProgram(int argc, char** argv);

}  // namespace orvanta
