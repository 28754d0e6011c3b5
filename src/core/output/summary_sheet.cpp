#include "core/output/summary_sheet.h"

#include <QStringList>
#include <functional>

#include "core/analysis/summary_counts.h"
#include "core/output/print_job.h"
#include "core/output/surface.h"
#include "core/platform/print_progress.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr double kBaseY = 300;
constexpr double kLineHeight = 60;
// A section may not pass this line of a page: (4400 - 300) / 60.
constexpr double kLastLine = (4400.0 - kBaseY) / kLineHeight;
// The width the right alignment of counts assumes for one character.
constexpr double kCountCharWidth = 13;
// The room left between an entry's label and its count.
constexpr double kCountGap = 8;
// The restrictions are printed in pieces of this many characters.
constexpr int kRestrictionPiece = 45;

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

class SummarySheet {
 public:
  SummarySheet(Surface& s, const SummaryResult& r, const SheetPageDone& pageDone) : s_(s), r_(r), pageDone_(pageDone) {}

  void begin() {
    s_.SetFontSize(8);
    s_.SetScale(0, 0, 2000, 4500);
    s_.SetForeColor(Qt::black);
    s_.SetLineStyle(LineStyle::Solid);
    s_.SetLineWidth(1);
    heading();
  }

  // The heading of every page; the body starts on the line after the last
  // restriction line.
  void heading() {
    const AnalysisPeriod& p = r_.period;
    text(12, 400, 80, QStringLiteral("トンリクスレポート集計書"));
    text(11, 500, 170,
         QString::number(p.from.year) + u"年"_s + QString::number(p.from.month) + u"月"_s +
             QString::number(p.from.day) + u"日～"_s + QString::number(p.to.year) + u"年"_s +
             QString::number(p.to.month) + u"月"_s + QString::number(p.to.day) + u"日          該当件数"_s +
             QString::number(r_.matching));
    text(10, 200, 250, QStringLiteral("抽出条件"));
    const QString conditions = r_.conditionsText();
    int pieces = 0;
    for (qsizetype at = 0; at < conditions.size(); at += kRestrictionPiece, ++pieces)
      text(10, 400, 250 + kLineHeight * pieces, conditions.mid(at, kRestrictionPiece));
    line_ = std::max(pieces, 1);
    firstBodyLine_ = line_;
    s_.SetFontSize(8);
  }

  // A section of `count` entries in `columns` equal columns, entry k (from
  // 0) in row k / columns and column k % columns. With `breakBefore`, a
  // section that would pass the page's last line starts on a new page.
  struct Section {
    QString caption;
    int count = 0;
    int columns = 1;
    std::function<QString(int)> label;  // entry k's label
    std::function<std::int64_t(int)> value;
    double labelX = 400, labelPitch = 0, rightEdge = 0;
    double fontSize = 8;
    bool captionAfterRows = false;
    bool breakBefore = false;
    // Labels shortened where they would run into their count (the entry
    // names of the code lists, which the user writes).
    bool fitLabel = false;
  };

  void section(const Section& sec) {
    if (stopped_) return;
    int rows = (sec.count + sec.columns - 1) / sec.columns;
    if (sec.breakBefore && line_ + rows > kLastLine && line_ > firstBodyLine_) newPage();
    if (stopped_) return;
    // A section longer than a whole page goes on over further pages, each
    // part with its caption.
    int firstRow = 0;
    while (firstRow < rows) {
      const int room = std::max(1, static_cast<int>(kLastLine) - line_);
      const int partRows = sec.breakBefore ? std::min(rows - firstRow, room) : rows - firstRow;
      part(sec, firstRow, partRows);
      firstRow += partRows;
      if (firstRow < rows) newPage();
      if (stopped_) return;
    }
  }

  // Closes the last page with its frame.
  bool finish() {
    if (stopped_) return false;
    frame();
    ++pages_;
    return !pageDone_ || pageDone_(pages_);
  }

 private:
  void part(const Section& sec, int firstRow, int rows) {
    const int start = line_;
    if (!sec.captionAfterRows) caption(sec.caption, start, rows);
    s_.SetFontSize(sec.fontSize);
    for (int row = 0; row < rows; ++row) {
      for (int c = 0; c < sec.columns; ++c) {
        const int k = (firstRow + row) * sec.columns + c;
        if (k >= sec.count) break;
        const double y = yOf(start + row);
        const QString count = QString::number(sec.value(k)) + u"件"_s;
        const double labelX = sec.labelX + sec.labelPitch * c;
        const double countX = sec.rightEdge + sec.labelPitch * c - kCountCharWidth * (count.size() - 1);
        s_.SetPosition(labelX, y);
        const QString label = sec.label(k);
        s_.PrintText(sec.fitLabel ? FitBefore(label, countX - kCountGap - labelX) : label);
        s_.SetPosition(countX, y);
        s_.PrintText(count);
      }
    }
    s_.SetFontSize(8);
    if (sec.captionAfterRows) caption(sec.caption, start, rows);
    line_ = start + rows;
    s_.DrawLine(130, yOf(line_) - 10, 1950, yOf(line_) - 10);
  }

  // The text, shortened at its end as far as needed to fit the width: a
  // long entry name never runs into the count beside it.
  QString FitBefore(const QString& text, double width) const {
    if (s_.TextWidth(text) <= width) return text;
    qsizetype fits = 0, tooLong = text.size();
    while (tooLong - fits > 1) {
      const qsizetype mid = (fits + tooLong) / 2;
      (s_.TextWidth(text.left(mid)) <= width ? fits : tooLong) = mid;
    }
    return text.left(fits);
  }

  void caption(const QString& caption, int start, int rows) {
    s_.SetFontSize(8);
    s_.SetPosition(150, yOf(start + rows / 2));
    s_.PrintText(caption);
  }

  void newPage() {
    frame();
    ++pages_;
    if (pageDone_ && !pageDone_(pages_)) {
      stopped_ = true;
      return;
    }
    s_.NewPage();
    heading();
  }

  // The page frame, four dots wide, with the divider between the captions
  // and the entries.
  void frame() {
    const double top = yOf(firstBodyLine_) - 10;
    const double bottom = yOf(line_) - 10;
    s_.SetLineWidth(4);
    s_.DrawBox(130, top, 1950, bottom);
    s_.SetLineWidth(1);
    s_.DrawLine(390, top, 390, bottom);
  }

  void text(double size, double x, double y, const QString& t) {
    s_.SetFontSize(size);
    s_.SetPosition(x, y);
    s_.PrintText(t);
  }

  static double yOf(int line) { return kBaseY + kLineHeight * line; }

  Surface& s_;
  const SummaryResult& r_;
  const SheetPageDone& pageDone_;
  int line_ = 0;
  int firstBodyLine_ = 0;
  int pages_ = 0;  // pages closed
  bool stopped_ = false;
};

}  // namespace

bool DrawSummarySheet(Surface& surface, const SummaryResult& r, const CodeLists& lists,
                      const std::array<QString, kSiteSlots>& siteNames, const SheetPageDone& pageDone) {
  SummarySheet sheet(surface, r, pageDone);
  sheet.begin();
  const auto counts = [&r](AnalysisAxis axis) {
    return [&r, axis](int k) -> std::int64_t { return r.counts.count(axis, k + 1); };
  };
  const auto fixed = [](const char16_t* const* labels) {
    return [labels](int k) { return QString::fromUtf16(labels[k]); };
  };

  if (!r.restricted(AnalysisAxis::Hour)) {
    sheet.section({QStringLiteral("時刻"), 12, 2,
                   [](int k) {
                     return TwoDigits(k + 1) + u". "_s + QString::number(2 * k) + u"時～"_s +
                            QString::number(2 * k + 2) + u"時"_s;
                   },
                   counts(AnalysisAxis::Hour), 400, 775, 700});
  }
  if (!r.restricted(AnalysisAxis::Month) && r.longerThan31Days()) {
    sheet.section({QStringLiteral("発生月"), 12, 6,
                   [](int k) { return TwoDigits(k + 1) + u". "_s + QString::number(k + 1) + u"月"_s; },
                   counts(AnalysisAxis::Month), 400, 258.3, 550});
  }
  static const char16_t* const kYears[] = {u"0～1年",   u"2～3年",   u"4～5年",   u"6～9年",
                                           u"10～14年", u"15～19年", u"20～29年", u"30年以上"};
  static const char16_t* const kInfections[] = {u"HIV陽性",   u"HIV陰性", u"HIV未検査", u"HCV陽性",  u"HCV陰性",
                                                u"HCV未検査", u"HBV陽性", u"HBV陰性",   u"HBV未検査"};
  static const char16_t* const kAnswers[] = {u"はい", u"いいえ"};
  if (!r.restricted(AnalysisAxis::Experience))
    sheet.section(
        {QStringLiteral("経験年数"), 8, 3, fixed(kYears), counts(AnalysisAxis::Experience), 400, 516.7, 826.7});
  if (!r.restricted(AnalysisAxis::DepartmentExperience))
    sheet.section({QStringLiteral("当該部署経験年数"), 8, 3, fixed(kYears), counts(AnalysisAxis::DepartmentExperience),
                   400, 516.7, 826.7});
  if (!r.restricted(AnalysisAxis::Infection))
    sheet.section({QStringLiteral("患者感染症の有無"), 9, 3, fixed(kInfections), counts(AnalysisAxis::Infection), 400,
                   516.7, 826.7});
  if (!r.restricted(AnalysisAxis::Emergency))
    sheet.section(
        {QStringLiteral("緊急処置時"), 2, 2, fixed(kAnswers), counts(AnalysisAxis::Emergency), 400, 775, 850});

  // The code-list items in item order; the circumstances, with their long
  // names, in one column of smaller text.
  for (int i = 0; i < kCodeListAxisCount; ++i) {
    const AnalysisAxis axis = AxisAt(i);
    const CodeList& list = lists[static_cast<std::size_t>(i)];
    if (r.restricted(axis) || list.count() == 0) continue;
    const bool circumstances = axis == AnalysisAxis::Circumstance;
    const int nameLength = circumstances ? 57 : 25;
    SummarySheet::Section sec{r.captions[static_cast<std::size_t>(i)],
                              list.count(),
                              circumstances ? 1 : 2,
                              [&list, nameLength](int k) {
                                const CodeEntry& e = list.entries[k];
                                return e.code + u'.' + e.name.left(nameLength);
                              },
                              counts(axis),
                              400,
                              775,
                              circumstances ? 1900.0 : 1040.0};
    sec.fontSize = circumstances ? 7 : 8;
    sec.fitLabel = true;
    sec.captionAfterRows = true;
    sec.breakBefore = true;
    sheet.section(sec);
  }

  if (!r.restricted(AnalysisAxis::BodySite)) {
    SummarySheet::Section sec{
        r.captions[static_cast<std::size_t>(AxisNumber(AnalysisAxis::BodySite))],
        kSiteCount,
        4,
        [&siteNames](int k) { return QString::number(k + 1) + u'.' + siteNames[static_cast<std::size_t>(k)]; },
        counts(AnalysisAxis::BodySite),
        400,
        387.5,
        720};
    sec.captionAfterRows = true;
    sec.breakBefore = true;
    sheet.section(sec);
  }
  return sheet.finish();
}

PrintResult PrintSummarySheet(Prompts& prompts, const SummaryResult& result, const CodeLists& lists,
                              const std::array<QString, kSiteSlots>& siteNames) {
  return RunPrint(prompts,
                  PrintSetup{.landscape = false,
                             .orientationMessage = {},
                             .what = QStringLiteral("集計表"),
                             .reports = static_cast<int>(result.matching)},
                  [&](Surface& surface, PrintProgress& progress) {
                    return DrawSummarySheet(surface, result, lists, siteNames,
                                            [&](int pagesDone) { return PageFinished(surface, progress, pagesDone); });
                  });
}

}  // namespace orvanta
