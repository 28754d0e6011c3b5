#include "core/app/startup.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/app/app_state.h"
#include "core/app/password_file.h"

namespace orvanta {

void TakeTodaysDate(AppState& state) {
  const QDate today = state.clock().now().date();
  state.TodayYear = today.year();
  state.TodayMonth = today.month();
  state.TodayDay = today.day();
}

bool PrepareDataFolder(AppState& state, QString* failedFolder) {
  if (QFileInfo(state.DataFolderPath()).isDir()) return true;
  bool ok = true;
  for (const QString& folder : {state.DataFolderPath(), state.BackupFolderPath(), state.ReportFolderPath()}) {
    if (!QFileInfo(folder).isDir() && !MakeOwnerOnlyFolder(folder)) {
      if (ok && failedFolder) *failedFolder = folder;
      ok = false;
    }
  }
  return ok;
}

void LoadPassword(AppState& state) {
  state.LoginPassword.clear();
  state.NoPasswordFile = !ReadPasswordFile(state.PasswordFilePath(), state.LoginPassword).ok();
  if (state.NoPasswordFile) state.LoginPassword.clear();
}

void DecideFirstRun(AppState& state) {
  const QString record = state.FirstRunRecordPath();
  state.FirstRun = !QFileInfo::exists(record);
  if (state.FirstRun) {
    const QByteArray stamp = state.clock().now().toString(Qt::ISODate).toLatin1() + "\r\n";
    SaveFileAtomically(record, stamp, FileAccess::OwnerOnly);
  }
}

namespace {

void CoverExistingDataFiles(AppState& state) {
  while (state.NewestFileNo < kMaxFileNo && QFileInfo::exists(state.DataFilePath(state.NewestFileNo + 1)))
    state.NewestFileNo = static_cast<std::int16_t>(state.NewestFileNo + 1);
}

}  // namespace

IdFileOutcome LoadIdFile(AppState& state, QString* writeError) {
  if (ReadIdFile(state.IdFilePath(), state.Counters).ok()) {
    CoverExistingDataFiles(state);
    return IdFileOutcome::Read;
  }
  if (!state.FirstRun) return IdFileOutcome::Fatal;
  state.Counters = IdCounters{};
  CoverExistingDataFiles(state);
  WriteIdFile(state.IdFilePath(), state.Counters, writeError);
  return IdFileOutcome::FirstRunZero;
}

bool LoadCodeLists(AppState& state, QString* writeError) {
  if (ReadSettingsFile(state.SettingsFilePath(), state.Lists).ok()) return true;
  SetDefaultCodeLists(state.Lists);
  return WriteSettingsFile(state.SettingsFilePath(), state.Lists, writeError);
}

bool NeedsLogin(const AppState& state) { return !state.LoginPassword.isEmpty() || state.FirstRun; }

LoadOutcome LoadDataFile(AppState& state, int fileNo) {
  state.CurrentFileNo = fileNo;
  state.ReportTable.clear();
  const QString path = state.DataFilePath(fileNo);
  if (!QFileInfo::exists(path)) return LoadOutcome::Missing;
  if (!ReadDataFile(path, state.ReportTable).ok()) {
    state.ReportTable.clear();
    return LoadOutcome::Unreadable;
  }
  return LoadOutcome::Loaded;
}

void CountDataFiles(AppState& state) {
  state.FileRecordCounts.fill(0);
  const int newest = std::clamp<int>(state.NewestFileNo, 0, kMaxFileNo);
  for (int n = 0; n <= newest; ++n) {
    LoadDataFile(state, n);
    state.FileRecordCounts[n] = static_cast<std::int16_t>(state.ReportCount());
  }
}

void LoadNewestFile(AppState& state) { LoadDataFile(state, std::clamp<int>(state.NewestFileNo, 0, kMaxFileNo)); }

}  // namespace orvanta
