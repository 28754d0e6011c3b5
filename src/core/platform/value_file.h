#pragma once
// The value-per-line text files of the data folder (set.dat, ttid.dat,
// passw.dat and the data files): code page 932, one value per line, CR LF.
//
// Numbers are written with a blank in the sign position and one trailing
// blank (" 14 ", "-5 "); reading skips blanks. A text value is its whole line,
// exactly as written: quotes, commas and leading blanks are kept and a value
// never reaches past its line, so one odd character in a typed text can never
// swallow the lines after it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace orvanta {

// Why reading a value-per-line file stopped.
enum class ReadError {
  None,
  CannotOpen,     // missing, a folder, or not readable
  EndOfFile,      // the file ended before the value
  WrongKind,      // a number was expected and the line holds none
  OutOfRange,     // a number outside its type or a count above capacity
  CountMismatch,  // the values do not fit the count the file states: lines
                  // left after the last value, or a count that takes in
                  // more reports than the file holds
};

struct ReadResult {
  ReadError error = ReadError::None;
  int line = 0;  // 1-based line of the failing value; 0 when none
  // Read, but the file ends inside a part that the format lets end early
  // (the body-site block of a data file): what is missing reads as 0. Such
  // a file is kept aside before the program writes over it.
  bool cutShort = false;
  bool ok() const { return error == ReadError::None; }
};

// Reads the values of a file's bytes one line at a time. Accepts CR LF, LF
// and a lone CR as line ends. Never reads past the buffer.
class ValueReader {
 public:
  explicit ValueReader(QByteArrayView data) : data_(data) {}

  bool atEnd() const { return pos_ >= data_.size(); }
  // 1-based number of the line the next value is read from.
  int nextLine() const { return line_ + 1; }
  const ReadResult& result() const { return result_; }

  // Each returns false and records the error (see result()) when the value
  // cannot be read; after a failure every further read fails as well.
  bool readInt32(std::int32_t& out);
  bool readInt16(std::int16_t& out);
  bool readText(QString& out);
  // Reads a number in [lo, hi]; a value outside is OutOfRange.
  bool readBounded(std::int32_t& out, std::int32_t lo, std::int32_t hi);
  // Skips one line without decoding it.
  bool skipLine();

  // Fails the reader with an error found by the caller on the last value.
  void fail(ReadError error);

 private:
  bool nextRaw(QByteArrayView& raw);
  // The common number line ([blanks][-]digits[blanks] and its line end)
  // parsed in one pass; false, with nothing consumed, for anything else.
  bool fastNumber(std::int64_t& out);
  bool readNumber(std::int64_t lo, std::int64_t hi, std::int64_t& out);
  bool parseNumber(QByteArrayView raw, std::int64_t lo, std::int64_t hi, std::int64_t& out);

  QByteArrayView data_;
  qsizetype pos_ = 0;
  int line_ = 0;
  ReadResult result_;
};

// Collects values in the file layout; bytes() is the whole file.
class ValueWriter {
 public:
  void writeInt(std::int64_t value);
  // The text on one line. Line breaks inside it are left out (they would
  // split the value), as are characters that code page 932 cannot hold.
  void writeText(const QString& text);
  const QByteArray& bytes() const { return out_; }
  void reserve(qsizetype n) { out_.reserve(n); }

 private:
  QByteArray out_;
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const QString& path, QByteArray& out);

// Parses a number the lenient way the files are read: blanks around it are
// skipped, a comma ends it, a blank field is 0, anything else is no number.
// A number too long for any field gives a value beyond every field's range.
bool ParseLenientNumber(QByteArrayView field, std::int64_t& out);

}  // namespace orvanta
