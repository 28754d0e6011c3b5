#pragma once
// The hospital's settings for the surveillance network, kept in the
// database's setting table (docs/database.md): the 施設コード the network
// assigns (needed before a submission) and the 施設名, which stays on this
// machine for the hospital's own prints and never goes into a submission.

#include <QString>

namespace orvanta {

class Database;

struct NetworkSettings {
  QString facilityCode;  // empty until it is set
  QString facilityName;
  friend bool operator==(const NetworkSettings&, const NetworkSettings&) = default;
};

// The keys of the setting table.
inline const QString kSettingFacilityCode = QStringLiteral("facility_code");
inline const QString kSettingFacilityName = QStringLiteral("facility_name");

// The longest 施設名 kept.
inline constexpr int kFacilityNameMaxLength = 60;

// What the database holds; empty texts when it holds nothing or is not open.
NetworkSettings ReadNetworkSettings(const Database& database);

// The first thing wrong with settings about to be stored, in Japanese, or
// an empty text: a 施設コード of 1 to 8 half-width letters and digits, a
// 施設名 of at most kFacilityNameMaxLength characters.
QString NetworkSettingsProblem(const NetworkSettings& settings);

// Stores both, in one transaction; false with the reason in error (the
// problem above included: nothing is stored then).
bool WriteNetworkSettings(Database& database, const NetworkSettings& settings, QString* error);

}  // namespace orvanta
