#include "core/reports/open_data_file.h"

#include <QFileInfo>
#include <algorithm>

#include "core/platform/drive_paths.h"
#include "core/reports/data_file.h"

namespace orvanta {

LoadOutcome LoadDataFile(OpenDataFile& file, const DrivePaths& paths, int fileNo) {
  file.CurrentFileNo = fileNo;
  file.ReportTable.clear();
  const QString path = paths.DataFilePath(fileNo);
  if (!QFileInfo::exists(path)) return LoadOutcome::Missing;
  if (!ReadDataFile(path, file.ReportTable).ok()) {
    file.ReportTable.clear();
    return LoadOutcome::Unreadable;
  }
  return LoadOutcome::Loaded;
}

void CountDataFiles(OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths) {
  file.FileRecordCounts.fill(0);
  const int newest = std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo);
  for (int n = 0; n <= newest; ++n) {
    LoadDataFile(file, paths, n);
    file.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(file.ReportCount());
  }
}

void LoadNewestFile(OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths) {
  LoadDataFile(file, paths, std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo));
}

}  // namespace orvanta
