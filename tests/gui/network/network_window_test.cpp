#include "gui/network/network_window.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/network/feedback_file.h"
#include "core/platform/codepage.h"
#include "gui/network/network_comparison_page.h"
#include "gui/rates/rates_window.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/gui/find_control.h"
#include "support/pdf_pages.h"
#include "support/rates_collection.h"
#include "support/submission_files.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::SyntheticSubmission;

class NetworkWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  QString submission(const SyntheticSubmission& s) {
    const QString path = root.filePath(u"提出_%1_%2_%3.sqlite"_s.arg(s.facilityCode).arg(s.year).arg(next_++));
    QString error;
    EXPECT_TRUE(testing::WriteSyntheticSubmission(path, s, &error)) << error.toStdString();
    return path;
  }
  void open() {
    window = std::make_unique<NetworkWindow>(state);
    window->show();
  }
  template <typename W>
  W* find(const QString& name) {
    return testing::FindControl<W>(window.get(), name);
  }
  void click(const QString& name) { find<QPushButton>(name)->click(); }
  ResultGridModel& grid(const QString& name) { return find<ResultGrid>(name)->grid(); }
  QByteArray csv() {
    const QString path = root.filePath(u"out.csv"_s);
    QFile::remove(path);
    prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
    click(u"cmdCsv"_s);
    EXPECT_EQ(prompts.last().text, u"ﾌｧｲﾙ処理に成功しました"_s);
    return testing::FileBytes(path);
  }
  // Imports files of a network: hospital n has 50 + n beds × 4 and n % 7 + 2
  // reports per 100 beds; the last one reports far too many.
  QStringList network(int hospitals) {
    QStringList paths;
    for (int n = 1; n <= hospitals; ++n) {
      const double beds = 50 + n * 4;
      const int reports = n == hospitals ? static_cast<int>(beds * 0.4) : static_cast<int>(beds * (n % 7 + 2) / 100);
      paths << submission({u"H%1"_s.arg(n, 3, 10, QLatin1Char('0')),
                           2024,
                           u"fiscal"_s,
                           reports,
                           beds,
                           {},
                           static_cast<std::uint32_t>(n)});
    }
    return paths;
  }

  std::unique_ptr<NetworkWindow> window;
  int next_ = 0;
};

TEST_F(NetworkWindowTest, ImportListsWhatBecameOfEachFileAndShowsTheYear) {
  const QString first = submission({u"A1"_s, 2024, u"fiscal"_s, 30, 250.0, 120.0, 1});
  open();
  EXPECT_EQ(window->objectName(), u"frmNetwork"_s);
  EXPECT_EQ(window->windowTitle(), u"ネットワーク集計"_s);
  EXPECT_EQ(find<QComboBox>(u"cboYear"_s)->count(), 0);
  prompts.answerOpenFiles({first});
  click(u"cmdImport"_s);
  EXPECT_EQ(prompts.shown().front().title, u"提出ファイルの取り込み"_s);

  const QString broken = submission({u"B2"_s, 2024, u"fiscal"_s, 10, 400.0, {}, 2});
  ASSERT_TRUE(testing::ChangeSubmission(broken, u"UPDATE submission SET report_count = 11"_s));
  const QString again = submission({u"A1"_s, 2024, u"fiscal"_s, 33, 250.0, 120.0, 3});
  const QString other = submission({u"C3"_s, 2024, u"fiscal"_s, 8, 640.0, {}, 4});
  prompts.answerOpenFiles({broken, again, other}).answer(PromptAnswer::Yes);
  click(u"cmdImport"_s);
  EXPECT_TRUE(prompts.texts().last().contains(u"施設コード A1 の2024年度のデータは既に取り込まれています（30件"_s))
      << prompts.texts().last().toStdString();

  EXPECT_EQ(find<QTabWidget>(u"tabNetwork"_s)->currentWidget()->objectName(), u"pageImport"_s);
  ResultGridModel& list = grid(u"gridImport"_s);
  ASSERT_EQ(list.rows(), 4);
  EXPECT_EQ(list.cell(0, 1), u"結果"_s);
  EXPECT_EQ(list.cell(1, 1), u"取り込まず"_s);
  EXPECT_FALSE(list.cell(1, 5).isEmpty());
  EXPECT_EQ(list.cell(2, 1), u"置き換え"_s);
  EXPECT_EQ(list.cell(2, 4), u"33"_s);
  EXPECT_EQ(list.cell(3, 1), u"取り込み済み"_s);

  EXPECT_EQ(find<QComboBox>(u"cboYear"_s)->currentText(), u"2024年度"_s);
  ResultGridModel& hospitals = grid(u"gridHospitals"_s);
  ASSERT_EQ(hospitals.rows(), 3);
  EXPECT_EQ(hospitals.cell(1, 0), u"A1"_s);
  EXPECT_EQ(hospitals.cell(1, 2), u"33"_s);
  EXPECT_EQ(hospitals.cell(1, 3), u"13.20"_s);  // 33 / 250 × 100
  EXPECT_EQ(hospitals.cell(1, 8), u"27.50"_s);  // 33 / 120 × 100
  // The network: 41 reports over 890 beds.
  EXPECT_EQ(grid(u"gridWhole"_s).cell(1, 4), u"4.61"_s);

  find<QTabWidget>(u"tabNetwork"_s)->setCurrentIndex(0);
  const QByteArray bytes = csv();
  EXPECT_TRUE(
      bytes.startsWith(cp932::Encode(u"施設コード,稼働病床数,件数,100床あたり,下限,上限,判定\r\nA1,250.0,33,13.20,"_s)))
      << bytes.toStdString();
  EXPECT_TRUE(bytes.endsWith("\r\n"));
}

TEST_F(NetworkWindowTest, TheFunnelNamesOnlyThePointsOutsideTheWidestLimits) {
  const QStringList paths = network(60);
  open();
  prompts.answerOpenFiles(paths);
  click(u"cmdImport"_s);
  int outside = 0;
  for (const HospitalFigures& h : window->figures().hospitals)
    if (h.place && OutsideLimits998(*h.place)) ++outside;
  EXPECT_GE(outside, 1);  // the last one at least
  EXPECT_EQ(window->funnelLayout().labelled, outside);
  EXPECT_FALSE(window->funnelPicture().isNull());
  const ResultGridModel& hospitals = grid(u"gridHospitals"_s);
  EXPECT_EQ(hospitals.cell(60, 0), u"H060"_s);
  EXPECT_EQ(hospitals.cell(60, 6), u"99.8%の上限を超える"_s);
}

TEST_F(NetworkWindowTest, AHospitalsYearIsRemovedAfterAsking) {
  // Nothing to remove in an empty store.
  open();
  EXPECT_FALSE(find<QPushButton>(u"cmdRemove"_s)->isEnabled());
  const QStringList paths = {submission({u"A1"_s, 2024, u"fiscal"_s, 3, 100.0, {}, 1}),
                             submission({u"B2"_s, 2024, u"fiscal"_s, 4, 200.0, {}, 2})};
  open();
  prompts.answerOpenFiles(paths);
  click(u"cmdImport"_s);
  find<QTabWidget>(u"tabNetwork"_s)->setCurrentIndex(0);
  grid(u"gridHospitals"_s).setRow(2);
  prompts.answer(PromptAnswer::No);
  click(u"cmdRemove"_s);
  EXPECT_EQ(
      prompts.last().text,
      u"施設コード B2 の2024年度のデータ（4件）を削除しますか？\n削除したデータは、提出ファイルを取り込み直すと戻せます。"_s);
  EXPECT_EQ(grid(u"gridHospitals"_s).rows(), 3);
  grid(u"gridHospitals"_s).setRow(2);
  prompts.answer(PromptAnswer::Yes);
  click(u"cmdRemove"_s);
  EXPECT_EQ(grid(u"gridHospitals"_s).rows(), 2);
  EXPECT_EQ(window->figures().hospitals.size(), 1u);
}

// A read-only run (a full disk) on a machine where nothing was ever
// imported: the window opens on its empty state, with no error and no file
// made.
TEST_F(NetworkWindowTest, AReadOnlyRunWithNothingImportedShowsTheEmptyState) {
  state.startup.ReadOnlySession = true;
  open();
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(find<QLabel>(u"lblHospitalsNote"_s)->text(), u"取り込まれた提出ファイルはありません。"_s);
  EXPECT_FALSE(find<QPushButton>(u"cmdImport"_s)->isEnabled());
  EXPECT_FALSE(find<QPushButton>(u"cmdRemove"_s)->isEnabled());
  EXPECT_FALSE(QFileInfo::exists(state.paths.NetworkDatabasePath()));
}

TEST_F(NetworkWindowTest, FeedbackSheetsAndTheFeedbackFile) {
  const QStringList paths = network(12);
  open();
  prompts.answerOpenFiles(paths);
  click(u"cmdImport"_s);
  find<QTabWidget>(u"tabNetwork"_s)->setCurrentIndex(0);
  grid(u"gridHospitals"_s).setRow(3);
  const QString pdf = root.filePath(u"sheet.pdf"_s);
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  click(u"cmdSheets"_s);
  EXPECT_TRUE(prompts.shown().at(prompts.shown().size() - 3).text.contains(u"選んだ施設（H003）だけ"_s));
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_GE(pages.size(), 2u);
  EXPECT_LT(pages[0].width, pages[0].height);
  EXPECT_TRUE(pages[0].find(u"施設別還元シート"_s));
  EXPECT_TRUE(pages[0].text().contains(u"H003"_s));
  EXPECT_FALSE(pages[0].text().contains(u"H012"_s));  // no other point is named
  EXPECT_TRUE(pages[1].text().contains(u"職種"_s));

  const QString file = root.filePath(u"還元.sqlite"_s);
  prompts.answerSaveFile(file).answer(PromptAnswer::Ok);
  click(u"cmdFeedbackFile"_s);
  EXPECT_TRUE(prompts.last().text.startsWith(u"還元ファイル「"_s)) << prompts.last().text.toStdString();
  QString error;
  const auto feedback = ReadFeedbackFile(file, &error);
  ASSERT_TRUE(feedback) << error.toStdString();
  EXPECT_EQ(feedback->years.at(0).points.size(), 12u);
}

class NetworkComparisonTabTest : public ::testing::Test, public testing::TempDrive {
 protected:
  NetworkComparisonTabTest() : TempDrive(QDateTime(QDate(2024, 9, 30), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallRatesCollection(*this));
  }
};

TEST_F(NetworkComparisonTabTest, ReadsTheFeedbackAndShowsTheHospitalsOwnPoint) {
  FeedbackYear year;
  year.year = NetworkYear{2023, YearKind::Fiscal};
  year.network.hospitals = 3;
  year.network.reports = 24;
  year.network.beds = 900;
  year.network.rate = 24.0 / 900 * 100;
  year.network.p50 = 2.0;
  year.points = {{100, 1}, {300, 3}, {500, 20}};
  year.classes[1] = FeedbackGroup{1, 3, 300, 1.0, {}, {}, {}, 1.0, {}, {}};
  Feedback feedback;
  feedback.createdAt = u"2026-12-01T10:00:00+09:00"_s;
  feedback.years = {year};
  const QString file = root.filePath(u"還元.sqlite"_s);
  QString error;
  ASSERT_TRUE(WriteFeedbackFile(feedback, file, &error)) << error.toStdString();

  RatesWindow rates(state);
  rates.show();
  auto* tabs = testing::FindControl<QTabWidget>(&rates, u"tabRates"_s);
  NetworkComparisonPage* page = rates.networkPage();
  tabs->setCurrentWidget(page);
  EXPECT_EQ(tabs->tabText(tabs->currentIndex()), u"ネットワークとの比較"_s);
  EXPECT_FALSE(page->comparison());

  prompts.answerOpenFile(file).answer(PromptAnswer::Ok);
  testing::FindControl<QPushButton>(&rates, u"cmdLoadFeedback"_s)->click();
  EXPECT_EQ(prompts.last().text, u"還元ファイルを読み込みました（1年分、2026-12-01作成）。"_s);
  ASSERT_TRUE(page->comparison());
  ASSERT_TRUE(page->comparison()->rate);
  EXPECT_NEAR(page->comparison()->rate->rate, 7.0 / 330 * 100, 1e-9);
  const ResultGridModel& grid = testing::FindControl<ResultGrid>(&rates, u"gridNetworkComparison"_s)->grid();
  EXPECT_EQ(grid.cell(1, 0), u"貴施設"_s);
  EXPECT_EQ(grid.cell(1, 2), u"7"_s);
  EXPECT_EQ(grid.cell(1, 4), u"2.12"_s);
  EXPECT_EQ(grid.cell(3, 0), u"同じ病床規模（200〜399床）"_s);
  EXPECT_GT(page->funnelLayout().highlightedX, 0);
  EXPECT_FALSE(page->funnelPicture().isNull());

  const QString pdf = root.filePath(u"comparison.pdf"_s);
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  testing::FindControl<QPushButton>(&rates, u"cmdNetworkPrint"_s)->click();
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0].find(u"貴施設"_s));

  // Not a feedback file: told, nothing stored.
  prompts
      .answerOpenFile(testing::WriteFileBytes(root.filePath(u"x.sqlite"_s), "not") ? root.filePath(u"x.sqlite"_s)
                                                                                   : QString())
      .answer(PromptAnswer::Ok);
  testing::FindControl<QPushButton>(&rates, u"cmdLoadFeedback"_s)->click();
  EXPECT_TRUE(prompts.last().text.contains(u"は読み込めません。"_s));
}

}  // namespace
}  // namespace orvanta
