#include "core/output/painter_surface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numbers>

#include "core/platform/print_output.h"
#include "support/pdf_pages.h"

namespace orvanta {
namespace {

// A picture of 400 x 200 pixels with 2000 x 500 units: units are not square.
class PictureSurfaceTest : public ::testing::Test {
 protected:
  PainterSurface surface{QSize(400, 200)};
  void SetUp() override {
    surface.SetAntialiased(false);
    surface.SetScale(0, 0, 2000, 500);
  }
  QColor At(int x, int y) const { return surface.Image().pixelColor(x, y); }
};

TEST_F(PictureSurfaceTest, FilledBoxLandsWhereTheUnitsSay) {
  surface.FillBox(500, 100, 1000, 250, PaletteColor(12));
  EXPECT_EQ(At(150, 60), QColor(255, 0, 0));   // inside (100..200, 40..100)
  EXPECT_EQ(At(99, 60), QColor(Qt::white));    // left of it
  EXPECT_EQ(At(150, 101), QColor(Qt::white));  // below it
}

TEST_F(PictureSurfaceTest, SectorIsRoundAndCountsItsRadiusInHorizontalUnits) {
  surface.SetFillStyle(FillStyle::Solid);
  surface.SetFillColor(9);
  // Radius 250 units = 50 pixels across and down, although a vertical unit
  // is 0.4 pixels.
  surface.DrawArc(1000, 250, 250, PaletteColor(0), 0, 2 * std::numbers::pi, true);
  EXPECT_EQ(At(200, 100 - 40), PaletteColor(9));
  EXPECT_EQ(At(200, 100 + 40), PaletteColor(9));
  EXPECT_EQ(At(200 - 40, 100 - 3), PaletteColor(9));
  EXPECT_EQ(At(200, 100 - 56), QColor(Qt::white));
  EXPECT_EQ(At(200 - 56, 100 - 3), QColor(Qt::white));
}

TEST_F(PictureSurfaceTest, QuarterSectorGoesCounterClockwiseFromThreeOClock) {
  surface.SetFillStyle(FillStyle::Solid);
  surface.SetFillColor(10);
  surface.DrawArc(1000, 250, 250, PaletteColor(0), 0, std::numbers::pi / 2, true);
  EXPECT_EQ(At(220, 80), PaletteColor(10));    // upper right
  EXPECT_EQ(At(180, 80), QColor(Qt::white));   // upper left
  EXPECT_EQ(At(220, 120), QColor(Qt::white));  // lower right
}

TEST_F(PictureSurfaceTest, TextHasItsTopLeftCornerAtThePosition) {
  surface.SetFontSize(20);
  surface.SetPosition(500, 200);  // pixel (100, 80)
  surface.PrintText(QStringLiteral("■"));
  const QImage image = surface.Image();
  int top = -1, left = -1;
  for (int y = 0; y < image.height() && top < 0; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) != QColor(Qt::white)) {
        top = y;
        break;
      }
  for (int x = 0; x < image.width() && left < 0; ++x)
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(x, y) != QColor(Qt::white)) {
        left = x;
        break;
      }
  EXPECT_GE(top, 80);
  EXPECT_LE(top, 80 + 12);  // below the position, within the font's leading
  EXPECT_GE(left, 100);
  EXPECT_LE(left, 100 + 6);
}

// Pages: a PDF file drawn through the surface and read back.
class PageSurfaceTest : public ::testing::Test {
 protected:
  QString pdf(const char* name) const { return dir.filePath(QLatin1String(name)); }
  // Draws on an A4 page of the orientation given and ends the document.
  void Draw(const QString& path, bool landscape, const std::function<void(Surface&)>& draw) {
    auto output = PdfFileOutput::Create(path, PdfFileOutput::A4Layout(landscape));
    {
      PainterSurface surface(output.get());
      draw(surface);
      ASSERT_TRUE(surface.EndDocument());
      ASSERT_FALSE(surface.Failed());
    }
    ASSERT_TRUE(output->commit());
  }
  QTemporaryDir dir;
};

// A text keeps its point size whatever the units: the same 9-point text on a
// portrait page of 2000 x 3700 units and a landscape one of 3450 x 4000 units
// (and 18 points twice as large).
TEST_F(PageSurfaceTest, TextsKeepTheirPointSizeWhateverTheUnits) {
  struct Page {
    bool landscape;
    double width, height, points;
  };
  const Page pages[] = {{false, 2000, 3700, 9}, {true, 3450, 4000, 9}, {true, 3450, 4000, 18}};
  std::vector<QSizeF> sizes;
  for (const Page& p : pages) {
    const QString path = pdf("text.pdf");
    Draw(path, p.landscape, [&](Surface& s) {
      s.SetScale(0, 0, p.width, p.height);
      s.SetFontSize(p.points);
      s.SetPosition(p.width / 4, p.height / 4);
      s.PrintText(QStringLiteral("針刺し事故"));
    });
    const auto read = testing::ReadPdfPages(path);
    ASSERT_EQ(read.size(), 1u);
    const auto word = read[0].find(QStringLiteral("針刺し事故"));
    ASSERT_TRUE(word);
    sizes.emplace_back(word->xMax - word->xMin, word->yMax - word->yMin);
    // Its top-left corner where the units say.
    const QRectF paint = PdfFileOutput::A4Layout(p.landscape).paintRect(QPageLayout::Point);
    EXPECT_NEAR(word->xMin, paint.left() + paint.width() / 4, 1.0);
    EXPECT_NEAR(word->yMin, paint.top() + paint.height() / 4, 1.5);
  }
  EXPECT_NEAR(sizes[0].width(), 5 * 9.0, 3.0);  // five full-width characters of 9 points
  EXPECT_NEAR(sizes[1].width(), sizes[0].width(), 0.2);
  EXPECT_NEAR(sizes[1].height(), sizes[0].height(), 0.2);
  EXPECT_NEAR(sizes[2].width(), 2 * sizes[1].width(), 0.5);
}

// The dark run across a line of the page drawn at 600 dots per inch.
int Thickness(const QImage& page, int x, int fromY, int toY) {
  int dark = 0;
  for (int y = fromY; y < toY; ++y)
    if (qGray(page.pixel(x, y)) < 128) ++dark;
  return dark;
}

// Widths count the dots of a 600-dpi printer; a dotted line on paper shows
// its dots whatever its width.
TEST_F(PageSurfaceTest, LineWidthsAreDotsAndDottedLinesShowTheirDots) {
  const QString path = pdf("lines.pdf");
  Draw(path, false, [](Surface& s) {
    s.SetScale(0, 0, 2000, 3700);
    s.SetLineWidth(1);
    s.DrawLine(100, 1000, 1900, 1000);
    s.SetLineWidth(4);
    s.DrawLine(100, 2000, 1900, 2000);
    s.SetLineWidth(1);
    s.SetLineStyle(LineStyle::Dotted);
    s.DrawLine(100, 3000, 1900, 3000);
  });
  // Pixels of 1/600 inch: where the units put each line.
  const QRectF paint = PdfFileOutput::A4Layout(false).paintRect(QPageLayout::Point);
  const auto px = [](double points) { return static_cast<int>(points * 600 / 72); };
  const int left = px(paint.left() + paint.width() * 200 / 2000);
  const int width = px(paint.width() * 1600 / 2000);
  const auto band = [&](double units) {
    return testing::PdfPageImage(path, 1, 600,
                                 QRect(left, px(paint.top() + paint.height() * units / 3700) - 20, width, 41));
  };
  const QImage thin = band(1000), thick = band(2000), dotted = band(3000);
  ASSERT_FALSE(thin.isNull() || thick.isNull() || dotted.isNull());
  EXPECT_NEAR(Thickness(thin, width / 2, 0, 41), 1, 1);
  EXPECT_NEAR(Thickness(thick, width / 2, 0, 41), 4, 1);
  // Along the dotted line: a dot every 18 printer dots (6 on, 12 off).
  int dots = 0;
  bool inDot = false;
  for (int x = 0; x < width; ++x) {
    bool dark = false;
    for (int y = 15; y <= 25; ++y) dark = dark || qGray(dotted.pixel(x, y)) < 160;
    if (dark && !inDot) ++dots;
    inDot = dark;
  }
  EXPECT_NEAR(dots, width / 18, width / 180);
}

}  // namespace
}  // namespace orvanta
