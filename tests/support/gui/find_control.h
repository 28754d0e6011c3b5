#pragma once
// Finding a window's control by its object name; the test fails when the
// window has none of that name and type.

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

namespace orvanta::testing {

template <typename W>
W* FindControl(const QObject* window, const QString& name) {
  W* w = window->findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name.toStdString();
  return w;
}

}  // namespace orvanta::testing
