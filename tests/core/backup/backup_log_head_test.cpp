// The access log and the backups: each generation keeps the log's newest
// entry, and a restore never turns the log back.

#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/backup/backup_summary.h"
#include "core/backup/restore_backup.h"
#include "core/platform/work_progress.h"
#include "core/store/access_log.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

class BackupLogHeadTest : public ::testing::Test, public testing::BackupDrive {
 protected:
  void SetUp() override { state.log.attach(); }
  void record(int n) {
    for (int i = 0; i < n; ++i)
      ASSERT_TRUE(state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}}));
  }
  LogHead head() {
    LogHead h;
    QString error;
    EXPECT_TRUE(ReadLogHead(state.database.connection(), &h, &error));
    return h;
  }
};

TEST_F(BackupLogHeadTest, AGenerationKeepsTheNewestEntryAndARestoreCarriesTheLogOn) {
  record(3);
  const LogHead atBackup = head();
  const GenerationResult a = makeGeneration();
  ASSERT_TRUE(a.made());
  const BackupSummary summary = GenerationSummary(a.generation.path);
  EXPECT_EQ(summary.logSeq, 3);
  EXPECT_EQ(summary.logHash, atBackup.hash);
  EXPECT_EQ(summary.logAt, atBackup.at);
  // The summary reads back as written.
  EXPECT_EQ(ReadSummaryBytes(SummaryFileBytes(summary))->logHash, atBackup.hash);

  record(2);
  clock.set(clock.now().addSecs(3600));
  WorkProgress progress;
  const RestoreResult restored = RestoreBackup(state, a.generation.path, progress);
  ASSERT_EQ(restored.outcome, RestoreResult::Outcome::Restored);
  // The backup's database ended at entry 3; the log goes on with all five.
  EXPECT_EQ(head().seq, 5);
  const GenerationResult before = restored.saved;
  const BackupSummary saved = GenerationSummary(before.generation.path);
  EXPECT_EQ(saved.logSeq, 5);
  const LogCheck check = CheckLogChain(state.database.connection(), {{summary.logSeq, summary.logHash, summary.logAt},
                                                                     {saved.logSeq, saved.logHash, saved.logAt}});
  EXPECT_TRUE(check.intact) << LogCheckText(check).toStdString();
  // The triggers are back in place.
  QSqlQuery q(state.database.connection());
  EXPECT_FALSE(q.exec(QStringLiteral("DELETE FROM access_log WHERE seq = 1")));
}

}  // namespace
}  // namespace orvanta
