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

// A byte that is no part of any character of the code page (damaged text in
// a file) reads as a character of its own, U+F700 + the byte, from a
// private-use range that the code page does not use, and is written back as
// that byte. So damaged text is kept as it was, never changed by a save.
constexpr char16_t kByteBase = 0xF700;
bool IsKeptByte(QChar c) { return c.unicode() >= kByteBase + 0x80 && c.unicode() <= kByteBase + 0xFF; }

// Encodes one code point (one or two UTF-16 units); empty when it cannot.
QByteArray EncodeOne(QStringView cp) {
  if (cp.size() == 1 && cp.front().unicode() < 0x80) return QByteArray(1, static_cast<char>(cp.front().unicode()));
  if (cp.size() == 1 && IsKeptByte(cp.front()))
    return QByteArray(1, static_cast<char>(cp.front().unicode() - kByteBase));
  QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
  QByteArray out = encoder.encode(cp);
  if (encoder.hasError()) return {};
  return out;
}

// The converter's table swaps three control characters (0x1A, 0x1C, 0x7F);
// plain ASCII is read and written as itself here, so text with one of them
// goes character by character.
bool HasSwappedControl(QByteArrayView bytes) {
  for (char c : bytes) {
    if (c == 0x1A || c == 0x1C || c == 0x7F) return true;
  }
  return false;
}
bool HasSwappedControl(const QString& text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0x1A || u == 0x1C || u == 0x7F) return true;
  }
  return false;
}

// The first byte of a two-byte character.
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Decodes one character's bytes; empty when they are no character.
QString DecodeOne(QByteArrayView bytes) {
  QStringDecoder decoder(kName, QStringConverter::Flag::Stateless);
  QString out = decoder.decode(bytes);
  if (decoder.hasError() || out.isEmpty() || out.contains(QChar::ReplacementCharacter)) return {};
  return out;
}

}  // namespace

QByteArray Encode(const QString& text) {
  if (IsAscii(text)) return text.toLatin1();
  QByteArray out;
  if (!HasSwappedControl(text)) {
    QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
    out = encoder.encode(text);
    if (!encoder.hasError()) return out;
  }
  // Some character has no place in the code page (or is a kept byte): encode
  // piece by piece and leave such characters out instead of writing the
  // encoder's filler bytes.
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
  QString out;
  if (!HasSwappedControl(bytes)) {
    thread_local QStringDecoder decoder(kName, QStringConverter::Flag::Stateless);
    decoder.resetState();
    out = decoder.decode(bytes);
    const bool damaged = decoder.hasError() || out.contains(QChar::ReplacementCharacter);
    decoder.resetState();
    if (!damaged) return out;  // the code page maps nothing to U+FFFD
  }
  // Character by character: a byte that starts no character is kept.
  out.clear();
  bool afterKeptLead = false;  // the byte before was kept, and could begin a character
  auto keep = [&](unsigned char b) {
    out += QChar(static_cast<char16_t>(kByteBase + b));
    afterKeptLead = IsLeadByte(b);
  };
  for (qsizetype i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += QChar(b);
      afterKeptLead = false;
      ++i;
      continue;
    }
    const qsizetype len = IsLeadByte(b) && i + 1 < bytes.size() ? 2 : 1;
    const QByteArrayView unit = bytes.sliced(i, len);
    const QString one = DecodeOne(unit);
    if (one.isEmpty()) {
      keep(b);
      ++i;
      continue;
    }
    // A character with two forms in the code page is written in the other
    // form; right after a kept first byte that form could join it into a
    // character. Keep its bytes too, so the text is written back as read.
    if (afterKeptLead && EncodeOne(one) != unit) {
      for (qsizetype k = 0; k < len; ++k) keep(static_cast<unsigned char>(unit[k]));
      i += len;
      continue;
    }
    out += one;
    afterKeptLead = false;
    i += len;
  }
  return out;
}

bool CanEncode(const QString& text) {
  if (IsAscii(text)) return true;
  if (!HasSwappedControl(text)) {
    QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
    const QByteArray encoded = encoder.encode(text);  // encode() is lazy: convert it
    Q_UNUSED(encoded);
    if (!encoder.hasError()) return true;
  }
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    if (EncodeOne(QStringView(text).mid(i, len)).isEmpty()) return false;
    i += len;
  }
  return true;
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
