#pragma once
// The two DateFields of one window (index 0 and 1) and, in the report window,
// the time of day, as a model without widgets.
//
// The model holds the value of every control: the year, month and day spin
// buttons (VSy, VSm, VSd) and text boxes (txy, txm, txd) of each index, the
// hour and minute spin buttons and boxes (vsHour, txhour, vsMin, txmin; index
// 0 only, report window only) and the weekday label of each index (report
// window only). The widgets call the operations below when the user clicks an
// arrow or types, and mirror every change the model reports to its listener.
//
// Change handling works like control events: giving a control a new value or
// text runs that control's handler at once, which may give other controls new
// values and so run their handlers before it continues. Giving a control the
// value or text it already has runs nothing. The window's marks (the working
// date, adjusting, the typing marks, wrapped back, invalid and Loading) are
// shared by both indexes, as they are one set per window.
//
// Years the calendar cannot form (above 9999, and below 0 after a step back
// from year 0): every search for a valid day is bounded (it stops at day 1),
// and when a step still ends on a date that is no date, the date goes back to
// what it was before that step: the spin buttons are written back with the
// earlier date, the weekday label shows that date's weekday again, and a text
// box the user is typing in keeps its text. Stepping the year up from 9999, or
// typing 10000 into the year box, therefore leaves the date unchanged. In the
// report window the year 0 counts as no date as well (a report holds no year
// 0: it would show as the present year), so no step takes a date there.
//
// What the user types or pastes into a box of the report window goes through
// editText, which keeps the box to what the report can hold (HeldRange)
// before the box's handler sees it: the states a box passes through while the
// user types never move the date, and once the user has left the box it never
// shows a value other than the one the report holds (finishTyping).

#include <QString>
#include <array>

#include "core/reports/calendar.h"

namespace orvanta {

enum class DateFieldVariant {
  Report,    // report entry window: stores into the report, weekday and time
  Analysis,  // analysis views: the period; values stay in the controls
};

enum class DatePart { Year = 0, Month, Day, Hour, Minute };

inline constexpr int kDatePartCount = 5;
inline constexpr int kDateFieldCount = 2;

struct SpinRange {
  int min = 0;
  int max = 0;
};

// Ranges of the spin buttons: year 0-20000, month 0-13, day 0-32, hour -1-24,
// minute -1-60. The values at the ends of month, day, hour and minute are only
// steps past the ends and never stay.
SpinRange RangeOf(DatePart part);

// The values a report's date and time hold: year 1-9999, month 1-12, day
// 1-31, hour 0-23, minute 0-59.
SpinRange HeldRange(DatePart part);

// What a box of the report window makes of an edit by the user that would
// change its text from `before` to `after`. Full-width digits "０" to "９"
// become their ASCII forms (as the input method types them). Refused, the
// box keeping `before`: a character other than a digit (a blank only where
// the box had it, in front of the number); a digit that takes the number past
// the highest value HeldRange allows ("10000" in the year box); a paste (more
// than one character put in at once) that does not leave a value of
// HeldRange. An empty box, or a number the user is still typing ("0" in the
// day box), is kept as it is.
struct DateBoxEdit {
  QString text;  // what the box then holds
  bool refused = false;
};
DateBoxEdit EditDateBox(DatePart part, const QString& before, const QString& after);

// The value of a typed text: the number at its start (leading blanks, an
// optional sign, digits with an optional decimal point), 0 when the text does
// not start with a number (then *found, when given, is false).
double LeadingNumber(const QString& text, bool* found = nullptr);

// The text a spin button writes into its box: the decimal number with a blank
// in the sign position (" 15", "-1").
QString SpinText(int value);

// What the model tells the widgets and the window. Every function has an empty
// default so a listener takes only what it needs.
class DateFieldListener {
 public:
  virtual ~DateFieldListener() = default;
  // A spin button took a new value; the widget shows it (without calling the
  // model back, or calling it back with the same value, which runs nothing).
  virtual void spinValueChanged(DatePart /*part*/, int /*index*/, int /*value*/) {}
  // A text box took a new text (written by the model, or typed and then
  // rewritten, as "45" becoming "31").
  virtual void textChanged(DatePart /*part*/, int /*index*/, const QString& /*text*/) {}
  // Report window: the weekday label of a DateField changed.
  virtual void weekdayChanged(int /*index*/, const QString& /*name*/) {}
  // Report window: store a spin button's value into the shown report:
  // Years/Months/Days(index), Hours(0), Minutes(0).
  virtual void storeValue(DatePart /*part*/, int /*index*/, int /*value*/) {}
  // Report window: mark the report as changed.
  virtual void markChanged() {}
};

class DateFieldModel {
 public:
  explicit DateFieldModel(DateFieldVariant variant, DateFieldListener* listener = nullptr);

  DateFieldVariant variant() const { return variant_; }
  void setListener(DateFieldListener* listener) { listener_ = listener; }

  // The window's Loading mark. While it is set the spin buttons' handlers
  // only store their value (report window) and step nothing, and the text
  // boxes mark nothing as changed.
  bool loading() const { return loading_; }
  void setLoading(bool on) { loading_ = on; }

  // Control values. Hour and minute exist for index 0 of the report window.
  int spinValue(DatePart part, int index) const;
  const QString& text(DatePart part, int index) const;
  const QString& weekday(int index) const;
  // The date the spin buttons of a DateField hold.
  CalendarDate spinDate(int index) const;

  // The window's marks.
  CalendarDate workingDate() const { return working_; }
  bool adjusting() const { return adjusting_; }
  bool typing(DatePart part) const { return typing_[static_cast<int>(part)]; }
  bool wrappedBack() const { return wrappedBack_; }
  bool invalid() const { return invalid_; }

  // A spin button takes a value (clicked by the user or set by the program).
  // The value is kept inside the button's range; its handler runs when the
  // value differs from the one the button holds.
  void setSpinValue(DatePart part, int index, int value);
  // The user clicked the upper arrow (+1) or the lower arrow (-1).
  void stepUp(DatePart part, int index) { step(part, index, +1); }
  void stepDown(DatePart part, int index) { step(part, index, -1); }
  // A text box takes a text (typed by the user or written by the program).
  // Its handler runs when the text differs from the one the box holds.
  void setText(DatePart part, int index, const QString& text);

  // The user typed or pasted into a box, which would then hold `text`. In
  // the analysis views this is setText. In the report window the edit goes
  // through EditDateBox first; false when it is refused (the box keeps its
  // text and the window beeps). A text that is kept is shown; the box's
  // handler takes its number at once only when the number is complete: one
  // of HeldRange to which no digit can be added (a day from 4, a year from
  // 1000). An empty box or a "0" changes nothing; a number that more digits
  // may follow ("1" in the month, "202" on the way to "2028") waits until
  // the user leaves the box, so that no state the box passes through moves
  // the date (typing 2028 over 29 February 2024 does not pass through the
  // year 2, which has no 29 February). A number that is taken keeps the
  // calendar rules: 31 typed in April is 1 May.
  bool editText(DatePart part, int index, const QString& text);
  // Report window: the user left a box, or pressed Enter in it. The number
  // waiting there is taken (with the calendar rules); then a box that does
  // not show the value its spin button holds (left empty, or 31 typed in
  // April, now 1 May) shows it, as a spin button writes it (" 1").
  void finishTyping(DatePart part, int index);
  // Report window: takes the number waiting in a box, if any, as when the
  // user leaves it; the window calls this before it saves, steps or closes.
  void takeWaitingNumber();

  // Runs the day spin button's handler with its present value, as the report
  // window does for both indexes after showing a report or starting one (with
  // Loading cleared), so that the weekday labels show the weekdays of the
  // dates now shown. The boxes this rewrites (the day box's "15" becoming
  // " 15") do not mark the report as changed: showing a report or starting a
  // new one is no change by the user. Values are still stored.
  void runDayHandler(int index);

  // Writes a date into the year, month and day boxes (in this order) as plain
  // decimal text without a blank, as a window does when it shows a report or
  // writes its default period. Normally called with Loading set. The spin
  // buttons then take the date as given, whatever the boxes held before: a
  // box that already showed its new text (a day 30 typed while February was
  // shown, the date moved on to 1 March) runs nothing, and its spin button
  // would otherwise keep the day the earlier date settled on. Values a spin
  // button takes here are stored (report window) but step nothing. A number
  // waiting in one of these boxes is dropped.
  void showDate(int index, int year, int month, int day);
  // Writes the time into the hour and minute boxes as plain decimal text; the
  // spin buttons take it as given, like the date above.
  void showTime(int hour, int minute);

 private:
  struct Field {
    std::array<int, 3> spin{};    // year, month, day
    std::array<QString, 3> text;  // year, month, day
    QString weekday;
  };

  bool hasPart(DatePart part, int index) const;
  int& spinRef(DatePart part, int index);
  QString& textRef(DatePart part, int index);

  void step(DatePart part, int index, int delta);
  // Gives a control its value; runs the handler when the value changed.
  void assignSpin(DatePart part, int index, int value);
  void assignText(DatePart part, int index, const QString& text);
  // Gives a spin button a shown value: stored, nothing stepped.
  void showSpin(DatePart part, int index, int value);
  // Rewrites a text box from its own handler: shown, but not handled again.
  void rewriteText(DatePart part, int index, const QString& text);

  void onDaySpin(int index, int value, int oldValue);
  void onMonthSpin(int index, int value, int oldValue);
  void onYearSpin(int index, int value, int oldValue);
  void onTimeSpin(DatePart part, int value);
  void onText(DatePart part, int index);

  // The weekday check of the working date (youbi): sets the invalid mark and,
  // in the report window, the weekday label of the index. True when valid.
  bool checkWorkingDate(int index);
  // Lowers the working day until the date is valid or the day reaches 1.
  void searchValidDay(int index);
  // Ends a spin handler: a date that is still invalid goes back to `before`;
  // then the working date is written into the three spin buttons under the
  // adjusting mark.
  void settle(int index, const CalendarDate& before);
  // The date before a spin button of `index` changed from oldValue.
  CalendarDate dateBefore(DatePart part, int index, int oldValue) const;

  void store(DatePart part, int index, int value);
  void mark();

  DateFieldVariant variant_;
  DateFieldListener* listener_ = nullptr;

  std::array<Field, kDateFieldCount> fields_;
  int hourSpin_ = 0;
  int minuteSpin_ = 0;
  QString hourText_;
  QString minuteText_;

  CalendarDate working_;
  bool adjusting_ = false;
  std::array<bool, kDatePartCount> typing_{};
  bool wrappedBack_ = false;
  bool invalid_ = false;
  bool loading_ = false;
  bool refreshing_ = false;  // inside runDayHandler: nothing marks changed
  // The report box whose typed number waits for the user to leave it.
  struct Waiting {
    DatePart part = DatePart::Year;
    int index = -1;  // -1: none
  } waiting_;
};

}  // namespace orvanta
