#pragma once
// The network window's tables as texts: what its grids show, what its CSV
// files hold and what its prints draw.
//
// CSV files (code page 932, CR LF after every line):
//  - 施設別: "施設コード,稼働病床数,件数,100床あたり,下限,上限,判定", then one
//    line per hospital by 施設コード: beds with one decimal, the count, the
//    rate and its exact 95% interval with two decimals, the place on the
//    funnel; for a hospital without beds the rate fields are empty and the
//    place says so.
//  - 項目別: for each of the seventeen items its caption, then
//    "コード,名称,件数,割合(%)" and a line per code.

#include "core/network/network_analysis.h"
#include "core/rates/rates_tables.h"

namespace orvanta {

inline const QString kNoBedsPlace = QStringLiteral("稼働病床数なし（率の計算から除外）");

// 施設別: one heading row, a row per hospital; withFte adds 常勤換算職員数,
// 100人あたり, 下限, 上限 (the window shows them, the CSV file does not).
TextTable HospitalTableTexts(const NetworkFigures& figures, bool withFte);
// The note under it: the hospitals without beds, how the rates are made.
QString HospitalTableNote(const NetworkFigures& figures);

// ネットワーク全体: the network and the four bed-size classes.
TextTable NetworkTableTexts(const NetworkFigures& figures);

// 項目別: the seventeen tables one after the other; each a caption row and a
// heading row, then its rows.
TextTable ItemTablesTexts(const std::vector<ItemTable>& items);

QByteArray HospitalCsvBytes(const NetworkFigures& figures);
QByteArray ItemTablesCsvBytes(const std::vector<ItemTable>& items);

}  // namespace orvanta
