#include "core/platform/value_file.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

#include "core/platform/codepage.h"

namespace orvanta {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ParseLenientNumber(QByteArrayView field, std::int64_t& out) {
  qsizetype i = 0;
  const qsizetype n = field.size();
  while (i < n && IsBlank(field[i])) ++i;
  if (i == n || field[i] == ',') {  // a blank field reads as 0
    out = 0;
    return true;
  }
  bool negative = false;
  if (field[i] == '-' || field[i] == '+') {
    negative = field[i] == '-';
    ++i;
    while (i < n && IsBlank(field[i])) ++i;
  }
  const qsizetype firstDigit = i;
  // A number of any length is still a number: past any field's range it
  // stays at a value no field takes, so the caller sees it out of range.
  constexpr std::int64_t kBeyondAnyField = std::int64_t{1} << 40;
  std::int64_t value = 0;
  while (i < n && field[i] >= '0' && field[i] <= '9') {
    if (value <= kBeyondAnyField) value = value * 10 + (field[i] - '0');
    ++i;
  }
  if (i == firstDigit) return false;
  while (i < n && IsBlank(field[i])) ++i;
  if (i < n && field[i] != ',') return false;
  out = negative ? -value : value;
  return true;
}

void ValueReader::fail(ReadError error) {
  if (result_.ok()) result_ = ReadResult{error, line_};
}

bool ValueReader::nextRaw(QByteArrayView& raw) {
  if (!result_.ok()) return false;
  if (atEnd()) {
    result_ = ReadResult{ReadError::EndOfFile, line_ + 1};
    return false;
  }
  const char* base = data_.data();
  const qsizetype n = data_.size();
  qsizetype end = pos_;
  while (end < n && base[end] != '\r' && base[end] != '\n') ++end;
  raw = QByteArrayView(base + pos_, end - pos_);
  if (end < n) {
    if (base[end] == '\r' && end + 1 < n && base[end + 1] == '\n') ++end;  // CR LF
    ++end;  // CR LF, a lone LF or a lone CR ends this one line
  }
  pos_ = end;
  ++line_;
  return true;
}

bool ValueReader::parseNumber(QByteArrayView raw, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
  std::int64_t v = 0;
  if (!ParseLenientNumber(raw, v)) {
    result_ = ReadResult{ReadError::WrongKind, line_};
    return false;
  }
  if (v < lo || v > hi) {
    result_ = ReadResult{ReadError::OutOfRange, line_};
    return false;
  }
  out = v;
  return true;
}

bool ValueReader::fastNumber(std::int64_t& out) {
  const char* base = data_.data();
  const qsizetype n = data_.size();
  qsizetype i = pos_;
  // Most lines of a data file are one digit as written: " 0 \r\n".
  if (n - i >= 5 && base[i] == ' ' && static_cast<unsigned char>(base[i + 1] - '0') <= 9 && base[i + 2] == ' ' &&
      base[i + 3] == '\r' && base[i + 4] == '\n') {
    out = base[i + 1] - '0';
    pos_ = i + 5;
    ++line_;
    return true;
  }
  while (i < n && base[i] == ' ') ++i;
  const bool negative = i < n && base[i] == '-';
  if (negative) ++i;
  const qsizetype firstDigit = i;
  std::int64_t value = 0;
  while (i < n && static_cast<unsigned char>(base[i] - '0') <= 9) {
    value = value * 10 + (base[i] - '0');
    ++i;
  }
  // At most 12 digits here; longer numbers take the general path, which
  // knows how far a number may go.
  if (i == firstDigit || i - firstDigit > 12) return false;
  while (i < n && base[i] == ' ') ++i;
  if (i < n) {
    if (base[i] == '\r') {
      ++i;
      if (i < n && base[i] == '\n') ++i;
    } else if (base[i] == '\n') {
      ++i;
    } else {
      return false;
    }
  }
  pos_ = i;
  ++line_;
  out = negative ? -value : value;
  return true;
}

bool ValueReader::readNumber(std::int64_t lo, std::int64_t hi, std::int64_t& out) {
  if (!result_.ok()) return false;
  std::int64_t v = 0;
  if (fastNumber(v)) {
    if (v < lo || v > hi) {
      result_ = ReadResult{ReadError::OutOfRange, line_};
      return false;
    }
    out = v;
    return true;
  }
  QByteArrayView raw;
  return nextRaw(raw) && parseNumber(raw, lo, hi, out);
}

bool ValueReader::readInt32(std::int32_t& out) {
  std::int64_t v = 0;
  if (!readNumber(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v)) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

bool ValueReader::readInt16(std::int16_t& out) {
  std::int64_t v = 0;
  if (!readNumber(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), v)) return false;
  out = static_cast<std::int16_t>(v);
  return true;
}

bool ValueReader::readBounded(std::int32_t& out, std::int32_t lo, std::int32_t hi) {
  std::int64_t v = 0;
  if (!readNumber(lo, hi, v)) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

bool ValueReader::readText(QString& out) {
  QByteArrayView raw;
  if (!nextRaw(raw)) return false;
  if (raw.isEmpty())
    out.clear();
  else
    out = cp932::Decode(raw);
  return true;
}

bool ValueReader::skipLine() {
  QByteArrayView raw;
  return nextRaw(raw);
}

void ValueWriter::writeInt(std::int64_t value) {
  if (value >= 0) out_ += ' ';
  out_ += QByteArray::number(value);
  out_ += " \r\n";
}

void ValueWriter::writeText(const QString& text) {
  if (!text.isEmpty()) {
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
      QString oneLine = text;
      oneLine.remove(QLatin1Char('\r'));
      oneLine.remove(QLatin1Char('\n'));
      out_ += cp932::Encode(oneLine);
    } else {
      out_ += cp932::Encode(text);
    }
  }
  out_ += "\r\n";
}

bool ReadWholeFile(const QString& path, QByteArray& out) {
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return false;
  out = file.readAll();
  return file.error() == QFileDevice::NoError;
}

}  // namespace orvanta
