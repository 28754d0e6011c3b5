#include "core/app/data_folder_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSysInfo>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvanta {
namespace {

enum class Removal { Removed, Held, Folder, CannotRemove };

// Removes what stands at the lock's path and is no lock: anything but a
// folder, unless a running program holds it.
Removal RemoveLeftover(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir() && !info.isSymLink()) return Removal::Folder;
#if defined(Q_OS_UNIX)
  const QByteArray name = QFile::encodeName(path);
  auto unlinked = [&name] { return ::unlink(name.constData()) == 0 || errno == ENOENT; };
  // Not blocking: the path may name a pipe.
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return unlinked() ? Removal::Removed : Removal::CannotRemove;
  // A running program holds the flock of its lock file from the moment it
  // creates it, before its lines are written.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    return Removal::Held;
  }
  const bool removed = unlinked();
  ::close(fd);
  return removed ? Removal::Removed : Removal::CannotRemove;
#else
  return QFile::remove(path) || !QFileInfo::exists(path) ? Removal::Removed : Removal::CannotRemove;
#endif
}

}  // namespace

qint64 RoomLeftOnDisk(const QString& folder) {
  const QStorageInfo disk(folder);
  return disk.isValid() ? disk.bytesAvailable() : -1;
}

DataFolderLock::DataFolderLock(const QString& dataFolder, RoomLeft roomLeft)
    : folder_(dataFolder),
      path_(QDir(dataFolder).filePath(kLockFileName)),
      roomLeft_(std::move(roomLeft)),
      file_(std::make_unique<QLockFile>(path_)) {
  // Staleness by age alone would let a second machine take the lock of a
  // program that has simply been running for a while; only a lock whose
  // process is gone from this machine is stale.
  file_->setStaleLockTime(0);
}

DataFolderLock::~DataFolderLock() = default;  // QLockFile unlocks

// A lock as QLockFile writes it: process id, program and host.
bool DataFolderLock::readHolder() {
  QString app;
  if (file_->getLockInfo(&holderPid_, &holderHost_, &app) && holderPid_ > 0 && !holderHost_.isEmpty() && !app.isEmpty())
    return true;
  holderHost_.clear();
  holderPid_ = 0;
  return false;
}

DataFolderLock::Outcome DataFolderLock::lock(const std::function<bool()>& programAnswers) {
  folderInTheWay_ = false;
  strangeInTheWay_ = false;
  diskFull_ = false;
  if (file_->isLocked()) return Outcome::Locked;
#if defined(Q_OS_UNIX)
  // Only a plain file is ever opened there: opening a named pipe would wait
  // for a writer for good.
  // A link is judged by what it names; one that names nothing is a leftover.
  struct stat info {};
  if (::stat(QFile::encodeName(path_).constData(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    strangeInTheWay_ = true;
    return Outcome::InTheWay;
  }
#endif
  // A disk with no room left is not written at all, not even by an attempt
  // that would be undone: only a lock that is there already is looked at.
  if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink() && roomShort()) {
    diskFull_ = true;
    return Outcome::Failed;
  }
  // QLockFile takes over a readable lock whose program has ended here.
  if (file_->tryLock(0)) return Outcome::Locked;
  if (file_->error() != QLockFile::LockFailedError) return failed();
  if (readHolder()) return Outcome::HeldElsewhere;

  // No lock can be read there: a leftover, unless a program answers.
  if (programAnswers && programAnswers()) return Outcome::HeldElsewhere;
  switch (RemoveLeftover(path_)) {
    case Removal::Removed: break;
    case Removal::Held: return Outcome::HeldElsewhere;
    case Removal::Folder: folderInTheWay_ = true; return Outcome::InTheWay;
    case Removal::CannotRemove: return Outcome::InTheWay;
  }
  if (file_->tryLock(0)) return Outcome::Locked;
  // Another start took the folder in the meantime.
  if (file_->error() == QLockFile::LockFailedError) return Outcome::HeldElsewhere;
  return failed();
}

DataFolderLock::Outcome DataFolderLock::failed() {
  // A disk with no room left cannot take even the lock's few bytes.
  diskFull_ = roomShort();
  return Outcome::Failed;
}

bool DataFolderLock::roomShort() const {
  const qint64 room = roomLeft_ ? roomLeft_(folder_) : -1;
  return room >= 0 && room < kLockRoomNeeded;
}

bool DataFolderLock::isLocked() const { return file_->isLocked(); }

bool DataFolderLock::heldOnThisMachine() const {
  return holderHost_.isEmpty() || holderHost_ == QSysInfo::machineHostName();
}

QString DataFolderLock::heldMessage() const {
  if (heldOnThisMachine()) return kAlreadyRunningMessage;
  return QStringLiteral(
             "Orvantaは別のコンピュータ「%1」で既に起動しています。先に起動したウィンドウをお使いください。\n"
             "そのコンピュータでOrvantaが動いていないのにこの表示が出るときは、ファイル「%2」を削除してから"
             "起動しなおしてください。")
      .arg(holderHost_, QDir::toNativeSeparators(path_));
}

QString DataFolderLock::inTheWayMessage() const {
  const QString path = QDir::toNativeSeparators(path_);
  if (strangeInTheWay_) {
    return QStringLiteral(
               "Orvantaが起動中の印に使うファイル「%1」の場所に、普通のファイルではないもの（名前付きパイプ、"
               "リンクなど）があるため、起動できません。\n"
               "これを別の場所に移すか削除してから、起動しなおしてください。")
        .arg(path);
  }
  if (folderInTheWay_) {
    return QStringLiteral(
               "Orvantaが起動中の印に使うファイル「%1」の場所にフォルダがあるため、起動できません。\n"
               "このフォルダを別の場所に移すか削除してから、起動しなおしてください。")
        .arg(path);
  }
  return QStringLiteral(
             "Orvantaが起動中の印に使うファイル「%1」が壊れていて、削除もできないため、起動できません。\n"
             "このファイルを削除してから、起動しなおしてください。削除できないときは、コンピュータの管理者に"
             "依頼してください。")
      .arg(path);
}

QString DataFolderLock::failedMessage() const {
  if (diskFull_) {
    return QStringLiteral(
               "ディスクの空き容量がないため、データフォルダ「%1」にファイル「%2」を作成できず、起動できません。\n"
               "不要なファイルを削除してディスクに空きを作ってから、起動しなおしてください。")
        .arg(QDir::toNativeSeparators(folder_), kLockFileName);
  }
  return QStringLiteral(
             "データフォルダ「%1」にファイル「%2」を作成できないため、起動できません。\n"
             "フォルダに書き込めるか確認してください。")
      .arg(QDir::toNativeSeparators(folder_), kLockFileName);
}

QString DataFolderLock::readOnlyQuestion() const {
  return QStringLiteral(
             "ディスクの空き容量がないため、データフォルダ「%1」にファイル「%2」を作成できず、通常どおりには起動"
             "できません。\n\n"
             "読み取り専用で起動すると、報告の表示・検索・集計・印刷はできますが、ディスクに空きを作って起動し"
             "なおすまでは、報告の保存・変更・削除、設定の変更、取り込み、バックアップ、復元は一切できません。\n\n"
             "読み取り専用で起動しますか？\n"
             "「はい」で読み取り専用で起動し、「いいえ」で終了します。")
      .arg(QDir::toNativeSeparators(folder_), kLockFileName);
}

}  // namespace orvanta
