#include "gui/shell/application_setup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "gui/help/help_key.h"

namespace orvanta {

void SetUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Orvanta"));
  QApplication::setOrganizationName(QStringLiteral("Orvanta"));
  // Every window shows the program's icon; the desktop matches the running
  // program to its installed desktop entry by the application id.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvanta.svg")));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanta.Orvanta"));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

  static QTranslator qtTranslator;
  if (qtTranslator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);

  const QStringList gothic{QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")};
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), gothic);
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
  QApplication::setFont(font);

  InstallHelpKey(app);
}

}  // namespace orvanta
