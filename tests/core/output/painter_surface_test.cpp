#include "core/output/painter_surface.h"

#include <gtest/gtest.h>

#include <numbers>

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
  EXPECT_EQ(At(220, 80), PaletteColor(10));         // upper right
  EXPECT_EQ(At(180, 80), QColor(Qt::white));        // upper left
  EXPECT_EQ(At(220, 120), QColor(Qt::white));       // lower right
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

}  // namespace
}  // namespace orvanta
