#include "support/temp_drive.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

#include "core/platform/value_file.h"
#include "core/reports/data_file.h"

namespace orvanta::testing {

bool TempDrive::WriteReports(int fileNo, const std::vector<ReportRecord>& reports) {
  if (!WriteDataFile(state.paths.DataFilePath(fileNo), reports)) return false;
  state.counters.NewestFileNo = static_cast<std::int16_t>(std::max<int>(state.counters.NewestFileNo, fileNo));
  return true;
}

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
