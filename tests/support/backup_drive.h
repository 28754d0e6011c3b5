#pragma once
// What the backup tests stand on: a drive whose data folder holds data
// files, set.dat, ttid.dat, passw.dat, started.dat and an open database, and
// file operations that fail where a test says.

#include <QString>
#include <functional>
#include <map>
#include <mutex>

#include "core/backup/backup_io.h"
#include "core/backup/make_generation.h"
#include "core/platform/work_progress.h"
#include "core/reports/report_record.h"
#include "support/temp_drive.h"

namespace orvanta::testing {

// File operations that fail on purpose. Safe on several threads at once.
class FaultyBackupIo final : public BackupIo {
 public:
  // The disk takes `bytes` more bytes: a write beyond them fails as on a
  // full disk, after writing what fits.
  void fillDiskAfter(qint64 bytes);
  // Every link fails, as across file systems.
  bool refuseLinks = false;
  // The nth rename from now on (1: the next one) fails; the others work.
  void failRename(int n);
  // Files whose path ends in suffix are written with one byte changed.
  void damageWritesOf(const QString& suffix);
  // Runs before each write with the path written (to stop the process
  // half-way, for one).
  std::function<void(const QString& path)> beforeWrite;

  int links() const;

  bool writeNewFile(const QString& path, QByteArrayView bytes, WriteFailure* failure) override;
  bool link(const QString& existing, const QString& path) override;
  bool rename(const QString& from, const QString& to) override;

 private:
  mutable std::mutex mutex_;
  qint64 room_ = -1;  // -1: no limit
  int renameToFail_ = 0;
  int links_ = 0;
  QString damagedSuffix_;
};

// Progress that stops the work at its nth step, counted over all its parts.
class StopAt final : public WorkProgress {
 public:
  explicit StopAt(int step) : step_(step) {}
  bool advance(int) override { return ++steps_ < step_; }

 private:
  int step_;
  int steps_ = 0;
};

// A report numbered id, occurring on the given day.
ReportRecord DatedReport(int id, int year, int month, int day);

// A drive with a data folder in use: data files 0 and 1 (three and two
// reports, the newest on 2026/11/30), set.dat with the default lists,
// ttid.dat, passw.dat, started.dat, the lock file, and the database open
// with one setting changed.
class BackupDrive : public TempDrive {
 public:
  BackupDrive();

  // A generation at the clock's moment; the test fails when it is not made.
  GenerationResult makeGeneration(BackupIo& io = SystemBackupIo(), BackupOccasion occasion = BackupOccasion::OnDemand);
  // The value of a setting in the open database (empty when none).
  QString setting(const QString& key) const;
  bool changeSetting(const QString& key, const QString& value);

  // Every file under folder with its bytes, by path relative to it.
  static std::map<QString, QByteArray> FolderFiles(const QString& folder);
};

}  // namespace orvanta::testing
