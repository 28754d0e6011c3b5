#include "core/network/network_tables.h"

#include "core/network/network_comparison.h"

namespace orvanta {
namespace {

std::optional<double> RateOf(const std::optional<RateEstimate>& r) { return r ? std::optional(r->rate) : std::nullopt; }
std::optional<double> LowerOf(const std::optional<RateEstimate>& r) {
  return r ? std::optional(r->lower) : std::nullopt;
}
std::optional<double> UpperOf(const std::optional<RateEstimate>& r) {
  return r ? std::optional(r->upper) : std::nullopt;
}
QString OneDecimal(const std::optional<double>& v) { return v ? QString::number(*v, 'f', 1) : QString(); }

}  // namespace

TextTable HospitalTableTexts(const NetworkFigures& figures, bool withFte) {
  TextTable t;
  QStringList heading{QStringLiteral("施設コード"),  QStringLiteral("稼働病床数"), QStringLiteral("件数"),
                      QStringLiteral("100床あたり"), QStringLiteral("下限"),       QStringLiteral("上限"),
                      QStringLiteral("判定")};
  if (withFte)
    heading << QStringLiteral("常勤換算職員数") << QStringLiteral("100人あたり") << QStringLiteral("下限")
            << QStringLiteral("上限");
  t.push_back(heading);
  for (const HospitalFigures& h : figures.hospitals) {
    QStringList row{h.hospital.facilityCode,
                    OneDecimal(h.hospital.beds),
                    QString::number(h.hospital.reportCount),
                    TwoDecimals(RateOf(h.perBeds)),
                    TwoDecimals(LowerOf(h.perBeds)),
                    TwoDecimals(UpperOf(h.perBeds)),
                    h.place ? FunnelPlaceText(*h.place) : kNoBedsPlace};
    if (withFte)
      row << OneDecimal(h.hospital.fte) << TwoDecimals(RateOf(h.perFte)) << TwoDecimals(LowerOf(h.perFte))
          << TwoDecimals(UpperOf(h.perFte));
    t.push_back(row);
  }
  return t;
}

QString HospitalTableNote(const NetworkFigures& figures) {
  QString note = QStringLiteral(
                     "100床あたりは件数÷稼働病床数×100、区間は95%信頼区間（正確法）。判定は、ネットワーク全体の率 %1 "
                     "を中心とするファネルプロットの管理限界（ポアソン分布、95%と99.8%）によります。")
                     .arg(TwoDecimals(RateOf(figures.network.rate)));
  if (figures.hospitalsWithoutBeds > 0)
    note += QStringLiteral("稼働病床数のない施設 %1 施設は一覧に載せ、率と判定の計算からは除いています。")
                .arg(figures.hospitalsWithoutBeds);
  return note;
}

TextTable NetworkTableTexts(const NetworkFigures& figures) {
  TextTable t;
  t.push_back({QStringLiteral("区分"), QStringLiteral("施設数"), QStringLiteral("件数"), QStringLiteral("稼働病床数"),
               QStringLiteral("100床あたり"), QStringLiteral("下限"), QStringLiteral("上限"), QStringLiteral("25%点"),
               QStringLiteral("中央値"), QStringLiteral("75%点"), QStringLiteral("90%点")});
  const auto row = [&t](const QString& name, const GroupFigures& g) {
    t.push_back({name, QString::number(g.hospitals), QString::number(g.reports), QString::number(g.beds, 'f', 1),
                 TwoDecimals(RateOf(g.rate)), TwoDecimals(LowerOf(g.rate)), TwoDecimals(UpperOf(g.rate)),
                 TwoDecimals(g.p25), TwoDecimals(g.p50), TwoDecimals(g.p75), TwoDecimals(g.p90)});
  };
  row(QStringLiteral("ネットワーク全体"), figures.network);
  for (int c = 0; c < kBedClassCount; ++c) row(BedClassName(c), figures.classes[static_cast<std::size_t>(c)]);
  return t;
}

TextTable ItemTablesTexts(const std::vector<ItemTable>& items) {
  TextTable t;
  for (const ItemTable& item : items) {
    t.push_back({QStringLiteral("%1. %2").arg(item.item + 1).arg(item.caption), QString(), QString(), QString()});
    t.push_back({QStringLiteral("コード"), QStringLiteral("名称"), QStringLiteral("件数"), QStringLiteral("割合(%)")});
    for (const ItemRow& r : item.rows)
      t.push_back({r.code, r.label, QString::number(r.count), QString::number(r.share, 'f', 1)});
  }
  return t;
}

QByteArray HospitalCsvBytes(const NetworkFigures& figures) { return CsvLinesBytes(HospitalTableTexts(figures, false)); }

QByteArray ItemTablesCsvBytes(const std::vector<ItemTable>& items) { return CsvLinesBytes(ItemTablesTexts(items)); }

}  // namespace orvanta
