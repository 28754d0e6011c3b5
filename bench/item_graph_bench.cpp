// The item graph's recompute over a generated collection of 100,000 reports in
// 100 data files, beside a plain scan of the same files and `wc -l` in the
// same run: counting one item under the filters and drawing the picture
// should cost about one scan.
//
//   build-dir/bench/item_graph_bench --benchmark_min_time=2
//
// Each recompute benchmark runs a plain scan and `wc -l` after every round
// (outside its own timing) and prints the ratios as the counters "x_scan"
// and "x_wc".

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/item_graph.h"
#include "core/output/item_graph_picture.h"
#include "core/output/painter_surface.h"
#include "core/reports/body_sites.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

// The plain scan: every file read, every report of the period handed over.
std::int64_t PlainScan(AppState& state) {
  std::int64_t reports = 0;
  ScanReports(state.paths, state.counters.NewestFileNo, WholeCollectionPeriod(),
              [&](const ScannedFile& file) { reports += static_cast<std::int64_t>(file.reports().size()); });
  return reports;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_WcLines(benchmark::State& state) {
  BenchCollection& c = SharedBenchCollection();
  for (auto _ : state) {
    if (std::system(c.wcCommand.constData()) != 0) state.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainScan(benchmark::State& state) {
  BenchCollection& c = SharedBenchCollection();
  std::int64_t reports = 0;
  for (auto _ : state) reports = PlainScan(c.state);
  if (reports != kBenchReports) state.SkipWithError("not every report was scanned");
}
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// One recompute of the window without its widgets: every data file counted
// for the graph item under the filter, and the picture drawn at the window's
// size (780 pixels wide; 3033 high for the 65 body sites).
void Recompute(benchmark::State& state, AnalysisAxis axis, const AxisFilter& filter) {
  BenchCollection& c = SharedBenchCollection();
  const ItemGraphPictureSize size = ItemGraphPictureSizeFor(CategoryCount(axis, c.state.lists));
  PainterSurface picture(QSize(780, (size.heightTwips + 7) / 15));
  picture.SetAntialiased(false);  // as the window draws it
  double recomputeSeconds = 0;
  double scanSeconds = 0;
  double wcSeconds = 0;
  ItemGraphResult result;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    result = ComputeItemGraph(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, BodySiteNames(), axis,
                              WholeCollectionPeriod(), filter);
    DrawItemGraphPicture(picture, result);
    recomputeSeconds += Seconds(t0);
    state.PauseTiming();
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(PlainScan(c.state));
    scanSeconds += Seconds(t1);
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  std::int64_t counted = 0;
  for (const std::int64_t n : result.counts) counted += n;
  if (counted == 0) state.SkipWithError("nothing was counted");
  const double rounds = static_cast<double>(state.iterations());
  state.counters["counted"] = static_cast<double>(counted);
  state.counters["scan_ms"] = 1000.0 * scanSeconds / rounds;
  state.counters["wc_ms"] = 1000.0 * wcSeconds / rounds;
  state.counters["x_scan"] = recomputeSeconds / scanSeconds;
  state.counters["x_wc"] = recomputeSeconds / wcSeconds;
}

// The window as it opens: 職種, no filter.
void BM_RecomputeOccupation(benchmark::State& state) { Recompute(state, AnalysisAxis::Occupation, {}); }
BENCHMARK(BM_RecomputeOccupation)->Unit(benchmark::kMillisecond)->UseRealTime();

// The 65 body sites, the tallest picture.
void BM_RecomputeBodySites(benchmark::State& state) { Recompute(state, AnalysisAxis::BodySite, {}); }
BENCHMARK(BM_RecomputeBodySites)->Unit(benchmark::kMillisecond)->UseRealTime();

// The hours under two filters.
void BM_RecomputeHourTwoFilters(benchmark::State& state) {
  AxisFilter filter;
  filter.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  filter.selection[AxisNumber(AnalysisAxis::Infection)] = 2;
  Recompute(state, AnalysisAxis::Hour, filter);
}
BENCHMARK(BM_RecomputeHourTwoFilters)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

// The picture needs fonts, and so a GUI application (offscreen).
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
