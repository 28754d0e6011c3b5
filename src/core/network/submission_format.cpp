#include "core/network/submission_format.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <map>
#include <set>

#include "core/network/sqlite_file.h"

namespace orvanta {

namespace submission {

QStringList SchemaStatements() {
  QStringList codeColumns;
  for (const char* c : kCodeColumns) codeColumns << QStringLiteral("%1 TEXT").arg(QLatin1String(c));
  return {
      QStringLiteral("CREATE TABLE submission ("
                     "format_version INTEGER NOT NULL, facility_code TEXT NOT NULL, year INTEGER NOT NULL, "
                     "year_kind TEXT NOT NULL, period_from TEXT NOT NULL, period_to TEXT NOT NULL, "
                     "report_count INTEGER NOT NULL, program_version TEXT NOT NULL, created_at TEXT NOT NULL)"),
      QStringLiteral("CREATE TABLE report ("
                     "seq INTEGER PRIMARY KEY, incident_year INTEGER NOT NULL, incident_month INTEGER NOT NULL, "
                     "incident_hour INTEGER, %1, experience_band INTEGER, department_experience_band INTEGER, "
                     "hiv INTEGER, hcv INTEGER, hbv INTEGER, other_infection INTEGER NOT NULL, emergency INTEGER, "
                     "body_sites TEXT NOT NULL)")
          .arg(codeColumns.join(QStringLiteral(", "))),
      QStringLiteral("CREATE TABLE denominator (kind TEXT NOT NULL, code TEXT NOT NULL, value REAL NOT NULL, "
                     "PRIMARY KEY (kind, code))"),
      QStringLiteral("CREATE TABLE code_entry (item TEXT NOT NULL, code TEXT NOT NULL, name TEXT NOT NULL, "
                     "PRIMARY KEY (item, code))"),
  };
}

}  // namespace submission

using namespace submission;

bool IsFacilityCode(QStringView code) {
  if (code.isEmpty() || code.size() > kFacilityCodeMaxLength) return false;
  for (QChar c : code) {
    const char16_t u = c.unicode();
    if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))) return false;
  }
  return true;
}

SubmissionPeriod PeriodOfSubmissionYear(int year, QStringView yearKind) {
  if (yearKind == QLatin1String(kFiscalYearKind)) return {QDate(year, 4, 1), QDate(year + 1, 3, 31)};
  if (yearKind == QLatin1String(kCalendarYearKind)) return {QDate(year, 1, 1), QDate(year, 12, 31)};
  return {};
}

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// Refusals are whole sentences; the check stops at the first.
struct Refused {
  QString reason;
};

QString Name(const char* name) { return QString::fromLatin1(name); }

template <std::size_t N>
QStringList Names(const std::array<const char*, N>& names) {
  QStringList out;
  for (const char* n : names) out << Name(n);
  return out;
}

class Checker {
 public:
  Checker(const QString& path, const QDate& today) : path_(path), today_(today) {}

  SubmissionFacts run() {
    if (!QFileInfo(path_).isFile()) throw Refused{QStringLiteral("ファイルがありません。")};
    QString error;
    if (!file_.open(path_, SqliteFile::Mode::ReadOnly, &error))
      throw Refused{QStringLiteral("ファイルを開けませんでした（%1）。").arg(error)};
    checkHeader();
    checkTables();
    SubmissionFacts facts = readSubmissionRow();
    readCodeEntries(facts);
    checkReports(facts);
    checkDenominators(facts);
    return facts;
  }

 private:
  std::int64_t integer(const QString& sql) {
    QString error;
    const std::optional<std::int64_t> v = file_.integer(sql, &error);
    if (!v) throw Refused{QStringLiteral("ファイルを読めませんでした（%1）。").arg(error)};
    return *v;
  }

  void checkHeader() {
    QString error;
    const std::optional<std::int64_t> id = file_.integer(QStringLiteral("PRAGMA application_id"), &error);
    if (!id) throw Refused{QStringLiteral("SQLite のデータベースとして読めません（%1）。").arg(error)};
    if (static_cast<std::uint32_t>(*id) != kApplicationId)
      throw Refused{QStringLiteral("提出用ファイルの印（application_id）がありません。")};
    const std::int64_t version = integer(QStringLiteral("PRAGMA user_version"));
    if (version > kFormatVersion)
      throw Refused{
          QStringLiteral("新しい形式（第%1版）の提出用ファイルです。新しいプログラムで読んでください。").arg(version)};
    if (version != kFormatVersion)
      throw Refused{QStringLiteral("形式の版（user_version = %1）が正しくありません。").arg(version)};
    const std::optional<QString> encoding = file_.text(QStringLiteral("PRAGMA encoding"), &error);
    if (encoding != QStringLiteral("UTF-8"))
      throw Refused{QStringLiteral("文字の符号化が UTF-8 ではありません（%1）。").arg(encoding.value_or(error))};
    const std::optional<QString> integrity = file_.text(QStringLiteral("PRAGMA integrity_check"), &error);
    if (integrity != QStringLiteral("ok"))
      throw Refused{QStringLiteral("ファイルが壊れています（整合性の検査: %1）。").arg(integrity.value_or(error))};
  }

  void checkTables() {
    const std::map<QString, QStringList> expected = {
        {Name(kSubmissionTable), Names(kSubmissionColumns)},
        {Name(kReportTable), Names(kReportColumns)},
        {Name(kDenominatorTable), Names(kDenominatorColumns)},
        {Name(kCodeEntryTable), Names(kCodeEntryColumns)},
    };
    std::set<QString> found;
    SqliteStatement tables(file_, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                 "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
    while (tables.step()) found.insert(tables.text(0));
    if (tables.failed()) throw Refused{QStringLiteral("表の一覧を読めませんでした（%1）。").arg(tables.error())};
    for (const QString& name : found) {
      if (!expected.contains(name))
        throw Refused{QStringLiteral("提出用ファイルにはない表「%1」があります。").arg(name)};
    }
    for (const auto& [table, columns] : expected) {
      if (!found.contains(table)) throw Refused{QStringLiteral("表「%1」がありません。").arg(table)};
      QStringList actual;
      SqliteStatement info(file_, QStringLiteral("PRAGMA table_info(%1)").arg(table));
      while (info.step()) actual << info.text(1);
      if (actual != columns)
        throw Refused{QStringLiteral("表「%1」の列が提出用ファイルの形式と違います（%2）。")
                          .arg(table, actual.join(QStringLiteral(", ")))};
    }
  }

  SubmissionFacts readSubmissionRow() {
    const std::int64_t rows = integer(QStringLiteral("SELECT count(*) FROM submission"));
    if (rows != 1) throw Refused{QStringLiteral("表「submission」の行が 1 行ではありません（%1 行）。").arg(rows)};
    SqliteStatement row(file_, QStringLiteral("SELECT format_version, facility_code, year, year_kind, period_from, "
                                              "period_to, report_count, program_version, created_at, "
                                              "typeof(format_version) = 'integer' AND typeof(year) = 'integer' AND "
                                              "typeof(report_count) = 'integer' AND typeof(facility_code) = 'text' "
                                              "AND typeof(year_kind) = 'text' AND typeof(period_from) = 'text' AND "
                                              "typeof(period_to) = 'text' AND typeof(program_version) = 'text' AND "
                                              "typeof(created_at) = 'text' FROM submission"));
    if (!row.step()) throw Refused{QStringLiteral("表「submission」を読めませんでした（%1）。").arg(row.error())};
    if (row.integer(9) != 1) throw Refused{QStringLiteral("表「submission」に型の違う値があります。")};
    SubmissionFacts f;
    f.formatVersion = static_cast<int>(row.integer(0));
    f.facilityCode = row.text(1);
    const std::int64_t year = row.integer(2);
    f.yearKind = row.text(3);
    const QString from = row.text(4);
    const QString to = row.text(5);
    f.reportCount = row.integer(6);
    f.programVersion = row.text(7);
    f.createdAt = row.text(8);

    if (f.formatVersion != kFormatVersion)
      throw Refused{QStringLiteral("format_version（%1）が user_version と合いません。").arg(f.formatVersion)};
    if (!IsFacilityCode(f.facilityCode))
      throw Refused{QStringLiteral("施設コード「%1」は半角の英字と数字 1～8 文字ではありません。").arg(f.facilityCode)};
    if (year < kFirstYear || year > kLastYear || year > today_.year() + 1)
      throw Refused{QStringLiteral("年（%1）が %2～%3 の範囲にありません。")
                        .arg(year)
                        .arg(kFirstYear)
                        .arg(std::min(kLastYear, today_.year() + 1))};
    f.year = static_cast<int>(year);
    if (f.yearKind != Name(kFiscalYearKind) && f.yearKind != Name(kCalendarYearKind))
      throw Refused{
          QStringLiteral("年の区切り（year_kind）「%1」は fiscal でも calendar でもありません。").arg(f.yearKind)};
    const SubmissionPeriod period = PeriodOfSubmissionYear(f.year, f.yearKind);
    if (from != period.from.toString(kDateFormat) || to != period.to.toString(kDateFormat))
      throw Refused{QStringLiteral("期間（%1～%2）が %3 の年（%4）の初日と末日ではありません。")
                        .arg(from, to, f.yearKind)
                        .arg(f.year)};
    f.periodFrom = period.from;
    f.periodTo = period.to;
    static const QRegularExpression moment(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
    if (!moment.match(f.createdAt).hasMatch())
      throw Refused{QStringLiteral("作成日時「%1」の形式が正しくありません。").arg(f.createdAt)};
    return f;
  }

  void readCodeEntries(SubmissionFacts& f) {
    const QStringList items = Names(kCodeColumns);
    SqliteStatement rows(file_, QStringLiteral("SELECT item, code, name, typeof(item) = 'text' AND typeof(code) = "
                                               "'text' AND typeof(name) = 'text' FROM code_entry"));
    while (rows.step()) {
      const QString item = rows.text(0);
      const QString code = rows.text(1);
      if (rows.integer(3) != 1) throw Refused{QStringLiteral("表「code_entry」に型の違う値があります。")};
      if (!items.contains(item))
        throw Refused{QStringLiteral("表「code_entry」の項目「%1」は報告の列ではありません。").arg(item)};
      if (code.isEmpty())
        throw Refused{QStringLiteral("表「code_entry」の項目「%1」に空のコードがあります。").arg(item)};
      codes_[item].insert(code);
      ++f.codeEntryCount;
    }
    if (rows.failed()) throw Refused{QStringLiteral("表「code_entry」を読めませんでした（%1）。").arg(rows.error())};
  }

  // Every value of every report in one pass: each rule gives the smallest
  // seq that breaks it.
  void checkReports(const SubmissionFacts& f) {
    const std::int64_t rows = integer(QStringLiteral("SELECT count(*) FROM report"));
    if (rows != f.reportCount)
      throw Refused{QStringLiteral("報告の数（report_count = %1）が表「report」の行数（%2）と合いません。")
                        .arg(f.reportCount)
                        .arg(rows)};
    if (rows > 0 && (integer(QStringLiteral("SELECT min(seq) FROM report")) != 1 ||
                     integer(QStringLiteral("SELECT max(seq) FROM report")) != rows))
      throw Refused{QStringLiteral("表「report」の seq が 1～%1 の連番ではありません。").arg(rows)};

    struct Rule {
      QString column;
      QString broken;  // an SQL condition true for a wrong value
      QString expected;
    };
    const auto integerIn = [](const QString& c, int low, int high, bool nullable) {
      const QString wrong =
          QStringLiteral("(typeof(%1) <> 'integer' OR %1 NOT BETWEEN %2 AND %3)").arg(c).arg(low).arg(high);
      return nullable ? QStringLiteral("(%1 IS NOT NULL AND %2)").arg(c, wrong) : wrong;
    };
    const int fromMonth = f.periodFrom.year() * 100 + f.periodFrom.month();
    const int toMonth = f.periodTo.year() * 100 + f.periodTo.month();
    std::vector<Rule> rules = {
        {QStringLiteral("incident_year"), QStringLiteral("typeof(incident_year) <> 'integer'"), QStringLiteral("整数")},
        {QStringLiteral("incident_month"), integerIn(QStringLiteral("incident_month"), 1, 12, false),
         QStringLiteral("1～12")},
        {QStringLiteral("incident_month"),
         QStringLiteral("incident_year * 100 + incident_month NOT BETWEEN %1 AND %2").arg(fromMonth).arg(toMonth),
         QStringLiteral("提出の期間の年月")},
        {QStringLiteral("incident_hour"), integerIn(QStringLiteral("incident_hour"), 0, 23, true),
         QStringLiteral("0～23 または NULL")},
    };
    for (const char* c : kCodeColumns) {
      const QString column = Name(c);
      rules.push_back({column,
                       QStringLiteral("(%1 IS NOT NULL AND (typeof(%1) <> 'text' OR (%1 <> '' AND %1 NOT IN "
                                      "(SELECT code FROM code_entry WHERE item = '%1'))))")
                           .arg(column),
                       QStringLiteral("NULL、空、または表「code_entry」にあるコード")});
    }
    for (const char* c : {"experience_band", "department_experience_band"})
      rules.push_back({Name(c), integerIn(Name(c), 1, kBandCount, true), QStringLiteral("1～8 または NULL")});
    for (const char* c : {"hiv", "hcv", "hbv"})
      rules.push_back({Name(c), integerIn(Name(c), 1, 3, true), QStringLiteral("1～3 または NULL")});
    rules.push_back({QStringLiteral("other_infection"), integerIn(QStringLiteral("other_infection"), 0, 1, false),
                     QStringLiteral("0 または 1")});
    rules.push_back({QStringLiteral("emergency"), integerIn(QStringLiteral("emergency"), 1, 2, true),
                     QStringLiteral("1～2 または NULL")});
    rules.push_back({QStringLiteral("body_sites"),
                     QStringLiteral("(typeof(body_sites) <> 'text' OR length(body_sites) <> %1 OR body_sites GLOB "
                                    "'*[^01]*')")
                         .arg(kBodySiteCount),
                     QStringLiteral("0 と 1 の 65 文字")});

    QStringList firsts;
    for (const Rule& r : rules) firsts << QStringLiteral("min(CASE WHEN %1 THEN seq END)").arg(r.broken);
    SqliteStatement pass(file_, QStringLiteral("SELECT %1 FROM report").arg(firsts.join(QStringLiteral(", "))));
    if (!pass.step()) throw Refused{QStringLiteral("表「report」を読めませんでした（%1）。").arg(pass.error())};
    for (std::size_t i = 0; i < rules.size(); ++i) {
      const int col = static_cast<int>(i);
      if (pass.isNull(col)) continue;
      throw Refused{QStringLiteral("表「report」の seq %1 の行: 列「%2」の値が正しくありません（%3 のはずです）。")
                        .arg(pass.integer(col))
                        .arg(rules[i].column, rules[i].expected)};
    }
  }

  void checkDenominators(SubmissionFacts& f) {
    SqliteStatement rows(file_, QStringLiteral("SELECT kind, code, value, typeof(kind) = 'text' AND typeof(code) = "
                                               "'text' AND typeof(value) IN ('real', 'integer') FROM denominator"));
    while (rows.step()) {
      const QString kind = rows.text(0);
      const QString code = rows.text(1);
      const double value = rows.real(2);
      if (rows.integer(3) != 1) throw Refused{QStringLiteral("表「denominator」に型の違う値があります。")};
      const auto wrong = [&](const QString& why) {
        return Refused{QStringLiteral("表「denominator」の「%1」「%2」: %3").arg(kind, code, why)};
      };
      if (kind == Name(kBedsKind) || kind == Name(kPatientDaysKind)) {
        if (!code.isEmpty()) throw wrong(QStringLiteral("コードは空のはずです。"));
      } else if (kind == Name(kFteKind) || kind == Name(kDevicesKind)) {
        const QString item = Name(kind == Name(kFteKind) ? kCodeColumns[0] : kCodeColumns[4]);
        if (!codes_[item].contains(code))
          throw wrong(QStringLiteral("表「code_entry」の「%1」にないコードです。").arg(item));
      } else {
        throw wrong(QStringLiteral("分母の種類が正しくありません。"));
      }
      if (!std::isfinite(value) || value <= 0) throw wrong(QStringLiteral("値は 0 より大きい数のはずです。"));
      ++f.denominatorCount;
    }
    if (rows.failed()) throw Refused{QStringLiteral("表「denominator」を読めませんでした（%1）。").arg(rows.error())};
  }

  QString path_;
  QDate today_;
  SqliteFile file_;
  std::map<QString, std::set<QString>> codes_;
};

}  // namespace

SubmissionCheck CheckSubmissionFile(const QString& path, const QDate& today) {
  SubmissionCheck check;
  try {
    check.facts = Checker(path, today).run();
    check.ok = true;
  } catch (const Refused& refused) {
    check.refusal = QStringLiteral("ファイル「%1」は提出用ファイルとして受け付けられません。\n%2")
                        .arg(QDir::toNativeSeparators(path), refused.reason);
  }
  return check;
}

SubmissionCheck CheckSubmissionFile(const QString& path) { return CheckSubmissionFile(path, QDate::currentDate()); }

}  // namespace orvanta
