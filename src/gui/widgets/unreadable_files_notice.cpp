#include "gui/widgets/unreadable_files_notice.h"

#include "core/analysis/analysis_axis.h"
#include "core/platform/prompts.h"

namespace orvanta {

void UnreadableFilesNotice::tell(Prompts& prompts, const DrivePaths& paths, const std::vector<int>& files,
                                 const std::vector<CutShortFile>& cutShort) {
  if (files == told_ && cutShort == toldCutShort_) return;
  told_ = files;
  toldCutShort_ = cutShort;
  if (files.empty() && cutShort.empty()) return;
  prompts.message(DataFileTroubleMessage(paths, files, cutShort), {}, PromptIcon::Exclamation);
}

}  // namespace orvanta
