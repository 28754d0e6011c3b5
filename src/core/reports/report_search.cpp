#include "core/reports/report_search.h"

#include <QByteArray>
#include <algorithm>

#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/value_file.h"
#include "core/platform/work_in_order.h"
#include "core/reports/data_file_walk.h"
#include "core/reports/report_record.h"

namespace orvanta {
namespace {

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

// The search's view of the walk over a data file: each report's two name
// fields, checked as the report is read.
struct HitCollector {
  static constexpr bool kWantsTexts = true;
  static constexpr bool kWantsMarks = false;

  QByteArrayView bytes;
  int searchedLine;
  const Needle& needle;
  int fileNo;
  std::vector<SearchHit> hits;
  QStringList lines;

  void count(std::int32_t) {}
  void report(std::int32_t slot, const datafile::RawReport& r) {
    auto field = [&](int line) {
      const datafile::TextPlace& t = r.texts[static_cast<std::size_t>(line)];
      return bytes.sliced(t.offset, t.length);
    };
    if (!FieldHolds(field(searchedLine), needle)) return;
    hits.push_back(SearchHit{fileNo, slot});
    lines.append(SearchHitLine(TextOf(field(datafile::TextLine(kRecordNumber))),
                               TextOf(field(datafile::TextLine(kReporterName)))));
  }
  void marks(std::int32_t, const datafile::Marks&) {}
};

bool SearchBytes(QByteArrayView bytes, SearchField field, const Needle& needle, int fileNo, SearchOutcome& out) {
  const int searched = field == SearchField::RecordNumber ? kRecordNumber : kReporterName;
  HitCollector collector{bytes, datafile::TextLine(searched), needle, fileNo, {}, {}};
  // Hits of this file count only when the whole file reads, as the report
  // window would load it.
  if (!datafile::WalkDataFile(bytes, collector).ok()) return false;
  out.hits.insert(out.hits.end(), collector.hits.begin(), collector.hits.end());
  out.lines.append(collector.lines);
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

bool SearchDataFileBytes(QByteArrayView bytes, SearchField field, const QString& text, int fileNo, SearchOutcome& out) {
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
        f.read =
            ReadWholeFile(paths[static_cast<std::size_t>(n)], bytes) && SearchBytes(bytes, field, needle, n, f.found);
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
