#pragma once

#include <QString>

namespace orvanta {

// The login name of the user who runs the program; shown only.
QString CurrentUserName();

// The per-user settings store ("Orvanta", section "Settings").
void StoreSetting(const QString& key, const QString& value);
QString StoredSetting(const QString& key);

}  // namespace orvanta
