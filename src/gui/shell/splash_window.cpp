#include "gui/shell/splash_window.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QLabel>
#include <QWindow>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setFixedSize(Twips(7380), Twips(4245));
  setAutoFillBackground(true);

  auto* frame = Named(new QFrame(this), "Frame1");
  frame->setFrameShape(QFrame::Box);
  frame->setGeometry(Twips(150), Twips(120), Twips(7080), Twips(4005));

  auto* title = Named(new QLabel(QStringLiteral("Orvanta"), frame), "lblProductName");
  QFont big = title->font();
  big.setPointSize(32);
  big.setBold(true);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  title->setGeometry(0, Twips(600), frame->width(), Twips(900));

  auto* subtitle =
      Named(new QLabel(QStringLiteral("トンリクス日本版　針刺し・切創事故報告システム"), frame), "lblPlatform");
  subtitle->setAlignment(Qt::AlignCenter);
  subtitle->setGeometry(0, Twips(1560), frame->width(), Twips(300));

  auto* version = Named(new QLabel(QStringLiteral("Ver. 3.1.0"), frame), "lblVersion");
  version->setAlignment(Qt::AlignCenter);
  version->setGeometry(0, Twips(1920), frame->width(), Twips(300));

  auto* maker = Named(new QLabel(QStringLiteral("Orvanta 開発グループ"), frame), "lblCompany");
  maker->setAlignment(Qt::AlignCenter);
  maker->setGeometry(0, Twips(2520), frame->width(), Twips(300));

  auto* notice1 = Named(
      new QLabel(QStringLiteral("このプログラムは医療機関の職員の針刺し・切創事故を記録し、解析するためのものです。"),
                 frame),
      "lblWarning", 0);
  notice1->setAlignment(Qt::AlignCenter);
  notice1->setGeometry(0, Twips(3120), frame->width(), Twips(300));
  auto* notice2 =
      Named(new QLabel(QStringLiteral("報告書には個人情報が含まれます。取り扱いには十分ご注意ください。"), frame),
            "lblWarning", 1);
  notice2->setAlignment(Qt::AlignCenter);
  notice2->setGeometry(0, Twips(3450), frame->width(), Twips(300));
}

void SplashWindow::showPainted() {
  show();
  raise();
  // The window system maps the window and asks for its picture through the
  // event loop: let it, without taking any input meanwhile.
  const QDeadlineTimer deadline(1000);
  while (!painted_ && !deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    if (!painted_ && windowHandle() && windowHandle()->isExposed()) repaint();
  }
  // Sends the picture on to the window system before start-up goes on.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  painted_ = true;
}

void SplashWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  painted_ = false;
}

}  // namespace orvanta
