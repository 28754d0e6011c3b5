// The reader's check of a submission file, on files made with plain SQL as
// another tool would make them: a sound file passes with its facts, and each
// breach of the format is refused with its reason.

#include "core/network/submission_format.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

const QDate kToday(2025, 6, 1);

// Runs statements on a file through Qt SQL, as a tool of the centre would.
void RunSql(const QString& path, const QStringList& statements) {
  const QString name = QStringLiteral("submission_format_test");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA synchronous = OFF")));
    for (const QString& s : statements)
      ASSERT_TRUE(query.exec(s)) << s.toStdString() << query.lastError().text().toStdString();
  }
  QSqlDatabase::removeDatabase(name);
}

// A sound file of three reports, written the way docs/submission.md says.
QStringList SoundFile() {
  return {
      QStringLiteral("PRAGMA application_id = 1331057457"),  // 0x4F565331
      QStringLiteral("PRAGMA user_version = 1"),
      QStringLiteral("CREATE TABLE submission (format_version INTEGER NOT NULL, facility_code TEXT NOT NULL, "
                     "year INTEGER NOT NULL, year_kind TEXT NOT NULL, period_from TEXT NOT NULL, period_to TEXT NOT "
                     "NULL, report_count INTEGER NOT NULL, program_version TEXT NOT NULL, created_at TEXT NOT NULL)"),
      QStringLiteral("CREATE TABLE report (seq INTEGER PRIMARY KEY, incident_year INTEGER NOT NULL, incident_month "
                     "INTEGER NOT NULL, incident_hour INTEGER, occupation TEXT, place TEXT, device_purpose TEXT, "
                     "circumstance TEXT, causing_device TEXT, severity TEXT, device_in_use TEXT, contamination TEXT, "
                     "department TEXT, action_type TEXT, experience_band INTEGER, department_experience_band "
                     "INTEGER, hiv INTEGER, hcv INTEGER, hbv INTEGER, other_infection INTEGER NOT NULL, emergency "
                     "INTEGER, body_sites TEXT NOT NULL)"),
      QStringLiteral("CREATE TABLE denominator (kind TEXT NOT NULL, code TEXT NOT NULL, value REAL NOT NULL, "
                     "PRIMARY KEY (kind, code))"),
      QStringLiteral("CREATE TABLE code_entry (item TEXT NOT NULL, code TEXT NOT NULL, name TEXT NOT NULL, "
                     "PRIMARY KEY (item, code))"),
      QStringLiteral("INSERT INTO submission VALUES (1, 'AB12', 2024, 'fiscal', '2024-04-01', '2025-03-31', 3, "
                     "'3.1.0', '2025-05-01T10:00:00+09:00')"),
      QStringLiteral("INSERT INTO code_entry VALUES ('occupation', '1', '医師'), ('occupation', '2', '看護師'), "
                     "('causing_device', '12', '翼状針')"),
      QStringLiteral("INSERT INTO report VALUES "
                     "(1, 2024, 4, NULL, '1', NULL, NULL, NULL, '12', NULL, NULL, NULL, NULL, NULL, 1, NULL, 1, 2, "
                     "3, 0, 1, '%1'),"
                     "(2, 2024, 12, 0, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 8, 8, NULL, NULL, "
                     "NULL, 1, 2, '%2'),"
                     "(3, 2025, 3, 23, '2', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                     "NULL, NULL, 0, NULL, '%1')")
          .arg(QString(65, u'0'), QString(64, u'0') + u'1'),
      QStringLiteral("INSERT INTO denominator VALUES ('beds', '', 412.5), ('patient_days', '', 150000), "
                     "('fte', '2', 380), ('devices', '12', 20000)"),
  };
}

TEST(SubmissionFormatTest, ASoundFileGivesItsFacts) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("提出_AB12_2024.sqlite"));
  RunSql(path, SoundFile());
  const SubmissionCheck check = CheckSubmissionFile(path, kToday);
  ASSERT_TRUE(check.ok) << check.refusal.toStdString();
  EXPECT_EQ(check.facts.facilityCode, QStringLiteral("AB12"));
  EXPECT_EQ(check.facts.year, 2024);
  EXPECT_EQ(check.facts.yearKind, QStringLiteral("fiscal"));
  EXPECT_EQ(check.facts.periodFrom, QDate(2024, 4, 1));
  EXPECT_EQ(check.facts.periodTo, QDate(2025, 3, 31));
  EXPECT_EQ(check.facts.reportCount, 3);
  EXPECT_EQ(check.facts.denominatorCount, 4);
  EXPECT_EQ(check.facts.codeEntryCount, 3);
  EXPECT_EQ(check.facts.programVersion, QStringLiteral("3.1.0"));
}

TEST(SubmissionFormatTest, EachBreachIsRefusedWithItsReason) {
  struct Case {
    const char* breach;
    QString sql;
    QString reason;
  };
  const std::vector<Case> cases = {
      {"another program's file", QStringLiteral("PRAGMA application_id = 7"), QStringLiteral("application_id")},
      {"a newer format", QStringLiteral("PRAGMA user_version = 2"), QStringLiteral("新しい形式（第2版）")},
      {"a table too many", QStringLiteral("CREATE TABLE staff (name TEXT)"), QStringLiteral("ない表「staff」")},
      {"a column too many", QStringLiteral("ALTER TABLE report ADD COLUMN name TEXT"),
       QStringLiteral("表「report」の列")},
      {"a second submission row", QStringLiteral("INSERT INTO submission SELECT * FROM submission"),
       QStringLiteral("1 行ではありません（2 行）")},
      {"a wrong facility code", QStringLiteral("UPDATE submission SET facility_code = 'ＡＢ１２'"),
       QStringLiteral("施設コード「ＡＢ１２」")},
      {"a code too long", QStringLiteral("UPDATE submission SET facility_code = 'ABCDEFGH9'"),
       QStringLiteral("施設コード「ABCDEFGH9」")},
      {"a year far ahead",
       QStringLiteral("UPDATE submission SET year = 2027, period_from = '2027-04-01', period_to = "
                      "'2028-03-31'"),
       QStringLiteral("年（2027）が 1900～2026 の範囲にありません")},
      {"a period not of the year", QStringLiteral("UPDATE submission SET period_from = '2024-01-01'"),
       QStringLiteral("期間（2024-01-01～2025-03-31）")},
      {"an unknown year kind", QStringLiteral("UPDATE submission SET year_kind = 'school'"),
       QStringLiteral("year_kind")},
      {"a count that does not match", QStringLiteral("UPDATE submission SET report_count = 4"),
       QStringLiteral("report_count = 4")},
      {"a gap in seq", QStringLiteral("UPDATE report SET seq = 9 WHERE seq = 3"), QStringLiteral("連番")},
      {"month 13", QStringLiteral("UPDATE report SET incident_month = 13 WHERE seq = 2"),
       QStringLiteral("seq 2 の行: 列「incident_month」")},
      {"a month outside the year",
       QStringLiteral("UPDATE report SET incident_year = 2025, incident_month = 4 WHERE "
                      "seq = 3"),
       QStringLiteral("seq 3 の行: 列「incident_month」の値が正しくありません（提出の期間の年月")},
      {"hour 24", QStringLiteral("UPDATE report SET incident_hour = 24 WHERE seq = 2"),
       QStringLiteral("列「incident_hour」")},
      {"a code the lists lack", QStringLiteral("UPDATE report SET occupation = '9' WHERE seq = 3"),
       QStringLiteral("seq 3 の行: 列「occupation」")},
      {"an id where a code belongs", QStringLiteral("UPDATE report SET causing_device = 13 WHERE seq = 2"),
       QStringLiteral("seq 2 の行: 列「causing_device」")},
      {"band 9", QStringLiteral("UPDATE report SET experience_band = 9 WHERE seq = 1"),
       QStringLiteral("列「experience_band」")},
      {"a text in a band", QStringLiteral("UPDATE report SET department_experience_band = 'x' WHERE seq = 1"),
       QStringLiteral("列「department_experience_band」")},
      {"hiv 0", QStringLiteral("UPDATE report SET hiv = 0 WHERE seq = 1"), QStringLiteral("列「hiv」")},
      {"other infection 2", QStringLiteral("UPDATE report SET other_infection = 2 WHERE seq = 1"),
       QStringLiteral("列「other_infection」")},
      {"emergency 3", QStringLiteral("UPDATE report SET emergency = 3 WHERE seq = 1"),
       QStringLiteral("列「emergency」")},
      {"64 body sites", QStringLiteral("UPDATE report SET body_sites = substr(body_sites, 2) WHERE seq = 1"),
       QStringLiteral("列「body_sites」")},
      {"a 2 among the sites",
       QStringLiteral("UPDATE report SET body_sites = '2' || substr(body_sites, 2) WHERE seq = 1"),
       QStringLiteral("列「body_sites」")},
      {"an empty code entry", QStringLiteral("INSERT INTO code_entry VALUES ('place', '', '病室')"),
       QStringLiteral("空のコード")},
      {"an entry of no column", QStringLiteral("INSERT INTO code_entry VALUES ('name', '1', 'x')"),
       QStringLiteral("項目「name」")},
      {"a zero denominator", QStringLiteral("UPDATE denominator SET value = 0 WHERE kind = 'beds'"),
       QStringLiteral("0 より大きい")},
      {"an endless denominator", QStringLiteral("UPDATE denominator SET value = 9e999 WHERE kind = 'beds'"),
       QStringLiteral("0 より大きい")},
      {"an fte of no occupation", QStringLiteral("UPDATE denominator SET code = '7' WHERE kind = 'fte'"),
       QStringLiteral("「occupation」にないコード")},
      {"beds with a code", QStringLiteral("UPDATE denominator SET code = '1' WHERE kind = 'beds'"),
       QStringLiteral("コードは空のはず")},
      {"an unknown kind", QStringLiteral("INSERT INTO denominator VALUES ('nurses', '', 3)"),
       QStringLiteral("分母の種類")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.breach);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.sqlite"));
    RunSql(path, SoundFile() << c.sql);
    const SubmissionCheck check = CheckSubmissionFile(path, kToday);
    EXPECT_FALSE(check.ok);
    EXPECT_TRUE(check.refusal.startsWith(
        QStringLiteral("ファイル「%1」は提出用ファイルとして受け付けられません。\n").arg(path)))
        << check.refusal.toStdString();
    EXPECT_TRUE(check.refusal.contains(c.reason)) << check.refusal.toStdString();
  }
}

TEST(SubmissionFormatTest, FilesThatAreNoDatabaseAreRefused) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("none.sqlite"));
  EXPECT_TRUE(CheckSubmissionFile(missing, kToday).refusal.contains(QStringLiteral("ファイルがありません")));
  EXPECT_FALSE(QFile::exists(missing)) << "the check never makes a file";

  const QString text = dir.filePath(QStringLiteral("text.sqlite"));
  QFile f(text);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(4096, 'x'));
  f.close();
  EXPECT_TRUE(
      CheckSubmissionFile(text, kToday).refusal.contains(QStringLiteral("SQLite のデータベースとして読めません")));

  // A sound file whose pages are damaged after its header.
  const QString damaged = dir.filePath(QStringLiteral("damaged.sqlite"));
  RunSql(damaged, SoundFile());
  QFile d(damaged);
  ASSERT_TRUE(d.open(QIODevice::ReadWrite));
  QByteArray bytes = d.readAll();
  ASSERT_GT(bytes.size(), 4096);
  for (qsizetype i = 4096 + 8; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(0xA5);
  d.seek(0);
  d.write(bytes);
  d.close();
  const SubmissionCheck check = CheckSubmissionFile(damaged, kToday);
  EXPECT_FALSE(check.ok);
}

TEST(SubmissionFormatTest, FacilityCodes) {
  for (const char* good : {"A", "ab12", "Z9Z9Z9Z9", "00000001"})
    EXPECT_TRUE(IsFacilityCode(QString::fromUtf8(good))) << good;
  for (const char* bad : {"", "ABCDEFGHI", "AB-12", "AB 12", "ＡＢ", "病院1", "ab_c"})
    EXPECT_FALSE(IsFacilityCode(QString::fromUtf8(bad))) << bad;
}

}  // namespace
}  // namespace orvanta
