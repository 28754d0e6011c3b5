#include "shell/startup_gui.h"

#include <QApplication>

#include "shell/app_setup_gui.h"

namespace orvanta {

int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpApplication(app);
  return 0;
}

}  // namespace orvanta
