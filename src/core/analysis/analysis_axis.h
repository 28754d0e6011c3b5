#pragma once
// The seventeen analysis items, their categories and labels, the period, the
// filter over the items and the scan of all data files that every analysis
// view runs before it shows anything.
//
// Two ways in. The plain one works on a ReportRecord: CategoriesOf, Passes and
// InPeriod over a whole record, for single reports and tests. The fast one is
// what the views use: ScanReports reads the data files without decoding texts
// it does not need (several files side by side on the machine's cores, a few
// at a time), hands each file's reports of the period to the caller as
// ReportFacts (the fields the items read, already boiled down) in file
// order, and the caller classifies them with a CategoryIndex and tests them
// with a FilterTest. ScanReportsInParts also does the caller's work on each
// file beside the reading and merges the results in file order. Both ways
// share one set of rules: the record functions turn the record into
// ReportFacts first.

#include <QByteArray>
#include <QDate>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/codelists/code_lists.h"
#include "core/platform/work_in_order.h"
#include "core/reports/calendar.h"
#include "core/reports/data_file_walk.h"
#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;

// The items in their fixed order; the number is the item's identity (list
// position in the item boxes, box index in the extraction view).
enum class AnalysisAxis : int {
  Occupation = 0,             // 職種, code list 0
  Place = 1,                  // 発生場所, code list 1
  DevicePurpose = 2,          // 機器の使用目的, code list 2
  Circumstance = 3,           // 事故発生状況, code list 3
  CausingDevice = 4,          // 原因器材, code list 4
  Severity = 5,               // 事故程度, code list 5
  DeviceInUse = 6,            // 受傷者の原因器材の使用中, code list 6
  Contamination = 7,          // 器材の汚染, code list 7
  Department = 8,             // 所属部署, code list 8
  ActionType = 9,             // 行為別, code list 9
  Month = 10,                 // 発生月
  Hour = 11,                  // 発生時刻, two-hour bands
  Experience = 12,            // 経験年数, bands
  DepartmentExperience = 13,  // 当該部署における経験年数, bands
  Infection = 14,             // 患者の感染症の有無, up to four categories
  Emergency = 15,             // 緊急処置時
  BodySite = 16,              // 針刺し・切創部位, the 65 sites
};

inline constexpr int kAxisCount = 17;
// Items 0 to 9 take their categories from code lists 0 to 9.
inline constexpr int kCodeListAxisCount = 10;
// The most categories one report can have on one item (the body sites).
inline constexpr int kMaxCategoriesPerReport = kSiteCount;

constexpr AnalysisAxis AxisAt(int number) { return static_cast<AnalysisAxis>(number); }
constexpr int AxisNumber(AnalysisAxis axis) { return static_cast<int>(axis); }
constexpr bool IsCodeListAxis(AnalysisAxis axis) { return AxisNumber(axis) < kCodeListAxisCount; }

// The caption of item 16 comes in two forms that differ only in the middle
// dot: "針刺し・切創部位" (full-width) and "針刺し･切創部位" (half-width).
// Every other caption is the same in both.
enum class CaptionDot { FullWidth, HalfWidth };

QString AxisCaption(AnalysisAxis axis, CaptionDot dot);
// The seventeen captions in item order.
QStringList AxisCaptions(CaptionDot dot);

// Filter labels fill the selection boxes (they start with "全て"); table
// labels head the rows and columns of tables (category 1 first).
enum class LabelKind { Filter, Table };

// The labels of an item's categories. Code-list items take them from the
// lists as they are now; the body sites from siteNames (index n - 1 for site
// n, as BodySiteNames() holds them).
QStringList CategoryLabels(AnalysisAxis axis, LabelKind kind, const CodeLists& lists,
                           const std::array<QString, kSiteSlots>& siteNames);

// How many categories an item has: the entries of its code list, 12 for the
// month and the hour, 8 for each experience item, 10 for infection, 2 for
// emergency, 65 for the body sites.
int CategoryCount(AnalysisAxis axis, const CodeLists& lists);

// The band (category 1 to 8) of a years-of-experience text. The text is read
// for its leading number: blanks and tabs before it are skipped, then an
// optional sign, digits and at most one decimal point; a text that does not
// begin with a number reads as 0. Bands: below 2, 2-3, 4-5, 6-9, 10-14,
// 15-19, 20-29, 30 and above; negative values fall into the first.
int ExperienceBand(QStringView text);
// The same for the bytes of a stored text (code page 932: the number is
// always in plain ASCII at the start, so the bytes read as the text does).
int ExperienceBand(QByteArrayView bytes);

// The fields of one report that the items and the period read, boiled down.
struct ReportFacts {
  std::int32_t slot = 0;  // position of the report in its data file
  // Occurrence date and time: Years(0), Months(0), Days(0), Hours(0), Minutes(0).
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  // AnswerIds(0) to (9), the chosen entries of code lists 0 to 9.
  std::array<std::int32_t, kCodeListAxisCount> answerIds{};
  // Bands of Texts(2) and Texts(8), see ExperienceBand.
  std::int8_t experienceBand = 1;
  std::int8_t departmentBand = 1;
  // Choices(2), (3), (4): HIV, HCV and HBV results (1 positive, 2 negative,
  // 3 not tested, 0 no answer); Choices(8): emergency (1 yes, 2 no).
  std::int32_t hiv = 0;
  std::int32_t hcv = 0;
  std::int32_t hbv = 0;
  std::int32_t emergency = 0;
  bool otherInfection = false;  // Texts(1) is not empty
  // Bit n - 1 set when site n (1 to 65) is marked (its mark is 1).
  std::array<std::uint64_t, 2> siteBits{};

  bool siteMarked(int site) const {
    const int b = site - 1;
    return b >= 0 && b < kSiteCount && ((siteBits[b >> 6] >> (b & 63)) & 1u) != 0;
  }
  void markSite(int site) {
    const int b = site - 1;
    if (b >= 0 && b < kSiteCount) siteBits[b >> 6] |= std::uint64_t{1} << (b & 63);
  }
  friend bool operator==(const ReportFacts&, const ReportFacts&) = default;
};

ReportFacts FactsOf(const ReportRecord& report, std::int32_t slot = 0);

// The categories of one report on one item, in ascending order, in a fixed
// buffer: classifying never allocates.
class CategorySet {
 public:
  int size() const { return size_; }
  bool empty() const { return size_ == 0; }
  int operator[](int i) const { return values_[static_cast<std::size_t>(i)]; }
  const std::uint16_t* begin() const { return values_.data(); }
  const std::uint16_t* end() const { return values_.data() + size_; }
  bool contains(int category) const;
  std::vector<int> toVector() const { return std::vector<int>(begin(), end()); }

  void clear() { size_ = 0; }
  // Appends a category; the caller appends in ascending order. Ignored when
  // the buffer is full.
  void add(int category) {
    if (size_ < kMaxCategoriesPerReport)
      values_[static_cast<std::size_t>(size_++)] = static_cast<std::uint16_t>(category);
  }

 private:
  std::array<std::uint16_t, kMaxCategoriesPerReport> values_{};
  int size_ = 0;
};

// The category of every entry id of code lists 0 to 9, looked up in constant
// time. Built from the lists as they are when a computation starts.
class CategoryIndex {
 public:
  explicit CategoryIndex(const CodeLists& lists);

  // The categories (entry positions + 1) of list `list` whose id is `id`:
  // none when no entry has it, and every one of them in the odd case of a
  // list that holds the same id twice.
  void categoriesOf(int list, std::int32_t id, CategorySet& out) const;

 private:
  struct Table {
    std::int32_t base = 0;             // id of dense[0]
    std::vector<std::uint16_t> dense;  // id - base -> first position + 1, 0 = none
    std::vector<std::int32_t> ids;     // every entry id in list order (fallback)
    bool useDense = false;
    bool duplicates = false;
  };
  std::array<Table, kCodeListAxisCount> tables_;
};

// The categories of a report on an item (see the item rules): code-list items
// by entry id; the month 1-12; the two-hour band of an hour 0-23; the band of
// each experience text; every HIV, HCV and HBV result and a non-empty other
// infection; the emergency answer 1 or 2; every marked site. Values outside
// give no category.
void CategoriesOf(AnalysisAxis axis, const ReportFacts& report, const CategoryIndex& index, CategorySet& out);
CategorySet CategoriesOf(AnalysisAxis axis, const ReportRecord& report, const CodeLists& lists);

// The period of an analysis: two dates as the date fields hold them (year,
// month and day values, formed with calendar carries), both inclusive.
struct AnalysisPeriod {
  CalendarDate from;
  CalendarDate to;
  friend bool operator==(const AnalysisPeriod&, const AnalysisPeriod&) = default;
};

// The period as serial days. Empty (contains nothing) when the from-date is
// after the to-date or either date cannot be formed (outside the years 100
// to 9999 after the carries).
struct PeriodDays {
  std::int32_t first = 1;
  std::int32_t last = 0;
  bool empty() const { return first > last; }
  bool contains(const ReportFacts& report) const;
};

PeriodDays DaysOf(const AnalysisPeriod& period);

// Whether the report's occurrence date, formed with calendar carries, lies
// inside the period. A date that cannot be formed lies in no period.
bool InPeriod(const AnalysisPeriod& period, const ReportRecord& report);
bool InPeriod(const PeriodDays& days, const ReportFacts& report);

// The period a view starts with: up to the start-up date (todayYear/Month/
// Day), from the same month and day as the day after `systemDate` in the
// year before the start-up year. The values are returned as they are, for
// the date fields; the carries apply when the period is used (29 February
// of a common year is 1 March).
AnalysisPeriod DefaultPeriod(int todayYear, int todayMonth, int todayDay, int systemYear, int systemMonth,
                             int systemDay);
// The same from the start-up date and the present date.
AnalysisPeriod DefaultPeriod(const CalendarDate& startDate, const QDate& systemDate);

// One selection per item: 0 = "全て", n >= 1 = category n.
struct AxisFilter {
  std::array<int, kAxisCount> selection{};
  friend bool operator==(const AxisFilter&, const AxisFilter&) = default;
};

// A filter prepared for testing many reports: the entry ids of selected
// code-list categories are taken once.
class FilterTest {
 public:
  FilterTest(const AxisFilter& filter, const CodeLists& lists);

  // True when every selection that is not 0 holds for the report: for a
  // code-list item the selected entry's id equals the report's answer id; for
  // the other items the selection is one of the report's categories.
  bool passes(const ReportFacts& report) const;
  // True when no item is restricted.
  bool passesEverything() const { return restricted_.empty(); }

 private:
  struct Restriction {
    AnalysisAxis axis;
    int selection;
    std::int32_t entryId;  // code-list items: the selected entry's id
    bool entryExists;      // false: the selection names no entry, nothing passes
  };
  std::vector<Restriction> restricted_;
};

bool Passes(const AxisFilter& filter, const ReportRecord& report, const CodeLists& lists);

// One data file as the scan loaded it: its bytes and its reports of the
// period. A scan holds one per thread at a time.
class ScannedFile {
 public:
  int fileNo() const { return fileNo_; }
  // Every report of the file, whether or not in the period.
  int reportCount() const { return reportCount_; }
  // The reports of the period, in file order.
  const std::vector<ReportFacts>& reports() const { return inPeriod_; }
  // One single-line text, Texts(slot) for slot 0 to 10, of a report of
  // reports(), decoded from the file. Only this decodes text.
  QString text(const ReportFacts& report, int slot) const;
  // The same text as the file holds it (code page 932), not decoded.
  QByteArrayView rawText(const ReportFacts& report, int slot) const;

  // Loads a data file's bytes and keeps its reports of `days`. False, with no
  // reports kept, when the file cannot be opened or does not read exactly:
  // the scan walks the file with the reader's walk (data_file_walk.h), so it
  // takes the same files as ReadDataFile, a file cut short inside its
  // body-site block included (its marks not read are 0).
  bool load(const QString& path, const PeriodDays& days, int fileNo = 0);
  bool loadBytes(QByteArray bytes, const PeriodDays& days, int fileNo = 0);
  // The bytes of the last file loaded (empty after a failed load).
  const QByteArray& bytes() const { return bytes_; }
  // How many reports of the period lack their body sites (all or some of
  // their marks not read) because the file ends inside its body-site block;
  // 0 for a file read whole.
  int reportsLackingSites() const { return reportsLackingSites_; }

 private:
  using ReportTexts = std::array<datafile::TextPlace, 11>;

  bool parse(const PeriodDays& days);
  void reset(int fileNo);

  int fileNo_ = 0;
  int reportCount_ = 0;
  int reportsLackingSites_ = 0;
  QByteArray bytes_;
  std::vector<ReportFacts> all_;
  std::vector<ReportTexts> texts_;  // by slot
  std::vector<ReportFacts> inPeriod_;
};

// Called once for each data file that was read, with its reports of the
// period.
using ScanVisitor = std::function<void(const ScannedFile&)>;

// A data file read although it ends inside its body-site block: its reports
// are counted, but reportsLacking of those of the period lack their body
// sites.
struct CutShortFile {
  int fileNo = 0;
  int reportsLacking = 0;
  bool operator==(const CutShortFile&) const = default;
};

struct ScanSummary {
  int filesRead = 0;
  int filesSkipped = 0;  // missing or unreadable
  std::int64_t reportsInPeriod = 0;
  // The numbers of the files that are there but could not be read, in file
  // order: their reports are missing from the result, which the user is told.
  std::vector<int> unreadableFiles;
  // The files cut short inside their body-site block whose reports of the
  // period lack body sites, in file order; the user is told of them too.
  std::vector<CutShortFile> cutShortFiles;
};

// The message that tells the user which data files a computation left out
// because they could not be read (paths.DataFilePath of each); empty when
// files is empty.
// The message ends with where their reports can be brought back.
QString UnreadableFilesMessage(const DrivePaths& paths, const std::vector<int>& files);
// The message that names the data files cut short inside their body-site
// block and how many of the reports counted lack their body sites; empty when
// files is empty.
QString CutShortFilesMessage(const DrivePaths& paths, const std::vector<CutShortFile>& files);
// Both messages in one, the unreadable files first; empty when both are.
QString DataFileTroubleMessage(const DrivePaths& paths, const std::vector<int>& unreadable,
                               const std::vector<CutShortFile>& cutShort);
inline const QString kRepairHint = QStringLiteral(
    "これらのファイルの報告は、メインウィンドウの「ファイル」メニューの「データファイルの修復」で取り戻せることがありま"
    "す。");

// How many threads a scan uses: 0 (the default everywhere) as many as the
// machine has cores, 1 the calling thread alone. Whatever the number, a scan
// gives the same result: the files' results are merged in file order.
inline constexpr int kScanThreadsAuto = 0;

// Reads data files 0 to newestFileNo (filePath gives the path of file n) and
// hands each file that reads to visit, in file order, on the calling thread.
// The files are read and parsed on `threads` threads, a few files ahead of
// the one visited, so only a few files' reports are in memory at a time. A
// file that is missing or cannot be read is skipped and the scan goes on;
// the summary lists the files that are there but could not be read, for the
// window to tell the user. filePath is called on the calling thread.
ScanSummary ScanDataFiles(const std::function<QString(int)>& filePath, int newestFileNo, const AnalysisPeriod& period,
                          const ScanVisitor& visit, int threads = kScanThreadsAuto);

// The scan of the analysis views: data files 0 to newestFileNo under paths.
ScanSummary ScanReports(const DrivePaths& paths, int newestFileNo, const AnalysisPeriod& period,
                        const ScanVisitor& visit, int threads = kScanThreadsAuto);

namespace scan_detail {

// The paths of files 0 to newestFileNo.
std::vector<QString> Paths(const std::function<QString(int)>& filePath, int newestFileNo);
std::function<QString(int)> DataFilePaths(const DrivePaths& paths);

// The loaded files of one scan, given back when done with, so that the next
// file is read into memory the scan already has instead of fresh pages.
class FilePool {
 public:
  std::unique_ptr<ScannedFile> take();
  void giveBack(std::unique_ptr<ScannedFile> file);

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<ScannedFile>> free_;
};

}  // namespace scan_detail

// The scan with the view's work done beside the reading: part(file) makes the
// view's result of one file on the thread that read it (it may run on several
// threads at once, so it only reads what it shares), and merge(result) takes
// the results on the calling thread in file order.
template <typename Part>
ScanSummary ScanDataFilesInParts(const std::function<QString(int)>& filePath, int newestFileNo,
                                 const AnalysisPeriod& period, const std::function<Part(const ScannedFile&)>& part,
                                 const std::function<void(Part&&)>& merge, int threads = kScanThreadsAuto) {
  struct Outcome {
    std::int64_t reportsInPeriod = -1;  // -1: the file could not be read
    int reportsLackingSites = 0;
    std::optional<Part> part;
  };
  const PeriodDays days = DaysOf(period);
  const std::vector<QString> paths = scan_detail::Paths(filePath, newestFileNo);
  scan_detail::FilePool pool;
  ScanSummary summary;
  MapInOrder<Outcome>(
      static_cast<int>(paths.size()), threads,
      [&](int i) {
        Outcome o;
        std::unique_ptr<ScannedFile> file = pool.take();
        if (file->load(paths[static_cast<std::size_t>(i)], days, i)) {
          o.reportsInPeriod = static_cast<std::int64_t>(file->reports().size());
          o.reportsLackingSites = file->reportsLackingSites();
          o.part.emplace(part(*file));
        }
        pool.giveBack(std::move(file));
        return o;
      },
      [&](int i, Outcome&& o) {
        if (!o.part) {
          ++summary.filesSkipped;
          if (QFileInfo::exists(paths[static_cast<std::size_t>(i)])) summary.unreadableFiles.push_back(i);
          return;
        }
        ++summary.filesRead;
        summary.reportsInPeriod += o.reportsInPeriod;
        if (o.reportsLackingSites > 0) summary.cutShortFiles.push_back(CutShortFile{i, o.reportsLackingSites});
        merge(std::move(*o.part));
      });
  return summary;
}

// The same over the data files under paths.
template <typename Part>
ScanSummary ScanReportsInParts(const DrivePaths& paths, int newestFileNo, const AnalysisPeriod& period,
                               const std::function<Part(const ScannedFile&)>& part,
                               const std::function<void(Part&&)>& merge, int threads = kScanThreadsAuto) {
  return ScanDataFilesInParts<Part>(scan_detail::DataFilePaths(paths), newestFileNo, period, part, merge, threads);
}

}  // namespace orvanta
