// The graph window over a generated collection of 100,000 reports in 100
// data files: a recomputation ("再計算") with its drawing and painting, beside
// a plain scan that puts every report into its categories on all seventeen
// items, and `wc -l` over the same files, all measured in the same run.
//
//   build-dir/bench/graph_window_gui_bench --benchmark_min_time=2
//
// BM_GraphAgainstScan runs the recomputation and the scan in turn in every
// round; its counter "x_scan" is graph time / scan time (the aim: at most
// 1.2), "wc_ms" the time of `wc -l` over the data files.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

#include "core/analysis/analysis_axis.h"
#include "core/app/app_state.h"
#include "gui/analysis/graph_window.h"
#include "gui/shell/application_setup.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

using Counts = std::array<std::array<std::int32_t, 151>, kAxisCount>;

std::int64_t PlainScan(AppState& state, Counts& counts) {
  const CategoryIndex index(state.lists);
  CategorySet set;
  std::int64_t reports = 0;
  ScanReports(state.paths, state.counters.NewestFileNo, WholeCollectionPeriod(), [&](const ScannedFile& file) {
    for (const ReportFacts& r : file.reports()) {
      ++reports;
      for (int a = 0; a < kAxisCount; ++a) {
        CategoriesOf(AxisAt(a), r, index, set);
        for (int cat : set) ++counts[static_cast<std::size_t>(a)][static_cast<std::size_t>(cat)];
      }
    }
  });
  return reports;
}

// The window, shown, over the whole collection: the period typed into the
// date boxes as a user would, the item and the kind chosen.
struct Window {
  std::unique_ptr<GraphWindow> window;
  QPushButton* recompute = nullptr;

  Window(AppState& state, int item, int kind) {
    state.startup.TodayYear = 2024;
    state.startup.TodayMonth = 12;
    state.startup.TodayDay = 31;
    window = std::make_unique<GraphWindow>(state);
    window->show();
    const AnalysisPeriod all = WholeCollectionPeriod();
    window->findChild<QLineEdit*>(QStringLiteral("txy_0"))->setText(QString::number(all.from.year));
    window->findChild<QLineEdit*>(QStringLiteral("txy_1"))->setText(QString::number(all.to.year));
    window->findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(item);
    window->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(kind))->click();
    recompute = window->findChild<QPushButton*>(QStringLiteral("Command4"));
    QApplication::processEvents();
  }
  // "再計算" and the painting of the new picture.
  void run() {
    recompute->click();
    QApplication::processEvents();
  }
};

void BM_PlainClassifyingScan(benchmark::State& st) {
  BenchCollection& c = SharedBenchCollection();
  Counts counts{};
  std::int64_t reports = 0;
  for (auto _ : st) reports = PlainScan(c.state, counts);
  benchmark::DoNotOptimize(counts);
  if (reports != kBenchReports) st.SkipWithError("not every report was scanned");
}
BENCHMARK(BM_PlainClassifyingScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Item 16 (the tallest picture, 65 bars) as a bar graph, item 11 as a pie.
void BM_GraphRecompute(benchmark::State& st) {
  BenchCollection& c = SharedBenchCollection();
  Window w(c.state, static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  for (auto _ : st) w.run();
  if (w.window->result().matching != kBenchReports) st.SkipWithError("not every report was counted");
}
BENCHMARK(BM_GraphRecompute)->Args({16, 0})->Args({11, 1})->Args({4, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

// Both in every round, alternating which goes first, for the ratio.
void BM_GraphAgainstScan(benchmark::State& st) {
  BenchCollection& c = SharedBenchCollection();
  Window w(c.state, 16, 0);
  Counts counts{};
  double scanSeconds = 0;
  double graphSeconds = 0;
  double wcSeconds = 0;
  bool scanFirst = true;
  const auto seconds = [](auto&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  };
  for (auto _ : st) {
    const auto scan = [&] { scanSeconds += seconds([&] { PlainScan(c.state, counts); }); };
    const auto graph = [&] { graphSeconds += seconds([&] { w.run(); }); };
    if (scanFirst) {
      scan();
      graph();
    } else {
      graph();
      scan();
    }
    wcSeconds += WcSeconds(c.wcCommand);
    scanFirst = !scanFirst;
  }
  benchmark::DoNotOptimize(counts);
  if (w.window->result().matching != kBenchReports) st.SkipWithError("not every report was counted");
  const double n = static_cast<double>(st.iterations());
  st.counters["scan_ms"] = 1000.0 * scanSeconds / n;
  st.counters["graph_ms"] = 1000.0 * graphSeconds / n;
  st.counters["wc_ms"] = 1000.0 * wcSeconds / n;
  st.counters["x_scan"] = graphSeconds / scanSeconds;
}
BENCHMARK(BM_GraphAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

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
