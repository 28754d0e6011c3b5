#include "core/app/password_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::FileBytes;

TEST(PasswordFile, RoundTripsEveryPasswordExactly) {
  QTemporaryDir dir;
  const QString path = dir.filePath("passw.dat");
  struct Case {
    QString password;
    QByteArray bytes;
  } cases[] = {
      {"", "\r\n"},  // no password: an empty line
      {"Secret1", "Secret1\r\n"},
      {"a,b", "a,b\r\n"},
      {"\"quoted", "\"quoted\r\n"},
      {"  lead", "  lead\r\n"},
      {"ﾊﾟｽ漢字", "\xca\xdf\xbd\x8a\xbf\x8e\x9a\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password.toStdString());
    QString error;
    ASSERT_TRUE(WritePasswordFile(path, c.password, &error)) << error.toStdString();
    EXPECT_EQ(FileBytes(path), c.bytes);
    QString back = "not read";
    ASSERT_TRUE(ReadPasswordFile(path, back).ok());
    EXPECT_EQ(back, c.password);
  }
  const auto others =
      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
  EXPECT_EQ(QFile::permissions(path) & others, QFileDevice::Permissions());
}

TEST(PasswordFile, ReadFailuresReachTheCaller) {
  QTemporaryDir dir;
  QString password = "kept";
  EXPECT_EQ(ReadPasswordFile(dir.filePath("passw.dat"), password).error, ReadError::CannotOpen);
  QFile empty(dir.filePath("empty.dat"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  EXPECT_EQ(ReadPasswordFile(empty.fileName(), password).error, ReadError::EndOfFile);
  EXPECT_EQ(password, "kept");
  // Only the first line is the password, whatever ends it.
  struct Case {
    QByteArray bytes;
    QString password;
  } cases[] = {
      {"pw\r\nmore\r\n", "pw"}, {"pw\nmore\n", "pw"}, {"pw\rmore\r", "pw"}, {"pw", "pw"}, {"\nmore\n", ""},
  };
  for (const Case& c : cases) {
    QFile f(dir.filePath("hand.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(c.bytes);
    f.close();
    password = "kept";
    ASSERT_TRUE(ReadPasswordFile(f.fileName(), password).ok()) << c.bytes.constData();
    EXPECT_EQ(password, c.password) << c.bytes.constData();
  }
}

TEST(PasswordFile, APasswordTheFileCannotHoldIsRefusedAndTheOldFileStays) {
  QTemporaryDir dir;
  const QString path = dir.filePath("passw.dat");
  ASSERT_TRUE(WritePasswordFile(path, "old"));
  for (const QString& bad : {QStringLiteral("a😀"), QStringLiteral("é"), QStringLiteral("a\nb")}) {
    QString error;
    EXPECT_FALSE(WritePasswordFile(path, bad, &error)) << bad.toStdString();
    EXPECT_TRUE(error.contains("passw.dat"));
    EXPECT_EQ(FileBytes(path), "old\r\n");
  }
  QString error;
  EXPECT_FALSE(WritePasswordFile(dir.filePath("missing/passw.dat"), "x", &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace orvanta
