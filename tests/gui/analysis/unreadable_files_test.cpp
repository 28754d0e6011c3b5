// Every analysis window tells the user which data files it left out because
// they could not be read, once for each set of such files, after the
// computation (the busy pointer off) and with the counts of the files that
// did read.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "core/analysis/analysis_axis.h"
#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/reports/data_file.h"
#include "gui/analysis/cross_table_window.h"
#include "gui/analysis/extraction_window.h"
#include "gui/analysis/graph_window.h"
#include "gui/analysis/item_graph_window.h"
#include "gui/analysis/summary_window.h"
#include "gui/rates/rates_window.h"
#include "support/gui/combo_box.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

class UnreadableFilesTest : public ::testing::Test, public testing::TempDrive {
 protected:
  UnreadableFilesTest() : TempDrive(QDateTime(QDate(2024, 6, 15), QTime(10, 0))) {
    TakeTodaysDate(state.startup, clock);
    SetDefaultCodeLists(state.lists);
    QDir().mkpath(state.paths.ReportFolderPath());
    QDir().mkpath(state.paths.MyDocumentPath());
    // 0.dat and 3.dat read; 1.dat is cut short in its first report, 2.dat is
    // missing (a gap says nothing), 4.dat is garbage.
    EXPECT_TRUE(WriteReports(0, {Report(1, 3), Report(2, 4)}));
    EXPECT_TRUE(WriteReports(3, {Report(3, 5)}));
    const QByteArray whole = testing::FileBytes(state.paths.DataFilePath(0));
    EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), whole.left(whole.size() / 3)));
    EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(4), QByteArray("\x81\xff\x00garbage\r\n", 12)));
    state.counters.NewestFileNo = 4;
  }

  static ReportRecord Report(int id, int month) {
    ReportRecord r;
    r.ReportId = id;
    r.Years[0] = 2024;
    r.Months[0] = month;
    r.Days[0] = 1;
    return r;
  }

  QString Expected() const {
    return QStringLiteral(
               "次のデータファイルは読み込めなかったため、集計に含めていません。"
               "表示されている件数は、読み込めたデータファイルの報告書だけのものです。\n%1\n%2\n"
               "これらのファイルの報告は、メインウィンドウの「ファイル」メニューの「データファイルの修復」で取り戻せる"
               "ことが"
               "あります。")
        .arg(QDir::toNativeSeparators(state.paths.DataFilePath(1)),
             QDir::toNativeSeparators(state.paths.DataFilePath(4)));
  }

  // Answers the one message that the next computation shows, checking that
  // the pointer is no longer busy while it is open.
  void ExpectTold() {
    prompts.answer(PromptAnswer::Ok, [this] { EXPECT_FALSE(prompts.busy()); });
  }

  void CheckShownOnce(const QString& window) {
    SCOPED_TRACE(window.toStdString());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text, Expected());
    EXPECT_EQ(prompts.last().title, QString());
    EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
    EXPECT_TRUE(prompts.allAnswered());
  }

  // Recomputing with the same files damaged tells nothing again.
  void RecomputeQuietly(QWidget& w) {
    auto* recompute = w.findChild<QPushButton*>(QStringLiteral("Command4"));
    ASSERT_NE(recompute, nullptr);
    recompute->click();
    recompute->click();
    EXPECT_EQ(prompts.shown().size(), 1u);
  }
};

TEST_F(UnreadableFilesTest, WindowsThatComputeAsTheyOpenTellOnce) {
  const std::vector<std::pair<QString, std::function<std::unique_ptr<QWidget>()>>> windows = {
      {QStringLiteral("frmTySu"), [this] { return std::make_unique<ExtractionWindow>(state); }},
      {QStringLiteral("frmTySu2"), [this] { return std::make_unique<SummaryWindow>(state); }},
      {QStringLiteral("frmTySu3"), [this] { return std::make_unique<GraphWindow>(state); }},
      {QStringLiteral("frmPost"), [this] { return std::make_unique<ItemGraphWindow>(state); }},
  };
  for (const auto& [name, open] : windows) {
    prompts.clear();
    ExpectTold();
    std::unique_ptr<QWidget> w = open();
    EXPECT_EQ(w->objectName(), name);
    CheckShownOnce(name);
    RecomputeQuietly(*w);
    // The reports of the files that read are counted.
    if (auto* count = w->findChild<QLabel*>(QStringLiteral("Label7"))) {
      EXPECT_EQ(count->text(), "3") << name.toStdString();
    }
  }
}

TEST_F(UnreadableFilesTest, CrossTableTellsOnceAndAgainWhenAnotherFileIsDamaged) {
  CrossTableWindow w(state);
  EXPECT_TRUE(prompts.shown().empty());  // nothing computed before both items are chosen
  ExpectTold();
  ASSERT_TRUE(testing::ChooseInList(w.findChild<QComboBox*>(QStringLiteral("Combo1_0")), 0));
  ASSERT_TRUE(testing::ChooseInList(w.findChild<QComboBox*>(QStringLiteral("Combo1_1")), 10));
  CheckShownOnce(QStringLiteral("frmYHJ"));
  RecomputeQuietly(w);

  // Once the files read again, the next damage is told again.
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(1)));
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(4)));
  w.findChild<QPushButton*>(QStringLiteral("Command4"))->click();
  EXPECT_EQ(prompts.shown().size(), 1u);
  EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(4), "x"));
  prompts.answer(PromptAnswer::Ok);
  w.findChild<QPushButton*>(QStringLiteral("Command4"))->click();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_TRUE(prompts.last().text.endsWith(
      QStringLiteral("のものです。\n") + QDir::toNativeSeparators(state.paths.DataFilePath(4)) + u'\n' + kRepairHint));
}

// A data file that ends inside its body-site block reads, its reports
// counted; every view names it and says how many of the reports it counted
// lack their body sites.
class CutShortFilesTest : public UnreadableFilesTest {
 protected:
  CutShortFilesTest() {
    EXPECT_TRUE(QFile::remove(state.paths.DataFilePath(1)));
    EXPECT_TRUE(QFile::remove(state.paths.DataFilePath(4)));
    // 3.dat: three reports, all with body site 5; the file ends 40 marks
    // into the second report's block, so the second and the third lack their
    // body sites.
    std::vector<ReportRecord> reports = {Report(3, 2), Report(4, 3), Report(5, 4)};
    for (ReportRecord& r : reports) r.Sites[4] = 1;
    EXPECT_TRUE(WriteReports(3, reports));
    const QByteArray whole = testing::FileBytes(state.paths.DataFilePath(3));
    qsizetype at = 0;
    for (int line = 0; line < 1 + 3 * 71 + 81 + 40; ++line) at = whole.indexOf("\r\n", at) + 2;
    EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(3), whole.left(at)));
    state.counters.NewestFileNo = 3;
  }

  void CheckToldOnce(const QString& window) {
    SCOPED_TRACE(window.toStdString());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(
        prompts.last().text,
        QStringLiteral("次のデータファイルは受傷部位の記録の途中で終わっているため、集計した報告書のうち 2 件は"
                       "受傷部位が読み込めていません。これらの報告書は件数には含まれていますが、受傷部位はないもの"
                       "として数えています。\n%1(2 件)\n")
                .arg(QDir::toNativeSeparators(state.paths.DataFilePath(3))) +
            kRepairHint);
    EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  }
};

TEST_F(CutShortFilesTest, EveryViewNamesTheFileAndTheReportsWithoutBodySites) {
  const std::vector<std::pair<QString, std::function<std::unique_ptr<QWidget>()>>> windows = {
      {QStringLiteral("frmTySu"), [this] { return std::make_unique<ExtractionWindow>(state); }},
      {QStringLiteral("frmTySu2"), [this] { return std::make_unique<SummaryWindow>(state); }},
      {QStringLiteral("frmTySu3"), [this] { return std::make_unique<GraphWindow>(state); }},
      {QStringLiteral("frmPost"), [this] { return std::make_unique<ItemGraphWindow>(state); }},
      {QStringLiteral("frmRates"), [this] { return std::make_unique<RatesWindow>(state); }},
  };
  for (const auto& [name, open] : windows) {
    prompts.clear();
    ExpectTold();
    std::unique_ptr<QWidget> w = open();
    EXPECT_EQ(w->objectName(), name);
    CheckToldOnce(name);
    RecomputeQuietly(*w);
    // All five reports are counted.
    if (auto* count = w->findChild<QLabel*>(QStringLiteral("Label7"))) {
      EXPECT_EQ(count->text(), "5") << name.toStdString();
    }
  }
  prompts.clear();
  CrossTableWindow cross(state);
  ExpectTold();
  ASSERT_TRUE(testing::ChooseInList(cross.findChild<QComboBox*>(QStringLiteral("Combo1_0")), 0));
  ASSERT_TRUE(testing::ChooseInList(cross.findChild<QComboBox*>(QStringLiteral("Combo1_1")), 10));
  CheckToldOnce(QStringLiteral("frmYHJ"));
}

TEST_F(CutShortFilesTest, AFileWithBothKindsOfDamageIsToldInOneMessageAndAPeriodWithoutTheLackingReportsTellsNothing) {
  EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(4), "x"));
  state.counters.NewestFileNo = 4;
  ExpectTold();
  SummaryWindow w(state);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_TRUE(prompts.last().text.startsWith(u"次のデータファイルは読み込めなかったため"));
  EXPECT_TRUE(prompts.last().text.contains(u"\n\n次のデータファイルは受傷部位の記録の途中で終わっているため"));

  // Reports of January and February only: none of them lacks its sites.
  const ScanSummary scanned = ScanReports(state.paths, 3, AnalysisPeriod{{2024, 1, 1}, {2024, 2, 28}}, {}, 1);
  EXPECT_TRUE(scanned.cutShortFiles.empty());
  const ScanSummary whole = ScanReports(state.paths, 3, AnalysisPeriod{{2024, 1, 1}, {2024, 12, 31}}, {}, 1);
  EXPECT_EQ(whole.cutShortFiles, (std::vector<CutShortFile>{{3, 2}}));
  EXPECT_EQ(whole.reportsInPeriod, 5);
}

}  // namespace
}  // namespace orvanta
