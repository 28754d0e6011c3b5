// A year's submission: what goes (and what never does), the file's layout
// read back with plain SQL, edited code lists, empty years, damaged data
// files, and writing that fails without leaving a file behind.

#include "core/network/submission.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimeZone>
#include <gtest/gtest.h>

#include "core/codelists/code_list_editing.h"
#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"
#include "core/rates/denominators.h"
#include "support/file_permissions.h"
#include "support/rates_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::EntryIdAt;
using testing::TempDrive;

const QDate kToday = testing::kTestMoment.date();
const QString kMarker = QStringLiteral("ZQXMARK");
const QString kJapaneseMarker = QStringLiteral("秘密印");

// Reads a query's rows as texts joined by "|", through Qt SQL.
QStringList Rows(const QString& path, const QString& sql) {
  QStringList rows;
  const QString name = QStringLiteral("submission_test");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
      ADD_FAILURE() << "cannot open " << path.toStdString();
      return rows;
    }
    QSqlQuery query(db);
    if (!query.exec(sql)) ADD_FAILURE() << sql.toStdString();
    while (query.next()) {
      QStringList cells;
      for (int c = 0; c < query.record().count(); ++c)
        cells << (query.value(c).isNull() ? QStringLiteral("NULL") : query.value(c).toString());
      rows << cells.join(u'|');
    }
  }
  QSqlDatabase::removeDatabase(name);
  return rows;
}

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

SubmissionStamp Stamp() {
  return SubmissionStamp{QStringLiteral("AB12"), QDateTime(QDate(2026, 12, 9), QTime(9, 0), QTimeZone(9 * 3600))};
}

class SubmissionTest : public ::testing::Test, public TempDrive {
 protected:
  void SetUp() override { ASSERT_TRUE(testing::InstallRatesCollection(*this)); }

  SubmissionContent Gather(int year, int threads = 1) {
    Denominators denominators;
    QString error;
    EXPECT_TRUE(LoadDenominators(state.database, &denominators, &error));
    return GatherSubmission(state.paths, state.counters.NewestFileNo, state.lists, denominators, year, YearKind::Fiscal,
                            threads);
  }
  QString Folder() { return root.filePath(QStringLiteral("out")); }
  QString Target() { return QDir(Folder()).filePath(SubmissionFileName(QStringLiteral("AB12"), 2023)); }
  void SetUpFolder() { ASSERT_TRUE(QDir().mkpath(Folder())); }
};

// The rates collection's 年度 2023: seven reports, its denominators.
TEST_F(SubmissionTest, LayoutReadBackWithPlainSql) {
  SetUpFolder();
  const SubmissionContent c = Gather(2023);
  ASSERT_EQ(c.reportCount(), 7);
  QString error;
  ASSERT_TRUE(WriteSubmissionFile(Target(), c, Stamp(), kToday, &error)) << error.toStdString();
  const QString path = Target();

  EXPECT_EQ(Rows(path, QStringLiteral("PRAGMA application_id")), QStringList{QStringLiteral("1331057457")});
  EXPECT_EQ(Rows(path, QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("1")});
  EXPECT_EQ(Rows(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")),
            (QStringList{QStringLiteral("code_entry"), QStringLiteral("denominator"), QStringLiteral("report"),
                         QStringLiteral("submission")}));
  EXPECT_EQ(
      Rows(path, QStringLiteral("SELECT group_concat(name || ' ' || type, ', ') FROM pragma_table_info('report')")),
      QStringList{QStringLiteral(
          "seq INTEGER, incident_year INTEGER, incident_month INTEGER, incident_hour INTEGER, occupation TEXT, "
          "place TEXT, device_purpose TEXT, circumstance TEXT, causing_device TEXT, severity TEXT, "
          "device_in_use TEXT, contamination TEXT, department TEXT, action_type TEXT, experience_band "
          "INTEGER, department_experience_band INTEGER, hiv INTEGER, hcv INTEGER, hbv INTEGER, "
          "other_infection INTEGER, emergency INTEGER, body_sites TEXT")});
  EXPECT_EQ(Rows(path, QStringLiteral("SELECT * FROM submission")),
            QStringList{QStringLiteral("1|AB12|2023|fiscal|2023-04-01|2024-03-31|7|%1|2026-12-09T09:00:00+09:00")
                            .arg(SubmissionStamp::SubmissionProgramVersion())});
  // Ordered by year and month; the codes as printed on the form.
  const QString doctor = state.lists[kOccupations].entries[0].code;
  const QString nurse = state.lists[kOccupations].entries[3].code;
  const QString sites = QString(65, u'0');
  EXPECT_EQ(
      Rows(path, QStringLiteral("SELECT seq, incident_year, incident_month, incident_hour, occupation, "
                                "causing_device, place, experience_band, hiv, other_infection, emergency, "
                                "body_sites = '%1' FROM report ORDER BY seq")
                     .arg(sites)),
      (QStringList{
          QStringLiteral("1|2023|4|10|%1|%2|NULL|NULL|NULL|0|NULL|1").arg(nurse, state.lists[kDevices].entries[0].code),
          QStringLiteral("2|2023|5|10|%1|%2|NULL|NULL|NULL|0|NULL|1")
              .arg(doctor, state.lists[kDevices].entries[5].code),
          QStringLiteral("3|2023|7|10|%1|%2|NULL|NULL|NULL|0|NULL|1").arg(nurse, state.lists[kDevices].entries[0].code),
          QStringLiteral("4|2023|9|10|%1|%2|NULL|NULL|NULL|0|NULL|1").arg(nurse, state.lists[kDevices].entries[6].code),
          QStringLiteral("5|2023|11|10|%1|%2|NULL|NULL|NULL|0|NULL|1")
              .arg(doctor, state.lists[kDevices].entries[0].code),
          QStringLiteral("6|2023|12|10|%1|%2|NULL|NULL|NULL|0|NULL|1")
              .arg(nurse, state.lists[kDevices].entries[5].code),
          QStringLiteral("7|2024|3|10|%1|%2|NULL|NULL|NULL|0|NULL|1").arg(nurse, state.lists[kDevices].entries[0].code),
      }));
  EXPECT_EQ(Rows(path, QStringLiteral("SELECT kind, code, value FROM denominator ORDER BY kind, code")),
            (QStringList{
                QStringLiteral("beds||330"),
                QStringLiteral("devices|%1|20000").arg(state.lists[kDevices].entries[0].code),
                QStringLiteral("devices|%1|5000").arg(state.lists[kDevices].entries[5].code),
                QStringLiteral("fte|%1|60").arg(doctor),
                QStringLiteral("fte|%1|150").arg(nurse),
                QStringLiteral("patient_days||110000"),
            }));
  EXPECT_EQ(
      Rows(path, QStringLiteral("SELECT name FROM code_entry WHERE item = 'occupation' AND code = '%1'").arg(nurse)),
      QStringList{state.lists[kOccupations].entries[3].name});
  EXPECT_EQ(QFileInfo(path).permissions() & 0x0777, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(Entries(Folder()), QStringList{QFileInfo(path).fileName()}) << "no temporary file stays";
}

// Every text a person could be named by carries a marker; days and minutes
// are odd. The marker is nowhere in the file or its CSV, and reports that
// differ only in what never goes give the same rows.
TEST_F(SubmissionTest, NothingThatNamesAPersonLeaks) {
  const auto collection = [&](bool marked, int day, int minute) {
    std::vector<ReportRecord> reports;
    for (int i = 0; i < 40; ++i) {
      ReportRecord r;
      r.ReportId = marked ? 5000 - i : 100 + i;
      const QString mark = marked ? kMarker + kJapaneseMarker + QString::number(i) : QString();
      for (std::size_t t = 0; t < r.Texts.size(); ++t) r.Texts[t] = mark;
      r.Texts[kExperienceYears] = QStringLiteral("%1%2").arg(i % 31).arg(mark);
      r.Texts[kDepartmentYears] = i % 3 == 0 ? QString() : QStringLiteral("%1%2").arg(i % 7).arg(mark);
      r.Texts[kOtherInfection] = i % 2 == 0 ? QString() : QStringLiteral("梅毒") + mark;
      for (QString& n : r.Notes) n = mark;
      for (QString& o : r.OtherTexts) o = mark;
      r.Years[0] = 2023;
      r.Months[0] = 4 + i % 9;
      r.Days[0] = day + i % 3;
      r.Hours[0] = i % 25;  // 24 is no hour
      r.Minutes[0] = minute;
      r.AnswerIds[kOccupations] = EntryIdAt(*this, kOccupations, 1 + i % 5);
      r.AnswerIds[kDevices] = EntryIdAt(*this, kDevices, 1 + i % 7);
      r.Choices[2] = i % 4;
      r.Choices[8] = i % 3;
      r.Sites[static_cast<std::size_t>(i % 65)] = 1;
      reports.push_back(r);
    }
    if (marked) std::reverse(reports.begin(), reports.end());
    return reports;
  };
  SetUpFolder();
  ASSERT_TRUE(WriteReports(0, collection(true, 13, 37)));
  ASSERT_TRUE(WriteReports(1, {}));
  const SubmissionContent marked = Gather(2023);
  ASSERT_EQ(marked.reportCount(), 40);
  QString error;
  ASSERT_TRUE(WriteSubmissionFile(Target(), marked, Stamp(), kToday, &error)) << error.toStdString();
  const QByteArray bytes = testing::FileBytes(Target());
  ASSERT_FALSE(bytes.isEmpty());
  for (const QString& m : {kMarker, kJapaneseMarker, QStringLiteral("梅毒")}) {
    EXPECT_FALSE(bytes.contains(m.toUtf8())) << m.toStdString();
    EXPECT_FALSE(bytes.contains(cp932::Encode(m))) << m.toStdString();
  }
  const QByteArray csv = cp932::Encode(SubmissionCsvText(marked));
  for (const QString& m : {kMarker, kJapaneseMarker, QStringLiteral("梅毒")})
    EXPECT_FALSE(csv.contains(cp932::Encode(m))) << m.toStdString();

  // The same reports on other days and minutes, with no texts, other record
  // numbers and in the other order give the very same rows.
  const QString other = QDir(Folder()).filePath(QStringLiteral("other.sqlite"));
  ASSERT_TRUE(WriteReports(0, collection(false, 1, 0)));
  ASSERT_TRUE(WriteSubmissionFile(other, Gather(2023), Stamp(), kToday, &error)) << error.toStdString();
  const QString all = QStringLiteral("SELECT * FROM report ORDER BY seq");
  EXPECT_EQ(Rows(Target(), all), Rows(other, all));
  EXPECT_EQ(Rows(Target(), all).size(), 40);
  EXPECT_EQ(SubmissionCsvText(marked), SubmissionCsvText(Gather(2023)));
  // No column could hold a day or a minute, and rows come in answer order.
  for (const QString& sql : {QStringLiteral("SELECT count(*) FROM pragma_table_info('report') WHERE name LIKE "
                                            "'%day%' OR name LIKE '%minute%'"),
                             QStringLiteral("SELECT count(*) FROM report a JOIN report b ON b.seq = a.seq + 1 WHERE "
                                            "(b.incident_month, coalesce(b.incident_hour, -1)) < (a.incident_month, "
                                            "coalesce(a.incident_hour, -1))")})
    EXPECT_EQ(Rows(Target(), sql), QStringList{QStringLiteral("0")}) << sql.toStdString();
  // Bands, results and other infection as the analysis items count them.
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE other_infection = 1")),
            QStringList{QStringLiteral("20")});
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE department_experience_band IS NULL")),
            QStringList{QStringLiteral("14")});
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE incident_hour IS NULL")),
            QStringList{QStringLiteral("1")});
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE hiv IS NULL")),
            QStringList{QStringLiteral("10")});
}

// The hospital renamed an entry and added one without a code: the renamed
// entry keeps its code, the one without goes as '' and is counted.
TEST_F(SubmissionTest, EditedCodeListsKeepTheirCodes) {
  CodeList& occupations = state.lists[kOccupations];
  const QString nurseCode = occupations.entries[3].code;
  occupations.entries[3].name = QStringLiteral("看護職員");
  CodeEntry added{QStringLiteral("看護助手"), QString(), 9001};
  occupations.entries.push_back(added);
  std::vector<ReportRecord> reports(2);
  for (ReportRecord& r : reports) {
    r.ReportId = 77;
    r.Years[0] = 2023;
    r.Months[0] = 6;
    r.Days[0] = 1;
  }
  reports[0].AnswerIds[kOccupations] = 9001;
  reports[1].AnswerIds[kOccupations] = occupations.entries[3].id;
  ASSERT_TRUE(WriteReports(2, reports));
  const SubmissionContent c = Gather(2023);
  EXPECT_EQ(c.codelessAnswers, 1);
  EXPECT_EQ(c.codelessByItem[kOccupations], 1);
  EXPECT_EQ(c.reportCount(), 9);
  SetUpFolder();
  QString error;
  ASSERT_TRUE(WriteSubmissionFile(Target(), c, Stamp(), kToday, &error)) << error.toStdString();
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE occupation = ''")),
            QStringList{QStringLiteral("1")});
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM report WHERE occupation = '%1'").arg(nurseCode)),
            QStringList{QStringLiteral("5")});
  EXPECT_EQ(
      Rows(Target(),
           QStringLiteral("SELECT name FROM code_entry WHERE item = 'occupation' AND code = '%1'").arg(nurseCode)),
      QStringList{QStringLiteral("看護職員")});
  EXPECT_EQ(Rows(Target(), QStringLiteral("SELECT count(*) FROM code_entry WHERE name = '看護助手'")),
            QStringList{QStringLiteral("0")});
  // An FTE stored for the entry without a code is named, not sent.
  const auto line = std::find_if(c.denominators.begin(), c.denominators.end(),
                                 [](const DenominatorLine& l) { return l.name == QStringLiteral("看護助手"); });
  ASSERT_NE(line, c.denominators.end());
  EXPECT_EQ(line->status, DenominatorLine::Status::Missing);
}

TEST_F(SubmissionTest, DenominatorLinesSayWhatGoes) {
  QString error;
  const std::int32_t doctor = EntryIdAt(*this, kOccupations, 1);
  CodeList& occupations = state.lists[kOccupations];
  occupations.entries.push_back(CodeEntry{QStringLiteral("看護助手"), QString(), 9001});
  ASSERT_TRUE(StoreDenominators(
      state.database, {{{2023, DenominatorKind::Fte, 9001}, 12}, {{2023, DenominatorKind::Fte, doctor}, 0}}, &error));
  const SubmissionContent c = Gather(2023);
  const auto status = [&](DenominatorKind kind, const QString& name) {
    for (const DenominatorLine& l : c.denominators)
      if (l.kind == kind && l.name == name) return l.status;
    ADD_FAILURE() << name.toStdString();
    return DenominatorLine::Status::Goes;
  };
  EXPECT_EQ(status(DenominatorKind::Beds, {}), DenominatorLine::Status::Goes);
  EXPECT_EQ(status(DenominatorKind::Fte, occupations.entries[0].name), DenominatorLine::Status::Zero);
  EXPECT_EQ(status(DenominatorKind::Fte, occupations.entries[3].name), DenominatorLine::Status::Goes);
  EXPECT_EQ(status(DenominatorKind::Fte, occupations.entries[1].name), DenominatorLine::Status::Missing);
  EXPECT_EQ(status(DenominatorKind::Fte, QStringLiteral("看護助手")), DenominatorLine::Status::NoCode);
  EXPECT_EQ(c.denominators.size(), 2 + static_cast<std::size_t>(occupations.count() + state.lists[kDevices].count()));
}

// A year with no reports and no denominators still makes a sound file.
TEST_F(SubmissionTest, AnEmptyYearMakesASoundFile) {
  SetUpFolder();
  const SubmissionContent c = Gather(2019);
  EXPECT_EQ(c.reportCount(), 0);
  for (const DenominatorLine& l : c.denominators) EXPECT_EQ(l.status, DenominatorLine::Status::Missing);
  QString error;
  const QString path = QDir(Folder()).filePath(QStringLiteral("empty.sqlite"));
  ASSERT_TRUE(WriteSubmissionFile(path, c, Stamp(), kToday, &error)) << error.toStdString();
  const SubmissionCheck check = CheckSubmissionFile(path, kToday);
  ASSERT_TRUE(check.ok) << check.refusal.toStdString();
  EXPECT_EQ(check.facts.reportCount, 0);
  EXPECT_EQ(check.facts.denominatorCount, 0);
  EXPECT_EQ(check.facts.periodFrom, QDate(2019, 4, 1));
  // 年度 2024 has reports but no denominators.
  const SubmissionContent y2024 = Gather(2024);
  EXPECT_EQ(y2024.reportCount(), 3);
  for (const DenominatorLine& l : y2024.denominators) EXPECT_EQ(l.status, DenominatorLine::Status::Missing);
}

TEST_F(SubmissionTest, ADamagedDataFileIsNamed) {
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), "3 \r\nnot a report\r\n"));
  const SubmissionContent c = Gather(2023);
  EXPECT_EQ(c.unreadableFiles, std::vector<int>{1});
  EXPECT_EQ(c.reportCount(), 4);  // file 0's reports of the year
  EXPECT_EQ(Gather(2023, 2).rows, c.rows) << "the same on two threads";
}

// Writing that fails leaves no file, and the earlier submission stays.
TEST_F(SubmissionTest, FailedWritingLeavesNoFile) {
  SetUpFolder();
  const SubmissionContent c = Gather(2023);
  QString error;

  EXPECT_FALSE(WriteSubmissionFile(Target(), c, Stamp(), kToday, &error, SubmissionWriteOptions{.byteLimit = 8192}));
  EXPECT_EQ(error, CannotWriteFileMessage(Target(), QStringLiteral("ディスクの空きが足りません")));
  EXPECT_TRUE(Entries(Folder()).isEmpty()) << Entries(Folder()).join(u' ').toStdString();

  ASSERT_TRUE(QDir().mkpath(Target()));
  EXPECT_FALSE(WriteSubmissionFile(Target(), c, Stamp(), kToday, &error));
  EXPECT_EQ(error, CannotWriteFileMessage(Target(), QStringLiteral("同じ名前のフォルダがあります")));
  ASSERT_TRUE(QDir().rmdir(Target()));

  const QString missing = root.filePath(QStringLiteral("none/x.sqlite"));
  EXPECT_FALSE(WriteSubmissionFile(missing, c, Stamp(), kToday, &error));
  EXPECT_EQ(error, CannotWriteFileMessage(missing, QStringLiteral("フォルダがありません")));

  // A corrected submission replaces the earlier file; a read-only folder
  // leaves it as it was.
  ASSERT_TRUE(WriteSubmissionFile(Target(), c, Stamp(), kToday, &error));
  const QByteArray earlier = testing::FileBytes(Target());
  ASSERT_TRUE(QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  {
    testing::OrdinaryFileAccess ordinary;
    ASSERT_TRUE(ordinary.active());
    EXPECT_FALSE(WriteSubmissionFile(Target(), Gather(2019), Stamp(), kToday, &error));
  }
  QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(error, CannotWriteFileMessage(Target(), QStringLiteral("フォルダに書き込む権限がありません")));
  EXPECT_EQ(testing::FileBytes(Target()), earlier);
  EXPECT_EQ(Entries(Folder()).size(), 1);

  ASSERT_TRUE(WriteSubmissionFile(Target(), Gather(2019), Stamp(), kToday, &error));
  EXPECT_EQ(CheckSubmissionFile(Target(), kToday).facts.year, 2019);
  EXPECT_EQ(Entries(Folder()).size(), 1);

  // The read-back check refuses what it would refuse of any file: a year
  // later than next year.
  EXPECT_FALSE(WriteSubmissionFile(Target(), c, Stamp(), QDate(2020, 1, 1), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("読み返して確かめられませんでした"))) << error.toStdString();
  EXPECT_EQ(CheckSubmissionFile(Target(), kToday).facts.year, 2019);
  EXPECT_EQ(Entries(Folder()).size(), 1);
}

TEST_F(SubmissionTest, TheCsvHeadsItsColumnsInPlainJapanese) {
  const QString text = SubmissionCsvText(Gather(2023));
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 9);  // heading, 7 rows, the end
  EXPECT_EQ(lines[0].split(u',').size(), 22);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("行番号,発生年,発生月,発生時刻（時）,職種（コード）,")));
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral(",緊急処置時（1はい 2いいえ）,針刺し・切創部位（印のある部位の番号）")));
  EXPECT_EQ(lines[1].split(u',').mid(0, 5).join(u','),
            QStringLiteral("1,2023,4,10,%1").arg(state.lists[kOccupations].entries[3].code));
  EXPECT_TRUE(lines[8].isEmpty());
}

}  // namespace
}  // namespace orvanta
