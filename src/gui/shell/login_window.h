#pragma once

#include <QDialog>

class QLineEdit;

namespace orvanta {

class AppState;

// The login window: on the first start it stores the password typed (an
// empty one switches the login off for good); later it checks it.
class LoginWindow : public QDialog {
  Q_OBJECT
 public:
  explicit LoginWindow(AppState& state, QWidget* parent = nullptr);
  // True once the user has logged in (or chosen the password).
  bool loggedIn() const { return loggedIn_; }

 private:
  // "OK": the first login stores the password typed, a later one checks it.
  void logIn();
  void cancel();
  void reject() override { cancel(); }

  AppState& state_;
  QLineEdit* password_ = nullptr;
  bool loggedIn_ = false;
};

}  // namespace orvanta
