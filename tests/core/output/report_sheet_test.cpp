#include "core/output/report_sheet.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

#include "core/output/painter_surface.h"
#include "core/output/print_job.h"
#include "core/output/recording_surface.h"
#include "core/platform/prompts.h"
#include "core/reports/body_site_drawing.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using Op = RecordingSurface::Op;

// The form drawn as a print draws it: pages 1 and 2, and page 3 on request.
void DrawForm(Surface& s, bool withCodeTable) {
  SetReportSheetScale(s);
  DrawReportSheetPage1(s);
  s.NewPage();
  DrawReportSheetPage2(s);
  if (withCodeTable) {
    s.NewPage();
    DrawDeviceCodeTable(s);
  }
  s.EndDocument();
}

// Whether the page holds the text at the position in the size.
::testing::AssertionResult HasText(const RecordingSurface& s, int page, const QString& text, double x, double y,
                                   double size) {
  QStringList seen;
  for (const auto& e : s.all(Op::Text, page)) {
    if (e.text != text) continue;
    if (e.x1 == x && e.y1 == y && e.fontSize == size) return ::testing::AssertionSuccess();
    seen << QStringLiteral("(%1, %2) %3pt").arg(e.x1).arg(e.y1).arg(e.fontSize);
  }
  return ::testing::AssertionFailure() << "\"" << text.toStdString() << "\" not at (" << x << ", " << y << ") in "
                                       << size << "pt on page " << page + 1 << "; seen at "
                                       << seen.join(u", ").toStdString();
}

TEST(ReportSheet, TextsOfEveryBlockStandAtTheirPlacesInTheirSizes) {
  RecordingSurface s;
  DrawForm(s, true);
  ASSERT_EQ(s.pageCount(), 3);
  EXPECT_EQ(s.ScaleWidth(), 2000);
  EXPECT_EQ(s.ScaleHeight(), 3700);
  struct Sample {
    int page;
    const char16_t* text;
    double x, y, size;
  };
  const Sample samples[] = {
      // Page 1: the header.
      {0, u"Tonrix日本版-Japan Tonrix", 800, 40, 9},
      {0, u"A", 1700, 80, 9},
      {0, u"A.針刺し・切創事故報告書", 770, 120, 11},
      {0, u"Version 3", 920, 180, 8},
      // The left column: first and last lines of each question.
      {0, u"1.報告者", 150, 350, 9},
      {0, u"職  員  番  号", 200, 420, 9},
      {0, u"当該部署経験年数(           年)", 200, 770, 9},
      {0, u"2.発生日時", 150, 910, 9},
      {0, u"午前・午後　　　      時　　      　分", 200, 1050, 9},
      {0, u"3.職種(1つだけチェック)", 150, 1190, 9},
      {0, u"⑬□ 薬剤師", 200, 2100, 9},
      {0, u"99□ その他(職業記載)", 200, 2170, 9},
      {0, u"4.針刺し・切創事故発生場所(1つだけチェック)", 150, 2310, 9},
      {0, u"⑩□ 特殊検査処置室(放射線・内視鏡・筋電図等の検査室)", 200, 3010, 9},
      {0, u"(場所記載)", 200, 3500, 9},
      // The right column, the patient table and its column heads.
      {0, u"5.汚染源の患者が誰かわかっていますか？", 1100, 350, 9},
      {0, u"③□ 適切な回答なし", 1150, 560, 9},
      {0, u"(患者への使用前)", 1200, 630, 9},
      {0, u"▼", 1665, 670, 9},
      {0, u"患者カルテ番号", 1150, 720, 9},
      {0, u" HBV 感 染", 1150, 1070, 9},
      {0, u"陽性", 1460, 860, 9},
      {0, u"陰性", 1650, 860, 9},
      {0, u"未検査", 1830, 860, 9},
      {0, u"6.受傷者自身が原因器材を患者に使っているときの受傷でしたか?", 1100, 1280, 9},
      {0, u"①□ 適切な回答内(患者への器材使用前)", 1150, 1490, 9},
      {0, u"　　 見える程度の血液などは付いていなかった", 1150, 1840, 9},
      {0, u"　(1つだけチェック)", 1100, 2190, 9},
      {0, u"①□　不明", 1150, 2260, 9},
      {0, u"　　　(記載)", 1150, 3450, 9},
      // Page 2.
      {1, u"　生じましたか?(1つだけチェック)", 150, 190, 9},
      {1, u"①□　器材を患者に使用する前", 200, 260, 9},
      {1, u"  記載", 200, 1730, 9},
      {1, u"  10.針刺し・切創事故の原因となった器材は?", 150, 1870, 9},
      {1, u"  記載", 200, 2080, 9},
      {1, u"  11.針で事故が発生した場合、その針は安全装置のついて", 150, 2220, 9},
      {1, u"  　　いる針でしたか？", 150, 2300, 9},
      {1, u"①□　はい→安全装置を作動させましたか？", 200, 2370, 9},
      {1, u"(製品名)", 200, 2510, 9},
      {1, u"②□　いいえ", 200, 2580, 9},
      {1, u"12.針刺し･切創部位を○で囲んでください", 150, 2720, 9},
      {1, u"③　重傷(深い針刺し・切創、著しい出血)", 1150, 400, 9},
      {1, u"14.あなた自身はHBs抗体陽性ですか？", 1100, 540, 9},
      {1, u"②□　いいえ", 1150, 1100, 9},
      {1, u"　　(1)～(6)を含め詳しく記載してください。", 1100, 1310, 9},
      {1, u"(5)　事故に関連する特別な事情・状況・背景等", 1150, 1730, 9},
      {1, u"(6)　事故後の処置、対応", 1150, 1810, 9},
      {1, u"   すか？簡単に記載してください。", 1100, 3210, 9},
      // Page 3: headings, an entry and a continuation line of every group.
      {2, u"針刺し・切創事故原因器材コード表", 770, 120, 11},
      {2, u"Version 3", 920, 180, 8},
      {2, u"針", 250, 550, 9},
      {2, u"手術器材およびその他の鋭利な器材", 1200, 550, 9},
      {2, u"ガラス製器材", 250, 2370, 9},
      {2, u"1.使い捨ての注射針", 150, 690, 9},
      {2, u"(普通の注射針、ツ反、インスリン用注射器等)", 180, 760, 9},
      {2, u"アンジオカット等)", 180, 1460, 9},
      {2, u"12.中心静脈カテーテル誘導針", 150, 1810, 9},
      {2, u"29.その他の針(報告書に記載してください)", 150, 2160, 9},
      {2, u"60.薬剤アンプル", 150, 2510, 9},
      {2, u"(報告書に詳しく記載してください)", 180, 3210, 9},
      {2, u"30.ランセット(耳介・指・足底からの穿刺採血用)", 1100, 690, 9},
      {2, u"59.その他(報告書に記載してください)", 1100, 2300, 9},
  };
  for (const Sample& x : samples) EXPECT_TRUE(HasText(s, x.page, QString::fromUtf16(x.text), x.x, x.y, x.size));

  // The five lines of the issuing body and the network's name, 7 point.
  int issuer = 0;
  for (const auto& e : s.all(Op::Text, 0)) {
    if (e.x1 == 150 && e.y1 < 200) {
      EXPECT_EQ(e.y1, 40 + 30 * issuer);
      EXPECT_EQ(e.fontSize, 7);
      EXPECT_FALSE(e.text.trimmed().isEmpty());
      ++issuer;
    }
  }
  EXPECT_EQ(issuer, 5);

  // Every text of the form is black, and the groups of page 3 hold all the
  // code numbers of the default causing-device list.
  for (const auto& e : s.all(Op::Text)) EXPECT_EQ(e.color.rgb(), qRgb(0, 0, 0)) << e.text.toStdString();
  QStringList codes;
  for (const QString& t : s.texts(2)) {
    const qsizetype dot = t.indexOf(u'.');
    if (dot > 0 && t.left(dot).toInt() > 0) codes << t.left(dot);
  }
  EXPECT_EQ(codes.join(u' '),
            QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 28 29 60 61 62 63 64 65 66 67 78 79 30 "
                           "31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 58 59"));
}

// The last row of the patient table, "その他 (記載 … )", ends its bracket
// inside the table (whose frame ends at x 1970, its texts 20 units inside):
// its blanks are taken away from the end as far as the surface's face needs,
// and no further; a face narrow enough keeps every blank.
TEST(ReportSheet, TheOtherInfectionRowEndsInsideThePatientTable) {
  const QString full = QStringLiteral(u"その他 (記載　　　　　　　　　　　 　　                              　)");
  ASSERT_EQ(full.size(), 53);
  const double room = 1970 - 20 - 1150;
  struct Case {
    const char* what;
    double characterWidth;  // 0: the surface's estimate of the gothic face
    QString row;            // empty: the longest that fits
  };
  const Case cases[] = {
      {"the estimate, wider than the table", 0, {}},
      {"a face a little too wide", 16, {}},
      {"a face narrow enough for every blank", 15, full},
      {"a face too wide for any blank", 120, QStringLiteral(u"その他 (記載)")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingSurface s;
    s.SetCharacterWidth(c.characterWidth);
    DrawForm(s, false);
    std::optional<RecordingSurface::Entry> row;
    for (const auto& e : s.all(Op::Text, 0))
      if (e.text.startsWith(QStringLiteral(u"その他 (記載"))) row = e;
    ASSERT_TRUE(row);
    EXPECT_EQ(row->x1, 1150);
    EXPECT_EQ(row->y1, 1140);
    EXPECT_EQ(row->fontSize, 9);
    s.SetFontSize(row->fontSize);
    // The blanks are shortened from their end: the row is the start of the
    // full row and its bracket.
    ASSERT_TRUE(row->text.endsWith(u')'));
    const qsizetype kept = row->text.size() - 1;
    EXPECT_EQ(row->text, full.left(kept) + u')');
    if (!c.row.isEmpty()) {
      EXPECT_EQ(row->text, c.row);
      continue;
    }
    EXPECT_LT(row->text.size(), full.size());
    EXPECT_LE(s.TextWidth(row->text), room);
    EXPECT_GT(s.TextWidth(full.left(kept + 1) + u')'), room) << "shortened more than needed";
  }
}

using Rule = std::tuple<Op, double, double, double, double, int, LineStyle>;

std::vector<Rule> Rules(const RecordingSurface& s, int page) {
  std::vector<Rule> out;
  for (const auto& e : s.entries())
    if (e.page == page && (e.op == Op::Line || e.op == Op::Box))
      out.emplace_back(e.op, e.x1, e.y1, e.x2, e.y2, e.lineWidth, e.lineStyle);
  return out;
}

TEST(ReportSheet, FirstPageLinesInTheirOrderWidthsAndStyles) {
  RecordingSurface s;
  DrawForm(s, false);
  const auto S = LineStyle::Solid;
  const auto D = LineStyle::Dotted;
  const std::vector<Rule> expected = {
      // The title's box, the patient table's outline (three dots) and rules.
      {Op::Box, 780, 30, 1200, 100, 1, S},
      {Op::Box, 1130, 710, 1970, 1200, 3, S},
      {Op::Line, 1130, 780, 1970, 780, 1, S},
      {Op::Line, 1130, 850, 1970, 850, 1, S},
      {Op::Line, 1130, 920, 1970, 920, 1, S},
      {Op::Line, 1130, 990, 1970, 990, 1, S},
      {Op::Line, 1130, 1060, 1970, 1060, 1, S},
      {Op::Line, 1130, 1130, 1970, 1130, 1, S},
      {Op::Line, 1400, 710, 1400, 1130, 1, S},
      {Op::Line, 1590, 850, 1590, 1130, 1, S},
      {Op::Line, 1780, 850, 1780, 1130, 1, S},
      // Dotted write-in lines.
      {Op::Line, 400, 460, 900, 460, 1, D},
      {Op::Line, 400, 530, 900, 530, 1, D},
      {Op::Line, 400, 600, 900, 600, 1, D},
      {Op::Line, 400, 670, 900, 670, 1, D},
      {Op::Line, 500, 2210, 900, 2210, 1, D},
      {Op::Line, 400, 3540, 900, 3540, 1, D},
      {Op::Line, 1300, 3490, 1900, 3490, 1, D},
      // The number box with five dividers: six cells.
      {Op::Box, 1690, 70, 1930, 150, 1, D},
      {Op::Line, 1730, 70, 1730, 150, 1, D},
      {Op::Line, 1770, 70, 1770, 150, 1, D},
      {Op::Line, 1810, 70, 1810, 150, 1, D},
      {Op::Line, 1850, 70, 1850, 150, 1, D},
      {Op::Line, 1890, 70, 1890, 150, 1, D},
      // The bracket from question 5 down to the "▼".
      {Op::Line, 1300, 440, 1680, 440, 1, D},
      {Op::Line, 1680, 440, 1680, 680, 1, D},
  };
  EXPECT_EQ(Rules(s, 0), expected);
  // The lines come after the texts, and the page ends on solid lines.
  const auto& entries = s.entries();
  bool lineSeen = false;
  for (const auto& e : entries) {
    if (e.page != 0) break;
    if (e.op == Op::Line || e.op == Op::Box) lineSeen = true;
    if (e.op == Op::Text) {
      EXPECT_FALSE(lineSeen) << e.text.toStdString();
    }
  }
  EXPECT_EQ(s.CurrentLineStyle(), LineStyle::Solid);
}

TEST(ReportSheet, SecondPageWriteInLinesAndThirdPageGroupBoxes) {
  RecordingSurface s;
  DrawForm(s, true);
  const std::vector<Rule> second = Rules(s, 1);
  ASSERT_EQ(second.size(), 3u + 17u + 5u);
  for (const Rule& r : second) {
    EXPECT_EQ(std::get<0>(r), Op::Line);
    EXPECT_EQ(std::get<6>(r), LineStyle::Dotted);
    EXPECT_EQ(std::get<5>(r), 1);
    EXPECT_EQ(std::get<2>(r), std::get<4>(r));  // horizontal
  }
  EXPECT_EQ(second[0], Rule(Op::Line, 300, 1770, 900, 1770, 1, LineStyle::Dotted));
  EXPECT_EQ(second[1], Rule(Op::Line, 300, 2120, 900, 2120, 1, LineStyle::Dotted));
  EXPECT_EQ(second[2], Rule(Op::Line, 330, 2550, 900, 2550, 1, LineStyle::Dotted));
  for (int n = 1; n <= 17; ++n)
    EXPECT_EQ(second[2 + n], Rule(Op::Line, 1150, 1890 + 70 * n, 1950, 1890 + 70 * n, 1, LineStyle::Dotted));
  for (int n = 1; n <= 5; ++n)
    EXPECT_EQ(second[19 + n], Rule(Op::Line, 1150, 3290 + 70 * n, 1950, 3290 + 70 * n, 1, LineStyle::Dotted));
  EXPECT_EQ(std::get<2>(second[19]), 3080);
  EXPECT_EQ(std::get<2>(second[24]), 3640);

  EXPECT_EQ(Rules(s, 2), (std::vector<Rule>{{Op::Box, 150, 540, 900, 620, 1, LineStyle::Solid},
                                            {Op::Box, 1100, 540, 1900, 620, 1, LineStyle::Solid},
                                            {Op::Box, 150, 2360, 900, 2440, 1, LineStyle::Solid}}));
}

TEST(ReportSheet, BodySiteDiagramIsTheProgramsDrawingWithItsSiteNumbers) {
  RecordingSurface s;
  DrawForm(s, false);
  const auto pictures = s.all(Op::Picture);
  ASSERT_EQ(pictures.size(), 1u);
  const auto& p = pictures.front();
  EXPECT_EQ(p.page, 1);
  EXPECT_EQ(std::make_tuple(p.x1, p.y1, p.x2, p.y2), std::make_tuple(100.0, 2800.0, 950.0, 3450.0));
  EXPECT_EQ(p.text, BodySiteDrawingPath());
  EXPECT_TRUE(QSvgRenderer(p.text).isValid());

  // Every site but 29 has its number inside the picture, centred near its
  // spot.
  RecordingSurface measure;
  measure.SetScale(0, 0, 2000, 3700);
  measure.SetFontSize(5);
  QStringList numbers;
  for (const auto& e : s.all(Op::Text, 1)) {
    if (e.y1 < 2800 || e.x1 > 1000) continue;  // the right column's lines
    EXPECT_EQ(e.fontSize, 5);
    ASSERT_GE(e.x1, 100);
    ASSERT_LE(e.x1 + measure.TextWidth(e.text), 950);
    ASSERT_LE(e.y1, 3450);
    const QPoint spot = BodySiteSpot(e.text.toInt());
    ASSERT_NE(spot, QPoint(-1, -1)) << e.text.toStdString();
    EXPECT_NEAR(e.x1 + measure.TextWidth(e.text) / 2, 100 + spot.x() * 850.0 / kBodyDrawingWidth, 8)
        << e.text.toStdString();
    EXPECT_NEAR(e.y1, 2800 + spot.y() * 650.0 / kBodyDrawingHeight - 12, 4) << e.text.toStdString();
    numbers << e.text;
  }
  EXPECT_EQ(numbers.size(), 64);
  // No two numbers run into each other: those on about the same height keep
  // a gap between them.
  std::vector<std::tuple<double, double, double>> boxes;  // left, right, top
  for (const auto& e : s.all(Op::Text, 1))
    if (e.y1 >= 2800 && e.x1 < 1000) boxes.emplace_back(e.x1, e.x1 + measure.TextWidth(e.text), e.y1);
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const auto [l1, r1, t1] = boxes[i];
      const auto [l2, r2, t2] = boxes[j];
      if (std::abs(t1 - t2) < 20) {
        EXPECT_TRUE(r1 + 3 <= l2 || r2 + 3 <= l1) << numbers[i].toStdString() << " " << numbers[j].toStdString();
      }
    }
  EXPECT_FALSE(numbers.contains(QStringLiteral("29")));
  EXPECT_TRUE(numbers.contains(QStringLiteral("1")));
  EXPECT_TRUE(numbers.contains(QStringLiteral("65")));
}

// The form printed to a PDF file and read back: A4 portrait pages, texts
// where the layout puts them, none outside its page and none over another.
class ReportSheetPdf : public ::testing::Test {
 protected:
  std::vector<testing::PdfPage> Print(bool withCodeTable) {
    const QString path = dir.filePath(withCodeTable ? QStringLiteral("form3.pdf") : QStringLiteral("form2.pdf"));
    {
      QPdfWriter writer(path);
      writer.setResolution(600);
      writer.setPageSize(QPageSize(QPageSize::A4));
      writer.setPageOrientation(QPageLayout::Portrait);
      paint = writer.pageLayout().paintRectPoints();
      PainterSurface surface(&writer);
      DrawForm(surface, withCodeTable);
      EXPECT_FALSE(surface.Failed());
    }
    return testing::ReadPdfPages(path);
  }
  QRect paint;  // the printable area on the page, in points
  QTemporaryDir dir{qEnvironmentVariableIsSet("ORVANTA_KEEP_PRINTS")
                        ? qEnvironmentVariable("ORVANTA_KEEP_PRINTS") + QStringLiteral("/formXXXXXX")
                        : QDir::tempPath() + QStringLiteral("/formXXXXXX")};
  void SetUp() override { dir.setAutoRemove(!qEnvironmentVariableIsSet("ORVANTA_KEEP_PRINTS")); }
};

TEST_F(ReportSheetPdf, PagesTextsAndPlaces) {
  EXPECT_EQ(Print(false).size(), 2u);
  const auto pages = Print(true);
  ASSERT_EQ(pages.size(), 3u);
  for (const auto& page : pages) {
    EXPECT_NEAR(page.width, 595.3, 1);  // A4 portrait, in points
    EXPECT_NEAR(page.height, 841.9, 1);
  }
  // Units back from points: the printable area is 2000 x 3700 units.
  const auto at = [&](int page, const QString& word, double x, double y) {
    const auto w = pages[static_cast<std::size_t>(page)].find(word);
    ASSERT_TRUE(w) << word.toStdString();
    EXPECT_NEAR((w->xMin - paint.left()) * 2000 / paint.width(), x, 5) << word.toStdString();
    EXPECT_NEAR((w->yMin - paint.top()) * 3700 / paint.height(), y, 5) << word.toStdString();
  };
  at(0, QStringLiteral("A.針刺し・切創事故報告書"), 770, 120);
  at(0, QStringLiteral("1.報告者"), 150, 350);
  at(0, QStringLiteral("未検査"), 1830, 860);
  at(1, QStringLiteral("12.針刺し･切創部位を○で囲んでください"), 150, 2720);
  at(2, QStringLiteral("12.中心静脈カテーテル誘導針"), 150, 1810);
  at(2, QStringLiteral("59.その他(報告書に記載してください)"), 1100, 2300);
  // The other-infection row of the patient table closes its bracket inside
  // the table (its right edge at 1970) in the printer's face, near that edge.
  const auto bracket = pages[0].find(QStringLiteral(")"));
  ASSERT_TRUE(bracket);
  const double bracketEnd = (bracket->xMax - paint.left()) * 2000 / paint.width();
  EXPECT_LE(bracketEnd, 1970);
  EXPECT_GE(bracketEnd, 1900);

  for (std::size_t n = 0; n < pages.size(); ++n) {
    const auto& words = pages[n].words;
    for (std::size_t i = 0; i < words.size(); ++i) {
      const auto& a = words[i];
      EXPECT_GE(a.xMin, 0) << a.text.toStdString();
      EXPECT_LE(a.xMax, pages[n].width) << a.text.toStdString();
      EXPECT_LE(a.yMax, pages[n].height) << a.text.toStdString();
      for (std::size_t j = i + 1; j < words.size(); ++j) {
        const auto& b = words[j];
        // Half a point of slack for the glyph boxes of neighbouring words.
        const bool apart =
            a.xMax <= b.xMin + 0.5 || b.xMax <= a.xMin + 0.5 || a.yMax <= b.yMin + 0.5 || b.yMax <= a.yMin + 0.5;
        EXPECT_TRUE(apart) << "page " << n + 1 << ": \"" << a.text.toStdString() << "\" over \"" << b.text.toStdString()
                           << "\"";
      }
    }
  }
}

// The command: the orientation message, the printer dialog, pages 1 and 2,
// the question about the code table, page 3 on Yes.
class PrintReportSheetTest : public ::testing::Test {
 protected:
  QString pdf() const { return dir.filePath(QStringLiteral("form.pdf")); }
  void expectMessage(std::size_t i, const QString& text) {
    ASSERT_GT(prompts.shown().size(), i);
    const auto& shown = prompts.shown()[i];
    EXPECT_EQ(shown.kind, testing::ScriptedPrompts::Kind::Message);
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.title, QString());
    EXPECT_EQ(shown.buttons, PromptButtons::Ok);
  }
  void expectQuestion(std::size_t i) {
    ASSERT_GT(prompts.shown().size(), i);
    const auto& shown = prompts.shown()[i];
    EXPECT_EQ(shown.text, QStringLiteral("原因器材コード表も印刷しますか"));
    EXPECT_EQ(shown.title, QStringLiteral("印刷"));
    EXPECT_EQ(shown.icon, PromptIcon::Question);
    EXPECT_EQ(shown.buttons, PromptButtons::YesNo);
  }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
};

TEST_F(PrintReportSheetTest, NoPrintsTwoPagesYesThree) {
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    prompts.clear();
    QFile::remove(pdf());
    int pagesWhenAsked = -1;
    prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf()).answer(yes ? PromptAnswer::Yes : PromptAnswer::No, [&] {
      pagesWhenAsked = prompts.printPagesDone();
      EXPECT_FALSE(prompts.busy());  // no hourglass over the question
    });
    EXPECT_EQ(PrintReportSheet(prompts), PrintResult::Printed);
    ASSERT_EQ(prompts.shown().size(), 3u);
    expectMessage(0, QStringLiteral("A4用紙で印刷の向きを縦に指定してください"));
    EXPECT_EQ(prompts.shown()[1].kind, testing::ScriptedPrompts::Kind::Printer);
    EXPECT_FALSE(prompts.lastPrinterLandscape);
    expectQuestion(2);
    EXPECT_EQ(pagesWhenAsked, 2);  // asked once pages 1 and 2 are drawn
    EXPECT_FALSE(prompts.busy());

    const auto pages = testing::ReadPdfPages(pdf());
    ASSERT_EQ(pages.size(), yes ? 3u : 2u);
    EXPECT_TRUE(pages[0].find(QStringLiteral("A.針刺し・切創事故報告書")));
    EXPECT_TRUE(pages[1].find(QStringLiteral("17.あなたはどのようにすればこの事故が防げたと思いま")));
    if (yes) {
      EXPECT_TRUE(pages[2].find(QStringLiteral("針刺し・切創事故原因器材コード表")));
    }
  }
}

TEST_F(PrintReportSheetTest, CancelPrintsNothingAndAsksNothing) {
  prompts.answer(PromptAnswer::Ok).answerPrinterCancel();
  EXPECT_EQ(PrintReportSheet(prompts), PrintResult::Cancelled);
  EXPECT_EQ(prompts.shown().size(), 2u);
  EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(PrintReportSheetTest, FailingPrinterIsReportedAndNothingMoreIsPrinted) {
  // The printer cannot be opened: no page, no question.
  prompts.answer(PromptAnswer::Ok).answerPrinterFailing().answer(PromptAnswer::Ok);
  EXPECT_EQ(PrintReportSheet(prompts), PrintResult::Failed);
  ASSERT_EQ(prompts.shown().size(), 3u);
  expectMessage(2, QStringLiteral("プリンターが接続されていません"));

  // A PDF file in a place that cannot be written: its path and the reason.
  prompts.clear();
  QFile plain(dir.filePath(QStringLiteral("plain")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  const QString unwritable = plain.fileName() + QStringLiteral("/form.pdf");
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(unwritable).answer(PromptAnswer::Ok);
  EXPECT_EQ(PrintReportSheet(prompts), PrintResult::Failed);
  ASSERT_EQ(prompts.shown().size(), 3u);
  expectMessage(2, testing::PdfCannotBeCreatedMessage(unwritable));

  // Output that fails on the way: the pages and the question come, then
  // the message, and no file is left.
  prompts.clear();
  prompts.answer(PromptAnswer::Ok)
      .answerPrinterFailingWhileWriting()
      .answer(PromptAnswer::Yes)
      .answer(PromptAnswer::Ok);
  EXPECT_EQ(PrintReportSheet(prompts), PrintResult::Failed);
  ASSERT_EQ(prompts.shown().size(), 4u);
  expectQuestion(2);
  expectMessage(3, QStringLiteral("プリンターが接続されていません"));
}

}  // namespace
}  // namespace orvanta
