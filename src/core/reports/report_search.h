#pragma once
// Finding reports across every data file by the reporter's record number
// (Texts 0) or name (Texts 5): the text may stand anywhere inside the field,
// characters compared exactly (case and width matter). Hits come in file and
// slot order and are not capped.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace orvanta {

class DrivePaths;

enum class SearchField {
  RecordNumber = 0,  // "カルテ番号", Texts(0)
  ReporterName = 1,  // "報告者氏名", Texts(5)
};

// A report found: its data file and its slot there.
struct SearchHit {
  std::int32_t fileNo = 0;
  std::int32_t slot = 0;
};

struct SearchOutcome {
  std::vector<SearchHit> hits;  // file and slot of each hit, in order
  QStringList lines;            // the result list's line of each hit
  int filesSkipped = 0;         // data files missing or unreadable
};

// A hit as the result list shows it, the same for both kinds of search:
// "K-12 ( 報告者氏名; 山田花子 ) ".
QString SearchHitLine(const QString& recordNumber, const QString& reporterName);

// Searches the bytes of one data file and appends its hits (numbered fileNo)
// to out. The file is taken as the report window would load it (the same
// walk as ReadDataFile): when it does not read, it holds no report for the
// search, nothing is appended and the result is false. Only the searched field of
// each report is decoded, and the other field of a hit.
bool SearchDataFileBytes(QByteArrayView bytes, SearchField field, const QString& text, int fileNo, SearchOutcome& out);

// Searches data files 0 to newestFileNo, each read from disk once; a file
// that is missing or cannot be read is skipped. An empty text finds nothing.
// The files are searched on `threads` threads (0: as many as the machine has
// cores) and their hits put together in file order, so the outcome is the
// same whatever the number.
SearchOutcome SearchDataFiles(const std::function<QString(int)>& filePath, int newestFileNo, SearchField field,
                              const QString& text, int threads = 0);

// The same over the data files under paths; the file in memory is not touched.
SearchOutcome SearchReports(const DrivePaths& paths, int newestFileNo, SearchField field, const QString& text,
                            int threads = 0);

}  // namespace orvanta
