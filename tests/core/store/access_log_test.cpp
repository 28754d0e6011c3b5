#include "core/store/access_log.h"

#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/platform/export_record.h"
#include "core/platform/system_info.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "support/followup_cases.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

// 9:00 in Tokyo: the entries carry the offset.
const QDateTime kTokyo{QDate(2026, 12, 9), QTime(9, 0, 5), Qt::OffsetFromUTC, 9 * 3600};

class AccessLogTest : public ::testing::Test, public testing::TempDrive {
 protected:
  AccessLogTest() : TempDrive(kTokyo) {}
  void SetUp() override {
    testing::OpenFollowupDatabase(state);
    state.log.attach();
  }
  QSqlDatabase db() { return state.database.connection(); }

  // Records n entries, a second apart.
  void recordEntries(int n) {
    for (int i = 0; i < n; ++i) {
      clock.set(kTokyo.addSecs(i));
      ASSERT_TRUE(state.log.record({log_kind::kReportShown, 100 + i, QStringLiteral("報告を表示しました"), {}}));
    }
  }
  // What another SQLite tool does first.
  void dropTriggers() {
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TRIGGER access_log_no_update")));
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TRIGGER access_log_no_delete")));
  }
  void exec(const QString& sql) {
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " " << sql.toStdString();
  }
  // Recomputes every entry's hashes after a change, as someone covering it
  // up would.
  void recomputeChain() {
    std::vector<LogEntry> all = ReadLogEntries(db(), {}, 0, 1000000);
    std::reverse(all.begin(), all.end());
    QString prev = FirstPrevHash();
    for (LogEntry& e : all) {
      e.prevHash = prev;
      e.hash = EntryHash(e);
      QSqlQuery q(db());
      q.prepare(QStringLiteral("UPDATE access_log SET prev_hash = ?, hash = ? WHERE seq = ?"));
      q.addBindValue(e.prevHash);
      q.addBindValue(e.hash);
      q.addBindValue(qint64(e.seq));
      ASSERT_TRUE(q.exec());
      prev = e.hash;
    }
  }
};

TEST_F(AccessLogTest, AnEntryHoldsTheTimeWithItsOffsetTheUserTheHostAndIsChained) {
  recordEntries(2);
  const std::vector<LogEntry> entries = ReadLogEntries(db(), {}, 0, 10);
  ASSERT_EQ(entries.size(), 2u);
  const LogEntry& first = entries[1];
  EXPECT_EQ(first.seq, 1);
  EXPECT_EQ(first.at, QStringLiteral("2026-12-09T09:00:05+09:00"));
  EXPECT_EQ(first.user, CurrentUserName());
  EXPECT_FALSE(first.host.isEmpty());
  EXPECT_EQ(first.reportId, 100);
  EXPECT_EQ(first.prevHash, FirstPrevHash());
  EXPECT_EQ(first.hash, EntryHash(first));
  EXPECT_EQ(entries[0].prevHash, first.hash);
  EXPECT_EQ(entries[0].at, QStringLiteral("2026-12-09T09:00:06+09:00"));

  const LogCheck check = CheckLogChain(db());
  EXPECT_TRUE(check.intact);
  EXPECT_EQ(check.entries, 2);
  EXPECT_EQ(LogCheckText(check), QStringLiteral("操作記録の全2件は改ざんされていません。"));
}

TEST_F(AccessLogTest, TheDatabaseRefusesToChangeOrDeleteAnEntry) {
  recordEntries(3);
  for (const QString& sql :
       {QStringLiteral("UPDATE access_log SET summary = 'x' WHERE seq = 2"),
        QStringLiteral("DELETE FROM access_log WHERE seq = 3"), QStringLiteral("DELETE FROM access_log")}) {
    QSqlQuery q(db());
    EXPECT_FALSE(q.exec(sql)) << sql.toStdString();
    EXPECT_TRUE(q.lastError().text().contains(QStringLiteral("access_log: entries cannot be")))
        << q.lastError().text().toStdString();
  }
  EXPECT_TRUE(CheckLogChain(db()).intact);
  EXPECT_EQ(CountLogEntries(db(), {}), 3);
}

TEST_F(AccessLogTest, AnEntryEditedWithAnotherToolIsFoundByTheCheck) {
  struct Case {
    const char* name;
    QStringList sql;
    std::int64_t brokenSeq;
    QString brokenAt;
  };
  const std::vector<Case> cases = {
      {"changed",
       {QStringLiteral("UPDATE access_log SET summary = '別の内容' WHERE seq = 3")},
       3,
       QStringLiteral("2026-12-09T09:00:07+09:00")},
      {"removed",
       {QStringLiteral("DELETE FROM access_log WHERE seq = 3")},
       4,
       QStringLiteral("2026-12-09T09:00:08+09:00")},
      // Slipped in after entry 2, the later ones numbered on to make room.
      {"inserted",
       {QStringLiteral("UPDATE access_log SET seq = seq + 100 WHERE seq >= 3"),
        QStringLiteral("UPDATE access_log SET seq = seq - 99 WHERE seq >= 103"),
        QStringLiteral("INSERT INTO access_log SELECT 3, at, os_user, host, kind, 999, summary, details,"
                       " prev_hash, hash FROM access_log WHERE seq = 2")},
       3,
       QStringLiteral("2026-12-09T09:00:06+09:00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDrive drive(kTokyo);
    testing::OpenFollowupDatabase(drive.state);
    drive.state.log.attach();
    for (int i = 0; i < 5; ++i) {
      drive.clock.set(kTokyo.addSecs(i));
      drive.state.log.record({log_kind::kReportShown, 100 + i, QStringLiteral("表示"), {}});
    }
    QSqlQuery q(drive.state.database.connection());
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TRIGGER access_log_no_update")));
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TRIGGER access_log_no_delete")));
    for (const QString& sql : c.sql) ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    const LogCheck check = CheckLogChain(drive.state.database.connection());
    EXPECT_FALSE(check.intact);
    EXPECT_EQ(check.brokenSeq, c.brokenSeq);
    EXPECT_EQ(check.brokenAt, c.brokenAt);
    EXPECT_EQ(LogCheckText(check),
              QStringLiteral("操作記録の連鎖が番号%1（%2）の記録で途切れています。\n"
                             "この記録かその前後の記録が、Orvanta以外の方法で変更・削除・挿入されています。")
                  .arg(c.brokenSeq)
                  .arg(c.brokenAt));
  }
}

// The check reads a long log in runs and hashes one run while it reads the
// next: the first break is found wherever it falls, and the progress is
// told as it goes.
TEST_F(AccessLogTest, ALongLogIsCheckedToItsFirstBreak) {
  constexpr int kEntries = 45000;
  std::vector<LogEntry> entries;
  for (int i = 0; i < kEntries; ++i) {
    LogEntry e = state.log.stamp({log_kind::kReportShown, 1 + i, QStringLiteral("報告を表示しました"), {}});
    e.at = LogTimeText(kTokyo.addSecs(i));
    entries.push_back(std::move(e));
  }
  ASSERT_TRUE(state.database.change(
      [&](QSqlDatabase& d, QString* why) { return AppendEntries(d, std::move(entries), why); }, nullptr));
  std::vector<std::int64_t> told;
  const LogCheck whole = CheckLogChain(db(), {}, [&](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, kEntries);
    told.push_back(done);
    return true;
  });
  EXPECT_TRUE(whole.intact);
  EXPECT_EQ(whole.entries, kEntries);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back(), kEntries);
  EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));

  // Stopped at the first word of progress.
  const LogCheck stopped = CheckLogChain(db(), {}, [](std::int64_t, std::int64_t) { return false; });
  EXPECT_FALSE(stopped.intact);
  EXPECT_EQ(stopped.error, QStringLiteral("中止"));

  // A changed entry late in the log, and a removed one after it: the
  // changed one is the first break.
  dropTriggers();
  exec(QStringLiteral("UPDATE access_log SET summary = '書き換え' WHERE seq = 31234"));
  exec(QStringLiteral("DELETE FROM access_log WHERE seq = 44000"));
  const LogCheck changed = CheckLogChain(db());
  EXPECT_FALSE(changed.intact);
  EXPECT_EQ(changed.brokenSeq, 31234);
  EXPECT_EQ(changed.brokenAt, LogTimeText(kTokyo.addSecs(31233)));
  EXPECT_EQ(changed.entries, 31234);

  // Only the removed one left: the entry after the gap breaks the chain.
  exec(QStringLiteral("DELETE FROM access_log WHERE seq = 31234"));
  const LogCheck removed = CheckLogChain(db());
  EXPECT_FALSE(removed.intact);
  EXPECT_EQ(removed.brokenSeq, 31235);
}

TEST_F(AccessLogTest, AChainRecomputedAsAWholeAfterABackupIsFoundByTheKeptHead) {
  recordEntries(4);
  LogHead kept;
  QString error;
  ASSERT_TRUE(ReadLogHead(db(), &kept, &error));
  EXPECT_EQ(kept.seq, 4);
  recordEntries(2);
  EXPECT_TRUE(CheckLogChain(db(), {kept}).intact);

  dropTriggers();
  exec(QStringLiteral("UPDATE access_log SET summary = '書き換え' WHERE seq = 2"));
  recomputeChain();
  // The chain alone holds again ...
  EXPECT_TRUE(CheckLogChain(db()).intact);
  // ... but the head the backup kept is no longer there.
  const LogCheck check = CheckLogChain(db(), {kept});
  EXPECT_FALSE(check.intact);
  EXPECT_EQ(check.brokenSeq, 4);

  // Entries taken away at the end, past the kept head, are found too.
  exec(QStringLiteral("DELETE FROM access_log WHERE seq >= 3"));
  const LogCheck shortened = CheckLogChain(db(), {kept});
  EXPECT_FALSE(shortened.intact);
  EXPECT_EQ(shortened.brokenSeq, 4);
  EXPECT_EQ(shortened.brokenAt, kept.at);
}

TEST_F(AccessLogTest, WhatHappensBeforeTheDatabaseOpensIsHeldAndWrittenInOrder) {
  testing::TempDrive drive(kTokyo);
  drive.state.log.recordStart();
  drive.state.log.record({log_kind::kLoginFailed, 0, QStringLiteral("パスワードが正しくありません"), {}});
  drive.state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}});
  testing::OpenFollowupDatabase(drive.state);
  EXPECT_EQ(CountLogEntries(drive.state.database.connection(), {}), 0);
  drive.state.log.attach();
  const std::vector<LogEntry> entries = ReadLogEntries(drive.state.database.connection(), {}, 0, 10);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].kind, log_kind::kStart);
  EXPECT_EQ(entries[1].kind, log_kind::kLoginFailed);
  EXPECT_EQ(entries[0].kind, log_kind::kLogin);

  drive.clock.set(kTokyo.addSecs(3723));
  drive.state.log.recordEnd();
  const std::vector<LogEntry> last = ReadLogEntries(drive.state.database.connection(), {}, 0, 1);
  EXPECT_EQ(last[0].summary, QStringLiteral("終了（使用時間 1時間2分3秒）"));
}

TEST_F(AccessLogTest, ExportsReachTheLogThroughTheSeam) {
  RecordExport({ExportKind::Csv, QStringLiteral("データ抽出.csv"), QStringLiteral("/tmp/a.csv"), 12});
  RecordExport({ExportKind::Print, QStringLiteral("集計表"), QString(), 40});
  const std::vector<LogEntry> entries = ReadLogEntries(db(), {}, 0, 10);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].kind, log_kind::kCsv);
  EXPECT_EQ(entries[1].summary, QStringLiteral("データ抽出.csv：/tmp/a.csv（12件）"));
  EXPECT_EQ(entries[0].kind, log_kind::kPrint);
  EXPECT_EQ(entries[0].summary, QStringLiteral("集計表（40件）"));
}

TEST_F(AccessLogTest, TheFiltersPickEntriesNewestFirst) {
  recordEntries(5);
  clock.set(kTokyo.addDays(2));
  state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}});
  LogFilter byKind;
  byKind.kind = log_kind::kReportShown;
  EXPECT_EQ(CountLogEntries(db(), byKind), 5);
  LogFilter byReport;
  byReport.reportId = 102;
  const std::vector<LogEntry> one = ReadLogEntries(db(), byReport, 0, 10);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].seq, 3);
  LogFilter byDate;
  byDate.from = QDate(2026, 12, 11);
  EXPECT_EQ(CountLogEntries(db(), byDate), 1);
  byDate.from = QDate(2026, 12, 9);
  byDate.to = QDate(2026, 12, 9);
  EXPECT_EQ(CountLogEntries(db(), byDate), 5);
  // Paging without a filter goes by number.
  const std::vector<LogEntry> page = ReadLogEntries(db(), {}, 2, 2);
  ASSERT_EQ(page.size(), 2u);
  EXPECT_EQ(page[0].seq, 4);
  EXPECT_EQ(page[1].seq, 3);
  EXPECT_EQ(LogUsers(db()), QStringList{CurrentUserName()});
}

TEST_F(AccessLogTest, ALogThatCannotBeWrittenIsToldOnceAndTheWorkGoesOn) {
  recordEntries(1);
  QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = ON"));
  prompts.answer(PromptAnswer::Ok);
  EXPECT_FALSE(state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}}));
  EXPECT_FALSE(state.log.record({log_kind::kEnd, 0, QStringLiteral("終了"), {}}));
  ASSERT_EQ(prompts.texts().size(), 1);
  EXPECT_TRUE(prompts.texts()[0].startsWith(QStringLiteral("操作記録を書き込めませんでした。\n")));
  EXPECT_TRUE(
      prompts.texts()[0].endsWith(QStringLiteral("\n作業はそのまま続けられますが、この間の操作は記録されません。")));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);

  // Without a database the start has said so: nothing more is told.
  testing::TempDrive drive(kTokyo);
  drive.state.log.record({log_kind::kStart, 0, QStringLiteral("起動"), {}});
  drive.state.log.attach();
  EXPECT_FALSE(drive.state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}}));
  EXPECT_TRUE(drive.prompts.texts().isEmpty());
}

// A database of the version before the log is brought forward in one step
// of its own, its other tables untouched.
TEST_F(AccessLogTest, AVersion1DatabaseGetsTheLogAtTheNextOpen) {
  const QString path = state.database.path();
  exec(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-01-01', '安全器材')"));
  for (const char* sql : {"DROP TABLE access_log", "DROP TABLE access_log_pending", "DROP TABLE network_point",
                          "DROP TABLE network_bed_class", "DROP TABLE network_year", "PRAGMA user_version = 1"})
    exec(QString::fromLatin1(sql));
  state.database.close();
  QString notice, error;
  ASSERT_TRUE(state.database.open(path, kTokyo, &notice, &error)) << error.toStdString();
  EXPECT_EQ(SchemaVersion(db()), kSchemaVersion);
  EXPECT_TRUE(state.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}}));
  EXPECT_EQ(CountLogEntries(db(), {}), 1);
  QSqlQuery q(db());
  ASSERT_TRUE(q.exec(QStringLiteral("SELECT label FROM intervention")) && q.next());
  EXPECT_EQ(q.value(0).toString(), QStringLiteral("安全器材"));
  EXPECT_FALSE(QSqlQuery(db()).exec(QStringLiteral("DELETE FROM access_log")));
}

}  // namespace
}  // namespace orvanta
