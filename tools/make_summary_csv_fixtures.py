#!/usr/bin/env python3
"""Builds the summary CSV fixtures independently of the program.

A small collection of reports and small code lists are this script's own
data. The script writes them as set.dat and data files (0.dat and 2.dat;
1.dat is missing on purpose), counts the reports by the rules of the summary
view itself, and writes the CSV files the program must produce for three
computations:

  summary_one_year.csv   2023-06-16 to 2024-06-15, every list at "全て"
  summary_20_days.csv    2024-03-01 to 2024-03-20, every list at "全て"
                         (no month section: the period is not over 31 days)
  summary_emergency_yes.csv  the one-year period, 緊急処置時 restricted to はい

Rules used here:
  - a report is in the period when from <= its occurrence date <= to;
  - code-list item k: the category of the entry whose id is the report's
    answer id for list k (none when no entry has it);
  - month 1-12; hour band floor(h / 2) + 1 for hours 0-23, none otherwise;
  - experience bands of the leading number of the text (0 when none):
    <2, <4, <6, <10, <15, <20, <30, else;
  - infection: HIV 1/2/3 -> 1/2/3, HCV -> 4/5/6, HBV -> 7/8/9, other text -> 10;
  - emergency 1 or 2; every marked body site.

File layout: "トンリクスレポート集計書"; the period line ending in "日 ";
"該当件数," and the count; "抽出条件," and the restrictions (caption, two
blanks, the chosen entry, "; ") or "全ての報告書"; "分類,項目,件数"; then the
sections 時刻, 発生月 (only over 31 days), 経験年数, 当該部署経験年数,
患者感染症の有無 (without その他), 緊急処置時, the code lists 0 to 9 (entries
"code.name"), the body sites ("n.name"), each only while its list is at
"全て". Lines end in CR LF and the file ends in an empty line; cp932.

Usage: tools/make_summary_csv_fixtures.py [fixtures folder]
(default: tests/fixtures beside this script's folder; writes into csv/)
"""

import datetime
import os
import re
import sys

# Lists 0 to 9: (name, code, id). List 10 is empty.
LISTS = [
    [("医師", "1", 1), ("看護師", "2", 2), ("その他", "99", 3)],
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

CAPTIONS = [
    "職種", "発生場所", "機器の使用目的", "事故発生状況", "原因器材", "事故程度",
    "原因器材の使用中", "器材の汚染", "所属部署", "行為別", "発生月", "発生時刻",
    "経験年数", "当該部署経験年数", "患者感染症の有無", "緊急処置時", "針刺し・切創部位",
]

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


def report(rid, when, answers, exp, dept, hiv, hcv, hbv, other, emergency, sites):
    return dict(id=rid, when=when, answers=answers, exp=exp, dept=dept, hiv=hiv, hcv=hcv, hbv=hbv,
                other=other, emergency=emergency, sites=sites)


ALL_FIRST = [1, 11, 21, 31, 41, 51, 61, 71, 81, 91]

# File 0.dat and file 2.dat; 1.dat does not exist.
FILES = {
    0: [
        # On the from-date of the one-year period, 13:30.
        report(1, (2023, 6, 16, 13, 30), ALL_FIRST, "", "1.9", 1, 2, 0, "", 1, [1, 29]),
        # The day before: outside every period.
        report(2, (2023, 6, 15, 10, 0), ALL_FIRST, "5", "5", 1, 1, 1, "x", 1, [1]),
        # 23:00; "梅毒" as another infection.
        report(3, (2024, 3, 5, 23, 0), [2, 12, 21, 32, 42, 52, 62, 72, 82, 91], "2", "29.5", 2, 3, 1,
               "梅毒", 2, [3, 40, 65]),
        # The to-date of the 20-day period; an unanswered place, a deleted purpose id.
        report(4, (2024, 3, 20, 0, 15), [3, 0, 99, 31, 43, 51, 61, 0, 81, 91], "30", "abc", 3, 1, 2, "", 1,
               []),
    ],
    2: [
        # The to-date of the one-year period.
        report(5, (2024, 6, 15, 21, 59), [1, 11, 21, 31, 41, 52, 62, 71, 82, 91], "12", " 7", 0, 0, 3,
               "HTLV", 0, [64, 65]),
        # The day after: outside.
        report(6, (2024, 6, 16, 9, 0), ALL_FIRST, "3", "3", 1, 0, 0, "", 2, [2]),
        # A leap day at noon.
        report(7, (2024, 2, 29, 12, 0), [2, 11, 21, 31, 41, 51, 61, 71, 81, 91], "4", "15", 0, 0, 0, "", 2,
               [29]),
        # Hour 24 belongs to no band.
        report(8, (2023, 12, 31, 24, 0), [1, 12, 21, 32, 43, 52, 61, 72, 81, 91], "6", "20", 2, 2, 2, "", 1,
               [33]),
        # The from-date of the 20-day period, 1:00.
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


def categories(r):
    """Item number -> the report's categories on it."""
    y, mo, d, h, mi = r["when"]
    out = {}
    for k in range(10):
        out[k] = [pos + 1 for pos, (_, _, eid) in enumerate(LISTS[k]) if eid == r["answers"][k]]
    out[10] = [mo] if 1 <= mo <= 12 else []
    out[11] = [h // 2 + 1] if 0 <= h <= 23 else []
    out[12] = [band(r["exp"])]
    out[13] = [band(r["dept"])]
    inf = []
    if r["hiv"] in (1, 2, 3):
        inf.append(r["hiv"])
    if r["hcv"] in (1, 2, 3):
        inf.append(3 + r["hcv"])
    if r["hbv"] in (1, 2, 3):
        inf.append(6 + r["hbv"])
    if r["other"]:
        inf.append(10)
    out[14] = inf
    out[15] = [r["emergency"]] if r["emergency"] in (1, 2) else []
    out[16] = sorted(r["sites"])
    return out


def compute(frm, to, selection):
    """Counts per (item, category) and the matching count."""
    counts = {}
    matching = 0
    for fileno in sorted(FILES):
        for r in FILES[fileno]:
            y, mo, d = r["when"][:3]
            if not frm <= datetime.date(y, mo, d) <= to:
                continue
            cats = categories(r)
            if any(sel and sel not in cats[item] for item, sel in selection.items()):
                continue
            matching += 1
            for item, cs in cats.items():
                for c in cs:
                    counts[(item, c)] = counts.get((item, c), 0) + 1
    return counts, matching


# ---------------------------------------------------------------------------
# The CSV text

LIST_TEXTS = {15: ["はい", "いいえ"]}
BANDS = ["0～1年", "2～3年", "4～5年", "6～9年", "10～14年", "15～19年", "20～29年", "30年以上"]
INFECTIONS = ["HIV陽性", "HIV陰性", "HIV未検査", "HCV陽性", "HCV陰性", "HCV未検査", "HBV陽性", "HBV陰性", "HBV未検査"]


def summary_csv(frm, to, selection):
    counts, matching = compute(frm, to, selection)

    def c(item, n):
        return str(counts.get((item, n), 0))

    lines = ["トンリクスレポート集計書",
             "%d年%d月%d日～%d年%d月%d日 " % (frm.year, frm.month, frm.day, to.year, to.month, to.day),
             "該当件数,%d" % matching]
    cond = "".join("%s  %s; " % (CAPTIONS[i], LIST_TEXTS[i][sel - 1]) for i, sel in sorted(selection.items()) if sel)
    lines.append("抽出条件," + (cond or "全ての報告書"))
    lines.append("分類,項目,件数")

    def section(name, rows):
        for i, (label, count) in enumerate(rows):
            lines.append("%s,%s,%s" % (name if i == 0 else "", label, count))

    def free(item):
        return not selection.get(item)

    if free(11):
        section("時刻", [("%02d. %d時～%d時" % (n, 2 * (n - 1), 2 * n), c(11, n)) for n in range(1, 13)])
    if free(10) and (to - frm).days > 31:
        section("発生月", [("%02d. %d月" % (n, n), c(10, n)) for n in range(1, 13)])
    if free(12):
        section("経験年数", [(BANDS[n - 1], c(12, n)) for n in range(1, 9)])
    if free(13):
        section("当該部署経験年数", [(BANDS[n - 1], c(13, n)) for n in range(1, 9)])
    if free(14):
        section("患者感染症の有無", [(INFECTIONS[n - 1], c(14, n)) for n in range(1, 10)])
    if free(15):
        section("緊急処置時", [("はい", c(15, 1)), ("いいえ", c(15, 2))])
    for k in range(10):
        if free(k) and LISTS[k]:
            section(CAPTIONS[k], [("%s.%s" % (code, name), c(k, pos + 1))
                                  for pos, (name, code, _) in enumerate(LISTS[k])])
    if free(16):
        section(CAPTIONS[16], [("%d.%s" % (n, SITE_NAMES[n - 1]), c(16, n)) for n in range(1, 66)])
    return ("".join(l + "\r\n" for l in lines) + "\r\n").encode("cp932")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
    folder = os.path.join(root, "csv", "summary")
    write(os.path.join(folder, "set.dat"), settings_file())
    for fileno, reports in FILES.items():
        write(os.path.join(folder, "data", "%d.dat" % fileno), data_file(reports))

    year = (datetime.date(2023, 6, 16), datetime.date(2024, 6, 15))
    days20 = (datetime.date(2024, 3, 1), datetime.date(2024, 3, 20))
    write(os.path.join(folder, "summary_one_year.csv"), summary_csv(*year, {}))
    write(os.path.join(folder, "summary_20_days.csv"), summary_csv(*days20, {}))
    write(os.path.join(folder, "summary_emergency_yes.csv"), summary_csv(*year, {15: 1}))
    for name in sorted(os.listdir(folder)):
        print(os.path.join(folder, name))


if __name__ == "__main__":
    main()
