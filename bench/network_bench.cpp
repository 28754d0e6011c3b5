// The centre's network: 500 hospitals over 10 年度, 2,000,000 reports.
//
//   build-dir/bench/network_bench
//
// BM_ImportOneYear: the 500 submission files of the tenth year imported
// (checked, each in its own transaction with synchronous=FULL) into a store
// holding the nine years before (aim: at most 20 s). Each round starts from
// a copy of the nine-year store, made outside the timing.
// BM_OpenDatabase: opening the ten-year store with its integrity check, as
// the window's first opening in a session does.
// The window's opening: network_window_gui_bench.

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <chrono>

#include "core/network/submission_import.h"
#include "core/platform/work_progress.h"
#include "support/network_sample.h"

namespace orvanta {
namespace {

void BM_ImportOneYear(benchmark::State& state) {
  const int last = kNetworkFirstYear + kNetworkYears - 1;
  const QStringList files = NetworkSampleFiles(last);
  const QString nineYears = NetworkSampleStore(last - 1);
  const QString work = QDir(NetworkSampleFolder()).filePath(QStringLiteral("import-round.sqlite"));
  std::int64_t imported = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(work);
    QFile::copy(nineYears, work);
    QFile::setPermissions(work, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Database network{NetworkDatabaseSchema()};
    if (!network.open(work, QDateTime::currentDateTime(), nullptr, nullptr)) {
      state.SkipWithError("the store does not open");
      break;
    }
    ImportOptions options;
    options.today = QDate::currentDate();
    options.now = QDateTime::currentDateTime();
    WorkProgress progress;
    state.ResumeTiming();
    const std::vector<FileImport> results = ImportSubmissions(network, files, options, progress);
    state.PauseTiming();
    imported = 0;
    for (const FileImport& r : results) imported += r.outcome == ImportOutcome::Imported ? r.reports : 0;
    network.close();
    state.ResumeTiming();
  }
  QFile::remove(work);
  if (imported != std::int64_t{kNetworkHospitals} * kReportsPerHospitalYear)
    state.SkipWithError("not every file was imported");
  state.counters["files"] = kNetworkHospitals;
  state.counters["reports"] = static_cast<double>(imported);
}
BENCHMARK(BM_ImportOneYear)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

void BM_OpenDatabase(benchmark::State& state) {
  const QString store = NetworkSampleStore(kNetworkFirstYear + kNetworkYears - 1);
  for (auto _ : state) {
    Database network{NetworkDatabaseSchema()};
    if (!network.open(store, QDateTime::currentDateTime(), nullptr, nullptr)) state.SkipWithError("not opened");
  }
}
BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
