#pragma once
// Saving a whole file so that a failure never leaves it half written.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <functional>

namespace orvanta {

enum class FileAccess {
  OwnerOnly,  // files of the data folder: reports name patients (0600)
  Normal,     // files the user places elsewhere (CSV)
};

// "ファイル「<path>」を書き込めませんでした。" and, when why is given, the
// system's reason on a line of its own in brackets.
QString CannotWriteFileMessage(const QString& path, const QString& why);

// Writes bytes to path through a temporary file that replaces the old file
// only once it is complete. On failure the old file is left as it was, the
// function returns false and, when error is given, says why in Japanese.
bool SaveFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access, QString* error = nullptr);

// Takes one piece of a file's bytes; false once writing has failed (the
// pieces after it are then left out).
using BytePieces = std::function<bool(QByteArrayView piece)>;

// The same with the bytes handed over a piece at a time: produce calls its
// argument with every piece in order, so a long file is never held whole.
bool SaveFileAtomically(const QString& path, const std::function<void(const BytePieces&)>& produce, FileAccess access,
                        QString* error = nullptr);

// Creates a folder (and its parents) readable by the owner only (0700).
bool MakeOwnerOnlyFolder(const QString& path);

// Sets folder and every folder inside it to 0700 and every file inside to
// 0600 (POSIX; nothing elsewhere). Only entries owned by the user running the
// program are changed; links inside the folder are neither followed nor
// changed (the folder itself may be a link to where the data is kept).
void TightenToOwnerOnly(const QString& folder);

// The name under which a damaged file is kept beside itself:
// "<name>.damaged-<yyyyMMdd-HHmm>", with "-2", "-3", ... added when that
// name is taken.
QString DamagedFileName(const QString& path, const QDateTime& now);

// Keeps a file that could not be read exactly under its damaged name (see
// DamagedFileName), so that nothing writes over it: renamed, or copied when
// it cannot be renamed. False when neither works; kept receives the new path.
bool KeepDamagedFile(const QString& path, const QDateTime& now, QString* kept = nullptr);

// Keeps a copy of a damaged file under its damaged name (owner-only) and
// leaves the file where it is, for a file about to be replaced whole with
// SaveFileAtomically: its number never stands empty. False when the copy
// cannot be made; kept receives its path.
bool CopyDamagedFile(const QString& path, const QDateTime& now, QString* kept = nullptr);

}  // namespace orvanta
