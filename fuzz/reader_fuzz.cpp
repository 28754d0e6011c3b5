// Feeds arbitrary bytes to every reader of the data folder's files: a data
// file, ttid.dat and set.dat. Besides crashes and memory errors it checks
// that what a reader accepts is written back in a form that reads the same.

#include <QByteArrayView>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/reports/data_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void FuzzDataFile(QByteArrayView bytes) {
  using namespace orvanta;
  std::vector<ReportRecord> table;
  const ReadResult r = ReadDataFileBytes(bytes, table);
  Check(table.size() <= static_cast<std::size_t>(kFileCapacity + 1));
  if (!r.ok()) {
    Check(r.line >= 1);
    return;
  }
  // Once written, a table reads back as itself and writes the same bytes.
  const QByteArray written = DataFileBytes(table);
  std::vector<ReportRecord> again;
  Check(ReadDataFileBytes(written, again).ok());
  Check(again.size() == table.size());
  Check(DataFileBytes(again) == written);
}

// The reader's quick path for number lines must agree with the general rule
// on every line: same value, same kind of error.
void FuzzNumberLines(QByteArrayView bytes) {
  using namespace orvanta;
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
    ValueReader reader(bytes.sliced(pos));
    std::int32_t value = 0;
    const bool read = reader.readInt32(value);
    if (!parsed) {
      Check(!read && reader.result().error == ReadError::WrongKind && reader.result().line == 1);
    } else if (expected < INT32_MIN || expected > INT32_MAX) {
      Check(!read && reader.result().error == ReadError::OutOfRange && reader.result().line == 1);
    } else {
      Check(read && value == expected && reader.nextLine() == 2);
      Check(reader.atEnd() == (next == n));
    }
    pos = next;
  }
}

void FuzzIdFile(QByteArrayView bytes) {
  using namespace orvanta;
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
  using namespace orvanta;
  CodeLists lists;
  const ReadResult r = ReadSettingsBytes(bytes, lists);
  for (const CodeList& list : lists) Check(list.count() <= kCodeListCapacity);
  if (!r.ok()) return;
  const QByteArray written = SettingsFileBytes(lists);
  CodeLists again;
  Check(ReadSettingsBytes(written, again).ok());
  Check(SettingsFileBytes(again) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  FuzzDataFile(bytes);
  FuzzNumberLines(bytes);
  FuzzIdFile(bytes);
  FuzzSettings(bytes);
  return 0;
}
