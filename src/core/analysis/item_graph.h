#pragma once
// The item graph (the window "売上状況"): how many reports of a period fall
// into each category of one item, the graph item, under the seventeen filter
// lists; the labels this view gives the categories; and what its CSV file and
// its print read besides the counts (the heading and the conditions).

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/analysis/analysis_axis.h"
#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;

// A number as the general number-to-text conversion writes it: one blank in
// the place of the sign when it is not negative, no decimals for a whole
// number (" 6", " 2.5", "-1").
QString LeadingBlankNumber(double value);

// The labels of the graph item's categories as this view draws them and as
// its CSV file and print write them, category 1 first: code-list names;
// " 1月"; " 0時～ 2時"; the year bands; " HIV陽性" ... " その他" (each after a
// blank); "はい", "いいえ"; " 1右手親指外側" ... " 29" (site number and name
// without a separator).
QStringList ItemGraphLabels(AnalysisAxis axis, const CodeLists& lists,
                            const std::array<QString, kSiteSlots>& siteNames);

// The middle value of the scale: half the maximum, cut down to one decimal
// place (the minimum is always 0).
double ItemGraphMiddleValue(double maximum);

// What one computation leaves: the graph item, the count and label of each
// of its categories, and the largest count.
struct ItemGraphResult {
  AnalysisAxis axis = AnalysisAxis::Occupation;
  AnalysisPeriod period;
  std::vector<std::int64_t> counts;  // category k + 1 in slot k
  QStringList labels;                // category k + 1 in slot k
  std::int64_t maximum = 0;          // 0 when every count is 0
  // The data files that are there but could not be read (their reports are
  // not counted), in file order.
  std::vector<int> unreadableFiles;
  std::vector<CutShortFile> cutShortFiles;  // read, but some reports lack body sites

  int categoryCount() const { return static_cast<int>(counts.size()); }
  // Whether there is anything to draw, write or print.
  bool hasBars() const { return maximum > 0; }
  // Code-list items draw long names in two lines.
  bool codeListItem() const { return IsCodeListAxis(axis); }
};

// Counts the reports of one scan that pass the filter, one per category of
// the graph item that each falls into. The categories and the filter's
// entries are taken from the code lists as they are when it is made.
class ItemGraphCounter {
 public:
  ItemGraphCounter(AnalysisAxis axis, const AxisFilter& filter, const CodeLists& lists);

  void add(const ReportFacts& report);
  void addFile(const ScannedFile& file);

  const std::vector<std::int64_t>& counts() const { return counts_; }

 private:
  AnalysisAxis axis_;
  CategoryIndex index_;
  FilterTest filter_;
  CategorySet categories_;
  std::vector<std::int64_t> counts_;
};

// One computation: data files 0 to newestFileNo under paths read once, each
// report of the period that passes the filter counted under its categories
// of the graph item. The labels are those of the code lists and siteNames as
// they are now. The files are counted on `threads` threads (see
// ScanDataFiles); the result is the same whatever their number.
ItemGraphResult ComputeItemGraph(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                 const std::array<QString, kSiteSlots>& siteNames, AnalysisAxis axis,
                                 const AnalysisPeriod& period, const AxisFilter& filter,
                                 int threads = kScanThreadsAuto);

// What the CSV file and the print write above the counts, read from the
// window as it stands when the command runs: the graph item list's text, the
// period as the six spin buttons hold it, and for every filter list not at
// "全て" (in item order) its caption and the text of its entry.
struct ItemGraphHeading {
  QString itemCaption;
  AnalysisPeriod period;
  std::vector<std::pair<QString, QString>> conditions;

  // " 2003年 6月 16日～ 2004年 6月 15日": each number after a blank.
  QString periodText() const;
};

}  // namespace orvanta
