#pragma once
// The record a restore keeps in the data folder while it replaces the files,
// and what a start does with one that a stop left behind.
//
// A restore moves every entry of the data folder (but the lock) into the
// outgoing folder, then every checked copy from the incoming folder into the
// data folder, one rename each: all the moves out come before the first move
// in. Before the first move it writes the record (kRestoreRecordFile, saved
// whole): the names going out, the names coming in, and the generation that
// holds the state before the restore. Once every copy is in place and the
// database has opened, the record is saved again as finished; then the two
// folders and the record are removed.
//
// The record's text, UTF-8, one entry a line, LF or CR LF:
//   orvanta-restore 1
//   phase replacing | finished
//   saved <the generation's folder name>       (may be empty)
//   out <name>                                  (one line per entry going out)
//   in <name>                                   (one line per entry coming in)
//
// A start, before it reads or writes anything else in the data folder, calls
// SettleInterruptedRestore. With a record that says finished it removes what
// is left; with one that says replacing it finishes the moves (each name is
// either where it came from or where it goes: a name that went out is in the
// outgoing folder, a name that came in is no longer in the incoming folder)
// and, when a move cannot be made, moves everything back. So after any stop
// the data folder holds exactly the restored files or exactly the earlier
// ones. Without a record, a leftover incoming folder is only an unfinished
// copy and is removed; a non-empty outgoing folder without a record (left by
// an older version of the program) is never guessed at: the start stops and
// names it.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/backup/backup_io.h"
#include "core/backup/make_generation.h"

namespace orvanta {

class DrivePaths;

struct RestoreRecord {
  enum class Phase { Replacing, Finished };
  Phase phase = Phase::Replacing;
  QString savedGeneration;  // folder name of the generation of the state before
  QStringList goingOut;
  QStringList comingIn;
};

QByteArray RestoreRecordBytes(const RestoreRecord& record);
std::optional<RestoreRecord> ReadRestoreRecordBytes(const QByteArray& bytes);
// Saves the record whole into the data folder; false with the reason.
bool WriteRestoreRecord(const QString& dataFolder, const RestoreRecord& record, QString* error);

struct RestoreSettlement {
  enum class Outcome {
    Nothing,     // no restore was under way
    Finished,    // the restore was completed: the data folder holds the restored files
    RolledBack,  // the restore was undone: the data folder holds the files from before it
    Stuck,       // neither could be done; nothing may be read or written until it is mended
  };
  Outcome outcome = Outcome::Nothing;
  QString savedGeneration;
  QString reason;  // for Stuck: what is in the way
};

// Finishes or undoes a restore that a stop interrupted (see above); a
// finished one carries the access log over from the database that went out,
// as the restore does. now names a damaged database kept aside.
RestoreSettlement SettleInterruptedRestore(const DrivePaths& paths, const QDateTime& now,
                                           BackupIo& io = SystemBackupIo());

// Whether a stop left a restore that SettleInterruptedRestore would have to
// finish or undo (a record, or files moved out), looked at without touching
// anything.
bool RestoreLeftToSettle(const DrivePaths& paths);

// What the user is told at the start; empty for Nothing.
QString RestoreSettlementText(const RestoreSettlement& settlement, const DrivePaths& paths);

}  // namespace orvanta
