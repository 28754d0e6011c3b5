#pragma once
// The state that the windows share for the whole run. Main creates one and
// hands it by reference to every window; each test builds its own. It is
// made of small parts with one job each, and a core function takes only the
// parts it works on.

#include <QString>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/network/network_store.h"
#include "core/platform/drive_paths.h"
#include "core/reports/calendar.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_search.h"
#include "core/store/access_log.h"
#include "core/store/database.h"

namespace orvanta {

class Clock;
class Prompts;

// What start-up settled about this run.
struct StartupFacts {
  // The date the program started on (the analysis views' default period ends
  // there).
  int TodayYear = 0;
  int TodayMonth = 0;
  int TodayDay = 0;
  bool FirstRun = false;  // no record of an earlier start was found
  // The disk was full at the start and the user chose to read the reports
  // only: nothing is written in the data folder or beside it for the whole
  // run (no counters, lists, database, settings, backups); the commands that
  // would write are off.
  bool ReadOnlySession = false;

  CalendarDate StartDate() const { return CalendarDate{TodayYear, TodayMonth, TodayDay}; }
};

// What the captions of the windows that show the reports end with in a
// read-only run.
inline const QString kReadOnlyCaption = QStringLiteral("（読み取り専用）");

// The login password of passw.dat.
struct Login {
  QString Password;
  bool NoPasswordFile = false;  // passw.dat could not be read: the first login sets it
};

// What the user chose to edit in the window the main window opens next.
struct EditingChoice {
  bool NewReportMode = false;  // the report window opens on a new report
  int EditedList = 0;          // the code list the code-list editor shows
};

class AppState {
 public:
  // root is the folder that stands for the drive: the home directory in the
  // program, a temporary folder in tests.
  AppState(QString root, Prompts& prompts, const Clock& clock);

  const DrivePaths paths;
  StartupFacts startup;
  Login login;
  CodeLists lists;                    // the eleven code lists of set.dat
  IdCounters counters;                // the counters of ttid.dat
  OpenDataFile dataFile;              // the data file in memory and the shown report
  std::vector<SearchHit> searchHits;  // the reports the last search found
  EditingChoice editing;
  Database database;  // orvanta.sqlite: opened at start-up (OpenDatabaseAtStart)
  AccessLog log;      // the access log in that database: what happens before it opens is held
  // network.sqlite, the centre's pooled submissions: opened (and checked) the
  // first time the window ネットワーク集計 needs it, kept open after.
  Database network{NetworkDatabaseSchema()};

  Prompts& prompts() const { return prompts_; }
  const Clock& clock() const { return clock_; }

  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

 private:
  Prompts& prompts_;
  const Clock& clock_;
};

}  // namespace orvanta
