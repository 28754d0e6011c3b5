#include "core/network/network_settings.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/network/submission_format.h"
#include "core/store/database.h"

namespace orvanta {

namespace {

QString ReadSetting(const Database& database, const QString& key) {
  QSqlQuery query(database.connection());
  query.prepare(QStringLiteral("SELECT value FROM setting WHERE key = ?"));
  query.addBindValue(key);
  if (!query.exec() || !query.next()) return {};
  return query.value(0).toString();
}

}  // namespace

NetworkSettings ReadNetworkSettings(const Database& database) {
  if (!database.isOpen()) return {};
  return NetworkSettings{ReadSetting(database, kSettingFacilityCode), ReadSetting(database, kSettingFacilityName)};
}

QString NetworkSettingsProblem(const NetworkSettings& settings) {
  if (settings.facilityCode.isEmpty()) return QStringLiteral("施設コードを入力してください。");
  if (!IsFacilityCode(settings.facilityCode))
    return QStringLiteral("施設コードは半角の英字と数字で 1～%1 文字にしてください。")
        .arg(submission::kFacilityCodeMaxLength);
  if (settings.facilityName.size() > kFacilityNameMaxLength)
    return QStringLiteral("施設名は %1 文字までにしてください。").arg(kFacilityNameMaxLength);
  return {};
}

bool WriteNetworkSettings(Database& database, const NetworkSettings& settings, QString* error) {
  if (const QString problem = NetworkSettingsProblem(settings); !problem.isEmpty()) {
    if (error) *error = problem;
    return false;
  }
  return database.change(
      [&settings](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO setting(key, value) VALUES (?, ?)"));
        for (const auto& [key, value] : {std::pair{kSettingFacilityCode, settings.facilityCode},
                                         std::pair{kSettingFacilityName, settings.facilityName}}) {
          query.addBindValue(key);
          query.addBindValue(value);
          if (!query.exec()) {
            if (reason) *reason = query.lastError().text();
            return false;
          }
        }
        return true;
      },
      error);
}

}  // namespace orvanta
