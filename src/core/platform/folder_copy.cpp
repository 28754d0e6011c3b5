#include "core/platform/folder_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/platform/safe_save.h"

namespace orvanta {

bool CopyFolder(const QString& source, const QString& target, QStringList* failed, const QStringList& leaveOut,
                const std::function<bool()>& fileDone) {
  bool ok = true;
  auto failure = [&](const QString& path) {
    ok = false;
    if (failed) failed->append(path);
  };
  const QDir src(source);
  if (!src.exists()) {
    failure(source);
    return false;
  }
  if (!QFileInfo(target).isDir() && !MakeOwnerOnlyFolder(target)) {
    failure(target);
    return false;
  }
  const auto entries = src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  for (const QFileInfo& entry : entries) {
    const QString dest = QDir(target).filePath(entry.fileName());
    if (entry.isDir() && !entry.isSymLink()) {
      bool goOn = true;
      const auto counted = [&] { return goOn = !fileDone || fileDone(); };
      if (!CopyFolder(entry.filePath(), dest, failed, {}, fileDone ? std::function<bool()>(counted) : nullptr))
        ok = false;
      if (!goOn) return false;
      continue;
    }
    if (leaveOut.contains(entry.fileName())) continue;
    QFile in(entry.filePath());
    if (!in.open(QIODevice::ReadOnly)) {
      failure(entry.filePath());
    } else {
      const QByteArray bytes = in.readAll();
      if (in.error() != QFileDevice::NoError || !SaveFileAtomically(dest, bytes, FileAccess::OwnerOnly)) failure(dest);
    }
    if (fileDone && !fileDone()) return false;
  }
  return ok;
}

}  // namespace orvanta
