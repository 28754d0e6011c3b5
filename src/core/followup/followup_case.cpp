#include "core/followup/followup_case.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "core/reports/calendar.h"
#include "core/store/schema.h"

namespace orvanta {

namespace {

int Rank(Pathogen pathogen) { return static_cast<int>(pathogen); }

// The status one result of question 5 gives while the patient is known.
SourceStatus StatusOfResult(std::int32_t result) {
  switch (result) {
    case 1: return SourceStatus::Positive;
    case 2: return SourceStatus::Negative;
    default: return SourceStatus::Unknown;  // 3 未検査, or not answered
  }
}

QDate DateOf(int year, int month, int day) {
  if (!IsValidDateText(year, month, day)) return {};
  return QDate(WindowedYear(year), month, day);
}

QString EntryName(const CodeList& list, std::int32_t id) {
  const int at = id == 0 ? -1 : FindEntryById(list, id);
  return at < 0 ? QString() : list.entries[at].name;
}

}  // namespace

QString PathogenText(Pathogen pathogen) {
  switch (pathogen) {
    case Pathogen::HIV: return QStringLiteral("HIV");
    case Pathogen::HCV: return QStringLiteral("HCV");
    case Pathogen::HBV: return QStringLiteral("HBV");
    case Pathogen::Other: return QStringLiteral("その他");
  }
  return {};
}

std::optional<Pathogen> PathogenFromText(const QString& text) {
  for (Pathogen p : {Pathogen::HIV, Pathogen::HCV, Pathogen::HBV, Pathogen::Other})
    if (PathogenText(p) == text) return p;
  return std::nullopt;
}

QString SourceStatusText(SourceStatus status) {
  switch (status) {
    case SourceStatus::Positive: return QStringLiteral("陽性");
    case SourceStatus::Negative: return QStringLiteral("陰性");
    case SourceStatus::Unknown: return QStringLiteral("不明");
    case SourceStatus::NotApplicable: return QStringLiteral("対象外");
  }
  return {};
}

std::optional<SourceStatus> SourceStatusFromText(const QString& text) {
  for (SourceStatus s : kSourceStatuses)
    if (SourceStatusText(s) == text) return s;
  return std::nullopt;
}

SourceStatus SourceStatuses::of(Pathogen pathogen) const {
  switch (pathogen) {
    case Pathogen::HIV: return hiv;
    case Pathogen::HCV: return hcv;
    case Pathogen::HBV: return hbv;
    case Pathogen::Other: break;
  }
  return SourceStatus::Unknown;
}

void SourceStatuses::set(Pathogen pathogen, SourceStatus status) {
  switch (pathogen) {
    case Pathogen::HIV: hiv = status; break;
    case Pathogen::HCV: hcv = status; break;
    case Pathogen::HBV: hbv = status; break;
    case Pathogen::Other: break;
  }
}

SourceStatuses SourceStatusesFromReport(const ReportRecord& report) {
  switch (report.Choices[1]) {
    case 1:
      return SourceStatuses{StatusOfResult(report.Choices[2]), StatusOfResult(report.Choices[3]),
                            StatusOfResult(report.Choices[4])};
    case 3:
      return SourceStatuses{SourceStatus::NotApplicable, SourceStatus::NotApplicable, SourceStatus::NotApplicable};
    default: return SourceStatuses{};  // not known, or not answered: 不明
  }
}

QString OffsetUnitText(OffsetUnit unit) {
  return unit == OffsetUnit::Weeks ? QStringLiteral("週") : QStringLiteral("か月");
}

std::optional<OffsetUnit> OffsetUnitFromText(const QString& text) {
  if (text == OffsetUnitText(OffsetUnit::Weeks)) return OffsetUnit::Weeks;
  if (text == OffsetUnitText(OffsetUnit::Months)) return OffsetUnit::Months;
  return std::nullopt;
}

QString OffsetText(const ScheduleOffset& offset) {
  if (offset.count == 0) return QStringLiteral("受傷時");
  return QString::number(offset.count) + OffsetUnitText(offset.unit);
}

QDate DueDateAfter(const QDate& incident, const ScheduleOffset& offset) {
  if (!incident.isValid()) return {};
  if (offset.unit == OffsetUnit::Weeks) return incident.addDays(7LL * offset.count);
  // The same day so many calendar months later, or that month's last day.
  const int months = incident.month() - 1 + offset.count;
  const int year = incident.year() + months / 12;
  const int month = months % 12 + 1;
  return QDate(year, month, std::min(incident.day(), DaysInMonth(year, month)));
}

int ApproximateDays(const ScheduleOffset& offset) {
  // A month counts as a little more than four weeks, so "4週" comes before
  // "1か月" and "13週" before "3か月" (3 months are 89 to 92 days).
  return offset.unit == OffsetUnit::Weeks ? 7 * offset.count : offset.count * 30 + offset.count / 2 + 1;
}

void SortSchedule(std::vector<ScheduleEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const ScheduleEntry& a, const ScheduleEntry& b) {
    const auto key = [](const ScheduleEntry& e) {
      return std::make_tuple(Rank(e.pathogen), e.offset.count == 0 ? 0 : ApproximateDays(e.offset) + 1, e.test);
    };
    return key(a) < key(b);
  });
}

QString ProphylacticText(Prophylactic what) {
  switch (what) {
    case Prophylactic::Hbig: return QStringLiteral("HBIG");
    case Prophylactic::HbVaccine: return QStringLiteral("HBワクチン");
    case Prophylactic::Antiretroviral: return QStringLiteral("抗HIV薬");
  }
  return {};
}

WorkerFields WorkerFieldsFromReport(const ReportRecord& report, const CodeLists& lists) {
  WorkerFields worker;
  worker.name = report.Texts[kReporterName];
  worker.department = EntryName(lists[kDepartments], report.AnswerIds[kDepartments]);
  worker.occupation = EntryName(lists[kOccupations], report.AnswerIds[kOccupations]);
  worker.incident = DateOf(report.Years[0], report.Months[0], report.Days[0]);
  return worker;
}

FollowupCase CaseFromReport(const ReportRecord& report, const CodeLists& lists) {
  FollowupCase followup;
  followup.reportId = report.ReportId;
  followup.worker = WorkerFieldsFromReport(report, lists);
  followup.sources = SourceStatusesFromReport(report);
  return followup;
}

QString TestLabel(const QString& test, const std::optional<ScheduleOffset>& planned) {
  return planned ? test + QStringLiteral("（") + OffsetText(*planned) + QStringLiteral("）") : test;
}

void SortTests(std::vector<FollowupTest>& tests) {
  std::stable_sort(tests.begin(), tests.end(), [](const FollowupTest& a, const FollowupTest& b) {
    return std::make_tuple(a.due, Rank(a.pathogen), a.test) < std::make_tuple(b.due, Rank(b.pathogen), b.test);
  });
}

std::vector<ScheduleEntry> DefaultSchedule() {
  std::vector<ScheduleEntry> entries;
  for (const DefaultScheduleRow& row : kDefaultSchedule) {
    ScheduleEntry e;
    e.pathogen = PathogenFromText(QString::fromUtf8(row.pathogen)).value_or(Pathogen::Other);
    e.offset = ScheduleOffset{row.offsetCount,
                              OffsetUnitFromText(QString::fromUtf8(row.offsetUnit)).value_or(OffsetUnit::Weeks)};
    e.test = QString::fromUtf8(row.test);
    entries.push_back(e);
  }
  SortSchedule(entries);
  return entries;
}

HbvImmunity HbvImmunityFromReport(const ReportRecord& report) {
  switch (report.Choices[7]) {
    case 1: return HbvImmunity::Vaccinated;
    case 2: return HbvImmunity::Natural;
    case 3: return HbvImmunity::NotImmune;
    default: return HbvImmunity::Unknown;
  }
}

bool KnownImmune(HbvImmunity immunity) {
  return immunity == HbvImmunity::Vaccinated || immunity == HbvImmunity::Natural;
}

QString HbvImmunityNote(HbvImmunity immunity) {
  const QString answer = immunity == HbvImmunity::Vaccinated ? QStringLiteral("はい(ワクチン接種による)")
                         : immunity == HbvImmunity::Natural ? QStringLiteral("はい(自然陽転あるいは既往疾患などによる)")
                                                            : QString();
  if (answer.isEmpty()) return {};
  return QStringLiteral(
             "受傷者はHBs抗体陽性（設問14「%1」）のため、HBVの検査は予定に加えません"
             "（免疫のある受傷者には不要: CDCの指針、2013年）。")
      .arg(answer);
}

std::vector<FollowupTest> PlanSchedule(const FollowupCase& followup, const std::vector<ScheduleEntry>& schedule,
                                       const std::vector<FollowupTest>& existing, HbvImmunity immunity) {
  std::vector<FollowupTest> planned;
  if (!followup.worker.incident.isValid()) return planned;
  // A test of the list: its pathogen, test and point of the schedule. A test
  // added by hand stands for the point its due date falls on.
  using Key = std::tuple<int, QString, int, int>;
  const auto keyOf = [](Pathogen pathogen, const QString& test, const ScheduleOffset& offset) {
    return Key{Rank(pathogen), test, offset.count == 0 ? 0 : static_cast<int>(offset.unit), offset.count};
  };
  std::set<Key> onList;
  std::set<std::tuple<int, QString, QDate>> byDate;
  for (const FollowupTest& t : existing) {
    if (t.planned) onList.insert(keyOf(t.pathogen, t.test, *t.planned));
    byDate.insert({Rank(t.pathogen), t.test, t.due});
  }
  for (const ScheduleEntry& entry : schedule) {
    if (entry.pathogen == Pathogen::Other) continue;
    if (entry.pathogen == Pathogen::HBV && KnownImmune(immunity)) continue;
    const SourceStatus status = followup.sources.of(entry.pathogen);
    if (status != SourceStatus::Positive && status != SourceStatus::Unknown) continue;
    const QDate due = DueDateAfter(followup.worker.incident, entry.offset);
    if (!due.isValid()) continue;
    if (!onList.insert(keyOf(entry.pathogen, entry.test, entry.offset)).second) continue;
    if (!byDate.insert({Rank(entry.pathogen), entry.test, due}).second) continue;
    FollowupTest test;
    test.reportId = followup.reportId;
    test.pathogen = entry.pathogen;
    test.test = entry.test;
    test.due = due;
    test.planned = entry.offset;
    planned.push_back(test);
  }
  SortTests(planned);
  return planned;
}

QString TestProblem(const FollowupTest& test, const QDate& incident, const QDate& today) {
  if (test.test.trimmed().isEmpty()) return QStringLiteral("検査名を入力してください。");
  if (test.test.size() > kMaxTestNameLength)
    return QStringLiteral("検査名は%1文字以内で入力してください。").arg(kMaxTestNameLength);
  if (!test.due.isValid()) return QStringLiteral("予定日を入力してください。");
  if (incident.isValid() && test.due < incident)
    return QStringLiteral("予定日が受傷日（%1）より前になっています。").arg(DateText(incident));
  if (test.done.isValid()) {
    if (incident.isValid() && test.done < incident)
      return QStringLiteral("実施日が受傷日（%1）より前になっています。").arg(DateText(incident));
    if (test.done > today) return QStringLiteral("実施日が今日（%1）より後になっています。").arg(DateText(today));
  } else if (!test.result.isEmpty()) {
    return QStringLiteral("結果を入力するときは、実施日も入力してください。");
  }
  if (test.result.size() > kMaxResultLength)
    return QStringLiteral("結果は%1文字以内で入力してください。").arg(kMaxResultLength);
  if (test.remarks.size() > kMaxRemarksLength)
    return QStringLiteral("備考は%1文字以内で入力してください。").arg(kMaxRemarksLength);
  return {};
}

QString ScheduleEntryProblem(const ScheduleEntry& entry) {
  if (entry.pathogen == Pathogen::Other)
    return QStringLiteral("予定表の病原体は、HIV、HCV、HBVのいずれかを選んでください。");
  if (entry.offset.count < 0 || entry.offset.count > kMaxOffsetCount)
    return QStringLiteral("時期は0から%1までの数で入力してください。").arg(kMaxOffsetCount);
  if (entry.test.trimmed().isEmpty()) return QStringLiteral("検査名を入力してください。");
  if (entry.test.size() > kMaxTestNameLength)
    return QStringLiteral("検査名は%1文字以内で入力してください。").arg(kMaxTestNameLength);
  return {};
}

QString ClosingProblem(const QDate& closedOn, const QString& reason, const QDate& incident, const QDate& today) {
  if (!closedOn.isValid()) return QStringLiteral("終了日を入力してください。");
  if (incident.isValid() && closedOn < incident)
    return QStringLiteral("終了日が受傷日（%1）より前になっています。").arg(DateText(incident));
  if (closedOn > today) return QStringLiteral("終了日が今日（%1）より後になっています。").arg(DateText(today));
  if (reason.trimmed().isEmpty()) return QStringLiteral("終了の理由を入力してください。");
  if (reason.size() > kMaxReasonLength)
    return QStringLiteral("終了の理由は%1文字以内で入力してください。").arg(kMaxReasonLength);
  return {};
}

QString ProphylaxisProblem(Prophylactic what, const Prophylaxis& given, const QDate& incident, const QDateTime& now) {
  if (!given.given) return {};
  const QString name = ProphylacticText(what);
  if (!given.at.isValid()) return QStringLiteral("%1の投与日時を入力してください。").arg(name);
  if (incident.isValid() && given.at.date() < incident)
    return QStringLiteral("%1の投与日時が受傷日（%2）より前になっています。").arg(name, DateText(incident));
  if (given.at > now) return QStringLiteral("%1の投与日時が現在より後になっています。").arg(name);
  return {};
}

QString DateText(const QDate& date) { return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString(); }

QString MomentText(const QDateTime& moment) {
  return moment.isValid() ? moment.toString(QStringLiteral("yyyy/MM/dd HH:mm")) : QString();
}

}  // namespace orvanta
