#include "core/analysis/summary_counts.h"

#include "core/reports/calendar.h"

namespace orvanta {

QString SummaryCaption(AnalysisAxis axis) {
  switch (axis) {
    case AnalysisAxis::DeviceInUse: return QStringLiteral("原因器材の使用中");
    case AnalysisAxis::DepartmentExperience: return QStringLiteral("当該部署経験年数");
    case AnalysisAxis::Infection: return QStringLiteral("患者感染症の有無");
    default: return AxisCaption(axis, CaptionDot::FullWidth);
  }
}

std::array<QString, kAxisCount> SummaryCaptions() {
  std::array<QString, kAxisCount> out;
  for (int i = 0; i < kAxisCount; ++i) out[static_cast<std::size_t>(i)] = SummaryCaption(AxisAt(i));
  return out;
}

QStringList SummaryListTexts(AnalysisAxis axis, const CodeLists& lists,
                             const std::array<QString, kSiteSlots>& siteNames) {
  // The filter labels of the items are the entries of this view's lists.
  return CategoryLabels(axis, LabelKind::Filter, lists, siteNames);
}

QStringList SummaryRowTexts(AnalysisAxis axis, const CodeLists& lists,
                            const std::array<QString, kSiteSlots>& siteNames) {
  if (IsCodeListAxis(axis)) {
    QStringList out;
    for (const CodeEntry& e : lists[static_cast<std::size_t>(AxisNumber(axis))].entries)
      out << e.code + QLatin1Char(' ') + e.name;
    return out;
  }
  QStringList out = SummaryListTexts(axis, lists, siteNames);
  out.removeFirst();  // "全て"
  return out;
}

std::array<QString, kAxisCount> SelectedListTexts(const AxisFilter& filter, const CodeLists& lists,
                                                  const std::array<QString, kSiteSlots>& siteNames) {
  std::array<QString, kAxisCount> out;
  for (int i = 0; i < kAxisCount; ++i) {
    const int p = filter.selection[static_cast<std::size_t>(i)];
    const QStringList texts = SummaryListTexts(AxisAt(i), lists, siteNames);
    if (p >= 0 && p < texts.size()) out[static_cast<std::size_t>(i)] = texts[p];
  }
  return out;
}

SummaryResult ComputeSummary(const DrivePaths& paths, int newestFileNo, const CodeLists& lists,
                             const AnalysisPeriod& period, const AxisFilter& filter,
                             const std::array<QString, kAxisCount>& selectedTexts, int threads) {
  SummaryResult result;
  result.period = period;
  result.fromDay = SerialDay(period.from.year, period.from.month, period.from.day);
  result.toDay = SerialDay(period.to.year, period.to.month, period.to.day);
  result.filter = filter;
  result.selectedTexts = selectedTexts;
  result.captions = SummaryCaptions();

  // Each file is counted on the thread that read it; the counts are added up
  // in file order.
  struct FileCounts {
    SummaryCounts counts;
    std::int64_t matching = 0;
  };
  const CategoryIndex index(lists);
  const FilterTest test(filter, lists);
  const ScanSummary scanned = ScanReportsInParts<FileCounts>(
      paths, newestFileNo, period,
      [&](const ScannedFile& file) {
        FileCounts part;
        CategorySet set;
        for (const ReportFacts& r : file.reports()) {
          if (!test.passes(r)) continue;
          ++part.matching;
          for (int a = 0; a < kAxisCount; ++a) {
            CategoriesOf(AxisAt(a), r, index, set);
            part.counts.add(AxisAt(a), set);
          }
        }
        return part;
      },
      [&](FileCounts&& part) {
        result.counts.add(part.counts);
        result.matching += part.matching;
      },
      threads);
  result.unreadableFiles = scanned.unreadableFiles;
  result.cutShortFiles = scanned.cutShortFiles;
  return result;
}

QString SummaryResult::conditionsText() const {
  QString conditions;
  for (int i = 0; i < kAxisCount; ++i) {
    if (!restricted(AxisAt(i))) continue;
    conditions += captions[static_cast<std::size_t>(i)] + QStringLiteral("  ") +
                  selectedTexts[static_cast<std::size_t>(i)] + QStringLiteral("; ");
  }
  if (conditions.isEmpty()) conditions = QStringLiteral("全ての報告書");
  return conditions;
}

}  // namespace orvanta
