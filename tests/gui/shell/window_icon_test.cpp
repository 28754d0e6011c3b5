#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/splash_window.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

QImage Render(const QIcon& icon, int size) {
  return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool Near(QColor actual, QColor expected) {
  return std::abs(actual.red() - expected.red()) < 40 && std::abs(actual.green() - expected.green()) < 40 &&
         std::abs(actual.blue() - expected.blue()) < 40 && actual.alpha() > 200;
}

// The program's icon is the drawing compiled into the program, and it reads at
// the smallest and the largest size a desktop asks for: the teal tile with
// transparent corners, the white syringe across it, the red drop below.
TEST(WindowIconTest, ProgramIconIsDrawnAtEverySize) {
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  const QColor tile(0x17, 0x65, 0x7e), white(Qt::white), red(0xe8, 0x42, 0x4c);
  for (int size : {16, 32, 256}) {
    SCOPED_TRACE(size);
    const QImage image = Render(icon, size);
    ASSERT_EQ(image.size(), QSize(size, size));
    auto at = [&](double x, double y) { return image.pixelColor(int(x * size), int(y * size)); };
    EXPECT_EQ(at(0, 0).alpha(), 0) << "corner";
    EXPECT_TRUE(Near(at(0.25, 0.2), tile)) << "tile " << at(0.25, 0.2).name().toStdString();
    EXPECT_TRUE(Near(at(0.76, 0.8), red)) << "drop " << at(0.76, 0.8).name().toStdString();
    if (size >= 32) {
      EXPECT_TRUE(Near(at(0.3, 0.6), white)) << "syringe " << at(0.3, 0.6).name().toStdString();
    }
  }
  EXPECT_EQ(Render(icon, 64), Render(QIcon(QStringLiteral(":/orvanta.svg")), 64));
}

// No window sets an icon of its own: the title bars and the task bar show
// the program's icon for the splash, the login and the main window.
TEST(WindowIconTest, EveryWindowShowsTheProgramIcon) {
  testing::TempDrive drive;
  SplashWindow splash;
  LoginWindow login(drive.state);
  MainWindow mainWindow(drive.state);
  const QImage expected = Render(QIcon(QStringLiteral(":/orvanta.svg")), 32);
  ASSERT_FALSE(expected.isNull());
  int windows = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->windowType() == Qt::Desktop) continue;
    SCOPED_TRACE(window->objectName().toStdString());
    EXPECT_EQ(Render(window->windowIcon(), 32), expected);
    ++windows;
  }
  EXPECT_GE(windows, 3);
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.orvanta.Orvanta"));
}

}  // namespace
}  // namespace orvanta
