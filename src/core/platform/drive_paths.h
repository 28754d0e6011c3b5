#pragma once
// The drive root and every path built from it. The drive "c:" stands for one
// folder: the home directory in the program, a temporary folder in tests. So
// "c:\tonrix" is <root>/tonrix, the reports are in <root>/tonrix/data and
// "c:\my document" is <root>/my document. A relative root (a relative HOME)
// is taken from the current folder when the paths are made: every path is
// absolute.

#include <QString>

namespace orvanta {

class DrivePaths {
 public:
  explicit DrivePaths(QString root);

  QString DriveRoot() const { return root_; }
  QString DataFolderPath() const;          // tonrix
  QString ReportFolderPath() const;        // tonrix/data
  QString BackupFolderPath() const;        // tonrixbu
  QString DataFilePath(int fileNo) const;  // tonrix/data/<fileNo>.dat
  QString IdFilePath() const;              // tonrix/ttid.dat
  QString SettingsFilePath() const;        // tonrix/set.dat
  QString PasswordFilePath() const;        // tonrix/passw.dat
  QString FirstRunRecordPath() const;      // tonrix/started.dat
  QString MyDocumentPath() const;          // my document: where CSV files are offered
  QString DatabasePath() const;            // tonrix/orvanta.sqlite: what goes beyond the original files
  QString NetworkDatabasePath() const;     // tonrix/network.sqlite: the centre's pooled submissions
  QString GenerationsFolderPath() const;   // tonrixbu.generations: the dated backup generations

 private:
  QString root_;
};

}  // namespace orvanta
