#pragma once
// The feedback file: what the centre sends back to every member hospital
// (docs/feedback.md). One SQLite file, PRAGMA application_id 0x4F564631
// ("OVF1"), user_version 1, with the tables
//   feedback(format_version, created_at, program_version)   one row
//   network_year(year, year_kind, hospital_count, report_count, bed_total,
//       rate, rate_lower, rate_upper, p25, p50, p75, p90)
//   bed_class(year, year_kind, class, hospital_count, report_count,
//       bed_total, rate, p50)
//   hospital_point(year, year_kind, beds, report_count)
// for every year of the network: its rate, percentiles and bed-size classes,
// and every hospital's point without its code. It is written under a
// temporary name, read back and checked, then renamed into place (mode 0600);
// the hospital checks it again before it stores it in orvanta.sqlite.

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/network/network_analysis.h"

namespace orvanta {

namespace feedback {
inline constexpr std::uint32_t kApplicationId = 0x4F564631;  // "OVF1"
inline constexpr int kFormatVersion = 1;
}  // namespace feedback

struct FeedbackGroup {
  int hospitals = 0;
  std::int64_t reports = 0;
  double beds = 0;
  std::optional<double> rate, lower, upper, p25, p50, p75, p90;
};

struct FeedbackYear {
  NetworkYear year;
  FeedbackGroup network;
  std::array<FeedbackGroup, kBedClassCount> classes;    // rate and p50 only
  std::vector<std::pair<double, std::int64_t>> points;  // beds, reports
};

struct Feedback {
  QString createdAt;
  QString programVersion;
  std::vector<FeedbackYear> years;  // newest first
};

// The feedback of the network's figures.
FeedbackYear FeedbackYearOf(const NetworkFigures& figures);
// Every year of the store.
Feedback FeedbackOfNetwork(const Database& network, const QDateTime& now);

// Writes the file at path (replacing one there), checked before it is
// renamed into place; false with the reason, and no file left behind.
bool WriteFeedbackFile(const Feedback& feedback, const QString& path, QString* error);

// Reads a feedback file after every check (application id, version,
// integrity, one feedback row, every value in its range); none with the
// reason in Japanese.
std::optional<Feedback> ReadFeedbackFile(const QString& path, QString* error);

// The hospital's side: stores the feedback in orvanta.sqlite, each year it
// holds replacing the one stored before, in one transaction.
bool StoreFeedback(Database& database, const Feedback& feedback, const QDateTime& now, QString* error);
// The years stored, newest first.
std::vector<NetworkYear> StoredFeedbackYears(const Database& database);
std::optional<FeedbackYear> ReadStoredFeedback(const Database& database, const NetworkYear& year);

}  // namespace orvanta
