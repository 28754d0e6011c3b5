#pragma once
// The collection the rates tests stand on: the default code lists, twelve
// reports around the 年度 boundaries in data files 0 and 1, the database
// opened with the denominators of 年度 2022 and 2023 and two interventions.
//
//   date        職種 (category)  原因器材 (category)
//   2022-09-30  4                1     outside the period 2022-10-01..2024-09-30
//   2023-04-01  4                1     first day of 年度 2023
//   2023-05-15  1                6
//   2023-07-20  4                1
//   2023-09-09  4                7
//   2023-11-30  1                1
//   2023-12-31  4                6
//   2024-03-31  4                1     last day of 年度 2023
//   2024-04-01  4                6     first day of 年度 2024
//   2024-06-15  1                1
//   2024-09-30  4                1
//   2024-10-01  4                1     outside the period
//
// Denominators (年度): beds 300 (2022), 330 (2023); patient-days 100000,
// 110000; FTE 職種 1: 50, 60 and 職種 4: 150, 150; units purchased in 2023 of
// 原因器材 1: 20000 and 6: 5000. Nothing for 2024.
// Interventions: 2023-10-01 "安全装置付き翼状針の導入", 2024-04-01 "針刺し防止研修".

#include <QString>

#include "core/analysis/analysis_axis.h"

namespace orvanta::testing {

class TempDrive;

inline const AnalysisPeriod kRatesPeriod{{2022, 10, 1}, {2024, 9, 30}};

// Installs the collection into the drive; false when a step fails.
bool InstallRatesCollection(TempDrive& drive);

// The id of a list's entry at a category (position + 1).
std::int32_t EntryIdAt(const TempDrive& drive, int list, int category);

}  // namespace orvanta::testing
