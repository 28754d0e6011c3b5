#include "core/app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace orvanta {

namespace {

// The options that QGuiApplication and QApplication take themselves, with
// or without a value; they are passed on to Qt untouched.
const char* const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowtitle",
    "title",    "qwindowicon",        "icon",          "style",  "stylesheet",      "session",  "display",
    "name",     "qmljsdebugger",      "dialogs",       "visual", "ncols",           "cmap",     "fontengine",
};
const char* const kQtOptionsAlone[] = {"reverse", "nograb", "dograb", "sync", "widgetcount", "testability"};

}  // namespace

CommandLine ReadCommandLine(const QStringList& arguments, const QString& version) {
  QCommandLineParser parser;
  // Qt's own options are single-dash words (-platform xcb), not bundled letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QStringLiteral("Records and analyses the needlestick and sharps injuries of hospital staff.\n"
                     "針刺し・切創事故の報告を記録し、分析します。\n"
                     "Started without options, it opens its window; see orvanta(1) and the guide\n"
                     "in /usr/share/doc/orvanta/index.html."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and end."));
  const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the version and end."));
  parser.addOption(help);
  parser.addOption(showVersion);
  for (const char* name : kQtOptionsWithValue) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kQtOptionsAlone) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }

  CommandLine result;
  const QString program = QStringLiteral("orvanta");
  if (!parser.parse(arguments)) {
    result.action = CommandLine::Action::Refuse;
    result.text = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, parser.errorText());
    result.exitStatus = 2;
    return result;
  }
  if (parser.isSet(help)) {
    result.action = CommandLine::Action::Help;
    QString text = parser.helpText();
    // Without an application object the help names no program; it is orvanta.
    const qsizetype usageEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, usageEnd,
                 QStringLiteral("Usage: %1 [options] [Qt options such as -platform name or -style name]").arg(program));
    result.text = text;
    return result;
  }
  if (parser.isSet(showVersion)) {
    result.action = CommandLine::Action::Version;
    result.text = QStringLiteral("Orvanta %1\n").arg(version);
    return result;
  }
  if (!parser.positionalArguments().isEmpty()) {
    result.action = CommandLine::Action::Refuse;
    result.text = QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help'.\n")
                      .arg(program, parser.positionalArguments().constFirst());
    result.exitStatus = 2;
  }
  return result;
}

}  // namespace orvanta
