#pragma once
// Making a dated generation of the data folder (see generations.h).
//
// Every file of the data folder is copied into a temporary folder, except
// the lock file and the database's journal; the database itself is copied
// through SQLite. A file whose size and modification time (to the
// nanosecond) are those of its copy in the newest generation is unchanged:
// it becomes a second name (hard link) of that copy instead, so a
// generation costs only what changed. A copy keeps its file's modification
// time so that the next generation can tell. Where a link cannot be made, the
// file is copied.
//
// Then the new generation is verified before it counts: every file is read
// back, a copy must give the bytes it was made from, the data files are read
// with the data files' reader, set.dat, ttid.dat and passw.dat are parsed,
// and the database copy must pass `PRAGMA integrity_check`. A file that does
// not read in the data folder either is copied as it is and named in the
// summary. Only a verified generation is renamed to its own name; after that
// the keeping rule removes the generations it lets go. A generation that
// fails, is stopped by the user or finds the disk full is removed whole, and
// nothing else is touched.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "core/backup/backup_io.h"
#include "core/backup/backup_summary.h"
#include "core/backup/generations.h"

namespace orvanta {

class Database;
class DrivePaths;
class WorkProgress;

// The folders inside the data folder that a restore works in (the files
// coming in, the files going out); never part of a generation.
inline const QString kRestoreIncomingFolder = QStringLiteral(".orvanta-restore-in");
inline const QString kRestoreOutgoingFolder = QStringLiteral(".orvanta-restore-out");
// The record of a restore under way (restore_record.h); never part of one either.
inline const QString kRestoreRecordFile = QStringLiteral(".orvanta-restore");

struct GenerationOptions {
  BackupOccasion occasion = BackupOccasion::OnDemand;
  // Whether the generations that the keeping rule lets go are removed once
  // the new one is verified.
  bool applyKeeping = true;
  int threads = kAllCores;
};

struct GenerationResult {
  enum class Outcome { Made, Failed, DiskFull, Stopped };
  Outcome outcome = Outcome::Failed;
  Generation generation;  // the new generation, when made
  BackupSummary summary;
  int linkedFiles = 0;  // files that are links to the previous generation
  int copiedFiles = 0;
  QStringList removed;  // the generations the keeping rule removed
  QStringList later;    // generations whose names lie after this one's moment
  QString reason;       // why it failed: the file and the cause
  bool made() const { return outcome == Outcome::Made; }
};

// Makes a generation of the data folder at moment now (its name; a second
// later when that name is taken). database is the program's open database,
// copied through its own connection; when it is not open, the database file
// is copied through a connection of its own. progress shows one part with
// a step per file and may stop the work.
GenerationResult MakeGeneration(const DrivePaths& paths, const Database& database, const QDateTime& now,
                                const GenerationOptions& options, WorkProgress& progress,
                                BackupIo& io = SystemBackupIo());

// What the user is told when a generation was not made.
QString GenerationFailureText(const GenerationResult& result);

// How the restore window and the messages name a generation's moment:
// "2026/12/09 09:00:00".
QString GenerationLabel(const QDateTime& made);

}  // namespace orvanta
