#include "core/network/feedback_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cmath>

#include "core/store/database.h"

namespace orvanta {
namespace {

// A connection of its own to one file, closed and removed at the end.
class FileConnection {
 public:
  FileConnection(const QString& path, bool readOnly) {
    static std::atomic<int> next{0};
    name_ = QStringLiteral("orvanta-feedback-%1").arg(next++);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    if (readOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    opened_ = db.open();
    if (!opened_) error_ = db.lastError().text();
  }
  ~FileConnection() {
    {
      QSqlDatabase db = QSqlDatabase::database(name_, false);
      if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(name_);
  }
  bool opened() const { return opened_; }
  QString error() const { return error_; }
  QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

 private:
  QString name_;
  bool opened_ = false;
  QString error_;
};

const char* const kTables[] = {
    "CREATE TABLE feedback(format_version INTEGER NOT NULL, created_at TEXT NOT NULL, program_version TEXT NOT NULL)",
    "CREATE TABLE network_year(year INTEGER NOT NULL, year_kind TEXT NOT NULL, hospital_count INTEGER NOT NULL,"
    " report_count INTEGER NOT NULL, bed_total REAL NOT NULL, rate REAL, rate_lower REAL, rate_upper REAL,"
    " p25 REAL, p50 REAL, p75 REAL, p90 REAL, PRIMARY KEY(year, year_kind))",
    "CREATE TABLE bed_class(year INTEGER NOT NULL, year_kind TEXT NOT NULL, class INTEGER NOT NULL,"
    " hospital_count INTEGER NOT NULL, report_count INTEGER NOT NULL, bed_total REAL NOT NULL, rate REAL, p50 REAL,"
    " PRIMARY KEY(year, year_kind, class))",
    "CREATE TABLE hospital_point(year INTEGER NOT NULL, year_kind TEXT NOT NULL, beds REAL NOT NULL,"
    " report_count INTEGER NOT NULL)",
};

QVariant Optional(const std::optional<double>& value) {
  return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}
std::optional<double> Optional(const QVariant& value) {
  if (value.isNull()) return std::nullopt;
  return value.toDouble();
}

// A text bound as a value: never NULL, even when empty.
QVariant Text(const QString& text) { return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text); }

bool Fail(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

bool Exec(QSqlQuery& query, QString* error) {
  if (query.exec()) return true;
  return Fail(error, query.lastError().text());
}

bool Exec(QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery query(db);
  if (query.exec(sql)) return true;
  return Fail(error, query.lastError().text());
}

std::optional<std::int64_t> Scalar(QSqlDatabase& db, const QString& sql) {
  QSqlQuery query(db);
  if (!query.exec(sql) || !query.next()) return std::nullopt;
  return query.value(0).toLongLong();
}

FeedbackGroup GroupOfFigures(const GroupFigures& g) {
  FeedbackGroup f;
  f.hospitals = g.hospitals;
  f.reports = g.reports;
  f.beds = g.beds;
  if (g.rate) {
    f.rate = g.rate->rate;
    f.lower = g.rate->lower;
    f.upper = g.rate->upper;
  }
  f.p25 = g.p25;
  f.p50 = g.p50;
  f.p75 = g.p75;
  f.p90 = g.p90;
  return f;
}

// The tables of a feedback (file or stored) read into years; the same query
// shapes serve both, their table names given.
struct Names {
  QString year, bedClass, point;
};

bool ReadYears(QSqlDatabase& db, const Names& names, std::optional<NetworkYear> only, std::vector<FeedbackYear>& years,
               QString* error) {
  QString where;
  if (only)
    where = QStringLiteral(" WHERE year = %1 AND year_kind = '%2'").arg(only->year).arg(YearKindKey(only->kind));
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT year, year_kind, hospital_count, report_count, bed_total, rate, rate_lower,"
                                 " rate_upper, p25, p50, p75, p90 FROM %1%2 ORDER BY year DESC, year_kind DESC")
                      .arg(names.year, where)))
    return Fail(error, query.lastError().text());
  while (query.next()) {
    FeedbackYear y;
    y.year.year = query.value(0).toInt();
    const QString kind = query.value(1).toString();
    if (kind != QLatin1String("fiscal") && kind != QLatin1String("calendar"))
      return Fail(error, QStringLiteral("年度の種類「%1」が読めません。").arg(kind));
    y.year.kind = kind == QLatin1String("calendar") ? YearKind::Calendar : YearKind::Fiscal;
    y.network.hospitals = query.value(2).toInt();
    y.network.reports = query.value(3).toLongLong();
    y.network.beds = query.value(4).toDouble();
    y.network.rate = Optional(query.value(5));
    y.network.lower = Optional(query.value(6));
    y.network.upper = Optional(query.value(7));
    y.network.p25 = Optional(query.value(8));
    y.network.p50 = Optional(query.value(9));
    y.network.p75 = Optional(query.value(10));
    y.network.p90 = Optional(query.value(11));
    years.push_back(std::move(y));
  }
  for (FeedbackYear& y : years) {
    QSqlQuery classes(db);
    classes.prepare(QStringLiteral("SELECT class, hospital_count, report_count, bed_total, rate, p50 FROM %1"
                                   " WHERE year = ? AND year_kind = ? ORDER BY class")
                        .arg(names.bedClass));
    classes.addBindValue(y.year.year);
    classes.addBindValue(YearKindKey(y.year.kind));
    if (!Exec(classes, error)) return false;
    while (classes.next()) {
      const int c = classes.value(0).toInt();
      if (c < 0 || c >= kBedClassCount) return Fail(error, QStringLiteral("病床規模の区分 %1 が読めません。").arg(c));
      FeedbackGroup& g = y.classes[static_cast<std::size_t>(c)];
      g.hospitals = classes.value(1).toInt();
      g.reports = classes.value(2).toLongLong();
      g.beds = classes.value(3).toDouble();
      g.rate = Optional(classes.value(4));
      g.p50 = Optional(classes.value(5));
    }
    QSqlQuery points(db);
    points.setForwardOnly(true);
    points.prepare(
        QStringLiteral("SELECT beds, report_count FROM %1 WHERE year = ? AND year_kind = ?").arg(names.point));
    points.addBindValue(y.year.year);
    points.addBindValue(YearKindKey(y.year.kind));
    if (!Exec(points, error)) return false;
    while (points.next()) y.points.emplace_back(points.value(0).toDouble(), points.value(1).toLongLong());
  }
  return true;
}

bool Finite(const std::optional<double>& v) { return !v || (std::isfinite(*v) && *v >= 0); }

// Every value in its range; the reason of the first that is not.
bool CheckValues(const Feedback& f, QString* error) {
  for (const FeedbackYear& y : f.years) {
    const QString year = NetworkYearLabel(y.year);
    if (y.year.year < 1900 || y.year.year > 9999)
      return Fail(error, QStringLiteral("年 %1 が範囲外です。").arg(y.year.year));
    const auto groupOk = [](const FeedbackGroup& g) {
      return g.hospitals >= 0 && g.reports >= 0 && std::isfinite(g.beds) && g.beds >= 0 && Finite(g.rate) &&
             Finite(g.lower) && Finite(g.upper) && Finite(g.p25) && Finite(g.p50) && Finite(g.p75) && Finite(g.p90);
    };
    if (!groupOk(y.network)) return Fail(error, QStringLiteral("%1のネットワーク全体の値が範囲外です。").arg(year));
    for (const FeedbackGroup& g : y.classes)
      if (!groupOk(g)) return Fail(error, QStringLiteral("%1の病床規模別の値が範囲外です。").arg(year));
    if (static_cast<int>(y.points.size()) != y.network.hospitals)
      return Fail(error, QStringLiteral("%1の施設の点の数（%2）が施設数（%3）と合いません。")
                             .arg(year)
                             .arg(y.points.size())
                             .arg(y.network.hospitals));
    for (const auto& [beds, reports] : y.points)
      if (!(beds > 0) || !std::isfinite(beds) || reports < 0)
        return Fail(error, QStringLiteral("%1の施設の点に範囲外の値があります。").arg(year));
  }
  return true;
}

}  // namespace

FeedbackYear FeedbackYearOf(const NetworkFigures& figures) {
  FeedbackYear y;
  y.year = figures.year;
  y.network = GroupOfFigures(figures.network);
  for (int c = 0; c < kBedClassCount; ++c)
    y.classes[static_cast<std::size_t>(c)] = GroupOfFigures(figures.classes[static_cast<std::size_t>(c)]);
  for (const HospitalFigures& h : figures.hospitals)
    if (h.hospital.beds && *h.hospital.beds > 0) y.points.emplace_back(*h.hospital.beds, h.hospital.reportCount);
  return y;
}

Feedback FeedbackOfNetwork(const Database& network, const QDateTime& now) {
  Feedback f;
  f.createdAt = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
  f.programVersion = QCoreApplication::applicationVersion();
  for (const NetworkYear& year : ListNetworkYears(network))
    f.years.push_back(FeedbackYearOf(ComputeNetworkYear(network, year)));
  return f;
}

bool WriteFeedbackFile(const Feedback& feedback, const QString& path, QString* error) {
  const QString temporary = path + QStringLiteral(".writing");
  QFile::remove(temporary);
  {
    QFile empty(temporary);
    if (!empty.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
      return Fail(error, QStringLiteral("ファイル「%1」を作成できませんでした。(%2)")
                             .arg(QDir::toNativeSeparators(path), empty.errorString()));
  }
  bool ok = true;
  {
    FileConnection file(temporary, false);
    QSqlDatabase db = file.db();
    ok = file.opened() || Fail(error, file.error());
    ok = ok && Exec(db, QStringLiteral("PRAGMA journal_mode = DELETE"), error) &&
         Exec(db, QStringLiteral("PRAGMA application_id = %1").arg(feedback::kApplicationId), error) &&
         Exec(db, QStringLiteral("PRAGMA user_version = %1").arg(feedback::kFormatVersion), error);
    ok = ok && db.transaction();
    for (const char* table : kTables) ok = ok && Exec(db, QString::fromUtf8(table), error);
    QSqlQuery row(db);
    if (ok) {
      row.prepare(QStringLiteral("INSERT INTO feedback VALUES (?, ?, ?)"));
      row.addBindValue(feedback::kFormatVersion);
      row.addBindValue(Text(feedback.createdAt));
      row.addBindValue(Text(feedback.programVersion));
      ok = Exec(row, error);
    }
    QSqlQuery year(db), bedClass(db), point(db);
    year.prepare(QStringLiteral("INSERT INTO network_year VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    bedClass.prepare(QStringLiteral("INSERT INTO bed_class VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    point.prepare(QStringLiteral("INSERT INTO hospital_point VALUES (?, ?, ?, ?)"));
    for (const FeedbackYear& y : feedback.years) {
      if (!ok) break;
      const QString kind = YearKindKey(y.year.kind);
      const FeedbackGroup& n = y.network;
      for (const QVariant& v :
           {QVariant(y.year.year), QVariant(kind), QVariant(n.hospitals), QVariant(static_cast<qlonglong>(n.reports)),
            QVariant(n.beds), Optional(n.rate), Optional(n.lower), Optional(n.upper), Optional(n.p25), Optional(n.p50),
            Optional(n.p75), Optional(n.p90)})
        year.addBindValue(v);
      ok = Exec(year, error);
      for (int c = 0; ok && c < kBedClassCount; ++c) {
        const FeedbackGroup& g = y.classes[static_cast<std::size_t>(c)];
        for (const QVariant& v :
             {QVariant(y.year.year), QVariant(kind), QVariant(c), QVariant(g.hospitals),
              QVariant(static_cast<qlonglong>(g.reports)), QVariant(g.beds), Optional(g.rate), Optional(g.p50)})
          bedClass.addBindValue(v);
        ok = Exec(bedClass, error);
      }
      for (const auto& [beds, reports] : y.points) {
        if (!ok) break;
        point.addBindValue(y.year.year);
        point.addBindValue(kind);
        point.addBindValue(beds);
        point.addBindValue(static_cast<qlonglong>(reports));
        ok = Exec(point, error);
      }
    }
    if (ok && !db.commit()) ok = Fail(error, db.lastError().text());
    if (!ok && db.isOpen()) db.rollback();
  }
  // Read back and compared before it takes its name.
  if (ok) {
    QString why;
    const std::optional<Feedback> back = ReadFeedbackFile(temporary, &why);
    if (!back) {
      ok = Fail(error, why);
    } else if (back->years.size() != feedback.years.size()) {
      ok = Fail(error, QStringLiteral("書き込んだ内容を読み返すと、年の数が合いません。"));
    } else {
      for (std::size_t i = 0; ok && i < back->years.size(); ++i)
        if (back->years[i].points.size() != feedback.years[i].points.size() ||
            back->years[i].network.reports != feedback.years[i].network.reports)
          ok = Fail(error, QStringLiteral("書き込んだ内容を読み返すと、%1の値が合いません。")
                               .arg(NetworkYearLabel(feedback.years[i].year)));
    }
  }
  if (ok) {
    QFile::setPermissions(temporary, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (QFileInfo::exists(path) && !QFile::remove(path))
      ok = Fail(error,
                QStringLiteral("既にあるファイル「%1」を置き換えられません。").arg(QDir::toNativeSeparators(path)));
    if (ok && !QFile::rename(temporary, path))
      ok = Fail(error, QStringLiteral("ファイル「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(path)));
  }
  if (!ok) QFile::remove(temporary);
  QFile::remove(temporary + QStringLiteral("-journal"));
  return ok;
}

std::optional<Feedback> ReadFeedbackFile(const QString& path, QString* error) {
  const auto refuse = [error](const QString& why) -> std::optional<Feedback> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (!QFileInfo(path).isFile()) return refuse(QStringLiteral("ファイルがありません。"));
  QString why;
  if (!CheckDatabaseFile(path, &why))
    return refuse(QStringLiteral("還元ファイルではないか、壊れています。(%1)").arg(why));
  FileConnection file(path, true);
  if (!file.opened()) return refuse(file.error());
  QSqlDatabase db = file.db();
  if (Scalar(db, QStringLiteral("PRAGMA application_id")) != std::int64_t{feedback::kApplicationId})
    return refuse(QStringLiteral("還元ファイルではありません。"));
  const auto version = Scalar(db, QStringLiteral("PRAGMA user_version"));
  if (version != std::int64_t{feedback::kFormatVersion})
    return refuse(QStringLiteral("還元ファイルの形式の版（%1）に対応していません。新しい版のOrvantaをお使いください。")
                      .arg(version.value_or(-1)));
  Feedback f;
  {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT format_version, created_at, program_version FROM feedback")))
      return refuse(QStringLiteral("還元ファイルの表が揃っていません。(%1)").arg(query.lastError().text()));
    int rows = 0;
    while (query.next()) {
      ++rows;
      f.createdAt = query.value(1).toString();
      f.programVersion = query.value(2).toString();
    }
    if (rows != 1) return refuse(QStringLiteral("還元ファイルの説明の行が1行ではありません。"));
  }
  if (!ReadYears(db,
                 Names{QStringLiteral("network_year"), QStringLiteral("bed_class"), QStringLiteral("hospital_point")},
                 std::nullopt, f.years, &why))
    return refuse(QStringLiteral("還元ファイルを読めませんでした。(%1)").arg(why));
  if (!CheckValues(f, &why)) return refuse(why);
  return f;
}

bool StoreFeedback(Database& database, const Feedback& feedback, const QDateTime& now, QString* error) {
  return database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery remove(db), year(db), bedClass(db), point(db);
        remove.prepare(QStringLiteral("DELETE FROM network_year WHERE year = ? AND year_kind = ?"));
        year.prepare(QStringLiteral(
            "INSERT INTO network_year(year_kind, year, hospital_count, report_count, bed_total, rate, rate_lower,"
            " rate_upper, p25, p50, p75, p90, feedback_created_at, loaded_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?)"));
        bedClass.prepare(
            QStringLiteral("INSERT INTO network_bed_class(year_kind, year, class, hospital_count,"
                           " report_count, bed_total, rate, p50) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        point.prepare(
            QStringLiteral("INSERT INTO network_point(year_kind, year, beds, report_count) VALUES (?, ?, ?, ?)"));
        for (const FeedbackYear& y : feedback.years) {
          const QString kind = YearKindKey(y.year.kind);
          remove.addBindValue(y.year.year);
          remove.addBindValue(kind);
          if (!Exec(remove, why)) return false;
          const FeedbackGroup& n = y.network;
          for (const QVariant& v :
               {QVariant(kind), QVariant(y.year.year), QVariant(n.hospitals),
                QVariant(static_cast<qlonglong>(n.reports)), QVariant(n.beds), Optional(n.rate), Optional(n.lower),
                Optional(n.upper), Optional(n.p25), Optional(n.p50), Optional(n.p75), Optional(n.p90),
                Text(feedback.createdAt), QVariant(now.toString(Qt::ISODate))})
            year.addBindValue(v);
          if (!Exec(year, why)) return false;
          for (int c = 0; c < kBedClassCount; ++c) {
            const FeedbackGroup& g = y.classes[static_cast<std::size_t>(c)];
            for (const QVariant& v :
                 {QVariant(kind), QVariant(y.year.year), QVariant(c), QVariant(g.hospitals),
                  QVariant(static_cast<qlonglong>(g.reports)), QVariant(g.beds), Optional(g.rate), Optional(g.p50)})
              bedClass.addBindValue(v);
            if (!Exec(bedClass, why)) return false;
          }
          for (const auto& [beds, reports] : y.points) {
            point.addBindValue(kind);
            point.addBindValue(y.year.year);
            point.addBindValue(beds);
            point.addBindValue(static_cast<qlonglong>(reports));
            if (!Exec(point, why)) return false;
          }
        }
        return true;
      },
      error);
}

std::vector<NetworkYear> StoredFeedbackYears(const Database& database) {
  std::vector<NetworkYear> years;
  QSqlQuery query(database.connection());
  query.exec(QStringLiteral("SELECT year, year_kind FROM network_year ORDER BY year DESC, year_kind DESC"));
  while (query.next())
    years.push_back(NetworkYear{query.value(0).toInt(), query.value(1).toString() == QLatin1String("calendar")
                                                            ? YearKind::Calendar
                                                            : YearKind::Fiscal});
  return years;
}

std::optional<FeedbackYear> ReadStoredFeedback(const Database& database, const NetworkYear& year) {
  std::vector<FeedbackYear> years;
  QSqlDatabase db = database.connection();
  if (!ReadYears(
          db,
          Names{QStringLiteral("network_year"), QStringLiteral("network_bed_class"), QStringLiteral("network_point")},
          year, years, nullptr) ||
      years.empty())
    return std::nullopt;
  return years.front();
}

}  // namespace orvanta
