#pragma once

#include <QWidget>

namespace orvanta {

// Shown while the program starts; it has no behaviour of its own.
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);
};

}  // namespace orvanta
