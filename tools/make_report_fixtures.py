#!/usr/bin/env python3
"""Builds the data-file fixtures independently of the program.

The two reports below are this script's own data; the file is laid out here
from the description of the data file and encoded with Python's cp932 codec,
so a test that compares the program's output with two_reports.dat checks the
program against a second, separate account of the same bytes. The same two
reports are typed again in tests/reports/data_file_test.cpp.

Layout of a data file (one value per line, CR LF, code page 932; numbers with
a blank in the sign position and one trailing blank, " 14 ", "-5 "):
  the count;
  for each report, 71 lines: ReportId; Texts(i) and Choices(i) for i = 0..10;
  Notes(i) and OtherTexts(i) for i = 0..5; AnswerIds(0..20); Years(i),
  Months(i), Days(i), Hours(i), Minutes(i) for i = 0..2;
  then for each report again its 81 body-site marks.

It also writes the broken files of tests/fixtures/reports/broken and the seed
corpus of the fuzz target (tests/fixtures/fuzz-seeds).

Usage: tools/make_report_fixtures.py [fixtures folder]
(default: tests/fixtures beside this script's folder)
"""

import os
import random
import sys

REPORTS = [
    {
        "id": 7,
        "texts": ["K-1024", "梅毒", " 12", "34", "P-555", "山田 花子", "佐藤 一郎", "S0042", "5", "", ""],
        "choices": [1, 3, 2, 1, 3, 1, 2, 4, 2, 1, 0],
        "notes": ["採血後∨∧リキャップ時に受傷", "手袋着用、針捨て容器あり", "", "", "", ""],
        "others": ["", "ﾅｰｽｽﾃｰｼｮﾝ", "", "", "", "セーフティ針Ａ"],
        "answers": [3, 55, 104, 152, 210, 302, 322, 342, 405, 455] + [0] * 11,
        "years": [2023, 2023, 0],
        "months": [4, 5, 0],
        "days": [9, 12, 0],
        "hours": [14, 0, 0],
        "minutes": [35, 0, 0],
        "sites": {0: 1, 27: 1, 64: 1},
    },
    {
        # Every slot holds a value of its own, the unused ones included.
        "id": 2147483647,
        "texts": ["\"引用符", "HCV疑い", "30", " 45", "P,9", "ｶﾀｶﾅ ﾀﾛｳ", "  先頭空白", "S-77", "～10",
                  "予備9", "予備10"],
        "choices": [2, 3, 1, 4, 5, 6, 7, 8, 9, 10, -11],
        "notes": ["一行目∨∧二行目∨∧三行目", "予防できた、と思う", "メモ3", "メモ4", "メモ5", "メモ6"],
        "others": ["他0", "他1", "他2", "他3", "他4", "製品名①"],
        "answers": [1, 66, 116, 163, 251, 304, 323, 344, 438, 461,
                    1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, -20],
        "years": [2024, 2025, 1999],
        "months": [12, 1, 7],
        "days": [31, 2, 3],
        "hours": [23, 6, 8],
        "minutes": [59, 7, 9],
        "sites": {1: 1, 12: 1, 40: 1, 63: 1, 64: 1, 70: 1, 80: 1},
    },
]


def number(n):
    return (" " if n >= 0 else "") + str(n) + " "


def report_lines(r):
    lines = [number(r["id"])]
    for i in range(11):
        lines += [r["texts"][i], number(r["choices"][i])]
    for i in range(6):
        lines += [r["notes"][i], r["others"][i]]
    lines += [number(a) for a in r["answers"]]
    for i in range(3):
        lines += [number(r[k][i]) for k in ("years", "months", "days", "hours", "minutes")]
    assert len(lines) == 71
    return lines


def site_lines(r):
    return [number(r["sites"].get(s, 0)) for s in range(81)]


def data_lines(reports):
    lines = [number(len(reports))]
    for r in reports:
        lines += report_lines(r)
    for r in reports:
        lines += site_lines(r)
    return lines


def encode(lines, end="\r\n"):
    return b"".join(l.encode("cp932") + end.encode() for l in lines)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
    reports = os.path.join(root, "reports")
    broken = os.path.join(reports, "broken")

    lines = data_lines(REPORTS)
    assert len(lines) == 305
    good = encode(lines)
    write(os.path.join(reports, "two_reports.dat"), good)
    write(os.path.join(reports, "zero_reports.dat"), encode([number(0)]))

    # Line numbers below are 1-based lines of two_reports.dat.
    def with_line(n, raw):  # the file with line n replaced by raw bytes
        parts = good.split(b"\r\n")
        parts[n - 1] = raw
        return b"\r\n".join(parts)

    def first_lines(n):
        return encode(lines[:n])

    write(os.path.join(broken, "empty.dat"), b"")
    write(os.path.join(broken, "count_1002.dat"), encode([number(1002)]))
    write(os.path.join(broken, "count_negative.dat"), encode([number(-1)]))
    # 1001 is the largest count that reads; this file then ends at line 2.
    write(os.path.join(broken, "count_1001_only.dat"), encode([number(1001)]))
    # Report 1, AnswerIds(4): line 1 + 71 + 1 + 22 + 12 + 5 = 112.
    assert lines[111] == number(251)
    write(os.path.join(broken, "wrong_kind.dat"), with_line(112, b"abc"))
    # A Choices value beyond 32 bits in report 0 (line 6 is Choices(1)).
    assert lines[5] == number(3)
    write(os.path.join(broken, "choice_too_big.dat"), with_line(6, b" 2147483648 "))
    # Cut inside report 1: 100 whole lines, the file ends at line 101.
    write(os.path.join(broken, "truncated_reports.dat"), first_lines(100))
    write(os.path.join(broken, "lf_only.dat"), encode(lines, "\n"))
    write(os.path.join(broken, "cr_only.dat"), encode(lines, "\r"))
    # Report 0, Texts(5) (line 1 + 1 + 10 + 1 = 13) with bytes cp932 lacks.
    assert lines[12] == "山田 花子"
    write(os.path.join(broken, "invalid_cp932.dat"), with_line(13, b"\x82\xa0\xff\xfe\x81"))
    # Report 0, Texts(0) (line 3) opens a quote that Texts(1) (line 5) closes.
    assert lines[2] == "K-1024" and lines[4] == "梅毒"
    quoted = with_line(3, "\"開始".encode("cp932"))
    parts = quoted.split(b"\r\n")
    parts[4] = "終了\"".encode("cp932")
    write(os.path.join(broken, "quote_lines.dat"), b"\r\n".join(parts))
    rng = random.Random(932)
    noise = bytes([0xA5]) + bytes(rng.randrange(256) for _ in range(4095))
    write(os.path.join(broken, "random.dat"), noise)
    # Body-site block: missing, cut inside report 1's marks, a bad mark.
    write(os.path.join(broken, "no_sites.dat"), first_lines(143))
    write(os.path.join(broken, "truncated_sites.dat"), first_lines(143 + 81 + 30))
    # Report 1's marks start at line 225: a mark that is no number at its
    # site slot 41, one beyond 16 bits at slot 64, a 2 at slot 10.
    write(os.path.join(broken, "bad_site.dat"), with_line(225 + 41, b"x"))
    write(os.path.join(broken, "site_too_big.dat"), with_line(225 + 64, b" 32768 "))
    write(os.path.join(broken, "site_two.dat"), with_line(225 + 10, b" 2 "))
    # Marks written without blanks, and empty lines for 0, read as marks.
    lenient = good.split(b"\r\n")
    lenient[225 + 1 - 1] = b"1"      # slot 1 of report 1: 1
    lenient[225 + 0 - 1] = b""       # slot 0: 0
    lenient[144 + 0 - 1] = b"  1"    # report 0, slot 0: 1
    write(os.path.join(broken, "lenient_marks.dat"), b"\r\n".join(lenient))
    # A line after the body-site block, and empty lines after it.
    write(os.path.join(broken, "line_after_sites.dat"), good + encode([number(0)]))
    write(os.path.join(broken, "empty_lines_after_sites.dat"), good + b"\r\n\r\n")
    # The count lowered: the body-site block is read out of report 1, whose
    # id (line 73) is no mark. The count raised: a third report is read out
    # of the body-site block (lines 144 to 214), and the block is cut short.
    write(os.path.join(broken, "count_lowered.dat"), with_line(1, number(1).encode()))
    write(os.path.join(broken, "count_raised.dat"), with_line(1, number(3).encode()))

    # Seeds for the fuzz target: small valid and broken files of every reader.
    seeds = os.path.join(root, "fuzz-seeds")
    one = dict(REPORTS[1])
    write(os.path.join(seeds, "one_report.dat"), encode(data_lines([one])))
    write(os.path.join(seeds, "zero_reports.dat"), encode([number(0)]))
    write(os.path.join(seeds, "no_sites.dat"), encode(data_lines([one])[:72]))
    write(os.path.join(seeds, "wrong_kind.dat"), encode([number(1), number(3), "x"]))
    write(os.path.join(seeds, "ttid.dat"), encode([number(470), number(12), number(0), number(12)]))
    write(os.path.join(seeds, "ttid_one_line.dat"), encode([number(470)]))
    write(os.path.join(seeds, "set_small.dat"),
          encode([number(2), "医師", "1", number(1), "看護師", "2", number(2)] + [number(0)] * 10))
    write(os.path.join(seeds, "lone_cr.dat"), encode([number(1), number(5), "\"abc"], "\r"))
    write(os.path.join(seeds, "passw.dat"), encode(["Secret,\"x\" "]))
    write(os.path.join(seeds, "two_reports_cut.dat"), encode(lines[:143 + 81 + 30]))
    # Grown by the fuzz target into a full data file of 1001 reports, and
    # into one of 5 reports with two bytes changed.
    write(os.path.join(seeds, "grow_full.dat"), b"LG" + (1001).to_bytes(2, "little"))
    write(os.path.join(seeds, "grow_edited.dat"),
          b"LG" + (5).to_bytes(2, "little") + bytes([0x10, 0x00, 0x00, ord("x"), 0x20, 0x01, 0x00, 0x00]))


if __name__ == "__main__":
    main()
