#include "gui/codelists/code_list_editor_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "gui/codelists/answer_code_editor_window.h"
#include "gui/codelists/rename_dialog.h"
#include "gui/widgets/layout_helpers.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::Commit;
using testing::Type;
using testing::WhenModal;

const QString kSameName = u"同じ名前があります"_s;
const QString kSaveQuestion = u"設定に変更があります。保存しますか？"_s;
const QString kSaveAgain = u"本当に保存しませんか？保存しない場合は「はい」を押してください"_s;

CodeList ListOf(std::initializer_list<std::pair<const char16_t*, std::int32_t>> entries) {
  CodeList list;
  int n = 1;
  for (const auto& [name, id] : entries)
    list.entries.append(CodeEntry{QString::fromUtf16(name), QString::number(n++), id});
  return list;
}

QStringList Names(const CodeList& list) {
  QStringList out;
  for (const CodeEntry& e : list.entries) out << e.name;
  return out;
}

QStringList Items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

class CodeListEditorWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  CodeListEditorWindowTest() : TempDrive(QDateTime(QDate(2026, 12, 9), QTime(10, 30))) {
    EXPECT_TRUE(MakeOwnerOnlyFolder(state.paths.DataFolderPath()));
    state.lists[kOccupations] = ListOf({{u"医師", 1}, {u"看護師", 2}, {u"薬剤師", 3}, {u"その他", 14}});
    state.lists[kCircumstances] = ListOf({{u"採血中", 150}});
    state.lists[kQuestion6Answers] = ListOf({{u"はい", 321}, {u"いいえ", 322}});
    state.lists[kQuestion7Answers] = ListOf({{u"汚染あり", 341}, {u"汚染なし", 342}, {u"不明", 343}});
    state.lists[kDepartments] = ListOf({{u"内科", 401}});
    state.lists[kActionTypes] = ListOf({{u"採血", 451}});  // the highest id in use
    EXPECT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
    onFile = state.lists;
    state.counters.LastCodeId = 0;
  }

  std::unique_ptr<CodeListEditorWindow> open(int list) {
    state.editing.EditedList = list;
    auto window = std::make_unique<CodeListEditorWindow>(state);
    window->show();
    return window;
  }

  template <typename W = QWidget>
  static W* get(QWidget* window, const QString& name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  static QPushButton* button(QWidget* window, const QString& name) { return get<QPushButton>(window, name); }

  static void click(QWidget* window, int row) {
    auto* list = get<QListWidget>(window, u"List1"_s);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  static void typeName(QWidget* window, const QString& name) {
    auto* text1 = get<QLineEdit>(window, u"Text1"_s);
    Type(text1, name);
  }
  static void insertWithEnter(QWidget* window, const QString& name) {
    typeName(window, name);
    QTest::keyClick(get<QLineEdit>(window, u"Text1"_s), Qt::Key_Return);
  }
  static bool entryButtonsEnabled(QWidget* window) {
    bool any = false;
    for (const char* name : {"cmdname_1", "cmdname_2", "Command4_0", "Command4_1", "Command4_2", "Command4_3"})
      any = any || button(window, QString::fromLatin1(name))->isEnabled();
    return any;
  }
  CodeLists readSettings() const {
    CodeLists read;
    EXPECT_TRUE(ReadSettingsFile(state.paths.SettingsFilePath(), read).ok());
    return read;
  }

  CodeLists onFile;
};

TEST_F(CodeListEditorWindowTest, EachListHasItsCaptionColourAndInstruction) {
  const QColor normal = QApplication::palette().color(QPalette::Window);
  struct Case {
    int list;
    QString caption;
    QColor background;
    QString instruction;
  } cases[] = {
      {kOccupations, u"職種登録"_s, QColor(255, 0, 255),
       u"新規で職種を登録する場合は職種名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s},
      {kCircumstances, u"事故発生状況登録"_s, QColor(255, 0, 0),
       u"新規で事故発生状況を登録する場合は事故発生状況名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s},
      {kDepartments, u"部署登録"_s, normal,
       u"新規で部署を登録する場合は部署名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s},
  };
  for (const Case& c : cases) {
    auto w = open(c.list);
    EXPECT_EQ(w->objectName(), u"frmiin"_s);
    EXPECT_EQ(w->windowTitle(), c.caption);
    EXPECT_EQ(w->palette().color(QPalette::Window), c.background) << c.list;
    EXPECT_EQ(get<QLabel>(w.get(), u"Label2"_s)->text(), c.instruction);
    EXPECT_EQ(Items(get<QListWidget>(w.get(), u"List1"_s)), Names(onFile[c.list]));
    // Nothing is selected yet: only a name can be typed.
    EXPECT_FALSE(entryButtonsEnabled(w.get()));
    EXPECT_FALSE(button(w.get(), u"cmdname_0"_s)->isEnabled());
    EXPECT_FALSE(get<QLineEdit>(w.get(), u"Text2"_s)->isEnabled());
  }
  // The window reads set.dat when it opens: what was only in memory is gone.
  state.lists[kOccupations].entries.removeFirst();
  auto w = open(kOccupations);
  EXPECT_EQ(state.lists, onFile);
}

TEST_F(CodeListEditorWindowTest, InsertGoesToTheEndOrInFrontOfTheSelectedEntry) {
  auto w = open(kOccupations);
  auto* text1 = get<QLineEdit>(w.get(), u"Text1"_s);
  auto* list1 = get<QListWidget>(w.get(), u"List1"_s);

  // Enter with an empty box does nothing.
  QTest::keyClick(text1, Qt::Key_Return);
  EXPECT_EQ(state.lists[kOccupations], onFile[kOccupations]);

  insertWithEnter(w.get(), u"助産師"_s);
  EXPECT_EQ(state.lists[kOccupations].entries.last(), (CodeEntry{u"助産師"_s, QString(), 453}));
  EXPECT_EQ(state.counters.LastCodeId, 453);
  EXPECT_EQ(Items(list1).last(), u"助産師"_s);
  EXPECT_TRUE(text1->text().isEmpty());
  EXPECT_FALSE(button(w.get(), u"cmdname_0"_s)->isEnabled());
  EXPECT_TRUE(w->isChanged());

  click(w.get(), 1);
  EXPECT_TRUE(entryButtonsEnabled(w.get()));
  typeName(w.get(), u"技師"_s);
  button(w.get(), u"cmdname_0"_s)->click();
  EXPECT_EQ(Names(state.lists[kOccupations]),
            (QStringList{u"医師"_s, u"技師"_s, u"看護師"_s, u"薬剤師"_s, u"その他"_s, u"助産師"_s}));
  EXPECT_EQ(state.lists[kOccupations].entries[1].id, 455);
  EXPECT_EQ(list1->selectedItems().size(), 0);
  EXPECT_FALSE(entryButtonsEnabled(w.get()));

  // A name the list has already: only the message.
  const CodeLists before = state.lists;
  prompts.answer(PromptAnswer::Ok);
  insertWithEnter(w.get(), u"薬剤師"_s);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, kSameName);
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  EXPECT_EQ(state.lists, before);
  EXPECT_EQ(text1->text(), u"薬剤師"_s);
  EXPECT_EQ(state.counters.LastCodeId, 455);
}

TEST_F(CodeListEditorWindowTest, AFullListRefusesAnInsertionWithAMessage) {
  for (int i = state.lists[kDepartments].count(); i < kCodeListCapacity; ++i)
    state.lists[kDepartments].entries.append(CodeEntry{u"部署%1"_s.arg(i), QString(), 500 + i});
  ASSERT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
  const CodeLists full = state.lists;
  auto w = open(kDepartments);
  prompts.answer(PromptAnswer::Ok);
  insertWithEnter(w.get(), u"新部署"_s);
  EXPECT_EQ(prompts.last().text, u"これ以上登録できません。1つのリストに登録できるのは101項目までです。"_s);
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  EXPECT_EQ(state.lists, full);
  EXPECT_EQ(state.counters.LastCodeId, 0);
  EXPECT_FALSE(w->isChanged());
}

TEST_F(CodeListEditorWindowTest, CommasAndCharactersAFileCannotHoldAreRemovedAsTyped) {
  auto w = open(kOccupations);
  auto* text1 = get<QLineEdit>(w.get(), u"Text1"_s);
  Type(text1, u",，"_s);
  EXPECT_EQ(text1->text(), QString());
  EXPECT_FALSE(button(w.get(), u"cmdname_0"_s)->isEnabled());
  Type(text1, u"臨床,工学한技士，"_s);
  EXPECT_EQ(text1->text(), u"臨床工学技士"_s);
  // Typing goes on where the cursor was.
  text1->setCursorPosition(2);
  Type(text1, u",x"_s);
  EXPECT_EQ(text1->text(), u"臨床x工学技士"_s);

  click(w.get(), 2);
  auto* text2 = get<QLineEdit>(w.get(), u"Text2"_s);
  EXPECT_EQ(text2->text(), u"3"_s);
  text2->selectAll();
  Type(text2, u"13,-1，a"_s);
  EXPECT_EQ(text2->text(), u"13-1a"_s);
  EXPECT_EQ(state.lists[kOccupations].entries[2].code, u"13-1a"_s);
}

TEST_F(CodeListEditorWindowTest, InputMethodFormsAreKeptAsTheCodePageHoldsThemAndUnstorableInputBeeps) {
  auto w = open(kOccupations);
  auto* text1 = get<QLineEdit>(w.get(), u"Text1"_s);
  Commit(text1, u"3〜5−—‖¢£¬"_s);
  EXPECT_EQ(text1->text(), u"3～5－―∥￠￡￢"_s);
  EXPECT_EQ(prompts.beeps(), 0);
  Commit(text1, u"😀"_s);
  EXPECT_EQ(text1->text(), u"3～5－―∥￠￡￢"_s);
  EXPECT_EQ(prompts.beeps(), 1);
  QTest::keyClick(text1, Qt::Key_Return);
  EXPECT_EQ(state.lists[kOccupations].entries.last().name, u"3～5－―∥￠￡￢"_s);

  click(w.get(), 0);
  auto* text2 = get<QLineEdit>(w.get(), u"Text2"_s);
  text2->selectAll();
  Commit(text2, u"1−2😀"_s);
  EXPECT_EQ(text2->text(), u"1－2"_s);
  EXPECT_EQ(state.lists[kOccupations].entries[0].code, u"1－2"_s);
  EXPECT_EQ(prompts.beeps(), 2);

  // The rename dialog keeps its box the same way.
  QString renamed;
  int beepsInDialog = 0;
  prompts.answer(PromptAnswer::Ok, [&] {
    WhenModal(u"frmMeibo"_s, [&](QWidget* dialog) {
      auto* text = dialog->findChild<QLineEdit*>(u"Text1"_s);
      text->selectAll();
      Commit(text, u"医師〜研修医😀"_s);
      renamed = text->text();
      beepsInDialog = prompts.beeps();
      dialog->findChild<QPushButton*>(u"Command1"_s)->click();
    });
  });
  button(w.get(), u"cmdname_2"_s)->click();
  EXPECT_EQ(renamed, u"医師～研修医"_s);
  EXPECT_EQ(beepsInDialog, 3);
  EXPECT_EQ(state.lists[kOccupations].entries[0].name, u"医師～研修医"_s);
}

TEST_F(CodeListEditorWindowTest, NothingActsOnAnEntryThatIsNoLongerHighlighted) {
  for (bool answerCodes : {false, true}) {
    SCOPED_TRACE(answerCodes ? "frmiin2" : "frmiin");
    prompts.clear();
    std::unique_ptr<CodeListEditorWindow> w;
    if (answerCodes) {
      w = std::make_unique<AnswerCodeEditorWindow>(state);
      w->show();
    } else {
      w = open(kOccupations);
    }
    const int edited = state.editing.EditedList;
    auto* list = get<QListWidget>(w.get(), u"List1"_s);
    auto* code = get<QLineEdit>(w.get(), u"Text2"_s);
    click(w.get(), 1);
    ASSERT_TRUE(entryButtonsEnabled(w.get()));
    ASSERT_TRUE(code->isEnabled());
    ASSERT_EQ(code->text(), state.lists[edited].entries[1].code);

    // Ctrl+click takes the highlight off the entry.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(1)).center());
    ASSERT_TRUE(list->selectedItems().isEmpty());
    EXPECT_FALSE(entryButtonsEnabled(w.get()));
    EXPECT_FALSE(code->isEnabled());
    EXPECT_EQ(code->text(), QString());

    // Nothing deletes, renames, moves or recodes the entry no longer
    // highlighted (a prompt would fail the test).
    for (const char* name : {"cmdname_1", "cmdname_2", "Command4_0", "Command4_1", "Command4_2", "Command4_3"})
      button(w.get(), QString::fromLatin1(name))->click();
    Type(code, u"99"_s);
    EXPECT_EQ(state.lists[edited], onFile[edited]);
    EXPECT_FALSE(w->isChanged());
    EXPECT_TRUE(prompts.shown().empty()) << prompts.texts().join(u'|').toStdString();

    // A new entry then goes to the end.
    insertWithEnter(w.get(), u"新しい項目"_s);
    EXPECT_EQ(state.lists[edited].entries.last().name, u"新しい項目"_s);
    prompts.answer(PromptAnswer::No).answer(PromptAnswer::Yes);
    w->close();
    EXPECT_FALSE(w->isVisible());
  }
}

TEST_F(CodeListEditorWindowTest, ACodeChangeAloneClosesWithoutAQuestion) {
  auto w = open(kOccupations);
  click(w.get(), 0);
  auto* text2 = get<QLineEdit>(w.get(), u"Text2"_s);
  text2->selectAll();
  Type(text2, u"01"_s);
  EXPECT_EQ(state.lists[kOccupations].entries[0].code, u"01"_s);
  EXPECT_FALSE(w->isChanged());
  button(w.get(), u"Command6"_s)->click();
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(prompts.shown().empty());
  // Not saved: the next opening starts from set.dat.
  auto again = open(kOccupations);
  EXPECT_EQ(state.lists[kOccupations].entries[0].code, u"1"_s);
}

TEST_F(CodeListEditorWindowTest, DeleteAsksTwiceAndRemovesOnlyAfterTwoOks) {
  struct Case {
    std::vector<PromptAnswer> answers;
    bool deleted;
  } cases[] = {
      {{PromptAnswer::Ok, PromptAnswer::Ok}, true},
      {{PromptAnswer::Cancel}, false},
      {{PromptAnswer::Ok, PromptAnswer::Cancel}, false},
  };
  for (const Case& c : cases) {
    prompts.clear();
    auto w = open(kOccupations);
    click(w.get(), 1);
    for (PromptAnswer a : c.answers) prompts.answer(a);
    button(w.get(), u"cmdname_1"_s)->click();
    ASSERT_EQ(prompts.shown().size(), c.answers.size());
    EXPECT_EQ(prompts.shown()[0].text, u"削除すると関連したデータもすべて削除されます。本当に削除しますか？"_s);
    EXPECT_EQ(prompts.shown()[0].title, u"削除"_s);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
    if (c.answers.size() > 1) {
      EXPECT_EQ(prompts.shown()[1].text, u"本当に削除しますか？"_s);
      EXPECT_EQ(prompts.shown()[1].title, u"再確認"_s);
      EXPECT_EQ(prompts.shown()[1].icon, PromptIcon::Exclamation);
      EXPECT_EQ(prompts.shown()[1].buttons, PromptButtons::OkCancel);
    }
    const QStringList expected =
        c.deleted ? QStringList{u"医師"_s, u"薬剤師"_s, u"その他"_s} : Names(onFile[kOccupations]);
    EXPECT_EQ(Names(state.lists[kOccupations]), expected);
    EXPECT_EQ(Items(get<QListWidget>(w.get(), u"List1"_s)), expected);
    EXPECT_EQ(w->isChanged(), c.deleted);
    EXPECT_EQ(entryButtonsEnabled(w.get()), !c.deleted);
  }
}

TEST_F(CodeListEditorWindowTest, DeletingTheOnlyEntryLeavesAnEmptyList) {
  auto w = open(kDepartments);
  click(w.get(), 0);
  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Ok);
  button(w.get(), u"cmdname_1"_s)->click();
  EXPECT_EQ(state.lists[kDepartments].count(), 0);
  EXPECT_EQ(get<QListWidget>(w.get(), u"List1"_s)->count(), 0);
  // The code box has no entry to write to any more.
  EXPECT_FALSE(get<QLineEdit>(w.get(), u"Text2"_s)->isEnabled());
}

// What the rename dialog is given to do once it is open.
enum class InDialog { TypeAndOk, EmptyOk, Cancel, Escape };

TEST_F(CodeListEditorWindowTest, RenameGoesThroughTheRenameDialog) {
  struct Case {
    InDialog action;
    QString typed;
    QString expectedName;
    bool sameNameMessage;
  } cases[] = {
      {InDialog::TypeAndOk, u"看護,師(病棟)，"_s, u"看護師(病棟)"_s, false},
      {InDialog::TypeAndOk, u"看護師"_s, u"看護師"_s, false},  // its own name
      {InDialog::EmptyOk, QString(), u"看護師"_s, false},
      {InDialog::Cancel, u"別名"_s, u"看護師"_s, false},
      {InDialog::Escape, u"別名"_s, u"看護師"_s, false},
      {InDialog::TypeAndOk, u"医師"_s, u"看護師"_s, true},  // the name of another entry
  };
  for (const Case& c : cases) {
    prompts.clear();
    auto w = open(kOccupations);
    click(w.get(), 1);
    QString shownName;
    QString dialogTitle;
    bool busyWhileOpen = true;
    prompts.answer(PromptAnswer::Ok, [&] {
      WhenModal(u"frmMeibo"_s, [&](QWidget* dialog) {
        dialogTitle = dialog->windowTitle();
        busyWhileOpen = prompts.busy();
        auto* text = dialog->findChild<QLineEdit*>(u"Text1"_s);
        shownName = text->text();
        text->clear();
        Type(text, c.typed);
        switch (c.action) {
          case InDialog::TypeAndOk: dialog->findChild<QPushButton*>(u"Command1"_s)->click(); break;
          case InDialog::EmptyOk:
            text->clear();
            dialog->findChild<QPushButton*>(u"Command1"_s)->click();
            break;
          case InDialog::Cancel: dialog->findChild<QPushButton*>(u"Command2"_s)->click(); break;
          case InDialog::Escape: QTest::keyClick(text, Qt::Key_Escape); break;
        }
      });
    });
    if (c.sameNameMessage) prompts.answer(PromptAnswer::Ok);
    button(w.get(), u"cmdname_2"_s)->click();

    ASSERT_GE(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              u"名前を変更しても過去のデータはそのまま維持されます\n"
              u"異なる項目名にする場合は「削除」「挿入」を行ってください。"_s);
    EXPECT_EQ(prompts.shown()[0].title, u"変更確認"_s);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(dialogTitle, u"項目名変更"_s);
    EXPECT_EQ(shownName, u"看護師"_s);
    EXPECT_FALSE(busyWhileOpen);
    EXPECT_FALSE(prompts.busy());
    if (c.sameNameMessage) {
      EXPECT_EQ(prompts.last().text, kSameName);
      EXPECT_FALSE(w->isChanged());
    } else {
      EXPECT_EQ(prompts.shown().size(), 1u);
      EXPECT_TRUE(w->isChanged());  // also when the name stayed
    }
    const CodeEntry& entry = state.lists[kOccupations].entries[1];
    EXPECT_EQ(entry, (CodeEntry{c.expectedName, u"2"_s, 2}));
    EXPECT_EQ(get<QListWidget>(w.get(), u"List1"_s)->item(1)->text(), c.expectedName);
  }
  // Cancel to the question: the dialog never opens.
  prompts.clear();
  auto w = open(kOccupations);
  click(w.get(), 1);
  prompts.answer(PromptAnswer::Cancel);
  button(w.get(), u"cmdname_2"_s)->click();
  EXPECT_EQ(state.lists, onFile);
  EXPECT_FALSE(w->isChanged());
}

TEST_F(CodeListEditorWindowTest, MovesFollowTheEntryAndMarkTheWindowEvenWhenNothingMoves) {
  auto w = open(kOccupations);
  auto* list1 = get<QListWidget>(w.get(), u"List1"_s);
  auto* text2 = get<QLineEdit>(w.get(), u"Text2"_s);
  click(w.get(), 0);
  button(w.get(), u"Command4_0"_s)->click();  // "∧" on the first entry
  EXPECT_EQ(state.lists, onFile);
  EXPECT_TRUE(w->isChanged());
  EXPECT_EQ(list1->currentRow(), 0);

  click(w.get(), 2);
  button(w.get(), u"Command4_2"_s)->click();  // "≫": to the top
  EXPECT_EQ(Items(list1), (QStringList{u"薬剤師"_s, u"医師"_s, u"看護師"_s, u"その他"_s}));
  EXPECT_EQ(list1->selectedItems(), QList<QListWidgetItem*>{list1->item(0)});
  EXPECT_EQ(text2->text(), u"3"_s);
  EXPECT_TRUE(entryButtonsEnabled(w.get()));
  button(w.get(), u"Command4_1"_s)->click();  // "∨"
  button(w.get(), u"Command4_3"_s)->click();  // "≪": to the bottom
  EXPECT_EQ(Names(state.lists[kOccupations]), (QStringList{u"医師"_s, u"看護師"_s, u"その他"_s, u"薬剤師"_s}));
  EXPECT_EQ(state.lists[kOccupations].entries[3], (CodeEntry{u"薬剤師"_s, u"3"_s, 3}));
  EXPECT_EQ(list1->currentRow(), 3);
  // The code box follows the moved entry.
  text2->selectAll();
  Type(text2, u"13"_s);
  EXPECT_EQ(state.lists[kOccupations].entries[3].code, u"13"_s);
}

// How the user closes the window.
enum class CloseBy { Return, CloseBox, Escape };

TEST_F(CodeListEditorWindowTest, TheCloseQuestionSavesDiscardsOrKeepsTheWindowOpen) {
  struct Case {
    CloseBy how;
    std::vector<PromptAnswer> answers;
    bool closes;
    bool saved;
  } cases[] = {
      {CloseBy::Return, {PromptAnswer::Yes}, true, true},
      {CloseBy::CloseBox, {PromptAnswer::No, PromptAnswer::Yes}, true, false},
      {CloseBy::Escape, {PromptAnswer::No, PromptAnswer::No}, false, false},
      {CloseBy::Return, {PromptAnswer::Cancel}, false, false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), onFile));
    QFile::remove(state.paths.IdFilePath());
    prompts.clear();
    auto w = open(kOccupations);
    insertWithEnter(w.get(), u"助産師"_s);
    const CodeLists edited = state.lists;
    const std::int32_t id = state.counters.LastCodeId;
    for (PromptAnswer a : c.answers) prompts.answer(a);
    switch (c.how) {
      case CloseBy::Return: button(w.get(), u"Command6"_s)->click(); break;
      case CloseBy::CloseBox: w->close(); break;
      case CloseBy::Escape: QTest::keyClick(get<QLineEdit>(w.get(), u"Text1"_s), Qt::Key_Escape); break;
    }
    ASSERT_EQ(prompts.shown().size(), c.answers.size());
    EXPECT_EQ(prompts.shown()[0].text, kSaveQuestion);
    EXPECT_EQ(prompts.shown()[0].title, u"保存確認"_s);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::YesNoCancel);
    if (c.answers.size() > 1) {
      EXPECT_EQ(prompts.shown()[1].text, kSaveAgain);
      EXPECT_EQ(prompts.shown()[1].title, u"保存再確認"_s);
      EXPECT_EQ(prompts.shown()[1].icon, PromptIcon::Question);
      EXPECT_EQ(prompts.shown()[1].buttons, PromptButtons::YesNo);
    }
    EXPECT_EQ(w->isVisible(), !c.closes);
    EXPECT_EQ(w->isChanged(), !c.closes);
    EXPECT_EQ(readSettings(), c.saved ? edited : onFile);
    EXPECT_EQ(QFile::exists(state.paths.IdFilePath()), c.saved);
    if (c.saved) {
      IdCounters counters;
      ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), counters).ok());
      EXPECT_EQ(counters.LastCodeId, id);
    }
    // Discarding returns the lists to set.dat; staying keeps the edits.
    EXPECT_EQ(state.lists, c.closes && !c.saved ? onFile : edited);
    EXPECT_EQ(state.counters.LastCodeId, id);
  }
}

TEST_F(CodeListEditorWindowTest, AfterSavingClosingStillAsks) {
  auto w = open(kOccupations);
  insertWithEnter(w.get(), u"助産師"_s);
  button(w.get(), u"Command5"_s)->click();
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(readSettings(), state.lists);
  EXPECT_TRUE(w->isChanged());
  // Discarding now returns to what was saved.
  const CodeLists saved = state.lists;
  click(w.get(), 0);
  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Ok);
  button(w.get(), u"cmdname_1"_s)->click();
  prompts.answer(PromptAnswer::No).answer(PromptAnswer::Yes);
  w->close();
  EXPECT_EQ(prompts.shown()[2].text, kSaveQuestion);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(state.lists, saved);
}

TEST_F(CodeListEditorWindowTest, IdsOfDiscardedEntriesAreNotGivenAgain) {
  {
    auto w = open(kOccupations);
    insertWithEnter(w.get(), u"助産師"_s);
    EXPECT_EQ(state.lists[kOccupations].entries.last().id, 453);
    prompts.answer(PromptAnswer::No).answer(PromptAnswer::Yes);
    w->close();
    EXPECT_FALSE(w->isVisible());
  }
  EXPECT_EQ(state.lists, onFile);
  auto w = open(kDepartments);
  insertWithEnter(w.get(), u"外科"_s);
  EXPECT_EQ(state.lists[kDepartments].entries.last().id, 455);
}

TEST_F(CodeListEditorWindowTest, AFailedSaveIsToldAndTheWindowKeepsItsEdits) {
  ASSERT_TRUE(QFile::remove(state.paths.SettingsFilePath()));
  ASSERT_TRUE(QDir().mkdir(state.paths.SettingsFilePath()));  // set.dat cannot be written
  auto w = open(kOccupations);
  EXPECT_EQ(state.lists, onFile);  // unreadable: the lists stay as they were
  insertWithEnter(w.get(), u"助産師"_s);
  const CodeLists edited = state.lists;

  prompts.answer(PromptAnswer::Ok);
  button(w.get(), u"Command5"_s)->click();
  EXPECT_TRUE(prompts.last().text.startsWith(u"設定を保存できませんでした。\n"_s)) << prompts.last().text.toStdString();
  EXPECT_TRUE(prompts.last().text.contains(u"set.dat"_s));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);

  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  w->close();
  EXPECT_EQ(prompts.shown()[1].text, kSaveQuestion);
  EXPECT_TRUE(prompts.last().text.startsWith(u"設定を保存できませんでした。\n"_s));
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->isChanged());
  EXPECT_EQ(state.lists, edited);

  // Discarding with set.dat unreadable returns to the lists as the window found them.
  prompts.answer(PromptAnswer::No).answer(PromptAnswer::Yes);
  w->close();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(state.lists, onFile);
}

TEST_F(CodeListEditorWindowTest, RenameDialogHandsBackTheCurrentNameUnlessOkWithText) {
  struct Case {
    QString typed;
    bool ok;
    QString handedBack;
  } cases[] = {
      {u"新しい,名前"_s, true, u"新しい名前"_s},
      {QString(), true, u"元の名前"_s},
      {u",，"_s, true, u"元の名前"_s},
      {u"新しい名前"_s, false, u"元の名前"_s},
  };
  for (const Case& c : cases) {
    RenameDialog dialog(state, u"元の名前"_s);
    EXPECT_EQ(dialog.objectName(), u"frmMeibo"_s);
    auto* text = get<QLineEdit>(&dialog, u"Text1"_s);
    EXPECT_EQ(text->text(), u"元の名前"_s);
    text->clear();
    Type(text, c.typed);
    button(&dialog, c.ok ? u"Command1"_s : u"Command2"_s)->click();
    EXPECT_EQ(dialog.handedBackName(), c.handedBack) << c.typed.toStdString();
  }
}

TEST_F(CodeListEditorWindowTest, BothEditorsPlaceTheirControlsAsDesigned) {
  // Name, left, top, width (0: any) in twips; the answer-code editor sits lower.
  using Place = std::tuple<const char*, int, int, int>;
  const std::vector<Place> codeList = {
      {"Label2", 180, 135, 0},       {"Command5", 3720, 180, 0},    {"List1", 150, 960, 8145},
      {"Command4_0", 8430, 1170, 0}, {"Command4_1", 8430, 1530, 0}, {"Command4_2", 8430, 2010, 0},
      {"Command4_3", 8430, 2370, 0}, {"Label1", 9540, 1230, 0},     {"Text2", 9240, 1500, 0},
      {"Label3", 9150, 2010, 0},     {"Command6", 9480, 3690, 0},   {"cmdname_0", 3720, 4710, 0},
      {"cmdname_2", 4680, 4710, 0},  {"cmdname_1", 5640, 4710, 0},  {"Text1", 150, 5070, 8145},
  };
  const std::vector<Place> answerCode = {
      {"Option1_0", 750, 930, 6855}, {"Option1_1", 750, 1620, 6855}, {"Command5", 3720, 180, 0},
      {"List1", 210, 2400, 8115},    {"Command4_0", 8460, 2610, 0},  {"Command4_3", 8460, 3810, 0},
      {"Label1", 9540, 3990, 0},     {"Text2", 9240, 4260, 0},       {"Label3", 9150, 4770, 0},
      {"cmdname_0", 3750, 6150, 0},  {"Text1", 210, 6510, 8115},     {"Command6", 9480, 6450, 0},
  };
  auto check = [](QWidget* window, const std::vector<Place>& places) {
    for (const auto& [name, left, top, width] : places) {
      auto* w = window->findChild<QWidget*>(QString::fromLatin1(name));
      ASSERT_NE(w, nullptr) << name;
      EXPECT_EQ(w->pos(), QPoint(Twips(left), Twips(top))) << window->objectName().toStdString() << " " << name;
      if (width) {
        EXPECT_EQ(w->width(), Twips(width)) << name;
      }
    }
  };
  auto editor = open(kOccupations);
  check(editor.get(), codeList);
  EXPECT_EQ(get<QListWidget>(editor.get(), u"List1"_s)->height(), Twips(3570));
  AnswerCodeEditorWindow answers(state);
  check(&answers, answerCode);
}

class AnswerCodeEditorTest : public CodeListEditorWindowTest {};

TEST_F(AnswerCodeEditorTest, OpensOnQuestion6AndSwitchingDiscardsUnsavedEdits) {
  state.editing.EditedList = kOccupations;
  AnswerCodeEditorWindow w(state);
  w.show();
  auto* list1 = get<QListWidget>(&w, u"List1"_s);
  auto* option6 = get<QRadioButton>(&w, u"Option1_0"_s);
  auto* option7 = get<QRadioButton>(&w, u"Option1_1"_s);
  EXPECT_EQ(w.objectName(), u"frmiin2"_s);
  EXPECT_TRUE(option6->isChecked());
  EXPECT_EQ(state.editing.EditedList, kQuestion6Answers);
  EXPECT_EQ(w.windowTitle(), u"設問6解答"_s);
  EXPECT_EQ(w.palette().color(QPalette::Window), QColor(128, 128, 128));
  EXPECT_EQ(option6->palette().color(QPalette::Window), QColor(128, 128, 128));
  EXPECT_EQ(get<QLabel>(&w, u"Label2"_s)->text(),
            u"新規で登録する場合はその名前を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s);
  EXPECT_EQ(option6->text(), u"設問6(受傷者自身が原因器材を患者に使っているときの受傷でしたか)に対する回答"_s);
  EXPECT_EQ(option7->text(), u"設問7(器材は血液・体液などに汚染されていましたか)に対する回答"_s);
  EXPECT_EQ(Items(list1), Names(onFile[kQuestion6Answers]));

  // Ids come from the one counter of all lists.
  insertWithEnter(&w, u"どちらでもない"_s);
  EXPECT_EQ(state.lists[kQuestion6Answers].entries.last().id, 453);
  click(&w, 0);
  EXPECT_TRUE(entryButtonsEnabled(&w));

  option7->click();
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(state.editing.EditedList, kQuestion7Answers);
  EXPECT_EQ(w.windowTitle(), u"設問7解答"_s);
  EXPECT_EQ(w.palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(option7->palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(Items(list1), Names(onFile[kQuestion7Answers]));
  EXPECT_FALSE(entryButtonsEnabled(&w));
  EXPECT_FALSE(w.isChanged());

  option6->click();
  EXPECT_EQ(state.lists, onFile);
  EXPECT_EQ(Items(list1), Names(onFile[kQuestion6Answers]));
  w.close();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(prompts.shown().empty());

  // The next entry still gets a new id.
  AnswerCodeEditorWindow again(state);
  again.show();
  insertWithEnter(&again, u"どちらでもない"_s);
  EXPECT_EQ(state.lists[kQuestion6Answers].entries.last().id, 455);
}

TEST_F(AnswerCodeEditorTest, EditsOfQuestion7AreSavedAndAskedAboutLikeTheOtherLists) {
  AnswerCodeEditorWindow w(state);
  w.show();
  get<QRadioButton>(&w, u"Option1_1"_s)->click();
  click(&w, 2);
  button(&w, u"Command4_0"_s)->click();
  prompts.answer(PromptAnswer::Yes);
  button(&w, u"Command6"_s)->click();
  EXPECT_EQ(prompts.last().text, kSaveQuestion);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(Names(readSettings()[kQuestion7Answers]), (QStringList{u"汚染あり"_s, u"不明"_s, u"汚染なし"_s}));
}

}  // namespace
}  // namespace orvanta
