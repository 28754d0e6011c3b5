#pragma once
// How a long piece of work that is not a print (a backup, a restore) tells
// the user how far it has come, and learns that the user wants it stopped.
// The program shows a dialog with a bar and a cancel button once the work
// takes more than a moment; tests script when the work is stopped.

#include <QString>

namespace orvanta {

class WorkProgress {
 public:
  virtual ~WorkProgress() = default;

  // A part of the work begins: what it does, in words, and how many steps
  // it has (0: not known).
  virtual void begin(const QString& text, int steps) {
    (void)text;
    (void)steps;
  }
  // done steps of the current part are finished. Answers false once the user
  // has asked to stop: the work then stops as soon as it can and undoes what
  // it had begun.
  virtual bool advance(int done) {
    (void)done;
    return !stopped();
  }
  // Whether the user has asked to stop the work.
  virtual bool stopped() const { return false; }
};

}  // namespace orvanta
