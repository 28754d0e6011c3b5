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

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "gui/shell/app_setup_gui.h"
#include "gui/shell/main_window.h"
#include "gui/shell/startup_gui.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kFiles = kMaxFileNo;  // files 0 to 999
constexpr int kDistinctFiles = 25;

struct Machine {
  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
  QByteArray wcCommand;

  Machine() {
    if (!PrepareDataFolder(state)) std::abort();
    QTemporaryDir staging;
    if (GenerateCollection(staging.path(), kDistinctFiles * kFileCapacity, 20240601).TotalReports < 0) std::abort();
    for (int n = 0; n < kFiles; ++n) {
      const QString from = QDir(staging.path()).filePath(QStringLiteral("%1.dat").arg(n % kDistinctFiles));
      if (!QFile::copy(from, state.DataFilePath(n))) std::abort();
    }
    // A machine started before, without a password, its counters right.
    const IdCounters counters{461, kFiles * kFileCapacity, static_cast<std::int16_t>(kFiles - 1), kFiles * kFileCapacity};
    CodeLists lists;
    SetDefaultCodeLists(lists);
    if (!WriteIdFile(state.IdFilePath(), counters) || !WriteSettingsFile(state.SettingsFilePath(), lists) ||
        !SaveFileAtomically(state.FirstRunRecordPath(), "2026-12-01T09:00:00\r\n", FileAccess::OwnerOnly))
      std::abort();
    wcCommand = "cd '" + QFile::encodeName(state.ReportFolderPath()) + "' && wc -l *.dat > /dev/null";
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

template <typename Run>
void Beside(benchmark::State& st, Machine& m, Run run) {
  double seconds = 0;
  double wcSeconds = 0;
  for (auto _ : st) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    st.PauseTiming();
    wcSeconds += WcSeconds(m.wcCommand);
    st.ResumeTiming();
  }
  st.counters["wc_ms"] = 1000.0 * wcSeconds / static_cast<double>(st.iterations());
  st.counters["x_wc"] = seconds / wcSeconds;
}

void BM_CountDataFiles(benchmark::State& st) {
  Machine& m = Shared();
  Beside(st, m, [&] {
    CountDataFiles(m.state);
    benchmark::DoNotOptimize(m.state.FileRecordCounts.data());
  });
  if (m.state.TotalReports != kFiles * kFileCapacity) st.SkipWithError("not every report was counted");
  st.counters["reports"] = m.state.TotalReports;
}
BENCHMARK(BM_CountDataFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartToMainWindow(benchmark::State& st) {
  Machine& m = Shared();
  bool shown = true;
  Beside(st, m, [&] {
    auto state = std::make_unique<AppState>(m.root.path(), m.prompts, m.clock);
    std::unique_ptr<MainWindow> window = Main(*state);
    shown = shown && window && window->isVisible() && state->ReportCount() == kFileCapacity;
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
