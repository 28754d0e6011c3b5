// How the follow-up is reached from the other windows and kept in step with
// the reports: the report window's "経過観察" button, the deletion of a report
// with follow-up records, the worker's fields after a save, the main
// window's line about overdue tests and its menu.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/followup/followup_store.h"
#include "core/platform/prompts.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_navigation.h"
#include "core/store/database.h"
#include "gui/followup/followup_window.h"
#include "gui/reports/report_window.h"
#include "gui/shell/main_window.h"
#include "support/followup_cases.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::QueryNumber;
using testing::WhenModal;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

// A rename that always fails: a report that is its file's only one cannot
// be deleted.
class RefusingRenames : public DataFileOps {
 public:
  bool rename(const QString&, const QString&) override { return false; }
};

// Three reports in data file 0; report 2 has a case with two tests.
class FollowupEntryPointsTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    testing::UseFollowupLists(state.lists);
    testing::OpenFollowupDatabase(state);
    std::vector<ReportRecord> reports;
    for (int id = 1; id <= 3; ++id)
      reports.push_back(testing::ExposureReport(id, QStringLiteral("職員%1").arg(id), D(2026, 12, id)));
    ASSERT_TRUE(WriteReports(0, reports));
    state.counters.LastReportId = state.counters.TotalReports = 3;
    state.dataFile.FileRecordCounts[0] = 3;
    std::vector<FollowupTest> tests{
        testing::TestOf(2, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2026, 12, 2), D(2026, 12, 2)),
        testing::TestOf(2, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 13))};
    testing::StoreCase(state.database, CaseFromReport(reports[1], state.lists), tests);
    StandAt(1);
  }
  void StandAt(int index) {
    LoadDataFile(state.dataFile, state.paths, 0);
    state.dataFile.CurrentIndex = index;
  }
  std::vector<int> IdsOnDisk() {
    std::vector<ReportRecord> table;
    EXPECT_TRUE(ReadDataFile(state.paths.DataFilePath(0), table).ok());
    std::vector<int> ids;
    for (const ReportRecord& r : table) ids.push_back(r.ReportId);
    return ids;
  }
  int count(const char* sql) { return QueryNumber(state.database, QString::fromUtf8(sql)); }
  static void Click(const QWidget& w, const char* name) {
    w.findChild<QPushButton*>(QString::fromLatin1(name))->click();
  }
};

const QString kQuestion = QStringLiteral(
    "この報告書には経過観察の記録があります。\n"
    "・汚染源の患者の状況\n・検査 2 件（実施済み 1 件、未実施 1 件）\n\n"
    "表示データを削除すると、これらの経過観察の記録も削除されます。削除しますか？");

TEST_F(FollowupEntryPointsTest, TheReportWindowOpensTheFollowupOfASavedReportOnly) {
  ReportWindow w(state);
  auto* button = w.findChild<QPushButton*>(QStringLiteral("cmdFollowup"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("経過観察"));
  // In the top row beside "表示データの削除", clear of every other control.
  const QRect place = button->geometry();
  for (QWidget* other : button->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != button && other->isVisibleTo(&w)) {
      EXPECT_FALSE(place.intersects(other->geometry())) << other->objectName().toStdString();
    }
  }
  EXPECT_TRUE(button->isEnabled());

  QString name, incident;
  WhenModal(QStringLiteral("frmFollowup"), [&](QWidget* f) {
    name = f->findChild<QLabel*>(QStringLiteral("lblName"))->text();
    incident = f->findChild<QLabel*>(QStringLiteral("lblIncident"))->text();
    Click(*f, "cmdBack");
  });
  Click(w, "cmdFollowup");
  EXPECT_EQ(name, QStringLiteral("職員2"));
  EXPECT_EQ(incident, QStringLiteral("2026/12/02"));

  // A new report, not yet saved, has no follow-up.
  Click(w, "Command6");
  EXPECT_FALSE(button->isEnabled());
  Click(w, "Command4");  // ▲▲: the untouched new report is taken back
  EXPECT_TRUE(button->isEnabled());
}

TEST_F(FollowupEntryPointsTest, DeletingAReportWithFollowupAsksAndTakesBothOrNeither) {
  ReportWindow w(state);
  w.show();
  // No: nothing goes.
  prompts.answer(PromptAnswer::No);
  Click(w, "Command7");
  EXPECT_EQ(prompts.last().text, kQuestion);
  EXPECT_EQ(prompts.last().title, QStringLiteral("削除の確認"));
  EXPECT_EQ(state.dataFile.ReportCount(), 3);
  EXPECT_EQ(count("SELECT count(*) FROM followup_case WHERE report_id = 2 AND deleting = 0"), 1);

  // Yes: the report leaves the file in memory and the case is marked, until
  // the file is saved; then both are gone.
  prompts.answer(PromptAnswer::Yes);
  Click(w, "Command7");
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(IdsOnDisk(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(count("SELECT deleting FROM followup_case WHERE report_id = 2"), 1);
  Click(w, "Command1");  // 戻る saves the file
  EXPECT_EQ(IdsOnDisk(), (std::vector<int>{1, 3}));
  EXPECT_EQ(count("SELECT count(*) FROM followup_case"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 0);
}

TEST_F(FollowupEntryPointsTest, AReportDeletionThatFailsKeepsTheFollowup) {
  // Report 2 alone in data file 1: its deletion removes the file, which the
  // file system refuses here.
  ASSERT_TRUE(WriteReports(0, {testing::ExposureReport(1, QStringLiteral("職員1"), D(2026, 12, 1))}));
  ASSERT_TRUE(WriteReports(1, {testing::ExposureReport(2, QStringLiteral("職員2"), D(2026, 12, 2))}));
  ASSERT_TRUE(WriteReports(2, {testing::ExposureReport(3, QStringLiteral("職員3"), D(2026, 12, 3))}));
  state.dataFile.FileRecordCounts = {};
  state.dataFile.FileRecordCounts[0] = state.dataFile.FileRecordCounts[1] = state.dataFile.FileRecordCounts[2] = 1;
  LoadDataFile(state.dataFile, state.paths, 1);
  state.dataFile.CurrentIndex = 0;
  RefusingRenames ops;
  ReportWindow w(state);
  w.setDataFileOps(ops);
  w.show();
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  Click(w, "Command7");
  EXPECT_TRUE(prompts.last().text.endsWith(QStringLiteral("表示データは削除していません。")));
  EXPECT_TRUE(QFile::exists(state.paths.DataFilePath(1)));
  EXPECT_EQ(count("SELECT count(*) FROM followup_case WHERE report_id = 2 AND deleting = 0"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 2);

  // Once the file system lets it, both go at once.
  w.setDataFileOps(FileSystemDataFileOps());
  prompts.answer(PromptAnswer::Yes);
  Click(w, "Command7");
  EXPECT_EQ(count("SELECT count(*) FROM followup_case"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 0);
}

TEST_F(FollowupEntryPointsTest, AReportWithFollowupStaysWhileTheDatabaseIsANewerOne) {
  QSqlQuery(state.database.connection()).exec(QStringLiteral("PRAGMA user_version = 99"));
  state.database.close();
  testing::OpenFollowupDatabase(state);
  ASSERT_TRUE(state.database.isReadOnly());
  ReportWindow w(state);
  w.show();
  prompts.answer(PromptAnswer::Ok);
  Click(w, "Command7");
  EXPECT_EQ(prompts.last().text,
            QStringLiteral("この報告書には経過観察の記録があります。\n"
                           "データベースが新しい版のOrvantaで作られているため、記録を削除できません。"
                           "表示データは削除していません。"));
  EXPECT_EQ(state.dataFile.ReportCount(), 3);
  Click(w, "Command1");
  EXPECT_EQ(IdsOnDisk(), (std::vector<int>{1, 2, 3}));
}

TEST_F(FollowupEntryPointsTest, TheCaseTakesTheWorkerAsTheSavedReportNamesThem) {
  ReportWindow w(state);
  w.show();
  testing::Retype(w.findChild<QLineEdit*>(QStringLiteral("Text1_5")), QStringLiteral("職員2 改"));
  Click(w, "Command1");
  QSqlQuery q(state.database.connection());
  ASSERT_TRUE(q.exec(QStringLiteral("SELECT worker_name FROM followup_case WHERE report_id = 2")) && q.next());
  EXPECT_EQ(q.value(0).toString(), QStringLiteral("職員2 改"));
}

// Question 14 answered "はい(ワクチン接種による)": the follow-up window,
// opened from the report or by the case's number (as the due list opens it),
// says why no HBV test is planned, and "予定を作成" plans none.
TEST_F(FollowupEntryPointsTest, AWorkerImmuneToHbvGetsNoHbvTestWhicheverWayTheFollowupOpens) {
  std::vector<ReportRecord> reports;
  ASSERT_TRUE(ReadReportsOf(state.paths, 0, reports));
  reports[1].Choices[7] = 1;
  ASSERT_TRUE(WriteReports(0, reports));
  StandAt(1);
  const QString why = HbvImmunityNote(HbvImmunity::Vaccinated);
  EXPECT_EQ(
      why, QStringLiteral("受傷者はHBs抗体陽性（設問14「はい(ワクチン接種による)」）のため、HBVの検査は予定に加えません"
                          "（免疫のある受傷者には不要: CDCの指針、2013年）。"));
  const auto shownNote = [&](const std::function<void()>& open, bool plan) {
    QString note;
    WhenModal(QStringLiteral("frmFollowup"), [&](QWidget* f) {
      note = f->findChild<QLabel*>(QStringLiteral("lblHbvImmunity"))->text();
      if (plan) {
        prompts.answer(PromptAnswer::Ok);
        Click(*f, "cmdPlanSchedule");
      }
      Click(*f, "cmdBack");
    });
    open();
    return note;
  };
  ReportWindow w(state);
  EXPECT_EQ(shownNote([&] { Click(w, "cmdFollowup"); }, false), why);
  EXPECT_EQ(shownNote([&] { EXPECT_TRUE(ShowFollowupOfCase(state, 2, nullptr)); }, true), why);
  EXPECT_TRUE(prompts.last().text.endsWith(u'\n' + why)) << prompts.last().text.toStdString();
  EXPECT_GT(count("SELECT count(*) FROM followup_test WHERE report_id = 2 AND pathogen <> 'HBV'"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM followup_test WHERE report_id = 2 AND pathogen = 'HBV'"), 0);
}

TEST_F(FollowupEntryPointsTest, TheMainWindowTellsOfOverdueTestsAndLeadsToTheDueList) {
  ASSERT_TRUE(QSqlQuery(state.database.connection())
                  .exec(QStringLiteral("INSERT INTO followup_test(report_id, pathogen, test, due_on)"
                                       " VALUES (2, 'HBV', 'HBs抗体', '2026-12-05')")));
  MainWindow window(state);
  window.activate();
  window.layout()->activate();
  auto* line = window.findChild<QWidget*>(QStringLiteral("overdueBar"));
  ASSERT_NE(line, nullptr);
  EXPECT_FALSE(line->isHidden());
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblOverdue"))->text(),
            QStringLiteral("期限を過ぎた経過観察の検査が 1 件あります"));
  // Under the designed panel, not over it.
  const QWidget* panel = window.findChild<QWidget*>(QStringLiteral("panel"));
  EXPECT_GE(line->geometry().top(), panel->geometry().bottom());

  bool opened = false;
  WhenModal(QStringLiteral("frmDueList"), [&](QWidget* list) {
    opened = true;
    // The test done meanwhile: the line goes once the list closes.
    QSqlQuery(state.database.connection()).exec(QStringLiteral("UPDATE followup_test SET done_on = '2026-12-09'"));
    Click(*list, "cmdBack");
  });
  Click(window, "cmdOverdueList");
  EXPECT_TRUE(opened);
  EXPECT_TRUE(line->isHidden());

  // The menu opens the same list, and the schedule.
  for (const auto& [action, form] :
       {std::pair{"actDueList", "frmDueList"}, {"actScheduleTemplates", "frmScheduleTemplates"}}) {
    auto* item = window.findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_TRUE(item->isEnabled()) << action;
    QString seen;
    WhenModal(QString::fromLatin1(form), [&](QWidget* w) {
      seen = w->objectName();
      w->close();
    });
    item->trigger();
    EXPECT_EQ(seen, QString::fromLatin1(form));
  }
}

TEST_F(FollowupEntryPointsTest, WithoutADatabaseTheFollowupSaysWhy) {
  state.database.close();
  MainWindow window(state);
  window.activate();
  EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("overdueBar"))->isHidden());
  prompts.answer(PromptAnswer::Ok);
  window.findChild<QAction*>(QStringLiteral("actDueList"))->trigger();
  EXPECT_EQ(
      prompts.last().text,
      QStringLiteral("データベースを開けなかったため、経過観察は使えません。\nOrvantaを起動しなおしてください。"));
}

}  // namespace
}  // namespace orvanta
