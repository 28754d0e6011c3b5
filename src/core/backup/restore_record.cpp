#include "core/backup/restore_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/backup/generations.h"
#include "core/backup/make_generation.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/store/access_log.h"
#include "core/store/database.h"

namespace orvanta {

namespace {

const QByteArray kFirstLine = "orvanta-restore 1";

bool Exists(const QString& path) {
  // A dangling link still takes its name.
  return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

bool FolderIsEmptyOrMissing(const QString& path) {
  if (!Exists(path)) return true;
  return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).isEmpty();
}

class Settler {
 public:
  Settler(const DrivePaths& paths, BackupIo& io, const QDateTime& now)
      : databaseName_(QFileInfo(paths.DatabasePath()).fileName()),
        now_(now),
        data_(paths.DataFolderPath()),
        incoming_(QDir(data_).filePath(kRestoreIncomingFolder)),
        outgoing_(QDir(data_).filePath(kRestoreOutgoingFolder)),
        recordPath_(QDir(data_).filePath(kRestoreRecordFile)),
        io_(io) {}

  RestoreSettlement run() {
    if (!Exists(recordPath_)) return withoutRecord();
    QFile file(recordPath_);
    std::optional<RestoreRecord> record;
    if (file.open(QIODevice::ReadOnly)) record = ReadRestoreRecordBytes(file.read(1 << 24));
    if (!record) {
      return stuck(QStringLiteral("復元の記録「%1」が読めません。").arg(QDir::toNativeSeparators(recordPath_)));
    }
    result_.savedGeneration = record->savedGeneration;
    if (record->phase == RestoreRecord::Phase::Finished) {
      carryLogOver();
      return tidy(RestoreSettlement::Outcome::Finished);
    }
    if (moveForward(*record)) {
      SyncFolder(data_);
      carryLogOver();
      RestoreRecord finished = *record;
      finished.phase = RestoreRecord::Phase::Finished;
      QString error;
      if (!WriteRestoreRecord(data_, finished, &error)) return stuck(error);
      return tidy(RestoreSettlement::Outcome::Finished);
    }
    if (!moveBack(*record)) {
      return stuck(QStringLiteral("復元の途中のファイルを元に戻せませんでした。\n%1").arg(failure_));
    }
    SyncFolder(data_);
    return tidy(RestoreSettlement::Outcome::RolledBack);
  }

 private:
  QString in(const QString& name) const { return QDir(incoming_).filePath(name); }
  QString out(const QString& name) const { return QDir(outgoing_).filePath(name); }
  QString here(const QString& name) const { return QDir(data_).filePath(name); }

  bool move(const QString& from, const QString& to) {
    if (io_.rename(from, to)) return true;
    failure_ = QStringLiteral("「%1」を「%2」へ移せませんでした。")
                   .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
    return false;
  }

  // The access log goes on from where it stood before the restore, as the
  // restore itself would have carried it over: never turned back.
  void carryLogOver() {
    const QString previous = out(databaseName_);
    if (!QFileInfo(previous).isFile() || !QFileInfo(here(databaseName_)).isFile()) return;
    Database restored;
    QString notice;
    QString error;
    if (restored.open(here(databaseName_), now_, &notice, &error)) CarryLogOver(restored, previous, &error);
  }

  RestoreSettlement withoutRecord() {
    // Moves out come only after the record is written: an outgoing folder
    // with something in it was left by an older program, and it may hold the
    // only copy of the data.
    if (!FolderIsEmptyOrMissing(outgoing_)) {
      return stuck(QStringLiteral("フォルダ「%1」に、途中で止まった復元の前のファイルが残っています。")
                       .arg(QDir::toNativeSeparators(outgoing_)));
    }
    RemoveFolder(outgoing_);
    RemoveFolder(incoming_);  // an unfinished copy of the backup: nothing had moved
    return result_;
  }

  // Completes the moves: every name out, then every name in.
  bool moveForward(const RestoreRecord& record) {
    if (!Exists(outgoing_) && !MakeOwnerOnlyFolder(outgoing_)) {
      failure_ = QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(outgoing_));
      return false;
    }
    for (const QString& name : record.goingOut) {
      if (Exists(out(name))) continue;    // already out
      if (!Exists(here(name))) continue;  // a name that was gone already counts as out
      if (!move(here(name), out(name))) return false;
    }
    for (const QString& name : record.comingIn) {
      if (!Exists(in(name))) {
        if (Exists(here(name))) continue;  // already in
        failure_ = QStringLiteral("復元するファイル「%1」が見つかりません。").arg(QDir::toNativeSeparators(in(name)));
        return false;
      }
      if (Exists(here(name))) {
        failure_ = QStringLiteral("「%1」が既にあります。").arg(QDir::toNativeSeparators(here(name)));
        return false;
      }
      if (!move(in(name), here(name))) return false;
    }
    return true;
  }

  // Undoes the moves: every name that came in goes back, then every name
  // that went out comes back.
  bool moveBack(const RestoreRecord& record) {
    if (!Exists(incoming_) && !MakeOwnerOnlyFolder(incoming_)) return false;
    bool whole = true;
    for (const QString& name : record.comingIn) {
      if (Exists(in(name)) || !Exists(here(name))) continue;  // never came in
      // A name that is both in the outgoing folder and here came in.
      if (record.goingOut.contains(name) && !Exists(out(name))) continue;
      if (!move(here(name), in(name))) whole = false;
    }
    for (const QString& name : record.goingOut) {
      if (!Exists(out(name))) continue;
      if (Exists(here(name))) {
        failure_ = QStringLiteral("「%1」が既にあります。").arg(QDir::toNativeSeparators(here(name)));
        whole = false;
        continue;
      }
      if (!move(out(name), here(name))) whole = false;
    }
    return whole;
  }

  RestoreSettlement tidy(RestoreSettlement::Outcome outcome) {
    RemoveFolder(outgoing_);
    RemoveFolder(incoming_);
    QFile::remove(recordPath_);
    SyncFolder(data_);
    result_.outcome = outcome;
    return result_;
  }

  RestoreSettlement stuck(const QString& reason) {
    result_.outcome = RestoreSettlement::Outcome::Stuck;
    result_.reason = reason;
    return result_;
  }

  const QString databaseName_;
  const QDateTime now_;
  const QString data_;
  const QString incoming_;
  const QString outgoing_;
  const QString recordPath_;
  BackupIo& io_;
  QString failure_;
  RestoreSettlement result_;
};

}  // namespace

QByteArray RestoreRecordBytes(const RestoreRecord& record) {
  QByteArray bytes = kFirstLine + '\n';
  bytes += record.phase == RestoreRecord::Phase::Finished ? "phase finished\n" : "phase replacing\n";
  bytes += "saved " + record.savedGeneration.toUtf8() + '\n';
  for (const QString& name : record.goingOut) bytes += "out " + name.toUtf8() + '\n';
  for (const QString& name : record.comingIn) bytes += "in " + name.toUtf8() + '\n';
  return bytes;
}

std::optional<RestoreRecord> ReadRestoreRecordBytes(const QByteArray& bytes) {
  QList<QByteArray> lines = bytes.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the last line's end
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  if (lines.size() < 3 || lines[0] != kFirstLine) return std::nullopt;
  RestoreRecord record;
  if (lines[1] == "phase finished") {
    record.phase = RestoreRecord::Phase::Finished;
  } else if (lines[1] != "phase replacing") {
    return std::nullopt;
  }
  if (!lines[2].startsWith("saved ")) return std::nullopt;
  record.savedGeneration = QString::fromUtf8(lines[2].mid(6));
  for (qsizetype i = 3; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    QStringList* list = line.startsWith("out ")  ? &record.goingOut
                        : line.startsWith("in ") ? &record.comingIn
                                                 : nullptr;
    if (list == nullptr) return std::nullopt;
    const QString name = QString::fromUtf8(line.mid(line.indexOf(' ') + 1));
    // A name is one entry of the data folder, never a path.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
      return std::nullopt;
    list->append(name);
  }
  return record;
}

bool WriteRestoreRecord(const QString& dataFolder, const RestoreRecord& record, QString* error) {
  return SaveFileAtomically(QDir(dataFolder).filePath(kRestoreRecordFile), RestoreRecordBytes(record),
                            FileAccess::OwnerOnly, error);
}

RestoreSettlement SettleInterruptedRestore(const DrivePaths& paths, const QDateTime& now, BackupIo& io) {
  return Settler(paths, io, now).run();
}

bool RestoreLeftToSettle(const DrivePaths& paths) {
  const QDir data(paths.DataFolderPath());
  return Exists(data.filePath(kRestoreRecordFile)) || !FolderIsEmptyOrMissing(data.filePath(kRestoreOutgoingFolder));
}

QString RestoreSettlementText(const RestoreSettlement& settlement, const DrivePaths& paths) {
  QString saved;
  if (const std::optional<QDateTime> moment = GenerationMoment(settlement.savedGeneration))
    saved = GenerationLabel(*moment);
  switch (settlement.outcome) {
    case RestoreSettlement::Outcome::Nothing: return {};
    case RestoreSettlement::Outcome::Finished: {
      QString text = QStringLiteral("前回、バックアップからの復元が途中で止まっていたため、復元を最後まで行いました。");
      if (!saved.isEmpty()) text += QStringLiteral("\n復元の前のデータは「%1」の世代に保存してあります。").arg(saved);
      return text;
    }
    case RestoreSettlement::Outcome::RolledBack:
      return QStringLiteral(
          "前回、バックアップからの復元が途中で止まっていました。復元を最後まで行えなかったため、"
          "データを復元の前の状態に戻しました。");
    case RestoreSettlement::Outcome::Stuck:
      return QStringLiteral(
                 "前回、バックアップからの復元が途中で止まっており、データを元の状態にできませんでした。\n%1\n"
                 "データフォルダ「%2」のファイルを失わないよう、Orvantaを終了します。"
                 "フォルダの中身を確かめてから、もう一度起動してください。")
          .arg(settlement.reason, QDir::toNativeSeparators(paths.DataFolderPath()));
  }
  return {};
}

}  // namespace orvanta
