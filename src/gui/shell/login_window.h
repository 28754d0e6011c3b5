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
  bool OK() const { return ok_; }

 private:
  void onOk();
  void onCancel();
  void reject() override { onCancel(); }

  AppState& state_;
  QLineEdit* userName_;
  QLineEdit* password_;
  bool ok_ = false;
};

}  // namespace orvanta
