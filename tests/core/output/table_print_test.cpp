#include "core/output/table_print.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

#include "core/analysis/extraction.h"
#include "core/analysis/result_grid_model.h"
#include "core/output/recording_surface.h"
#include "core/platform/print_output.h"
#include "core/platform/print_progress.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using Op = RecordingSurface::Op;
using Entry = RecordingSurface::Entry;
using testing::ScriptedPrompts;

const QString kPeriod = QStringLiteral("2003年6月16日～2004年6月15");

// A listing grid with its 18 headings and the rows given (missing cells
// empty).
void FillListing(ResultGridModel& grid, const std::vector<QStringList>& rows) {
  PrepareExtractionGrid(grid);
  grid.setRows(static_cast<int>(rows.size()) + 1);
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size(); ++c) grid.setCell(static_cast<int>(r) + 1, c, rows[r][c]);
}

// A cross table grid: row headings down column 0, column headings along row
// 0, every count "r*c".
void FillCross(ResultGridModel& grid, const QStringList& rowLabels, const QStringList& colLabels) {
  grid.setRows(static_cast<int>(rowLabels.size()) + 1);
  grid.setCols(static_cast<int>(colLabels.size()) + 1);
  for (int r = 0; r < rowLabels.size(); ++r) grid.setCell(r + 1, 0, rowLabels[r]);
  for (int c = 0; c < colLabels.size(); ++c) grid.setCell(0, c + 1, colLabels[c]);
  for (int r = 1; r <= rowLabels.size(); ++r)
    for (int c = 1; c <= colLabels.size(); ++c) grid.setCell(r, c, QString::number(r * c));
}

QStringList Labels(int n, const QString& stem = QStringLiteral("分類")) {
  QStringList out;
  for (int i = 1; i <= n; ++i) out << stem + QString::number(i);
  return out;
}

struct Recorded {
  RecordingSurface surface;
  PrintProgress progress;
};

std::unique_ptr<Recorded> Listing(const ResultGridModel& grid, std::vector<ExtractionCondition> conditions = {}) {
  auto rec = std::make_unique<Recorded>();
  ExtractionPrint print{kPeriod, std::move(conditions), &grid};
  EXPECT_TRUE(DrawExtractionListing(rec->surface, print, rec->progress));
  EXPECT_EQ(ExtractionListingPageCount(print), rec->surface.pageCount());
  return rec;
}

// The cross table's counts are right-aligned by their width: here 16 units
// a character.
std::unique_ptr<Recorded> Cross(const ResultGridModel& grid) {
  auto rec = std::make_unique<Recorded>();
  rec->surface.SetCharacterWidth(16);
  CrossTablePrint print{kPeriod, QStringLiteral("職種"), QStringLiteral("発生月"), &grid};
  EXPECT_TRUE(DrawCrossTable(rec->surface, print, rec->progress));
  EXPECT_EQ(CrossTablePageCount(print), rec->surface.pageCount());
  return rec;
}

// The texts of a page at one height, left to right.
QStringList TextsAt(const RecordingSurface& s, int page, double y) {
  std::vector<Entry> hits;
  for (const Entry& e : s.all(Op::Text, page))
    if (e.y1 == y) hits.push_back(e);
  std::sort(hits.begin(), hits.end(), [](const Entry& a, const Entry& b) { return a.x1 < b.x1; });
  QStringList out;
  for (const Entry& e : hits) out << e.text;
  return out;
}

// The heights of the horizontal rules across the table on a page.
std::vector<double> RowRules(const RecordingSurface& s, int page) {
  std::vector<double> out;
  for (const Entry& e : s.all(Op::Line, page))
    if (e.x1 == 30 && e.x2 == 3400 && e.y1 == e.y2) out.push_back(e.y1);
  return out;
}

void ExpectPoint(const std::optional<Entry>& e, double x, double y, double points = 8) {
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->x1, x) << e->text.toStdString();
  EXPECT_EQ(e->y1, y) << e->text.toStdString();
  EXPECT_EQ(e->fontSize, points) << e->text.toStdString();
}

// The finish of a page: ten thin column rules and the thick frame, both from
// the frame's top to the last rule.
void ExpectFrame(const RecordingSurface& s, int page, double top, double bottom) {
  const auto boxes = s.all(Op::Box, page);
  ASSERT_EQ(boxes.size(), 1u) << "page " << page;
  EXPECT_EQ(boxes[0].x1, 30);
  EXPECT_EQ(boxes[0].y1, top);
  EXPECT_EQ(boxes[0].x2, 3400);
  EXPECT_EQ(boxes[0].y2, bottom);
  EXPECT_EQ(boxes[0].lineWidth, 4);
  int columnRules = 0;
  for (const Entry& e : s.all(Op::Line, page)) {
    if (e.x1 != e.x2) continue;
    EXPECT_EQ(e.x1, 380 + 300 * columnRules);
    EXPECT_EQ(e.y1, top);
    EXPECT_EQ(e.y2, bottom);
    EXPECT_EQ(e.lineWidth, 1);
    ++columnRules;
  }
  EXPECT_EQ(columnRules, 10) << "page " << page;
}

TEST(CrossTablePrint, TwelveColumnsGiveTwoPageSetsEachWithEveryRowHeading) {
  ResultGridModel grid;
  const QStringList months = {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10", " 11", " 12"};
  FillCross(grid, Labels(3, QStringLiteral("医師")), months);
  const auto rec = Cross(grid);
  const RecordingSurface& s = rec->surface;
  ASSERT_EQ(s.pageCount(), 2);

  for (int page = 0; page < 2; ++page) {
    // The header on every page: the period, the two items.
    ExpectPoint(s.findText(kPeriod + QStringLiteral("日　　縦項目:職種；  横項目:発生月"), page), 300, 40, 11);
    // Headings on line 0, every row heading below, each row one line.
    for (int r = 1; r <= 3; ++r) ExpectPoint(s.findText(QStringLiteral("医師%1").arg(r), page), 40, 200 + 100 * r);
  }
  EXPECT_EQ(TextsAt(s, 0, 150), months.mid(0, 10));
  EXPECT_EQ(s.findText(QStringLiteral(" 10"), 0)->x1, 400 + 300 * 9);
  EXPECT_EQ(TextsAt(s, 1, 150), months.mid(10));
  ExpectPoint(s.findText(QStringLiteral(" 11"), 1), 400, 150);
  ExpectPoint(s.findText(QStringLiteral(" 12"), 1), 700, 150);
  // Row 3 of page 2: its heading and the counts of columns 11 and 12.
  EXPECT_EQ(TextsAt(s, 1, 500), QStringList({"医師3", "33", "36"}));
  // Rules: under the headings, then under each row.
  EXPECT_EQ(RowRules(s, 1), std::vector<double>({280, 380, 480, 580}));
  ExpectFrame(s, 0, 130, 580);
  ExpectFrame(s, 1, 130, 580);
}

// A row heading of 8 characters takes one line; one of 9 takes two, with the
// counts on the second; an empty heading takes none, its counts on the
// row's one line. Counts stand right-aligned by 16 units a character.
TEST(CrossTablePrint, RowHeadingsWrapAtEightWithTheCountsOnTheirLastLine) {
  ResultGridModel grid;
  FillCross(grid, {QStringLiteral("一二三四五六七八"), QStringLiteral("一二三四五六七八九"), QString()},
            {QStringLiteral("A"), QStringLiteral("B")});
  grid.setCell(2, 2, QStringLiteral("123456"));
  const auto rec = Cross(grid);
  const RecordingSurface& s = rec->surface;
  ASSERT_EQ(s.pageCount(), 1);
  // Line 1 (y 300): the 8-character heading and its counts.
  EXPECT_EQ(TextsAt(s, 0, 300), QStringList({"一二三四五六七八", "1", "2"}));
  ExpectPoint(s.findText(QStringLiteral("1")), 660 - 16, 300);
  ExpectPoint(s.findText(QStringLiteral("2")), 960 - 16, 300);
  // Lines 2 and 3: the 9-character heading, its counts on line 3.
  EXPECT_EQ(TextsAt(s, 0, 400), QStringList({"一二三四五六七八"}));
  EXPECT_EQ(TextsAt(s, 0, 500), QStringList({"九", "2", "123456"}));
  ExpectPoint(s.findText(QStringLiteral("123456")), 960 - 16 * 6, 500);
  // Line 4: the empty heading's counts.
  EXPECT_EQ(TextsAt(s, 0, 600), QStringList({"3", "6"}));
  EXPECT_EQ(RowRules(s, 0), std::vector<double>({280, 380, 580, 680}));
}

TEST(CrossTablePrint, TheRowThatWouldNeedLine38StartsANewPageWithHeaderAndHeadings) {
  ResultGridModel grid;
  FillCross(grid, Labels(38), {QStringLiteral("A")});
  const auto rec = Cross(grid);
  const RecordingSurface& s = rec->surface;
  ASSERT_EQ(s.pageCount(), 2);
  // Heading on line 0, rows 1 to 37 on lines 1 to 37; the last at y 3900.
  EXPECT_EQ(TextsAt(s, 0, 3900), QStringList({"分類37", "37"}));
  EXPECT_EQ(RowRules(s, 0).back(), 3980);
  ExpectFrame(s, 0, 130, 3980);
  // Row 38 on line 1 of the next page, after the header and the heading.
  EXPECT_TRUE(s.findText(kPeriod + QStringLiteral("日　　縦項目:職種；  横項目:発生月"), 1));
  EXPECT_EQ(TextsAt(s, 1, 150), QStringList({"A"}));
  EXPECT_EQ(TextsAt(s, 1, 300), QStringList({"分類38", "38"}));
  ExpectFrame(s, 1, 130, 380);
}

TEST(ListingPrint, CellsWrapAtSixAndARowIsAsTallAsItsTallestCell) {
  ResultGridModel grid;
  FillListing(grid, {{QStringLiteral("山田　花子04/03/15/(月)K-1001"), QStringLiteral("一二三四五六七八九十一二三")},
                     {QStringLiteral("佐藤")}});
  const auto rec = Listing(grid);
  const RecordingSurface& s = rec->surface;
  // No conditions: the table starts at T = 100; headings on lines 0 and 1
  // (at y 270 and 370), the first row from line 2 (y 500).
  EXPECT_EQ(TextsAt(s, 0, 270), QStringList({"職種", "発生場所", "機器の使用目", "事故発生状況", "原因器材", "事故程度",
                                             "受傷者の原因", "器材の汚染", "所属部署", "行為別"}));
  EXPECT_EQ(TextsAt(s, 0, 370), QStringList({"的", "器材の使用中"}));
  // The label's 23 characters take 4 lines, the 13-character cell 3.
  EXPECT_EQ(TextsAt(s, 0, 500), QStringList({"山田　花子0", "一二三四五六"}));
  EXPECT_EQ(TextsAt(s, 0, 600), QStringList({"4/03/1", "七八九十一二"}));
  EXPECT_EQ(TextsAt(s, 0, 700), QStringList({"5/(月)K", "三"}));
  EXPECT_EQ(TextsAt(s, 0, 800), QStringList({"-1001"}));
  EXPECT_EQ(TextsAt(s, 0, 900), QStringList({"佐藤"}));
  // Rules: under the headings, under the four-line row, under "佐藤".
  EXPECT_EQ(RowRules(s, 0), std::vector<double>({480, 880, 980}));
}

TEST(ListingPrint, AThirteenCharacterCellAloneMakesAThreeLineRow) {
  ResultGridModel grid;
  FillListing(grid, {{QStringLiteral("佐藤"), QString(), QStringLiteral("一二三四五六七八九十一二三")}});
  const auto rec = Listing(grid);
  EXPECT_EQ(RowRules(rec->surface, 0), std::vector<double>({480, 780}));
  ExpectPoint(rec->surface.findText(QStringLiteral("三")), 700, 700);
}

TEST(ListingPrint, AnEmptyListingPrintsTwoPagesWithHeaderHeadingsAndAnEmptyFrame) {
  ResultGridModel grid;
  FillListing(grid, {});
  const auto rec = Listing(grid);
  const RecordingSurface& s = rec->surface;
  ASSERT_EQ(s.pageCount(), 2);
  EXPECT_FALSE(s.ended());  // the print job ends the document, not the drawing
  ExpectPoint(s.findText(kPeriod + QStringLiteral("日"), 0), 300, 40, 11);
  ExpectPoint(s.findText(kPeriod + QStringLiteral("日"), 1), 300, 40, 11);
  // Page 1: columns 1 to 10, the table at T = 100. Page 2: columns 11 to 17,
  // T = 0 (no box set).
  ExpectPoint(s.findText(QStringLiteral("職種"), 0), 400, 270);
  ExpectPoint(s.findText(QStringLiteral("行為別"), 0), 400 + 300 * 9, 270);
  ExpectPoint(s.findText(QStringLiteral("発生月"), 1), 400, 170);
  ExpectPoint(s.findText(QStringLiteral("針刺し･切創"), 1), 400 + 300 * 6, 170);
  ExpectPoint(s.findText(QStringLiteral("部位"), 1), 400 + 300 * 6, 270);
  EXPECT_FALSE(s.findText(QStringLiteral("抽出条件は1枚目に記載")));
  ExpectFrame(s, 0, 250, 480);
  ExpectFrame(s, 1, 150, 380);
}

TEST(ListingPrint, TwoSetBoxesPutTheConditionsOnTheFirstPageAndTheNoteOnLaterOnes) {
  ResultGridModel grid;
  FillListing(grid, {{QStringLiteral("山田")}});
  const auto rec = Listing(grid, {{QStringLiteral("患者の感染症の有無"), QStringLiteral("HIV陽性")},
                                  {QStringLiteral("緊急処置時"), QStringLiteral("はい")}});
  const RecordingSurface& s = rec->surface;
  ASSERT_EQ(s.pageCount(), 2);
  ExpectPoint(s.findText(QStringLiteral("抽出条件"), 0), 80, 170);
  ExpectPoint(s.findText(QStringLiteral("患者の感染症の有無"), 0), 120, 270);
  ExpectPoint(s.findText(QStringLiteral("HIV陽性"), 0), 140, 370);
  ExpectPoint(s.findText(QStringLiteral("緊急処置時"), 0), 120, 470);
  ExpectPoint(s.findText(QStringLiteral("はい"), 0), 140, 570);
  // T = 100 + 2 x 200: headings from y 670, the frame from 650, the row on
  // line 2.
  ExpectPoint(s.findText(QStringLiteral("職種"), 0), 400, 670);
  ExpectPoint(s.findText(QStringLiteral("山田"), 0), 40, 900);
  ExpectFrame(s, 0, 650, 980);
  // Later pages: the note, T = 100.
  ExpectPoint(s.findText(QStringLiteral("抽出条件は1枚目に記載"), 1), 80, 170);
  EXPECT_FALSE(s.findText(QStringLiteral("抽出条件"), 1));
  EXPECT_FALSE(s.findText(QStringLiteral("HIV陽性"), 1));
  ExpectPoint(s.findText(QStringLiteral("発生月"), 1), 400, 270);
  ExpectPoint(s.findText(QStringLiteral("山田"), 1), 40, 500);
}

// The listing's first page starts its table lower by the conditions, so it
// holds as many lines fewer: with two boxes set (T = 500) the last row line
// of the first page is 32, at y 3900; on later pages (T = 100) line 36.
TEST(ListingPrint, APageWhoseTableStartsLowerHoldsFewerLines) {
  ResultGridModel grid;
  std::vector<QStringList> rows;
  for (int i = 1; i <= 70; ++i) rows.push_back({QStringLiteral("行%1").arg(i)});
  FillListing(grid, rows);
  const auto rec = Listing(
      grid, {{QStringLiteral("職種"), QStringLiteral("医師")}, {QStringLiteral("事故程度"), QStringLiteral("軽度")}});
  const RecordingSurface& s = rec->surface;
  // Rows on lines 2 to 32 of page 1 (31 rows), 2 to 36 of page 2 (35 rows),
  // the last 4 on page 3; then block 2 the same way.
  ExpectPoint(s.findText(QStringLiteral("行31"), 0), 40, 500 + 200 + 3200);
  ExpectPoint(s.findText(QStringLiteral("行32"), 1), 40, 100 + 200 + 200);
  ExpectPoint(s.findText(QStringLiteral("行66"), 1), 40, 100 + 200 + 3600);
  ExpectPoint(s.findText(QStringLiteral("行67"), 2), 40, 500);
  // Block 2 starts on a later page: 35 rows a page.
  ExpectPoint(s.findText(QStringLiteral("行1"), 3), 40, 500);
  ExpectPoint(s.findText(QStringLiteral("行36"), 4), 40, 500);
  EXPECT_EQ(s.pageCount(), 5);
}

// A row taller than a whole page is not lost and does not run off the page:
// it goes on over the next pages, with the header and headings repeated.
TEST(ListingPrint, ARowTallerThanAPageGoesOnOverTheNextPages) {
  ResultGridModel grid;
  QString sites;
  for (int n = 1; n <= 65; ++n) sites += QStringLiteral("/ %1右手親指外側部").arg(n);
  FillListing(grid, {{QStringLiteral("前")}, {QStringLiteral("山田")}, {QStringLiteral("後")}});
  grid.setCell(2, 17, sites);
  const auto rec = Listing(grid);
  const RecordingSurface& s = rec->surface;
  QString printed;
  for (int page = 0; page < s.pageCount(); ++page)
    for (const Entry& e : s.all(Op::Text, page))
      if (e.x1 == 400 + 300 * 6 && e.y1 >= 400) printed += e.text;
  EXPECT_EQ(printed, sites);
  const int pieces = static_cast<int>((sites.size() + 5) / 6);
  ASSERT_GT(pieces, 2 * 35);
  // Block 2 (page 2): "前", then the tall row from a new page on over
  // four pages, 36 lines a page, and "後" after its end.
  EXPECT_EQ(s.pageCount(), 6);
  ExpectPoint(s.findText(QStringLiteral("前"), 1), 40, 400);
  ExpectPoint(s.findText(QStringLiteral("山田"), 2), 40, 400);
  EXPECT_EQ(TextsAt(s, 2, 3900).size(), 1u);
  EXPECT_EQ(s.findText(QStringLiteral("後"), 5)->y1, 400 + 100 * (pieces - 3 * 36));
  for (const Entry& e : s.entries()) {
    if (e.op == Op::Text) {
      EXPECT_LE(e.y1, 3900) << e.text.toStdString();
    }
    if (e.op == Op::Line || e.op == Op::Box) {
      EXPECT_LE(std::max(e.y1, e.y2), 3980);
    }
  }
}

// The row of one report made as the listing makes it.
QStringList ListedRow(const ReportRecord& report, const CodeLists& lists) {
  const AnalysisPeriod allTime{{100, 1, 1}, {9999, 12, 31}};
  ScannedFile file;
  EXPECT_TRUE(file.loadBytes(DataFileBytes({report}), DaysOf(allTime)));
  EXPECT_EQ(file.reports().size(), 1u);
  const ExtractionRowMaker maker(lists, BodySiteNames());
  return file.reports().empty() ? QStringList() : maker.row(file, file.reports().front());
}

// The listing's row of a report with every body site marked and a
// department of 150 characters.
QStringList LongListedRow() {
  CodeLists lists;
  const QString department = QString(150, QChar(u'科'));
  lists[kDepartments].entries.append(CodeEntry{department, QStringLiteral("1"), 401});
  ReportRecord report;
  report.ReportId = 7;
  report.Texts[kReporterName] = QStringLiteral("山田花子");
  report.Texts[kRecordNumber] = QStringLiteral("K-1001");
  report.Years[0] = 2023;
  report.Months[0] = 4;
  report.Days[0] = 10;
  report.AnswerIds[kDepartments] = 401;
  for (int n = 0; n < kSiteCount; ++n) report.Sites[static_cast<std::size_t>(n)] = 1;
  return ListedRow(report, lists);
}

// That row's sites run over several pages, and each page the row is carried
// over to says whose row it is: "（続き）" and the whole label at the top of
// the label column, beside the cells going on where they stopped.
TEST(ListingPrint, ARowCarriedOverRepeatsItsLabelMarkedAsContinued) {
  const QStringList listed = LongListedRow();
  const QString department = QString(150, QChar(u'科'));
  ASSERT_EQ(listed.size(), kExtractionColumns);
  ASSERT_EQ(listed[0], QStringLiteral("山田花子23/04/10/(月)K-1001"));
  ASSERT_EQ(listed[9], department);
  const QString sites = listed[17];
  const int siteLines = static_cast<int>((sites.size() + 5) / 6);
  ASSERT_GT(siteLines, 2 * 36) << "the sites fill more than two pages";

  ResultGridModel grid;
  FillListing(grid, {{QStringLiteral("前")}, listed, {QStringLiteral("後")}});
  const auto rec = Listing(grid);
  const RecordingSurface& s = rec->surface;
  const QStringList label = {"山田花子23", "/04/10", "/(月)K-", "1001"};
  const auto labelColumn = [&](int page, double from) {
    QStringList column;
    for (const Entry& e : s.all(Op::Text, page))
      if (e.x1 == 40 && e.y1 >= from && e.y1 < from + 100 * 5) column << e.text;
    return column;
  };
  // Block 1 (page 1, table at T = 100): the department's 25 lines fit below
  // "前", so nothing is carried over.
  EXPECT_EQ(labelColumn(0, 600), label);
  // Block 2 (T = 0 on later pages, 36 lines a page from y 400): "前" alone on
  // page 2, the row from page 3 on, every later page of it with the mark.
  const int rowPages = (siteLines + 35) / 36;
  const int lastHeight = std::max(siteLines - 36 * (rowPages - 1), 1 + 4);
  ASSERT_LT(lastHeight, 36) << "\"後\" follows on the row's last page";
  ASSERT_EQ(s.pageCount(), 2 + rowPages);
  EXPECT_EQ(labelColumn(1, 400), QStringList{"前"});
  EXPECT_EQ(labelColumn(2, 400), label);
  QString printed;
  for (int page = 2; page < s.pageCount(); ++page) {
    SCOPED_TRACE("page " + std::to_string(page + 1));
    for (const Entry& e : s.all(Op::Text, page))
      if (e.x1 == 400 + 300 * 6 && e.y1 >= 400) printed += e.text;
    if (page == 2) {
      EXPECT_FALSE(s.findText(QStringLiteral("（続き）"), page));
      continue;
    }
    ExpectPoint(s.findText(QStringLiteral("（続き）"), page), 40, 400);
    EXPECT_EQ(labelColumn(page, 400), QStringList{"（続き）"} + label);
  }
  EXPECT_EQ(printed, sites) << "every piece of the sites once, in order";
  ExpectPoint(s.findText(QStringLiteral("後"), s.pageCount() - 1), 40, 400 + 100 * lastHeight);
  EXPECT_EQ(RowRules(s, s.pageCount() - 1),
            std::vector<double>({380, 400 + 100 * (lastHeight - 1) + 80, 400 + 100 * lastHeight + 80}));
}

// A row whose label alone is taller than what its cells need on the page it
// is carried over to: the page's part of the row is as tall as the mark and
// the label; a label too long for a page with the mark goes on where it
// stopped, marked on each page, and is printed whole.
TEST(ListingPrint, ACarriedLabelMakesItsPartOfTheRowAsTallAsItNeeds) {
  struct Case {
    int labelLength;  // characters, 6 a line
    int cellLength;
  };
  for (const Case c : {Case{40, 6 * 38}, Case{6 * 40, 6 * 3}}) {
    SCOPED_TRACE(c.labelLength);
    ResultGridModel grid;
    const QString label = QString(c.labelLength, QChar(u'名'));
    FillListing(grid, {{QStringLiteral("前")}, {label, QString(c.cellLength, QChar(u'字'))}, {QStringLiteral("後")}});
    const auto rec = Listing(grid);
    const RecordingSurface& s = rec->surface;
    qsizetype cellPrinted = 0;
    QString labelPrinted;  // block 1 only: pages 1 to 3
    for (int page = 0; page < s.pageCount(); ++page)
      for (const Entry& e : s.all(Op::Text, page)) {
        EXPECT_LE(e.y1, 3900);
        if (e.text.front() == u'字') cellPrinted += e.text.size();
        if (e.text.front() == u'名' && s.findText(QStringLiteral("職種"), page)) labelPrinted += e.text;
      }
    EXPECT_EQ(cellPrinted, c.cellLength);
    // "前" alone on page 1; the row from page 2 on (36 lines), carried over
    // to page 3 and "後" after it there.
    ExpectPoint(s.findText(QStringLiteral("（続き）"), 2), 40, 400);
    const auto after = s.findText(QStringLiteral("後"), 2);
    if (c.labelLength == 40) {
      // Page 3: the cell's last 2 lines beside the mark and the label's 7.
      EXPECT_EQ(labelPrinted, label + label);
      ExpectPoint(after, 40, 400 + 100 * 8);
    } else {
      // 40 lines of label: 36 on page 2, the other 4 after the mark.
      EXPECT_EQ(labelPrinted, label);
      ExpectPoint(after, 40, 400 + 100 * 5);
    }
  }
}

// Whatever the rows and the conditions, every text and rule of every page
// lies inside the page, every piece of every cell is printed once, and every
// label at least once in each block (again on the pages a row is carried
// over to).
TEST(ListingPrint, NoRowEverLiesBelowThePage) {
  std::mt19937 random(7);
  for (int conditions = 0; conditions <= 17; conditions += 1) {
    SCOPED_TRACE(conditions);
    std::vector<QStringList> rows;
    qsizetype characters = 0;
    qsizetype labelCharacters = 0;
    for (int i = 0; i < 60; ++i) {
      QStringList row;
      for (int c = 0; c < kExtractionColumns; ++c) {
        const int length = static_cast<int>(random() % (i % 9 == 4 ? 90 : 20));
        row << QString(length, QChar(c == 0 ? u'名' : u'字'));
        (c == 0 ? labelCharacters : characters) += length;
      }
      rows.push_back(row);
    }
    ResultGridModel grid;
    FillListing(grid, rows);
    std::vector<ExtractionCondition> set;
    for (int k = 0; k < conditions; ++k) set.push_back({QStringLiteral("項目%1").arg(k), QStringLiteral("分類")});
    const auto rec = Listing(grid, set);
    qsizetype printed = 0;
    qsizetype labelsPrinted = 0;
    for (const Entry& e : rec->surface.entries()) {
      if (e.op == Op::Text) {
        EXPECT_LE(e.y1, 3900) << e.text.toStdString();
        if (e.y1 >= 270 && e.text.front() == u'字') printed += e.text.size();
        if (e.text.front() == u'名') labelsPrinted += e.text.size();
      }
      if (e.op == Op::Line || e.op == Op::Box) {
        EXPECT_LE(std::max(e.y1, e.y2), 3980);
      }
    }
    EXPECT_EQ(printed, characters);
    EXPECT_GE(labelsPrinted, 2 * labelCharacters);
  }
}

TEST(TablePrint, StopsAfterThePageAtWhichTheProgressSaysStop) {
  struct StopAtTwo : PrintProgress {
    int count = 0;
    std::vector<int> done;
    void setPageCount(int pages) override { count = pages; }
    bool pageDone(int pages) override {
      done.push_back(pages);
      return pages < 2;
    }
  } progress;
  ResultGridModel grid;
  std::vector<QStringList> rows(200, QStringList{QStringLiteral("行")});
  FillListing(grid, rows);
  RecordingSurface surface;
  EXPECT_FALSE(DrawExtractionListing(surface, ExtractionPrint{kPeriod, {}, &grid}, progress));
  EXPECT_EQ(progress.count, 12);
  EXPECT_EQ(progress.done, std::vector<int>({1, 2}));
  EXPECT_EQ(surface.pageCount(), 2);
}

// The cross table on paper: every count, however long, ends left of its
// column's rule (x 680 + 300 j), where a short one ends too.
TEST(TablePrintPdf, CountsOnPaperEndLeftOfTheirColumnsRule) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("cross.pdf"));
  ResultGridModel grid;
  FillCross(grid, {QStringLiteral("行")}, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
  grid.setCell(1, 1, QStringLiteral("7"));
  grid.setCell(1, 2, QStringLiteral("1234"));
  grid.setCell(1, 3, QStringLiteral("456850"));
  ScriptedPrompts prompts;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  EXPECT_EQ(PrintCrossTable(prompts, CrossTablePrint{kPeriod, QStringLiteral("職種"), QStringLiteral("発生月"), &grid}),
            PrintResult::Printed);
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), 1u);
  const QRectF paint = PdfFileOutput::A4Layout(true).paintRect(QPageLayout::Point);
  const QStringList counts = {"7", "1234", "456850"};
  for (int j = 0; j < counts.size(); ++j) {
    SCOPED_TRACE(counts[j].toStdString());
    const auto word = pages[0].find(counts[j]);
    ASSERT_TRUE(word);
    const double right = (word->xMax - paint.left()) * 3450 / paint.width();
    EXPECT_NEAR(right, 660 + 300 * j, 6);
  }
}

// The listing printed through the printer dialog to a PDF file and read back:
// A4 landscape pages, as many as laid out, and texts where the units say.
TEST(TablePrintPdf, TheListingOnPaperIsA4LandscapeWithTextsWhereTheUnitsSay) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("listing.pdf"));
  ResultGridModel grid;
  std::vector<QStringList> rows;
  for (int i = 1; i <= 45; ++i)
    rows.push_back({QStringLiteral("患者%1").arg(i), QStringLiteral("医師"), QStringLiteral("病室")});
  FillListing(grid, rows);
  const ExtractionPrint print{kPeriod, {{QStringLiteral("緊急処置時"), QStringLiteral("はい")}}, &grid};
  ScriptedPrompts prompts;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  EXPECT_EQ(PrintExtractionListing(prompts, print), PrintResult::Printed);
  EXPECT_EQ(prompts.texts().front(), QStringLiteral("A4用紙で印刷の向きを横に指定してください"));
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  EXPECT_EQ(prompts.printPageCount(), ExtractionListingPageCount(print));

  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(static_cast<int>(pages.size()), ExtractionListingPageCount(print));
  ASSERT_EQ(pages.size(), 4u);
  // The printable area: A4 landscape less the device's margins.
  const QRectF paint = PdfFileOutput::A4Layout(true).paintRect(QPageLayout::Point);
  const auto units = [&](const testing::PdfWord& w) {
    return QPointF((w.xMin - paint.left()) * 3450 / paint.width(), (w.yMin - paint.top()) * 4000 / paint.height());
  };
  const auto expectAt = [&](int page, const QString& text, double x, double y) {
    SCOPED_TRACE(text.toStdString());
    const auto word = pages[static_cast<std::size_t>(page)].find(text);
    ASSERT_TRUE(word.has_value());
    const QPointF at = units(*word);
    EXPECT_NEAR(at.x(), x, 8);
    EXPECT_NEAR(at.y(), y, 12);
  };
  for (const testing::PdfPage& page : pages) {
    EXPECT_NEAR(page.width, 841.9, 1.0);
    EXPECT_NEAR(page.height, 595.3, 1.0);
  }
  expectAt(0, QStringLiteral("抽出条件"), 80, 170);
  expectAt(0, QStringLiteral("職種"), 400, 470);
  expectAt(0, QStringLiteral("患者1"), 40, 700);
  expectAt(1, QStringLiteral("抽出条件は1枚目に記載"), 80, 170);
  expectAt(3, QStringLiteral("当該部署にお"), 400 + 300 * 3, 270);
  // 8 points on paper, whatever the units: the word's height is the font's.
  const auto word = pages[0].find(QStringLiteral("患者1"));
  ASSERT_TRUE(word);
  EXPECT_NEAR(word->yMax - word->yMin, 8.0, 2.5);
}

// The carried-over row on paper: every page after the row's first starts
// with "（続き）" and the label, where the units say.
TEST(TablePrintPdf, ACarriedOverRowSaysWhoseRowItIsOnEveryPage) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("listing.pdf"));
  ResultGridModel grid;
  FillListing(grid, {{QStringLiteral("前")}, LongListedRow(), {QStringLiteral("後")}});
  const ExtractionPrint print{kPeriod, {}, &grid};
  ScriptedPrompts prompts;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(path);
  EXPECT_EQ(PrintExtractionListing(prompts, print), PrintResult::Printed);
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(static_cast<int>(pages.size()), ExtractionListingPageCount(print));
  ASSERT_GE(pages.size(), 5u);
  const QRectF paint = PdfFileOutput::A4Layout(true).paintRect(QPageLayout::Point);
  for (std::size_t page = 0; page < pages.size(); ++page) {
    SCOPED_TRACE("page " + std::to_string(page + 1));
    const auto mark = pages[page].find(QStringLiteral("（続き）"));
    // Block 1 on page 1; "前" alone on page 2; the row from page 3 on.
    if (page < 3) {
      EXPECT_FALSE(mark);
      continue;
    }
    ASSERT_TRUE(mark);
    const auto label = pages[page].find(QStringLiteral("山田花子23"));
    ASSERT_TRUE(label);
    EXPECT_NEAR((mark->xMin - paint.left()) * 3450 / paint.width(), 40, 8);
    EXPECT_NEAR((mark->yMin - paint.top()) * 4000 / paint.height(), 400, 12);
    EXPECT_NEAR((label->yMin - paint.top()) * 4000 / paint.height(), 500, 12);
  }
}

}  // namespace
}  // namespace orvanta
