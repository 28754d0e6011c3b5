#pragma once
// One program at a time on one data folder. The program keeps one data file
// in memory and rewrites whole files when it saves, so a second copy on the
// same folder would write over the first one's reports and hand out the
// same report ids. Start-up takes an exclusive lock in the data folder before
// it reads or writes anything there, and holds it until the program ends.
//
// The lock is a QLockFile ("orvanta.lock" in the data folder) that records
// the process id, the program's name and the host name. A lock left by a
// program that is no longer running on this machine is taken over; a lock
// written by another machine (a data folder shared over the network) is
// never taken over by age, since this machine cannot tell whether that
// program still runs.

#include <QLockFile>
#include <QString>
#include <memory>

namespace orvanta {

inline const QString kLockFileName = QStringLiteral("orvanta.lock");

class DataFolderLock {
 public:
  explicit DataFolderLock(const QString& dataFolder);
  ~DataFolderLock();

  enum class Outcome {
    Locked,         // this program holds the folder
    HeldElsewhere,  // another running program holds it
    Failed,         // the lock file cannot be made (a folder that cannot be written)
  };
  // Tries once, without waiting.
  Outcome lock();
  bool isLocked() const;

  // Who holds the lock, after HeldElsewhere (empty host when unknown).
  QString holderHost() const { return holderHost_; }
  bool heldOnThisMachine() const;
  QString lockFilePath() const { return path_; }

  // What a second start tells the user.
  QString heldMessage() const;
  QString failedMessage() const;

  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;

 private:
  QString folder_;
  QString path_;
  std::unique_ptr<QLockFile> file_;
  QString holderHost_;
  qint64 holderPid_ = 0;
};

inline const QString kAlreadyRunningMessage =
    QStringLiteral("Orvantaは既に起動しています。先に起動したウィンドウをお使いください。");

}  // namespace orvanta
