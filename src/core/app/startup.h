#pragma once
// The steps of start-up that need no window. Each takes the parts of the
// shared state it settles.

#include <QDateTime>
#include <QString>
#include <cstdint>

#include "core/codelists/code_lists.h"
#include "core/store/database.h"

namespace orvanta {

class Clock;
class DrivePaths;
struct IdCounters;
struct Login;
struct OpenDataFile;
struct StartupFacts;

// Takes today's date from the clock into TodayYear, TodayMonth, TodayDay.
void TakeTodaysDate(StartupFacts& startup, const Clock& clock);

// Makes sure the data folder exists. When it is missing, creates it, the
// backup folder and the report folder (each one missing), owner-only.
// Nothing is created when the data folder exists. False when a folder
// could not be created; failedFolder then receives its path.
bool PrepareDataFolder(const DrivePaths& paths, QString* failedFolder = nullptr);
// The same in two steps, so that the lock on the data folder can be taken as
// soon as the folder exists: the data folder alone, then (only on a start
// that had to create it) the backup and report folders.
bool MakeDataFolder(const DrivePaths& paths, QString* failedFolder = nullptr);
bool MakeCompanionFolders(const DrivePaths& paths, QString* failedFolder = nullptr);

// Folders made by an older installation may be readable by every user of the
// machine: sets the data and backup folders (and the folders inside them) to
// 0700 and the files inside to 0600. Only what belongs to the user running
// the program is touched; links inside the folders are left alone.
void TightenDataFolders(const DrivePaths& paths);

// Reads passw.dat into the password; sets NoPasswordFile when it cannot.
void LoadPassword(Login& login, const DrivePaths& paths);

// Decides FirstRun from the record of an earlier start in the data folder
// (started.dat): a start is the first while that record is missing.
void DecideFirstRun(StartupFacts& startup, const DrivePaths& paths);
// Writes that record, one line with the present moment, once the first
// start's login window has been answered with OK (a password chosen, or
// none). Until then every start is a first start, so a first start ended at
// its login window never skips the choice of the password. False when the
// record could not be written.
bool RecordFirstStart(const DrivePaths& paths, const Clock& clock);

enum class IdFileOutcome {
  Read,          // counters read
  FirstRunZero,  // first start: counters 0 (the default lists' ids taken), ttid.dat written at once
  Fatal,         // a later start without a readable ttid.dat: the program ends
};
// Reads ttid.dat. On a first run a missing file is accepted, the counters
// start at 0 with LastCodeId at the highest id of the default lists, and
// ttid.dat is written as soon as the counters are settled, so that a first
// start that ends early (login cancelled) never leaves a machine that cannot
// start. error receives the reason when that write fails.
//
// The newest file number never stops short of the data files that exist: a
// ttid.dat that lost it (a one-line file, a damaged number) would otherwise
// hide the later files, and the next new data file would be written over one
// of them. It moves on over every file that follows without a gap.
IdFileOutcome LoadIdFile(IdCounters& counters, const DrivePaths& paths, bool firstRun, QString* writeError = nullptr);
inline const QString kIdFileMessage =
    QStringLiteral("IDファイルのオープンに失敗しました。もう一度起動しなおしてください");

// Reads set.dat. When it cannot be read, the default lists are used and
// written at once. A set.dat that is there but does not read is first kept
// aside under its damaged name (see DamagedFileName, `now` dates it), and
// notice receives what the user is told: which file was kept and that the
// default lists are in use (when it cannot be kept, it is not written over
// either). A missing set.dat is replaced without a word. False (with
// writeError) when the defaults cannot be written.
bool LoadCodeLists(CodeLists& lists, const DrivePaths& paths, const QDateTime& now, QString* notice = nullptr,
                   QString* writeError = nullptr);

// set.dat for a read-only run: read, or the default lists in memory when it
// cannot be read, the file left as it is. notice says when it is there and
// does not read.
void ReadCodeListsOnly(CodeLists& lists, const DrivePaths& paths, QString* notice);

// The start-up count (CountDataFiles: every data file checked and counted,
// the counters moved on to what the files hold), LastCodeId moved on to at
// least the highest id of the lists, and ttid.dat written when the counters
// changed. False (with writeError) when that write fails.
bool CountReportsAtStart(OpenDataFile& file, IdCounters& counters, const CodeLists& lists, const DrivePaths& paths,
                         QString* writeError = nullptr);

// Opens orvanta.sqlite (see core/store/database.h): created when missing, a
// damaged one kept aside and replaced, a newer one opened read-only. notice
// receives what the user is told; empty when all is well. When no database
// can be opened the program works on without it, and notice says so.
void OpenDatabaseAtStart(Database& database, const DrivePaths& paths, const QDateTime& now, QString* notice);

// The same for a read-only run: orvanta.sqlite opened only to be read, never
// created or changed; without it the program works on (notice says so).
void OpenDatabaseReadOnlyAtStart(Database& database, const DrivePaths& paths, QString* notice);

// Whether a report of that id is in one of the data files 0 to NewestFileNo.
bool ReportInDataFiles(const DrivePaths& paths, const IdCounters& counters, std::int32_t reportId);
// Whether every data file 0 to NewestFileNo that is there reads exactly.
bool EveryDataFileReads(const DrivePaths& paths, const IdCounters& counters);

// A stop while a report with a follow-up case was being deleted leaves the
// case marked (core/followup/followup_store.h): each marked case goes when
// its report is no longer in the data files, and keeps its report's records
// when it is.
void SettleFollowupAtStart(Database& database, const DrivePaths& paths, const IdCounters& counters);

// Whether start-up shows the login window.
bool NeedsLogin(const Login& login, const StartupFacts& startup);

}  // namespace orvanta
