#!/usr/bin/env python3
"""Builds a small report collection and the CSV files that the data extraction
window must write for it, independently of the program.

The collection (code lists, data files 0 and 2 with file 1 missing) is this
script's own data. The expected CSV texts are worked out here from the rules
of the extraction listing, with Python's own calendar and cp932 codec, so a
test that compares the program's CSV file with them checks the program against
a second, separate account of the same bytes.

The window test starts on 15 June 2004 (start-up date and clock), so the
default period is 16 June 2003 to 15 June 2004.

Written into tests/fixtures/csv/extraction/:
  set.dat            the code lists
  data/0.dat, data/2.dat
  all.csv            every selection box at "全て"
  filtered.csv       boxes 14 "HIV陽性", 15 "はい" and 16 " 1;右手親指外側"

Usage: tools/make_extraction_csv_fixture.py [fixtures folder]
(default: tests/fixtures beside this script's folder)
"""

import datetime
import os
import sys

PERIOD = ((2003, 6, 16), (2004, 6, 15))

# Lists 0 to 9 as (name, code, id); list 10 is empty.
LISTS = [
    [("医師", "1", 1), ("看護師", "2", 2), ("臨床検査技師", "8", 3)],
    [("病室", "1", 51), ("手術部", "5", 52)],
    [("採血", "1", 101), ("縫合", "2", 102)],
    [("使用中", "1", 151)],
    [("翼状針", "3", 201), ("縫合針", "12", 202)],
    [("表層", "1", 301), ("深部", "2", 302)],
    [("はい", "1", 321), ("いいえ", "2", 322)],
    [("汚染あり", "1", 341)],
    [("内科病棟", "1", 401), ("救急部門", "2", 402)],
    [("採血時", "1", 451)],
    [],
]

SITE_NAMES = {1: "右手親指外側", 14: "右手親指内側", 29: "", 65: "右腰部後面"}


def report(rid, name, record, date, time, answers, exp, dept, infection, other, emergency, sites):
    return {"id": rid, "name": name, "record": record, "date": date, "time": time,
            "answers": answers, "exp": exp, "dept": dept, "infection": infection,
            "other": other, "emergency": emergency, "sites": sites}


FILES = {
    0: [
        report(1, "山田　花子", "K-1001", (2004, 3, 15), (9, 5), [2, 51, 101, 151, 201, 301, 321, 341, 401, 451],
               "5", " 12", (2, 0, 1), "梅毒", 1, [1, 14]),
        # A day before the period.
        report(2, "鈴木　一郎", "K-1002", (2003, 6, 15), (10, 0), [1] + [0] * 9, "1", "1", (1, 1, 1), "", 1, [1]),
        # On the first day; its occupation id 99 is in no list.
        report(3, "ｶﾀｶﾅ ﾀﾛｳ", "", (2003, 6, 16), (0, 0), [99, 52, 0, 0, 202, 302, 322, 0, 402, 0],
               "", "3.5", (1, 0, 0), "", 2, [29]),
    ],
    2: [
        # On the last day.
        report(4, "佐藤　美咲", "A7", (2004, 6, 15), (23, 59), [1, 51, 102, 151, 201, 301, 321, 341, 401, 451],
               "30", "2", (1, 2, 3), "", 1, [1, 65]),
        # A day after the period.
        report(5, "高橋　誠", "A8", (2004, 6, 16), (8, 0), [3] + [0] * 9, "2", "2", (1, 0, 0), "", 1, [1]),
        # Day 0 of March 2004 is 29 February.
        report(6, "田中　陽子", "A9", (2004, 3, 0), (14, 30), [0] * 10, "10", "", (1, 0, 0), "", 1, [1]),
        # The emergency question unanswered.
        report(7, "伊藤　亮", "A10", (2003, 12, 1), (12, 7), [3] + [0] * 9, "7", "1", (1, 0, 0), "HTLV-1", 0, []),
    ],
}

NEWEST_FILE = 2


def number(n):
    return (" " if n >= 0 else "") + str(n) + " "


def report_lines(r):
    texts = [""] * 11
    texts[0] = r["record"]
    texts[1] = r["other"]
    texts[2] = r["exp"]
    texts[5] = r["name"]
    texts[8] = r["dept"]
    choices = [0] * 11
    choices[2], choices[3], choices[4] = r["infection"]
    choices[8] = r["emergency"]
    lines = [number(r["id"])]
    for i in range(11):
        lines += [texts[i], number(choices[i])]
    lines += [""] * 12  # notes and other texts
    lines += [number(a) for a in r["answers"] + [0] * 11]
    y, m, d = r["date"]
    h, mi = r["time"]
    lines += [number(v) for v in (y, m, d, h, mi)]
    lines += [number(0)] * 10  # report date and the third date
    assert len(lines) == 71
    return lines


def data_lines(reports):
    lines = [number(len(reports))]
    for r in reports:
        lines += report_lines(r)
    for r in reports:
        lines += [number(1 if s + 1 in r["sites"] else 0) for s in range(81)]
    return lines


def settings_lines():
    lines = []
    for entries in LISTS:
        lines.append(number(len(entries)))
        for name, code, eid in entries:
            lines += [name, code, number(eid)]
    return lines


def encode(lines):
    return b"".join(l.encode("cp932") + b"\r\n" for l in lines)


# --- the expected listing ----------------------------------------------------

def as_date(y, m, d):
    """The calendar date with carries: day 0 is the last day of the month before."""
    y += (m - 1) // 12
    m = (m - 1) % 12 + 1
    return datetime.date(y, m, 1) + datetime.timedelta(days=d - 1)


HEADINGS = ["氏名･発生年月日･カルテ番号", "職種", "発生場所", "機器の使用目的", "事故発生状況", "原因器材",
            "事故程度", "受傷者の原因器材の使用中", "器材の汚染", "所属部署", "行為別", "発生月", "発生時刻",
            "経験年数", "当該部署における経験年数", "患者の感染症の有無", "緊急処置時", "針刺し･切創部位"]

WEEKDAYS = "月火水木金土日"  # Monday first, as date.weekday() counts


def blank_number(n):
    return (" " if n >= 0 else "") + str(n)


def cells(r):
    when = as_date(*r["date"])
    row = [r["name"] + "%02d/%02d/%02d/(%s)" % (when.year % 100, when.month, when.day, WEEKDAYS[when.weekday()])
           + r["record"]]
    for k in range(10):
        names = [name for name, _, eid in LISTS[k] if eid == r["answers"][k]]
        row.append(names[0] if names else "")
    row.append(str(r["date"][1]))
    row.append(blank_number(r["time"][0]) + ":" + blank_number(r["time"][1]))
    row += [r["exp"], r["dept"]]
    infection = ""
    for virus, result in zip(("HIV", "HCV", "HBV"), r["infection"]):
        infection += {0: "", 1: " %s陽性", 2: " %s陰性", 3: " %s未検査"}[result].replace("%s", virus)
    row.append(infection + r["other"])
    row.append({1: "はい", 2: "いいえ"}.get(r["emergency"], ""))
    row.append("".join("/" + blank_number(s) + SITE_NAMES[s] for s in sorted(r["sites"])))
    assert len(row) == 18
    return row


def listing(keep):
    first, last = (as_date(*d) for d in PERIOD)
    rows = []
    for n in range(NEWEST_FILE + 1):
        for r in FILES.get(n, []):
            if first <= as_date(*r["date"]) <= last and keep(r):
                rows.append(cells(r))
    return rows


def csv_text(conditions, rows):
    (fy, fm, fd), (ty, tm, td) = PERIOD
    lines = ["%d年%d月%d日～%d年%d月%d日" % (fy, fm, fd, ty, tm, td)]
    if conditions:
        lines.append("抽出条件")
        for caption, entry in conditions:
            lines += [caption, entry]
    lines.append(",".join(HEADINGS))
    lines += [",".join(row) for row in rows]
    return encode(lines) + b"\r\n"  # the file ends in an empty line


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
    out = os.path.join(root, "csv", "extraction")
    write(os.path.join(out, "set.dat"), encode(settings_lines()))
    for n, reports in FILES.items():
        write(os.path.join(out, "data", "%d.dat" % n), encode(data_lines(reports)))

    everything = listing(lambda r: True)
    assert len(everything) == 5
    write(os.path.join(out, "all.csv"), csv_text([], everything))

    chosen = listing(lambda r: r["infection"][0] == 1 and r["emergency"] == 1 and 1 in r["sites"])
    assert len(chosen) == 2
    write(os.path.join(out, "filtered.csv"), csv_text(
        [("患者の感染症の有無", "HIV陽性"), ("緊急処置時", "はい"), ("針刺し・切創部位", " 1;右手親指外側")], chosen))


if __name__ == "__main__":
    main()
