#include "core/reports/report_history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <future>
#include <set>
#include <sys/stat.h>

#include "core/platform/drive_paths.h"
#include "core/reports/data_file.h"
#include "core/reports/note_text.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"
#include "core/reports/report_navigation.h"
#include "core/store/database.h"

namespace orvanta {

namespace {

const QString kReportKey = QStringLiteral("report");
const QString kBeforeKey = QStringLiteral("before");
const QString kChangesKey = QStringLiteral("changes");
const QString kFileKey = QStringLiteral("file");
const QString kFromKey = QStringLiteral("from");

// ---- JSON of the arrays --------------------------------------------------

template <typename T, std::size_t N>
QJsonArray Numbers(const std::array<T, N>& values) {
  QJsonArray array;
  for (T v : values) array.append(static_cast<int>(v));
  return array;
}

template <std::size_t N>
QJsonArray Texts(const std::array<QString, N>& values) {
  QJsonArray array;
  for (const QString& v : values) array.append(v);
  return array;
}

template <typename T, std::size_t N>
bool ReadNumbers(const QJsonValue& value, std::array<T, N>& out) {
  const QJsonArray array = value.toArray();
  if (array.size() != static_cast<qsizetype>(N)) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (!array[static_cast<qsizetype>(i)].isDouble()) return false;
    out[i] = static_cast<T>(array[static_cast<qsizetype>(i)].toInt());
  }
  return true;
}

template <std::size_t N>
bool ReadTexts(const QJsonValue& value, std::array<QString, N>& out) {
  const QJsonArray array = value.toArray();
  if (array.size() != static_cast<qsizetype>(N)) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (!array[static_cast<qsizetype>(i)].isString()) return false;
    out[i] = array[static_cast<qsizetype>(i)].toString();
  }
  return true;
}

// ---- Items ---------------------------------------------------------------

QString AnswerText(const CodeLists& lists, int list, std::int32_t id) {
  if (id == 0) return QString();
  if (list >= 0 && list < kCodeListCount) {
    const CodeList& l = lists[static_cast<std::size_t>(list)];
    const int at = FindEntryById(l, id);
    if (at >= 0) return l.entries[at].name;
  }
  return QStringLiteral("(コード番号%1)").arg(id);
}

QString ChoiceText(int group, std::int32_t value) {
  if (value == 0) return QString();
  static const std::vector<std::vector<const char*>> kOptions = {
      {"男", "女"},
      {"はい", "いいえ", "適切な回答なし(患者への使用前)"},
      {"陽性", "陰性", "未検査"},
      {"陽性", "陰性", "未検査"},
      {"陽性", "陰性", "未検査"},
      {"はい", "いいえ"},
      {"はい", "いいえ"},
      {"はい(ワクチン接種による)", "はい(自然陽転あるいは既往疾患などによる)", "いいえ", "不明"},
      {"はい", "いいえ"},
      {"受診した", "受診しない"},
  };
  if (group >= 0 && group < static_cast<int>(kOptions.size()) && value >= 1 &&
      value <= static_cast<int>(kOptions[static_cast<std::size_t>(group)].size()))
    return QString::fromUtf8(kOptions[static_cast<std::size_t>(group)][static_cast<std::size_t>(value - 1)]);
  return QString::number(value);
}

QString DateText(const ReportRecord& r, int i) {
  const auto k = static_cast<std::size_t>(i);
  if (r.Years[k] == 0 && r.Months[k] == 0 && r.Days[k] == 0) return QString();
  return QStringLiteral("%1年%2月%3日").arg(r.Years[k]).arg(r.Months[k]).arg(r.Days[k]);
}

QString TimeText(const ReportRecord& r, int i) {
  const auto k = static_cast<std::size_t>(i);
  if (r.Hours[k] == 0 && r.Minutes[k] == 0) return QString();
  return QStringLiteral("%1時%2分").arg(r.Hours[k]).arg(r.Minutes[k]);
}

QString SitesText(const ReportRecord& r) {
  QStringList marked;
  for (std::size_t i = 0; i < r.Sites.size(); ++i)
    if (r.Sites[i] != 0) marked << QString::number(i + 1);
  return marked.join(QStringLiteral(", "));
}

QString JoinNames(const std::vector<ItemChange>& changes) {
  QStringList names;
  for (std::size_t i = 0; i < changes.size() && i < 5; ++i) names << changes[i].item;
  QString text = names.join(QStringLiteral("、"));
  if (changes.size() > 5) text += QStringLiteral(" ほか%1項目").arg(changes.size() - 5);
  return text;
}

QJsonArray ChangesJson(const std::vector<ItemChange>& changes) {
  QJsonArray array;
  for (const ItemChange& c : changes)
    array.append(QJsonObject{
        {QStringLiteral("item"), c.item}, {QStringLiteral("old"), c.before}, {QStringLiteral("new"), c.after}});
  return array;
}

std::vector<ItemChange> ChangesFromJson(const QJsonArray& array) {
  std::vector<ItemChange> changes;
  for (const QJsonValue& v : array) {
    const QJsonObject o = v.toObject();
    changes.push_back({o.value(QStringLiteral("item")).toString(), o.value(QStringLiteral("old")).toString(),
                       o.value(QStringLiteral("new")).toString()});
  }
  return changes;
}

bool HasVersions(const QSqlDatabase& db, std::int32_t reportId) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral("SELECT 1 FROM access_log WHERE report_id = ? AND kind IN (?, ?, ?, ?) LIMIT 1"));
  query.bindValue(0, reportId);
  query.bindValue(1, log_kind::kReportNew);
  query.bindValue(2, log_kind::kReportChange);
  query.bindValue(3, log_kind::kReportDelete);
  query.bindValue(4, log_kind::kReportRestore);
  return query.exec() && query.next();
}

// Every report of the data files, by id: what the settling compares with.
std::map<std::int32_t, ReportRecord> ReportsById(const DrivePaths& paths, const IdCounters& counters,
                                                 const std::set<std::int32_t>& wanted) {
  std::map<std::int32_t, ReportRecord> found;
  std::vector<ReportRecord> table;
  for (int n = 0; n <= counters.NewestFileNo && found.size() < wanted.size(); ++n) {
    if (!ReadReportsOf(paths, n, table)) continue;
    for (const ReportRecord& r : table)
      if (wanted.count(r.ReportId)) found[r.ReportId] = r;
  }
  return found;
}

bool EveryFileReads(const DrivePaths& paths, const IdCounters& counters) {
  std::vector<ReportRecord> table;
  for (int n = 0; n <= counters.NewestFileNo; ++n) {
    const QString path = paths.DataFilePath(n);
    if (QFileInfo(path).isFile() && !ReadDataFile(path, table).ok()) return false;
  }
  return true;
}

// Writes table as data file fileNo with its entries, ttid.dat first.
bool WriteRecorded(const ReportWrite& write, const IdCounters& counters, const DrivePaths& paths,
                   const CodeLists& lists, AccessLog& log, Database& database, QString* error) {
  RecordedReportWrite recorded(log, database);
  recorded.begin(write, lists);
  const bool ok = WriteIdFile(paths.IdFilePath(), counters, error) &&
                  WriteDataFile(paths.DataFilePath(write.fileNo), write.after, error);
  recorded.finish(ok);
  return ok;
}

}  // namespace

// ---- The report as JSON ------------------------------------------------------

QJsonObject ReportJson(const ReportRecord& r) {
  return QJsonObject{
      {QStringLiteral("id"), r.ReportId},
      {QStringLiteral("texts"), Texts(r.Texts)},
      {QStringLiteral("notes"), Texts(r.Notes)},
      {QStringLiteral("otherTexts"), Texts(r.OtherTexts)},
      {QStringLiteral("answers"), Numbers(r.AnswerIds)},
      {QStringLiteral("choices"), Numbers(r.Choices)},
      {QStringLiteral("years"), Numbers(r.Years)},
      {QStringLiteral("months"), Numbers(r.Months)},
      {QStringLiteral("days"), Numbers(r.Days)},
      {QStringLiteral("hours"), Numbers(r.Hours)},
      {QStringLiteral("minutes"), Numbers(r.Minutes)},
      {QStringLiteral("sites"), Numbers(r.Sites)},
  };
}

std::optional<ReportRecord> ReportFromJson(const QJsonObject& o) {
  ReportRecord r;
  if (!o.value(QStringLiteral("id")).isDouble()) return std::nullopt;
  r.ReportId = o.value(QStringLiteral("id")).toInt();
  const bool ok =
      ReadTexts(o.value(QStringLiteral("texts")), r.Texts) && ReadTexts(o.value(QStringLiteral("notes")), r.Notes) &&
      ReadTexts(o.value(QStringLiteral("otherTexts")), r.OtherTexts) &&
      ReadNumbers(o.value(QStringLiteral("answers")), r.AnswerIds) &&
      ReadNumbers(o.value(QStringLiteral("choices")), r.Choices) &&
      ReadNumbers(o.value(QStringLiteral("years")), r.Years) &&
      ReadNumbers(o.value(QStringLiteral("months")), r.Months) &&
      ReadNumbers(o.value(QStringLiteral("days")), r.Days) && ReadNumbers(o.value(QStringLiteral("hours")), r.Hours) &&
      ReadNumbers(o.value(QStringLiteral("minutes")), r.Minutes) &&
      ReadNumbers(o.value(QStringLiteral("sites")), r.Sites);
  if (!ok) return std::nullopt;
  return r;
}

// ---- Items -------------------------------------------------------------------

std::vector<ReportItem> ReportItems(const ReportRecord& r, const CodeLists& lists) {
  std::vector<ReportItem> items;
  auto text = [&](const char* name, int k) {
    items.push_back({QString::fromUtf8(name), r.Texts[static_cast<std::size_t>(k)]});
  };
  auto answer = [&](const char* name, int k) {
    items.push_back({QString::fromUtf8(name), AnswerText(lists, k, r.AnswerIds[static_cast<std::size_t>(k)])});
  };
  auto other = [&](const char* name, int k) {
    items.push_back({QString::fromUtf8(name), r.OtherTexts[static_cast<std::size_t>(k)]});
  };
  auto choice = [&](const char* name, int g) {
    items.push_back({QString::fromUtf8(name), ChoiceText(g, r.Choices[static_cast<std::size_t>(g)])});
  };
  auto note = [&](const char* name, int k) {
    items.push_back({QString::fromUtf8(name), NoteToEditor(r.Notes[static_cast<std::size_t>(k)])});
  };

  text("氏名", kReporterName);
  text("職員番号", kStaffNumber);
  text("カルテ番号", kRecordNumber);
  answer("所属勤務場所", kDepartments);
  text("経験年数", kExperienceYears);
  text("当該部署経験年数", kDepartmentYears);
  choice("性別", 0);
  text("年齢", kAge);
  items.push_back({QStringLiteral("発生日"), DateText(r, 0)});
  items.push_back({QStringLiteral("発生時刻"), TimeText(r, 0)});
  items.push_back({QStringLiteral("報告日"), DateText(r, 1)});
  answer("３職種", kOccupations);
  other("３職種 その他の場合", 0);
  answer("４発生場所", kPlaces);
  other("４発生場所 その他の場合", 1);
  choice("５汚染源の患者", 1);
  text("患者カルテ番号", kPatientRecordNumber);
  text("患者氏名", kPatientName);
  choice("患者のHIV感染", 2);
  choice("患者のHCV感染", 3);
  choice("患者のHBV感染", 4);
  text("患者のその他の感染", kOtherInfection);
  choice("事故後の受診", 9);
  answer("６原因器材を患者に使用中", kQuestion6Answers);
  answer("７器材の汚染", kQuestion7Answers);
  answer("８器材の使用目的", kPurposes);
  other("８使用目的 その他の場合", 2);
  answer("９事故の過程(状況)", kCircumstances);
  other("９過程 その他の場合", 3);
  answer("９行為別", kActionTypes);
  answer("１０原因器材", kDevices);
  other("１０原因器材 その他の場合", 4);
  choice("１１安全装置のついた針", 5);
  choice("１１安全装置の作動", 6);
  other("１１製品名", 5);
  items.push_back({QStringLiteral("１２受傷部位"), SitesText(r)});
  answer("１３事故の程度", kSeverities);
  choice("１４HBs抗体陽性", 7);
  choice("１５緊急処置時の受傷", 8);
  note("１６状況及び背景", 1);
  note("１７防止策", 2);
  note("備考", 0);

  // What the form does not show, so that a change there is seen too.
  for (int k = 9; k < static_cast<int>(r.Texts.size()); ++k)
    items.push_back({QStringLiteral("予備の文字項目%1").arg(k), r.Texts[static_cast<std::size_t>(k)]});
  for (int k = 3; k < static_cast<int>(r.Notes.size()); ++k)
    items.push_back({QStringLiteral("予備の記述項目%1").arg(k), NoteToEditor(r.Notes[static_cast<std::size_t>(k)])});
  for (int k = 10; k < static_cast<int>(r.AnswerIds.size()); ++k)
    items.push_back(
        {QStringLiteral("予備の回答項目%1").arg(k), AnswerText(lists, k, r.AnswerIds[static_cast<std::size_t>(k)])});
  items.push_back({QStringLiteral("予備の選択項目10"), ChoiceText(10, r.Choices[10])});
  items.push_back({QStringLiteral("予備の日付"), DateText(r, 2)});
  items.push_back({QStringLiteral("報告時刻"), TimeText(r, 1)});
  items.push_back({QStringLiteral("予備の時刻"), TimeText(r, 2)});
  return items;
}

std::vector<ItemChange> ChangedItems(const ReportRecord& before, const ReportRecord& after, const CodeLists& lists) {
  std::vector<ItemChange> changes;
  if (before == after) return changes;
  const std::vector<ReportItem> a = ReportItems(before, lists);
  const std::vector<ReportItem> b = ReportItems(after, lists);
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i].value != b[i].value) changes.push_back({a[i].name, a[i].value, b[i].value});
  // Fields that differ although their texts read the same (an answer whose
  // entry has the same name): said as such.
  if (changes.empty()) changes.push_back({QStringLiteral("(表示の同じ値)"), QString(), QString()});
  return changes;
}

// ---- Recording a save --------------------------------------------------------

std::vector<LogEvent> ReportWriteEvents(const ReportWrite& write, const CodeLists& lists) {
  std::vector<LogEvent> events;
  std::map<std::int32_t, const ReportRecord*> before;
  for (const ReportRecord& r : write.before)
    if (r.ReportId != 0) before[r.ReportId] = &r;
  std::set<std::int32_t> kept;
  for (const ReportRecord& r : write.after) {
    if (r.ReportId == 0) continue;
    kept.insert(r.ReportId);
    const auto was = before.find(r.ReportId);
    if (was != before.end() && *was->second == r) continue;
    const auto restored = write.restoredFrom.find(r.ReportId);
    LogEvent e;
    e.reportId = r.ReportId;
    e.details.insert(kFileKey, write.fileNo);
    e.details.insert(kReportKey, ReportJson(r));
    if (was == before.end()) {
      if (restored != write.restoredFrom.end()) {
        e.kind = log_kind::kReportRestore;
        e.summary = QStringLiteral("削除された報告を戻しました（データファイル%1）").arg(write.fileNo);
        e.details.insert(kFromKey, qint64(restored->second));
      } else {
        e.kind = log_kind::kReportNew;
        e.summary = QStringLiteral("報告を追加しました（データファイル%1）").arg(write.fileNo);
      }
    } else {
      const std::vector<ItemChange> changes = ChangedItems(*was->second, r, lists);
      e.details.insert(kChangesKey, ChangesJson(changes));
      e.details.insert(kBeforeKey, ReportJson(*was->second));
      if (restored != write.restoredFrom.end()) {
        e.kind = log_kind::kReportRestore;
        e.summary = (restored->second > 0 ? QStringLiteral("番号%1の版に戻しました：").arg(restored->second)
                                          : QStringLiteral("記録開始前の版に戻しました：")) +
                    JoinNames(changes);
        e.details.insert(kFromKey, qint64(restored->second));
      } else {
        e.kind = log_kind::kReportChange;
        e.summary = QStringLiteral("変更：") + JoinNames(changes);
      }
    }
    events.push_back(std::move(e));
  }
  for (const ReportRecord& r : write.before) {
    if (r.ReportId == 0 || kept.count(r.ReportId)) continue;
    LogEvent e;
    e.kind = log_kind::kReportDelete;
    e.reportId = r.ReportId;
    e.summary = QStringLiteral("報告を削除しました（データファイル%1）").arg(write.fileNo);
    e.details.insert(kFileKey, write.fileNo);
    e.details.insert(kReportKey, ReportJson(r));
    events.push_back(std::move(e));
  }
  return events;
}

bool RecordedReportWrite::begin(const ReportWrite& write, const CodeLists& lists) {
  pendingIds_.clear();
  std::vector<LogEvent> events = ReportWriteEvents(write, lists);
  if (events.empty()) return true;
  // Without a database (or with a newer one) the start has told the user.
  if (!log_.writable()) return false;
  QString error;
  const bool ok = database_.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO access_log_pending(at, os_user, host, kind, report_id, summary,"
                           " details, expect) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (LogEvent& event : events) {
          // The report as it was before is kept only while its history holds
          // no version of it yet.
          if (event.kind == log_kind::kReportChange && HasVersions(db, event.reportId))
            event.details.remove(kBeforeKey);
          const LogEntry entry = log_.stamp(event);
          const bool leaves = event.kind == log_kind::kReportDelete;
          const QVariantList values{
              entry.at,
              entry.user,
              entry.host,
              entry.kind,
              entry.reportId,
              entry.summary,
              entry.details,
              leaves ? QVariant(QMetaType(QMetaType::QString))
                     : QVariant(QString::fromUtf8(
                           QJsonDocument(event.details.value(kReportKey).toObject()).toJson(QJsonDocument::Compact)))};
          for (int i = 0; i < values.size(); ++i) insert.bindValue(i, values[i]);
          if (!insert.exec()) {
            *why = insert.lastError().text();
            return false;
          }
          pendingIds_.push_back(insert.lastInsertId().toLongLong());
        }
        return true;
      },
      &error);
  if (!ok) {
    pendingIds_.clear();
    log_.tellNotWritten(error);
  }
  return ok;
}

void RecordedReportWrite::finish(bool written) {
  if (pendingIds_.empty()) return;
  const std::vector<std::int64_t> ids = std::move(pendingIds_);
  pendingIds_.clear();
  // The pending entries were committed, synced, before the file was
  // written, and stand for the change until they are moved: moving them
  // needs no sync of its own and goes with the next change of the database
  // (the next showing, save or end), or runs when the log is read.
  database_.deferToNextChange([ids, written](QSqlDatabase& db, QString* why) {
    std::vector<LogEntry> entries;
    QSqlQuery read(db);
    read.prepare(
        QStringLiteral("SELECT at, os_user, host, kind, report_id, summary, details"
                       " FROM access_log_pending WHERE id = ?"));
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM access_log_pending WHERE id = ?"));
    for (std::int64_t id : ids) {
      read.bindValue(0, qint64(id));
      if (!read.exec()) {
        *why = read.lastError().text();
        return false;
      }
      if (written && read.next()) {
        LogEntry e;
        e.at = read.value(0).toString();
        e.user = read.value(1).toString();
        e.host = read.value(2).toString();
        e.kind = read.value(3).toString();
        e.reportId = read.value(4).toInt();
        e.summary = read.value(5).toString();
        e.details = read.value(6).toString();
        entries.push_back(std::move(e));
      }
      remove.bindValue(0, qint64(id));
      if (!remove.exec()) {
        *why = remove.lastError().text();
        return false;
      }
    }
    return AppendEntries(db, std::move(entries), why);
  });
}

namespace {

// The data file this program saved last, as it wrote it, and the file's
// identity on disk then: a save of the same file compares with it instead of
// reading the file again, as long as the file on disk is still that one (a
// save writes a new file under a temporary name and renames it, so any other
// write gives another inode or time).
struct LastSavedFile {
  QString path;
  struct stat identity {};
  std::vector<ReportRecord> table;
};

LastSavedFile& LastSaved() {
  static LastSavedFile last;
  return last;
}

bool StatOf(const QString& path, struct stat* st) { return ::stat(QFile::encodeName(path).constData(), st) == 0; }

bool Unchanged(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

ReportSaveOutcome SaveReportFileRecorded(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                         const CodeLists& lists, AccessLog& log, Database& database,
                                         const QDateTime& now) {
  const QString path = paths.DataFilePath(file.CurrentFileNo);
  ReportWrite write;
  write.fileNo = file.CurrentFileNo;
  // What the file on disk holds: the reports read whole, even of a file that
  // does not read.
  LastSavedFile& last = LastSaved();
  struct stat now_ {};
  // (Taken, not copied: what is kept is set again below.)
  std::vector<ReportRecord> onDisk;
  if (last.path == path && StatOf(path, &now_) && Unchanged(now_, last.identity))
    onDisk = std::move(last.table);
  else
    ReadDataFile(path, onDisk);
  last.path.clear();
  last.table.clear();
  const std::vector<ReportRecord>& table = file.ReportTable;

  // The usual save holds the same reports in the same places: only those
  // that differ are compared item by item, and the copy kept for the next
  // save takes only them.
  const bool samePlaces = onDisk.size() == table.size() && std::equal(onDisk.begin(), onDisk.end(), table.begin(),
                                                                      [](const ReportRecord& a, const ReportRecord& b) {
                                                                        return a.ReportId == b.ReportId;
                                                                      });
  std::vector<std::size_t> differing;
  if (samePlaces) {
    for (std::size_t i = 0; i < table.size(); ++i)
      if (!(onDisk[i] == table[i])) {
        differing.push_back(i);
        write.before.push_back(onDisk[i]);
        write.after.push_back(table[i]);
      }
  } else {
    write.before = std::move(onDisk);
    write.after = table;
  }
  // The pending entry's synced commit runs beside the first step of the
  // save (ttid.dat written, the data file's bytes made); the data file
  // itself is written only once the pending entry is in.
  std::future<PreparedReportSave> prepared =
      std::async(std::launch::async, [&] { return PrepareReportSave(file, counters, paths, now); });
  RecordedReportWrite recorded(log, database);
  recorded.begin(write, lists);
  ReportSaveOutcome outcome = FinishReportSave(prepared.get());
  recorded.finish(outcome.dataFileSaved);
  if (outcome.dataFileSaved && StatOf(path, &last.identity)) {
    last.path = path;
    if (samePlaces) {
      for (const std::size_t i : differing) onDisk[i] = table[i];
      last.table = std::move(onDisk);
    } else {
      last.table = std::move(write.after);
    }
  }
  return outcome;
}

int SettleReportEntriesAtStart(Database& database, AccessLog& log, const DrivePaths& paths,
                               const IdCounters& counters) {
  if (!database.isOpen() || database.isReadOnly()) return 0;
  struct Pending {
    std::int64_t id;
    LogEntry entry;
    std::optional<QString> expect;
  };
  std::vector<Pending> pending;
  {
    QSqlQuery query(database.connection());
    if (!query.exec(QStringLiteral("SELECT id, at, os_user, host, kind, report_id, summary, details, expect"
                                   " FROM access_log_pending ORDER BY id")))
      return 0;
    while (query.next()) {
      Pending p;
      p.id = query.value(0).toLongLong();
      p.entry.at = query.value(1).toString();
      p.entry.user = query.value(2).toString();
      p.entry.host = query.value(3).toString();
      p.entry.kind = query.value(4).toString();
      p.entry.reportId = query.value(5).toInt();
      p.entry.summary = query.value(6).toString() + QStringLiteral("（次の起動時に確定）");
      p.entry.details = query.value(7).toString();
      if (!query.value(8).isNull()) p.expect = query.value(8).toString();
      pending.push_back(std::move(p));
    }
  }
  if (pending.empty()) return 0;
  // Whether a report is gone cannot be told while a data file does not read.
  if (!EveryFileReads(paths, counters)) return 0;

  std::set<std::int32_t> wanted;
  for (const Pending& p : pending) wanted.insert(p.entry.reportId);
  const std::map<std::int32_t, ReportRecord> found = ReportsById(paths, counters, wanted);

  std::vector<LogEntry> settled;
  int dropped = 0;
  for (const Pending& p : pending) {
    const auto at = found.find(p.entry.reportId);
    bool holds = false;
    if (!p.expect) {
      holds = at == found.end();
    } else if (at != found.end()) {
      const std::optional<ReportRecord> expected = ReportFromJson(QJsonDocument::fromJson(p.expect->toUtf8()).object());
      holds = expected && *expected == at->second;
    }
    if (holds)
      settled.push_back(p.entry);
    else
      ++dropped;
  }
  const int count = static_cast<int>(settled.size());
  LogEntry summary = log.stamp(
      {log_kind::kSettle, 0,
       QStringLiteral(
           "前回の終了時に書きかけだった報告の記録を確かめました：データファイルに保存されていた%1件を記録し、"
           "保存されていなかった%2件を取り消しました")
           .arg(count)
           .arg(dropped),
       QJsonObject{{QStringLiteral("settled"), count}, {QStringLiteral("dropped"), dropped}}});
  settled.push_back(summary);
  QString error;
  const bool ok = database.change(
      [&](QSqlDatabase& db, QString* why) {
        QSqlQuery remove(db);
        if (!remove.exec(QStringLiteral("DELETE FROM access_log_pending"))) {
          *why = remove.lastError().text();
          return false;
        }
        return AppendEntries(db, settled, why);
      },
      &error);
  if (!ok) {
    log.tellNotWritten(error);
    return 0;
  }
  return count;
}

// ---- The history -------------------------------------------------------------

std::vector<ReportVersion> ReadReportHistory(const QSqlDatabase& db, std::int32_t reportId, QString* error) {
  std::vector<ReportVersion> history;
  for (const LogEntry& e : ReportVersionEntries(db, reportId, error)) {
    const QJsonObject details = QJsonDocument::fromJson(e.details.toUtf8()).object();
    if (history.empty() && details.contains(kBeforeKey)) {
      ReportVersion first;
      first.report = ReportFromJson(details.value(kBeforeKey).toObject());
      first.fileNo = details.value(kFileKey).toInt(-1);
      history.push_back(std::move(first));
    }
    ReportVersion v;
    v.seq = e.seq;
    v.at = e.at;
    v.user = e.user;
    v.kind = e.kind;
    v.fileNo = details.value(kFileKey).toInt(-1);
    v.changes = ChangesFromJson(details.value(kChangesKey).toArray());
    // A deletion holds the report as it went: the version it brings back.
    v.report = ReportFromJson(details.value(kReportKey).toObject());
    history.push_back(std::move(v));
  }
  return history;
}

std::optional<ReportRecord> LastKnownReport(const std::vector<ReportVersion>& history) {
  for (auto it = history.rbegin(); it != history.rend(); ++it)
    if (it->report) return it->report;
  return std::nullopt;
}

std::optional<ReportPlace> FindReport(const DrivePaths& paths, const IdCounters& counters, std::int32_t reportId) {
  std::vector<ReportRecord> table;
  for (int n = 0; n <= counters.NewestFileNo; ++n) {
    if (!ReadReportsOf(paths, n, table)) continue;
    for (std::size_t i = 0; i < table.size(); ++i)
      if (table[i].ReportId == reportId) return ReportPlace{n, static_cast<int>(i)};
  }
  return std::nullopt;
}

bool RestoreReportVersion(const ReportVersion& version, std::int32_t reportId, OpenDataFile& file, IdCounters& counters,
                          const DrivePaths& paths, const CodeLists& lists, AccessLog& log, Database& database,
                          const QDateTime& /*now*/, QString* error) {
  if (!version.report) {
    if (error) *error = QStringLiteral("この版には報告の内容がありません。");
    return false;
  }
  const std::optional<ReportPlace> place = FindReport(paths, counters, reportId);
  if (!place) {
    if (error) *error = QStringLiteral("記録番号%1の報告はデータファイルにありません。").arg(reportId);
    return false;
  }
  ReportWrite write;
  write.fileNo = place->fileNo;
  ReadReportsOf(paths, place->fileNo, write.before);
  write.after = write.before;
  ReportRecord restored = *version.report;
  restored.ReportId = reportId;
  write.after[static_cast<std::size_t>(place->index)] = restored;
  write.restoredFrom[reportId] = version.seq;
  if (!WriteRecorded(write, counters, paths, lists, log, database, error)) return false;
  ShowFile(file, place->fileNo, write.after, place->index);
  return true;
}

BringBackOutcome BringBackReport(const ReportVersion& version, std::int32_t reportId, OpenDataFile& file,
                                 IdCounters& counters, const DrivePaths& paths, const CodeLists& lists, AccessLog& log,
                                 Database& database, const QDateTime& /*now*/) {
  BringBackOutcome outcome;
  if (!version.report) {
    outcome.message = QStringLiteral("この版には報告の内容がありません。");
    return outcome;
  }
  if (FindReport(paths, counters, reportId)) {
    outcome.message = QStringLiteral("記録番号%1の報告はデータファイルにあります。").arg(reportId);
    return outcome;
  }
  ReportRecord report = *version.report;
  report.ReportId = reportId;

  // The highest number before a file and the lowest after it.
  auto fitsIn = [&](int n, std::vector<ReportRecord>& table) {
    if (n < 0 || n > counters.NewestFileNo) return false;
    const QString path = paths.DataFilePath(n);
    if (QFileInfo(path).isFile()) {
      if (!ReadDataFile(path, table).ok()) return false;
    } else {
      table.clear();
    }
    if (static_cast<int>(table.size()) >= kFileCapacity) return false;
    std::vector<ReportRecord> other;
    for (int m = n - 1; m >= 0; --m)
      if (ReadReportsOf(paths, m, other)) {
        if (other.back().ReportId > reportId) return false;
        break;
      }
    for (int m = n + 1; m <= counters.NewestFileNo; ++m)
      if (ReadReportsOf(paths, m, other)) {
        if (other.front().ReportId < reportId) return false;
        break;
      }
    return true;
  };

  ReportWrite write;
  write.restoredFrom[reportId] = version.seq;
  IdCounters after = counters;
  std::vector<ReportRecord> table;
  if (version.fileNo >= 0 && fitsIn(version.fileNo, table)) {
    outcome.original = true;
    write.fileNo = version.fileNo;
  } else {
    // At the end: the newest file while it reads and has room, else a new one.
    write.fileNo = counters.NewestFileNo;
    const QString path = paths.DataFilePath(write.fileNo);
    table.clear();
    const bool usable = !QFileInfo(path).isFile() || ReadDataFile(path, table).ok();
    if (!usable || static_cast<int>(table.size()) >= kFileCapacity) {
      if (counters.NewestFileNo >= kMaxFileNo) {
        outcome.message = kCollectionFullMessage;
        return outcome;
      }
      write.fileNo = counters.NewestFileNo + 1;
      after.NewestFileNo = static_cast<std::int16_t>(write.fileNo);
      table.clear();
    }
  }
  write.before = table;
  write.after = table;
  const auto at = std::find_if(write.after.begin(), write.after.end(),
                               [&](const ReportRecord& r) { return outcome.original && r.ReportId > reportId; });
  const int index = static_cast<int>(at - write.after.begin());
  write.after.insert(at, report);
  after.TotalReports += 1;

  QString error;
  if (!WriteRecorded(write, after, paths, lists, log, database, &error)) {
    outcome.message = error;
    return outcome;
  }
  counters = after;
  file.FileRecordCounts[static_cast<std::size_t>(write.fileNo)] = static_cast<std::int16_t>(write.after.size());
  ShowFile(file, write.fileNo, write.after, index);
  outcome.ok = true;
  outcome.fileNo = write.fileNo;
  outcome.message =
      outcome.original
          ? QStringLiteral("記録番号%1の報告を、削除前のデータファイル%2に戻しました。").arg(reportId).arg(write.fileNo)
          : QStringLiteral(
                "記録番号%1の報告を、削除前のデータファイルには戻せないため、"
                "最後のデータファイル%2の末尾に戻しました。")
                .arg(reportId)
                .arg(write.fileNo);
  return outcome;
}

}  // namespace orvanta
