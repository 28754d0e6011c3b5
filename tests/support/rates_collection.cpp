#include "support/rates_collection.h"

#include <QDir>
#include <gtest/gtest.h>

#include "core/rates/denominators.h"
#include "core/rates/interventions.h"
#include "core/reports/report_record.h"
#include "support/temp_drive.h"

namespace orvanta::testing {
namespace {

struct Dated {
  int year, month, day, occupation, device;
};

constexpr Dated kReports[] = {
    {2022, 9, 30, 4, 1}, {2023, 4, 1, 4, 1},   {2023, 5, 15, 1, 6},  {2023, 7, 20, 4, 1},
    {2023, 9, 9, 4, 7},  {2023, 11, 30, 1, 1}, {2023, 12, 31, 4, 6}, {2024, 3, 31, 4, 1},
    {2024, 4, 1, 4, 6},  {2024, 6, 15, 1, 1},  {2024, 9, 30, 4, 1},  {2024, 10, 1, 4, 1},
};

}  // namespace

std::int32_t EntryIdAt(const TempDrive& drive, int list, int category) {
  return drive.state.lists[static_cast<std::size_t>(list)].entries[category - 1].id;
}

bool InstallRatesCollection(TempDrive& drive) {
  AppState& state = drive.state;
  SetDefaultCodeLists(state.lists);
  if (!QDir().mkpath(state.paths.ReportFolderPath())) return false;
  std::vector<ReportRecord> files[2];
  int n = 0;
  for (const Dated& d : kReports) {
    ReportRecord r;
    r.Years[0] = d.year;
    r.Months[0] = d.month;
    r.Days[0] = d.day;
    r.Hours[0] = 10;
    r.AnswerIds[kOccupations] = EntryIdAt(drive, kOccupations, d.occupation);
    r.AnswerIds[kDevices] = EntryIdAt(drive, kDevices, d.device);
    files[n++ % 2].push_back(r);
  }
  if (!drive.WriteReports(0, files[0]) || !drive.WriteReports(1, files[1])) return false;

  QString notice;
  QString error;
  if (!state.database.open(state.paths.DatabasePath(), drive.clock.now(), &notice, &error)) {
    ADD_FAILURE() << error.toStdString();
    return false;
  }
  const std::int32_t doctor = EntryIdAt(drive, kOccupations, 1);
  const std::int32_t nurse = EntryIdAt(drive, kOccupations, 4);
  const std::vector<std::pair<DenominatorKey, std::optional<double>>> values = {
      {{2022, DenominatorKind::Beds, 0}, 300},
      {{2023, DenominatorKind::Beds, 0}, 330},
      {{2022, DenominatorKind::PatientDays, 0}, 100000},
      {{2023, DenominatorKind::PatientDays, 0}, 110000},
      {{2022, DenominatorKind::Fte, doctor}, 50},
      {{2023, DenominatorKind::Fte, doctor}, 60},
      {{2022, DenominatorKind::Fte, nurse}, 150},
      {{2023, DenominatorKind::Fte, nurse}, 150},
      {{2023, DenominatorKind::Devices, EntryIdAt(drive, kDevices, 1)}, 20000},
      {{2023, DenominatorKind::Devices, EntryIdAt(drive, kDevices, 6)}, 5000},
  };
  std::int64_t id = 0;
  return StoreDenominators(state.database, values, &error) &&
         AddIntervention(state.database, QDate(2023, 10, 1), QStringLiteral("安全装置付き翼状針の導入"), &id, &error) &&
         AddIntervention(state.database, QDate(2024, 4, 1), QStringLiteral("針刺し防止研修"), &id, &error);
}

}  // namespace orvanta::testing
