#include "core/app/startup.h"

#include <QDate>
#include <QFileInfo>

#include "core/app/app_state.h"
#include "core/app/password_file.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"

namespace orvanta {

void TakeTodaysDate(StartupFacts& startup, const Clock& clock) {
  const QDate today = clock.now().date();
  startup.TodayYear = today.year();
  startup.TodayMonth = today.month();
  startup.TodayDay = today.day();
}

bool PrepareDataFolder(const DrivePaths& paths, QString* failedFolder) {
  if (QFileInfo(paths.DataFolderPath()).isDir()) return true;
  bool ok = true;
  for (const QString& folder : {paths.DataFolderPath(), paths.BackupFolderPath(), paths.ReportFolderPath()}) {
    if (!QFileInfo(folder).isDir() && !MakeOwnerOnlyFolder(folder)) {
      if (ok && failedFolder) *failedFolder = folder;
      ok = false;
    }
  }
  return ok;
}

void LoadPassword(Login& login, const DrivePaths& paths) {
  login.Password.clear();
  login.NoPasswordFile = !ReadPasswordFile(paths.PasswordFilePath(), login.Password).ok();
  if (login.NoPasswordFile) login.Password.clear();
}

void DecideFirstRun(StartupFacts& startup, const DrivePaths& paths, const Clock& clock) {
  const QString record = paths.FirstRunRecordPath();
  startup.FirstRun = !QFileInfo::exists(record);
  if (startup.FirstRun) {
    const QByteArray stamp = clock.now().toString(Qt::ISODate).toLatin1() + "\r\n";
    SaveFileAtomically(record, stamp, FileAccess::OwnerOnly);
  }
}

namespace {

void CoverExistingDataFiles(IdCounters& counters, const DrivePaths& paths) {
  while (counters.NewestFileNo < kMaxFileNo && QFileInfo::exists(paths.DataFilePath(counters.NewestFileNo + 1)))
    counters.NewestFileNo = static_cast<std::int16_t>(counters.NewestFileNo + 1);
}

}  // namespace

IdFileOutcome LoadIdFile(IdCounters& counters, const DrivePaths& paths, bool firstRun, QString* writeError) {
  if (ReadIdFile(paths.IdFilePath(), counters).ok()) {
    CoverExistingDataFiles(counters, paths);
    return IdFileOutcome::Read;
  }
  if (!firstRun) return IdFileOutcome::Fatal;
  counters = IdCounters{};
  CoverExistingDataFiles(counters, paths);
  WriteIdFile(paths.IdFilePath(), counters, writeError);
  return IdFileOutcome::FirstRunZero;
}

bool LoadCodeLists(CodeLists& lists, const DrivePaths& paths, QString* writeError) {
  if (ReadSettingsFile(paths.SettingsFilePath(), lists).ok()) return true;
  SetDefaultCodeLists(lists);
  return WriteSettingsFile(paths.SettingsFilePath(), lists, writeError);
}

bool NeedsLogin(const Login& login, const StartupFacts& startup) {
  return !login.Password.isEmpty() || startup.FirstRun;
}

}  // namespace orvanta
