// The report window's step buttons, search and deletion, driven through
// the widgets on small collections of several data files.

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_navigation.h"
#include "gui/reports/report_window.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using testing::Retype;
using testing::ScriptedPrompts;
using testing::WhenModal;

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 30, 40));
constexpr int kMissing = -1;

class FailingRenames : public DataFileOps {
 public:
  int failAt = 0;  // 1-based number of the rename that fails
  int renames = 0;
  bool rename(const QString& from, const QString& to) override {
    return ++renames != failAt && DataFileOps::rename(from, to);
  }
};

class ReportNavigationWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ReportNavigationWindowTest() : TempDrive(kNow) {}
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    state.counters.LastCodeId = 470;
  }

  // Data files with the given report counts (kMissing: no such file),
  // reports numbered on from 1 and named after their id; the window will
  // stand at the last report of the newest file, as the main window leaves
  // it, unless StandAt says otherwise.
  void Collection(std::initializer_list<int> files, const std::function<void(ReportRecord&)>& edit = {}) {
    int id = 1, n = 0;
    for (int count : files) {
      if (count != kMissing) {
        std::vector<ReportRecord> table;
        for (int i = 0; i < count; ++i) {
          ReportRecord r;
          r.ReportId = id++;
          r.Texts[kRecordNumber] = QStringLiteral("K%1").arg(r.ReportId);
          r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(r.ReportId);
          r.Years = {2025, 2025, 0};
          r.Months = {6, 6, 0};
          r.Days = {1, 2, 0};
          if (edit) edit(r);
          table.push_back(r);
        }
        ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), table));
        state.dataFile.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(count);
      }
      ++n;
    }
    state.counters.LastReportId = state.counters.TotalReports = id - 1;
    state.counters.NewestFileNo = static_cast<std::int16_t>(n - 1);
    StandAt(n - 1, -1);
  }
  void StandAt(int fileNo, int index) {
    LoadDataFile(state.dataFile, state.paths, fileNo);
    state.dataFile.CurrentIndex = index < 0 ? std::max(0, state.dataFile.ReportCount() - 1) : index;
  }
  // The report ids of data file n on disk; nullopt when it is not there.
  std::optional<std::vector<int>> IdsOnDisk(int n) {
    if (!QFile::exists(state.paths.DataFilePath(n))) return std::nullopt;
    std::vector<ReportRecord> table;
    EXPECT_TRUE(ReadDataFile(state.paths.DataFilePath(n), table).ok()) << n;
    std::vector<int> ids;
    for (const ReportRecord& r : table) ids.push_back(r.ReportId);
    return ids;
  }

  template <typename T>
  static T* Find(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static void Click(const ReportWindow& w, const char* button) { Find<QPushButton>(w, button)->click(); }
  static QString Label(const ReportWindow& w) { return Find<QLabel>(w, "Label9_0")->text(); }
  static QString Name(const ReportWindow& w) { return Find<QLineEdit>(w, "Text1_5")->text(); }
  // Where the window stands: position label and the reporter's name shown.
  static std::pair<QString, QString> At(const ReportWindow& w) { return {Label(w), Name(w)}; }
  static std::pair<QString, QString> Shown(const char* label, int id) {
    return {QString::fromLatin1(label), QStringLiteral("報告者%1").arg(id)};
  }

  // Clicks line `row` of the open result window after checking its lines.
  static void ChooseLine(const QStringList& expected, int row) {
    WhenModal(QStringLiteral("frmkekka"), [expected, row](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("検索結果"));
      EXPECT_EQ(Find<QLabel>(*dialog, "Label1")->text(), QStringLiteral("表示したいカルテをクリックしてください。"));
      auto* list = Find<QListView>(*dialog, "List1");
      QStringList lines;
      for (int r = 0; r < list->model()->rowCount(); ++r) lines << list->model()->index(r, 0).data().toString();
      EXPECT_EQ(lines, expected);
      const QModelIndex index = list->model()->index(row, 0);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
      if (dialog->isVisible()) {
        ADD_FAILURE() << "a click did not close the result window";
        dialog->close();
      }
    });
  }
};

TEST_F(ReportNavigationWindowTest, StepButtonsCrossFileBoundariesAndSaveTheFileLeftWhenChanged) {
  Collection({2, 3, 2});
  const QByteArray file1 = FileBytes(state.paths.DataFilePath(1));
  ReportWindow w(state);
  w.show();
  EXPECT_EQ(At(w), Shown(" 7/ 7", 7));

  // "▼" and "▼▼" on the last report do nothing.
  Click(w, "Command3");
  Click(w, "Command5");
  EXPECT_EQ(At(w), Shown(" 7/ 7", 7));

  Click(w, "Command2");
  EXPECT_EQ(At(w), Shown(" 6/ 7", 6));
  Click(w, "Command2");  // into file 1: file 2 unchanged, nothing written
  EXPECT_EQ(At(w), Shown(" 5/ 7", 5));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  EXPECT_FALSE(QFile::exists(state.paths.IdFilePath()));

  // An edit stays in memory while the window moves within the file...
  Retype(Find<QLineEdit>(w, "Text1_5"), QStringLiteral("変更後"));
  Click(w, "Command2");
  EXPECT_EQ(At(w), Shown(" 4/ 7", 4));
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), file1);
  // ...and is written when the file is left.
  Click(w, "Command4");
  EXPECT_EQ(At(w), Shown(" 1/ 7", 1));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_FALSE(w.isChanged());
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(1), saved).ok());
  EXPECT_EQ(saved[2].Texts[kReporterName], QStringLiteral("変更後"));
  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 7 \r\n 2 \r\n 7 \r\n"));

  // "▲" and "▲▲" on the first report do nothing.
  Click(w, "Command2");
  Click(w, "Command4");
  EXPECT_EQ(At(w), Shown(" 1/ 7", 1));

  Click(w, "Command3");
  Click(w, "Command3");  // the last of file 0 to the first of file 1
  EXPECT_EQ(At(w), Shown(" 3/ 7", 3));
  Click(w, "Command5");
  EXPECT_EQ(At(w), Shown(" 7/ 7", 7));
  Click(w, "Command2");
  Click(w, "Command2");  // the first of file 2 to the last of file 1
  EXPECT_EQ(At(w), std::make_pair(QStringLiteral(" 5/ 7"), QStringLiteral("変更後")));
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReportNavigationWindowTest, StepsPassOverAMissingDataFile) {
  Collection({kMissing, 2, kMissing, 2});
  ReportWindow w(state);
  EXPECT_EQ(At(w), Shown(" 4/ 4", 4));
  Click(w, "Command2");
  Click(w, "Command2");  // over file 2
  EXPECT_EQ(At(w), Shown(" 2/ 4", 2));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  Click(w, "Command3");
  EXPECT_EQ(At(w), Shown(" 3/ 4", 3));
  Click(w, "Command4");  // file 0 holds none: the first report is in file 1
  EXPECT_EQ(At(w), Shown(" 1/ 4", 1));
  Click(w, "Command2");
  EXPECT_EQ(At(w), Shown(" 1/ 4", 1));
  EXPECT_EQ(state.dataFile.CurrentIndex, 0);
  Click(w, "Command5");
  EXPECT_EQ(At(w), Shown(" 4/ 4", 4));
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReportNavigationWindowTest, SearchInBothKindsListsHitsFromEveryFileAndShowsTheChosenOne) {
  const std::map<int, std::pair<const char16_t*, const char16_t*>> fields{
      {1, {u"A-12", u"佐藤一郎"}}, {2, {u"B-7", u"山田花子"}}, {3, {u"C-120", u"佐藤一郎"}}, {4, {u"D-5", u"山田太郎"}},
      {5, {u"E-312", u"佐藤"}},    {6, {u"F-1", u"小山田"}},   {7, {u"G-12", u"鈴木"}},
  };
  Collection({3, 2, 2}, [&fields](ReportRecord& r) {
    r.Texts[kRecordNumber] = QString::fromUtf16(fields.at(r.ReportId).first);
    r.Texts[kReporterName] = QString::fromUtf16(fields.at(r.ReportId).second);
  });
  ReportWindow w(state);
  w.show();
  // An edit of the shown report is saved before the search reads the files.
  Retype(Find<QLineEdit>(w, "Text1_5"), QStringLiteral("山田次郎"));

  prompts.answerInput(QStringLiteral("12"));
  ChooseLine({QStringLiteral("A-12 ( 報告者氏名; 佐藤一郎 ) "), QStringLiteral("C-120 ( 報告者氏名; 佐藤一郎 ) "),
              QStringLiteral("E-312 ( 報告者氏名; 佐藤 ) "), QStringLiteral("G-12 ( 報告者氏名; 山田次郎 ) ")},
             1);
  Find<QAction>(w, "mnuSerItem_0")->trigger();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().kind, ScriptedPrompts::Kind::Input);
  EXPECT_EQ(prompts.last().text, QStringLiteral("カルテ番号を入力してください。"));
  EXPECT_EQ(prompts.last().title, QStringLiteral("検索"));
  EXPECT_GE(prompts.busyCalls(), 2);  // the hourglass while searching
  EXPECT_FALSE(prompts.busy());
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_EQ(state.dataFile.CurrentIndex, 2);
  EXPECT_EQ(Label(w), QStringLiteral(" 3/ 7"));
  EXPECT_EQ(Find<QLineEdit>(w, "Text1_0")->text(), QStringLiteral("C-120"));
  EXPECT_EQ(state.searchHits.size(), 4u);

  prompts.clear();
  prompts.answerInput(QStringLiteral("山田"));
  ChooseLine({QStringLiteral("B-7 ( 報告者氏名; 山田花子 ) "), QStringLiteral("D-5 ( 報告者氏名; 山田太郎 ) "),
              QStringLiteral("F-1 ( 報告者氏名; 小山田 ) "), QStringLiteral("G-12 ( 報告者氏名; 山田次郎 ) ")},
             2);
  Find<QAction>(w, "mnuSerItem_1")->trigger();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, QStringLiteral("報告者氏名を入力してください。"));
  EXPECT_EQ(prompts.last().title, QStringLiteral("検索"));
  EXPECT_EQ(state.dataFile.CurrentFileNo, 2);
  EXPECT_EQ(state.dataFile.CurrentIndex, 0);
  EXPECT_EQ(Label(w), QStringLiteral(" 6/ 7"));
  EXPECT_EQ(Name(w), QStringLiteral("小山田"));
  EXPECT_EQ(prompts.beeps(), 0);
}

TEST_F(ReportNavigationWindowTest, ASearchWithoutAChoiceKeepsTheReportShown) {
  Collection({2, 2});
  ReportWindow w(state);
  w.show();
  Click(w, "Command4");
  Click(w, "Command3");  // the second report, file 0
  const auto before = At(w);
  ASSERT_EQ(before, Shown(" 2/ 4", 2));

  // No hit: a beep, the message, the same report.
  prompts.answerInput(QStringLiteral("該当なし")).answer(PromptAnswer::Ok);
  Find<QAction>(w, "mnuSerItem_1")->trigger();
  EXPECT_EQ(prompts.beeps(), 1);
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.last().text, QStringLiteral("データが見つかりません"));
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_EQ(prompts.last().icon, PromptIcon::None);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  EXPECT_EQ(At(w), before);
  EXPECT_EQ(state.searchHits.size(), 0u);

  // The input box cancelled or left empty: nothing is searched.
  prompts.clear();
  prompts.answerInput(std::nullopt).answerInput(QString());
  Find<QAction>(w, "mnuSerItem_0")->trigger();
  Find<QAction>(w, "mnuSerItem_0")->trigger();
  EXPECT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.beeps(), 1);
  EXPECT_EQ(At(w), before);

  // Hits in the other file, the result window closed without a choice.
  prompts.answerInput(QStringLiteral("K"));
  WhenModal(QStringLiteral("frmkekka"), [](QWidget* dialog) {
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
  });
  Find<QAction>(w, "mnuSerItem_0")->trigger();
  EXPECT_EQ(state.searchHits.size(), 4u);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 0);
  EXPECT_EQ(At(w), before);
}

TEST_F(ReportNavigationWindowTest, ANewReportNotYetChangedStaysThroughASearchUntilAHitIsChosen) {
  // "Is this reporter in already?": a search from a fresh new report.
  Collection({2});
  state.editing.NewReportMode = true;
  ReportWindow w(state);
  w.show();
  ASSERT_EQ(At(w), std::make_pair(QStringLiteral(" 3/ 3"), QString()));

  prompts.answerInput(QStringLiteral("山田")).answer(PromptAnswer::Ok);
  Find<QAction>(w, "mnuSerItem_1")->trigger();
  EXPECT_EQ(prompts.last().text, QStringLiteral("データが見つかりません"));
  EXPECT_EQ(At(w), std::make_pair(QStringLiteral(" 3/ 3"), QString()));
  EXPECT_EQ(state.dataFile.ReportCount(), 3);
  EXPECT_EQ(state.counters.TotalReports, 3);

  // A hit chosen leaves the new report, which was never written.
  prompts.answerInput(QStringLiteral("報告者1"));
  ChooseLine({QStringLiteral("K1 ( 報告者氏名; 報告者1 ) ")}, 0);
  Find<QAction>(w, "mnuSerItem_1")->trigger();
  EXPECT_EQ(At(w), Shown(" 1/ 2", 1));
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.counters.TotalReports, 2);
  EXPECT_EQ(state.counters.LastReportId, 3);
  EXPECT_FALSE(QFile::exists(state.paths.IdFilePath()));
}

TEST_F(ReportNavigationWindowTest, SteppingBackFromANewReportThatStartedAFileTakesItBack) {
  Collection({1000});
  state.editing.NewReportMode = true;
  ReportWindow w(state);
  w.show();
  ASSERT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(Label(w), QStringLiteral(" 1001/ 1001"));
  Click(w, "Command2");
  EXPECT_EQ(At(w), Shown(" 1000/ 1000", 1000));
  EXPECT_EQ(state.counters.NewestFileNo, 0);
  EXPECT_EQ(state.counters.TotalReports, 1000);
  EXPECT_FALSE(QFile::exists(state.paths.DataFilePath(1)));
  Click(w, "Command5");  // nothing after it now
  EXPECT_EQ(At(w), Shown(" 1000/ 1000", 1000));
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReportNavigationWindowTest, EachKindOfDeletionLeavesTheFilesAndCountersRight) {
  // clang-format off
  struct Case {
    const char* what;
    std::initializer_list<int> files;
    int fileNo, index;
    std::pair<QString, QString> shown;  // after the deletion
    std::vector<std::optional<std::vector<int>>> onDisk;  // after closing, files 0, 1, ...
    int newest, total;
  } cases[] = {
      {"the third of five", {5}, 0, 2, Shown(" 3/ 4", 4), {std::vector<int>{1, 2, 4, 5}}, 0, 4},
      {"the last of the newest file", {2, 3}, 1, 2, Shown(" 4/ 4", 4), {std::vector<int>{1, 2}, std::vector<int>{3, 4}}, 1, 4},
      {"the last of a file, newer files after it", {3, 2}, 0, 2, Shown(" 3/ 4", 4),
       {std::vector<int>{1, 2}, std::vector<int>{4, 5}}, 1, 4},
      {"the only report of file 2 of five", {2, 2, 1, 2, 2}, 2, 0, Shown(" 5/ 8", 6),
       {std::vector<int>{1, 2}, std::vector<int>{3, 4}, std::vector<int>{6, 7}, std::vector<int>{8, 9}, std::nullopt}, 3, 8},
      {"the only report of the newest file", {2, 1}, 1, 0, Shown(" 2/ 2", 2), {std::vector<int>{1, 2}, std::nullopt}, 0, 2},
      {"the only report of a file before a missing one", {2, 1, kMissing, 2}, 1, 0, Shown(" 3/ 4", 4),
       {std::vector<int>{1, 2}, std::nullopt, std::vector<int>{4, 5}, std::nullopt}, 2, 4},
      {"the last of a file whose next file is missing", {3, kMissing}, 0, 2, Shown(" 2/ 2", 2),
       {std::vector<int>{1, 2}, std::nullopt}, 1, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    QFile::remove(state.paths.IdFilePath());
    state.dataFile.FileRecordCounts.fill(0);
    Collection(c.files);
    const int lastId = state.counters.LastReportId;
    StandAt(c.fileNo, c.index);
    ReportWindow w(state);
    w.show();
    Click(w, "Command7");
    EXPECT_EQ(At(w), c.shown);
    EXPECT_EQ(state.counters.NewestFileNo, c.newest);
    EXPECT_EQ(state.counters.TotalReports, c.total);
    Click(w, "Command1");
    ASSERT_FALSE(w.isVisible());
    EXPECT_TRUE(prompts.shown().empty());

    int counted = 0;
    for (std::size_t n = 0; n < c.onDisk.size(); ++n) {
      EXPECT_EQ(IdsOnDisk(static_cast<int>(n)), c.onDisk[n]) << "file " << n;
      const int count = c.onDisk[n] ? static_cast<int>(c.onDisk[n]->size()) : 0;
      EXPECT_EQ(state.dataFile.FileRecordCounts[n], count) << "count of file " << n;
      counted += count;
    }
    EXPECT_EQ(counted, c.total);
    EXPECT_EQ(state.counters.LastReportId, lastId);
    IdCounters onDisk;
    ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
    EXPECT_EQ(onDisk, state.counters);
  }
}

TEST_F(ReportNavigationWindowTest, DeletingTheLastReportLeavesAnEmptyFileAndStartsANewReport) {
  Collection({1});
  ReportWindow w(state);
  w.show();
  Click(w, "Command7");
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), DataFileBytes({}));
  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 1 \r\n 0 \r\n 0 \r\n"));
  // The new report takes the next id: the deleted one is not given again.
  ASSERT_EQ(state.dataFile.ReportCount(), 1);
  EXPECT_EQ(state.dataFile.ReportTable[0].ReportId, 2);
  EXPECT_EQ(state.counters.LastReportId, 2);
  EXPECT_EQ(At(w), std::make_pair(QStringLiteral(" 1/ 1"), QString()));
  EXPECT_EQ(Find<QLineEdit>(w, "Text1_0")->text(), QString());
  EXPECT_FALSE(w.isChanged());

  // Deleting a middle report keeps the ids of the others, and a new report
  // after it takes the next id as well.
  Retype(Find<QLineEdit>(w, "Text1_5"), QStringLiteral("二人目"));
  Click(w, "Command6");
  Click(w, "Command2");
  Click(w, "Command7");
  EXPECT_EQ(state.dataFile.ReportCount(), 1);
  EXPECT_EQ(state.dataFile.ReportTable[0].ReportId, 3);
  Click(w, "Command6");
  EXPECT_EQ(state.dataFile.ReportTable.back().ReportId, 4);
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReportNavigationWindowTest, AFailedRenameIsToldAndNothingIsLost) {
  Collection({2, 1, 2});
  StandAt(1, 0);
  std::map<int, QByteArray> files;
  for (int n = 0; n < 3; ++n) files[n] = FileBytes(state.paths.DataFilePath(n));
  const IdCounters counters = state.counters;
  const auto counts = state.dataFile.FileRecordCounts;

  FailingRenames ops;
  ops.failAt = 2;  // the rename of 2.dat to 1.dat
  ReportWindow w(state);
  w.setDataFileOps(ops);
  w.show();
  prompts.answer(PromptAnswer::Ok);
  Click(w, "Command7");
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(
      prompts.last().text,
      QStringLiteral("データファイル「%1」の名前を「1.dat」に変更できなかったため、表示データは削除していません。")
          .arg(QDir::toNativeSeparators(state.paths.DataFilePath(2))));
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
  EXPECT_EQ(At(w), Shown(" 3/ 5", 3));
  for (int n = 0; n < 3; ++n) EXPECT_EQ(FileBytes(state.paths.DataFilePath(n)), files[n]) << n;
  EXPECT_EQ(QDir(state.paths.ReportFolderPath()).entryList(QDir::Files).size(), 3);
  EXPECT_EQ(state.counters, counters);
  EXPECT_EQ(state.dataFile.FileRecordCounts, counts);

  // Once the renames go through, so does the deletion.
  w.setDataFileOps(FileSystemDataFileOps());
  Click(w, "Command7");
  EXPECT_EQ(At(w), Shown(" 3/ 4", 4));
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), files[2]);
  EXPECT_FALSE(QFile::exists(state.paths.DataFilePath(2)));
}

}  // namespace
}  // namespace orvanta
