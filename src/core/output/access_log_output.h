#pragma once
// The access log taken out of the program: its CSV file and its print, both
// of the entries passing the log window's filter, newest first.
//
// CSV (code page 932, CR LF): a first line naming the filter, a heading line
// 番号,日時,ユーザー,ホスト,種類,記録番号,内容,詳細,直前のハッシュ,ハッシュ and one
// line per entry (fields quoted where they hold a comma, a quote or a line
// break), so that another tool can check the chain from the file.
//
// Print: A4 landscape, the title "操作記録", the filter and the moment of
// printing, then a table of 番号, 日時, ユーザー, ホスト, 種類, 記録番号, 内容
// over as many pages as it takes, the heading repeated on each.

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include "core/output/print_job.h"
#include "core/platform/safe_save.h"
#include "core/store/access_log.h"

namespace orvanta {

class PrintProgress;
class Surface;

// How the filter reads: "期間：2026/12/01～2026/12/09　ユーザー：全て　種類：全て　記録番号：全て".
QString LogFilterText(const LogFilter& filter);

// The CSV's bytes, handed a block of lines at a time.
bool WriteAccessLogCsv(const QSqlDatabase& db, const LogFilter& filter, const BytePieces& write);

inline constexpr double kLogPageWidth = 2870;
inline constexpr double kLogPageHeight = 2000;
bool DrawAccessLogPrint(Surface& surface, const QSqlDatabase& db, const LogFilter& filter, const QDateTime& printedAt,
                        PrintProgress& progress);
PrintResult PrintAccessLog(Prompts& prompts, const QSqlDatabase& db, const LogFilter& filter,
                           const QDateTime& printedAt);

}  // namespace orvanta
