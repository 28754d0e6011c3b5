#pragma once
// Taking the member hospitals' submission files (docs/submission.md) into
// network.sqlite. Each file is first checked whole by CheckSubmissionFile
// (core/network/submission_format.h, the checks every reader applies), then
// goes in whole in one transaction: its hospital's year, its reports, its
// denominators, its code names, and its reports counted by the seventeen
// items. A hospital's year already present is replaced whole when the user
// agrees (never added twice); a refused file, or an import stopped or killed
// half-way, leaves the store as it was.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/network/network_store.h"

namespace orvanta {

class WorkProgress;

// What became of one file: "取り込み済み", "置き換え" or "取り込まず".
enum class ImportOutcome { Imported, Replaced, NotImported };
QString ImportOutcomeText(ImportOutcome outcome);

struct FileImport {
  QString path;
  ImportOutcome outcome = ImportOutcome::NotImported;
  QString facilityCode;  // empty when the file was refused before it was read
  NetworkYear year;
  std::int64_t reports = 0;
  QString reason;  // why it was not imported
};

struct ImportOptions {
  QDate today;
  QDateTime now;
  // Asked when the file's hospital and year are present already: true to
  // replace them.
  std::function<bool(const HospitalYear& present, const QString& path)> replace;
  // Tests: runs inside the transaction once a file's rows are written, before
  // it commits.
  std::function<void()> beforeCommit;
};

// Imports the files in order; one entry per file. The progress advances per
// file and may stop the import between files (the files left are listed as
// not imported).
std::vector<FileImport> ImportSubmissions(Database& network, const QStringList& paths, const ImportOptions& options,
                                          WorkProgress& progress);

// The question before a hospital's year is replaced.
QString ReplaceQuestion(const HospitalYear& present, const QString& path);

}  // namespace orvanta
