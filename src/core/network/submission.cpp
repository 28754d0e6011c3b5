#include "core/network/submission.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sqlite3.h>

#include "core/network/sqlite_file.h"
#include "core/output/csv_file.h"
#include "core/platform/safe_save.h"
#include "core/reports/calendar.h"
#include "core/reports/report_record.h"

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

#ifndef ORVANTA_VERSION
#error "the build names the program's version in ORVANTA_VERSION"
#endif

namespace orvanta {

using namespace submission;

QByteArray SubmissionRow::siteMarks() const {
  QByteArray marks(kBodySiteCount, '0');
  for (int n = 1; n <= kBodySiteCount; ++n)
    if (siteMarked(n)) marks[n - 1] = '1';
  return marks;
}

std::optional<QString> SubmissionContent::codeOf(const SubmissionRow& row, int item) const {
  const std::uint16_t rank = row.code[static_cast<std::size_t>(item)];
  if (rank == 0) return std::nullopt;
  return codes[static_cast<std::size_t>(item)].codes[rank - 1u];
}

QDate FirstDateOfYear(int year, YearKind kind) {
  const CalendarDate d = DateOfSerial(FirstDayOfYear(year, kind));
  return QDate(d.year, d.month, d.day);
}

QDate LastDateOfYear(int year, YearKind kind) {
  const CalendarDate d = DateOfSerial(LastDayOfYear(year, kind));
  return QDate(d.year, d.month, d.day);
}

QString SubmissionStamp::SubmissionProgramVersion() { return QStringLiteral(ORVANTA_VERSION); }

namespace {

// The captions of the code items, as the form and the analysis name them.
QString ItemCaption(int item) { return AxisCaption(AxisAt(item), CaptionDot::FullWidth); }

// The codes of each item, and the rank of every entry position.
struct CodeRanks {
  std::array<ItemCodes, kCodeColumnCount> codes;
  std::array<std::vector<std::uint16_t>, kCodeColumnCount> rankOfPosition;
};

CodeRanks RankCodes(const CodeLists& lists) {
  CodeRanks out;
  for (int item = 0; item < kCodeColumnCount; ++item) {
    const CodeList& list = lists[static_cast<std::size_t>(item)];
    std::map<QString, QString> nameOfCode;  // sorted; the first entry's name
    for (const CodeEntry& e : list.entries) nameOfCode.try_emplace(e.code.trimmed(), e.name);
    ItemCodes& codes = out.codes[static_cast<std::size_t>(item)];
    for (const auto& [code, name] : nameOfCode) {
      codes.codes.push_back(code);
      codes.names.push_back(name);
    }
    std::vector<std::uint16_t>& ranks = out.rankOfPosition[static_cast<std::size_t>(item)];
    for (const CodeEntry& e : list.entries) {
      const auto at = std::lower_bound(codes.codes.begin(), codes.codes.end(), e.code.trimmed());
      ranks.push_back(static_cast<std::uint16_t>(at - codes.codes.begin() + 1));
    }
  }
  return out;
}

// A years-of-experience text counts as given when it holds more than blanks.
bool IsBlankText(QByteArrayView raw) {
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == ' ' || c == '\t') continue;
    // The full-width blank in code page 932.
    if (c == '\x81' && i + 1 < raw.size() && raw[i + 1] == '\x40') {
      ++i;
      continue;
    }
    return false;
  }
  return true;
}

struct FilePart {
  std::vector<SubmissionRow> rows;
  std::array<std::int64_t, kCodeColumnCount> codeless{};
};

FilePart RowsOfFile(const ScannedFile& file, const CategoryIndex& index, const CodeRanks& ranks) {
  FilePart part;
  part.rows.reserve(file.reports().size());
  CategorySet set;
  for (const ReportFacts& r : file.reports()) {
    SubmissionRow row;
    // The date as the period read it, with the carries.
    const CalendarDate date = DateOfSerial(SerialDay(r.year, r.month, r.day).value_or(0));
    row.year = static_cast<std::int16_t>(date.year);
    row.month = static_cast<std::int8_t>(date.month);
    row.hour = static_cast<std::int8_t>(r.hour >= 0 && r.hour <= 23 ? r.hour : -1);
    for (int item = 0; item < kCodeColumnCount; ++item) {
      const auto k = static_cast<std::size_t>(item);
      set.clear();
      index.categoriesOf(item, r.answerIds[k], set);
      if (set.empty()) continue;
      const std::uint16_t rank = ranks.rankOfPosition[k][static_cast<std::size_t>(set[0] - 1)];
      row.code[k] = rank;
      if (ranks.codes[k].codes[rank - 1u].isEmpty()) ++part.codeless[k];
    }
    row.experienceBand = IsBlankText(file.rawText(r, kExperienceYears)) ? 0 : r.experienceBand;
    row.departmentBand = IsBlankText(file.rawText(r, kDepartmentYears)) ? 0 : r.departmentBand;
    const auto result = [](std::int32_t v, int high) { return static_cast<std::int8_t>(v >= 1 && v <= high ? v : 0); };
    row.hiv = result(r.hiv, 3);
    row.hcv = result(r.hcv, 3);
    row.hbv = result(r.hbv, 3);
    row.emergency = result(r.emergency, 2);
    row.otherInfection = r.otherInfection ? 1 : 0;
    for (int n = 1; n <= 64; ++n)
      if (r.siteMarked(n)) row.sites |= std::uint64_t{1} << (64 - n);
    row.site65 = r.siteMarked(65) ? 1 : 0;
    part.rows.push_back(row);
  }
  return part;
}

std::vector<DenominatorLine> DenominatorLines(const Denominators& denominators, const CodeLists& lists, int year) {
  std::vector<DenominatorLine> lines;
  const auto add = [&](DenominatorKind kind, std::int32_t id, const QString& name, const QString& code,
                       bool needsCode) {
    DenominatorLine line;
    line.kind = kind;
    line.name = name;
    line.code = code.trimmed();
    line.value = denominators.value(year, kind, id);
    if (!line.value)
      line.status = DenominatorLine::Status::Missing;
    else if (needsCode && line.code.isEmpty())
      line.status = DenominatorLine::Status::NoCode;
    else if (!(*line.value > 0))
      line.status = DenominatorLine::Status::Zero;
    else
      line.status = DenominatorLine::Status::Goes;
    lines.push_back(line);
  };
  add(DenominatorKind::Beds, 0, {}, {}, false);
  add(DenominatorKind::PatientDays, 0, {}, {}, false);
  for (const CodeEntry& e : lists[kOccupations].entries) add(DenominatorKind::Fte, e.id, e.name, e.code, true);
  for (const CodeEntry& e : lists[kDevices].entries) add(DenominatorKind::Devices, e.id, e.name, e.code, true);
  return lines;
}

std::vector<UnansweredCount> CountUnanswered(const std::vector<SubmissionRow>& rows) {
  std::array<std::int64_t, kCodeColumnCount> codes{};
  std::int64_t hour = 0, experience = 0, department = 0, hiv = 0, hcv = 0, hbv = 0, emergency = 0, sites = 0;
  for (const SubmissionRow& r : rows) {
    for (std::size_t k = 0; k < codes.size(); ++k) codes[k] += r.code[k] == 0;
    hour += r.hour < 0;
    experience += r.experienceBand == 0;
    department += r.departmentBand == 0;
    hiv += r.hiv == 0;
    hcv += r.hcv == 0;
    hbv += r.hbv == 0;
    emergency += r.emergency == 0;
    sites += r.sites == 0 && r.site65 == 0;
  }
  std::vector<UnansweredCount> out;
  for (int item = 0; item < kCodeColumnCount; ++item)
    out.push_back({ItemCaption(item), codes[static_cast<std::size_t>(item)]});
  out.push_back({AxisCaption(AnalysisAxis::Hour, CaptionDot::FullWidth), hour});
  out.push_back({AxisCaption(AnalysisAxis::Experience, CaptionDot::FullWidth), experience});
  out.push_back({AxisCaption(AnalysisAxis::DepartmentExperience, CaptionDot::FullWidth), department});
  out.push_back({QStringLiteral("患者のHIV"), hiv});
  out.push_back({QStringLiteral("患者のHCV"), hcv});
  out.push_back({QStringLiteral("患者のHBV"), hbv});
  out.push_back({AxisCaption(AnalysisAxis::Emergency, CaptionDot::FullWidth), emergency});
  out.push_back({AxisCaption(AnalysisAxis::BodySite, CaptionDot::FullWidth) + QStringLiteral("（印なし）"), sites});
  return out;
}

}  // namespace

SubmissionContent GatherSubmission(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                   const Denominators& denominators, int year, YearKind kind, int threads) {
  SubmissionContent c;
  c.year = year;
  c.kind = kind;
  c.from = FirstDateOfYear(year, kind);
  c.to = LastDateOfYear(year, kind);
  const CodeRanks ranks = RankCodes(lists);
  c.codes = ranks.codes;
  const CategoryIndex index(lists);
  const AnalysisPeriod period{CalendarDate{c.from.year(), c.from.month(), c.from.day()},
                              CalendarDate{c.to.year(), c.to.month(), c.to.day()}};
  const ScanSummary summary = ScanReportsInParts<FilePart>(
      paths, newestFileNo, period, [&](const ScannedFile& file) { return RowsOfFile(file, index, ranks); },
      [&](FilePart&& part) {
        c.rows.insert(c.rows.end(), part.rows.begin(), part.rows.end());
        for (std::size_t k = 0; k < part.codeless.size(); ++k) c.codelessByItem[k] += part.codeless[k];
      },
      threads);
  c.unreadableFiles = summary.unreadableFiles;
  for (std::int64_t n : c.codelessByItem) c.codelessAnswers += n;
  std::sort(c.rows.begin(), c.rows.end());
  c.denominators = DenominatorLines(denominators, lists, year);
  c.unanswered = CountUnanswered(c.rows);
  return c;
}

QStringList SubmissionGoes() {
  QStringList goes = {QStringLiteral("発生年と発生月"), QStringLiteral("発生時刻の時（0～23時）")};
  for (int item = 0; item < kCodeColumnCount; ++item)
    goes << ItemCaption(item) + QStringLiteral("（用紙に印刷されたコード）");
  goes << QStringLiteral("経験年数の区分（1～8）") << QStringLiteral("当該部署における経験年数の区分（1～8）")
       << QStringLiteral("患者のHIV・HCV・HBVの結果（陽性・陰性・未検査）")
       << QStringLiteral("その他の感染症の有無（あり・なしのみ）") << QStringLiteral("緊急処置時（はい・いいえ）")
       << QStringLiteral("針刺し・切創部位（65部位の印）")
       << QStringLiteral("その年の分母（稼働病床数、延べ患者日数、職種別の常勤換算、器材別の購入数）")
       << QStringLiteral("コードの意味（コード表の項目名）")
       << QStringLiteral("施設コード、年と期間、報告の件数、作成日時、プログラムの版");
  return goes;
}

QStringList SubmissionNeverGoes() {
  return {
      QStringLiteral("氏名（受傷者・患者）"),
      QStringLiteral("職員番号"),
      QStringLiteral("カルテ番号（受傷者・患者）"),
      QStringLiteral("年齢"),
      QStringLiteral("性別"),
      QStringLiteral("発生日の日"),
      QStringLiteral("発生時刻の分"),
      QStringLiteral("背景"),
      QStringLiteral("防止策"),
      QStringLiteral("備考"),
      QStringLiteral("その他の記載（その他の感染症の名前を含む）"),
      QStringLiteral("報告の記録番号"),
      QStringLiteral("フォローアップの記録"),
      QStringLiteral("施設名"),
  };
}

QString SubmissionCsvText(const SubmissionContent& content) {
  QStringList heading = {QStringLiteral("行番号"), QStringLiteral("発生年"), QStringLiteral("発生月"),
                         QStringLiteral("発生時刻（時）")};
  for (int item = 0; item < kCodeColumnCount; ++item) heading << ItemCaption(item) + QStringLiteral("（コード）");
  heading << QStringLiteral("経験年数（区分1～8）") << QStringLiteral("当該部署における経験年数（区分1～8）")
          << QStringLiteral("HIV（1陽性 2陰性 3未検査）") << QStringLiteral("HCV（1陽性 2陰性 3未検査）")
          << QStringLiteral("HBV（1陽性 2陰性 3未検査）") << QStringLiteral("その他の感染症（1あり 0なし）")
          << QStringLiteral("緊急処置時（1はい 2いいえ）") << QStringLiteral("針刺し・切創部位（印のある部位の番号）");
  QStringList fields;
  for (QString& h : heading) h = CsvField(h);
  QString text = heading.join(u',') + QStringLiteral("\r\n");
  const auto number = [](int v) { return v == 0 ? QString() : QString::number(v); };
  std::int64_t seq = 0;
  for (const SubmissionRow& r : content.rows) {
    fields.clear();
    fields << QString::number(++seq) << QString::number(r.year) << QString::number(r.month)
           << (r.hour < 0 ? QString() : QString::number(r.hour));
    for (int item = 0; item < kCodeColumnCount; ++item) {
      const std::optional<QString> code = content.codeOf(r, item);
      fields << (!code ? QString() : code->isEmpty() ? QStringLiteral("（コードなし）") : CsvField(*code));
    }
    fields << number(r.experienceBand) << number(r.departmentBand) << number(r.hiv) << number(r.hcv) << number(r.hbv)
           << QString::number(r.otherInfection) << number(r.emergency);
    QStringList sites;
    for (int n = 1; n <= kBodySiteCount; ++n)
      if (r.siteMarked(n)) sites << QString::number(n);
    fields << sites.join(u' ');
    text += fields.join(u',') + QStringLiteral("\r\n");
  }
  return text;
}

QString SubmissionFileName(const QString& facilityCode, int year) {
  return QStringLiteral("提出_%1_%2.sqlite").arg(facilityCode).arg(year);
}

namespace {

// Why writing failed, in Japanese, from SQLite's result code.
QString SqliteWhy(SqliteFile& file) {
  const int code = file.handle() ? sqlite3_errcode(file.handle()) & 0xff : SQLITE_ERROR;
  switch (code) {
    case SQLITE_FULL: return QStringLiteral("ディスクの空きが足りません");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN: return QStringLiteral("書き込む権限がありません: %1").arg(file.lastError());
    default: return file.lastError();
  }
}

QString ErrnoWhy(int error) {
  switch (error) {
    case ENOSPC: return QStringLiteral("ディスクの空きが足りません");
    case EACCES:
    case EPERM: return QStringLiteral("フォルダに書き込む権限がありません");
    case EROFS: return QStringLiteral("読み取り専用のフォルダです");
    case ENOENT: return QStringLiteral("フォルダがありません");
    default: return QString::fromLocal8Bit(std::strerror(error));
  }
}

// A new empty file of mode 0600 beside target, under a name no other file
// has; empty with the reason when none can be made.
QString MakeTemporaryFile(const QString& target, QString* why) {
  const QFileInfo info(target);
  const QString folder = info.absolutePath();
  if (!QFileInfo(folder).isDir()) {
    *why = QStringLiteral("フォルダがありません");
    return {};
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString name =
        QDir(folder).filePath(QStringLiteral(".%1.%2.tmp")
                                  .arg(info.fileName())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno == EEXIST) continue;
    *why = ErrnoWhy(errno);
    return {};
#else
    QFile file(name);
    if (file.exists()) continue;
    if (file.open(QIODevice::NewOnly | QIODevice::WriteOnly)) {
      file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      return name;
    }
    *why = file.errorString();
    return {};
#endif
  }
  *why = QStringLiteral("一時ファイルの名前を決められません");
  return {};
}

// Flushes a file's bytes (or a folder's entries) to the disk.
bool SyncToDisk(const QString& path) {
#if defined(Q_OS_UNIX)
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
#else
  Q_UNUSED(path);
  return true;
#endif
}

QString CreatedAtText(const QDateTime& moment) {
  const int offset = moment.offsetFromUtc();
  const int minutes = std::abs(offset) / 60;
  return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
         QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// Fills an empty file with the submission; false with the reason.
bool FillFile(SqliteFile& db, const SubmissionContent& c, const SubmissionStamp& stamp,
              const SubmissionWriteOptions& options, QString* why) {
  const auto failed = [&](const QString& reason) {
    *why = reason;
    return false;
  };
  // The file is new and removed on any failure: no journal while it fills.
  QStringList setUp = {QStringLiteral("PRAGMA journal_mode = OFF"), QStringLiteral("PRAGMA synchronous = OFF"),
                       QStringLiteral("PRAGMA encoding = 'UTF-8'"),
                       QStringLiteral("PRAGMA application_id = %1").arg(static_cast<qint64>(kApplicationId)),
                       QStringLiteral("PRAGMA user_version = %1").arg(kFormatVersion)};
  if (options.byteLimit > 0)
    setUp << QStringLiteral("PRAGMA max_page_count = %1").arg(std::max<std::int64_t>(1, options.byteLimit / 4096));
  QString error;
  for (const QString& s : setUp)
    if (!db.exec(s, &error)) return failed(SqliteWhy(db));
  if (!db.exec(QStringLiteral("BEGIN"), &error)) return failed(SqliteWhy(db));
  for (const QString& s : SchemaStatements())
    if (!db.exec(s, &error)) return failed(SqliteWhy(db));

  {
    SqliteStatement row(db, QStringLiteral("INSERT INTO submission VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    row.bindInt(1, kFormatVersion);
    row.bindText(2, stamp.facilityCode);
    row.bindInt(3, c.year);
    row.bindText(4, QString::fromLatin1(c.kind == YearKind::Fiscal ? kFiscalYearKind : kCalendarYearKind));
    row.bindText(5, c.from.toString(QStringLiteral("yyyy-MM-dd")));
    row.bindText(6, c.to.toString(QStringLiteral("yyyy-MM-dd")));
    row.bindInt(7, c.reportCount());
    row.bindText(8, stamp.programVersion);
    row.bindText(9, CreatedAtText(stamp.createdAt));
    if (!row.run()) return failed(SqliteWhy(db));
  }
  {
    SqliteStatement entry(db, QStringLiteral("INSERT INTO code_entry VALUES (?, ?, ?)"));
    for (int item = 0; item < kCodeColumnCount; ++item) {
      const ItemCodes& codes = c.codes[static_cast<std::size_t>(item)];
      for (std::size_t i = 0; i < codes.codes.size(); ++i) {
        if (codes.codes[i].isEmpty()) continue;
        entry.bindText(1, QByteArray(kCodeColumns[static_cast<std::size_t>(item)]));
        entry.bindText(2, codes.codes[i]);
        entry.bindText(3, codes.names[i]);
        if (!entry.run()) return failed(SqliteWhy(db));
      }
    }
  }
  {
    std::map<std::pair<QString, QString>, double> sums;
    for (const DenominatorLine& line : c.denominators)
      if (line.status == DenominatorLine::Status::Goes) sums[{DenominatorKindKey(line.kind), line.code}] += *line.value;
    SqliteStatement value(db, QStringLiteral("INSERT INTO denominator VALUES (?, ?, ?)"));
    for (const auto& [key, sum] : sums) {
      value.bindText(1, key.first);
      value.bindText(2, key.second);
      value.bindDouble(3, sum);
      if (!value.run()) return failed(SqliteWhy(db));
    }
  }
  {
    // The codes of each item once in UTF-8, not once per row.
    std::array<std::vector<QByteArray>, kCodeColumnCount> utf8;
    for (std::size_t k = 0; k < utf8.size(); ++k)
      for (const QString& code : c.codes[k].codes) utf8[k].push_back(code.toUtf8());
    SqliteStatement report(db, QStringLiteral("INSERT INTO report VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                              "?, ?, ?, ?, ?, ?, ?)"));
    const auto optional = [&](int i, int v) {
      if (v == 0)
        report.bindNull(i);
      else
        report.bindInt(i, v);
    };
    std::int64_t seq = 0;
    for (const SubmissionRow& r : c.rows) {
      report.bindInt(1, ++seq);
      report.bindInt(2, r.year);
      report.bindInt(3, r.month);
      if (r.hour < 0)
        report.bindNull(4);
      else
        report.bindInt(4, r.hour);
      for (std::size_t k = 0; k < utf8.size(); ++k) {
        const int i = kFirstCodeColumn + 1 + static_cast<int>(k);
        if (r.code[k] == 0)
          report.bindNull(i);
        else
          report.bindText(i, utf8[k][r.code[k] - 1u]);
      }
      optional(15, r.experienceBand);
      optional(16, r.departmentBand);
      optional(17, r.hiv);
      optional(18, r.hcv);
      optional(19, r.hbv);
      report.bindInt(20, r.otherInfection);
      optional(21, r.emergency);
      report.bindText(22, r.siteMarks());
      if (!report.run()) return failed(SqliteWhy(db));
    }
  }
  if (!db.exec(QStringLiteral("COMMIT"), &error)) return failed(SqliteWhy(db));
  return true;
}

}  // namespace

bool WriteSubmissionFile(const QString& path, const SubmissionContent& content, const SubmissionStamp& stamp,
                         const QDate& today, QString* error, const SubmissionWriteOptions& options) {
  const auto fail = [&](const QString& why) {
    if (error) *error = CannotWriteFileMessage(path, why);
    return false;
  };
  if (!IsFacilityCode(stamp.facilityCode)) return fail(QStringLiteral("施設コードが正しくありません"));
  if (QFileInfo(path).isDir()) return fail(QStringLiteral("同じ名前のフォルダがあります"));
  QString why;
  const QString temporary = MakeTemporaryFile(path, &why);
  if (temporary.isEmpty()) return fail(why);
  const auto removeTemporary = [&] {
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
  };

  {
    SqliteFile db;
    QString reason;
    if (!db.open(temporary, SqliteFile::Mode::Create, &reason)) {
      removeTemporary();
      return fail(reason);
    }
    const bool filled = FillFile(db, content, stamp, options, &why);
    db.close();
    if (!filled) {
      removeTemporary();
      return fail(why);
    }
  }
  if (!SyncToDisk(temporary)) {
    removeTemporary();
    return fail(QStringLiteral("ディスクに書き込めません"));
  }

  // Read back as the centre reads it.
  const SubmissionCheck check = CheckSubmissionFile(temporary, today);
  if (!check.ok || check.facts.reportCount != content.reportCount() || check.facts.year != content.year ||
      check.facts.facilityCode != stamp.facilityCode) {
    removeTemporary();
    return fail(QStringLiteral("書き込んだ内容を読み返して確かめられませんでした: %1")
                    .arg(check.ok ? QStringLiteral("内容が違います") : check.refusal));
  }
  QFile::setPermissions(temporary, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
    const int e = errno;
    removeTemporary();
    return fail(ErrnoWhy(e));
  }
  SyncToDisk(QFileInfo(path).absolutePath());
  return true;
}

}  // namespace orvanta
