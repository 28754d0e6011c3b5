#include "core/backup/restore_backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <sys/stat.h>

#include "core/app/app_state.h"
#include "core/app/data_folder_lock.h"
#include "core/app/startup.h"
#include "core/backup/file_checks.h"
#include "core/backup/restore_record.h"
#include "core/platform/clock.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_in_order.h"
#include "core/platform/work_progress.h"

namespace orvanta {

namespace {

QString Native(const QString& relative) { return QDir::toNativeSeparators(relative); }

QStringList LockNames() { return {kLockFileName, kLockFileName + QStringLiteral(".rmlock")}; }

struct StagedFile {
  enum class What { Ready, Skipped, Refused, Failed, DiskFull };
  What what = What::Skipped;
  QString reason;
};

class Restorer {
 public:
  Restorer(AppState& state, const QString& folder, WorkProgress& progress, BackupIo& io, int threads)
      : state_(state),
        paths_(state.paths),
        backup_(folder),
        data_(paths_.DataFolderPath()),
        incoming_(QDir(data_).filePath(kRestoreIncomingFolder)),
        outgoing_(QDir(data_).filePath(kRestoreOutgoingFolder)),
        progress_(progress),
        io_(io),
        threads_(threads) {}

  RestoreResult run() {
    // What an earlier restore stopped half-way left behind is settled first
    // (the start does it too); never removed while it may hold the data.
    const RestoreSettlement earlier = SettleInterruptedRestore(paths_, state_.clock().now(), io_);
    if (earlier.outcome == RestoreSettlement::Outcome::Stuck) {
      refuse(RestoreResult::Outcome::NotReady, earlier.reason);
      return result_;
    }

    if (!stage()) {
      RemoveFolder(incoming_);
      return result_;
    }

    GenerationOptions options;
    options.occasion = BackupOccasion::BeforeRestore;
    options.applyKeeping = false;  // the backup being restored stays whatever its age
    options.threads = threads_;
    state_.database.runDeferred();  // the log's newest entries go with the copy
    result_.saved = MakeGeneration(paths_, state_.database, state_.clock().now(), options, progress_, io_);
    if (!result_.saved.made()) {
      RemoveFolder(incoming_);
      result_.outcome = result_.saved.outcome == GenerationResult::Outcome::Stopped ? RestoreResult::Outcome::Stopped
                                                                                    : RestoreResult::Outcome::NotSaved;
      return result_;
    }

    progress_.begin(QStringLiteral("データを入れ替えています…"), 0);
    if (!replace()) return result_;
    readEverythingAgain();
    result_.outcome = RestoreResult::Outcome::Restored;
    return result_;
  }

 private:
  RestoreResult::Outcome refuse(RestoreResult::Outcome outcome, const QString& reason) {
    result_.outcome = outcome;
    if (result_.reason.isEmpty()) result_.reason = reason;
    return outcome;
  }

  // Step 1: the backup's files copied into the incoming folder and checked.
  bool stage() {
    const QString databaseName = QFileInfo(paths_.DatabasePath()).fileName();
    QStringList leftOut = LockNames();
    leftOut << kSummaryFileName << kRestoreIncomingFolder << kRestoreOutgoingFolder << kRestoreRecordFile
            << databaseName + QStringLiteral("-journal")
            << QFileInfo(paths_.NetworkDatabasePath()).fileName() + QStringLiteral("-journal");
    const FolderContents contents = ListFolderContents(backup_, leftOut);
    const QString counters = QFileInfo(paths_.IdFilePath()).fileName();
    if (!contents.files.contains(counters)) {
      refuse(RestoreResult::Outcome::Refused, QStringLiteral("ファイル「%1」がありません。").arg(counters));
      return false;
    }
    QFile summaryFile(QDir(backup_).filePath(kSummaryFileName));
    if (summaryFile.open(QIODevice::ReadOnly)) {
      if (const std::optional<BackupSummary> summary = ReadSummaryBytes(summaryFile.read(1 << 20)))
        knownDamaged_ = summary->damaged;
    }

    if (!MakeOwnerOnlyFolder(incoming_)) {
      refuse(RestoreResult::Outcome::NotReady,
             QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(incoming_)));
      return false;
    }
    for (const QString& folder : contents.folders) {
      if (!MakeOwnerOnlyFolder(QDir(incoming_).filePath(folder))) {
        refuse(RestoreResult::Outcome::NotReady,
               QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(Native(folder)));
        return false;
      }
    }

    progress_.begin(QStringLiteral("復元するファイルを確かめています…"), static_cast<int>(contents.files.size()));
    // The database is checked through a connection on this thread, before
    // the other files.
    QStringList files = contents.files;
    const QStringList first = files.removeAll(databaseName) ? QStringList{databaseName} : QStringList{};
    std::atomic<bool> stop{false};
    int done = 0;
    auto take = [&](int, StagedFile&& staged) {
      switch (staged.what) {
        case StagedFile::What::Skipped: return;
        case StagedFile::What::Ready: break;
        case StagedFile::What::Refused: refuse(RestoreResult::Outcome::Refused, staged.reason); break;
        case StagedFile::What::DiskFull: result_.diskFull = true; [[fallthrough]];
        case StagedFile::What::Failed: refuse(RestoreResult::Outcome::NotReady, staged.reason); break;
      }
      if (staged.what != StagedFile::What::Ready) {
        stop = true;
      } else if (!progress_.advance(++done)) {
        refuse(RestoreResult::Outcome::Stopped, {});
        stop = true;
      }
    };
    for (const QString& relative : first) take(0, stageFile(relative));
    MapInOrder<StagedFile>(
        static_cast<int>(files.size()), threads_, [&](int i) { return stop ? StagedFile{} : stageFile(files.at(i)); },
        take);
    return !stop;
  }

  // Copies one file of the backup into the incoming folder and checks it.
  // Runs on a worker thread, except for the database.
  StagedFile stageFile(const QString& relative) const {
    StagedFile out;
    const QString source = QDir(backup_).filePath(relative);
    const QString copy = QDir(incoming_).filePath(relative);
    const FileKind kind = KindOfFile(relative, paths_);
    auto failed = [&](StagedFile::What what, const QString& reason) {
      out.what = what;
      out.reason = reason;
      return out;
    };
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
      return failed(StagedFile::What::Refused, QStringLiteral("ファイル「%1」を読めません。").arg(Native(relative)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
      return failed(StagedFile::What::Refused, QStringLiteral("ファイル「%1」を読めません。").arg(Native(relative)));
    const bool mustRead = kind == FileKind::Counters || !knownDamaged_.contains(relative);
    if (mustRead && !ReadsAsItsKind(kind, bytes))
      return failed(StagedFile::What::Refused, QStringLiteral("ファイル「%1」が壊れています。").arg(Native(relative)));
    if (kind == FileKind::Database && mustRead) {
      QString error;
      if (!CheckDatabaseFile(source, &error)) {
        return failed(StagedFile::What::Refused,
                      QStringLiteral("データベース「%1」が壊れています。\n(%2)").arg(Native(relative), error));
      }
    }
    WriteFailure failure;
    if (!io_.writeNewFile(copy, bytes, &failure)) {
      return failed(failure.diskFull ? StagedFile::What::DiskFull : StagedFile::What::Failed,
                    QStringLiteral("ファイル「%1」を書き込めませんでした。(%2)").arg(Native(relative), failure.why));
    }
    CopyFileTime(source, copy);
    QFile back(copy);
    if (!back.open(QIODevice::ReadOnly) || back.readAll() != bytes) {
      return failed(StagedFile::What::Failed,
                    QStringLiteral("ファイル「%1」のコピーを読み戻すと、元のファイルと一致しませんでした。")
                        .arg(Native(relative)));
    }
    out.what = StagedFile::What::Ready;
    return out;
  }

  // Step 3: the present files moved aside, the checked copies moved in.
  bool replace() {
    state_.database.close();
    // The centre's database is opened again by the window that needs it.
    state_.network.close();
    QStringList present = QDir(data_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& name :
         LockNames() + QStringList{kRestoreIncomingFolder, kRestoreOutgoingFolder, kRestoreRecordFile})
      present.removeAll(name);
    const QStringList coming =
        QDir(incoming_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);

    // What is about to move is recorded first, so that a start after a stop
    // in the middle finishes the moves or undoes them (restore_record.h).
    RestoreRecord record;
    record.savedGeneration = result_.saved.generation.name;
    record.goingOut = present;
    record.comingIn = coming;
    QString recordError;
    if (!WriteRestoreRecord(data_, record, &recordError)) {
      QString notice;
      QString error;
      state_.database.open(paths_.DatabasePath(), state_.clock().now(), &notice, &error);
      RemoveFolder(incoming_);
      refuse(RestoreResult::Outcome::PutBack, recordError);
      return false;
    }

    QStringList movedOut;
    QStringList movedIn;
    bool ok = MakeOwnerOnlyFolder(outgoing_);
    for (const QString& name : present) {
      if (!ok) break;
      ok = io_.rename(QDir(data_).filePath(name), QDir(outgoing_).filePath(name));
      if (ok) movedOut << name;
    }
    for (const QString& name : coming) {
      if (!ok) break;
      ok = io_.rename(QDir(incoming_).filePath(name), QDir(data_).filePath(name));
      if (ok) movedIn << name;
    }
    SyncFolder(data_);

    QString notice;
    QString error;
    if (ok && !state_.database.open(paths_.DatabasePath(), state_.clock().now(), &notice, &error)) {
      ok = false;
      state_.database.close();
    }
    if (!ok) {
      putBack(movedOut, movedIn);
      return false;
    }
    if (!notice.isEmpty()) result_.notice = notice;
    // The access log goes on from where it stood: it is never turned back.
    QString logError;
    if (!CarryLogOver(state_.database, QDir(outgoing_).filePath(QFileInfo(paths_.DatabasePath()).fileName()),
                      &logError))
      state_.log.tellNotWritten(logError);
    record.phase = RestoreRecord::Phase::Finished;
    // Should the finished mark not be saved, a start finds every name moved
    // already and finishes the same way.
    WriteRestoreRecord(data_, record, nullptr);
    RemoveFolder(outgoing_);
    RemoveFolder(incoming_);
    QFile::remove(QDir(data_).filePath(kRestoreRecordFile));
    SyncFolder(data_);
    return true;
  }

  // Moves everything back as it was, and opens the database again.
  void putBack(const QStringList& movedOut, const QStringList& movedIn) {
    bool whole = true;
    for (auto it = movedIn.crbegin(); it != movedIn.crend(); ++it) {
      const QString placed = QDir(data_).filePath(*it);
      if (!io_.rename(placed, QDir(incoming_).filePath(*it)) && !RemoveFolder(placed) && !QFile::remove(placed))
        whole = false;
    }
    for (auto it = movedOut.crbegin(); it != movedOut.crend(); ++it) {
      if (!io_.rename(QDir(outgoing_).filePath(*it), QDir(data_).filePath(*it))) whole = false;
    }
    SyncFolder(data_);
    QString notice;
    QString error;
    state_.database.open(paths_.DatabasePath(), state_.clock().now(), &notice, &error);
    RemoveFolder(incoming_);
    if (whole) {
      RemoveFolder(outgoing_);
      QFile::remove(QDir(data_).filePath(kRestoreRecordFile));
      SyncFolder(data_);
    }
    result_.outcome = whole ? RestoreResult::Outcome::PutBack : RestoreResult::Outcome::Broken;
  }

  // Step 4: as at start-up.
  void readEverythingAgain() {
    QStringList notices;
    if (!result_.notice.isEmpty()) notices << result_.notice;
    LoadPassword(state_.login, paths_);
    QString error;
    LoadIdFile(state_.counters, paths_, false, &error);
    QString notice;
    error.clear();
    const bool listsWritten = LoadCodeLists(state_.lists, paths_, state_.clock().now(), &notice, &error);
    if (!notice.isEmpty()) notices << notice;
    if (!listsWritten) notices << error;
    error.clear();
    if (!CountReportsAtStart(state_.dataFile, state_.counters, state_.lists, paths_, &error)) notices << error;
    LoadNewestFile(state_.dataFile, state_.counters, paths_);
    state_.dataFile.CurrentIndex = 0;
    state_.searchHits.clear();
    result_.notice = notices.join(QLatin1Char('\n'));
  }

  AppState& state_;
  const DrivePaths& paths_;
  const QString backup_;
  const QString data_;
  const QString incoming_;
  const QString outgoing_;
  WorkProgress& progress_;
  BackupIo& io_;
  const int threads_;
  QStringList knownDamaged_;
  RestoreResult result_;
};

}  // namespace

RestoreResult RestoreBackup(AppState& state, const QString& folder, WorkProgress& progress, BackupIo& io, int threads) {
  return Restorer(state, folder, progress, io, threads).run();
}

QString RestoreQuestion(const QString& label) {
  return QStringLiteral(
             "「%1」のバックアップから復元しますか？\n"
             "今のデータは、復元の前に新しい世代として保存します。復元を取り消すときは、その世代から復元してください。")
      .arg(label);
}

QString RestoreResultText(const RestoreResult& result, const QString& label) {
  const QString saved = result.saved.made() ? GenerationLabel(result.saved.generation.made) : QString();
  switch (result.outcome) {
    case RestoreResult::Outcome::Restored: {
      QString text =
          QStringLiteral("「%1」のバックアップから復元しました。\n復元の前のデータは「%2」の世代に保存してあります。")
              .arg(label, saved);
      if (!result.notice.isEmpty()) text += QLatin1Char('\n') + result.notice;
      return text;
    }
    case RestoreResult::Outcome::Refused:
      return QStringLiteral(
                 "「%1」のバックアップは読めないファイルがあるため、復元できません。\n%"
                 "2\nデータは何も変わっていません。")
          .arg(label, result.reason);
    case RestoreResult::Outcome::NotReady:
      if (result.diskFull) {
        return QStringLiteral(
                   "ディスクの空き容量が足りないため、復元できませんでした。\n%1\nデータは何も変わっていません。")
            .arg(result.reason);
      }
      return QStringLiteral("復元の準備ができませんでした。\n%1\nデータは何も変わっていません。").arg(result.reason);
    case RestoreResult::Outcome::NotSaved:
      return QStringLiteral(
                 "今のデータを世代として保存できなかったため、復元しませんでした。データは何も変わっていません。\n") +
             GenerationFailureText(result.saved);
    case RestoreResult::Outcome::Stopped: return QStringLiteral("復元を中止しました。データは何も変わっていません。");
    case RestoreResult::Outcome::PutBack:
      return QStringLiteral("ファイルを入れ替えられなかったため、復元を取りやめ、データを復元の前の状態に戻しました。");
    case RestoreResult::Outcome::Broken:
      return QStringLiteral(
                 "ファイルを入れ替えられず、復元の前の状態にも戻せませんでした。\n"
                 "「バックアップから復元」で「%1」の世代を復元してください。")
          .arg(saved);
  }
  return {};
}

}  // namespace orvanta
