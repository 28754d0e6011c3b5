#include "support/child_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace orvanta::testing {

namespace {

std::map<std::string, ChildRole>& Roles() {
  static std::map<std::string, ChildRole> roles;
  return roles;
}

const char* const kRoleVariable = "ORVANTA_CHILD_ROLE";
const char* const kArgumentVariable = "ORVANTA_CHILD_ARGUMENT";

}  // namespace

bool RegisterChildRole(const char* name, ChildRole role) {
  Roles()[name] = role;
  return true;
}

std::optional<int> RunChildRoleIfAsked() {
  const QByteArray name = qgetenv(kRoleVariable);
  if (name.isEmpty()) return std::nullopt;
  const auto found = Roles().find(name.toStdString());
  if (found == Roles().end()) return 3;
  return found->second(qEnvironmentVariable(kArgumentVariable));
}

std::unique_ptr<QProcess> StartChildRole(const QString& role, const QString& argument) {
  auto child = std::make_unique<QProcess>();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kRoleVariable), role);
  environment.insert(QString::fromLatin1(kArgumentVariable), argument);
  child->setProcessEnvironment(environment);
  child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child->start(QCoreApplication::applicationFilePath(), {});
  if (!child->waitForStarted(10000)) {
    ADD_FAILURE() << "the child process did not start";
    return nullptr;
  }
  return child;
}

QByteArray WaitForChildLine(QProcess& child, const QByteArray& prefix, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    while (child.canReadLine()) {
      const QByteArray line = child.readLine().trimmed();
      if (line.startsWith(prefix)) return line;
    }
    if (child.state() == QProcess::NotRunning) return {};
    child.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
  }
  return {};
}

void TellParent(const QByteArray& line) {
  std::fputs((line + '\n').constData(), stdout);
  std::fflush(stdout);
}

}  // namespace orvanta::testing
