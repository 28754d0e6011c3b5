#pragma once
// How a backup tells what each file of a data folder is and checks that a
// copy of it reads as that kind of file.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "core/backup/backup_summary.h"

namespace orvanta {

class DrivePaths;

enum class FileKind {
  DataFile,  // data/<n>.dat: read with the data files' reader
  Settings,  // set.dat: parsed as the code lists
  Counters,  // ttid.dat: parsed as the counters
  Password,  // passw.dat: parsed as the password
  Database,  // orvanta.sqlite: copied through SQLite, checked with integrity_check
  Other,     // started.dat, kept damaged files and anything else: copied as it is
};

// The kind of the file at relativePath ("data/3.dat", "set.dat") in a data
// folder.
FileKind KindOfFile(const QString& relativePath, const DrivePaths& paths);

// Whether bytes read as a file of their kind (Other and Database always
// do here). data receives what a data file holds.
bool ReadsAsItsKind(FileKind kind, QByteArrayView bytes, DataFileSummary* data = nullptr);

// The files and folders inside folder, as paths relative to it, folders
// before what they hold. Entries of the top level named in leftOut are
// passed over, with all they hold.
struct FolderContents {
  QStringList folders;
  QStringList files;
};
FolderContents ListFolderContents(const QString& folder, const QStringList& leftOut);

}  // namespace orvanta
