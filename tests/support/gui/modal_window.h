#pragma once
// Driving modal windows from a test: the action runs as soon as a modal
// window with the object name is open (inside its exec()).

#include <QString>
#include <functional>

class QWidget;

namespace orvanta::testing {

void WhenModal(const QString& objectName, std::function<void(QWidget*)> action, int timeoutMs = 5000);

}  // namespace orvanta::testing
