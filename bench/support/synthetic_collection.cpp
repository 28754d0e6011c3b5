#include "support/synthetic_collection.h"

#include <QDir>
#include <array>
#include <vector>

#include "core/platform/safe_save.h"
#include "core/reports/note_text.h"

namespace orvanta {
namespace {

// The id ranges of the default code lists 0 to 9.
// clang-format off
constexpr std::array<std::pair<int, int>, 10> kAnswerIdRanges{{
    {1, 14}, {51, 66}, {101, 116}, {150, 163}, {201, 251},
    {301, 304}, {321, 323}, {341, 344}, {401, 438}, {451, 461},
}};
// clang-format on
// Number of options of Choices(0) to (9).
constexpr std::array<int, 10> kChoiceOptions{2, 3, 3, 3, 3, 2, 2, 4, 2, 2};
constexpr std::int32_t kLastDefaultCodeId = 461;

const char16_t* const kFamilyNames[] = {
    u"佐藤", u"鈴木", u"高橋",   u"田中", u"伊藤", u"渡辺", u"山本", u"中村", u"小林", u"加藤",
    u"吉田", u"山田", u"佐々木", u"山口", u"松本", u"井上", u"木村", u"林",   u"斎藤", u"清水",
};
const char16_t* const kGivenNames[] = {
    u"花子", u"太郎", u"美咲",   u"健一", u"由美", u"翔太", u"陽子", u"大輔", u"真理子", u"誠",
    u"恵",   u"直樹", u"さくら", u"浩二", u"愛",   u"拓也", u"智子", u"亮",   u"ゆかり", u"和也",
};
const char16_t* const kNoteFragments[] = {
    u"採血後にリキャップしようとして左手の示指を刺した",
    u"点滴の抜針時に患者が急に動いたため",
    u"使用済みの針を廃棄容器に入れる際に",
    u"夜勤帯で人手が少なく急いでいた",
    u"手袋は着用していたが貫通した",
    u"針捨て容器がベッドサイドになかった",
    u"縫合中に持針器から針が外れて",
    u"処置台の上に置かれた注射器に気づかず",
    u"直ちに流水で洗浄し上司に報告した",
    u"安全装置付きの器材を使えば防げた",
    u"手順を守り、リキャップをしないこと",
    u"廃棄容器を処置のそばに置いておくべきだった",
    u"介助者との声かけが不足していた",
};
const char16_t* const kOtherTexts[] = {
    u"透析室", u"検査助手", u"内視鏡処置", u"ｶﾃｰﾃﾙ抜去時", u"縫合針", u"ランセット",
};
const char16_t* const kProducts[] = {
    u"セーフティ翼状針",
    u"安全装置付き留置針",
    u"ｾｰﾌﾃｨｰｼﾘﾝｼﾞ",
    u"真空採血針ホルダー",
};
const char16_t* const kInfections[] = {u"梅毒", u"HTLV-1", u"MRSA"};

template <typename T, std::size_t N>
QString Pick(std::mt19937_64& rng, const T (&items)[N]) {
  return QString::fromUtf16(items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)]);
}

int Uniform(std::mt19937_64& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool Chance(std::mt19937_64& rng, double p) { return std::bernoulli_distribution(p)(rng); }

QString Digits(std::mt19937_64& rng, int count) {
  QString s;
  for (int i = 0; i < count; ++i) s += QChar(u'0' + Uniform(rng, 0, 9));
  return s;
}

QString Name(std::mt19937_64& rng) { return Pick(rng, kFamilyNames) + QChar(u'　') + Pick(rng, kGivenNames); }

// Years as typed: "5", " 12" (a blank in front now and then).
QString YearsText(std::mt19937_64& rng, int lo, int hi) {
  QString s = QString::number(Uniform(rng, lo, hi));
  if (Chance(rng, 0.2)) s.prepend(QLatin1Char(' '));
  return s;
}

// A note of one to four sentences, now and then on several lines.
QString Note(std::mt19937_64& rng) {
  QString typed;
  const int sentences = Uniform(rng, 1, 4);
  for (int i = 0; i < sentences; ++i) {
    if (i > 0) typed += Chance(rng, 0.3) ? QStringLiteral("\r\n") : QStringLiteral("、");
    typed += Pick(rng, kNoteFragments);
  }
  typed += QStringLiteral("。");
  return NoteForStorage(typed);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

ReportRecord MakeSyntheticReport(std::mt19937_64& rng, std::int32_t reportId) {
  ReportRecord r;
  r.ReportId = reportId;
  r.Texts[kRecordNumber] = QStringLiteral("K") + Digits(rng, 7);
  if (Chance(rng, 0.1)) r.Texts[kOtherInfection] = Pick(rng, kInfections);
  r.Texts[kExperienceYears] = YearsText(rng, 0, 35);
  r.Texts[kAge] = QString::number(Uniform(rng, 20, 65));
  if (Chance(rng, 0.6)) r.Texts[kPatientRecordNumber] = Digits(rng, 8);
  r.Texts[kReporterName] = Name(rng);
  if (Chance(rng, 0.6)) r.Texts[kPatientName] = Name(rng);
  r.Texts[kStaffNumber] = QStringLiteral("S") + Digits(rng, 5);
  r.Texts[kDepartmentYears] = YearsText(rng, 0, 15);

  for (int i = 0; i < 10; ++i) r.Choices[i] = Chance(rng, 0.05) ? 0 : Uniform(rng, 1, kChoiceOptions[i]);
  for (int k = 0; k < 10; ++k) {
    r.AnswerIds[k] = Chance(rng, 0.05) ? 0 : Uniform(rng, kAnswerIdRanges[k].first, kAnswerIdRanges[k].second);
  }

  if (Chance(rng, 0.3)) r.Notes[0] = Note(rng);
  r.Notes[1] = Note(rng);
  if (Chance(rng, 0.7)) r.Notes[2] = Note(rng);
  for (int i = 0; i < 5; ++i) {
    if (Chance(rng, 0.08)) r.OtherTexts[i] = Pick(rng, kOtherTexts);
  }
  if (r.Choices[5] == 1) r.OtherTexts[5] = Pick(rng, kProducts);

  // Occurrence over ten years; the report a few days later.
  const int year = Uniform(rng, 2015, 2024);
  const int month = Uniform(rng, 1, 12);
  const int day = Uniform(rng, 1, DaysInMonth(year, month));
  r.Years[0] = year;
  r.Months[0] = month;
  r.Days[0] = day;
  r.Hours[0] = Uniform(rng, 0, 23);
  r.Minutes[0] = Uniform(rng, 0, 59);
  int reportDay = day + Uniform(rng, 0, 6);
  int reportMonth = month;
  int reportYear = year;
  if (reportDay > DaysInMonth(year, month)) {
    reportDay -= DaysInMonth(year, month);
    if (++reportMonth > 12) {
      reportMonth = 1;
      ++reportYear;
    }
  }
  r.Years[1] = reportYear;
  r.Months[1] = reportMonth;
  r.Days[1] = reportDay;

  const int marked = Uniform(rng, 0, 3);
  for (int i = 0; i < marked; ++i) {
    int site = Uniform(rng, 1, kSiteCount);
    if (site == 29) site = 30;  // site 29 has no check box
    r.Sites[site - 1] = 1;
  }
  return r;
}

IdCounters GenerateCollection(const QString& folder, int reportCount, std::uint64_t seed, int reportsPerFile) {
  IdCounters counters;
  counters.LastCodeId = kLastDefaultCodeId;
  if (!MakeOwnerOnlyFolder(folder) || reportsPerFile < 1) {
    counters.TotalReports = -1;
    return counters;
  }
  std::mt19937_64 rng(seed);
  std::vector<ReportRecord> table;
  int fileNo = 0;
  int written = 0;
  do {
    const int n = std::min(reportsPerFile, reportCount - written);
    table.clear();
    table.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) table.push_back(MakeSyntheticReport(rng, written + i + 1));
    if (!WriteDataFile(QDir(folder).filePath(QStringLiteral("%1.dat").arg(fileNo)), table)) {
      counters.TotalReports = -1;
      return counters;
    }
    written += n;
    ++fileNo;
  } while (written < reportCount);
  counters.LastReportId = written;
  counters.NewestFileNo = static_cast<std::int16_t>(fileNo - 1);
  counters.TotalReports = written;
  return counters;
}

}  // namespace orvanta
