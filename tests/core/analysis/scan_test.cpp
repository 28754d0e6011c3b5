#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/app/app_state.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

const AnalysisPeriod kAllTime{{100, 1, 1}, {9999, 12, 31}};

ReportRecord Made(int id, const QString& name, int y, int m, int d) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kReporterName] = name;
  r.Texts[kRecordNumber] = QStringLiteral("K%1").arg(id);
  r.Texts[kExperienceYears] = QStringLiteral(" 12");
  r.Years[0] = y;
  r.Months[0] = m;
  r.Days[0] = d;
  r.Hours[0] = id % 24;
  r.AnswerIds[0] = id;
  r.Choices[2] = 1 + id % 3;
  r.Sites[static_cast<std::size_t>(id % kSiteCount)] = 1;
  return r;
}

// What the scan reads must be what the file reader reads: the same files
// fail, the same reports come out, boiled down the same way, with the same
// texts.
void ExpectSameAsFileReader(const QByteArray& bytes, const char* what) {
  SCOPED_TRACE(what);
  std::vector<ReportRecord> table;
  const bool readerOk = ReadDataFileBytes(bytes, table).ok();
  ScannedFile file;
  ASSERT_EQ(file.loadBytes(bytes, DaysOf(kAllTime)), readerOk);
  if (!readerOk) {
    EXPECT_TRUE(file.reports().empty());
    return;
  }
  ASSERT_EQ(file.reportCount(), static_cast<int>(table.size()));
  std::size_t next = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    // Reports whose date cannot be formed are in no period.
    if (!SerialDay(table[i].Years[0], table[i].Months[0], table[i].Days[0])) continue;
    ASSERT_LT(next, file.reports().size());
    const ReportFacts& f = file.reports()[next++];
    EXPECT_EQ(f, FactsOf(table[i], static_cast<std::int32_t>(i))) << "report " << i;
    for (int slot = 0; slot < 11; ++slot) EXPECT_EQ(file.text(f, slot), table[i].Texts[slot]) << "slot " << slot;
  }
  EXPECT_EQ(next, file.reports().size());
}

QByteArray Fixture(const QString& name) { return testing::FixtureBytes(QStringLiteral("reports/") + name); }

TEST(ScanReader, ReadsFixturesAsTheFileReaderDoes) {
  QStringList names = {"two_reports.dat", "zero_reports.dat"};
  for (const QString& n : QDir(QStringLiteral(ORVANTA_FIXTURES "/reports/broken")).entryList(QDir::Files))
    names << "broken/" + n;
  ASSERT_GT(names.size(), 10);
  for (const QString& n : names) ExpectSameAsFileReader(Fixture(n), n.toUtf8().constData());
}

TEST(ScanReader, OddLinesReadAsTheFileReaderReadsThem) {
  ReportRecord odd = Made(7, QStringLiteral("山田　花子"), 2004, 3, 15);
  odd.Texts[kOtherInfection] = QStringLiteral("\"梅毒");
  odd.Texts[kDepartmentYears] = QStringLiteral("3.5");
  odd.Choices = {0, 0, 3, 2, 1, 0, 0, 0, 2, 0, -11};
  odd.AnswerIds[9] = std::numeric_limits<std::int32_t>::min();
  odd.AnswerIds[8] = std::numeric_limits<std::int32_t>::max();
  odd.AnswerIds[1] = 123456789;
  odd.Sites[64] = 1;
  odd.Sites[30] = 1;
  odd.Sites[31] = 1;
  odd.Sites[70] = 1;
  const std::vector<ReportRecord> table = {Made(1, QStringLiteral("佐藤"), 2023, 1, 9), odd};
  const QByteArray bytes = DataFileBytes(table);
  const QList<QByteArray> lines = bytes.split('\n');

  // Line numbers (0-based) in the file of two reports.
  constexpr int kSecond = 1 + 71;                // first line of the second report
  constexpr int kYear = kSecond + 56;            // its Years(0)
  constexpr int kHour = kSecond + 59;            // its Hours(0)
  constexpr int kChoice8 = kSecond + 2 + 2 * 8;  // its Choices(8)
  constexpr int kSites = 1 + 2 * 71 + 81;        // its first mark
  struct Case {
    const char* what;
    int line;
    QByteArray text;  // the line without its CR LF
  };
  const std::vector<Case> cases = {
      {"as written", kYear, " 2004 "},
      {"tabs", kYear, "\t2004\t"},
      {"plus sign", kYear, "+2004"},
      {"comma ends the number", kYear, "2004,x"},
      {"blank line reads 0", kHour, ""},
      {"minus zero", kHour, "  -0 "},
      {"minus blank digits", kHour, "- 7"},
      {"twelve digits, out of range", kHour, "123456789012"},
      {"thirteen digits", kHour, "1234567890123"},
      {"not a number", kHour, "9x"},
      {"number in text", kChoice8, "１"},
      {"year without the window", kYear, " 4 "},
      {"mark out of range", kSites + 5, " 40000 "},
      {"mark 2", kSites + 6, " 2 "},
      {"mark not a number", kSites + 64, "x"},
      {"empty mark", kSites + 7, ""},
      {"mark with a tab", kSites + 2, "1\t"},
      {"mark 01", kSites + 3, "01"},
  };
  ExpectSameAsFileReader(bytes, "unchanged");
  for (const Case& c : cases) {
    QList<QByteArray> changed = lines;
    changed[c.line] = c.text + "\r";
    ExpectSameAsFileReader(changed.join('\n'), c.what);
  }
  // Line ends of every kind, and a last line without one.
  QByteArray lf = bytes;
  lf.replace("\r\n", "\n");
  ExpectSameAsFileReader(lf, "LF");
  QByteArray cr = bytes;
  cr.replace("\r\n", "\r");
  ExpectSameAsFileReader(cr, "CR");
  ExpectSameAsFileReader(bytes.left(bytes.size() - 2), "no line end at the end");
  ExpectSameAsFileReader(bytes.left(bytes.size() / 2), "cut in the marks");
  ExpectSameAsFileReader(bytes.left(400), "cut in the reports");
}

class ScanReportsTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ScanReportsTest() : TempDrive(QDateTime(QDate(2024, 6, 1), QTime(9, 0))) {
    QDir().mkpath(state.paths.ReportFolderPath());
  }

  void Write(int fileNo, const std::vector<ReportRecord>& reports) {
    ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(fileNo), reports));
  }

  struct Seen {
    int fileNo;
    int slot;
    QString name;
    friend bool operator==(const Seen&, const Seen&) = default;
  };

  std::vector<Seen> Scan(const AnalysisPeriod& period, ScanSummary* summary = nullptr) {
    std::vector<Seen> seen;
    const ScanSummary s = ScanReports(state.paths, state.counters.NewestFileNo, period, [&](const ScannedFile& f) {
      for (const ReportFacts& r : f.reports()) seen.push_back({f.fileNo(), r.slot, f.text(r, kReporterName)});
    });
    if (summary) *summary = s;
    return seen;
  }
};

TEST_F(ScanReportsTest, SkipsMissingAndUnreadableFilesAndGoesOn) {
  const std::vector<ReportRecord> file5 = {Made(9, QStringLiteral("鈴木"), 2024, 2, 29)};
  Write(0, {Made(1, QStringLiteral("佐藤"), 2023, 12, 31), Made(2, QStringLiteral("高橋"), 2024, 1, 1),
            Made(3, QStringLiteral("田中"), 2024, 5, 31)});
  Write(1, {Made(4, QStringLiteral("伊藤"), 2024, 3, 3), Made(5, QStringLiteral("渡辺"), 2025, 1, 1)});
  // 2.dat is missing; 3.dat holds no count; 4.dat is a folder.
  QFile broken(state.paths.DataFilePath(3));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("abc\r\n");
  broken.close();
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFilePath(4)));
  Write(5, file5);
  state.counters.NewestFileNo = 5;

  ScanSummary summary;
  const std::vector<Seen> seen = Scan(AnalysisPeriod{{2024, 1, 1}, {2024, 12, 31}}, &summary);
  const std::vector<Seen> expected = {
      {0, 1, QStringLiteral("高橋")},
      {0, 2, QStringLiteral("田中")},
      {1, 0, QStringLiteral("伊藤")},
      {5, 0, QStringLiteral("鈴木")},
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(summary.filesRead, 3);
  EXPECT_EQ(summary.filesSkipped, 3);
  EXPECT_EQ(summary.reportsInPeriod, 4);
  // The missing file is a gap; the two that are there but do not read are
  // named, so that the user learns that the result leaves them out.
  EXPECT_EQ(summary.unreadableFiles, (std::vector<int>{3, 4}));

  // A period from after to: files are read, no report is handed on.
  EXPECT_TRUE(Scan(AnalysisPeriod{{2024, 12, 31}, {2024, 1, 1}}).empty());

  // When the last file cannot be read, the scan ends with the files before it.
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(5)));
  EXPECT_EQ(Scan(kAllTime, &summary).size(), 5u);
  EXPECT_EQ(summary.filesSkipped, 4);
}

TEST_F(ScanReportsTest, HandsEveryFileInOrderAndStopsAtTheNewest) {
  Write(0, {Made(1, QStringLiteral("一"), 2024, 1, 1)});
  Write(1, {});
  Write(2, {Made(2, QStringLiteral("二"), 2024, 1, 2), Made(3, QStringLiteral("三"), 2024, 1, 3)});
  Write(3, {Made(4, QStringLiteral("四"), 2024, 1, 4)});  // past the newest file number
  state.counters.NewestFileNo = 2;
  std::vector<int> files;
  const ScanSummary s = ScanReports(state.paths, state.counters.NewestFileNo, kAllTime,
                                    [&](const ScannedFile& f) { files.push_back(f.fileNo()); });
  EXPECT_EQ(files, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(s.reportsInPeriod, 3);
}

// The message names each unreadable file by its path; a long run is named in
// part so that the box fits on the screen.
TEST_F(ScanReportsTest, UnreadableFilesMessageNamesTheFiles) {
  EXPECT_TRUE(UnreadableFilesMessage(state.paths, {}).isEmpty());
  const QString lead = QStringLiteral(
      "次のデータファイルは読み込めなかったため、集計に含めていません。"
      "表示されている件数は、読み込めたデータファイルの報告書だけのものです。");
  const auto path = [this](int n) { return QDir::toNativeSeparators(state.paths.DataFilePath(n)); };
  const QString hint = QStringLiteral(
      "\nこれらのファイルの報告は、メインウィンドウの「ファイル」メニューの「データファイルの修復」で取り戻せることがあ"
      "ります。");
  EXPECT_EQ(UnreadableFilesMessage(state.paths, {7}), lead + u'\n' + path(7) + hint);
  std::vector<int> many;
  QString named;
  for (int n = 100; n < 113; ++n) many.push_back(n);
  for (int n = 100; n < 110; ++n) named += u'\n' + path(n);
  EXPECT_EQ(UnreadableFilesMessage(state.paths, many), lead + named + QStringLiteral("\nほか 3 ファイル") + hint);
}

}  // namespace
}  // namespace orvanta
