#include "core/platform/drive_paths.h"

#include <QDir>

namespace orvanta {
namespace {

const QString kDataFolderName = QStringLiteral("tonrix");

}  // namespace

// Resolved once: the program makes the data folder the current folder, from
// where a relative root would name another place.
DrivePaths::DrivePaths(QString root) : root_(QDir(root).absolutePath()) {}

QString DrivePaths::DataFolderPath() const { return QDir(root_).filePath(kDataFolderName); }
QString DrivePaths::ReportFolderPath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("data")); }
QString DrivePaths::BackupFolderPath() const { return QDir(root_).filePath(kDataFolderName + QStringLiteral("bu")); }
QString DrivePaths::DataFilePath(int fileNo) const {
  return QDir(ReportFolderPath()).filePath(QString::number(fileNo) + QStringLiteral(".dat"));
}
QString DrivePaths::IdFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("ttid.dat")); }
QString DrivePaths::SettingsFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("set.dat")); }
QString DrivePaths::PasswordFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("passw.dat")); }
QString DrivePaths::FirstRunRecordPath() const {
  return QDir(DataFolderPath()).filePath(QStringLiteral("started.dat"));
}
QString DrivePaths::MyDocumentPath() const { return QDir(root_).filePath(QStringLiteral("my document")); }
QString DrivePaths::DatabasePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("orvanta.sqlite")); }
QString DrivePaths::NetworkDatabasePath() const {
  return QDir(DataFolderPath()).filePath(QStringLiteral("network.sqlite"));
}
QString DrivePaths::GenerationsFolderPath() const {
  return QDir(root_).filePath(kDataFolderName + QStringLiteral("bu.generations"));
}

}  // namespace orvanta
