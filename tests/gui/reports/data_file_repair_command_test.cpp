#include "gui/reports/data_file_repair_command.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 30));
const QString kTitle = QStringLiteral("データファイルの修復");

std::vector<ReportRecord> Reports(int count, int firstId) {
  std::vector<ReportRecord> table(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    ReportRecord& r = table[static_cast<std::size_t>(i)];
    r.ReportId = firstId + i;
    r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(firstId + i);
    r.Years = {2025, 2025, 0};
    r.Months = {6, 6, 0};
    r.Days = {1, 2, 0};
    r.Sites[static_cast<std::size_t>(i % 65)] = 1;
  }
  return table;
}

QByteArray WithCount(QByteArray bytes, const QByteArray& count) {
  bytes.replace(0, bytes.indexOf('\n') + 1, count + "\r\n");
  return bytes;
}

class DataFileRepairCommandTest : public ::testing::Test, public testing::TempDrive {
 protected:
  DataFileRepairCommandTest() : TempDrive(kNow) {}
  void SetUp() override { ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath())); }

  // Data files 0 (three reports, ids 1 to 3) and 1 (five, ids 4 to 8), the
  // bytes of file 1 changed by damage, counted as the main window counts.
  QByteArray Damaged(const std::function<QByteArray(QByteArray)>& damage) {
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    EXPECT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    EXPECT_TRUE(WriteReports(0, Reports(3, 1)));
    EXPECT_TRUE(WriteReports(1, Reports(5, 4)));
    const QByteArray bytes = damage(FileBytes(state.paths.DataFilePath(1)));
    EXPECT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), bytes));
    state.counters = IdCounters{0, 8, 1, 0};
    CountDataFiles(state.dataFile, state.counters, state.paths);
    LoadNewestFile(state.dataFile, state.counters, state.paths);
    return bytes;
  }
  QString Path(int fileNo) const { return QDir::toNativeSeparators(state.paths.DataFilePath(fileNo)); }
  QString Kept(int fileNo) const { return state.paths.DataFilePath(fileNo) + QStringLiteral(".damaged-20261209-1030"); }
  QString Question(int fileNo, const QString& counts) const {
    return QStringLiteral("データファイル「%1」の中に、完全な報告が5件見つかりました(報告番号 4～8)。\n")
               .arg(Path(fileNo)) +
           counts +
           QStringLiteral(
               "\n見つかった5件の報告で、このファイルを書き直しますか？\n"
               "元のファイルは「%1.dat.damaged-日付」という名前で残します。")
               .arg(fileNo);
  }
};

// Each kind of damage: what the file really holds is shown beside what its
// count line claims, and "はい" writes those reports back as a file that
// reads exactly, the original kept aside; the counts follow.
TEST_F(DataFileRepairCommandTest, EachDamageIsShownAndMendedOnYes) {
  struct Case {
    const char* what;
    std::function<QByteArray(QByteArray)> damage;
    const char16_t* counts;  // the lines of the question between the finding and the question
    int totalBefore;         // as the start-up count has it
  };
  const Case cases[] = {
      {"count lowered", [](QByteArray b) { return WithCount(b, " 2 "); }, u"ファイルの1行目の件数: 2件\n", 3},
      {"count raised", [](QByteArray b) { return WithCount(b, " 9 "); }, u"ファイルの1行目の件数: 9件\n", 3},
      // Report 8 loses its marks, report 7 its last 19.
      {"body-site block cut short", [](QByteArray b) { return b.chopped(5 * 100); },
       u"ファイルの1行目の件数: 5件\n部位の記録が欠けている報告: 2件(欠けた部位は記録なしになります)\n", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompts.clear();
    const QByteArray damaged = Damaged(c.damage);
    ASSERT_EQ(state.counters.TotalReports, c.totalBefore);
    prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
    EXPECT_TRUE(OfferDataFileRepair(state, 1));

    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, Question(1, QString::fromUtf16(c.counts)));
    EXPECT_EQ(prompts.shown()[0].title, kTitle);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.shown()[1].text,
              QStringLiteral("データファイル「%1」を修復しました。報告5件が入っています。\n"
                             "元のファイルは「1.dat.damaged-20261209-1030」という名前で残しました。")
                  .arg(Path(1)));

    EXPECT_EQ(FileBytes(Kept(1)), damaged);
    std::vector<ReportRecord> mended;
    const ReadResult read = ReadDataFile(state.paths.DataFilePath(1), mended);
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read.cutShort);
    std::vector<ReportRecord> expected = Reports(5, 4);
    if (std::string(c.what) == "body-site block cut short") expected[4].Sites.fill(0);
    EXPECT_EQ(mended, expected);
    // The counts and the file in memory follow.
    EXPECT_EQ(state.counters.TotalReports, 8);
    EXPECT_EQ(state.dataFile.FileRecordCounts[1], 5);
    EXPECT_EQ(state.dataFile.ReportTable, expected);
  }
}

// Nothing is mended without "はい", and a file without any complete report
// is left as it is, with a message that says so.
TEST_F(DataFileRepairCommandTest, NoOrAFileWithoutCompleteReportsLeavesItAsItIs) {
  const QByteArray lowered = Damaged([](QByteArray b) { return WithCount(b, " 2 "); });
  prompts.answer(PromptAnswer::No);
  EXPECT_FALSE(OfferDataFileRepair(state, 1));
  EXPECT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), lowered);
  EXPECT_FALSE(QFileInfo::exists(Kept(1)));
  EXPECT_EQ(state.counters.TotalReports, 3);

  for (const QByteArray& hopeless : {QByteArray(" 5 \r\n"), QByteArray("x\r\nabc\r\n"), QByteArray()}) {
    SCOPED_TRACE(hopeless.toStdString());
    prompts.clear();
    Damaged([&](QByteArray) { return hopeless; });
    prompts.answer(PromptAnswer::Ok);
    EXPECT_FALSE(OfferDataFileRepair(state, 1));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text,
              QStringLiteral("データファイル「%1」の中に完全な報告が見つからないため、修復できません。\n"
                             "ファイルは変更せずに、そのまま残しています。")
                  .arg(Path(1)));
    EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
    EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), hopeless);
    EXPECT_FALSE(QFileInfo::exists(Kept(1)));
  }
}

// The menu command goes through every damaged file in order, or says that
// none needs mending.
TEST_F(DataFileRepairCommandTest, TheCommandOffersEveryDamagedFileInTurn) {
  ASSERT_TRUE(WriteReports(0, Reports(3, 1)));
  prompts.answer(PromptAnswer::Ok);
  RepairDamagedDataFiles(state);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, QStringLiteral("修復が必要なデータファイルはありません。"));
  EXPECT_EQ(prompts.last().title, kTitle);

  prompts.clear();
  const QByteArray lowered = Damaged([](QByteArray b) { return WithCount(b, " 2 "); });
  ASSERT_TRUE(
      testing::WriteFileBytes(state.paths.DataFilePath(0), WithCount(FileBytes(state.paths.DataFilePath(0)), "x")));
  prompts.answer(PromptAnswer::No).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  RepairDamagedDataFiles(state);
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_TRUE(
      prompts.shown()[0].text.startsWith(QStringLiteral("データファイル「%1」の中に、完全な報告が3件").arg(Path(0))));
  EXPECT_TRUE(prompts.shown()[0].text.contains(QStringLiteral("ファイルの1行目の件数: 読み取れません\n")));
  EXPECT_EQ(prompts.shown()[1].text, Question(1, QStringLiteral("ファイルの1行目の件数: 2件\n")));
  EXPECT_FALSE(QFileInfo::exists(Kept(0)));
  EXPECT_EQ(FileBytes(Kept(1)), lowered);
}

}  // namespace
}  // namespace orvanta
