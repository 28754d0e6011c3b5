#include "core/reports/data_file.h"

#include <QDir>

#include "core/platform/safe_save.h"

namespace orvanta {
namespace {

constexpr int kLinesPerReport = 71;
// The largest count a data file may hold and still be read: the table has
// slots 0 to 1000.
constexpr std::int32_t kMaxReadableCount = kFileCapacity + 1;

// Reads the 71 values of one report in file order.
bool ReadReport(ValueReader& r, ReportRecord& rec) {
  if (!r.readInt32(rec.ReportId)) return false;
  for (int i = 0; i < 11; ++i) {
    if (!r.readText(rec.Texts[i]) || !r.readInt32(rec.Choices[i])) return false;
  }
  for (int i = 0; i < 6; ++i) {
    if (!r.readText(rec.Notes[i]) || !r.readText(rec.OtherTexts[i])) return false;
  }
  for (std::int32_t& id : rec.AnswerIds) {
    if (!r.readInt32(id)) return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (!r.readInt32(rec.Years[i]) || !r.readInt32(rec.Months[i]) || !r.readInt32(rec.Days[i]) ||
        !r.readInt32(rec.Hours[i]) || !r.readInt32(rec.Minutes[i]))
      return false;
  }
  return true;
}

void WriteReport(ValueWriter& w, const ReportRecord& rec) {
  w.writeInt(rec.ReportId);
  for (int i = 0; i < 11; ++i) {
    w.writeText(rec.Texts[i]);
    w.writeInt(rec.Choices[i]);
  }
  for (int i = 0; i < 6; ++i) {
    w.writeText(rec.Notes[i]);
    w.writeText(rec.OtherTexts[i]);
  }
  for (std::int32_t id : rec.AnswerIds) w.writeInt(id);
  for (int i = 0; i < 3; ++i) {
    w.writeInt(rec.Years[i]);
    w.writeInt(rec.Months[i]);
    w.writeInt(rec.Days[i]);
    w.writeInt(rec.Hours[i]);
    w.writeInt(rec.Minutes[i]);
  }
}

}  // namespace

ReadResult ReadDataFileBytes(QByteArrayView bytes, std::vector<ReportRecord>& table) {
  table.clear();
  ValueReader r(bytes);
  std::int32_t count = 0;
  if (!r.readBounded(count, 0, kMaxReadableCount)) return r.result();
  table.reserve(static_cast<std::size_t>(count));

  // The count and the reports must read whole; the table keeps the reports
  // read completely before a failure.
  for (std::int32_t i = 0; i < count; ++i) {
    table.emplace_back();
    if (!ReadReport(r, table.back())) {
      table.pop_back();
      return r.result();
    }
  }

  // The body-site block comes last so that a file without it still reads: a
  // failure here ends the reading, and the marks not read stay 0.
  for (ReportRecord& rec : table) {
    for (std::int16_t& site : rec.Sites) {
      std::int16_t mark = 0;
      if (!r.readInt16(mark)) return ReadResult{};
      site = mark;
    }
  }
  return ReadResult{};
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
  w.reserve(static_cast<qsizetype>(8 + table.size() * (kLinesPerReport * 8 + kSiteSlots * 5 + 256)));
  w.writeInt(static_cast<std::int64_t>(table.size()));
  for (const ReportRecord& rec : table) WriteReport(w, rec);
  for (const ReportRecord& rec : table) {
    for (std::int16_t site : rec.Sites) w.writeInt(site);
  }
  return w.bytes();
}

bool WriteDataFile(const QString& path, const std::vector<ReportRecord>& table, QString* error) {
  if (table.size() > static_cast<std::size_t>(kMaxReadableCount)) {
    // Such a file could never be read back; keep the old one instead.
    if (error) {
      *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(1つのデータファイルに入る報告は%2件までです)")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(kMaxReadableCount);
    }
    return false;
  }
  return SaveFileAtomically(path, DataFileBytes(table), FileAccess::OwnerOnly, error);
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
