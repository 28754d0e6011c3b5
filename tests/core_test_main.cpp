#include <QGuiApplication>
#include <gtest/gtest.h>

#include "support/child_process.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  // Run again by a test as a child process: the role, not the tests.
  if (const auto code = orvanta::testing::RunChildRoleIfAsked()) return *code;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
