// Start-up on the largest collection the format holds: one million reports
// in 1000 data files of 1000 reports. Measured beside `wc -l` over the same
// files in the same run:
//
//   BM_WcLines            `wc -l` over the 1000 files (one process, spawn included)
//   BM_CountDataFiles     the start-up count: every file checked as the reader
//                         checks it, the counters moved on (x_wc = count / wc -l)
//   BM_StartToMainWindow  Main() from the start to the main window shown with
//                         the newest file loaded, no login (x_wc as above)
//
//   build-dir/bench/startup_gui_bench --benchmark_min_time=2
//
// The collection is made of 25 generated data files of 1000 reports, each
// copied 40 times: realistic bytes without generating a million reports on
// every run. It takes about 700 MB in the temporary folder.
//
// ORVANTA_STARTUP_FILES=100 measures the same on the small collection of the
// other benchmarks' size (100 files, 100,000 reports), for a quick check.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "gui/shell/application_setup.h"
#include "gui/shell/main_window.h"
#include "gui/shell/program_start.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kDistinctFiles = 25;

// Files 0 to 999, or as many as ORVANTA_STARTUP_FILES says.
int FileCount() {
  bool ok = false;
  const int files = qEnvironmentVariableIntValue("ORVANTA_STARTUP_FILES", &ok);
  return ok && files > 0 && files <= kMaxFileNo ? files : kMaxFileNo;
}
const int kFiles = FileCount();

struct Machine {
  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
  QByteArray wcCommand;

  Machine() {
    if (!PrepareDataFolder(state.paths)) std::abort();
    QTemporaryDir staging;
    if (GenerateCollection(staging.path(), kDistinctFiles * kFileCapacity, 20240601).TotalReports < 0) std::abort();
    for (int n = 0; n < kFiles; ++n) {
      const QString from = QDir(staging.path()).filePath(QStringLiteral("%1.dat").arg(n % kDistinctFiles));
      if (!QFile::copy(from, state.paths.DataFilePath(n))) std::abort();
    }
    // A machine started before, without a password, its counters right.
    const IdCounters counters{461, kFiles * kFileCapacity, static_cast<std::int16_t>(kFiles - 1),
                              kFiles * kFileCapacity};
    CodeLists lists;
    SetDefaultCodeLists(lists);
    if (!WriteIdFile(state.paths.IdFilePath(), counters) || !WriteSettingsFile(state.paths.SettingsFilePath(), lists) ||
        !SaveFileAtomically(state.paths.FirstRunRecordPath(), "2026-12-01T09:00:00\r\n", FileAccess::OwnerOnly))
      std::abort();
    state.counters = counters;
    wcCommand = "cd '" + QFile::encodeName(state.paths.ReportFolderPath()) + "' && wc -l *.dat > /dev/null";
  }
};

Machine& Shared() {
  static Machine m;
  return m;
}

void BM_WcLines(benchmark::State& st) {
  Machine& m = Shared();
  for (auto _ : st) {
    if (std::system(m.wcCommand.constData()) != 0) st.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// Processor time (user + system) of this process, all its threads, or of
// its finished children.
double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

// Runs `run` and `wc -l` one after the other in each round. x_wc compares
// wall times; on a busy machine x_wc_cpu, the processor time of all threads
// against that of `wc -l`, says more.
template <typename Run>
void Beside(benchmark::State& st, Machine& m, Run run) {
  double seconds = 0, wcSeconds = 0, cpu = 0, wcCpu = 0;
  for (auto _ : st) {
    const double c0 = CpuSeconds(RUSAGE_SELF);
    const auto t0 = std::chrono::steady_clock::now();
    run();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    cpu += CpuSeconds(RUSAGE_SELF) - c0;
    st.PauseTiming();
    const double w0 = CpuSeconds(RUSAGE_CHILDREN);
    wcSeconds += WcSeconds(m.wcCommand);
    wcCpu += CpuSeconds(RUSAGE_CHILDREN) - w0;
    st.ResumeTiming();
  }
  const double rounds = static_cast<double>(st.iterations());
  st.counters["wc_ms"] = 1000.0 * wcSeconds / rounds;
  st.counters["x_wc"] = seconds / wcSeconds;
  st.counters["cpu_ms"] = 1000.0 * cpu / rounds;
  st.counters["wc_cpu_ms"] = 1000.0 * wcCpu / rounds;
  st.counters["x_wc_cpu"] = cpu / wcCpu;
}

void BM_CountDataFiles(benchmark::State& st) {
  Machine& m = Shared();
  Beside(st, m, [&] {
    CountDataFiles(m.state.dataFile, m.state.counters, m.state.paths);
    benchmark::DoNotOptimize(m.state.dataFile.FileRecordCounts.data());
  });
  if (m.state.counters.TotalReports != kFiles * kFileCapacity) st.SkipWithError("not every report was counted");
  st.counters["reports"] = m.state.counters.TotalReports;
}
BENCHMARK(BM_CountDataFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartToMainWindow(benchmark::State& st) {
  Machine& m = Shared();
  bool shown = true;
  Beside(st, m, [&] {
    auto state = std::make_unique<AppState>(m.root.path(), m.prompts, m.clock);
    std::unique_ptr<MainWindow> window = Main(*state);
    shown = shown && window && window->isVisible() && state->dataFile.ReportCount() == kFileCapacity;
    window.reset();  // the program would run on from here; no closing code
  });
  if (!shown) st.SkipWithError("the main window did not come up with the newest file");
}
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orvanta::SetUpApplication(app);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
