#include "gui/backup/backup_command.h"

#include "core/app/app_state.h"
#include "core/backup/backup_run.h"
#include "core/platform/clock.h"

namespace orvanta {

void RunBackup(AppState& state, BackupOccasion occasion) {
  state.prompts().setBusy(true);
  BackupRunResult result;
  {
    std::unique_ptr<WorkProgress> progress = state.prompts().workProgress(QStringLiteral("バックアップ"));
    result = MakeBackup(state.paths, state.database, state.clock().now(), occasion, *progress);
  }
  state.prompts().setBusy(false);
  for (const BackupMessage& message : BackupMessages(result, occasion, state.paths))
    state.prompts().message(message.text, {}, message.icon);
}

}  // namespace orvanta
