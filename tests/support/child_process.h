#pragma once
// Tests that need a second process (one to be killed in the middle of its
// work) run their own test binary again: with ORVANTA_CHILD_ROLE set, the
// binary's main runs that role instead of the tests.
//
//   ORVANTA_CHILD_ROLE_FUNCTION(churn) { ... return 0; }   // the role
//   auto child = StartChildRole("churn", path);            // in the test
//   WaitForChildLine(*child, "committed");
//   child->kill();

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <memory>
#include <optional>

namespace orvanta::testing {

// A role: what the child does with the argument it was given; its exit code.
using ChildRole = int (*)(const QString& argument);
bool RegisterChildRole(const char* name, ChildRole role);

#define ORVANTA_CHILD_ROLE_FUNCTION(name)                              \
  static int ChildRole_##name(const QString& argument);                \
  [[maybe_unused]] static const bool kChildRoleRegistered_##name =     \
      ::orvanta::testing::RegisterChildRole(#name, &ChildRole_##name); \
  static int ChildRole_##name([[maybe_unused]] const QString& argument)

// In main, after the application object exists: runs the role the
// environment asks for and answers its exit code; nullopt when none is asked.
std::optional<int> RunChildRoleIfAsked();

// Starts this binary again in the role, with the argument; null when it did
// not start (the test fails).
std::unique_ptr<QProcess> StartChildRole(const QString& role, const QString& argument);

// Reads the child's output until a line starting with `prefix` comes (that
// line is answered) or the child ends or the time runs out (empty).
QByteArray WaitForChildLine(QProcess& child, const QByteArray& prefix, int timeoutMs = 20000);

// What a role writes for its parent: one line, flushed at once.
void TellParent(const QByteArray& line);

}  // namespace orvanta::testing
