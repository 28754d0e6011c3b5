#include "gui/shell/main_window.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <gtest/gtest.h>
#include <tuple>

#include "core/analysis/analysis_axis.h"
#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/platform/safe_save.h"
#include "core/platform/system_info.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_repair.h"
#include "gui/widgets/layout_helpers.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/pdf_pages.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using testing::WhenModal;
using testing::WriteFileBytes;

const QString kBackupQuestion = QStringLiteral(
    "バックアップに上書きしますか？\nエラーが出た場合は上書きしないでください。保存する場合は「はい」を押してください"
    "。");

class MainWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    PrepareDataFolder(state.paths);
    SetDefaultCodeLists(state.lists);
    ASSERT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
  }
  static ReportRecord report(int id) {
    ReportRecord r;
    r.ReportId = id;
    r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(id);
    return r;
  }
  void writeFile(int n, int count, int firstId) {
    std::vector<ReportRecord> table;
    for (int i = 0; i < count; ++i) table.push_back(report(firstId + i));
    ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), table));
  }
};

TEST_F(MainWindowTest, EveryControlHasItsCaptionAndPlace) {
  MainWindow window(state);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("トンリクス日本版　Orvanta"));
  struct Control {
    const char* name;
    const char* caption;
    const char* frame;
    // clang-format off
  } controls[] = {
      {"Command2_8", "勤務部署の登録・変更・削除", "Frame1"}, {"Command2_0", "職種の登録・変更・削除", "Frame1"},
      {"Command2_1", "事故発生場所の登録・変更・削除", "Frame1"}, {"Command2_2", "器材使用目的の登録・変更・削除", "Frame1"},
      {"Command2_3", "事故発生状況の登録・変更・削除", "Frame1"}, {"Command2_5", "事故程度の登録・変更・削除", "Frame1"},
      {"Command2_9", "行為別の登録・変更・削除", "Frame1"},      {"Command3", "その他詳細項目の設定", "Frame1"},
      {"Command2_4", "事故原因器材の登録・変更・削除", "Frame1"}, {"cmdname_3", "新規追加", "Frame2_0"},
      {"cmdname_2", "変更・表示", "Frame2_0"},                   {"cmdname_1", "Tonrixシート印刷", "Frame2_1"},
      {"Command4", "クロス集計", "Frame3"},                      {"Command5", "データ抽出", "Frame3"},
      {"Command7", "レポート", "Frame3"},                        {"Command8", "グラフ", "Frame3"},
      {"Command6", "項目別グラフ", "Frame3"},                    {"Command1", "終了", "panel"},
  };
  // clang-format on
  int previousTop = -1;
  QString previousFrame;
  for (const Control& c : controls) {
    auto* b = window.findChild<QPushButton*>(QString::fromLatin1(c.name));
    ASSERT_NE(b, nullptr) << c.name;
    EXPECT_EQ(b->text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(b->parentWidget()->objectName(), QString::fromLatin1(c.frame)) << c.name;
    // Top to bottom within each frame, in the order of the list above.
    if (previousFrame == QString::fromLatin1(c.frame)) {
      EXPECT_GT(b->y(), previousTop) << c.name;
    }
    previousFrame = QString::fromLatin1(c.frame);
    previousTop = b->y();
  }
  const std::pair<const char*, const char*> labels[] = {
      {"Label2", "Orvanta"}, {"Label1", "トンリクス日本版　Orvanta"}, {"Label3_1", "Ver.3.1.0"}};
  for (const auto& [name, text] : labels)
    EXPECT_EQ(window.findChild<QLabel*>(QString::fromLatin1(name))->text(), QString::fromUtf8(text));
  const std::pair<const char*, const char*> frames[] = {
      {"Frame1", "設定"}, {"Frame2_0", "事故入力"}, {"Frame2_1", "その他"}, {"Frame3", "解析"}};
  for (const auto& [name, title] : frames)
    EXPECT_EQ(window.findChild<QGroupBox*>(QString::fromLatin1(name))->title(), QString::fromUtf8(title));

  // Designed places, in twips from the top left of the panel under the menu bar.
  auto* panel = window.findChild<QWidget*>(QStringLiteral("panel"));
  auto* menuBar = window.findChild<QMenuBar*>(QStringLiteral("menuBar"));
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(menuBar, nullptr);
  window.show();
  EXPECT_EQ(panel->size(), QSize(Twips(10140), Twips(6450)));
  EXPECT_EQ(panel->y(), menuBar->height());
  EXPECT_EQ(window.size(), QSize(Twips(10140), Twips(6450) + menuBar->height()));
  const std::tuple<const char*, int, int> places[] = {
      {"Label2", 1410, 180},    {"Label1", 2370, 1140},   {"Label3_1", 8820, 780}, {"Frame1", 660, 1500},
      {"Frame2_0", 4515, 1500}, {"Frame2_1", 4500, 3240}, {"Frame3", 7500, 1500},  {"Command1", 8250, 5910},
  };
  for (const auto& [name, left, top] : places) {
    auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->pos(), QPoint(Twips(left), Twips(top))) << name;
  }
  EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("Frame1"))->size(), QSize(Twips(3465), Twips(4785)));
}

TEST_F(MainWindowTest, MenuBarHoldsTheCommandsBeyondThePanel) {
  MainWindow window(state);
  auto* menuBar = window.findChild<QMenuBar*>(QStringLiteral("menuBar"));
  ASSERT_NE(menuBar, nullptr);
  QStringList titles;
  for (QAction* menu : menuBar->actions()) titles << menu->text();
  EXPECT_EQ(titles,
            (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("ツール(&T)"), QStringLiteral("ヘルプ(&H)")}));
  const std::pair<const char*, const char*> items[] = {
      {"actBackupNow", "今すぐバックアップ"},
      {"actRestore", "バックアップから復元"},
      {"actRepairDataFile", "データファイルの修復"},
      {"actQuit", "終了"},
      {"actDueList", "経過観察予定"},
      {"actScheduleTemplates", "経過観察の予定表"},
      {"actRates", "発生率と推移"},
      {"actDenominators", "分母の登録"},
      {"actAccessLog", "操作記録"},
      {"actGuide", "使い方"},
      {"actAbout", "バージョン情報"},
  };
  for (const auto& [name, caption] : items) {
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    EXPECT_TRUE(action->text().startsWith(QString::fromUtf8(caption))) << name;
  }
  // ファイル → 終了 ends the run as the panel's 終了 does.
  window.show();
  prompts.answer(PromptAnswer::No);
  window.findChild<QAction*>(QStringLiteral("actQuit"))->trigger();
  EXPECT_EQ(prompts.texts(), QStringList{kBackupQuestion});
  EXPECT_FALSE(window.isVisible());
}

// The newest data file, 2.dat of 500 reports, has its count line lowered by
// hand to 50. A report added through "変更・表示" never takes its place: the
// file stays as it is with all 500 reports, the new report starts 3.dat, and
// the views leave 2.dat out and say so, until ファイル → "データファイルの修復"
// writes its reports back under its number.
TEST_F(MainWindowTest, ADamagedNewestFileKeepsItsReportsAndTheMenuMendsThem) {
  auto dated = [](int firstId, int count) {
    std::vector<ReportRecord> table;
    for (int i = 0; i < count; ++i) {
      ReportRecord r = report(firstId + i);
      r.Years = {2025, 2025, 0};
      r.Months = {6, 6, 0};
      r.Days = {1, 2, 0};
      table.push_back(r);
    }
    return table;
  };
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(0), dated(1, 3)));
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(1), dated(4, 2)));
  const std::vector<ReportRecord> five100 = dated(6, 500);
  QByteArray damaged = DataFileBytes(five100);
  ASSERT_TRUE(damaged.startsWith(" 500 \r\n"));
  damaged.replace(0, 7, " 50 \r\n");
  ASSERT_TRUE(WriteFileBytes(state.paths.DataFilePath(2), damaged));
  state.counters = IdCounters{470, 505, 2, 505};
  const AnalysisPeriod all{{2000, 1, 1}, {2030, 12, 31}};

  MainWindow window(state);
  window.load();
  window.activate();
  ASSERT_EQ(state.dataFile.ReportCount(), 0);  // 2.dat does not read
  // The report window tells of the damaged file and offers its repair: not now.
  prompts.answer(PromptAnswer::No);
  WhenModal(QStringLiteral("frmrep"), [](QWidget* rep) {
    testing::Type(rep->findChild<QLineEdit*>(QStringLiteral("Text1_5")), QStringLiteral("書き足した人"));
    rep->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  });
  window.findChild<QPushButton*>(QStringLiteral("cmdname_2"))->click();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("データファイル「%1」は正しく読み込めないため")
                                                 .arg(QDir::toNativeSeparators(state.paths.DataFilePath(2)))));

  EXPECT_EQ(FileBytes(state.paths.DataFilePath(2)), damaged);
  EXPECT_TRUE(QDir(state.paths.ReportFolderPath()).entryList({QStringLiteral("*.damaged-*")}).isEmpty());
  EXPECT_EQ(RecoverDataFile(state.paths.DataFilePath(2)).reports, five100);
  std::vector<ReportRecord> added;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(3), added).ok());
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].ReportId, 506);
  EXPECT_EQ(added[0].Texts[kReporterName], QStringLiteral("書き足した人"));
  EXPECT_EQ(state.counters.NewestFileNo, 3);
  // The views leave 2.dat out, and name it.
  ScanSummary scanned = ScanReports(state.paths, state.counters.NewestFileNo, all, {});
  EXPECT_EQ(scanned.unreadableFiles, std::vector<int>{2});
  EXPECT_EQ(scanned.reportsInPeriod, 3 + 2 + 1);

  // ファイル → データファイルの修復: what 2.dat holds beside its count line;
  // "はい" writes it back.
  prompts.clear();
  QAction* repair = window.findChild<QAction*>(QStringLiteral("actRepairDataFile"));
  ASSERT_NE(repair, nullptr);
  EXPECT_TRUE(repair->isEnabled());
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  repair->trigger();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_TRUE(prompts.shown()[0].text.startsWith(
      QStringLiteral("データファイル「%1」の中に、完全な報告が500件見つかりました(報告番号 6～505)。\n"
                     "ファイルの1行目の件数: 50件\n")
          .arg(QDir::toNativeSeparators(state.paths.DataFilePath(2)))));
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(2) + QStringLiteral(".damaged-20261209-0900")), damaged);
  std::vector<ReportRecord> mended;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(2), mended).ok());
  EXPECT_EQ(mended, five100);
  EXPECT_EQ(state.counters.TotalReports, 506);
  scanned = ScanReports(state.paths, state.counters.NewestFileNo, all, {});
  EXPECT_TRUE(scanned.unreadableFiles.empty());
  EXPECT_EQ(scanned.reportsInPeriod, 506);

  // Nothing is left to mend.
  prompts.clear();
  prompts.answer(PromptAnswer::Ok);
  repair->trigger();
  EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("修復が必要なデータファイルはありません。")});
}

TEST_F(MainWindowTest, ReportButtonsChooseTheModeFromTheNewestFile) {
  struct Case {
    const char* button;
    int reportsInNewest;
    bool newReport;
  } cases[] = {
      {"cmdname_2", 3, false},  // browse on the last report
      {"cmdname_2", 0, true},   // nothing to browse: a new report
      {"cmdname_3", 3, true},
  };
  for (const Case& c : cases) {
    writeFile(0, 2, 1);
    writeFile(1, c.reportsInNewest, 10);
    state.counters.NewestFileNo = 1;
    MainWindow window(state);
    window.activate();
    bool newMode = !c.newReport;
    int index = -1;
    WhenModal(QStringLiteral("frmrep"), [&](QWidget* rep) {
      newMode = state.editing.NewReportMode;
      index = state.dataFile.CurrentIndex;
      rep->close();
    });
    window.findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
    EXPECT_EQ(newMode, c.newReport) << c.button << " " << c.reportsInNewest;
    if (!c.newReport) {
      EXPECT_EQ(index, c.reportsInNewest - 1);
    }
    EXPECT_FALSE(state.editing.NewReportMode);  // cleared once the window has closed
  }
}

TEST_F(MainWindowTest, LoadCountsEveryFileAndActivationReloadsTheNewest) {
  writeFile(0, 3, 1);
  writeFile(1, 0, 0);
  QFile broken(state.paths.DataFilePath(2));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write(" 5 \r\nnot a number\r\n");
  broken.close();
  writeFile(3, 2, 4);
  state.counters.NewestFileNo = 3;

  MainWindow window(state);
  window.load();
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 3);
  EXPECT_EQ(state.dataFile.FileRecordCounts[1], 0);
  EXPECT_EQ(state.dataFile.FileRecordCounts[2], 0);  // unreadable counts as empty
  EXPECT_EQ(state.dataFile.FileRecordCounts[3], 2);
  EXPECT_TRUE(prompts.shown().empty());  // not a first run: no greeting

  LoadDataFile(state.dataFile, state.paths, 0);  // as an analysis scan or the entry window would leave it
  // A modal window closes: the newest data file is back.
  window.openModal([&] { EXPECT_TRUE(prompts.busy()); });
  EXPECT_EQ(state.dataFile.CurrentFileNo, 3);
  ASSERT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.dataFile.ReportTable[1].ReportId, 5);
  EXPECT_FALSE(prompts.busy());
}

TEST_F(MainWindowTest, SettingsButtonsOpenTheEditorsOnTheirLists) {
  MainWindow window(state);
  const std::pair<const char*, const char*> buttons[] = {{"Command2_8", "部署登録"},
                                                         {"Command2_0", "職種登録"},
                                                         {"Command2_4", "事故原因器材登録"},
                                                         {"Command2_9", "行為別登録"},
                                                         {"Command3", "設問6解答"}};
  for (const auto& [name, caption] : buttons) {
    QString seen;
    WhenModal(name == std::string("Command3") ? QStringLiteral("frmiin2") : QStringLiteral("frmiin"),
              [&](QWidget* editor) {
                seen = editor->windowTitle();
                editor->close();
              });
    window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    EXPECT_EQ(seen, QString::fromUtf8(caption)) << name;
  }
}

TEST_F(MainWindowTest, AnalysisButtonsOpenTheirViews) {
  MainWindow window(state);
  const std::tuple<const char*, const char*, const char*> buttons[] = {{"Command4", "frmYHJ", "クロス集計表"},
                                                                       {"Command5", "frmTySu", "データ抽出"},
                                                                       {"Command7", "frmTySu2", "レポート"},
                                                                       {"Command8", "frmTySu3", "グラフ "},
                                                                       {"Command6", "frmPost", "売上状況"}};
  for (const auto& [name, form, caption] : buttons) {
    auto* open = window.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_TRUE(open->isEnabled()) << name;
    QString seen;
    WhenModal(QString::fromLatin1(form), [&](QWidget* view) {
      seen = view->windowTitle();
      view->close();
    });
    open->click();
    EXPECT_EQ(seen, QString::fromUtf8(caption)) << name;
  }
}

TEST_F(MainWindowTest, ClosingWritesCountersStoresPlacementAndAsksAboutTheBackup) {
  state.counters = IdCounters{470, 12, 0, 11};
  MainWindow window(state);
  window.move(100, 80);
  window.show();
  for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
    StoreSetting(QString::fromLatin1(key), QStringLiteral("-1"));
  prompts.answer(PromptAnswer::No);
  window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();

  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 12 \r\n 0 \r\n 11 \r\n"));
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, kBackupQuestion);
  EXPECT_EQ(prompts.last().title, QStringLiteral("バックアップの確認"));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Question);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::YesNo);
  EXPECT_EQ(StoredSetting(QStringLiteral("MainLeft")), QString::number(window.frameGeometry().x() * 15));
  EXPECT_EQ(StoredSetting(QStringLiteral("MainTop")), QString::number(window.frameGeometry().y() * 15));
  EXPECT_EQ(StoredSetting(QStringLiteral("MainWidth")), QString::number(window.frameGeometry().width() * 15));
  EXPECT_EQ(StoredSetting(QStringLiteral("MainHeight")), QString::number(window.frameGeometry().height() * 15));
  EXPECT_TRUE(QDir(state.paths.BackupFolderPath()).isEmpty());  // "いいえ" copies nothing
}

TEST_F(MainWindowTest, MinimisedWindowStoresNoPlacementButStillSaves) {
  MainWindow window(state);
  window.show();
  window.showMinimized();
  if (!window.isMinimized()) GTEST_SKIP() << "this platform does not minimise windows";
  StoreSetting(QStringLiteral("MainTop"), QStringLiteral("unchanged"));
  prompts.answer(PromptAnswer::No);
  window.close();
  EXPECT_EQ(StoredSetting(QStringLiteral("MainTop")), QStringLiteral("unchanged"));
  EXPECT_TRUE(QFile::exists(state.paths.IdFilePath()));
}

TEST_F(MainWindowTest, BackupOverwritesSameNamesAndKeepsBackupOnlyFiles) {
  writeFile(0, 2, 1);
  ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.BackupFolderPath() + QStringLiteral("/data")));
  ASSERT_TRUE(
      SaveFileAtomically(state.paths.BackupFolderPath() + QStringLiteral("/set.dat"), "old", FileAccess::OwnerOnly));
  ASSERT_TRUE(SaveFileAtomically(state.paths.BackupFolderPath() + QStringLiteral("/data/7.dat"), "only in backup",
                                 FileAccess::OwnerOnly));
  MainWindow window(state);
  prompts.answer(PromptAnswer::Yes);
  window.close();

  const QString bu = state.paths.BackupFolderPath();
  EXPECT_EQ(FileBytes(bu + QStringLiteral("/set.dat")), FileBytes(state.paths.SettingsFilePath()));
  EXPECT_EQ(FileBytes(bu + QStringLiteral("/ttid.dat")),
            FileBytes(state.paths.IdFilePath()));  // written before the copy
  EXPECT_EQ(FileBytes(bu + QStringLiteral("/data/0.dat")), FileBytes(state.paths.DataFilePath(0)));
  EXPECT_EQ(FileBytes(bu + QStringLiteral("/data/7.dat")), QByteArray("only in backup"));
  EXPECT_EQ(prompts.shown().size(), 1u);
}

TEST_F(MainWindowTest, FailedBackupIsReported) {
  // A folder in the backup where the data folder has a file cannot be replaced.
  ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.BackupFolderPath() + QStringLiteral("/set.dat")));
  MainWindow window(state);
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  window.close();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("バックアップに失敗しました。")));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
}

TEST_F(MainWindowTest, FailedCounterSaveIsReported) {
  ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.IdFilePath()));  // a folder where ttid.dat belongs
  MainWindow window(state);
  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::No);
  window.close();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_TRUE(prompts.shown()[0].text.contains(QStringLiteral("ttid.dat")));
}

TEST_F(MainWindowTest, SheetButtonPrintsTheBlankFormOrSaysThePrinterFailed) {
  MainWindow window(state);
  auto* print = window.findChild<QPushButton*>(QStringLiteral("cmdname_1"));
  ASSERT_TRUE(print->isEnabled());
  const QString pdf = root.filePath(QStringLiteral("form.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf).answer(PromptAnswer::Yes);
  print->click();
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("A4用紙で印刷の向きを縦に指定してください"));
  EXPECT_EQ(prompts.shown()[2].text, QStringLiteral("原因器材コード表も印刷しますか"));
  EXPECT_EQ(testing::ReadPdfPages(pdf).size(), 3u);

  // A PDF file that cannot be created: the message, no question.
  prompts.clear();
  const QString unwritable = state.paths.SettingsFilePath() + QStringLiteral("/form.pdf");
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(unwritable).answer(PromptAnswer::Ok);
  print->click();
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.last().text, testing::PdfCannotBeCreatedMessage(unwritable));
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_FALSE(prompts.busy());
}

TEST_F(MainWindowTest, KeepsTheSmallPictureOfTheBodySiteDrawing) {
  MainWindow window(state);
  auto* picture = window.findChild<QLabel*>(QStringLiteral("Picture1"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->geometry(), QRect(Twips(5670), Twips(5220), Twips(1365), Twips(615)));
  const QImage image = picture->pixmap().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_LE(image.width(), picture->contentsRect().width());
  EXPECT_LE(image.height(), picture->contentsRect().height());
  // The drawing, not an empty picture: some of it is not white.
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += image.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(drawn, image.width() * image.height() / 10);
  // Clear of the buttons and frames of the panel it sits on.
  for (const QWidget* other : picture->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (other != picture) {
      EXPECT_FALSE(other->geometry().intersects(picture->geometry())) << other->objectName().toStdString();
    }
}

}  // namespace
}  // namespace orvanta
