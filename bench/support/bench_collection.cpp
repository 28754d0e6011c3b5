#include "support/bench_collection.h"

#include <QFile>
#include <chrono>
#include <cstdlib>

#include "core/codelists/code_lists.h"
#include "core/reports/body_sites.h"
#include "support/synthetic_collection.h"

namespace orvanta {

PromptAnswer NoPrompts::message(const QString&, const QString&, PromptIcon, PromptButtons) { std::abort(); }
std::optional<QString> NoPrompts::input(const QString&, const QString&, const QString&) { std::abort(); }
QString NoPrompts::saveFileName(const QString&, const QString&, const QString&) { std::abort(); }

BenchCollection::BenchCollection() {
  const IdCounters c =
      GenerateCollection(state.paths.ReportFolderPath(), kBenchReports, 20240601, kBenchReports / kBenchFiles);
  if (c.TotalReports != kBenchReports) std::abort();
  state.counters = c;
  SetDefaultCodeLists(state.lists);
  wcCommand = "wc -l";
  for (int i = 0; i <= state.counters.NewestFileNo; ++i) wcCommand += " '" + QFile::encodeName(state.paths.DataFilePath(i)) + "'";
  wcCommand += " > /dev/null";
}

BenchCollection& SharedBenchCollection() {
  static BenchCollection c;
  return c;
}

AnalysisPeriod WholeCollectionPeriod() { return AnalysisPeriod{{2000, 1, 1}, {2029, 12, 31}}; }

double WcSeconds(const QByteArray& command) {
  const auto t0 = std::chrono::steady_clock::now();
  if (std::system(command.constData()) != 0) std::abort();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace orvanta
