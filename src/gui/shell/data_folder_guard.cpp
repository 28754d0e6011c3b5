#include "gui/shell/data_folder_guard.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>

namespace orvanta {
namespace {

const QByteArray kFrontRequest = "front\n";

}  // namespace

QString FrontRequestName(const QString& dataFolder) {
  QString canonical = QFileInfo(dataFolder).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath());
  const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
  const QString name = QStringLiteral("orvanta-") + QString::fromLatin1(hash);
  // The user's own runtime folder where there is one; the system's socket
  // folder otherwise.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

DataFolderGuard::DataFolderGuard(const QString& dataFolder, RoomLeft roomLeft, QObject* parent)
    : QObject(parent), folder_(dataFolder), lock_(dataFolder, std::move(roomLeft)) {}

DataFolderGuard::~DataFolderGuard() = default;

DataFolderLock::Outcome DataFolderGuard::takeLock() {
  bool asked = false;
  bool answered = false;
  auto programAnswers = [&] {
    if (!asked) answered = AskRunningProgramToComeToFront(folder_);
    asked = true;
    return answered;
  };
  const DataFolderLock::Outcome outcome = lock_.lock(programAnswers);
  // For another machine the message alone has to do.
  if (outcome == DataFolderLock::Outcome::HeldElsewhere && lock_.heldOnThisMachine()) programAnswers();
  return outcome;
}

void DataFolderGuard::answerSecondStarts(QWidget* window) {
  window_ = window;
  if (server_ || !lock_.isLocked()) return;
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = FrontRequestName(folder_);
  if (!server_->listen(name)) {
    // A socket left by a program that ended without closing it: this program
    // holds the lock, so the name is its own.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) return;  // the message alone will have to do
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      auto read = [this, socket] {
        if (socket->bytesAvailable() < kFrontRequest.size()) return;
        if (socket->read(kFrontRequest.size()) == kFrontRequest) bringToFront();
        socket->disconnectFromServer();
      };
      connect(socket, &QLocalSocket::readyRead, this, read);
      read();
    }
  });
}

void DataFolderGuard::bringToFront() {
  if (!window_) return;
  // A modal window open above the main window is what the user must answer.
  QWidget* target = QApplication::activeModalWidget();
  if (window_->isVisible() && window_->isMinimized()) window_->showNormal();
  if (!target && window_->isVisible()) target = window_;
  if (!target) return;
  target->raise();
  target->activateWindow();
}

bool AskRunningProgramToComeToFront(const QString& dataFolder) {
  QLocalSocket socket;
  socket.connectToServer(FrontRequestName(dataFolder));
  if (!socket.waitForConnected(1000)) return false;
  socket.write(kFrontRequest);
  const bool sent = socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
  return sent;
}

}  // namespace orvanta
