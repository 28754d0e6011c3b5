#pragma once
// The code-list editor (frmiin): one code list at a time, named by
// EditedList. Inserts, deletes, renames and moves entries and sets their
// codes, all on the shared lists in memory; "保存" writes set.dat and
// ttid.dat, and closing asks about unsaved edits. The answer-code editor
// (frmiin2) is the same window with two option buttons above it.

#include <QDialog>
#include <array>

#include "core/codelists/code_lists.h"
#include "gui/widgets/close_guard.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvanta {

class AppState;
struct ListEditorSetUp;

class CodeListEditorWindow : public QDialog {
  Q_OBJECT
 public:
  // frmiin on the list EditedList names; it reads set.dat at once.
  explicit CodeListEditorWindow(AppState& state, QWidget* parent = nullptr);

  // Whether there are edits the close question would ask about.
  bool isChanged() const { return changed_; }

 protected:
  enum class Variant { CodeLists, AnswerCodes };
  // Builds the controls; the answer-code editor places them lower down and
  // sets up its list itself once its option buttons exist.
  CodeListEditorWindow(AppState& state, Variant variant, QWidget* parent);

  // Reads set.dat again, sets up the window for EditedList and fills the
  // list (hajime).
  void setUpList();
  // The caption, background and instruction of the list being edited.
  virtual ListEditorSetUp setUpFor(int listIndex) const;
  // Applies the background; the answer-code editor colours its options too.
  virtual void applyBackground(const QColor& background, const QColor& text);

  AppState& state() const { return state_; }

  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  enum { kInsert = 0, kDelete = 1, kRename = 2 };

  CodeList& list() const;
  // Writes set.dat and ttid.dat (hozon); a failure is told.
  bool saveLists();
  // Reads the lists again from set.dat and clears the changed mark (modosi).
  void reloadLists();
  // Fills the list box with the names of the edited list (lstIre).
  void fillList();
  // The code of the selected entry into the code box (hyouji).
  void showSelectedCode();
  void setEntryButtonsEnabled(bool enabled);
  void selectEntry(int position);
  // The position of the entry highlighted in the list; -1 when none is.
  int highlightedPosition() const;

  void onNewNameChanged();
  void onCodeEdited(const QString& text);
  void onListSelectionChanged();
  void insertEntry();
  void deleteEntry();
  void renameEntry();
  void moveEntry(int button);
  void commonEnd();
  // The close question; true when the window may close.
  bool mayClose();

  AppState& state_;
  bool changed_ = false;
  int selectedPosition_ = 0;
  bool filling_ = false;
  CloseGuard closeGuard_;
  // The lists as set.dat held them when last read or saved: what a discard
  // returns to when set.dat cannot be read.
  CodeLists fileLists_;

  QLabel* instructionLabel_ = nullptr;          // Label2
  QPushButton* saveButton_ = nullptr;           // 保存
  QListWidget* entryList_ = nullptr;            // List1
  std::array<QPushButton*, 4> moveButtons_{};   // ∧ ∨ ≫ ≪
  QLabel* codeCaption_ = nullptr;               // コード
  QLineEdit* codeBox_ = nullptr;                // Text2
  QLabel* codeHint_ = nullptr;                  // Label3
  QPushButton* backButton_ = nullptr;           // 戻る
  std::array<QPushButton*, 3> entryButtons_{};  // 挿入, 削除, 変更 (kInsert, kDelete, kRename)
  QLineEdit* newNameBox_ = nullptr;             // Text1
};

}  // namespace orvanta
