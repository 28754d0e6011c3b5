#include "core/codelists/code_list_editing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

#include "core/platform/value_file.h"
#include "core/reports/data_file.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

CodeList ListOf(std::initializer_list<const char16_t*> names, std::int32_t firstId = 1) {
  CodeList list;
  std::int32_t id = firstId;
  for (const char16_t* name : names) {
    const QString n = QString::fromUtf16(name);
    list.entries.append(CodeEntry{n, u"c-"_s + n, id++});
  }
  return list;
}

QStringList Names(const CodeList& list) {
  QStringList out;
  for (const CodeEntry& e : list.entries) out << e.name;
  return out;
}

QList<std::int32_t> Ids(const CodeList& list) {
  QList<std::int32_t> out;
  for (const CodeEntry& e : list.entries) out << e.id;
  return out;
}

// List 0 holds A, B, C (ids 1 to 3); the highest id in use (40) is in
// another list, and list 10 is empty.
CodeLists Fixture() {
  CodeLists lists;
  lists[0] = ListOf({u"A", u"B", u"C"});
  lists[4] = ListOf({u"器材"}, 40);
  return lists;
}

TEST(CodeListEditing, InsertPlacesTheEntryInFrontOfTheSelectedOneOrAtTheEnd) {
  struct Case {
    int before;
    QStringList names;
    int position;
  } cases[] = {
      {-1, {u"A"_s, u"B"_s, u"C"_s, u"新"_s}, 3},
      {0, {u"新"_s, u"A"_s, u"B"_s, u"C"_s}, 0},
      {1, {u"A"_s, u"新"_s, u"B"_s, u"C"_s}, 1},
      {2, {u"A"_s, u"B"_s, u"新"_s, u"C"_s}, 2},
  };
  for (const Case& c : cases) {
    CodeLists lists = Fixture();
    std::int32_t last = 10;
    const InsertResult r = InsertCodeEntry(lists, 0, u"新"_s, c.before, last);
    ASSERT_EQ(r.outcome, InsertOutcome::Inserted) << c.before;
    EXPECT_EQ(Names(lists[0]), c.names) << c.before;
    EXPECT_EQ(r.position, c.position);
    const CodeEntry& added = lists[0].entries[c.position];
    EXPECT_EQ(added.code, QString());
    EXPECT_EQ(added.id, 42);  // two above the highest id of all lists
    EXPECT_EQ(r.id, 42);
    EXPECT_EQ(last, 42);
    // The others keep their codes and ids.
    EXPECT_EQ(lists[0].entries[c.position == 0 ? 1 : 0].code, u"c-A"_s);
    EXPECT_EQ(lists[4], Fixture()[4]);
  }
}

TEST(CodeListEditing, NewIdIsTwoAboveTheHigherOfAllIdsAndTheCounter) {
  struct Case {
    std::int32_t counter;
    std::int32_t reservedId;  // an entry of list 10; 0 for none
    std::int32_t expected;
  } cases[] = {
      {10, 0, 42},     // highest id wins
      {40, 0, 42},     // equal
      {100, 0, 102},   // the counter wins: ids of discarded entries are not given again
      {10, 500, 502},  // the reserved list counts too
  };
  for (const Case& c : cases) {
    CodeLists lists = Fixture();
    if (c.reservedId) lists[kReservedList].entries.append(CodeEntry{u"予備"_s, QString(), c.reservedId});
    std::int32_t last = c.counter;
    EXPECT_EQ(InsertCodeEntry(lists, 0, u"X"_s, -1, last).id, c.expected) << c.counter << " " << c.reservedId;
    EXPECT_EQ(last, c.expected);
    // The next one again two above.
    EXPECT_EQ(InsertCodeEntry(lists, 0, u"Y"_s, -1, last).id, c.expected + 2);
  }
  // All lists empty: two above the counter.
  CodeLists empty;
  std::int32_t last = 0;
  EXPECT_EQ(InsertCodeEntry(empty, 6, u"はい"_s, -1, last).id, 2);
}

TEST(CodeListEditing, InsertRefusalsChangeNothing) {
  CodeLists full = Fixture();
  for (int i = 3; i < kCodeListCapacity; ++i) full[0].entries.append(CodeEntry{QString::number(i), {}, 100 + i});
  ASSERT_EQ(full[0].count(), 101);
  CodeLists nearlyFull = full;
  nearlyFull[0].entries.removeLast();

  CodeLists noIdLeft = Fixture();
  noIdLeft[5].entries.append(CodeEntry{u"大"_s, {}, std::numeric_limits<std::int32_t>::max() - 1});

  struct Case {
    const char* what;
    CodeLists lists;
    QString name;
    InsertOutcome outcome;
  } cases[] = {
      {"same name", Fixture(), u"B"_s, InsertOutcome::DuplicateName},
      {"101 entries", full, u"新"_s, InsertOutcome::ListFull},
      {"duplicate in full list", full, u"A"_s, InsertOutcome::DuplicateName},
      {"no id left", noIdLeft, u"新"_s, InsertOutcome::NoIdLeft},
  };
  for (Case& c : cases) {
    const CodeLists before = c.lists;
    std::int32_t last = 7;
    EXPECT_EQ(InsertCodeEntry(c.lists, 0, c.name, 1, last).outcome, c.outcome) << c.what;
    EXPECT_EQ(c.lists, before) << c.what;
    EXPECT_EQ(last, 7) << c.what;
  }
  // A name differing only in width or case is another name; the 101st entry fits.
  CodeLists lists = Fixture();
  std::int32_t last = 0;
  EXPECT_EQ(InsertCodeEntry(lists, 0, u"Ａ"_s, -1, last).outcome, InsertOutcome::Inserted);
  EXPECT_EQ(InsertCodeEntry(lists, 0, u"a"_s, -1, last).outcome, InsertOutcome::Inserted);
  EXPECT_EQ(InsertCodeEntry(nearlyFull, 0, u"新"_s, -1, last).outcome, InsertOutcome::Inserted);
  EXPECT_EQ(nearlyFull[0].count(), 101);
}

TEST(CodeListEditing, DeleteMovesTheFollowingEntriesUp) {
  CodeList list = ListOf({u"A", u"B", u"C"});
  EXPECT_TRUE(DeleteCodeEntry(list, 1));
  EXPECT_EQ(Names(list), (QStringList{u"A"_s, u"C"_s}));
  EXPECT_EQ(Ids(list), (QList<std::int32_t>{1, 3}));
  EXPECT_FALSE(DeleteCodeEntry(list, 2));
  EXPECT_FALSE(DeleteCodeEntry(list, -1));
  EXPECT_TRUE(DeleteCodeEntry(list, 1));
  EXPECT_TRUE(DeleteCodeEntry(list, 0));
  EXPECT_EQ(list.count(), 0);  // the last entry can go
  EXPECT_FALSE(DeleteCodeEntry(list, 0));
}

TEST(CodeListEditing, RenameRefusesOnlyANameOfAnotherEntry) {
  CodeList list = ListOf({u"A", u"B", u"C"});
  EXPECT_EQ(RenameCodeEntry(list, 1, u"C"_s), RenameOutcome::DuplicateName);
  EXPECT_EQ(list, ListOf({u"A", u"B", u"C"}));
  EXPECT_EQ(RenameCodeEntry(list, 1, u"B"_s), RenameOutcome::Renamed);  // its own name
  EXPECT_EQ(list, ListOf({u"A", u"B", u"C"}));
  EXPECT_EQ(RenameCodeEntry(list, 1, u"ビー"_s), RenameOutcome::Renamed);
  EXPECT_EQ(list.entries[1], (CodeEntry{u"ビー"_s, u"c-B"_s, 2}));  // code and id stay
  EXPECT_EQ(RenameCodeEntry(list, 3, u"D"_s), RenameOutcome::NoEntry);
}

TEST(CodeListEditing, MovesKeepEachEntryWholeAndReportTheNewPosition) {
  struct Case {
    CodeEntryMove move;
    int selected;
    QList<std::int32_t> ids;  // A..D are ids 1..4
    bool moved;
    int newSelected;
  } cases[] = {
      {CodeEntryMove::Up, 0, {1, 2, 3, 4}, false, 0},      {CodeEntryMove::Up, 2, {1, 3, 2, 4}, true, 1},
      {CodeEntryMove::Up, 3, {1, 2, 4, 3}, true, 2},       {CodeEntryMove::Down, 3, {1, 2, 3, 4}, false, 3},
      {CodeEntryMove::Down, 0, {2, 1, 3, 4}, true, 1},     {CodeEntryMove::Down, 2, {1, 2, 4, 3}, true, 3},
      {CodeEntryMove::ToTop, 0, {1, 2, 3, 4}, false, 0},   {CodeEntryMove::ToTop, 2, {3, 1, 2, 4}, true, 0},
      {CodeEntryMove::ToTop, 3, {4, 1, 2, 3}, true, 0},    {CodeEntryMove::ToBottom, 3, {1, 2, 3, 4}, false, 3},
      {CodeEntryMove::ToBottom, 1, {1, 3, 4, 2}, true, 3}, {CodeEntryMove::ToBottom, 0, {2, 3, 4, 1}, true, 3},
      {CodeEntryMove::Down, 4, {1, 2, 3, 4}, false, 4},  // no entry there
  };
  for (const Case& c : cases) {
    CodeList list = ListOf({u"A", u"B", u"C", u"D"});
    const MoveResult r = MoveCodeEntry(list, c.selected, c.move);
    const std::string label = std::to_string(static_cast<int>(c.move)) + "@" + std::to_string(c.selected);
    EXPECT_EQ(Ids(list), c.ids) << label;
    EXPECT_EQ(r.moved, c.moved) << label;
    EXPECT_EQ(r.selected, c.newSelected) << label;
    for (const CodeEntry& e : list.entries) EXPECT_EQ(e.code, u"c-"_s + QChar(u'A' + e.id - 1)) << label;
  }
  // A single entry and an empty list: nothing ever moves.
  for (CodeEntryMove m : {CodeEntryMove::Up, CodeEntryMove::Down, CodeEntryMove::ToTop, CodeEntryMove::ToBottom}) {
    CodeList one = ListOf({u"A"});
    EXPECT_FALSE(MoveCodeEntry(one, 0, m).moved);
    CodeList none;
    EXPECT_FALSE(MoveCodeEntry(none, 0, m).moved);
  }
}

TEST(CodeListEditing, TypedNamesAndCodesLoseWhatAFileCannotHold) {
  EXPECT_EQ(StorableFieldText(u"7,-1，x"_s), u"7-1x"_s);
  EXPECT_EQ(StorableFieldText(u"a\r\nb"_s), u"ab"_s);
  EXPECT_EQ(StorableFieldText(u"病棟한😀①～"_s), u"病棟①～"_s);
}

TEST(CodeListEditing, EachListHasItsCaptionColourAndInstruction) {
  const ListEditorSetUp occupations = CodeListEditorSetUp(kOccupations);
  EXPECT_EQ(occupations.caption, u"職種登録"_s);
  EXPECT_EQ(occupations.background, QColor(255, 0, 255));
  EXPECT_EQ(occupations.instruction,
            u"新規で職種を登録する場合は職種名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s);
  const ListEditorSetUp places = CodeListEditorSetUp(kPlaces);
  EXPECT_EQ(places.caption, u"事故発生場所登録"_s);
  EXPECT_EQ(places.background, QColor(0, 255, 255));
  EXPECT_EQ(
      places.instruction,
      u"新規で事故発生場所を登録する場合は事故発生場所名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s);
  EXPECT_EQ(CodeListEditorSetUp(kSeverities).background, QColor(0, 0, 255));
  const ListEditorSetUp actions = CodeListEditorSetUp(kActionTypes);
  EXPECT_EQ(actions.caption, u"行為別登録"_s);
  EXPECT_FALSE(actions.background.isValid());  // the normal window colour
  EXPECT_EQ(
      actions.instruction,
      u"新規で行為別を登録する場合は行為別名を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s);
  EXPECT_EQ(CodeListEditorSetUp(kDepartments).caption, u"部署登録"_s);

  const QString answerInstruction =
      u"新規で登録する場合はその名前を下のテキストボックスに記入して挿入ボタンをクリックしてください。"_s;
  EXPECT_EQ(AnswerCodeEditorSetUp(6).caption, u"設問6解答"_s);
  EXPECT_EQ(AnswerCodeEditorSetUp(6).background, QColor(128, 128, 128));
  EXPECT_EQ(AnswerCodeEditorSetUp(6).instruction, answerInstruction);
  EXPECT_EQ(AnswerCodeEditorSetUp(7).caption, u"設問7解答"_s);
  EXPECT_EQ(AnswerCodeEditorSetUp(7).background, QColor(0, 0, 255));
  EXPECT_EQ(AnswerCodeEditorSetUp(7).instruction, answerInstruction);

  // Text stays readable: white only on the dark blue.
  EXPECT_EQ(TextColourOn(QColor(0, 0, 255)), QColor(Qt::white));
  EXPECT_EQ(TextColourOn(QColor(255, 0, 255)), QColor(Qt::black));
  EXPECT_EQ(TextColourOn(QColor(128, 128, 128)), QColor(Qt::black));
  EXPECT_EQ(TextColourOn(QColor()), QColor(Qt::black));
}

class CodeListEditingFiles : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  SaveOutcome save(const CodeLists& lists, const IdCounters& counters) {
    return SaveCodeListsAndCounters(lists, path("set.dat"), [&](QString* error) {
      settingsBeforeCounters = QFile::exists(path("set.dat"));
      return WriteIdFile(path("ttid.dat"), counters, error);
    });
  }
  QTemporaryDir dir;
  bool settingsBeforeCounters = false;
};

TEST_F(CodeListEditingFiles, SavingWritesBothFilesThatReadBack) {
  CodeLists lists = Fixture();
  const IdCounters counters{42, 7, 1, 1500};
  const SaveOutcome saved = save(lists, counters);
  EXPECT_TRUE(saved.ok());
  EXPECT_TRUE(saved.message.isEmpty());
  // The counter first: a program stopped in between skips an id rather than
  // hand out again one that set.dat holds.
  EXPECT_FALSE(settingsBeforeCounters);
  CodeLists read;
  ASSERT_TRUE(ReadSettingsFile(path("set.dat"), read).ok());
  EXPECT_EQ(read, lists);
  IdCounters readCounters;
  ASSERT_TRUE(ReadIdFile(path("ttid.dat"), readCounters).ok());
  EXPECT_EQ(readCounters, counters);
}

TEST_F(CodeListEditingFiles, AFailedSaveIsToldAndTheOtherFileIsStillWritten) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(u"set.dat"_s));  // set.dat cannot be written
  const IdCounters counters{42, 0, 0, 0};
  const SaveOutcome saved = save(Fixture(), counters);
  EXPECT_FALSE(saved.ok());
  EXPECT_FALSE(saved.settingsSaved);
  EXPECT_TRUE(saved.countersSaved);  // the id counter never falls behind
  EXPECT_TRUE(saved.message.startsWith(u"設定を保存できませんでした。"_s)) << saved.message.toStdString();
  EXPECT_TRUE(saved.message.contains(u"set.dat"_s));
  EXPECT_FALSE(saved.message.contains(u"ttid.dat"_s));
  IdCounters read;
  ASSERT_TRUE(ReadIdFile(path("ttid.dat"), read).ok());
  EXPECT_EQ(read.LastCodeId, 42);

  // And the other way round: the next start moves the counter past set.dat.
  ASSERT_TRUE(QDir(dir.path()).rmdir(u"set.dat"_s));
  ASSERT_TRUE(QFile::remove(path("ttid.dat")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(u"ttid.dat"_s));
  const SaveOutcome other = save(Fixture(), counters);
  EXPECT_FALSE(other.countersSaved);
  EXPECT_TRUE(other.settingsSaved);
  EXPECT_TRUE(other.message.contains(u"ttid.dat"_s));
  CodeLists lists;
  ASSERT_TRUE(ReadSettingsFile(path("set.dat"), lists).ok());
  EXPECT_EQ(lists, Fixture());
}

TEST_F(CodeListEditingFiles, ReloadReadsTheFileOrFallsBackWhole) {
  CodeLists onFile = Fixture();
  ASSERT_TRUE(WriteSettingsFile(path("set.dat"), onFile));
  CodeLists edited = onFile;
  edited[0].entries.removeFirst();
  edited[4].entries.clear();
  CodeLists fallback;
  fallback[1] = ListOf({u"前"});

  CodeLists lists = edited;
  EXPECT_TRUE(ReloadCodeLists(path("set.dat"), lists, fallback));
  EXPECT_EQ(lists, onFile);

  lists = edited;
  EXPECT_FALSE(ReloadCodeLists(path("missing.dat"), lists, fallback));
  EXPECT_EQ(lists, fallback);

  // A file that breaks off after list 0 must not leave a mixture.
  QFile cut(path("cut.dat"));
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(" 1 \r\nX\r\n1\r\n 5 \r\n 2 \r\n");
  cut.close();
  lists = edited;
  EXPECT_FALSE(ReloadCodeLists(path("cut.dat"), lists, fallback));
  EXPECT_EQ(lists, fallback);
}

}  // namespace
}  // namespace orvanta
