#include "gui/widgets/storable_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "core/platform/codepage.h"
#include "core/platform/prompts.h"
#include "core/platform/text_filters.h"

namespace orvanta {
namespace {

constexpr int kUnlimitedLength = 32767;  // QLineEdit's own

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
  const qsizetype limit = box->maxLength();
  box->setMaxLength(kUnlimitedLength);
  QObject::connect(box, &QLineEdit::textChanged, box, [box, filter, limit, &prompts] {
    const QString typed = box->text();
    const QString keptAll = filter(typed);
    if (keptAll == typed && keptAll.size() <= limit) return;
    // What went beyond the length is cut from where the typing or the paste
    // ended, so that what was there before stays.
    const qsizetype end = filter(typed.left(box->cursorPosition())).size();
    QString kept = keptAll;
    qsizetype cursor = end;
    if (kept.size() > limit) {
      const qsizetype from = std::max<qsizetype>(0, end - (kept.size() - limit));
      kept = keptAll.left(from) + keptAll.mid(end);
      kept.truncate(limit);
      cursor = std::min(from, limit);
    }
    const QString note = LeftOutText(typed, keptAll, keptAll.size() - kept.size(), limit);
    box->setText(kept);  // comes back here with nothing left to do
    box->setCursorPosition(static_cast<int>(cursor));
    if (!note.isEmpty()) {
      prompts.beep();
      ShowInputNote(box, note);
    }
  });
}

void ShowInputNote(QWidget* box, const QString& text) {
  QWidget* window = box->window();
  auto* note = window->findChild<QLabel*>(QStringLiteral("lblInputNote"), Qt::FindDirectChildrenOnly);
  if (!note) {
    note = new QLabel(window);
    note->setObjectName(QStringLiteral("lblInputNote"));
    note->setWordWrap(true);
    note->setAutoFillBackground(true);
    note->setBackgroundRole(QPalette::ToolTipBase);
    note->setForegroundRole(QPalette::ToolTipText);
    note->setFrameShape(QFrame::Box);
    note->setMargin(4);
    note->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* timer = new QTimer(note);
    timer->setObjectName(QStringLiteral("noteTimer"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, note, &QWidget::hide);
  }
  note->setText(text);
  const int width = std::min(std::max(box->width(), 320), window->width() - 8);
  note->setFixedWidth(width);
  note->adjustSize();
  QPoint at = box->mapTo(window, QPoint(0, box->height() + 2));
  at.setX(std::clamp(at.x(), 4, std::max(4, window->width() - width - 4)));
  if (at.y() + note->height() > window->height()) at.setY(box->mapTo(window, QPoint(0, 0)).y() - note->height() - 2);
  note->move(at);
  note->raise();
  note->show();
  note->findChild<QTimer*>(QStringLiteral("noteTimer"))->start(8000);
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
