#include "core/output/access_log_output.h"

#include "core/output/csv_file.h"
#include "core/output/print_pages.h"
#include "core/output/surface.h"
#include "core/platform/codepage.h"
#include "core/platform/print_progress.h"
#include "core/store/log_table_model.h"

namespace orvanta {

namespace {

QString DateText(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : QString(); }

}  // namespace

QString LogFilterText(const LogFilter& f) {
  const QString all = QStringLiteral("全て");
  const QString period =
      !f.from.isValid() && !f.to.isValid() ? all : DateText(f.from) + QStringLiteral("～") + DateText(f.to);
  return QStringLiteral("期間：%1　ユーザー：%2　種類：%3　記録番号：%4")
      .arg(period, f.user.isEmpty() ? all : f.user, f.kind.isEmpty() ? all : LogKindLabel(f.kind),
           f.reportId == 0 ? all : QString::number(f.reportId));
}

bool WriteAccessLogCsv(const QSqlDatabase& db, const LogFilter& filter, const BytePieces& write) {
  const QString crlf = QStringLiteral("\r\n");
  QStringList headings = LogTableModel::Headings();
  headings << QStringLiteral("詳細") << QStringLiteral("直前のハッシュ") << QStringLiteral("ハッシュ");
  QString text = CsvField(QStringLiteral("操作記録　") + LogFilterText(filter)) + crlf + headings.join(u',') + crlf;
  bool ok = true;
  int lines = 0;
  ForEachLogEntry(db, filter, [&](const LogEntry& e) {
    QStringList cells = LogTableModel::CellTexts(e);
    cells << e.details << e.prevHash << e.hash;
    for (QString& c : cells) c = CsvField(c);
    text += cells.join(u',') + crlf;
    if (++lines % 1000 == 0) {
      ok = write(cp932::Encode(text));
      text.clear();
    }
    return ok;
  });
  return ok && write(cp932::Encode(text + crlf));
}

bool DrawAccessLogPrint(Surface& surface, const QSqlDatabase& db, const LogFilter& filter, const QDateTime& printedAt,
                        PrintProgress& progress) {
  PrintPages p(surface, progress, kLogPageWidth, kLogPageHeight);
  // The moment ("2026-12-09T09:00:05+09:00") on one line.
  const std::vector<double> widths{160, 480, 250, 280, 270, 170};
  std::vector<PrintColumn> columns;
  const QStringList headings = LogTableModel::Headings();
  double used = 0;
  for (std::size_t c = 0; c < widths.size(); ++c) {
    columns.push_back({headings[static_cast<qsizetype>(c)], widths[c], c == 0 || c == 5});
    used += widths[c];
  }
  columns.push_back({headings.last(), kLogPageWidth - used});
  p.begin([&] {
    p.text(0, 0, QStringLiteral("操作記録（続き）"));
    p.y = print_pages::kLine + 20;
    p.row(columns, headings, true);
  });
  surface.SetFontSize(14);
  p.text(0, 0, QStringLiteral("操作記録"));
  surface.SetFontSize(print_pages::kTextPoints);
  const QString printed = QStringLiteral("印刷日時 ") + LogTimeText(printedAt);
  p.text(kLogPageWidth - surface.TextWidth(printed), 10, printed);
  p.text(0, 80, LogFilterText(filter));
  p.y = 150;
  p.row(columns, headings, true);
  bool ok = true;
  ForEachLogEntry(db, filter, [&](const LogEntry& e) {
    const QStringList cells = LogTableModel::CellTexts(e);
    if (!p.room(p.rowHeight(columns, cells))) return ok = false;
    p.row(columns, cells, false);
    return true;
  });
  return ok && p.finishPage();
}

PrintResult PrintAccessLog(Prompts& prompts, const QSqlDatabase& db, const LogFilter& filter,
                           const QDateTime& printedAt) {
  return RunPrint(
      prompts,
      PrintSetup{.landscape = true, .orientationMessage = kLandscapeMessage, .what = QStringLiteral("操作記録")},
      [&](Surface& s, PrintProgress& progress) { return DrawAccessLogPrint(s, db, filter, printedAt, progress); });
}

}  // namespace orvanta
