#include "core/followup/followup_print.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/analysis/result_grid_model.h"
#include "core/output/recording_surface.h"
#include "core/platform/print_progress.h"
#include "support/followup_cases.h"
#include "support/pdf_pages.h"
#include "support/qt_printers.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using Op = RecordingSurface::Op;
using testing::CaseOf;
using testing::TestOf;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

FollowupSheet Sheet(int tests) {
  FollowupSheet sheet;
  sheet.followup = CaseOf(12, QStringLiteral("山田 花子"), D(2026, 12, 1));
  sheet.followup.sources = {SourceStatus::Positive, SourceStatus::Negative, SourceStatus::Unknown};
  sheet.followup.of(Prophylactic::Antiretroviral) = {true, QDateTime(D(2026, 12, 1), QTime(15, 30))};
  sheet.followup.remarks = QStringLiteral("本人へ説明済み");
  for (int i = 0; i < tests; ++i) {
    FollowupTest t = TestOf(12, Pathogen::HIV, QStringLiteral("HIV抗体"), D(2026, 12, 1).addDays(7 * i));
    if (i == 0) {
      t.done = D(2026, 12, 1);
      t.result = QStringLiteral("陰性");
    }
    t.planned = ScheduleOffset{i, OffsetUnit::Weeks};
    sheet.tests.push_back(t);
  }
  sheet.printedOn = D(2026, 12, 20);
  return sheet;
}

TEST(FollowupSheetTest, OnePageHoldsTheWholeCase) {
  RecordingSurface s;
  PrintProgress progress;
  ASSERT_TRUE(DrawFollowupSheet(s, Sheet(3), progress));
  EXPECT_EQ(s.pageCount(), 1);
  EXPECT_EQ(s.ScaleWidth(), 2000);
  EXPECT_EQ(s.ScaleHeight(), 2870);
  const QStringList texts = s.texts();
  for (const char* expected : {"経過観察票",
                               "印刷日 2026/12/20",
                               "受傷者",
                               "山田 花子",
                               "内科",
                               "看護師",
                               "2026/12/01",
                               "12",
                               "19 日",
                               "汚染源の患者",
                               "陽性",
                               "陰性",
                               "不明",
                               "予防投与",
                               "抗HIV薬",
                               "あり",
                               "2026/12/01 15:30",
                               "検査",
                               "予定日",
                               "実施日",
                               "結果",
                               "備考",
                               "HIV抗体（受傷時）",
                               "HIV抗体（1週）",
                               "経過観察の終了",
                               "経過観察中",
                               "本人へ説明済み",
                               "- 1 -"})
    EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
  const auto title = s.findText(QStringLiteral("経過観察票"));
  ASSERT_TRUE(title);
  EXPECT_EQ(title->fontSize, 16);
  EXPECT_EQ(title->y1, 0);

  // The open tests of 8 and 15 December are overdue on the 20th and marked
  // red; the done one is black.
  std::vector<RecordingSurface::Entry> dues;
  for (const auto& e : s.all(Op::Text))
    if (e.text == QStringLiteral("2026/12/08") || e.text == QStringLiteral("2026/12/15")) dues.push_back(e);
  ASSERT_EQ(dues.size(), 2u);
  EXPECT_EQ(dues[0].color, QColor(192, 0, 0));
  EXPECT_EQ(dues[1].color, QColor(192, 0, 0));
  // Once the follow-up has ended, nothing is overdue any more.
  FollowupSheet closed = Sheet(3);
  closed.followup.closedOn = D(2026, 12, 19);
  closed.followup.closedReason = QStringLiteral("退職・異動");
  RecordingSurface after;
  ASSERT_TRUE(DrawFollowupSheet(after, closed, progress));
  const auto late = after.findText(QStringLiteral("2026/12/08"));
  ASSERT_TRUE(late);
  EXPECT_EQ(late->color, QColor(Qt::black));
  EXPECT_TRUE(after.findText(QStringLiteral("退職・異動")));
  const auto done = s.all(Op::Text);
  const auto first =
      std::find_if(done.begin(), done.end(), [](const auto& e) { return e.text == "陰性" && e.x1 > 1000; });
  ASSERT_NE(first, done.end());
  EXPECT_EQ(first->color, QColor(Qt::black));
  // Every text and box stays on the page, above the foot.
  for (const auto& e : s.entries()) {
    if (e.op != Op::Text && e.op != Op::Box) continue;
    EXPECT_GE(e.x1, 0);
    EXPECT_LE(std::max(e.x1, e.x2), 2000);
    EXPECT_LE(std::max(e.y1, e.y2), 2870);
  }
}

TEST(FollowupSheetTest, ManyTestsGoOnOverPagesUnderTheirHeadings) {
  RecordingSurface s;
  PrintProgress progress;
  ASSERT_TRUE(DrawFollowupSheet(s, Sheet(80), progress));
  ASSERT_GE(s.pageCount(), 2);
  for (int page = 1; page < s.pageCount(); ++page) {
    EXPECT_TRUE(s.findText(QStringLiteral("経過観察票（続き）　山田 花子"), page)) << page;
    EXPECT_TRUE(s.findText(QStringLiteral("- %1 -").arg(page + 1), page)) << page;
    // A page that goes on with the tests shows their headings again.
    const QStringList texts = s.texts(page);
    if (texts.filter(QStringLiteral("HIV抗体（")).isEmpty()) continue;
    EXPECT_TRUE(texts.contains(QStringLiteral("予定日"))) << page;
    EXPECT_LT(texts.indexOf(QStringLiteral("予定日")),
              texts.indexOf(texts.filter(QStringLiteral("HIV抗体（")).first()));
  }
  EXPECT_TRUE(s.texts(1).contains(QStringLiteral("予定日")));
  // Each test printed once, every row above the page's foot.
  int rows = 0;
  for (const auto& e : s.all(Op::Text)) {
    if (e.text.startsWith(QStringLiteral("HIV抗体（"))) ++rows;
    if (!e.text.startsWith(QStringLiteral("- "))) {
      EXPECT_LT(e.y1, 2870 - 90) << e.text.toStdString();
    }
  }
  EXPECT_EQ(rows, 80);
  EXPECT_TRUE(s.findText(QStringLiteral("本人へ説明済み"), s.pageCount() - 1));
}

TEST(FollowupSheetTest, PrintsThroughTheSharedStepsOnA4Portrait) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
  testing::ScriptedPrompts prompts;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  EXPECT_EQ(PrintFollowupSheet(prompts, Sheet(4)), PrintResult::Printed);
  EXPECT_EQ(prompts.shown().front().text, kPortraitMessage);
  EXPECT_FALSE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NEAR(pages[0].width, 595.3, 1.0);
  EXPECT_NEAR(pages[0].height, 841.9, 1.0);
  // 0.1 mm a unit from the 5-mm edge: the name's box starts at x = 272 units.
  const auto name = pages[0].find(QStringLiteral("山田"));
  ASSERT_TRUE(name);
  EXPECT_NEAR(name->xMin, 14.2 + 272 * 0.2835, 3.0);
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("HIV抗体（3週）")));
}

TEST(DueListPrintTest, TheListOnLandscapePagesWithOverdueMarked) {
  auto list = std::make_shared<DueList>();
  list->today = D(2026, 12, 9);
  list->daysAhead = 14;
  for (int i = 0; i < 60; ++i) {
    list->cases.push_back(DueCase{i + 1, QStringLiteral("職員%1").arg(i + 1), QStringLiteral("内科"), D(2026, 10, 20)});
    DueTest t;
    t.caseIndex = i;
    t.due = D(2026, 12, 1).addDays(i / 3);
    t.test = QStringLiteral("HIV抗体");
    t.planned = ScheduleOffset{6, OffsetUnit::Weeks};
    if (t.due < list->today) ++list->overdue;
    list->tests.push_back(t);
  }
  ResultGridModel grid;
  ShowDueList(grid, list);
  RecordingSurface s;
  PrintProgress progress;
  ASSERT_TRUE(DrawDueListPrint(s, *list, grid, progress));
  EXPECT_EQ(s.ScaleWidth(), 2870);
  EXPECT_EQ(s.ScaleHeight(), 2000);
  EXPECT_GE(s.pageCount(), 2);
  EXPECT_TRUE(s.findText(QStringLiteral("経過観察予定"), 0));
  EXPECT_TRUE(
      s.findText(QStringLiteral("2026年12月9日現在　14日先までの未実施の検査　　60 件（うち期限切れ 24 件）"), 0));
  int marks = 0;
  for (const auto& e : s.all(Op::Text)) {
    if (e.text == kOverdueMark) {
      ++marks;
      EXPECT_EQ(e.color, QColor(192, 0, 0));
    }
    if (e.text == QStringLiteral("職員60")) {
      EXPECT_EQ(e.color, QColor(Qt::black));
    }
  }
  EXPECT_EQ(marks, 24);
  EXPECT_TRUE(s.findText(QStringLiteral("経過日数"), s.pageCount() - 1));

  // Through the shared steps, with the landscape message.
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("due.pdf"));
  testing::ScriptedPrompts prompts;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  EXPECT_EQ(PrintDueList(prompts, *list, grid), PrintResult::Printed);
  EXPECT_EQ(prompts.shown().front().text, kLandscapeMessage);
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(pdf);
  ASSERT_GE(pages.size(), 2u);
  EXPECT_GT(pages[0].width, pages[0].height);
}

}  // namespace
}  // namespace orvanta
