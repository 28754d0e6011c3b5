#include <QAction>
#include <QDir>
#include <gtest/gtest.h>

#include "core/backup/backup_summary.h"
#include "core/backup/generations.h"
#include "gui/shell/main_window.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

using testing::BackupDrive;
using testing::FileBytes;

class BackupCommandTest : public ::testing::Test, public BackupDrive {};

TEST_F(BackupCommandTest, BackupNowMakesAGenerationAndTheBackupFolderCopy) {
  MainWindow window(state);
  auto* backupNow = window.findChild<QAction*>(QStringLiteral("actBackupNow"));
  ASSERT_TRUE(backupNow->isEnabled());
  prompts.answer(PromptAnswer::Ok);
  backupNow->trigger();

  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(
      prompts.last().text,
      QStringLiteral(
          "バックアップしました。\n世代「2026/12/09 09:00:00」を作成し、バックアップフォルダ「%1」にコピーしました。")
          .arg(QDir::toNativeSeparators(state.paths.BackupFolderPath())));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Information);
  EXPECT_EQ(prompts.workTitle(), QStringLiteral("バックアップ"));
  EXPECT_EQ(prompts.workParts(),
            (QStringList{"バックアップの世代を作成しています…", "バックアップフォルダにコピーしています…"}));

  const std::vector<Generation> generations = ListGenerations(state.paths);
  ASSERT_EQ(generations.size(), 1u);
  EXPECT_EQ(GenerationSummary(generations[0].path).occasion, BackupOccasion::OnDemand);
  EXPECT_EQ(FileBytes(QDir(state.paths.BackupFolderPath()).filePath(QStringLiteral("data/1.dat"))),
            FileBytes(state.paths.DataFilePath(1)));
}

TEST_F(BackupCommandTest, CancelStopsTheBackupAndLeavesNothingHalfMade) {
  MainWindow window(state);
  prompts.stopWorkAfterSteps(3).answer(PromptAnswer::Ok);
  window.findChild<QAction*>(QStringLiteral("actBackupNow"))->trigger();
  EXPECT_EQ(prompts.texts(),
            QStringList{QStringLiteral("バックアップの世代の作成を中止しました。作りかけの世代は削除しました。")});
  EXPECT_TRUE(ListGenerations(state.paths).empty());
  EXPECT_TRUE(
      QDir(state.paths.GenerationsFolderPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
  EXPECT_TRUE(QDir(state.paths.BackupFolderPath()).isEmpty());
}

TEST_F(BackupCommandTest, TheBackupAtTheEndOfARunIsAGenerationToo) {
  MainWindow window(state);
  prompts.answer(PromptAnswer::Yes);
  window.close();
  EXPECT_EQ(prompts.shown().size(), 1u);  // the question; success has no message of its own
  const std::vector<Generation> generations = ListGenerations(state.paths);
  ASSERT_EQ(generations.size(), 1u);
  EXPECT_EQ(GenerationSummary(generations[0].path).occasion, BackupOccasion::AtExit);
  EXPECT_EQ(FileBytes(QDir(generations[0].path).filePath(QStringLiteral("ttid.dat"))),
            FileBytes(state.paths.IdFilePath()));  // written before the backup
}

}  // namespace
}  // namespace orvanta
