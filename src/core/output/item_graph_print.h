#pragma once
// The print of the item graph window ("印刷"): A4 portrait pages with the
// graph item and the period on top, the conditions on the first page, and
// one red bar per category, 100 units a line on a page of 2900 x 4000 units.

#include <QString>
#include <QStringList>

#include "core/analysis/item_graph.h"
#include "core/output/print_job.h"

namespace orvanta {

class PrintProgress;
class Prompts;
class Surface;

// The orientation message of this print; it ends in four blanks.
inline const QString kItemGraphOrientationMessage = QStringLiteral("A4用紙で印刷の向きを縦に指定してください    ");

// The number of pages for categoryCount categories under conditionCount
// conditions: the first page holds 33 less two per condition, every other
// page 33.
int ItemGraphPageCount(int categoryCount, int conditionCount);

// The x where every bar starts, from the longest label (in characters): 500
// up to 8 characters, 50 per character and 50 more for 9 to 19, 1080 from 20
// on.
int ItemGraphBarOrigin(const QStringList& labels);

// Draws every page of the print on a surface that is ready (after the
// printer dialog): the header of the first page with the conditions, then
// the categories, a new page whenever a page is full (33 lines, less the
// condition lines on the first), each page finished with its frame, bar axis
// and scale. A first page whose conditions leave no line for a category holds
// the header and conditions only. Does not end the document. With a
// progress, announces the page count and reports every finished page.
// Returns false when the surface failed or the progress asks to stop.
bool DrawItemGraphPages(Surface& surface, const ItemGraphResult& result, const ItemGraphHeading& heading,
                        PrintProgress* progress = nullptr);

// "印刷": nothing at all (Cancelled, no message, no dialog) when the last
// computation counted nothing; otherwise the orientation message, the
// printer dialog (portrait) and the pages, with "プリンターが接続されていません"
// when the printer fails.
PrintResult PrintItemGraph(Prompts& prompts, const ItemGraphResult& result, const ItemGraphHeading& heading);

}  // namespace orvanta
