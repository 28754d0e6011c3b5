#include "core/reports/data_file_repair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_layout.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"

namespace orvanta {
namespace {

using namespace datafile;

// The lines of the bytes, split as every value file is read: CR LF, a lone
// LF and a lone CR each end one line; the last line may lack its end.
std::vector<QByteArrayView> SplitLines(QByteArrayView bytes) {
  std::vector<QByteArrayView> lines;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* stop = p;
    while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
    lines.emplace_back(p, stop - p);
    if (stop == end) break;
    p = (*stop == '\r' && stop + 1 < end && stop[1] == '\n') ? stop + 2 : stop + 1;
  }
  return lines;
}

bool IsMarkLine(QByteArrayView line) {
  std::int64_t v = 0;
  return ParseLenientNumber(line, v) && IsMark(v);
}

bool IsNumberLine(QByteArrayView line) {
  std::int64_t v = 0;
  return ParseLenientNumber(line, v) && v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

bool AllMarks(const std::vector<QByteArrayView>& lines, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (!IsMarkLine(lines[i])) return false;
  return true;
}

QString Native(const DrivePaths& paths, int fileNo) { return QDir::toNativeSeparators(paths.DataFilePath(fileNo)); }

}  // namespace

std::int32_t DataFileRecovery::firstReportId() const {
  if (reports.empty()) return 0;
  return std::min_element(reports.begin(), reports.end(),
                          [](const ReportRecord& a, const ReportRecord& b) { return a.ReportId < b.ReportId; })
      ->ReportId;
}

std::int32_t DataFileRecovery::lastReportId() const {
  if (reports.empty()) return 0;
  return std::max_element(reports.begin(), reports.end(),
                          [](const ReportRecord& a, const ReportRecord& b) { return a.ReportId < b.ReportId; })
      ->ReportId;
}

DataFileRecovery RecoverDataFileBytes(QByteArrayView bytes) {
  DataFileRecovery out;
  const DataFileCount check = CountDataFileBytes(bytes);
  if (check.result.ok() && !check.result.cutShort) {
    out.verdict = DataFileRecovery::Verdict::Intact;
    return out;
  }
  out.verdict = DataFileRecovery::Verdict::NotRecoverable;

  const std::vector<QByteArrayView> lines = SplitLines(bytes);
  const std::size_t total = lines.size();
  if (total > 0) {
    std::int64_t claimed = 0;
    if (ParseLenientNumber(lines[0], claimed)) out.claimedCount = claimed;
  }

  // The report blocks, up to where the body-site block starts.
  constexpr auto kBlock = static_cast<std::size_t>(kReportLines);
  std::vector<std::size_t> blockStarts;
  std::vector<bool> complete;
  std::size_t pos = 1;
  while (pos < total) {
    const std::size_t n = std::min(kBlock, total - pos);
    if (AllMarks(lines, pos, pos + n)) break;
    if (n < kBlock) {
      // The file ends inside a report: no marks follow it.
      ++out.incompleteReports;
      pos = total;
      break;
    }
    bool whole = true;
    for (int line = 0; line < kReportLines && whole; ++line)
      whole = IsTextLine(line) || IsNumberLine(lines[pos + static_cast<std::size_t>(line)]);
    blockStarts.push_back(pos);
    complete.push_back(whole);
    if (!whole) ++out.incompleteReports;
    pos += kBlock;
  }
  const std::size_t marksStart = pos;
  const std::size_t marksEnd = marksStart + static_cast<std::size_t>(kSiteLines) * blockStarts.size();
  // Empty lines there are no loss.
  for (std::size_t i = marksEnd; i < total; ++i) out.linesLeftOut += lines[i].isEmpty() ? 0 : 1;

  // The complete reports with their marks, as a file that reads exactly; the
  // reader then builds them as it builds every report.
  int found = 0;
  for (bool whole : complete) found += whole ? 1 : 0;
  if (found == 0 || found > kMaxReadableCount) {
    out.reports.clear();
    return out;
  }
  QByteArray rebuilt;
  rebuilt.reserve(bytes.size() + 64);
  auto append = [&rebuilt](QByteArrayView line) {
    rebuilt.append(line.data(), line.size());
    rebuilt.append("\r\n", 2);
  };
  append(QByteArray(" ") + QByteArray::number(found) + ' ');
  for (std::size_t k = 0; k < blockStarts.size(); ++k) {
    if (!complete[k]) continue;
    for (std::size_t line = 0; line < kBlock; ++line) append(lines[blockStarts[k] + line]);
  }
  for (std::size_t k = 0; k < blockStarts.size(); ++k) {
    if (!complete[k]) continue;
    bool allThere = true;
    for (std::size_t s = 0; s < static_cast<std::size_t>(kSiteLines); ++s) {
      const std::size_t at = marksStart + static_cast<std::size_t>(kSiteLines) * k + s;
      if (at < total && IsMarkLine(lines[at])) {
        append(lines[at]);
      } else {
        append(" 0 ");
        allThere = false;
      }
    }
    if (!allThere) ++out.reportsWithoutAllMarks;
  }
  const ReadResult read = ReadDataFileBytes(rebuilt, out.reports);
  if (!read.ok() || read.cutShort) {
    out.reports.clear();
    return out;
  }
  out.verdict = DataFileRecovery::Verdict::Recoverable;
  return out;
}

DataFileRecovery RecoverDataFile(const QString& path) {
  QByteArray bytes;
  if (!QFileInfo(path).isFile() || !ReadWholeFile(path, bytes)) return DataFileRecovery{};
  return RecoverDataFileBytes(bytes);
}

std::vector<int> FindDamagedDataFiles(const IdCounters& counters, const DrivePaths& paths) {
  std::vector<int> damaged;
  const int newest = std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo);
  for (int n = 0; n <= newest; ++n)
    if (DamageOf(paths.DataFilePath(n)) != DataFileDamage::None) damaged.push_back(n);
  return damaged;
}

DataFileRepairOutcome RepairDataFile(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths, int fileNo,
                                     const DataFileRecovery& found, const QDateTime& now) {
  DataFileRepairOutcome out;
  if (found.verdict != DataFileRecovery::Verdict::Recoverable || fileNo < 0 || fileNo > kMaxFileNo) {
    out.error = NotRepairableText(paths, fileNo);
    return out;
  }
  const QString path = paths.DataFilePath(fileNo);
  QString kept;
  if (!CopyDamagedFile(path, now, &kept)) {
    out.error = QStringLiteral(
                    "データファイル「%1」を修復できませんでした。\n"
                    "(元のファイルを別の名前で残せないため、書き直していません)")
                    .arg(QDir::toNativeSeparators(path));
    return out;
  }
  QString error;
  if (!WriteDataFile(path, found.reports, &error)) {
    QFile::remove(kept);
    out.error = error;
    return out;
  }
  out.repaired = true;
  out.kept = kept;

  // The counts follow the file on disk.
  auto& count = file.FileRecordCounts[static_cast<std::size_t>(fileNo)];
  const auto reports = static_cast<std::int32_t>(found.reports.size());
  counters.TotalReports = std::max(0, counters.TotalReports - count + reports);
  count = static_cast<std::int16_t>(reports);
  counters.LastReportId = std::max(counters.LastReportId, found.lastReportId());
  if (!WriteIdFile(paths.IdFilePath(), counters, &error)) out.error = error;
  if (file.CurrentFileNo == fileNo) {
    LoadDataFile(file, paths, fileNo);
    file.CurrentIndex = std::clamp(file.CurrentIndex, 0, std::max(0, file.ReportCount() - 1));
  }
  return out;
}

QString RepairQuestionText(const DrivePaths& paths, int fileNo, const DataFileRecovery& found) {
  const auto count = static_cast<qsizetype>(found.reports.size());
  QString text = QStringLiteral("データファイル「%1」の中に、完全な報告が%2件見つかりました(報告番号 %3～%4)。\n")
                     .arg(Native(paths, fileNo))
                     .arg(count)
                     .arg(found.firstReportId())
                     .arg(found.lastReportId());
  text += found.claimedCount ? QStringLiteral("ファイルの1行目の件数: %1件\n").arg(*found.claimedCount)
                             : QStringLiteral("ファイルの1行目の件数: 読み取れません\n");
  if (found.incompleteReports > 0)
    text += QStringLiteral("読み取れない行があるため含めない報告: %1件\n").arg(found.incompleteReports);
  if (found.reportsWithoutAllMarks > 0)
    text += QStringLiteral("部位の記録が欠けている報告: %1件(欠けた部位は記録なしになります)\n")
                .arg(found.reportsWithoutAllMarks);
  if (found.linesLeftOut > 0)
    text += QStringLiteral("どの報告にも当てはまらない%1行は含めません。\n").arg(found.linesLeftOut);
  text += QStringLiteral(
              "\n見つかった%1件の報告で、このファイルを書き直しますか？\n"
              "元のファイルは「%2.damaged-日付」という名前で残します。")
              .arg(count)
              .arg(QFileInfo(paths.DataFilePath(fileNo)).fileName());
  return text;
}

QString RepairDoneText(const DrivePaths& paths, int fileNo, const DataFileRepairOutcome& outcome,
                       const DataFileRecovery& found) {
  return QStringLiteral(
             "データファイル「%1」を修復しました。報告%2件が入っています。\n元のファイルは「%"
             "3」という名前で残しました。")
      .arg(Native(paths, fileNo))
      .arg(static_cast<qsizetype>(found.reports.size()))
      .arg(QFileInfo(outcome.kept).fileName());
}

QString NotRepairableText(const DrivePaths& paths, int fileNo) {
  return QStringLiteral(
             "データファイル「%1」の中に完全な報告が見つからないため、修復できません。\n"
             "ファイルは変更せずに、そのまま残しています。")
      .arg(Native(paths, fileNo));
}

QString IntactFileText(const DrivePaths& paths, int fileNo) {
  return QStringLiteral("データファイル「%1」は正しく読み込めるため、修復の必要はありません。")
      .arg(Native(paths, fileNo));
}

QString DamagedNewestFileText(const DrivePaths& paths, int fileNo) {
  QString text = QStringLiteral("データファイル「%1」は正しく読み込めないため、上書きせずにそのまま残しています。\n")
                     .arg(Native(paths, fileNo));
  // After the last file there can be, no next file takes the report.
  if (fileNo < kMaxFileNo)
    text += QStringLiteral("修復しない場合、新しい報告は次のデータファイル「%1」に入ります。\n")
                .arg(QFileInfo(paths.DataFilePath(fileNo + 1)).fileName());
  return text + QStringLiteral("\nこのファイルを今すぐ修復しますか？");
}

}  // namespace orvanta
