// The analysis scan over a generated collection of 100,000 reports in 100
// data files, beside `wc -l` over the same files so both figures come out of
// the same run, and the filling of a result grid with 100,000 rows.
//
//   build-dir/bench/analysis_bench --benchmark_min_time=2
//
// The ratio scan / wc -l is printed as the counter "x_wc" of BM_ScanAllItems.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "core/analysis/analysis_axis.h"
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

Collection& Shared() { return SharedBenchCollection(); }
AnalysisPeriod Everything() { return WholeCollectionPeriod(); }

// `wc -l` over the 100 files, one process (spawn included).
void BM_WcLines(benchmark::State& state) {
  Collection& c = Shared();
  for (auto _ : state) {
    if (std::system(c.wcCommand.constData()) != 0) state.SkipWithError("wc -l failed");
  }
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The full scan: every report of every file read and put into its
// categories on all seventeen items. Each round also times one `wc -l`
// right after it, for the ratio.
void BM_ScanAllItems(benchmark::State& state) {
  Collection& c = Shared();
  const CategoryIndex index(c.state.lists);
  std::array<std::array<std::int64_t, 102>, kAxisCount> counts{};
  double scanSeconds = 0;
  double wcSeconds = 0;
  std::int64_t reports = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    CategorySet set;
    reports = 0;
    ScanReports(c.state.paths, c.state.counters.NewestFileNo, Everything(), [&](const ScannedFile& file) {
      for (const ReportFacts& r : file.reports()) {
        ++reports;
        for (int a = 0; a < kAxisCount; ++a) {
          CategoriesOf(AxisAt(a), r, index, set);
          for (int cat : set) ++counts[static_cast<std::size_t>(a)][static_cast<std::size_t>(cat)];
        }
      }
    });
    scanSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(counts);
  if (reports != kReports) state.SkipWithError("not every report was scanned");
  state.counters["reports"] = static_cast<double>(reports);
  state.counters["wc_ms"] = 1000.0 * wcSeconds / static_cast<double>(state.iterations());
  state.counters["x_wc"] = scanSeconds / wcSeconds;
}
BENCHMARK(BM_ScanAllItems)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same scan with a filter on two items, as the extraction view runs it,
// decoding the five texts of every passing report.
void BM_ScanFilterAndTexts(benchmark::State& state) {
  Collection& c = Shared();
  AxisFilter filter;
  filter.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
  filter.selection[AxisNumber(AnalysisAxis::Infection)] = 2;
  const FilterTest test(filter, c.state.lists);
  std::int64_t passed = 0;
  for (auto _ : state) {
    passed = 0;
    ScanReports(c.state.paths, c.state.counters.NewestFileNo, Everything(), [&](const ScannedFile& file) {
      for (const ReportFacts& r : file.reports()) {
        if (!test.passes(r)) continue;
        ++passed;
        for (int slot : {kReporterName, kRecordNumber, kExperienceYears, kDepartmentYears, kOtherInfection})
          benchmark::DoNotOptimize(file.text(r, slot));
      }
    });
  }
  state.counters["passed"] = static_cast<double>(passed);
}
BENCHMARK(BM_ScanFilterAndTexts)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading every file in full, as the report window does, for comparison.
void BM_ReadAllFilesInFull(benchmark::State& state) {
  Collection& c = Shared();
  std::vector<ReportRecord> table;
  for (auto _ : state) {
    for (int i = 0; i <= c.state.counters.NewestFileNo; ++i) {
      if (!ReadDataFile(c.state.paths.DataFilePath(i), table).ok()) state.SkipWithError("read failed");
    }
    benchmark::DoNotOptimize(table.data());
  }
}
BENCHMARK(BM_ReadAllFilesInFull)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 rows of 18 texts into a grid model, row by row with the heights
// the extraction view sets, inside one update.
void BM_FillGridRowByRow(benchmark::State& state) {
  // clang-format off
  const QString texts[18] = {
      QStringLiteral("佐藤　花子24/03/15/(金)K1234567"), QStringLiteral("看護師"), QStringLiteral("病室"),
      QStringLiteral("患者への直接使用"), QStringLiteral("使用中"), QStringLiteral("静脈ライン"),
      QStringLiteral("表層"), QStringLiteral("はい"), QStringLiteral("汚染あり"), QStringLiteral("内科病棟"),
      QStringLiteral("採血"), QStringLiteral("3"), QStringLiteral(" 9: 5"), QStringLiteral(" 12"),
      QStringLiteral("5"), QStringLiteral(" HIV陰性 HBV陽性梅毒"), QStringLiteral("はい"),
      QStringLiteral("/ 1右手親指外側/ 14右手親指内側"),
  };
  // clang-format on
  for (auto _ : state) {
    ResultGridModel grid;
    ResultGridModel::UpdateBatch batch(grid);
    grid.setCols(18);
    grid.setRows(1);
    for (int r = 1; r <= kReports; ++r) {
      grid.setRows(r + 1);
      grid.setRow(r);
      grid.setRowHeight(r, 400);
      for (int col = 0; col < 18; ++col) {
        grid.setCol(col);
        grid.setText(texts[col] + QString::number(r % 10));
      }
    }
    grid.setFixedRows(1);
    benchmark::DoNotOptimize(grid.rows());
  }
}
BENCHMARK(BM_FillGridRowByRow)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same rows appended at once.
void BM_FillGridAppendRows(benchmark::State& state) {
  for (auto _ : state) {
    ResultGridModel grid;
    grid.setCols(18);
    grid.setRows(1);
    grid.setFixedRows(1);
    std::vector<QString> cells;
    cells.reserve(static_cast<std::size_t>(kReports) * 18);
    for (int r = 1; r <= kReports; ++r) {
      for (int col = 0; col < 18; ++col) cells.push_back(QString::number(r * 18 + col));
    }
    grid.appendRows(std::move(cells), 400);
    benchmark::DoNotOptimize(grid.rows());
  }
}
BENCHMARK(BM_FillGridAppendRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
