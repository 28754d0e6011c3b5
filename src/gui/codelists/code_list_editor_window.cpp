#include "gui/codelists/code_list_editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/app/app_state.h"
#include "core/codelists/code_list_editing.h"
#include "core/platform/prompts.h"
#include "gui/codelists/rename_dialog.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {
namespace {

const QString kSameName = QStringLiteral("同じ名前があります");
const QString kListFull = QStringLiteral("これ以上登録できません。1つのリストに登録できるのは101項目までです。");
const QString kNoIdLeft = QStringLiteral("これ以上登録できません。新しい項目に付けるIDがありません。");

// Where the controls sit, in twips. The answer-code editor has its option
// buttons at the top and the rest lower down.
struct Placement {
  int width, height;                    // client area
  int listLeft, listTop, listWidth;     // List1, 3570 high
  int moveLeft, moveTop;                // Command4(0); the others below it
  int label1Top, text2Top, label3Top;   // the code column
  int command6Top;                      // "戻る"
  int cmdnameLeft, cmdnameTop;          // "挿入"; "変更" and "削除" to its right
  int text1Left, text1Top, text1Width;  // the new name
};

constexpr Placement kCodeListPlacement{10815, 5580, 150,  960,  8145, 8430, 1170, 1230,
                                       1500,  2010, 3690, 3720, 4710, 150,  5070, 8145};
constexpr Placement kAnswerCodePlacement{10815, 7020, 210,  2400, 8115, 8460, 2610, 3990,
                                         4260,  4770, 6450, 3750, 6150, 210,  6510, 8115};
constexpr int kMoveOffsets[4] = {0, 360, 840, 1200};
constexpr int kListHeight = 3570;

}  // namespace

CodeListEditorWindow::CodeListEditorWindow(AppState& state, QWidget* parent)
    : CodeListEditorWindow(state, Variant::CodeLists, parent) {
  setUpList();
}

CodeListEditorWindow::CodeListEditorWindow(AppState& state, Variant variant, QWidget* parent)
    : QDialog(parent), state_(state), fileLists_(state.lists) {
  setObjectName(variant == Variant::CodeLists ? QStringLiteral("frmiin") : QStringLiteral("frmiin2"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  const Placement& p = variant == Variant::CodeLists ? kCodeListPlacement : kAnswerCodePlacement;
  setFixedSize(Twips(p.width), Twips(p.height));

  instructionLabel_ = Named(new QLabel(this), "Label2");
  instructionLabel_->setWordWrap(true);
  instructionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PlaceTw(instructionLabel_, 180, 135, 3450, 810);

  saveButton_ = Named(NewButton(this, QStringLiteral("保存")), "Command5");
  PlaceTw(saveButton_, 3720, 180, 915, 375);

  entryList_ = Named(new QListWidget(this), "List1");
  entryList_->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTw(entryList_, p.listLeft, p.listTop, p.listWidth, kListHeight);

  const QString arrows[4] = {QStringLiteral("∧"), QStringLiteral("∨"), QStringLiteral("≫"), QStringLiteral("≪")};
  for (int i = 0; i < 4; ++i) {
    moveButtons_[i] = Named(NewButton(this, arrows[i]), "Command4", i);
    PlaceTw(moveButtons_[i], p.moveLeft, p.moveTop + kMoveOffsets[i], 615, 345);
  }

  codeCaption_ = Named(new QLabel(QStringLiteral("コード"), this), "Label1");
  PlaceTw(codeCaption_, 9540, p.label1Top);
  codeBox_ = Named(new QLineEdit(this), "Text2");
  PlaceTw(codeBox_, 9240, p.text2Top, 1215, 300);
  codeHint_ = Named(
      new QLabel(
          QStringLiteral("左のリストでそれぞれの項目をクリックしてから、それぞれのコードを設定(記入)してください。"),
          this),
      "Label3");
  codeHint_->setWordWrap(true);
  codeHint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PlaceTw(codeHint_, 9150, p.label3Top, 1545, 1590);

  backButton_ = Named(NewButton(this, QStringLiteral("戻る")), "Command6");
  PlaceTw(backButton_, 9480, p.command6Top, 915, 375);

  // The buttons under the list, left to right: 挿入 (0), 変更 (2), 削除 (1).
  entryButtons_[kInsert] = Named(NewButton(this, QStringLiteral("挿入")), "cmdname", kInsert);
  entryButtons_[kRename] = Named(NewButton(this, QStringLiteral("変更")), "cmdname", kRename);
  entryButtons_[kDelete] = Named(NewButton(this, QStringLiteral("削除")), "cmdname", kDelete);
  PlaceTw(entryButtons_[kInsert], p.cmdnameLeft, p.cmdnameTop, 915, 345);
  PlaceTw(entryButtons_[kRename], p.cmdnameLeft + 960, p.cmdnameTop, 915, 345);
  PlaceTw(entryButtons_[kDelete], p.cmdnameLeft + 1920, p.cmdnameTop, 915, 345);

  newNameBox_ = Named(new QLineEdit(this), "Text1");
  PlaceTw(newNameBox_, p.text1Left, p.text1Top, p.text1Width, 300);

  // Names and codes keep only what set.dat can hold.
  KeepLineBoxStorable(newNameBox_, StorableFieldText, state_.prompts());
  KeepLineBoxStorable(codeBox_, StorableFieldText, state_.prompts());
  connect(newNameBox_, &QLineEdit::textChanged, this, &CodeListEditorWindow::onNewNameChanged);
  connect(newNameBox_, &QLineEdit::returnPressed, this, [this] {
    if (entryButtons_[kInsert]->isEnabled()) entryButtons_[kInsert]->click();
  });
  connect(codeBox_, &QLineEdit::textEdited, this, &CodeListEditorWindow::onCodeEdited);
  connect(entryList_, &QListWidget::itemSelectionChanged, this, &CodeListEditorWindow::onListSelectionChanged);
  connect(entryButtons_[kInsert], &QPushButton::clicked, this, &CodeListEditorWindow::insertEntry);
  connect(entryButtons_[kDelete], &QPushButton::clicked, this, &CodeListEditorWindow::deleteEntry);
  connect(entryButtons_[kRename], &QPushButton::clicked, this, &CodeListEditorWindow::renameEntry);
  for (int i = 0; i < 4; ++i) connect(moveButtons_[i], &QPushButton::clicked, this, [this, i] { moveEntry(i); });
  connect(saveButton_, &QPushButton::clicked, this, [this] { saveLists(); });
  connect(backButton_, &QPushButton::clicked, this, &CodeListEditorWindow::reject);

  onNewNameChanged();
  setEntryButtonsEnabled(false);
}

CodeList& CodeListEditorWindow::list() const {
  return state_.lists.at(static_cast<std::size_t>(state_.editing.EditedList));
}

ListEditorSetUp CodeListEditorWindow::setUpFor(int listIndex) const { return CodeListEditorSetUp(listIndex); }

void CodeListEditorWindow::applyBackground(const QColor& background, const QColor& text) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, background);
  pal.setColor(QPalette::WindowText, text);
  setPalette(pal);
  setAutoFillBackground(true);
}

// Saves the lists and the counters; a failure is told and nothing in memory
// is lost.
bool CodeListEditorWindow::saveLists() {
  const SaveOutcome saved = SaveCodeListsAndCounters(
      state_.lists, state_.paths.SettingsFilePath(),
      [this](QString* error) { return WriteIdFile(state_.paths.IdFilePath(), state_.counters, error); });
  if (saved.settingsSaved) {
    for (const QString& line : CodeListChanges(fileLists_, state_.lists))
      state_.log.record({log_kind::kCodeList, 0, line, {}});
    fileLists_ = state_.lists;
  }
  if (!saved.ok()) state_.prompts().message(saved.message, QString(), PromptIcon::Critical);
  return saved.ok();
}

void CodeListEditorWindow::reloadLists() {
  ReloadCodeLists(state_.paths.SettingsFilePath(), state_.lists, fileLists_);
  fileLists_ = state_.lists;
  changed_ = false;
}

void CodeListEditorWindow::fillList() {
  filling_ = true;
  entryList_->clear();
  for (const CodeEntry& entry : list().entries) entryList_->addItem(entry.name);
  filling_ = false;
}

void CodeListEditorWindow::setUpList() {
  reloadLists();
  const ListEditorSetUp setUp = setUpFor(state_.editing.EditedList);
  setWindowTitle(setUp.caption);
  const QPalette normal = QApplication::palette(this);
  const QColor background = setUp.background.isValid() ? setUp.background : normal.color(QPalette::Window);
  const QColor text = setUp.background.isValid() ? TextColourOn(setUp.background) : normal.color(QPalette::WindowText);
  applyBackground(background, text);
  instructionLabel_->setText(setUp.instruction);
  fillList();
  // The list has just been filled: no entry is selected.
  setEntryButtonsEnabled(false);
}

void CodeListEditorWindow::showSelectedCode() {
  const CodeList& l = list();
  codeBox_->setText(selectedPosition_ >= 0 && selectedPosition_ < l.count() ? l.entries[selectedPosition_].code
                                                                            : QString());
}

// 削除, 変更, the four moves and the code box act on the selected entry, so
// they are usable only while one is selected.
void CodeListEditorWindow::setEntryButtonsEnabled(bool enabled) {
  entryButtons_[kDelete]->setEnabled(enabled);
  entryButtons_[kRename]->setEnabled(enabled);
  for (QPushButton* b : moveButtons_) b->setEnabled(enabled);
  if (!enabled) codeBox_->clear();
  codeBox_->setEnabled(enabled);
}

void CodeListEditorWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  setEntryButtonsEnabled(false);
  newNameBox_->setFocus();
}

void CodeListEditorWindow::onNewNameChanged() {
  // The box's text as it stands: the comma filter may have changed it since.
  entryButtons_[kInsert]->setEnabled(!newNameBox_->text().isEmpty());
}

void CodeListEditorWindow::onCodeEdited(const QString& text) {
  // Setting a code is not an edit the close question asks about.
  CodeList& l = list();
  if (!codeBox_->isEnabled() || selectedPosition_ < 0 || selectedPosition_ >= l.count()) return;
  l.entries[selectedPosition_].code = StorableFieldText(text);
}

void CodeListEditorWindow::onListSelectionChanged() {
  if (filling_) return;
  const int position = highlightedPosition();
  if (position < 0) {
    // The highlight was taken off (Ctrl+click): nothing acts on an entry the
    // user no longer sees chosen.
    setEntryButtonsEnabled(false);
    return;
  }
  selectedPosition_ = position;
  setEntryButtonsEnabled(true);
  showSelectedCode();
}

int CodeListEditorWindow::highlightedPosition() const {
  const QList<QListWidgetItem*> items = entryList_->selectedItems();
  return items.isEmpty() ? -1 : entryList_->row(items.first());
}

void CodeListEditorWindow::selectEntry(int position) {
  entryList_->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
  if (entryList_->currentRow() == position) entryList_->scrollToItem(entryList_->item(position));
}

void CodeListEditorWindow::commonEnd() {
  changed_ = true;
  fillList();
  setEntryButtonsEnabled(false);
}

void CodeListEditorWindow::insertEntry() {
  const QString name = StorableFieldText(newNameBox_->text());
  if (name.isEmpty()) return;
  const int before = highlightedPosition();
  const InsertResult result =
      InsertCodeEntry(state_.lists, state_.editing.EditedList, name, before, state_.counters.LastCodeId);
  switch (result.outcome) {
    case InsertOutcome::DuplicateName: state_.prompts().message(kSameName); return;
    case InsertOutcome::ListFull: state_.prompts().message(kListFull, QString(), PromptIcon::Exclamation); return;
    case InsertOutcome::NoIdLeft: state_.prompts().message(kNoIdLeft, QString(), PromptIcon::Exclamation); return;
    case InsertOutcome::Inserted: break;
  }
  newNameBox_->clear();
  commonEnd();
}

void CodeListEditorWindow::deleteEntry() {
  const int position = highlightedPosition();
  if (position < 0) return;
  if (state_.prompts().message(QStringLiteral("削除すると関連したデータもすべて削除されます。本当に削除しますか？"),
                               QStringLiteral("削除"), PromptIcon::Critical,
                               PromptButtons::OkCancel) != PromptAnswer::Ok)
    return;
  if (state_.prompts().message(QStringLiteral("本当に削除しますか？"), QStringLiteral("再確認"),
                               PromptIcon::Exclamation, PromptButtons::OkCancel) != PromptAnswer::Ok)
    return;
  if (!DeleteCodeEntry(list(), position)) return;
  commonEnd();
}

void CodeListEditorWindow::renameEntry() {
  const int position = highlightedPosition();
  if (position < 0) return;
  if (state_.prompts().message(QStringLiteral("名前を変更しても過去のデータはそのまま維持されます\n"
                                              "異なる項目名にする場合は「削除」「挿入」を行ってください。"),
                               QStringLiteral("変更確認"), PromptIcon::Critical,
                               PromptButtons::OkCancel) != PromptAnswer::Ok)
    return;
  if (position >= list().count()) return;
  state_.prompts().setBusy(true);
  const QString name = RenameDialog::Ask(state_, list().entries[position].name, this);
  state_.prompts().setBusy(false);
  if (RenameCodeEntry(list(), position, name) == RenameOutcome::DuplicateName) {
    state_.prompts().message(kSameName);
    return;
  }
  commonEnd();
}

void CodeListEditorWindow::moveEntry(int button) {
  static constexpr CodeEntryMove kMoves[4] = {CodeEntryMove::Up, CodeEntryMove::Down, CodeEntryMove::ToTop,
                                              CodeEntryMove::ToBottom};
  if (highlightedPosition() < 0) return;
  changed_ = true;
  const MoveResult result = MoveCodeEntry(list(), selectedPosition_, kMoves[button]);
  if (!result.moved) return;
  selectedPosition_ = result.selected;
  fillList();
  // Selecting the entry acts like a click on it.
  selectEntry(selectedPosition_);
}

bool CodeListEditorWindow::mayClose() {
  if (!changed_) return true;
  changed_ = false;
  const PromptAnswer answer =
      state_.prompts().message(QStringLiteral("設定に変更があります。保存しますか？"), QStringLiteral("保存確認"),
                               PromptIcon::Question, PromptButtons::YesNoCancel);
  if (answer == PromptAnswer::Yes) {
    if (saveLists()) return true;
    // Nothing was lost: the window stays with its edits.
    changed_ = true;
    return false;
  }
  if (answer == PromptAnswer::No) {
    if (state_.prompts().message(QStringLiteral("本当に保存しませんか？保存しない場合は「はい」を押してください"),
                                 QStringLiteral("保存再確認"), PromptIcon::Question,
                                 PromptButtons::YesNo) == PromptAnswer::Yes) {
      reloadLists();
      return true;
    }
  }
  changed_ = true;
  return false;
}

// The close box, Escape and "戻る" all come here.
void CodeListEditorWindow::reject() {
  if (closeGuard_.allows([this] { return mayClose(); })) QDialog::reject();
}

}  // namespace orvanta
