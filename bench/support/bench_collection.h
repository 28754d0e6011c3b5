#pragma once
// The collection the analysis benchmarks share: 100,000 generated reports in
// 100 data files under a temporary drive root, with the default code lists
// and the body-site names, made once per benchmark program.

#include <QByteArray>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <cstdint>

#include "core/analysis/analysis_axis.h"
#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/rates/denominators.h"

namespace orvanta {

inline constexpr int kBenchReports = 100000;
inline constexpr int kBenchFiles = 100;
// The format's limit: 1,000,000 reports in 1000 data files.
inline constexpr int kMillionReports = 1000000;
inline constexpr int kMillionFiles = 1000;

// A benchmark asks nothing: every prompt would be a fault.
class NoPrompts final : public Prompts {
 public:
  PromptAnswer message(const QString&, const QString&, PromptIcon, PromptButtons) override;
  std::optional<QString> input(const QString&, const QString&, const QString&) override;
  QString saveFileName(const QString&, const QString&, const QString&) override;
  QString openFileName(const QString&, const QString&, const QString&) override;
  QStringList openFileNames(const QString&, const QString&, const QString&) override { return {}; }
  std::unique_ptr<QPagedPaintDevice> choosePrinter(bool) override { return nullptr; }
  void beep() override {}
  void setBusy(bool) override {}
};

struct BenchCollection {
  // reports reports in files data files under a temporary drive root, or,
  // when keptRoot is given, under keptRoot, where they are made once and
  // used again by later runs (a stamp file says they are complete).
  BenchCollection(int reports, int files, const QString& keptRoot = QString());

  QTemporaryDir temporaryRoot;
  QString rootPath;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2024, 12, 31), QTime(9, 0))};
  AppState state{rootPath, prompts, clock};
  // `wc -l` over every data file of the collection, output thrown away.
  QByteArray wcCommand;
};

// The program's 100,000-report collection, made on first use.
BenchCollection& SharedBenchCollection();

// The 1,000,000-report collection, made on first use. It is kept for later
// runs in $ORVANTA_BENCH_DIR, or else in orvanta-bench-million-v1 under the
// system's temporary folder (about 0.8 GB).
BenchCollection& MillionBenchCollection();

// A period that holds every generated report (2015 to 2024).
AnalysisPeriod WholeCollectionPeriod();

// Counts per item and category, as a classifying scan leaves them.
using ItemCounts = std::array<std::array<std::int32_t, 151>, kAxisCount>;

// The classifying scan the views build on: every data file read, every
// report of the period put into its categories on all seventeen items and
// counted, each file on the thread that read it and the counts added up in
// file order. Returns the number of reports scanned.
std::int64_t ClassifyingScan(const AppState& state, const AnalysisPeriod& period, ItemCounts& counts,
                             int threads = kScanThreadsAuto);

// Denominators for every 年度 of the collections (2014 to 2024): beds,
// patient-days, the FTE of every occupation, the units of every device.
Denominators BenchDenominators(const CodeLists& lists);

// Everything the window "発生率と推移" shows from its one scan: the rates per
// 年度, the tables by occupation and by device, the months of the trend and a
// comparison before and after an intervention. Returns the reports counted.
std::int64_t RatesWindowData(const AppState& state, const AnalysisPeriod& period, const Denominators& denominators,
                             int threads = kScanThreadsAuto);

// The largest resident size the process has had so far, in megabytes
// (getrusage's ru_maxrss).
double PeakResidentMegabytes();
// The resident size now, in megabytes (/proc/self/statm).
double ResidentMegabytes();

// The wall time of f() in seconds.
template <typename F>
double WallSeconds(F&& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Runs a shell command (`wcCommand`) and returns its wall time in seconds.
double WcSeconds(const QByteArray& command);

}  // namespace orvanta
