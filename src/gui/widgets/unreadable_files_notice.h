#pragma once
// Tells the user which data files an analysis window left out because they
// could not be read. A window recomputes at every choice; it tells once for
// each new set of such files, not at every computation.

#include <vector>

namespace orvanta {

class DrivePaths;
class Prompts;

class UnreadableFilesNotice {
 public:
  // After a computation: files are the numbers of the data files that are
  // there but could not be read. A message (OK button, exclamation) when the
  // set is not empty and differs from the one told last.
  void tell(Prompts& prompts, const DrivePaths& paths, const std::vector<int>& files);

 private:
  std::vector<int> told_;
};

}  // namespace orvanta
