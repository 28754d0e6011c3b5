// A backup generation of 1,000,000 reports in 1000 data files where one data
// file changed since the generation before, beside what it is measured
// against: `cp` of that one file plus reading every data file once with the
// data files' reader (the start-up count, on all cores).
//
//   build-dir/bench/backup_bench --benchmark_min_time=3
//
// The million-report collection is the one the other benchmarks keep (see
// MillionBenchCollection). The drive backed up is a temporary one beside it
// whose data files are second names (hard links) of the kept ones, so the
// kept collection is never written; its first generation, a copy of every
// file, is made once before the rounds and its time shown as first_gen_s.
// In every round one data file is saved anew (untimed), a generation is
// made (timed), then the `cp` and the reading are timed. Counters:
//  - gen_ms, cp_ms, read_ms: the times of one round;
//  - x_target: gen_ms / (cp_ms + read_ms), to stay at or below 1.5;
//  - wc_ms, x_wc: `wc -l` over every data file, the plainest reading of
//    them all, and gen_ms / (cp_ms + wc_ms);
//  - linked, copied: files the generation linked and copied.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "core/app/app_state.h"
#include "core/backup/make_generation.h"
#include "core/platform/clock.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_progress.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

QByteArray Quoted(const QString& path) { return "'" + QFile::encodeName(path) + "'"; }

// A drive whose data folder holds the million reports as links to the kept
// collection, with set.dat, ttid.dat and a database, and one generation.
struct BackupBenchDrive {
  BackupBenchDrive() : temporary(QDir(QDir::tempPath()).filePath(QStringLiteral("orvanta-backup-bench-XXXXXX"))) {
    BenchCollection& kept = MillionBenchCollection();
    state.counters = kept.state.counters;
    state.lists = kept.state.lists;
    if (!MakeOwnerOnlyFolder(state.paths.ReportFolderPath())) std::abort();
    for (int n = 0; n <= state.counters.NewestFileNo; ++n) {
      if (::link(QFile::encodeName(kept.state.paths.DataFilePath(n)).constData(),
                 QFile::encodeName(state.paths.DataFilePath(n)).constData()) != 0)
        std::abort();
    }
    if (!WriteSettingsFile(state.paths.SettingsFilePath(), state.lists) ||
        !WriteIdFile(state.paths.IdFilePath(), state.counters))
      std::abort();
    QString notice;
    QString error;
    if (!state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error)) std::abort();
    firstGenerationSeconds = WallSeconds([&] { generation(); });
    wcCommand = "wc -l";
    for (int n = 0; n <= state.counters.NewestFileNo; ++n) wcCommand += " " + Quoted(state.paths.DataFilePath(n));
    wcCommand += " > /dev/null";
  }

  GenerationResult generation() {
    clock.set(clock.now().addSecs(60));
    WorkProgress progress;
    GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), {}, progress);
    if (!result.made()) std::abort();
    return result;
  }

  QTemporaryDir temporary;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(9, 0))};
  AppState state{temporary.path(), prompts, clock};
  double firstGenerationSeconds = 0;
  QByteArray wcCommand;
};

// Made on first use and let go before the application ends: its database
// connection must close while Qt is still there, and its folder be removed.
std::unique_ptr<BackupBenchDrive> benchDrive;

void BM_MillionGenerationOneFileChanged(benchmark::State& bench) {
  if (!benchDrive) benchDrive = std::make_unique<BackupBenchDrive>();
  BackupBenchDrive& drive = *benchDrive;
  const int changed = drive.state.counters.NewestFileNo / 2;
  const QString changedPath = drive.state.paths.DataFilePath(changed);
  std::vector<ReportRecord> reports;
  if (!ReadDataFile(changedPath, reports).ok()) std::abort();
  const QString cpTarget = QDir(drive.temporary.path()).filePath(QStringLiteral("cp-target.dat"));
  const QByteArray cpCommand = "cp " + Quoted(changedPath) + " " + Quoted(cpTarget);

  double genSeconds = 0;
  double cpSeconds = 0;
  double readSeconds = 0;
  double wcSeconds = 0;
  GenerationResult last;
  int round = 0;
  for (auto _ : bench) {
    bench.PauseTiming();
    // The day's change: one report of the file edited and the file saved.
    ++round;
    reports[static_cast<std::size_t>(round) % reports.size()].Texts[kReporterName] =
        QStringLiteral("変更%1").arg(round);
    if (!WriteDataFile(changedPath, reports)) std::abort();
    bench.ResumeTiming();

    genSeconds += WallSeconds([&] { last = drive.generation(); });

    bench.PauseTiming();
    QFile::remove(cpTarget);
    cpSeconds += WallSeconds([&] {
      if (std::system(cpCommand.constData()) != 0) std::abort();
    });
    OpenDataFile counted;
    IdCounters counters = drive.state.counters;
    readSeconds += WallSeconds([&] { CountDataFiles(counted, counters, drive.state.paths); });
    wcSeconds += WcSeconds(drive.wcCommand);
    bench.ResumeTiming();
  }
  const double n = static_cast<double>(bench.iterations());
  bench.counters["gen_ms"] = 1000.0 * genSeconds / n;
  bench.counters["cp_ms"] = 1000.0 * cpSeconds / n;
  bench.counters["read_ms"] = 1000.0 * readSeconds / n;
  bench.counters["wc_ms"] = 1000.0 * wcSeconds / n;
  bench.counters["x_wc"] = genSeconds / (cpSeconds + wcSeconds);
  bench.counters["x_target"] = genSeconds / (cpSeconds + readSeconds);
  bench.counters["linked"] = last.linkedFiles;
  bench.counters["copied"] = last.copiedFiles;
  bench.counters["first_gen_s"] = drive.firstGenerationSeconds;
  if (last.summary.reports != kMillionReports) bench.SkipWithError("the generation does not hold every report");
}
BENCHMARK(BM_MillionGenerationOneFileChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  orvanta::benchDrive.reset();
  // The kept collection's state is a static whose database would be let go
  // after Qt's database plugin: the program ends here, before that.
  std::fflush(nullptr);
  std::_Exit(0);
}
