#include "core/reports/report_navigation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/platform/drive_paths.h"
#include "core/platform/safe_save.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"

namespace orvanta {
namespace {

int Newest(const IdCounters& counters) { return std::clamp<int>(counters.NewestFileNo, 0, kMaxFileNo); }

// The first file from `from` in `direction`, stopping before `stop` and
// within 0 to the newest file, that holds a report; -1 when none does.
int Scan(const DrivePaths& paths, int newest, int from, int stop, int direction, std::vector<ReportRecord>& table) {
  for (int n = from; n != stop; n += direction) {
    if (n < 0 || n > newest) break;
    if (ReadReportsOf(paths, n, table)) return n;
  }
  table.clear();
  return -1;
}

StepPlan Within(int fileNo, int index) {
  StepPlan plan;
  plan.moves = true;
  plan.fileNo = fileNo;
  plan.index = index;
  return plan;
}

StepPlan ToFile(int fileNo, std::vector<ReportRecord> table, bool atEnd) {
  StepPlan plan;
  plan.moves = true;
  plan.leavesFile = true;
  plan.fileNo = fileNo;
  plan.index = atEnd ? static_cast<int>(table.size()) - 1 : 0;
  plan.table = std::move(table);
  return plan;
}

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// A name beside path that no file has yet.
QString UnusedName(const QString& base) {
  QString name = base;
  for (int n = 2; QFileInfo::exists(name); ++n) name = base + QLatin1Char('-') + QString::number(n);
  return name;
}

void SetCount(OpenDataFile& file, int fileNo, int count) {
  if (fileNo < 0 || fileNo > kMaxFileNo) return;
  file.FileRecordCounts[static_cast<std::size_t>(fileNo)] = static_cast<std::int16_t>(std::max(0, count));
}

}  // namespace

bool ReadReportsOf(const DrivePaths& paths, int fileNo, std::vector<ReportRecord>& table) {
  table.clear();
  const QString path = paths.DataFilePath(fileNo);
  if (!QFileInfo(path).isFile() || !ReadDataFile(path, table).ok()) {
    table.clear();
    return false;
  }
  return !table.empty();
}

std::optional<ReportRecord> FindReport(const DrivePaths& paths, int newestFileNo, std::int32_t reportId) {
  std::vector<ReportRecord> table;
  for (int fileNo = newestFileNo; fileNo >= 0; --fileNo) {
    if (!ReadReportsOf(paths, fileNo, table)) continue;
    for (const ReportRecord& r : table) {
      if (r.ReportId == reportId) return r;
    }
  }
  return std::nullopt;
}

int FindFileWithReports(const IdCounters& counters, const DrivePaths& paths, int from, int direction,
                        std::vector<ReportRecord>& table) {
  const int newest = Newest(counters);
  return Scan(paths, newest, from, direction > 0 ? newest + 1 : -1, direction > 0 ? 1 : -1, table);
}

void ShowFile(OpenDataFile& file, int fileNo, std::vector<ReportRecord> table, int index) {
  file.CurrentFileNo = fileNo;
  file.ReportTable = std::move(table);
  file.CurrentIndex = std::clamp(index, 0, std::max(0, file.ReportCount() - 1));
}

// ---- Steps -------------------------------------------------------------------

StepPlan PlanStep(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths, Step step) {
  const int cur = file.CurrentFileNo;
  const int count = file.ReportCount();
  const int index = file.CurrentIndex;
  const int newest = Newest(counters);
  auto scan = [&](int from, int stop, int direction, std::vector<ReportRecord>& table) {
    return Scan(paths, newest, from, stop, direction, table);
  };
  std::vector<ReportRecord> table;
  switch (step) {
    case Step::Previous: {
      if (count > 0 && index > 0) return Within(cur, std::min(index, count) - 1);
      const int n = scan(cur - 1, -1, -1, table);
      return n < 0 ? StepPlan{} : ToFile(n, std::move(table), true);
    }
    case Step::Next: {
      if (count > 0 && index < count - 1) return Within(cur, std::max(index, -1) + 1);
      const int n = scan(cur + 1, newest + 1, +1, table);
      return n < 0 ? StepPlan{} : ToFile(n, std::move(table), false);
    }
    case Step::First: {
      // The first report there is: in an earlier file, else in this one.
      int n = scan(0, cur, +1, table);
      if (n >= 0) return ToFile(n, std::move(table), false);
      if (count > 0) return Within(cur, 0);
      n = scan(cur + 1, newest + 1, +1, table);
      return n < 0 ? StepPlan{} : ToFile(n, std::move(table), false);
    }
    case Step::Last: {
      int n = scan(newest, cur, -1, table);
      if (n >= 0) return ToFile(n, std::move(table), true);
      if (count > 0) return Within(cur, count - 1);
      n = scan(cur - 1, -1, -1, table);
      return n < 0 ? StepPlan{} : ToFile(n, std::move(table), true);
    }
  }
  return {};
}

void ApplyStep(OpenDataFile& file, StepPlan plan) {
  if (!plan.moves) return;
  if (plan.leavesFile) {
    ShowFile(file, plan.fileNo, std::move(plan.table), plan.index);
    return;
  }
  file.CurrentIndex = std::clamp(plan.index, 0, std::max(0, file.ReportCount() - 1));
}

// ---- Deletion ----------------------------------------------------------------

DeletionCase ClassifyDeletion(const OpenDataFile& file, const IdCounters& counters) {
  const int count = file.ReportCount();
  if (count == 0 || file.CurrentIndex < 0 || file.CurrentIndex >= count) return DeletionCase::None;
  if (count > 1) return DeletionCase::WithinFile;
  if (counters.TotalReports - 1 <= 0) return DeletionCase::LastOfCollection;
  return DeletionCase::OnlyReportOfFile;
}

WithinFileDeletion TakeOutShownReport(OpenDataFile& file, IdCounters& counters) {
  WithinFileDeletion d;
  const int count = file.ReportCount();
  const int index = file.CurrentIndex;
  if (index < 0 || index >= count) return d;
  d.wasLastOfFile = index == count - 1;
  d.newerFilesExist = file.CurrentFileNo < Newest(counters);
  file.ReportTable.erase(file.ReportTable.begin() + index);
  const int cur = file.CurrentFileNo;
  if (cur >= 0 && cur <= kMaxFileNo) {
    const int before = file.FileRecordCounts[static_cast<std::size_t>(cur)];
    SetCount(file, cur, file.ReportTable.empty() ? 0 : before - 1);
  }
  counters.TotalReports = std::max(0, counters.TotalReports - 1);
  if (d.wasLastOfFile) file.CurrentIndex = std::max(0, index - 1);
  return d;
}

bool DataFileOps::exists(const QString& path) const { return QFileInfo::exists(path); }
bool DataFileOps::rename(const QString& from, const QString& to) {
  if (QFileInfo::exists(to)) return false;
  return QFile::rename(from, to);
}
bool DataFileOps::remove(const QString& path) { return QFile::remove(path); }

DataFileOps& FileSystemDataFileOps() {
  static DataFileOps ops;
  return ops;
}

FileRemovalOutcome RemoveShownReportFile(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths,
                                         DataFileOps& ops, const QDateTime& now) {
  FileRemovalOutcome outcome;
  const int cur = std::clamp<int>(file.CurrentFileNo, 0, kMaxFileNo);
  const int newest = std::max(cur, Newest(counters));
  auto path = [&paths](int n) { return paths.DataFilePath(n); };

  // 1. The file is moved aside; an unreadable one is kept under a name that
  //    says so, since it may hold reports that were never shown.
  //    A file cut short is kept as well: the program read it as far as it
  //    goes, and the original stays for whoever can mend it.
  QString aside;
  DataFileDamage damage = DataFileDamage::None;
  if (ops.exists(path(cur))) {
    damage = DamageOf(path(cur));
    aside = damage != DataFileDamage::None ? DamagedFileName(path(cur), now)
                                           : UnusedName(path(cur) + QStringLiteral(".deleted"));
    if (!ops.rename(path(cur), aside)) {
      outcome.error = QStringLiteral("データファイル「%1」を削除できなかったため、表示データは削除していません。")
                          .arg(Native(path(cur)));
      return outcome;
    }
  }

  // 2. The newer files move down one number each, in ascending order, so
  //    that each goes into the number just freed. A missing file stays
  //    missing, one number lower.
  std::vector<int> moved;
  for (int g = cur + 1; g <= newest; ++g) {
    if (!ops.exists(path(g))) continue;
    if (ops.rename(path(g), path(g - 1))) {
      moved.push_back(g);
      continue;
    }
    // Undo what was done, newest first, and put the file back.
    bool restored = true;
    for (auto it = moved.rbegin(); it != moved.rend(); ++it)
      restored = ops.rename(path(*it - 1), path(*it)) && restored;
    if (!aside.isEmpty()) restored = ops.rename(aside, path(cur)) && restored;
    outcome.error =
        QStringLiteral("データファイル「%1」の名前を「%2」に変更できなかったため、表示データは削除していません。")
            .arg(Native(path(g)), QFileInfo(path(g - 1)).fileName());
    if (!restored) {
      outcome.error +=
          QStringLiteral("\n元の名前に戻せなかったファイルがあります。フォルダ「%1」のファイルを確認してください。")
              .arg(Native(paths.ReportFolderPath()));
    }
    return outcome;
  }
  outcome.ok = true;

  // 3. Only now is the file moved aside removed.
  if (damage != DataFileDamage::None) {
    outcome.notice =
        (damage == DataFileDamage::Unreadable
             ? QStringLiteral("データファイル「%1」は読み込めなかったため、削除せずに「%2」という名前で残しました。")
             : QStringLiteral("データファイル「%1」は途中で切れていたため、削除せずに「%2」という名前で残しました。"))
            .arg(Native(path(cur)), QFileInfo(aside).fileName());
  } else if (!aside.isEmpty() && !ops.remove(aside)) {
    outcome.notice = QStringLiteral(
                         "表示データは削除しましたが、ファイル「%1」を削除できませんでした。"
                         "このファイルは手作業で削除してください。")
                         .arg(Native(aside));
  }

  // The counters follow the files.
  if (cur < newest) {
    for (int g = cur; g < newest; ++g)
      file.FileRecordCounts[static_cast<std::size_t>(g)] = file.FileRecordCounts[static_cast<std::size_t>(g + 1)];
    file.FileRecordCounts[static_cast<std::size_t>(newest)] = 0;
    counters.NewestFileNo = static_cast<std::int16_t>(newest - 1);
    counters.TotalReports = std::max(0, counters.TotalReports - 1);
  } else if (cur > 0) {
    file.FileRecordCounts[static_cast<std::size_t>(cur)] = 0;
    counters.NewestFileNo = static_cast<std::int16_t>(cur - 1);
    counters.TotalReports = std::max(0, counters.TotalReports - 1);
  } else {
    file.FileRecordCounts.fill(0);
    counters.NewestFileNo = 0;
    counters.TotalReports = 0;
  }

  // The report that followed (in the file that took the number), else the
  // one before; with none left anywhere a new report starts.
  std::vector<ReportRecord> table;
  int n = cur <= Newest(counters) ? FindFileWithReports(counters, paths, cur, +1, table) : -1;
  bool atEnd = false;
  if (n < 0) {
    n = FindFileWithReports(counters, paths, std::min(cur - 1, Newest(counters)), -1, table);
    atEnd = true;
  }
  if (n >= 0) {
    const int index = atEnd ? static_cast<int>(table.size()) - 1 : 0;
    ShowFile(file, n, std::move(table), index);
  } else {
    outcome.startNewReport = true;
    LoadDataFile(file, paths, Newest(counters));
    file.CurrentIndex = 0;
  }

  // The counters on disk go with the renumbered files.
  QString error;
  if (!WriteIdFile(paths.IdFilePath(), counters, &error)) {
    if (!outcome.notice.isEmpty()) outcome.notice += QLatin1Char('\n');
    outcome.notice += error;
  }
  return outcome;
}

}  // namespace orvanta
