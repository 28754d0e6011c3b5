// Writes a sample collection under a home folder, as the program would leave
// it after some years of use: the folders, set.dat with the default lists,
// ttid.dat, an empty password (so no login is asked) and the record of an
// earlier start, and generated reports (no real person's data) dated over
// the five years up to a given day, in the order they happened, and the
// database with what the follow-up and rates windows show: the follow-up of
// a few recent reports (tests done, due soon and overdue, one closed), the
// denominators of every 年度 and two interventions. The pictures of the user
// guide are taken on it (tools/guide-screenshots.sh), so every person in it
// is plainly made up: reporters are named 見本, patients 例, and staff and
// chart numbers are short runs of zeros with a counter at the end.
//
//   make_sample_collection HOME [REPORTS] [YYYY-MM-DD]
//
// REPORTS defaults to 600, the day to today. The same arguments give the
// same files.

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "core/app/app_state.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "core/codelists/code_lists.h"
#include "core/followup/followup_case.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/rates/denominators.h"
#include "core/rates/interventions.h"
#include "core/reports/data_file.h"
#include "core/reports/note_text.h"
#include "support/bench_collection.h"
#include "support/synthetic_collection.h"

namespace orvanta {
namespace {

constexpr int kYearsCovered = 5;
constexpr std::int32_t kLastDefaultCodeId = 461;

// Moves a generated report (dated 2015 to 2024) into the kYearsCovered years
// that end on lastDay, keeping its month, day and time.
void Redate(ReportRecord& r, const QDate& lastDay) {
  const int generated = r.Years[0];
  int year = lastDay.year() - (2024 - generated) % kYearsCovered;
  if (r.Months[0] == 2 && r.Days[0] == 29) r.Days[0] = 28;  // a leap day may not exist in the new year
  if (QDate(year, r.Months[0], r.Days[0]) > lastDay) year -= kYearsCovered;
  const int shift = year - generated;
  r.Years[0] += shift;
  r.Years[1] += shift;
}

QDate OccurredOn(const ReportRecord& r) { return QDate(r.Years[0], r.Months[0], r.Days[0]); }

QDate FirstOfMonth(const QDate& day) { return QDate(day.year(), day.month(), 1); }

// The day the sample's first intervention took effect: from then on fewer
// injuries happen, most of all with the winged needles it replaced, so that
// the trend and the before/after comparison have something to show.
QDate SafetyDevicesIntroduced(const QDate& lastDay) { return FirstOfMonth(lastDay).addMonths(-30); }
constexpr int kWingedNeedleCategory = 6;
constexpr double kWingedNeedlesAvoided = 0.8;
constexpr double kOthersAvoided = 0.3;

// The people of the sample: one name to a staff number, so that a reporter
// keeps the same number in every report.
const char16_t* const kGivenNames[] = {
    u"花子", u"太郎", u"一郎", u"次郎", u"三郎", u"春子", u"夏子", u"秋子", u"冬子", u"桃子",
    u"一子", u"二郎", u"梅子", u"松男", u"竹男", u"菊子", u"良子", u"正男", u"明子", u"和子",
};
constexpr int kPeople = static_cast<int>(std::size(kGivenNames));

// The answers to question 16 (what happened) and 17 (how it could have
// been avoided) and the remarks, each from its own sentences.
const char16_t* const kWhatHappened[] = {
    u"病棟の処置室で採血後にリキャップしようとして左手の示指を刺した",
    u"点滴の抜針時に患者が急に動いたため、針が右手の母指に刺さった",
    u"使用済みの針を廃棄容器に入れる際に、容器の口から出ていた針に触れた",
    u"夜勤帯で人手が少なく急いでいた",
    u"手袋は着用していたが貫通した",
    u"針捨て容器がベッドサイドになかった",
    u"手術室で縫合中に持針器から針が外れて指に刺さった",
    u"処置台の上に置かれた注射器に気づかず、手を伸ばした際に刺した",
    u"直ちに流水で洗浄し、上司に報告した",
};
const char16_t* const kAvoidance[] = {
    u"安全装置付きの器材を使えば防げた",
    u"手順を守り、リキャップをしないこと",
    u"廃棄容器を処置のそばに置いておくべきだった",
    u"介助者と声をかけ合ってから抜針すればよかった",
    u"使用済みの針をすぐに廃棄容器に入れるべきだった",
    u"患者に処置の前に説明し、動かないよう協力を得るべきだった",
};
const char16_t* const kRemarks[] = {
    u"所属長に報告済み",
    u"産業医の面談を受けた",
    u"翌日に再度採血の予定",
};

template <std::size_t N>
QString Sentences(std::mt19937_64& rng, const char16_t* const (&from)[N], int most) {
  std::vector<int> order(N);
  for (std::size_t i = 0; i < N; ++i) order[i] = static_cast<int>(i);
  std::shuffle(order.begin(), order.end(), rng);
  const int count = std::uniform_int_distribution<int>(1, std::min<int>(most, N))(rng);
  QString typed;
  for (int i = 0; i < count; ++i) typed += QString::fromUtf16(from[order[i]]) + QStringLiteral("。\r\n");
  typed.chop(2);
  return NoteForStorage(typed);
}

QString Counter(int n, int width) { return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')); }

// Puts plainly invented people and fitting answers into the reports of the
// sample (the n-th report is reports[n - 1]). The newest report, the one the
// report window shows first, answers both questions in several lines.
void MakeUp(std::vector<ReportRecord>& reports) {
  std::mt19937_64 rng(20240402);
  std::uniform_int_distribution<int> person(0, kPeople - 1);
  std::bernoulli_distribution often(0.7);
  for (std::size_t i = 0; i < reports.size(); ++i) {
    ReportRecord& r = reports[i];
    const bool newest = i + 1 == reports.size();
    const int who = newest ? 0 : person(rng);
    r.Texts[kReporterName] = QStringLiteral("見本　") + QString::fromUtf16(kGivenNames[who]);
    r.Texts[kStaffNumber] = Counter(who + 1, 4);
    r.Texts[kRecordNumber] = Counter(static_cast<int>(i) + 1, 6);
    if (!r.Texts[kPatientName].isEmpty() || newest) {
      r.Texts[kPatientName] = QStringLiteral("例　") + QString::fromUtf16(kGivenNames[person(rng)]);
      r.Texts[kPatientRecordNumber] = Counter(static_cast<int>(i) + 1, 8);
    } else {
      r.Texts[kPatientRecordNumber].clear();
    }
    r.Notes[0] = newest || often(rng) ? Sentences(rng, kRemarks, 1) : QString();
    r.Notes[1] = Sentences(rng, kWhatHappened, newest ? 1 : 4);
    r.Notes[2] = newest || often(rng) ? Sentences(rng, kAvoidance, 2) : QString();
  }
  ReportRecord& newest = reports.back();
  newest.Notes[1] = NoteForStorage(QStringLiteral(
      "(1)病棟の処置室\r\n(2)点滴の抜針\r\n(3)翼状針\r\n(4)抜針の直後に患者が腕を動かし、針が左手の示指に刺さった\r\n"
      "(5)夜勤帯で人手が少なく、一人で処置していた\r\n(6)直ちに流水で洗浄し、上司に報告した"));
  newest.Notes[2] =
      NoteForStorage(QStringLiteral("抜針の前に患者に声をかけ、腕を支えてもらえばよかった。\r\n安全装置付きの翼状針を使"
                                    "い、すぐに廃棄容器に入れる。"));
}

// The report that happened nearest to a day, of those not taken yet.
const ReportRecord* NearestTo(const std::vector<ReportRecord>& reports, const QDate& day,
                              const std::set<std::int32_t>& taken) {
  const ReportRecord* nearest = nullptr;
  for (const ReportRecord& r : reports) {
    if (taken.count(r.ReportId)) continue;
    if (!nearest || std::abs(OccurredOn(r).daysTo(day)) < std::abs(OccurredOn(*nearest).daysTo(day))) nearest = &r;
  }
  return nearest;
}

// The follow-up of the reports nearest to some days before lastDay, planned
// by the default schedule: every test due before lastDay done (with a
// result) except one left overdue, and the oldest case closed. The newest
// report keeps no case, so that its follow-up can be started in the pictures.
bool WriteFollowups(AppState& state, const std::vector<ReportRecord>& reports, const QDate& lastDay, QString* error) {
  std::vector<ScheduleEntry> schedule;
  if (!ReadSchedule(state.database.connection(), &schedule, error)) return false;
  std::set<std::int32_t> started{reports.back().ReportId};
  bool overdueLeft = false;
  // Days back from lastDay: tests of 6 weeks, 3 and 6 months fall due soon.
  for (const int daysBack : {40, 86, 178, 9, 250}) {
    const ReportRecord* nearest = NearestTo(reports, lastDay.addDays(-daysBack), started);
    if (!nearest) break;
    const ReportRecord& report = *nearest;
    started.insert(report.ReportId);
    FollowupCase followup = CaseFromReport(report, state.lists);
    followup.sources = SourceStatuses{SourceStatus::Negative, SourceStatus::Unknown, SourceStatus::Positive};
    if (daysBack == 178) followup.sources.set(Pathogen::HIV, SourceStatus::Positive);
    Prophylaxis& given = followup.of(Prophylactic::Hbig);
    given.given = true;
    given.at = QDateTime(followup.worker.incident.addDays(1), QTime(10, 30));
    std::vector<FollowupTest> tests = PlanSchedule(followup, schedule, {});
    if (!AddPlannedTests(state.database, followup, &tests, error)) return false;
    for (FollowupTest& test : tests) {
      if (test.due >= lastDay) continue;
      if (!overdueLeft && test.due > lastDay.addDays(-30)) {
        overdueLeft = true;
        continue;
      }
      test.done = test.due.addDays(1) < lastDay ? test.due.addDays(1) : test.due;
      test.result = QStringLiteral("陰性");
      if (!UpdateTest(state.database, test, error)) return false;
    }
    if (daysBack == 250) {
      followup.closedOn = lastDay.addDays(-20);
      followup.closedReason = QStringLiteral("汚染源の患者の陰性を確認");
      if (!SaveCase(state.database, followup, error)) return false;
    }
  }
  return true;
}

// The denominators of every 年度 from the first report's to lastDay's, a
// little more each year, and two interventions in between.
bool WriteRatesData(AppState& state, const std::vector<ReportRecord>& reports, const QDate& lastDay, QString* error) {
  const auto fiscalYear = [](const QDate& day) { return day.month() >= 4 ? day.year() : day.year() - 1; };
  const auto idAt = [&state](int list, int category) {
    return state.lists[static_cast<std::size_t>(list)].entries[category - 1].id;
  };
  std::vector<std::pair<DenominatorKey, std::optional<double>>> values;
  const int first = fiscalYear(OccurredOn(reports.front()));
  for (int year = first; year <= fiscalYear(lastDay); ++year) {
    const int step = year - first;
    values.push_back({{year, DenominatorKind::Beds, 0}, 420 + 6 * step});
    values.push_back({{year, DenominatorKind::PatientDays, 0}, 138000 + 2100 * step});
    values.push_back({{year, DenominatorKind::Fte, idAt(kOccupations, 1)}, 82 + 3 * step});
    values.push_back({{year, DenominatorKind::Fte, idAt(kOccupations, 2)}, 24 + step});
    values.push_back({{year, DenominatorKind::Fte, idAt(kOccupations, 4)}, 365 + 5 * step});
    values.push_back({{year, DenominatorKind::Fte, idAt(kOccupations, 8)}, 31});
    values.push_back({{year, DenominatorKind::Devices, idAt(kDevices, 1)}, 152000 + 3000 * step});
    values.push_back({{year, DenominatorKind::Devices, idAt(kDevices, 6)}, 48000 - 1500 * step});
    values.push_back({{year, DenominatorKind::Devices, idAt(kDevices, 7)}, 61000 + 1000 * step});
  }
  std::int64_t id = 0;
  return StoreDenominators(state.database, values, error) &&
         AddIntervention(state.database, SafetyDevicesIntroduced(lastDay), QStringLiteral("安全装置付き翼状針の導入"),
                         &id, error) &&
         AddIntervention(state.database, FirstOfMonth(lastDay).addMonths(-14), QStringLiteral("針刺し防止研修"), &id,
                         error);
}

int Write(const QString& home, int reportCount, const QDate& lastDay) {
  QTextStream err(stderr);
  NoPrompts prompts;
  FixedClock clock(QDateTime(lastDay.addYears(-kYearsCovered), QTime(9, 0)));
  AppState state(home, prompts, clock);
  if (QFileInfo::exists(state.paths.DataFolderPath())) {
    err << "make_sample_collection: " << state.paths.DataFolderPath() << " exists already\n";
    return 1;
  }
  QString failed;
  if (!PrepareDataFolder(state.paths, &failed)) {
    err << "make_sample_collection: cannot make " << failed << "\n";
    return 1;
  }
  RecordFirstStart(state.paths, clock);  // the record of an earlier start
  QString error;
  if (!WritePasswordFile(state.paths.PasswordFilePath(), QString(), &error) ||
      !LoadCodeLists(state.lists, state.paths, clock.now(), nullptr, &error)) {
    err << "make_sample_collection: " << error << "\n";
    return 1;
  }

  std::mt19937_64 rng(20240401);
  std::mt19937_64 avoidance(20231001);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  const QDate introduced = SafetyDevicesIntroduced(lastDay);
  const std::int32_t wingedNeedle = state.lists[kDevices].entries[kWingedNeedleCategory - 1].id;
  std::vector<ReportRecord> reports;
  while (static_cast<int>(reports.size()) < reportCount) {
    ReportRecord r = MakeSyntheticReport(rng, 0);
    Redate(r, lastDay);
    if (QDate(r.Years[1], r.Months[1], r.Days[1]) > lastDay) continue;  // not reported yet
    const bool avoided =
        OccurredOn(r) >= introduced &&
        chance(avoidance) < (r.AnswerIds[kDevices] == wingedNeedle ? kWingedNeedlesAvoided : kOthersAvoided);
    if (!avoided) reports.push_back(r);
  }
  std::stable_sort(reports.begin(), reports.end(), [](const ReportRecord& a, const ReportRecord& b) {
    return std::tie(a.Years[0], a.Months[0], a.Days[0], a.Hours[0], a.Minutes[0]) <
           std::tie(b.Years[0], b.Months[0], b.Days[0], b.Hours[0], b.Minutes[0]);
  });
  for (int i = 0; i < reportCount; ++i) reports[i].ReportId = i + 1;
  MakeUp(reports);
  // The newest report knows its source patient: HCV positive, HBV not tested.
  reports.back().Choices[1] = 1;
  reports.back().Choices[2] = 2;
  reports.back().Choices[3] = 1;
  reports.back().Choices[4] = 3;

  IdCounters counters;
  counters.LastCodeId = kLastDefaultCodeId;
  int fileNo = 0;
  for (int first = 0; first < reportCount; first += kFileCapacity, ++fileNo) {
    const int last = std::min(reportCount, first + kFileCapacity);
    const std::vector<ReportRecord> table(reports.begin() + first, reports.begin() + last);
    if (!WriteDataFile(state.paths.DataFilePath(fileNo), table, &error)) {
      err << "make_sample_collection: " << error << "\n";
      return 1;
    }
  }
  counters.LastReportId = reportCount;
  counters.NewestFileNo = static_cast<std::int16_t>(fileNo - 1);
  counters.TotalReports = reportCount;
  if (!WriteIdFile(state.paths.IdFilePath(), counters, &error)) {
    err << "make_sample_collection: " << error << "\n";
    return 1;
  }
  QString notice;
  if (!state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error) ||
      !WriteFollowups(state, reports, lastDay, &error) || !WriteRatesData(state, reports, lastDay, &error)) {
    err << "make_sample_collection: " << error << "\n";
    return 1;
  }
  state.database.close();
  QTextStream(stdout) << reportCount << " reports from " << OccurredOn(reports.front()).toString(Qt::ISODate) << " to "
                      << OccurredOn(reports.back()).toString(Qt::ISODate) << " in " << state.paths.DataFolderPath()
                      << "\n";
  return 0;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2 || args.size() > 4) {
    QTextStream(stderr) << "usage: make_sample_collection HOME [REPORTS] [YYYY-MM-DD]\n";
    return 2;
  }
  const int reports = args.size() > 2 ? args[2].toInt() : 600;
  const QDate lastDay = args.size() > 3 ? QDate::fromString(args[3], Qt::ISODate) : QDate::currentDate();
  if (reports < 1 || reports > 1000 * 1000 || !lastDay.isValid()) {
    QTextStream(stderr) << "make_sample_collection: REPORTS 1 to 1000000, the day as YYYY-MM-DD\n";
    return 2;
  }
  return orvanta::Write(args[1], reports, lastDay);
}
