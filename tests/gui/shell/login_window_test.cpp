#include "gui/shell/login_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <tuple>

#include "core/app/app_state.h"
#include "core/platform/system_info.h"
#include "gui/widgets/layout_helpers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

class LoginWindowTest : public ::testing::Test, public testing::TempDrive {};

TEST_F(LoginWindowTest, ShowsItsControlsInPlaceAndTheNormalPointer) {
  LoginWindow login(state);
  EXPECT_EQ(login.objectName(), QStringLiteral("frmLogin"));
  EXPECT_EQ(login.windowTitle(), QStringLiteral("ﾛｸﾞｵﾝ"));

  // Name, caption (empty: not a caption), left, top and width (0: any) in twips.
  const std::tuple<const char*, const char*, int, int, int> controls[] = {
      {"lblLabels_0", "ﾕｰｻﾞｰ名(&U):", 105, 150, 0},
      {"txtUserName", "", 1305, 135, 2325},
      {"lblLabels_1", "ﾊﾟｽﾜｰﾄﾞ(&P):", 105, 540, 0},
      {"txtPassword", "", 1305, 525, 2325},
      {"cmdOK", "OK", 495, 1020, 0},
      {"cmdCancel", "ｷｬﾝｾﾙ", 2100, 1020, 0},
      {"lblLabels_2",
       "初回起動時に入力したパスワードが次回からログインする際のパスワードになります。"
       "初回に空白のまま「OK」をクリックすると次回からこの画面は表示されなくなります。",
       240, 1560, 3180},
  };
  for (const auto& [name, caption, left, top, width] : controls) {
    auto* w = login.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->pos(), QPoint(Twips(left), Twips(top))) << name;
    if (width) {
      EXPECT_EQ(w->width(), Twips(width)) << name;
    }
    const QString expected = QString::fromUtf8(caption);
    if (auto* label = qobject_cast<QLabel*>(w)) {
      EXPECT_EQ(label->text(), expected) << name;
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      EXPECT_EQ(button->text(), expected) << name;
    }
  }
  EXPECT_EQ(login.findChild<QWidget*>(QStringLiteral("lblLabels_2"))->height(), Twips(975));

  EXPECT_EQ(login.findChild<QLineEdit*>(QStringLiteral("txtUserName"))->text(), CurrentUserName());
  EXPECT_EQ(login.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->echoMode(), QLineEdit::Password);

  // Start-up shows the window under the hourglass; once shown it is gone.
  prompts.setBusy(true);
  login.show();
  EXPECT_FALSE(prompts.busy());
  EXPECT_FALSE(login.loggedIn());
}

}  // namespace
}  // namespace orvanta
