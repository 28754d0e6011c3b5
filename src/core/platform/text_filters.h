#pragma once

#include <QString>

namespace orvanta {

// The text without "," and "，": stored values never hold a comma.
QString RemoveCommas(const QString& text);

}  // namespace orvanta
