// The extraction window (frmTySu) on a million reports in 1000 data files,
// on Qt's offscreen platform, each step beside `wc -l` over the same files:
// opening the window (the default period, the reports of 2024), listing
// every report ("再表示" over the whole collection), scrolling the grid to its
// last row and choosing an entry in a selection box.
//
//   build-dir/bench/extraction_window_gui_bench --benchmark_min_time=3
//
// Each round is timed up to the moment the window has painted what it shows.
// rss_peak_MB is the process's largest resident size (getrusage ru_maxrss).

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

#include "core/app/app_state.h"
#include "gui/analysis/extraction_window.h"
#include "gui/shell/application_setup.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

template <typename F>
double Seconds(F&& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The window painted as it stands.
void Painted(QWidget& window) {
  QApplication::processEvents();
  window.repaint();
}

BenchCollection& Million() {
  BenchCollection& c = MillionBenchCollection();
  // Started on the last day of 2024: the window opens on 2024.
  c.state.startup.TodayYear = 2024;
  c.state.startup.TodayMonth = 12;
  c.state.startup.TodayDay = 31;
  return c;
}

template <typename T>
T* Control(QWidget& window, const QString& name) {
  T* w = window.findChild<T*>(name);
  if (!w) std::abort();
  return w;
}

// The whole collection: from 2000 on, then "再表示".
void ListEverything(ExtractionWindow& window) {
  Control<QLineEdit>(window, QStringLiteral("txy_0"))->setText(QStringLiteral("2000"));
  Control<QPushButton>(window, QStringLiteral("Command4"))->click();
}

void Report(benchmark::State& state, double seconds, double wcSeconds, ExtractionWindow& window) {
  const double n = static_cast<double>(state.iterations());
  state.counters["rows"] = Control<QLabel>(window, QStringLiteral("Label7"))->text().toDouble();
  state.counters["own_ms"] = 1000.0 * seconds / n;
  state.counters["wc_ms"] = 1000.0 * wcSeconds / n;
  state.counters["x_wc"] = seconds / wcSeconds;
  state.counters["rss_peak_MB"] = PeakResidentMegabytes();
}

void BM_MillionOpenWindow(benchmark::State& state) {
  BenchCollection& c = Million();
  double seconds = 0;
  double wcSeconds = 0;
  std::unique_ptr<ExtractionWindow> window;
  for (auto _ : state) {
    window.reset();
    seconds += Seconds([&] {
      window = std::make_unique<ExtractionWindow>(c.state);
      window->show();
      Painted(*window);
    });
    state.PauseTiming();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  Report(state, seconds, wcSeconds, *window);
}
BENCHMARK(BM_MillionOpenWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MillionListEveryReport(benchmark::State& state) {
  BenchCollection& c = Million();
  ExtractionWindow window(c.state);
  window.show();
  Painted(window);
  double seconds = 0;
  double wcSeconds = 0;
  for (auto _ : state) {
    seconds += Seconds([&] {
      ListEverything(window);
      Painted(window);
    });
    state.PauseTiming();
    if (window.period().from.year != 2000) state.SkipWithError("the period was not changed");
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  Report(state, seconds, wcSeconds, window);
}
BENCHMARK(BM_MillionListEveryReport)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the top of the million rows to the last and back.
void BM_MillionScrollToTheEnd(benchmark::State& state) {
  BenchCollection& c = Million();
  ExtractionWindow window(c.state);
  window.show();
  ListEverything(window);
  Painted(window);
  ResultGrid* grid = Control<ResultGrid>(window, QStringLiteral("Grid1"));
  QScrollBar* bar = grid->verticalScrollBar();
  double seconds = 0;
  double wcSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bar->setValue(bar->minimum());
    Painted(window);
    state.ResumeTiming();
    seconds += Seconds([&] {
      bar->setValue(bar->maximum());
      Painted(window);
    });
    state.PauseTiming();
    const QModelIndex last = grid->indexAt(QPoint(5, grid->viewport()->height() - 5));
    if (last.row() < c.state.counters.TotalReports - 20) state.SkipWithError("the last rows are not shown");
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  Report(state, seconds, wcSeconds, window);
}
BENCHMARK(BM_MillionScrollToTheEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

// Over the whole collection, the occupation box chosen in turn at its second
// and third entry, each choice listing again at once.
void BM_MillionChooseABoxEntry(benchmark::State& state) {
  BenchCollection& c = Million();
  ExtractionWindow window(c.state);
  window.show();
  ListEverything(window);
  Painted(window);
  QComboBox* box = Control<QComboBox>(window, QStringLiteral("Combo1_0"));
  double seconds = 0;
  double wcSeconds = 0;
  int entry = 1;
  for (auto _ : state) {
    entry = entry == 1 ? 2 : 1;
    seconds += Seconds([&] {
      box->setCurrentIndex(entry);
      Painted(window);
    });
    state.PauseTiming();
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  Report(state, seconds, wcSeconds, window);
}
BENCHMARK(BM_MillionChooseABoxEntry)->Unit(benchmark::kMillisecond)->UseRealTime();

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
