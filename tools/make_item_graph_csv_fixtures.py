#!/usr/bin/env python3
"""Builds the item graph CSV fixtures independently of the program.

A small collection of reports and small code lists are this script's own
data. The script writes them as set.dat and data files (0.dat and 2.dat;
1.dat is missing on purpose), counts the reports per category of one graph
item under the filter lists by the rules of the item graph view itself, and
writes the CSV files the program must produce:

  occupation_all.csv       職種, 2023-06-16 to 2024-06-15, every list at "全て"
  hour_all.csv             発生時刻, the same period
  sites_two_filters.csv    針刺し･切創部位, the same period, 職種 = 医師 and
                           緊急処置時 = はい
  infection_site_filter.csv  患者の感染症の有無, 2024-01-01 to 2024-12-31,
                           the body-site list at site 1

Rules used here:
  - a report is in the period when from <= its occurrence date <= to;
  - code-list item k: the category of the entry whose id is the report's
    answer id for list k (none when no entry has it);
  - month 1-12; hour band floor(h / 2) + 1 for hours 0-23, none otherwise;
  - experience bands of the leading number of the text (0 when none):
    <2, <4, <6, <10, <15, <20, <30, else;
  - infection: HIV 1/2/3 -> 1/2/3, HCV -> 4/5/6, HBV -> 7/8/9, other text -> 10;
  - emergency 1 or 2; every marked body site;
  - a report counts once under each of its categories of the graph item when
    it passes every filter list that is not at "全て".

File layout: the graph item's caption as its list shows it ("針刺し･切創部位"
with the half-width dot), ",", the period with a blank before every number
(" 2023年 6月 16日～ 2024年 6月 15日"); when a filter list is set, "抽出条件"
and for every set list (in item order) its caption ("針刺し・切創部位" with the
full-width dot) and its entry's text on two lines; then for every category
its label, ",", a blank and the count. Labels: code-list names; " 1月";
" 0時～ 2時"; year bands; " HIV陽性" ... " その他"; "はい", "いいえ"; the site
number after a blank directly followed by its name (" 29" alone). Lines end in
CR LF and the file ends in an empty line; cp932.

Usage: tools/make_item_graph_csv_fixtures.py [fixtures folder]
(default: tests/fixtures beside this script's folder; writes into
csv/item_graph/)
"""

import datetime
import os
import re
import sys

LONG_NAME = "臨床検査技師および診療放射線技師並びに臨床工学技士"  # 25 characters
assert len(LONG_NAME) == 25

# Lists 0 to 9: (name, code, id). List 10 is empty.
LISTS = [
    [("医師", "1", 1), ("看護師", "2", 2), (LONG_NAME, "3", 3), ("その他", "99", 4)],
    [("病室", "1", 11), ("手術部", "5", 12)],
    [("採血", "3", 21)],
    [("使用中", "1", 31), ("廃棄時", "7", 32)],
    [("注射針", "1", 41), ("縫合針", "12", 42), ("メス", "20", 43)],
    [("表層", "1", 51), ("深い", "3", 52)],
    [("はい", "1", 61), ("いいえ", "2", 62)],
    [("汚染あり", "1", 71), ("不明", "3", 72)],
    [("内科", "1", 81), ("救急部門", "3", 82)],
    [("採血", "1", 91)],
]

GRAPH_CAPTIONS = [
    "職種", "発生場所", "機器の使用目的", "事故発生状況", "原因器材", "事故程度",
    "受傷者の原因器材の使用中", "器材の汚染", "所属部署", "行為別", "発生月", "発生時刻",
    "経験年数", "当該部署における経験年数", "患者の感染症の有無", "緊急処置時",
    "針刺し\uff65切創部位",
]
FILTER_CAPTIONS = GRAPH_CAPTIONS[:16] + ["針刺し\u30fb切創部位"]

SITE_NAMES = [
    "右手親指外側", "右手人差し指外側", "右手中指外側", "右手薬指外側", "右手小指外側",
    "右手甲左側", "右手甲右側", "右手のひら左側", "右手小指内側", "右手薬指内側",
    "右手中指内側", "右手人差し指内側", "右手のひら右側", "右手親指内側", "左手親指内側",
    "左手のひら左側", "左手人差し指内側", "左手中指内側", "左手薬指内側", "左手小指内側",
    "左手のひら右側", "左手甲左側", "左手小指外側", "左手薬指外側", "左手中指外側",
    "左手人差し指外側", "左手甲右側", "左手親指外側", "", "右腰部前面",
    "右前腕前面", "右上腕前面", "右顔面", "右胸部", "右鼠径部",
    "右大腿前面", "右下腿前面", "右足背部", "左顔面", "左胸部",
    "左鼠径部", "左大腿前面", "左下腿前面", "左足背部", "左上腕前面",
    "左前腕前面", "左腰部前面", "左腰部後面", "左前腕後面", "左上腕後面",
    "左後頭部", "左背部", "左臀部", "左大腿後面", "左下腿後面",
    "左足底部", "右後頭部", "右背部", "右臀部", "右大腿後面",
    "右下腿後面", "右足底部", "右上腕後面", "右前腕後面", "右腰部後面",
]
assert len(SITE_NAMES) == 65

BANDS = ["0～1年", "2～3年", "4～5年", "6～9年", "10～14年", "15～19年", "20～29年", "30年以上"]
INFECTIONS = ["HIV陽性", "HIV陰性", "HIV未検査", "HCV陽性", "HCV陰性", "HCV未検査",
              "HBV陽性", "HBV陰性", "HBV未検査", "その他"]
HOUR_FILTERS = ["%d～%d時" % (2 * k, 2 * k + 2) for k in range(12)]


def report(rid, when, answers, exp, dept, hiv, hcv, hbv, other, emergency, sites):
    return dict(id=rid, when=when, answers=answers, exp=exp, dept=dept, hiv=hiv, hcv=hcv, hbv=hbv,
                other=other, emergency=emergency, sites=sites)


ALL_FIRST = [1, 11, 21, 31, 41, 51, 61, 71, 81, 91]

FILES = {
    0: [
        # On the from-date, 13:30; a doctor in an emergency; sites 1 and 29.
        report(1, (2023, 6, 16, 13, 30), ALL_FIRST, "", "1.9", 1, 2, 0, "", 1, [1, 29]),
        # The day before the period: outside.
        report(2, (2023, 6, 15, 10, 0), ALL_FIRST, "5", "5", 1, 1, 1, "x", 1, [1]),
        # 23:10, the long-named occupation, three sites, HIV positive and another infection.
        report(3, (2024, 3, 5, 23, 10), [3, 12, 21, 32, 42, 52, 62, 72, 82, 91], "2", "29.5", 1, 3, 0,
               "梅毒", 2, [3, 40, 65]),
        # A nurse; an unanswered place, a deleted purpose id.
        report(4, (2024, 3, 20, 0, 15), [2, 0, 99, 31, 43, 51, 61, 0, 81, 91], "30", "abc", 3, 1, 2, "", 1,
               [1, 2]),
    ],
    2: [
        # On the to-date, 21:59; a doctor, no emergency answer.
        report(5, (2024, 6, 15, 21, 59), [1, 11, 21, 31, 41, 52, 62, 71, 82, 91], "12", " 7", 0, 0, 3,
               "HTLV", 0, [64, 65]),
        # The day after: outside the one-year period, inside 2024.
        report(6, (2024, 6, 16, 9, 0), ALL_FIRST, "3", "3", 1, 0, 0, "", 2, [1]),
        # A leap day at noon; a doctor in an emergency.
        report(7, (2024, 2, 29, 12, 0), [1, 11, 21, 31, 41, 51, 61, 71, 81, 91], "4", "15", 2, 0, 0, "", 1,
               [29, 1]),
        # Hour 24 belongs to no band; an occupation id no list holds.
        report(8, (2023, 12, 31, 24, 0), [77, 12, 21, 32, 43, 52, 61, 72, 81, 91], "6", "20", 2, 2, 2, "", 1,
               [33]),
        # 1:00; a doctor in an emergency, site 1.
        report(9, (2024, 3, 1, 1, 0), ALL_FIRST, "10", "-3", 1, 1, 1, "", 1, [1]),
    ],
}


# ---------------------------------------------------------------------------
# Files of the collection

def number(n):
    return (" " if n >= 0 else "") + str(n) + " "


def report_lines(r):
    y, mo, d, h, mi = r["when"]
    texts = [""] * 11
    texts[1] = r["other"]
    texts[2] = r["exp"]
    texts[5] = "報告者%d" % r["id"]
    texts[8] = r["dept"]
    choices = [0] * 11
    choices[2], choices[3], choices[4], choices[8] = r["hiv"], r["hcv"], r["hbv"], r["emergency"]
    lines = [number(r["id"])]
    for i in range(11):
        lines += [texts[i], number(choices[i])]
    lines += [""] * 12
    lines += [number(a) for a in r["answers"] + [0] * 11]
    lines += [number(v) for v in (y, mo, d, h, mi)]
    lines += [number(0)] * 10
    assert len(lines) == 71
    return lines


def data_file(reports):
    lines = [number(len(reports))]
    for r in reports:
        lines += report_lines(r)
    for r in reports:
        lines += [number(1 if s + 1 in r["sites"] else 0) for s in range(81)]
    return encode(lines)


def settings_file():
    lines = []
    for entries in LISTS:
        lines.append(number(len(entries)))
        for name, code, eid in entries:
            lines += [name, code, number(eid)]
    lines.append(number(0))  # list 10
    return encode(lines)


def encode(lines):
    return "".join(l + "\r\n" for l in lines).encode("cp932")


# ---------------------------------------------------------------------------
# Counting

def band(text):
    m = re.match(r"[ \t]*([+-]?)(\d+(?:\.\d*)?|\.\d+)", text)
    v = float(m.group(1) + m.group(2)) if m else 0.0
    for limit, b in ((2, 1), (4, 2), (6, 3), (10, 4), (15, 5), (20, 6), (30, 7)):
        if v < limit:
            return b
    return 8


def categories(r, item):
    y, mo, d, h, mi = r["when"]
    if item < 10:
        return [pos + 1 for pos, (_, _, eid) in enumerate(LISTS[item]) if eid == r["answers"][item]]
    if item == 10:
        return [mo] if 1 <= mo <= 12 else []
    if item == 11:
        return [h // 2 + 1] if 0 <= h <= 23 else []
    if item == 12:
        return [band(r["exp"])]
    if item == 13:
        return [band(r["dept"])]
    if item == 14:
        out = []
        for base, result in ((0, r["hiv"]), (3, r["hcv"]), (6, r["hbv"])):
            if result in (1, 2, 3):
                out.append(base + result)
        if r["other"]:
            out.append(10)
        return out
    if item == 15:
        return [r["emergency"]] if r["emergency"] in (1, 2) else []
    return sorted(r["sites"])


def category_count(item):
    if item < 10:
        return len(LISTS[item])
    return {10: 12, 11: 12, 12: 8, 13: 8, 14: 10, 15: 2, 16: 65}[item]


def labels(item):
    if item < 10:
        return [name for name, _, _ in LISTS[item]]
    if item == 10:
        return [" %d月" % m for m in range(1, 13)]
    if item == 11:
        return [" %d時～ %d時" % (2 * k, 2 * k + 2) for k in range(12)]
    if item in (12, 13):
        return BANDS
    if item == 14:
        return [" " + t for t in INFECTIONS]
    if item == 15:
        return ["はい", "いいえ"]
    return [" %d%s" % (n, SITE_NAMES[n - 1]) for n in range(1, 66)]


def filter_text(item, position):
    if item < 10:
        return LISTS[item][position - 1][0]
    if item == 10:
        return str(position)
    if item == 11:
        return HOUR_FILTERS[position - 1]
    if item in (12, 13):
        return BANDS[position - 1]
    if item == 14:
        return INFECTIONS[position - 1]
    if item == 15:
        return ["はい", "いいえ"][position - 1]
    return " %d;%s" % (position, SITE_NAMES[position - 1])


def item_graph_csv(item, frm, to, selection):
    counts = [0] * category_count(item)
    for fileno in sorted(FILES):
        for r in FILES[fileno]:
            y, mo, d = r["when"][:3]
            if not frm <= datetime.date(y, mo, d) <= to:
                continue
            if any(sel and sel not in categories(r, k) for k, sel in selection.items()):
                continue
            for c in categories(r, item):
                counts[c - 1] += 1
    lines = ["%s, %d年 %d月 %d日～ %d年 %d月 %d日" % (GRAPH_CAPTIONS[item], frm.year, frm.month, frm.day,
                                                  to.year, to.month, to.day)]
    chosen = [(k, sel) for k, sel in sorted(selection.items()) if sel]
    if chosen:
        lines.append("抽出条件")
        for k, sel in chosen:
            lines += [FILTER_CAPTIONS[k], filter_text(k, sel)]
    for label, count in zip(labels(item), counts):
        lines.append("%s, %d" % (label, count))
    return ("".join(l + "\r\n" for l in lines) + "\r\n").encode("cp932")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
    folder = os.path.join(root, "csv", "item_graph")
    write(os.path.join(folder, "set.dat"), settings_file())
    for fileno, reports in FILES.items():
        write(os.path.join(folder, "data", "%d.dat" % fileno), data_file(reports))

    year = (datetime.date(2023, 6, 16), datetime.date(2024, 6, 15))
    y2024 = (datetime.date(2024, 1, 1), datetime.date(2024, 12, 31))
    write(os.path.join(folder, "occupation_all.csv"), item_graph_csv(0, *year, {}))
    write(os.path.join(folder, "hour_all.csv"), item_graph_csv(11, *year, {}))
    write(os.path.join(folder, "sites_two_filters.csv"), item_graph_csv(16, *year, {0: 1, 15: 1}))
    write(os.path.join(folder, "infection_site_filter.csv"), item_graph_csv(14, *y2024, {16: 1}))
    for name in sorted(os.listdir(folder)):
        print(os.path.join(folder, name))


if __name__ == "__main__":
    main()
