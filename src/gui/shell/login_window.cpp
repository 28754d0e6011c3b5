#include "gui/shell/login_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/platform/prompts.h"
#include "gui/widgets/layout_helpers.h"
#include "core/platform/system_info.h"
#include "core/app/app_state.h"
#include "core/app/password_file.h"

namespace orvanta {

LoginWindow::LoginWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmLogin"));
  setWindowTitle(QStringLiteral("ﾛｸﾞｵﾝ"));
  setFixedSize(Twips(3780), Twips(2640));

  auto* userLabel = Named(new QLabel(QStringLiteral("ﾕｰｻﾞｰ名(&U):"), this), "lblLabels", 0);
  PlaceTw(userLabel, 105, 150, 1200, 300);
  userName_ = Named(new QLineEdit(this), "txtUserName");
  PlaceTw(userName_, 1305, 135, 2325, 345);
  userLabel->setBuddy(userName_);
  userName_->setText(CurrentUserName());

  auto* passwordLabel = Named(new QLabel(QStringLiteral("ﾊﾟｽﾜｰﾄﾞ(&P):"), this), "lblLabels", 1);
  PlaceTw(passwordLabel, 105, 540, 1200, 300);
  password_ = Named(new QLineEdit(this), "txtPassword");
  PlaceTw(password_, 1305, 525, 2325, 345);
  password_->setEchoMode(QLineEdit::Password);
  password_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
  password_->setAttribute(Qt::WA_InputMethodEnabled, false);
  passwordLabel->setBuddy(password_);

  auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
  PlaceTw(ok, 495, 1020, 1140, 390);
  ok->setDefault(true);
  auto* cancel = Named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "cmdCancel");
  PlaceTw(cancel, 2100, 1020, 1140, 390);

  auto* note = Named(new QLabel(QStringLiteral("初回起動時に入力したパスワードが次回からログインする際のパスワードになります。"
                                               "初回に空白のまま「OK」をクリックすると次回からこの画面は表示されなくなります。"),
                                this),
                     "lblLabels", 2);
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PlaceTw(note, 240, 1560, 3180, 975);

  connect(ok, &QPushButton::clicked, this, &LoginWindow::onOk);
  connect(cancel, &QPushButton::clicked, this, &LoginWindow::onCancel);
  password_->setFocus();
}

// Start-up shows this window under the hourglass; typing needs the normal pointer.
void LoginWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  state_.prompts().setBusy(false);
}

void LoginWindow::onOk() {
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
    ok_ = true;
    done(QDialog::Accepted);
    return;
  }
  if (password_->text() != state_.login.Password) {
    state_.prompts().message(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが正しくありません。もう一度入力してください !"),
                             QStringLiteral("ﾛｸﾞｲﾝ"));
    password_->setFocus();
    password_->selectAll();
    return;
  }
  ok_ = true;
  done(QDialog::Accepted);
}

void LoginWindow::onCancel() {
  ok_ = false;
  done(QDialog::Rejected);
}

}  // namespace orvanta
