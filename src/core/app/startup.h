#pragma once
// The steps of start-up that need no window, and the loading of data files
// that the main window does when it opens and whenever it becomes active.

#include <QString>

namespace orvanta {

class AppState;

// Takes today's date from the clock into TodayYear, TodayMonth, TodayDay.
void TakeTodaysDate(AppState& state);

// Makes sure the data folder exists. When it is missing, creates it, the
// backup folder and the report folder (each one missing), owner-only.
// Nothing is created when the data folder exists. False when a folder
// could not be created; failedFolder then receives its path.
bool PrepareDataFolder(AppState& state, QString* failedFolder = nullptr);

// Reads passw.dat into LoginPassword; sets NoPasswordFile when it cannot.
void LoadPassword(AppState& state);

// Decides FirstRun from the record of an earlier start in the data folder
// and writes that record on the first start.
void DecideFirstRun(AppState& state);

enum class IdFileOutcome {
  Read,          // counters read
  FirstRunZero,  // first start: counters 0, and ttid.dat written at once
  Fatal,         // a later start without a readable ttid.dat: the program ends
};
// Reads ttid.dat. On a first run a missing file is accepted and ttid.dat is
// written as soon as the counters are settled, so that a first start that
// ends early (login cancelled) never leaves a machine that cannot start.
// error receives the reason when that write fails.
//
// The newest file number never stops short of the data files that exist: a
// ttid.dat that lost it (a one-line file, a damaged number) would otherwise
// hide the later files, and the next new data file would be written over one
// of them. It moves on over every file that follows without a gap.
IdFileOutcome LoadIdFile(AppState& state, QString* writeError = nullptr);
inline const QString kIdFileMessage =
    QStringLiteral("IDファイルのオープンに失敗しました。もう一度起動しなおしてください");

// Reads set.dat; when anything fails, fills the default lists and writes
// them at once. False (with error) when that write fails.
bool LoadCodeLists(AppState& state, QString* writeError = nullptr);

// Whether start-up shows the login window.
bool NeedsLogin(const AppState& state);

enum class LoadOutcome { Loaded, Missing, Unreadable };
// Loads data file fileNo into ReportTable (emptied first) and makes it the
// current file. A missing or unreadable file leaves the table empty.
LoadOutcome LoadDataFile(AppState& state, int fileNo);

// Counts the reports of every data file 0 to NewestFileNo into
// FileRecordCounts (cleared first).
void CountDataFiles(AppState& state);

// Loads the newest data file: what the main window does on activation.
void LoadNewestFile(AppState& state);

}  // namespace orvanta
