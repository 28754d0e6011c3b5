#include "core/app/data_folder_lock.h"

#include <QDir>
#include <QSysInfo>

namespace orvanta {

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : folder_(dataFolder), path_(QDir(dataFolder).filePath(kLockFileName)), file_(std::make_unique<QLockFile>(path_)) {
  // Staleness by age alone would let a second machine take the lock of a
  // program that has simply been running for a while; only a lock whose
  // process is gone from this machine is stale.
  file_->setStaleLockTime(0);
}

DataFolderLock::~DataFolderLock() = default;  // QLockFile unlocks

DataFolderLock::Outcome DataFolderLock::lock() {
  if (file_->isLocked()) return Outcome::Locked;
  if (file_->tryLock(0)) return Outcome::Locked;
  if (file_->error() != QLockFile::LockFailedError) return Outcome::Failed;
  QString app;
  if (!file_->getLockInfo(&holderPid_, &holderHost_, &app)) {
    holderHost_.clear();
    holderPid_ = 0;
  }
  return Outcome::HeldElsewhere;
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

QString DataFolderLock::failedMessage() const {
  return QStringLiteral(
             "データフォルダ「%1」にファイル「%2」を作成できないため、起動できません。\n"
             "フォルダに書き込めるか確認してください。")
      .arg(QDir::toNativeSeparators(folder_), kLockFileName);
}

}  // namespace orvanta
