// The due list of the follow-up on 10,000 cases with 50,000 tests: reading
// it and filling its grid (what opening "経過観察予定" costs before the window
// paints), the window itself opened and painted on Qt's offscreen platform,
// and the overdue count that start-up adds.
//
//   build-dir/bench/followup_bench --benchmark_min_time=2
//
// Two databases: "usual", where the tests whose day is more than a week past
// are done except in one case of ten (about 3,500 rows listed); and "all
// open", where no test is done, so every test due within 14 days is listed
// (about 46,000 rows). Today is 9 December 2026; the incidents spread over
// the two years before.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

#include "core/analysis/result_grid_model.h"
#include "core/app/app_state.h"
#include "core/followup/due_list.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/store/database.h"
#include "gui/followup/due_list_window.h"
#include "gui/shell/application_setup.h"
#include "support/bench_collection.h"

namespace orvanta {
namespace {

constexpr int kCases = 10000;
constexpr int kTestsPerCase = 5;
const QDate kToday(2026, 12, 9);

struct FollowupDatabase {
  explicit FollowupDatabase(bool allOpen) {
    QString error;
    if (!QDir().mkpath(state.paths.DataFolderPath()) ||
        !state.database.open(state.paths.DatabasePath(), clock.now(), nullptr, &error))
      std::abort();
    const std::vector<ScheduleOffset> points{{0, OffsetUnit::Weeks},
                                             {6, OffsetUnit::Weeks},
                                             {3, OffsetUnit::Months},
                                             {6, OffsetUnit::Months},
                                             {6, OffsetUnit::Weeks}};
    const bool ok = state.database.change(
        [&](QSqlDatabase& db, QString* why) {
          for (int i = 0; i < kCases; ++i) {
            FollowupCase c;
            c.reportId = i + 1;
            c.worker = WorkerFields{QStringLiteral("職員%1").arg(i + 1), QStringLiteral("内科部"),
                                    QStringLiteral("看護師"), kToday.addDays(-(i % 730))};
            std::vector<FollowupTest> tests;
            for (int k = 0; k < kTestsPerCase; ++k) {
              FollowupTest t;
              t.pathogen = k == 4 ? Pathogen::HCV : Pathogen::HIV;
              t.test = k == 4 ? QStringLiteral("HCV-RNA") : QStringLiteral("HIV抗体");
              t.planned = points[static_cast<std::size_t>(k)];
              t.due = DueDateAfter(c.worker.incident, *t.planned);
              if (!allOpen && i % 10 != 0 && t.due < kToday.addDays(-7)) t.done = t.due;
              tests.push_back(t);
            }
            if (!AddPlannedTestsIn(db, c, &tests, why)) return false;
          }
          return true;
        },
        &error);
    if (!ok) std::abort();
  }

  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(kToday, QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
};

FollowupDatabase& Usual() {
  static FollowupDatabase db(false);
  return db;
}
FollowupDatabase& AllOpen() {
  static FollowupDatabase db(true);
  return db;
}
FollowupDatabase& Pick(const benchmark::State& state) { return state.range(0) == 0 ? Usual() : AllOpen(); }

void BM_DueListQueryAndGrid(benchmark::State& state) {
  FollowupDatabase& f = Pick(state);
  std::size_t rows = 0;
  for (auto _ : state) {
    auto list = std::make_shared<DueList>();
    QString error;
    if (!ReadDueList(f.state.database.connection(), kToday, kDefaultDueDaysAhead, list.get(), &error)) std::abort();
    ResultGridModel grid;
    ShowDueList(grid, list);
    // The cells a window shows first.
    for (int r = 0; r < std::min(grid.rows(), 30); ++r)
      for (int c = 0; c < grid.cols(); ++c) benchmark::DoNotOptimize(grid.cell(r, c));
    rows = list->tests.size();
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_DueListQueryAndGrid)->Arg(0)->Arg(1)->ArgName("all_open")->Unit(benchmark::kMillisecond);

void BM_DueListWindowOpens(benchmark::State& state) {
  FollowupDatabase& f = Pick(state);
  std::size_t rows = 0;
  for (auto _ : state) {
    auto window = std::make_unique<DueListWindow>(f.state);
    window->show();
    QApplication::processEvents();
    window->repaint();
    state.PauseTiming();
    rows = window->shownList().tests.size();
    window.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_DueListWindowOpens)->Arg(0)->Arg(1)->ArgName("all_open")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartupOverdueCount(benchmark::State& state) {
  FollowupDatabase& f = Pick(state);
  int overdue = 0;
  for (auto _ : state) overdue = CountOverdueTests(f.state.database.connection(), kToday);
  state.counters["overdue"] = overdue;
}
BENCHMARK(BM_StartupOverdueCount)->Arg(0)->Arg(1)->ArgName("all_open")->Unit(benchmark::kMillisecond);

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
