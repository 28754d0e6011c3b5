#pragma once
// The file operations that making a backup generation and restoring one
// write with. The program uses the system's; tests put in one that fails
// where they need it (a disk that fills up after so many bytes, hard links
// that another file system refuses, a rename that fails half-way through a
// restore). Every operation may be called from several threads at once.

#include <QByteArrayView>
#include <QString>

namespace orvanta {

// Why a write failed.
struct WriteFailure {
  bool diskFull = false;  // no space left (or the user's quota used up)
  QString why;            // the system's reason, for the message
};

class BackupIo {
 public:
  virtual ~BackupIo() = default;

  // Writes bytes as a new file at path (which must not exist), readable by
  // its owner only (0600), and flushes it to the disk. On failure the
  // partial file may be left; false with the reason in failure.
  virtual bool writeNewFile(const QString& path, QByteArrayView bytes, WriteFailure* failure);
  // Makes path a second name (a hard link) of the file existing. False when
  // the file system cannot (another file system, too many links, no support).
  virtual bool link(const QString& existing, const QString& path);
  // Renames a file or folder within one file system, in one step.
  virtual bool rename(const QString& from, const QString& to);
};

// The system's file operations.
BackupIo& SystemBackupIo();

// Gives the file at path the modification time (to the nanosecond) of the
// file from.
void CopyFileTime(const QString& from, const QString& path);

// Flushes a folder's entries (new names, links, renames) to the disk.
void SyncFolder(const QString& path);

// Removes a folder and everything in it; true when nothing of it is left.
bool RemoveFolder(const QString& path);

}  // namespace orvanta
