#pragma once
// The controls of the DateFields (and, in the report window, the time of day)
// bound to a DateFieldModel. A window creates one DateFieldControls, places
// its DateFields and the time with placeDate/placeTime, and listens to
// valueStored and changed; the model keeps the rules, the controls mirror it.
//
// Each spin button is a small vertical QScrollBar beside its text box whose
// upper arrow increases the value and the lower arrow decreases it. Its
// value() is the spin button's value.

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

#include "core/reports/date_field_model.h"

class QLabel;
class QLineEdit;
class QScrollBar;
class QWidget;

namespace orvanta {

class DateFieldControls : public QObject, public DateFieldListener {
  Q_OBJECT

 public:
  explicit DateFieldControls(DateFieldVariant variant, QObject* parent = nullptr);
  ~DateFieldControls() override;

  // Creates DateField `index` on `parent` in one row starting at (left, top):
  // report window: "西暦" txy VSy "年" txm VSm "月" txd VSd "日" Label12 "曜日";
  // analysis views: txy VSy "年" txm VSm "月" txd VSd and "日～" (index 0) or
  // "日" (index 1).
  void placeDate(int index, QWidget* parent, int leftTwips, int topTwips);
  // Report window: txhour vsHour "時" txmin vsMin "分" in one row.
  void placeTime(QWidget* parent, int leftTwips, int topTwips);

  // Height of a row, and its width as placed for `index` (0 before it is
  // placed), in twips, for windows that put other controls beside it.
  static int rowHeightTwips();
  int dateRowWidthTwips(int index) const;

  DateFieldModel& model() { return model_; }
  const DateFieldModel& model() const { return model_; }

  // Write a date or the time into the boxes, as the windows do when they show
  // a report or their default period (the window sets Loading around them).
  void showDate(int index, int year, int month, int day) { model_.showDate(index, year, month, day); }
  void showTime(int hour, int minute) { model_.showTime(hour, minute); }

  // The spin buttons' values.
  int year(int index) const { return model_.spinValue(DatePart::Year, index); }
  int month(int index) const { return model_.spinValue(DatePart::Month, index); }
  int day(int index) const { return model_.spinValue(DatePart::Day, index); }
  int hour() const { return model_.spinValue(DatePart::Hour, 0); }
  int minute() const { return model_.spinValue(DatePart::Minute, 0); }
  // The text a box holds.
  QString text(DatePart part, int index) const { return model_.text(part, index); }
  // The weekday label's text (report window).
  QString weekday(int index) const { return model_.weekday(index); }

  // The controls (null before they are placed or after they are destroyed).
  QLineEdit* box(DatePart part, int index) const;
  QScrollBar* spin(DatePart part, int index) const;
  QLabel* weekdayLabel(int index) const;

 signals:
  // Report window: a spin button's value is to be stored into the shown
  // report (Years/Months/Days at index, Hours/Minutes at 0).
  void valueStored(orvanta::DatePart part, int index, int value);
  // Report window: the user changed the report.
  void changed();
  // Report window: a box refused what was typed or pasted into it (a
  // character other than a digit, a number the report cannot hold, a paste
  // that is no whole value: see EditDateBox); the window beeps. The boxes of
  // a report take full-width digits as their ASCII forms; the period boxes
  // of the analysis views hold nothing that is stored and keep what is typed.
  void inputRefused();

 private:
  // DateFieldListener
  void spinValueChanged(DatePart part, int index, int value) override;
  void textChanged(DatePart part, int index, const QString& text) override;
  void weekdayChanged(int index, const QString& name) override;
  void storeValue(DatePart part, int index, int value) override;
  void markChanged() override;

  struct Controls {
    QPointer<QLineEdit> box;
    QPointer<QScrollBar> spin;
  };
  Controls& slot(DatePart part, int index);
  const Controls* find(DatePart part, int index) const;

  // Creates a text box and its spin button at x (pixels), bound to the
  // model; returns the x just right of the spin button.
  int placePair(DatePart part, int index, QWidget* parent, int x, int y, int boxWidthTwips, const char* boxName,
                const char* spinName);
  void onBoxTextChanged(DatePart part, int index, const QString& text);

  DateFieldModel model_;
  std::array<std::array<Controls, 3>, kDateFieldCount> date_;
  std::array<Controls, 2> time_;  // hour, minute
  std::array<QPointer<QLabel>, kDateFieldCount> weekday_;
  std::array<int, kDateFieldCount> rowWidth_{};
  QLineEdit* typingIn_ = nullptr;  // the box whose typed change is being handled
};

}  // namespace orvanta
