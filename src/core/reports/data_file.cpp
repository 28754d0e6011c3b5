#include "core/reports/data_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file_walk.h"

namespace orvanta {
namespace {

using namespace datafile;

// Builds the table from the walk: each report as it is read whole, its marks
// once the body-site block reaches them.
struct TableBuilder {
  static constexpr bool kWantsTexts = true;
  static constexpr bool kWantsMarks = true;

  QByteArrayView bytes;
  std::vector<ReportRecord>& table;

  QString text(const RawReport& r, int line) const {
    const TextPlace& place = r.texts[static_cast<std::size_t>(line)];
    if (place.length == 0) return {};
    return cp932::Decode(bytes.sliced(place.offset, place.length));
  }

  void count(std::int32_t n) { table.reserve(static_cast<std::size_t>(n)); }

  void report(std::int32_t, const RawReport& r) {
    ReportRecord& rec = table.emplace_back();
    auto number = [&r](int line) { return r.numbers[static_cast<std::size_t>(line)]; };
    rec.ReportId = r.id();
    for (int i = 0; i < kTextSlots; ++i) {
      rec.Texts[i] = text(r, TextLine(i));
      rec.Choices[i] = number(ChoiceLine(i));
    }
    for (int i = 0; i < kNoteSlots; ++i) {
      rec.Notes[i] = text(r, NoteLine(i));
      rec.OtherTexts[i] = text(r, OtherTextLine(i));
    }
    for (int k = 0; k < kAnswerSlots; ++k) rec.AnswerIds[k] = number(AnswerIdLine(k));
    for (int i = 0; i < kDateSlots; ++i) {
      rec.Years[i] = number(YearLine(i));
      rec.Months[i] = number(MonthLine(i));
      rec.Days[i] = number(DayLine(i));
      rec.Hours[i] = number(HourLine(i));
      rec.Minutes[i] = number(MinuteLine(i));
    }
  }

  void marks(std::int32_t slot, const Marks& m) {
    std::array<std::int16_t, kSiteLines>& sites = table[static_cast<std::size_t>(slot)].Sites;
    for (int s = 0; s < kSiteLines; ++s) sites[static_cast<std::size_t>(s)] = m[static_cast<std::size_t>(s)];
  }
};

// Counts the reports and finds the highest report id and answer id, reading
// nothing else.
struct ReportCounter {
  static constexpr bool kWantsTexts = false;
  static constexpr bool kWantsMarks = false;

  DataFileCount& out;

  void count(std::int32_t n) { out.declared = n; }
  void report(std::int32_t, const RawReport& r) {
    ++out.reportsReadWhole;
    if (r.id() > out.highestReportId) out.highestReportId = r.id();
    // The answers stand on consecutive lines.
    const std::int32_t* answers = r.numbers.data() + AnswerIdLine(0);
    std::int32_t highest = out.highestAnswerId;
    for (int k = 0; k < kAnswerSlots; ++k) highest = std::max(highest, answers[k]);
    out.highestAnswerId = highest;
  }
  void marks(std::int32_t, const Marks&) {}
};

void WriteReport(ValueWriter& w, const ReportRecord& rec) {
  for (const LineField& line : kReportFields) {
    const std::size_t i = line.slot;
    switch (line.field) {
      case Field::ReportId: w.writeInt(rec.ReportId); break;
      case Field::Text: w.writeText(rec.Texts[i]); break;
      case Field::Choice: w.writeInt(rec.Choices[i]); break;
      case Field::Note: w.writeText(rec.Notes[i]); break;
      case Field::OtherText: w.writeText(rec.OtherTexts[i]); break;
      case Field::AnswerId: w.writeInt(rec.AnswerIds[i]); break;
      case Field::Year: w.writeInt(rec.Years[i]); break;
      case Field::Month: w.writeInt(rec.Months[i]); break;
      case Field::Day: w.writeInt(rec.Days[i]); break;
      case Field::Hour: w.writeInt(rec.Hours[i]); break;
      case Field::Minute: w.writeInt(rec.Minutes[i]); break;
    }
  }
}

}  // namespace

ReadResult ReadDataFileBytes(QByteArrayView bytes, std::vector<ReportRecord>& table) {
  table.clear();
  TableBuilder builder{bytes, table};
  const ReadResult r = WalkDataFile(bytes, builder);
  // A failure in the body-site block leaves the reports read whole before it.
  return r;
}

DataFileCount CountDataFileBytes(QByteArrayView bytes) {
  DataFileCount out;
  ReportCounter counter{out};
  out.result = WalkDataFile(bytes, counter);
  return out;
}

DataFileCount CountDataFile(const QString& path, QByteArray& buffer) {
  DataFileCount out;
  out.result = ReadResult{ReadError::CannotOpen, 0};
  // Read into the buffer of the file before: no fresh memory per file.
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return out;
  const qint64 size = file.size();
  if (size < 0 || size > std::numeric_limits<qsizetype>::max() / 2) return out;
  buffer.resize(static_cast<qsizetype>(size));
  const qint64 got = size == 0 ? 0 : file.read(buffer.data(), size);
  if (got < 0 || file.error() != QFileDevice::NoError) return out;
  buffer.resize(static_cast<qsizetype>(got));
  // A file that grew meanwhile is read whole all the same.
  if (!file.atEnd()) buffer += file.readAll();
  return CountDataFileBytes(buffer);
}

ReadResult ReadDataFile(const QString& path, std::vector<ReportRecord>& table) {
  QByteArray bytes;
  if (!ReadWholeFile(path, bytes)) {
    table.clear();
    return ReadResult{ReadError::CannotOpen, 0};
  }
  return ReadDataFileBytes(bytes, table);
}

QByteArray DataFileBytes(const std::vector<ReportRecord>& table) {
  ValueWriter w;
  // Most lines are short numbers; texts add a little per report.
  w.reserve(static_cast<qsizetype>(8 + table.size() * (datafile::kReportLines * 8 + datafile::kSiteLines * 5 + 256)));
  w.writeInt(static_cast<std::int64_t>(table.size()));
  for (const ReportRecord& rec : table) WriteReport(w, rec);
  for (const ReportRecord& rec : table) {
    for (std::int16_t site : rec.Sites) w.writeInt(site);
  }
  return w.bytes();
}

bool WriteDataFile(const QString& path, const std::vector<ReportRecord>& table, QString* error) {
  QByteArray bytes;
  return CheckedDataFileBytes(path, table, &bytes, error) && WriteDataFileBytes(path, bytes, error);
}

bool WriteDataFileBytes(const QString& path, const QByteArray& bytes, QString* error) {
  return SaveFileAtomically(path, bytes, FileAccess::OwnerOnly, error);
}

bool CheckedDataFileBytes(const QString& path, const std::vector<ReportRecord>& table, QByteArray* bytes,
                          QString* error) {
  if (table.size() > static_cast<std::size_t>(datafile::kMaxReadableCount)) {
    // Such a file could never be read back; keep the old one instead.
    if (error) {
      *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(1つのデータファイルに入る報告は%2件までです)")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(datafile::kMaxReadableCount);
    }
    return false;
  }
  for (const ReportRecord& rec : table) {
    for (std::int16_t mark : rec.Sites) {
      if (datafile::IsMark(mark)) continue;
      // A mark other than 0 or 1 would make the whole file unreadable.
      if (error) {
        *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(部位の記録に0と1以外の値があります)")
                     .arg(QDir::toNativeSeparators(path));
      }
      return false;
    }
  }
  *bytes = DataFileBytes(table);
  return true;
}

ReadResult ReadIdFileBytes(QByteArrayView bytes, IdCounters& counters) {
  ValueReader r(bytes);
  std::int32_t lastCodeId = 0;
  if (!r.readInt32(lastCodeId)) return r.result();
  counters.LastCodeId = lastCodeId;

  // The other three are optional: the first that cannot be read, and every
  // one after it, keeps the value in memory.
  std::int32_t lastReportId = 0;
  if (!r.readInt32(lastReportId)) return ReadResult{};
  counters.LastReportId = lastReportId;
  // The newest file number indexes the per-file counts (files 0 to 1000);
  // a number outside them is treated as unreadable.
  std::int32_t newestFileNo = 0;
  if (!r.readBounded(newestFileNo, 0, kMaxFileNo)) return ReadResult{};
  counters.NewestFileNo = static_cast<std::int16_t>(newestFileNo);
  std::int32_t totalReports = 0;
  if (!r.readInt32(totalReports)) return ReadResult{};
  counters.TotalReports = totalReports;
  return ReadResult{};
}

ReadResult ReadIdFile(const QString& path, IdCounters& counters) {
  QByteArray bytes;
  if (!ReadWholeFile(path, bytes)) return ReadResult{ReadError::CannotOpen, 0};
  return ReadIdFileBytes(bytes, counters);
}

QByteArray IdFileBytes(const IdCounters& counters) {
  ValueWriter w;
  w.writeInt(counters.LastCodeId);
  w.writeInt(counters.LastReportId);
  w.writeInt(counters.NewestFileNo);
  w.writeInt(counters.TotalReports);
  return w.bytes();
}

bool WriteIdFile(const QString& path, const IdCounters& counters, QString* error) {
  return SaveFileAtomically(path, IdFileBytes(counters), FileAccess::OwnerOnly, error);
}

}  // namespace orvanta
