#!/usr/bin/env python3
"""Computes the expected values of the rates tests independently of the program.

The program takes its distributions from Boost.Math; this script takes them
from mpmath (the χ² and beta quantiles found by bisection on the regularized
incomplete gamma and beta functions), sums the binomial test's p-value over
every outcome, and counts days with Python's own calendar. It prints the C++
table rows that tests/core/rates/rate_statistics_test.cpp and
tests/core/rates/rates_test.cpp hold; run it again when a case changes:

  tools/make_rates_expectations.py

Definitions:
  Garwood:  lower = χ²(0.025; 2k) / 2 (0 for k = 0), upper = χ²(0.975; 2k + 2) / 2
  rate = k / d × m, its bounds the same over d × m
  rate ratio after/before = (k_a / T_a) / (k_b / T_b); given n = k_a + k_b the
  Clopper-Pearson interval [pL, pU] of k_a / n gives p / (1 - p) × T_b / T_a;
  p-value: the sum of the binomial(n, p0 = T_a / (T_a + T_b)) probabilities of
  every outcome no more likely than k_a (relative tolerance 1e-7).
"""
import datetime
import mpmath as mp

mp.mp.dps = 40


def bisect(f, lo, hi, target):
    lo, hi = mp.mpf(lo), mp.mpf(hi)
    for _ in range(400):
        mid = (lo + hi) / 2
        if f(mid) < target:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


def chi2_quantile(df, p):
    cdf = lambda x: mp.gammainc(mp.mpf(df) / 2, 0, x / 2, regularized=True)
    return bisect(cdf, 0, 10 * df + 100, p)


def beta_quantile(a, b, p):
    cdf = lambda x: mp.betainc(a, b, 0, x, regularized=True)
    return bisect(cdf, 0, 1, p)


def garwood(k):
    lower = chi2_quantile(2 * k, 0.025) / 2 if k > 0 else mp.mpf(0)
    upper = chi2_quantile(2 * k + 2, 0.975) / 2
    return lower, upper


def binom_pmf(x, n, p):
    return mp.binomial(n, x) * mp.power(p, x) * mp.power(1 - p, n - x)


def binom_test(x, n, p0):
    d = binom_pmf(x, n, p0)
    return min(mp.mpf(1), mp.fsum(binom_pmf(y, n, p0) for y in range(n + 1) if binom_pmf(y, n, p0) <= d * (1 + mp.mpf('1e-7'))))


def ratio(kb, tb, ka, ta):
    n = ka + kb
    times = mp.mpf(tb) / mp.mpf(ta)
    pl = beta_quantile(ka, n - ka + 1, 0.025) if ka > 0 else mp.mpf(0)
    pu = beta_quantile(ka + 1, n - ka, 0.975) if ka < n else mp.mpf(1)
    rr = mp.mpf(ka) / kb * times if kb > 0 else mp.inf
    lower = pl / (1 - pl) * times
    upper = pu / (1 - pu) * times if pu < 1 else mp.inf
    return rr, lower, upper, binom_test(ka, n, mp.mpf(ta) / (mp.mpf(ta) + mp.mpf(tb)))


def num(v):
    return 'kInf' if v == mp.inf else mp.nstr(v, 12)


print('// Garwood intervals: {k, lower, upper}')
for k in [0, 1, 2, 5, 10, 37, 100, 1000]:
    lo, up = garwood(k)
    print('    {%d, %s, %s},' % (k, num(lo), num(up)))

print('// Rate ratios: {k_before, T_before, k_after, T_after, ratio, lower, upper, p}')
for kb, tb, ka, ta in [(20, 12, 8, 12), (30, 350, 12, 360), (5, 6, 5, 12), (0, 12, 4, 12), (6, 12, 0, 12),
                       (400, 1000, 330, 1000), (1, 1, 1, 1)]:
    rr, lo, up, p = ratio(kb, tb, ka, ta)
    print('    {%d, %s, %d, %s, %s, %s, %s, %s},' % (kb, tb, ka, ta, num(rr), num(lo), num(up), num(p)))


# The rates table of tests/core/rates/rates_test.cpp: the period 2022-10-01
# to 2024-09-30 and the reports counted there per year.
def days(a, b):
    return (b - a).days + 1


D = datetime.date
period = (D(2022, 10, 1), D(2024, 9, 30))


def years(kind):
    out = []
    y = period[0].year - (1 if kind == 'fiscal' and period[0].month < 4 else 0)
    while True:
        first = D(y, 4, 1) if kind == 'fiscal' else D(y, 1, 1)
        last = (D(y + 1, 4, 1) if kind == 'fiscal' else D(y + 1, 1, 1)) - datetime.timedelta(days=1)
        if first > period[1]:
            break
        inside = days(max(first, period[0]), min(last, period[1]))
        out.append((y, inside, days(first, last)))
        y += 1
    return out


for kind, counts, beds, staff in [('fiscal', {2022: 0, 2023: 7, 2024: 3}, {2022: 300, 2023: 330},
                                   {2022: 200, 2023: 210}),
                                  ('calendar', {2022: 0, 2023: 6, 2024: 4}, {2022: 300, 2023: 330},
                                   {2022: 200, 2023: 210})]:
    print('// %s years: {year, count, beds, perBeds, lower, upper, staff, perStaff, lower, upper}' % kind)
    for y, inside, total in years(kind):
        k = counts[y]
        row = ['%d' % y, '%d' % k]
        for d in (beds.get(y), staff.get(y)):
            if d is None:
                row += ['kNone'] * 4
                continue
            scaled = mp.mpf(d) * inside / total
            lo, up = garwood(k)
            row += [num(scaled), num(k / scaled * 100), num(lo / scaled * 100), num(up / scaled * 100)]
        print('    {%s},  // %d of %d days' % (', '.join(row), inside, total))

# The comparisons of tests/core/rates/rates_test.cpp around the intervention
# of 2023-10-01: the reports before and after, and the time of each side.
print('// Comparisons: {months, k_before, T_before, k_after, T_after, ratio, lower, upper, p}')
for months, kb, tb, ka, ta in [
        (6, 4, mp.mpf(330) * 183 / 366, 3, mp.mpf(330) * 183 / 366),  # beds, inside 年度 2023
        (12, 4, mp.mpf(12), 6, mp.mpf(12)),  # 年度 2024 has no beds: months
        (24, 4, mp.mpf(24) * days(D(2022, 10, 1), D(2023, 9, 30)) / days(D(2021, 10, 1), D(2023, 9, 30)),
         6, mp.mpf(24) * days(D(2023, 10, 1), D(2024, 9, 30)) / days(D(2023, 10, 1), D(2025, 9, 30)))]:
    rr, lo, up, p = ratio(kb, tb, ka, ta)
    print('    {%d, %d, %s, %d, %s, %s, %s, %s, %s},' % (months, kb, num(tb), ka, num(ta), num(rr), num(lo), num(up), num(p)))
