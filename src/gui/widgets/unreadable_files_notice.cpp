#include "gui/widgets/unreadable_files_notice.h"

#include "core/analysis/analysis_axis.h"
#include "core/platform/prompts.h"

namespace orvanta {

void UnreadableFilesNotice::tell(Prompts& prompts, const DrivePaths& paths, const std::vector<int>& files) {
  if (files == told_) return;
  told_ = files;
  if (files.empty()) return;
  prompts.message(UnreadableFilesMessage(paths, files), {}, PromptIcon::Exclamation);
}

}  // namespace orvanta
