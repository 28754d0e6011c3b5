#include "core/backup/backup_run.h"

#include <QDir>

#include "core/app/data_folder_lock.h"
#include "core/backup/file_checks.h"
#include "core/platform/drive_paths.h"
#include "core/platform/folder_copy.h"
#include "core/platform/work_progress.h"

namespace orvanta {

namespace {

QStringList LockNames() { return {kLockFileName, kLockFileName + QStringLiteral(".rmlock")}; }

}  // namespace

bool CopyToBackupFolder(const DrivePaths& paths, QStringList* failed, const std::function<bool()>& fileDone) {
  // The lock of the running program is no part of the data.
  return CopyFolder(paths.DataFolderPath(), paths.BackupFolderPath(), failed, LockNames(), fileDone);
}

BackupRunResult MakeBackup(const DrivePaths& paths, const Database& database, const QDateTime& now,
                           BackupOccasion occasion, WorkProgress& progress, BackupIo& io) {
  BackupRunResult result;
  GenerationOptions options;
  options.occasion = occasion;
  result.generation = MakeGeneration(paths, database, now, options, progress, io);
  if (result.generation.outcome == GenerationResult::Outcome::Stopped) return result;

  const int files = static_cast<int>(ListFolderContents(paths.DataFolderPath(), LockNames()).files.size());
  progress.begin(QStringLiteral("バックアップフォルダにコピーしています…"), files);
  int done = 0;
  result.copyStarted = true;
  result.copied = CopyToBackupFolder(paths, &result.failedCopies, [&] {
    if (progress.advance(++done)) return true;
    result.copyStopped = true;
    return false;
  });
  return result;
}

std::vector<BackupMessage> BackupMessages(const BackupRunResult& result, BackupOccasion occasion,
                                          const DrivePaths& paths) {
  std::vector<BackupMessage> messages;
  const GenerationResult& g = result.generation;
  if (!g.made()) messages.push_back({GenerationFailureText(g), PromptIcon::Exclamation});
  if (result.copyStopped) {
    messages.push_back({QStringLiteral("バックアップフォルダへのコピーを途中で中止しました。バックアップフォルダには、"
                                       "今回コピーしたファイルと前のファイルが"
                                       "混ざっています。"),
                        PromptIcon::Exclamation});
  } else if (result.copyStarted && !result.copied) {
    QString list = result.failedCopies.mid(0, 5).join(QLatin1Char('\n'));
    if (result.failedCopies.size() > 5) list += QStringLiteral("\n…");
    messages.push_back({QStringLiteral("バックアップに失敗しました。コピーできなかったファイルがあります。\n") + list,
                        PromptIcon::Exclamation});
  }
  if (occasion == BackupOccasion::OnDemand && g.made() && result.copied) {
    messages.push_back(
        {QStringLiteral("バックアップしました。\n世代「%1」を作成し、バックアップフォルダ「%2」にコピーしました。")
             .arg(GenerationLabel(g.generation.made), QDir::toNativeSeparators(paths.BackupFolderPath())),
         PromptIcon::Information});
  }
  return messages;
}

}  // namespace orvanta
