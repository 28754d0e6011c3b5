#include "core/output/graph_drawing.h"

#include <gtest/gtest.h>

#include "core/output/painter_surface.h"
#include "core/output/recording_surface.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Op = RecordingSurface::Op;

constexpr double kTurn = 2 * 3.1415;

GraphSeries Series(std::vector<std::int32_t> counts, bool codeList = false) {
  GraphSeries s;
  s.axis = codeList ? AnalysisAxis::Occupation : AnalysisAxis::Month;
  s.caption = u"職種"_s;
  s.codeListLabels = codeList;
  for (std::size_t k = 0; k < counts.size(); ++k) s.labels << u"区分%1"_s.arg(k + 1);
  s.counts = std::move(counts);
  return s;
}

struct Drawn {
  RecordingSurface figure;
  RecordingSurface text;
};

std::unique_ptr<Drawn> Draw(GraphKind kind, const GraphSeries& series) {
  auto d = std::make_unique<Drawn>();
  DrawGraph(kind, series, d->figure, d->text);
  return d;
}

void ExpectText(const RecordingSurface& s, const QString& text, double x, double y, double size) {
  const auto e = s.findText(text);
  ASSERT_TRUE(e) << text.toStdString();
  EXPECT_DOUBLE_EQ(e->x1, x) << text.toStdString();
  EXPECT_DOUBLE_EQ(e->y1, y) << text.toStdString();
  EXPECT_DOUBLE_EQ(e->fontSize, size) << text.toStdString();
}

TEST(GraphPictureSize, HeightAndScrollRange) {
  struct Case {
    GraphKind kind;
    int categories;
    int height;
    int scrollMax;
  };
  const Case cases[] = {
      {GraphKind::Bar, 65, 39000, 318},  // (39000 - 7215) / 100, rounded
      {GraphKind::Line, 65, 39000, 318}, {GraphKind::Bar, 12, 7200, 0}, {GraphKind::Bar, 13, 7800, 6},
      {GraphKind::Bar, 2, 1200, 0},      {GraphKind::Pie, 12, 7200, 0}, {GraphKind::Bar, 0, 0, 0},
      {GraphKind::Pie, 0, 7200, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.categories);
    const GraphSeries s = Series(std::vector<std::int32_t>(static_cast<std::size_t>(c.categories), 1));
    EXPECT_EQ(GraphPictureHeightTwips(c.kind, s), c.height);
    EXPECT_EQ(GraphScrollMaximum(c.kind, s), c.scrollMax);
  }
}

// A pie whose legend runs past 7200 twips grows downwards and scrolls, so
// that every entry stays on the picture.
TEST(GraphPictureSize, APieGrowsForALongLegend) {
  const GraphSeries s = Series(std::vector<std::int32_t>(50, 1));
  // Lines 2 to 51, a line under the last, from the top at -115.
  EXPECT_EQ(GraphPictureHeightTwips(GraphKind::Pie, s), 52 * 200 + 200 + 115);
  EXPECT_EQ(GraphScrollMaximum(GraphKind::Pie, s), 35);
  RecordingSurface figure, text;
  DrawPieGraph(s, figure, text);
  EXPECT_DOUBLE_EQ(text.ScaleHeight(), 52 * 200 + 200 + 115);
  EXPECT_DOUBLE_EQ(figure.ScaleHeight(), 52 * 200 + 200 + 115);
  const auto last = text.findText(u"区分1; 1件"_s);
  ASSERT_TRUE(last);
  EXPECT_DOUBLE_EQ(last->y1, 51 * 200 + 35);
  EXPECT_LT(last->y1 + 200, text.ScaleTop() + text.ScaleHeight());
  // Only the counted categories take legend lines.
  std::vector<std::int32_t> sparse(50, 0);
  sparse[3] = 2;
  EXPECT_EQ(GraphPictureHeightTwips(GraphKind::Pie, Series(sparse)), 7200);
}

TEST(BarGraph, FrameBarsCountsAndScale) {
  const auto d = Draw(GraphKind::Bar, Series({1, 4, 0, 2}));
  const RecordingSurface& text = d->text;
  // Coordinate systems: 100 units per category, 100 above and below.
  EXPECT_DOUBLE_EQ(d->figure.ScaleLeft(), -50);
  EXPECT_DOUBLE_EQ(d->figure.ScaleWidth(), 2100);
  EXPECT_DOUBLE_EQ(text.ScaleLeft(), -850);
  EXPECT_DOUBLE_EQ(text.ScaleWidth(), 3000);
  for (const RecordingSurface* s : {&d->figure, &d->text}) {
    EXPECT_DOUBLE_EQ(s->ScaleTop(), -100);
    EXPECT_DOUBLE_EQ(s->ScaleHeight(), 600);
    EXPECT_EQ(s->entries().front().op, Op::Clear);
    // The frame and its two ticks at the middle, blue, three dots wide.
    const auto lines = s->all(Op::Line);
    ASSERT_EQ(lines.size(), 6u);
    for (const auto& l : lines) {
      EXPECT_EQ(l.color, PaletteColor(9));
      EXPECT_EQ(l.lineWidth, 3);
    }
    EXPECT_DOUBLE_EQ(lines[4].x1, 1000);
    EXPECT_DOUBLE_EQ(lines[4].y2, 10);
    EXPECT_DOUBLE_EQ(lines[5].y1, 400);
    EXPECT_DOUBLE_EQ(lines[5].y2, 390);
    // Red bars: the largest count reaches x = 2000.
    const auto bars = s->all(Op::FilledBox);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_DOUBLE_EQ(bars[0].x2, 500);
    EXPECT_DOUBLE_EQ(bars[1].x2, 2000);
    EXPECT_DOUBLE_EQ(bars[1].y1, 120);
    EXPECT_DOUBLE_EQ(bars[1].y2, 180);
    EXPECT_DOUBLE_EQ(bars[2].x2, 0);
    EXPECT_EQ(bars[3].color, PaletteColor(12));
  }
  // The figure surface carries no text at all.
  EXPECT_TRUE(d->figure.texts().isEmpty());

  ExpectText(text, u"【職種】"_s, -800, -50, 9);
  ExpectText(text, u"区分2"_s, -830, 140, 9);
  ExpectText(text, u" 4"_s, 2000, 135, 9);
  ExpectText(text, u" 1"_s, 500, 35, 9);
  // Scale values in size 10 under and over the frame: 4, 0 and 2.
  const QStringList texts = text.texts();
  const QStringList scale = texts.mid(texts.size() - 6);
  EXPECT_EQ(scale, (QStringList{u" 4"_s, u" 0"_s, u" 2"_s, u" 4"_s, u" 0"_s, u" 2"_s}));
  const auto entries = text.all(Op::Text);
  const auto& bottomMax = entries[entries.size() - 6];
  EXPECT_DOUBLE_EQ(bottomMax.x1, 1950);
  EXPECT_DOUBLE_EQ(bottomMax.y1, 420);
  EXPECT_DOUBLE_EQ(bottomMax.fontSize, 10);
  EXPECT_DOUBLE_EQ(entries.back().x1, 950);
  EXPECT_DOUBLE_EQ(entries.back().y1, -70);
  EXPECT_DOUBLE_EQ(text.FontSize(), 9);
}

TEST(BarGraph, MiddleScaleValueIsHalfTheMaximumCutToOneDecimal) {
  for (const auto& [counts, middle] :
       {std::pair{std::vector<std::int32_t>{7, 3}, u" 3.5"_s}, std::pair{std::vector<std::int32_t>{5, 12}, u" 6"_s}}) {
    const auto d = Draw(GraphKind::Bar, Series(counts));
    const auto texts = d->text.all(Op::Text);
    EXPECT_EQ(texts.back().text, middle);
    EXPECT_DOUBLE_EQ(texts.back().x1, 950);
  }
}

TEST(BarGraph, NothingCountedDrawsFrameTitleAndScaleOnly) {
  const auto d = Draw(GraphKind::Bar, Series({0, 0, 0}));
  EXPECT_TRUE(d->text.all(Op::FilledBox).empty());
  EXPECT_EQ(d->text.texts(), (QStringList{u"【職種】"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s, u" 0"_s}));
  EXPECT_EQ(d->text.all(Op::Line).size(), 6u);
  EXPECT_EQ(d->figure.all(Op::Line).size(), 6u);
}

// Counts stay readable: one that would run into the frame's line stands
// right of it, one that would run off the picture in white inside its bar.
TEST(BarGraph, CountsKeepClearOfTheFrameAndThePictureEdge) {
  const auto near = Draw(GraphKind::Bar, Series({100, 97, 50}));
  ExpectText(near->text, u" 100"_s, 2000, 35, 9);
  ExpectText(near->text, u" 97"_s, 2000, 135, 9);  // its bar ends at 1940
  ExpectText(near->text, u" 50"_s, 1000, 235, 9);

  const auto wide = Draw(GraphKind::Bar, Series({12345, 100}));
  const auto big = wide->text.findText(u" 12345"_s);
  ASSERT_TRUE(big);
  EXPECT_LT(big->x1, 2000 - 150);
  EXPECT_GT(big->x1, 1500);
  EXPECT_EQ(big->color, PaletteColor(15));
  const auto small = wide->text.findText(u" 100"_s);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->color, PaletteColor(0));
}

// A label wider than its column, as the surface measures it, is written
// smaller so that it ends before the frame. (The recording surface counts a
// full-width character as one em on a drawable area 200 mm wide: 47.6 units
// on the text surface at 9 points; the column is 800 units.)
TEST(BarGraph, WideLabelsFitTheirColumn) {
  GraphSeries s = Series({3, 1, 2});
  s.labels[0] = QString(20, QChar(u'幅'));  // 952 units at 9 points
  s.labels[1] = QString(17, QChar(u'幅'));  // 810
  s.labels[2] = QString(16, QChar(u'幅'));  // 762: fits
  const auto d = Draw(GraphKind::Bar, s);
  ExpectText(d->text, s.labels[0], -830, 40, 7.5);
  ExpectText(d->text, s.labels[1], -830, 140, 8.5);
  ExpectText(d->text, s.labels[2], -830, 240, 9);
  EXPECT_DOUBLE_EQ(d->text.FontSize(), 9);
}

// On the picture itself, a code-list name of 16 full-width characters (too
// wide at 9 points for the 171 pixels of its column) ends before the frame.
TEST(BarGraph, WideLabelEndsBeforeTheFrameOnThePicture) {
  GraphSeries s = Series({3, 1}, true);
  s.labels[0] = QString(16, QChar(u'幅'));
  const QSize size(627, 80);  // two categories
  PainterSurface figure(size), text(size);
  DrawBarGraph(s, figure, text);
  const QImage image = text.Image();
  const int frame = static_cast<int>(850.0 / 3000 * 627);  // x = 0 on the text surface
  // The label's row: units 40 to about 100 of 400 from -100, 0.2 pixels each.
  int inkLeft = 0, inkNearFrame = 0;
  for (int y = 26; y < 40; ++y) {
    for (int x = 0; x < 60; ++x)
      if (qGray(image.pixel(x, y)) < 100) ++inkLeft;
    for (int x = frame - 5; x < frame - 1; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() < 150 && c.green() < 150 && c.blue() < 150) ++inkNearFrame;
    }
  }
  EXPECT_GT(inkLeft, 20);  // the label is there
  EXPECT_EQ(inkNearFrame, 0);
}

TEST(BarGraph, LongCodeListNamesWrapSmallerAndTheSizeComesBack) {
  GraphSeries s = Series({3, 1}, true);
  s.labels[0] = QString(40, QChar(u'長'));  // three pieces: size 6, lines of 19
  const auto d = Draw(GraphKind::Bar, s);
  const auto texts = d->text.all(Op::Text);
  std::vector<RecordingSurface::Entry> lines;
  for (const auto& e : texts)
    if (e.text.startsWith(u'長')) lines.push_back(e);
  ASSERT_EQ(lines.size(), 3u);
  for (int j = 0; j < 3; ++j) {
    EXPECT_DOUBLE_EQ(lines[j].x1, -830);
    EXPECT_DOUBLE_EQ(lines[j].y1, 20 + 25 * j);
    EXPECT_DOUBLE_EQ(lines[j].fontSize, 6);
  }
  EXPECT_EQ(lines[2].text.size(), 2);
  ExpectText(d->text, u"区分2"_s, -830, 140, 9);
  // Other items never wrap; a label too wide is only written smaller.
  GraphSeries sites = Series({3, 1});
  sites.labels[0] = QString(40, QChar(u'長'));
  ExpectText(Draw(GraphKind::Bar, sites)->text, sites.labels[0], -830, 40, 3.5);  // 1905 units at 9 points
}

TEST(LineGraph, PointsJoinedInRedOnBothSurfaces) {
  const auto d = Draw(GraphKind::Line, Series({2, 4, 1}));
  for (const RecordingSurface* s : {&d->figure, &d->text}) {
    const auto lines = s->all(Op::Line);
    ASSERT_EQ(lines.size(), 8u);  // frame, ticks, two segments
    EXPECT_DOUBLE_EQ(lines[6].x1, 1000);
    EXPECT_DOUBLE_EQ(lines[6].y1, 0);
    EXPECT_DOUBLE_EQ(lines[6].x2, 2000);
    EXPECT_DOUBLE_EQ(lines[6].y2, 100);
    EXPECT_DOUBLE_EQ(lines[7].x2, 500);
    EXPECT_DOUBLE_EQ(lines[7].y2, 200);
    EXPECT_EQ(lines[7].color, PaletteColor(12));
    EXPECT_EQ(lines[7].lineWidth, 1);
    EXPECT_TRUE(s->all(Op::FilledBox).empty());
  }
  EXPECT_TRUE(d->figure.texts().isEmpty());
  ExpectText(d->text, u"区分3"_s, -830, 240, 9);
  for (const auto& e : d->text.all(Op::Text)) EXPECT_NE(e.x1, 2000) << e.text.toStdString();  // no counts
}

TEST(PieGraph, LastCategoryFirstFromThreeOClockCounterClockwise) {
  const auto d = Draw(GraphKind::Pie, Series({1, 2, 1}));
  for (const RecordingSurface* s : {&d->figure, &d->text}) {
    EXPECT_DOUBLE_EQ(s->ScaleLeft(), -425);
    EXPECT_DOUBLE_EQ(s->ScaleTop(), -115);
    EXPECT_DOUBLE_EQ(s->ScaleWidth(), 9405);
    EXPECT_DOUBLE_EQ(s->ScaleHeight(), 7200);
    const auto arcs = s->all(Op::Arc);
    ASSERT_EQ(arcs.size(), 3u);
    const double spans[] = {0.25, 0.5, 0.25};
    const int colours[] = {9, 10, 11};
    double at = 1e-10;
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_DOUBLE_EQ(arcs[i].x1, 5900);
      EXPECT_DOUBLE_EQ(arcs[i].y1, 3500);
      EXPECT_DOUBLE_EQ(arcs[i].radius, 2900);
      EXPECT_DOUBLE_EQ(arcs[i].startAngle, at);
      EXPECT_NEAR(arcs[i].endAngle, at + spans[i] * kTurn, 1e-12);
      at = arcs[i].endAngle;
      EXPECT_TRUE(arcs[i].withRadii);
      EXPECT_EQ(arcs[i].fillStyle, FillStyle::Solid);
      EXPECT_EQ(arcs[i].fillColor, PaletteColor(colours[i]));
      EXPECT_EQ(arcs[i].color, PaletteColor(0));
    }
  }
  EXPECT_TRUE(d->figure.texts().isEmpty());
  EXPECT_TRUE(d->figure.all(Op::FilledBox).empty());
  // The legend from the last category to the first, in the sectors' colours.
  ExpectText(d->text, u"【職種】"_s, 120, 50, 9);
  ExpectText(d->text, u"区分3; 1件"_s, 100, 435, 9);
  ExpectText(d->text, u"区分2; 2件"_s, 100, 635, 9);
  ExpectText(d->text, u"区分1; 1件"_s, 100, 835, 9);
  const auto boxes = d->text.all(Op::FilledBox);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_DOUBLE_EQ(boxes[0].x1, -140);
  EXPECT_DOUBLE_EQ(boxes[0].y1, 460);
  EXPECT_DOUBLE_EQ(boxes[0].x2, 20);
  EXPECT_DOUBLE_EQ(boxes[0].y2, 560);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[i].color, PaletteColor(9 + i));
}

TEST(PieGraph, EmptyCategoriesDrawNothingAndTakeNoColour) {
  const auto d = Draw(GraphKind::Pie, Series({2, 0, 1, 0}));
  const auto arcs = d->text.all(Op::Arc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0].fillColor, PaletteColor(9));   // category 3
  EXPECT_EQ(arcs[1].fillColor, PaletteColor(10));  // category 1
  EXPECT_NEAR(arcs[1].endAngle - arcs[1].startAngle, kTurn * 2 / 3, 1e-12);
  EXPECT_EQ(d->text.texts(), (QStringList{u"【職種】"_s, u"区分3; 1件"_s, u"区分1; 2件"_s}));
  EXPECT_EQ(d->text.all(Op::FilledBox)[1].color, PaletteColor(10));

  // Nothing counted: the title alone.
  const auto none = Draw(GraphKind::Pie, Series({0, 0}));
  EXPECT_EQ(none->text.texts(), QStringList{u"【職種】"_s});
  EXPECT_TRUE(none->text.all(Op::Arc).empty());
  EXPECT_TRUE(none->figure.all(Op::Arc).empty());
}

TEST(PieGraph, ColoursCycleThroughThirteenAndStartAgain) {
  const auto d = Draw(GraphKind::Pie, Series(std::vector<std::int32_t>(15, 1)));
  const auto arcs = d->figure.all(Op::Arc);
  ASSERT_EQ(arcs.size(), 15u);
  const int expected[] = {9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4, 5, 6, 9, 10};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(arcs[i].fillColor, PaletteColor(expected[i])) << i;
}

TEST(PieGraph, LongCodeListLegendWrapsLineByLine) {
  GraphSeries s = Series({1, 5}, true);
  s.labels[1] = QString(20, QChar(u'長'));  // "長…長; 5件": 25 characters, two lines of 16
  const auto d = Draw(GraphKind::Pie, s);
  const auto texts = d->text.all(Op::Text);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1].text, QString(16, QChar(u'長')));
  EXPECT_DOUBLE_EQ(texts[1].y1, 415);
  EXPECT_DOUBLE_EQ(texts[1].fontSize, 7);
  EXPECT_EQ(texts[2].text, u"長長長長; 5件"_s);
  EXPECT_DOUBLE_EQ(texts[2].y1, 615);
  // The next entry takes the line after both.
  EXPECT_EQ(texts[3].text, u"区分1; 1件"_s);
  EXPECT_DOUBLE_EQ(texts[3].y1, 835);
  EXPECT_DOUBLE_EQ(texts[3].fontSize, 9);
}

// Drawn on pictures: the figure alone has no text pixels where the text
// surface has its labels, and the pie is round and smooth.
TEST(GraphPictures, FigureWithoutTextsAndARoundPie) {
  const GraphSeries s = Series({3, 5, 2, 4});
  const QSize size(627, 160);
  PainterSurface figure(size), text(size);
  DrawBarGraph(s, figure, text);
  const QImage withTexts = text.Image();
  const QImage alone = figure.Image();
  // The label column of the text surface (left of the plot) has dark text
  // pixels; nothing but white and the plot's colours appear on the figure.
  int darkInLabels = 0;
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < 150; ++x)
      if (qGray(withTexts.pixel(x, y)) < 100) ++darkInLabels;
  EXPECT_GT(darkInLabels, 20);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) {
      const QColor c = alone.pixelColor(x, y);
      ASSERT_FALSE(c.red() < 100 && c.green() < 100 && c.blue() < 100) << x << "," << y;
    }

  PainterSurface pieFigure(QSize(627, 480)), pieText(QSize(627, 480));
  DrawPieGraph(Series({1, 1}), pieFigure, pieText);
  const QImage pie = pieFigure.Image();
  // Centre (5900, 3500) twips from (-425, -115): pixel (421.7, 241); radius 193 px.
  EXPECT_EQ(pie.pixelColor(421 + 150, 241 - 10), PaletteColor(9));   // first sector above 3 o'clock
  EXPECT_EQ(pie.pixelColor(421 + 150, 241 + 10), PaletteColor(10));  // second below
  EXPECT_EQ(pie.pixelColor(421, 241 - 180), PaletteColor(9));
  EXPECT_EQ(pie.pixelColor(421, 241 + 180), PaletteColor(10));
  EXPECT_EQ(pie.pixelColor(421, 241 - 200), QColor(Qt::white));
  EXPECT_EQ(pie.pixelColor(421 - 200, 241), QColor(Qt::white));
  // Smooth edge: some pixels on the rim are blends.
  int blended = 0;
  for (int x = 421 - 192; x < 421 - 176; ++x) {
    const QColor c = pie.pixelColor(x, 241 - 60);
    if (c != QColor(Qt::white) && c != PaletteColor(10) && c != PaletteColor(9) && c != PaletteColor(0)) ++blended;
  }
  EXPECT_GT(blended, 0);
}

}  // namespace
}  // namespace orvanta
