#include "core/output/surface.h"

#include <array>

namespace orvanta {

QColor PaletteColor(int number) {
  static constexpr std::array<std::array<int, 3>, 16> kPalette{{
      {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},   {128, 0, 128},
      {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
      {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
  }};
  const auto& rgb = kPalette[static_cast<std::size_t>(number & 15)];
  return QColor(rgb[0], rgb[1], rgb[2]);
}

void Surface::SetScale(double left, double top, double right, double bottom) {
  scaleLeft_ = left;
  scaleTop_ = top;
  scaleRight_ = right;
  scaleBottom_ = bottom;
}

}  // namespace orvanta
