#include "core/store/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/store/schema.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;
using testing::kTestMoment;
using testing::WriteFileBytes;

class DatabaseTest : public ::testing::Test {
 protected:
  QString path() const { return dir_.filePath(QStringLiteral("orvanta.sqlite")); }

  // Opens the database at path(); fails the test when it cannot be opened.
  void openOk(Database& db, QString* notice) {
    QString error;
    ASSERT_TRUE(db.open(path(), kTestMoment, notice, &error)) << error.toStdString();
  }

  static int Count(const Database& db, const QString& table) {
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !query.next()) return -1;
    return query.value(0).toInt();
  }

  static bool AddIntervention(Database& db, const QString& label, bool commit) {
    QString error;
    return db.change(
        [&](QSqlDatabase& connection, QString*) {
          QSqlQuery insert(connection);
          insert.prepare(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-04-01', ?)"));
          insert.addBindValue(label);
          return insert.exec() && commit;
        },
        &error);
  }

  // The names kept beside the database as damaged files.
  QStringList damagedFiles() const {
    return QDir(dir_.path()).entryList({QStringLiteral("orvanta.sqlite.damaged-*")}, QDir::Files);
  }

  QTemporaryDir dir_;
};

TEST_F(DatabaseTest, NewDatabaseHasTheWholeSchemaOwnerOnly) {
  Database db;
  QString notice;
  openOk(db, &notice);
  EXPECT_TRUE(notice.isEmpty());
  EXPECT_FALSE(db.isReadOnly());
  QSqlDatabase connection = db.connection();
  EXPECT_EQ(SchemaVersion(connection), kSchemaVersion);
  for (const char* table : {"setting", "followup_case", "followup_test", "schedule_template", "denominator",
                            "intervention", "access_log", "access_log_pending"}) {
    EXPECT_GE(Count(db, QString::fromLatin1(table)), 0) << table;
  }
  EXPECT_EQ(Count(db, QStringLiteral("schedule_template")), 8);
  QSqlQuery setting(connection);
  ASSERT_TRUE(setting.exec(QStringLiteral("SELECT value FROM setting WHERE key = 'due_days_ahead'")) && setting.next());
  EXPECT_EQ(setting.value(0).toString(), QStringLiteral("14"));
  // Owner, group and others (not the Qt "user" flags).
  EXPECT_EQ(int(QFileInfo(path()).permissions() & 0x7077), int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));

  // Opened again, nothing is created twice.
  db.close();
  openOk(db, &notice);
  EXPECT_EQ(Count(db, QStringLiteral("schedule_template")), 8);
}

TEST_F(DatabaseTest, ChangeCommitsWholeOrNothing) {
  Database db;
  openOk(db, nullptr);
  EXPECT_TRUE(AddIntervention(db, QStringLiteral("安全器材の導入"), true));
  EXPECT_FALSE(AddIntervention(db, QStringLiteral("取り消される"), false));
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);

  // A constraint the schema holds refuses a bad row, and the change with it.
  QString error;
  EXPECT_FALSE(db.change(
      [](QSqlDatabase& connection, QString* why) {
        QSqlQuery insert(connection);
        return insert.exec(QStringLiteral("INSERT INTO denominator VALUES (2025, 'beds', 0, -1)")) ||
               (*why = QStringLiteral("refused"), false);
      },
      &error));
  EXPECT_EQ(Count(db, QStringLiteral("denominator")), 0);
}

// Deferred work runs at the front of the next change, in its transaction;
// when it fails, the change goes on alone; closing runs what is left.
TEST_F(DatabaseTest, DeferredWorkGoesWithTheNextChangeAndNeverStopsIt) {
  Database db;
  openOk(db, nullptr);
  std::vector<int> order;
  db.deferToNextChange([&](QSqlDatabase& connection, QString*) {
    order.push_back(1);
    return QSqlQuery(connection)
        .exec(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-04-01', '先')"));
  });
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 0);
  EXPECT_TRUE(db.change(
      [&](QSqlDatabase&, QString*) {
        order.push_back(2);
        return true;
      },
      nullptr));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);

  // A failing piece is rolled back with the pieces before it, never run
  // again, and the change is made.
  db.deferToNextChange([](QSqlDatabase& connection, QString*) {
    return QSqlQuery(connection)
        .exec(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-04-02', '取り消し')"));
  });
  db.deferToNextChange([](QSqlDatabase&, QString* why) {
    *why = QStringLiteral("失敗");
    return false;
  });
  EXPECT_TRUE(AddIntervention(db, QStringLiteral("本体"), true));
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 2);
  EXPECT_TRUE(db.runDeferred());
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 2);

  // What is still deferred when the database closes is written first.
  db.deferToNextChange([](QSqlDatabase& connection, QString*) {
    return QSqlQuery(connection)
        .exec(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-04-03', '閉じる前')"));
  });
  db.close();
  openOk(db, nullptr);
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 3);
}

TEST_F(DatabaseTest, DamagedFileIsKeptAsideAndANewOneStarted) {
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  // A real database with a page written over in its middle.
  QByteArray overwritten;
  {
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("x.sqlite"));
    {
      Database db;
      QString error;
      ASSERT_TRUE(db.open(source, kTestMoment, nullptr, &error));
      for (int i = 0; i < 200; ++i) ASSERT_TRUE(AddIntervention(db, QString(200, QChar(u'あ' + i % 50)), true));
    }
    overwritten = FileBytes(source);
    ASSERT_GT(overwritten.size(), 8 * 4096);
    for (int i = 4096 * 3; i < 4096 * 5; ++i) overwritten[i] = char(0x5a);
  }
  const Case cases[] = {
      {"text, not a database", QByteArray("これはデータベースではありません\r\n").repeated(200)},
      {"a page overwritten", overwritten},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const QString& name : damagedFiles()) QFile::remove(dir_.filePath(name));
    ASSERT_TRUE(WriteFileBytes(path(), c.bytes));
    Database db;
    QString notice;
    openOk(db, &notice);
    const QStringList kept = damagedFiles();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(FileBytes(dir_.filePath(kept.first())), c.bytes);
    EXPECT_TRUE(notice.contains(QStringLiteral("壊れていた"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(kept.first())) << notice.toStdString();
    EXPECT_EQ(Count(db, QStringLiteral("intervention")), 0);
    EXPECT_TRUE(AddIntervention(db, QStringLiteral("新しい記録"), true));
  }
}

// A sound database that cannot be read just now (another program holds it
// locked) is not damaged: it stays where it is, untouched, and the program
// goes on without it instead of starting an empty one in its place.
TEST_F(DatabaseTest, ALockedDatabaseIsNotTakenForADamagedOne) {
  {
    Database db;
    openOk(db, nullptr);
    ASSERT_TRUE(AddIntervention(db, QStringLiteral("導入"), true));
  }
  const QByteArray before = FileBytes(path());
  {
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    holder.setDatabaseName(path());
    holder.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    ASSERT_TRUE(holder.open());
    QSqlQuery lock(holder);
    ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    ASSERT_TRUE(lock.exec(QStringLiteral("DELETE FROM intervention")));

    Database db;
    QString notice, error;
    EXPECT_FALSE(db.open(path(), kTestMoment, &notice, &error));
    EXPECT_TRUE(damagedFiles().isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(notice.contains(QStringLiteral("壊れていた"))) << notice.toStdString();
    ASSERT_TRUE(lock.exec(QStringLiteral("ROLLBACK")));
    holder.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("holder"));
  EXPECT_EQ(FileBytes(path()), before);
  Database db;
  openOk(db, nullptr);
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);
}

TEST_F(DatabaseTest, EmptyFileIsANewDatabaseNotADamagedOne) {
  ASSERT_TRUE(WriteFileBytes(path(), {}));
  Database db;
  QString notice;
  openOk(db, &notice);
  EXPECT_TRUE(notice.isEmpty());
  EXPECT_TRUE(damagedFiles().isEmpty());
  EXPECT_EQ(Count(db, QStringLiteral("schedule_template")), 8);
}

TEST_F(DatabaseTest, NewerDatabaseIsReadButNeverWritten) {
  {
    Database db;
    openOk(db, nullptr);
    ASSERT_TRUE(AddIntervention(db, QStringLiteral("導入"), true));
    QSqlQuery bump(db.connection());
    ASSERT_TRUE(bump.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1)));
  }
  const QByteArray before = FileBytes(path());
  Database db;
  QString notice;
  openOk(db, &notice);
  EXPECT_TRUE(db.isReadOnly());
  EXPECT_TRUE(notice.contains(QStringLiteral("新しい版"))) << notice.toStdString();
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);
  EXPECT_FALSE(AddIntervention(db, QStringLiteral("書けない"), true));
  db.close();
  EXPECT_EQ(FileBytes(path()), before);
  EXPECT_TRUE(damagedFiles().isEmpty());
}

// A run that must write nothing reads the database as it is: never created,
// checked aside, brought up to date or changed.
TEST_F(DatabaseTest, OpenedReadOnlyTheFileStaysAsItIs) {
  {
    Database db;
    EXPECT_FALSE(db.openReadOnly(path(), nullptr));
    EXPECT_FALSE(QFileInfo::exists(path()));
  }
  {
    Database db;
    openOk(db, nullptr);
    ASSERT_TRUE(AddIntervention(db, QStringLiteral("導入"), true));
  }
  const QByteArray before = FileBytes(path());
  Database db;
  QString error;
  ASSERT_TRUE(db.openReadOnly(path(), &error)) << error.toStdString();
  EXPECT_TRUE(db.isReadOnly());
  EXPECT_EQ(db.readOnlyReason(), QStringLiteral("読み取り専用で起動しているため"));
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);
  EXPECT_FALSE(AddIntervention(db, QStringLiteral("書けない"), true));
  QString refused;
  EXPECT_FALSE(db.change([](QSqlDatabase&, QString*) { return true; }, &refused));
  EXPECT_EQ(refused, QStringLiteral("読み取り専用で起動しているため、データベース「%1」に変更を保存できません。")
                         .arg(QDir::toNativeSeparators(path())));
  // Not even SQLite itself may write through this connection.
  QSqlQuery write(db.connection());
  EXPECT_FALSE(write.exec(QStringLiteral("INSERT INTO intervention(on_date, label) VALUES ('2026-04-01', 'x')")));
  db.close();
  EXPECT_EQ(FileBytes(path()), before);

  // A damaged file is not opened, and stays where it is.
  ASSERT_TRUE(WriteFileBytes(path(), QByteArray("SQLite format 3") + QByteArray(2000, 'x')));
  EXPECT_FALSE(db.openReadOnly(path(), &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("データベース「%1」").arg(QDir::toNativeSeparators(path()))));
  EXPECT_TRUE(damagedFiles().isEmpty());
}

// A row that breaks a rule of its table (written by another tool) is not a
// damaged file: the database is kept, the rows are named and taken out of
// what the windows read, and the file as it was is kept beside.
TEST_F(DatabaseTest, RowsBreakingARuleAreSetAsideNotTheWholeDatabase) {
  {
    Database db;
    openOk(db, nullptr);
    ASSERT_TRUE(AddIntervention(db, QStringLiteral("導入"), true));
    QSqlQuery q(db.connection());
    ASSERT_TRUE(q.exec(QStringLiteral(
        "INSERT INTO followup_case(report_id, worker_name, department, occupation, incident_on, remarks) "
        "VALUES (7, '見本 花子', '内科', '看護師', '2026-12-01', '')")));
    ASSERT_TRUE(
        q.exec(QStringLiteral("INSERT INTO followup_test(report_id, pathogen, test, due_on, remarks) "
                              "VALUES (7, 'HIV', 'HIV抗体', '2026-12-10', '')")));
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON")));
    ASSERT_TRUE(
        q.exec(QStringLiteral("INSERT INTO followup_test(report_id, pathogen, test, due_on, remarks) "
                              "VALUES (7, 'HXV', 'HIV抗体', '2026-12-10', '')")));
  }
  const QByteArray before = FileBytes(path());
  Database db;
  QString notice;
  openOk(db, &notice);
  EXPECT_FALSE(db.isReadOnly());
  EXPECT_TRUE(damagedFiles().isEmpty());
  const QStringList kept = QDir(dir_.path()).entryList({QStringLiteral("orvanta.sqlite.rows-*")}, QDir::Files);
  ASSERT_EQ(kept.size(), 1);
  EXPECT_EQ(
      notice,
      QStringLiteral("データベース「%1」に、決まりに合わない値の行がありました（別のソフトウェアで書き換えられた"
                     "可能性があります）。\n表 followup_test の 2 行目\nこれらの行は画面に出さないよう取り除きました。"
                     "取り除く前のデータベースは「%2」として残してあります。ほかの記録はこれまでどおり使えます。")
          .arg(QDir::toNativeSeparators(path()), QDir::toNativeSeparators(QDir(dir_.path()).filePath(kept[0]))));
  EXPECT_EQ(Count(db, QStringLiteral("followup_test")), 1);
  EXPECT_EQ(Count(db, QStringLiteral("followup_case")), 1);
  EXPECT_EQ(Count(db, QStringLiteral("intervention")), 1);
  // Nothing is lost: the file kept beside still holds the row.
  {
    QSqlDatabase aside = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("aside"));
    aside.setDatabaseName(QDir(dir_.path()).filePath(kept[0]));
    ASSERT_TRUE(aside.open());
    QSqlQuery q(aside);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM followup_test WHERE pathogen = 'HXV'")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
  }
  QSqlDatabase::removeDatabase(QStringLiteral("aside"));
  EXPECT_NE(FileBytes(path()), before);
}

TEST_F(DatabaseTest, CopyIsConsistentAndChecked) {
  Database db;
  openOk(db, nullptr);
  ASSERT_TRUE(AddIntervention(db, QStringLiteral("導入"), true));
  const QString copy = dir_.filePath(QStringLiteral("copy.sqlite"));
  QString error;
  ASSERT_TRUE(db.copyTo(copy, &error)) << error.toStdString();
  EXPECT_TRUE(CheckDatabaseFile(copy, &error)) << error.toStdString();
  const QString second = dir_.filePath(QStringLiteral("second.sqlite"));
  ASSERT_TRUE(CopyDatabaseFile(copy, second, &error)) << error.toStdString();
  Database reopened;
  ASSERT_TRUE(reopened.open(second, kTestMoment, nullptr, &error));
  EXPECT_EQ(Count(reopened, QStringLiteral("intervention")), 1);

  ASSERT_TRUE(WriteFileBytes(copy, QByteArray("not a database").repeated(100)));
  EXPECT_FALSE(CheckDatabaseFile(copy, &error));
  EXPECT_FALSE(CheckDatabaseFile(dir_.filePath(QStringLiteral("missing.sqlite")), &error));
}

}  // namespace
}  // namespace orvanta
