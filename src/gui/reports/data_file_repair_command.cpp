#include "gui/reports/data_file_repair_command.h"

#include <QDir>
#include <QJsonObject>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/data_file_repair.h"

namespace orvanta {
namespace {

const QString kTitle = QStringLiteral("データファイルの修復");

}  // namespace

bool OfferDataFileRepair(AppState& state, int fileNo) {
  Prompts& prompts = state.prompts();
  prompts.setBusy(true);
  const DataFileRecovery found = RecoverDataFile(state.paths.DataFilePath(fileNo));
  prompts.setBusy(false);
  switch (found.verdict) {
    case DataFileRecovery::Verdict::Intact:
      prompts.message(IntactFileText(state.paths, fileNo), kTitle, PromptIcon::Information);
      return false;
    case DataFileRecovery::Verdict::NotRecoverable:
    case DataFileRecovery::Verdict::CannotOpen:
      prompts.message(NotRepairableText(state.paths, fileNo), kTitle, PromptIcon::Exclamation);
      return false;
    case DataFileRecovery::Verdict::Recoverable: break;
  }
  if (prompts.message(RepairQuestionText(state.paths, fileNo, found), kTitle, PromptIcon::Question,
                      PromptButtons::YesNo) != PromptAnswer::Yes)
    return false;
  const DataFileRepairOutcome outcome =
      RepairDataFile(state.dataFile, state.counters, state.paths, fileNo, found, state.clock().now());
  if (outcome.repaired) {
    state.log.record({log_kind::kRepair, 0,
                      QStringLiteral("データファイル%1を修復しました（元のファイルは「%2」）")
                          .arg(fileNo)
                          .arg(QDir::toNativeSeparators(outcome.kept)),
                      QJsonObject{{QStringLiteral("file"), fileNo}, {QStringLiteral("kept"), outcome.kept}}});
  }
  if (outcome.repaired)
    prompts.message(RepairDoneText(state.paths, fileNo, outcome, found), kTitle, PromptIcon::Information);
  if (!outcome.error.isEmpty()) prompts.message(outcome.error, kTitle, PromptIcon::Critical);
  return outcome.repaired;
}

void RepairDamagedDataFiles(AppState& state) {
  state.prompts().setBusy(true);
  const std::vector<int> damaged = FindDamagedDataFiles(state.counters, state.paths);
  state.prompts().setBusy(false);
  if (damaged.empty()) {
    state.prompts().message(kNoDamagedFileText, kTitle, PromptIcon::Information);
    return;
  }
  for (int fileNo : damaged) OfferDataFileRepair(state, fileNo);
}

}  // namespace orvanta
