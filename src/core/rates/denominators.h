#pragma once
// The denominators the rates are counted against, as the database keeps
// them (table denominator, docs/database.md): per year (年度 or calendar
// year, see rate_years.h) the average occupied beds, the patient-days, the
// full-time-equivalent staff of each 職種 entry and the units purchased of
// each 原因器材 entry. Every change is one transaction.

#include <QString>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace orvanta {

class Database;

enum class DenominatorKind { Beds, PatientDays, Fte, Devices };

// The stored names of the kinds: beds, patient_days, fte, devices.
QString DenominatorKindKey(DenominatorKind kind);
std::optional<DenominatorKind> DenominatorKindOfKey(const QString& key);

// One stored value's place: the year, the kind and the code (0 for beds and
// patient-days, the entry's id for fte and devices).
struct DenominatorKey {
  int year = 0;
  DenominatorKind kind = DenominatorKind::Beds;
  std::int32_t code = 0;
  friend auto operator<=>(const DenominatorKey&, const DenominatorKey&) = default;
};

// The years a denominator may be given for.
inline constexpr int kFirstDenominatorYear = 1900;
inline constexpr int kLastDenominatorYear = 2200;

class Denominators {
 public:
  std::optional<double> value(const DenominatorKey& key) const;
  std::optional<double> value(int year, DenominatorKind kind, std::int32_t code = 0) const {
    return value(DenominatorKey{year, kind, code});
  }
  // The sum of the values of a kind in a year over the codes given; none
  // when the year holds none of them.
  std::optional<double> sum(int year, DenominatorKind kind, const std::vector<std::int32_t>& codes) const;
  // Every year that holds a value, oldest first.
  std::vector<int> years() const;

  void set(const DenominatorKey& key, std::optional<double> value);
  const std::map<DenominatorKey, double>& values() const { return values_; }
  bool empty() const { return values_.empty(); }

  friend bool operator==(const Denominators&, const Denominators&) = default;

 private:
  std::map<DenominatorKey, double> values_;
};

// Whether a value may be stored: a finite number, not negative.
bool IsDenominatorValue(double value);

// Reads every stored value; false with the reason when the database cannot
// be read (an empty set when it is not open).
bool LoadDenominators(const Database& database, Denominators* out, QString* error);

// Stores one value (none removes it), in one transaction.
bool StoreDenominator(Database& database, const DenominatorKey& key, std::optional<double> value, QString* error);

// Stores many values at once (none removes), all or nothing.
bool StoreDenominators(Database& database, const std::vector<std::pair<DenominatorKey, std::optional<double>>>& values,
                       QString* error);

// Removes every value of a year, in one transaction.
bool RemoveDenominatorYear(Database& database, int year, QString* error);

}  // namespace orvanta
