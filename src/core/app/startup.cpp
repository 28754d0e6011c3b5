#include "core/app/startup.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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

bool MakeDataFolder(AppState& state, QString* failedFolder) {
  if (QFileInfo(state.DataFolderPath()).isDir() || MakeOwnerOnlyFolder(state.DataFolderPath())) return true;
  if (failedFolder) *failedFolder = state.DataFolderPath();
  return false;
}

bool MakeCompanionFolders(AppState& state, QString* failedFolder) {
  bool ok = true;
  for (const QString& folder : {state.BackupFolderPath(), state.ReportFolderPath()}) {
    if (!QFileInfo(folder).isDir() && !MakeOwnerOnlyFolder(folder)) {
      if (ok && failedFolder) *failedFolder = folder;
      ok = false;
    }
  }
  return ok;
}

bool PrepareDataFolder(AppState& state, QString* failedFolder) {
  if (QFileInfo(state.DataFolderPath()).isDir()) return true;
  const bool made = MakeDataFolder(state, failedFolder);
  // The companions are attempted even when the data folder failed, as before.
  const bool companions = MakeCompanionFolders(state, made ? failedFolder : nullptr);
  return made && companions;
}

void TightenDataFolders(const AppState& state) {
  TightenToOwnerOnly(state.DataFolderPath());
  TightenToOwnerOnly(state.BackupFolderPath());
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

bool LoadCodeLists(AppState& state, QString* notice, QString* writeError) {
  const QString path = state.SettingsFilePath();
  if (ReadSettingsFile(path, state.Lists).ok()) return true;
  SetDefaultCodeLists(state.Lists);
  if (QFileInfo(path).isFile()) {
    // The user's own lists may still be in there: never write over them.
    QString kept;
    if (!KeepDamagedFile(path, state.clock().now(), &kept)) {
      if (notice) {
        *notice = QStringLiteral("設定ファイル「%1」を読み込めませんでした。部署・職種などの一覧は初期設定のものを使いますが、"
                                 "元のファイルを別の名前で残せなかったため、このファイルは上書きしていません。")
                      .arg(QDir::toNativeSeparators(path));
      }
      return true;
    }
    if (notice) {
      *notice = QStringLiteral("設定ファイル「%1」を読み込めませんでした。元のファイルは「%2」という名前で残し、"
                               "部署・職種などの一覧は初期設定のものを使います。")
                    .arg(QDir::toNativeSeparators(path), QFileInfo(kept).fileName());
    }
  }
  return WriteSettingsFile(path, state.Lists, writeError);
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

namespace {

// Counts files first to last on several threads; each thread takes the next
// file not yet taken. Results go to slots of their own, so the outcome is
// the same as one thread's.
void CountFiles(const AppState& state, int newest, std::vector<DataFileCount>& out) {
  out.assign(static_cast<std::size_t>(newest + 1), DataFileCount{});
  std::atomic<int> next{0};
  auto work = [&] {
    QByteArray buffer;
    for (int n = next++; n <= newest; n = next++) out[static_cast<std::size_t>(n)] = CountDataFile(state.DataFilePath(n), buffer);
  };
  const int threads = std::clamp<int>(static_cast<int>(std::thread::hardware_concurrency()), 1, std::min(8, newest + 1));
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads - 1));
  for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& h : helpers) h.join();
}

}  // namespace

bool CountDataFiles(AppState& state) {
  state.FileRecordCounts.fill(0);
  const int newest = std::clamp<int>(state.NewestFileNo, 0, kMaxFileNo);
  std::vector<DataFileCount> counts;
  CountFiles(state, newest, counts);

  std::int64_t total = 0;
  std::int32_t highest = 0;
  for (int n = 0; n <= newest; ++n) {
    const DataFileCount& c = counts[static_cast<std::size_t>(n)];
    state.FileRecordCounts[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(c.reports());
    total += c.reports();
    // Ids of a file that does not read still count: it is kept aside, not
    // lost, and its ids are not to be given again.
    highest = std::max(highest, c.highestReportId);
  }

  const IdCounters before = state.Counters;
  state.LastReportId = std::max(state.LastReportId, highest);
  state.TotalReports = static_cast<std::int32_t>(total);
  return !(state.Counters == before);
}

bool CountReportsAtStart(AppState& state, QString* writeError) {
  if (!CountDataFiles(state)) return true;
  return WriteIdFile(state.IdFilePath(), state.Counters, writeError);
}

void LoadNewestFile(AppState& state) { LoadDataFile(state, std::clamp<int>(state.NewestFileNo, 0, kMaxFileNo)); }

}  // namespace orvanta
