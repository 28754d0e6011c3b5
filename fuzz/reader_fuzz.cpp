// Feeds arbitrary bytes to every reader of the data folder's files: a data
// file, ttid.dat, set.dat and passw.dat. Besides crashes and memory errors it
// checks that:
//   - what a reader accepts is written back in a form that reads the same
//     records (read, write, read gives equal records and the same bytes);
//   - the full data-file reader, the start-up count, the analysis scan and
//     the search agree on every file: read or not, the same error and line,
//     the same count, cut short or not;
//   - the quick paths for number lines give what the general rule gives.
//
// An input that starts with "LG" is also grown into a data file as large as
// a full one (up to 1001 reports): the next two bytes choose the number of
// reports, the rest are edits to the file's bytes. So the readers meet
// inputs of a full data file's size without a corpus of megabyte files.

#include <QByteArrayView>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/app/password_file.h"
#include "core/codelists/code_lists.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_walk.h"
#include "core/reports/report_search.h"

namespace {

using namespace orvanta;

// Stops with the line of the check that failed.
#define Check(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      std::fprintf(stderr, "reader_fuzz.cpp:%d: %s\n", __LINE__, #condition); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

// Every reader of data files on the same bytes.
void FuzzDataFile(QByteArrayView bytes) {
  std::vector<ReportRecord> table;
  const ReadResult r = ReadDataFileBytes(bytes, table);
  Check(table.size() <= static_cast<std::size_t>(datafile::kMaxReadableCount));

  const DataFileCount count = CountDataFileBytes(bytes);
  Check(count.result.error == r.error && count.result.line == r.line && count.result.cutShort == r.cutShort);
  ScannedFile scanned;
  const AnalysisPeriod always{{100, 1, 1}, {9999, 12, 31}};
  Check(scanned.loadBytes(QByteArray(bytes.data(), bytes.size()), DaysOf(always)) == r.ok());
  SearchOutcome found;
  Check(SearchDataFileBytes(bytes, SearchField::ReporterName, QStringLiteral("a"), 0, found) == r.ok());

  if (!r.ok()) {
    Check(r.line >= 1 || r.error == ReadError::CannotOpen);
    Check(count.reports() == 0);
    return;
  }
  Check(count.reports() == static_cast<std::int32_t>(table.size()));
  Check(scanned.reportCount() == static_cast<int>(table.size()));
  std::int32_t highest = 0;
  for (const ReportRecord& rec : table) {
    highest = std::max(highest, rec.ReportId);
    for (std::int16_t mark : rec.Sites) Check(mark == 0 || mark == 1);
  }
  Check(count.highestReportId == highest);

  // Once written, a table reads back as the same records, whole, and writes
  // the same bytes again.
  const QByteArray written = DataFileBytes(table);
  std::vector<ReportRecord> again;
  const ReadResult back = ReadDataFileBytes(written, again);
  Check(back.ok() && !back.cutShort);
  Check(again == table);
  Check(DataFileBytes(again) == written);
}

// A quick path for number lines must agree with the general rule on every
// line: same value, same kind of error.
template <typename ReadLine>
void CheckNumberLines(QByteArrayView bytes, ReadLine readLine) {
  qsizetype pos = 0;
  const qsizetype n = bytes.size();
  while (pos < n) {
    qsizetype end = pos;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    qsizetype next = end;
    if (next < n && bytes[next] == '\r' && next + 1 < n && bytes[next + 1] == '\n') ++next;
    if (next < n) ++next;
    std::int64_t expected = 0;
    const bool parsed = ParseLenientNumber(bytes.sliced(pos, end - pos), expected);
    std::int32_t value = 0;
    ReadError error = ReadError::None;
    bool atEnd = false;
    const bool read = readLine(bytes.sliced(pos), value, error, atEnd);
    if (!parsed) {
      Check(!read && error == ReadError::WrongKind);
    } else if (expected < INT32_MIN || expected > INT32_MAX) {
      Check(!read && error == ReadError::OutOfRange);
    } else {
      Check(read && value == expected);
      Check(atEnd == (next == n));
    }
    pos = next;
  }
}

void FuzzNumberLines(QByteArrayView bytes) {
  // The value-file reader (ttid.dat, set.dat).
  CheckNumberLines(bytes, [](QByteArrayView from, std::int32_t& value, ReadError& error, bool& atEnd) {
    ValueReader reader(from);
    const bool ok = reader.readInt32(value);
    error = reader.result().error;
    if (!ok) Check(reader.result().line == 1);
    if (ok) Check(reader.nextLine() == 2);
    atEnd = reader.atEnd();
    return ok;
  });
  // The data-file walk.
  CheckNumberLines(bytes, [](QByteArrayView from, std::int32_t& value, ReadError& error, bool& atEnd) {
    datafile::LineCursor cursor(from.data(), from.size());
    const bool ok = cursor.int32(value);
    error = cursor.failure().error;
    Check(cursor.linesRead() == 1);
    atEnd = cursor.atEnd();
    return ok;
  });
}

void FuzzIdFile(QByteArrayView bytes) {
  IdCounters counters{1, 2, 3, 4};
  if (!ReadIdFileBytes(bytes, counters).ok()) {
    Check(counters == (IdCounters{1, 2, 3, 4}));
    return;
  }
  Check(counters.NewestFileNo >= 0 && counters.NewestFileNo <= kMaxFileNo);
  IdCounters back;
  Check(ReadIdFileBytes(IdFileBytes(counters), back).ok());
  Check(back == counters);
}

void FuzzSettings(QByteArrayView bytes) {
  CodeLists lists;
  const ReadResult r = ReadSettingsBytes(bytes, lists);
  for (const CodeList& list : lists) Check(list.count() <= kCodeListCapacity);
  if (!r.ok()) return;
  const QByteArray written = SettingsFileBytes(lists);
  CodeLists again;
  Check(ReadSettingsBytes(written, again).ok());
  Check(again == lists);
  Check(SettingsFileBytes(again) == written);
}

void FuzzPassword(QByteArrayView bytes) {
  QString password = QStringLiteral("before");
  if (!ReadPasswordBytes(bytes, password).ok()) {
    Check(password == QStringLiteral("before"));
    return;
  }
  Check(!password.contains(QLatin1Char('\r')) && !password.contains(QLatin1Char('\n')));
  // What was read is written back as read, or refused whole (never changed).
  QByteArray written;
  if (!PasswordFileBytes(password, written)) return;
  QString back;
  Check(ReadPasswordBytes(written, back).ok());
  Check(back == password);
}

// A full-size data file: n copies of one report, then the edits the input
// asks for (3 bytes of position, 1 byte of value each; a value 0x00 removes
// the byte, 0x01 inserts a line end, any other replaces it).
QByteArray GrowDataFile(QByteArrayView input) {
  if (input.size() < 2) return {};
  const int n = (static_cast<unsigned char>(input[0]) | static_cast<unsigned char>(input[1]) << 8) %
                (datafile::kMaxReadableCount + 1);
  ReportRecord rec;
  rec.Texts[kReporterName] = QStringLiteral("山田　花子");
  rec.Texts[kRecordNumber] = QStringLiteral("K-1024");
  rec.Notes[1] = QStringLiteral("採血後∨∧リキャップ時に受傷");
  rec.Years = {2023, 2023, 0};
  rec.Months = {4, 5, 0};
  rec.Days = {9, 12, 0};
  std::vector<ReportRecord> table(static_cast<std::size_t>(n), rec);
  for (int i = 0; i < n; ++i) {
    table[static_cast<std::size_t>(i)].ReportId = i + 1;
    table[static_cast<std::size_t>(i)].Sites[static_cast<std::size_t>(i % kSiteCount)] = 1;
  }
  QByteArray bytes = DataFileBytes(table);
  for (qsizetype at = 2; at + 4 <= input.size() && !bytes.isEmpty(); at += 4) {
    const auto b = [&](qsizetype k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(input[at + k])); };
    const qsizetype pos =
        static_cast<qsizetype>((b(0) | b(1) << 8 | b(2) << 16) % static_cast<std::uint32_t>(bytes.size()));
    const char value = static_cast<char>(b(3));
    if (value == 0) {
      bytes.remove(pos, 1);
    } else if (value == 1) {
      bytes.insert(pos, "\r\n");
    } else {
      bytes[pos] = value;
    }
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  FuzzDataFile(bytes);
  FuzzNumberLines(bytes);
  FuzzIdFile(bytes);
  FuzzSettings(bytes);
  FuzzPassword(bytes);
  if (size >= 2 && data[0] == 'L' && data[1] == 'G') FuzzDataFile(GrowDataFile(bytes.sliced(2)));
  return 0;
}
