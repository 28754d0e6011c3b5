#pragma once
// Saving a whole file so that a failure never leaves it half written.

#include <QByteArray>
#include <QString>

namespace orvanta {

enum class FileAccess {
  OwnerOnly,  // files of the data folder: reports name patients (0600)
  Normal,     // files the user places elsewhere (CSV)
};

// Writes bytes to path through a temporary file that replaces the old file
// only once it is complete. On failure the old file is left as it was, the
// function returns false and, when error is given, says why in Japanese.
bool SaveFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access,
                        QString* error = nullptr);

// Creates a folder (and its parents) readable by the owner only (0700).
bool MakeOwnerOnlyFolder(const QString& path);

}  // namespace orvanta
