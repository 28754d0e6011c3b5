#include "core/analysis/analysis_axis.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"

namespace orvanta {
namespace {

// ---------------------------------------------------------------------------
// Captions and labels

const char16_t* const kCaptions[kAxisCount] = {
    u"職種",
    u"発生場所",
    u"機器の使用目的",
    u"事故発生状況",
    u"原因器材",
    u"事故程度",
    u"受傷者の原因器材の使用中",
    u"器材の汚染",
    u"所属部署",
    u"行為別",
    u"発生月",
    u"発生時刻",
    u"経験年数",
    u"当該部署における経験年数",
    u"患者の感染症の有無",
    u"緊急処置時",
    u"針刺し・切創部位",  // full-width middle dot U+30FB
};
constexpr const char16_t* kBodySiteCaptionHalfWidth = u"針刺し･切創部位";  // U+FF65

const char16_t* const kHourFilterLabels[12] = {
    u"0～2時",   u"2～4時",   u"4～6時",   u"6～8時",   u"8～10時",  u"10～12時",
    u"12～14時", u"14～16時", u"16～18時", u"18～20時", u"20～22時", u"22～24時",
};
const char16_t* const kExperienceLabels[8] = {
    u"0～1年", u"2～3年", u"4～5年", u"6～9年", u"10～14年", u"15～19年", u"20～29年", u"30年以上",
};
const char16_t* const kInfectionLabels[10] = {
    u"HIV陽性", u"HIV陰性", u"HIV未検査", u"HCV陽性", u"HCV陰性",
    u"HCV未検査", u"HBV陽性", u"HBV陰性", u"HBV未検査", u"その他",
};
const char16_t* const kEmergencyFilterLabels[2] = {u"はい", u"いいえ"};
const char16_t* const kEmergencyTableLabels[2] = {u"緊急処置時であった", u"緊急処置時でなかった"};

constexpr int kMonthCount = 12;
constexpr int kHourBandCount = 12;
constexpr int kExperienceBandCount = 8;
constexpr int kInfectionCategoryCount = 10;
constexpr int kEmergencyCategoryCount = 2;

// A number as the general number-to-text conversion writes it: a blank in
// the place of the sign when it is not negative.
QString Signed(int n) { return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n); }

template <std::size_t N>
void AppendAll(QStringList& out, const char16_t* const (&labels)[N]) {
  for (const char16_t* label : labels) out << QString::fromUtf16(label);
}

// ---------------------------------------------------------------------------
// Experience bands

int BandOf(double v) {
  if (v < 2) return 1;
  if (v < 4) return 2;
  if (v < 6) return 3;
  if (v < 10) return 4;
  if (v < 15) return 5;
  if (v < 20) return 6;
  if (v < 30) return 7;
  return 8;
}

// The band of the leading number of a text, given its code units. Unit must
// convert to char16_t; only ASCII units take part in a number.
template <typename Unit>
int BandOfUnits(const Unit* s, qsizetype n) {
  qsizetype i = 0;
  auto at = [&](qsizetype k) { return static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(s[k])); };
  while (i < n && (at(i) == u' ' || at(i) == u'\t')) ++i;
  bool negative = false;
  if (i < n && (at(i) == u'-' || at(i) == u'+')) {
    negative = at(i) == u'-';
    ++i;
  }
  // Digits with at most one decimal point.
  const qsizetype start = i;
  bool anyDigit = false;
  bool point = false;
  std::int64_t whole = 0;  // the digits before the point, held at 1000 at most
  for (; i < n; ++i) {
    const char16_t c = at(i);
    if (c >= u'0' && c <= u'9') {
      anyDigit = true;
      if (!point) whole = std::min<std::int64_t>(whole * 10 + (c - u'0'), 1000);
    } else if (c == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 1;  // no number: 0 years
  if (negative) return 1;   // every value at or below zero is in the first band
  if (!point) return BandOf(static_cast<double>(whole));
  // A fraction: read the value as a double, so that a long run of nines
  // rounds the way a decimal reading does ("1.99999999999999999" is 2).
  char buffer[128];
  const qsizetype len = std::min<qsizetype>(i - start, static_cast<qsizetype>(sizeof buffer));
  for (qsizetype k = 0; k < len; ++k) buffer[k] = static_cast<char>(at(start + k));
  double v = 0;
  const auto result = std::from_chars(buffer, buffer + len, v);
  if (result.ec == std::errc::result_out_of_range) return 8;
  if (result.ec != std::errc()) return 1;
  return BandOf(v);
}

// ---------------------------------------------------------------------------
// Reading a data file for the scan
//
// The same lines and the same rules as ReadDataFile, but without decoding
// any text: texts are remembered by their place in the bytes, and only the
// values the items read are kept.

class LineCursor {
 public:
  LineCursor(const char* data, qsizetype size) : base_(data), p_(data), end_(data + size) {}

  // A number line in [lo, hi]. False at the end of the bytes, for a line
  // that holds no number, or for a number outside the range.
  inline bool number(std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    const char* s = p_;
    // The common line of a data file as written: " digits \r\n".
    if (end_ - s >= 16 && s[0] == ' ') {
      const char* d = s + 1;
      std::int64_t v = 0;
      while (static_cast<unsigned char>(*d - '0') <= 9 && d - s <= 9) {
        v = v * 10 + (*d - '0');
        ++d;
      }
      if (d != s + 1 && d[0] == ' ' && d[1] == '\r' && d[2] == '\n') {
        out = v;
        p_ = d + 3;
        return v >= lo && v <= hi;
      }
    }
    return numberSlow(lo, hi, out);
  }

  // A body-site mark (int16). Most marks are " 0 \r\n" or " 1 \r\n", which
  // are compared as five bytes at once.
  inline bool mark(std::int64_t& out) {
    if constexpr (std::endian::native == std::endian::little) {
      if (end_ - p_ >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p_, sizeof word);
        word &= 0xFFFFFFFFFFull;
        if (word == kZeroMark || word == kOneMark) {
          out = word == kOneMark ? 1 : 0;
          p_ += 5;
          return true;
        }
      }
    }
    return number(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), out);
  }

  // The 81 marks of one report when every one is " 0 \r\n" or " 1 \r\n":
  // bit s of bits set for a 1 in slot s < 65 (site s + 1). False, with
  // nothing read and bits unchanged, when any mark is written otherwise.
  inline bool plainMarks(std::array<std::uint64_t, 2>& bits) {
    if constexpr (std::endian::native != std::endian::little) return false;
    constexpr qsizetype kBlock = static_cast<qsizetype>(kSiteSlots) * 5;
    // Eight bytes are loaded for each five-byte mark.
    if (end_ - p_ < kBlock + 3) return false;
    const char* p = p_;
    std::uint64_t found[2] = {0, 0};
    for (int s = 0; s < kSiteSlots; ++s, p += 5) {
      std::uint64_t word = 0;
      std::memcpy(&word, p, sizeof word);
      word &= 0xFFFFFFFFFFull;
      if (word == kOneMark) {
        if (s < kSiteCount) found[s >> 6] |= std::uint64_t{1} << (s & 63);
      } else if (word != kZeroMark) {
        return false;
      }
    }
    bits[0] |= found[0];
    bits[1] |= found[1];
    p_ = p;
    return true;
  }

  inline bool int32(std::int32_t& out) {
    std::int64_t v = 0;
    if (!number(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
  }

  // Skips a number line, checking it as int32.
  inline bool skipInt32() {
    std::int64_t v = 0;
    return number(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v);
  }

  // A text line: its place in the bytes. False only at the end of the bytes.
  inline bool text(std::uint32_t& offset, std::uint32_t& length) {
    if (p_ >= end_) return false;
    const char* stop = LineStop(p_);
    offset = static_cast<std::uint32_t>(p_ - base_);
    length = static_cast<std::uint32_t>(stop - p_);
    p_ = EndOfLine(stop);
    return true;
  }

  inline bool skipText() {
    if (p_ >= end_) return false;
    p_ = EndOfLine(LineStop(p_));
    return true;
  }

 private:
  // " 0 \r\n" and " 1 \r\n" read as little-endian 40-bit words.
  static constexpr std::uint64_t kZeroMark = 0x0A0D203020ull;
  static constexpr std::uint64_t kOneMark = 0x0A0D203120ull;

  // [blanks][-]digits[blanks] and the line end, or else the general way of
  // the file reader.
  bool numberSlow(std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    const char* s = p_;
    if (s >= end_) return false;
    while (s < end_ && *s == ' ') ++s;
    const bool negative = s < end_ && *s == '-';
    if (negative) ++s;
    const char* firstDigit = s;
    std::int64_t value = 0;
    while (s < end_ && static_cast<unsigned char>(*s - '0') <= 9 && s - firstDigit < 12) {
      value = value * 10 + (*s - '0');
      ++s;
    }
    if (s != firstDigit && (s == end_ || static_cast<unsigned char>(*s - '0') > 9)) {
      while (s < end_ && *s == ' ') ++s;
      if (s == end_ || *s == '\r' || *s == '\n') {
        p_ = EndOfLine(s);
        out = negative ? -value : value;
        return out >= lo && out <= hi;
      }
    }
    const char* start = p_;
    const char* stop = LineStop(start);
    p_ = EndOfLine(stop);
    std::int64_t v = 0;
    if (!ParseLenientNumber(QByteArrayView(start, stop - start), v)) return false;
    out = v;
    return v >= lo && v <= hi;
  }

  // Where the line starting at s stops: its first CR or LF, or the end.
  inline const char* LineStop(const char* s) const {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end_ - s >= 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
      if (hits != 0) return s + std::countr_zero(static_cast<unsigned>(hits));
      s += 16;
    }
#endif
    while (s < end_ && *s != '\r' && *s != '\n') ++s;
    return s;
  }
  // Past the line end at stop: CR LF, a lone LF or a lone CR.
  inline const char* EndOfLine(const char* stop) const {
    if (stop >= end_) return end_;
    if (*stop == '\r' && stop + 1 < end_ && stop[1] == '\n') return stop + 2;
    return stop + 1;
  }

  const char* base_;
  const char* p_;
  const char* end_;
};

// The largest count a data file may hold and still be read.
constexpr std::int64_t kMaxReadableCount = kFileCapacity + 1;

}  // namespace

// ---------------------------------------------------------------------------
// Captions and labels

QString AxisCaption(AnalysisAxis axis, CaptionDot dot) {
  const int n = AxisNumber(axis);
  if (n < 0 || n >= kAxisCount) return {};
  if (axis == AnalysisAxis::BodySite && dot == CaptionDot::HalfWidth)
    return QString::fromUtf16(kBodySiteCaptionHalfWidth);
  return QString::fromUtf16(kCaptions[n]);
}

QStringList AxisCaptions(CaptionDot dot) {
  QStringList out;
  for (int n = 0; n < kAxisCount; ++n) out << AxisCaption(AxisAt(n), dot);
  return out;
}

int CategoryCount(AnalysisAxis axis, const CodeLists& lists) {
  if (IsCodeListAxis(axis)) return lists[static_cast<std::size_t>(AxisNumber(axis))].count();
  switch (axis) {
    case AnalysisAxis::Month: return kMonthCount;
    case AnalysisAxis::Hour: return kHourBandCount;
    case AnalysisAxis::Experience:
    case AnalysisAxis::DepartmentExperience: return kExperienceBandCount;
    case AnalysisAxis::Infection: return kInfectionCategoryCount;
    case AnalysisAxis::Emergency: return kEmergencyCategoryCount;
    case AnalysisAxis::BodySite: return kSiteCount;
    default: return 0;
  }
}

QStringList CategoryLabels(AnalysisAxis axis, LabelKind kind, const CodeLists& lists,
                           const std::array<QString, kSiteSlots>& siteNames) {
  const bool filter = kind == LabelKind::Filter;
  QStringList out;
  if (filter) out << QStringLiteral("全て");
  if (IsCodeListAxis(axis)) {
    for (const CodeEntry& e : lists[static_cast<std::size_t>(AxisNumber(axis))].entries)
      out << (filter ? e.name : e.code + QLatin1Char(';') + e.name);
    return out;
  }
  switch (axis) {
    case AnalysisAxis::Month:
      for (int m = 1; m <= kMonthCount; ++m)
        out << (filter ? QString::number(m) : Signed(m) + QStringLiteral("月"));
      break;
    case AnalysisAxis::Hour:
      if (filter) {
        AppendAll(out, kHourFilterLabels);
      } else {
        for (int k = 1; k <= kHourBandCount; ++k)
          out << Signed(2 * k - 2) + QStringLiteral("～") + Signed(2 * k) + QStringLiteral("時");
      }
      break;
    case AnalysisAxis::Experience:
    case AnalysisAxis::DepartmentExperience: AppendAll(out, kExperienceLabels); break;
    case AnalysisAxis::Infection: AppendAll(out, kInfectionLabels); break;
    case AnalysisAxis::Emergency: AppendAll(out, filter ? kEmergencyFilterLabels : kEmergencyTableLabels); break;
    case AnalysisAxis::BodySite:
      for (int n = 1; n <= kSiteCount; ++n) {
        const QString& name = siteNames[static_cast<std::size_t>(n - 1)];
        out << (filter ? Signed(n) + QLatin1Char(';') + name : Signed(n) + name);
      }
      break;
    default: break;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Classification

int ExperienceBand(QStringView text) { return BandOfUnits(text.utf16(), text.size()); }

int ExperienceBand(QByteArrayView bytes) { return BandOfUnits(bytes.data(), bytes.size()); }

ReportFacts FactsOf(const ReportRecord& report, std::int32_t slot) {
  ReportFacts f;
  f.slot = slot;
  f.year = report.Years[0];
  f.month = report.Months[0];
  f.day = report.Days[0];
  f.hour = report.Hours[0];
  f.minute = report.Minutes[0];
  for (int k = 0; k < kCodeListAxisCount; ++k) f.answerIds[static_cast<std::size_t>(k)] = report.AnswerIds[static_cast<std::size_t>(k)];
  f.experienceBand = static_cast<std::int8_t>(ExperienceBand(QStringView(report.Texts[kExperienceYears])));
  f.departmentBand = static_cast<std::int8_t>(ExperienceBand(QStringView(report.Texts[kDepartmentYears])));
  f.hiv = report.Choices[2];
  f.hcv = report.Choices[3];
  f.hbv = report.Choices[4];
  f.emergency = report.Choices[8];
  f.otherInfection = !report.Texts[kOtherInfection].isEmpty();
  for (int n = 1; n <= kSiteCount; ++n) {
    if (report.Sites[static_cast<std::size_t>(n - 1)] == 1) f.markSite(n);
  }
  return f;
}

bool CategorySet::contains(int category) const {
  for (int i = 0; i < size_; ++i) {
    if (values_[static_cast<std::size_t>(i)] == category) return true;
  }
  return false;
}

CategoryIndex::CategoryIndex(const CodeLists& lists) {
  // Ids are spread over a few thousand at most; a span far beyond that only
  // comes from a damaged settings file and is looked up entry by entry.
  constexpr std::int64_t kMaxDenseSpan = 1 << 16;
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    const CodeList& list = lists[static_cast<std::size_t>(k)];
    Table& t = tables_[static_cast<std::size_t>(k)];
    t.ids.reserve(static_cast<std::size_t>(list.count()));
    for (const CodeEntry& e : list.entries) t.ids.push_back(e.id);
    if (t.ids.empty()) continue;
    const auto [lo, hi] = std::minmax_element(t.ids.begin(), t.ids.end());
    const std::int64_t span = static_cast<std::int64_t>(*hi) - *lo + 1;
    if (span > kMaxDenseSpan || t.ids.size() > std::numeric_limits<std::uint16_t>::max() - 1u) continue;
    t.base = *lo;
    t.dense.assign(static_cast<std::size_t>(span), 0);
    for (std::size_t pos = 0; pos < t.ids.size(); ++pos) {
      std::uint16_t& slot = t.dense[static_cast<std::size_t>(t.ids[pos] - t.base)];
      if (slot != 0) {
        t.duplicates = true;
      } else {
        slot = static_cast<std::uint16_t>(pos + 1);
      }
    }
    t.useDense = !t.duplicates;
  }
}

void CategoryIndex::categoriesOf(int list, std::int32_t id, CategorySet& out) const {
  if (list < 0 || list >= kCodeListAxisCount) return;
  const Table& t = tables_[static_cast<std::size_t>(list)];
  if (t.useDense) {
    const std::int64_t at = static_cast<std::int64_t>(id) - t.base;
    if (at >= 0 && at < static_cast<std::int64_t>(t.dense.size())) {
      const int category = t.dense[static_cast<std::size_t>(at)];
      if (category != 0) out.add(category);
    }
    return;
  }
  for (std::size_t pos = 0; pos < t.ids.size(); ++pos) {
    if (t.ids[pos] == id) out.add(static_cast<int>(pos + 1));
  }
}

void CategoriesOf(AnalysisAxis axis, const ReportFacts& r, const CategoryIndex& index, CategorySet& out) {
  out.clear();
  const int n = AxisNumber(axis);
  if (n >= 0 && n < kCodeListAxisCount) {
    index.categoriesOf(n, r.answerIds[static_cast<std::size_t>(n)], out);
    return;
  }
  switch (axis) {
    case AnalysisAxis::Month:
      if (r.month >= 1 && r.month <= kMonthCount) out.add(r.month);
      break;
    case AnalysisAxis::Hour:
      if (r.hour >= 0 && r.hour <= 23) out.add(r.hour / 2 + 1);
      break;
    case AnalysisAxis::Experience: out.add(r.experienceBand); break;
    case AnalysisAxis::DepartmentExperience: out.add(r.departmentBand); break;
    case AnalysisAxis::Infection:
      if (r.hiv >= 1 && r.hiv <= 3) out.add(r.hiv);
      if (r.hcv >= 1 && r.hcv <= 3) out.add(3 + r.hcv);
      if (r.hbv >= 1 && r.hbv <= 3) out.add(6 + r.hbv);
      if (r.otherInfection) out.add(10);
      break;
    case AnalysisAxis::Emergency:
      if (r.emergency == 1 || r.emergency == 2) out.add(r.emergency);
      break;
    case AnalysisAxis::BodySite:
      for (int w = 0; w < 2; ++w) {
        std::uint64_t bits = r.siteBits[static_cast<std::size_t>(w)];
        while (bits != 0) {
          out.add(w * 64 + std::countr_zero(bits) + 1);
          bits &= bits - 1;
        }
      }
      break;
    default: break;
  }
}

CategorySet CategoriesOf(AnalysisAxis axis, const ReportRecord& report, const CodeLists& lists) {
  CategorySet out;
  CategoriesOf(axis, FactsOf(report), CategoryIndex(lists), out);
  return out;
}

// ---------------------------------------------------------------------------
// Period

bool PeriodDays::contains(const ReportFacts& report) const {
  if (empty()) return false;
  const std::optional<std::int32_t> day = SerialDay(report.year, report.month, report.day);
  return day && *day >= first && *day <= last;
}

PeriodDays DaysOf(const AnalysisPeriod& period) {
  const std::optional<std::int32_t> from = SerialDay(period.from.year, period.from.month, period.from.day);
  const std::optional<std::int32_t> to = SerialDay(period.to.year, period.to.month, period.to.day);
  if (!from || !to) return PeriodDays{};
  return PeriodDays{*from, *to};
}

bool InPeriod(const PeriodDays& days, const ReportFacts& report) { return days.contains(report); }

bool InPeriod(const AnalysisPeriod& period, const ReportRecord& report) {
  return DaysOf(period).contains(FactsOf(report));
}

AnalysisPeriod DefaultPeriod(int todayYear, int todayMonth, int todayDay, int systemYear, int systemMonth,
                             int systemDay) {
  AnalysisPeriod p;
  p.to = CalendarDate{todayYear, todayMonth, todayDay};
  // The day after the system date, with the carries of the calendar.
  int month = systemMonth;
  int day = systemDay + 1;
  if (const std::optional<std::int32_t> serial = SerialDay(systemYear, systemMonth, systemDay + 1)) {
    const CalendarDate next = DateOfSerial(*serial);
    month = next.month;
    day = next.day;
  }
  p.from = CalendarDate{todayYear - 1, month, day};
  return p;
}

AnalysisPeriod DefaultPeriod(const CalendarDate& startDate, const QDate& systemDate) {
  return DefaultPeriod(startDate.year, startDate.month, startDate.day, systemDate.year(), systemDate.month(),
                       systemDate.day());
}

// ---------------------------------------------------------------------------
// Filter

FilterTest::FilterTest(const AxisFilter& filter, const CodeLists& lists) {
  for (int n = 0; n < kAxisCount; ++n) {
    const int selection = filter.selection[static_cast<std::size_t>(n)];
    if (selection == 0) continue;
    Restriction r{AxisAt(n), selection, 0, true};
    if (n < kCodeListAxisCount) {
      const CodeList& list = lists[static_cast<std::size_t>(n)];
      r.entryExists = selection >= 1 && selection <= list.count();
      if (r.entryExists) r.entryId = list.entries[selection - 1].id;
    }
    restricted_.push_back(r);
  }
}

bool FilterTest::passes(const ReportFacts& f) const {
  for (const Restriction& r : restricted_) {
    const int s = r.selection;
    bool ok = false;
    switch (r.axis) {
      case AnalysisAxis::Month: ok = s >= 1 && s <= kMonthCount && f.month == s; break;
      case AnalysisAxis::Hour: ok = f.hour >= 0 && f.hour <= 23 && f.hour / 2 + 1 == s; break;
      case AnalysisAxis::Experience: ok = f.experienceBand == s; break;
      case AnalysisAxis::DepartmentExperience: ok = f.departmentBand == s; break;
      case AnalysisAxis::Infection:
        if (s >= 1 && s <= 3) {
          ok = f.hiv == s;
        } else if (s >= 4 && s <= 6) {
          ok = f.hcv == s - 3;
        } else if (s >= 7 && s <= 9) {
          ok = f.hbv == s - 6;
        } else {
          ok = s == 10 && f.otherInfection;
        }
        break;
      case AnalysisAxis::Emergency: ok = (s == 1 || s == 2) && f.emergency == s; break;
      case AnalysisAxis::BodySite: ok = f.siteMarked(s); break;
      default:  // the code-list items
        ok = r.entryExists && f.answerIds[static_cast<std::size_t>(AxisNumber(r.axis))] == r.entryId;
        break;
    }
    if (!ok) return false;
  }
  return true;
}

bool Passes(const AxisFilter& filter, const ReportRecord& report, const CodeLists& lists) {
  return FilterTest(filter, lists).passes(FactsOf(report));
}

// ---------------------------------------------------------------------------
// Scan

void ScannedFile::reset(int fileNo) {
  fileNo_ = fileNo;
  reportCount_ = 0;
  all_.clear();
  texts_.clear();
  inPeriod_.clear();
}

bool ScannedFile::load(const QString& path, const PeriodDays& days, int fileNo) {
  reset(fileNo);
  bytes_.resize(0);
  if (QFileInfo(path).isDir()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  // Text places are kept in 32 bits; no data file comes near that size.
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) return false;
  bytes_.resize(static_cast<qsizetype>(size));
  const qint64 got = size == 0 ? 0 : file.read(bytes_.data(), size);
  if (got < 0 || file.error() != QFileDevice::NoError) {
    bytes_.resize(0);
    return false;
  }
  bytes_.resize(static_cast<qsizetype>(got));
  return parse(days);
}

bool ScannedFile::loadBytes(QByteArray bytes, const PeriodDays& days, int fileNo) {
  reset(fileNo);
  if (bytes.size() > std::numeric_limits<std::int32_t>::max()) {
    bytes_.resize(0);
    return false;
  }
  bytes_ = std::move(bytes);
  return parse(days);
}

bool ScannedFile::parse(const PeriodDays& days) {
  LineCursor c(bytes_.constData(), bytes_.size());
  std::int64_t count = 0;
  if (!c.number(0, kMaxReadableCount, count)) {
    bytes_.resize(0);
    return false;
  }
  const std::size_t n = static_cast<std::size_t>(count);
  all_.resize(n);
  texts_.resize(n);

  // The reports: 71 lines each, in the order the file writer uses.
  bool ok = true;
  for (std::size_t i = 0; i < n && ok; ++i) {
    ReportFacts& f = all_[i];
    f = ReportFacts{};
    f.slot = static_cast<std::int32_t>(i);
    ReportTexts& texts = texts_[i];
    std::int32_t choices[11] = {};
    ok = c.skipInt32();  // report id
    for (int t = 0; t < 11 && ok; ++t) ok = c.text(texts[t].offset, texts[t].length) && c.int32(choices[t]);
    for (int t = 0; t < 12 && ok; ++t) ok = c.skipText();  // notes and other texts
    for (int k = 0; k < 21 && ok; ++k) {
      if (k < kCodeListAxisCount) {
        ok = c.int32(f.answerIds[static_cast<std::size_t>(k)]);
      } else {
        ok = c.skipInt32();
      }
    }
    if (ok) ok = c.int32(f.year) && c.int32(f.month) && c.int32(f.day) && c.int32(f.hour) && c.int32(f.minute);
    for (int k = 0; k < 10 && ok; ++k) ok = c.skipInt32();  // the report date and the third date
    if (!ok) break;
    f.hiv = choices[2];
    f.hcv = choices[3];
    f.hbv = choices[4];
    f.emergency = choices[8];
    const char* base = bytes_.constData();
    f.otherInfection = texts[kOtherInfection].length != 0;
    f.experienceBand = static_cast<std::int8_t>(
        ExperienceBand(QByteArrayView(base + texts[kExperienceYears].offset, texts[kExperienceYears].length)));
    f.departmentBand = static_cast<std::int8_t>(
        ExperienceBand(QByteArrayView(base + texts[kDepartmentYears].offset, texts[kDepartmentYears].length)));
  }
  if (!ok) {
    // A report that cannot be read makes the whole file unreadable.
    all_.clear();
    texts_.clear();
    bytes_.resize(0);
    return false;
  }
  reportCount_ = static_cast<int>(n);

  // The body-site block: 81 marks per report. A mark that cannot be read ends
  // the block quietly; the marks not read stay 0.
  bool sitesOk = true;
  for (std::size_t i = 0; i < n && sitesOk; ++i) {
    ReportFacts& f = all_[i];
    // Most reports' marks are all written the usual way and read at once.
    if (c.plainMarks(f.siteBits)) continue;
    for (int s = 0; s < kSiteSlots; ++s) {
      std::int64_t mark = 0;
      if (!c.mark(mark)) {
        sitesOk = false;
        break;
      }
      if (mark == 1 && s < kSiteCount) f.markSite(s + 1);
    }
  }

  for (const ReportFacts& f : all_) {
    if (days.contains(f)) inPeriod_.push_back(f);
  }
  return true;
}

QString ScannedFile::text(const ReportFacts& report, int slot) const {
  if (report.slot < 0 || static_cast<std::size_t>(report.slot) >= texts_.size() || slot < 0 || slot >= 11) return {};
  const TextSpan& span = texts_[static_cast<std::size_t>(report.slot)][static_cast<std::size_t>(slot)];
  if (span.length == 0) return {};
  return cp932::Decode(QByteArrayView(bytes_.constData() + span.offset, span.length));
}

QByteArrayView ScannedFile::rawText(const ReportFacts& report, int slot) const {
  if (report.slot < 0 || static_cast<std::size_t>(report.slot) >= texts_.size() || slot < 0 || slot >= 11) return {};
  const TextSpan& span = texts_[static_cast<std::size_t>(report.slot)][static_cast<std::size_t>(slot)];
  return QByteArrayView(bytes_.constData() + span.offset, span.length);
}

namespace scan_detail {

std::vector<QString> Paths(const std::function<QString(int)>& filePath, int newestFileNo) {
  std::vector<QString> paths;
  for (int i = 0; i <= newestFileNo; ++i) paths.push_back(filePath(i));
  return paths;
}

std::function<QString(int)> DataFilePaths(const DrivePaths& paths) {
  return [&paths](int n) { return paths.DataFilePath(n); };
}

std::unique_ptr<ScannedFile> FilePool::take() {
  {
    std::lock_guard lock(mutex_);
    if (!free_.empty()) {
      std::unique_ptr<ScannedFile> file = std::move(free_.back());
      free_.pop_back();
      return file;
    }
  }
  return std::make_unique<ScannedFile>();
}

void FilePool::giveBack(std::unique_ptr<ScannedFile> file) {
  if (!file) return;
  std::lock_guard lock(mutex_);
  free_.push_back(std::move(file));
}

}  // namespace scan_detail

ScanSummary ScanDataFiles(const std::function<QString(int)>& filePath, int newestFileNo,
                          const AnalysisPeriod& period, const ScanVisitor& visit, int threads) {
  struct Loaded {
    bool read = false;
    std::unique_ptr<ScannedFile> file;
  };
  const PeriodDays days = DaysOf(period);
  const std::vector<QString> paths = scan_detail::Paths(filePath, newestFileNo);
  scan_detail::FilePool pool;
  ScanSummary summary;
  MapInOrder<Loaded>(
      static_cast<int>(paths.size()), threads,
      [&](int i) {
        Loaded l;
        l.file = pool.take();
        l.read = l.file->load(paths[static_cast<std::size_t>(i)], days, i);
        return l;
      },
      [&](int, Loaded&& l) {
        if (l.read) {
          ++summary.filesRead;
          summary.reportsInPeriod += static_cast<std::int64_t>(l.file->reports().size());
          if (visit) visit(*l.file);
        } else {
          ++summary.filesSkipped;
        }
        pool.giveBack(std::move(l.file));
      });
  return summary;
}

ScanSummary ScanReports(const DrivePaths& paths, int newestFileNo, const AnalysisPeriod& period,
                        const ScanVisitor& visit, int threads) {
  return ScanDataFiles(scan_detail::DataFilePaths(paths), newestFileNo, period, visit, threads);
}

}  // namespace orvanta
