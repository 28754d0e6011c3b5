#pragma once
// The running program's side of "one program at a time on one data folder":
// it holds the data folder's lock (core/app/data_folder_lock.h) for as long
// as it lives, and answers a second start on the same folder by bringing
// this program's window to the front. Start-up gives it to the main window,
// so the lock ends with the program.

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "core/app/data_folder_lock.h"

class QLocalServer;
class QWidget;

namespace orvanta {

class DataFolderGuard : public QObject {
  Q_OBJECT
 public:
  explicit DataFolderGuard(const QString& dataFolder, RoomLeft roomLeft = RoomLeftOnDisk, QObject* parent = nullptr);
  ~DataFolderGuard() override;

  DataFolderLock& lock() { return lock_; }

  // Takes the data folder's lock once. A program on this machine that holds
  // the folder, or that answers where no lock can be read, is asked to come
  // to the front (once).
  DataFolderLock::Outcome takeLock();

  // Once the lock is held: listens for second starts and brings window (or
  // the modal window open above it) to the front when one asks.
  void answerSecondStarts(QWidget* window);

 private:
  void bringToFront();

  QString folder_;
  DataFolderLock lock_;
  QLocalServer* server_ = nullptr;
  QPointer<QWidget> window_;
};

// The name the running program listens under: one per data folder and user.
QString FrontRequestName(const QString& dataFolder);

// A second start asks the program that holds dataFolder to come to the
// front. False when no program on this machine answers (it runs on another
// machine, or cannot be reached); the message alone then has to do.
bool AskRunningProgramToComeToFront(const QString& dataFolder);

}  // namespace orvanta
