#include "core/platform/value_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"

namespace orvanta {
namespace {

TEST(ValueWriter, WritesNumbersWithSignPositionAndTrailingBlank) {
  ValueWriter w;
  w.writeInt(14);
  w.writeInt(-5);
  w.writeInt(0);
  w.writeText(QStringLiteral("あ\"b,c"));
  w.writeText(QString());
  EXPECT_EQ(w.bytes(), QByteArray(" 14 \r\n-5 \r\n 0 \r\n\x82\xa0\"b,c\r\n\r\n"));
}

TEST(ValueWriter, NeverWritesFillerBytesOrLineBreaksInsideAText) {
  ValueWriter w;
  w.writeText(QStringLiteral("a😀b\r\nc～"));
  EXPECT_EQ(w.bytes(), QByteArray("abc\x81\x60\r\n"));
  EXPECT_FALSE(w.bytes().contains("\xfc\xfc"));
}

TEST(ValueReader, ReadsNumbersLeniently) {
  constexpr ReadError kOk = ReadError::None;
  struct Case {
    QByteArray line;
    ReadError error;
    std::int32_t value;
  } cases[] = {
      {" 14 ", kOk, 14},
      {"-5 ", kOk, -5},
      {"   7", kOk, 7},
      {"\t3\t", kOk, 3},
      {"\r\n", kOk, 0},
      {"  ", kOk, 0},
      {"12,x", kOk, 12},
      {"+4", kOk, 4},
      {" 2147483647 ", kOk, 2147483647},
      {"-2147483648 ", kOk, -2147483647 - 1},
      {"abc", ReadError::WrongKind, 0},
      {"1 2", ReadError::WrongKind, 0},
      {"3.5", ReadError::WrongKind, 0},
      {" 2147483648 ", ReadError::OutOfRange, 0},
      {"99999999999", ReadError::OutOfRange, 0},
      {" 99999999999999999999999999 ", ReadError::OutOfRange, 0},  // too long for any field
      {"-99999999999999999999999999,", ReadError::OutOfRange, 0},
  };
  for (const Case& c : cases) {
    ValueReader r(c.line);
    std::int32_t v = -1;
    EXPECT_EQ(r.readInt32(v), c.error == kOk) << c.line.constData();
    EXPECT_EQ(r.result().error, c.error) << c.line.constData();
    if (c.error == kOk) {
      EXPECT_EQ(v, c.value) << c.line.constData();
    }
  }
}

TEST(ValueReader, TextIsTheWholeLineWithQuotesAndBlanks) {
  // A typed double quote must not swallow the lines after it.
  const QByteArray data("\"abc\r\n  lead, comma\r\n\"\r\n 5 \r\n");
  ValueReader r(data);
  QString a, b, c;
  std::int32_t n = 0;
  ASSERT_TRUE(r.readText(a));
  ASSERT_TRUE(r.readText(b));
  ASSERT_TRUE(r.readText(c));
  ASSERT_TRUE(r.readInt32(n));
  EXPECT_EQ(a, QStringLiteral("\"abc"));
  EXPECT_EQ(b, QStringLiteral("  lead, comma"));
  EXPECT_EQ(c, QStringLiteral("\""));
  EXPECT_EQ(n, 5);
  EXPECT_TRUE(r.atEnd());
}

TEST(ValueReader, AcceptsEveryLineEndAndReportsTheEnd) {
  for (const QByteArray& data : {QByteArray("1\r\n2\r\n3"), QByteArray("1\n2\n3\n"), QByteArray("1\r2\r3\r")}) {
    ValueReader r(data);
    std::int32_t a = 0, b = 0, c = 0, d = 0;
    EXPECT_TRUE(r.readInt32(a) && r.readInt32(b) && r.readInt32(c));
    EXPECT_EQ(a * 100 + b * 10 + c, 123);
    EXPECT_FALSE(r.readInt32(d));
    EXPECT_EQ(r.result().error, ReadError::EndOfFile);
    EXPECT_EQ(r.result().line, 4);
  }
}

TEST(ValueReader, KeepsEmptyLinesAsEmptyTexts) {
  ValueReader r(QByteArray("\r\n\r\nx\r\n"));
  QString a = "?", b = "?", c;
  ASSERT_TRUE(r.readText(a) && r.readText(b) && r.readText(c));
  EXPECT_TRUE(a.isEmpty());
  EXPECT_TRUE(b.isEmpty());
  EXPECT_EQ(c, "x");
}

TEST(ValueReader, StopsAtTheFirstFailure) {
  ValueReader r(QByteArray("x\r\n 3 \r\n"));
  std::int32_t v = 0;
  EXPECT_FALSE(r.readInt32(v));
  EXPECT_EQ(r.result().line, 1);
  EXPECT_FALSE(r.readInt32(v));  // stays failed
  EXPECT_EQ(r.result().error, ReadError::WrongKind);
}

TEST(Cp932, DecodesInvalidBytesWithoutFailing) {
  const QString s = cp932::Decode(QByteArray("\x82\xa0\xff\x81", 4));  // invalid tail
  EXPECT_TRUE(s.startsWith(QStringLiteral("あ")));
  EXPECT_EQ(cp932::Encode(QStringLiteral("～∨∧①ﾛ")), QByteArray("\x81\x60\x81\xc9\x81\xc8\x87\x40\xdb"));
  EXPECT_EQ(cp932::KeepEncodable(QStringLiteral("a😀é漢")), QStringLiteral("a漢"));
}

TEST(Cp932, InputMethodFormsBecomeCodePageCharactersThatReadBackTheSame) {
  // What input methods outside Windows type, and the bytes of the code-page
  // character a Windows one types for the same key.
  const std::pair<const char16_t*, const char*> forms[] = {
      {u"〜", "\x81\x60"}, {u"−", "\x81\x7c"}, {u"—", "\x81\x5c"}, {u"‖", "\x81\x61"},
      {u"¢", "\x81\x91"},  {u"£", "\x81\x92"}, {u"¬", "\x81\xca"},
  };
  for (const auto& [typed, bytes] : forms) {
    const QString t = QString::fromUtf16(typed);
    EXPECT_FALSE(cp932::CanEncode(t)) << bytes;
    const QString form = cp932::ToCodePageForms(t);
    EXPECT_EQ(cp932::Encode(form), QByteArray(bytes)) << bytes;
    EXPECT_EQ(cp932::Decode(cp932::Encode(form)), form) << bytes;
  }
  // Everything else stays as it is, positions included.
  const QString other = QStringLiteral("a～－―∥￠￡￢あ😀-~");
  EXPECT_EQ(cp932::ToCodePageForms(other), other);
  EXPECT_EQ(cp932::ToCodePageForms(QStringLiteral("3〜5😀")), QStringLiteral("3～5😀"));
}

TEST(SafeSave, FailureLeavesTheOldFileAndSaysWhy) {
  QTemporaryDir dir;
  const QString path = dir.filePath("set.dat");
  QString error;
  ASSERT_TRUE(SaveFileAtomically(path, "old\r\n", FileAccess::OwnerOnly, &error));
  const auto others =
      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
  EXPECT_EQ(QFile::permissions(path) & others, QFileDevice::Permissions());
  EXPECT_FALSE(SaveFileAtomically(dir.filePath("missing/set.dat"), "x", FileAccess::OwnerOnly, &error));
  EXPECT_TRUE(error.contains("set.dat"));
  EXPECT_FALSE(SaveFileAtomically(dir.path(), "x", FileAccess::OwnerOnly, &error));
  QByteArray back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "old\r\n");
}

}  // namespace
}  // namespace orvanta
