#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "gui/shell/application_setup.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);  // the settings store stays out of the user's own
  QApplication app(argc, argv);
  orvanta::SetUpApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
