#pragma once
// A backup as the program makes it, at the end of a run (on "はい") and on
// "今すぐバックアップ": a dated generation of the data folder (see
// make_generation.h), and the copy of the data folder into ~/tonrixbu as it
// always was (files of the same name replaced, files only in the backup
// kept, the lock file left out), made whole before it replaces the old one.

#include <QDateTime>
#include <QStringList>

#include "core/backup/make_generation.h"
#include "core/platform/prompts.h"

namespace orvanta {

class Database;
class DrivePaths;
class WorkProgress;

struct BackupRunResult {
  GenerationResult generation;
  bool copyStarted = false;
  bool copied = false;       // every file reached ~/tonrixbu
  bool copyStopped = false;  // the user stopped the copy half-way
  QStringList failedCopies;  // the paths that could not be copied
};

// The generation first, then the copy. When the user stops the generation
// nothing is copied either.
BackupRunResult MakeBackup(const DrivePaths& paths, const Database& database, const QDateTime& now,
                           BackupOccasion occasion, WorkProgress& progress, BackupIo& io = SystemBackupIo());

// The copy into ~/tonrixbu alone, whole or not at all: built beside it in
// ~/tonrixbu.making (what the backup held comes along as second names of its
// files, so files only in the backup stay; the data folder's files replace
// theirs, linked folders followed; the database copied through SQLite), then
// put in its place in one step. A failure or a stop leaves the backup folder
// as it was. fileDone is called after each file and may stop the copy by
// answering false (stopped then says so).
bool CopyToBackupFolder(const DrivePaths& paths, const Database& database, QStringList* failed,
                        const std::function<bool()>& fileDone = {}, bool* stopped = nullptr);
inline const QString kBackupMakingSuffix = QStringLiteral(".making");

// What the user is told, one message after the other: the generation's
// failure, the copy's failure, and for a backup on demand that it worked.
struct BackupMessage {
  QString text;
  PromptIcon icon = PromptIcon::Exclamation;
};
// What the user is told of generations named after the one just made.
QString LaterGenerationsText(const GenerationResult& result);
std::vector<BackupMessage> BackupMessages(const BackupRunResult& result, BackupOccasion occasion,
                                          const DrivePaths& paths);

}  // namespace orvanta
