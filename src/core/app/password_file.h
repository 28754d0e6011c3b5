#pragma once
// passw.dat: the login password as one plain-text line.

#include <QString>

#include "core/platform/value_file.h"

namespace orvanta {

// Reads the password: the whole first line, exactly as written (commas,
// quotes and leading blanks included). An empty line is an empty password.
// A missing file, or one without any line, is an error.
ReadResult ReadPasswordFile(const QString& path, QString& password);
ReadResult ReadPasswordBytes(QByteArrayView bytes, QString& password);

// The bytes of passw.dat for password; false when the file cannot hold it
// as typed (see WritePasswordFile).
bool PasswordFileBytes(const QString& password, QByteArray& bytes);

// Writes the password as one line. A password that the file cannot hold as
// typed (a line break, or a character outside code page 932) is refused
// instead of being stored changed, which would lock the user out; the old
// file then stays, and so does the old file on any other failure.
bool WritePasswordFile(const QString& path, const QString& password, QString* error = nullptr);

}  // namespace orvanta
