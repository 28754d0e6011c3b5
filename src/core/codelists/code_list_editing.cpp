#include "core/codelists/code_list_editing.h"

#include <QStringList>
#include <cmath>
#include <limits>
#include <utility>

#include "core/platform/codepage.h"
#include "core/platform/text_filters.h"

namespace orvanta {
namespace {

struct Subject {
  int list;
  const char16_t* word;  // what the list holds, as the instruction names it
  QColor background;
};

// The editors' caption and instruction name what the list holds.
const Subject kCodeListSubjects[] = {
    {kOccupations, u"職種", QColor(255, 0, 255)},
    {kPlaces, u"事故発生場所", QColor(0, 255, 255)},
    {kPurposes, u"器材使用目的", QColor(255, 255, 0)},
    {kCircumstances, u"事故発生状況", QColor(255, 0, 0)},
    {kDevices, u"事故原因器材", QColor(0, 255, 0)},
    {kSeverities, u"事故程度", QColor(0, 0, 255)},
    {kDepartments, u"部署", QColor()},
    {kActionTypes, u"行為別", QColor()},
};

double Luminance(const QColor& c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

}  // namespace

ListEditorSetUp CodeListEditorSetUp(int listIndex) {
  for (const Subject& s : kCodeListSubjects) {
    if (s.list != listIndex) continue;
    const QString word = QString::fromUtf16(s.word);
    return ListEditorSetUp{
        word + QStringLiteral("登録"), s.background,
        QStringLiteral("新規で%1を登録する場合は%1名を下のテキストボックスに記入して挿入ボタンをクリックしてください。")
            .arg(word)};
  }
  // Lists without an editor of their own.
  return ListEditorSetUp{QString(), QColor(), QString()};
}

ListEditorSetUp AnswerCodeEditorSetUp(int listIndex) {
  const QString instruction =
      QStringLiteral("新規で登録する場合はその名前を下のテキストボックスに記入して挿入ボタンをクリックしてください。");
  if (listIndex == kQuestion7Answers)
    return ListEditorSetUp{QStringLiteral("設問7解答"), QColor(0, 0, 255), instruction};
  return ListEditorSetUp{QStringLiteral("設問6解答"), QColor(128, 128, 128), instruction};
}

QColor TextColourOn(const QColor& background) {
  if (!background.isValid()) return QColor(Qt::black);
  // Contrast ratios against black and white text.
  const double l = Luminance(background);
  const double onBlack = (l + 0.05) / 0.05;
  const double onWhite = 1.05 / (l + 0.05);
  return onBlack >= onWhite ? QColor(Qt::black) : QColor(Qt::white);
}

QString StorableFieldText(const QString& typed) {
  QString text = RemoveCommas(typed);
  text.remove(QLatin1Char('\r'));
  text.remove(QLatin1Char('\n'));
  return cp932::KeepEncodable(cp932::ToCodePageForms(text));
}

std::optional<std::int32_t> HighestCodeId(const CodeLists& lists) {
  std::optional<std::int32_t> highest;
  for (const CodeList& list : lists) {
    for (const CodeEntry& entry : list.entries) {
      if (!highest || entry.id > *highest) highest = entry.id;
    }
  }
  return highest;
}

InsertResult InsertCodeEntry(CodeLists& lists, int listIndex, const QString& name, int before,
                             std::int32_t& lastCodeId) {
  CodeList& list = lists.at(static_cast<std::size_t>(listIndex));
  for (const CodeEntry& entry : list.entries) {
    if (entry.name == name) return InsertResult{InsertOutcome::DuplicateName};
  }
  if (list.count() >= kCodeListCapacity) return InsertResult{InsertOutcome::ListFull};

  std::int32_t m = lastCodeId;
  if (const auto highest = HighestCodeId(lists); highest && *highest > m) m = *highest;
  if (m > std::numeric_limits<std::int32_t>::max() - 2) return InsertResult{InsertOutcome::NoIdLeft};
  const std::int32_t id = m + 2;

  const int position = (before < 0 || before > list.count()) ? list.count() : before;
  list.entries.insert(position, CodeEntry{name, QString(), id});
  lastCodeId = id;
  return InsertResult{InsertOutcome::Inserted, position, id};
}

bool DeleteCodeEntry(CodeList& list, int position) {
  if (position < 0 || position >= list.count()) return false;
  list.entries.removeAt(position);
  return true;
}

RenameOutcome RenameCodeEntry(CodeList& list, int position, const QString& name) {
  if (position < 0 || position >= list.count()) return RenameOutcome::NoEntry;
  for (int p = 0; p < list.count(); ++p) {
    if (p != position && list.entries[p].name == name) return RenameOutcome::DuplicateName;
  }
  list.entries[position].name = name;
  return RenameOutcome::Renamed;
}

MoveResult MoveCodeEntry(CodeList& list, int selected, CodeEntryMove move) {
  const int n = list.count();
  if (selected < 0 || selected >= n) return MoveResult{false, selected};
  int target = selected;
  switch (move) {
    case CodeEntryMove::Up: target = selected - 1; break;
    case CodeEntryMove::Down: target = selected + 1; break;
    case CodeEntryMove::ToTop: target = 0; break;
    case CodeEntryMove::ToBottom: target = n - 1; break;
  }
  if (target < 0 || target >= n || target == selected) return MoveResult{false, selected};
  // Moving one place is a swap; to an end, the entries in between shift by one.
  list.entries.move(selected, target);
  return MoveResult{true, target};
}

SaveOutcome SaveCodeListsAndCounters(const CodeLists& lists, const QString& settingsPath,
                                     const std::function<bool(QString* error)>& writeCounters) {
  SaveOutcome outcome;
  QStringList errors;
  QString error;
  // The id counter first: stopped in between, the program skips an id
  // rather than give one that set.dat holds again.
  outcome.countersSaved = writeCounters(&error);
  if (!outcome.countersSaved) errors << error;
  error.clear();
  // set.dat is written even when ttid.dat failed: the next start moves the
  // counter on past the ids it holds.
  outcome.settingsSaved = WriteSettingsFile(settingsPath, lists, &error);
  if (!outcome.settingsSaved) errors << error;
  if (!errors.isEmpty()) {
    outcome.message = QStringLiteral("設定を保存できませんでした。\n") + errors.join(QLatin1Char('\n')) +
                      QStringLiteral("\n\n変更した内容は画面に残っています。");
  }
  return outcome;
}

bool ReloadCodeLists(const QString& settingsPath, CodeLists& lists, const CodeLists& fallback) {
  CodeLists read = lists;
  if (ReadSettingsFile(settingsPath, read).ok()) {
    lists = std::move(read);
    return true;
  }
  lists = fallback;
  return false;
}

QStringList CodeListChanges(const CodeLists& before, const CodeLists& after) {
  QStringList lines;
  auto entryText = [](const CodeEntry& e) { return QStringLiteral("「%1」（コード %2）").arg(e.name, e.code); };
  for (int k = 0; k < kCodeListCount; ++k) {
    const CodeList& was = before[static_cast<std::size_t>(k)];
    const CodeList& now = after[static_cast<std::size_t>(k)];
    if (was == now) continue;
    const QString list = QStringLiteral("コード表%1：").arg(k);
    QList<std::int32_t> wasOrder;
    QList<std::int32_t> nowOrder;
    for (const CodeEntry& e : was.entries) {
      const int at = FindEntryById(now, e.id);
      if (at < 0) {
        lines << list + QStringLiteral("削除") + entryText(e);
        continue;
      }
      wasOrder << e.id;
      const CodeEntry& n = now.entries[at];
      if (n.name != e.name || n.code != e.code)
        lines << list + QStringLiteral("変更") + entryText(e) + QStringLiteral(" → ") + entryText(n);
    }
    for (const CodeEntry& n : now.entries) {
      if (FindEntryById(was, n.id) < 0)
        lines << list + QStringLiteral("追加") + entryText(n);
      else
        nowOrder << n.id;
    }
    if (wasOrder != nowOrder) lines << list + QStringLiteral("並べ替え");
  }
  return lines;
}

}  // namespace orvanta
