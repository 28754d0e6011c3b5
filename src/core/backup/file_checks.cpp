#include "core/backup/file_checks.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "core/app/password_file.h"
#include "core/codelists/code_lists.h"
#include "core/platform/drive_paths.h"
#include "core/reports/data_file.h"

namespace orvanta {

namespace {

// A folder that is a link (the data folder kept on another disk, say) is
// followed like a linked file: what it holds is listed under its name. A
// folder already met on the way (a link back up, a loop) is listed once.
void ListInto(const QString& folder, const QString& prefix, const QStringList& leftOut, FolderContents& out,
              QSet<QString>& visited) {
  if (visited.contains(QFileInfo(folder).canonicalFilePath())) return;
  visited.insert(QFileInfo(folder).canonicalFilePath());
  const QDir dir(folder);
  const QFileInfoList entries =
      dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
  for (const QFileInfo& entry : entries) {
    if (prefix.isEmpty() && leftOut.contains(entry.fileName())) continue;
    const QString relative = prefix + entry.fileName();
    if (entry.isDir()) {
      if (visited.contains(entry.canonicalFilePath())) continue;  // a loop: met already
      out.folders << relative;
      ListInto(entry.filePath(), relative + QLatin1Char('/'), leftOut, out, visited);
    } else {
      out.files << relative;
    }
  }
}

}  // namespace

FileKind KindOfFile(const QString& relativePath, const DrivePaths& paths) {
  if (IsDataFilePath(relativePath)) return FileKind::DataFile;
  const QString name = QFileInfo(relativePath).fileName();
  if (name != relativePath) return FileKind::Other;
  if (name == QFileInfo(paths.SettingsFilePath()).fileName()) return FileKind::Settings;
  if (name == QFileInfo(paths.IdFilePath()).fileName()) return FileKind::Counters;
  if (name == QFileInfo(paths.PasswordFilePath()).fileName()) return FileKind::Password;
  if (name == QFileInfo(paths.DatabasePath()).fileName()) return FileKind::Database;
  return FileKind::Other;
}

bool ReadsAsItsKind(FileKind kind, QByteArrayView bytes, DataFileSummary* data) {
  switch (kind) {
    case FileKind::DataFile: {
      const DataFileSummary summary = SummarizeDataFileBytes(bytes);
      if (data) *data = summary;
      return summary.result.ok();
    }
    case FileKind::Settings: {
      CodeLists lists;
      return ReadSettingsBytes(bytes, lists).ok();
    }
    case FileKind::Counters: {
      IdCounters counters;
      return ReadIdFileBytes(bytes, counters).ok();
    }
    case FileKind::Password: {
      QString password;
      return ReadPasswordBytes(bytes, password).ok();
    }
    case FileKind::Database:
    case FileKind::Other: return true;
  }
  return true;
}

FolderContents ListFolderContents(const QString& folder, const QStringList& leftOut) {
  FolderContents out;
  QSet<QString> visited;
  ListInto(folder, QString(), leftOut, out, visited);
  return out;
}

}  // namespace orvanta
