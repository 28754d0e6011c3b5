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
// The same in two steps, so that the lock on the data folder can be taken as
// soon as the folder exists: the data folder alone, then (only on a start
// that had to create it) the backup and report folders.
bool MakeDataFolder(AppState& state, QString* failedFolder = nullptr);
bool MakeCompanionFolders(AppState& state, QString* failedFolder = nullptr);

// Folders made by an older installation may be readable by every user of the
// machine: sets the data and backup folders (and the folders inside them) to
// 0700 and the files inside to 0600. Only what belongs to the user running
// the program is touched; symbolic links and what they point to are left.
void TightenDataFolders(const AppState& state);

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

// Reads set.dat. When it cannot be read, the default lists are used and
// written at once. A set.dat that is there but does not read is first kept
// aside under its damaged name (see DamagedFileName), and notice receives
// what the user is told: which file was kept and that the default lists are
// in use (when it cannot be kept, it is not written over either). A missing
// set.dat is replaced without a word. False (with writeError) when the
// defaults cannot be written.
bool LoadCodeLists(AppState& state, QString* notice = nullptr, QString* writeError = nullptr);

// Whether start-up shows the login window.
bool NeedsLogin(const AppState& state);

enum class LoadOutcome { Loaded, Missing, Unreadable };
// Loads data file fileNo into ReportTable (emptied first) and makes it the
// current file. A missing or unreadable file leaves the table empty.
LoadOutcome LoadDataFile(AppState& state, int fileNo);

// Counts the reports of every data file 0 to NewestFileNo into
// FileRecordCounts (cleared first), with the checks of the reader (a file
// that does not read counts 0) but without building any report; the files
// are counted on all the machine's cores. Then moves the counters on to what
// the files hold: LastReportId to the highest report id found (it never goes
// back), TotalReports to the sum of the counts. So ids never repeat after a
// program was stopped between saving a report and saving ttid.dat, or with a
// ttid.dat that lost its later lines. Returns whether the counters changed.
bool CountDataFiles(AppState& state);

// CountDataFiles, and ttid.dat written when the counters changed. False
// (with writeError) when that write fails.
bool CountReportsAtStart(AppState& state, QString* writeError = nullptr);

// Loads the newest data file: what the main window does on activation.
void LoadNewestFile(AppState& state);

}  // namespace orvanta
