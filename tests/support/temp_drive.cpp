#include "support/temp_drive.h"

#include <QFile>
#include <gtest/gtest.h>

#include "core/platform/value_file.h"

namespace orvanta::testing {

QByteArray FileBytes(const QString& path) {
  QByteArray bytes;
  if (!ReadWholeFile(path, bytes)) bytes.clear();
  return bytes;
}

QByteArray FixtureBytes(const QString& relativePath) {
  QByteArray bytes;
  EXPECT_TRUE(ReadWholeFile(QStringLiteral(ORVANTA_FIXTURES "/") + relativePath, bytes)) << relativePath.toStdString();
  return bytes;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace orvanta::testing
