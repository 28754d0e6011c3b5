#include "core/rates/rates_tables.h"

#include <cmath>

#include "core/output/csv_file.h"
#include "core/platform/codepage.h"

namespace orvanta {
namespace {

QString RateText(const std::optional<RateEstimate>& r, double RateEstimate::*field) {
  return r ? DecimalText((*r).*field) : QString();
}

TextTable GroupTexts(const std::vector<GroupRow>& rows, const RatesCounts& counts, const QString& rowHeading,
                     const QString& denominatorHeading, const QString& rateHeading) {
  QStringList years{QString()};
  QStringList names{rowHeading};
  for (const YearPart& y : counts.years) {
    years << YearLabel(y.year, counts.kind) << QString() << QString();
    names << QStringLiteral("件数") << denominatorHeading << rateHeading;
  }
  TextTable table{years, names};
  for (const GroupRow& row : rows) {
    QStringList cells{row.entry.name};
    for (const GroupYear& y : row.years)
      cells << CountText(y.count) << DecimalText(y.denominator) << DecimalText(y.rate);
    table.push_back(cells);
  }
  return table;
}

}  // namespace

TextTable RatesTableTexts(const std::vector<RatesRow>& rows, YearKind kind, YearForm form) {
  TextTable table{{YearHeading(kind), QStringLiteral("件数"), QStringLiteral("稼働病床数"),
                   QStringLiteral("100床あたり"), QStringLiteral("下限"), QStringLiteral("上限"),
                   QStringLiteral("対象件数"), QStringLiteral("常勤換算職員数"), QStringLiteral("100人あたり"),
                   QStringLiteral("下限"), QStringLiteral("上限")}};
  for (const RatesRow& r : rows) {
    table.push_back({form == YearForm::Label ? YearLabel(r.year.year, kind) : QString::number(r.year.year),
                     CountText(r.count), DecimalText(r.beds), RateText(r.perBeds, &RateEstimate::rate),
                     RateText(r.perBeds, &RateEstimate::lower), RateText(r.perBeds, &RateEstimate::upper),
                     r.staff ? CountText(r.staffCount) : QString(), DecimalText(r.staff),
                     RateText(r.perStaff, &RateEstimate::rate), RateText(r.perStaff, &RateEstimate::lower),
                     RateText(r.perStaff, &RateEstimate::upper)});
  }
  return table;
}

TextTable OccupationTableTexts(const std::vector<GroupRow>& rows, const RatesCounts& counts) {
  return GroupTexts(rows, counts, QStringLiteral("職種"), QStringLiteral("常勤換算"), QStringLiteral("100人あたり"));
}

TextTable DeviceTableTexts(const std::vector<GroupRow>& rows, const RatesCounts& counts) {
  return GroupTexts(rows, counts, QStringLiteral("原因器材"), QStringLiteral("購入数"), QStringLiteral("10万個あたり"));
}

QString PValueText(double p) {
  if (p < 0.0001) return QStringLiteral("<0.0001");
  return QString::number(p, 'f', 4);
}

QString RatioText(double value) { return std::isinf(value) ? QStringLiteral("∞") : DecimalText(value); }

TextTable ComparisonTexts(const BeforeAfter& c) {
  TextTable table{{QStringLiteral("区分"), QStringLiteral("開始日"), QStringLiteral("終了日"), QStringLiteral("件数"),
                   QStringLiteral("分母"), QStringLiteral("発生率"), QStringLiteral("下限"), QStringLiteral("上限")}};
  if (!c.problem.isEmpty()) return table;
  const auto side = [](const QString& name, const ComparisonSide& s) {
    return QStringList{name,
                       DayText(s.firstDay),
                       DayText(s.lastDay),
                       CountText(s.count),
                       DecimalText(s.time),
                       RateText(s.rate, &RateEstimate::rate),
                       RateText(s.rate, &RateEstimate::lower),
                       RateText(s.rate, &RateEstimate::upper)};
  };
  table.push_back(side(QStringLiteral("前"), c.before));
  table.push_back(side(QStringLiteral("後"), c.after));
  QStringList ratio{QStringLiteral("率比（後/前）"), {}, {}, {}, {}, {}, {}, {}};
  QStringList p{QStringLiteral("p値"), {}, {}, {}, {}, {}, {}, {}};
  if (c.ratio) {
    ratio[5] = c.ratio->ratio ? RatioText(*c.ratio->ratio) : QString();
    if (c.ratio->ratio) {
      ratio[6] = RatioText(c.ratio->lower);
      ratio[7] = RatioText(c.ratio->upper);
    }
    p[5] = PValueText(c.ratio->pValue);
  }
  table.push_back(ratio);
  table.push_back(p);
  return table;
}

QString ComparisonCaption(const BeforeAfter& c) {
  QString text = QStringLiteral("介入: ") + InterventionText(c.intervention) +
                 QStringLiteral(" ／ 前後%1か月 ／ 分母: ").arg(c.months) + ComparisonBaseName(c.used) +
                 QStringLiteral("（") + ComparisonRateUnit(c.used) + QStringLiteral("）");
  if (c.used == ComparisonBase::Staff) text += QStringLiteral(" ※件数は常勤換算職員数の登録されている職種の報告書です");
  if (c.fallBack == BeforeAfter::FallBack::Missing)
    text += QStringLiteral(" ※%1が未登録の年があるため、月数を時間として比べています").arg(ComparisonBaseName(c.asked));
  else if (c.fallBack == BeforeAfter::FallBack::Zero)
    text += QStringLiteral(" ※%1が0として登録されているため、月数を時間として比べています")
                .arg(ComparisonBaseName(c.asked));
  return text;
}

QString LeftOutText(const LeftOut& leftOut, const QString& entriesWithout, const QString& noEntry) {
  if (leftOut.empty()) return {};
  QStringList parts;
  for (const LeftOutEntry& e : leftOut.entries) parts << QStringLiteral("%1 %2件").arg(e.name).arg(e.count);
  QString text;
  if (!parts.isEmpty())
    text = entriesWithout + QStringLiteral("（率に含めていない報告書）: ") + parts.join(u'、') + u'。';
  if (leftOut.withoutEntry > 0)
    text += QStringLiteral("%1: %2件も率に含めていません。").arg(noEntry).arg(leftOut.withoutEntry);
  return text;
}

QString StaffRateNote(const LeftOut& leftOut) {
  QString text = QStringLiteral(
      "100人あたりは、常勤換算職員数の登録されている職種の報告書（対象件数）だけを、その職種の常勤換算職員数の合計で"
      "割っています。");
  return text + LeftOutText(leftOut, QStringLiteral("常勤換算職員数のない職種"), QStringLiteral("職種のない報告書"));
}

QString OccupationTableNote(const LeftOut& leftOut) {
  return LeftOutText(leftOut, QStringLiteral("常勤換算のない職種"), QStringLiteral("職種のない報告書"));
}

QString DeviceTableNote(const LeftOut& leftOut) {
  return LeftOutText(leftOut, QStringLiteral("購入数のない原因器材"), QStringLiteral("原因器材のない報告書"));
}

QString ComparisonExplanation() {
  return QStringLiteral(
      "前は介入の日の前日までのNか月、後は介入の日からのNか月です（計算期間の外は除きます）。発生率の95%信頼区間は"
      "正確法（Garwood）、率比（後/前）の信頼区間とp値は、前後の件数の合計を固定した二項検定（両側）によります。");
}

QByteArray CsvLinesBytes(const TextTable& lines) {
  QString text;
  for (const QStringList& line : lines) {
    for (qsizetype i = 0; i < line.size(); ++i) {
      if (i > 0) text += u',';
      text += CsvField(line[i]);
    }
    text += QStringLiteral("\r\n");
  }
  return cp932::Encode(text);
}

QByteArray RatesCsvBytes(const std::vector<RatesRow>& rows, YearKind kind) {
  return CsvLinesBytes(RatesTableTexts(rows, kind, YearForm::Number));
}

QByteArray GroupCsvBytes(const TextTable& table) {
  // One heading line: each year before the names of its three columns.
  TextTable lines;
  if (table.size() >= 2) {
    QStringList heading{table[1].value(0)};
    QString year;
    for (qsizetype c = 1; c < table[1].size(); ++c) {
      if (!table[0].value(c).isEmpty()) year = table[0].value(c);
      heading << year + table[1][c];
    }
    lines.push_back(heading);
    lines.insert(lines.end(), table.begin() + 2, table.end());
  }
  return CsvLinesBytes(lines);
}

QByteArray ComparisonCsvBytes(const BeforeAfter& c) {
  TextTable lines{
      {QStringLiteral("介入"), c.intervention.date.toString(QStringLiteral("yyyy-MM-dd")), c.intervention.label},
      {QStringLiteral("前後の月数"), QString::number(c.months)},
      {QStringLiteral("分母"), ComparisonBaseName(c.used), ComparisonRateUnit(c.used)}};
  const TextTable table = ComparisonTexts(c);
  lines.insert(lines.end(), table.begin(), table.end());
  return CsvLinesBytes(lines);
}

}  // namespace orvanta
