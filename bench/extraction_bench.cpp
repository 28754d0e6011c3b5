// The data extraction listing over a generated collection of 100,000 reports
// in 100 data files: every report listed (the scan, the filter, the 18 cells
// of each row and the rows put into a grid model), a listing narrowed by two
// boxes, and the CSV text of the full listing.
//
//   build-dir/bench/extraction_bench --benchmark_min_time=2

#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <optional>

#include "core/analysis/extraction.h"
#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/output/csv_file.h"
#include "core/output/extraction_csv.h"
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
AnalysisPeriod Everything() { return WholeCollectionPeriod(); }

// Every report listed and shown in a grid model, as "再表示" does with every
// box at "全て" (the grid hidden, so the model tells no view).
void BM_ListEveryReportIntoGrid(benchmark::State& state) {
  Collection& c = Shared();
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  std::int64_t count = 0;
  for (auto _ : state) {
    ResultGridModel::UpdateBatch hidden(grid);
    grid.setRows(1);
    ExtractionListing listing =
        ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{});
    count = listing.count;
    ShowExtraction(grid, std::move(listing));
  }
  if (count != kReports || grid.rows() != kReports + 1) state.SkipWithError("not every report was listed");
  state.counters["rows"] = static_cast<double>(count);
}
BENCHMARK(BM_ListEveryReportIntoGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

// The computation alone, without the grid.
void BM_ComputeEveryReport(benchmark::State& state) {
  Collection& c = Shared();
  for (auto _ : state) {
    ExtractionListing listing =
        ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{});
    benchmark::DoNotOptimize(listing.rows.get());
  }
}
BENCHMARK(BM_ComputeEveryReport)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two boxes set: HIV陽性 and 緊急処置時 はい.
void BM_ListTwoBoxesIntoGrid(benchmark::State& state) {
  Collection& c = Shared();
  AxisFilter filter;
  filter.selection[AxisNumber(AnalysisAxis::Infection)] = 1;
  filter.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  std::int64_t count = 0;
  for (auto _ : state) {
    ResultGridModel::UpdateBatch hidden(grid);
    grid.setRows(1);
    ExtractionListing listing =
        ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), filter);
    count = listing.count;
    ShowExtraction(grid, std::move(listing));
  }
  state.counters["rows"] = static_cast<double>(count);
}
BENCHMARK(BM_ListTwoBoxesIntoGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

// The CSV text and bytes of the full listing.
void BM_CsvOfEveryReport(benchmark::State& state) {
  Collection& c = Shared();
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  ShowExtraction(
      grid, ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{}));
  qsizetype size = 0;
  for (auto _ : state) {
    const QByteArray bytes = CsvFileBytes(ExtractionCsvText(QStringLiteral("2024年1月1日～2024年12月31"), {}, grid));
    size = bytes.size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_CsvOfEveryReport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
