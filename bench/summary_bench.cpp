// The summary computation over a generated collection of 100,000 reports in
// 100 data files, beside a plain scan that puts every report into its
// categories on all seventeen items, both measured in the same run.
//
//   build-dir/bench/summary_bench --benchmark_min_time=2
//
// BM_SummaryAgainstScan runs both in turn in every round; its counter
// "x_scan" is summary time / scan time (the aim: at most 1.10).

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "core/analysis/analysis_axis.h"
#include "core/analysis/summary_counts.h"
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

Collection& Shared() { return SharedBenchCollection(); }

const AnalysisPeriod kEverything = WholeCollectionPeriod();

// The plain scan: every report of the period put into its categories on all
// seventeen items and counted.
std::int64_t PlainScan(AppState& state, std::array<std::array<std::int32_t, 151>, kAxisCount>& counts) {
  const CategoryIndex index(state.lists);
  CategorySet set;
  std::int64_t reports = 0;
  ScanReports(state.paths, state.counters.NewestFileNo, kEverything, [&](const ScannedFile& file) {
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

void BM_PlainClassifyingScan(benchmark::State& state) {
  Collection& c = Shared();
  std::array<std::array<std::int32_t, 151>, kAxisCount> counts{};
  std::int64_t reports = 0;
  for (auto _ : state) reports = PlainScan(c.state, counts);
  benchmark::DoNotOptimize(counts);
  if (reports != kReports) state.SkipWithError("not every report was scanned");
}
BENCHMARK(BM_PlainClassifyingScan)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SummaryEveryListAtAll(benchmark::State& state) {
  Collection& c = Shared();
  SummaryResult result;
  for (auto _ : state)
    result = ComputeSummary(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, kEverything, AxisFilter{}, {});
  if (result.matching != kReports) state.SkipWithError("not every report was counted");
  state.counters["matching"] = static_cast<double>(result.matching);
}
BENCHMARK(BM_SummaryEveryListAtAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SummaryTwoListsRestricted(benchmark::State& state) {
  Collection& c = Shared();
  AxisFilter filter;
  filter.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  filter.selection[AxisNumber(AnalysisAxis::Infection)] = 2;
  SummaryResult result;
  for (auto _ : state)
    result = ComputeSummary(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, kEverything, filter, {});
  state.counters["matching"] = static_cast<double>(result.matching);
}
BENCHMARK(BM_SummaryTwoListsRestricted)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both in every round, alternating which goes first, for the ratio.
void BM_SummaryAgainstScan(benchmark::State& state) {
  Collection& c = Shared();
  std::array<std::array<std::int32_t, 151>, kAxisCount> counts{};
  double scanSeconds = 0;
  double summarySeconds = 0;
  bool scanFirst = true;
  SummaryResult result;
  const auto seconds = [](auto&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  };
  for (auto _ : state) {
    const auto scan = [&] { scanSeconds += seconds([&] { PlainScan(c.state, counts); }); };
    const auto summary = [&] {
      summarySeconds += seconds([&] {
        result =
            ComputeSummary(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, kEverything, AxisFilter{}, {});
      });
    };
    if (scanFirst) {
      scan();
      summary();
    } else {
      summary();
      scan();
    }
    scanFirst = !scanFirst;
  }
  benchmark::DoNotOptimize(counts);
  if (result.matching != kReports) state.SkipWithError("not every report was counted");
  const double n = static_cast<double>(state.iterations());
  state.counters["scan_ms"] = 1000.0 * scanSeconds / n;
  state.counters["summary_ms"] = 1000.0 * summarySeconds / n;
  state.counters["x_scan"] = summarySeconds / scanSeconds;
}
BENCHMARK(BM_SummaryAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
