#pragma once
// How GoogleTest prints Qt's texts in a failure: as the text itself, not
// as the bytes of the object.

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < texts.size(); ++i) *os << (i ? ", \"" : "\"") << texts[i].toStdString() << '"';
  *os << '}';
}
