#pragma once
// Bringing a backup (a generation or ~/tonrixbu) back into the data folder.
//
//  1. The backup's files are copied into a folder inside the data folder
//     (kRestoreIncomingFolder) and checked there: every copy must give the
//     backup's bytes, ttid.dat must be there and read, set.dat, passw.dat
//     and the data files must read (a file the generation's summary names as
//     damaged when it was made excepted), the database must pass
//     `PRAGMA integrity_check`. A backup that fails is refused.
//  2. A generation of the data folder as it is now is made, so that the
//     restore can be undone by restoring that generation.
//  3. The database is closed, everything in the data folder but the lock is
//     moved aside (kRestoreOutgoingFolder) and the checked copies are moved
//     in, each in one rename; the database is opened again. When a step of
//     this fails, what was moved is moved back and the data folder is as it
//     was.
//  4. Everything is read again as at start-up: the password, the counters,
//     the code lists, the count of every data file, the newest data file.
//
// Nothing in the data folder changes before step 3; the user may stop the
// work until then.

#include <QString>

#include "core/backup/backup_io.h"
#include "core/backup/make_generation.h"

namespace orvanta {

class AppState;
class WorkProgress;

struct RestoreResult {
  enum class Outcome {
    Restored,
    Refused,   // the backup does not read: nothing changed
    NotReady,  // its copies could not be made (a full disk, for one): nothing changed
    NotSaved,  // the generation of the present state failed: nothing changed
    Stopped,   // the user stopped it: nothing changed
    PutBack,   // replacing the files failed; the data folder is as it was
    Broken,    // replacing failed, and so did putting everything back
  };
  Outcome outcome = Outcome::NotReady;
  bool diskFull = false;
  QString reason;
  GenerationResult saved;  // the generation of the state before the restore
  QString notice;          // what reading everything again had to tell
};

// Restores the backup in folder into the data folder of state and reads
// everything again into state.
RestoreResult RestoreBackup(AppState& state, const QString& folder, WorkProgress& progress,
                            BackupIo& io = SystemBackupIo(), int threads = kAllCores);

// The question asked before a restore of the backup named label.
QString RestoreQuestion(const QString& label);
inline const QString kRestoreTitle = QStringLiteral("バックアップから復元");
// What the user is told afterwards.
QString RestoreResultText(const RestoreResult& result, const QString& label);

}  // namespace orvanta
