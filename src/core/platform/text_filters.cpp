#include "core/platform/text_filters.h"

namespace orvanta {

QString RemoveCommas(const QString& text) {
  QString out = text;
  out.remove(QLatin1Char(','));
  out.remove(QChar(0xFF0C));
  return out;
}

}  // namespace orvanta
