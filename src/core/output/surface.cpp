#include "core/output/surface.h"

#include <array>

namespace orvanta {

// clang-format off
QColor PaletteColor(int number) {
  static constexpr std::array<std::array<int, 3>, 16> kPalette{{
      {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},   {128, 0, 128},
      {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
      {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
  }};
  const auto& rgb = kPalette[static_cast<std::size_t>(number & 15)];
  return QColor(rgb[0], rgb[1], rgb[2]);
}
// clang-format on

void Surface::SetScale(double left, double top, double right, double bottom) {
  scaleLeft_ = left;
  scaleTop_ = top;
  scaleRight_ = right;
  scaleBottom_ = bottom;
}

double Surface::TextWidth(const QString& text) const {
  double ems = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    // Half-width katakana and ASCII are narrow; the rest of a Japanese text
    // (kana, kanji, full-width forms, the ideographic space) is wide.
    const bool narrow = u < 0x2E80 || (u >= 0xFF61 && u <= 0xFF9F);
    ems += narrow ? 2.0 / 3.0 : 1.0;
  }
  constexpr double kMillimetresPerPoint = 25.4 / 72;
  constexpr double kDrawableMillimetres = 200;
  return ems * fontSize_ * kMillimetresPerPoint * (scaleRight_ - scaleLeft_) / kDrawableMillimetres;
}

}  // namespace orvanta
