#include "core/reports/note_text.h"

namespace orvanta {
namespace {

constexpr char16_t kCrMark = u'\u2228';     // ∨
constexpr char16_t kLfMark = u'\u2227';     // ∧
constexpr char16_t kIdeoComma = u'\u3001';  // 、
constexpr char16_t kWideComma = u'\uFF0C';  // ，

}  // namespace

QString NoteForStorage(const QString& typed) {
  QString out = typed;
  for (QChar& c : out) {
    switch (c.unicode()) {
      case u'\r': c = QChar(kCrMark); break;
      case u'\n': c = QChar(kLfMark); break;
      case u',':
      case kWideComma: c = QChar(kIdeoComma); break;
      default: break;
    }
  }
  return out;
}

QString NoteForDisplay(const QString& stored) {
  QString out = stored;
  for (QChar& c : out) {
    if (c.unicode() == kCrMark)
      c = QLatin1Char('\r');
    else if (c.unicode() == kLfMark)
      c = QLatin1Char('\n');
  }
  return out;
}

QString NoteFromEditor(const QString& editorText) {
  QString typed;
  typed.reserve(editorText.size() + 16);
  for (qsizetype i = 0; i < editorText.size(); ++i) {
    const QChar c = editorText.at(i);
    if (c == QLatin1Char('\r')) {
      typed += QLatin1String("\r\n");
      if (i + 1 < editorText.size() && editorText.at(i + 1) == QLatin1Char('\n')) ++i;
    } else if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
      typed += QLatin1String("\r\n");
    } else {
      typed += c;
    }
  }
  return NoteForStorage(typed);
}

QString NoteToEditor(const QString& stored) {
  QString out;
  out.reserve(stored.size());
  for (qsizetype i = 0; i < stored.size(); ++i) {
    const QChar c = stored.at(i);
    if (c.unicode() == kCrMark) {
      out += QLatin1Char('\n');
      if (i + 1 < stored.size() && stored.at(i + 1).unicode() == kLfMark) ++i;
    } else if (c.unicode() == kLfMark) {
      out += QLatin1Char('\n');
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace orvanta
