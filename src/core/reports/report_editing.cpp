#include "core/reports/report_editing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/platform/text_filters.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"

namespace orvanta {
namespace {

// A number as the position label writes it: a blank in the sign position.
QString SignedText(int value) { return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value); }

void AddCount(OpenDataFile& file, int fileNo, int delta) {
  if (fileNo < 0 || fileNo > kMaxFileNo) return;
  auto& count = file.FileRecordCounts[static_cast<std::size_t>(fileNo)];
  count = static_cast<std::int16_t>(std::max(0, count + delta));
}

void ClampCurrentIndex(OpenDataFile& file) {
  file.CurrentIndex = std::clamp(file.CurrentIndex, 0, std::max(0, file.ReportCount() - 1));
}

}  // namespace

int ReportPosition(const OpenDataFile& file) {
  const int before = std::clamp<int>(file.CurrentFileNo, 0, kMaxFileNo + 1);
  int position = 0;
  for (int n = 0; n < before; ++n) position += file.FileRecordCounts[static_cast<std::size_t>(n)];
  return position + file.CurrentIndex + 1;
}

QString PositionLabelText(const OpenDataFile& file, const IdCounters& counters) {
  return SignedText(ReportPosition(file)) + QLatin1Char('/') + SignedText(counters.TotalReports);
}

bool NewReportPassesOverNewestFile(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths) {
  if (file.CurrentFileNo == counters.NewestFileNo && file.ReportCount() > 0) return false;
  return DamageOf(paths.DataFilePath(counters.NewestFileNo)) == DataFileDamage::Unreadable;
}

NewReportOutcome StartNewReport(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths, const QDateTime& now,
                                const std::function<bool()>& saveIfChanged) {
  const bool newestDamaged = NewReportPassesOverNewestFile(file, counters, paths);
  // New reports always go to the end of the newest data file.
  if (file.CurrentFileNo != counters.NewestFileNo) {
    if (!saveIfChanged()) return NewReportOutcome::SaveFailed;
    LoadDataFile(file, paths, counters.NewestFileNo);  // a read error leaves the table empty
    file.CurrentIndex = std::max(0, file.ReportCount() - 1);
  }

  // A full file is followed by a new one, unless it is the last file there
  // can be; so is a file that does not read, which stays as it is.
  if (file.ReportCount() >= kFileCapacity || newestDamaged) {
    if (counters.NewestFileNo >= kMaxFileNo) {
      ClampCurrentIndex(file);
      return NewReportOutcome::CollectionFull;
    }
    if (!saveIfChanged()) return NewReportOutcome::SaveFailed;
    // Leaving the file may have taken back a new report that was never
    // written; the new report still starts the next file.
    counters.NewestFileNo = static_cast<std::int16_t>(counters.NewestFileNo + 1);
    file.CurrentFileNo = counters.NewestFileNo;
    file.ReportTable.clear();
  }

  counters.TotalReports += 1;
  file.ReportTable.emplace_back();
  file.CurrentIndex = file.ReportCount() - 1;
  AddCount(file, file.CurrentFileNo, +1);

  ReportRecord& record = file.ReportTable.back();
  counters.LastReportId += 1;
  record.ReportId = counters.LastReportId;
  const QDate today = now.date();
  for (int i = 0; i < 2; ++i) {
    record.Years[i] = today.year();
    record.Months[i] = today.month();
    record.Days[i] = today.day();
  }
  record.Hours[0] = now.time().hour();
  record.Minutes[0] = now.time().minute();
  return NewReportOutcome::Created;
}

int DropUnsavedNewReports(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths,
                          const std::vector<std::int32_t>& ids) {
  if (ids.empty()) return 0;
  int removed = 0;
  for (int slot = file.ReportCount() - 1; slot >= 0; --slot) {
    const std::int32_t id = file.ReportTable[static_cast<std::size_t>(slot)].ReportId;
    if (id == 0 || std::find(ids.begin(), ids.end(), id) == ids.end()) continue;
    file.ReportTable.erase(file.ReportTable.begin() + slot);
    if (file.CurrentIndex > slot) --file.CurrentIndex;
    counters.TotalReports = std::max(0, counters.TotalReports - 1);
    AddCount(file, file.CurrentFileNo, -1);
    ++removed;
  }
  if (removed == 0) return 0;

  // A file that only the new report had started was never written: the
  // numbering goes back to the file before it.
  if (file.ReportTable.empty() && file.CurrentFileNo > 0 && file.CurrentFileNo == counters.NewestFileNo &&
      !QFileInfo::exists(paths.DataFilePath(file.CurrentFileNo))) {
    counters.NewestFileNo = static_cast<std::int16_t>(counters.NewestFileNo - 1);
    LoadDataFile(file, paths, counters.NewestFileNo);
    file.CurrentIndex = file.ReportCount() - 1;
  }
  ClampCurrentIndex(file);
  return removed;
}

DataFileDamage DamageOf(const QString& path) {
  if (!QFileInfo(path).isFile()) return DataFileDamage::None;
  QByteArray buffer;
  const DataFileCount count = CountDataFile(path, buffer);
  if (!count.result.ok()) return DataFileDamage::Unreadable;
  return count.result.cutShort ? DataFileDamage::CutShort : DataFileDamage::None;
}

ReportSaveOutcome SaveReportFile(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                 const QDateTime& now) {
  return FinishReportSave(PrepareReportSave(file, counters, paths, now));
}

PreparedReportSave PrepareReportSave(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                     const QDateTime& now) {
  PreparedReportSave prepared;
  ReportSaveOutcome& outcome = prepared.outcome;
  const QString path = paths.DataFilePath(file.CurrentFileNo);

  // A file that is there but does not read exactly may hold what was never
  // loaded: keep it under another name before writing over it.
  const DataFileDamage damage = DamageOf(path);
  QString kept;
  if (damage != DataFileDamage::None) {
    if (!KeepDamagedFile(path, now, &kept)) {
      outcome.error = QStringLiteral(
                          "ファイル「%1」を書き込めませんでした。\n"
                          "(読み込めなかった元のファイルを別の名前で残せないため、上書きしていません)")
                          .arg(QDir::toNativeSeparators(path));
      return prepared;
    }
    outcome.notice =
        (damage == DataFileDamage::Unreadable
             ? QStringLiteral("データファイル「%1」は読み込めなかったため、上書きせずに「%2」という名前で残しました。")
             : QStringLiteral("データファイル「%1」は途中で切れていたため、上書きせずに「%2」という名前で残しました。"))
            .arg(QDir::toNativeSeparators(path), QFileInfo(kept).fileName());
  }

  // The counters first: a stop between the two saves then skips an id.
  QString error;
  if (!WriteIdFile(paths.IdFilePath(), counters, &error)) {
    outcome.error = error;
    return prepared;
  }
  outcome.idFileSaved = true;
  if (!CheckedDataFileBytes(path, file.ReportTable, &prepared.bytes, &error)) {
    outcome.error = error;
    return prepared;
  }
  prepared.path = path;
  return prepared;
}

ReportSaveOutcome FinishReportSave(PreparedReportSave prepared) {
  ReportSaveOutcome outcome = std::move(prepared.outcome);
  if (prepared.path.isEmpty()) return outcome;  // the first step failed, and said why
  QString error;
  if (!WriteDataFileBytes(prepared.path, prepared.bytes, &error)) {
    outcome.error = error;
    return outcome;
  }
  outcome.dataFileSaved = true;
  return outcome;
}

QString StorableLineText(const QString& typed) {
  return cp932::KeepEncodable(cp932::ToCodePageForms(RemoveCommas(typed)));
}

bool ApplyPatientKnownAnswer(ReportRecord& record, int option) {
  record.Choices[1] = option + 1;
  if (option == 0) return true;
  record.Choices[2] = 0;
  record.Choices[3] = 0;
  record.Choices[4] = 0;
  record.Texts[kOtherInfection].clear();
  return false;
}

ShownDate DateShownFor(int year, int month, int day, const QDate& today) {
  return ShownDate{year == 0 ? today.year() : year, month == 0 ? today.month() : month, day == 0 ? today.day() : day};
}

void StoreMissingDateParts(ReportRecord& record, int index, const QDate& today) {
  if (index < 0 || index > 2) return;
  const ShownDate shown = DateShownFor(record.Years[index], record.Months[index], record.Days[index], today);
  record.Years[index] = shown.year;
  record.Months[index] = shown.month;
  record.Days[index] = shown.day;
}

}  // namespace orvanta
