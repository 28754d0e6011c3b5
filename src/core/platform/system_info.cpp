#include "core/platform/system_info.h"

#include <QSettings>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace orvanta {

QString CurrentUserName() {
#ifdef Q_OS_UNIX
  if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
#endif
  QString name = qEnvironmentVariable("USER");
  if (name.isEmpty()) name = qEnvironmentVariable("USERNAME");
  return name;
}

namespace {
QSettings& Store() {
  static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvanta"),
                            QStringLiteral("Orvanta"));
  return settings;
}
}  // namespace

void StoreSetting(const QString& key, const QString& value) {
  Store().setValue(QStringLiteral("Settings/") + key, value);
  Store().sync();
}

QString StoredSetting(const QString& key) { return Store().value(QStringLiteral("Settings/") + key).toString(); }

}  // namespace orvanta
