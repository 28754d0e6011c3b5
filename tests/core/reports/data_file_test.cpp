#include "core/reports/data_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

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
  b.AnswerIds = {1,    66,   116,  163,  251,  304,  323,  344,  438,  461, 1010,
                 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, -20};
  b.Years = {2024, 2025, 1999};
  b.Months = {12, 1, 7};
  b.Days = {31, 2, 3};
  b.Hours = {23, 6, 8};
  b.Minutes = {59, 7, 9};
  b.Sites[1] = b.Sites[12] = b.Sites[40] = b.Sites[63] = b.Sites[64] = 1;
  b.Sites[70] = b.Sites[80] = 1;  // slots past the 65 sites are read and written too
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
  const auto others =
      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
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

// A data file is read exactly or not at all; only a body-site block cut
// short is read as far as it goes (and said to be cut short).
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
  // A failure inside report 1's marks: both reports, report 1 without marks.
  const Adjust secondWithoutMarks = [](std::vector<ReportRecord>& t) { MarksReadUpTo(t[1], 0); };
  struct Case {
    const char* file;
    ReadError error;
    int line;
    bool cutShort;
    Adjust expected;
  } cases[] = {
      {"broken/missing.dat", ReadError::CannotOpen, 0, false, none},
      {"broken", ReadError::CannotOpen, 0, false, none},  // a folder
      {"broken/empty.dat", ReadError::EndOfFile, 1, false, none},
      {"broken/count_1002.dat", ReadError::OutOfRange, 1, false, none},
      {"broken/count_negative.dat", ReadError::OutOfRange, 1, false, none},
      {"broken/count_1001_only.dat", ReadError::EndOfFile, 2, false, none},  // 1001 itself is a count
      {"broken/choice_too_big.dat", ReadError::OutOfRange, 6, false, none},
      {"broken/wrong_kind.dat", ReadError::WrongKind, 112, false, firstReportOnly},
      {"broken/truncated_reports.dat", ReadError::EndOfFile, 101, false, firstReportOnly},
      {"broken/random.dat", ReadError::WrongKind, 1, false, none},
      {"broken/lf_only.dat", ReadError::None, 0, false, same},
      {"broken/cr_only.dat", ReadError::None, 0, false, same},
      {"broken/quote_lines.dat", ReadError::None, 0, false,
       [](std::vector<ReportRecord>& t) {
         t[0].Texts[0] = QStringLiteral("\"開始");
         t[0].Texts[1] = QStringLiteral("終了\"");
       }},
      {"broken/invalid_cp932.dat", ReadError::None, 0, false,
       [](std::vector<ReportRecord>& t) { t[0].Texts[kReporterName] = QStringLiteral("あ"); }},
      // Cut short in the body-site block: read, the marks not read are 0.
      {"broken/no_sites.dat", ReadError::None, 0, true,
       [](std::vector<ReportRecord>& t) {
         MarksReadUpTo(t[0], 0);
         MarksReadUpTo(t[1], 0);
       }},
      {"broken/truncated_sites.dat", ReadError::None, 0, true,
       [](std::vector<ReportRecord>& t) { MarksReadUpTo(t[1], 30); }},
      // A mark other than 0 or 1 makes the file unreadable.
      {"broken/bad_site.dat", ReadError::WrongKind, 225 + 41, false, secondWithoutMarks},
      {"broken/site_too_big.dat", ReadError::OutOfRange, 225 + 64, false, secondWithoutMarks},
      {"broken/site_two.dat", ReadError::OutOfRange, 225 + 10, false, secondWithoutMarks},
      // "1", "  1" and an empty line are marks too.
      {"broken/lenient_marks.dat", ReadError::None, 0, false,
       [](std::vector<ReportRecord>& t) {
         t[0].Sites[0] = 1;
         t[1].Sites[0] = 0;
         t[1].Sites[1] = 1;
       }},
      // Only empty lines may follow the body-site block.
      {"broken/line_after_sites.dat", ReadError::CountMismatch, 306, false, same},
      {"broken/empty_lines_after_sites.dat", ReadError::None, 0, false, same},
      // A count that does not fit the reports: lowered, the body-site block
      // would start inside report 1 (its id is no mark); raised, a third
      // report would be read out of the body-site block.
      {"broken/count_lowered.dat", ReadError::OutOfRange, 73, false, firstReportOnly},
      {"broken/count_raised.dat", ReadError::CountMismatch, 144, false, same},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<ReportRecord> table = TwoReports();
    table[0].ReportId = 99;  // whatever the table held before is gone
    const ReadResult r = ReadDataFile(Fixture(c.file), table);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.cutShort, c.cutShort);
    if (QByteArray(c.file) == "broken/count_raised.dat") {
      // The third report, read out of the marks, is not what to compare.
      ASSERT_EQ(table.size(), 3u);
      table.resize(2);
      MarksReadUpTo(table[0], 0);
      MarksReadUpTo(table[1], 0);
      std::vector<ReportRecord> expected = TwoReports();
      MarksReadUpTo(expected[0], 0);
      MarksReadUpTo(expected[1], 0);
      EXPECT_EQ(table, expected);
      continue;
    }
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

// The count line changed by hand, the way that destroyed reports: a file of
// 500 reports whose count reads 50 or 600 is unreadable, so the program never
// writes 50 or 600 reports over it.
TEST(DataFile, ACountThatDoesNotFitTheReportsMakesTheFileUnreadable) {
  std::vector<ReportRecord> table(500, TwoReports()[0]);
  for (int i = 0; i < 500; ++i) {
    table[i].ReportId = i + 1;
    table[i].Sites.fill(0);
    table[i].Sites[static_cast<std::size_t>(i % kSiteCount)] = 1;
  }
  const QByteArray whole = DataFileBytes(table);
  std::vector<ReportRecord> back;
  ASSERT_TRUE(ReadDataFileBytes(whole, back).ok());
  ASSERT_EQ(back, table);
  for (int count : {0, 1, 50, 499, 501, 600, 1000, 1001}) {
    SCOPED_TRACE(count);
    QByteArray changed = whole;
    changed.replace(0, whole.indexOf('\n') + 1, QByteArray(" ") + QByteArray::number(count) + " \r\n");
    const ReadResult r = ReadDataFileBytes(changed, back);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(CountDataFileBytes(changed).result.ok());
  }
}

// Bytes that are no character (damaged text) are kept: a save writes the
// file back as it was read, byte for byte, and reading it again gives the
// same records.
TEST(DataFile, DamagedTextIsWrittenBackAsItWasRead) {
  for (const char* name : {"broken/invalid_cp932.dat", "two_reports.dat"}) {
    SCOPED_TRACE(name);
    const QByteArray original = FileBytes(Fixture(name));
    std::vector<ReportRecord> table;
    ASSERT_TRUE(ReadDataFileBytes(original, table).ok());
    EXPECT_EQ(DataFileBytes(table), original);
    std::vector<ReportRecord> again;
    ASSERT_TRUE(ReadDataFileBytes(DataFileBytes(table), again).ok());
    EXPECT_EQ(again, table);
  }
  // Bytes 0x80 to 0xFF in a row, and a lead byte without its second: the
  // records read back the same. (Some characters have two byte forms in the
  // code page, so here the bytes may come back in the other form.)
  QByteArray line;
  for (int b = 0x80; b <= 0xFF; ++b) line += static_cast<char>(b);
  line += "\x82";
  std::vector<ReportRecord> one(1);
  one[0].ReportId = 1;
  QByteArray bytes = DataFileBytes(one);
  const qsizetype textLine = bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2;  // Texts(0)
  bytes.insert(textLine, line);
  std::vector<ReportRecord> read;
  ASSERT_TRUE(ReadDataFileBytes(bytes, read).ok());
  std::vector<ReportRecord> back;
  ASSERT_TRUE(ReadDataFileBytes(DataFileBytes(read), back).ok());
  EXPECT_EQ(back, read);
  // Every byte that starts no character is kept as it was, and so is a
  // character written in its second form right after a kept first byte
  // (EE C5 is the second form of FB 5C: written in that form, FB would join
  // the kept EE into another character).
  for (const QByteArray& kept : {QByteArray("\x80"), QByteArray("\xA0"), QByteArray("\xFD"), QByteArray("\xFE"),
                                 QByteArray("\xFF"), QByteArray("\xEE\xEE\xC5")}) {
    QByteArray damaged = DataFileBytes(one);
    damaged.insert(textLine, QByteArray("A") + kept + "\x82\xA0");
    ASSERT_TRUE(ReadDataFileBytes(damaged, read).ok());
    EXPECT_EQ(DataFileBytes(read), damaged) << kept.toHex().constData();
  }
}

// The highest answer id of the reports the reader builds from the bytes.
std::int32_t HighestAnswerIdRead(const QByteArray& bytes) {
  std::vector<ReportRecord> table;
  ReadDataFileBytes(bytes, table);
  std::int32_t highest = 0;
  for (const ReportRecord& r : table)
    for (std::int32_t id : r.AnswerIds) highest = std::max(highest, id);
  return highest;
}

TEST(DataFile, TheCountAgreesWithTheReader) {
  const QByteArray whole = FileBytes(Fixture("two_reports.dat"));
  const DataFileCount count = CountDataFileBytes(whole);
  EXPECT_TRUE(count.result.ok());
  EXPECT_EQ(count.reports(), 2);
  EXPECT_EQ(count.highestReportId, 2147483647);
  EXPECT_EQ(count.highestAnswerId, HighestAnswerIdRead(whole));
  EXPECT_GT(count.highestAnswerId, 0);
  // The last answer slot counts as much as the first.
  std::vector<ReportRecord> table;
  ASSERT_TRUE(ReadDataFileBytes(whole, table).ok());
  table[1].AnswerIds.back() = 9999;
  EXPECT_EQ(CountDataFileBytes(DataFileBytes(table)).highestAnswerId, 9999);

  const DataFileCount cut = CountDataFileBytes(FileBytes(Fixture("broken/truncated_sites.dat")));
  EXPECT_TRUE(cut.result.ok());
  EXPECT_TRUE(cut.result.cutShort);
  EXPECT_EQ(cut.reports(), 2);

  // Unreadable: no reports, but the ids of the reports read whole before the
  // failure are known (they must not be given again).
  const DataFileCount broken = CountDataFileBytes(FileBytes(Fixture("broken/wrong_kind.dat")));
  EXPECT_EQ(broken.result.error, ReadError::WrongKind);
  EXPECT_EQ(broken.result.line, 112);
  EXPECT_EQ(broken.reports(), 0);
  EXPECT_EQ(broken.highestReportId, 7);
  EXPECT_EQ(broken.highestAnswerId, HighestAnswerIdRead(FileBytes(Fixture("broken/wrong_kind.dat"))));
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
  std::vector<ReportRecord> badMark = TwoReports();
  badMark[1].Sites[3] = 2;
  EXPECT_FALSE(WriteDataFile(path, badMark, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("0と1以外"))) << error.toStdString();
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
      {"invalid code-page bytes in the third value",
       " 470 \r\n 12 \r\n\x82\xff\x81\r\n 9 \r\n",
       ReadError::None,
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
