#include "gui/widgets/storable_text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "core/platform/codepage.h"
#include "core/platform/prompts.h"

namespace orvanta {
namespace {

// A character would be dropped: it has no place in the code page even in
// its code-page form.
bool LosesCharacters(const QString& text) { return !cp932::CanEncode(cp932::ToCodePageForms(text)); }

}  // namespace

bool FilterLineBox(QLineEdit* box, LineFilter filter) {
  const QString text = box->text();
  const QString kept = filter(text);
  if (kept == text) return false;
  const int keptBeforeCursor = static_cast<int>(filter(text.left(box->cursorPosition())).size());
  box->setText(kept);
  box->setCursorPosition(keptBeforeCursor);
  return LosesCharacters(text);
}

void KeepLineBoxStorable(QLineEdit* box, LineFilter filter, Prompts& prompts) {
  QObject::connect(box, &QLineEdit::textChanged, box, [box, filter, &prompts] {
    if (FilterLineBox(box, filter)) prompts.beep();
  });
  QObject::connect(box, &QLineEdit::inputRejected, box, [&prompts] { prompts.beep(); });
}

bool FilterNoteBox(QPlainTextEdit* box) {
  const QString text = box->toPlainText();
  const QString forms = cp932::ToCodePageForms(text);
  if (forms == text && cp932::CanEncode(text)) return false;
  bool dropped = false;
  QTextCursor cursor(box->document());
  cursor.beginEditBlock();
  // From the end, so that the positions before stay valid.
  for (qsizetype i = text.size(); i > 0;) {
    qsizetype start = i - 1;
    if (text.at(start).isLowSurrogate() && start > 0 && text.at(start - 1).isHighSurrogate()) --start;
    const QString piece = forms.mid(start, i - start);
    const bool mapped = piece != text.mid(start, i - start);
    const bool storable = !cp932::KeepEncodable(piece).isEmpty();
    if (mapped || !storable) {
      cursor.setPosition(static_cast<int>(start));
      cursor.setPosition(static_cast<int>(i), QTextCursor::KeepAnchor);
      if (storable) {
        cursor.insertText(piece);
      } else {
        cursor.removeSelectedText();
        dropped = true;
      }
    }
    i = start;
  }
  cursor.endEditBlock();
  return dropped;
}

}  // namespace orvanta
