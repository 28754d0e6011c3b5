#pragma once
// The summary CSV file ("CSVファイル作成" of the summary view): a heading
// block with the period, the number of matching reports and the list
// restrictions, then one section per item whose list stands at "全て", each
// listing the item's categories with their counts in three columns
// 分類,項目,件数.

#include <QString>
#include <array>

#include "core/codelists/code_lists.h"
#include "core/reports/report_record.h"

namespace orvanta {

class DrivePaths;
class Prompts;
struct SummaryResult;

// The text of the file, every line ended by CR LF; the file writer adds the
// line end that leaves an empty line at the end. Code-list sections take the
// entries of `lists`, the body-site section the names in `siteNames`.
QString SummaryCsvText(const SummaryResult& result, const CodeLists& lists,
                       const std::array<QString, kSiteSlots>& siteNames);

// Asks for the file and writes the text of the result into it, with the
// usual questions and messages of CSV files (WriteCsvFile). Returns whether a
// file was written.
bool WriteSummaryCsvFile(Prompts& prompts, const DrivePaths& paths, const CodeLists& lists,
                         const SummaryResult& result);

}  // namespace orvanta
