#include "core/network/submission_import.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "core/analysis/analysis_axis.h"
#include "core/network/submission_format.h"
#include "core/platform/work_progress.h"

namespace orvanta {
namespace {

constexpr char kAttached[] = "incoming";

bool Exec(QSqlQuery& query, QString* error) {
  if (query.exec()) return true;
  if (error) *error = query.lastError().text();
  return false;
}

bool Exec(QSqlDatabase& db, const QString& sql, std::int64_t id, QString* error) {
  QSqlQuery query(db);
  query.prepare(sql);
  if (sql.contains(QLatin1Char('?'))) query.addBindValue(static_cast<qlonglong>(id));
  return Exec(query, error);
}

// The statements that count the incoming reports by the seventeen items
// into item_count, each "?" the hospital's year.
QStringList ItemCountStatements() {
  const QString insert = QStringLiteral("INSERT INTO item_count(hospital_year_id, item, code, count) ");
  QStringList statements;
  for (int i = 0; i < submission::kCodeColumnCount; ++i)
    statements << insert + QStringLiteral("SELECT ?, %1, %2, count(*) FROM incoming.report GROUP BY 3")
                               .arg(i)
                               .arg(QLatin1String(submission::kCodeColumns[i]));
  const auto category = [&](int item, const QString& expression) {
    statements << insert +
                      QStringLiteral("SELECT ?, %1, CAST(%2 AS TEXT) AS c, count(*) FROM incoming.report GROUP BY c")
                          .arg(item)
                          .arg(expression);
  };
  category(AxisNumber(AnalysisAxis::Month), QStringLiteral("incident_month"));
  category(AxisNumber(AnalysisAxis::Hour), QStringLiteral("incident_hour / 2 + 1"));
  category(AxisNumber(AnalysisAxis::Experience), QStringLiteral("experience_band"));
  category(AxisNumber(AnalysisAxis::DepartmentExperience), QStringLiteral("department_experience_band"));
  category(AxisNumber(AnalysisAxis::Emergency), QStringLiteral("emergency"));
  // The infection categories: HIV 陽性/陰性/未検査 1-3, HCV 4-6, HBV 7-9,
  // その他 10; a report counts once in each that it answers.
  const int infection = AxisNumber(AnalysisAxis::Infection);
  statements << insert + QStringLiteral(
                             "SELECT ?, %1, CAST(c AS TEXT), count(*) FROM ("
                             " SELECT hiv AS c FROM incoming.report WHERE hiv IS NOT NULL"
                             " UNION ALL SELECT hcv + 3 FROM incoming.report WHERE hcv IS NOT NULL"
                             " UNION ALL SELECT hbv + 6 FROM incoming.report WHERE hbv IS NOT NULL"
                             " UNION ALL SELECT 10 FROM incoming.report WHERE other_infection = 1)"
                             " GROUP BY c")
                             .arg(infection);
  statements << insert + QStringLiteral(
                             "SELECT ?, %1, CAST(site AS TEXT), count(*) FROM ("
                             " WITH RECURSIVE n(site) AS (SELECT 1 UNION ALL SELECT site + 1 FROM n WHERE site < %2)"
                             " SELECT site FROM incoming.report JOIN n WHERE substr(body_sites, site, 1) = '1')"
                             " GROUP BY site")
                             .arg(AxisNumber(AnalysisAxis::BodySite))
                             .arg(submission::kBodySiteCount);
  return statements;
}

QString ReportColumns() {
  QStringList columns;
  for (const char* column : submission::kReportColumns) columns << QLatin1String(column);
  return columns.join(QStringLiteral(", "));
}

class Importer {
 public:
  Importer(Database& network, const ImportOptions& options) : network_(network), options_(options) {}

  FileImport importOne(const QString& path) {
    FileImport result;
    result.path = path;
    const SubmissionCheck check = CheckSubmissionFile(path, options_.today);
    if (!check) {
      result.reason = check.refusal;
      return result;
    }
    const SubmissionFacts& facts = check.facts;
    result.facilityCode = facts.facilityCode;
    result.year =
        NetworkYear{facts.year, facts.yearKind == QLatin1String(submission::kCalendarYearKind) ? YearKind::Calendar
                                                                                               : YearKind::Fiscal};
    result.reports = facts.reportCount;
    const std::optional<HospitalYear> present = FindHospitalYear(network_, facts.facilityCode, result.year);
    if (present) {
      if (!options_.replace || !options_.replace(*present, path)) {
        result.reason = QStringLiteral("同じ施設コードと年度のデータを置き換えませんでした。");
        return result;
      }
    }
    QString error;
    if (!attach(path, &error)) {
      result.reason = QStringLiteral("ファイルを読み込めませんでした。(%1)").arg(error);
      return result;
    }
    const bool stored =
        network_.change([&](QSqlDatabase& db, QString* why) { return store(db, facts, path, present, why); }, &error);
    detach();
    if (!stored) {
      result.reason = QStringLiteral("ネットワーク集計のデータベースに書き込めませんでした。(%1)").arg(error);
      return result;
    }
    result.outcome = present ? ImportOutcome::Replaced : ImportOutcome::Imported;
    return result;
  }

 private:
  bool attach(const QString& path, QString* error) {
    QSqlQuery query(network_.connection());
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(QLatin1String(kAttached)));
    query.addBindValue(path);
    return Exec(query, error);
  }
  void detach() {
    QSqlQuery query(network_.connection());
    query.exec(QStringLiteral("DETACH DATABASE %1").arg(QLatin1String(kAttached)));
  }

  bool store(QSqlDatabase& db, const SubmissionFacts& facts, const QString& path,
             const std::optional<HospitalYear>& present, QString* error) {
    if (present && !Exec(db, QStringLiteral("DELETE FROM hospital_year WHERE id = ?"), present->id, error))
      return false;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT INTO hospital_year(facility_code, year, year_kind, period_from, period_to, report_count, beds,"
        " patient_days, fte, program_version, created_at, imported_at, file_name)"
        " SELECT facility_code, year, year_kind, period_from, period_to, report_count,"
        " (SELECT sum(value) FROM incoming.denominator WHERE kind = 'beds'),"
        " (SELECT sum(value) FROM incoming.denominator WHERE kind = 'patient_days'),"
        " (SELECT sum(value) FROM incoming.denominator WHERE kind = 'fte'),"
        " program_version, created_at, ?, ? FROM incoming.submission"));
    insert.addBindValue(options_.now.toString(Qt::ISODate));
    insert.addBindValue(QFileInfo(path).fileName());
    if (!Exec(insert, error)) return false;
    const std::int64_t id = insert.lastInsertId().toLongLong();
    const QString columns = ReportColumns();
    const QStringList copies = {
        QStringLiteral("INSERT INTO report(hospital_year_id, %1) SELECT ?, %1 FROM incoming.report ORDER BY seq")
            .arg(columns),
        QStringLiteral("INSERT INTO denominator(hospital_year_id, kind, code, value)"
                       " SELECT ?, kind, code, value FROM incoming.denominator"),
        QStringLiteral("INSERT INTO code_entry(hospital_year_id, item, code, name)"
                       " SELECT ?, item, code, name FROM incoming.code_entry"),
    };
    for (const QString& sql : copies + ItemCountStatements())
      if (!Exec(db, sql, id, error)) return false;
    // The rows written are the rows checked: a file changed in between is refused.
    QSqlQuery count(db);
    count.prepare(QStringLiteral("SELECT count(*) FROM report WHERE hospital_year_id = ?"));
    count.addBindValue(static_cast<qlonglong>(id));
    if (!Exec(count, error) || !count.next()) return false;
    if (count.value(0).toLongLong() != facts.reportCount) {
      if (error) *error = QStringLiteral("確認の後でファイルが変わりました。");
      return false;
    }
    if (options_.beforeCommit) options_.beforeCommit();
    return true;
  }

  Database& network_;
  const ImportOptions& options_;
};

}  // namespace

QString ImportOutcomeText(ImportOutcome outcome) {
  switch (outcome) {
    case ImportOutcome::Imported: return QStringLiteral("取り込み済み");
    case ImportOutcome::Replaced: return QStringLiteral("置き換え");
    case ImportOutcome::NotImported: return QStringLiteral("取り込まず");
  }
  return {};
}

QString ReplaceQuestion(const HospitalYear& present, const QString& path) {
  return QStringLiteral(
             "施設コード %1 の%2のデータは既に取り込まれています（%3件、%4に取り込み）。\n"
             "「%5」の内容で置き換えますか？")
      .arg(present.facilityCode, NetworkYearLabel(present.year), QString::number(present.reportCount),
           present.importedAt.left(16).replace(QLatin1Char('T'), QLatin1Char(' ')),
           QDir::toNativeSeparators(QFileInfo(path).fileName()));
}

std::vector<FileImport> ImportSubmissions(Database& network, const QStringList& paths, const ImportOptions& options,
                                          WorkProgress& progress) {
  std::vector<FileImport> results;
  Importer importer(network, options);
  progress.begin(QStringLiteral("提出ファイルを取り込んでいます…"), static_cast<int>(paths.size()));
  for (int i = 0; i < paths.size(); ++i) {
    if (progress.stopped()) {
      FileImport skipped;
      skipped.path = paths[i];
      skipped.reason = QStringLiteral("取り込みを中止しました。");
      results.push_back(skipped);
      continue;
    }
    results.push_back(importer.importOne(paths[i]));
    progress.advance(i + 1);
  }
  return results;
}

}  // namespace orvanta
