#pragma once
// The stored form of the multi-line answers (notes). A data file holds one
// value per line, so a note keeps its line breaks as two marks: a carriage
// return as "∨" and a line feed as "∧" (a typed line break, CR LF, becomes
// "∨∧"). Commas would end a value for older readers, so "," and "，" are
// stored as "、".

#include <QString>

namespace orvanta {

// The stored form of a note as typed: CR -> "∨", LF -> "∧", "," and "，" -> "、".
QString NoteForStorage(const QString& typed);

// The text of a stored note: "∨" -> CR, "∧" -> LF.
QString NoteForDisplay(const QString& stored);

// For a note edited in a text editor, whose lines are separated by a single
// LF (or by the paragraph separator U+2029): every line break is stored as a
// whole typed line break, "∨∧", so a note reads the same in every program
// that shows the data files.
QString NoteFromEditor(const QString& editorText);

// The text of a stored note for a text editor: "∨∧", a lone "∨" and a lone
// "∧" each become one LF.
QString NoteToEditor(const QString& stored);

}  // namespace orvanta
