#include "core/rates/rate_years.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "core/store/database.h"
#include "core/store/schema.h"

namespace orvanta {

QString YearKindKey(YearKind kind) {
  return kind == YearKind::Fiscal ? QStringLiteral("fiscal") : QStringLiteral("calendar");
}

std::int32_t FirstDayOfYear(int year, YearKind kind) { return SerialDayUnchecked(year, FirstMonthOfYear(kind), 1); }

std::int32_t LastDayOfYear(int year, YearKind kind) { return FirstDayOfYear(year + 1, kind) - 1; }

int DaysOfYear(int year, YearKind kind) { return LastDayOfYear(year, kind) - FirstDayOfYear(year, kind) + 1; }

QString YearLabel(int year, YearKind kind) { return QString::number(year) + YearHeading(kind); }

QString YearHeading(YearKind kind) { return kind == YearKind::Fiscal ? QStringLiteral("年度") : QStringLiteral("年"); }

std::vector<YearPart> YearsTouched(std::int32_t firstDay, std::int32_t lastDay, YearKind kind) {
  std::vector<YearPart> years;
  if (lastDay < firstDay) return years;
  const CalendarDate first = DateOfSerial(firstDay);
  const CalendarDate last = DateOfSerial(lastDay);
  for (int y = YearOfDate(first.year, first.month, kind); y <= YearOfDate(last.year, last.month, kind); ++y) {
    YearPart part;
    part.year = y;
    part.firstDay = std::max(firstDay, FirstDayOfYear(y, kind));
    part.lastDay = std::min(lastDay, LastDayOfYear(y, kind));
    part.daysInside = part.lastDay - part.firstDay + 1;
    part.daysOfYear = DaysOfYear(y, kind);
    years.push_back(part);
  }
  return years;
}

YearKind ReadYearKind(const Database& database) {
  if (!database.isOpen()) return YearKind::Fiscal;
  QSqlQuery query(database.connection());
  query.prepare(QStringLiteral("SELECT value FROM setting WHERE key = ?"));
  query.addBindValue(kSettingYearKind);
  if (!query.exec() || !query.next()) return YearKind::Fiscal;
  return query.value(0).toString() == YearKindKey(YearKind::Calendar) ? YearKind::Calendar : YearKind::Fiscal;
}

bool WriteYearKind(Database& database, YearKind kind, QString* error) {
  return database.change(
      [kind](QSqlDatabase& db, QString* reason) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO setting(key, value) VALUES (?, ?)"));
        query.addBindValue(kSettingYearKind);
        query.addBindValue(YearKindKey(kind));
        if (query.exec()) return true;
        if (reason) *reason = query.lastError().text();
        return false;
      },
      error);
}

}  // namespace orvanta
