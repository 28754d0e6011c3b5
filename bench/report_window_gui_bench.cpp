// The report window on a data file of 1000 reports: opening it on a stored
// report, and showing another report (showReport) as the step buttons do.

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "gui/reports/report_window.h"
#include "gui/shell/application_setup.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

struct Fixture {
  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
  Fixture() {
    SetDefaultCodeLists(state.lists);
    const IdCounters c = GenerateCollection(state.paths.ReportFolderPath(), kFileCapacity, 20240601);
    if (c.TotalReports != kFileCapacity) std::abort();
    state.counters = c;
    state.startup.TodayYear = 2026;
    state.startup.TodayMonth = 12;
    state.startup.TodayDay = 10;
    if (LoadDataFile(state.dataFile, state.paths, 0) != LoadOutcome::Loaded) std::abort();
    CountDataFiles(state.dataFile, state.counters, state.paths);
    state.dataFile.CurrentFileNo = 0;
    state.dataFile.CurrentIndex = 500;
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_OpenReportWindow(benchmark::State& st) {
  Fixture& f = Shared();
  for (auto _ : st) {
    f.state.dataFile.CurrentIndex = 500;
    auto window = std::make_unique<ReportWindow>(f.state);
    window->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.get());
  }
}
BENCHMARK(BM_OpenReportWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Hyouji(benchmark::State& st) {
  Fixture& f = Shared();
  ReportWindow window(f.state);
  window.show();
  QApplication::processEvents();
  int i = 0;
  for (auto _ : st) {
    f.state.dataFile.CurrentIndex = i;
    window.showReport();
    QApplication::processEvents();
    i = (i + 37) % kFileCapacity;
  }
  if (window.isChanged()) st.SkipWithError("showing a report marked it changed");
}
BENCHMARK(BM_Hyouji)->Unit(benchmark::kMillisecond)->UseRealTime();

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
