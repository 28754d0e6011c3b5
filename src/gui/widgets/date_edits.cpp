#include "gui/widgets/date_edits.h"

#include <QDateEdit>
#include <QDateTimeEdit>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

void SetUp(QDateTimeEdit* edit, const QString& format, int left, int top, int width, int height) {
  edit->setDisplayFormat(format);
  edit->setCalendarPopup(true);
  edit->setMinimumDate(QDate(1900, 1, 1));
  edit->setMaximumDate(QDate(9999, 12, 31));
  edit->setAttribute(Qt::WA_InputMethodEnabled, false);
  PlaceTw(edit, left, top, width, height);
}

}  // namespace

QDateEdit* PlaceDateEdit(QWidget* parent, const QDate& date, int left, int top, int width, int height) {
  auto* edit = new QDateEdit(parent);
  SetUp(edit, QStringLiteral("yyyy/MM/dd"), left, top, width, height);
  edit->setDate(date);
  return edit;
}

QDateTimeEdit* PlaceMomentEdit(QWidget* parent, const QDateTime& moment, int left, int top, int width, int height) {
  auto* edit = new QDateTimeEdit(parent);
  SetUp(edit, QStringLiteral("yyyy/MM/dd HH:mm"), left, top, width, height);
  edit->setDateTime(moment);
  return edit;
}

}  // namespace orvanta
