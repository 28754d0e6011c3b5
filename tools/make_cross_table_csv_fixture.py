#!/usr/bin/env python3
"""Builds the CSV fixtures of the cross tabulation independently of the program.

The reports below are this script's own data; it counts them and lays the CSV
file out from the description of the cross-tabulation file, encoded with
Python's cp932 codec. tests/analysis/cross_table_window_test.cpp writes the
same reports into a data file, lets the window compute the table and write its
file, and compares the bytes.

The file: the period line (from-date and to-date as the date boxes show them,
"日　　縦項目", the vertical item's caption, "；横項目", the horizontal item's
caption), then the table rows: the heading row (an empty cell, then the column
headings), then one row per vertical category (its heading, then its counts as
plain whole numbers), cells joined by ",", every line ending in CR LF, and one
more CR LF at the end. Totals are not written.

The default period of a start on 15 June 2004 runs from 16 June 2003 to
15 June 2004.

Usage: tools/make_cross_table_csv_fixture.py [fixtures folder]
(default: tests/fixtures beside this script's folder)
"""

import os
import sys

PERIOD_FROM = (2003, 6, 16)
PERIOD_TO = (2004, 6, 15)

# (year, month, day, hour, HIV, HCV, HBV, other infection text)
# Results: 0 no answer, 1 positive, 2 negative, 3 not tested.
REPORTS = [
    (2004, 3, 15, 9, 1, 2, 0, "梅毒"),
    (2003, 6, 16, 0, 2, 0, 0, ""),  # on the from-date
    (2004, 6, 15, 23, 0, 0, 3, ""),  # on the to-date
    (2003, 6, 15, 12, 1, 0, 0, ""),  # the day before the period
    (2004, 1, 1, 22, 1, 1, 1, "HTLV-1"),
    (2004, 2, 29, 13, 0, 0, 0, ""),  # no infection answer
    (2003, 12, 31, 1, 0, 3, 0, ""),
    (2004, 6, 16, 10, 1, 0, 0, ""),  # the day after the period
]

INFECTION_LABELS = [
    "HIV陽性", "HIV陰性", "HIV未検査",
    "HCV陽性", "HCV陰性", "HCV未検査",
    "HBV陽性", "HBV陰性", "HBV未検査",
    "その他",
]


def signed(n):
    """A number as the general number-to-text conversion writes it."""
    return ("-" if n < 0 else " ") + str(abs(n))


HOUR_LABELS = [signed(2 * k - 2) + "～" + signed(2 * k) + "時" for k in range(1, 13)]


def infection_rows(hiv, hcv, hbv, other):
    rows = []
    for offset, result in ((0, hiv), (3, hcv), (6, hbv)):
        if 1 <= result <= 3:
            rows.append(offset + result - 1)
    if other:
        rows.append(9)
    return rows


def period_line(vertical, horizontal):
    (fy, fm, fd), (ty, tm, td) = PERIOD_FROM, PERIOD_TO
    return (f"{fy}年{fm}月{fd}日～{ty}年{tm}月{td}日　　縦項目{vertical}；横項目{horizontal}")


def infection_by_hour():
    counts = [[0] * len(HOUR_LABELS) for _ in INFECTION_LABELS]
    for (y, m, d, hour, hiv, hcv, hbv, other) in REPORTS:
        if not (PERIOD_FROM <= (y, m, d) <= PERIOD_TO):
            continue
        column = hour // 2
        for row in infection_rows(hiv, hcv, hbv, other):
            counts[row][column] += 1
    lines = [period_line("患者の感染症の有無", "発生時刻"), "," + ",".join(HOUR_LABELS)]
    for label, row in zip(INFECTION_LABELS, counts):
        lines.append(label + "," + ",".join(str(n) for n in row))
    return lines


def untouched(vertical, horizontal):
    # The grid as the window opens: two rows of two empty cells.
    return [period_line(vertical, horizontal), ",", ","]


def write(folder, name, lines):
    data = ("\r\n".join(lines) + "\r\n" + "\r\n").encode("cp932")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    base = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "tests", "fixtures")
    folder = os.path.join(base, "csv")
    os.makedirs(folder, exist_ok=True)
    write(folder, "cross_table_infection_by_hour.csv", infection_by_hour())
    write(folder, "cross_table_nothing_chosen.csv", untouched("", ""))
    write(folder, "cross_table_vertical_only.csv", untouched("針刺し･切創部位", ""))


if __name__ == "__main__":
    main()
