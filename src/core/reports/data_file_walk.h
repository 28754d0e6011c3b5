#pragma once
// One walk over the bytes of a data file that checks every line against the
// layout (data_file_layout.h) and hands what it reads to a visitor. The full
// reader, the start-up count, the analysis scan and the search are visitors
// of this one walk, so they agree on which files are readable:
//
//   - the count must be a number from 0 to kMaxReadableCount;
//   - each report's 71 lines must be there, every number line a number that
//     fits 32 bits (a text line may hold anything);
//   - each mark of the body-site block must be 0 or 1;
//   - after the block only empty lines may follow.
//
// A file that ends inside the body-site block is read (the marks not read are
// 0) and its result says cutShort; but when its last report is nothing but
// marks (every line 0, 1 or empty) that report was read out of the body-site
// block of a file whose count is larger than what it holds, and the file is
// unreadable.
//
// The walk decodes no text: a text line is handed over as its place in the
// bytes. Numbers are parsed from the bytes, the common " 12 \r\n" line and the
// mark lines " 0 \r\n" / " 1 \r\n" on fast paths that give what the general
// rule (ParseLenientNumber) gives.

#include <QByteArrayView>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/platform/value_file.h"
#include "core/reports/data_file_layout.h"

namespace orvanta::datafile {

// A text line's place in the bytes (its line end not included).
struct TextPlace {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// One report as the walk read it: the value of every number line and the
// place of every text line, both indexed by the line's offset in the report.
struct RawReport {
  std::array<std::int32_t, kReportLines> numbers{};
  std::array<TextPlace, kReportLines> texts{};
  std::int32_t id() const { return numbers[kReportIdLine]; }
};

// The 81 marks of one report; the marks not read are 0.
using Marks = std::array<std::uint8_t, kSiteLines>;

// Splits the bytes of a file into lines the way every value file is read: CR
// LF, a lone LF and a lone CR each end one line; the last line may lack its
// end. Counts the lines it takes and records why a value could not be read.
class LineCursor {
 public:
  LineCursor(const char* data, qsizetype size) : base_(data), p_(data), end_(data + size) {}

  bool atEnd() const { return p_ >= end_; }
  const char* position() const { return p_; }
  // The error of the last value that could not be read, with its line.
  ReadResult failure() const { return ReadResult{error_, errorLine_}; }
  int linesRead() const { return line_; }

  // A number line in [lo, hi]. False at the end of the bytes (EndOfFile), for
  // a line that holds no number (WrongKind) or for a number outside the range
  // (OutOfRange); the line is taken in the last two cases.
  inline bool number(std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    const char* s = p_;
    // The common line as written: " digits \r\n".
    if (end_ - s >= 16 && s[0] == ' ') {
      const char* d = s + 1;
      std::int64_t v = 0;
      while (static_cast<unsigned char>(*d - '0') <= 9 && d - s <= 9) {
        v = v * 10 + (*d - '0');
        ++d;
      }
      if (d != s + 1 && d[0] == ' ' && d[1] == '\r' && d[2] == '\n') {
        p_ = d + 3;
        ++line_;
        out = v;
        return inRange(v, lo, hi);
      }
    }
    return numberSlow(lo, hi, out);
  }

  inline bool int32(std::int32_t& out) {
    std::int64_t v = 0;
    if (!number(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
  }

  // One body-site mark, 0 or 1. Most are " 0 \r\n" or " 1 \r\n", compared as
  // five bytes at once.
  inline bool mark(std::uint8_t& out) {
    if (end_ - p_ >= 5) {
      if (p_[0] == ' ' && (p_[1] == '0' || p_[1] == '1') && p_[2] == ' ' && p_[3] == '\r' && p_[4] == '\n') {
        out = static_cast<std::uint8_t>(p_[1] - '0');
        p_ += 5;
        ++line_;
        return true;
      }
    }
    std::int64_t v = 0;
    if (!number(0, 1, v)) return false;
    out = static_cast<std::uint8_t>(v);
    return true;
  }

  // The 81 marks of one report when they are all written as the program
  // writes them; false, with nothing taken, otherwise (the caller then reads
  // them one by one). out receives them when extract is set.
  template <bool extract>
  inline bool markBlock(Marks& out) {
    constexpr qsizetype kBlockBytes = 5 * kSiteLines;
    if (end_ - p_ < kBlockBytes) return false;
#if defined(__SSE2__)
    // 80 bytes hold 16 marks; the five-byte pattern repeats in five vectors.
    // A digit position ORed with 1 reads '1' for both '0' and '1'.
    alignas(16) static constexpr char kPattern[80] = {
#define ORVANTA_MARK ' ', '1', ' ', '\r', '\n'
        ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK,
        ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK, ORVANTA_MARK,
#undef ORVANTA_MARK
    };
    alignas(16) static constexpr char kDigitBit[80] = {
#define ORVANTA_BIT 0, 1, 0, 0, 0
        ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT,
        ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT, ORVANTA_BIT,
#undef ORVANTA_BIT
    };
    for (int part = 0; part < kSiteLines / 16; ++part) {
      const char* base = p_ + part * 80;
      __m128i all = _mm_set1_epi8(-1);
      for (int k = 0; k < 5; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 16 * k));
        const __m128i bit = _mm_load_si128(reinterpret_cast<const __m128i*>(kDigitBit + 16 * k));
        const __m128i want = _mm_load_si128(reinterpret_cast<const __m128i*>(kPattern + 16 * k));
        all = _mm_and_si128(all, _mm_cmpeq_epi8(_mm_or_si128(bytes, bit), want));
      }
      if (_mm_movemask_epi8(all) != 0xFFFF) return false;
    }
    // The 81st mark.
    const char* last = p_ + 80 * (kSiteLines / 16);
    if (!(last[0] == ' ' && (last[1] | 1) == '1' && last[2] == ' ' && last[3] == '\r' && last[4] == '\n')) return false;
#else
    for (int s = 0; s < kSiteLines; ++s) {
      const char* m = p_ + 5 * s;
      if (!(m[0] == ' ' && (m[1] == '0' || m[1] == '1') && m[2] == ' ' && m[3] == '\r' && m[4] == '\n')) return false;
    }
#endif
    if constexpr (extract) {
      for (int s = 0; s < kSiteLines; ++s)
        out[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(p_[5 * s + 1] & 1);
    }
    p_ += kBlockBytes;
    line_ += kSiteLines;
    return true;
  }

  // A text line: its place in the bytes. False only at the end of the bytes.
  inline bool text(TextPlace& place) {
    if (p_ >= end_) return endOfFile();
    const char* stop = lineStop(p_);
    place.offset = static_cast<std::uint32_t>(p_ - base_);
    place.length = static_cast<std::uint32_t>(stop - p_);
    p_ = endOfLine(stop);
    ++line_;
    return true;
  }
  inline bool skipText() {
    if (p_ >= end_) return endOfFile();
    p_ = endOfLine(lineStop(p_));
    ++line_;
    return true;
  }

  // Takes one empty line; false, with nothing taken, for any other line.
  inline bool emptyLine() {
    if (p_ >= end_ || (*p_ != '\r' && *p_ != '\n')) return false;
    p_ = endOfLine(p_);
    ++line_;
    return true;
  }

  // Fails the walk at line `line` with error.
  bool fail(ReadError error, int line) {
    error_ = error;
    errorLine_ = line;
    return false;
  }

 private:
  inline bool inRange(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    if (v >= lo && v <= hi) return true;
    return fail(ReadError::OutOfRange, line_);
  }
  bool endOfFile() { return fail(ReadError::EndOfFile, line_ + 1); }

  // [blanks][-]digits[blanks] and the line end, or else the general rule.
  bool numberSlow(std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    const char* s = p_;
    if (s >= end_) return endOfFile();
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
        p_ = endOfLine(s);
        ++line_;
        out = negative ? -value : value;
        return inRange(out, lo, hi);
      }
    }
    const char* start = p_;
    const char* stop = lineStop(start);
    p_ = endOfLine(stop);
    ++line_;
    std::int64_t v = 0;
    if (!ParseLenientNumber(QByteArrayView(start, stop - start), v)) return fail(ReadError::WrongKind, line_);
    out = v;
    return inRange(v, lo, hi);
  }

  // Where the line starting at s stops: its first CR or LF, or the end.
  inline const char* lineStop(const char* s) const {
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
  inline const char* endOfLine(const char* stop) const {
    if (stop >= end_) return end_;
    if (*stop == '\r' && stop + 1 < end_ && stop[1] == '\n') return stop + 2;
    return stop + 1;
  }

  const char* base_;
  const char* p_;
  const char* end_;
  int line_ = 0;
  ReadError error_ = ReadError::None;
  int errorLine_ = 0;
};

// Whether the 71 lines from `from` are all marks (0, 1 or empty, read the
// lenient way): a report read out of a body-site block.
inline bool IsAllMarks(const char* from, const char* end) {
  LineCursor c(from, end - from);
  std::uint8_t mark = 0;
  for (int line = 0; line < kReportLines; ++line) {
    if (!c.mark(mark)) return false;
  }
  return true;
}

// Walks the bytes of a data file and returns what the file is: readable
// (possibly cutShort) or not, with the error and its line. The visitor has
//
//   static constexpr bool kWantsTexts;  // fill RawReport::texts
//   static constexpr bool kWantsMarks;  // call marks()
//   void count(std::int32_t count);                       // once, first
//   void report(std::int32_t slot, const RawReport& r);   // each report read whole
//   void marks(std::int32_t slot, const Marks& m);        // each report's marks
//
// When the walk fails, the visitor has seen the reports read whole before
// the failure: what it built is to be thrown away.
template <typename Visitor>
ReadResult WalkDataFile(QByteArrayView bytes, Visitor& visitor) {
  LineCursor c(bytes.data(), bytes.size());
  std::int64_t count = 0;
  if (!c.number(0, kMaxReadableCount, count)) return c.failure();
  visitor.count(static_cast<std::int32_t>(count));

  RawReport raw;
  const char* lastReport = bytes.data();  // where the last report's lines start
  int lastReportLine = 0;
  for (std::int32_t slot = 0; slot < count; ++slot) {
    lastReport = c.position();
    lastReportLine = c.linesRead() + 1;
    for (int line = 0; line < kReportLines; ++line) {
      const auto at = static_cast<std::size_t>(line);
      if (IsTextLine(line)) {
        const bool ok = Visitor::kWantsTexts ? c.text(raw.texts[at]) : c.skipText();
        if (!ok) return c.failure();
      } else if (!c.int32(raw.numbers[at])) {
        return c.failure();
      }
    }
    visitor.report(slot, raw);
  }

  Marks marks{};
  for (std::int32_t slot = 0; slot < count; ++slot) {
    if (c.markBlock<Visitor::kWantsMarks>(marks)) {
      if constexpr (Visitor::kWantsMarks) visitor.marks(slot, marks);
      continue;
    }
    marks.fill(0);
    for (int s = 0; s < kSiteLines; ++s) {
      if (c.atEnd()) {
        // Cut short: the marks not read stay 0, unless the count cannot be
        // right.
        if (count > 0 && IsAllMarks(lastReport, bytes.data() + bytes.size()))
          return ReadResult{ReadError::CountMismatch, lastReportLine};
        if constexpr (Visitor::kWantsMarks) {
          visitor.marks(slot, marks);
          // Every later report keeps no mark: the visitor's reports start
          // without any.
        }
        ReadResult cut;
        cut.cutShort = true;
        return cut;
      }
      if (!c.mark(marks[static_cast<std::size_t>(s)])) return c.failure();
    }
    if constexpr (Visitor::kWantsMarks) visitor.marks(slot, marks);
  }

  // Nothing but empty lines may follow.
  while (!c.atEnd()) {
    if (!c.emptyLine()) return ReadResult{ReadError::CountMismatch, c.linesRead() + 1};
  }
  return ReadResult{};
}

}  // namespace orvanta::datafile
