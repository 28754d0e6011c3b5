#include "core/reports/report_search.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <limits>

#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/value_file.h"
#include "core/platform/work_in_order.h"
#include "core/reports/report_record.h"

namespace orvanta {
namespace {

// The layout of one report in a data file: 71 lines, the ReportId, then
// Texts(i) and Choices(i) for i = 0 to 10, 12 note lines, 36 numbers.
constexpr int kTextChoicePairs = 11;
constexpr int kNoteLines = 12;
constexpr int kNumbersAfterNotes = 36;
constexpr std::int64_t kMaxReadableCount = kFileCapacity + 1;

// Splits bytes into lines the way the data files are read: CR LF, a lone LF
// and a lone CR each end one line; the last line may lack its end.
class LineCursor {
 public:
  explicit LineCursor(QByteArrayView bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  bool next(QByteArrayView& line) {
    if (p_ >= end_) return false;
    const char* e = p_;
    while (e < end_ && *e != '\r' && *e != '\n') ++e;
    line = QByteArrayView(p_, e - p_);
    if (e < end_) {
      if (*e == '\r' && e + 1 < end_ && e[1] == '\n') ++e;
      ++e;
    }
    p_ = e;
    return true;
  }

 private:
  const char* p_;
  const char* end_;
};

bool IsInt32Line(QByteArrayView line) {
  std::int64_t v = 0;
  return ParseLenientNumber(line, v) && v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

bool IsAscii(QByteArrayView bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// What the search looks for, prepared once.
struct Needle {
  QString text;
  QByteArray ascii;  // the text's bytes when it is plain ASCII
  bool isAscii = false;
};

// Whether the stored field (its raw line) holds the text. A line of plain
// ASCII reads as exactly its bytes, so it is compared without decoding;
// any other line is decoded as the report window would show it.
bool FieldHolds(QByteArrayView raw, const Needle& needle) {
  if (raw.size() < needle.ascii.size() || raw.isEmpty()) return false;
  if (IsAscii(raw)) {
    if (!needle.isAscii) return false;
    return std::search(raw.begin(), raw.end(), needle.ascii.begin(), needle.ascii.end()) != raw.end();
  }
  return cp932::Decode(raw).contains(needle.text, Qt::CaseSensitive);
}

QString TextOf(QByteArrayView raw) { return raw.isEmpty() ? QString() : cp932::Decode(raw); }

bool SearchBytes(QByteArrayView bytes, SearchField field, const Needle& needle, int fileNo, SearchOutcome& out) {
  LineCursor lines(bytes);
  QByteArrayView line;
  std::int64_t count = 0;
  if (!lines.next(line) || !ParseLenientNumber(line, count) || count < 0 || count > kMaxReadableCount)
    return false;

  // Hits of this file count only when the whole file reads.
  std::vector<SearchHit> hits;
  QStringList hitLines;
  const int searched = field == SearchField::RecordNumber ? kRecordNumber : kReporterName;
  for (std::int32_t slot = 0; slot < count; ++slot) {
    if (!lines.next(line) || !IsInt32Line(line)) return false;  // ReportId
    QByteArrayView recordNumber, reporterName;
    for (int i = 0; i < kTextChoicePairs; ++i) {
      if (!lines.next(line)) return false;
      if (i == kRecordNumber) recordNumber = line;
      else if (i == kReporterName) reporterName = line;
      if (!lines.next(line) || !IsInt32Line(line)) return false;
    }
    for (int i = 0; i < kNoteLines; ++i) {
      if (!lines.next(line)) return false;
    }
    for (int i = 0; i < kNumbersAfterNotes; ++i) {
      if (!lines.next(line) || !IsInt32Line(line)) return false;
    }
    if (FieldHolds(searched == kRecordNumber ? recordNumber : reporterName, needle)) {
      hits.push_back(SearchHit{fileNo, slot});
      hitLines.append(SearchHitLine(TextOf(recordNumber), TextOf(reporterName)));
    }
  }
  // The body-site block after the reports never makes a file unreadable.
  out.hits.insert(out.hits.end(), hits.begin(), hits.end());
  out.lines.append(hitLines);
  return true;
}

Needle MakeNeedle(const QString& text) {
  Needle needle;
  needle.text = text;
  needle.isAscii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
  if (needle.isAscii) needle.ascii = text.toLatin1();
  return needle;
}

}  // namespace

QString SearchHitLine(const QString& recordNumber, const QString& reporterName) {
  return recordNumber + QStringLiteral(" ( 報告者氏名; ") + reporterName + QStringLiteral(" ) ");
}

bool SearchDataFileBytes(QByteArrayView bytes, SearchField field, const QString& text, int fileNo,
                         SearchOutcome& out) {
  return SearchBytes(bytes, field, MakeNeedle(text), fileNo, out);
}

SearchOutcome SearchDataFiles(const std::function<QString(int)>& filePath, int newestFileNo, SearchField field,
                              const QString& text, int threads) {
  SearchOutcome out;
  if (text.isEmpty()) return out;
  const Needle needle = MakeNeedle(text);
  std::vector<QString> paths;
  for (int n = 0; n <= newestFileNo; ++n) paths.push_back(filePath(n));
  // Each file is searched on the thread that read it; its hits are appended
  // in file order.
  struct FileHits {
    bool read = false;
    SearchOutcome found;
  };
  MapInOrder<FileHits>(
      static_cast<int>(paths.size()), threads,
      [&](int n) {
        FileHits f;
        QByteArray bytes;
        f.read = ReadWholeFile(paths[static_cast<std::size_t>(n)], bytes) && SearchBytes(bytes, field, needle, n, f.found);
        return f;
      },
      [&](int, FileHits&& f) {
        if (!f.read) {
          ++out.filesSkipped;
          return;
        }
        out.hits.insert(out.hits.end(), f.found.hits.begin(), f.found.hits.end());
        out.lines.append(f.found.lines);
      });
  return out;
}

SearchOutcome SearchReports(const DrivePaths& paths, int newestFileNo, SearchField field, const QString& text,
                            int threads) {
  return SearchDataFiles([&paths](int n) { return paths.DataFilePath(n); }, std::clamp(newestFileNo, 0, kMaxFileNo),
                         field, text, threads);
}

}  // namespace orvanta
