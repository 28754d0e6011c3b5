#pragma once

#include <QString>
#include <QStringList>

namespace orvanta {

// Copies the folder source with all its files and sub-folders into target.
// Files of the same name in target are replaced, files that exist only in
// target stay. Returns false when anything could not be copied; failed lists
// the paths that failed. Copying goes on past a failure. Files of source
// (not of its sub-folders) named in leaveOut are not copied.
bool CopyFolder(const QString& source, const QString& target, QStringList* failed = nullptr,
                const QStringList& leaveOut = {});

}  // namespace orvanta
