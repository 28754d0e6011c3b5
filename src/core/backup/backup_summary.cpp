#include "core/backup/backup_summary.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "core/platform/work_in_order.h"
#include "core/reports/data_file_repair.h"
#include "core/reports/data_file_walk.h"

namespace orvanta {

namespace {

const char* OccasionKey(BackupOccasion occasion) {
  switch (occasion) {
    case BackupOccasion::AtExit: return "exit";
    case BackupOccasion::OnDemand: return "now";
    case BackupOccasion::BeforeRestore: return "restore";
  }
  return "";
}

std::int32_t PackedDate(const CalendarDate& date) { return date.year * 10000 + date.month * 100 + date.day; }
CalendarDate UnpackedDate(std::int32_t packed) {
  if (packed <= 0) return CalendarDate{};
  return CalendarDate{packed / 10000, packed / 100 % 100, packed % 100};
}

// Counts the reports and keeps the newest date of occurrence, reading
// nothing but numbers.
struct SummaryVisitor {
  static constexpr bool kWantsTexts = false;
  static constexpr bool kWantsMarks = false;

  DataFileSummary& out;

  void count(std::int32_t n) { out.reports = n; }
  void report(std::int32_t, const datafile::RawReport& r) {
    const int year = r.numbers[datafile::YearLine(0)];
    const int month = r.numbers[datafile::MonthLine(0)];
    const int day = r.numbers[datafile::DayLine(0)];
    if (!IsValidDateText(year, month, day)) return;
    out.newest = std::max(out.newest, PackedDate(CalendarDate{WindowedYear(year), month, day}));
  }
  void marks(std::int32_t, const datafile::Marks&) {}
};

}  // namespace

QByteArray SummaryFileBytes(const BackupSummary& summary) {
  QByteArray bytes;
  bytes += "made=" + summary.made.toString(Qt::ISODate).toLatin1() + '\n';
  if (summary.occasion) bytes += QByteArray("occasion=") + OccasionKey(*summary.occasion) + '\n';
  bytes += "reports=" + QByteArray::number(summary.reports) + '\n';
  bytes += "newest=";
  if (summary.newest.year > 0) {
    bytes += QStringLiteral("%1-%2-%3")
                 .arg(summary.newest.year, 4, 10, QLatin1Char('0'))
                 .arg(summary.newest.month, 2, 10, QLatin1Char('0'))
                 .arg(summary.newest.day, 2, 10, QLatin1Char('0'))
                 .toLatin1();
  }
  bytes += '\n';
  for (const QString& path : summary.damaged) bytes += "damaged=" + path.toUtf8() + '\n';
  if (summary.recoverable) bytes += "recoverable=" + QByteArray::number(*summary.recoverable) + '\n';
  if (summary.logSeq > 0) {
    bytes += "log_seq=" + QByteArray::number(summary.logSeq) + '\n';
    bytes += "log_hash=" + summary.logHash.toLatin1() + '\n';
    bytes += "log_at=" + summary.logAt.toUtf8() + '\n';
  }
  return bytes;
}

std::optional<BackupSummary> ReadSummaryBytes(QByteArrayView bytes) {
  BackupSummary summary;
  summary.recoverable.reset();
  bool hasReports = false;
  for (const QByteArrayView line : QByteArray(bytes.data(), bytes.size()).split('\n')) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) continue;
    const QByteArrayView key = line.first(eq);
    const QByteArray value = line.sliced(eq + 1).trimmed().toByteArray();
    if (key == "made") {
      summary.made = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
    } else if (key == "occasion") {
      for (BackupOccasion o : {BackupOccasion::AtExit, BackupOccasion::OnDemand, BackupOccasion::BeforeRestore}) {
        if (value == OccasionKey(o)) summary.occasion = o;
      }
    } else if (key == "reports") {
      summary.reports = value.toLongLong(&hasReports);
    } else if (key == "newest") {
      const QDate date = QDate::fromString(QString::fromLatin1(value), Qt::ISODate);
      if (date.isValid()) summary.newest = CalendarDate{date.year(), date.month(), date.day()};
    } else if (key == "damaged") {
      summary.damaged << QString::fromUtf8(value);
    } else if (key == "recoverable") {
      bool ok = false;
      const qint64 n = value.toLongLong(&ok);
      if (ok && n >= 0) summary.recoverable = n;
    } else if (key == "log_seq") {
      summary.logSeq = value.toLongLong();
    } else if (key == "log_hash") {
      summary.logHash = QString::fromLatin1(value);
    } else if (key == "log_at") {
      summary.logAt = QString::fromUtf8(value);
    }
  }
  if (!hasReports) return std::nullopt;
  return summary;
}

DataFileSummary SummarizeDataFileBytes(QByteArrayView bytes) {
  DataFileSummary out;
  SummaryVisitor visitor{out};
  out.result = datafile::WalkDataFile(bytes, visitor);
  if (!out.result.ok()) {
    out.reports = 0;
    out.newest = 0;
    const DataFileRecovery found = RecoverDataFileBytes(bytes);
    out.recoverable = static_cast<std::int32_t>(found.reports.size());
    for (const ReportRecord& r : found.reports) {
      if (IsValidDateText(r.Years[0], r.Months[0], r.Days[0]))
        out.newest = std::max(out.newest, PackedDate(CalendarDate{WindowedYear(r.Years[0]), r.Months[0], r.Days[0]}));
    }
  }
  return out;
}

void AddToSummary(BackupSummary& summary, const DataFileSummary& file) {
  summary.reports += file.reports;
  if (summary.recoverable) *summary.recoverable += file.recoverable;
  if (file.newest > PackedDate(summary.newest)) summary.newest = UnpackedDate(file.newest);
}

bool IsDataFilePath(const QString& relativePath) {
  // "data/<n>.dat", n from 0 to kMaxFileNo without leading zeros; read by
  // hand, as several threads ask at once.
  const QStringView prefix = u"data/";
  const QStringView suffix = u".dat";
  if (!relativePath.startsWith(prefix) || !relativePath.endsWith(suffix)) return false;
  const QStringView digits =
      QStringView(relativePath).sliced(prefix.size(), relativePath.size() - prefix.size() - suffix.size());
  if (digits.isEmpty() || digits.size() > 4 || (digits.size() > 1 && digits.front() == u'0')) return false;
  int n = 0;
  for (QChar c : digits) {
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c.unicode() - u'0');
  }
  return n <= kMaxFileNo;
}

BackupSummary SummarizeFolder(const QString& folder) {
  BackupSummary summary;
  const QDir data(QDir(folder).filePath(QStringLiteral("data")));
  QStringList files;
  for (const QString& name : data.entryList(QDir::Files | QDir::Hidden)) {
    if (IsDataFilePath(QStringLiteral("data/") + name)) files << data.filePath(name);
  }
  MapInOrder<DataFileSummary>(
      static_cast<int>(files.size()), kAllCores,
      [&](int i) {
        QFile file(files.at(i));
        if (!file.open(QIODevice::ReadOnly)) return DataFileSummary{ReadResult{ReadError::CannotOpen, 0}, 0, 0};
        return SummarizeDataFileBytes(file.readAll());
      },
      [&](int i, DataFileSummary&& file) {
        AddToSummary(summary, file);
        if (!file.result.ok()) summary.damaged << QStringLiteral("data/") + QFileInfo(files.at(i)).fileName();
      });
  return summary;
}

BackupSummary GenerationSummary(const QString& folder) {
  QFile file(QDir(folder).filePath(kSummaryFileName));
  if (file.open(QIODevice::ReadOnly)) {
    if (std::optional<BackupSummary> summary = ReadSummaryBytes(file.read(1 << 20))) {
      if (summary->recoverable) return *summary;
      // Written before the reports in damaged files were counted: they are
      // counted now, from the generation's copies.
      summary->recoverable = 0;
      for (const QString& damaged : summary->damaged) {
        if (!IsDataFilePath(damaged)) continue;
        QFile copy(QDir(folder).filePath(damaged));
        if (copy.open(QIODevice::ReadOnly)) AddToSummary(*summary, SummarizeDataFileBytes(copy.readAll()));
      }
      return *summary;
    }
  }
  return SummarizeFolder(folder);
}

QString ReportCountText(const BackupSummary& summary) {
  const std::int64_t inDamaged = summary.recoverable.value_or(0);
  QString text = QStringLiteral("%L1件").arg(summary.reports + inDamaged);
  if (inDamaged > 0) {
    text += QStringLiteral("（うち要修復%L1件）").arg(inDamaged);
  } else if (!summary.damaged.isEmpty()) {
    text += QStringLiteral("（読めないファイル%1個）").arg(summary.damaged.size());
  }
  return text;
}

std::int64_t FolderBytes(const QString& folder) {
  std::int64_t bytes = 0;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    bytes += it.fileInfo().size();
  }
  return bytes;
}

}  // namespace orvanta
