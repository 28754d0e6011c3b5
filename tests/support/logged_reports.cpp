#include "support/logged_reports.h"

#include <QDir>
#include <gtest/gtest.h>

#include "core/reports/open_data_file.h"
#include "support/followup_cases.h"

namespace orvanta::testing {

ReportRecord NamedReport(int id, const QString& name) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kReporterName] = name;
  r.Years = {2026, 2026, 0};
  r.Months = {12, 12, 0};
  r.Days = {1, 2, 0};
  return r;
}

void SetUpLoggedReports(TempDrive& drive) {
  AppState& state = drive.state;
  ASSERT_TRUE(QDir().mkpath(state.paths.ReportFolderPath()));
  OpenFollowupDatabase(state);
  state.log.attach();
  UseFollowupLists(state.lists);
  ASSERT_TRUE(
      drive.WriteReports(0, {NamedReport(1, QStringLiteral("山田 花子")), NamedReport(2, QStringLiteral("佐藤 一郎")),
                             NamedReport(3, QStringLiteral("鈴木 次郎"))}));
  state.counters.LastReportId = state.counters.TotalReports = 3;
  state.dataFile.FileRecordCounts[0] = 3;
  LoadDataFile(state.dataFile, state.paths, 0);
}

}  // namespace orvanta::testing
