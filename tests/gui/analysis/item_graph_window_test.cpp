#include "gui/analysis/item_graph_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
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
#include "core/platform/value_file.h"
#include "gui/widgets/layout_helpers.h"
#include "support/fixture_collection.h"
#include "support/gui/combo_box.h"
#include "support/pdf_pages.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kFixtures = QStringLiteral(ORVANTA_FIXTURES "/csv/item_graph/");

// The window over the collection of tools/make_item_graph_csv_fixtures.py
// (data files 0 and 2, file 1 missing), started on 15 June 2024, so that the
// default period is the fixtures' one-year period 2023-06-16 to 2024-06-15.
class ItemGraphWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ItemGraphWindowTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallFixtureCollection(state, kFixtures, {0, 2}));
    TakeTodaysDate(state.startup, clock);
    window = std::make_unique<ItemGraphWindow>(state);
  }

  template <typename W>
  W* find(const QString& name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QComboBox* graphItem() { return find<QComboBox>(u"Combo2"_s); }
  QComboBox* list(int k) { return find<QComboBox>(u"Combo1_%1"_s.arg(k)); }
  QLabel* caption(int k) { return find<QLabel>(u"Label4_%1"_s.arg(k)); }
  QScrollBar* scrollBar() { return find<QScrollBar>(u"VScroll1"_s); }
  QWidget* picture() { return find<QLabel>(u"Picture1_0"_s); }
  void click(const char* name) { find<QPushButton>(QString::fromLatin1(name))->click(); }
  QByteArray csv() {
    const QString path = root.filePath(u"out.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    click("Command3");
    return testing::FileBytes(path);
  }
  static QByteArray fixture(const char* name) {
    return testing::FixtureBytes(QStringLiteral("csv/item_graph/") + QLatin1String(name));
  }
  std::vector<std::int64_t> counts() const { return window->result().counts; }

  std::unique_ptr<ItemGraphWindow> window;
};

TEST_F(ItemGraphWindowTest, OpensOnOccupationsForTheDefaultPeriod) {
  EXPECT_EQ(window->objectName(), u"frmPost"_s);
  EXPECT_EQ(window->windowTitle(), u"売上状況"_s);
  EXPECT_EQ(find<QLabel>(u"Label1"_s)->text(), u"グラフ項目"_s);
  ASSERT_EQ(graphItem()->count(), 17);
  EXPECT_EQ(graphItem()->itemText(0), u"職種"_s);
  EXPECT_EQ(graphItem()->itemText(16), u"針刺し･切創部位"_s);  // half-width dot
  EXPECT_EQ(graphItem()->currentIndex(), 0);
  EXPECT_EQ(find<QLineEdit>(u"txy_0"_s)->text(), u"2023"_s);
  EXPECT_EQ(find<QLineEdit>(u"txd_0"_s)->text(), u"16"_s);
  EXPECT_EQ(find<QLineEdit>(u"txd_1"_s)->text(), u"15"_s);
  EXPECT_EQ(find<QPushButton>(u"Command4"_s)->text(), u"再計算"_s);
  EXPECT_EQ(find<QPushButton>(u"Command3"_s)->text(), u"CSVファイル変換"_s);
  EXPECT_EQ(find<QPushButton>(u"Command2"_s)->text(), u"印刷"_s);
  EXPECT_EQ(find<QPushButton>(u"Command1"_s)->text(), u"戻る"_s);

  for (int k = 0; k < kAxisCount; ++k) {
    EXPECT_EQ(list(k)->currentIndex(), 0) << k;
    EXPECT_EQ(list(k)->itemText(0), u"全て"_s) << k;
    EXPECT_EQ(caption(k)->text(), AxisCaption(AxisAt(k), CaptionDot::FullWidth)) << k;
  }
  EXPECT_EQ(caption(16)->text(), u"針刺し・切創部位"_s);  // full-width dot
  EXPECT_EQ(list(16)->count(), 66);
  EXPECT_EQ(list(16)->itemText(1), u" 1;右手親指外側"_s);

  EXPECT_EQ(window->result().axis, AnalysisAxis::Occupation);
  EXPECT_EQ(counts(), (std::vector<std::int64_t>{4, 1, 1, 0}));
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_FALSE(prompts.busy());
  // Four categories fit: the picture is 9100 twips high and does not scroll.
  EXPECT_EQ(picture()->height(), Twips(9100));
  EXPECT_EQ(scrollBar()->maximum(), 0);
  EXPECT_FALSE(scrollBar()->isEnabled());
  // The picture shows the first bar (4 of 4) at full length in red, the
  // last (0) not at all.
  const QImage image = window->picture();
  EXPECT_EQ(image.size(), picture()->size());
  EXPECT_EQ(image.pixelColor(image.width() * 2700 / 3000, image.height() * 150 / 1500), QColor(255, 0, 0));
  EXPECT_NE(image.pixelColor(image.width() * 900 / 3000, image.height() * 450 / 1500), QColor(255, 0, 0));
  EXPECT_EQ(csv(), fixture("occupation_all.csv"));
}

TEST_F(ItemGraphWindowTest, ControlsStandWhereTheWindowWasDesigned) {
  EXPECT_EQ(window->size(), QSize(Twips(14670), Twips(10470)));
  const QWidget* viewport = find<QWidget>(u"Picture1_1"_s);
  EXPECT_EQ(viewport->size(), QSize(Twips(11955), Twips(9165)));
  // The scroll bar at the viewport's right edge, the picture beside it.
  const QRect bar = scrollBar()->geometry();
  EXPECT_EQ(bar.right(), viewport->contentsRect().right());
  EXPECT_EQ(picture()->width(), bar.left() - viewport->contentsRect().left());
  // The lists in one column along the right edge, each under its caption,
  // right of the picture and inside the window.
  const QGroupBox* frame = find<QGroupBox>(u"Frame2"_s);
  EXPECT_EQ(frame->title(), u"抽出条件"_s);
  EXPECT_GT(frame->x(), viewport->geometry().right());
  EXPECT_LE(frame->geometry().right(), window->width());
  const auto at = [this](const QWidget* w) { return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size()); };
  const QRect frameRect = at(frame);
  for (int k = 0; k < kAxisCount; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(frame->isAncestorOf(list(k)));
    const QRect box = at(list(k));
    const QRect label = at(caption(k));
    EXPECT_EQ(box.x(), at(list(0)).x());
    EXPECT_EQ(label.x(), box.x());
    EXPECT_LE(label.bottom(), box.y());
    if (k > 0) {
      EXPECT_GT(label.y(), at(list(k - 1)).bottom());
    }
    EXPECT_TRUE(frameRect.contains(box));
    EXPECT_TRUE(frameRect.contains(label));
  }
  // The buttons at the bottom right, under the picture.
  for (const char* name : {"Command1", "Command2", "Command3"}) {
    const QWidget* b = find<QWidget>(QString::fromLatin1(name));
    EXPECT_GT(b->y(), viewport->geometry().bottom()) << name;
    EXPECT_LE(b->geometry().bottom(), window->height()) << name;
  }
}

TEST_F(ItemGraphWindowTest, ChoosingAGraphItemResetsEveryListAndComputesOnce) {
  list(15)->setCurrentIndex(1);  // 緊急処置時 はい
  EXPECT_EQ(counts(), (std::vector<std::int64_t>{3, 1, 0, 0}));
  list(12)->setCurrentIndex(2);
  EXPECT_EQ(list(12)->currentIndex(), 2);
  const int busyCalls = prompts.busyCalls();

  graphItem()->setCurrentIndex(11);               // 発生時刻
  EXPECT_EQ(prompts.busyCalls() - busyCalls, 2);  // one computation
  for (int k = 0; k < kAxisCount; ++k) EXPECT_EQ(list(k)->currentIndex(), 0) << k;
  EXPECT_EQ(window->result().axis, AnalysisAxis::Hour);
  EXPECT_EQ(counts(), (std::vector<std::int64_t>{2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1}));  // 23:10 in the last
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(csv(), fixture("hour_all.csv"));
}

TEST_F(ItemGraphWindowTest, ChoosingTheShownGraphItemAgainAlsoResetsTheLists) {
  list(15)->setCurrentIndex(1);
  ASSERT_EQ(counts(), (std::vector<std::int64_t>{3, 1, 0, 0}));
  ASSERT_TRUE(testing::ChooseInList(graphItem(), 0));
  EXPECT_EQ(list(15)->currentIndex(), 0);
  EXPECT_EQ(counts(), (std::vector<std::int64_t>{4, 1, 1, 0}));
}

TEST_F(ItemGraphWindowTest, PrintsTheLastResultWithTheConditions) {
  graphItem()->setCurrentIndex(16);
  list(0)->setCurrentIndex(1);  // 医師
  const QString path = root.filePath(u"graph.pdf"_s);
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  click("Command2");
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].text, u"A4用紙で印刷の向きを縦に指定してください    "_s);
  EXPECT_FALSE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), 3u);  // 31 + 33 + 1 sites
  EXPECT_TRUE(pages[0].find(u"医師"_s));
  EXPECT_TRUE(pages[0].find(u"1右手親指外側"_s));
  EXPECT_TRUE(pages[1].find(u"抽出条件は1枚目に記載"_s));
  EXPECT_TRUE(pages[2].find(u"65右腰部後面"_s));
}

TEST_F(ItemGraphWindowTest, TheGraphItemsOwnListIsRefusedOnceAndPutBack) {
  const std::vector<std::int64_t> before = counts();
  // Chosen as a user does, by the keyboard: the box changes its entry and
  // then reports the activation; the message box runs its own event loop.
  prompts.answer(PromptAnswer::Ok, [] { QCoreApplication::processEvents(); });
  list(0)->setFocus();
  QTest::keyClick(list(0), Qt::Key_Down);  // 職種 while 職種 is the graph item
  QCoreApplication::processEvents();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, u"グラフ表示項目と同じ項目は抽出できません"_s);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  EXPECT_EQ(list(0)->currentIndex(), 0);  // put back to 全て
  EXPECT_EQ(counts(), before);            // the graph stays as it was

  click("Command4");  // "再計算": still every occupation
  EXPECT_EQ(counts(), before);
  EXPECT_EQ(prompts.shown().size(), 1u);
}

TEST_F(ItemGraphWindowTest, BodySitesScrollAndFilteredFileListsTheConditions) {
  graphItem()->setCurrentIndex(16);
  ASSERT_EQ(window->result().categoryCount(), 65);
  EXPECT_EQ(picture()->height(), Twips(65 * 700));
  EXPECT_TRUE(scrollBar()->isEnabled());
  EXPECT_EQ(scrollBar()->maximum(), 385);
  scrollBar()->setValue(100);
  EXPECT_EQ(picture()->y(), -667);  // 100 twips a step
  scrollBar()->setValue(385);
  EXPECT_EQ(picture()->y(), -2567);

  // Report 3 marks three sites: each of its bars has 1.
  EXPECT_EQ(counts()[2], 1);
  EXPECT_EQ(counts()[39], 1);
  EXPECT_EQ(counts()[64], 2);

  list(0)->setCurrentIndex(1);   // 医師
  list(15)->setCurrentIndex(1);  // はい
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(scrollBar()->value(), 0);  // a new picture starts at its top
  EXPECT_EQ(csv(), fixture("sites_two_filters.csv"));
}

TEST_F(ItemGraphWindowTest, NothingCountedLeavesCsvAndPrintWithoutEffect) {
  find<QLineEdit>(u"txy_0"_s)->setText(u"2030"_s);
  find<QLineEdit>(u"txy_1"_s)->setText(u"2030"_s);
  click("Command4");
  EXPECT_EQ(window->result().maximum, 0);
  click("Command3");
  click("Command2");
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ItemGraphWindowTest, TheHeadingReadsTheWindowAsItStands) {
  list(16)->setCurrentIndex(1);
  find<QLineEdit>(u"txd_1"_s)->setText(u"14"_s);  // not computed again
  const ItemGraphHeading h = window->heading();
  EXPECT_EQ(h.itemCaption, u"職種"_s);
  EXPECT_EQ(h.periodText(), u" 2023年 6月 16日～ 2024年 6月 14日"_s);
  ASSERT_EQ(h.conditions.size(), 1u);
  EXPECT_EQ(h.conditions[0].first, u"針刺し・切創部位"_s);
  EXPECT_EQ(h.conditions[0].second, u" 1;右手親指外側"_s);
  EXPECT_EQ(window->result().period.to.day, 15);
}

}  // namespace
}  // namespace orvanta
