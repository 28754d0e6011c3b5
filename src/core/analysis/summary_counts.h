#pragma once
// The summary of all seventeen items at once (the window "レポート"): the
// captions, list entries and table rows of that view, the counters of one
// computation and the result that the summary sheet, the summary CSV and the
// graph view read afterwards.
//
// A computation reads every data file once and classifies every report of
// the period once for all seventeen items and all lists together: the lists
// restrict the reports (the AND of every list not on "全て"), and each
// passing report counts once under each of its categories on every item.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "core/analysis/analysis_axis.h"
#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;

// The highest category number a counter exists for (a code list holds at
// most 101 entries, the body sites are 65).
inline constexpr int kSummaryMaxCategory = 150;

// The caption of an item in this view: the item's name, in a short form for
// items 6 ("原因器材の使用中"), 13 ("当該部署経験年数") and 14 ("患者感染症の有無").
QString SummaryCaption(AnalysisAxis axis);
// The seventeen captions in item order.
std::array<QString, kAxisCount> SummaryCaptions();

// The entries of an item's list: "全て", then one per category in category
// order (code-list names, "1" to "12", the hour bands "0～2時" ..., the year
// bands, the infection results, "はい"/"いいえ", " 1;右手親指外側" ... " 29;").
QStringList SummaryListTexts(AnalysisAxis axis, const CodeLists& lists,
                             const std::array<QString, kSiteSlots>& siteNames);

// The texts of the category rows of an item's table, category 1 first. They
// are the list entries without "全て", except for the code-list items, whose
// rows read the entry's code, one blank and its name ("3 救急部門").
QStringList SummaryRowTexts(AnalysisAxis axis, const CodeLists& lists,
                            const std::array<QString, kSiteSlots>& siteNames);

// Counters indexed by item number plus one (1 to 17) and category number (0
// to 150). Category 0 and categories above an item's count stay 0.
class SummaryCounts {
 public:
  // The counter of item number + 1 `itemRow`, category `category`; 0 outside
  // the table.
  std::int32_t counter(int itemRow, int category) const {
    if (itemRow < 0 || itemRow > kAxisCount || category < 0 || category > kSummaryMaxCategory) return 0;
    return counts_[static_cast<std::size_t>(itemRow)][static_cast<std::size_t>(category)];
  }
  // The count of category `category` of an item.
  std::int32_t count(AnalysisAxis axis, int category) const { return counter(AxisNumber(axis) + 1, category); }

  void clear() { counts_ = {}; }
  // Adds every counter of another.
  void add(const SummaryCounts& other) {
    for (std::size_t i = 0; i < counts_.size(); ++i) {
      for (std::size_t c = 0; c < counts_[i].size(); ++c) counts_[i][c] += other.counts_[i][c];
    }
  }
  // Adds 1 under each category of the set (those above 150 are not kept).
  void add(AnalysisAxis axis, const CategorySet& categories) {
    auto& row = counts_[static_cast<std::size_t>(AxisNumber(axis) + 1)];
    for (const int c : categories) {
      if (c <= kSummaryMaxCategory) ++row[static_cast<std::size_t>(c)];
    }
  }

  friend bool operator==(const SummaryCounts&, const SummaryCounts&) = default;

 private:
  std::array<std::array<std::int32_t, kSummaryMaxCategory + 1>, kAxisCount + 1> counts_{};
};

// Everything one computation leaves for the view, its print, its CSV file and
// the graph view.
struct SummaryResult {
  SummaryCounts counts;
  // Reports in the period that pass every list.
  std::int64_t matching = 0;
  // The period as the spin buttons of the two date fields held it when the
  // computation started (from-year, month, day; to-year, month, day).
  AnalysisPeriod period;
  // The two dates of the period as serial days; empty for a date the
  // calendar cannot form.
  std::optional<std::int32_t> fromDay;
  std::optional<std::int32_t> toDay;
  // The position of each list (0 = "全て") and the text of its entry.
  AxisFilter filter;
  std::array<QString, kAxisCount> selectedTexts;
  // The captions of the items.
  std::array<QString, kAxisCount> captions;
  // The data files that are there but could not be read (their reports are
  // not counted), in file order.
  std::vector<int> unreadableFiles;
  std::vector<CutShortFile> cutShortFiles;  // read, but some reports lack body sites

  // Whether the to-date lies more than 31 days after the from-date (the
  // month is only worth listing then).
  bool longerThan31Days() const { return fromDay && toDay && *toDay - *fromDay > 31; }
  // Whether item `axis` restricts the reports.
  bool restricted(AnalysisAxis axis) const { return filter.selection[static_cast<std::size_t>(AxisNumber(axis))] != 0; }
  // The restrictions as the summary's CSV file and prints write them: for
  // every restricted item its caption, two blanks, the chosen entry's text
  // and "; "; "全ての報告書" when no list is restricted.
  QString conditionsText() const;
};

// The entry text at each list position of the filter (see SummaryListTexts);
// an empty text for a position past the end of its list.
std::array<QString, kAxisCount> SelectedListTexts(const AxisFilter& filter, const CodeLists& lists,
                                                  const std::array<QString, kSiteSlots>& siteNames);

// One computation: data files 0 to newestFileNo under paths read one after
// another (a file that is missing or cannot be read adds nothing), the
// reports of the period tested against the filter and counted. The code
// lists are taken as they are now. The files are counted on `threads`
// threads (see ScanDataFiles); the result is the same whatever their number.
SummaryResult ComputeSummary(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                             const AnalysisPeriod& period, const AxisFilter& filter,
                             const std::array<QString, kAxisCount>& selectedTexts, int threads = kScanThreadsAuto);

}  // namespace orvanta
