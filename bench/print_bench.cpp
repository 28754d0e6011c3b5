// Printing the extraction listing to a PDF file over a generated collection
// of 100,000 reports in 100 data files: the first 1,000 reports of the
// listing (about 300 pages), and the whole listing (thousands of pages), with
// how much the memory grows while the pages are written.
//
//   QT_QPA_PLATFORM=offscreen build/bench/print_bench
//
// Each figure stands beside `wc -l` over the collection's data files.

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/analysis/extraction.h"
#include "core/analysis/result_grid_model.h"
#include "core/output/painter_surface.h"
#include "core/output/table_print.h"
#include "core/platform/print_output.h"
#include "core/platform/print_progress.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

const QString kPeriod = QStringLiteral("2015年1月1日～2024年12月31");

// The resident memory of the process, in megabytes.
double ResidentMegabytes() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(statm);
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// The whole listing of the collection in a grid model, made once.
const ResultGridModel& EveryReport() {
  static ResultGridModel* grid = [] {
    auto* g = new ResultGridModel;
    PrepareExtractionGrid(*g);
    const AppState& state = SharedBenchCollection().state;
    ShowExtraction(*g, ComputeExtraction(state.paths, state.counters.NewestFileNo, state.lists, WholeCollectionPeriod(),
                                         AxisFilter{}));
    return g;
  }();
  return *grid;
}

// The first n reports of the listing.
const ResultGridModel& FirstReports(int n) {
  static ResultGridModel* grid = [n] {
    const ResultGridModel& all = EveryReport();
    auto* g = new ResultGridModel;
    std::vector<QString> cells;
    for (int r = 0; r <= n; ++r)
      for (int c = 0; c < all.cols(); ++c) cells.push_back(all.cell(r, c));
    g->setAllCells(n + 1, all.cols(), std::move(cells));
    return g;
  }();
  return *grid;
}

// Keeps the largest resident size seen once the first pages are written.
struct MemoryWatch final : PrintProgress {
  double settled = 0;
  double peak = 0;
  bool pageDone(int pages) override {
    if (pages % 50 != 0) return true;
    const double now = ResidentMegabytes();
    if (pages == 200) settled = now;
    peak = std::max(peak, now);
    return true;
  }
};

// Prints the listing to a new PDF file as the "印刷" button does after the
// printer dialog; answers the number of pages.
int PrintToPdf(const ResultGridModel& grid, const QString& path, PrintProgress& progress) {
  auto output = PdfFileOutput::Create(path, PdfFileOutput::A4Layout(true));
  int pages = 0;
  {
    PainterSurface surface(output.get());
    const ExtractionPrint print{kPeriod, {}, &grid};
    pages = ExtractionListingPageCount(print);
    if (!surface.Begin() || !DrawExtractionListing(surface, print, progress) || !surface.EndDocument()) return -1;
  }
  return output->commit() ? pages : -1;
}

void BM_PrintThousandReportListingToPdf(benchmark::State& state) {
  const ResultGridModel& grid = FirstReports(1000);
  QTemporaryDir dir;
  int pages = 0;
  for (auto _ : state) {
    PrintProgress progress;
    pages = PrintToPdf(grid, dir.filePath(QStringLiteral("listing.pdf")), progress);
    if (pages <= 0) state.SkipWithError("the PDF file was not written");
  }
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(QFile(dir.filePath(QStringLiteral("listing.pdf"))).size());
  state.counters["wc_l_s"] = WcSeconds(SharedBenchCollection().wcCommand);
}
BENCHMARK(BM_PrintThousandReportListingToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_PrintEveryReportListingToPdf(benchmark::State& state) {
  const ResultGridModel& grid = EveryReport();
  QTemporaryDir dir;
  int pages = 0;
  MemoryWatch memory;
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    pages = PrintToPdf(grid, dir.filePath(QStringLiteral("listing.pdf")), memory);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (pages <= 0) state.SkipWithError("the PDF file was not written");
  }
  state.counters["pages"] = pages;
  state.counters["pages_per_s"] = pages / seconds;
  state.counters["rss_at_page_200_MB"] = memory.settled;
  state.counters["rss_growth_after_page_200_MB"] = memory.peak - memory.settled;
  state.counters["wc_l_s"] = WcSeconds(SharedBenchCollection().wcCommand);
}
BENCHMARK(BM_PrintEveryReportListingToPdf)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  // Fonts and PDF files need the GUI application, on no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
