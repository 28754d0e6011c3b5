#pragma once
// The guarded close of a window that asks before it closes (unsaved changes).
// The close box, Escape and "戻る" all come to the window's reject(), which
// closes only when the guard allows it:
//
//   void ReportWindow::reject() {
//     if (closeGuard_.allows([this] { return closeProcedure(); })) QDialog::reject();
//   }
//
// QDialog's own close event goes through reject() and keeps the window open
// when it was not closed, so the close box needs nothing more.

#include <functional>

namespace orvanta {

class CloseGuard {
 public:
  // Asks mayClose whether the window may close. A close that arrives while
  // the question is still open (the main window closing every window) is
  // refused without asking again.
  bool allows(const std::function<bool()>& mayClose) {
    if (asking_) return false;
    asking_ = true;
    const bool allowed = mayClose();
    asking_ = false;
    return allowed;
  }

 private:
  bool asking_ = false;
};

}  // namespace orvanta
