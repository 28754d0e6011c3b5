#include "core/analysis/item_graph.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

QString LeadingBlankNumber(double value) {
  // Up to 15 significant digits, no exponent and no trailing zeros, as the
  // counts and scale values of a graph need.
  QString digits = QString::number(value, 'f', 10);
  if (digits.contains(u'.')) {
    while (digits.endsWith(u'0')) digits.chop(1);
    if (digits.endsWith(u'.')) digits.chop(1);
  }
  if (digits == QStringLiteral("-0")) digits = QStringLiteral("0");
  return digits.startsWith(u'-') ? digits : QLatin1Char(' ') + digits;
}

QStringList ItemGraphLabels(AnalysisAxis axis, const CodeLists& lists,
                            const std::array<QString, kSiteSlots>& siteNames) {
  switch (axis) {
    case AnalysisAxis::Month:
    case AnalysisAxis::Experience:
    case AnalysisAxis::DepartmentExperience:
    case AnalysisAxis::BodySite:
      // " 1月"; the year bands; " 1右手親指外側" ... " 29".
      return CategoryLabels(axis, LabelKind::Table, lists, siteNames);
    case AnalysisAxis::Hour: {
      QStringList out;
      for (int k = 0; k < 12; ++k)
        out << LeadingBlankNumber(2 * k) + QStringLiteral("時～") + LeadingBlankNumber(2 * k + 2) +
                   QStringLiteral("時");
      return out;
    }
    case AnalysisAxis::Infection: {
      QStringList out;
      for (const QString& label : CategoryLabels(axis, LabelKind::Table, lists, siteNames)) out << u' ' + label;
      return out;
    }
    default: {
      // Code-list names, and "はい", "いいえ": the filter labels without "全て".
      QStringList out = CategoryLabels(axis, LabelKind::Filter, lists, siteNames);
      out.removeFirst();
      return out;
    }
  }
}

double ItemGraphMiddleValue(double maximum) { return std::floor(maximum / 2.0 * 10.0) / 10.0; }

ItemGraphCounter::ItemGraphCounter(AnalysisAxis axis, const AxisFilter& filter, const CodeLists& lists)
    : axis_(axis),
      index_(lists),
      filter_(filter, lists),
      counts_(static_cast<std::size_t>(std::max(CategoryCount(axis, lists), 0)), 0) {}

void ItemGraphCounter::add(const ReportFacts& report) {
  if (!filter_.passes(report)) return;
  CategoriesOf(axis_, report, index_, categories_);
  const int n = static_cast<int>(counts_.size());
  for (const int c : categories_) {
    if (c >= 1 && c <= n) ++counts_[static_cast<std::size_t>(c - 1)];
  }
}

void ItemGraphCounter::addFile(const ScannedFile& file) {
  for (const ReportFacts& report : file.reports()) add(report);
}

ItemGraphResult ComputeItemGraph(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                                 const std::array<QString, kSiteSlots>& siteNames, AnalysisAxis axis,
                                 const AnalysisPeriod& period, const AxisFilter& filter, int threads) {
  // Each file is counted on the thread that read it; the counts are added up
  // in file order.
  const CategoryIndex index(lists);
  const FilterTest test(filter, lists);
  const std::size_t categories = static_cast<std::size_t>(std::max(CategoryCount(axis, lists), 0));
  std::vector<std::int64_t> counts(categories, 0);
  const ScanSummary scanned = ScanReportsInParts<std::vector<std::int64_t>>(
      paths, newestFileNo, period,
      [&](const ScannedFile& file) {
        std::vector<std::int64_t> part(categories, 0);
        CategorySet set;
        for (const ReportFacts& report : file.reports()) {
          if (!test.passes(report)) continue;
          CategoriesOf(axis, report, index, set);
          for (const int c : set) {
            if (c >= 1 && static_cast<std::size_t>(c) <= categories) ++part[static_cast<std::size_t>(c - 1)];
          }
        }
        return part;
      },
      [&](std::vector<std::int64_t>&& part) {
        for (std::size_t i = 0; i < categories; ++i) counts[i] += part[i];
      },
      threads);
  ItemGraphResult result;
  result.axis = axis;
  result.period = period;
  result.unreadableFiles = scanned.unreadableFiles;
  result.cutShortFiles = scanned.cutShortFiles;
  result.counts = std::move(counts);
  result.labels = ItemGraphLabels(axis, lists, siteNames);
  // The labels and counts go together slot by slot.
  while (result.labels.size() < result.categoryCount()) result.labels << QString();
  for (const std::int64_t c : result.counts) result.maximum = std::max(result.maximum, c);
  return result;
}

QString ItemGraphHeading::periodText() const {
  return LeadingBlankNumber(period.from.year) + QStringLiteral("年") + LeadingBlankNumber(period.from.month) +
         QStringLiteral("月") + LeadingBlankNumber(period.from.day) + QStringLiteral("日～") +
         LeadingBlankNumber(period.to.year) + QStringLiteral("年") + LeadingBlankNumber(period.to.month) +
         QStringLiteral("月") + LeadingBlankNumber(period.to.day) + QStringLiteral("日");
}

}  // namespace orvanta
