#include "core/analysis/analysis_axis.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <charconv>
#include <limits>

#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_walk.h"

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
    u"HIV陽性",   u"HIV陰性", u"HIV未検査", u"HCV陽性",   u"HCV陰性",
    u"HCV未検査", u"HBV陽性", u"HBV陰性",   u"HBV未検査", u"その他",
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
      for (int m = 1; m <= kMonthCount; ++m) out << (filter ? QString::number(m) : Signed(m) + QStringLiteral("月"));
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
  for (int k = 0; k < kCodeListAxisCount; ++k)
    f.answerIds[static_cast<std::size_t>(k)] = report.AnswerIds[static_cast<std::size_t>(k)];
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
  reportsLackingSites_ = 0;
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

namespace {

// The scan's view of the walk over a data file: the fields the items read,
// boiled down to ReportFacts, and the places of the single-line texts.
struct FactsBuilder {
  static constexpr bool kWantsTexts = true;
  static constexpr bool kWantsMarks = true;

  const char* base;
  std::vector<ReportFacts>& all;
  std::vector<std::array<datafile::TextPlace, 11>>& texts;
  std::int32_t lastMarked = -1;  // the slot of the last marks() call

  void count(std::int32_t n) {
    all.reserve(static_cast<std::size_t>(n));
    texts.reserve(static_cast<std::size_t>(n));
  }

  void report(std::int32_t slot, const datafile::RawReport& r) {
    using namespace datafile;
    auto number = [&r](int line) { return r.numbers[static_cast<std::size_t>(line)]; };
    ReportFacts& f = all.emplace_back();
    f.slot = slot;
    f.year = number(YearLine(0));
    f.month = number(MonthLine(0));
    f.day = number(DayLine(0));
    f.hour = number(HourLine(0));
    f.minute = number(MinuteLine(0));
    for (int k = 0; k < kCodeListAxisCount; ++k) f.answerIds[static_cast<std::size_t>(k)] = number(AnswerIdLine(k));
    f.hiv = number(ChoiceLine(2));
    f.hcv = number(ChoiceLine(3));
    f.hbv = number(ChoiceLine(4));
    f.emergency = number(ChoiceLine(8));
    auto& places = texts.emplace_back();
    for (int i = 0; i < kTextSlots; ++i)
      places[static_cast<std::size_t>(i)] = r.texts[static_cast<std::size_t>(TextLine(i))];
    auto bytesOf = [this, &places](int slot) {
      const TextPlace& t = places[static_cast<std::size_t>(slot)];
      return QByteArrayView(base + t.offset, t.length);
    };
    f.otherInfection = places[kOtherInfection].length != 0;
    f.experienceBand = static_cast<std::int8_t>(ExperienceBand(bytesOf(kExperienceYears)));
    f.departmentBand = static_cast<std::int8_t>(ExperienceBand(bytesOf(kDepartmentYears)));
  }

  void marks(std::int32_t slot, const datafile::Marks& m) {
    lastMarked = slot;
    ReportFacts& f = all[static_cast<std::size_t>(slot)];
    for (int s = 0; s < kSiteCount; ++s) {
      if (m[static_cast<std::size_t>(s)] == 1) f.markSite(s + 1);
    }
  }
};

}  // namespace

bool ScannedFile::parse(const PeriodDays& days) {
  FactsBuilder builder{bytes_.constData(), all_, texts_};
  const ReadResult walked = datafile::WalkDataFile(bytes_, builder);
  if (!walked.ok()) {
    // A file that does not read exactly holds no report for the scan.
    all_.clear();
    texts_.clear();
    bytes_.resize(0);
    return false;
  }
  reportCount_ = static_cast<int>(all_.size());
  // Cut short: the marks of the report whose block was cut, and of every
  // later one, were not read.
  const std::int32_t firstLacking = walked.cutShort ? builder.lastMarked : std::numeric_limits<std::int32_t>::max();
  for (const ReportFacts& f : all_) {
    if (!days.contains(f)) continue;
    inPeriod_.push_back(f);
    if (f.slot >= firstLacking) ++reportsLackingSites_;
  }
  return true;
}

QString ScannedFile::text(const ReportFacts& report, int slot) const {
  if (report.slot < 0 || static_cast<std::size_t>(report.slot) >= texts_.size() || slot < 0 || slot >= 11) return {};
  const datafile::TextPlace& span = texts_[static_cast<std::size_t>(report.slot)][static_cast<std::size_t>(slot)];
  if (span.length == 0) return {};
  return cp932::Decode(QByteArrayView(bytes_.constData() + span.offset, span.length));
}

QByteArrayView ScannedFile::rawText(const ReportFacts& report, int slot) const {
  if (report.slot < 0 || static_cast<std::size_t>(report.slot) >= texts_.size() || slot < 0 || slot >= 11) return {};
  const datafile::TextPlace& span = texts_[static_cast<std::size_t>(report.slot)][static_cast<std::size_t>(slot)];
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

ScanSummary ScanDataFiles(const std::function<QString(int)>& filePath, int newestFileNo, const AnalysisPeriod& period,
                          const ScanVisitor& visit, int threads) {
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
      [&](int i, Loaded&& l) {
        if (l.read) {
          ++summary.filesRead;
          summary.reportsInPeriod += static_cast<std::int64_t>(l.file->reports().size());
          if (l.file->reportsLackingSites() > 0)
            summary.cutShortFiles.push_back(CutShortFile{i, l.file->reportsLackingSites()});
          if (visit) visit(*l.file);
        } else {
          ++summary.filesSkipped;
          if (QFileInfo::exists(paths[static_cast<std::size_t>(i)])) summary.unreadableFiles.push_back(i);
        }
        pool.giveBack(std::move(l.file));
      });
  return summary;
}

QString UnreadableFilesMessage(const DrivePaths& paths, const std::vector<int>& files) {
  if (files.empty()) return {};
  // A long run of damaged files is named in part, so that the box still fits
  // on the screen.
  constexpr std::size_t kNamed = 10;
  QString list;
  for (std::size_t k = 0; k < files.size() && k < kNamed; ++k)
    list += QStringLiteral("\n") + QDir::toNativeSeparators(paths.DataFilePath(files[k]));
  if (files.size() > kNamed) list += QStringLiteral("\nほか %1 ファイル").arg(files.size() - kNamed);
  return QStringLiteral(
             "次のデータファイルは読み込めなかったため、集計に含めていません。"
             "表示されている件数は、読み込めたデータファイルの報告書だけのものです。%1\n%2")
      .arg(list, kRepairHint);
}

QString CutShortFilesMessage(const DrivePaths& paths, const std::vector<CutShortFile>& files) {
  if (files.empty()) return {};
  constexpr std::size_t kNamed = 10;
  QString list;
  int lacking = 0;
  for (std::size_t k = 0; k < files.size(); ++k) {
    lacking += files[k].reportsLacking;
    if (k < kNamed)
      list += QStringLiteral("\n%1(%2 件)")
                  .arg(QDir::toNativeSeparators(paths.DataFilePath(files[k].fileNo)))
                  .arg(files[k].reportsLacking);
  }
  if (files.size() > kNamed) list += QStringLiteral("\nほか %1 ファイル").arg(files.size() - kNamed);
  return QStringLiteral(
             "次のデータファイルは受傷部位の記録の途中で終わっているため、集計した報告書のうち %1 件は"
             "受傷部位が読み込めていません。これらの報告書は件数には含まれていますが、受傷部位はないものとして"
             "数えています。%2\n%3")
      .arg(lacking)
      .arg(list, kRepairHint);
}

QString DataFileTroubleMessage(const DrivePaths& paths, const std::vector<int>& unreadable,
                               const std::vector<CutShortFile>& cutShort) {
  const QString first = UnreadableFilesMessage(paths, unreadable);
  const QString second = CutShortFilesMessage(paths, cutShort);
  if (first.isEmpty() || second.isEmpty()) return first + second;
  return first + QStringLiteral("\n\n") + second;
}

ScanSummary ScanReports(const DrivePaths& paths, int newestFileNo, const AnalysisPeriod& period,
                        const ScanVisitor& visit, int threads) {
  return ScanDataFiles(scan_detail::DataFilePaths(paths), newestFileNo, period, visit, threads);
}

}  // namespace orvanta
