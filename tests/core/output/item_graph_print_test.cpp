#include "core/output/item_graph_print.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

#include "core/output/recording_surface.h"
#include "support/item_graph_results.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using testing::MadeItemGraphResult;
using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;
using Entry = RecordingSurface::Entry;

ItemGraphHeading Heading(std::vector<std::pair<QString, QString>> conditions = {}) {
  return {u"針刺し･切創部位"_s, {{2003, 6, 16}, {2004, 6, 15}}, std::move(conditions)};
}

const QString kHeaderLine = u"針刺し･切創部位 2003年 6月 16日～ 2004年 6月 15日"_s;

bool HasLine(const RecordingSurface& s, int page, double x1, double y1, double x2, double y2) {
  const auto lines = s.all(Op::Line, page);
  return std::any_of(lines.begin(), lines.end(),
                     [&](const Entry& e) { return e.x1 == x1 && e.y1 == y1 && e.x2 == x2 && e.y2 == y2; });
}

bool HasText(const RecordingSurface& s, int page, const QString& text, double x, double y, double points = 0) {
  const auto texts = s.all(Op::Text, page);
  return std::any_of(texts.begin(), texts.end(), [&](const Entry& e) {
    return e.text == text && e.x1 == x && e.y1 == y && (points == 0 || e.fontSize == points);
  });
}

TEST(ItemGraphPrint, WithoutFiltersAPageHolds33CategoriesUnderAFrameAt250) {
  RecordingSurface s;
  std::vector<std::int64_t> counts(65, 1);
  counts[0] = 4;
  ASSERT_TRUE(DrawItemGraphPages(s, MadeItemGraphResult(AnalysisAxis::BodySite, counts), Heading()));
  EXPECT_DOUBLE_EQ(s.ScaleWidth(), 2900);
  EXPECT_DOUBLE_EQ(s.ScaleHeight(), 4000);
  ASSERT_EQ(s.pageCount(), 2);
  EXPECT_EQ(s.all(Op::FilledBox, 0).size(), 33u);
  EXPECT_EQ(s.all(Op::FilledBox, 1).size(), 32u);
  EXPECT_FALSE(s.ended());  // the print job ends the document

  // Page 1: the header in 11 point, no conditions, the first bar from 260
  // to 340, its label in 9 point at (120, 280), the frame from 250 down to
  // the last line's bottom at 3580.
  EXPECT_TRUE(HasText(s, 0, kHeaderLine, 500, 80, 11));
  EXPECT_FALSE(s.findText(u"抽出条件"_s));
  const Entry first = s.all(Op::FilledBox, 0).front();
  EXPECT_DOUBLE_EQ(first.y1, 260);
  EXPECT_DOUBLE_EQ(first.y2, 340);
  EXPECT_EQ(first.color, QColor(255, 0, 0));
  EXPECT_TRUE(HasText(s, 0, u"分類1"_s, 120, 280, 9));
  EXPECT_TRUE(HasText(s, 0, u"分類33"_s, 120, 3480, 9));
  EXPECT_TRUE(HasLine(s, 0, 100, 250, 2800, 250));
  EXPECT_TRUE(HasLine(s, 0, 100, 3580, 2800, 3580));
  EXPECT_TRUE(HasLine(s, 0, 100, 250, 100, 3580));
  EXPECT_TRUE(HasLine(s, 0, 2800, 250, 2800, 3580));
  EXPECT_TRUE(HasLine(s, 0, 500, 250, 500, 3580));  // the bar axis
  // Page 2 starts again at T = 200 with the header; its frame ends under
  // its 32nd line.
  EXPECT_TRUE(HasText(s, 1, kHeaderLine, 500, 80, 11));
  EXPECT_TRUE(HasText(s, 1, u"分類34"_s, 120, 280, 9));
  EXPECT_TRUE(HasLine(s, 1, 100, 250, 2800, 250));
  EXPECT_TRUE(HasLine(s, 1, 100, 3480, 2800, 3480));
  // The scale on every page: 0 at the bar origin, 2 and 4, above and under
  // the frame.
  for (int page : {0, 1}) {
    const double bottom = page == 0 ? 3580 : 3480;
    for (const double y : {200.0, bottom + 50}) {
      EXPECT_TRUE(HasText(s, page, u" 4"_s, 2450, y, 9)) << page << " " << y;
      EXPECT_TRUE(HasText(s, page, u" 2"_s, 1450, y, 9)) << page << " " << y;
      EXPECT_TRUE(HasText(s, page, u" 0"_s, 450, y, 9)) << page << " " << y;
    }
  }
}

TEST(ItemGraphPrint, ConditionsStandOnTheFirstPageAndLaterPagesReferToThem) {
  RecordingSurface s;
  ASSERT_TRUE(DrawItemGraphPages(s, MadeItemGraphResult(AnalysisAxis::BodySite, std::vector<std::int64_t>(65, 2)),
                                 Heading({{u"職種"_s, u"医師"_s}, {u"緊急処置時"_s, u"はい"_s}})));
  ASSERT_EQ(s.pageCount(), 3);  // 29 + 33 + 3
  EXPECT_EQ(s.all(Op::FilledBox, 0).size(), 29u);
  EXPECT_EQ(s.all(Op::FilledBox, 1).size(), 33u);
  EXPECT_EQ(s.all(Op::FilledBox, 2).size(), 3u);

  EXPECT_TRUE(HasText(s, 0, u"抽出条件"_s, 80, 170, 11));
  EXPECT_TRUE(HasText(s, 0, u"職種"_s, 120, 270, 11));
  EXPECT_TRUE(HasText(s, 0, u"医師"_s, 140, 370, 11));
  EXPECT_TRUE(HasText(s, 0, u"緊急処置時"_s, 120, 470, 11));
  EXPECT_TRUE(HasText(s, 0, u"はい"_s, 140, 570, 11));
  // T = 600: the frame's top at 650, the first bar from 660 to 740.
  EXPECT_TRUE(HasLine(s, 0, 100, 650, 2800, 650));
  EXPECT_DOUBLE_EQ(s.all(Op::FilledBox, 0).front().y1, 660);
  EXPECT_TRUE(HasText(s, 0, u"分類29"_s, 120, 3480, 9));
  for (int page : {1, 2}) {
    EXPECT_TRUE(HasText(s, page, u"抽出条件は1枚目に記載"_s, 80, 170, 9)) << page;
    EXPECT_FALSE(s.findText(u"職種"_s, page)) << page;
    EXPECT_TRUE(HasText(s, page, kHeaderLine, 500, 80, 11)) << page;
    EXPECT_TRUE(HasLine(s, page, 100, 250, 2800, 250)) << page;
    EXPECT_DOUBLE_EQ(s.all(Op::FilledBox, page).front().y1, 260);
  }
  EXPECT_FALSE(s.findText(u"抽出条件"_s, 1));
}

TEST(ItemGraphPrint, FirstPageFilledByConditionsHoldsNoBarsAndNoFrame) {
  std::vector<std::pair<QString, QString>> seventeen;
  for (int k = 0; k < 17; ++k) seventeen.emplace_back(u"項目%1"_s.arg(k), u"分類"_s);
  RecordingSurface s;
  ASSERT_TRUE(DrawItemGraphPages(s, MadeItemGraphResult(AnalysisAxis::Emergency, {1, 2}), Heading(seventeen)));
  ASSERT_EQ(s.pageCount(), 2);
  EXPECT_TRUE(HasText(s, 0, u"項目16"_s, 120, 3470, 11));  // condition line 33
  EXPECT_TRUE(HasText(s, 0, u"分類"_s, 140, 3570, 11));    // condition line 34
  EXPECT_TRUE(s.all(Op::FilledBox, 0).empty());
  EXPECT_TRUE(s.all(Op::Line, 0).empty());
  EXPECT_EQ(s.all(Op::FilledBox, 1).size(), 2u);
  EXPECT_DOUBLE_EQ(s.all(Op::FilledBox, 1).front().y1, 260);
  EXPECT_TRUE(HasText(s, 1, u"抽出条件は1枚目に記載"_s, 80, 170, 9));
}

TEST(ItemGraphPrint, TheLongestLabelSetsTheBarOriginAndLabelsWrapByLength) {
  struct Origin {
    int longest;
    int origin;
  };
  for (const Origin o : {Origin{0, 500}, Origin{8, 500}, Origin{9, 500}, Origin{12, 650}, Origin{19, 1000},
                         Origin{20, 1080}, Origin{60, 1080}}) {
    EXPECT_EQ(ItemGraphBarOrigin({u"短"_s, QString(o.longest, u'字')}), o.origin) << o.longest;
  }

  const QString twenty = u"一二三四五六七八九十一二三四五六七八九十"_s;
  QString sixty;
  for (int i = 0; i < 60; ++i) sixty += QChar(u'ア' + i % 40);
  QString thirtyEight;
  for (int i = 0; i < 38; ++i) thirtyEight += QChar(u'あ' + i);
  RecordingSurface s;
  ASSERT_TRUE(DrawItemGraphPages(
      s, MadeItemGraphResult(AnalysisAxis::Occupation, {1, 2, 3, 4}, {u"医師"_s, twenty, sixty, thirtyEight}),
      Heading()));
  // Origin 1080: every bar starts there.
  for (const Entry& bar : s.all(Op::FilledBox)) EXPECT_DOUBLE_EQ(bar.x1, 1080);
  EXPECT_TRUE(HasLine(s, 0, 1080, 250, 1080, 680));
  // 20 characters: 8 point, 18 and 2 on line 2 (lineY = 400).
  EXPECT_TRUE(HasText(s, 0, twenty.left(18), 120, 355, 8));
  EXPECT_TRUE(HasText(s, 0, twenty.mid(18), 120, 395, 8));
  // 60 characters: 7 point, 27 and 27 on line 3 (lineY = 500); the rest is
  // not printed.
  EXPECT_TRUE(HasText(s, 0, sixty.left(27), 120, 455, 7));
  EXPECT_TRUE(HasText(s, 0, sixty.mid(27, 27), 120, 495, 7));
  // 38 characters: 8 point, 18 and the other 20 on line 4, none lost.
  EXPECT_TRUE(HasText(s, 0, thirtyEight.left(18), 120, 555, 8));
  EXPECT_TRUE(HasText(s, 0, thirtyEight.mid(18), 120, 595, 8));
  // A short label in 9 point; after a wrapped one the size is 9 again.
  EXPECT_TRUE(HasText(s, 0, u"医師"_s, 120, 280, 9));
  EXPECT_TRUE(HasText(s, 0, u" 2"_s, 1080 + 0.5 * (2500 - 1080), 380, 9));
}

TEST(ItemGraphPrint, BarsRunFromTheOriginToTheirShareOf2500) {
  RecordingSurface s;
  ASSERT_TRUE(DrawItemGraphPages(
      s, MadeItemGraphResult(AnalysisAxis::Month, {3, 0, 6}, {u" 1月"_s, u" 2月"_s, u" 3月"_s}), Heading()));
  const auto bars = s.all(Op::FilledBox);
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_DOUBLE_EQ(bars[0].x2, 1500);
  EXPECT_DOUBLE_EQ(bars[1].x2, 500);
  EXPECT_DOUBLE_EQ(bars[2].x2, 2500);
  EXPECT_TRUE(HasText(s, 0, u" 3"_s, 1500, 280, 9));
  EXPECT_TRUE(HasText(s, 0, u" 0"_s, 500, 380, 9));
  EXPECT_TRUE(HasText(s, 0, u" 6"_s, 2500, 480, 9));
  // The middle scale value 3, at 1450, above (T = 200) and under (B + 50 = 630).
  EXPECT_TRUE(HasText(s, 0, u" 3"_s, 1450, 200, 9));
  EXPECT_TRUE(HasText(s, 0, u" 3"_s, 1450, 630, 9));

  RecordingSurface five;
  ASSERT_TRUE(DrawItemGraphPages(five, MadeItemGraphResult(AnalysisAxis::Month, {5, 1}), Heading()));
  EXPECT_TRUE(HasText(five, 0, u" 2.5"_s, 1450, 200, 9));
  EXPECT_TRUE(HasText(five, 0, u" 5"_s, 2450, 200, 9));
  // With origin 650 the middle value follows: midway between 650 and 2500.
  RecordingSurface wider;
  ASSERT_TRUE(
      DrawItemGraphPages(wider, MadeItemGraphResult(AnalysisAxis::Occupation, {5}, {QString(12, u'字')}), Heading()));
  EXPECT_TRUE(HasText(wider, 0, u" 2.5"_s, 1525, 200, 9));
  EXPECT_TRUE(HasText(wider, 0, u" 0"_s, 600, 200, 9));
}

TEST(ItemGraphPrint, PageCountsFollowTheConditions) {
  struct Case {
    int categories, conditions, pages;
  };
  for (const Case c :
       {Case{1, 0, 1}, Case{33, 0, 1}, Case{34, 0, 2}, Case{65, 0, 2}, Case{66, 0, 2}, Case{67, 0, 3}, Case{29, 2, 1},
        Case{30, 2, 2}, Case{65, 2, 3}, Case{1, 16, 1}, Case{2, 16, 2}, Case{2, 17, 2}, Case{34, 17, 3}}) {
    EXPECT_EQ(ItemGraphPageCount(c.categories, c.conditions), c.pages) << c.categories << " " << c.conditions;
  }
}

// The command: nothing without bars; the message with its four blanks, the
// printer dialog in portrait, a failing printer; a real PDF read back.
class ItemGraphPrintCommandTest : public ::testing::Test {
 protected:
  QString pdf() const { return dir.filePath(u"graph.pdf"_s); }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
};

TEST_F(ItemGraphPrintCommandTest, NothingCountedPrintsNothingAndAsksNothing) {
  EXPECT_EQ(
      PrintItemGraph(prompts, MadeItemGraphResult(AnalysisAxis::Month, std::vector<std::int64_t>(12, 0)), Heading()),
      PrintResult::Cancelled);
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(prompts.printJobs(), 0);
}

TEST_F(ItemGraphPrintCommandTest, MessageDialogCancelAndFailure) {
  const ItemGraphResult r = MadeItemGraphResult(AnalysisAxis::Month, {3, 0, 6});
  prompts.answer(PromptAnswer::Ok).answerPrinterCancel();
  EXPECT_EQ(PrintItemGraph(prompts, r, Heading()), PrintResult::Cancelled);
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].text, u"A4用紙で印刷の向きを縦に指定してください    "_s);
  EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(prompts.shown()[1].kind, testing::ScriptedPrompts::Kind::Printer);
  EXPECT_FALSE(prompts.lastPrinterLandscape);

  prompts.clear();
  prompts.answer(PromptAnswer::Ok).answerPrinterFailing().answer(PromptAnswer::Ok);
  EXPECT_EQ(PrintItemGraph(prompts, r, Heading()), PrintResult::Failed);
  EXPECT_EQ(prompts.last().text, u"プリンターが接続されていません"_s);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::Ok);
  EXPECT_FALSE(prompts.busy());
}

TEST_F(ItemGraphPrintCommandTest, PdfHoldsThePortraitPagesWithTheirTexts) {
  QStringList labels;
  std::vector<std::int64_t> counts;
  for (int k = 1; k <= 65; ++k) {
    labels << u" %1部位"_s.arg(k);
    counts.push_back(k == 40 ? 8 : k % 3);
  }
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf());
  EXPECT_EQ(PrintItemGraph(prompts, MadeItemGraphResult(AnalysisAxis::BodySite, counts, labels),
                           Heading({{u"職種"_s, u"医師"_s}})),
            PrintResult::Printed);
  EXPECT_EQ(prompts.printPageCount(), 3);  // 31 + 33 + 1
  EXPECT_EQ(prompts.printPagesDone(), 3);

  const auto pages = testing::ReadPdfPages(pdf());
  ASSERT_EQ(pages.size(), 3u);
  for (const auto& page : pages) {
    EXPECT_NEAR(page.width, 595.3, 1.0);  // A4 portrait, in points
    EXPECT_NEAR(page.height, 841.9, 1.0);
  }
  // A unit is 1/2900 of the printable width and 1/4000 of its height, the
  // page's edges 5 mm away: x = 14.2 + 0.1955 x, y = 14.2 + 0.2055 y points.
  const auto near = [](const testing::PdfWord& w, double x, double y) {
    EXPECT_NEAR(w.xMin, 14.2 + 0.1955 * x, 3.0) << w.text.toStdString();
    EXPECT_NEAR(w.yMin, 14.2 + 0.2055 * y, 4.0) << w.text.toStdString();
  };
  const auto word = [&](int page, const QString& text) {
    const auto w = pages[static_cast<std::size_t>(page)].find(text);
    EXPECT_TRUE(w) << page << " " << text.toStdString();
    return w.value_or(testing::PdfWord{});
  };
  EXPECT_TRUE(pages[0].text().contains(u"職種"_s));
  near(word(0, u"抽出条件"_s), 80, 170);
  near(word(0, u"医師"_s), 140, 370);
  near(word(0, u"1部位"_s), 120, 480);  // line 1 under T = 400
  near(word(1, u"抽出条件は1枚目に記載"_s), 80, 170);
  near(word(1, u"32部位"_s), 120, 280);  // the first line of page 2
  near(word(2, u"65部位"_s), 120, 280);
  EXPECT_FALSE(pages[1].find(u"医師"_s));
}

}  // namespace
}  // namespace orvanta
