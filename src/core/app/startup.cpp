#include "core/app/startup.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <optional>

#include "core/app/app_state.h"
#include "core/app/password_file.h"
#include "core/codelists/code_list_editing.h"
#include "core/codelists/code_lists.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_navigation.h"

namespace orvanta {

void TakeTodaysDate(StartupFacts& startup, const Clock& clock) {
  const QDate today = clock.now().date();
  startup.TodayYear = today.year();
  startup.TodayMonth = today.month();
  startup.TodayDay = today.day();
}

bool MakeDataFolder(const DrivePaths& paths, QString* failedFolder) {
  if (QFileInfo(paths.DataFolderPath()).isDir() || MakeOwnerOnlyFolder(paths.DataFolderPath())) return true;
  if (failedFolder) *failedFolder = paths.DataFolderPath();
  return false;
}

bool MakeCompanionFolders(const DrivePaths& paths, QString* failedFolder) {
  bool ok = true;
  for (const QString& folder : {paths.BackupFolderPath(), paths.ReportFolderPath()}) {
    if (!QFileInfo(folder).isDir() && !MakeOwnerOnlyFolder(folder)) {
      if (ok && failedFolder) *failedFolder = folder;
      ok = false;
    }
  }
  return ok;
}

bool PrepareDataFolder(const DrivePaths& paths, QString* failedFolder) {
  if (QFileInfo(paths.DataFolderPath()).isDir()) return true;
  const bool made = MakeDataFolder(paths, failedFolder);
  // The companions are attempted even when the data folder failed.
  const bool companions = MakeCompanionFolders(paths, made ? failedFolder : nullptr);
  return made && companions;
}

void TightenDataFolders(const DrivePaths& paths) {
  TightenToOwnerOnly(paths.DataFolderPath());
  TightenToOwnerOnly(paths.BackupFolderPath());
}

void LoadPassword(Login& login, const DrivePaths& paths) {
  login.Password.clear();
  login.NoPasswordFile = !ReadPasswordFile(paths.PasswordFilePath(), login.Password).ok();
  if (login.NoPasswordFile) login.Password.clear();
}

void DecideFirstRun(StartupFacts& startup, const DrivePaths& paths) {
  startup.FirstRun = !QFileInfo::exists(paths.FirstRunRecordPath());
}

bool RecordFirstStart(const DrivePaths& paths, const Clock& clock) {
  const QByteArray stamp = clock.now().toString(Qt::ISODate).toLatin1() + "\r\n";
  return SaveFileAtomically(paths.FirstRunRecordPath(), stamp, FileAccess::OwnerOnly);
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
  // The default lists' ids are handed out already.
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  counters.LastCodeId = HighestCodeId(defaults).value_or(0);
  CoverExistingDataFiles(counters, paths);
  WriteIdFile(paths.IdFilePath(), counters, writeError);
  return IdFileOutcome::FirstRunZero;
}

bool LoadCodeLists(CodeLists& lists, const DrivePaths& paths, const QDateTime& now, QString* notice,
                   QString* writeError) {
  const QString path = paths.SettingsFilePath();
  if (ReadSettingsFile(path, lists).ok()) return true;
  SetDefaultCodeLists(lists);
  if (QFileInfo(path).isFile()) {
    // The user's own lists may still be in there: never write over them.
    QString kept;
    if (!KeepDamagedFile(path, now, &kept)) {
      if (notice) {
        *notice = QStringLiteral(
                      "設定ファイル「%1」を読み込めませんでした。部署・職種などの一覧は初期設定のものを使いますが、"
                      "元のファイルを別の名前で残せなかったため、このファイルは上書きしていません。")
                      .arg(QDir::toNativeSeparators(path));
      }
      return true;
    }
    if (notice) {
      *notice = QStringLiteral(
                    "設定ファイル「%1」を読み込めませんでした。元のファイルは「%2」という名前で残し、"
                    "部署・職種などの一覧は初期設定のものを使います。")
                    .arg(QDir::toNativeSeparators(path), QFileInfo(kept).fileName());
    }
  }
  return WriteSettingsFile(path, lists, writeError);
}

void ReadCodeListsOnly(CodeLists& lists, const DrivePaths& paths, QString* notice) {
  const QString path = paths.SettingsFilePath();
  if (ReadSettingsFile(path, lists).ok()) return;
  SetDefaultCodeLists(lists);
  if (QFileInfo(path).isFile() && notice) {
    *notice = QStringLiteral(
                  "設定ファイル「%1」を読み込めませんでした。部署・職種などの一覧は初期設定のものを使います。"
                  "読み取り専用で起動しているため、このファイルはそのままにしてあります。")
                  .arg(QDir::toNativeSeparators(path));
  }
}

bool CountReportsAtStart(OpenDataFile& file, IdCounters& counters, const CodeLists& lists, const DrivePaths& paths,
                         QString* writeError) {
  bool changed = CountDataFiles(file, counters, paths);
  // An id of set.dat is never handed out again either.
  if (const auto highest = HighestCodeId(lists); highest && *highest > counters.LastCodeId) {
    counters.LastCodeId = *highest;
    changed = true;
  }
  if (!changed) return true;
  return WriteIdFile(paths.IdFilePath(), counters, writeError);
}

bool NeedsLogin(const Login& login, const StartupFacts& startup) {
  return !login.Password.isEmpty() || startup.FirstRun;
}

void OpenDatabaseAtStart(Database& database, const DrivePaths& paths, const QDateTime& now, QString* notice) {
  QString error;
  if (database.open(paths.DatabasePath(), now, notice, &error)) return;
  if (notice) {
    *notice =
        error +
        QStringLiteral(
            "\n経過観察と発生率の記録は、このまま使うことができません。報告の入力と解析はこれまでどおり使えます。");
  }
}

void OpenDatabaseReadOnlyAtStart(Database& database, const DrivePaths& paths, QString* notice) {
  QString error;
  if (database.openReadOnly(paths.DatabasePath(), &error)) return;
  if (notice) {
    *notice = error + QStringLiteral(
                          "\n読み取り専用で起動しているため、データベースはそのままにしてあります。"
                          "経過観察と発生率の記録は表示されません。報告の表示と解析は使えます。");
  }
}

bool ReportInDataFiles(const DrivePaths& paths, const IdCounters& counters, std::int32_t reportId) {
  std::vector<ReportRecord> table;
  for (int n = 0; n <= counters.NewestFileNo; ++n) {
    if (!ReadReportsOf(paths, n, table)) continue;
    for (const ReportRecord& r : table)
      if (r.ReportId == reportId) return true;
  }
  return false;
}

bool EveryDataFileReads(const DrivePaths& paths, const IdCounters& counters) {
  std::vector<ReportRecord> table;
  for (int n = 0; n <= counters.NewestFileNo; ++n) {
    const QString path = paths.DataFilePath(n);
    if (QFileInfo(path).isFile() && !ReadDataFile(path, table).ok()) return false;
  }
  return true;
}

void SettleFollowupAtStart(Database& database, const DrivePaths& paths, const IdCounters& counters) {
  // A report may sit in a data file that does not read now (damaged, to be
  // repaired): whether it is gone cannot be told then, so the marks wait for
  // a start at which every file reads. The files are looked at only when a
  // mark is there.
  std::optional<bool> everyFileReads;
  QString error;
  // A failure leaves the marks for the next start.
  SettleCaseDeletions(
      database,
      [&](std::int32_t reportId) -> std::optional<bool> {
        if (!everyFileReads) everyFileReads = EveryDataFileReads(paths, counters);
        if (!*everyFileReads) return std::nullopt;
        return ReportInDataFiles(paths, counters, reportId);
      },
      &error);
}

}  // namespace orvanta
