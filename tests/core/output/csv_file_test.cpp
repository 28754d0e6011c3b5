#include "core/output/csv_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/platform/value_file.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using testing::ScriptedPrompts;

class CsvFileTest : public ::testing::Test, public testing::TempDrive {
 protected:
  const QString kName = QStringLiteral("集計表.csv");
  int builds = 0;
  std::function<QString()> text = [this] {
    ++builds;
    return QStringLiteral("2025年12月10日～2026年12月9日\r\n職種,件数\r\n 1 医師～,3\r\n");
  };
};

TEST_F(CsvFileTest, WritesCodePage932WithAnEmptyLastLineAndSaysSo) {
  const QString path = root.filePath(QStringLiteral("out.csv"));
  prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
  EXPECT_TRUE(WriteCsvFile(state.prompts(), state.paths, kName, text));
  EXPECT_EQ(FileBytes(path),
            QByteArray("2025\x94\x4e"
                       "12\x8c\x8e"
                       "10\x93\xfa\x81\x60"
                       "2026\x94\x4e"
                       "12\x8c\x8e"
                       "9\x93\xfa\r\n\x90\x45\x8e\xed,\x8c\x8f\x90\x94\r\n 1 \x88\xe3\x8e\x74\x81\x60,3\r\n\r\n"));
  EXPECT_EQ(prompts.shown().front().kind, ScriptedPrompts::Kind::SaveFile);
  EXPECT_EQ(prompts.lastSaveStart, QDir(root.path()).filePath(QStringLiteral("my document/集計表.csv")));
  EXPECT_EQ(prompts.lastSaveFilter, QStringLiteral("csvﾌｧｲﾙ (*.csv)"));
  EXPECT_EQ(prompts.last().text, QStringLiteral("ﾌｧｲﾙ処理に成功しました"));
  EXPECT_EQ(prompts.last().title, QString());
  EXPECT_FALSE(prompts.busy());
}

// Without "my document" the dialog would offer the folder's name as the
// file's: the folder is made, owner-only, and the name proposed ends in
// ".csv"; a name chosen without an extension gets ".csv".
TEST_F(CsvFileTest, TheFolderIsMadeAndTheFileNamedAsACsvFile) {
  const QDir drive(root.path());
  const QString folder = drive.filePath(QStringLiteral("my document"));
  ASSERT_FALSE(QFileInfo::exists(folder));
  struct Case {
    QString chosen;
    QString written;
  } cases[] = {
      {folder + QStringLiteral("/結果"), folder + QStringLiteral("/結果.csv")},
      {folder + QStringLiteral("/一覧."), folder + QStringLiteral("/一覧.csv")},
      {folder + QStringLiteral("/結果.txt"), folder + QStringLiteral("/結果.txt")},
      // What the dialog used to propose, and what it then wrote.
      {drive.filePath(QStringLiteral("my document")), drive.filePath(QStringLiteral("my document.csv"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen.toStdString());
    ScriptedPrompts p;
    p.answerSaveFile(c.chosen).answer(PromptAnswer::Ok);
    EXPECT_TRUE(WriteCsvFile(p, state.paths, kName, text));
    EXPECT_EQ(p.lastSaveStart, drive.filePath(QStringLiteral("my document/集計表.csv")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFile::permissions(folder) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(FileBytes(c.written).endsWith(",3\r\n\r\n"));
  }
  // The overwrite question is about the file that would be written.
  prompts.answerSaveFile(folder + QStringLiteral("/結果")).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  EXPECT_TRUE(WriteCsvFile(state.prompts(), state.paths, kName, text));
  EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("名前を付けて保存"), kCsvOverwriteQuestion, kCsvSuccess}));
}

TEST_F(CsvFileTest, CancelIsSilent) {
  prompts.answerSaveFile(QString());
  EXPECT_FALSE(WriteCsvFile(state.prompts(), state.paths, kName, text));
  EXPECT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(builds, 0);
}

TEST_F(CsvFileTest, NoToTheOverwriteQuestionBringsTheDialogBack) {
  const QString first = root.filePath(QStringLiteral("a.csv"));
  const QString second = root.filePath(QStringLiteral("b.csv"));
  for (const QString& p : {first, second}) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old content that is longer than the new one ............................................");
  }
  prompts.answerSaveFile(first)
      .answer(PromptAnswer::No)
      .answerSaveFile(second)
      .answer(PromptAnswer::Yes)
      .answer(PromptAnswer::Ok);
  EXPECT_TRUE(WriteCsvFile(state.prompts(), state.paths, kName, text));
  const auto& shown = prompts.shown();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[1].text, QStringLiteral("そのファイルは存在します。書き換えますか？"));
  EXPECT_EQ(shown[1].title, QStringLiteral("上書確認"));
  EXPECT_EQ(shown[1].icon, PromptIcon::Question);
  EXPECT_EQ(shown[1].buttons, PromptButtons::YesNo);
  EXPECT_TRUE(FileBytes(first).startsWith("old content"));
  EXPECT_TRUE(FileBytes(second).endsWith(",3\r\n\r\n"));  // replaced completely
  EXPECT_EQ(builds, 1);
}

TEST_F(CsvFileTest, FailureIsReported) {
  prompts.answerSaveFile(root.filePath(QStringLiteral("no such folder/x.csv"))).answer(PromptAnswer::Ok);
  EXPECT_FALSE(WriteCsvFile(state.prompts(), state.paths, kName, text));
  EXPECT_EQ(prompts.last().text, QStringLiteral("ファイルの作成に失敗しました"));
  EXPECT_FALSE(prompts.busy());
}

TEST(CsvTextTest, PeriodTextAndGridRowsAreWrittenAsTheControlsHoldThem) {
  EXPECT_EQ(CsvPeriodText("2003", "6", "16", "2004", "6", "15") + QStringLiteral("日"),
            QStringLiteral("2003年6月16日～2004年6月15日"));
  // Texts typed into the boxes go in as they stand, even when they are no date.
  EXPECT_EQ(CsvPeriodText("", "x", "031", "2004", "13", ""), QStringLiteral("年x月031日～2004年13月"));

  ResultGridModel grid;
  EXPECT_EQ(CsvGridRows(grid), QString());
  grid.setRows(2);
  grid.setCols(2);
  EXPECT_EQ(CsvGridRows(grid), QStringLiteral(",\r\n,\r\n"));  // an untouched 2 x 2 grid
  grid.setCols(3);
  grid.setCell(0, 1, QStringLiteral(" 1;医師"));
  grid.setCell(1, 0, QStringLiteral(" 7 "));
  grid.setCell(1, 2, QStringLiteral("0"));
  EXPECT_EQ(CsvGridRows(grid), QStringLiteral(", 1;医師,\r\n 7 ,,0\r\n"));
}

}  // namespace
}  // namespace orvanta
