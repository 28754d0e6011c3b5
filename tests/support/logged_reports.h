#pragma once
// A drive whose access log is in use, holding three reports in data file 0
// (山田 花子, 佐藤 一郎, 鈴木 次郎, record numbers 1 to 3), file 0 in memory:
// what the tests of the reports' history and of the log windows stand on.

#include <QString>

#include "core/reports/report_record.h"
#include "support/temp_drive.h"

namespace orvanta::testing {

// A report of the reporter `name`, dated 1 December 2026 (reported the 2nd).
ReportRecord NamedReport(int id, const QString& name);

// Makes the folders, opens the database and the log, the follow-up's lists,
// the three reports.
void SetUpLoggedReports(TempDrive& drive);

}  // namespace orvanta::testing
