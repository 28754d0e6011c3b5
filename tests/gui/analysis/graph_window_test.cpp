#include "gui/analysis/graph_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/output/graph_drawing.h"
#include "gui/widgets/layout_helpers.h"
#include "support/fixture_collection.h"
#include "support/gui/combo_box.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kFixtures = QStringLiteral(ORVANTA_FIXTURES "/csv/summary/");

// The summary view's collection (data files 0 and 2), started on 15 June
// 2024: the default period 2023-06-16 to 2024-06-15 holds 7 reports: 職種
// 医師 4, 看護師 2, その他 1; hours 0-2: 2, 12-14: 2 (12:00 and 13:30),
// 20-22: 1, 22-24: 1; emergency はい 4, いいえ 2.
class GraphWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  GraphWindowTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallFixtureCollection(state, kFixtures, {0, 2}));
    TakeTodaysDate(state.startup, clock);
    window = std::make_unique<GraphWindow>(state);
  }

  template <typename T = QWidget>
  T* control(const QString& name) const {
    T* w = window->findChild<T*>(name);
    EXPECT_TRUE(w) << name.toStdString();
    return w;
  }
  QComboBox* combo(int i) const { return control<QComboBox>(u"Combo1_%1"_s.arg(i)); }
  QListWidget* items() const { return control<QListWidget>(u"List1"_s); }
  QScrollBar* scroll() const { return control<QScrollBar>(u"VScroll1"_s); }
  QWidget* shown() const { return control(u"Picture2_1"_s); }
  QString matching() const { return control<QLabel>(u"Label7"_s)->text(); }
  QStringList listed() const {
    QStringList out;
    for (int r = 0; r < items()->count(); ++r) out << items()->item(r)->text();
    return out;
  }
  void chooseItem(int row) { items()->setCurrentRow(row); }
  QImage clipboardImage() const { return QGuiApplication::clipboard()->image(); }

  std::unique_ptr<GraphWindow> window;
};

TEST_F(GraphWindowTest, OpensWithEveryItemListedAndABarGraphOfTheFirst) {
  EXPECT_EQ(window->objectName(), u"frmTySu3"_s);
  EXPECT_EQ(window->windowTitle(), u"グラフ "_s);
  EXPECT_EQ(matching(), u"7"_s);
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_FALSE(prompts.busy());

  const auto captions = SummaryCaptions();
  EXPECT_EQ(listed(), QStringList(captions.begin(), captions.end()));
  EXPECT_EQ(items()->currentRow(), 0);
  for (int i = 0; i < kAxisCount; ++i) {
    EXPECT_EQ(combo(i)->currentIndex(), 0) << i;
    EXPECT_EQ(control<QLabel>(u"Label4_%1"_s.arg(i))->text(), captions[static_cast<std::size_t>(i)]);
  }
  // The bar graph drawn is the kind marked.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(control<QRadioButton>(u"Option1_%1"_s.arg(i))->isChecked(), i == 0) << i;
  EXPECT_EQ(window->kind(), GraphKind::Bar);
  ASSERT_EQ(window->drawnItem(), AnalysisAxis::Occupation);
  // Three occupations, 600 twips each, 9405 twips wide.
  EXPECT_EQ(shown()->size(), QSize(Twips(9405), Twips(1800)));
  EXPECT_EQ(window->picture(1).size(), shown()->size());
  EXPECT_EQ(window->picture(0).size(), shown()->size());
  EXPECT_TRUE(control(u"Picture2_0"_s)->isHidden());
  EXPECT_EQ(scroll()->maximum(), 0);
  EXPECT_EQ(window->result().matching, 7);
}

TEST_F(GraphWindowTest, RestrictedItemsLeaveTheListAndTheFirstItemIsDrawnAfterEveryChange) {
  chooseItem(11);  // 発生時刻
  ASSERT_EQ(window->drawnItem(), AnalysisAxis::Hour);

  combo(0)->setCurrentIndex(1);  // 職種: 医師
  EXPECT_FALSE(listed().contains(u"職種"_s));
  EXPECT_EQ(items()->count(), 16);
  EXPECT_EQ(items()->currentRow(), 0);
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Place);
  EXPECT_EQ(matching(), u"4"_s);

  chooseItem(10);  // 発生時刻, one row up now
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Hour);
  combo(15)->setCurrentIndex(1);  // はい
  EXPECT_EQ(items()->count(), 15);
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Place);

  combo(0)->setCurrentIndex(0);  // 職種 back, in its place
  EXPECT_EQ(listed().front(), u"職種"_s);
  EXPECT_EQ(listed()[1], u"発生場所"_s);
  EXPECT_EQ(items()->count(), 16);
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Occupation);
  EXPECT_EQ(matching(), u"4"_s);
}

TEST_F(GraphWindowTest, EveryChoiceInAListRecomputesWithThePeriodAsShown) {
  chooseItem(11);
  control<QLineEdit>(u"txm_0"_s)->setText(u"3"_s);  // from 16 March 2024
  control<QLineEdit>(u"txy_0"_s)->setText(u"2024"_s);
  EXPECT_EQ(matching(), u"7"_s);
  ASSERT_TRUE(testing::ChooseInList(combo(3), 0));  // "全て" again
  EXPECT_LT(matching().toInt(), 7);
  EXPECT_EQ(window->result().period, (AnalysisPeriod{{2024, 3, 16}, {2024, 6, 15}}));
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Occupation);  // the first item again
}

TEST_F(GraphWindowTest, HoursTwelveAndThirteenAreTheSeventhBar) {
  chooseItem(11);
  const QImage picture = window->picture(1);
  ASSERT_EQ(picture.height(), Twips(12 * 600));
  // Category k fills units 100k + 20 to 100k + 80 of 1400 (from -100), the
  // count 2 (the largest) from x = 0 to 2000 of 3000 (from -850).
  const auto rowY = [&](int k) { return static_cast<int>((100.0 * k + 50 + 100) / 1400 * picture.height()); };
  const int x = static_cast<int>((1000.0 + 850) / 3000 * picture.width());
  EXPECT_EQ(picture.pixelColor(x, rowY(6)), PaletteColor(12));   // 12-14, two reports
  EXPECT_EQ(picture.pixelColor(x, rowY(0)), PaletteColor(12));   // 0-2, two reports
  EXPECT_EQ(picture.pixelColor(x, rowY(5)), QColor(Qt::white));  // 10-12, none
  EXPECT_EQ(picture.pixelColor(x, rowY(7)), QColor(Qt::white));  // 14-16, none
}

TEST_F(GraphWindowTest, BodySitesScrollAndTheWholePictureIsCopied) {
  chooseItem(16);
  ASSERT_EQ(window->drawnItem(), AnalysisAxis::BodySite);
  EXPECT_EQ(shown()->height(), Twips(39000));
  EXPECT_EQ(scroll()->maximum(), 318);
  scroll()->setValue(318);
  EXPECT_EQ(shown()->y(), -Twips(31800));
  scroll()->setValue(1);
  EXPECT_EQ(shown()->y(), -Twips(100));
  // "再計算" keeps the part scrolled to; another item starts at the top.
  scroll()->setValue(200);
  control<QPushButton>(u"Command4"_s)->click();
  EXPECT_EQ(scroll()->value(), 200);
  EXPECT_EQ(shown()->y(), -Twips(20000));
  chooseItem(15);
  EXPECT_EQ(scroll()->value(), 0);
  EXPECT_EQ(shown()->y(), 0);
  chooseItem(16);
  scroll()->setValue(318);

  control<QPushButton>(u"Command2_1"_s)->click();  // 図と文字
  EXPECT_EQ(clipboardImage().size(), QSize(Twips(9405), Twips(39000)));
  EXPECT_EQ(clipboardImage().convertToFormat(QImage::Format_RGB32),
            window->picture(1).convertToFormat(QImage::Format_RGB32));

  // A pie fits the area: nothing to scroll.
  control<QRadioButton>(u"Option1_1"_s)->click();
  EXPECT_EQ(scroll()->maximum(), 0);
  EXPECT_EQ(shown()->y(), 0);
  EXPECT_EQ(shown()->size(), QSize(Twips(9405), Twips(7200)));
}

TEST_F(GraphWindowTest, KindsAndTheTwoClipboardCopies) {
  for (const auto& [index, kind] :
       {std::pair{1, GraphKind::Pie}, std::pair{2, GraphKind::Line}, std::pair{0, GraphKind::Bar}}) {
    SCOPED_TRACE(index);
    QRadioButton* option = control<QRadioButton>(u"Option1_%1"_s.arg(index));
    option->click();
    EXPECT_TRUE(option->isChecked());
    EXPECT_EQ(window->kind(), kind);
    EXPECT_EQ(window->drawnItem(), AnalysisAxis::Occupation);

    // "図だけ": the figure alone, not the picture with texts.
    control<QPushButton>(u"Command2_0"_s)->click();
    const QImage figure = clipboardImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(figure, window->picture(0).convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(figure, window->picture(1).convertToFormat(QImage::Format_RGB32));
    control<QAction>(u"mnuCopyItem_1"_s)->trigger();
    EXPECT_EQ(clipboardImage().convertToFormat(QImage::Format_RGB32),
              window->picture(1).convertToFormat(QImage::Format_RGB32));
    control<QAction>(u"mnuCopyItem_0"_s)->trigger();
    EXPECT_EQ(clipboardImage().convertToFormat(QImage::Format_RGB32), figure);
  }
  // The bar figure carries no text: no black or grey pixels at all, where
  // the text picture has its title, labels, counts and scale values.
  const QImage text = window->picture(1);
  const QImage figure = window->picture(0);
  const auto inked = [](QRgb p) { return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100; };
  int darkText = 0, darkFigure = 0;
  for (int y = 0; y < text.height(); ++y)
    for (int x = 0; x < text.width(); ++x) {
      if (inked(text.pixel(x, y))) ++darkText;
      if (inked(figure.pixel(x, y))) ++darkFigure;
    }
  EXPECT_GT(darkText, 100);
  EXPECT_EQ(darkFigure, 0);
  EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(GraphWindowTest, EveryListRestrictedLeavesNothingToDrawPrintOrCopy) {
  for (int i = 0; i < kAxisCount; ++i) combo(i)->setCurrentIndex(1);
  EXPECT_EQ(items()->count(), 0);
  EXPECT_FALSE(window->drawnItem());
  EXPECT_EQ(matching(), u"0"_s);
  EXPECT_TRUE(shown()->size().isEmpty());
  EXPECT_TRUE(window->picture(1).isNull());
  EXPECT_EQ(scroll()->maximum(), 0);

  QGuiApplication::clipboard()->setText(u"前のもの"_s);
  control<QPushButton>(u"Command2_0"_s)->click();
  control<QAction>(u"mnuCopyItem_1"_s)->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), u"前のもの"_s);
  control<QPushButton>(u"Command1"_s)->click();
  control<QAction>(u"mnuPri"_s)->trigger();
  EXPECT_TRUE(prompts.shown().empty());
  control<QRadioButton>(u"Option1_1"_s)->click();  // still nothing to draw
  EXPECT_FALSE(window->drawnItem());

  combo(11)->setCurrentIndex(0);
  EXPECT_EQ(listed(), QStringList{u"発生時刻"_s});
  EXPECT_EQ(window->drawnItem(), AnalysisAxis::Hour);
  EXPECT_EQ(window->kind(), GraphKind::Pie);
}

TEST_F(GraphWindowTest, PrintingTheGraphOfTheCurrentKind) {
  const QString pdf = root.filePath(u"graph.pdf"_s);
  prompts.answerPrinterPdf(pdf);
  control<QPushButton>(u"Command1"_s)->click();
  EXPECT_TRUE(QFile::exists(pdf));
  EXPECT_FALSE(prompts.lastPrinterLandscape);

  control<QRadioButton>(u"Option1_1"_s)->click();
  prompts.answerPrinterCancel();
  control<QAction>(u"mnuPri"_s)->trigger();
  prompts.answerPrinterFailing().answer(PromptAnswer::Ok);
  control<QAction>(u"mnuPri"_s)->trigger();
  EXPECT_EQ(prompts.texts().last(), u"プリンターが接続されていません"_s);  // the pie's message
  EXPECT_EQ(prompts.shown().size(), 4u);
  EXPECT_TRUE(prompts.allAnswered());
}

// A code list without entries: an item with no categories draws an empty
// frame, and there is nothing to print.
TEST_F(GraphWindowTest, AnItemWithoutCategories) {
  state.lists[1].entries.clear();  // 発生場所
  window = std::make_unique<GraphWindow>(state);
  chooseItem(1);
  ASSERT_EQ(window->drawnItem(), AnalysisAxis::Place);
  EXPECT_EQ(scroll()->maximum(), 0);
  for (const int kind : {0, 1, 2}) {
    control<QRadioButton>(u"Option1_%1"_s.arg(kind))->click();
    control<QPushButton>(u"Command1"_s)->click();
  }
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(matching(), u"7"_s);
}

TEST_F(GraphWindowTest, MenuAndClosing) {
  auto* copy = control<QMenu>(u"mnuCopy"_s);
  EXPECT_EQ(copy->title(), u"図のコピー"_s);
  EXPECT_EQ(control<QAction>(u"mnuCopyItem_0"_s)->text(), u"図だけ"_s);
  EXPECT_EQ(control<QAction>(u"mnuCopyItem_1"_s)->text(), u"図と文字"_s);
  EXPECT_EQ(control<QAction>(u"mnuPri"_s)->text(), u"印刷"_s);
  auto* end = control<QAction>(u"mnuEnd"_s);
  EXPECT_EQ(end->text(), u"戻る"_s);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  end->trigger();
  EXPECT_FALSE(window->isVisible());
  prompts.setBusy(true);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_FALSE(prompts.busy());
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(GraphWindowTest, LayoutAtItsPlaces) {
  QWidget* client = items()->parentWidget();
  EXPECT_EQ(client->size(), QSize(Twips(15270), Twips(10485)));
  const auto placed = [client](const QWidget* w) { return QRect(w->mapTo(client, QPoint(0, 0)), w->size()); };
  EXPECT_EQ(items()->size(), QSize(Twips(2355), Twips(6000)));
  QWidget* area = control(u"Picture1"_s);
  EXPECT_EQ(area->size(), QSize(Twips(9705), Twips(7215)));
  EXPECT_EQ(scroll()->width(), Twips(255));
  EXPECT_EQ(placed(scroll()).right(), placed(area).right() - 1);  // at the area's right edge, inside its line
  EXPECT_LE(placed(shown()).right(), placed(scroll()).left());    // the picture beside the bar
  EXPECT_GT(placed(area).left(), placed(items()).right());
  for (int i = 0; i < kAxisCount; ++i) {
    const QRect list = placed(combo(i));
    EXPECT_EQ(list.width(), Twips(2295));
    EXPECT_LT(list.bottom(), placed(area).top()) << i;
    EXPECT_EQ(list.y(), placed(combo(i / 6 * 6)).y()) << i;
    EXPECT_EQ(list.x(), placed(combo(i % 6)).x()) << i;
  }
  // The commands right of the area, from top to bottom.
  const QString order[] = {u"Option1_0"_s, u"Option1_1"_s,  u"Option1_2"_s,
                           u"Command1"_s,  u"Command2_0"_s, u"Command2_1"_s};
  int lastBottom = placed(area).top() - 1;
  for (const QString& name : order) {
    const QRect r = placed(control(name));
    EXPECT_GT(r.left(), placed(area).right()) << name.toStdString();
    EXPECT_GT(r.top(), lastBottom) << name.toStdString();
    EXPECT_TRUE(client->rect().contains(r)) << name.toStdString();
    lastBottom = r.bottom();
  }
  EXPECT_EQ(control<QRadioButton>(u"Option1_2"_s)->text(), u"折れ線グラフ"_s);
  EXPECT_EQ(control<QPushButton>(u"Command1"_s)->text(), u"グラフの印刷"_s);
  EXPECT_EQ(control<QPushButton>(u"Command2_0"_s)->text(), u"図だけ"_s);
  EXPECT_EQ(control<QPushButton>(u"Command2_1"_s)->text(), u"図と文字"_s);
  EXPECT_EQ(control<QPushButton>(u"Command4"_s)->text(), u"再計算"_s);
  // Nothing cut off.
  QStringList texts;
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    texts << label->text();
    if (label->text().isEmpty() || label->wordWrap()) continue;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
        << label->text().toStdString();
    EXPECT_TRUE(client->rect().contains(placed(label))) << label->text().toStdString();
  }
  for (const char* text : {"グラフ表示項目", "グラフのコピー", "該当件数", "件"})
    EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
  QStringList frames;
  for (const QGroupBox* frame : window->findChildren<QGroupBox*>()) frames << frame->title();
  EXPECT_TRUE(frames.contains(u"計算期間"_s));
  EXPECT_TRUE(frames.contains(u"グラフの種類"_s));
  EXPECT_TRUE(frames.contains(u"クリップボードに"_s));
}

}  // namespace
}  // namespace orvanta
