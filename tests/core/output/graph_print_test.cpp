#include "core/output/graph_print.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/output/recording_surface.h"
#include "core/platform/print_output.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;

// A computation of 2023-06-16 to 2024-06-15 with 57 matching reports and,
// unless told otherwise, 緊急処置時 restricted to "はい".
SummaryResult Result(const QString& condition = u"はい"_s) {
  SummaryResult r;
  r.period = AnalysisPeriod{{2023, 6, 16}, {2024, 6, 15}};
  r.matching = 57;
  r.captions = SummaryCaptions();
  if (!condition.isEmpty()) {
    r.filter.selection[AxisNumber(AnalysisAxis::Emergency)] = 1;
    r.selectedTexts[AxisNumber(AnalysisAxis::Emergency)] = condition;
  }
  return r;
}

GraphSeries Series(std::vector<std::int32_t> counts, AnalysisAxis axis = AnalysisAxis::BodySite) {
  GraphSeries s;
  s.axis = axis;
  s.caption = SummaryCaption(axis);
  s.codeListLabels = IsCodeListAxis(axis);
  for (std::size_t k = 0; k < counts.size(); ++k) s.labels << u"L%1"_s.arg(k + 1);
  s.counts = std::move(counts);
  return s;
}

std::vector<RecordingSurface::Entry> TextsStartingWith(const RecordingSurface& s, QChar first, int page) {
  std::vector<RecordingSurface::Entry> out;
  for (const auto& e : s.all(Op::Text, page))
    if (e.text.startsWith(first)) out.push_back(e);
  return out;
}

TEST(GraphPrintHeading, PeriodLineAndConditionPieces) {
  EXPECT_EQ(GraphPrintPeriodLine(Result()), u"2023年6月16日～2024年6月15日          該当件数57"_s);
  EXPECT_EQ(ConditionLines(u"全ての報告書"_s), QStringList{u"全ての報告書"_s});
  const QString hundred(100, QChar(u'条'));
  const QStringList pieces = ConditionLines(hundred);
  ASSERT_EQ(pieces.size(), 3);
  EXPECT_EQ(pieces[0].size(), 45);
  EXPECT_EQ(pieces[1].size(), 45);
  EXPECT_EQ(pieces[2].size(), 10);
  EXPECT_EQ(ConditionLines(QString(45, QChar(u'条'))).size(), 1);
}

TEST(BarGraphPrint, SixtyFiveSitesFillThirtyThreeRowsAPageUnderARepeatedHeading) {
  std::vector<std::int32_t> counts(65);
  for (int k = 0; k < 65; ++k) counts[static_cast<std::size_t>(k)] = k % 7 + 1;
  RecordingSurface page;
  DrawBarGraphPrint(page, Series(counts), Result());
  EXPECT_DOUBLE_EQ(page.ScaleWidth(), 2200);
  EXPECT_DOUBLE_EQ(page.ScaleHeight(), 3900);
  ASSERT_EQ(page.pageCount(), 2);
  for (int p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    const auto title = page.findText(u"トンリクスレポート"_s, p);
    ASSERT_TRUE(title);
    EXPECT_DOUBLE_EQ(title->x1, 200);
    EXPECT_DOUBLE_EQ(title->y1, 80);
    EXPECT_DOUBLE_EQ(title->fontSize, 12);
    const auto period = page.findText(GraphPrintPeriodLine(Result()), p);
    ASSERT_TRUE(period);
    EXPECT_DOUBLE_EQ(period->y1, 170);
    EXPECT_DOUBLE_EQ(period->fontSize, 12);
    const auto caption = page.findText(u"【針刺し・切創部位】"_s, p);
    ASSERT_TRUE(caption);
    EXPECT_DOUBLE_EQ(caption->y1, 250);
    EXPECT_DOUBLE_EQ(caption->fontSize, 10);
    const auto conditions = page.findText(u"緊急処置時  はい; "_s, p);
    ASSERT_TRUE(conditions);
    EXPECT_DOUBLE_EQ(conditions->x1, 400);
    EXPECT_DOUBLE_EQ(conditions->y1, 330);
    EXPECT_TRUE(page.findText(u"抽出条件;"_s, p));
  }
  const auto first = TextsStartingWith(page, u'L', 0);
  const auto second = TextsStartingWith(page, u'L', 1);
  ASSERT_EQ(first.size(), 33u);
  ASSERT_EQ(second.size(), 32u);
  EXPECT_DOUBLE_EQ(first.front().y1, 520);  // row 1
  EXPECT_DOUBLE_EQ(first.back().y1, 3720);  // row 33
  EXPECT_EQ(second.front().text, u"L34"_s);
  EXPECT_DOUBLE_EQ(second.front().y1, 520);  // row 1 again

  // Bars from x = 600; the largest count (7) reaches x = 2000.
  const auto bars = page.all(Op::FilledBox, 0);
  ASSERT_EQ(bars.size(), 33u);
  EXPECT_DOUBLE_EQ(bars[0].x1, 600);
  EXPECT_DOUBLE_EQ(bars[0].y1, 500);
  EXPECT_DOUBLE_EQ(bars[0].x2, 800);
  EXPECT_DOUBLE_EQ(bars[0].y2, 560);
  EXPECT_DOUBLE_EQ(bars[6].x2, 2000);
  EXPECT_EQ(bars[6].color, PaletteColor(12));
  const auto count = page.findText(u" 7"_s, 0);
  ASSERT_TRUE(count);
  EXPECT_DOUBLE_EQ(count->x1, 2000);
  EXPECT_DOUBLE_EQ(count->y1, 1115);  // row 7

  // Each page's frame closes after its last row, with its scale values.
  const auto frames0 = page.all(Op::Box, 0);
  ASSERT_EQ(frames0.size(), 1u);
  EXPECT_DOUBLE_EQ(frames0[0].y1, 480);
  EXPECT_DOUBLE_EQ(frames0[0].y2, 3810);
  EXPECT_EQ(frames0[0].color, PaletteColor(9));
  EXPECT_EQ(frames0[0].lineWidth, 3);
  const auto frames1 = page.all(Op::Box, 1);
  ASSERT_EQ(frames1.size(), 1u);
  EXPECT_DOUBLE_EQ(frames1[0].y2, 3710);
  const auto texts1 = page.all(Op::Text, 1);
  const std::vector<RecordingSurface::Entry> scale(texts1.end() - 6, texts1.end());
  const double xs[] = {1980, 580, 1280};
  const QString values[] = {u" 7"_s, u" 0"_s, u" 3.5"_s};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(scale[i].text, values[i % 3]);
    EXPECT_DOUBLE_EQ(scale[i].x1, xs[i % 3]);
    EXPECT_DOUBLE_EQ(scale[i].y1, i < 3 ? 3710 : 400);
    EXPECT_DOUBLE_EQ(scale[i].fontSize, 10);
  }
}

TEST(BarGraphPrint, NothingCountedPrintsHeadingAndFrame) {
  RecordingSurface page;
  DrawBarGraphPrint(page, Series({0, 0, 0}), Result(QString()));
  EXPECT_EQ(page.pageCount(), 1);
  EXPECT_TRUE(page.all(Op::FilledBox).empty());
  EXPECT_EQ(page.texts(),
            (QStringList{u"トンリクスレポート"_s, GraphPrintPeriodLine(Result()), u"【針刺し・切創部位】"_s,
                         u"抽出条件;"_s, u"全ての報告書"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s}));
  const auto frame = page.all(Op::Box);
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_DOUBLE_EQ(frame[0].y1, 480);
  EXPECT_DOUBLE_EQ(frame[0].y2, 510);
}

TEST(BarGraphPrint, LongConditionsMoveThePlotDown) {
  // 緊急処置時, two blanks, the entry and "; ": 100 characters in all.
  const QString entry(100 - 5 - 2 - 2, QChar(u'条'));
  const SummaryResult result = Result(entry);
  ASSERT_EQ(result.conditionsText().size(), 100);
  RecordingSurface page;
  DrawBarGraphPrint(page, Series({2, 1}), result);
  const auto pieces = TextsStartingWith(page, u'緊', 0);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_DOUBLE_EQ(pieces[0].y1, 330);
  const auto rest = TextsStartingWith(page, u'条', 0);
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_DOUBLE_EQ(rest[0].y1, 390);
  EXPECT_DOUBLE_EQ(rest[1].y1, 450);
  EXPECT_EQ(rest[1].text.size(), 10);
  // Two extra lines: the rows start two lower, the frame's top too.
  const auto labels = TextsStartingWith(page, u'L', 0);
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_DOUBLE_EQ(labels[0].y1, 720);
  EXPECT_DOUBLE_EQ(page.all(Op::Box)[0].y1, 680);
  EXPECT_DOUBLE_EQ(page.all(Op::Box)[0].y2, 910);
}

// Labels fit their column and counts keep clear of the frame's line.
TEST(BarGraphPrint, LabelsAndCountsKeepClearOfTheFrame) {
  GraphSeries s = Series({100, 98, 50}, AnalysisAxis::CausingDevice);
  s.labels[0] = QString(16, QChar(u'幅'));
  s.labels[1] = QString(13, QChar(u'幅'));
  s.labels[2] = QString(40, QChar(u'長'));  // wrapped: size 6, three lines
  RecordingSurface page;
  DrawBarGraphPrint(page, s, Result());
  const auto wide = page.findText(s.labels[0]);
  ASSERT_TRUE(wide);
  EXPECT_DOUBLE_EQ(wide->fontSize, 7.5);
  EXPECT_DOUBLE_EQ(wide->y1, 520);
  EXPECT_DOUBLE_EQ(page.findText(s.labels[1])->fontSize, 9);
  const auto wrapped = TextsStartingWith(page, u'長', 0);
  ASSERT_EQ(wrapped.size(), 3u);
  for (int j = 0; j < 3; ++j) {
    EXPECT_DOUBLE_EQ(wrapped[j].y1, 300 + 390 + 32 * j);
    EXPECT_DOUBLE_EQ(wrapped[j].fontSize, 6);
  }
  const auto crossing = page.findText(u" 98"_s);
  ASSERT_TRUE(crossing);
  EXPECT_DOUBLE_EQ(crossing->x1, 2000);  // its bar ends at 1972
  EXPECT_DOUBLE_EQ(page.findText(u" 50"_s)->x1, 1300);
}

TEST(LineGraphPrint, TheLineStartsAfreshOnEachPage) {
  std::vector<std::int32_t> counts(40, 2);
  counts[0] = 4;
  RecordingSurface page;
  DrawLineGraphPrint(page, Series(counts), Result());
  ASSERT_EQ(page.pageCount(), 2);
  EXPECT_TRUE(page.all(Op::FilledBox).empty());
  const auto red = [&](int p) {
    std::vector<RecordingSurface::Entry> out;
    for (const auto& e : page.all(Op::Line, p))
      if (e.color == PaletteColor(12)) out.push_back(e);
    return out;
  };
  const auto first = red(0);
  const auto second = red(1);
  ASSERT_EQ(first.size(), 32u);  // 33 points
  ASSERT_EQ(second.size(), 6u);  // 7 points, none joined to the first page
  EXPECT_DOUBLE_EQ(first[0].x1, 2000);
  EXPECT_DOUBLE_EQ(first[0].y1, 500);
  EXPECT_DOUBLE_EQ(first[0].x2, 1300);
  EXPECT_DOUBLE_EQ(first[0].y2, 600);
  EXPECT_DOUBLE_EQ(second[0].y1, 500);
  EXPECT_EQ(TextsStartingWith(page, u'L', 1).size(), 7u);
}

TEST(PieGraphPrint, SectorsHeadingAndLegendThreeToARow) {
  RecordingSurface page;
  DrawPieGraphPrint(page, Series({1, 2, 1, 3}, AnalysisAxis::Hour), Result());
  const auto arcs = page.all(Op::Arc);
  ASSERT_EQ(arcs.size(), 4u);
  EXPECT_DOUBLE_EQ(arcs[0].x1, 1100);
  EXPECT_DOUBLE_EQ(arcs[0].y1, 1000);
  EXPECT_DOUBLE_EQ(arcs[0].radius, 600);
  EXPECT_DOUBLE_EQ(arcs[0].startAngle, 1e-10);
  EXPECT_NEAR(arcs[0].endAngle, 1e-10 + 3.0 / 7 * 2 * 3.1415, 1e-12);
  EXPECT_EQ(arcs[0].fillColor, PaletteColor(9));
  EXPECT_EQ(arcs[3].fillColor, PaletteColor(12));

  const auto at = [&](const QString& text, double x, double y, double size) {
    const auto e = page.findText(text);
    ASSERT_TRUE(e) << text.toStdString();
    EXPECT_DOUBLE_EQ(e->x1, x) << text.toStdString();
    EXPECT_DOUBLE_EQ(e->y1, y) << text.toStdString();
    EXPECT_DOUBLE_EQ(e->fontSize, size) << text.toStdString();
  };
  at(u"トンリクスレポート"_s, 200, 1980, 12);
  at(GraphPrintPeriodLine(Result()), 400, 2070, 12);
  at(u"【発生時刻】"_s, 200, 2150, 10);
  at(u"抽出条件;"_s, 200, 2230, 10);
  at(u"緊急処置時  はい; "_s, 400, 2230, 10);
  // Legend from line 27: three entries, then the next row.
  at(u"L4; 3件"_s, 100, 80 * 27 + 335, 9);
  at(u"L3; 1件"_s, 800, 80 * 27 + 335, 9);
  at(u"L2; 2件"_s, 1500, 80 * 27 + 335, 9);
  at(u"L1; 1件"_s, 100, 80 * 28 + 335, 9);
  const auto boxes = page.all(Op::FilledBox);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_DOUBLE_EQ(boxes[1].x1, 720);
  EXPECT_DOUBLE_EQ(boxes[1].y1, 80 * 27 + 330);
  EXPECT_DOUBLE_EQ(boxes[1].x2, 780);
  EXPECT_DOUBLE_EQ(boxes[1].y2, 80 * 27 + 360);
  EXPECT_EQ(boxes[1].color, PaletteColor(10));
}

TEST(PieGraphPrint, NothingCountedPrintsTheHeadingOnly) {
  RecordingSurface page;
  DrawPieGraphPrint(page, Series({0, 0}), Result(QString()));
  EXPECT_TRUE(page.all(Op::Arc).empty());
  EXPECT_TRUE(page.all(Op::FilledBox).empty());
  EXPECT_EQ(page.texts(), (QStringList{u"トンリクスレポート"_s, GraphPrintPeriodLine(Result()),
                                       u"【針刺し・切創部位】"_s, u"抽出条件;"_s, u"全ての報告書"_s}));
  EXPECT_EQ(page.pageCount(), 1);
}

TEST(PieGraphPrint, LegendBreaksSoThatNoEntryFallsOffThePage) {
  RecordingSurface page;
  DrawPieGraphPrint(page, Series(std::vector<std::int32_t>(65, 1)), Result());
  ASSERT_EQ(page.pageCount(), 2);
  int entries = 0;
  for (int p = 0; p < 2; ++p)
    for (const auto& e : page.all(Op::Text, p)) {
      if (!e.text.startsWith(u'L')) continue;
      ++entries;
      EXPECT_LE(e.y1 + 45, 3900) << e.text.toStdString();  // a 9-point line inside the page
    }
  EXPECT_EQ(entries, 65);
  // The second page starts at line 1, without a heading.
  const auto second = page.all(Op::Text, 1);
  ASSERT_FALSE(second.empty());
  EXPECT_DOUBLE_EQ(second.front().y1, 80 + 335);
  EXPECT_FALSE(page.findText(u"トンリクスレポート"_s, 1));
}

TEST(GraphPrintJob, CancelFailureAndAnItemWithoutCategories) {
  const SummaryResult result = Result();
  testing::ScriptedPrompts prompts;
  // No categories: no dialog.
  PrintGraph(prompts, GraphKind::Bar, Series({}), result);
  EXPECT_TRUE(prompts.shown().empty());

  prompts.answerPrinterCancel();
  PrintGraph(prompts, GraphKind::Bar, Series({1}), result);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_FALSE(prompts.lastPrinterLandscape);

  for (const auto& [kind, message] : {std::pair{GraphKind::Bar, u"プリンターが接続されていません。"_s},
                                      std::pair{GraphKind::Line, u"プリンターが接続されていません。"_s},
                                      std::pair{GraphKind::Pie, u"プリンターが接続されていません"_s}}) {
    prompts.clear();
    prompts.answerPrinterFailing().answer(PromptAnswer::Ok);
    PrintGraph(prompts, kind, Series({1, 2}), result);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.last().text, message);
    EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  }
}

// A real PDF of each kind, read back with pdftotext: page count, A4
// portrait, and texts where the page units put them.
TEST(GraphPrintJob, PdfPagesOfEachKind) {
  QTemporaryDir dir;
  const SummaryResult result = Result();
  std::vector<std::int32_t> counts(65);
  for (int k = 0; k < 65; ++k) counts[static_cast<std::size_t>(k)] = (k * 5) % 11;

  // Where the page units land on the paper: the printable area of the A4
  // portrait page the PDF is printed on, in points.
  const QRectF area = PdfFileOutput::A4Layout(false).paintRectPoints();
  const auto pointX = [&](double x) { return area.left() + x / 2200 * area.width(); };
  const auto pointY = [&](double y) { return area.top() + y / 3900 * area.height(); };

  struct Placed {
    int page;
    QString word;
    double x, y;  // page units of its top-left corner
  };
  struct Case {
    GraphKind kind;
    const char* file;
    int pages;
    std::vector<Placed> words;
  };
  // clang-format off
  const Case cases[] = {
      {GraphKind::Bar, "bar.pdf", 2,
       {{0, u"トンリクスレポート"_s, 200, 80}, {1, u"トンリクスレポート"_s, 200, 80}, {0, u"L1"_s, 100, 520},
        {1, u"L34"_s, 100, 520}}},
      {GraphKind::Line, "line.pdf", 2, {{0, u"抽出条件;"_s, 200, 330}, {1, u"L65"_s, 100, 100 * 32 + 420}}},
      {GraphKind::Pie, "pie.pdf", 2, {{0, u"トンリクスレポート"_s, 200, 1980}, {0, u"【針刺し・切創部位】"_s, 200, 2150}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    testing::ScriptedPrompts prompts;
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    prompts.answerPrinterPdf(path);
    PrintGraph(prompts, c.kind, Series(counts), result);
    EXPECT_EQ(prompts.shown().size(), 1u);  // the dialog, no message
    EXPECT_EQ(prompts.printPagesDone(), c.pages);

    const std::vector<testing::PdfPage> pages = testing::ReadPdfPages(path);
    ASSERT_EQ(static_cast<int>(pages.size()), c.pages);
    for (const testing::PdfPage& page : pages) {
      EXPECT_NEAR(page.width, 595.3, 1);  // A4 portrait
      EXPECT_NEAR(page.height, 841.9, 1);
    }
    for (const Placed& p : c.words) {
      SCOPED_TRACE(p.word.toStdString());
      const auto word = pages[static_cast<std::size_t>(p.page)].find(p.word);
      ASSERT_TRUE(word) << pages[static_cast<std::size_t>(p.page)].text().toStdString();
      EXPECT_NEAR(word->xMin, pointX(p.x), 3);
      EXPECT_NEAR(word->yMin, pointY(p.y), 4);
    }
  }
}

// A print stopped by the user after its first page leaves no file behind
// and says nothing.
TEST(GraphPrintJob, StoppedAfterTheFirstPage) {
  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  const QString path = dir.filePath(u"stopped.pdf"_s);
  prompts.answerPrinterPdf(path).stopPrintAfterPages(1);
  PrintGraph(prompts, GraphKind::Bar, Series(std::vector<std::int32_t>(65, 3)), Result());
  EXPECT_EQ(prompts.printPagesDone(), 1);
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(prompts.shown().size(), 1u);
}

}  // namespace
}  // namespace orvanta
