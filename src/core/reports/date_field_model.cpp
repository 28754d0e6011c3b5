#include "core/reports/date_field_model.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/platform/text_filters.h"

namespace orvanta {
namespace {

constexpr int kYearMax = 20000;
constexpr int kMonthPastEnd = 13;
constexpr int kDayPastEnd = 32;

// Whole number of a typed value the way a spin button takes it: to the
// nearest, halves to even. Callers keep the value inside the button's range.
int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// Sets a mark for the rest of a scope and puts back its earlier state.
class MarkScope {
 public:
  explicit MarkScope(bool& mark) : mark_(mark), saved_(mark) { mark_ = true; }
  ~MarkScope() { mark_ = saved_; }
  MarkScope(const MarkScope&) = delete;
  MarkScope& operator=(const MarkScope&) = delete;

 private:
  bool& mark_;
  bool saved_;
};

}  // namespace

SpinRange RangeOf(DatePart part) {
  switch (part) {
    case DatePart::Year: return {0, kYearMax};
    case DatePart::Month: return {0, kMonthPastEnd};
    case DatePart::Day: return {0, kDayPastEnd};
    case DatePart::Hour: return {-1, 24};
    case DatePart::Minute: return {-1, 60};
  }
  return {};
}

SpinRange HeldRange(DatePart part) {
  switch (part) {
    case DatePart::Year: return {1, kLastCalendarYear};
    case DatePart::Month: return {1, 12};
    case DatePart::Day: return {1, 31};
    case DatePart::Hour: return {0, 23};
    case DatePart::Minute: return {0, 59};
  }
  return {};
}

DateBoxEdit EditDateBox(DatePart part, const QString& before, const QString& after) {
  QString text = after;
  for (QChar& c : text)
    if (c.unicode() >= u'０' && c.unicode() <= u'９') c = QChar(u'0' + (c.unicode() - u'０'));
  if (text == before) return {text, false};
  const DateBoxEdit refused{before, true};

  // Blanks in front of the number, no more than the box had; then digits.
  const auto blanksInFront = [](const QString& t) {
    qsizetype n = 0;
    while (n < t.size() && t[n] == QLatin1Char(' ')) ++n;
    return n;
  };
  const qsizetype blanks = blanksInFront(text);
  if (blanks > blanksInFront(before)) return refused;
  const QStringView digits = QStringView(text).mid(blanks);
  for (QChar c : digits)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return refused;
  qsizetype first = 0;  // leading zeros add nothing
  while (first < digits.size() && digits[first] == QLatin1Char('0')) ++first;
  const SpinRange held = HeldRange(part);
  const QStringView significant = digits.mid(first);
  const qint64 value = significant.size() > 6 ? qint64{held.max} + 1 : significant.toLongLong();
  if (value > held.max) return refused;

  // More than one character put in at once: a paste, taken only as a whole
  // value.
  qsizetype same = 0;
  while (same < before.size() && same < text.size() && before[same] == text[same]) ++same;
  qsizetype sameAtEnd = 0;
  while (sameAtEnd < before.size() - same && sameAtEnd < text.size() - same &&
         before[before.size() - 1 - sameAtEnd] == text[text.size() - 1 - sameAtEnd])
    ++sameAtEnd;
  const qsizetype putIn = text.size() - same - sameAtEnd;
  if (putIn > 1 && (digits.isEmpty() || value < held.min)) return refused;
  return {text, false};
}

double LeadingNumber(const QString& text, bool* found) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  QByteArray digits;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    digits.append(static_cast<char>(text[i].unicode()));
    ++i;
  }
  bool any = false;
  bool point = false;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c >= u'0' && c <= u'9') {
      digits.append(static_cast<char>(c));
      any = true;
    } else if (c == u'.' && !point) {
      digits.append('.');
      point = true;
    } else {
      break;
    }
  }
  if (found) *found = any;
  if (!any) return 0.0;
  return std::strtod(digits.constData(), nullptr);
}

QString SpinText(int value) { return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value); }

DateFieldModel::DateFieldModel(DateFieldVariant variant, DateFieldListener* listener)
    : variant_(variant), listener_(listener) {}

bool DateFieldModel::hasPart(DatePart part, int index) const {
  if (part == DatePart::Hour || part == DatePart::Minute) return index == 0 && variant_ == DateFieldVariant::Report;
  return index >= 0 && index < kDateFieldCount;
}

int& DateFieldModel::spinRef(DatePart part, int index) {
  if (part == DatePart::Hour) return hourSpin_;
  if (part == DatePart::Minute) return minuteSpin_;
  return fields_[index].spin[static_cast<int>(part)];
}

QString& DateFieldModel::textRef(DatePart part, int index) {
  if (part == DatePart::Hour) return hourText_;
  if (part == DatePart::Minute) return minuteText_;
  return fields_[index].text[static_cast<int>(part)];
}

int DateFieldModel::spinValue(DatePart part, int index) const {
  if (!hasPart(part, index)) return 0;
  if (part == DatePart::Hour) return hourSpin_;
  if (part == DatePart::Minute) return minuteSpin_;
  return fields_[index].spin[static_cast<int>(part)];
}

const QString& DateFieldModel::text(DatePart part, int index) const {
  static const QString kNone;
  if (!hasPart(part, index)) return kNone;
  if (part == DatePart::Hour) return hourText_;
  if (part == DatePart::Minute) return minuteText_;
  return fields_[index].text[static_cast<int>(part)];
}

const QString& DateFieldModel::weekday(int index) const {
  static const QString kNone;
  if (index < 0 || index >= kDateFieldCount) return kNone;
  return fields_[index].weekday;
}

CalendarDate DateFieldModel::spinDate(int index) const {
  if (index < 0 || index >= kDateFieldCount) return {};
  const auto& s = fields_[index].spin;
  return CalendarDate{s[0], s[1], s[2]};
}

void DateFieldModel::setSpinValue(DatePart part, int index, int value) {
  if (!hasPart(part, index)) return;
  assignSpin(part, index, value);
}

void DateFieldModel::step(DatePart part, int index, int delta) {
  if (!hasPart(part, index)) return;
  assignSpin(part, index, spinRef(part, index) + delta);
}

void DateFieldModel::setText(DatePart part, int index, const QString& text) {
  if (!hasPart(part, index)) return;
  assignText(part, index, text);
}

bool DateFieldModel::editText(DatePart part, int index, const QString& text) {
  if (!hasPart(part, index)) return false;
  if (variant_ != DateFieldVariant::Report) {
    assignText(part, index, text);
    return true;
  }
  const DateBoxEdit edit = EditDateBox(part, textRef(part, index), text);
  if (!edit.refused) {
    const bool here = waiting_.part == part && waiting_.index == index;
    // A number left waiting in another box is taken before this one counts.
    if (!here) takeWaitingNumber();
    waiting_.index = -1;
    bool found = false;
    const double v = LeadingNumber(edit.text, &found);
    const SpinRange held = HeldRange(part);
    const bool inRange = found && v >= held.min && v <= held.max;
    if (inRange && v * 10 > held.max) {
      assignText(part, index, edit.text);
    } else {
      // Empty, below the range, or more digits may follow: shown, and the
      // report keeps its value for now.
      rewriteText(part, index, edit.text);
      if (inRange) waiting_ = {part, index};
    }
  }
  // The box shows what it holds (a refused edit undone, full-width digits
  // in their ASCII forms).
  if (listener_ && textRef(part, index) != text) listener_->textChanged(part, index, textRef(part, index));
  return !edit.refused;
}

void DateFieldModel::finishTyping(DatePart part, int index) {
  if (variant_ != DateFieldVariant::Report || !hasPart(part, index) || loading_) return;
  if (waiting_.part == part && waiting_.index == index) {
    waiting_.index = -1;
    assignSpin(part, index, RoundHalfEven(LeadingNumber(textRef(part, index))));
    mark();
  }
  bool found = false;
  const double shown = LeadingNumber(textRef(part, index), &found);
  const int held = spinRef(part, index);
  if (!found || shown != held) rewriteText(part, index, SpinText(held));
}

void DateFieldModel::takeWaitingNumber() {
  if (waiting_.index >= 0) finishTyping(waiting_.part, waiting_.index);
}

void DateFieldModel::runDayHandler(int index) {
  if (!hasPart(DatePart::Day, index)) return;
  MarkScope quiet(refreshing_);
  const int v = fields_[index].spin[static_cast<int>(DatePart::Day)];
  onDaySpin(index, v, v);
}

void DateFieldModel::showDate(int index, int year, int month, int day) {
  if (!hasPart(DatePart::Year, index)) return;
  if (waiting_.index == index && waiting_.part <= DatePart::Day) waiting_.index = -1;
  assignText(DatePart::Year, index, QString::number(year));
  assignText(DatePart::Month, index, QString::number(month));
  assignText(DatePart::Day, index, QString::number(day));
  showSpin(DatePart::Year, index, year);
  showSpin(DatePart::Month, index, month);
  showSpin(DatePart::Day, index, day);
}

void DateFieldModel::showTime(int hour, int minute) {
  if (!hasPart(DatePart::Hour, 0)) return;
  if (waiting_.part >= DatePart::Hour) waiting_.index = -1;
  assignText(DatePart::Hour, 0, QString::number(hour));
  assignText(DatePart::Minute, 0, QString::number(minute));
  showSpin(DatePart::Hour, 0, hour);
  showSpin(DatePart::Minute, 0, minute);
}

void DateFieldModel::showSpin(DatePart part, int index, int value) {
  const SpinRange r = RangeOf(part);
  value = std::clamp(value, r.min, r.max);
  int& slot = spinRef(part, index);
  if (slot == value) return;
  slot = value;
  if (listener_) listener_->spinValueChanged(part, index, value);
  store(part, index, value);
}

void DateFieldModel::assignSpin(DatePart part, int index, int value) {
  const SpinRange r = RangeOf(part);
  value = std::clamp(value, r.min, r.max);
  int& slot = spinRef(part, index);
  if (slot == value) return;
  const int old = slot;
  slot = value;
  if (listener_) listener_->spinValueChanged(part, index, value);
  switch (part) {
    case DatePart::Year: onYearSpin(index, value, old); break;
    case DatePart::Month: onMonthSpin(index, value, old); break;
    case DatePart::Day: onDaySpin(index, value, old); break;
    case DatePart::Hour:
    case DatePart::Minute: onTimeSpin(part, value); break;
  }
}

void DateFieldModel::assignText(DatePart part, int index, const QString& text) {
  QString& slot = textRef(part, index);
  if (slot == text) return;
  slot = text;
  if (listener_) listener_->textChanged(part, index, slot);
  onText(part, index);
}

void DateFieldModel::rewriteText(DatePart part, int index, const QString& text) {
  QString& slot = textRef(part, index);
  if (slot == text) return;
  slot = text;
  if (listener_) listener_->textChanged(part, index, slot);
}

void DateFieldModel::store(DatePart part, int index, int value) {
  if (variant_ == DateFieldVariant::Report && listener_) listener_->storeValue(part, index, value);
}

void DateFieldModel::mark() {
  if (variant_ == DateFieldVariant::Report && !loading_ && !refreshing_ && listener_) listener_->markChanged();
}

bool DateFieldModel::checkWorkingDate(int index) {
  // A report holds no year 0.
  const bool held = variant_ != DateFieldVariant::Report || working_.year >= HeldRange(DatePart::Year).min;
  const QString name = held ? WeekdayName(working_.year, working_.month, working_.day) : QString();
  invalid_ = name.isEmpty();
  if (variant_ == DateFieldVariant::Report) {
    QString& label = fields_[index].weekday;
    if (label != name) {
      label = name;
      if (listener_) listener_->weekdayChanged(index, label);
    }
  }
  return !invalid_;
}

void DateFieldModel::searchValidDay(int index) {
  // A date of a formable year is valid again by day 28; for the others the
  // search ends at day 1 and the caller takes the date back.
  while (!checkWorkingDate(index) && working_.day > 1) --working_.day;
}

CalendarDate DateFieldModel::dateBefore(DatePart part, int index, int oldValue) const {
  if (adjusting_) return working_;
  CalendarDate d = spinDate(index);
  if (part == DatePart::Year) d.year = oldValue;
  if (part == DatePart::Month) d.month = oldValue;
  if (part == DatePart::Day) d.day = oldValue;
  return d;
}

void DateFieldModel::settle(int index, const CalendarDate& before) {
  if (!checkWorkingDate(index)) {
    working_ = before;
    checkWorkingDate(index);
  }
  adjusting_ = true;
  assignSpin(DatePart::Day, index, working_.day);
  assignSpin(DatePart::Month, index, working_.month);
  assignSpin(DatePart::Year, index, working_.year);
  adjusting_ = false;
}

void DateFieldModel::onDaySpin(int index, int value, int oldValue) {
  store(DatePart::Day, index, value);
  if (loading_) return;
  const CalendarDate before = dateBefore(DatePart::Day, index, oldValue);
  wrappedBack_ = false;
  if (!adjusting_) working_ = spinDate(index);
  CalendarDate& w = working_;
  if (w.day == kDayPastEnd) {
    w.day = 1;
    if (w.month < kMonthPastEnd) ++w.month;
    if (w.month == kMonthPastEnd) {
      w.month = 1;
      ++w.year;
    }
  }
  if (w.day == 0) {
    wrappedBack_ = true;
    w.day = 31;
    if (w.month > 0) --w.month;
    if (w.month == 0) {
      w.month = 12;
      --w.year;
    }
  }
  if (!checkWorkingDate(index)) {
    if (wrappedBack_) {
      searchValidDay(index);
    } else {
      // A day past the end of a short month: the first of the next month.
      w.day = 1;
      if (w.month < kMonthPastEnd) ++w.month;
    }
  }
  settle(index, before);
  if (!typing(DatePart::Day)) assignText(DatePart::Day, index, SpinText(spinRef(DatePart::Day, index)));
}

void DateFieldModel::onMonthSpin(int index, int value, int oldValue) {
  store(DatePart::Month, index, value);
  if (loading_) return;
  const CalendarDate before = dateBefore(DatePart::Month, index, oldValue);
  if (!adjusting_) working_ = spinDate(index);
  CalendarDate& w = working_;
  const int yearSpin = spinRef(DatePart::Year, index);
  if (w.month == kMonthPastEnd) {
    w.month = 1;
    if (w.year < kYearMax) w.year = yearSpin + 1;
  } else if (w.month == 0) {
    w.month = 12;
    if (w.year > 0) w.year = yearSpin - 1;
  }
  searchValidDay(index);
  settle(index, before);
  if (!typing(DatePart::Month)) assignText(DatePart::Month, index, SpinText(spinRef(DatePart::Month, index)));
}

void DateFieldModel::onYearSpin(int index, int value, int oldValue) {
  store(DatePart::Year, index, value);
  if (loading_) return;
  const CalendarDate before = dateBefore(DatePart::Year, index, oldValue);
  if (!adjusting_) working_ = spinDate(index);
  searchValidDay(index);
  settle(index, before);
  if (!typing(DatePart::Year)) assignText(DatePart::Year, index, SpinText(spinRef(DatePart::Year, index)));
}

void DateFieldModel::onTimeSpin(DatePart part, int value) {
  store(part, 0, value);
  if (!typing(part)) assignText(part, 0, SpinText(value));
}

void DateFieldModel::onText(DatePart part, int index) {
  // The box's own rewrites below (commas removed, a value past the bounds
  // replaced) are shown but not handled again: the value is taken once.
  rewriteText(part, index, RemoveCommas(textRef(part, index)));
  MarkScope typingScope(typing_[static_cast<int>(part)]);
  bool isNumber = false;
  double v = LeadingNumber(textRef(part, index), &isNumber);
  switch (part) {
    case DatePart::Day:
      if (v < 0) {
        rewriteText(part, index, QStringLiteral("0"));
        v = 0;
      } else if (v > 31) {
        rewriteText(part, index, QStringLiteral("31"));
        v = 31;
      }
      assignSpin(part, index, RoundHalfEven(v));
      mark();
      break;
    case DatePart::Month:
      if (v >= 1 && v <= 12) {
        assignSpin(part, index, RoundHalfEven(v));
        mark();
      }
      break;
    case DatePart::Year:
      // A text that is no number changes nothing here, though it counts as
      // 0: an emptied year box does not jump to the year 0.
      if (isNumber && v >= 0 && v <= 10000) {
        assignSpin(part, index, RoundHalfEven(v));
        mark();
      }
      break;
    case DatePart::Hour:
    case DatePart::Minute: {
      const int last = part == DatePart::Hour ? 23 : 59;
      if (v < 0) {
        rewriteText(part, index, QString::number(last));
        v = last;
      } else if (v > last) {
        rewriteText(part, index, QStringLiteral("0"));
        v = 0;
      }
      assignSpin(part, index, RoundHalfEven(v));
      mark();
      break;
    }
  }
}

}  // namespace orvanta
