// The access log's costs:
//  - what the log adds to saving a report (the data file written with and
//    without its entries: the comparison with the file on disk, the pending
//    entry synced before the file is written, the entry itself moved in with
//    the next change), on a data file of 100 and of 1000 reports;
//  - "操作記録" opened and painted on a log of 1,000,000 entries (Qt's
//    offscreen platform);
//  - "記録の検証" over those 1,000,000 entries.
//
//   build-dir/bench/access_log_gui_bench --benchmark_min_time=1
//
// The million entries are made once per run (about half a minute).

#include <QApplication>
#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"
#include "core/reports/report_history.h"
#include "core/store/access_log.h"
#include "core/store/database.h"
#include "core/store/log_table_model.h"
#include "gui/audit/access_log_window.h"
#include "gui/shell/application_setup.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

const QDateTime kMoment(QDate(2026, 12, 9), QTime(9, 0));

struct Drive {
  Drive() : clock(kMoment), state(root.path(), prompts, clock) {
    QString error;
    if (!QDir().mkpath(state.paths.ReportFolderPath()) ||
        !state.database.open(state.paths.DatabasePath(), clock.now(), nullptr, &error))
      std::abort();
    state.log.attach();
  }
  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock;
  AppState state;
};

// A data file of `reports` generated reports, loaded.
std::unique_ptr<Drive> FileDrive(int reports) {
  auto d = std::make_unique<Drive>();
  std::mt19937_64 rng(7);
  std::vector<ReportRecord> table;
  for (int i = 1; i <= reports; ++i) table.push_back(MakeSyntheticReport(rng, i));
  if (!WriteDataFile(d->state.paths.DataFilePath(0), table)) std::abort();
  d->state.counters.LastReportId = reports;
  d->state.counters.TotalReports = reports;
  LoadDataFile(d->state.dataFile, d->state.paths, 0);
  return d;
}

// Saving after one item of one report changed, as the report window does,
// on two equal collections in turn: without the log (SaveReportFile) and
// with it (SaveReportFileRecorded). Timed in pairs, so that the disk's and
// the processor's moods weigh on both alike; the counters give each and
// what the log adds (added_ms, at most 2 is the target).
void BM_SaveReport(benchmark::State& state) {
  const int reports = static_cast<int>(state.range(0));
  std::unique_ptr<Drive> plain = FileDrive(reports);
  std::unique_ptr<Drive> logged = FileDrive(reports);
  double plainSeconds = 0;
  double loggedSeconds = 0;
  int round = 0;
  for (auto _ : state) {
    for (Drive* d : {plain.get(), logged.get()}) {
      AppState& s = d->state;
      s.dataFile.ReportTable[static_cast<std::size_t>(round % reports)].Texts[kAge] = QString::number(20 + round % 40);
      ReportSaveOutcome outcome;
      const double seconds = WallSeconds([&] {
        outcome = d == logged.get() ? SaveReportFileRecorded(s.dataFile, s.counters, s.paths, s.lists, s.log,
                                                             s.database, d->clock.now())
                                    : SaveReportFile(s.dataFile, s.counters, s.paths, d->clock.now());
      });
      (d == logged.get() ? loggedSeconds : plainSeconds) += seconds;
      if (!outcome.ok()) state.SkipWithError("save failed");
    }
    ++round;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_ms"] = 1000.0 * plainSeconds / n;
  state.counters["logged_ms"] = 1000.0 * loggedSeconds / n;
  state.counters["added_ms"] = 1000.0 * (loggedSeconds - plainSeconds) / n;
  logged->state.database.runDeferred();
  state.counters["entries"] = static_cast<double>(CountLogEntries(logged->state.database.connection(), {}));
}
BENCHMARK(BM_SaveReport)->Arg(100)->Arg(1000)->ArgName("reports")->Unit(benchmark::kMillisecond)->UseRealTime();

// A log of a million entries of the usual kinds, made once.
Drive& MillionLog() {
  static std::unique_ptr<Drive> drive = [] {
    auto d = std::make_unique<Drive>();
    constexpr int kEntries = 1000000;
    constexpr int kBlock = 50000;
    const QString kinds[] = {log_kind::kReportShown, log_kind::kReportChange, log_kind::kLogin, log_kind::kPrint,
                             log_kind::kCsv};
    for (int at = 0; at < kEntries; at += kBlock) {
      std::vector<LogEntry> block;
      for (int i = at; i < at + kBlock; ++i) {
        LogEntry e =
            d->state.log.stamp({kinds[i % 5], i % 5 < 2 ? 1 + i % 100000 : 0, QStringLiteral("報告を表示しました"),
                                QJsonObject{{QStringLiteral("file"), i % 100}}});
        e.at = LogTimeText(kMoment.addSecs(i * 30));
        block.push_back(std::move(e));
      }
      if (!d->state.database.change([&](QSqlDatabase& db, QString* why) { return AppendEntries(db, block, why); },
                                    nullptr))
        std::abort();
    }
    return d;
  }();
  return *drive;
}

void BM_LogWindowOpens(benchmark::State& state) {
  Drive& d = MillionLog();
  int rows = 0;
  for (auto _ : state) {
    auto window = std::make_unique<AccessLogWindow>(d.state);
    window->show();
    QApplication::processEvents();
    window->repaint();
    state.PauseTiming();
    rows = window->model().rowCount();
    window.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_LogWindowOpens)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CheckChain(benchmark::State& state) {
  Drive& d = MillionLog();
  std::int64_t entries = 0;
  for (auto _ : state) {
    const LogCheck check = CheckLogChain(d.state.database.connection());
    if (!check.intact) state.SkipWithError("chain broken");
    entries = check.entries;
  }
  state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_CheckChain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

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
