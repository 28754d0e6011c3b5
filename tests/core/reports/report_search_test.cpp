#include "core/reports/report_search.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using Hits = std::vector<std::pair<int, int>>;  // (file, slot)

Hits HitsOf(const SearchOutcome& found) {
  Hits hits;
  for (const SearchHit& h : found.hits) hits.emplace_back(h.fileNo, h.slot);
  return hits;
}

ReportRecord Report(int id, const QString& recordNumber, const QString& name) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kRecordNumber] = recordNumber;
  r.Texts[kReporterName] = name;
  r.Texts[kPatientName] = QStringLiteral("山田患者");  // never searched
  r.Texts[kStaffNumber] = QStringLiteral("12");
  return r;
}

class ReportSearchTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ReportSearchTest() : TempDrive(QDateTime(QDate(2026, 12, 9), QTime(10, 30))) {}
  void SetUp() override { ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath())); }

  void WriteFile(int n, const std::vector<std::pair<const char16_t*, const char16_t*>>& reports) {
    std::vector<ReportRecord> table;
    for (const auto& [number, name] : reports)
      table.push_back(Report(nextId++, QString::fromUtf16(number), QString::fromUtf16(name)));
    ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), table));
    state.counters.NewestFileNo = static_cast<std::int16_t>(std::max<int>(state.counters.NewestFileNo, n));
  }
  void WriteBytes(int n, const QByteArray& bytes) {
    QFile f(state.paths.DataFilePath(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    state.counters.NewestFileNo = static_cast<std::int16_t>(std::max<int>(state.counters.NewestFileNo, n));
  }

  int nextId = 1;
};

TEST_F(ReportSearchTest, FindsTheTextInsideTheFieldInFileAndSlotOrderComparingExactly) {
  WriteFile(0, {{u"K12", u"山田花子"}, {u"A34", u"田中 一郎"}, {u"912", u"佐藤"}});
  WriteFile(1, {{u"1 2", u"小山田"}, {u"x12y", u"ﾀﾅｶ"}, {u"ab", u"タナカ"}});
  WriteFile(2, {{u"１２", u"鈴木"}, {u"AB", u""}, {u"", u"山田"}});

  struct Case {
    SearchField field;
    const char16_t* text;
    Hits hits;
  } cases[] = {
      {SearchField::RecordNumber, u"12", {{0, 0}, {0, 2}, {1, 1}}},  // not "1 2", not full-width "１２"
      {SearchField::RecordNumber, u"１２", {{2, 0}}},
      {SearchField::RecordNumber, u"AB", {{2, 1}}},  // case matters
      {SearchField::RecordNumber, u"K12", {{0, 0}}},
      {SearchField::RecordNumber, u"山田", {}},  // names are not record numbers
      {SearchField::ReporterName, u"山田", {{0, 0}, {1, 0}, {2, 2}}},
      {SearchField::ReporterName, u"ﾀﾅｶ", {{1, 1}}},  // width matters
      {SearchField::ReporterName, u"タナカ", {{1, 2}}},
      {SearchField::ReporterName, u"田中 一", {{0, 1}}},
      {SearchField::ReporterName, u"12", {}},  // staff numbers are not searched
      {SearchField::ReporterName, u"", {}},
  };
  for (const Case& c : cases) {
    const SearchOutcome found =
        SearchReports(state.paths, state.counters.NewestFileNo, c.field, QString::fromUtf16(c.text));
    EXPECT_EQ(HitsOf(found), c.hits) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(found.lines.size(), static_cast<qsizetype>(c.hits.size()));
    EXPECT_EQ(found.filesSkipped, 0);
  }

  // The same line for both kinds of search.
  const QStringList byName =
      SearchReports(state.paths, state.counters.NewestFileNo, SearchField::ReporterName, QStringLiteral("山田")).lines;
  EXPECT_EQ(byName,
            (QStringList{QStringLiteral("K12 ( 報告者氏名; 山田花子 ) "), QStringLiteral("1 2 ( 報告者氏名; 小山田 ) "),
                         QStringLiteral(" ( 報告者氏名; 山田 ) ")}));
  EXPECT_EQ(
      SearchReports(state.paths, state.counters.NewestFileNo, SearchField::RecordNumber, QStringLiteral("AB")).lines,
      QStringList{QStringLiteral("AB ( 報告者氏名;  ) ")});
}

TEST_F(ReportSearchTest, ASingleByteTextNeverMatchesInsideADoubleByteCharacter) {
  // "ア" is 83 41 ("A" as its second byte), "表" is 95 5C and "ソ" 83 5C ("\").
  WriteFile(0, {{u"アイ", u"表示"}, {u"ソA", u"Ａ"}, {u"\\1", u"ア"}});
  struct Case {
    SearchField field;
    const char16_t* text;
    Hits hits;
  } cases[] = {
      {SearchField::RecordNumber, u"A", {{0, 1}}},  {SearchField::RecordNumber, u"\\", {{0, 2}}},
      {SearchField::RecordNumber, u"ア", {{0, 0}}}, {SearchField::ReporterName, u"\\", {}},
      {SearchField::ReporterName, u"A", {}},        {SearchField::ReporterName, u"ア", {{0, 2}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HitsOf(SearchReports(state.paths, state.counters.NewestFileNo, c.field, QString::fromUtf16(c.text))),
              c.hits)
        << QString::fromUtf16(c.text).toStdString();
}

TEST_F(ReportSearchTest, FilesThatCannotBeReadAreSkippedAndADamagedSiteBlockIsNot) {
  WriteFile(0, {{u"K1", u"山田"}});
  // File 1 missing. File 2 holds a matching report but is cut short in its
  // second: like the report window, the search takes it as holding none.
  std::vector<ReportRecord> two{Report(50, QStringLiteral("K2"), QStringLiteral("山田")),
                                Report(51, QStringLiteral("K3"), QStringLiteral("山田"))};
  const QByteArray whole = DataFileBytes(two);
  WriteBytes(2, whole.left(whole.indexOf("K3")));
  // File 3 loses the end of its body-site block: its reports stay.
  const QByteArray three = DataFileBytes({Report(60, QStringLiteral("K4"), QStringLiteral("山田"))});
  WriteBytes(3, three.left(three.size() - 20));
  // File 4 is a folder.
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFilePath(4)));
  state.counters.NewestFileNo = 4;

  const SearchOutcome found =
      SearchReports(state.paths, state.counters.NewestFileNo, SearchField::ReporterName, QStringLiteral("山田"));
  EXPECT_EQ(HitsOf(found), (Hits{{0, 0}, {3, 0}}));
  EXPECT_EQ(found.filesSkipped, 3);
}

// The search reads only what it needs of each file; on every fixture it must
// agree with the full reader about which files hold reports and which
// reports hold the text.
TEST_F(ReportSearchTest, AgreesWithTheFullReaderOnEveryFixtureFile) {
  int readable = 0, unreadable = 0;
  QDirIterator it(QStringLiteral(ORVANTA_FIXTURES), {QStringLiteral("*.dat")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    std::vector<ReportRecord> table;
    const bool fullReads = ReadDataFileBytes(bytes, table).ok();

    // Needles: each searched field whole, a piece of it, and a few fixed ones.
    QStringList needles{QStringLiteral("K"), QStringLiteral("1"), QStringLiteral("\""), QStringLiteral("子")};
    for (const ReportRecord& r : table) {
      for (int f : {kRecordNumber, kReporterName}) {
        if (r.Texts[f].isEmpty()) continue;
        needles << r.Texts[f] << r.Texts[f].mid(r.Texts[f].size() / 2, 1);
      }
    }
    for (SearchField field : {SearchField::RecordNumber, SearchField::ReporterName}) {
      const int slotOf = field == SearchField::RecordNumber ? kRecordNumber : kReporterName;
      for (const QString& needle : needles) {
        SearchOutcome found;
        const bool searchReads = SearchDataFileBytes(bytes, field, needle, 7, found);
        ASSERT_EQ(searchReads, fullReads) << path.toStdString();
        Hits expected;
        QStringList lines;
        for (std::size_t s = 0; fullReads && s < table.size(); ++s) {
          if (!table[s].Texts[slotOf].contains(needle)) continue;
          expected.emplace_back(7, static_cast<int>(s));
          lines << SearchHitLine(table[s].Texts[kRecordNumber], table[s].Texts[kReporterName]);
        }
        EXPECT_EQ(HitsOf(found), expected) << path.toStdString() << " " << needle.toStdString();
        EXPECT_EQ(found.lines, lines) << path.toStdString();
      }
    }
    (fullReads ? readable : unreadable) += 1;
  }
  // The fixtures hold both kinds.
  EXPECT_GE(readable, 5);
  EXPECT_GE(unreadable, 5);
}

TEST_F(ReportSearchTest, HitsAreNotCapped) {
  // One file of 1000 matching reports stands for each of 101 data files:
  // 101,000 hits, more than a table of 100,001 would hold.
  std::vector<ReportRecord> table;
  for (int i = 0; i < kFileCapacity; ++i) table.push_back(Report(i + 1, QStringLiteral("K%1").arg(i), {}));
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(0), table));
  const QString path = state.paths.DataFilePath(0);
  const SearchOutcome found =
      SearchDataFiles([&path](int) { return path; }, 100, SearchField::RecordNumber, QStringLiteral("K"));
  ASSERT_EQ(found.hits.size(), 101000u);
  EXPECT_EQ(found.lines.size(), 101000);
  EXPECT_EQ(found.hits.back().fileNo, 100);
  EXPECT_EQ(found.hits.back().slot, 999);
  EXPECT_EQ(found.lines.back(), QStringLiteral("K999 ( 報告者氏名;  ) "));
}

}  // namespace
}  // namespace orvanta
