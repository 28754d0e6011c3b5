#pragma once
// The backups a restore can start from, as the restore window lists them:
// every generation, the newest first, and then ~/tonrixbu itself.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/backup/backup_summary.h"

namespace orvanta {

class DrivePaths;

struct BackupEntry {
  QString folder;
  bool isGeneration = false;
  // A generation's moment; for ~/tonrixbu the time of its last copy (the
  // modification time of its ttid.dat, which every copy writes).
  QDateTime made;
  BackupSummary summary;
  std::int64_t bytes = 0;  // of all its files
  // How messages name it: the generation's date and time, or the folder.
  QString label() const;
};

// The generations and ~/tonrixbu (when it holds a ttid.dat). ~/tonrixbu,
// and a generation without its summary, are read to be summarised.
std::vector<BackupEntry> ListBackups(const DrivePaths& paths);

// The words the window shows for how a backup was made: "終了時",
// "今すぐバックアップ", "復元の前", "バックアップフォルダ" (for ~/tonrixbu).
QString OccasionText(const BackupEntry& entry);
// A size in bytes as "352.4 MB", "12.0 KB".
QString SizeText(std::int64_t bytes);
// A date of occurrence as "2026/12/01"; empty for none.
QString ReportDateText(const CalendarDate& date);

// What a start tells when the database has gone from a data folder that is
// not new: a new empty one was made, and the newest backup that holds one
// (a generation, else ~/tonrixbu) is named as the way back. Empty when no
// backup holds one (a data folder from before the database, for one).
QString MissingDatabaseText(const DrivePaths& paths);

}  // namespace orvanta
