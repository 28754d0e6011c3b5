#include "core/platform/safe_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvanta {

QString CannotWriteFileMessage(const QString& path, const QString& why) {
  QString text = QStringLiteral("ファイル「%1」を書き込めませんでした。").arg(QDir::toNativeSeparators(path));
  if (!why.isEmpty()) text += QStringLiteral("\n(%1)").arg(why);
  return text;
}

bool SaveFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access, QString* error) {
  return SaveFileAtomically(
      path, [&bytes](const BytePieces& write) { write(bytes); }, access, error);
}

bool SaveFileAtomically(const QString& path, const std::function<void(const BytePieces&)>& produce, FileAccess access,
                        QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = CannotWriteFileMessage(path, why);
    return false;
  };
  if (QFileInfo(path).isDir()) return fail(QStringLiteral("同じ名前のフォルダがあります"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  if (access == FileAccess::OwnerOnly) file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  bool written = true;
  produce([&](QByteArrayView piece) {
    if (written && file.write(piece.data(), piece.size()) != piece.size()) written = false;
    return written;
  });
  if (!written || !file.flush()) {
    const QString why = file.errorString();
    file.cancelWriting();
    return fail(why);
  }
  if (!file.commit()) return fail(file.errorString());
  if (access == FileAccess::OwnerOnly) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return true;
}

bool MakeOwnerOnlyFolder(const QString& path) {
  QDir dir;
  if (!dir.mkpath(path)) return false;
  return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

namespace {

#if defined(Q_OS_UNIX)
// An entry of a data or backup folder: links inside are left alone.
void TightenEntry(const QString& path, bool followLink) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if ((followLink ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) != 0) return;
  if (info.st_uid != ::getuid()) return;
  if (S_ISDIR(info.st_mode)) {
    if ((info.st_mode & 07777) != 0700) ::chmod(name.constData(), 0700);
    const QDir dir(path);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : names) TightenEntry(dir.filePath(entry), false);
  } else if (S_ISREG(info.st_mode)) {
    if ((info.st_mode & 07777) != 0600) ::chmod(name.constData(), 0600);
  }
}
#endif

}  // namespace

void TightenToOwnerOnly(const QString& folder) {
#if defined(Q_OS_UNIX)
  // The folder itself may be a link to where the user keeps the data.
  TightenEntry(folder, true);
#else
  Q_UNUSED(folder);
#endif
}

QString DamagedFileName(const QString& path, const QDateTime& now) {
  const QString base = path + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmm"));
  QString name = base;
  for (int n = 2; QFileInfo::exists(name); ++n) name = base + QLatin1Char('-') + QString::number(n);
  return name;
}

bool CopyDamagedFile(const QString& path, const QDateTime& now, QString* kept) {
  const QString name = DamagedFileName(path, now);
  if (!QFile::copy(path, name)) return false;
  QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (kept) *kept = name;
  return true;
}

bool KeepDamagedFile(const QString& path, const QDateTime& now, QString* kept) {
  const QString name = DamagedFileName(path, now);
  if (!QFile::rename(path, name) && !QFile::copy(path, name)) return false;
  if (kept) *kept = name;
  return true;
}

}  // namespace orvanta
