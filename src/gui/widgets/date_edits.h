#pragma once
// The date and date-and-time boxes of the follow-up windows: "2026/12/09"
// and "2026/12/09 14:30", a calendar to pick from, digits typed without an
// input method. Placed in twips like every control.

#include <QDate>
#include <QDateTime>

class QDateEdit;
class QDateTimeEdit;
class QWidget;

namespace orvanta {

QDateEdit* PlaceDateEdit(QWidget* parent, const QDate& date, int left, int top, int width, int height);
QDateTimeEdit* PlaceMomentEdit(QWidget* parent, const QDateTime& moment, int left, int top, int width, int height);

}  // namespace orvanta
