#pragma once
// One program at a time on one data folder. The program keeps one data file
// in memory and rewrites whole files when it saves, so a second copy on the
// same folder would write over the first one's reports and hand out the
// same report ids. Start-up takes an exclusive lock in the data folder before
// it reads or writes anything there, and holds it until the program ends.
//
// The lock is a QLockFile ("orvanta.lock" in the data folder) that records
// the process id, the program's name and the host name, and holds an flock
// on the file while the program runs. A lock left by a program that is no
// longer running on this machine is taken over; a lock written by another
// machine (a data folder shared over the network) is never taken over by
// age, since this machine cannot tell whether that program still runs.
//
// Something at the lock's path that cannot be read as a lock (an empty file
// left by a power cut, a damaged or unreadable file, a broken link) is a
// leftover unless a running program says otherwise: the running program
// answers on its local socket (asked through programAnswers) or holds the
// file's flock (a start caught between creating its lock file and writing
// it). A leftover is removed and the lock taken; a folder there, or a file
// that cannot be removed, is named to the user instead.
//
// On a disk without room for the lock no lock file is attempted (its
// creation and removal would still touch the folder): the lock fails, and
// diskFull says why.

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace orvanta {

inline const QString kLockFileName = QStringLiteral("orvanta.lock");

// The bytes free on the disk that holds folder (-1 when it cannot be told).
using RoomLeft = std::function<qint64(const QString& folder)>;
qint64 RoomLeftOnDisk(const QString& folder);

class DataFolderLock {
 public:
  // roomLeft tells a lock that cannot be made for want of room from one
  // that cannot be made for want of permission.
  explicit DataFolderLock(const QString& dataFolder, RoomLeft roomLeft = RoomLeftOnDisk);
  ~DataFolderLock();

  enum class Outcome {
    Locked,         // this program holds the folder
    HeldElsewhere,  // another running program holds it
    InTheWay,       // no lock stands at the lock's path, and it cannot be removed
    Failed,         // the lock file cannot be made (a folder that cannot be written)
  };
  // Tries once, without waiting. programAnswers is asked (at most once) only
  // when the lock's path holds no readable lock: whether a running program
  // answers for this data folder.
  Outcome lock(const std::function<bool()>& programAnswers = {});
  bool isLocked() const;

  // Who holds the lock, after HeldElsewhere (empty host when unknown).
  QString holderHost() const { return holderHost_; }
  bool heldOnThisMachine() const;
  QString lockFilePath() const { return path_; }

  // What a start that cannot take the lock tells the user.
  QString heldMessage() const;
  QString inTheWayMessage() const;
  QString failedMessage() const;
  // After Failed: whether the disk had no room left for the lock. The start
  // then offers to go on read-only with readOnlyQuestion.
  bool diskFull() const { return diskFull_; }
  QString readOnlyQuestion() const;

  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;

 private:
  bool readHolder();

  QString folder_;
  QString path_;
  RoomLeft roomLeft_;
  std::unique_ptr<QLockFile> file_;
  QString holderHost_;
  qint64 holderPid_ = 0;
  Outcome failed();
  // Whether the disk has less room than the lock needs.
  bool roomShort() const;
  static constexpr qint64 kLockRoomNeeded = 64 * 1024;

  bool folderInTheWay_ = false;
  bool strangeInTheWay_ = false;  // a pipe, a device, a socket or a link where the lock belongs
  bool diskFull_ = false;
};

inline const QString kAlreadyRunningMessage =
    QStringLiteral("Orvantaは既に起動しています。先に起動したウィンドウをお使いください。");

}  // namespace orvanta
