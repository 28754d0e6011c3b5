// The network submission of one year: 100,000 generated reports, all of
// 年度 2023, in 100 data files. Each round of BM_SubmissionWrittenAndChecked
// gathers the year from the data files, writes the file under its temporary
// name, reads it back with the check every reader applies and renames it;
// the analysis scan of the same collection and `wc -l` over the same files
// are timed beside it in the same round, so the ratios come out of one run.
//
//   build-dir/bench/submission_bench --benchmark_min_time=2
//
// Counters: x_scan (submission / analysis scan, at most 1.5 is the target)
// and x_wc (submission / wc -l).

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <random>

#include "core/network/submission.h"
#include "core/reports/data_file.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kYear = 2023;
constexpr int kReportsPerFile = kBenchReports / kBenchFiles;

// The shared collection's reports moved into one 年度, day and month spread
// over it.
struct OneYear {
  OneYear() {
    SetDefaultCodeLists(state.lists);
    std::mt19937_64 rng(20231);
    std::vector<ReportRecord> file;
    std::int32_t id = 0;
    if (!QDir().mkpath(state.paths.ReportFolderPath())) std::abort();
    for (int f = 0; f < kBenchFiles; ++f) {
      file.clear();
      for (int i = 0; i < kReportsPerFile; ++i) {
        ReportRecord r = MakeSyntheticReport(rng, ++id);
        const int month = 1 + static_cast<int>(rng() % 12);
        r.Years[0] = month >= 4 ? kYear : kYear + 1;
        r.Months[0] = month;
        r.Days[0] = 1 + static_cast<int>(rng() % 28);
        file.push_back(r);
      }
      if (!WriteDataFile(state.paths.DataFilePath(f), file)) std::abort();
    }
    state.counters.NewestFileNo = kBenchFiles - 1;
    state.counters.TotalReports = id;
    denominators = BenchDenominators(state.lists);
    wcCommand = "wc -l";
    for (int i = 0; i < kBenchFiles; ++i) wcCommand += " '" + QFile::encodeName(state.paths.DataFilePath(i)) + "'";
    wcCommand += " > /dev/null";
    out = QDir(root.path()).filePath(QStringLiteral("提出_AB12_2023.sqlite"));
  }

  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2024, 12, 31), QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
  Denominators denominators;
  QByteArray wcCommand;
  QString out;
};

OneYear& Shared() {
  static OneYear c;
  return c;
}

const AnalysisPeriod kPeriod{{kYear, 4, 1}, {kYear + 1, 3, 31}};

double ScanSeconds(OneYear& c) {
  ItemCounts counts{};
  std::int64_t reports = 0;
  const double s = WallSeconds([&] { reports = ClassifyingScan(c.state, kPeriod, counts); });
  if (reports != kBenchReports) std::abort();
  return s;
}

bool WriteSubmission(OneYear& c) {
  const SubmissionContent content = GatherSubmission(c.state.paths, c.state.counters.NewestFileNo, c.state.lists,
                                                     c.denominators, kYear, YearKind::Fiscal);
  QString error;
  return content.reportCount() == kBenchReports &&
         WriteSubmissionFile(c.out, content, SubmissionStamp{QStringLiteral("AB12"), c.clock.now()},
                             c.clock.now().date(), &error);
}

void BM_WcLines(benchmark::State& state) {
  OneYear& c = Shared();
  for (auto _ : state)
    if (std::system(c.wcCommand.constData()) != 0) state.SkipWithError("wc -l failed");
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The analysis scan of the year: every report put into its categories on
// all seventeen items.
void BM_AnalysisScan(benchmark::State& state) {
  OneYear& c = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(ScanSeconds(c));
}
BENCHMARK(BM_AnalysisScan)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SubmissionWrittenAndChecked(benchmark::State& state) {
  OneYear& c = Shared();
  double submissionSeconds = 0;
  double scanSeconds = 0;
  double wcSeconds = 0;
  for (auto _ : state) {
    bool ok = false;
    submissionSeconds += WallSeconds([&] { ok = WriteSubmission(c); });
    if (!ok) state.SkipWithError("the submission was not written");
    state.PauseTiming();
    scanSeconds += ScanSeconds(c);
    wcSeconds += WcSeconds(c.wcCommand);
    state.ResumeTiming();
  }
  state.counters["file_MB"] = static_cast<double>(QFileInfo(c.out).size()) / 1e6;
  state.counters["scan_ms"] = 1000.0 * scanSeconds / static_cast<double>(state.iterations());
  state.counters["wc_ms"] = 1000.0 * wcSeconds / static_cast<double>(state.iterations());
  state.counters["x_scan"] = submissionSeconds / scanSeconds;
  state.counters["x_wc"] = submissionSeconds / wcSeconds;
}
BENCHMARK(BM_SubmissionWrittenAndChecked)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts apart: gathering the year from the data files, writing a
// gathered year (with its read-back), and the reader's check alone.
void BM_GatherOnly(benchmark::State& state) {
  OneYear& c = Shared();
  for (auto _ : state) {
    const SubmissionContent content = GatherSubmission(c.state.paths, c.state.counters.NewestFileNo, c.state.lists,
                                                       c.denominators, kYear, YearKind::Fiscal);
    if (content.reportCount() != kBenchReports) state.SkipWithError("not every report was gathered");
  }
}
BENCHMARK(BM_GatherOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteOnly(benchmark::State& state) {
  OneYear& c = Shared();
  const SubmissionContent content = GatherSubmission(c.state.paths, c.state.counters.NewestFileNo, c.state.lists,
                                                     c.denominators, kYear, YearKind::Fiscal);
  QString error;
  for (auto _ : state)
    if (!WriteSubmissionFile(c.out, content, SubmissionStamp{QStringLiteral("AB12"), c.clock.now()},
                             c.clock.now().date(), &error))
      state.SkipWithError("not written");
}
BENCHMARK(BM_WriteOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CheckOnly(benchmark::State& state) {
  OneYear& c = Shared();
  if (!WriteSubmission(c)) state.SkipWithError("not written");
  for (auto _ : state)
    if (!CheckSubmissionFile(c.out, c.clock.now().date())) state.SkipWithError("refused");
}
BENCHMARK(BM_CheckOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
