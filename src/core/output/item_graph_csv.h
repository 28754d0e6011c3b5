#pragma once
// The CSV file of the item graph window ("CSVファイル変換"): the graph item and
// the period, the conditions when a filter list is set, then one line per
// category with its label and count.

#include <QString>

#include "core/analysis/item_graph.h"

namespace orvanta {

class DrivePaths;
class Prompts;

// The text, every line ended by CR LF: "職種, 2003年 6月 16日～ 2004年 6月 15日";
// when any list is set "抽出条件" and, for each set list, its caption and its
// entry on two lines; then "label, count" for every category (the count after
// a blank).
QString ItemGraphCsvText(const ItemGraphResult& result, const ItemGraphHeading& heading);

// Writes the file when the last computation counted anything (otherwise does
// nothing), with the usual dialog, questions and messages of CSV files.
// Returns whether a file was written.
bool WriteItemGraphCsv(Prompts& prompts, const DrivePaths& paths, const ItemGraphResult& result,
                       const ItemGraphHeading& heading);

}  // namespace orvanta
