#pragma once
// Keeping what the user types within what a stored field can hold, as it is
// typed: what is shown is what is stored. Characters that input methods type
// for code-page characters take their code-page forms; a character code page
// 932 cannot hold is dropped, and the user hears a beep.

#include <QString>

class QLineEdit;
class QWidget;
class QPlainTextEdit;

namespace orvanta {

class Prompts;

// What a line box may hold, worked out from what was typed into it.
using LineFilter = QString (*)(const QString&);

// Rewrites the box to what `filter` keeps of its text; the cursor keeps its
// place among the characters kept. True when a character code page 932
// cannot hold was dropped (commas and line breaks the filter takes out do not
// count: those go without a sound).
bool FilterLineBox(QLineEdit* box, LineFilter filter);

// Keeps the box filtered as text is typed or pasted into it, and within the
// box's maxLength (cut here rather than by the box, so that the cut is
// known). Whatever is left out is told with a beep and a note under the box
// that says what and why (ShowInputNote); nothing goes without a word.
void KeepLineBoxStorable(QLineEdit* box, LineFilter filter, Prompts& prompts);

// Shows text in a small note just under the box ("lblInputNote", one per
// window), for a few seconds or until the next note.
void ShowInputNote(QWidget* box, const QString& text);

// A multi-line box: input-method forms take their code-page forms and
// characters code page 932 cannot hold are taken out, leaving everything else
// (line breaks, commas) as typed. True when a character was dropped.
bool FilterNoteBox(QPlainTextEdit* box);

}  // namespace orvanta
