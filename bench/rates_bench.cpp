// The data of the window "発生率と推移" over the generated collection of
// 100,000 reports in 100 data files, beside the classifying scan in the same
// run: both in every round, taking turns at going first.
//
//   build-dir/bench/rates_bench --benchmark_min_time=2
//
// Counters: scan_ms and own_ms, the two times a round; x_scan their ratio
// (aim: 1.1). The same at a million reports: million_bench
// --benchmark_filter=Rates.

#include <benchmark/benchmark.h>

#include "support/bench_collection.h"

namespace orvanta {
namespace {

void BM_RatesAgainstScan(benchmark::State& state) {
  BenchCollection& c = SharedBenchCollection();
  const Denominators denominators = BenchDenominators(c.state.lists);
  ItemCounts counts{};
  double scanSeconds = 0;
  double ratesSeconds = 0;
  std::int64_t counted = 0;
  bool scanFirst = true;
  for (auto _ : state) {
    const auto scan = [&] {
      scanSeconds += WallSeconds([&] { ClassifyingScan(c.state, WholeCollectionPeriod(), counts); });
    };
    const auto rates = [&] {
      ratesSeconds += WallSeconds([&] { counted = RatesWindowData(c.state, WholeCollectionPeriod(), denominators); });
    };
    if (scanFirst) {
      scan();
      rates();
    } else {
      rates();
      scan();
    }
    scanFirst = !scanFirst;
  }
  benchmark::DoNotOptimize(counts);
  if (counted != kBenchReports) state.SkipWithError("not every report was counted");
  const double n = static_cast<double>(state.iterations());
  state.counters["scan_ms"] = 1000.0 * scanSeconds / n;
  state.counters["own_ms"] = 1000.0 * ratesSeconds / n;
  state.counters["x_scan"] = ratesSeconds / scanSeconds;
}
BENCHMARK(BM_RatesAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
