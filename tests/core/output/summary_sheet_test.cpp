#include "core/output/summary_sheet.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>

#include "core/analysis/summary_counts.h"
#include "core/output/painter_surface.h"
#include "core/output/print_job.h"
#include "core/output/recording_surface.h"
#include "core/platform/prompts.h"
#include "core/reports/body_sites.h"
#include "core/reports/calendar.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;

double LineY(int line) { return 300 + 60 * line; }

// A computation made up by hand: a period, the matching count, counts.
class SummarySheetTest : public ::testing::Test {
 protected:
  SummarySheetTest() {
    SetDefaultCodeLists(lists);
    FillBodySiteNames(sites);
    result.captions = SummaryCaptions();
    setPeriod({2004, 1, 1}, {2004, 12, 31});
    result.matching = 57;
  }

  void setPeriod(CalendarDate from, CalendarDate to) {
    result.period = {from, to};
    result.fromDay = SerialDay(from.year, from.month, from.day);
    result.toDay = SerialDay(to.year, to.month, to.day);
  }
  void setCount(AnalysisAxis axis, int category, int count) {
    CategorySet one;
    one.add(category);
    for (int i = 0; i < count; ++i) result.counts.add(axis, one);
  }
  void restrict(AnalysisAxis axis, int position, const QString& text) {
    result.filter.selection[static_cast<std::size_t>(AxisNumber(axis))] = position;
    result.selectedTexts[static_cast<std::size_t>(AxisNumber(axis))] = text;
  }
  // A list of n entries with codes 1 to n and the given names.
  void fillList(int list, int n, const QString& name = u"器材"_s) {
    CodeList& l = lists[static_cast<std::size_t>(list)];
    l.entries.clear();
    for (int k = 1; k <= n; ++k)
      l.entries.push_back(CodeEntry{name + QString::number(k), QString::number(k), 1000 * list + k});
  }

  RecordingSurface draw() {
    RecordingSurface s;
    DrawSummarySheet(s, result, lists, sites);
    return s;
  }

  // The section captions in printing order, each with its page and line.
  static std::vector<std::tuple<QString, int, double>> Captions(const RecordingSurface& s) {
    std::vector<std::tuple<QString, int, double>> out;
    for (const auto& e : s.all(Op::Text))
      if (e.x1 == 150) out.emplace_back(e.text, e.page, e.y1);
    return out;
  }
  static QStringList CaptionTexts(const RecordingSurface& s) {
    QStringList out;
    for (const auto& c : Captions(s)) out << std::get<0>(c);
    return out;
  }

  CodeLists lists;
  std::array<QString, kSiteSlots> sites;
  SummaryResult result;
};

::testing::AssertionResult HasText(const RecordingSurface& s, int page, const QString& text, double x, double y,
                                   double size) {
  QStringList seen;
  for (const auto& e : s.all(Op::Text, page)) {
    if (e.text != text) continue;
    if (std::abs(e.x1 - x) < 1e-6 && e.y1 == y && e.fontSize == size) return ::testing::AssertionSuccess();
    seen << u"(%1, %2) %3pt"_s.arg(e.x1).arg(e.y1).arg(e.fontSize);
  }
  return ::testing::AssertionFailure() << "\"" << text.toStdString() << "\" not at (" << x << ", " << y << ") in "
                                       << size << "pt on page " << page + 1 << "; seen at "
                                       << seen.join(u", ").toStdString();
}

TEST_F(SummarySheetTest, HeadingAndEverySectionWhenNoListRestricts) {
  lists[kDepartments].entries.clear();  // a list without entries prints no section
  const RecordingSurface s = draw();
  EXPECT_EQ(s.ScaleWidth(), 2000);
  EXPECT_EQ(s.ScaleHeight(), 4500);
  EXPECT_TRUE(HasText(s, 0, u"トンリクスレポート集計書"_s, 400, 80, 12));
  EXPECT_TRUE(HasText(s, 0, u"2004年1月1日～2004年12月31日          該当件数57"_s, 500, 170, 11));
  EXPECT_TRUE(HasText(s, 0, u"抽出条件"_s, 200, 250, 10));
  EXPECT_TRUE(HasText(s, 0, u"全ての報告書"_s, 400, 250, 10));

  // Every section in printing order, but the departments.
  QStringList expected = {u"時刻"_s,      u"発生月"_s, u"経験年数"_s, u"当該部署経験年数"_s, u"患者感染症の有無"_s,
                          u"緊急処置時"_s};
  for (int i = 0; i < kCodeListAxisCount; ++i)
    if (i != kDepartments) expected << result.captions[static_cast<std::size_t>(i)];
  expected << result.captions[static_cast<std::size_t>(AxisNumber(AnalysisAxis::BodySite))];
  EXPECT_EQ(CaptionTexts(s), expected);

  // The fixed sections follow each other from line 1, each caption on its
  // middle row (the lower one of two), each closed by a rule 10 above the
  // next line.
  const auto captions = Captions(s);
  const double fixedLines[] = {1 + 3, 7 + 1, 9 + 1, 12 + 1, 15 + 1, 18 + 0};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(std::get<2>(captions[static_cast<std::size_t>(i)]), LineY(static_cast<int>(fixedLines[i]))) << i;
  std::vector<double> rules;
  for (const auto& e : s.all(Op::Line, 0))
    if (e.x1 == 130 && e.x2 == 1950 && e.y1 == e.y2) rules.push_back(e.y1);
  ASSERT_GE(rules.size(), 6u);
  const int ends[] = {7, 9, 12, 15, 18, 19};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rules[static_cast<std::size_t>(i)], LineY(ends[i]) - 10) << i;

  // Labels and right-aligned counts of the fixed sections.
  EXPECT_TRUE(HasText(s, 0, u"02. 2月"_s, 400 + 258.3, LineY(7), 8));
  EXPECT_TRUE(HasText(s, 0, u"12. 12月"_s, 400 + 5 * 258.3, LineY(8), 8));
  EXPECT_TRUE(HasText(s, 0, u"30年以上"_s, 400 + 516.7, LineY(11), 8));
  EXPECT_TRUE(HasText(s, 0, u"20～29年"_s, 400, LineY(14), 8));
  EXPECT_TRUE(HasText(s, 0, u"HBV未検査"_s, 400 + 2 * 516.7, LineY(17), 8));
  EXPECT_TRUE(HasText(s, 0, u"いいえ"_s, 1175, LineY(18), 8));
  EXPECT_TRUE(HasText(s, 0, u"0件"_s, 1625 - 13, LineY(18), 8));
}

TEST_F(SummarySheetTest, TimeSectionListsTwelveTwoHourRangesWithTheCountsOfItem11) {
  for (int k = 1; k <= 12; ++k) setCount(AnalysisAxis::Hour, k, k == 12 ? 1234 : k);
  setCount(AnalysisAxis::Month, 3, 99);  // another item's count stays out
  const RecordingSurface s = draw();
  for (int k = 1; k <= 12; ++k) {
    const int row = (k - 1) / 2, c = (k - 1) % 2;
    const QString label = u"%1. %2時～%3時"_s.arg(k, 2, 10, QLatin1Char('0')).arg(2 * (k - 1)).arg(2 * k);
    EXPECT_TRUE(HasText(s, 0, label, 400 + 775 * c, LineY(1 + row), 8));
    // The last character of the count starts at the cell's right edge.
    const QString count = QString::number(k == 12 ? 1234 : k) + u"件"_s;
    EXPECT_TRUE(HasText(s, 0, count, 700 + 775 * c - 13 * (count.size() - 1), LineY(1 + row), 8));
  }
  EXPECT_TRUE(HasText(s, 0, u"01. 0時～2時"_s, 400, 360, 8));
  EXPECT_TRUE(HasText(s, 0, u"12. 22時～24時"_s, 1175, 660, 8));
  EXPECT_TRUE(HasText(s, 0, u"1234件"_s, 700 + 775 - 52, 660, 8));
  EXPECT_TRUE(HasText(s, 0, u"99件"_s, 550 + 2 * 258.3 - 26, LineY(7), 8));
}

TEST_F(SummarySheetTest, MonthSectionOnlyForAPeriodOfMoreThan31Days) {
  struct Case {
    CalendarDate from, to;
    bool month;
  };
  const Case cases[] = {
      {{2004, 1, 1}, {2004, 2, 1}, false},  // 31 days on
      {{2004, 1, 1}, {2004, 2, 2}, true},
      {{2004, 3, 10}, {2004, 3, 10}, false},
      {{2003, 12, 1}, {2004, 11, 30}, true},
  };
  for (const Case& c : cases) {
    setPeriod(c.from, c.to);
    const RecordingSurface s = draw();
    EXPECT_EQ(CaptionTexts(s).contains(u"発生月"_s), c.month) << c.to.month << "/" << c.to.day;
    // Without it the next section moves up by its two lines.
    EXPECT_EQ(s.findText(u"経験年数"_s)->y1, LineY(c.month ? 10 : 8));
  }
}

TEST_F(SummarySheetTest, RestrictedItemPrintsNoSectionAndJoinsTheConditions) {
  restrict(AnalysisAxis::Occupation, 2, u"看護師"_s);
  const RecordingSurface s = draw();
  EXPECT_FALSE(CaptionTexts(s).contains(u"職種"_s));
  EXPECT_TRUE(HasText(s, 0, u"職種  看護師; "_s, 400, 250, 10));
  EXPECT_FALSE(s.findText(u"全ての報告書"_s));
  EXPECT_TRUE(CaptionTexts(s).contains(u"発生場所"_s));

  // Every restricted item goes: time, month, bands, infection, emergency,
  // body sites.
  for (const AnalysisAxis axis :
       {AnalysisAxis::Hour, AnalysisAxis::Month, AnalysisAxis::Experience, AnalysisAxis::DepartmentExperience,
        AnalysisAxis::Infection, AnalysisAxis::Emergency, AnalysisAxis::BodySite})
    restrict(axis, 1, u"x"_s);
  const RecordingSurface t = draw();
  for (const QString& gone : {u"時刻"_s, u"発生月"_s, u"経験年数"_s, u"当該部署経験年数"_s, u"患者感染症の有無"_s,
                              u"緊急処置時"_s, result.captions[16]})
    EXPECT_FALSE(CaptionTexts(t).contains(gone)) << gone.toStdString();
  // The first section left is the places, at the top of the body.
  EXPECT_EQ(CaptionTexts(t).first(), u"発生場所"_s);
}

TEST_F(SummarySheetTest, LongRestrictionsContinueIn45CharacterPiecesAndPushTheBodyDown) {
  restrict(AnalysisAxis::Occupation, 2, u"看護師"_s);
  restrict(AnalysisAxis::Place, 3, u"救急部門"_s);
  restrict(AnalysisAxis::Circumstance, 1, u"器材を患者に使用する前（既に壊れていた、器材の組立等）"_s);
  restrict(AnalysisAxis::BodySite, 1, u" 1;右手親指外側"_s);
  restrict(AnalysisAxis::Experience, 3, u"4～5年"_s);
  const QString conditions = result.conditionsText();
  ASSERT_GT(conditions.size(), 90);
  ASSERT_LE(conditions.size(), 135);
  const RecordingSurface s = draw();
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(HasText(s, 0, conditions.mid(45 * k, 45), 400, 250 + 60 * k, 10)) << k;
  // Three lines of restrictions: the body starts on line 3.
  EXPECT_TRUE(HasText(s, 0, u"01. 0時～2時"_s, 400, LineY(3), 8));
  const auto boxes = s.all(Op::Box);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front().y1, LineY(3) - 10);
}

TEST_F(SummarySheetTest, CodeListSectionsTakeCodesAndShortenedNames) {
  lists[kPlaces].entries.clear();  // no entries: no section
  const QString longName = u"とても長い名前の職種をここに書いておきますがこれは切れます"_s;
  const QString latinName = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"_s;
  lists[kOccupations].entries = {CodeEntry{u"看護師"_s, u"1"_s, 1}, CodeEntry{latinName, u"2"_s, 2},
                                 CodeEntry{u"医師"_s, u"3"_s, 3}, CodeEntry{u"薬剤師"_s, u"4"_s, 4},
                                 CodeEntry{longName, u"5"_s, 5}};
  setCount(AnalysisAxis::Occupation, 5, 7);
  lists[kCircumstances].entries = {CodeEntry{QString(70, u'状'), u"99"_s, 900}};
  const RecordingSurface s = draw();
  EXPECT_FALSE(CaptionTexts(s).contains(u"発生場所"_s));

  // Occupations: two columns, three rows from line 19, entries left to
  // right, the caption after the rows on the middle one.
  EXPECT_TRUE(HasText(s, 0, u"1.看護師"_s, 400, LineY(19), 8));
  EXPECT_TRUE(HasText(s, 0, u"0件"_s, 1040 - 13, LineY(19), 8));
  EXPECT_TRUE(HasText(s, 0, u"3.医師"_s, 400, LineY(20), 8));
  EXPECT_TRUE(HasText(s, 0, u"4.薬剤師"_s, 400 + 775, LineY(20), 8));
  EXPECT_TRUE(HasText(s, 0, u"7件"_s, 1040 - 13, LineY(21), 8));
  // A name is cut to its first 25 characters ...
  EXPECT_TRUE(HasText(s, 0, u"2."_s + latinName.left(25), 400 + 775, LineY(19), 8));
  // ... and further where it would run into its count.
  const auto label5 =
      std::find_if(s.entries().begin(), s.entries().end(), [](const auto& e) { return e.text.startsWith(u"5."_s); });
  ASSERT_NE(label5, s.entries().end());
  EXPECT_EQ(std::make_tuple(label5->x1, label5->y1), std::make_tuple(400.0, LineY(21)));
  const QString kept = label5->text.mid(2);
  EXPECT_TRUE(longName.startsWith(kept));
  EXPECT_GE(kept.size(), 10);
  RecordingSurface measure;
  measure.SetScale(0, 0, 2000, 4500);
  measure.SetFontSize(8);
  const double room = 1040 - 13 - 400;
  EXPECT_LE(measure.TextWidth(label5->text), room);
  EXPECT_GT(measure.TextWidth(label5->text + longName[kept.size()]), room - 10);

  const auto occupation = s.findText(u"職種"_s);
  ASSERT_TRUE(occupation);
  EXPECT_EQ(occupation->y1, LineY(20));
  const auto caption =
      std::find_if(s.entries().begin(), s.entries().end(), [](const auto& e) { return e.text == u"職種"_s; });
  EXPECT_GT(caption, label5);  // the caption after the rows

  // Circumstances: one column of 57 characters at 7 points, counts up to
  // x 1900.
  const auto circumstance = s.findText(u"99."_s + QString(57, u'状'));
  ASSERT_TRUE(circumstance);
  EXPECT_EQ(std::make_tuple(circumstance->x1, circumstance->fontSize), std::make_tuple(400.0, 7.0));
  EXPECT_TRUE(HasText(s, circumstance->page, u"0件"_s, 1900 - 13, circumstance->y1, 7));
}

TEST_F(SummarySheetTest, LongCodeListThatDoesNotFitStartsANewPageWithTheHeadingAgain) {
  fillList(kOccupations, 60);  // 30 rows: lines 19 to 48
  lists[kPlaces].entries.clear();
  lists[kPurposes].entries.clear();
  lists[kCircumstances].entries.clear();
  fillList(kDevices, 51);  // 26 rows: 49 + 26 > 68.33
  for (int list : {kSeverities, kQuestion6Answers, kQuestion7Answers, kDepartments, kActionTypes})
    lists[static_cast<std::size_t>(list)].entries.clear();
  setCount(AnalysisAxis::CausingDevice, 51, 3);
  const RecordingSurface s = draw();
  ASSERT_EQ(s.pageCount(), 2);

  // Page 1 closed with its frame around lines 1 to 48, four dots, and the
  // divider at x 390.
  const auto boxes = s.all(Op::Box);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].page, 0);
  EXPECT_EQ(std::make_tuple(boxes[0].x1, boxes[0].y1, boxes[0].x2, boxes[0].y2),
            std::make_tuple(130.0, LineY(1) - 10, 1950.0, LineY(49) - 10));
  EXPECT_EQ(boxes[0].lineWidth, 4);
  bool divider = false;
  for (const auto& e : s.all(Op::Line, 0))
    if (e.x1 == 390 && e.x2 == 390 && e.y1 == LineY(1) - 10 && e.y2 == LineY(49) - 10 && e.lineWidth == 1)
      divider = true;
  EXPECT_TRUE(divider);

  // Page 2: the heading again, the devices from line 1 with their caption
  // on row 13, then the body sites; the last frame closes after them.
  EXPECT_TRUE(HasText(s, 1, u"トンリクスレポート集計書"_s, 400, 80, 12));
  EXPECT_TRUE(HasText(s, 1, u"全ての報告書"_s, 400, 250, 10));
  EXPECT_TRUE(HasText(s, 1, u"1.器材1"_s, 400, LineY(1), 8));
  EXPECT_TRUE(HasText(s, 1, u"51.器材51"_s, 400, LineY(26), 8));
  EXPECT_TRUE(HasText(s, 1, u"3件"_s, 1040 - 13, LineY(26), 8));
  EXPECT_TRUE(HasText(s, 1, result.captions[4], 150, LineY(14), 8));
  EXPECT_EQ(boxes[1].page, 1);
  EXPECT_EQ(std::make_tuple(boxes[1].y1, boxes[1].y2), std::make_tuple(LineY(1) - 10, LineY(27 + 17) - 10));
  // Nothing of page 1 passes its last line.
  for (const auto& e : s.all(Op::Text, 0)) EXPECT_LE(e.y1, LineY(68)) << e.text.toStdString();
}

TEST_F(SummarySheetTest, BodySiteSectionInSeventeenRowsOfFour) {
  for (int list = 0; list < kCodeListAxisCount; ++list) lists[static_cast<std::size_t>(list)].entries.clear();
  setCount(AnalysisAxis::BodySite, 65, 2);
  const RecordingSurface s = draw();
  ASSERT_EQ(s.pageCount(), 1);
  // Lines 19 to 35.
  EXPECT_TRUE(HasText(s, 0, u"1.右手親指外側"_s, 400, LineY(19), 8));
  EXPECT_TRUE(HasText(s, 0, u"4.右手薬指外側"_s, 400 + 3 * 387.5, LineY(19), 8));
  EXPECT_TRUE(HasText(s, 0, u"29."_s, 400, LineY(26), 8));
  EXPECT_TRUE(HasText(s, 0, u"65.右腰部後面"_s, 400, LineY(35), 8));
  EXPECT_TRUE(HasText(s, 0, u"2件"_s, 720 - 13, LineY(35), 8));
  EXPECT_TRUE(HasText(s, 0, result.captions[16], 150, LineY(19 + 8), 8));
  const auto boxes = s.all(Op::Box);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].y2, LineY(36) - 10);
}

TEST_F(SummarySheetTest, SectionLongerThanThePageRoomGoesOnOverFurtherPages) {
  // Restrictions long enough for 20 heading lines leave 48 body lines a
  // page; a full list of 101 occupations takes 51 rows.
  for (const AnalysisAxis axis :
       {AnalysisAxis::Hour, AnalysisAxis::Month, AnalysisAxis::Experience, AnalysisAxis::DepartmentExperience,
        AnalysisAxis::Infection, AnalysisAxis::Emergency, AnalysisAxis::BodySite})
    restrict(axis, 1, QString(118, u'長'));
  ASSERT_GE(result.conditionsText().size(), 19 * 45 + 1);
  ASSERT_LE(result.conditionsText().size(), 20 * 45);
  for (int list = 1; list < kCodeListAxisCount; ++list) lists[static_cast<std::size_t>(list)].entries.clear();
  fillList(kOccupations, 101);
  const RecordingSurface s = draw();
  ASSERT_EQ(s.pageCount(), 2);
  QStringList labels;
  for (const auto& e : s.all(Op::Text)) {
    EXPECT_LE(e.y1, LineY(68)) << e.text.toStdString();
    if (e.x1 == 400 && e.y1 >= LineY(20)) labels << e.text;
  }
  EXPECT_EQ(labels.size(), 51);  // the left column: 1, 3, ... 101
  EXPECT_TRUE(HasText(s, 0, u"1.器材1"_s, 400, LineY(20), 8));
  EXPECT_TRUE(HasText(s, 0, u"96.器材96"_s, 400 + 775, LineY(67), 8));
  EXPECT_TRUE(HasText(s, 1, u"97.器材97"_s, 400, LineY(20), 8));
  EXPECT_TRUE(HasText(s, 1, u"101.器材101"_s, 400, LineY(22), 8));
  // Each page's part has its caption and its frame.
  EXPECT_EQ(s.all(Op::Box).size(), 2u);
  EXPECT_TRUE(HasText(s, 0, u"職種"_s, 150, LineY(20 + 24), 8));
  EXPECT_TRUE(HasText(s, 1, u"職種"_s, 150, LineY(21), 8));
}

TEST_F(SummarySheetTest, EveryClosedPageIsReportedAndAStopEndsTheDrawing) {
  fillList(kOccupations, 60);
  fillList(kDevices, 51);
  std::vector<int> reported;
  RecordingSurface whole;
  EXPECT_TRUE(DrawSummarySheet(whole, result, lists, sites, [&](int pages) {
    reported.push_back(pages);
    return true;
  }));
  ASSERT_GE(whole.pageCount(), 2);
  std::vector<int> expected(static_cast<std::size_t>(whole.pageCount()));
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(reported, expected);

  RecordingSurface stopped;
  EXPECT_FALSE(DrawSummarySheet(stopped, result, lists, sites, [](int pages) { return pages < 1; }));
  EXPECT_EQ(stopped.pageCount(), 1);
  EXPECT_EQ(stopped.all(Op::NewPage).size(), 0u);
}

// The command: portrait set by the program, no orientation message, the
// printer dialog, the sheet; Cancel silent, a failing printer reported.
TEST_F(SummarySheetTest, PrintCommandCancelFailureAndStop) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"sheet.pdf"_s);
  testing::ScriptedPrompts prompts;

  prompts.answerPrinterCancel();
  EXPECT_EQ(PrintSummarySheet(prompts, result, lists, sites), PrintResult::Cancelled);
  EXPECT_EQ(prompts.shown().size(), 1u);
  EXPECT_FALSE(QFile::exists(path));

  prompts.clear();
  prompts.answerPrinterPdf(path);
  EXPECT_EQ(PrintSummarySheet(prompts, result, lists, sites), PrintResult::Printed);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.shown()[0].kind, testing::ScriptedPrompts::Kind::Printer);
  EXPECT_FALSE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(draw().pageCount()));
  EXPECT_EQ(prompts.printPagesDone(), static_cast<int>(pages.size()));
  EXPECT_TRUE(pages[0].find(u"トンリクスレポート集計書"_s));

  prompts.clear();
  prompts.answerPrinterFailing().answer(PromptAnswer::Ok);
  EXPECT_EQ(PrintSummarySheet(prompts, result, lists, sites), PrintResult::Failed);
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[1].text, u"プリンターが接続されていません"_s);
  EXPECT_EQ(prompts.shown()[1].title, QString());

  // Stopped by the user after the first of two pages: no file, no message.
  fillList(kOccupations, 60);
  ASSERT_GE(draw().pageCount(), 2);
  prompts.clear();
  const QString stoppedPath = dir.filePath(u"stopped.pdf"_s);
  prompts.answerPrinterPdf(stoppedPath).stopPrintAfterPages(1);
  EXPECT_EQ(PrintSummarySheet(prompts, result, lists, sites), PrintResult::Stopped);
  EXPECT_EQ(prompts.shown().size(), 1u);
  EXPECT_FALSE(QFile::exists(stoppedPath));
}

// The sheet printed to a PDF file and read back.
TEST_F(SummarySheetTest, PdfPagesAndPlaces) {
  fillList(kOccupations, 60);
  // Three-digit counts everywhere, as a year of a large hospital gives.
  for (int axis = 0; axis < kAxisCount; ++axis)
    for (int n = 1; n <= 101; ++n) setCount(AxisAt(axis), n, 100 + (axis * 37 + n * 11) % 900);
  QTemporaryDir dir;
  const QString path = dir.filePath(u"summary.pdf"_s);
  QRect paint;
  {
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    paint = writer.pageLayout().paintRectPoints();
    PainterSurface surface(&writer);
    DrawSummarySheet(surface, result, lists, sites);
    EXPECT_TRUE(surface.EndDocument());
  }
  const auto pages = testing::ReadPdfPages(path);
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(draw().pageCount()));
  ASSERT_GE(pages.size(), 2u);
  for (const auto& page : pages) {
    EXPECT_NEAR(page.width, 595.3, 1);
    EXPECT_NEAR(page.height, 841.9, 1);
  }
  const auto at = [&](int page, const QString& word, double x, double y) {
    const auto w = pages[static_cast<std::size_t>(page)].find(word);
    ASSERT_TRUE(w) << word.toStdString();
    EXPECT_NEAR((w->xMin - paint.left()) * 2000 / paint.width(), x, 5) << word.toStdString();
    EXPECT_NEAR((w->yMin - paint.top()) * 4500 / paint.height(), y, 5) << word.toStdString();
  };
  at(0, u"トンリクスレポート集計書"_s, 400, 80);
  at(0, u"抽出条件"_s, 200, 250);
  at(0, u"全ての報告書"_s, 400, 250);
  at(0, u"時刻"_s, 150, LineY(4));
  at(1, u"トンリクスレポート集計書"_s, 400, 80);

  // No word runs into another: labels, counts, captions, heading.
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const auto& words = pages[n].words;
    for (std::size_t i = 0; i < words.size(); ++i)
      for (std::size_t j = i + 1; j < words.size(); ++j) {
        const auto &a = words[i], &b = words[j];
        const bool apart =
            a.xMax <= b.xMin + 0.5 || b.xMax <= a.xMin + 0.5 || a.yMax <= b.yMin + 0.5 || b.yMax <= a.yMin + 0.5;
        EXPECT_TRUE(apart) << "page " << n + 1 << ": \"" << a.text.toStdString() << "\" over \"" << b.text.toStdString()
                           << "\"";
      }
  }
}

}  // namespace
}  // namespace orvanta
