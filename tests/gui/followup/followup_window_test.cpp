#include "gui/followup/followup_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

#include "core/followup/followup_store.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/followup_cases.h"
#include "support/gui/combo_box.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/pdf_pages.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::QueryNumber;
using testing::Retype;
using testing::Type;
using testing::WhenModal;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

template <typename T>
T* Find(const QWidget* window, const QString& name) {
  T* found = window->findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name.toStdString();
  return found;
}
void Click(const QWidget* window, const char* button) {
  Find<QPushButton>(window, QString::fromLatin1(button))->click();
}

// Today is 9 December 2026; the worker was injured on 1 December. The
// source patient was HIV positive, HCV negative, HBV not tested.
class FollowupWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(state.paths.DataFolderPath()));
    testing::UseFollowupLists(state.lists);
    testing::OpenFollowupDatabase(state);
    report = testing::ExposureReport(12, QStringLiteral("山田 花子"), D(2026, 12, 1), 1, {1, 2, 3});
  }
  std::unique_ptr<FollowupWindow> openNew() {
    return std::make_unique<FollowupWindow>(state, CaseFromReport(report, state.lists), false);
  }
  std::unique_ptr<FollowupWindow> openStored() {
    FollowupCase c;
    bool found = false;
    QString error;
    EXPECT_TRUE(ReadCase(state.database.connection(), 12, &c, &found, &error) && found);
    return std::make_unique<FollowupWindow>(state, c, true);
  }
  int count(const char* sql) { return QueryNumber(state.database, QString::fromUtf8(sql)); }
  QString text(const char* sql) {
    QSqlQuery q(state.database.connection());
    return q.exec(QString::fromUtf8(sql)) && q.next() ? q.value(0).toString() : QStringLiteral("(none)");
  }
  static QStringList GridRows(const FollowupWindow& w) {
    const ResultGridModel& grid = Find<ResultGrid>(&w, QStringLiteral("grdTests"))->grid();
    QStringList rows;
    for (int r = 1; r < grid.rows(); ++r) {
      QStringList cells;
      for (int c = 0; c < grid.cols(); ++c) cells << grid.cell(r, c);
      rows << cells.join(QLatin1Char('|'));
    }
    return rows;
  }
  static void ChooseRow(const FollowupWindow& w, int row) {
    auto* grid = Find<ResultGrid>(&w, QStringLiteral("grdTests"));
    grid->setCurrentIndex(grid->model()->index(row, 1));
  }

  ReportRecord report;
};

TEST_F(FollowupWindowTest, ShowsTheWorkerAndTheSourceFromTheReportAndStoresNothingUnchanged) {
  auto w = openNew();
  EXPECT_EQ(w->objectName(), QStringLiteral("frmFollowup"));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("経過観察"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblName"))->text(), QStringLiteral("山田 花子"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblDepartment"))->text(), QStringLiteral("内科"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblOccupation"))->text(), QStringLiteral("看護師"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblIncident"))->text(), QStringLiteral("2026/12/01"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblReportId"))->text(), QStringLiteral("12"));
  const QStringList sources{"陽性", "陰性", "不明"};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Find<QComboBox>(w.get(), QStringLiteral("cboSource_%1").arg(i))->currentText(), sources[i]) << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Find<QCheckBox>(w.get(), QStringLiteral("chkProphylaxis_%1").arg(i))->isChecked());
    EXPECT_FALSE(Find<QDateTimeEdit>(w.get(), QStringLiteral("dtpProphylaxis_%1").arg(i))->isEnabled());
  }
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblClosed"))->text(), QStringLiteral("経過観察中"));
  EXPECT_FALSE(Find<QPushButton>(w.get(), QStringLiteral("cmdChangeTest"))->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(w.get(), QStringLiteral("cmdReopen"))->isEnabled());
  Click(w.get(), "cmdBack");
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(count("SELECT count(*) FROM followup_case"), 0);
}

TEST_F(FollowupWindowTest, TheWorkersAnswerToQuestion14IsShown) {
  const std::pair<HbvImmunity, QString> cases[] = {
      {HbvImmunity::NotImmune, QStringLiteral("受傷者のHBs抗体（設問14）: いいえ")},
      {HbvImmunity::Unknown, QStringLiteral("受傷者のHBs抗体（設問14）: 不明または未回答")},
      {HbvImmunity::Natural,
       QStringLiteral("受傷者はHBs抗体陽性（設問14「はい(自然陽転あるいは既往疾患などによる)」）の"
                      "ため、HBVの検査は予定に加えません（免疫のある受傷者には不要: CDCの指針、"
                      "2013年）。")},
  };
  for (const auto& [immunity, text] : cases) {
    FollowupWindow w(state, CaseFromReport(report, state.lists), false, immunity);
    EXPECT_EQ(Find<QLabel>(&w, QStringLiteral("lblHbvImmunity"))->text(), text);
  }
}

TEST_F(FollowupWindowTest, PlanningAddsTheScheduleOnceAndStoresTheCaseWithIt) {
  auto w = openNew();
  prompts.answer(PromptAnswer::Ok);
  Click(w.get(), "cmdPlanSchedule");
  EXPECT_EQ(prompts.last().text, QStringLiteral("検査を 5 件予定に加えました。"));
  EXPECT_EQ(GridRows(*w), (QStringList{
                              "2026/12/01|HIV抗原・抗体(第4世代)（受傷時）|||",
                              "2026/12/01|HBs抗原・HBs抗体・HBc抗体（受傷時）|||",
                              "2027/01/12|HIV抗原・抗体(第4世代)（6週）|||",
                              "2027/04/01|HIV抗原・抗体(第4世代)（4か月）|||",
                              "2027/06/01|HBs抗原・HBc抗体（6か月）|||",
                          }));
  EXPECT_EQ(count("SELECT count(*) FROM followup_case WHERE report_id = 12 AND source_hiv = '陽性'"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM followup_test WHERE report_id = 12"), 5);

  prompts.answer(PromptAnswer::Ok);
  Click(w.get(), "cmdPlanSchedule");
  EXPECT_EQ(prompts.last().text,
            QStringLiteral("予定に加える検査はありません。\n"
                           "汚染源の患者が陽性または不明の病原体の検査は、すでにすべて予定にあります。"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 5);

  // HCV changed to 不明 in the window: stored at once, and planned next.
  ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w.get(), QStringLiteral("cboSource_1")), 2));
  EXPECT_EQ(text("SELECT source_hcv FROM followup_case"), QStringLiteral("不明"));
  prompts.answer(PromptAnswer::Ok);
  Click(w.get(), "cmdPlanSchedule");
  EXPECT_EQ(prompts.last().text, QStringLiteral("検査を 3 件予定に加えました。"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 8);
}

TEST_F(FollowupWindowTest, EveryTestOfTheDefaultScheduleFitsItsColumnWhole) {
  auto w = openNew();
  const auto* grid = Find<ResultGrid>(w.get(), QStringLiteral("grdTests"));
  const QFontMetrics metrics(grid->font());
  constexpr int kCellMargins = 8;
  for (const ScheduleEntry& entry : DefaultSchedule()) {
    const QString label = TestLabel(entry.test, entry.offset);
    EXPECT_LE(metrics.horizontalAdvance(label) + kCellMargins, grid->columnWidth(1)) << label.toStdString();
  }
}

TEST_F(FollowupWindowTest, PlanningWithNoSourceToFollowSaysSo) {
  auto w = openNew();
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w.get(), QStringLiteral("cboSource_%1").arg(i)), 1));
  prompts.answer(PromptAnswer::Ok);
  Click(w.get(), "cmdPlanSchedule");
  EXPECT_EQ(prompts.last().text, QStringLiteral("予定に加える検査はありません。\n"
                                                "汚染源の患者が陽性または不明の病原体がありません。"
                                                "検査が必要なときは「追加」で加えてください。"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 0);
}

TEST_F(FollowupWindowTest, AddingATestRefusesWhatCannotBeStoredAndKeepsWhatWasTyped) {
  auto w = openNew();
  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Ok).answer(PromptAnswer::Ok);
  bool seen = false;
  WhenModal(QStringLiteral("frmFollowupTest"), [&](QWidget* d) {
    seen = true;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("検査の追加"));
    Click(d, "cmdOk");  // no test named
    EXPECT_EQ(prompts.last().text, QStringLiteral("検査名を入力してください。"));
    Type(Find<QLineEdit>(d, QStringLiteral("txtTest")), QStringLiteral("HCV抗体"));
    ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(d, QStringLiteral("cboPathogen")), 1));
    Find<QDateEdit>(d, QStringLiteral("dtpDue"))->setDate(D(2026, 12, 8));
    Find<QCheckBox>(d, QStringLiteral("chkDone"))->click();
    auto* done = Find<QDateEdit>(d, QStringLiteral("dtpDone"));
    EXPECT_TRUE(done->isEnabled());
    done->setDate(D(2026, 11, 30));
    Click(d, "cmdOk");
    EXPECT_EQ(prompts.last().text, QStringLiteral("実施日が受傷日（2026/12/01）より前になっています。"));
    done->setDate(D(2026, 12, 10));
    Click(d, "cmdOk");
    EXPECT_EQ(prompts.last().text, QStringLiteral("実施日が今日（2026/12/09）より後になっています。"));
    EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 0);  // nothing half-saved
    done->setDate(D(2026, 12, 8));
    // The result box holds 40 characters: the 41st is refused with a beep.
    auto* result = Find<QLineEdit>(d, QStringLiteral("txtResult"));
    const int beeps = prompts.beeps();
    Type(result, QString(41, QChar(u'陰')));
    EXPECT_EQ(result->text().size(), 40);
    EXPECT_GT(prompts.beeps(), beeps);
    // Nothing is left out without a word: a note under the box says what and why.
    auto* note = d->findChild<QLabel*>(QStringLiteral("lblInputNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("この欄に入るのは40文字までです。入りきらなかった1文字は除きました。"));
    Retype(result, QStringLiteral("陰性,再検不要"));  // a comma is never stored
    EXPECT_EQ(note->text(), QStringLiteral("カンマ（,）はファイルの区切りに使うため、入力できません。"));
    Type(Find<QLineEdit>(d, QStringLiteral("txtTestRemarks")), QStringLiteral("外来"));
    // A moment when the database refuses: told, and the dialog stays with
    // what was typed.
    QSqlQuery(state.database.connection())
        .exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON followup_test BEGIN SELECT RAISE(ABORT, "
                             "'ディスクがいっぱいです'); END"));
    prompts.answer(PromptAnswer::Ok);
    Click(d, "cmdOk");
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("経過観察の記録を保存できませんでした。")));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("ディスクがいっぱいです")));
    EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(count("SELECT count(*) FROM followup_case"), 0);
    QSqlQuery(state.database.connection()).exec(QStringLiteral("DROP TRIGGER refuse"));
    Click(d, "cmdOk");
    EXPECT_FALSE(d->isVisible());
  });
  Click(w.get(), "cmdAddTest");
  ASSERT_TRUE(seen);
  EXPECT_EQ(GridRows(*w), QStringList{"2026/12/08|HCV抗体|2026/12/08|陰性再検不要|外来"});
  EXPECT_EQ(text("SELECT pathogen || ' ' || test || ' ' || due_on || ' ' || done_on || ' ' || result || ' ' || "
                 "remarks FROM followup_test"),
            QStringLiteral("HCV HCV抗体 2026-12-08 2026-12-08 陰性再検不要 外来"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_case WHERE report_id = 12"), 1);
}

TEST_F(FollowupWindowTest, ChangingAndRemovingATest) {
  std::vector<FollowupTest> tests{testing::TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2026, 12, 1)),
                                  testing::TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
  tests[1].planned = ScheduleOffset{6, OffsetUnit::Weeks};
  testing::StoreCase(state.database, CaseFromReport(report, state.lists), tests);
  auto w = openStored();
  ASSERT_EQ(GridRows(*w).size(), 2);

  // Nothing chosen.
  prompts.answer(PromptAnswer::Ok);
  Click(w.get(), "cmdChangeTest");
  EXPECT_EQ(prompts.last().text, QStringLiteral("変更する検査を選んでください。"));

  ChooseRow(*w, 1);
  WhenModal(QStringLiteral("frmFollowupTest"), [&](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("検査の変更"));
    EXPECT_EQ(Find<QLineEdit>(d, QStringLiteral("txtTest"))->text(), QStringLiteral("HIV抗体"));
    Find<QCheckBox>(d, QStringLiteral("chkDone"))->click();
    Find<QDateEdit>(d, QStringLiteral("dtpDone"))->setDate(D(2026, 12, 2));
    Type(Find<QLineEdit>(d, QStringLiteral("txtResult")), QStringLiteral("陰性"));
    Click(d, "cmdOk");
  });
  Click(w.get(), "cmdChangeTest");
  EXPECT_EQ(GridRows(*w).first(), QStringLiteral("2026/12/01|HIV抗体|2026/12/02|陰性|"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_test WHERE done_on = '2026-12-02' AND result = '陰性'"), 1);

  // Removing asks first, naming the test.
  ChooseRow(*w, 2);
  prompts.answer(PromptAnswer::No);
  Click(w.get(), "cmdRemoveTest");
  EXPECT_EQ(prompts.last().text, QStringLiteral("検査「HIV抗体（6週）」（予定日 2027/01/12）を削除しますか？"));
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 2);
  ChooseRow(*w, 2);
  prompts.answer(PromptAnswer::Yes);
  Click(w.get(), "cmdRemoveTest");
  EXPECT_EQ(count("SELECT count(*) FROM followup_test"), 1);
  EXPECT_EQ(GridRows(*w).size(), 1);
}

TEST_F(FollowupWindowTest, SourcesAndProphylaxisAreStoredAtOnceOrTakenBack) {
  auto w = openNew();
  auto* check = Find<QCheckBox>(w.get(), QStringLiteral("chkProphylaxis_2"));
  auto* moment = Find<QDateTimeEdit>(w.get(), QStringLiteral("dtpProphylaxis_2"));
  // Checked: given now, the moment in the box; then put right to 15:30 on
  // the 1st.
  check->click();
  EXPECT_TRUE(moment->isEnabled());
  EXPECT_EQ(text("SELECT arv_given || ' ' || arv_at FROM followup_case"), QStringLiteral("1 2026-12-09 09:00"));
  moment->setDateTime(QDateTime(D(2026, 12, 1), QTime(15, 30)));
  QTest::keyClick(moment, Qt::Key_Return);
  EXPECT_EQ(text("SELECT arv_at FROM followup_case"), QStringLiteral("2026-12-01 15:30"));

  // A moment before the incident is refused and the stored one shows again.
  moment->setDateTime(QDateTime(D(2026, 11, 30), QTime(8, 0)));
  prompts.answer(PromptAnswer::Ok);
  QTest::keyClick(moment, Qt::Key_Return);
  EXPECT_EQ(prompts.last().text, QStringLiteral("抗HIV薬の投与日時が受傷日（2026/12/01）より前になっています。"));
  EXPECT_EQ(moment->dateTime(), QDateTime(D(2026, 12, 1), QTime(15, 30)));
  EXPECT_EQ(text("SELECT arv_at FROM followup_case"), QStringLiteral("2026-12-01 15:30"));

  // The database refuses a change: told, and the box shows what is stored.
  QSqlQuery(state.database.connection())
      .exec(QStringLiteral(
          "CREATE TRIGGER refuse BEFORE UPDATE ON followup_case BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  prompts.answer(PromptAnswer::Ok);
  // (The list does not keep the entry chosen: it goes back to the stored one.)
  EXPECT_FALSE(testing::ChooseInList(Find<QComboBox>(w.get(), QStringLiteral("cboSource_0")), 1));
  EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("経過観察の記録を保存できませんでした。")));
  EXPECT_EQ(Find<QComboBox>(w.get(), QStringLiteral("cboSource_0"))->currentText(), QStringLiteral("陽性"));
  EXPECT_EQ(text("SELECT source_hiv FROM followup_case"), QStringLiteral("陽性"));
  QSqlQuery(state.database.connection()).exec(QStringLiteral("DROP TRIGGER refuse"));

  // Unchecked: not given, no moment.
  check->click();
  EXPECT_EQ(text("SELECT arv_given || ifnull(arv_at, '-') FROM followup_case"), QStringLiteral("0-"));
  EXPECT_FALSE(moment->isEnabled());

  // A long paste is cut to the box's 100 characters where it ended, and
  // the characters that code page 932 cannot hold are named.
  auto* remarks = Find<QLineEdit>(w.get(), QStringLiteral("txtRemarks"));
  remarks->setFocus();
  remarks->insert(QStringLiteral("説明") + QString(5005, u'済') + QStringLiteral("😀"));
  EXPECT_EQ(remarks->text(), QStringLiteral("説明") + QString(98, u'済'));
  auto* note = w->findChild<QLabel*>(QStringLiteral("lblInputNote"));
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), QStringLiteral("「😀」は保存できない文字のため、除きました。\n"
                                         "この欄に入るのは100文字までです。入りきらなかった4,907文字は除きました。"));
  remarks->clear();

  // Remarks typed and the window closed: stored on the way out.
  Type(remarks, QStringLiteral("本人へ説明済み"));
  Click(w.get(), "cmdBack");
  EXPECT_EQ(text("SELECT remarks FROM followup_case"), QStringLiteral("本人へ説明済み"));
}

TEST_F(FollowupWindowTest, EndingTheFollowupAsksAboutOpenTestsAndCanBeUndone) {
  std::vector<FollowupTest> tests{testing::TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
  testing::StoreCase(state.database, CaseFromReport(report, state.lists), tests);
  auto w = openStored();
  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Ok).answer(PromptAnswer::No).answer(PromptAnswer::Yes);
  WhenModal(QStringLiteral("frmFollowupEnd"), [&](QWidget* d) {
    EXPECT_EQ(Find<QDateEdit>(d, QStringLiteral("dtpClosedOn"))->date(), D(2026, 12, 9));
    Click(d, "cmdOk");
    EXPECT_EQ(prompts.last().text, QStringLiteral("終了の理由を入力してください。"));
    auto* reason = Find<QComboBox>(d, QStringLiteral("cboReason"));
    Type(reason->lineEdit(), QStringLiteral("転勤のため"));
    Find<QDateEdit>(d, QStringLiteral("dtpClosedOn"))->setDate(D(2026, 11, 1));
    Click(d, "cmdOk");
    EXPECT_EQ(prompts.last().text, QStringLiteral("終了日が受傷日（2026/12/01）より前になっています。"));
    Find<QDateEdit>(d, QStringLiteral("dtpClosedOn"))->setDate(D(2026, 12, 9));
    Click(d, "cmdOk");  // No to the open test: the dialog stays
    EXPECT_EQ(prompts.last().text, QStringLiteral("未実施の検査が 1 件あります。経過観察を終了しますか？\n"
                                                  "終了すると、これらの検査は経過観察予定に表示されなくなります。"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(text("SELECT ifnull(closed_on, 'open') FROM followup_case"), QStringLiteral("open"));
    Click(d, "cmdOk");  // Yes
    EXPECT_FALSE(d->isVisible());
  });
  Click(w.get(), "cmdEndFollowup");
  EXPECT_EQ(text("SELECT closed_on || ' ' || closed_reason FROM followup_case"),
            QStringLiteral("2026-12-09 転勤のため"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblClosed"))->text(),
            QStringLiteral("2026/12/09 終了（転勤のため）"));
  EXPECT_FALSE(Find<QPushButton>(w.get(), QStringLiteral("cmdEndFollowup"))->isEnabled());
  ASSERT_TRUE(Find<QPushButton>(w.get(), QStringLiteral("cmdReopen"))->isEnabled());

  prompts.answer(PromptAnswer::Yes);
  Click(w.get(), "cmdReopen");
  EXPECT_EQ(prompts.last().text, QStringLiteral("経過観察の終了を取り消して、経過観察を続けますか？"));
  EXPECT_EQ(text("SELECT ifnull(closed_on, 'open') || ifnull(closed_reason, '') FROM followup_case"),
            QStringLiteral("open"));
  EXPECT_EQ(Find<QLabel>(w.get(), QStringLiteral("lblClosed"))->text(), QStringLiteral("経過観察中"));
}

TEST_F(FollowupWindowTest, PrintsTheSheetOnA4Portrait) {
  std::vector<FollowupTest> tests{testing::TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
  testing::StoreCase(state.database, CaseFromReport(report, state.lists), tests);
  auto w = openStored();
  const QString pdf = QDir(root.path()).filePath(QStringLiteral("sheet.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  Click(w.get(), "cmdPrint");
  EXPECT_EQ(prompts.shown().front().text, QStringLiteral("A4用紙で印刷の向きを縦に指定してください"));
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_LT(pages[0].width, pages[0].height);
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("山田 花子")));
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("2027/01/12")));
}

TEST_F(FollowupWindowTest, ADatabaseOfANewerProgramIsShownButNotChanged) {
  std::vector<FollowupTest> tests{testing::TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2027, 1, 12))};
  testing::StoreCase(state.database, CaseFromReport(report, state.lists), tests);
  QSqlQuery(state.database.connection()).exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1));
  state.database.close();
  testing::OpenFollowupDatabase(state);
  ASSERT_TRUE(state.database.isReadOnly());
  auto w = openStored();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("経過観察（表示のみ）"));
  EXPECT_EQ(GridRows(*w).size(), 1);
  for (const char* name : {"cboSource_0", "chkProphylaxis_0", "cmdAddTest", "cmdChangeTest", "cmdRemoveTest",
                           "cmdPlanSchedule", "cmdEndFollowup", "cmdReopen"})
    EXPECT_FALSE(Find<QWidget>(w.get(), QString::fromLatin1(name))->isEnabled()) << name;
  EXPECT_TRUE(Find<QLineEdit>(w.get(), QStringLiteral("txtRemarks"))->isReadOnly());
  EXPECT_TRUE(Find<QPushButton>(w.get(), QStringLiteral("cmdPrint"))->isEnabled());
  Click(w.get(), "cmdBack");
  EXPECT_FALSE(w->isVisible());
}

}  // namespace
}  // namespace orvanta
