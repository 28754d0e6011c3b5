#include "core/rates/denominator_csv.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <set>

#include "core/output/csv_file.h"
#include "core/platform/codepage.h"

namespace orvanta {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString LinePrefix(int line) { return QStringLiteral("%1行目: ").arg(line); }
QString CellPrefix(int line, int column) { return QStringLiteral("%1行目 %2列目: ").arg(line).arg(column); }

// The fields of one line; none, with the reason, when a quote is not closed
// or text follows a closing quote.
std::optional<QStringList> SplitFields(const QString& line, QString* problem) {
  QStringList fields;
  qsizetype i = 0;
  const qsizetype n = line.size();
  for (;;) {
    QString field;
    if (i < n && line[i] == u'"') {
      ++i;
      for (;;) {
        if (i >= n) {
          *problem = QStringLiteral("引用符（\"）が閉じていません。");
          return std::nullopt;
        }
        if (line[i] == u'"') {
          if (i + 1 < n && line[i + 1] == u'"') {
            field += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      if (i < n && line[i] != u',') {
        *problem = QStringLiteral("引用符（\"）の後に余分な文字があります。");
        return std::nullopt;
      }
    } else {
      while (i < n && line[i] != u',') field += line[i++];
    }
    fields << field;
    if (i >= n) break;
    ++i;  // the comma
  }
  return fields;
}

QStringList SplitLines(const QString& text) {
  QString unified = text;
  unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  unified.replace(u'\r', u'\n');
  QStringList lines = unified.split(u'\n');
  // A last line end leaves an empty piece that is no line.
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

bool AllEmpty(const QStringList& fields) {
  for (const QString& f : fields) {
    if (!f.trimmed().isEmpty()) return false;
  }
  return true;
}

// The column a heading names; none, with the reason, when it names none.
std::optional<DenominatorColumn> ReadHeading(const QString& heading, const CodeLists& lists, QString* problem) {
  const QString text = heading.trimmed();
  for (const DenominatorKind kind : {DenominatorKind::Beds, DenominatorKind::PatientDays}) {
    if (text == DenominatorKindCaption(kind)) return DenominatorColumn{kind, 0, {}};
  }
  static const QRegularExpression kEntryHeading(QStringLiteral("^(常勤換算|購入数)[:：]\\s*([0-9]+)\\s*(?:[:：].*)?$"));
  const QRegularExpressionMatch m = kEntryHeading.match(text);
  if (!m.hasMatch()) {
    *problem = QStringLiteral("見出し「%1」は分母の列の名前ではありません。").arg(text);
    return std::nullopt;
  }
  const bool staff = m.captured(1) == DenominatorKindCaption(DenominatorKind::Fte);
  const CodeList& list = lists[staff ? kOccupations : kDevices];
  bool ok = false;
  const std::int32_t code = m.captured(2).toInt(&ok);
  const int at = ok ? FindEntryById(list, code) : -1;
  if (at < 0) {
    *problem = QStringLiteral("%1にコード%2の項目がありません。")
                   .arg(staff ? QStringLiteral("職種") : QStringLiteral("原因器材"), m.captured(2));
    return std::nullopt;
  }
  return DenominatorColumn{staff ? DenominatorKind::Fte : DenominatorKind::Devices, code, list.entries[at].name};
}

std::optional<int> ReadYear(const QString& text) {
  static const QRegularExpression kYear(QStringLiteral("^\\s*([0-9]{1,4})\\s*$"));
  const QRegularExpressionMatch m = kYear.match(text.normalized(QString::NormalizationForm_KC));
  if (!m.hasMatch()) return std::nullopt;
  const int year = m.captured(1).toInt();
  if (year < kFirstDenominatorYear || year > kLastDenominatorYear) return std::nullopt;
  return year;
}

}  // namespace

std::vector<DenominatorColumn> DenominatorColumns(const CodeLists& lists) {
  std::vector<DenominatorColumn> columns{{DenominatorKind::Beds, 0, {}}, {DenominatorKind::PatientDays, 0, {}}};
  for (const CodeEntry& e : lists[kOccupations].entries) columns.push_back({DenominatorKind::Fte, e.id, e.name});
  for (const CodeEntry& e : lists[kDevices].entries) columns.push_back({DenominatorKind::Devices, e.id, e.name});
  return columns;
}

QString DenominatorKindCaption(DenominatorKind kind) {
  switch (kind) {
    case DenominatorKind::Beds: return QStringLiteral("稼働病床数");
    case DenominatorKind::PatientDays: return QStringLiteral("延べ患者日数");
    case DenominatorKind::Fte: return QStringLiteral("常勤換算");
    case DenominatorKind::Devices: return QStringLiteral("購入数");
  }
  return {};
}

QString DenominatorCsvHeading(const DenominatorColumn& column) {
  const QString caption = DenominatorKindCaption(column.kind);
  if (column.kind == DenominatorKind::Beds || column.kind == DenominatorKind::PatientDays) return caption;
  return caption + u':' + QString::number(column.code) + u':' + column.name;
}

QString DenominatorValueText(double value) {
  QString text = QString::number(value, 'f', 10);
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

namespace {

// The first character of text that cannot be seen, as "U+0001"; empty when
// every one can.
QString InvisibleCharacter(const QString& text) {
  for (const QChar c : text) {
    const QChar::Category category = c.category();
    if (category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Other_NotAssigned ||
        category == QChar::Other_PrivateUse || category == QChar::Other_Surrogate || c == QChar::ReplacementCharacter) {
      return QStringLiteral("U+") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
    }
  }
  return {};
}

}  // namespace

std::optional<double> ReadDenominatorValue(const QString& text, QString* problem) {
  static const QRegularExpression kNumber(
      QStringLiteral("^([+-]?)([0-9]{1,3}(?:,[0-9]{3})+(?:\\.[0-9]*)?|[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)$"));
  // Full-width digits, points and commas, as an input method types them,
  // read as their plain forms.
  const QString trimmed = text.normalized(QString::NormalizationForm_KC).trimmed();
  auto refuse = [&](const QString& why) -> std::optional<double> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  if (trimmed.size() > kMaxDenominatorField)
    return refuse(QStringLiteral("値が長すぎます（%1文字）。").arg(trimmed.size()));
  const QRegularExpressionMatch m = kNumber.match(trimmed);
  if (!m.hasMatch()) {
    const QString invisible = InvisibleCharacter(trimmed);
    if (!invisible.isEmpty()) {
      QString shown = trimmed;
      shown.remove(QRegularExpression(QStringLiteral("[\\p{Cc}\\p{Cf}\\p{Cn}\\p{Co}\\p{Cs}\\x{FFFD}]")));
      return refuse(
          QStringLiteral("「%1」は数値ではありません。目に見えない文字（%2）が含まれています。").arg(shown, invisible));
    }
    return refuse(QStringLiteral("「%1」は数値ではありません。").arg(trimmed));
  }
  QString digits = m.captured(2);
  digits.remove(u',');
  const qsizetype point = digits.indexOf(u'.');
  if (point >= 0 && digits.size() - point - 1 > kDenominatorDecimals &&
      digits.sliced(point + 1 + kDenominatorDecimals).contains(QRegularExpression(QStringLiteral("[1-9]")))) {
    return refuse(
        QStringLiteral("「%1」は小数点以下が%2桁を超えています。分母は小数点以下%2桁までの数値で入力してください。")
            .arg(trimmed)
            .arg(kDenominatorDecimals));
  }
  bool ok = false;
  const double value = digits.toDouble(&ok);
  if (!ok || !IsDenominatorValue(value)) return refuse(QStringLiteral("「%1」は数値ではありません。").arg(trimmed));
  if (m.captured(1) == QStringLiteral("-") && value != 0)
    return refuse(QStringLiteral("「%1」は負の数です。分母には0以上の数値を入力してください。").arg(trimmed));
  if (value > 0 && value < kMinDenominatorValue) {
    return refuse(QStringLiteral("「%1」は小さすぎます。0より大きい分母は%2以上の数値で入力してください。")
                      .arg(trimmed, DenominatorValueText(kMinDenominatorValue)));
  }
  if (value > kMaxDenominatorValue)
    return refuse(QStringLiteral("「%1」は大きすぎます。分母は%L2以下の数値で入力してください。")
                      .arg(trimmed)
                      .arg(kMaxDenominatorValue, 0, 'f', 0));
  return value;
}

QByteArray DenominatorCsvBytes(const Denominators& denominators, const CodeLists& lists, YearKind kind) {
  const std::vector<DenominatorColumn> columns = DenominatorColumns(lists);
  QString text = YearHeading(kind);
  for (const DenominatorColumn& c : columns) text += u',' + CsvField(DenominatorCsvHeading(c));
  text += kLineEnd;
  for (const int year : denominators.years()) {
    text += QString::number(year);
    for (const DenominatorColumn& c : columns) {
      text += u',';
      if (const std::optional<double> v = denominators.value(year, c.kind, c.code)) text += DenominatorValueText(*v);
    }
    text += kLineEnd;
  }
  return cp932::Encode(text);
}

std::optional<DenominatorImport> ReadDenominatorCsv(QByteArrayView bytes, const CodeLists& lists, YearKind kind,
                                                    QString* problem) {
  if (bytes.size() > kMaxDenominatorCsvBytes) {
    *problem = QStringLiteral("ファイルが大きすぎます。分母のCSVファイルとして読める大きさは%L1バイトまでです。")
                   .arg(kMaxDenominatorCsvBytes);
    return std::nullopt;
  }
  QString text;
  static const QByteArray kBom("\xEF\xBB\xBF");
  if (bytes.startsWith(kBom)) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes.sliced(kBom.size()));
    if (utf8.hasError()) {
      *problem = QStringLiteral("UTF-8として読めない文字があります。");
      return std::nullopt;
    }
  } else {
    // Without a mark, a file that is whole UTF-8 and holds more than ASCII
    // was written as UTF-8 (Japanese in code page 932 hardly ever forms
    // valid UTF-8); anything else is code page 932.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    const bool beyondAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    text = !utf8.hasError() && beyondAscii ? asUtf8 : cp932::Decode(bytes);
  }
  const QStringList lines = SplitLines(text);
  for (qsizetype l = 0; l < lines.size(); ++l) {
    if (lines[l].size() > kMaxDenominatorCsvLine) {
      *problem =
          LinePrefix(static_cast<int>(l) + 1) + QStringLiteral("行が長すぎます（%L1文字）。").arg(lines[l].size());
      return std::nullopt;
    }
  }

  // Line 1: the headings.
  int headingLine = 0;
  while (headingLine < lines.size() && lines[headingLine].trimmed().isEmpty()) ++headingLine;
  if (headingLine >= lines.size()) {
    *problem = QStringLiteral("ファイルに何も書かれていません。");
    return std::nullopt;
  }
  QString reason;
  const std::optional<QStringList> headings = SplitFields(lines[headingLine], &reason);
  if (!headings) {
    *problem = LinePrefix(headingLine + 1) + reason;
    return std::nullopt;
  }
  const QString first = headings->first().trimmed();
  const YearKind other = kind == YearKind::Fiscal ? YearKind::Calendar : YearKind::Fiscal;
  if (first == YearHeading(other)) {
    *problem = CellPrefix(headingLine + 1, 1) +
               QStringLiteral("このファイルは「%1」ごとの値です。いまは「%2」ごとに登録しています。")
                   .arg(YearHeading(other), YearHeading(kind));
    return std::nullopt;
  }
  if (first != YearHeading(kind)) {
    *problem =
        CellPrefix(headingLine + 1, 1) + QStringLiteral("先頭の見出しは「%1」にしてください。").arg(YearHeading(kind));
    return std::nullopt;
  }
  std::vector<DenominatorColumn> columns;
  for (qsizetype c = 1; c < headings->size(); ++c) {
    const QString heading = (*headings)[c];
    // Spreadsheets leave empty headings after the last column.
    if (heading.trimmed().isEmpty() && AllEmpty(headings->mid(c))) break;
    const std::optional<DenominatorColumn> column = ReadHeading(heading, lists, &reason);
    if (!column) {
      *problem = CellPrefix(headingLine + 1, static_cast<int>(c) + 1) + reason;
      return std::nullopt;
    }
    for (const DenominatorColumn& seen : columns) {
      if (seen.kind == column->kind && seen.code == column->code) {
        *problem = CellPrefix(headingLine + 1, static_cast<int>(c) + 1) +
                   QStringLiteral("「%1」の列が二つあります。").arg(heading.trimmed());
        return std::nullopt;
      }
    }
    columns.push_back(*column);
  }

  // The year lines.
  DenominatorImport result;
  std::set<int> years;
  for (qsizetype l = headingLine + 1; l < lines.size(); ++l) {
    const int lineNo = static_cast<int>(l) + 1;
    const std::optional<QStringList> fields = SplitFields(lines[l], &reason);
    if (!fields) {
      *problem = LinePrefix(lineNo) + reason;
      return std::nullopt;
    }
    if (AllEmpty(*fields)) continue;
    const std::optional<int> year = ReadYear(fields->first());
    if (!year) {
      *problem = CellPrefix(lineNo, 1) + QStringLiteral("%1「%2」は1900から2200までの整数で書いてください。")
                                             .arg(YearHeading(kind), fields->first().trimmed());
      return std::nullopt;
    }
    if (!years.insert(*year).second) {
      *problem = CellPrefix(lineNo, 1) + QStringLiteral("%1が二度書かれています。").arg(YearLabel(*year, kind));
      return std::nullopt;
    }
    for (qsizetype c = static_cast<qsizetype>(columns.size()) + 1; c < fields->size(); ++c) {
      if (!(*fields)[c].trimmed().isEmpty()) {
        *problem = CellPrefix(lineNo, static_cast<int>(c) + 1) + QStringLiteral("見出しのない列に値があります。");
        return std::nullopt;
      }
    }
    result.years.push_back(*year);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const qsizetype at = static_cast<qsizetype>(c) + 1;
      const QString field = at < fields->size() ? (*fields)[at] : QString();
      std::optional<double> value;
      if (!field.trimmed().isEmpty()) {
        value = ReadDenominatorValue(field, &reason);
        if (!value) {
          *problem = CellPrefix(lineNo, static_cast<int>(at) + 1) + reason;
          return std::nullopt;
        }
      }
      result.values.emplace_back(DenominatorKey{*year, columns[c].kind, columns[c].code}, value);
    }
  }
  return result;
}

}  // namespace orvanta

namespace orvanta {

DenominatorImportChanges CompareDenominatorImport(const DenominatorImport& import, const Denominators& stored,
                                                  const CodeLists& lists, YearKind kind) {
  DenominatorImportChanges changes;
  for (const auto& [key, value] : import.values) {
    const std::optional<double> now = stored.value(key);
    if (value && now && *value == *now) {
      ++changes.unchanged;
    } else if (value && now) {
      ++changes.changed;
    } else if (value) {
      ++changes.added;
    } else if (now) {
      ++changes.removed;
      QString column = DenominatorKindCaption(key.kind);
      if (key.kind == DenominatorKind::Fte || key.kind == DenominatorKind::Devices) {
        const CodeList& list = lists[key.kind == DenominatorKind::Fte ? kOccupations : kDevices];
        const int at = FindEntryById(list, key.code);
        if (at >= 0) column += QStringLiteral("（%1）").arg(list.entries[at].name);
      }
      changes.removedValues
          << QStringLiteral("%1 %2 %3").arg(YearLabel(key.year, kind), column, DenominatorValueText(*now));
    }
  }
  return changes;
}

QString DenominatorImportQuestion(const DenominatorImportChanges& changes) {
  QString text = QStringLiteral(
                     "CSVファイルの値を次のとおり登録します。よろしいですか？\n"
                     "新しく登録する値：%1件\n変更する値：%2件\n削除する値（空欄の欄）：%3件\n変わらない値：%4件")
                     .arg(changes.added)
                     .arg(changes.changed)
                     .arg(changes.removed)
                     .arg(changes.unchanged);
  if (!changes.removedValues.isEmpty()) {
    text += QStringLiteral("\n\n削除する値：\n") + changes.removedValues.mid(0, 10).join(QLatin1Char('\n'));
    if (changes.removedValues.size() > 10) text += QStringLiteral("\nほか%1件").arg(changes.removedValues.size() - 10);
  }
  return text;
}

}  // namespace orvanta
