#include "core/analysis/extraction.h"

#include <algorithm>
#include <bit>

#include "core/analysis/result_grid_model.h"
#include "core/reports/body_sites.h"
#include "core/reports/calendar.h"

namespace orvanta {
namespace {

constexpr int kHours = 24;
constexpr int kMinutes = 60;

// A number with a blank in the place of the sign when it is not negative.
QString Signed(int n) { return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n); }

void PutTwoDigits(char16_t*& p, int n) {
  *p++ = static_cast<char16_t>(u'0' + n / 10 % 10);
  *p++ = static_cast<char16_t>(u'0' + n % 10);
}

// The weekday names, Sunday first, as one-character texts.
constexpr char16_t kWeekdays[7] = {u'日', u'月', u'火', u'水', u'木', u'金', u'土'};

}  // namespace

QStringList ExtractionHeadings() {
  // Columns 1 to 17 are headed by the item captions, the last one with the
  // half-width dot: "針刺し･切創部位".
  return QStringList{QStringLiteral("氏名･発生年月日･カルテ番号")} + AxisCaptions(CaptionDot::HalfWidth);
}

ExtractionRowMaker::ExtractionRowMaker(const CodeLists& lists, const std::array<QString, kSiteSlots>& siteNames)
    : index_(lists), yes_(QStringLiteral("はい")), no_(QStringLiteral("いいえ")) {
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    std::vector<QString>& names = names_[static_cast<std::size_t>(k)];
    names.emplace_back();
    for (const CodeEntry& e : lists[static_cast<std::size_t>(k)].entries) names.push_back(e.name);
  }
  for (int n = 1; n <= kSiteCount; ++n)
    sitePieces_[static_cast<std::size_t>(n)] = QLatin1Char('/') + Signed(n) + siteNames[static_cast<std::size_t>(n - 1)];
  for (int m = 1; m <= 12; ++m) months_[static_cast<std::size_t>(m)] = QString::number(m);

  std::array<QString, kMinutes> minuteTexts;
  for (int m = 0; m < kMinutes; ++m) minuteTexts[static_cast<std::size_t>(m)] = QLatin1Char(':') + Signed(m);
  times_.reserve(kHours * kMinutes);
  for (int h = 0; h < kHours; ++h) {
    const QString hour = Signed(h);
    for (int m = 0; m < kMinutes; ++m) times_.push_back(hour + minuteTexts[static_cast<std::size_t>(m)]);
  }

  static const char16_t* const kParts[3][4] = {
      {u"", u" HIV陽性", u" HIV陰性", u" HIV未検査"},
      {u"", u" HCV陽性", u" HCV陰性", u" HCV未検査"},
      {u"", u" HBV陽性", u" HBV陰性", u" HBV未検査"},
  };
  for (int hbv = 0; hbv < 4; ++hbv) {
    for (int hcv = 0; hcv < 4; ++hcv) {
      for (int hiv = 0; hiv < 4; ++hiv) {
        QString s = QString::fromUtf16(kParts[0][hiv]) + QString::fromUtf16(kParts[1][hcv]) +
                    QString::fromUtf16(kParts[2][hbv]);
        if (s.isEmpty()) s = QString();  // shared null, no allocation per cell
        infections_[static_cast<std::size_t>(hiv + 4 * hcv + 16 * hbv)] = s;
      }
    }
  }
}

QString ExtractionRowMaker::dateCell(const ScannedFile& file, const ReportFacts& r) const {
  const QString name = file.text(r, kReporterName);
  const QString record = file.text(r, kRecordNumber);
  // "yy/mm/dd/(aaa)": twelve characters.
  char16_t date[12];
  char16_t* p = date;
  if (const std::optional<std::int32_t> serial = SerialDay(r.year, r.month, r.day)) {
    const CalendarDate d = DateOfSerial(*serial);
    PutTwoDigits(p, d.year % 100);
    *p++ = u'/';
    PutTwoDigits(p, d.month);
    *p++ = u'/';
    PutTwoDigits(p, d.day);
    *p++ = u'/';
    *p++ = u'(';
    *p++ = kWeekdays[WeekdayOfSerial(*serial)];
    *p++ = u')';
  }
  const qsizetype dateLength = p - date;
  QString cell;
  cell.reserve(name.size() + dateLength + record.size());
  cell += name;
  cell += QStringView(date, dateLength);
  cell += record;
  return cell;
}

QString ExtractionRowMaker::timeCell(int hour, int minute) const {
  if (hour >= 0 && hour < kHours && minute >= 0 && minute < kMinutes)
    return times_[static_cast<std::size_t>(hour * kMinutes + minute)];
  return Signed(hour) + QLatin1Char(':') + Signed(minute);
}

QString ExtractionRowMaker::infectionCell(const ScannedFile& file, const ReportFacts& r) const {
  const auto part = [](std::int32_t result) { return result >= 0 && result <= 3 ? result : 0; };
  const QString& parts = infections_[static_cast<std::size_t>(part(r.hiv) + 4 * part(r.hcv) + 16 * part(r.hbv))];
  if (!r.otherInfection) return parts;
  return parts + file.text(r, kOtherInfection);
}

QString ExtractionRowMaker::siteCell(const ReportFacts& r) const {
  int marked = 0;
  int only = 0;
  qsizetype length = 0;
  for (int w = 0; w < 2; ++w) {
    for (std::uint64_t bits = r.siteBits[static_cast<std::size_t>(w)]; bits != 0; bits &= bits - 1) {
      only = w * 64 + std::countr_zero(bits) + 1;
      length += sitePieces_[static_cast<std::size_t>(only)].size();
      ++marked;
    }
  }
  if (marked == 0) return {};
  if (marked == 1) return sitePieces_[static_cast<std::size_t>(only)];
  QString cell;
  cell.reserve(length);
  for (int w = 0; w < 2; ++w) {
    for (std::uint64_t bits = r.siteBits[static_cast<std::size_t>(w)]; bits != 0; bits &= bits - 1)
      cell += sitePieces_[static_cast<std::size_t>(w * 64 + std::countr_zero(bits) + 1)];
  }
  return cell;
}

void ExtractionRowMaker::append(const ScannedFile& file, const ReportFacts& r, std::vector<QString>& out) const {
  out.push_back(dateCell(file, r));
  CategorySet found;
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    found.clear();
    index_.categoriesOf(k, r.answerIds[static_cast<std::size_t>(k)], found);
    // The first entry with the id; none: an empty cell.
    out.push_back(found.empty() ? QString() : names_[static_cast<std::size_t>(k)][found[0]]);
  }
  out.push_back(r.month >= 1 && r.month <= 12 ? months_[static_cast<std::size_t>(r.month)] : QString::number(r.month));
  out.push_back(timeCell(r.hour, r.minute));
  out.push_back(file.text(r, kExperienceYears));
  out.push_back(file.text(r, kDepartmentYears));
  out.push_back(infectionCell(file, r));
  out.push_back(r.emergency == 1 ? yes_ : r.emergency == 2 ? no_ : QString());
  out.push_back(siteCell(r));
}

QStringList ExtractionRowMaker::row(const ScannedFile& file, const ReportFacts& report) const {
  std::vector<QString> cells;
  cells.reserve(kExtractionColumns);
  append(file, report, cells);
  return QStringList(cells.begin(), cells.end());
}

ExtractionListing ComputeExtraction(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                    const AnalysisPeriod& period, const AxisFilter& filter) {
  ExtractionListing listing;
  const ExtractionRowMaker maker(lists, BodySiteNames());
  const FilterTest test(filter, lists);
  ScanReports(paths, newestFileNo, period, [&](const ScannedFile& file) {
    const std::vector<ReportFacts>& reports = file.reports();
    // Room for the whole file when every report will be listed; growing by
    // at least half the size keeps the moves of earlier cells few.
    if (test.passesEverything()) {
      const std::size_t needed = listing.cells.size() + reports.size() * kExtractionColumns;
      if (needed > listing.cells.capacity())
        listing.cells.reserve(std::max(needed, listing.cells.capacity() + listing.cells.capacity() / 2));
    }
    for (const ReportFacts& r : reports) {
      if (!test.passes(r)) continue;
      maker.append(file, r, listing.cells);
      ++listing.count;
    }
  });
  return listing;
}

void PrepareExtractionGrid(ResultGridModel& grid) {
  ResultGridModel::UpdateBatch batch(grid);
  grid.setRows(1);
  grid.setCols(kExtractionColumns);
  const QStringList headings = ExtractionHeadings();
  for (int c = 0; c < kExtractionColumns; ++c) {
    grid.setCell(0, c, headings[c]);
    grid.setColWidth(c, kExtractionColWidth);
    grid.setColAlignment(c, GridAlignment::Center);
  }
  grid.setRowHeight(0, kExtractionHeadingHeight);
  // Row 0 becomes the fixed heading row as soon as a report row exists.
  grid.setFixedRows(1);
}

void ShowExtraction(ResultGridModel& grid, ExtractionListing&& listing) {
  ResultGridModel::UpdateBatch batch(grid);
  grid.setRows(1);
  grid.appendRows(std::move(listing.cells), kExtractionRowHeight);
  listing.cells.clear();
}

}  // namespace orvanta
