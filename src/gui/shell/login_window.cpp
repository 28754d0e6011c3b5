#include "gui/shell/login_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/app/app_state.h"
#include "core/app/password_file.h"
#include "core/platform/prompts.h"
#include "core/platform/system_info.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

LoginWindow::LoginWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmLogin"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("ﾛｸﾞｵﾝ"));
  setFixedSize(Twips(3780), Twips(2640));

  auto* userLabel = Named(PlaceLabel(this, QStringLiteral("ﾕｰｻﾞｰ名(&U):"), 105, 150, 1200, 300), "lblLabels", 0);
  auto* userName = Named(new QLineEdit(this), "txtUserName");
  PlaceTw(userName, 1305, 135, 2325, 345);
  userLabel->setBuddy(userName);
  userName->setText(CurrentUserName());

  auto* passwordLabel = Named(PlaceLabel(this, QStringLiteral("ﾊﾟｽﾜｰﾄﾞ(&P):"), 105, 540, 1200, 300), "lblLabels", 1);
  password_ = Named(new QLineEdit(this), "txtPassword");
  PlaceTw(password_, 1305, 525, 2325, 345);
  password_->setEchoMode(QLineEdit::Password);
  password_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
  password_->setAttribute(Qt::WA_InputMethodEnabled, false);
  passwordLabel->setBuddy(password_);

  auto* okButton = Named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
  PlaceTw(okButton, 495, 1020, 1140, 390);
  okButton->setDefault(true);
  auto* cancelButton = Named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "cmdCancel");
  PlaceTw(cancelButton, 2100, 1020, 1140, 390);

  auto* note =
      Named(PlaceLabel(this,
                       QStringLiteral("初回起動時に入力したパスワードが次回からログインする際のパスワードになります。"
                                      "初回に空白のまま「OK」をクリックすると次回からこの画面は表示されなくなります。"),
                       240, 1560, 3180, 975),
            "lblLabels", 2);
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  connect(okButton, &QPushButton::clicked, this, &LoginWindow::logIn);
  connect(cancelButton, &QPushButton::clicked, this, &LoginWindow::cancel);
  password_->setFocus();
}

void LoginWindow::logIn() {
  if (state_.login.NoPasswordFile) {
    // First use: what is typed becomes the password (empty: no login).
    QString error;
    if (!WritePasswordFile(state_.paths.PasswordFilePath(), password_->text(), &error)) {
      state_.prompts().message(error + QStringLiteral("\nパスワードを保存できませんでした。"), {},
                               PromptIcon::Critical);
      return;
    }
    state_.login.Password = password_->text();
    state_.login.NoPasswordFile = false;
    state_.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました（パスワードを設定）"), {}});
    loggedIn_ = true;
    done(QDialog::Accepted);
    return;
  }
  if (password_->text() != state_.login.Password) {
    // What was typed is never recorded.
    state_.log.record({log_kind::kLoginFailed, 0, QStringLiteral("パスワードが正しくありません"), {}});
    state_.prompts().message(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが正しくありません。もう一度入力してください !"),
                             QStringLiteral("ﾛｸﾞｲﾝ"));
    password_->setFocus();
    password_->selectAll();
    return;
  }
  state_.log.record({log_kind::kLogin, 0, QStringLiteral("ログインしました"), {}});
  loggedIn_ = true;
  done(QDialog::Accepted);
}

void LoginWindow::cancel() {
  loggedIn_ = false;
  done(QDialog::Rejected);
}

}  // namespace orvanta
