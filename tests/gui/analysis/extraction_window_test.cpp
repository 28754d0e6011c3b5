#include "gui/analysis/extraction_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/fixture_collection.h"
#include "support/gui/combo_box.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using testing::ScriptedPrompts;

// A small collection with its code lists, data files 0 and 2 (file 1 is
// missing) and the CSV files expected for it, written by
// tools/make_extraction_csv_fixture.py.
const QString kFixture = QStringLiteral(ORVANTA_FIXTURES "/csv/extraction/");

class ExtractionWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ExtractionWindowTest() : TempDrive(QDateTime(QDate(2004, 6, 15), QTime(10, 0))) {}
  void SetUp() override {
    ASSERT_TRUE(testing::InstallFixtureCollection(state, kFixture, {0, 2}));
    // Started on 15 June 2004: the default period is 16 June 2003 to 15 June 2004.
    TakeTodaysDate(state.startup, clock);
  }

  void open() {
    window = std::make_unique<ExtractionWindow>(state);
    grid = window->findChild<ResultGrid*>(QStringLiteral("Grid1"));
    count = window->findChild<QLabel*>(QStringLiteral("Label7"));
    ASSERT_TRUE(grid && count);
  }
  template <typename T = QWidget>
  T* control(const QString& name) const {
    T* w = window->findChild<T*>(name);
    EXPECT_TRUE(w) << name.toStdString();
    return w;
  }
  QComboBox* box(int k) const { return control<QComboBox>(QStringLiteral("Combo1_%1").arg(k)); }
  void click(const char* name) { QTest::mouseClick(control<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton); }

  // Column 0 of the report rows.
  QStringList listed() const {
    QStringList out;
    for (int r = 1; r < grid->grid().rows(); ++r) out << grid->grid().cell(r, 0);
    return out;
  }

  // Writes the CSV file through "CSVファイル変換" and returns its bytes.
  QByteArray writeCsv(const QString& name) {
    const QString path = root.filePath(name);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    click("Command1");
    EXPECT_EQ(prompts.lastSaveStart, QDir(state.paths.MyDocumentPath()).filePath(QStringLiteral("データ抽出.csv")));
    EXPECT_EQ(prompts.last().text, QStringLiteral("ﾌｧｲﾙ処理に成功しました"));
    return FileBytes(path);
  }

  std::unique_ptr<ExtractionWindow> window;
  ResultGrid* grid = nullptr;
  QLabel* count = nullptr;
};

const QStringList kAllRows = {
    "山田　花子04/03/15/(月)K-1001", "ｶﾀｶﾅ ﾀﾛｳ03/06/16/(月)",    "佐藤　美咲04/06/15/(火)A7",
    "田中　陽子04/02/29/(日)A9",     "伊藤　亮03/12/01/(月)A10",
};

TEST_F(ExtractionWindowTest, OpensListingEveryReportOfTheDefaultPeriodOnce) {
  open();
  EXPECT_EQ(window->objectName(), QStringLiteral("frmTySu"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("データ抽出"));

  // One computation, at the end of opening; the pointer is normal again.
  EXPECT_EQ(prompts.busyCalls(), 2);
  EXPECT_FALSE(prompts.busy());
  EXPECT_TRUE(prompts.shown().empty());

  EXPECT_EQ(control<QLineEdit>("txy_0")->text(), QStringLiteral("2003"));
  EXPECT_EQ(control<QLineEdit>("txm_0")->text(), QStringLiteral("6"));
  EXPECT_EQ(control<QLineEdit>("txd_0")->text(), QStringLiteral("16"));
  EXPECT_EQ(control<QLineEdit>("txy_1")->text(), QStringLiteral("2004"));
  EXPECT_EQ(control<QLineEdit>("txd_1")->text(), QStringLiteral("15"));

  EXPECT_EQ(listed(), kAllRows);
  EXPECT_EQ(count->text(), QStringLiteral("5"));
  EXPECT_EQ(grid->grid().fixedRows(), 1);
  EXPECT_TRUE(grid->isVisibleTo(window.get()));

  // clang-format off
  const QStringList captions = {"職種", "発生場所", "機器の使用目的", "事故発生状況", "原因器材", "事故程度",
                                "受傷者の原因器材の使用中", "器材の汚染", "所属部署", "行為別", "発生月",
                                "発生時刻", "経験年数", "当該部署における経験年数", "患者の感染症の有無",
                                "緊急処置時", "針刺し・切創部位"};
  // clang-format on
  for (int k = 0; k < 17; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(control<QLabel>(QStringLiteral("Label4_%1").arg(k))->text(), captions[k]);
    EXPECT_FALSE(box(k)->isEditable());
    EXPECT_EQ(box(k)->currentIndex(), 0);
    EXPECT_EQ(box(k)->itemText(0), QStringLiteral("全て"));
  }
  struct Entries {
    int box;
    int count;
    int index;
    QString text;
  };
  const Entries entries[] = {
      {0, 4, 3, "臨床検査技師"},      {10, 13, 12, "12"},     {11, 13, 1, "0～2時"},
      {12, 9, 8, "30年以上"},         {14, 11, 10, "その他"}, {15, 3, 2, "いいえ"},
      {16, 66, 1, " 1;右手親指外側"}, {16, 66, 29, " 29;"},   {16, 66, 65, " 65;右腰部後面"},
  };
  for (const Entries& e : entries) {
    SCOPED_TRACE(e.box);
    EXPECT_EQ(box(e.box)->count(), e.count);
    EXPECT_EQ(box(e.box)->itemText(e.index), e.text);
  }
  const QGroupBox* frame = window->findChild<QGroupBox*>();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->title(), QStringLiteral("計算期間"));
  EXPECT_TRUE(frame->findChild<QLineEdit*>(QStringLiteral("txy_1")));
}

TEST_F(ExtractionWindowTest, EachBoxChangeListsAgainAtOnce) {
  open();
  QComboBox* infection = box(14);
  infection->setFocus();
  QTest::keyClick(infection, Qt::Key_Down);  // "HIV陽性"
  ASSERT_EQ(infection->currentText(), QStringLiteral("HIV陽性"));
  EXPECT_EQ(listed(), (QStringList{kAllRows[1], kAllRows[2], kAllRows[3], kAllRows[4]}));
  EXPECT_EQ(count->text(), QStringLiteral("4"));

  box(15)->setCurrentIndex(1);  // 緊急処置時 "はい"
  EXPECT_EQ(listed(), (QStringList{kAllRows[2], kAllRows[3]}));
  EXPECT_EQ(count->text(), QStringLiteral("2"));
  EXPECT_EQ(prompts.busyCalls(), 6);  // opening and two changes
  EXPECT_FALSE(prompts.busy());

  // A whole row as listed.
  QStringList row;
  for (int c = 0; c < 18; ++c) row << grid->grid().cell(1, c);
  EXPECT_EQ(row, (QStringList{"佐藤　美咲04/06/15/(火)A7", "医師", "病室", "縫合", "使用中", "翼状針", "表層", "はい",
                              "汚染あり", "内科病棟", "採血時", "6", " 23: 59", "30", "2", " HIV陽性 HCV陰性 HBV未検査",
                              "はい", "/ 1右手親指外側/ 65右腰部後面"}));

  // Nothing matches: only the heading row is left.
  box(0)->setCurrentIndex(2);  // 看護師
  EXPECT_EQ(grid->grid().rows(), 1);
  EXPECT_EQ(grid->grid().cell(0, 0), QStringLiteral("氏名･発生年月日･カルテ番号"));
  EXPECT_EQ(count->text(), QStringLiteral("0"));
}

TEST_F(ExtractionWindowTest, AChangedPeriodWaitsForSaihyouji) {
  open();
  QLineEdit* txm = control<QLineEdit>("txm_0");
  txm->setFocus();
  txm->selectAll();
  QTest::keyClicks(txm, QStringLiteral("3"));  // from 16 March 2003
  EXPECT_EQ(listed(), kAllRows);
  EXPECT_EQ(count->text(), QStringLiteral("5"));
  EXPECT_EQ(prompts.busyCalls(), 2);

  // Written now, the file has the new period over the old rows.
  QByteArray expected = FileBytes(kFixture + QStringLiteral("all.csv"));
  const qsizetype firstLineEnd = expected.indexOf("\r\n");
  expected.replace(0, firstLineEnd, cp932::Encode(QStringLiteral("2003年3月16日～2004年6月15日")));
  EXPECT_EQ(writeCsv(QStringLiteral("before.csv")), expected);

  click("Command4");
  EXPECT_EQ(listed(), (QStringList{kAllRows[0], "鈴木　一郎03/06/15/(日)K-1002", kAllRows[1], kAllRows[2], kAllRows[3],
                                   kAllRows[4]}));
  EXPECT_EQ(count->text(), QStringLiteral("6"));
}

// Choosing again the entry a box already shows lists again, with the period
// the date boxes hold now; so does choosing another entry.
TEST_F(ExtractionWindowTest, EveryChoiceInABoxListsAgainWithThePeriodAsShown) {
  open();
  QLineEdit* txm = control<QLineEdit>("txm_0");
  txm->selectAll();
  QTest::keyClicks(txm, QStringLiteral("3"));  // from 16 March 2003
  EXPECT_EQ(count->text(), QStringLiteral("5"));

  ASSERT_TRUE(testing::ChooseInList(box(0), 0));  // "全て" again
  EXPECT_EQ(count->text(), QStringLiteral("6"));
  EXPECT_EQ(prompts.busyCalls(), 4);

  // Another entry: one computation, not one for the change and one more
  // for the choice.
  txm->selectAll();
  QTest::keyClicks(txm, QStringLiteral("6"));
  ASSERT_TRUE(testing::ChooseInList(box(15), 1));  // はい
  EXPECT_EQ(prompts.busyCalls(), 6);
  EXPECT_EQ(listed(), (QStringList{kAllRows[0], kAllRows[2], kAllRows[3]}));
  ASSERT_TRUE(testing::ChooseInList(box(15), 1));
  EXPECT_EQ(prompts.busyCalls(), 8);
  EXPECT_EQ(count->text(), QStringLiteral("3"));
}

// The file bytes against those worked out by the fixture script.
TEST_F(ExtractionWindowTest, CsvFileAsTheFixtureHasIt) {
  open();
  EXPECT_EQ(writeCsv(QStringLiteral("all.csv")), FileBytes(kFixture + QStringLiteral("all.csv")));

  box(14)->setCurrentIndex(1);  // HIV陽性
  box(15)->setCurrentIndex(1);  // はい
  box(16)->setCurrentIndex(1);  // site 1
  EXPECT_EQ(writeCsv(QStringLiteral("filtered.csv")), FileBytes(kFixture + QStringLiteral("filtered.csv")));
  EXPECT_TRUE(prompts.allAnswered());
  EXPECT_FALSE(prompts.busy());
  EXPECT_TRUE(grid->isVisibleTo(window.get()));
}

TEST_F(ExtractionWindowTest, ModoruEscapeAndTheCloseBoxClose) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    if (way == 0) click("Command3");
    if (way == 1) QTest::keyClick(window.get(), Qt::Key_Escape);
    if (way == 2) window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
  }
  EXPECT_TRUE(prompts.shown().empty());
}

// The main window shows the hourglass while it opens this one; once the
// window is up, the pointer is normal again.
TEST_F(ExtractionWindowTest, PointerIsNormalWhenTheWindowIsUp) {
  open();
  prompts.setBusy(true);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_FALSE(prompts.busy());
}

TEST_F(ExtractionWindowTest, ButtonsReadAsTheyShould) {
  open();
  EXPECT_EQ(control<QPushButton>("Command5")->text(), QStringLiteral("印刷"));
  EXPECT_TRUE(control<QPushButton>("Command5")->isEnabled());
  EXPECT_EQ(control<QPushButton>("Command1")->text(), QStringLiteral("CSVファイル変換"));
  EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("戻る"));
  EXPECT_EQ(control<QPushButton>("Command4")->text(), QStringLiteral("再表示"));
}

// "印刷" prints the listing as it stands, with the set boxes on the first
// page, and leaves the window as it was.
TEST_F(ExtractionWindowTest, PrintPutsTheListingAndItsConditionsOnLandscapePages) {
  open();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  box(15)->setCurrentIndex(2);  // 緊急処置時: いいえ
  const QStringList rows = listed();
  ASSERT_FALSE(rows.isEmpty());
  QScrollBar* across = grid->horizontalScrollBar();
  across->setValue(across->maximum());
  const int scrolled = across->value();
  ASSERT_GT(scrolled, 0);

  const QString path = root.filePath(QStringLiteral("listing.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  // The grid is hidden while the pages are drawn.
  int pagesWithGridShown = 0, pagesDone = 0;
  prompts.whenPageDone = [&](int) {
    ++pagesDone;
    if (grid->isVisible()) ++pagesWithGridShown;
  };
  click("Command5");
  EXPECT_EQ(pagesDone, 2);
  EXPECT_EQ(pagesWithGridShown, 0);

  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("A4用紙で印刷の向きを横に指定してください"));
  EXPECT_EQ(prompts.shown()[1].kind, ScriptedPrompts::Kind::Printer);
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  EXPECT_FALSE(prompts.busy());
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_TRUE(pages[0].find(QStringLiteral("2003年6月16日～2004年6月15日")));
  EXPECT_TRUE(pages[0].find(QStringLiteral("抽出条件")));
  EXPECT_TRUE(pages[0].find(QStringLiteral("緊急処置時")));
  EXPECT_TRUE(pages[0].find(QStringLiteral("いいえ")));
  EXPECT_TRUE(pages[1].find(QStringLiteral("抽出条件は1枚目に記載")));
  EXPECT_TRUE(pages[1].find(QStringLiteral("発生時刻")));
  // The grid is as it was, where it was.
  EXPECT_EQ(listed(), rows);
  EXPECT_EQ(across->value(), scrolled);
  EXPECT_TRUE(grid->isVisible());
}

TEST_F(ExtractionWindowTest, PrintCancelledSaysNothingAndAFailingPrinterSaysSo) {
  open();
  prompts.answer(PromptAnswer::Ok).answerPrinterCancel();
  click("Command5");
  EXPECT_EQ(prompts.shown().size(), 2u);

  prompts.clear();
  prompts.answer(PromptAnswer::Ok).answerPrinterFailing().answer(PromptAnswer::Ok);
  click("Command5");
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.last().text, QStringLiteral("プリンターが接続されていません"));
  // The grid is back after a failed print too.
  EXPECT_FALSE(grid->isHidden());
}

}  // namespace
}  // namespace orvanta
