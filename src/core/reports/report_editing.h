#pragma once
// What the report entry window computes without widgets: where the shown
// report stands in the collection, starting a new report at the end of the
// newest data file, saving the data file in memory, the rule of question 5,
// and the stored forms of what is typed.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;
struct IdCounters;
struct OpenDataFile;

// The position of the shown report in the whole collection: the reports of
// the data files before the current one, plus its slot, plus 1.
int ReportPosition(const OpenDataFile& file);

// The position label: position and total (TotalReports), each with the blank
// of the sign position in front (" 5/ 12").
QString PositionLabelText(const OpenDataFile& file, const IdCounters& counters);

// ---- Starting a new report -------------------------------------------------

enum class NewReportOutcome {
  Created,         // a new report stands at CurrentIndex
  CollectionFull,  // data file 1000 already holds 1000 reports: nothing added
  SaveFailed,      // the file in memory had to be saved first and could not be
};

inline const QString kCollectionFullMessage = QStringLiteral(
    "これ以上新しい報告を追加できません。\n"
    "データファイルは1001個まで、1つのデータファイルに入る報告は1000件までです。");

// Starts a new report at the end of the newest data file, moving to that file
// first, and to a new file when it already holds 1000 reports. saveIfChanged
// saves the file in memory before it is left (the window's kakunin) and says
// whether that succeeded; when it fails nothing is changed and the outcome is
// SaveFailed. The new report gets the next report id, today's date as its
// date of occurrence and its report date, and the present hour and minute;
// everything else is empty.
//
// A newest data file that is there but does not read stays as it is, under
// its own number: the new report starts the next file (NewestFileNo moves
// on), as after a full file, so no report of the damaged file ever leaves
// the numbered files (see NewReportPassesOverNewestFile).
//
// When data file 1000 already holds 1000 reports the collection is full:
// nothing is added, and the window stands at the last report of that file.
NewReportOutcome StartNewReport(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths, const QDateTime& now,
                                const std::function<bool()>& saveIfChanged);

// Whether a new report started now passes over the newest data file: it is
// there but does not read (and is not the file in memory with its reports).
bool NewReportPassesOverNewestFile(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths);

// A new report that was never changed is not written when its file is left.
// So that the counters keep describing the files on disk, such reports are
// taken back out of the file in memory when it is left unsaved: each report
// of the table whose id is in ids is removed, with TotalReports and the
// file's count. When this empties a data file that is not on disk (a file
// the new report had just started), the newest file number goes back by one
// and the previous file is loaded. CurrentIndex stays on a report of the
// table (0 when it is empty). Returns the number of reports removed.
int DropUnsavedNewReports(OpenDataFile& file, IdCounters& counters, const DrivePaths& paths,
                          const std::vector<std::int32_t>& ids);

// ---- Saving ----------------------------------------------------------------

struct ReportSaveOutcome {
  bool dataFileSaved = false;
  bool idFileSaved = false;
  // A data file that could not be read was kept under another name before it
  // was written over: what the user is told about it (empty otherwise).
  QString notice;
  // Why the save failed, in Japanese, naming the file (empty on success).
  QString error;
  bool ok() const { return dataFileSaved && idFileSaved; }
};

// hozon: writes ttid.dat, then data file CurrentFileNo whole. The counters go
// first so that a program stopped between the two saves has handed out the
// new report's id on disk: the next start skips it rather than giving it
// again (and the start-up count puts the total right). When ttid.dat cannot
// be saved the data file is not written either.
//
// A data file on disk that does not read exactly is never written over
// silently: it is first kept beside itself as "<n>.dat.damaged-<yyyyMMdd-
// HHmm>" (see DamagedFileName), and notice says so. That holds for a file
// that reads although its body-site block is cut short, too: the program
// read it as far as it goes, and the original stays for whoever can mend it.
// Nothing in memory changes.
ReportSaveOutcome SaveReportFile(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                 const QDateTime& now);
// SaveReportFile in two steps, so that the first can run beside other work
// (the access log's pending entry): PrepareReportSave keeps a damaged file
// aside, writes ttid.dat and makes the data file's bytes, touching nothing
// in memory; FinishReportSave writes the data file.
struct PreparedReportSave {
  ReportSaveOutcome outcome;  // so far
  QString path;
  QByteArray bytes;
};
PreparedReportSave PrepareReportSave(const OpenDataFile& file, const IdCounters& counters, const DrivePaths& paths,
                                     const QDateTime& now);
ReportSaveOutcome FinishReportSave(PreparedReportSave prepared);

// Why a data file on disk must be kept aside before it is written over or
// removed: it does not read, or it reads although cut short.
enum class DataFileDamage { None, Unreadable, CutShort };
DataFileDamage DamageOf(const QString& path);

// ---- Fields ----------------------------------------------------------------

// A single-line answer as it is stored: without commas, the characters input
// methods type for code-page characters in their code-page forms
// (cp932::ToCodePageForms), and without the characters code page 932 cannot
// hold.
QString StorableLineText(const QString& typed);

// Question 5, "５汚染源の患者が誰かわかっていますか？": stores the chosen option
// (0 "はい", 1 "いいえ", 2 "適切な回答なし(患者への使用前)") in Choices(1).
// Unless the answer is "はい", the patient's test results (Choices 2 to 4)
// and the other infection (Texts 1) are cleared; the patient's record number
// and name stay. Returns whether the patient block is open for input.
bool ApplyPatientKnownAnswer(ReportRecord& record, int option);

// The date a date field shows for a stored date: each part that is 0 (year,
// month or day) is taken from today.
struct ShownDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
ShownDate DateShownFor(int year, int month, int day, const QDate& today);

// A report stored without a date takes the date it is shown with: each part
// of date index (0 or 1) that is 0 becomes today's.
void StoreMissingDateParts(ReportRecord& record, int index, const QDate& today);

}  // namespace orvanta
