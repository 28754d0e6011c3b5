#include "core/backup/generations.h"

#include <QDir>
#include <gtest/gtest.h>

#include "core/backup/backup_run.h"
#include "core/backup/backup_summary.h"
#include "support/backup_drive.h"

namespace orvanta {
namespace {

using testing::BackupDrive;

QDateTime At(int y, int m, int d, int hour = 9) { return QDateTime(QDate(y, m, d), QTime(hour, 0)); }

QStringList Names(const std::vector<Generation>& generations) {
  QStringList names;
  for (const Generation& g : generations) names << g.name;
  return names;
}

TEST(GenerationNames, AreTheMomentAndNothingElseCounts) {
  EXPECT_EQ(GenerationName(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))), QStringLiteral("20260304-050607"));
  EXPECT_EQ(GenerationMoment(QStringLiteral("20260304-050607")), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
  for (const char* name : {".making-20260304-050607", ".removing-20260304-050607", "20260304-0506", "20261304-050607",
                           "20260304-050607x", "backup"})
    EXPECT_FALSE(GenerationMoment(QString::fromLatin1(name))) << name;
}

TEST(BackupFiles, DataFilesAreTheNumberedFilesOfTheReportFolder) {
  for (const char* path : {"data/0.dat", "data/7.dat", "data/1000.dat"})
    EXPECT_TRUE(IsDataFilePath(QString::fromLatin1(path))) << path;
  for (const char* path : {"data/1001.dat", "data/01.dat", "data/.dat", "data/1.dat.damaged-20261209-0900", "1.dat",
                           "data/x.dat", "data/sub/1.dat", "data/-1.dat", "set.dat"})
    EXPECT_FALSE(IsDataFilePath(QString::fromLatin1(path))) << path;
}

// The keeping rule on its own: the ten newest, then the newest of each of
// the twelve calendar months ending with the tenth newest's month.
TEST(KeptGenerations, TenNewestThenOnePerMonthForTwelveMonths) {
  struct Case {
    const char* what;
    std::vector<QDateTime> newestFirst;
    std::vector<bool> kept;
  };
  std::vector<QDateTime> daily;  // 2026-12-20 back to 2026-12-01, then two a month back to 2025-12
  for (int d = 20; d >= 1; --d) daily.push_back(At(2026, 12, d));
  std::vector<bool> dailyKept(20, false);
  for (int i = 0; i < 10; ++i) dailyKept[static_cast<std::size_t>(i)] = true;
  dailyKept[10] = true;  // 12-10: the newest of December among the older ones
  for (int m = 11; m >= 1; --m) {
    daily.push_back(At(2026, m, 15, 18));
    daily.push_back(At(2026, m, 2));
    dailyKept.push_back(true);
    dailyKept.push_back(false);
  }
  daily.push_back(At(2025, 12, 31));  // the thirteenth month, counting December 2026: let go
  dailyKept.push_back(false);

  const Case cases[] = {
      {"none", {}, {}},
      {"fewer than ten", {At(2026, 1, 3), At(2025, 1, 2), At(2020, 1, 1)}, {true, true, true}},
      {"a year and more", daily, dailyKept},
  };
  for (const Case& c : cases) EXPECT_EQ(KeptGenerations(c.newestFirst), c.kept) << c.what;
}

// Generations made over more than a year, on the 1st, 11th and 21st of
// every month, each by the clock of its day: what is left is the ten
// newest and one a month before them.
TEST(KeptGenerations, OverAYearOfGenerationsTheKeepingRuleLeavesTenAndOneAMonth) {
  BackupDrive drive;
  for (QDate month(2025, 9, 1); month <= QDate(2026, 12, 1); month = month.addMonths(1)) {
    for (int day : {1, 11, 21}) {
      const QDate date(month.year(), month.month(), day);
      if (date > QDate(2026, 12, 1)) break;
      drive.clock.set(QDateTime(date, QTime(9, 0)));
      drive.makeGeneration();
    }
  }
  const QStringList expected = {
      // The ten newest.
      "20261201-090000", "20261121-090000", "20261111-090000", "20261101-090000", "20261021-090000", "20261011-090000",
      "20261001-090000", "20260921-090000", "20260911-090000", "20260901-090000",
      // The newest of each month from September 2026 (none older there)
      // back to October 2025.
      "20260821-090000", "20260721-090000", "20260621-090000", "20260521-090000", "20260421-090000", "20260321-090000",
      "20260221-090000", "20260121-090000", "20251221-090000", "20251121-090000", "20251021-090000"};
  EXPECT_EQ(Names(ListGenerations(drive.state.paths)), expected);
  // Nothing half-removed is left behind.
  EXPECT_EQ(QDir(drive.state.paths.GenerationsFolderPath())
                .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)
                .size(),
            expected.size());
}

// Generations named in the future (made while the clock was ahead, or
// copied from another machine) say nothing true of their age: they are told
// and left alone, and new backups never push out the one just made or the
// way back from a restore.
TEST(KeptGenerations, NamesInTheFutureNeverPushOutTheNewOnesOrTheWayBack) {
  BackupDrive drive;
  // Ten generations made while the clock stood two years ahead.
  for (int i = 0; i < 10; ++i) {
    drive.clock.set(At(2028, 12, 1 + i));
    drive.makeGeneration();
  }
  // The clock put right: a restore keeps the present state as its way back.
  drive.clock.set(At(2026, 12, 10));
  const GenerationResult wayBack = drive.makeGeneration(SystemBackupIo(), BackupOccasion::BeforeRestore);
  QStringList made;
  for (int i = 0; i < 3; ++i) {
    drive.clock.set(At(2026, 12, 10, 10 + i));
    const GenerationResult g = drive.makeGeneration();
    made << g.generation.name;
    EXPECT_EQ(g.later.size(), 10);  // told every time, never acted on
    const QStringList now = Names(ListGenerations(drive.state.paths));
    for (const QString& name : made) EXPECT_TRUE(now.contains(name)) << name.toStdString();
    EXPECT_TRUE(now.contains(wayBack.generation.name));
    EXPECT_EQ(now.size(), 10 + 1 + i + 1);
  }
  BackupRunResult run;
  drive.clock.set(At(2026, 12, 10, 15));
  run.generation = drive.makeGeneration();
  const std::vector<BackupMessage> messages = BackupMessages(run, BackupOccasion::AtExit, drive.state.paths);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.startsWith(
      QStringLiteral("次のバックアップの世代は、今の日時（2026/12/10 15:00:00）より後の日時の名前になっています。\n"
                     "2028/12/10 09:00:00\n2028/12/09 09:00:00\n")))
      << messages[0].text.toStdString();

  // On their own: thirteen December generations that can be trusted, the
  // oldest the way back, beside names in the future.
  std::vector<Generation> all;
  for (int d = 12; d >= 1; --d) all.push_back(Generation{GenerationName(At(2030, 1, d)), {}, At(2030, 1, d)});
  for (int d = 13; d >= 1; --d) all.push_back(Generation{GenerationName(At(2026, 12, d)), {}, At(2026, 12, d)});
  const std::vector<Generation> letGo =
      GenerationsLetGo(all, GenerationName(At(2026, 12, 13)), GenerationName(At(2026, 12, 1)), At(2026, 12, 13));
  // The ten newest (13th to 4th), the newest of December among the older
  // (3rd), the way back (1st): the 2nd goes.
  ASSERT_EQ(letGo.size(), 1u);
  EXPECT_EQ(letGo[0].name, GenerationName(At(2026, 12, 2)));
}

}  // namespace
}  // namespace orvanta
