#include "core/followup/followup_print.h"

#include <QStringList>
#include <algorithm>
#include <functional>

#include "core/analysis/result_grid_model.h"
#include "core/output/print_pages.h"
#include "core/output/surface.h"
#include "core/platform/print_progress.h"
#include "core/platform/prompts.h"

namespace orvanta {

namespace {

constexpr double kTitlePoints = 16;
const QColor kOverdueColor(192, 0, 0);

using Column = PrintColumn;
using Pages = PrintPages;
using print_pages::kHeadingFill;
using print_pages::kLine;
using print_pages::kTextPoints;

// A table of key and value pairs, `pairs` pairs a row.
void KeyValueRows(Pages& p, const std::vector<std::pair<QString, QString>>& items, int pairs, double keyWidth) {
  const double valueWidth = p.width() / pairs - keyWidth;
  std::vector<Column> columns;
  for (int i = 0; i < pairs; ++i) {
    columns.push_back({QString(), keyWidth});
    columns.push_back({QString(), valueWidth});
  }
  for (std::size_t at = 0; at < items.size(); at += static_cast<std::size_t>(pairs)) {
    QStringList cells;
    for (int i = 0; i < pairs; ++i) {
      const std::size_t k = at + static_cast<std::size_t>(i);
      cells << (k < items.size() ? items[k].first : QString()) << (k < items.size() ? items[k].second : QString());
    }
    // The keys shaded, the values plain.
    const double h = p.rowHeight(columns, cells);
    double x = 0;
    for (int i = 0; i < pairs; ++i) {
      p.surface().FillBox(x, p.y, x + keyWidth, p.y + h, kHeadingFill);
      x += keyWidth + valueWidth;
    }
    p.row(columns, cells, false);
  }
}

std::vector<Column> TestColumns() {
  return {{QStringLiteral("予定日"), 240}, {QStringLiteral("病原体"), 190}, {QStringLiteral("検査"), 520},
          {QStringLiteral("実施日"), 240}, {QStringLiteral("結果"), 380},   {QStringLiteral("備考"), 430}};
}

QStringList Headings(const std::vector<Column>& columns) {
  QStringList headings;
  for (const Column& c : columns) headings << c.heading;
  return headings;
}

}  // namespace

bool DrawFollowupSheet(Surface& surface, const FollowupSheet& sheet, PrintProgress& progress) {
  const FollowupCase& c = sheet.followup;
  Pages p(surface, progress, kSheetWidth, kSheetHeight);
  const std::vector<Column> testColumns = TestColumns();
  bool inTests = false;
  p.begin([&] {
    p.text(0, 0, QStringLiteral("経過観察票（続き）　%1").arg(c.worker.name));
    p.y = kLine + 20;
    if (inTests) p.row(testColumns, Headings(testColumns), true);
  });

  // The title and the date of the print.
  surface.SetFontSize(kTitlePoints);
  const QString title = QStringLiteral("経過観察票");
  p.text((kSheetWidth - surface.TextWidth(title)) / 2, 0, title);
  surface.SetFontSize(kTextPoints);
  const QString printed = QStringLiteral("印刷日 %1").arg(DateText(sheet.printedOn));
  p.text(kSheetWidth - surface.TextWidth(printed), 30, printed);
  p.y = 100;

  p.section(QStringLiteral("受傷者"));
  const QString elapsed = c.worker.incident.isValid() && sheet.printedOn.isValid()
                              ? QStringLiteral("%1 日").arg(c.worker.incident.daysTo(sheet.printedOn))
                              : QString();
  KeyValueRows(p,
               {{QStringLiteral("氏名"), c.worker.name},
                {QStringLiteral("報告番号"), QString::number(c.reportId)},
                {QStringLiteral("所属部署"), c.worker.department},
                {QStringLiteral("職種"), c.worker.occupation},
                {QStringLiteral("受傷日"), DateText(c.worker.incident)},
                {QStringLiteral("経過日数"), elapsed}},
               2, 260);

  p.section(QStringLiteral("汚染源の患者"));
  std::vector<std::pair<QString, QString>> sources;
  for (Pathogen pathogen : kSourcePathogens)
    sources.push_back({PathogenText(pathogen), SourceStatusText(c.sources.of(pathogen))});
  KeyValueRows(p, sources, 3, 200);

  p.section(QStringLiteral("予防投与"));
  const std::vector<Column> drugColumns{
      {QStringLiteral("薬剤"), 500}, {QStringLiteral("投与"), 300}, {QStringLiteral("投与日時"), 1200}};
  p.row(drugColumns, Headings(drugColumns), true);
  for (Prophylactic what : kProphylactics) {
    const Prophylaxis& given = c.of(what);
    p.row(drugColumns,
          {ProphylacticText(what), given.given ? QStringLiteral("あり") : QStringLiteral("なし"),
           given.given ? MomentText(given.at) : QString()},
          false);
  }

  p.section(QStringLiteral("検査"));
  if (!p.room(p.rowHeight(testColumns, Headings(testColumns)) * 2)) return false;
  p.row(testColumns, Headings(testColumns), true);
  inTests = true;
  if (sheet.tests.empty())
    p.row(testColumns, {QString(), QString(), QStringLiteral("（検査の予定はありません）")}, false);
  for (const FollowupTest& t : sheet.tests) {
    const QStringList cells{
        DateText(t.due), PathogenText(t.pathogen), TestLabel(t.test, t.planned), DateText(t.done), t.result, t.remarks};
    if (!p.room(p.rowHeight(testColumns, cells))) return false;
    // A test not done whose day has passed is marked as the due list marks
    // it, while the follow-up goes on.
    const bool overdue = !c.isClosed() && !t.isDone() && t.due < sheet.printedOn;
    p.row(testColumns, cells, false, {overdue ? kOverdueColor : QColor()});
  }
  inTests = false;

  p.section(QStringLiteral("経過観察の終了"));
  const std::vector<std::pair<QString, QString>> closing =
      c.isClosed() ? std::vector<std::pair<QString, QString>>{{QStringLiteral("終了日"), DateText(c.closedOn)},
                                                              {QStringLiteral("理由"), c.closedReason}}
                   : std::vector<std::pair<QString, QString>>{{QStringLiteral("終了日"), QStringLiteral("経過観察中")},
                                                              {QStringLiteral("理由"), QString()}};
  const std::vector<Column> closingColumns{{QString(), 260}, {QString(), 500}, {QString(), 260}, {QString(), 980}};
  if (!p.room(p.rowHeight(closingColumns, {closing[1].second}) + 80)) return false;
  KeyValueRows(p, closing, 2, 260);

  p.section(QStringLiteral("備考"));
  const std::vector<Column> remarksColumn{{QString(), kSheetWidth}};
  if (!p.room(p.rowHeight(remarksColumn, {c.remarks}))) return false;
  p.row(remarksColumn, {c.remarks}, false);
  return p.finishPage();
}

PrintResult PrintFollowupSheet(Prompts& prompts, const FollowupSheet& sheet) {
  return RunPrint(prompts,
                  PrintSetup{.landscape = false,
                             .orientationMessage = kPortraitMessage,
                             .what = QStringLiteral("経過観察の記録"),
                             .reports = 1},
                  [&sheet](Surface& s, PrintProgress& progress) { return DrawFollowupSheet(s, sheet, progress); });
}

bool DrawDueListPrint(Surface& surface, const DueList& list, const ResultGridModel& grid, PrintProgress& progress) {
  Pages p(surface, progress, kSheetHeight, kSheetWidth);
  const std::vector<double> widths{230, 300, 500, 560, 720, 300, 260};
  std::vector<Column> columns;
  for (int col = 0; col < grid.cols() && col < static_cast<int>(widths.size()); ++col)
    columns.push_back({grid.cell(0, col), widths[static_cast<std::size_t>(col)], col == 6});
  const QStringList headings = Headings(columns);
  const QString title = DueListTitle(list);
  p.begin([&] {
    p.text(0, 0, title + QStringLiteral("（続き）"));
    p.y = kLine + 20;
    p.row(columns, headings, true);
  });

  surface.SetFontSize(14);
  p.text(0, 0, QStringLiteral("経過観察予定"));
  surface.SetFontSize(kTextPoints);
  p.text(0, 80,
         QStringLiteral("%1年%2月%3日現在　%4日先までの未実施の検査　　%5")
             .arg(list.today.year())
             .arg(list.today.month())
             .arg(list.today.day())
             .arg(list.daysAhead)
             .arg(DueListCountText(list)));
  p.y = 150;
  p.row(columns, headings, true);
  for (int r = 1; r < grid.rows(); ++r) {
    QStringList cells;
    for (int col = 0; col < static_cast<int>(columns.size()); ++col) cells << grid.cell(r, col);
    if (!p.room(p.rowHeight(columns, cells))) return false;
    const bool overdue = r - 1 < list.overdue;
    p.row(columns, cells, false, overdue ? std::vector<QColor>{kOverdueColor, kOverdueColor} : std::vector<QColor>{});
  }
  if (grid.rows() <= 1) p.row(columns, {QString(), QString(), QStringLiteral("（予定の検査はありません）")}, false);
  return p.finishPage();
}

PrintResult PrintDueList(Prompts& prompts, const DueList& list, const ResultGridModel& grid) {
  return RunPrint(
      prompts,
      PrintSetup{.landscape = true, .orientationMessage = kLandscapeMessage, .what = QStringLiteral("経過観察予定")},
      [&](Surface& s, PrintProgress& progress) { return DrawDueListPrint(s, list, grid, progress); });
}

}  // namespace orvanta
