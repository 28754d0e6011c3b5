#include "core/network/network_analysis.h"

#include <algorithm>
#include <map>

#include "core/analysis/analysis_axis.h"
#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

constexpr double kPer = 100;

// The order of an item's rows: numbers by value, codes as texts with their
// numbers compared as numbers; "コードなし" and "未回答" last.
bool CodeBefore(const QString& a, const QString& b) {
  bool aNumber = false;
  bool bNumber = false;
  const double x = a.toDouble(&aNumber);
  const double y = b.toDouble(&bNumber);
  if (aNumber && bNumber && x != y) return x < y;
  if (aNumber != bNumber) return aNumber;
  return a < b;
}

}  // namespace

GroupFigures GroupOf(const std::vector<std::pair<std::int64_t, double>>& reportsAndBeds) {
  GroupFigures g;
  std::vector<double> rates;
  for (const auto& [reports, beds] : reportsAndBeds) {
    ++g.hospitals;
    g.reports += reports;
    g.beds += beds;
    rates.push_back(static_cast<double>(reports) / beds * kPer);
  }
  g.rate = EstimateRate(g.reports, g.beds, kPer);
  g.p25 = PercentileInc(rates, 0.25);
  g.p50 = PercentileInc(rates, 0.50);
  g.p75 = PercentileInc(rates, 0.75);
  g.p90 = PercentileInc(rates, 0.90);
  return g;
}

std::vector<ItemTable> ItemTablesOf(const std::vector<ItemCount>& counts, const std::vector<CodeName>& names,
                                    std::int64_t reports, std::optional<std::int64_t> hospitalYearId) {
  // item → code → count; unanswered and "no code" apart.
  std::array<std::map<QString, std::int64_t>, kAxisCount> byCode;
  std::array<std::int64_t, kAxisCount> noCode{};
  std::array<std::int64_t, kAxisCount> unanswered{};
  for (const ItemCount& c : counts) {
    if (hospitalYearId && c.hospitalYearId != *hospitalYearId) continue;
    if (c.item < 0 || c.item >= kAxisCount) continue;
    if (!c.answered) {
      unanswered[c.item] += c.count;
    } else if (c.code.isEmpty()) {
      noCode[c.item] += c.count;
    } else {
      byCode[c.item][c.code] += c.count;
    }
  }
  std::map<std::pair<int, QString>, QString> nameOf;
  for (const CodeName& n : names) nameOf[{n.item, n.code}] = n.name;
  const CodeLists noLists{};
  const auto share = [reports](std::int64_t n) {
    return reports > 0 ? static_cast<double>(n) / static_cast<double>(reports) * 100 : 0.0;
  };

  std::vector<ItemTable> tables;
  for (int item = 0; item < kAxisCount; ++item) {
    const AnalysisAxis axis = AxisAt(item);
    ItemTable table;
    table.item = item;
    table.caption = AxisCaption(axis, CaptionDot::FullWidth);
    QStringList labels;
    if (!IsCodeListAxis(axis)) labels = CategoryLabels(axis, LabelKind::Table, noLists, BodySiteNames());
    if (!IsCodeListAxis(axis)) {
      // Every category, counted or not.
      for (int k = 1; k <= labels.size(); ++k) {
        const QString code = QString::number(k);
        const auto found = byCode[item].find(code);
        const std::int64_t n = found == byCode[item].end() ? 0 : found->second;
        table.rows.push_back(ItemRow{code, labels.value(k - 1).trimmed(), n, share(n)});
      }
    } else {
      std::vector<QString> codes;
      for (const auto& [code, n] : byCode[item]) codes.push_back(code);
      for (const auto& [key, name] : nameOf)
        if (key.first == item && !byCode[item].count(key.second)) codes.push_back(key.second);
      std::sort(codes.begin(), codes.end(), CodeBefore);
      for (const QString& code : codes) {
        const auto found = byCode[item].find(code);
        const std::int64_t n = found == byCode[item].end() ? 0 : found->second;
        const auto name = nameOf.find({item, code});
        table.rows.push_back(ItemRow{code, name == nameOf.end() ? QString() : name->second, n, share(n)});
      }
      if (noCode[item] > 0)
        table.rows.push_back(ItemRow{QString(), QStringLiteral("コードなし"), noCode[item], share(noCode[item])});
    }
    if (unanswered[item] > 0)
      table.rows.push_back(ItemRow{QString(), QStringLiteral("未回答"), unanswered[item], share(unanswered[item])});
    tables.push_back(std::move(table));
  }
  return tables;
}

NetworkFigures ComputeNetworkYear(const Database& network, const NetworkYear& year) {
  NetworkFigures f;
  f.year = year;
  const std::vector<HospitalYear> hospitals = ListHospitalYears(network, year);
  std::vector<std::pair<std::int64_t, double>> withBeds;
  std::array<std::vector<std::pair<std::int64_t, double>>, kBedClassCount> byClass;
  for (const HospitalYear& h : hospitals) {
    f.reportsAll += h.reportCount;
    if (h.beds && *h.beds > 0) {
      withBeds.emplace_back(h.reportCount, *h.beds);
      byClass[BedClassOf(*h.beds)].emplace_back(h.reportCount, *h.beds);
    } else {
      ++f.hospitalsWithoutBeds;
    }
  }
  f.network = GroupOf(withBeds);
  for (int c = 0; c < kBedClassCount; ++c) f.classes[c] = GroupOf(byClass[c]);
  const double target = f.network.rate ? f.network.rate->rate : 0;
  for (const HospitalYear& h : hospitals) {
    HospitalFigures hf;
    hf.hospital = h;
    if (h.beds) {
      hf.perBeds = EstimateRate(h.reportCount, *h.beds, kPer);
      hf.limits = FunnelLimitsAt(target, *h.beds);
      if (hf.perBeds && hf.limits) hf.place = PlaceOnFunnel(hf.perBeds->rate, *hf.limits);
    }
    if (h.fte) hf.perFte = EstimateRate(h.reportCount, *h.fte, kPer);
    f.hospitals.push_back(std::move(hf));
  }
  f.items = ItemTablesOf(ReadItemCounts(network, year), ReadCodeNames(network, year), f.reportsAll, std::nullopt);
  return f;
}

std::vector<ItemTable> HospitalItemTables(const Database& network, const NetworkYear& year,
                                          std::int64_t hospitalYearId) {
  std::int64_t reports = 0;
  for (const HospitalYear& h : ListHospitalYears(network, year))
    if (h.id == hospitalYearId) reports = h.reportCount;
  return ItemTablesOf(ReadItemCounts(network, year), ReadCodeNames(network, year), reports, hospitalYearId);
}

}  // namespace orvanta
