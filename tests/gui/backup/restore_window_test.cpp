#include "gui/backup/restore_window.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "core/backup/backup_run.h"
#include "core/backup/restore_backup.h"
#include "core/reports/data_file.h"
#include "gui/shell/main_window.h"
#include "support/backup_drive.h"
#include "support/gui/modal_window.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::DatedReport;
using testing::WhenModal;

class RestoreWindowTest : public ::testing::Test, public BackupDrive {
 protected:
  // Generations at 9:00 (at the end of a run) and 10:00 (on demand, after a
  // sixth report), and the backup folder; the clock then stands at 11:00.
  void SetUp() override {
    makeGeneration(SystemBackupIo(), BackupOccasion::AtExit);
    ASSERT_TRUE(WriteReports(2, {DatedReport(6, 2026, 12, 8)}));
    clock.set(clock.now().addSecs(3600));
    makeGeneration(SystemBackupIo(), BackupOccasion::OnDemand);
    QStringList failed;
    ASSERT_TRUE(CopyToBackupFolder(state.paths, state.database, &failed));
    clock.set(clock.now().addSecs(3600));
  }

  static QStringList Row(QTreeWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->topLevelItem(row)->text(c);
    return texts;
  }
};

TEST_F(RestoreWindowTest, ListsTheGenerationsNewestFirstAndTheBackupFolder) {
  RestoreWindow window(state);
  EXPECT_EQ(window.objectName(), QStringLiteral("frmRestore"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("バックアップから復元"));
  auto* list = window.findChild<QTreeWidget*>(QStringLiteral("lstBackups"));
  ASSERT_NE(list, nullptr);
  QStringList headings;
  for (int c = 0; c < list->columnCount(); ++c) headings << list->headerItem()->text(c);
  EXPECT_EQ(headings, (QStringList{"作成日時", "種類", "報告数", "最新の報告日", "サイズ"}));
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(Row(list, 0).mid(0, 4), (QStringList{"2026/12/09 10:00:00", "今すぐバックアップ", "6件", "2026/12/08"}));
  EXPECT_EQ(Row(list, 1).mid(0, 4), (QStringList{"2026/12/09 09:00:00", "終了時", "5件", "2026/11/30"}));
  EXPECT_EQ(Row(list, 2)[1], QStringLiteral("バックアップフォルダ"));
  EXPECT_EQ(Row(list, 2)[2], QStringLiteral("6件"));
  EXPECT_EQ(list->topLevelItem(2)->toolTip(0), QDir::toNativeSeparators(state.paths.BackupFolderPath()));
  for (int r = 0; r < 3; ++r) EXPECT_TRUE(Row(list, r)[4].endsWith(QStringLiteral(" KB"))) << r;
  EXPECT_TRUE(window.findChild<QPushButton*>(QStringLiteral("cmdRestore"))->isEnabled());
}

TEST_F(RestoreWindowTest, RestoresTheChosenGenerationAfterAskingAndTheMainWindowShowsIt) {
  MainWindow main(state);
  main.activate();
  ASSERT_EQ(state.dataFile.CurrentFileNo, 2);
  auto* restore = main.findChild<QAction*>(QStringLiteral("actRestore"));
  ASSERT_TRUE(restore->isEnabled());

  int rowsAfter = 0;
  WhenModal(QStringLiteral("frmRestore"), [&](QWidget* w) {
    auto* list = w->findChild<QTreeWidget*>(QStringLiteral("lstBackups"));
    auto* button = w->findChild<QPushButton*>(QStringLiteral("cmdRestore"));
    list->setCurrentItem(list->topLevelItem(1));
    // "いいえ": nothing happens.
    prompts.answer(PromptAnswer::No);
    button->click();
    EXPECT_EQ(list->topLevelItemCount(), 3);
    prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
    list->setCurrentItem(list->topLevelItem(1));
    button->click();
    rowsAfter = list->topLevelItemCount();
    w->close();
  });
  restore->trigger();

  ASSERT_EQ(prompts.shown().size(), 3u);
  const auto& question = prompts.shown()[1];
  EXPECT_EQ(question.text, QStringLiteral("「2026/12/09 09:00:00」のバックアップから復元しますか？\n"
                                          "今のデータは、復元の前に新しい世代として保存します。"
                                          "復元を取り消すときは、その世代から復元してください。"));
  EXPECT_EQ(question.title, QStringLiteral("バックアップから復元"));
  EXPECT_EQ(question.icon, PromptIcon::Question);
  EXPECT_EQ(question.buttons, PromptButtons::YesNo);
  EXPECT_EQ(prompts.last().text, QStringLiteral("「2026/12/09 09:00:00」のバックアップから復元しました。\n"
                                                "復元の前のデータは「2026/12/09 11:00:00」の世代に保存してあります。"))
      << prompts.last().text.toStdString();
  EXPECT_EQ(prompts.last().icon, PromptIcon::Information);
  EXPECT_EQ(prompts.workTitle(), QStringLiteral("バックアップから復元"));
  EXPECT_EQ(rowsAfter, 4);  // the state before the restore is listed too

  // The main window shows the restored data without a restart.
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_FALSE(QFileInfo::exists(state.paths.DataFilePath(2)));
}

TEST(RestoreWindowEmpty, SaysThereIsNothingToRestore) {
  testing::TempDrive drive;
  RestoreWindow window(drive.state);
  EXPECT_EQ(window.findChild<QTreeWidget*>(QStringLiteral("lstBackups"))->topLevelItemCount(), 0);
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblGuide"))->text(),
            QStringLiteral("復元できるバックアップはまだありません。"));
  EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("cmdRestore"))->isEnabled());
}

}  // namespace
}  // namespace orvanta
