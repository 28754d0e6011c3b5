#include "core/backup/backup_listing.h"

#include <QDir>
#include <QFileInfo>

#include "core/backup/generations.h"
#include "core/backup/make_generation.h"
#include "core/platform/drive_paths.h"

namespace orvanta {

QString BackupEntry::label() const { return isGeneration ? GenerationLabel(made) : QDir::toNativeSeparators(folder); }

std::vector<BackupEntry> ListBackups(const DrivePaths& paths) {
  std::vector<BackupEntry> entries;
  for (const Generation& g : ListGenerations(paths)) {
    BackupEntry entry;
    entry.folder = g.path;
    entry.isGeneration = true;
    entry.made = g.made;
    entry.summary = GenerationSummary(g.path);
    entry.bytes = FolderBytes(g.path);
    entries.push_back(entry);
  }
  const QString backup = paths.BackupFolderPath();
  const QFileInfo counters(QDir(backup).filePath(QFileInfo(paths.IdFilePath()).fileName()));
  if (counters.isFile()) {
    BackupEntry entry;
    entry.folder = backup;
    entry.made = counters.lastModified();
    entry.summary = SummarizeFolder(backup);
    entry.bytes = FolderBytes(backup);
    entries.push_back(entry);
  }
  return entries;
}

QString OccasionText(const BackupEntry& entry) {
  if (!entry.isGeneration) return QStringLiteral("バックアップフォルダ");
  if (!entry.summary.occasion) return {};
  switch (*entry.summary.occasion) {
    case BackupOccasion::AtExit: return QStringLiteral("終了時");
    case BackupOccasion::OnDemand: return QStringLiteral("今すぐバックアップ");
    case BackupOccasion::BeforeRestore: return QStringLiteral("復元の前");
  }
  return {};
}

QString SizeText(std::int64_t bytes) {
  const double kb = static_cast<double>(bytes) / 1024.0;
  if (kb < 1024.0) return QStringLiteral("%1 KB").arg(kb, 0, 'f', 1);
  const double mb = kb / 1024.0;
  if (mb < 1024.0) return QStringLiteral("%1 MB").arg(mb, 0, 'f', 1);
  return QStringLiteral("%1 GB").arg(mb / 1024.0, 0, 'f', 2);
}

QString ReportDateText(const CalendarDate& date) {
  if (date.year <= 0) return {};
  return QStringLiteral("%1/%2/%3")
      .arg(date.year, 4, 10, QLatin1Char('0'))
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.day, 2, 10, QLatin1Char('0'));
}

QString MissingDatabaseText(const DrivePaths& paths) {
  const QString name = QFileInfo(paths.DatabasePath()).fileName();
  QString holder;
  for (const Generation& g : ListGenerations(paths)) {
    if (QFileInfo(QDir(g.path).filePath(name)).isFile()) {
      holder = QStringLiteral("バックアップの世代「%1」").arg(GenerationLabel(g.made));
      break;
    }
  }
  if (holder.isEmpty() && QFileInfo(QDir(paths.BackupFolderPath()).filePath(name)).isFile())
    holder = QStringLiteral("バックアップフォルダ「%1」").arg(QDir::toNativeSeparators(paths.BackupFolderPath()));
  if (holder.isEmpty()) return {};
  return QStringLiteral(
             "データベース「%1」が見つからなかったため、新しい空のデータベースを作成しました。\n"
             "経過観察、分母などの記録は表示されません。それまでの記録は%2に残っています。"
             "ファイル → バックアップから復元 で戻すことができます。")
      .arg(QDir::toNativeSeparators(paths.DatabasePath()), holder);
}

}  // namespace orvanta
