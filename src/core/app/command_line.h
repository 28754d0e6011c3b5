#pragma once

#include <QString>
#include <QStringList>

namespace orvanta {

// What the command line asks of the program. Orvanta's own options are
// --help and --version, answered on standard output without a display and
// without touching any file; the options every Qt program takes (-platform,
// -style, ...) are accepted and left to Qt. Anything else is refused with a
// message and status 2, before any window or file is made.
struct CommandLine {
  enum class Action { Run, Help, Version, Refuse };
  Action action = Action::Run;
  QString text;  // the help or version text (stdout), or the refusal (stderr)
  int exitStatus = 0;
};

CommandLine ReadCommandLine(const QStringList& arguments, const QString& version);

}  // namespace orvanta
