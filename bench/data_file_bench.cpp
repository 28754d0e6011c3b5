// Reading one data file of 1000 reports, beside `wc -l` over the same file so
// both figures come out of the same run.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

// One generated data file of 1000 reports, made once per run.
const QString& BenchFile() {
  static QTemporaryDir dir;
  static const QString path = [] {
    const IdCounters c = GenerateCollection(dir.filePath("data"), kFileCapacity, 20240601);
    if (c.TotalReports != kFileCapacity) std::abort();
    return QDir(dir.filePath("data")).filePath("0.dat");
  }();
  return path;
}

void BM_ReadDataFile(benchmark::State& state) {
  const QString path = BenchFile();
  std::vector<ReportRecord> table;
  for (auto _ : state) {
    const ReadResult r = ReadDataFile(path, table);
    if (!r.ok() || table.size() != static_cast<std::size_t>(kFileCapacity)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(state.iterations() * QFile(path).size());
  state.counters["reports"] = static_cast<double>(table.size());
}
BENCHMARK(BM_ReadDataFile)->Unit(benchmark::kMillisecond);

// The parsing alone, from bytes already in memory.
void BM_ReadDataFileBytes(benchmark::State& state) {
  QByteArray bytes;
  if (!ReadWholeFile(BenchFile(), bytes)) std::abort();
  std::vector<ReportRecord> table;
  for (auto _ : state) {
    ReadDataFileBytes(bytes, table);
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadDataFileBytes)->Unit(benchmark::kMillisecond);

// The start-up count of the same bytes: every line checked as the reader
// checks it, no report built.
void BM_CountDataFileBytes(benchmark::State& state) {
  QByteArray bytes;
  if (!ReadWholeFile(BenchFile(), bytes)) std::abort();
  DataFileCount count;
  for (auto _ : state) {
    count = CountDataFileBytes(bytes);
    benchmark::DoNotOptimize(count);
  }
  if (count.reports() != kFileCapacity) state.SkipWithError("count failed");
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_CountDataFileBytes)->Unit(benchmark::kMillisecond);

// `wc -l` over the same file, as a separate process (spawn included).
void BM_WcLines(benchmark::State& state) {
  const QByteArray command = "wc -l '" + QFile::encodeName(BenchFile()) + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.constData()) != 0) state.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond);

// What `wc -l` does, inside the process: read the file and count line ends.
void BM_CountLinesInProcess(benchmark::State& state) {
  const QString path = BenchFile();
  std::size_t lines = 0;
  for (auto _ : state) {
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes)) state.SkipWithError("read failed");
    lines = 0;
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++lines;
      ++p;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_CountLinesInProcess)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
