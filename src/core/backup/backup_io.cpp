#include "core/backup/backup_io.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

bool BackupIo::writeNewFile(const QString& path, QByteArrayView bytes, WriteFailure* failure) {
  auto fail = [&](int error) {
    if (failure) {
      failure->diskFull = error == ENOSPC || error == EDQUOT;
      failure->why = QString::fromLocal8Bit(std::strerror(error));
    }
    return false;
  };
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return fail(errno);
  const char* p = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return fail(error);
    }
    p += n;
    left -= n;
  }
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    return fail(error);
  }
  if (::close(fd) != 0) return fail(errno);
  return true;
}

bool BackupIo::link(const QString& existing, const QString& path) {
  return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(path).constData()) == 0;
}

bool BackupIo::rename(const QString& from, const QString& to) {
  return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

BackupIo& SystemBackupIo() {
  static BackupIo io;
  return io;
}

void CopyFileTime(const QString& from, const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(from).constData(), &info) != 0) return;
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

void SyncFolder(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool RemoveFolder(const QString& path) {
  if (path.isEmpty()) return true;  // never the current folder
  QDir folder(path);
  if (!folder.exists()) return true;
  // A folder left read-only by someone cannot be emptied until it is opened.
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return folder.removeRecursively();
}

}  // namespace orvanta
