#pragma once
// Keeping what the user types within what a stored field can hold, as it is
// typed: what is shown is what is stored. Characters that input methods type
// for code-page characters take their code-page forms; a character code page
// 932 cannot hold is dropped, and the user hears a beep.

#include <QString>

class QLineEdit;
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

// Keeps the box filtered as text is typed or pasted into it, with a beep for
// a dropped character and for input the box refuses (a paste cut to the
// box's length).
void KeepLineBoxStorable(QLineEdit* box, LineFilter filter, Prompts& prompts);

// A multi-line box: input-method forms take their code-page forms and
// characters code page 932 cannot hold are taken out, leaving everything else
// (line breaks, commas) as typed. True when a character was dropped.
bool FilterNoteBox(QPlainTextEdit* box);

}  // namespace orvanta
