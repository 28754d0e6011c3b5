#include "core/backup/backup_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

#include "core/app/data_folder_lock.h"
#include "core/backup/file_checks.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/platform/work_progress.h"
#include "core/store/database.h"

namespace orvanta {

namespace {

QStringList LockNames() { return {kLockFileName, kLockFileName + QStringLiteral(".rmlock")}; }

}  // namespace

namespace {

// Where the new copy is built, beside the backup folder (beside the folder it
// stands for, when ~/tonrixbu is a link to another disk).
QString BackupFolderItself(const DrivePaths& paths) {
  const QFileInfo backup(paths.BackupFolderPath());
  return backup.isSymLink() && backup.exists() ? backup.canonicalFilePath() : backup.absoluteFilePath();
}

bool Exists(const QString& path) { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }

// Puts the complete copy in the backup folder's place in one step: the two
// folders trade names, so a stop leaves one whole backup or the other.
bool PutInPlace(const QString& making, const QString& backup) {
  const QByteArray from = QFile::encodeName(making);
  const QByteArray to = QFile::encodeName(backup);
  if (!Exists(backup)) return std::rename(from.constData(), to.constData()) == 0;
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system that cannot exchange: the old folder is moved aside first.
  const QString old = backup + QStringLiteral(".old");
  if (!RemoveFolder(old)) return false;
  if (std::rename(to.constData(), QFile::encodeName(old).constData()) != 0) return false;
  if (std::rename(from.constData(), to.constData()) != 0) {
    std::rename(QFile::encodeName(old).constData(), to.constData());
    return false;
  }
  return RemoveFolder(old);
}

}  // namespace

bool CopyToBackupFolder(const DrivePaths& paths, const Database& database, QStringList* failed,
                        const std::function<bool()>& fileDone, bool* stopped) {
  const QString backup = BackupFolderItself(paths);
  const QString making = backup + kBackupMakingSuffix;
  const QString old = backup + QStringLiteral(".old");
  // What a stop left: a copy never finished, or an old folder set aside by a
  // file system that cannot exchange two names.
  if (!Exists(backup) && QFileInfo(old).isDir())
    std::rename(QFile::encodeName(old).constData(), QFile::encodeName(backup).constData());
  RemoveFolder(old);
  RemoveFolder(making);
  bool ok = true;
  auto failure = [&](const QString& path) {
    ok = false;
    if (failed) failed->append(QDir::toNativeSeparators(path));
  };
  if (!MakeOwnerOnlyFolder(making)) {
    failure(making);
    return false;
  }

  // What the backup holds already, files only there included, comes along as
  // second names of the same files, and the files copied now replace theirs.
  if (QFileInfo(backup).isDir()) {
    const FolderContents held = ListFolderContents(backup, {});
    for (const QString& folder : held.folders) {
      if (!MakeOwnerOnlyFolder(QDir(making).filePath(folder))) failure(QDir(making).filePath(folder));
    }
    for (const QString& file : held.files) {
      const QString from = QDir(backup).filePath(file);
      const QString to = QDir(making).filePath(file);
      if (!SystemBackupIo().link(from, to) && !QFile::copy(from, to)) failure(to);
    }
  }

  const QString data = paths.DataFolderPath();
  QStringList leftOut = LockNames();
  leftOut << kRestoreIncomingFolder << kRestoreOutgoingFolder << kRestoreRecordFile;
  // The databases go through SQLite, never as bytes, and their journals not at all.
  for (const QString& path : {paths.DatabasePath(), paths.NetworkDatabasePath()}) {
    const QString name = QFileInfo(path).fileName();
    leftOut << name << name + QStringLiteral("-journal") << name + QStringLiteral("-wal")
            << name + QStringLiteral("-shm");
  }
  const FolderContents contents = ListFolderContents(data, leftOut);
  for (const QString& folder : contents.folders) {
    const QString target = QDir(making).filePath(folder);
    if (!QFileInfo(target).isDir() && !MakeOwnerOnlyFolder(target)) failure(target);
  }
  bool stop = false;
  for (const QString& file : contents.files) {
    QFile in(QDir(data).filePath(file));
    const QString target = QDir(making).filePath(file);
    if (!in.open(QIODevice::ReadOnly)) {
      failure(in.fileName());
    } else {
      const QByteArray bytes = in.readAll();
      if (in.error() != QFileDevice::NoError || !SaveFileAtomically(target, bytes, FileAccess::OwnerOnly))
        failure(target);
    }
    if (fileDone && !fileDone()) {
      stop = true;
      break;
    }
  }

  // The databases through SQLite, never the bytes of an open file.
  for (const QString& path : {paths.DatabasePath(), paths.NetworkDatabasePath()}) {
    if (stop || !QFileInfo(path).isFile()) continue;
    const QString copy = QDir(making).filePath(QFileInfo(path).fileName());
    QFile::remove(copy);
    QString error;
    const bool open = database.isOpen() && QFileInfo(database.path()) == QFileInfo(path);
    bool copied = open ? database.copyTo(copy, &error) : CopyDatabaseFile(path, copy, &error);
    // A file that is no database is kept as it is, like any damaged file.
    if (!copied && !open && !CheckDatabaseFile(path, &error)) {
      QFile::remove(copy);
      copied = QFile::copy(path, copy);
    }
    if (!copied) failure(copy);
  }

  if (stopped) *stopped = stop;
  if (!ok || stop) {
    RemoveFolder(making);
    return false;
  }
  for (const QString& folder : contents.folders) SyncFolder(QDir(making).filePath(folder));
  SyncFolder(making);
  if (!PutInPlace(making, backup)) {
    failure(backup);
    RemoveFolder(making);
    return false;
  }
  SyncFolder(QFileInfo(backup).path());
  RemoveFolder(making);  // the backup before this one, after the exchange
  return true;
}

BackupRunResult MakeBackup(const DrivePaths& paths, const Database& database, const QDateTime& now,
                           BackupOccasion occasion, WorkProgress& progress, BackupIo& io) {
  BackupRunResult result;
  GenerationOptions options;
  options.occasion = occasion;
  result.generation = MakeGeneration(paths, database, now, options, progress, io);
  if (result.generation.outcome == GenerationResult::Outcome::Stopped) return result;

  const int files = static_cast<int>(ListFolderContents(paths.DataFolderPath(), LockNames()).files.size());
  progress.begin(QStringLiteral("バックアップフォルダにコピーしています…"), files);
  int done = 0;
  result.copyStarted = true;
  result.copied = CopyToBackupFolder(
      paths, database, &result.failedCopies, [&] { return progress.advance(++done); }, &result.copyStopped);
  return result;
}

QString LaterGenerationsText(const GenerationResult& result) {
  QStringList labels;
  for (const QString& name : result.later) {
    if (const std::optional<QDateTime> moment = GenerationMoment(name)) labels << GenerationLabel(*moment);
  }
  QString list = labels.mid(0, 5).join(QLatin1Char('\n'));
  if (labels.size() > 5) list += QStringLiteral("\n…");
  return QStringLiteral(
             "次のバックアップの世代は、今の日時（%1）より後の日時の名前になっています。\n%2\n"
             "コンピューターの時計が進んでいたか、今の時計が遅れている可能性があります。時計を確かめてください。\n"
             "これらの世代は、名前の日時になるまで自動では削除しません。")
      .arg(GenerationLabel(result.generation.made), list);
}

std::vector<BackupMessage> BackupMessages(const BackupRunResult& result, BackupOccasion occasion,
                                          const DrivePaths& paths) {
  std::vector<BackupMessage> messages;
  const GenerationResult& g = result.generation;
  if (!g.made()) messages.push_back({GenerationFailureText(g), PromptIcon::Exclamation});
  if (g.made() && !g.later.isEmpty()) messages.push_back({LaterGenerationsText(g), PromptIcon::Exclamation});
  if (result.copyStopped) {
    messages.push_back({QStringLiteral("バックアップフォルダへのコピーを途中で中止しました。"
                                       "バックアップフォルダは前のままです。"),
                        PromptIcon::Exclamation});
  } else if (result.copyStarted && !result.copied) {
    QString list = result.failedCopies.mid(0, 5).join(QLatin1Char('\n'));
    if (result.failedCopies.size() > 5) list += QStringLiteral("\n…");
    messages.push_back({QStringLiteral("バックアップに失敗しました。コピーできなかったファイルがあります。\n") + list +
                            QStringLiteral("\nバックアップフォルダは前のままです。"),
                        PromptIcon::Exclamation});
  }
  if (occasion == BackupOccasion::OnDemand && g.made() && result.copied) {
    messages.push_back(
        {QStringLiteral("バックアップしました。\n世代「%1」を作成し、バックアップフォルダ「%2」にコピーしました。")
             .arg(GenerationLabel(g.generation.made), QDir::toNativeSeparators(paths.BackupFolderPath())),
         PromptIcon::Information});
  }
  return messages;
}

}  // namespace orvanta
