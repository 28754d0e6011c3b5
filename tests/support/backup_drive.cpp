#include "support/backup_drive.h"

#include <QDir>
#include <QDirIterator>
#include <QSqlQuery>
#include <QVariant>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

#include "core/app/data_folder_lock.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "core/codelists/code_list_editing.h"
#include "core/codelists/code_lists.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_progress.h"
#include "core/reports/data_file.h"

namespace orvanta::testing {

void FaultyBackupIo::fillDiskAfter(qint64 bytes) {
  std::lock_guard lock(mutex_);
  room_ = bytes;
}

void FaultyBackupIo::failRename(int n) {
  std::lock_guard lock(mutex_);
  renameToFail_ = n;
}

void FaultyBackupIo::damageWritesOf(const QString& suffix) {
  std::lock_guard lock(mutex_);
  damagedSuffix_ = suffix;
}

int FaultyBackupIo::links() const {
  std::lock_guard lock(mutex_);
  return links_;
}

bool FaultyBackupIo::writeNewFile(const QString& path, QByteArrayView bytes, WriteFailure* failure) {
  if (beforeWrite) beforeWrite(path);
  QByteArray written = bytes.toByteArray();
  bool full = false;
  {
    std::lock_guard lock(mutex_);
    if (!damagedSuffix_.isEmpty() && path.endsWith(damagedSuffix_) && !written.isEmpty())
      written[written.size() / 2] = written[written.size() / 2] == 'x' ? 'y' : 'x';
    if (room_ >= 0) {
      if (written.size() > room_) {
        written.truncate(room_);
        full = true;
      }
      room_ -= written.size();
    }
  }
  if (!full) return BackupIo::writeNewFile(path, written, failure);
  BackupIo::writeNewFile(path, written, nullptr);
  if (failure) {
    failure->diskFull = true;
    failure->why = QString::fromLocal8Bit(std::strerror(ENOSPC));
  }
  return false;
}

bool FaultyBackupIo::link(const QString& existing, const QString& path) {
  if (refuseLinks) return false;
  if (!BackupIo::link(existing, path)) return false;
  std::lock_guard lock(mutex_);
  ++links_;
  return true;
}

bool FaultyBackupIo::rename(const QString& from, const QString& to) {
  {
    std::lock_guard lock(mutex_);
    if (renameToFail_ > 0 && --renameToFail_ == 0) return false;
  }
  return BackupIo::rename(from, to);
}

ReportRecord DatedReport(int id, int year, int month, int day) {
  ReportRecord r;
  r.ReportId = id;
  r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(id);
  r.Years[0] = year;
  r.Months[0] = month;
  r.Days[0] = day;
  return r;
}

BackupDrive::BackupDrive() {
  EXPECT_TRUE(PrepareDataFolder(state.paths));
  SetDefaultCodeLists(state.lists);
  EXPECT_TRUE(WriteSettingsFile(state.paths.SettingsFilePath(), state.lists));
  EXPECT_TRUE(WriteReports(0, {DatedReport(1, 2026, 1, 5), DatedReport(2, 2026, 3, 1), DatedReport(3, 2025, 12, 24)}));
  EXPECT_TRUE(WriteReports(1, {DatedReport(4, 2026, 11, 30), DatedReport(5, 2026, 2, 2)}));
  state.counters.LastCodeId = HighestCodeId(state.lists).value_or(0);
  state.counters.LastReportId = 5;
  state.counters.TotalReports = 5;
  EXPECT_TRUE(WriteIdFile(state.paths.IdFilePath(), state.counters));
  EXPECT_TRUE(WritePasswordFile(state.paths.PasswordFilePath(), QStringLiteral("secret")));
  EXPECT_TRUE(RecordFirstStart(state.paths, clock));
  EXPECT_TRUE(SaveFileAtomically(QDir(state.paths.DataFolderPath()).filePath(kLockFileName), "12345\nOrvanta\nhost\n",
                                 FileAccess::OwnerOnly));
  QString notice;
  QString error;
  EXPECT_TRUE(state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error)) << error.toStdString();
  EXPECT_TRUE(changeSetting(QStringLiteral("due_days_ahead"), QStringLiteral("21")));
}

GenerationResult BackupDrive::makeGeneration(BackupIo& io, BackupOccasion occasion) {
  WorkProgress progress;
  GenerationOptions options;
  options.occasion = occasion;
  GenerationResult result = MakeGeneration(state.paths, state.database, clock.now(), options, progress, io);
  EXPECT_TRUE(result.made()) << GenerationFailureText(result).toStdString();
  return result;
}

QString BackupDrive::setting(const QString& key) const {
  QSqlQuery query(state.database.connection());
  query.prepare(QStringLiteral("SELECT value FROM setting WHERE key = ?"));
  query.addBindValue(key);
  if (!query.exec() || !query.next()) return {};
  return query.value(0).toString();
}

bool BackupDrive::changeSetting(const QString& key, const QString& value) {
  QString error;
  return state.database.change(
      [&](QSqlDatabase& db, QString*) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO setting(key, value) VALUES (?, ?)"));
        query.addBindValue(key);
        query.addBindValue(value);
        return query.exec();
      },
      &error);
}

std::map<QString, QByteArray> BackupDrive::FolderFiles(const QString& folder) {
  std::map<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[QDir(folder).relativeFilePath(path)] = FileBytes(path);
  }
  return files;
}

}  // namespace orvanta::testing
