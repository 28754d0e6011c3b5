#pragma once
// Tests run as the superuser on the build machines, and the superuser reads,
// writes and removes files whatever their modes say. Inside the scope of an
// OrdinaryFileAccess the calling thread is held to the modes as an ordinary
// user is: a file of mode 000 cannot be opened, a file in a read-only folder
// cannot be removed. For an ordinary user nothing changes.

namespace orvanta::testing {

class OrdinaryFileAccess {
 public:
  OrdinaryFileAccess();
  ~OrdinaryFileAccess();
  // False when the superuser's access could not be given up (the test
  // cannot then show what a user would see).
  bool active() const { return active_; }

  OrdinaryFileAccess(const OrdinaryFileAccess&) = delete;
  OrdinaryFileAccess& operator=(const OrdinaryFileAccess&) = delete;

 private:
  bool active_ = false;
  bool lowered_ = false;
};

}  // namespace orvanta::testing
