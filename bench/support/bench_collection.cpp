#include "support/bench_collection.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

#include "core/codelists/code_lists.h"
#include "core/rates/rates.h"
#include "core/reports/body_sites.h"
#include "support/synthetic_collection.h"

namespace orvanta {

PromptAnswer NoPrompts::message(const QString&, const QString&, PromptIcon, PromptButtons) { std::abort(); }
std::optional<QString> NoPrompts::input(const QString&, const QString&, const QString&) { std::abort(); }
QString NoPrompts::saveFileName(const QString&, const QString&, const QString&) { std::abort(); }
QString NoPrompts::openFileName(const QString&, const QString&, const QString&) { std::abort(); }

namespace {

constexpr std::uint64_t kSeed = 20240601;

// What GenerateCollection gave, kept beside a collection made once.
QString StampPath(const QString& root) { return QDir(root).filePath(QStringLiteral("collection-complete")); }

bool ReadStamp(const QString& root, int reports, int files, IdCounters& counters) {
  QFile f(StampPath(root));
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QList<QByteArray> v = f.readAll().trimmed().split(' ');
  if (v.size() != 6 || v[0].toInt() != reports || v[1].toInt() != files) return false;
  counters.LastCodeId = v[2].toInt();
  counters.LastReportId = v[3].toInt();
  counters.NewestFileNo = static_cast<std::int16_t>(v[4].toInt());
  counters.TotalReports = v[5].toInt();
  return true;
}

void WriteStamp(const QString& root, int reports, int files, const IdCounters& c) {
  QFile f(StampPath(root));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
  f.write(QByteArray::number(reports) + ' ' + QByteArray::number(files) + ' ' + QByteArray::number(c.LastCodeId) + ' ' +
          QByteArray::number(c.LastReportId) + ' ' + QByteArray::number(c.NewestFileNo) + ' ' +
          QByteArray::number(c.TotalReports) + '\n');
}

}  // namespace

BenchCollection::BenchCollection(int reports, int files, const QString& keptRoot)
    : rootPath(keptRoot.isEmpty() ? temporaryRoot.path() : keptRoot) {
  IdCounters c;
  if (keptRoot.isEmpty() || !ReadStamp(rootPath, reports, files, c)) {
    if (!keptRoot.isEmpty()) {
      QDir(rootPath).removeRecursively();
      if (!QDir().mkpath(rootPath)) std::abort();
    }
    c = GenerateCollection(state.paths.ReportFolderPath(), reports, kSeed, reports / files);
    if (c.TotalReports != reports) std::abort();
    if (!keptRoot.isEmpty()) WriteStamp(rootPath, reports, files, c);
  }
  state.counters = c;
  SetDefaultCodeLists(state.lists);
  wcCommand = "wc -l";
  for (int i = 0; i <= state.counters.NewestFileNo; ++i)
    wcCommand += " '" + QFile::encodeName(state.paths.DataFilePath(i)) + "'";
  wcCommand += " > /dev/null";
}

BenchCollection& SharedBenchCollection() {
  static BenchCollection c(kBenchReports, kBenchFiles);
  return c;
}

BenchCollection& MillionBenchCollection() {
  static BenchCollection c(kMillionReports, kMillionFiles, [] {
    const QByteArray dir = qgetenv("ORVANTA_BENCH_DIR");
    return dir.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("orvanta-bench-million-v1"))
                         : QString::fromLocal8Bit(dir);
  }());
  return c;
}

std::int64_t ClassifyingScan(const AppState& state, const AnalysisPeriod& period, ItemCounts& counts, int threads) {
  struct FileCounts {
    ItemCounts counts{};
    std::int64_t reports = 0;
  };
  const CategoryIndex index(state.lists);
  std::int64_t reports = 0;
  ScanReportsInParts<FileCounts>(
      state.paths, state.counters.NewestFileNo, period,
      [&](const ScannedFile& file) {
        FileCounts part;
        CategorySet set;
        for (const ReportFacts& r : file.reports()) {
          ++part.reports;
          for (int a = 0; a < kAxisCount; ++a) {
            CategoriesOf(AxisAt(a), r, index, set);
            for (const int cat : set) ++part.counts[static_cast<std::size_t>(a)][static_cast<std::size_t>(cat)];
          }
        }
        return part;
      },
      [&](FileCounts&& part) {
        reports += part.reports;
        for (std::size_t a = 0; a < counts.size(); ++a) {
          for (std::size_t cat = 0; cat < counts[a].size(); ++cat) counts[a][cat] += part.counts[a][cat];
        }
      },
      threads);
  return reports;
}

Denominators BenchDenominators(const CodeLists& lists) {
  Denominators d;
  for (int year = 2014; year <= 2024; ++year) {
    d.set({year, DenominatorKind::Beds, 0}, 500);
    d.set({year, DenominatorKind::PatientDays, 0}, 160000);
    for (const CodeEntry& e : lists[kOccupations].entries) d.set({year, DenominatorKind::Fte, e.id}, 40);
    for (const CodeEntry& e : lists[kDevices].entries) d.set({year, DenominatorKind::Devices, e.id}, 20000);
  }
  return d;
}

std::int64_t RatesWindowData(const AppState& state, const AnalysisPeriod& period, const Denominators& denominators,
                             int threads) {
  const RatesCounts counts = CountRates(state.paths, state.counters.NewestFileNo, state.lists, period, AxisFilter{},
                                        YearKind::Fiscal, threads);
  const std::vector<RatesRow> rates = RatesTable(counts, denominators);
  const std::vector<GroupRow> occupations = OccupationTable(counts, denominators);
  const std::vector<GroupRow> devices = DeviceTable(counts, denominators);
  const std::vector<MonthCount> months = MonthlyCounts(counts);
  const BeforeAfter comparison = CompareBeforeAfter(
      counts, denominators, Intervention{1, QDate(2020, 4, 1), QStringLiteral("x")}, 12, ComparisonBase::Beds);
  // Everything made is used.
  if (rates.empty() || occupations.empty() || devices.empty() || months.empty() || !comparison.ratio) return -1;
  return counts.total;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

double ResidentMegabytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> v = statm.readAll().split(' ');
  if (v.size() < 2) return 0;
  return v[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

AnalysisPeriod WholeCollectionPeriod() { return AnalysisPeriod{{2000, 1, 1}, {2029, 12, 31}}; }

double WcSeconds(const QByteArray& command) {
  const auto t0 = std::chrono::steady_clock::now();
  if (std::system(command.constData()) != 0) std::abort();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace orvanta
