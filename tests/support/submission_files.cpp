#include "support/submission_files.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <random>

#include "core/network/submission_format.h"

namespace orvanta::testing {
namespace {

QString NewName() {
  static std::atomic<int> next{0};
  return QStringLiteral("synthetic-submission-%1").arg(next++);
}

class Connection {
 public:
  explicit Connection(const QString& path) : name_(NewName()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    db.open();
  }
  ~Connection() {
    {
      QSqlDatabase db = QSqlDatabase::database(name_, false);
      if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(name_);
  }
  QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

 private:
  QString name_;
};

bool Run(QSqlQuery& query, QString* error) {
  if (query.exec()) return true;
  if (error) *error = query.lastError().text();
  return false;
}

}  // namespace

bool WriteSyntheticSubmission(const QString& path, const SyntheticSubmission& s, QString* error) {
  Connection connection(path);
  QSqlDatabase db = connection.db();
  if (!db.isOpen()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  QSqlQuery q(db);
  q.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
  q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
  q.exec(QStringLiteral("PRAGMA application_id = %1").arg(submission::kApplicationId));
  q.exec(QStringLiteral("PRAGMA user_version = %1").arg(submission::kFormatVersion));
  db.transaction();
  for (const QString& statement : submission::SchemaStatements()) {
    if (!q.exec(statement)) {
      if (error) *error = q.lastError().text();
      return false;
    }
  }
  const SubmissionPeriod period = PeriodOfSubmissionYear(s.year, s.yearKind);
  q.prepare(QStringLiteral("INSERT INTO submission VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  for (const QVariant& v :
       {QVariant(submission::kFormatVersion), QVariant(s.facilityCode), QVariant(s.year), QVariant(s.yearKind),
        QVariant(period.from.toString(Qt::ISODate)), QVariant(period.to.toString(Qt::ISODate)), QVariant(s.reports),
        QVariant(QStringLiteral("3.1.0")), QVariant(QStringLiteral("2025-06-01T10:00:00+09:00"))})
    q.addBindValue(v);
  if (!Run(q, error)) return false;
  // Five coded entries per code item.
  q.prepare(QStringLiteral("INSERT INTO code_entry VALUES (?, ?, ?)"));
  for (const char* item : submission::kCodeColumns) {
    for (int c = 1; c <= 5; ++c) {
      q.addBindValue(QString::fromLatin1(item));
      q.addBindValue(QString::number(c));
      q.addBindValue(QStringLiteral("%1の選択肢%2").arg(QString::fromLatin1(item)).arg(c));
      if (!Run(q, error)) return false;
    }
  }
  q.prepare(QStringLiteral("INSERT INTO denominator VALUES (?, ?, ?)"));
  const auto denominator = [&](const char* kind, const QString& code, double value) {
    q.addBindValue(QString::fromLatin1(kind));
    q.addBindValue(code);
    q.addBindValue(value);
    return Run(q, error);
  };
  if (s.beds && !denominator(submission::kBedsKind, QStringLiteral(""), *s.beds)) return false;
  if (s.fte && !denominator(submission::kFteKind, QStringLiteral("1"), *s.fte)) return false;

  std::mt19937 random(s.seed);
  const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  QStringList placeholders;
  for (int i = 0; i < submission::kReportColumnCount; ++i) placeholders << QStringLiteral("?");
  q.prepare(QStringLiteral("INSERT INTO report VALUES (%1)").arg(placeholders.join(QLatin1Char(','))));
  const QVariant null;
  std::vector<std::pair<int, int>> months;
  for (QDate d = period.from; d <= period.to; d = d.addMonths(1)) months.emplace_back(d.year(), d.month());
  for (int i = 1; i <= s.reports; ++i) {
    const auto [year, month] = months[static_cast<std::size_t>(pick(static_cast<int>(months.size())))];
    q.addBindValue(i);
    q.addBindValue(year);
    q.addBindValue(month);
    q.addBindValue(pick(10) == 0 ? null : QVariant(pick(24)));
    for (int c = 0; c < submission::kCodeColumnCount; ++c)
      q.addBindValue(pick(12) == 0 ? null : QVariant(QString::number(1 + pick(5))));
    q.addBindValue(1 + pick(8));
    q.addBindValue(pick(6) == 0 ? null : QVariant(1 + pick(8)));
    for (int k = 0; k < 3; ++k) q.addBindValue(pick(4) == 0 ? null : QVariant(1 + pick(3)));
    q.addBindValue(pick(20) == 0 ? 1 : 0);
    q.addBindValue(pick(5) == 0 ? null : QVariant(1 + pick(2)));
    QString sites(submission::kBodySiteCount, QLatin1Char('0'));
    sites[pick(submission::kBodySiteCount)] = QLatin1Char('1');
    q.addBindValue(sites);
    if (!Run(q, error)) return false;
  }
  if (!db.commit()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return true;
}

bool ChangeSubmission(const QString& path, const QString& sql) {
  Connection connection(path);
  QSqlQuery q(connection.db());
  return q.exec(sql);
}

}  // namespace orvanta::testing
