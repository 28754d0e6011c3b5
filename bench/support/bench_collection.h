#pragma once
// The collection the analysis benchmarks share: 100,000 generated reports in
// 100 data files under a temporary drive root, with the default code lists
// and the body-site names, made once per benchmark program.

#include <QByteArray>
#include <QTemporaryDir>

#include "core/analysis/analysis_axis.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/app/app_state.h"

namespace orvanta {

inline constexpr int kBenchReports = 100000;
inline constexpr int kBenchFiles = 100;

// A benchmark asks nothing: every prompt would be a fault.
class NoPrompts final : public Prompts {
 public:
  PromptAnswer message(const QString&, const QString&, PromptIcon, PromptButtons) override;
  std::optional<QString> input(const QString&, const QString&, const QString&) override;
  QString saveFileName(const QString&, const QString&, const QString&) override;
  std::unique_ptr<QPagedPaintDevice> choosePrinter(bool) override { return nullptr; }
  void beep() override {}
  void setBusy(bool) override {}
};

struct BenchCollection {
  QTemporaryDir root;
  NoPrompts prompts;
  FixedClock clock{QDateTime(QDate(2024, 12, 31), QTime(9, 0))};
  AppState state{root.path(), prompts, clock};
  // `wc -l` over every data file of the collection, output thrown away.
  QByteArray wcCommand;

  BenchCollection();
};

// The program's one collection, made on first use.
BenchCollection& SharedBenchCollection();

// A period that holds every generated report (2015 to 2024).
AnalysisPeriod WholeCollectionPeriod();

// Runs a shell command (`wcCommand`) and returns its wall time in seconds.
double WcSeconds(const QByteArray& command);

}  // namespace orvanta
