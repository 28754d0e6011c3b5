#include "gui/backup/backup_command.h"

#include <QJsonObject>

#include "core/app/app_state.h"
#include "core/backup/backup_run.h"
#include "core/platform/clock.h"

namespace orvanta {

void RunBackup(AppState& state, BackupOccasion occasion) {
  state.prompts().setBusy(true);
  BackupRunResult result;
  {
    std::unique_ptr<WorkProgress> progress = state.prompts().workProgress(QStringLiteral("バックアップ"));
    state.database.runDeferred();  // the log's newest entries go with the copy
    result = MakeBackup(state.paths, state.database, state.clock().now(), occasion, *progress);
  }
  state.prompts().setBusy(false);
  if (result.generation.made())
    state.log.record({log_kind::kBackup, 0,
                      QStringLiteral("バックアップの世代「%1」を作成しました（%2件）")
                          .arg(result.generation.generation.name)
                          .arg(result.generation.summary.reports),
                      QJsonObject{{QStringLiteral("generation"), result.generation.generation.path},
                                  {QStringLiteral("reports"), qint64(result.generation.summary.reports)},
                                  {QStringLiteral("copied"), result.copied}}});
  for (const BackupMessage& message : BackupMessages(result, occasion, state.paths))
    state.prompts().message(message.text, {}, message.icon);
}

}  // namespace orvanta
