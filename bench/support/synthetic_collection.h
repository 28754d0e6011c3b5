#pragma once
// A generator of realistic synthetic report collections for the benchmarks:
// answers drawn from the default code-list ids, dates over several years,
// Japanese names and notes of realistic length, a few body sites marked.

#include <QString>
#include <cstdint>
#include <random>

#include "core/reports/data_file.h"
#include "core/reports/report_record.h"

namespace orvanta {

// One realistic report with the given id, drawn from rng.
ReportRecord MakeSyntheticReport(std::mt19937_64& rng, std::int32_t reportId);

// Writes reportCount reports into folder (created when missing) as the data
// files 0.dat, 1.dat, ... of reportsPerFile reports each (the last one holds
// the rest), and returns the counters that go with them. The same seed gives
// the same files. Returns counters with TotalReports -1 when a file cannot be
// written.
IdCounters GenerateCollection(const QString& folder, int reportCount, std::uint64_t seed,
                              int reportsPerFile = kFileCapacity);

}  // namespace orvanta
