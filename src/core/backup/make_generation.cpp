#include "core/backup/make_generation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app/data_folder_lock.h"
#include "core/backup/file_checks.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_in_order.h"
#include "core/platform/work_progress.h"
#include "core/store/access_log.h"
#include "core/store/database.h"

namespace orvanta {

namespace {

// What became of one file of the generation.
struct FileOutcome {
  enum class What { Verified, Skipped, Failed, DiskFull };
  What what = What::Skipped;
  bool linked = false;
  bool damagedInSource = false;
  DataFileSummary data;
  QString reason;
};

bool StatFile(const QString& path, struct stat& info) {
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Size and modification time to the nanosecond: the copy in the previous
// generation was given its file's time when it was made.
bool SameSizeAndTime(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool ReadAll(const QString& path, QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  bytes = file.readAll();
  return file.error() == QFileDevice::NoError;
}

void SyncFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

QString Native(const QString& relative) { return QDir::toNativeSeparators(relative); }

// Whether a failed SQLite write ran out of space: SQLite's "database or disk
// is full", or next to nothing left where it wrote.
bool LooksLikeDiskFull(const QString& error, const QString& folder) {
  if (error.contains(QStringLiteral("full"), Qt::CaseInsensitive)) return true;
  const QStorageInfo storage(folder);
  return storage.isValid() && storage.bytesAvailable() < 64 * 1024;
}

class GenerationBuilder {
 public:
  GenerationBuilder(const DrivePaths& paths, const GenerationOptions& options, WorkProgress& progress, BackupIo& io)
      : paths_(paths), options_(options), progress_(progress), io_(io), source_(paths.DataFolderPath()) {}

  GenerationResult make(const Database& database, const QDateTime& now) {
    const QString root = paths_.GenerationsFolderPath();
    if (!QFileInfo(source_).isDir()) return fail(QStringLiteral("データフォルダ「%1」がありません。").arg(source_));
    if (!QFileInfo(root).isDir() && !MakeOwnerOnlyFolder(root))
      return fail(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(root)));
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    RemoveUnfinishedGenerations(paths_);

    const std::vector<Generation> before = ListGenerations(paths_);
    if (!before.empty()) previous_ = before.front().path;
    QDateTime moment = now;
    while (QFileInfo::exists(QDir(root).filePath(GenerationName(moment)))) moment = moment.addSecs(1);
    const QString name = GenerationName(moment);
    temporary_ = QDir(root).filePath(kMakingPrefix + name);
    if (!MakeOwnerOnlyFolder(temporary_))
      return fail(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(temporary_)));

    QStringList leftOut{kLockFileName, kLockFileName + QStringLiteral(".rmlock"), kSummaryFileName,
                        kRestoreIncomingFolder, kRestoreOutgoingFolder, kRestoreRecordFile};
    // The databases go through SQLite, never as bytes, and their journals not at all.
    for (const QString& path : {paths_.DatabasePath(), paths_.NetworkDatabasePath()}) {
      const QString name = QFileInfo(path).fileName();
      leftOut << name << name + QStringLiteral("-journal") << name + QStringLiteral("-wal")
              << name + QStringLiteral("-shm");
    }
    const FolderContents contents = ListFolderContents(source_, leftOut);
    for (const QString& folder : contents.folders) {
      if (!MakeOwnerOnlyFolder(target(folder)))
        return abandon(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(Native(folder)));
    }
    files_ = contents.files;
    progress_.begin(QStringLiteral("バックアップの世代を作成しています…"), static_cast<int>(files_.size()) + 1);

    if (!copyDatabase(paths_.DatabasePath(), &database)) return abandon();
    if (!copyDatabase(paths_.NetworkDatabasePath(), nullptr)) return abandon();
    if (!progress_.advance(1)) return stopped();
    if (!copyFiles()) return abandon();

    summary_.made = moment;
    summary_.occasion = options_.occasion;
    keepLogHead(database);
    WriteFailure failure;
    if (!io_.writeNewFile(QDir(temporary_).filePath(kSummaryFileName), SummaryFileBytes(summary_), &failure)) {
      diskFull_ = failure.diskFull;
      return abandon(QStringLiteral("ファイル「%1」を書き込めませんでした。(%2)").arg(kSummaryFileName, failure.why));
    }
    for (const QString& folder : contents.folders) SyncFolder(target(folder));
    SyncFolder(temporary_);

    const QString final = QDir(root).filePath(name);
    if (!io_.rename(temporary_, final))
      return abandon(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(final)));
    SyncFolder(root);

    GenerationResult result;
    result.outcome = GenerationResult::Outcome::Made;
    result.generation = Generation{name, final, moment};
    result.summary = summary_;
    result.linkedFiles = linked_;
    result.copiedFiles = copied_;
    // Names after the moment this one was made tell of a clock that was
    // ahead, or of one that has gone back: the user is told, and nothing is
    // removed on their word.
    for (const Generation& g : GenerationsAfter(ListGenerations(paths_), moment)) result.later << g.name;
    if (options_.applyKeeping) result.removed = applyKeeping(name, moment);
    return result;
  }

 private:
  QString target(const QString& relative) const { return QDir(temporary_).filePath(relative); }
  QString sourceOf(const QString& relative) const { return QDir(source_).filePath(relative); }

  GenerationResult fail(const QString& reason) {
    GenerationResult result;
    result.outcome = GenerationResult::Outcome::Failed;
    result.reason = reason;
    return result;
  }

  // Removes what was built; reason (or the reason found on the way) says why.
  GenerationResult abandon(const QString& reason = QString()) {
    RemoveFolder(temporary_);
    // A folder or the summary that could not be written for want of space.
    if (!stopped_ && !diskFull_ && LooksLikeDiskFull(QString(), paths_.GenerationsFolderPath())) diskFull_ = true;
    GenerationResult result = fail(reason.isEmpty() ? reason_ : reason);
    if (stopped_) result.outcome = GenerationResult::Outcome::Stopped;
    if (diskFull_) result.outcome = GenerationResult::Outcome::DiskFull;
    return result;
  }

  GenerationResult stopped() {
    stopped_ = true;
    return abandon();
  }

  // The access log's newest entry goes with the generation: a log rewritten
  // as a whole afterwards no longer holds it.
  void keepLogHead(const Database& database) {
    if (!database.isOpen()) return;
    LogHead head;
    QString error;
    if (!ReadLogHead(database.connection(), &head, &error) || head.seq == 0) return;
    summary_.logSeq = head.seq;
    summary_.logHash = head.hash;
    summary_.logAt = head.at;
  }

  // A database through SQLite: the open connection, or one of its own.
  bool copyDatabase(const QString& source, const Database* database) {
    const QString relative = QFileInfo(source).fileName();
    const QString copy = target(relative);
    QString error;
    if (database && database->isOpen() && QFileInfo(database->path()) == QFileInfo(source)) {
      if (!database->copyTo(copy, &error)) return databaseFailed(error);
    } else if (QFileInfo(source).isFile()) {
      if (!CopyDatabaseFile(source, copy, &error)) {
        QString why;
        if (CheckDatabaseFile(source, &why)) return databaseFailed(error);
        // Not a database that SQLite can copy: kept as it is, like any other
        // damaged file.
        files_ << relative;
        summary_.damaged << relative;
        return true;
      }
    } else {
      return true;
    }
    SyncFile(copy);
    if (!CheckDatabaseFile(copy, &error)) {
      reason_ = QStringLiteral("データベースのコピーを確かめられませんでした。\n(%1)").arg(error);
      return false;
    }
    ++copied_;
    return true;
  }

  bool databaseFailed(const QString& error) {
    diskFull_ = LooksLikeDiskFull(error, temporary_);
    reason_ = QStringLiteral("データベースをコピーできませんでした。\n(%1)").arg(error);
    return false;
  }

  // Every other file, on all the machine's cores; the progress is told, and
  // may stop the work, on the calling thread. The list of files is only read
  // meanwhile (at(), never the detaching operator[]).
  bool copyFiles() {
    std::atomic<bool> stop{false};
    int done = 1;
    MapInOrder<FileOutcome>(
        static_cast<int>(files_.size()), options_.threads,
        [&](int i) { return stop ? FileOutcome{} : copyFile(files_.at(i)); },
        [&](int i, FileOutcome&& outcome) {
          switch (outcome.what) {
            case FileOutcome::What::Skipped: return;
            case FileOutcome::What::DiskFull: diskFull_ = true; [[fallthrough]];
            case FileOutcome::What::Failed:
              if (reason_.isEmpty()) reason_ = outcome.reason;
              stop = true;
              return;
            case FileOutcome::What::Verified: break;
          }
          ++(outcome.linked ? linked_ : copied_);
          if (outcome.damagedInSource) summary_.damaged << files_.at(i);
          if (KindOfFile(files_.at(i), paths_) == FileKind::DataFile) AddToSummary(summary_, outcome.data);
          if (!progress_.advance(++done)) {
            stopped_ = true;
            stop = true;
          }
        });
    return !stop;
  }

  // Links or copies one file and verifies what the generation then holds.
  // Runs on a worker thread.
  FileOutcome copyFile(const QString& relative) const {
    FileOutcome out;
    auto failed = [&](const QString& reason) {
      out.what = FileOutcome::What::Failed;
      out.reason = reason;
      return out;
    };
    const QString source = sourceOf(relative);
    const QString copy = target(relative);
    struct stat info {};
    if (!StatFile(source, info))
      return failed(QStringLiteral("ファイル「%1」を読めませんでした。").arg(Native(relative)));

    if (!previous_.isEmpty()) {
      const QString earlier = QDir(previous_).filePath(relative);
      struct stat earlierInfo {};
      if (StatFile(earlier, earlierInfo) && SameSizeAndTime(info, earlierInfo) && io_.link(earlier, copy)) {
        out.linked = true;
        if (verify(relative, info, out)) return out;
        // The earlier copy no longer reads as it should: a fresh copy then.
        QFile::remove(copy);
        out = FileOutcome{};
      }
    }

    QByteArray bytes;
    if (!ReadAll(source, bytes))
      return failed(QStringLiteral("ファイル「%1」を読めませんでした。").arg(Native(relative)));
    WriteFailure failure;
    if (!io_.writeNewFile(copy, bytes, &failure)) {
      out.what = failure.diskFull ? FileOutcome::What::DiskFull : FileOutcome::What::Failed;
      out.reason = QStringLiteral("ファイル「%1」を書き込めませんでした。(%2)").arg(Native(relative), failure.why);
      return out;
    }
    CopyFileTime(source, copy);
    verify(relative, info, out, &bytes);
    return out;
  }

  // Reads the generation's copy back and checks it; sourceBytes are the
  // bytes it was made from, when they were read.
  bool verify(const QString& relative, const struct stat& info, FileOutcome& out,
              const QByteArray* sourceBytes = nullptr) const {
    QByteArray back;
    const bool readBack = ReadAll(target(relative), back);
    if (!readBack || back.size() != info.st_size || (sourceBytes && back != *sourceBytes)) {
      out.what = FileOutcome::What::Failed;
      out.reason = QStringLiteral("ファイル「%1」のコピーを読み戻すと、元のファイルと一致しませんでした。")
                       .arg(Native(relative));
      return false;
    }
    const FileKind kind = KindOfFile(relative, paths_);
    if (ReadsAsItsKind(kind, back, &out.data)) {
      out.what = FileOutcome::What::Verified;
      return true;
    }
    // A file that does not read in the data folder either is kept as it is.
    QByteArray original;
    if (!sourceBytes && ReadAll(sourceOf(relative), original)) sourceBytes = &original;
    if (sourceBytes && *sourceBytes == back && !ReadsAsItsKind(kind, *sourceBytes)) {
      out.what = FileOutcome::What::Verified;
      out.damagedInSource = true;  // out.data: what the repair would find in it
      return true;
    }
    out.what = FileOutcome::What::Failed;
    out.reason = QStringLiteral("ファイル「%1」のコピーを読み戻せませんでした。").arg(Native(relative));
    return false;
  }

  QStringList applyKeeping(const QString& made, const QDateTime& now) {
    const std::vector<Generation> generations = ListGenerations(paths_);
    // The way back from the last restore is the newest "before a restore"
    // generation; it stays whatever the others' names say.
    QString wayBack;
    QDateTime wayBackMade;
    for (const Generation& g : generations) {
      if (GenerationSummary(g.path).occasion == BackupOccasion::BeforeRestore &&
          (wayBack.isEmpty() || std::min(g.made, now) > wayBackMade)) {
        wayBack = g.name;
        wayBackMade = std::min(g.made, now);
      }
    }
    QStringList removed;
    for (const Generation& g : GenerationsLetGo(generations, made, wayBack, now)) {
      if (RemoveGeneration(g)) removed << g.name;
    }
    return removed;
  }

  const DrivePaths& paths_;
  const GenerationOptions& options_;
  WorkProgress& progress_;
  BackupIo& io_;
  const QString source_;
  QString previous_;   // the newest generation before this one
  QString temporary_;  // where the generation is built
  QStringList files_;
  BackupSummary summary_;
  int linked_ = 0;
  int copied_ = 0;
  bool stopped_ = false;
  bool diskFull_ = false;
  QString reason_;
};

}  // namespace

GenerationResult MakeGeneration(const DrivePaths& paths, const Database& database, const QDateTime& now,
                                const GenerationOptions& options, WorkProgress& progress, BackupIo& io) {
  return GenerationBuilder(paths, options, progress, io).make(database, now);
}

QString GenerationLabel(const QDateTime& made) { return made.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")); }

QString GenerationFailureText(const GenerationResult& result) {
  switch (result.outcome) {
    case GenerationResult::Outcome::Made: return {};
    case GenerationResult::Outcome::Stopped:
      return QStringLiteral("バックアップの世代の作成を中止しました。作りかけの世代は削除しました。");
    case GenerationResult::Outcome::DiskFull:
      return QStringLiteral(
                 "ディスクの空き容量が足りないため、バックアップの世代を作成できませんでした。\n"
                 "作りかけの世代は削除しました。これまでの世代とデータはそのまま残っています。\n%1")
          .arg(result.reason);
    case GenerationResult::Outcome::Failed:
      return QStringLiteral(
                 "バックアップの世代を作成できませんでした。\n%1\n"
                 "作りかけの世代は削除しました。これまでの世代はそのまま残っています。")
          .arg(result.reason);
  }
  return {};
}

}  // namespace orvanta
