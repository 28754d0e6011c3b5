#include "core/platform/safe_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orvanta {

bool SaveFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access, QString* error) {
  return SaveFileAtomically(path, [&bytes](const BytePieces& write) { write(bytes); }, access, error);
}

bool SaveFileAtomically(const QString& path, const std::function<void(const BytePieces&)>& produce,
                        FileAccess access, QString* error) {
  auto fail = [&](const QString& why) {
    if (error) {
      *error = QStringLiteral("ファイル「%1」を書き込めませんでした。").arg(QDir::toNativeSeparators(path));
      if (!why.isEmpty()) *error += QStringLiteral("\n(%1)").arg(why);
    }
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

}  // namespace orvanta
