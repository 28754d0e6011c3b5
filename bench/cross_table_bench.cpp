// The cross tabulation over a generated collection of 100,000 reports in 100
// data files, beside a plain scan of the same files in the same run: the
// counting should cost about one scan.
//
//   build-dir/bench/cross_table_bench --benchmark_min_time=2
//
// Each cross benchmark times a plain scan right after every round and prints
// the ratio as the counter "x_scan".

#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/cross_table.h"
#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kReports = kBenchReports;
constexpr int kFiles = kBenchFiles;
using Collection = BenchCollection;

// The shared collection with the occupations filled up to a full list of 101
// entries, with fresh ids after the highest in use; the generated answers keep
// their entries.
Collection& Shared() {
  static Collection& c = []() -> Collection& {
    Collection& shared = SharedBenchCollection();
    std::int32_t next = 0;
    for (const CodeList& list : shared.state.lists)
      for (const CodeEntry& e : list.entries) next = std::max(next, e.id + 1);
    CodeList& occupations = shared.state.lists[kOccupations];
    while (occupations.count() < kCodeListCapacity) {
      occupations.entries.push_back(
          {QStringLiteral("職種%1").arg(occupations.count() + 1), QString::number(occupations.count() + 1), next++});
    }
    return shared;
  }();
  return c;
}

AnalysisPeriod Everything() { return WholeCollectionPeriod(); }

// The plain scan: every file read, every report of the period handed over.
std::int64_t PlainScan(AppState& state) {
  std::int64_t reports = 0;
  ScanReports(state.paths, state.counters.NewestFileNo, Everything(),
              [&](const ScannedFile& file) { reports += static_cast<std::int64_t>(file.reports().size()); });
  return reports;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_PlainScan(benchmark::State& state) {
  Collection& c = Shared();
  std::int64_t reports = 0;
  for (auto _ : state) reports = PlainScan(c.state);
  if (reports != kReports) state.SkipWithError("not every report was scanned");
  state.counters["reports"] = static_cast<double>(reports);
}
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// One computation of the window without its widgets: the three grids laid
// out, every data file counted, counts and totals written into the grids.
// Each round also times one plain scan, for the ratio.
void CrossTabulate(benchmark::State& state, AnalysisAxis vertical, AnalysisAxis horizontal) {
  Collection& c = Shared();
  ResultGridModel table;
  ResultGridModel colTotals;
  ResultGridModel rowTotals;
  double crossSeconds = 0;
  double scanSeconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    LayOutCrossTableGrids(table, colTotals, rowTotals,
                          CrossTableHeadingsOf(vertical, horizontal, c.state.lists, BodySiteNames()));
    FillCrossTableGrids(table, colTotals, rowTotals,
                        CountCrossTable(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, vertical,
                                        horizontal, Everything()));
    crossSeconds += Seconds(t0);
    state.PauseTiming();
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(PlainScan(c.state));
    scanSeconds += Seconds(t1);
    state.ResumeTiming();
  }
  std::int64_t counted = 0;
  for (int col = 1; col < colTotals.cols(); ++col) counted += colTotals.cell(1, col).toLongLong();
  if (counted == 0) state.SkipWithError("nothing was counted");
  state.counters["cells"] = static_cast<double>(table.rows() - 1) * (table.cols() - 1);
  state.counters["pairs"] = static_cast<double>(counted);
  state.counters["scan_ms"] = 1000.0 * scanSeconds / static_cast<double>(state.iterations());
  state.counters["x_scan"] = crossSeconds / scanSeconds;
}

// 65 body sites down, the full occupation list of 101 entries across.
void BM_CrossSitesByFullList(benchmark::State& state) {
  CrossTabulate(state, AnalysisAxis::BodySite, AnalysisAxis::Occupation);
}
BENCHMARK(BM_CrossSitesByFullList)->Unit(benchmark::kMillisecond)->UseRealTime();

// 職種 × 発生時刻.
void BM_CrossOccupationByHour(benchmark::State& state) {
  CrossTabulate(state, AnalysisAxis::Occupation, AnalysisAxis::Hour);
}
BENCHMARK(BM_CrossOccupationByHour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
