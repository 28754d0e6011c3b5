#include "gui/analysis/summary_window.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
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
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/fixture_collection.h"
#include "support/gui/combo_box.h"
#include "support/pdf_pages.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kFixtures = QStringLiteral(ORVANTA_FIXTURES "/csv/summary/");

// The window over the collection of tools/make_summary_csv_fixtures.py
// (data files 0 and 2, file 1 missing), started on 15 June 2024, so that the
// default period is the fixtures' one-year period 2023-06-16 to 2024-06-15,
// which holds 7 of its 9 reports.
class SummaryWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  SummaryWindowTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallFixtureCollection(state, kFixtures, {0, 2}));
    TakeTodaysDate(state.startup, clock);
    window = std::make_unique<SummaryWindow>(state);
  }

  QComboBox* combo(int i) { return window->findChild<QComboBox*>(u"Combo1_%1"_s.arg(i)); }
  ResultGridModel& grid(int i) { return window->findChild<ResultGrid*>(u"Grid1_%1"_s.arg(i))->grid(); }
  QString matching() { return window->findChild<QLabel*>(u"Label7"_s)->text(); }
  QLineEdit* box(const char* name, int i) {
    return window->findChild<QLineEdit*>(u"%1_%2"_s.arg(QLatin1String(name)).arg(i));
  }
  // Column 0 and 1 of every row of a table, one row a line (readable when
  // a comparison fails).
  std::string rows(int i) {
    QStringList out;
    const ResultGridModel& g = grid(i);
    for (int r = 0; r < g.rows(); ++r) out << g.cell(r, 0) + u'|' + g.cell(r, 1);
    return out.join(u'\n').toStdString();
  }
  static std::string Rows(const QStringList& expected) { return expected.join(u'\n').toStdString(); }
  QByteArray csv() {
    const QString path = root.filePath(u"out.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    window->findChild<QAction*>(u"mnuCSV"_s)->trigger();
    return testing::FileBytes(path);
  }
  static QByteArray fixture(const char* name) {
    return testing::FixtureBytes(QStringLiteral("csv/summary/") + QLatin1String(name));
  }

  std::unique_ptr<SummaryWindow> window;
};

TEST_F(SummaryWindowTest, OpensWithEveryListAtAllAndTheCountsOfTheDefaultPeriod) {
  EXPECT_EQ(window->objectName(), u"frmTySu2"_s);
  EXPECT_EQ(window->windowTitle(), u"レポート"_s);
  EXPECT_EQ(box("txy", 0)->text(), u"2023"_s);
  EXPECT_EQ(box("txd", 0)->text(), u"16"_s);
  EXPECT_EQ(box("txd", 1)->text(), u"15"_s);
  EXPECT_EQ(matching(), u"7"_s);
  EXPECT_EQ(window->result().matching, 7);
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_FALSE(prompts.busy());

  for (int i = 0; i < kAxisCount; ++i) {
    EXPECT_EQ(combo(i)->currentIndex(), 0) << i;
    EXPECT_EQ(combo(i)->itemText(0), u"全て"_s) << i;
    EXPECT_EQ(window->findChild<QLabel*>(u"Label4_%1"_s.arg(i))->text(), SummaryCaption(AxisAt(i)));
    EXPECT_FALSE(window->findChild<ResultGrid*>(u"Grid1_%1"_s.arg(i))->isHidden()) << i;
  }
  EXPECT_EQ(combo(16)->count(), 66);
  EXPECT_EQ(combo(16)->itemText(29), u" 29;"_s);
  EXPECT_EQ(combo(0)->itemText(3), u"その他"_s);

  // The hours: 13:30 and 12:00 under "12～14時", 23:00 under "22～24時"; the
  // report at 24:00 is in no band.
  EXPECT_EQ(rows(11), Rows({u"発生時刻|"_s, u"0～2時|2"_s, u"2～4時|0"_s, u"4～6時|0"_s, u"6～8時|0"_s, u"8～10時|0"_s,
                            u"10～12時|0"_s, u"12～14時|2"_s, u"14～16時|0"_s, u"16～18時|0"_s, u"18～20時|0"_s,
                            u"20～22時|1"_s, u"22～24時|1"_s}));
  EXPECT_EQ(rows(0), Rows({u"職種|"_s, u"1 医師|4"_s, u"2 看護師|2"_s, u"99 その他|1"_s}));
  // Code lists of a single entry get their count too (six reports name the
  // one purpose; the seventh an entry deleted since).
  EXPECT_EQ(rows(2), Rows({u"機器の使用目的|"_s, u"3 採血|6"_s}));
  EXPECT_EQ(rows(9), Rows({u"行為別|"_s, u"1 採血|7"_s}));
  EXPECT_EQ(rows(15), Rows({u"緊急処置時|"_s, u"はい|4"_s, u"いいえ|2"_s}));
  EXPECT_EQ(grid(16).rows(), 66);
  EXPECT_EQ(grid(16).cell(29, 0), u" 29;"_s);
  EXPECT_EQ(grid(16).cell(29, 1), u"2"_s);
  EXPECT_EQ(grid(14).cell(10, 0), u"その他"_s);
  EXPECT_EQ(grid(14).cell(10, 1), u"2"_s);  // 梅毒 and HTLV
  // A six-digit count fits its column, and both columns fit the table
  // beside its vertical scroll bar.
  const ResultGrid* table0 = window->findChild<ResultGrid*>(u"Grid1_0"_s);
  EXPECT_GE(Twips(grid(0).colWidth(1)), table0->fontMetrics().horizontalAdvance(u"100000"_s) + 6);
  EXPECT_LE(Twips(grid(0).colWidth(0) + grid(0).colWidth(1)),
            table0->width() - table0->verticalScrollBar()->sizeHint().width() - 2 * table0->frameWidth());
  EXPECT_EQ(grid(0).colAlignment(0), GridAlignment::Center);
  EXPECT_EQ(grid(0).colAlignment(1), GridAlignment::Right);
  EXPECT_EQ(grid(0).fixedRows(), 1);
  EXPECT_EQ(grid(0).fixedCols(), 0);

  EXPECT_EQ(csv(), fixture("summary_one_year.csv"));
}

TEST_F(SummaryWindowTest, ChoosingAnEntryRestrictsEveryTableAndAllRestoresIt) {
  combo(15)->setCurrentIndex(1);  // はい
  EXPECT_EQ(matching(), u"4"_s);
  EXPECT_EQ(rows(15), Rows({u"はい|"_s, u"|"_s}));
  EXPECT_EQ(rows(9), Rows({u"行為別|"_s, u"1 採血|4"_s}));
  EXPECT_EQ(window->result().selectedTexts[15], u"はい"_s);
  EXPECT_EQ(csv(), fixture("summary_emergency_yes.csv"));

  combo(0)->setCurrentIndex(2);  // 看護師, together with はい
  EXPECT_EQ(matching(), u"0"_s);
  EXPECT_EQ(rows(0), Rows({u"看護師|"_s, u"|"_s}));
  EXPECT_EQ(rows(15), Rows({u"はい|"_s, u"|"_s}));

  combo(15)->setCurrentIndex(0);
  EXPECT_EQ(matching(), u"2"_s);  // the two nurses, both "いいえ"
  EXPECT_EQ(rows(15), Rows({u"緊急処置時|"_s, u"はい|0"_s, u"いいえ|2"_s}));
  combo(0)->setCurrentIndex(0);
  EXPECT_EQ(matching(), u"7"_s);
  EXPECT_EQ(rows(0), Rows({u"職種|"_s, u"1 医師|4"_s, u"2 看護師|2"_s, u"99 その他|1"_s}));
  EXPECT_FALSE(prompts.busy());
}

TEST_F(SummaryWindowTest, AChangedPeriodCountsFromTheNextListChangeOrRecalculation) {
  // 2024-03-01 to 2024-03-20, typed into the boxes.
  box("txy", 0)->setText(u"2024"_s);
  box("txm", 0)->setText(u"3"_s);
  box("txd", 0)->setText(u"1"_s);
  box("txm", 1)->setText(u"3"_s);
  box("txd", 1)->setText(u"20"_s);
  EXPECT_EQ(matching(), u"7"_s);  // editing a date computes nothing

  combo(0)->setCurrentIndex(1);  // 医師: of the three reports of the period, one
  EXPECT_EQ(matching(), u"1"_s);
  EXPECT_EQ(window->result().period, (AnalysisPeriod{{2024, 3, 1}, {2024, 3, 20}}));
  combo(0)->setCurrentIndex(0);
  EXPECT_EQ(matching(), u"3"_s);
  EXPECT_EQ(csv(), fixture("summary_20_days.csv"));

  box("txd", 1)->setText(u"4"_s);  // the reports of 3/5 and 3/20 drop out
  EXPECT_EQ(matching(), u"3"_s);
  // The file describes the last computation: its period line keeps 3/20
  // until the changed date is computed.
  EXPECT_EQ(csv(), fixture("summary_20_days.csv"));
  window->findChild<QPushButton*>(u"Command4"_s)->click();
  EXPECT_EQ(matching(), u"1"_s);
  EXPECT_EQ(grid(11).cell(1, 1), u"1"_s);  // 0～2時
}

// Choosing again the entry a list already shows recomputes with the period
// the boxes hold now, and the restricted table stays as it was.
TEST_F(SummaryWindowTest, ChoosingTheEntryAListShowsRecomputesWithThePeriodAsShown) {
  box("txy", 0)->setText(u"2024"_s);
  box("txm", 0)->setText(u"3"_s);
  box("txd", 0)->setText(u"1"_s);
  box("txm", 1)->setText(u"3"_s);
  box("txd", 1)->setText(u"20"_s);
  const int before = prompts.busyCalls();
  ASSERT_TRUE(testing::ChooseInList(combo(5), 0));
  EXPECT_EQ(prompts.busyCalls(), before + 2);
  EXPECT_EQ(matching(), u"3"_s);
  EXPECT_EQ(window->result().period, (AnalysisPeriod{{2024, 3, 1}, {2024, 3, 20}}));

  ASSERT_TRUE(testing::ChooseInList(combo(0), 1));  // 医師: one computation
  EXPECT_EQ(prompts.busyCalls(), before + 4);
  EXPECT_EQ(matching(), u"1"_s);
  box("txd", 1)->setText(u"4"_s);
  ASSERT_TRUE(testing::ChooseInList(combo(0), 1));
  EXPECT_EQ(prompts.busyCalls(), before + 6);
  EXPECT_EQ(rows(0), Rows({u"医師|"_s, u"|"_s}));
  EXPECT_EQ(window->result().period, (AnalysisPeriod{{2024, 3, 1}, {2024, 3, 4}}));
}

TEST_F(SummaryWindowTest, MenuAndClosing) {
  auto* rept = window->findChild<QAction*>(u"mnuRept"_s);
  auto* csvItem = window->findChild<QAction*>(u"mnuCSV"_s);
  auto* end = window->findChild<QAction*>(u"mnuEnd"_s);
  ASSERT_TRUE(rept && csvItem && end);
  EXPECT_EQ(rept->text(), u"レポート印刷"_s);
  EXPECT_TRUE(rept->isEnabled());
  EXPECT_EQ(csvItem->text(), u"CSVファイル作成"_s);
  EXPECT_EQ(end->text(), u"戻る"_s);

  // Cancelling the file dialog writes nothing and says nothing more.
  prompts.answerSaveFile(QString());
  csvItem->trigger();
  EXPECT_EQ(prompts.shown().size(), 1u);

  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  end->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result().matching, 7);  // still there after closing
  window->show();
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(prompts.busy());
}

TEST_F(SummaryWindowTest, ReportPrintPrintsTheLastComputationOrSaysThePrinterFailed) {
  auto* rept = window->findChild<QAction*>(u"mnuRept"_s);
  ASSERT_TRUE(rept && rept->isEnabled());
  const QString pdf = root.filePath(u"sheet.pdf"_s);
  const auto print = [&] {
    QFile::remove(pdf);
    prompts.clear();
    prompts.answerPrinterPdf(pdf);
    rept->trigger();
    // Portrait set by the program: no orientation message, only the dialog.
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_FALSE(prompts.lastPrinterLandscape);
    return testing::ReadPdfPages(pdf);
  };

  auto pages = print();
  ASSERT_FALSE(pages.empty());
  // (Read back from the PDF, "～" comes as the wave dash its glyph shares.)
  EXPECT_TRUE(pages[0].find(u"2023年6月16日～2024年6月15日"_s) || pages[0].find(u"2023年6月16日〜2024年6月15日"_s));
  EXPECT_TRUE(pages[0].find(u"該当件数7"_s));
  EXPECT_TRUE(pages[0].find(u"全ての報告書"_s));
  const auto section = pages[0].find(u"職種"_s);  // the occupations' caption
  ASSERT_TRUE(section);
  EXPECT_GT(section->yMin, pages[0].height * 0.08);

  // A restricted occupation: the next print names it and has no section.
  const QString occupation = combo(0)->itemText(1);
  combo(0)->setCurrentIndex(1);
  pages = print();
  ASSERT_FALSE(pages.empty());
  EXPECT_TRUE(pages[0].find(occupation + u";"_s)) << pages[0].text().toStdString();
  for (const auto& word : pages[0].words)  // only in the heading, no section
    if (word.text == u"職種"_s) {
      EXPECT_LT(word.yMin, pages[0].height * 0.08);
    }
  EXPECT_TRUE(pages[0].find(u"該当件数%1"_s.arg(window->result().matching)));
  EXPECT_FALSE(pages[0].text().contains(u"全ての報告書"_s));

  // A PDF file that cannot be created: its path and the reason.
  prompts.clear();
  const QString unwritable = state.paths.SettingsFilePath() + u"/sheet.pdf"_s;
  prompts.answerPrinterPdf(unwritable).answer(PromptAnswer::Ok);
  rept->trigger();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.last().text, testing::PdfCannotBeCreatedMessage(unwritable));
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_FALSE(prompts.busy());
}

TEST_F(SummaryWindowTest, LayoutFitsTheClientAreaAndEveryCaption) {
  QWidget* client = window->findChild<ResultGrid*>(u"Grid1_0"_s)->parentWidget();
  EXPECT_EQ(client->size(), QSize(Twips(15270), Twips(10545)));
  const QRect area = client->rect();
  // Where a control stands in the client area.
  const auto placed = [client](const QWidget* w) { return QRect(w->mapTo(client, QPoint(0, 0)), w->size()); };
  std::vector<QRect> tables;
  for (int i = 0; i < kAxisCount; ++i) {
    const QWidget* g = window->findChild<ResultGrid*>(u"Grid1_%1"_s.arg(i));
    EXPECT_EQ(g->size(), QSize(Twips(4965), Twips(1395))) << i;
    EXPECT_TRUE(area.contains(g->geometry())) << i;
    for (const QRect& other : tables) EXPECT_FALSE(other.intersects(g->geometry())) << i;
    tables.push_back(g->geometry());
    // Items 0-5, 6-11 and 12-16 in columns, top to bottom.
    EXPECT_EQ(g->x(), window->findChild<ResultGrid*>(u"Grid1_%1"_s.arg(i / 6 * 6))->x()) << i;
    // Lists 0-5, 6-11 and 12-16 in rows, each under its caption.
    const QWidget* list = combo(i);
    EXPECT_EQ(list->width(), Twips(2295));
    EXPECT_TRUE(area.contains(placed(list))) << i;
    EXPECT_LT(placed(list).bottom(), tables.front().top()) << i;
    EXPECT_EQ(list->y(), combo(i / 6 * 6)->y()) << i;
    EXPECT_EQ(list->x(), combo(i % 6)->x()) << i;
    if (i % 6 > 0) {
      EXPECT_GT(list->x(), combo(i - 1)->geometry().right()) << i;
    }
    if (i >= 6) {
      EXPECT_GT(list->y(), combo(i - 6)->geometry().bottom()) << i;
    }
    const QWidget* caption = window->findChild<QLabel*>(u"Label4_%1"_s.arg(i));
    EXPECT_EQ(caption->x(), list->x()) << i;
    EXPECT_LE(caption->geometry().bottom(), list->y()) << i;
    EXPECT_GT(caption->geometry().bottom(), list->y() - Twips(300)) << i;
  }
  // The matching count at the right end of the third row.
  const QWidget* count = window->findChild<QLabel*>(u"Label7"_s);
  EXPECT_GT(count->x(), placed(combo(16)).right());
  EXPECT_TRUE(count->geometry().intersects(QRect(0, placed(combo(16)).y(), area.width(), combo(16)->height())));
  EXPECT_TRUE(area.contains(count->geometry()));
  // No text is cut off: every label is wide and high enough for its text.
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty() || label->wordWrap()) continue;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
        << label->text().toStdString();
    EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << label->text().toStdString();
  }
  const auto* frame = window->findChild<QGroupBox*>();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->title(), u"計算期間"_s);
  EXPECT_EQ(window->findChild<QPushButton*>(u"Command4"_s)->text(), u"再計算"_s);
  QStringList texts;
  for (const QLabel* label : window->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains(u"各リストから項目を選択すると、その項目に対応するものが他の項目の表に表示されます。"_s));
  EXPECT_TRUE(texts.contains(u"集計期間を変更した場合は「再計算」ボタンをクリックしてください。"_s));
  EXPECT_TRUE(texts.contains(u"該当件数"_s));
  EXPECT_TRUE(texts.contains(u"件"_s));
}

}  // namespace
}  // namespace orvanta
