#pragma once
// The state that the windows share for the whole run. Main creates one and
// hands it by reference to every window.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/reports/data_file.h"
#include "core/reports/report_record.h"

namespace orvanta {

class Clock;
class Prompts;

class AppState {
 public:
  // root is the folder that stands for the drive: the home directory in the
  // program, a temporary folder in tests.
  AppState(QString root, Prompts& prompts, const Clock& clock);

  // Start-up state.
  QString DriveLetter = QStringLiteral("c");
  QString DataFolderName = QStringLiteral("tonrix");
  int TodayYear = 0;
  int TodayMonth = 0;
  int TodayDay = 0;
  bool FirstRun = false;

  // Login password.
  QString LoginPassword;
  bool NoPasswordFile = false;

  // The eleven code lists.
  CodeLists Lists;

  // The one data file in memory and where the report window stands.
  std::vector<ReportRecord> ReportTable;
  int ReportCount() const { return static_cast<int>(ReportTable.size()); }
  std::int32_t CurrentFileNo = 0;
  std::int32_t CurrentIndex = 0;
  std::array<std::int16_t, kMaxFileNo + 1> FileRecordCounts{};

  // The counters of ttid.dat.
  IdCounters Counters;
  std::int32_t& LastCodeId = Counters.LastCodeId;
  std::int32_t& LastReportId = Counters.LastReportId;
  std::int16_t& NewestFileNo = Counters.NewestFileNo;
  std::int32_t& TotalReports = Counters.TotalReports;

  // Body-site names, index n - 1 for site n; 81 entries.
  std::array<QString, kSiteSlots> BodySiteNames;

  bool NewReportMode = false;
  int EditedList = 0;

  // Reports found by the last search: file number and slot of each hit.
  struct SearchHit {
    std::int32_t fileNo = 0;
    std::int32_t slot = 0;
  };
  std::vector<SearchHit> SearchHits;

  // Paths, each built from DriveLetter and DataFolderName in one place.
  QString DriveRoot() const { return root_; }
  QString DataFolderPath() const;
  QString ReportFolderPath() const;
  QString BackupFolderPath() const;
  QString DataFilePath(int fileNo) const;
  QString IdFilePath() const;
  QString SettingsFilePath() const;
  QString PasswordFilePath() const;
  QString FirstRunRecordPath() const;
  QString MyDocumentPath() const;

  Prompts& prompts() const { return prompts_; }
  const Clock& clock() const { return clock_; }

  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

 private:
  QString root_;
  Prompts& prompts_;
  const Clock& clock_;
};

}  // namespace orvanta
