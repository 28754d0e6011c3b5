#include "core/codelists/code_lists.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "core/platform/codepage.h"
#include "support/temp_drive.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace orvanta {

using namespace Qt::Literals::StringLiterals;
namespace {

QByteArray ReadFixture(const char* name) {
  return testing::FixtureBytes(QStringLiteral("settings/") + QLatin1String(name));
}

QByteArray JoinLines(const QList<QByteArray>& lines, const char* end = "\r\n") {
  QByteArray out;
  for (const QByteArray& line : lines) out += line + end;
  return out;
}

template <std::size_t N>
QByteArray Bytes(const char (&s)[N]) {
  return QByteArray(s, N - 1);  // keeps embedded NULs
}

QByteArray Sjis(const QString& text) { return cp932::Encode(text); }

// Lists that hold something other than what any file below holds, so a list
// left alone by a failed read is told apart from one that was read.
CodeLists Markers() {
  CodeLists lists;
  for (int k = 0; k < kCodeListCount; ++k)
    lists[k].entries = {CodeEntry{QStringLiteral("old %1").arg(k), QStringLiteral("o"), 9000 + k}};
  return lists;
}

// A small valid set.dat: two entries in list 0, one in list 2 and one in the
// reserved list 10; the others empty.
QList<QByteArray> BaseLines() {
  QList<QByteArray> lines = {" 2 ", Sjis(u"医師"_s),    "1", " 1 ",  Sjis(u"看護師(病棟)"_s), "7-1", " 2 ", " 0 ",
                             " 1 ", Sjis(u"ICU･CCU"_s), "",  " 150 "};
  for (int k = 3; k <= 9; ++k) lines.append(" 0 ");
  lines += {" 1 ", Sjis(u"予備"_s), "", " 999 "};
  return lines;  // 23 lines
}

CodeLists BaseLists() {
  CodeLists lists;
  lists[kOccupations].entries = {{u"医師"_s, "1", 1}, {u"看護師(病棟)"_s, "7-1", 2}};
  lists[kPurposes].entries = {{u"ICU･CCU"_s, "", 150}};
  lists[kReservedList].entries = {{u"予備"_s, "", 999}};
  return lists;
}

QList<QByteArray> Replaced(int line, const QByteArray& text) {
  QList<QByteArray> lines = BaseLines();
  lines[line - 1] = text;
  return lines;
}

QList<QByteArray> FirstLines(int n) { return BaseLines().mid(0, n); }

// Where two files first differ, for a readable failure message.
QString FirstDifference(const QByteArray& got, const QByteArray& want) {
  const QList<QByteArray> a = got.split('\n'), b = want.split('\n');
  for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
    const QByteArray x = a.value(i), y = b.value(i);
    if (x != y)
      return QStringLiteral("line %1: got \"%2\", want \"%3\"").arg(i + 1).arg(cp932::Decode(x), cp932::Decode(y));
  }
  return {};
}

TEST(DefaultCodeLists, WrittenFileIsByteForByteTheIndependentlyBuiltFixture) {
  const QByteArray fixture = ReadFixture("default_set.dat");
  ASSERT_FALSE(fixture.isEmpty());
  CodeLists lists;
  SetDefaultCodeLists(lists);

  QTemporaryDir dir;
  const QString path = dir.filePath("set.dat");
  QString error;
  ASSERT_TRUE(WriteSettingsFile(path, lists, &error)) << error.toStdString();
  QByteArray written;
  ASSERT_TRUE(ReadWholeFile(path, written));
  EXPECT_TRUE(written == fixture) << FirstDifference(written, fixture).toStdString();
  EXPECT_EQ(written.count("\r\n"), 524);
  EXPECT_EQ(written.count('\n'), 524);  // no bare LF anywhere
  EXPECT_TRUE(written.endsWith("\r\n 0 \r\n"));
  const auto others =
      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
  EXPECT_EQ(QFile::permissions(path) & others, QFileDevice::Permissions());

  CodeLists back = Markers();
  const ReadResult result = ReadSettingsFile(path, back);
  EXPECT_TRUE(result.ok()) << static_cast<int>(result.error) << " at line " << result.line;
  EXPECT_EQ(back, lists);  // list 10 too: read back as empty
}

TEST(DefaultCodeLists, FollowTheNumberingOfTheForm) {
  CodeLists lists = Markers();
  for (int p = 0; p < 40; ++p) lists[kOccupations].entries.append({"x", "x", 5000 + p});
  SetDefaultCodeLists(lists);

  struct Expect {
    int count;
    std::int32_t firstId;
  } expected[] = {{14, 1},  {16, 51}, {16, 101}, {14, 150}, {51, 201},
                  {4, 301}, {3, 321}, {4, 341},  {38, 401}, {11, 451}};
  QSet<std::int32_t> ids;
  for (int k = 0; k < 10; ++k) {
    ASSERT_EQ(lists[k].count(), expected[k].count) << "list " << k;
    for (int p = 0; p < lists[k].count(); ++p) {
      const CodeEntry& e = lists[k].entries[p];
      EXPECT_EQ(e.id, expected[k].firstId + p) << "list " << k << " position " << p;
      EXPECT_FALSE(e.name.isEmpty());
      EXPECT_FALSE(e.name.contains(',') || e.name.contains(u'，'));
      EXPECT_TRUE(cp932::CanEncode(e.name)) << e.name.toStdString();
      ids.insert(e.id);
    }
  }
  EXPECT_EQ(ids.size(), 171);  // unique over all lists
  EXPECT_EQ(lists[kReservedList], Markers()[kReservedList]);

  // Device codes come in four runs; department codes are "1" to "38".
  const std::pair<int, int> runs[] = {{0, 1}, {14, 15}, {15, 28}, {38, 51}, {39, 58}, {48, 67}, {49, 78}, {50, 79}};
  for (auto [position, code] : runs)
    EXPECT_EQ(lists[kDevices].entries[position].code, QString::number(code)) << "position " << position;
  for (int p = 0; p < 38; ++p) EXPECT_EQ(lists[kDepartments].entries[p].code, QString::number(p + 1));

  // Mixed widths are kept as the form has them.
  const QString cleaning = lists[kOccupations].entries[11].name;
  EXPECT_EQ(cleaning.at(3), QChar(u'('));
  EXPECT_EQ(cleaning.back(), QChar(0xFF09));
  EXPECT_EQ(lists[kDepartments].entries[28].name, u"ICU\uFF65CCU"_s);
  EXPECT_EQ(lists[kSeverities].entries[0].code, "1-1");
}

TEST(CodeLists, FindEntryByIdGivesThePositionWithinTheList) {
  CodeLists lists;
  SetDefaultCodeLists(lists);
  EXPECT_EQ(FindEntryById(lists[kCircumstances], 150), 0);
  EXPECT_EQ(FindEntryById(lists[kCircumstances], 163), 13);
  EXPECT_EQ(FindEntryById(lists[kCircumstances], 149), -1);
  EXPECT_EQ(FindEntryById(lists[kCircumstances], 1), -1);  // an id of another list
  EXPECT_EQ(FindEntryById(lists[kReservedList], 0), -1);
  CodeList moved = lists[kSeverities];
  moved.entries.move(3, 0);
  EXPECT_EQ(FindEntryById(moved, 304), 0);
  EXPECT_EQ(FindEntryById(moved, 301), 1);
}

TEST(SettingsFile, BrokenFilesStopWithTheirErrorAndKeepWhatWasRead) {
  constexpr int kNoList = -1;               // nothing read: every list as it was
  constexpr int kAllRead = kCodeListCount;  // the file read completely
  enum class Source { Bytes, Missing, Folder };
  struct Case {
    const char* what;
    Source source;
    QByteArray bytes;
    ReadError error;
    int line;
    int failingList;  // lists before it as in the file, lists after it as they were
    int kept;         // complete entries of the failing list
  };
  QByteArray lfOnly = JoinLines(BaseLines(), "\n");
  QByteArray crOnly = JoinLines(BaseLines(), "\r");
  QList<QByteArray> blanks = BaseLines();
  blanks[0] = "2";
  blanks[3] = "\t1   ";
  blanks[6] = "  2";
  blanks[11] = "     150";
  blanks[22] = "999\t";
  const std::vector<Case> cases = {
      {"missing file", Source::Missing, {}, ReadError::CannotOpen, 0, kNoList, 0},
      {"a folder in place of the file", Source::Folder, {}, ReadError::CannotOpen, 0, kNoList, 0},
      {"empty file", Source::Bytes, "", ReadError::EndOfFile, 1, 0, 0},
      {"only the line \" 3 \"", Source::Bytes, " 3 \r\n", ReadError::EndOfFile, 2, 0, 0},
      {"wrong kind of value in a count", Source::Bytes, JoinLines(Replaced(9, "one")), ReadError::WrongKind, 9, 2, 0},
      {"wrong kind of value in an id", Source::Bytes, JoinLines(Replaced(7, "2x")), ReadError::WrongKind, 7, 0, 1},
      {"count of 102", Source::Bytes, JoinLines(Replaced(8, " 102 ")), ReadError::OutOfRange, 8, 1, 0},
      {"negative count", Source::Bytes, JoinLines(Replaced(8, "-1 ")), ReadError::OutOfRange, 8, 1, 0},
      {"count beyond 16 bits", Source::Bytes, JoinLines(Replaced(20, " 65537 ")), ReadError::OutOfRange, 20, 10, 0},
      {"id beyond 32 bits", Source::Bytes, JoinLines(Replaced(12, " 2147483648 ")), ReadError::OutOfRange, 12, 2, 0},
      {"ends inside an entry", Source::Bytes, JoinLines(FirstLines(5)), ReadError::EndOfFile, 6, 0, 1},
      {"ends inside an entry without a last line end", Source::Bytes, JoinLines(FirstLines(5)).chopped(2),
       ReadError::EndOfFile, 6, 0, 1},
      {"ends before the entry of list 10", Source::Bytes, JoinLines(FirstLines(20)), ReadError::EndOfFile, 21, 10, 0},
      {"random bytes", Source::Bytes, Bytes("\x9c\xf3\x07\xe1\x00\x5a\xff\xfe\r\n\x13\x37\n"), ReadError::WrongKind, 1,
       0, 0},
      {"LF-only line ends", Source::Bytes, lfOnly, ReadError::None, 0, kAllRead, 0},
      {"CR-only line ends", Source::Bytes, crOnly, ReadError::None, 0, kAllRead, 0},
      {"blanks around counts and ids", Source::Bytes, JoinLines(blanks), ReadError::None, 0, kAllRead, 0},
      {"lines after list 10", Source::Bytes, JoinLines(BaseLines()) + "junk\r\n 7 \r\n", ReadError::None, 0, kAllRead,
       0},
  };

  const CodeLists base = BaseLists();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    const QString path = dir.filePath("set.dat");
    if (c.source == Source::Bytes) {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.bytes);
    } else if (c.source == Source::Folder) {
      ASSERT_TRUE(QDir().mkpath(path));
    }
    CodeLists lists = Markers();
    const ReadResult result = ReadSettingsFile(path, lists);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.line, c.line);
    for (int k = 0; k < kCodeListCount; ++k) {
      if (k < c.failingList)
        EXPECT_EQ(lists[k], base[k]) << "list " << k << " should be as in the file";
      else if (k == c.failingList)
        EXPECT_EQ(lists[k].entries, base[k].entries.mid(0, c.kept)) << "list " << k << " should keep " << c.kept;
      else
        EXPECT_EQ(lists[k], Markers()[k]) << "list " << k << " should be left alone";
    }
  }
}

TEST(SettingsFile, InvalidBytesInANameStayWithinTheirLine) {
  QList<QByteArray> lines = BaseLines();
  lines[1] = Sjis(u"あ"_s) +
             "\x81\x7f"
             "b";       // a lead byte with a bad trail byte
  lines[4] = "ab\x82";  // a lead byte at the end of the line
  CodeLists lists = Markers();
  const ReadResult result = ReadSettingsBytes(JoinLines(lines), lists);
  ASSERT_TRUE(result.ok()) << static_cast<int>(result.error) << " at line " << result.line;
  const CodeEntry& first = lists[kOccupations].entries[0];
  EXPECT_TRUE(first.name.startsWith(u"あ"_s));
  EXPECT_TRUE(first.name.endsWith('b'));
  EXPECT_GT(first.name.size(), 2);  // the bad bytes leave a mark
  EXPECT_EQ(first.code, "1");
  EXPECT_EQ(first.id, 1);
  const CodeEntry& second = lists[kOccupations].entries[1];
  EXPECT_TRUE(second.name.startsWith("ab"));
  EXPECT_FALSE(second.name.contains('\r') || second.name.contains('\n'));
  EXPECT_EQ(second.code, "7-1");
  EXPECT_EQ(second.id, 2);
  for (int k = 1; k < kCodeListCount; ++k) EXPECT_EQ(lists[k], BaseLists()[k]) << "list " << k;
}

TEST(SettingsFile, DefaultFileCutAfterAnyLineFailsOnTheNextLine) {
  const QByteArray fixture = ReadFixture("default_set.dat");
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  QList<QByteArray> lines = fixture.split('\n');
  ASSERT_EQ(lines.size(), 525);  // 524 lines and the empty rest after the last
  QByteArray cut;
  for (int n = 0; n < 524; ++n) {
    if (n > 0) cut += lines[n - 1] + '\n';
    CodeLists lists = Markers();
    const ReadResult result = ReadSettingsBytes(cut, lists);
    ASSERT_EQ(result.error, ReadError::EndOfFile) << "after " << n << " lines";
    ASSERT_EQ(result.line, n + 1);
    bool reached = true;
    for (int k = 0; k < kCodeListCount; ++k) {
      if (lists[k] == Markers()[k]) {
        reached = false;
        continue;
      }
      ASSERT_TRUE(reached) << "list " << k << " read after one left alone, cut after " << n;
      ASSERT_LE(lists[k].count(), defaults[k].count());
      ASSERT_EQ(lists[k].entries, defaults[k].entries.mid(0, lists[k].count())) << "list " << k;
    }
  }
}

TEST(SettingsFile, RandomBytesNeverReadBeyondTheirLines) {
  std::mt19937 random(20240611);
  const char alphabet[] = " 0123456789-\r\n\r\n\x82\xa0\xff\x81xa";
  for (int round = 0; round < 2000; ++round) {
    QByteArray data;
    const int size = static_cast<int>(random() % 400);
    for (int i = 0; i < size; ++i) data += alphabet[random() % (sizeof alphabet - 1)];
    CodeLists lists = Markers();
    const ReadResult result = ReadSettingsBytes(data, lists);
    // Every line end counts (a CR LF twice, so this is an upper bound), plus
    // an unended last line, plus the line after the last.
    const bool unendedLast = !data.isEmpty() && !data.endsWith('\n') && !data.endsWith('\r');
    const int bound = static_cast<int>(data.count('\n') + data.count('\r')) + (unendedLast ? 1 : 0) + 1;
    if (!result.ok()) {
      EXPECT_GE(result.line, 1) << data.toHex().constData();
      EXPECT_LE(result.line, bound) << data.toHex().constData();
    }
    for (const CodeList& list : lists) EXPECT_LE(list.count(), kCodeListCapacity);
  }
}

TEST(SettingsFile, EmptyListIsItsCountLineAloneAndFullListRoundTrips) {
  CodeLists lists;
  lists[kCircumstances].entries = {{u"転倒"_s, "", -5}};
  const QByteArray want = QByteArray(" 0 \r\n").repeated(3) + " 1 \r\n" + Sjis(u"転倒"_s) + "\r\n\r\n-5 \r\n" +
                          QByteArray(" 0 \r\n").repeated(7);
  EXPECT_EQ(SettingsFileBytes(lists), want);
  CodeLists back = Markers();
  ASSERT_TRUE(ReadSettingsBytes(want, back).ok());
  EXPECT_EQ(back, lists);
  EXPECT_EQ(back[kOccupations].count(), 0);

  // Capacity: 101 entries are written and read back.
  for (int p = 0; p < kCodeListCapacity; ++p)
    lists[kDevices].entries.append({QStringLiteral("器材%1").arg(p), QString::number(p), 1000 + p});
  QTemporaryDir dir;
  const QString path = dir.filePath("set.dat");
  ASSERT_TRUE(WriteSettingsFile(path, lists));
  back = Markers();
  ASSERT_TRUE(ReadSettingsFile(path, back).ok());
  EXPECT_EQ(back, lists);
}

TEST(SettingsFile, FailedWriteKeepsTheOldFileAndSaysWhy) {
  const QByteArray fixture = ReadFixture("default_set.dat");
  CodeLists lists;
  SetDefaultCodeLists(lists);
  QTemporaryDir dir;
  const QString path = dir.filePath("set.dat");
  ASSERT_TRUE(WriteSettingsFile(path, lists));
  lists[kOccupations].entries[0].name = u"変更した名前"_s;
  for (int p = 0; p < 60; ++p) lists[kReservedList].entries.append({QStringLiteral("予備%1").arg(p), "", 900 + p});

  auto expectOldFileWhole = [&](const char* what) {
    QByteArray now;
    ASSERT_TRUE(ReadWholeFile(path, now)) << what;
    EXPECT_TRUE(now == fixture) << what;
  };

  QString error;
  EXPECT_FALSE(WriteSettingsFile(dir.filePath("missing/set.dat"), lists, &error));
  EXPECT_TRUE(error.contains("set.dat")) << error.toStdString();

  // A list beyond capacity would make a file that cannot be read back.
  CodeLists overfull = lists;
  while (overfull[kDevices].count() <= kCodeListCapacity) overfull[kDevices].entries.append({"x", "x", 9999});
  error.clear();
  EXPECT_FALSE(WriteSettingsFile(path, overfull, &error));
  EXPECT_TRUE(error.contains("set.dat")) << error.toStdString();
  expectOldFileWhole("overfull list");

#ifdef Q_OS_UNIX
  // The disk fills up part way through the new file.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  error.clear();
  const bool written = WriteSettingsFile(path, lists, &error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_TRUE(error.contains("set.dat")) << error.toStdString();
  expectOldFileWhole("disk full");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"set.dat"});  // no leftovers
#endif

  // Once the disk has room again the changes are saved.
  ASSERT_TRUE(WriteSettingsFile(path, lists, &error)) << error.toStdString();
  CodeLists back;
  ASSERT_TRUE(ReadSettingsFile(path, back).ok());
  EXPECT_EQ(back, lists);
}

}  // namespace
}  // namespace orvanta
