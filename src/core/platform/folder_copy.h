#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace orvanta {

// Copies the folder source with all its files and sub-folders into target.
// Files of the same name in target are replaced, files that exist only in
// target stay. Returns false when anything could not be copied; failed lists
// the paths that failed. Copying goes on past a failure. Files of source
// (not of its sub-folders) named in leaveOut are not copied. fileDone, when
// given, is called after each file (copied or not); when it answers false
// the copying stops there and the function returns false.
bool CopyFolder(const QString& source, const QString& target, QStringList* failed = nullptr,
                const QStringList& leaveOut = {}, const std::function<bool()>& fileDone = {});

}  // namespace orvanta
