// The search of the report window over a generated collection of 100,000
// reports in 100 data files, by record number and by the reporter's name,
// beside `wc -l` over the same files so that both figures come out of the
// same run.

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "core/reports/report_search.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kReports = 100000;
constexpr int kFiles = kReports / kFileCapacity;

// The collection, generated once per run.
const QString& BenchFolder() {
  static QTemporaryDir dir;
  static const QString folder = [] {
    const QString data = dir.filePath(QStringLiteral("data"));
    const IdCounters c = GenerateCollection(data, kReports, 20240601);
    if (c.TotalReports != kReports || c.NewestFileNo != kFiles - 1) std::abort();
    return data;
  }();
  return folder;
}

QString FilePath(int n) { return QDir(BenchFolder()).filePath(QString::number(n) + QStringLiteral(".dat")); }

void RunSearch(benchmark::State& state, SearchField field, const QString& text) {
  BenchFolder();
  SearchOutcome found;
  for (auto _ : state) {
    found = SearchDataFiles(FilePath, kFiles - 1, field, text);
    if (found.filesSkipped != 0) state.SkipWithError("a data file was skipped");
    benchmark::DoNotOptimize(found.hits.data());
  }
  state.counters["hits"] = static_cast<double>(found.hits.size());
  state.counters["reports"] = kReports;
}

// Record numbers are "K" and 7 digits: "123" stands in about 1 in 200.
void BM_SearchRecordNumber(benchmark::State& state) {
  RunSearch(state, SearchField::RecordNumber, QStringLiteral("123"));
}
BENCHMARK(BM_SearchRecordNumber)->Unit(benchmark::kMillisecond);

// A family name: about 1 report in 20.
void BM_SearchReporterName(benchmark::State& state) {
  RunSearch(state, SearchField::ReporterName, QStringLiteral("山田"));
}
BENCHMARK(BM_SearchReporterName)->Unit(benchmark::kMillisecond);

// A name nobody has: every name decoded and compared, no hit.
void BM_SearchReporterNameNoHit(benchmark::State& state) {
  RunSearch(state, SearchField::ReporterName, QStringLiteral("該当者なし"));
}
BENCHMARK(BM_SearchReporterNameNoHit)->Unit(benchmark::kMillisecond);

// Every report a hit: 100,000 lines for the result list.
void BM_SearchEveryReport(benchmark::State& state) { RunSearch(state, SearchField::RecordNumber, QStringLiteral("K")); }
BENCHMARK(BM_SearchEveryReport)->Unit(benchmark::kMillisecond);

// `wc -l` over the same 100 files, as a separate process.
void BM_WcLinesAllFiles(benchmark::State& state) {
  const QByteArray command = "cd '" + QFile::encodeName(BenchFolder()) + "' && wc -l *.dat > /dev/null";
  for (auto _ : state) {
    if (std::system(command.constData()) != 0) state.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_WcLinesAllFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
