#pragma once
// The numbered data files (0.dat, 1.dat, ...) and the counter file ttid.dat.

#include <QByteArray>
#include <QString>
#include <vector>

#include "core/platform/value_file.h"
#include "core/reports/report_record.h"

namespace orvanta {

// Reads a data file into table (emptied first), exactly or not at all (the
// layout and its rules are in data_file_layout.h and data_file_walk.h). An
// error (missing file, a value of the wrong kind, the file ending before its
// reports, a count above 1001 or below 0, a mark other than 0 or 1, lines left
// after the body-site block, a count that takes in more reports than the file
// holds) is returned, and the table then holds the reports read whole before
// it. A file that ends inside its body-site block reads, its marks not read
// stay 0, and the result says cutShort.
ReadResult ReadDataFile(const QString& path, std::vector<ReportRecord>& table);
ReadResult ReadDataFileBytes(QByteArrayView bytes, std::vector<ReportRecord>& table);

// What a data file holds, found without building its reports: the same
// checks as ReadDataFile and the same verdict, much faster. The start-up
// count uses it.
struct DataFileCount {
  ReadResult result;
  std::int32_t declared = 0;          // the count line (0 when unreadable)
  std::int32_t reportsReadWhole = 0;  // reports read whole, even when a later line fails
  std::int32_t highestReportId = 0;   // of those reports; 0 when none
  std::int32_t highestAnswerId = 0;   // the highest code id they answer with; 0 when none
  // The reports of the file: the count when it reads, else 0.
  std::int32_t reports() const { return result.ok() ? declared : 0; }
};
DataFileCount CountDataFileBytes(QByteArrayView bytes);
// buffer holds the file's bytes afterwards; reused from file to file.
DataFileCount CountDataFile(const QString& path, QByteArray& buffer);

// The bytes of a data file holding the reports of table.
QByteArray DataFileBytes(const std::vector<ReportRecord>& table);
// Saves the file whole, readable by its owner only. On failure (with the
// reason in Japanese in error) the old file stays as it was; a table that
// could not be read back (more than 1001 reports, a mark other than 0 or 1)
// is not written.
bool WriteDataFile(const QString& path, const std::vector<ReportRecord>& table, QString* error = nullptr);
// WriteDataFile in two steps: the bytes of a table that can be read back
// (false, with the reason naming path, otherwise), then those bytes saved.
bool CheckedDataFileBytes(const QString& path, const std::vector<ReportRecord>& table, QByteArray* bytes,
                          QString* error = nullptr);
bool WriteDataFileBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The four counters of ttid.dat. LastCodeId is the highest code-list id
// handed out; start-up moves it on to at least the highest id of set.dat and
// of every report's answers, so an id is never handed out twice.
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
