#pragma once
// The network's figures of one year, from what network.sqlite holds: every
// hospital's rate per 100 occupied beds (and per 100 FTE) with its exact 95%
// interval and its place on the funnel; the network's rate (all reports of
// the hospitals with beds ÷ all their beds × 100) with its interval, the
// percentiles of the hospitals' rates, the same by bed-size class; and the
// network's annual tables: the seventeen items' counts and shares by code.
// Read from the counts stored at import, never from the reports themselves.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "core/network/funnel_statistics.h"
#include "core/network/network_store.h"
#include "core/rates/rate_statistics.h"

namespace orvanta {

struct HospitalFigures {
  HospitalYear hospital;
  std::optional<RateEstimate> perBeds;  // per 100 beds; none without beds
  std::optional<RateEstimate> perFte;   // per 100 FTE; none without FTE
  std::optional<FunnelLimits> limits;   // at its beds around the network's rate
  std::optional<FunnelPlace> place;
};

// The figures of a group of hospitals (the network, or one bed-size class):
// the hospitals with beds and their reports and beds, the pooled rate and
// the percentiles of their rates.
struct GroupFigures {
  int hospitals = 0;
  std::int64_t reports = 0;
  double beds = 0;
  std::optional<RateEstimate> rate;
  std::optional<double> p25, p50, p75, p90;
};

// One item's network table: a row per code (or category), the count, and
// the share of the reports.
struct ItemRow {
  QString code;  // the code, or the category's number; empty for "コードなし", "未回答"
  QString label;
  std::int64_t count = 0;
  double share = 0;  // percent of the reports counted
};
struct ItemTable {
  int item = 0;
  QString caption;
  std::vector<ItemRow> rows;
};

struct NetworkFigures {
  NetworkYear year;
  std::vector<HospitalFigures> hospitals;  // by 施設コード
  int hospitalsWithoutBeds = 0;
  std::int64_t reportsAll = 0;  // the reports of every hospital, with beds or not
  GroupFigures network;
  std::array<GroupFigures, kBedClassCount> classes;
  std::vector<ItemTable> items;  // the seventeen, in item order
};

// Everything the window shows of a year.
NetworkFigures ComputeNetworkYear(const Database& network, const NetworkYear& year);

// The figures of a group from its hospitals' reports and beds.
GroupFigures GroupOf(const std::vector<std::pair<std::int64_t, double>>& reportsAndBeds);

// The seventeen tables of one hospital of the year (its own shares), read
// from the same counts.
std::vector<ItemTable> HospitalItemTables(const Database& network, const NetworkYear& year,
                                          std::int64_t hospitalYearId);

// The tables from item counts: only those of hospitalYearId when it is given.
std::vector<ItemTable> ItemTablesOf(const std::vector<ItemCount>& counts, const std::vector<CodeName>& names,
                                    std::int64_t reports, std::optional<std::int64_t> hospitalYearId);

}  // namespace orvanta
