#include "core/output/summary_csv.h"

#include "core/analysis/summary_counts.h"
#include "core/output/csv_file.h"
#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

const QString kEnd = QStringLiteral("\r\n");

// A number with two digits: a leading zero for 0 to 9.
QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// One section: the item's name on its first line, an empty first column on
// the others.
class Section {
 public:
  Section(QString& text, QString name) : text_(text), name_(std::move(name)) {}
  void line(const QString& label, std::int32_t count) {
    text_ += (first_ ? name_ : QString()) + u',' + label + u',' + QString::number(count) + kEnd;
    first_ = false;
  }

 private:
  QString& text_;
  QString name_;
  bool first_ = true;
};

}  // namespace

QString SummaryCsvText(const SummaryResult& r, const CodeLists& lists,
                       const std::array<QString, kSiteSlots>& siteNames) {
  const AnalysisPeriod& p = r.period;
  QString text = QStringLiteral("トンリクスレポート集計書") + kEnd;
  text += QString::number(p.from.year) + QStringLiteral("年") + QString::number(p.from.month) + QStringLiteral("月") +
          QString::number(p.from.day) + QStringLiteral("日～") + QString::number(p.to.year) + QStringLiteral("年") +
          QString::number(p.to.month) + QStringLiteral("月") + QString::number(p.to.day) + QStringLiteral("日 ") + kEnd;
  text += QStringLiteral("該当件数,") + QString::number(r.matching) + kEnd;

  text += QStringLiteral("抽出条件,") + r.conditionsText() + kEnd;
  text += QStringLiteral("分類,項目,件数") + kEnd;

  const auto count = [&r](AnalysisAxis axis, int n) { return r.counts.count(axis, n); };

  if (!r.restricted(AnalysisAxis::Hour)) {
    Section s(text, QStringLiteral("時刻"));
    for (int n = 1; n <= 12; ++n) {
      s.line(TwoDigits(n) + QStringLiteral(". ") + QString::number(2 * (n - 1)) + QStringLiteral("時～") +
                 QString::number(2 * n) + QStringLiteral("時"),
             count(AnalysisAxis::Hour, n));
    }
  }
  if (!r.restricted(AnalysisAxis::Month) && r.longerThan31Days()) {
    Section s(text, QStringLiteral("発生月"));
    for (int n = 1; n <= 12; ++n)
      s.line(TwoDigits(n) + QStringLiteral(". ") + QString::number(n) + QStringLiteral("月"),
             count(AnalysisAxis::Month, n));
  }
  // The bands, the infection results (without "その他") and the emergency
  // answers under their fixed labels.
  const struct {
    AnalysisAxis axis;
    const char16_t* name;
    int categories;
  } kFixed[] = {
      {AnalysisAxis::Experience, u"経験年数", 8},
      {AnalysisAxis::DepartmentExperience, u"当該部署経験年数", 8},
      {AnalysisAxis::Infection, u"患者感染症の有無", 9},
      {AnalysisAxis::Emergency, u"緊急処置時", 2},
  };
  for (const auto& f : kFixed) {
    if (r.restricted(f.axis)) continue;
    const QStringList labels = SummaryRowTexts(f.axis, lists, siteNames);
    Section s(text, QString::fromUtf16(f.name));
    for (int n = 1; n <= f.categories; ++n) s.line(labels[n - 1], count(f.axis, n));
  }
  for (int i = 0; i < kCodeListAxisCount; ++i) {
    const AnalysisAxis axis = AxisAt(i);
    const CodeList& list = lists[static_cast<std::size_t>(i)];
    if (r.restricted(axis) || list.count() == 0) continue;
    Section s(text, r.captions[static_cast<std::size_t>(i)]);
    for (int n = 1; n <= list.count(); ++n) {
      const CodeEntry& e = list.entries[n - 1];
      s.line(e.code + u'.' + e.name, count(axis, n));
    }
  }
  if (!r.restricted(AnalysisAxis::BodySite)) {
    Section s(text, r.captions[static_cast<std::size_t>(AxisNumber(AnalysisAxis::BodySite))]);
    for (int n = 1; n <= kSiteCount; ++n)
      s.line(QString::number(n) + u'.' + siteNames[static_cast<std::size_t>(n - 1)], count(AnalysisAxis::BodySite, n));
  }
  return text;
}

bool WriteSummaryCsvFile(Prompts& prompts, const DrivePaths& paths, const CodeLists& lists,
                         const SummaryResult& result) {
  return WriteCsvFile(prompts, paths, QStringLiteral("レポート.csv"),
                      [&] { return SummaryCsvText(result, lists, BodySiteNames()); });
}

}  // namespace orvanta
