#pragma once
// Tells the user which data files an analysis window left out because they
// could not be read, and which it read although they end inside their
// body-site block (their reports counted, some without body sites). A window
// recomputes at every choice; it tells once for each new set of such files,
// not at every computation.

#include <vector>

#include "core/analysis/analysis_axis.h"

namespace orvanta {

class DrivePaths;
class Prompts;

class UnreadableFilesNotice {
 public:
  // After a computation: files are the numbers of the data files that are
  // there but could not be read, cutShort those read without all their body
  // sites. One message (OK button, exclamation) when the sets are not both
  // empty and differ from the ones told last.
  void tell(Prompts& prompts, const DrivePaths& paths, const std::vector<int>& files,
            const std::vector<CutShortFile>& cutShort = {});

 private:
  std::vector<int> told_;
  std::vector<CutShortFile> toldCutShort_;
};

}  // namespace orvanta
