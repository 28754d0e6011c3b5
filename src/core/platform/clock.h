#pragma once
// Where today's date and the present time come from. The program reads the
// system clock; tests fix the moment.

#include <QDateTime>
#include <functional>

namespace orvanta {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
 public:
  explicit FixedClock(QDateTime moment) : moment_(std::move(moment)) {}
  QDateTime now() const override { return moment_; }
  void set(QDateTime moment) { moment_ = std::move(moment); }

 private:
  QDateTime moment_;
};

}  // namespace orvanta
