#include "core/app/app_state.h"

#include <QDir>

namespace orvanta {

AppState::AppState(QString root, Prompts& prompts, const Clock& clock)
    : root_(std::move(root)), prompts_(prompts), clock_(clock) {}

// The drive letter names the root folder: "c:\tonrix" is <root>/tonrix.
QString AppState::DataFolderPath() const { return QDir(root_).filePath(DataFolderName); }
QString AppState::ReportFolderPath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("data")); }
QString AppState::BackupFolderPath() const { return QDir(root_).filePath(DataFolderName + QStringLiteral("bu")); }
QString AppState::DataFilePath(int fileNo) const {
  return QDir(ReportFolderPath()).filePath(QString::number(fileNo) + QStringLiteral(".dat"));
}
QString AppState::IdFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("ttid.dat")); }
QString AppState::SettingsFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("set.dat")); }
QString AppState::PasswordFilePath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("passw.dat")); }
QString AppState::FirstRunRecordPath() const { return QDir(DataFolderPath()).filePath(QStringLiteral("started.dat")); }
QString AppState::MyDocumentPath() const { return QDir(root_).filePath(QStringLiteral("my document")); }

}  // namespace orvanta
