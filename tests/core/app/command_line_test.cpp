#include "core/app/command_line.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, AnswersItsOwnOptionsPassesQtsOnAndRefusesTheRest) {
  struct Case {
    QStringList arguments;
    Action action;
    int status;
    QString shown;  // a piece of the text shown
  } cases[] = {
      {{}, Action::Run, 0, {}},
      {{"-platform", "offscreen"}, Action::Run, 0, {}},
      {{"--platform=xcb", "-style", "Fusion", "-reverse"}, Action::Run, 0, {}},
      {{"--help"}, Action::Help, 0, "--version"},
      {{"-h"}, Action::Help, 0, "Usage: orvanta"},
      {{"--version"}, Action::Version, 0, "Orvanta 9.8.7\n"},
      {{"-v", "-platform", "offscreen"}, Action::Version, 0, "Orvanta 9.8.7\n"},
      {{"--help", "--bogus"}, Action::Refuse, 2, "'bogus'"},
      {{"--bogus"}, Action::Refuse, 2, "Unknown option 'bogus'"},
      {{"-x"}, Action::Refuse, 2, "'x'"},
      {{"report.dat"}, Action::Refuse, 2, "'report.dat'"},
      {{"-platform"}, Action::Refuse, 2, "platform"},  // its value is missing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLine line = ReadCommandLine(QStringList{"/usr/bin/orvanta"} + c.arguments, "9.8.7");
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.exitStatus, c.status);
    EXPECT_TRUE(line.text.contains(c.shown)) << line.text.toStdString();
    if (c.action == Action::Refuse) EXPECT_TRUE(line.text.contains("orvanta --help")) << line.text.toStdString();
  }
}

TEST(CommandLine, HelpNamesTheOptionsButNotQtsHiddenOnes) {
  const QString help = ReadCommandLine({"orvanta", "--help"}, "1.0").text;
  EXPECT_TRUE(help.contains("-h, --help"));
  EXPECT_TRUE(help.contains("-v, --version"));
  EXPECT_TRUE(help.contains("-platform"));  // named in the usage line
  EXPECT_FALSE(help.contains("--stylesheet"));
  EXPECT_FALSE(help.contains("<executable_name>"));
}

}  // namespace
}  // namespace orvanta
