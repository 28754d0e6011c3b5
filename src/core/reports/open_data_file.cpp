#include "core/reports/open_data_file.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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

namespace {

// Counts files first to last on several threads; each thread takes the next
// file not yet taken. Results go to slots of their own, so the outcome is
// the same as one thread's.
void CountFiles(const DrivePaths& paths, int newest, std::vector<DataFileCount>& out) {
  out.assign(static_cast<std::size_t>(newest + 1), DataFileCount{});
  std::atomic<int> next{0};
  auto work = [&] {
    QByteArray buffer;
    for (int n = next++; n <= newest; n = next++)
      out[static_cast<std::size_t>(n)] = CountDataFile(paths.DataFilePath(n), buffer);
  };
  const int threads =
      std::clamp<int>(static_cast<int>(std::thread::hardware_concurrency()), 1, std::min(8, newest + 1));
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads - 1));
  for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& h : helpers) h.join();
}

}  // namespace

bool CountDataFiles(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths) {
  file.FileRecordCounts.fill(0);
  const int newest = std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo);
  std::vector<DataFileCount> counts;
  CountFiles(paths, newest, counts);

  std::int64_t total = 0;
  std::int32_t highest = 0;
  std::int32_t highestAnswer = 0;
  for (int n = 0; n <= newest; ++n) {
    const DataFileCount& c = counts[static_cast<std::size_t>(n)];
    file.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(c.reports());
    total += c.reports();
    // A file that does not read is kept aside, not lost: its ids are not to
    // be given again either.
    highest = std::max(highest, c.highestReportId);
    highestAnswer = std::max(highestAnswer, c.highestAnswerId);
  }

  const IdCounters before = counters;
  counters.LastReportId = std::max(counters.LastReportId, highest);
  counters.LastCodeId = std::max(counters.LastCodeId, highestAnswer);
  counters.TotalReports = static_cast<std::int32_t>(total);
  return !(counters == before);
}

void LoadNewestFile(OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths) {
  LoadDataFile(file, paths, std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo));
}

}  // namespace orvanta
