#pragma once
// What most tests stand on: a drive of their own and the bytes of files.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "support/scripted_prompts.h"

namespace orvanta::testing {

// The moment the clock stands at unless a test sets another: 9:00 on
// Wednesday 9 December 2026.
inline const QDateTime kTestMoment{QDate(2026, 12, 9), QTime(9, 0)};

// A temporary folder standing for the drive, scripted prompts (a prompt with
// no answer scripted, or an answer left unused, fails the test), a clock
// that stands still, and the shared state over them. A test fixture derives
// from it and uses root, prompts, clock and state directly.
class TempDrive {
 public:
  explicit TempDrive(const QDateTime& now = kTestMoment) : clock(now), state(root.path(), prompts, clock) {}

  // Writes data file fileNo of the drive (the report folder must exist) and
  // moves the newest file number up to it; false when the file cannot be
  // written.
  bool WriteReports(int fileNo, const std::vector<ReportRecord>& reports);

  QTemporaryDir root;
  ScriptedPrompts prompts;
  FixedClock clock;
  AppState state;
};

// The bytes of a file; empty when it cannot be read.
QByteArray FileBytes(const QString& path);

// The bytes of a file under tests/fixtures ("reports/two_reports.dat"); the
// test fails when it cannot be read.
QByteArray FixtureBytes(const QString& relativePath);

// Writes bytes to path, replacing what is there; false when it cannot.
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace orvanta::testing
