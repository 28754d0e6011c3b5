#pragma once
// The one place every way of taking data out of the program reports to: the
// shared print steps, the CSV writer, and any window that writes a file of
// its own (a submission file, a feedback file). The access log listens here
// (core/store/access_log.h); with no listener nothing happens.
//
//   RecordExport({ExportKind::File, QStringLiteral("提出ファイル"), path, reports});

#include <QString>
#include <functional>

namespace orvanta {

enum class ExportKind {
  Print,  // sent to a printer
  Pdf,    // a print written to a PDF file
  Csv,    // a CSV file
  File,   // any other file that leaves the program
};

struct ExportRecord {
  ExportKind kind = ExportKind::Print;
  QString what;      // which print or file, as the user knows it ("集計表", "データ抽出.csv")
  QString path;      // the file written; empty for a printer
  int reports = -1;  // how many reports it holds; -1 when it holds none or the count is unknown
};

using ExportListener = std::function<void(const ExportRecord&)>;

// Sets the listener for the run (empty: none) and answers the one it
// replaced.
ExportListener SetExportListener(ExportListener listener);
// Tells the listener of an export that has been completed.
void RecordExport(const ExportRecord& record);

}  // namespace orvanta
