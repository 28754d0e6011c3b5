#include "core/analysis/extraction.h"

#include <algorithm>
#include <bit>

#include "core/analysis/result_grid_model.h"
#include "core/platform/codepage.h"
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
    sitePieces_[static_cast<std::size_t>(n)] =
        QLatin1Char('/') + Signed(n) + siteNames[static_cast<std::size_t>(n - 1)];
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

namespace {

// The five texts of a row, in the order they are kept.
enum RowText { kNameText = 0, kRecordText, kExperienceText, kDepartmentText, kOtherText, kRowTexts };
constexpr int kTextSlots[kRowTexts] = {kReporterName, kRecordNumber, kExperienceYears, kDepartmentYears,
                                       kOtherInfection};

// A text is kept as its length (seven bits a byte, low bits first, the top
// bit set on every byte but the last) and its bytes.
void PutText(QByteArray& out, QByteArrayView text) {
  std::uint32_t n = static_cast<std::uint32_t>(text.size());
  while (n >= 0x80) {
    out.append(static_cast<char>((n & 0x7F) | 0x80));
    n >>= 7;
  }
  out.append(static_cast<char>(n));
  out.append(text.data(), text.size());
}

QByteArrayView TakeText(const char*& p) {
  std::uint32_t n = 0;
  int shift = 0;
  for (;;) {
    const auto b = static_cast<unsigned char>(*p++);
    n |= static_cast<std::uint32_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) break;
    shift += 7;
  }
  const QByteArrayView text(p, static_cast<qsizetype>(n));
  p += n;
  return text;
}

// Text `which` of the texts starting at p.
QByteArrayView RowTextAt(const char* p, int which) {
  QByteArrayView text;
  for (int i = 0; i <= which; ++i) text = TakeText(p);
  return text;
}

QString Decoded(QByteArrayView bytes) { return bytes.isEmpty() ? QString() : cp932::Decode(bytes); }

// A result of 0 to 3 as it stands; any other as 0 (it adds nothing).
int ResultPart(std::int32_t result) { return result >= 0 && result <= 3 ? result : 0; }

constexpr int kEmergencyShift = 6;

// A million rows take 64 MB besides their texts.
static_assert(sizeof(ExtractionRow) <= 64);

}  // namespace

ExtractionRow ExtractionRowMaker::compact(const ScannedFile& file, const ReportFacts& r, QByteArray& texts) const {
  ExtractionRow row;
  row.siteBits = r.siteBits;
  row.textOffset = static_cast<std::uint32_t>(texts.size());
  row.year = r.year;
  row.month = r.month;
  row.day = r.day;
  row.hour = r.hour;
  row.minute = r.minute;
  CategorySet found;
  for (int k = 0; k < kCodeListAxisCount; ++k) {
    found.clear();
    index_.categoriesOf(k, r.answerIds[static_cast<std::size_t>(k)], found);
    // The first entry with the id.
    row.entries[static_cast<std::size_t>(k)] = found.empty() ? 0 : static_cast<std::uint16_t>(found[0]);
  }
  const int emergency = r.emergency == 1 || r.emergency == 2 ? r.emergency : 0;
  row.answers = static_cast<std::uint8_t>(ResultPart(r.hiv) | ResultPart(r.hcv) << 2 | ResultPart(r.hbv) << 4 |
                                          emergency << kEmergencyShift);
  for (const int slot : kTextSlots) PutText(texts, file.rawText(r, slot));
  return row;
}

QString ExtractionRowMaker::dateCell(const ExtractionRow& r, QByteArrayView nameBytes,
                                     QByteArrayView recordBytes) const {
  const QString name = Decoded(nameBytes);
  const QString record = Decoded(recordBytes);
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

QString ExtractionRowMaker::siteCell(const ExtractionRow& r) const {
  int marked = 0;
  int only = 0;
  qsizetype length = 0;
  for (int w = 0; w < 2; ++w) {
    for (std::uint64_t bits = r.siteBits[static_cast<std::size_t>(w)]; bits != 0; bits &= bits - 1) {
      only = w * 64 + std::countr_zero(bits) + 1;
      if (only > kSiteCount) continue;
      length += sitePieces_[static_cast<std::size_t>(only)].size();
      ++marked;
    }
  }
  if (marked == 0) return {};
  if (marked == 1) return sitePieces_[static_cast<std::size_t>(only)];
  QString cell;
  cell.reserve(length);
  for (int w = 0; w < 2; ++w) {
    for (std::uint64_t bits = r.siteBits[static_cast<std::size_t>(w)]; bits != 0; bits &= bits - 1) {
      const int site = w * 64 + std::countr_zero(bits) + 1;
      if (site <= kSiteCount) cell += sitePieces_[static_cast<std::size_t>(site)];
    }
  }
  return cell;
}

QString ExtractionRowMaker::cell(const ExtractionRow& r, const char* texts, int col) const {
  const char* t = texts + r.textOffset;
  if (col >= 1 && col <= kCodeListAxisCount) {
    const std::vector<QString>& names = names_[static_cast<std::size_t>(col - 1)];
    const std::size_t entry = r.entries[static_cast<std::size_t>(col - 1)];
    return entry != 0 && entry < names.size() ? names[entry] : QString();
  }
  switch (col) {
    case 0: {
      const QByteArrayView name = TakeText(t);
      const QByteArrayView record = TakeText(t);
      return dateCell(r, name, record);
    }
    case 11:
      return r.month >= 1 && r.month <= 12 ? months_[static_cast<std::size_t>(r.month)] : QString::number(r.month);
    case 12: return timeCell(r.hour, r.minute);
    case 13: return Decoded(RowTextAt(t, kExperienceText));
    case 14: return Decoded(RowTextAt(t, kDepartmentText));
    case 15: {
      const QString& parts = infections_[r.answers & 0x3F];
      const QByteArrayView other = RowTextAt(t, kOtherText);
      if (other.isEmpty()) return parts;
      return parts + Decoded(other);
    }
    case 16: {
      const int emergency = r.answers >> kEmergencyShift;
      return emergency == 1 ? yes_ : emergency == 2 ? no_ : QString();
    }
    case 17: return siteCell(r);
    default: return {};
  }
}

QStringList ExtractionRowMaker::row(const ScannedFile& file, const ReportFacts& report) const {
  QByteArray texts;
  const ExtractionRow r = compact(file, report, texts);
  QStringList cells;
  cells.reserve(kExtractionColumns);
  for (int c = 0; c < kExtractionColumns; ++c) cells << cell(r, texts.constData(), c);
  return cells;
}

ExtractionRows::ExtractionRows(std::shared_ptr<const ExtractionRowMaker> maker) : maker_(std::move(maker)) {}

void ExtractionRows::append(Chunk&& chunk) {
  if (chunk.rows.empty()) return;
  firstRows_.push_back(rowCount_);
  rowCount_ += static_cast<int>(chunk.rows.size());
  chunks_.push_back(std::move(chunk));
}

QString ExtractionRows::cell(int row, int col) const {
  if (row < 0 || row >= rowCount_ || col < 0 || col >= kExtractionColumns) return {};
  // The chunk whose first row is the last one at or before `row`.
  const auto at = std::upper_bound(firstRows_.begin(), firstRows_.end(), row) - 1;
  const Chunk& chunk = chunks_[static_cast<std::size_t>(at - firstRows_.begin())];
  return maker_->cell(chunk.rows[static_cast<std::size_t>(row - *at)], chunk.texts.constData(), col);
}

QStringList ExtractionRows::row(int row) const {
  QStringList cells;
  for (int c = 0; c < kExtractionColumns; ++c) cells << cell(row, c);
  return cells;
}

std::size_t ExtractionRows::bytesHeld() const {
  std::size_t bytes = sizeof(*this) + chunks_.capacity() * sizeof(Chunk) + firstRows_.capacity() * sizeof(int);
  for (const Chunk& c : chunks_)
    bytes += c.rows.capacity() * sizeof(ExtractionRow) + static_cast<std::size_t>(c.texts.capacity());
  return bytes;
}

ExtractionListing ComputeExtraction(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                    const AnalysisPeriod& period, const AxisFilter& filter, int threads) {
  const auto maker = std::make_shared<const ExtractionRowMaker>(lists, BodySiteNames());
  const FilterTest test(filter, lists);
  auto rows = std::make_shared<ExtractionRows>(maker);
  // Each file's rows are made on the thread that read it, each chunk sized to
  // what it holds; the chunks are put together in file order.
  const ScanSummary scanned = ScanReportsInParts<ExtractionRows::Chunk>(
      paths, newestFileNo, period,
      [&](const ScannedFile& file) {
        ExtractionRows::Chunk chunk;
        std::vector<const ReportFacts*> passing;
        passing.reserve(file.reports().size());
        qsizetype textBytes = 0;
        for (const ReportFacts& r : file.reports()) {
          if (!test.passes(r)) continue;
          passing.push_back(&r);
          for (const int slot : kTextSlots) textBytes += file.rawText(r, slot).size() + 5;
        }
        chunk.rows.reserve(passing.size());
        chunk.texts.reserve(textBytes);
        for (const ReportFacts* r : passing) chunk.rows.push_back(maker->compact(file, *r, chunk.texts));
        if (chunk.texts.capacity() - chunk.texts.size() > chunk.texts.size() / 8) chunk.texts.squeeze();
        return chunk;
      },
      [&](ExtractionRows::Chunk&& chunk) { rows->append(std::move(chunk)); }, threads);
  ExtractionListing listing;
  listing.count = rows->rowCount();
  listing.unreadableFiles = scanned.unreadableFiles;
  listing.cutShortFiles = scanned.cutShortFiles;
  if (listing.count > 0) listing.rows = std::move(rows);
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
  if (listing.rows) grid.appendRows(std::move(listing.rows), kExtractionRowHeight);
  listing.rows.reset();
  listing.count = 0;
}

}  // namespace orvanta
