#include "gui/analysis/cross_table_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/gui/combo_box.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

constexpr int kOccupation = 0;
constexpr int kHour = 11;
constexpr int kInfection = 14;
constexpr int kEmergency = 15;
constexpr int kSites = 16;

// The reports of tools/make_cross_table_csv_fixture.py, which counts them on
// its own to make the CSV fixture: date, hour, HIV, HCV and HBV results and
// the other-infection text.
struct Case {
  int year, month, day, hour, hiv, hcv, hbv;
  const char16_t* other;
};
constexpr Case kReports[] = {
    {2004, 3, 15, 9, 1, 2, 0, u"梅毒"}, {2003, 6, 16, 0, 2, 0, 0, u""},       {2004, 6, 15, 23, 0, 0, 3, u""},
    {2003, 6, 15, 12, 1, 0, 0, u""},    {2004, 1, 1, 22, 1, 1, 1, u"HTLV-1"}, {2004, 2, 29, 13, 0, 0, 0, u""},
    {2003, 12, 31, 1, 0, 3, 0, u""},    {2004, 6, 16, 10, 1, 0, 0, u""},
};

QByteArray Fixture(const char* name) { return testing::FixtureBytes(QStringLiteral("csv/") + QLatin1String(name)); }

class CrossTableWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  // Started on 15 June 2004: the window opens on 16 June 2003 to 15 June 2004.
  CrossTableWindowTest() : TempDrive(QDateTime(QDate(2004, 6, 15), QTime(10, 0))) {
    TakeTodaysDate(state.startup, clock);
    SetDefaultCodeLists(state.lists);
    QDir().mkpath(state.paths.ReportFolderPath());
    QDir().mkpath(state.paths.MyDocumentPath());
    std::vector<ReportRecord> reports;
    int i = 0;
    for (const Case& c : kReports) {
      ReportRecord r;
      r.ReportId = ++i;
      r.Years[0] = c.year;
      r.Months[0] = c.month;
      r.Days[0] = c.day;
      r.Hours[0] = c.hour;
      r.Choices[2] = c.hiv;
      r.Choices[3] = c.hcv;
      r.Choices[4] = c.hbv;
      r.Texts[kOtherInfection] = QString::fromUtf16(c.other);
      r.AnswerIds[0] = state.lists[0].entries[i % 3].id;
      r.Sites[static_cast<std::size_t>(i * 9 % kSiteCount)] = 1;
      reports.push_back(r);
    }
    EXPECT_TRUE(WriteDataFile(state.paths.DataFilePath(0), reports));
    state.counters.NewestFileNo = 0;
  }

  template <typename W>
  W* Find(const CrossTableWindow& w, const char* name) {
    W* found = w.findChild<W*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  ResultGridModel& Grid(const CrossTableWindow& w, const char* name) { return Find<ResultGrid>(w, name)->grid(); }
  void Choose(const CrossTableWindow& w, int box, int item) {
    Find<QComboBox>(w, box == 0 ? "Combo1_0" : "Combo1_1")->setCurrentIndex(item);
  }
  void Type(const CrossTableWindow& w, const char* boxName, const QString& text) {
    QLineEdit* box = Find<QLineEdit>(w, boxName);
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  // Writes the CSV file through the button and returns its bytes.
  QByteArray WriteCsv(const CrossTableWindow& w, const QString& name) {
    const QString path = QDir(state.paths.MyDocumentPath()).filePath(name);
    prompts.answerSaveFile(path);
    prompts.answer(PromptAnswer::Ok);
    Find<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(prompts.lastSaveStart, QDir(state.paths.MyDocumentPath()).filePath(QStringLiteral("クロス集計.csv")));
    EXPECT_EQ(prompts.last().text, QStringLiteral("ﾌｧｲﾙ処理に成功しました"));
    return testing::FileBytes(path);
  }
  std::vector<QString> Texts(const ResultGridModel& g) {
    std::vector<QString> texts;
    for (int r = 0; r < g.rows(); ++r)
      for (int c = 0; c < g.cols(); ++c) texts.push_back(g.cell(r, c));
    return texts;
  }
};

TEST_F(CrossTableWindowTest, OpensEmptyAndComputesOnlyWhenBothItemsAreChosen) {
  CrossTableWindow w(state);
  EXPECT_EQ(w.objectName(), "frmYHJ");
  EXPECT_EQ(w.windowTitle(), QStringLiteral("クロス集計表"));
  for (const char* name : {"Combo1_0", "Combo1_1"}) {
    QComboBox* box = Find<QComboBox>(w, name);
    ASSERT_EQ(box->count(), 17) << name;
    EXPECT_EQ(box->itemText(0), QStringLiteral("職種"));
    EXPECT_EQ(box->itemText(16), QStringLiteral("針刺し･切創部位"));
    EXPECT_EQ(box->currentIndex(), -1);
  }
  EXPECT_EQ(Find<QLineEdit>(w, "txy_0")->text(), "2003");
  EXPECT_EQ(Find<QLineEdit>(w, "txd_0")->text(), "16");
  EXPECT_EQ(Find<QLineEdit>(w, "txd_1")->text(), "15");
  EXPECT_EQ(Find<QPushButton>(w, "Command4")->text(), QStringLiteral("再計算"));
  EXPECT_EQ(Find<QPushButton>(w, "Command3")->text(), QStringLiteral("戻る"));
  const std::vector<QString> empty(4);
  for (const char* name : {"Grid1", "Grid2", "Grid3"}) EXPECT_EQ(Texts(Grid(w, name)), empty) << name;

  // One item, or "再計算" with one item, computes nothing.
  Choose(w, 0, kInfection);
  Find<QPushButton>(w, "Command4")->click();
  EXPECT_EQ(Texts(Grid(w, "Grid1")), empty);
  EXPECT_EQ(prompts.busyCalls(), 0);

  Choose(w, 1, kHour);
  const ResultGridModel& table = Grid(w, "Grid1");
  ASSERT_EQ(table.rows(), 11);
  ASSERT_EQ(table.cols(), 13);
  EXPECT_EQ(table.cell(1, 0), "HIV陽性");
  EXPECT_EQ(table.cell(0, 12), QStringLiteral(" 22～ 24時"));
  EXPECT_EQ(table.cell(1, 5), "1");   // 9 o'clock, HIV positive
  EXPECT_EQ(table.cell(1, 12), "1");  // 22 o'clock; the report after the period is left out
  EXPECT_EQ(table.cell(2, 1), "1");   // on the from-date
  EXPECT_EQ(table.cell(9, 12), "1");  // on the to-date
  EXPECT_EQ(table.cell(1, 7), "0");   // the day before the period
  EXPECT_EQ(table.cell(10, 12), "1");
  EXPECT_EQ(table.cell(10, 5), "1");

  const ResultGridModel& colTotals = Grid(w, "Grid2");
  ASSERT_EQ(colTotals.rows(), 2);
  EXPECT_EQ(colTotals.cell(0, 12), QStringLiteral(" 22～ 24時"));
  EXPECT_EQ(colTotals.cell(1, 12), "5");  // the 22 o'clock report in four rows, the 23 o'clock one in one
  EXPECT_EQ(colTotals.cell(1, 1), "2");
  const ResultGridModel& rowTotals = Grid(w, "Grid3");
  ASSERT_EQ(rowTotals.cols(), 2);
  EXPECT_EQ(rowTotals.cell(10, 0), QStringLiteral("その他"));
  EXPECT_EQ(rowTotals.cell(10, 1), "2");
  EXPECT_EQ(rowTotals.cell(1, 1), "2");
  EXPECT_GT(prompts.busyCalls(), 0);
  EXPECT_FALSE(prompts.busy());

  // Either item recomputes.
  Choose(w, 1, kEmergency);
  EXPECT_EQ(table.cols(), 3);
  EXPECT_EQ(table.cell(0, 1), QStringLiteral("緊急処置時であった"));
  EXPECT_EQ(colTotals.cell(1, 1), "0");
}

TEST_F(CrossTableWindowTest, PeriodChangeWaitsForRecalculation) {
  CrossTableWindow w(state);
  Choose(w, 0, kInfection);
  Choose(w, 1, kHour);
  const ResultGridModel& table = Grid(w, "Grid1");
  ASSERT_EQ(table.cell(2, 1), "1");
  const std::vector<QString> before = Texts(table);

  // The from-date moves a day on: nothing changes until "再計算".
  Type(w, "txd_0", "17");
  EXPECT_EQ(Texts(table), before);
  Find<QPushButton>(w, "Command4")->click();
  EXPECT_EQ(table.cell(2, 1), "0");
  EXPECT_EQ(Grid(w, "Grid2").cell(1, 1), "1");

  // Twice in a row: the same table and totals.
  const std::vector<QString> once[] = {Texts(table), Texts(Grid(w, "Grid2")), Texts(Grid(w, "Grid3"))};
  Find<QPushButton>(w, "Command4")->click();
  const std::vector<QString> twice[] = {Texts(table), Texts(Grid(w, "Grid2")), Texts(Grid(w, "Grid3"))};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(twice[i], once[i]) << i;

  // A from-date after the to-date: zeros everywhere.
  Type(w, "txy_0", "2005");
  Find<QPushButton>(w, "Command4")->click();
  for (int r = 1; r < table.rows(); ++r) {
    for (int c = 1; c < table.cols(); ++c) ASSERT_EQ(table.cell(r, c), "0") << r << "," << c;
    EXPECT_EQ(Grid(w, "Grid3").cell(r, 1), "0");
  }
  for (int c = 1; c < table.cols(); ++c) EXPECT_EQ(Grid(w, "Grid2").cell(1, c), "0");
}

// Choosing again the item a box already shows computes again with the period
// the date boxes hold now, like "再計算"; a changed item computes once.
TEST_F(CrossTableWindowTest, EveryChoiceOfAnItemComputesWithThePeriodAsShown) {
  CrossTableWindow w(state);
  ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w, "Combo1_0"), kInfection));
  EXPECT_EQ(prompts.busyCalls(), 0);  // one item only
  ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w, "Combo1_1"), kHour));
  EXPECT_EQ(prompts.busyCalls(), 2);
  const ResultGridModel& table = Grid(w, "Grid1");
  ASSERT_EQ(table.cell(2, 1), "1");  // the report on the from-date

  Type(w, "txd_0", "17");
  ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w, "Combo1_1"), kHour));
  EXPECT_EQ(prompts.busyCalls(), 4);
  EXPECT_EQ(table.cell(2, 1), "0");
  EXPECT_EQ(Grid(w, "Grid2").cell(1, 1), "1");

  Type(w, "txd_0", "16");
  ASSERT_TRUE(testing::ChooseInList(Find<QComboBox>(w, "Combo1_0"), kInfection));
  EXPECT_EQ(prompts.busyCalls(), 6);
  EXPECT_EQ(table.cell(2, 1), "1");
}

TEST_F(CrossTableWindowTest, CsvFilesAsTheFixturesHaveThem) {
  CrossTableWindow w(state);
  EXPECT_EQ(WriteCsv(w, "nothing.csv"), Fixture("cross_table_nothing_chosen.csv"));
  // The captions as the boxes stand, the grid as last computed.
  Choose(w, 0, kSites);
  EXPECT_EQ(WriteCsv(w, "vertical.csv"), Fixture("cross_table_vertical_only.csv"));

  Choose(w, 0, kInfection);
  Choose(w, 1, kHour);
  const QByteArray table = WriteCsv(w, "table.csv");
  EXPECT_EQ(table, Fixture("cross_table_infection_by_hour.csv"));

  // A date changed without recomputing: the new date in the period line, the
  // rows as they were.
  Type(w, "txd_1", "14");
  const QByteArray changed = WriteCsv(w, "changed.csv");
  const qsizetype lineEnd = table.indexOf("\r\n");
  EXPECT_EQ(changed.mid(lineEnd), table.mid(lineEnd));
  EXPECT_TRUE(
      changed.left(lineEnd).contains("2004\x94N6\x8c\x8e"
                                     "14\x93\xfa"))
      << changed.left(lineEnd).toHex().constData();
}

// The totals stay under their columns and beside their rows while the table
// scrolls to its far end.
TEST_F(CrossTableWindowTest, TotalsScrollWithTheTable) {
  CrossTableWindow w(state);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ResultGrid* table = Find<ResultGrid>(w, "Grid1");
  ResultGrid* colTotals = Find<ResultGrid>(w, "Grid2");
  ResultGrid* rowTotals = Find<ResultGrid>(w, "Grid3");

  struct Scroll {
    int vertical;
    int horizontal;
  };
  for (const Scroll s : {Scroll{kSites, kSites}, Scroll{kOccupation, kSites}, Scroll{kSites, kEmergency}}) {
    SCOPED_TRACE(::testing::Message() << s.vertical << " x " << s.horizontal);
    Choose(w, 0, s.vertical);
    Choose(w, 1, s.horizontal);
    QCoreApplication::processEvents();
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();

    const int lastCol = table->grid().cols() - 1;
    const int lastRow = table->grid().rows() - 1;
    const auto x = [](ResultGrid* g, int c) {
      return g->viewport()->mapTo(g->window(), QPoint(g->columnViewportPosition(c), 0)).x();
    };
    const auto y = [](ResultGrid* g, int r) {
      return g->viewport()->mapTo(g->window(), QPoint(0, g->rowViewportPosition(r))).y();
    };
    EXPECT_EQ(x(colTotals, lastCol), x(table, lastCol));
    EXPECT_EQ(x(colTotals, 1), x(table, 1));
    EXPECT_EQ(y(rowTotals, lastRow), y(table, lastRow));
    EXPECT_EQ(y(rowTotals, 1), y(table, 1));

    // Back to the start by the totals grids' own scrolling.
    colTotals->horizontalScrollBar()->setValue(0);
    rowTotals->verticalScrollBar()->setValue(0);
    EXPECT_EQ(table->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(table->verticalScrollBar()->value(), 0);
  }
  // The sites run past the table's width and height.
  Choose(w, 0, kSites);
  Choose(w, 1, kSites);
  QCoreApplication::processEvents();
  EXPECT_GT(table->horizontalScrollBar()->maximum(), 0);
  EXPECT_GT(table->verticalScrollBar()->maximum(), 0);
}

// A long column heading shows every line its section holds; in the short
// heading row of the totals under the table it keeps the lines that fit and
// ends in "…" rather than being cut through at the top and bottom.
TEST_F(CrossTableWindowTest, LongColumnHeadingsShowTheLinesThatFit) {
  constexpr int kDevice = 4;
  CrossTableWindow w(state);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  Choose(w, 0, kOccupation);
  Choose(w, 1, kDevice);
  QCoreApplication::processEvents();
  ResultGrid* table = Find<ResultGrid>(w, "Grid1");
  ResultGrid* colTotals = Find<ResultGrid>(w, "Grid2");
  const QString label = table->grid().cell(0, 1);
  ASSERT_EQ(label, QStringLiteral("1;使い捨て注射器の針(普通の注射器、インスリン用注射器等)"));
  EXPECT_EQ(colTotals->grid().cell(0, 1), label);

  EXPECT_EQ(table->headingText(Qt::Horizontal, 1), label);
  const QString shown = colTotals->headingText(Qt::Horizontal, 1);
  ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(label.startsWith(shown.chopped(1)));
  EXPECT_GT(shown.size(), 10);  // more than one line's worth is kept
  const QHeaderView* headings = colTotals->horizontalHeader();
  const int margin = headings->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, headings);
  const QRect wrapped =
      QFontMetrics(headings->font())
          .boundingRect(QRect(0, 0, headings->sectionSize(1) - 2 * margin, 10000), Qt::TextWordWrap, shown);
  EXPECT_LE(wrapped.height(), headings->height());
  // A short heading is left whole.
  Choose(w, 1, kEmergency);
  QCoreApplication::processEvents();
  EXPECT_EQ(colTotals->headingText(Qt::Horizontal, 1), QStringLiteral("緊急処置時であった"));
}

TEST_F(CrossTableWindowTest, BackEscapeAndTheCloseBoxClose) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    CrossTableWindow w(state);
    // The main window shows the hourglass while it opens this one; once the
    // window is up, the pointer is normal again.
    prompts.setBusy(true);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(prompts.busy());
    if (way == 0) Find<QPushButton>(w, "Command3")->click();
    if (way == 1) QTest::keyClick(&w, Qt::Key_Escape);
    if (way == 2) w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
  }
  EXPECT_TRUE(prompts.shown().empty());
}

// "印刷" prints the table as it stands, with the two items in its header,
// and leaves the window as it was.
TEST_F(CrossTableWindowTest, PrintPutsTheTableOnLandscapePages) {
  CrossTableWindow w(state);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  Choose(w, 0, kHour);
  Choose(w, 1, kSites);  // 65 columns: seven blocks of ten
  QScrollBar* across = Find<ResultGrid>(w, "Grid1")->horizontalScrollBar();
  across->setValue(across->maximum() / 2);
  const int scrolled = across->value();
  const std::vector<QString> before = Texts(Grid(w, "Grid1"));

  QPushButton* print = Find<QPushButton>(w, "Command5");
  EXPECT_EQ(print->text(), QStringLiteral("印刷"));
  EXPECT_TRUE(print->isEnabled());
  const QString path = root.filePath(QStringLiteral("cross.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  // The grid is hidden while the pages are drawn.
  int pagesWithGridShown = 0, pagesDone = 0;
  prompts.whenPageDone = [&](int) {
    ++pagesDone;
    if (Find<ResultGrid>(w, "Grid1")->isVisible()) ++pagesWithGridShown;
  };
  print->click();
  EXPECT_EQ(pagesDone, 7);
  EXPECT_EQ(pagesWithGridShown, 0);

  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("A4用紙で印刷の向きを横に指定してください"));
  EXPECT_EQ(prompts.shown()[1].kind, testing::ScriptedPrompts::Kind::Printer);
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  EXPECT_FALSE(prompts.busy());
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), 7u);
  for (const auto& page : pages) {
    EXPECT_TRUE(page.text().contains(QStringLiteral("縦項目:発生時刻；")));
    EXPECT_TRUE(page.text().contains(QStringLiteral("横項目:針刺し･切創部位")));
    EXPECT_TRUE(page.text().contains(QStringLiteral("2003年6月16日～2004年6月15日")));
  }
  // The grid is as it was, where it was.
  EXPECT_EQ(Texts(Grid(w, "Grid1")), before);
  EXPECT_EQ(across->value(), scrolled);
  EXPECT_TRUE(Find<ResultGrid>(w, "Grid1")->isVisible());
}

TEST_F(CrossTableWindowTest, PrintCancelledSaysNothingAndAFailingPrinterSaysSo) {
  CrossTableWindow w(state);
  Choose(w, 0, kOccupation);
  Choose(w, 1, kEmergency);
  prompts.answer(PromptAnswer::Ok).answerPrinterCancel();
  Find<QPushButton>(w, "Command5")->click();
  EXPECT_EQ(prompts.shown().size(), 2u);

  prompts.clear();
  prompts.answer(PromptAnswer::Ok).answerPrinterFailing().answer(PromptAnswer::Ok);
  Find<QPushButton>(w, "Command5")->click();
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.last().text, QStringLiteral("プリンターが接続されていません"));
  EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  // The grid is back after a failed print too.
  EXPECT_FALSE(Find<ResultGrid>(w, "Grid1")->isHidden());
}

}  // namespace
}  // namespace orvanta
