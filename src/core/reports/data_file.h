#pragma once
// The numbered data files (0.dat, 1.dat, ...) and the counter file ttid.dat.

#include <QByteArray>
#include <QString>
#include <vector>

#include "core/platform/value_file.h"
#include "core/reports/report_record.h"

namespace orvanta {

// Reads a data file into table (emptied first). The count and the reports
// must read whole: an error there (missing file, a value of the wrong kind,
// the file ending early, a count above 1001 or below 0) is returned and the
// table holds the reports read whole before it. The body-site block is read
// under its own rule: an error there ends the reading quietly, the reports
// stay, the marks not read stay 0, and the result is ok.
ReadResult ReadDataFile(const QString& path, std::vector<ReportRecord>& table);
ReadResult ReadDataFileBytes(QByteArrayView bytes, std::vector<ReportRecord>& table);

// The bytes of a data file holding the reports of table.
QByteArray DataFileBytes(const std::vector<ReportRecord>& table);
// Saves the file whole, readable by its owner only. On failure (with the
// reason in Japanese in error) the old file stays as it was; a table of more
// than 1001 reports, which could not be read back, is not written.
bool WriteDataFile(const QString& path, const std::vector<ReportRecord>& table, QString* error = nullptr);

// The four counters of ttid.dat.
struct IdCounters {
  std::int32_t LastCodeId = 0;
  std::int32_t LastReportId = 0;
  std::int16_t NewestFileNo = 0;
  std::int32_t TotalReports = 0;
  friend bool operator==(const IdCounters&, const IdCounters&) = default;
};

// Reads ttid.dat. Only the first value must be readable (its error is
// returned); a later value that cannot be read, and every value after it,
// keeps what counters held. A newest file number outside 0 to 1000 counts as
// unreadable: no data file can carry it.
ReadResult ReadIdFile(const QString& path, IdCounters& counters);
ReadResult ReadIdFileBytes(QByteArrayView bytes, IdCounters& counters);
QByteArray IdFileBytes(const IdCounters& counters);
bool WriteIdFile(const QString& path, const IdCounters& counters, QString* error = nullptr);

}  // namespace orvanta
