#include "core/reports/body_sites.h"

namespace orvanta {

void FillBodySiteNames(std::array<QString, kSiteSlots>& names) {
  // clang-format off
  static const char16_t* const kNames[kSiteCount] = {
      u"右手親指外側",     u"右手人差し指外側", u"右手中指外側",     u"右手薬指外側",
      u"右手小指外側",     u"右手甲左側",       u"右手甲右側",       u"右手のひら左側",
      u"右手小指内側",     u"右手薬指内側",     u"右手中指内側",     u"右手人差し指内側",
      u"右手のひら右側",   u"右手親指内側",     u"左手親指内側",     u"左手のひら左側",
      u"左手人差し指内側", u"左手中指内側",     u"左手薬指内側",     u"左手小指内側",
      u"左手のひら右側",   u"左手甲左側",       u"左手小指外側",     u"左手薬指外側",
      u"左手中指外側",     u"左手人差し指外側", u"左手甲右側",       u"左手親指外側",
      u"",                 u"右腰部前面",       u"右前腕前面",       u"右上腕前面",
      u"右顔面",           u"右胸部",           u"右鼠径部",         u"右大腿前面",
      u"右下腿前面",       u"右足背部",         u"左顔面",           u"左胸部",
      u"左鼠径部",         u"左大腿前面",       u"左下腿前面",       u"左足背部",
      u"左上腕前面",       u"左前腕前面",       u"左腰部前面",       u"左腰部後面",
      u"左前腕後面",       u"左上腕後面",       u"左後頭部",         u"左背部",
      u"左臀部",           u"左大腿後面",       u"左下腿後面",       u"左足底部",
      u"右後頭部",         u"右背部",           u"右臀部",           u"右大腿後面",
      u"右下腿後面",       u"右足底部",         u"右上腕後面",       u"右前腕後面",
      u"右腰部後面",
  };
  // clang-format on
  for (int i = 0; i < kSiteSlots; ++i) names[i] = i < kSiteCount ? QString::fromUtf16(kNames[i]) : QString();
}

const std::array<QString, kSiteSlots>& BodySiteNames() {
  static const std::array<QString, kSiteSlots> names = [] {
    std::array<QString, kSiteSlots> filled;
    FillBodySiteNames(filled);
    return filled;
  }();
  return names;
}

BodyRegion BodyRegionOf(int n) {
  if (n >= 1 && n <= 14) return BodyRegion::RightHand;
  if (n >= 15 && n <= 28) return BodyRegion::LeftHand;
  if (n >= 30 && n <= 47) return BodyRegion::Front;
  if (n >= 48 && n <= 65) return BodyRegion::Back;
  return BodyRegion::None;
}

QString BodyRegionCaption(BodyRegion region) {
  switch (region) {
    case BodyRegion::RightHand: return QStringLiteral("右手");
    case BodyRegion::LeftHand: return QStringLiteral("左手");
    case BodyRegion::Front: return QStringLiteral("前面");
    case BodyRegion::Back: return QStringLiteral("背面");
    case BodyRegion::None: break;
  }
  return QString();
}

bool IsDrawnSite(int n) { return BodyRegionOf(n) != BodyRegion::None; }

SiteCheckBoxPlace CheckBoxPlaceOf(int n) {
  if (!IsDrawnSite(n)) return {};
  if (n <= 48) return {(n - 1) / 16, (n - 1) % 16};
  return {3, n - 49};
}

}  // namespace orvanta
