#pragma once
// Editing one code list: insert, delete, rename and the four moves, the ids
// of new entries, saving the lists with the id counter and reading them back.
// Used by the code-list editor and the answer-code editor.

#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/codelists/code_lists.h"

namespace orvanta {

// What an editor shows for one list.
struct ListEditorSetUp {
  QString caption;      // the window caption
  QColor background;    // the window's background; invalid: the normal window colour
  QString instruction;  // the text above the list (Label2)
};

// The code-list editor (frmiin): lists 0 to 5, 8 and 9.
ListEditorSetUp CodeListEditorSetUp(int listIndex);
// The answer-code editor (frmiin2): lists 6 and 7.
ListEditorSetUp AnswerCodeEditorSetUp(int listIndex);

// Black or white, whichever reads better on the background.
QColor TextColourOn(const QColor& background);

// A typed name or code as it may be stored: without commas and line breaks,
// the characters input methods type for code-page characters in their
// code-page forms (cp932::ToCodePageForms), and without the characters that
// code page 932 cannot hold.
QString StorableFieldText(const QString& typed);

// The largest id of all entries of all lists; nullopt when every list is empty.
std::optional<std::int32_t> HighestCodeId(const CodeLists& lists);

enum class InsertOutcome {
  Inserted,
  DuplicateName,  // an entry of the list has the name already
  ListFull,       // the list holds kCodeListCapacity entries
  NoIdLeft,       // no id above the highest one fits in 32 bits
};
struct InsertResult {
  InsertOutcome outcome = InsertOutcome::Inserted;
  int position = -1;    // where the new entry went
  std::int32_t id = 0;  // its id
};

// Inserts a new entry named name with an empty code into list listIndex, in
// front of position before, or at the end when before is -1 (or past the
// end). Its id is M + 2, M being the larger of the highest id of all lists
// and lastCodeId; lastCodeId becomes M + 2. When refused, nothing changes.
InsertResult InsertCodeEntry(CodeLists& lists, int listIndex, const QString& name, int before,
                             std::int32_t& lastCodeId);

// Removes the entry at position; the entries after it move up. False when
// there is no entry there.
bool DeleteCodeEntry(CodeList& list, int position);

enum class RenameOutcome { Renamed, DuplicateName, NoEntry };
// Gives the entry at position a new name; its code and id stay. Refused when
// an entry at another position has that name. The entry's own name is fine.
RenameOutcome RenameCodeEntry(CodeList& list, int position, const QString& name);

enum class CodeEntryMove { Up, Down, ToTop, ToBottom };
struct MoveResult {
  bool moved = false;  // false: the entry was already at that end (or there is none)
  int selected = 0;    // the selected position afterwards
};
// Moves the entry at the selected position one place up or down, or to the
// top or the bottom; the entry keeps its name, code and id.
MoveResult MoveCodeEntry(CodeList& list, int selected, CodeEntryMove move);

struct SaveOutcome {
  bool settingsSaved = false;  // set.dat
  bool countersSaved = false;  // ttid.dat
  QString message;             // for the user when something failed; empty otherwise
  bool ok() const { return settingsSaved && countersSaved; }
};
// Writes the counters (with LastCodeId) to ttid.dat through writeCounters,
// which returns false with the reason in error when it fails (ttid.dat is
// written by its reader's side, core/reports/data_file.h), and then the lists
// to set.dat. Each file is written even when the other fails;
// a file that fails keeps its previous contents, and nothing in memory
// changes.
SaveOutcome SaveCodeListsAndCounters(const CodeLists& lists, const QString& settingsPath,
                                     const std::function<bool(QString* error)>& writeCounters);

// What changed between two states of the lists, one line per entry, for the
// access log: "コード表3：追加「看護師」（コード 2）", "…：削除「…」（コード …）",
// "…：変更「旧名」（コード 1） → 「新名」（コード 1）", "…：並べ替え".
QStringList CodeListChanges(const CodeLists& before, const CodeLists& after);

// Reads set.dat into the lists again. When the file cannot be read whole the
// lists become fallback (what they held when they were last known to match
// the file), never a mixture of the file and memory. True when read.
bool ReloadCodeLists(const QString& settingsPath, CodeLists& lists, const CodeLists& fallback);

}  // namespace orvanta
