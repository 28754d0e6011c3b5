#pragma once
// Submission files (docs/submission.md) made up for tests and benchmarks:
// the format's own tables (submission::SchemaStatements), filled with
// generated reports of one hospital's year, and small changes to a written
// file for the checks that refuse it.

#include <QString>
#include <cstdint>
#include <optional>

namespace orvanta::testing {

struct SyntheticSubmission {
  QString facilityCode = QStringLiteral("H0001");
  int year = 2024;
  QString yearKind = QStringLiteral("fiscal");
  int reports = 10;
  std::optional<double> beds = 300;
  std::optional<double> fte;  // one 職種 entry's FTE when given
  std::uint32_t seed = 1;
};

// Writes the file (which must not exist); false with the reason.
bool WriteSyntheticSubmission(const QString& path, const SyntheticSubmission& submission, QString* error = nullptr);

// Runs one SQL statement on a written file (to spoil it for a test).
bool ChangeSubmission(const QString& path, const QString& sql);

}  // namespace orvanta::testing
