#pragma once

#include <QWidget>

namespace orvanta {

// Shown while the program starts; it has no behaviour of its own.
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);

  // Shows the window and returns once it is on the screen and painted, so
  // that it is seen while start-up goes on without an event loop. Waits at
  // most a second for the window system.
  void showPainted();
  // Whether the window has been painted since it was last shown.
  bool painted() const { return painted_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool painted_ = false;
};

}  // namespace orvanta
