#include "core/reports/body_site_drawing.h"

#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(BodySiteDrawingImage, RendersAtAnySize) {
  EXPECT_TRUE(RenderBodySiteDrawing(QSize()).isNull());
  // Scaled twice, the chest of the front figure is still drawn where the
  // label of site 34 stands, and the corner stays background.
  const QImage big = RenderBodySiteDrawing(QSize(683 * 2, 392 * 2));
  ASSERT_EQ(big.size(), QSize(1366, 784));
  EXPECT_NE(big.pixel(BodySiteSpot(34) * 2), qRgb(255, 255, 255));
  EXPECT_EQ(big.pixel(2, 780), qRgb(255, 255, 255));
}

TEST(BodySiteDrawingImage, TheCoreLibraryCarriesTheDrawing) {
  // The core library alone (no window code linked) opens the drawing at its
  // own size, so the print layouts reach it.
  QSvgRenderer renderer(BodySiteDrawingPath());
  ASSERT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.defaultSize(), QSize(kBodyDrawingWidth, kBodyDrawingHeight));
}

}  // namespace
}  // namespace orvanta
