// Writes a sample collection under a home folder, as the program would leave
// it after some years of use: the folders, set.dat with the default lists,
// ttid.dat, an empty password (so no login is asked) and the record of an
// earlier start, and generated reports (no real person's data) dated over
// the five years up to a given day, in the order they happened. The pictures
// of the user guide are taken on it (tools/guide-screenshots.sh).
//
//   make_sample_collection HOME [REPORTS] [YYYY-MM-DD]
//
// REPORTS defaults to 600, the day to today. The same arguments give the
// same files.

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTextStream>
#include <algorithm>
#include <random>
#include <vector>

#include "core/app/app_state.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/reports/data_file.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kYearsCovered = 5;
constexpr std::int32_t kLastDefaultCodeId = 461;

// Moves a generated report (dated 2015 to 2024) into the kYearsCovered years
// that end on lastDay, keeping its month, day and time.
void Redate(ReportRecord& r, const QDate& lastDay) {
  const int generated = r.Years[0];
  int year = lastDay.year() - (2024 - generated) % kYearsCovered;
  if (r.Months[0] == 2 && r.Days[0] == 29) r.Days[0] = 28;  // a leap day may not exist in the new year
  if (QDate(year, r.Months[0], r.Days[0]) > lastDay) year -= kYearsCovered;
  const int shift = year - generated;
  r.Years[0] += shift;
  r.Years[1] += shift;
}

QDate OccurredOn(const ReportRecord& r) { return QDate(r.Years[0], r.Months[0], r.Days[0]); }

int Write(const QString& home, int reportCount, const QDate& lastDay) {
  QTextStream err(stderr);
  NoPrompts prompts;
  FixedClock clock(QDateTime(lastDay.addYears(-kYearsCovered), QTime(9, 0)));
  AppState state(home, prompts, clock);
  if (QFileInfo::exists(state.paths.DataFolderPath())) {
    err << "make_sample_collection: " << state.paths.DataFolderPath() << " exists already\n";
    return 1;
  }
  QString failed;
  if (!PrepareDataFolder(state.paths, &failed)) {
    err << "make_sample_collection: cannot make " << failed << "\n";
    return 1;
  }
  RecordFirstStart(state.paths, clock);  // the record of an earlier start
  QString error;
  if (!WritePasswordFile(state.paths.PasswordFilePath(), QString(), &error) ||
      !LoadCodeLists(state.lists, state.paths, clock.now(), nullptr, &error)) {
    err << "make_sample_collection: " << error << "\n";
    return 1;
  }

  std::mt19937_64 rng(20240401);
  std::vector<ReportRecord> reports;
  for (int i = 0; i < reportCount; ++i) {
    reports.push_back(MakeSyntheticReport(rng, 0));
    Redate(reports.back(), lastDay);
  }
  std::stable_sort(reports.begin(), reports.end(), [](const ReportRecord& a, const ReportRecord& b) {
    return std::tie(a.Years[0], a.Months[0], a.Days[0], a.Hours[0], a.Minutes[0]) <
           std::tie(b.Years[0], b.Months[0], b.Days[0], b.Hours[0], b.Minutes[0]);
  });
  for (int i = 0; i < reportCount; ++i) reports[i].ReportId = i + 1;

  IdCounters counters;
  counters.LastCodeId = kLastDefaultCodeId;
  int fileNo = 0;
  for (int first = 0; first < reportCount; first += kFileCapacity, ++fileNo) {
    const int last = std::min(reportCount, first + kFileCapacity);
    const std::vector<ReportRecord> table(reports.begin() + first, reports.begin() + last);
    if (!WriteDataFile(state.paths.DataFilePath(fileNo), table, &error)) {
      err << "make_sample_collection: " << error << "\n";
      return 1;
    }
  }
  counters.LastReportId = reportCount;
  counters.NewestFileNo = static_cast<std::int16_t>(fileNo - 1);
  counters.TotalReports = reportCount;
  if (!WriteIdFile(state.paths.IdFilePath(), counters, &error)) {
    err << "make_sample_collection: " << error << "\n";
    return 1;
  }
  QTextStream(stdout) << reportCount << " reports from " << OccurredOn(reports.front()).toString(Qt::ISODate) << " to "
                      << OccurredOn(reports.back()).toString(Qt::ISODate) << " in " << state.paths.DataFolderPath()
                      << "\n";
  return 0;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2 || args.size() > 4) {
    QTextStream(stderr) << "usage: make_sample_collection HOME [REPORTS] [YYYY-MM-DD]\n";
    return 2;
  }
  const int reports = args.size() > 2 ? args[2].toInt() : 600;
  const QDate lastDay = args.size() > 3 ? QDate::fromString(args[3], Qt::ISODate) : QDate::currentDate();
  if (reports < 1 || reports > 1000 * 1000 || !lastDay.isValid()) {
    QTextStream(stderr) << "make_sample_collection: REPORTS 1 to 1000000, the day as YYYY-MM-DD\n";
    return 2;
  }
  return orvanta::Write(args[1], reports, lastDay);
}
