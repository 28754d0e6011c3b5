// The window "ネットワーク集計" opening on a year of a network of 500
// hospitals over 10 年度 (2,000,000 reports in network.sqlite, already open
// as after the window's first opening in a session): constructed and shown
// with every tab's figures (施設別 with the funnel places, ネットワーク全体 with
// the percentiles and bed-size classes, the funnel drawn, 項目別 with the
// seventeen tables). Aim: at most 300 ms.
//
//   build-dir/bench/network_window_gui_bench
//
// BM_ChooseYear: another year chosen in the open window.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "gui/network/network_window.h"
#include "support/bench_collection.h"
#include "support/network_sample.h"

namespace orvanta {
namespace {

struct Centre {
  Centre() : state(root.path(), prompts, clock) {
    QDir().mkpath(state.paths.DataFolderPath());
    const QString store = NetworkSampleStore(kNetworkFirstYear + kNetworkYears - 1);
    QFile::copy(store, state.paths.NetworkDatabasePath());
    QFile::setPermissions(state.paths.NetworkDatabasePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // The first opening of a session checks the file; the window then finds it open.
    if (!OpenNetworkDatabase(state.network, state.paths.NetworkDatabasePath(), clock.now(), nullptr, nullptr))
      std::abort();
  }
  QTemporaryDir root;
  NoPrompts prompts;
  SystemClock clock;
  AppState state;
};

Centre& SharedCentre() {
  static Centre centre;
  return centre;
}

void BM_OpenWindow(benchmark::State& state) {
  Centre& centre = SharedCentre();
  std::size_t hospitals = 0;
  for (auto _ : state) {
    NetworkWindow window(centre.state);
    window.show();
    QApplication::processEvents();
    hospitals = window.figures().hospitals.size();
  }
  if (hospitals != static_cast<std::size_t>(kNetworkHospitals)) state.SkipWithError("not every hospital shown");
  state.counters["hospitals"] = static_cast<double>(hospitals);
}
BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChooseYear(benchmark::State& state) {
  Centre& centre = SharedCentre();
  NetworkWindow window(centre.state);
  window.show();
  auto* years = window.findChild<QComboBox*>(QStringLiteral("cboYear"));
  int i = 0;
  for (auto _ : state) {
    years->setCurrentIndex(++i % years->count());
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ChooseYear)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
