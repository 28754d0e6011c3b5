#pragma once
// How a print job tells the user how far it has come, and learns that the
// user wants it stopped. The program shows a dialog with the pages done and a
// cancel button once a job takes more than a moment; tests script when a job
// is stopped.

namespace orvanta {

class PrintProgress {
 public:
  virtual ~PrintProgress() = default;

  // The number of pages the job will have, when the drawing knows it before
  // it starts (0 or never called: not known).
  virtual void setPageCount(int pages) { (void)pages; }
  // A page is finished; pagesDone counts the pages finished so far. Answers
  // false once the user has asked to stop the job: the drawing then stops at
  // once, and the job is abandoned.
  virtual bool pageDone(int pagesDone) {
    (void)pagesDone;
    return !stopped();
  }
  // Whether the user has asked to stop the job.
  virtual bool stopped() const { return false; }
};

}  // namespace orvanta
