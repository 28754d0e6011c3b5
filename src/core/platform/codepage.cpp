#include "core/platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <utility>

namespace orvanta::cp932 {
namespace {

constexpr const char* kName = "windows-31j";

bool IsAscii(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x80) return false;
  }
  return true;
}

bool IsAscii(QByteArrayView bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Encodes one code point (one or two UTF-16 units); empty when it cannot.
QByteArray EncodeOne(QStringView cp) {
  QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
  QByteArray out = encoder.encode(cp);
  if (encoder.hasError()) return {};
  return out;
}

}  // namespace

QByteArray Encode(const QString& text) {
  if (IsAscii(text)) return text.toLatin1();
  QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
  QByteArray out = encoder.encode(text);
  if (!encoder.hasError()) return out;
  // Some character has no place in the code page: encode piece by piece and
  // leave such characters out instead of writing the encoder's filler bytes.
  out.clear();
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    out += EncodeOne(QStringView(text).mid(i, len));
    i += len;
  }
  return out;
}

QString Decode(QByteArrayView bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), bytes.size());
  thread_local QStringDecoder decoder(kName, QStringConverter::Flag::Stateless);
  decoder.resetState();
  QString out = decoder.decode(bytes);
  decoder.resetState();
  return out;
}

bool CanEncode(const QString& text) {
  if (IsAscii(text)) return true;
  QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
  const QByteArray encoded = encoder.encode(text);  // encode() is lazy: convert it
  Q_UNUSED(encoded);
  return !encoder.hasError();
}

QString ToCodePageForms(const QString& text) {
  static constexpr std::pair<char16_t, char16_t> kForms[] = {
      {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2014', u'\u2015'}, {u'\u2016', u'\u2225'},
      {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'},
  };
  QString out = text;
  for (QChar& c : out) {
    for (const auto& [typed, stored] : kForms) {
      if (c.unicode() == typed) c = QChar(stored);
    }
  }
  return out;
}

QString KeepEncodable(const QString& text) {
  if (CanEncode(text)) return text;
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QStringView piece = QStringView(text).mid(i, len);
    if (!EncodeOne(piece).isEmpty()) out += piece;
    i += len;
  }
  return out;
}

}  // namespace orvanta::cp932
