#include "gui/rates/rates_window.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/codepage.h"
#include "core/rates/denominators.h"
#include "core/reports/report_record.h"
#include "gui/shell/main_window.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/gui/combo_box.h"
#include "support/gui/find_control.h"
#include "support/gui/modal_window.h"
#include "support/pdf_pages.h"
#include "support/rates_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

// The window over the rates collection, started on 30 September 2024: the
// default period runs from 1 April 2020, the first day of the 年度 four
// years back.
class RatesWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  RatesWindowTest() : TempDrive(QDateTime(QDate(2024, 9, 30), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallRatesCollection(*this));
    TakeTodaysDate(state.startup, clock);
    window = std::make_unique<RatesWindow>(state);
  }

  template <typename W>
  W* find(const QString& name) {
    return testing::FindControl<W>(window.get(), name);
  }
  void click(const QString& name) { find<QPushButton>(name)->click(); }
  ResultGridModel& grid(const QString& name) { return find<ResultGrid>(name)->grid(); }
  // The period of the rates collection, typed into the from-date.
  void useRatesPeriod() {
    find<QLineEdit>(u"txy_0"_s)->setText(u"2022"_s);
    find<QLineEdit>(u"txm_0"_s)->setText(u"10"_s);
    find<QLineEdit>(u"txd_0"_s)->setText(u"1"_s);
    click(u"Command4"_s);
  }
  QByteArray csv(const QString& button) {
    const QString path = root.filePath(u"out.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    click(button);
    EXPECT_EQ(prompts.last().text, u"ﾌｧｲﾙ処理に成功しました"_s);
    return testing::FileBytes(path);
  }

  std::unique_ptr<RatesWindow> window;
};

TEST_F(RatesWindowTest, OpensOnFiveYearsOfRates) {
  EXPECT_EQ(window->objectName(), u"frmRates"_s);
  EXPECT_EQ(window->windowTitle(), u"発生率と推移"_s);
  EXPECT_EQ(find<QLineEdit>(u"txy_0"_s)->text(), u"2020"_s);
  EXPECT_EQ(find<QLineEdit>(u"txm_0"_s)->text(), u"4"_s);
  EXPECT_EQ(find<QLineEdit>(u"txd_0"_s)->text(), u"1"_s);
  EXPECT_EQ(find<QLineEdit>(u"txy_1"_s)->text(), u"2024"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdCsv"_s)->text(), u"CSVファイル変換"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdPrintTables"_s)->text(), u"表の印刷"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdPrintTrend"_s)->text(), u"推移の印刷"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdClose"_s)->text(), u"戻る"_s);
  EXPECT_EQ(find<QComboBox>(u"Combo1_16"_s)->count(), 66);
  QTabWidget* tabs = find<QTabWidget>(u"tabRates"_s);
  ASSERT_EQ(tabs->count(), 6);
  EXPECT_EQ(tabs->tabText(5), u"ネットワークとの比較"_s);
  EXPECT_EQ(tabs->tabText(0), u"発生率"_s);
  EXPECT_EQ(tabs->tabText(3), u"推移"_s);
  EXPECT_EQ(tabs->tabText(4), u"介入の前後"_s);
  EXPECT_TRUE(find<QLabel>(u"lblYearKind"_s)->text().startsWith(u"年の区切り: 年度（4月～3月）"_s));

  const ResultGridModel& rates = grid(u"gridRates"_s);
  ASSERT_EQ(rates.rows(), 6);  // the headings and 年度 2020 to 2024
  ASSERT_EQ(rates.cols(), 11);
  EXPECT_EQ(rates.cell(0, 3), u"100床あたり"_s);
  EXPECT_EQ(rates.cell(1, 0), u"2020年度"_s);
  EXPECT_EQ(rates.cell(1, 1), u"0"_s);
  EXPECT_EQ(rates.cell(1, 2), u""_s);  // no denominator
  // 年度 2022 whole: the report of 30 September 2022 over 300 beds.
  EXPECT_EQ(rates.cell(3, 0), u"2022年度"_s);
  EXPECT_EQ(rates.cell(3, 1), u"1"_s);
  EXPECT_EQ(rates.cell(3, 2), u"300.00"_s);
  EXPECT_EQ(rates.cell(3, 3), u"0.33"_s);
  EXPECT_EQ(rates.cell(4, 1), u"7"_s);
  EXPECT_EQ(rates.cell(5, 1), u"3"_s);
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_FALSE(prompts.busy());
}

TEST_F(RatesWindowTest, CsvFilesOfEachTable) {
  useRatesPeriod();
  EXPECT_EQ(
      csv(u"cmdCsv"_s),
      cp932::Encode(u"年度,件数,稼働病床数,100床あたり,下限,上限,対象件数,常勤換算職員数,100人あたり,下限,上限\r\n"
                    u"2022,0,149.59,0.00,0.00,2.47,0,99.73,0.00,0.00,3.70\r\n"
                    u"2023,7,330.00,2.12,0.85,4.37,7,210.00,3.33,1.34,6.87\r\n"
                    u"2024,3,,,,,,,,,\r\n"_s));
  EXPECT_TRUE(csv(u"cmdOccupationCsv"_s).startsWith(cp932::Encode(u"職種,2022年度件数,2022年度常勤換算,"_s)));
  EXPECT_TRUE(csv(u"cmdDeviceCsv"_s)
                  .startsWith(cp932::Encode(u"原因器材,2022年度件数,2022年度購入数,2022年度10万個あたり,"_s)));
  const QByteArray comparison = csv(u"cmdComparisonCsv"_s);
  EXPECT_TRUE(comparison.startsWith(cp932::Encode(u"介入,2023-10-01,安全装置付き翼状針の導入\r\n前後の月数,12\r\n"_s)));
}

// Choosing 正看護婦 counts the nurses against the nurses' staff.
TEST_F(RatesWindowTest, AFilterListCountsAgain) {
  useRatesPeriod();
  ASSERT_TRUE(testing::ChooseInList(find<QComboBox>(u"Combo1_0"_s), 4));
  const ResultGridModel& rates = grid(u"gridRates"_s);
  EXPECT_EQ(rates.cell(2, 1), u"5"_s);
  EXPECT_EQ(rates.cell(2, 6), u"5"_s);
  EXPECT_EQ(rates.cell(2, 7), u"150.00"_s);
  EXPECT_EQ(rates.cell(2, 8), u"3.33"_s);
  EXPECT_TRUE(find<QLabel>(u"lblRatesNote"_s)->text().contains(u"常勤換算職員数は、抽出条件で選んだ職種の値です。"_s));
  const ResultGridModel& occupations = grid(u"gridOccupations"_s);
  EXPECT_EQ(occupations.cell(0, 4), u"2023年度"_s);
  EXPECT_EQ(occupations.cell(1, 4), u"件数"_s);
  EXPECT_EQ(occupations.cell(2, 0), u"医師(常勤・非常勤)"_s);
  EXPECT_EQ(occupations.cell(2, 4), u"0"_s);
  EXPECT_EQ(occupations.cell(5, 4), u"5"_s);
}

// A report of an occupation without an FTE (and of a device without a
// purchase count) is counted in 件数 but not in 100人あたり: the rate pairs
// the reports of the occupations that have an FTE with their FTE, and each
// table's note names what it leaves out.
TEST_F(RatesWindowTest, PerHundredStaffCountsOnlyTheOccupationsWithAnFte) {
  ReportRecord other;
  other.Years[0] = 2023;
  other.Months[0] = 8;
  other.Days[0] = 1;
  other.AnswerIds[kOccupations] = testing::EntryIdAt(*this, kOccupations, 2);
  other.AnswerIds[kDevices] = testing::EntryIdAt(*this, kDevices, 3);
  ASSERT_TRUE(WriteReports(2, {other}));
  state.counters.NewestFileNo = 2;
  useRatesPeriod();
  const ResultGridModel& rates = grid(u"gridRates"_s);
  EXPECT_EQ(rates.cell(2, 1), u"8"_s);       // every report of 2023
  EXPECT_EQ(rates.cell(2, 6), u"7"_s);       // those of the doctors and the nurses
  EXPECT_EQ(rates.cell(2, 7), u"210.00"_s);  // their FTE
  EXPECT_EQ(rates.cell(2, 8), u"3.33"_s);    // 7 / 210 × 100, not 8 / 210 × 100
  const auto name = [this](int list, int category) {
    return state.lists[static_cast<std::size_t>(list)].entries[category - 1].name;
  };
  const QString ratesNote = find<QLabel>(u"lblRatesNote"_s)->text();
  EXPECT_TRUE(ratesNote.contains(u"100人あたりは、常勤換算職員数の登録されている職種の報告書（対象件数）だけを"_s));
  EXPECT_TRUE(ratesNote.endsWith(u"常勤換算職員数のない職種（率に含めていない報告書）: "_s + name(kOccupations, 2) +
                                 u" 1件。"_s))
      << ratesNote.toStdString();
  EXPECT_EQ(find<QLabel>(u"lblOccupationNote"_s)->text(),
            u"常勤換算のない職種（率に含めていない報告書）: "_s + name(kOccupations, 1) + u" 1件、"_s +
                name(kOccupations, 2) + u" 1件、"_s + name(kOccupations, 4) + u" 2件。"_s);
  EXPECT_EQ(find<QLabel>(u"lblDeviceNote"_s)->text(),
            u"購入数のない原因器材（率に含めていない報告書）: "_s + name(kDevices, 1) + u" 2件、"_s +
                name(kDevices, 3) + u" 1件、"_s + name(kDevices, 6) + u" 1件、"_s + name(kDevices, 7) + u" 1件。"_s);
  // Before and after per staff: the same pairing. Six months before
  // 1 October 2023 hold five reports, four of the doctors and nurses.
  find<QSpinBox>(u"spnMonths"_s)->setValue(6);
  ASSERT_TRUE(testing::ChooseInList(find<QComboBox>(u"cboBase"_s), 1));  // 常勤換算職員数
  EXPECT_EQ(window->comparison().used, ComparisonBase::Staff);
  EXPECT_EQ(grid(u"gridComparison"_s).cell(1, 3), u"4"_s);
  EXPECT_TRUE(
      find<QLabel>(u"lblComparison"_s)->text().endsWith(u" ※件数は常勤換算職員数の登録されている職種の報告書です"_s));
  ASSERT_TRUE(testing::ChooseInList(find<QComboBox>(u"cboBase"_s), 0));  // 稼働病床数: every report
  EXPECT_EQ(grid(u"gridComparison"_s).cell(1, 3), u"5"_s);
  // The notes are printed under their tables.
  EXPECT_EQ(window->tablesPrint().tables[1].note, find<QLabel>(u"lblOccupationNote"_s)->text());
  EXPECT_EQ(window->tablesPrint().tables[2].note, find<QLabel>(u"lblDeviceNote"_s)->text());
}

// Both interventions lie inside the period: two red lines at their days,
// the later one right of the earlier, each reaching the plot.
TEST_F(RatesWindowTest, TrendMarksBothInterventions) {
  useRatesPeriod();
  const TrendLayout& layout = window->trendLayout();
  ASSERT_EQ(layout.monthX.size(), 24u);  // October 2022 to September 2024
  ASSERT_EQ(layout.markX.size(), 2u);
  // 1 October 2023 starts month 12, 1 April 2024 month 18.
  EXPECT_NEAR(layout.markX[0], (layout.monthX[12] + layout.monthX[11]) / 2, 0.5);
  EXPECT_NEAR(layout.markX[1], (layout.monthX[18] + layout.monthX[17]) / 2, 0.5);
  EXPECT_EQ(layout.markRow, (std::vector<int>{0, 0}));
  const QImage picture = window->trendPicture();
  ASSERT_FALSE(picture.isNull());
  const int y = static_cast<int>(layout.plot.center().y());
  const auto reddish = [&](int x) {
    for (int dx = -1; dx <= 1; ++dx) {
      const QColor c = picture.pixelColor(x + dx, y);
      if (c.red() > 200 && c.green() < 120 && c.blue() < 120) return true;
    }
    return false;
  };
  EXPECT_TRUE(reddish(static_cast<int>(std::lround(layout.markX[0]))));
  EXPECT_TRUE(reddish(static_cast<int>(std::lround(layout.markX[1]))));
  EXPECT_FALSE(reddish(static_cast<int>(std::lround(layout.monthX[5]))));
}

TEST_F(RatesWindowTest, BeforeAndAfterTheChosenIntervention) {
  useRatesPeriod();
  QComboBox* chosen = find<QComboBox>(u"cboIntervention"_s);
  ASSERT_EQ(chosen->count(), 2);
  EXPECT_EQ(chosen->currentText(), u"2023-10-01  安全装置付き翼状針の導入"_s);
  QSpinBox* months = find<QSpinBox>(u"spnMonths"_s);
  EXPECT_EQ(months->value(), 12);
  // Twelve months after reach 年度 2024, which has no beds.
  EXPECT_TRUE(find<QLabel>(u"lblComparison"_s)
                  ->text()
                  .endsWith(u"※稼働病床数が未登録の年があるため、月数を時間として比べています"_s));
  EXPECT_EQ(window->comparison().used, ComparisonBase::Months);

  months->setValue(6);
  EXPECT_EQ(find<QLabel>(u"lblComparison"_s)->text(),
            u"介入: 2023-10-01  安全装置付き翼状針の導入 ／ 前後6か月 ／ 分母: 稼働病床数（100床・年あたり）"_s);
  const ResultGridModel& table = grid(u"gridComparison"_s);
  ASSERT_EQ(table.rows(), 5);
  EXPECT_EQ(table.cell(1, 0), u"前"_s);
  EXPECT_EQ(table.cell(1, 3), u"4"_s);
  EXPECT_EQ(table.cell(1, 4), u"165.00"_s);
  EXPECT_EQ(table.cell(2, 5), u"1.82"_s);
  EXPECT_EQ(table.cell(3, 5), u"0.75"_s);
  EXPECT_EQ(table.cell(4, 5), u"1.0000"_s);

  ASSERT_TRUE(testing::ChooseInList(find<QComboBox>(u"cboBase"_s), 3));  // 月数
  EXPECT_EQ(table.cell(1, 4), u"6.00"_s);
  EXPECT_EQ(table.cell(1, 5), u"0.67"_s);

  // The other intervention: its six months after end with the period.
  chosen->setCurrentIndex(1);
  EXPECT_EQ(window->comparison().intervention.label, u"針刺し防止研修"_s);
  EXPECT_EQ(table.cell(2, 2), u"2024年9月30日"_s);
}

// A year whose beds are registered as 0 is said to be 0, not 未登録.
TEST_F(RatesWindowTest, BeforeAndAfterSaysWhetherTheDenominatorIsMissingOrZero) {
  useRatesPeriod();
  find<QComboBox>(u"cboIntervention"_s)->setCurrentIndex(1);  // 1 April 2024
  find<QSpinBox>(u"spnMonths"_s)->setValue(6);                // after: 年度 2024 alone
  const QLabel* caption = find<QLabel>(u"lblComparison"_s);
  EXPECT_TRUE(caption->text().endsWith(u" ※稼働病床数が未登録の年があるため、月数を時間として比べています"_s))
      << caption->text().toStdString();
  QString error;
  ASSERT_TRUE(StoreDenominators(state.database, {{{2024, DenominatorKind::Beds, 0}, 0.0}}, &error));
  click(u"Command4"_s);
  EXPECT_TRUE(caption->text().endsWith(u" ※稼働病床数が0として登録されているため、月数を時間として比べています"_s))
      << caption->text().toStdString();
  EXPECT_EQ(window->comparison().used, ComparisonBase::Months);
}

TEST_F(RatesWindowTest, TablesAndTrendPrintOnLandscapePages) {
  useRatesPeriod();
  const QString tables = root.filePath(u"tables.pdf"_s);
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(tables);
  click(u"cmdPrintTables"_s);
  EXPECT_EQ(prompts.shown().front().text, u"A4用紙で印刷の向きを横に指定してください"_s);
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(tables);
  ASSERT_GE(pages.size(), 4u);
  EXPECT_EQ(static_cast<int>(pages.size()), prompts.printPageCount());
  EXPECT_GT(pages[0].width, pages[0].height);
  EXPECT_TRUE(pages[0].text().contains(u"発生率（年度別）"_s));
  EXPECT_TRUE(pages[0].find(u"2023年度"_s));
  EXPECT_TRUE(pages[0].find(u"330.00"_s));
  EXPECT_TRUE(pages[0].find(u"4.37"_s));
  EXPECT_TRUE(pages[0].text().contains(u"全ての報告書"_s));
  QString all;
  for (const auto& page : pages) all += page.text() + u' ';
  EXPECT_TRUE(all.contains(u"職種別（常勤換算100人あたり）"_s));
  EXPECT_TRUE(all.contains(u"原因器材別（購入10万個あたり）"_s));
  EXPECT_TRUE(all.contains(u"介入の前後"_s));

  prompts.clear();
  const QString trend = root.filePath(u"trend.pdf"_s);
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(trend);
  click(u"cmdPrintTrend"_s);
  const auto trendPages = testing::ReadPdfPages(trend);
  ASSERT_EQ(trendPages.size(), 1u);
  EXPECT_GT(trendPages[0].width, trendPages[0].height);
  EXPECT_TRUE(trendPages[0].find(u"針刺し防止研修"_s));
  EXPECT_TRUE(trendPages[0].find(u"2023年度"_s));
}

// ツール → 発生率と推移 and 分母の登録 open their windows.
TEST_F(RatesWindowTest, MenuOpensBothWindows) {
  MainWindow main(state);
  for (const auto& [action, form] :
       {std::pair{"actRates", "frmRates"}, std::pair{"actDenominators", "frmDenominators"}}) {
    QAction* command = main.findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled()) << action;
    bool opened = false;
    testing::WhenModal(QString::fromLatin1(form), [&opened](QWidget* w) {
      opened = true;
      w->close();
    });
    command->trigger();
    EXPECT_TRUE(opened) << form;
  }
}

}  // namespace
}  // namespace orvanta
