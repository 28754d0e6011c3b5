#include "core/reports/data_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "core/platform/value_file.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;

QString Fixture(const QString& name) { return QStringLiteral(ORVANTA_FIXTURES "/reports/") + name; }

// The two reports of two_reports.dat, typed again here; the fixture itself is
// written by tools/make_report_fixtures.py with Python's own cp932 codec.
std::vector<ReportRecord> TwoReports() {
  std::vector<ReportRecord> t(2);
  ReportRecord& a = t[0];
  a.ReportId = 7;
  a.Texts = {"K-1024", "梅毒", " 12", "34", "P-555", "山田 花子", "佐藤 一郎", "S0042", "5", "", ""};
  a.Choices = {1, 3, 2, 1, 3, 1, 2, 4, 2, 1, 0};
  a.Notes = {"採血後∨∧リキャップ時に受傷", "手袋着用、針捨て容器あり", "", "", "", ""};
  a.OtherTexts = {"", "ﾅｰｽｽﾃｰｼｮﾝ", "", "", "", "セーフティ針Ａ"};
  a.AnswerIds = {3, 55, 104, 152, 210, 302, 322, 342, 405, 455};
  a.Years = {2023, 2023, 0};
  a.Months = {4, 5, 0};
  a.Days = {9, 12, 0};
  a.Hours = {14, 0, 0};
  a.Minutes = {35, 0, 0};
  a.Sites[0] = a.Sites[27] = a.Sites[64] = 1;

  ReportRecord& b = t[1];  // every slot has a value of its own
  b.ReportId = 2147483647;
  b.Texts = {"\"引用符", "HCV疑い", "30", " 45", "P,9", "ｶﾀｶﾅ ﾀﾛｳ", "  先頭空白", "S-77", "～10", "予備9", "予備10"};
  b.Choices = {2, 3, 1, 4, 5, 6, 7, 8, 9, 10, -11};
  b.Notes = {"一行目∨∧二行目∨∧三行目", "予防できた、と思う", "メモ3", "メモ4", "メモ5", "メモ6"};
  b.OtherTexts = {"他0", "他1", "他2", "他3", "他4", "製品名①"};
  b.AnswerIds = {1, 66, 116, 163, 251, 304, 323, 344, 438, 461, 1010,
                 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, -20};
  b.Years = {2024, 2025, 1999};
  b.Months = {12, 1, 7};
  b.Days = {31, 2, 3};
  b.Hours = {23, 6, 8};
  b.Minutes = {59, 7, 9};
  b.Sites[1] = b.Sites[12] = b.Sites[40] = b.Sites[63] = b.Sites[64] = 1;
  b.Sites[70] = 32767;
  b.Sites[80] = -1;
  return t;
}

// Sets the marks of rec from slot `from` on to 0 (not read).
void MarksReadUpTo(ReportRecord& rec, int from) {
  for (int s = from; s < kSiteSlots; ++s) rec.Sites[s] = 0;
}

TEST(DataFile, WritesTwoReportsByteForByte) {
  const QByteArray expected = FileBytes(Fixture("two_reports.dat"));
  ASSERT_EQ(expected.count("\r\n"), 305);  // 1 + 2 * 71 + 2 * 81
  EXPECT_EQ(DataFileBytes(TwoReports()), expected);

  QTemporaryDir dir;
  const QString path = dir.filePath("0.dat");
  QString error;
  ASSERT_TRUE(WriteDataFile(path, TwoReports(), &error)) << error.toStdString();
  EXPECT_EQ(FileBytes(path), expected);
  const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
  EXPECT_EQ(QFile::permissions(path) & others, QFileDevice::Permissions());
}

TEST(DataFile, ReadsTwoReportsBackEqual) {
  std::vector<ReportRecord> table(5);  // emptied by the reading
  const ReadResult r = ReadDataFile(Fixture("two_reports.dat"), table);
  ASSERT_TRUE(r.ok()) << r.line;
  EXPECT_EQ(table, TwoReports());
}

TEST(DataFile, ZeroReportsIsTheSingleCountLine) {
  EXPECT_EQ(DataFileBytes({}), QByteArray(" 0 \r\n"));
  EXPECT_EQ(FileBytes(Fixture("zero_reports.dat")), QByteArray(" 0 \r\n"));
  std::vector<ReportRecord> table = TwoReports();
  EXPECT_TRUE(ReadDataFile(Fixture("zero_reports.dat"), table).ok());
  EXPECT_TRUE(table.empty());
}

TEST(DataFile, BrokenFilesGiveTheirResult) {
  using Adjust = std::function<void(std::vector<ReportRecord>&)>;
  const Adjust same = [](std::vector<ReportRecord>&) {};
  // The reports kept by a failure in the reports part: the whole ones before
  // it, with no marks, since the body-site block was never reached.
  const Adjust firstReportOnly = [](std::vector<ReportRecord>& t) {
    t.resize(1);
    MarksReadUpTo(t[0], 0);
  };
  const Adjust none = [](std::vector<ReportRecord>& t) { t.clear(); };
  struct Case {
    const char* file;
    ReadError error;
    int line;
    Adjust expected;
  } cases[] = {
      {"broken/missing.dat", ReadError::CannotOpen, 0, none},
      {"broken", ReadError::CannotOpen, 0, none},  // a folder
      {"broken/empty.dat", ReadError::EndOfFile, 1, none},
      {"broken/count_1002.dat", ReadError::OutOfRange, 1, none},
      {"broken/count_negative.dat", ReadError::OutOfRange, 1, none},
      {"broken/count_1001_only.dat", ReadError::EndOfFile, 2, none},  // 1001 itself is a count
      {"broken/choice_too_big.dat", ReadError::OutOfRange, 6, none},
      {"broken/wrong_kind.dat", ReadError::WrongKind, 112, firstReportOnly},
      {"broken/truncated_reports.dat", ReadError::EndOfFile, 101, firstReportOnly},
      {"broken/random.dat", ReadError::WrongKind, 1, none},
      {"broken/lf_only.dat", ReadError::None, 0, same},
      {"broken/cr_only.dat", ReadError::None, 0, same},
      {"broken/quote_lines.dat", ReadError::None, 0,
       [](std::vector<ReportRecord>& t) {
         t[0].Texts[0] = QStringLiteral("\"開始");
         t[0].Texts[1] = QStringLiteral("終了\"");
       }},
      {"broken/invalid_cp932.dat", ReadError::None, 0,
       [](std::vector<ReportRecord>& t) { t[0].Texts[kReporterName] = QStringLiteral("あ"); }},
      {"broken/no_sites.dat", ReadError::None, 0,
       [](std::vector<ReportRecord>& t) {
         MarksReadUpTo(t[0], 0);
         MarksReadUpTo(t[1], 0);
       }},
      {"broken/truncated_sites.dat", ReadError::None, 0, [](std::vector<ReportRecord>& t) { MarksReadUpTo(t[1], 30); }},
      {"broken/bad_site.dat", ReadError::None, 0, [](std::vector<ReportRecord>& t) { MarksReadUpTo(t[1], 41); }},
      {"broken/site_too_big.dat", ReadError::None, 0, [](std::vector<ReportRecord>& t) { MarksReadUpTo(t[1], 64); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<ReportRecord> table = TwoReports();
    table[0].ReportId = 99;  // whatever the table held before is gone
    const ReadResult r = ReadDataFile(Fixture(c.file), table);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.line, c.line);
    std::vector<ReportRecord> expected = TwoReports();
    c.expected(expected);
    if (QByteArray(c.file) == "broken/invalid_cp932.dat" && table.size() == 2) {
      // The bytes that do not decode leave "あ" and never a read error;
      // every other value reads as written.
      const QString name = table[0].Texts[kReporterName];
      EXPECT_TRUE(name.startsWith(QStringLiteral("あ"))) << name.toStdString();
      table[0].Texts[kReporterName] = QStringLiteral("あ");
    }
    EXPECT_EQ(table, expected);
  }
}

TEST(DataFile, FailedSaveLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("0.dat");
  const QByteArray old = FileBytes(Fixture("two_reports.dat"));
  ASSERT_TRUE(WriteDataFile(path, TwoReports()));

  // A disk that takes no more than 64 KiB per file: the new file of 1000
  // reports cannot be written.
  std::vector<ReportRecord> big(kFileCapacity, TwoReports()[1]);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  QString error;
  const bool written = WriteDataFile(path, big, &error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_TRUE(error.contains(QStringLiteral("0.dat")) && error.contains(QStringLiteral("書き込めませんでした")))
      << error.toStdString();
  EXPECT_EQ(FileBytes(path), old);

  // A table that could never be read back is not written either.
  std::vector<ReportRecord> tooMany(kFileCapacity + 2);
  EXPECT_FALSE(WriteDataFile(path, tooMany, &error));
  EXPECT_EQ(FileBytes(path), old);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"0.dat"});  // no leftovers
}

TEST(DataFile, ReadsAFullFileOf1001ReportsAndWritesTheSame) {
  std::vector<ReportRecord> table(kFileCapacity + 1, TwoReports()[0]);
  for (int i = 0; i < kFileCapacity + 1; ++i) table[i].ReportId = i + 1;
  const QByteArray bytes = DataFileBytes(table);
  EXPECT_EQ(bytes.count("\r\n"), 1 + 152 * (kFileCapacity + 1));
  std::vector<ReportRecord> back;
  ASSERT_TRUE(ReadDataFileBytes(bytes, back).ok());
  EXPECT_EQ(back, table);
}

TEST(IdFile, ReadsWhatItCanAndKeepsTheRest) {
  const IdCounters before{1, 2, 3, 4};
  struct Case {
    const char* name;
    QByteArray bytes;
    ReadError error;
    IdCounters expected;
  } cases[] = {
      {"four lines", " 470 \r\n 12 \r\n 3 \r\n 2500 \r\n", ReadError::None, {470, 12, 3, 2500}},
      {"one line", " 470 \r\n", ReadError::None, {470, 2, 3, 4}},
      {"two lines", " 470 \r\n 12 \r\n", ReadError::None, {470, 12, 3, 4}},
      {"bad second value", " 470 \r\nx\r\n 9 \r\n 9 \r\n", ReadError::None, {470, 2, 3, 4}},
      {"file number beyond 1000", " 470 \r\n 12 \r\n 1001 \r\n 9 \r\n", ReadError::None, {470, 12, 3, 4}},
      {"negative file number", " 470 \r\n 12 \r\n-1 \r\n 9 \r\n", ReadError::None, {470, 12, 3, 4}},
      {"LF-only line ends", " 470\n 12\n 3\n 2500\n", ReadError::None, {470, 12, 3, 2500}},
      {"lone CR line ends, no last line end", " 470\r 12\r 3\r 2500", ReadError::None, {470, 12, 3, 2500}},
      {"invalid code-page bytes in the third value", " 470 \r\n 12 \r\n\x82\xff\x81\r\n 9 \r\n", ReadError::None,
       {470, 12, 3, 4}},
      {"bad first value", "x\r\n 12 \r\n", ReadError::WrongKind, before},
      {"random bytes", QByteArray("\x9c\xf3\x07\x00\r\n\x13 7\n", 10), ReadError::WrongKind, before},
      {"first value far too long", " 1234567890123456789012345 \r\n", ReadError::OutOfRange, before},
      {"first value beyond 32 bits", " 2147483648 \r\n", ReadError::OutOfRange, before},
      {"empty", "", ReadError::EndOfFile, before},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IdCounters counters = before;
    EXPECT_EQ(ReadIdFileBytes(c.bytes, counters).error, c.error);
    EXPECT_EQ(counters, c.expected);
  }
  QTemporaryDir dir;
  IdCounters counters = before;
  EXPECT_EQ(ReadIdFile(dir.filePath("ttid.dat"), counters).error, ReadError::CannotOpen);
  EXPECT_EQ(counters, before);
}

TEST(IdFile, WritesFourLinesAndReadsThemBack) {
  const IdCounters counters{470, 12, 3, 2500};
  EXPECT_EQ(IdFileBytes(counters), QByteArray(" 470 \r\n 12 \r\n 3 \r\n 2500 \r\n"));
  QTemporaryDir dir;
  const QString path = dir.filePath("ttid.dat");
  ASSERT_TRUE(WriteIdFile(path, counters));
  IdCounters back;
  ASSERT_TRUE(ReadIdFile(path, back).ok());
  EXPECT_EQ(back, counters);
  QString error;
  EXPECT_FALSE(WriteIdFile(dir.filePath("missing/ttid.dat"), counters, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("ttid.dat")));
}

}  // namespace
}  // namespace orvanta
