// The computations at the format's limit: 1,000,000 generated reports in
// 1000 data files, each beside `wc -l` over the same files in the same run.
//
//   build-dir/bench/million_bench --benchmark_min_time=3
//
// The collection is made once and kept (see MillionBenchCollection). Counters:
//  - x_wc: the computation's time / the time of `wc -l` right after it, in
//    every round (aims: classifying scan 2.5, extraction listing 4);
//  - x_scan: time / the classifying scan's, both run in every round, in turn
//    (aim for the summary, the cross table and the rates window's data: 1.1);
//  - the extraction listing's rss_peak_MB is the process's largest resident
//    size (getrusage ru_maxrss) after listing every report; run it on its own
//    for a figure of the listing alone:
//      million_bench --benchmark_filter=Extraction
//  - threads: how many threads the scans used.

#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

#include "core/analysis/cross_table.h"
#include "core/analysis/extraction.h"
#include "core/analysis/result_grid_model.h"
#include "core/analysis/summary_counts.h"
#include "core/app/app_state.h"
#include "core/output/extraction_csv.h"
#include "core/platform/safe_save.h"
#include "core/reports/report_search.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

BenchCollection& Million() { return MillionBenchCollection(); }
AnalysisPeriod Everything() { return WholeCollectionPeriod(); }

template <typename F>
double Seconds(F&& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void SetThreads(benchmark::State& state) { state.counters["threads"] = WorkThreadCount(kScanThreadsAuto); }

void BM_MillionWcLines(benchmark::State& state) {
  BenchCollection& c = Million();
  for (auto _ : state) {
    if (std::system(c.wcCommand.constData()) != 0) state.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_MillionWcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every report read and put into its categories on all seventeen items.
void BM_MillionClassifyingScan(benchmark::State& state) {
  BenchCollection& c = Million();
  ItemCounts counts{};
  double scanSeconds = 0;
  double wcSeconds = 0;
  std::int64_t reports = 0;
  for (auto _ : state) {
    scanSeconds += Seconds([&] { reports = ClassifyingScan(c.state, Everything(), counts); });
    state.PauseTiming();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(counts);
  if (reports != kMillionReports) state.SkipWithError("not every report was scanned");
  state.counters["wc_ms"] = 1000.0 * wcSeconds / static_cast<double>(state.iterations());
  state.counters["x_wc"] = scanSeconds / wcSeconds;
  SetThreads(state);
}
BENCHMARK(BM_MillionClassifyingScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on the calling thread alone, for comparison.
void BM_MillionClassifyingScanOneThread(benchmark::State& state) {
  BenchCollection& c = Million();
  ItemCounts counts{};
  std::int64_t reports = 0;
  for (auto _ : state) reports = ClassifyingScan(c.state, Everything(), counts, 1);
  benchmark::DoNotOptimize(counts);
  if (reports != kMillionReports) state.SkipWithError("not every report was scanned");
}
BENCHMARK(BM_MillionClassifyingScanOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// A computation and the classifying scan in every round, taking turns at
// going first; x_scan is the ratio of their times.
template <typename Compute>
void AgainstScan(benchmark::State& state, Compute&& compute) {
  BenchCollection& c = Million();
  ItemCounts counts{};
  double scanSeconds = 0;
  double computeSeconds = 0;
  bool scanFirst = true;
  for (auto _ : state) {
    const auto scan = [&] { scanSeconds += Seconds([&] { ClassifyingScan(c.state, Everything(), counts); }); };
    const auto other = [&] { computeSeconds += Seconds([&] { compute(c); }); };
    if (scanFirst) {
      scan();
      other();
    } else {
      other();
      scan();
    }
    scanFirst = !scanFirst;
  }
  benchmark::DoNotOptimize(counts);
  const double n = static_cast<double>(state.iterations());
  state.counters["scan_ms"] = 1000.0 * scanSeconds / n;
  state.counters["own_ms"] = 1000.0 * computeSeconds / n;
  state.counters["x_scan"] = computeSeconds / scanSeconds;
  SetThreads(state);
}

void BM_MillionSummaryAgainstScan(benchmark::State& state) {
  std::int64_t matching = 0;
  AgainstScan(state, [&](BenchCollection& c) {
    matching =
        ComputeSummary(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{}, {})
            .matching;
  });
  if (matching != kMillionReports) state.SkipWithError("not every report was counted");
}
BENCHMARK(BM_MillionSummaryAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The summary on the calling thread alone, for its CPU time beside the
// one-thread scan's.
void BM_MillionSummaryOneThread(benchmark::State& state) {
  BenchCollection& c = Million();
  std::int64_t matching = 0;
  for (auto _ : state) {
    matching =
        ComputeSummary(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{}, {}, 1)
            .matching;
  }
  if (matching != kMillionReports) state.SkipWithError("not every report was counted");
}
BENCHMARK(BM_MillionSummaryOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The body sites (65 rows, up to three a report) against the occupations.
void BM_MillionCrossTableAgainstScan(benchmark::State& state) {
  std::int64_t total = 0;
  AgainstScan(state, [&](BenchCollection& c) {
    const CrossTable t = CountCrossTable(c.state.paths, c.state.counters.NewestFileNo, c.state.lists,
                                         AnalysisAxis::BodySite, AnalysisAxis::Occupation, Everything());
    total = 0;
    for (int r = 1; r <= t.rows(); ++r) total += t.rowTotal(r);
  });
  if (total == 0) state.SkipWithError("nothing was counted");
}
BENCHMARK(BM_MillionCrossTableAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MillionRatesAgainstScan(benchmark::State& state) {
  const Denominators denominators = BenchDenominators(Million().state.lists);
  std::int64_t counted = 0;
  AgainstScan(state, [&](BenchCollection& c) { counted = RatesWindowData(c.state, Everything(), denominators); });
  if (counted != kMillionReports) state.SkipWithError("not every report was counted");
}
BENCHMARK(BM_MillionRatesAgainstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on the calling thread alone, for its CPU time beside the
// one-thread scan's.
void BM_MillionRatesOneThread(benchmark::State& state) {
  BenchCollection& c = Million();
  const Denominators denominators = BenchDenominators(c.state.lists);
  std::int64_t counted = 0;
  for (auto _ : state) counted = RatesWindowData(c.state, Everything(), denominators, 1);
  if (counted != kMillionReports) state.SkipWithError("not every report was counted");
}
BENCHMARK(BM_MillionRatesOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every report listed and put into a grid model, as "再表示" does with every
// box at "全て": the old listing let go first, the new one computed and
// shown (the grid hidden, so the model tells no view).
void BM_MillionExtractionListing(benchmark::State& state) {
  BenchCollection& c = Million();
  const double residentBefore = ResidentMegabytes();
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  double listSeconds = 0;
  double wcSeconds = 0;
  std::int64_t count = 0;
  double held = 0;
  double residentWithListing = 0;
  for (auto _ : state) {
    listSeconds += Seconds([&] {
      ResultGridModel::UpdateBatch hidden(grid);
      grid.setRows(1);
      ExtractionListing listing =
          ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{});
      count = listing.count;
      held = listing.rows ? static_cast<double>(listing.rows->bytesHeld()) : 0;
      ShowExtraction(grid, std::move(listing));
    });
    state.PauseTiming();
    residentWithListing = ResidentMegabytes();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  if (count != kMillionReports || grid.rows() != kMillionReports + 1)
    state.SkipWithError("not every report was listed");
  // The last row reads as a row does.
  if (grid.cell(kMillionReports, 0).isEmpty()) state.SkipWithError("the last row is empty");
  state.counters["rows"] = static_cast<double>(count);
  state.counters["wc_ms"] = 1000.0 * wcSeconds / static_cast<double>(state.iterations());
  state.counters["x_wc"] = listSeconds / wcSeconds;
  state.counters["listing_MB"] = held / (1024.0 * 1024.0);
  state.counters["rss_before_MB"] = residentBefore;
  state.counters["rss_after_MB"] = residentWithListing;
  state.counters["rss_peak_MB"] = PeakResidentMegabytes();
  SetThreads(state);
}
BENCHMARK(BM_MillionExtractionListing)->Unit(benchmark::kMillisecond)->UseRealTime();

// The CSV file of the full listing (about 0.35 GB), written as the window
// writes it: a block of rows at a time into the file being saved.
void BM_MillionExtractionCsvFile(benchmark::State& state) {
  BenchCollection& c = Million();
  ResultGridModel grid;
  PrepareExtractionGrid(grid);
  ShowExtraction(
      grid, ComputeExtraction(c.state.paths, c.state.counters.NewestFileNo, c.state.lists, Everything(), AxisFilter{}));
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("listing.csv"));
  for (auto _ : state) {
    const bool ok = SaveFileAtomically(
        path,
        [&](const BytePieces& write) {
          WriteExtractionCsv(QStringLiteral("2015年1月1日～2024年12月31"), {}, grid, write);
        },
        FileAccess::Normal);
    if (!ok) state.SkipWithError("the file could not be written");
  }
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
  state.counters["rss_peak_MB"] = PeakResidentMegabytes();
}
BENCHMARK(BM_MillionExtractionCsvFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// A search by name through every file.
void BM_MillionSearchByName(benchmark::State& state) {
  BenchCollection& c = Million();
  std::size_t hits = 0;
  double searchSeconds = 0;
  double wcSeconds = 0;
  for (auto _ : state) {
    searchSeconds += Seconds([&] {
      hits = SearchReports(c.state.paths, c.state.counters.NewestFileNo, SearchField::ReporterName,
                           QStringLiteral("山田　花子"))
                 .hits.size();
    });
    state.PauseTiming();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["x_wc"] = searchSeconds / wcSeconds;
  SetThreads(state);
}
BENCHMARK(BM_MillionSearchByName)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
