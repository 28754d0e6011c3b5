#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QVariant>
#include <gtest/gtest.h>

#include "core/network/feedback_file.h"
#include "core/network/network_analysis.h"
#include "core/network/network_comparison.h"
#include "core/network/submission_format.h"
#include "core/network/submission_import.h"
#include "core/platform/work_progress.h"
#include "core/store/database.h"
#include "support/child_process.h"
#include "support/rates_collection.h"
#include "support/submission_files.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::ChangeSubmission;
using testing::FileBytes;
using testing::kTestMoment;
using testing::SyntheticSubmission;
using testing::WriteFileBytes;
using testing::WriteSyntheticSubmission;

const NetworkYear k2024{2024, YearKind::Fiscal};

std::int64_t Scalar(const Database& db, const QString& sql) {
  QSqlQuery query(db.connection());
  if (!query.exec(sql) || !query.next()) return -1;
  return query.value(0).toLongLong();
}

// The whole store as text: every table's rows, for "left as it was".
QString StoreText(const Database& db) {
  QString text;
  for (const char* table : {"hospital_year", "report", "denominator", "code_entry", "item_count"}) {
    QSqlQuery query(db.connection());
    query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(QLatin1String(table)));
    while (query.next()) {
      for (int i = 0; i < query.record().count(); ++i) text += query.value(i).toString() + u'|';
      text += u'\n';
    }
  }
  return text;
}

class NetworkImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(network_.open(dbPath(), kTestMoment, nullptr, &error)) << error.toStdString();
  }

  QString dbPath() const { return dir_.filePath(QStringLiteral("network.sqlite")); }

  QString write(const SyntheticSubmission& s) {
    const QString path =
        dir_.filePath(QStringLiteral("提出_%1_%2_%3.sqlite").arg(s.facilityCode).arg(s.year).arg(next_++));
    QString error;
    EXPECT_TRUE(WriteSyntheticSubmission(path, s, &error)) << error.toStdString();
    return path;
  }

  std::vector<FileImport> import(const QStringList& paths, bool replace = true,
                                 std::vector<HospitalYear>* asked = nullptr) {
    ImportOptions options;
    options.today = kTestMoment.date();
    options.now = kTestMoment;
    options.replace = [&](const HospitalYear& present, const QString&) {
      if (asked) asked->push_back(present);
      return replace;
    };
    WorkProgress progress;
    return ImportSubmissions(network_, paths, options, progress);
  }

  QTemporaryDir dir_;
  Database network_{NetworkDatabaseSchema()};
  int next_ = 0;
};

TEST_F(NetworkImportTest, FilesGoInWholeWithTheirCountsByItem) {
  const QStringList paths = {write({QStringLiteral("A1"), 2024, QStringLiteral("fiscal"), 40, 120.0, 80.0, 1}),
                             write({QStringLiteral("B2"), 2024, QStringLiteral("fiscal"), 90, 450.0, {}, 2}),
                             write({QStringLiteral("C3"), 2024, QStringLiteral("fiscal"), 5, {}, {}, 3}),
                             write({QStringLiteral("A1"), 2023, QStringLiteral("calendar"), 12, 118.0, {}, 4})};
  const std::vector<FileImport> results = import(paths);
  ASSERT_EQ(results.size(), 4u);
  for (const FileImport& r : results) {
    EXPECT_EQ(r.outcome, ImportOutcome::Imported) << r.reason.toStdString();
    EXPECT_EQ(ImportOutcomeText(r.outcome), QStringLiteral("取り込み済み"));
  }
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT count(*) FROM report")), 40 + 90 + 5 + 12);
  const std::vector<NetworkYear> years = ListNetworkYears(network_);
  ASSERT_EQ(years.size(), 2u);
  EXPECT_EQ(years[0], k2024);
  EXPECT_EQ(years[1], (NetworkYear{2023, YearKind::Calendar}));

  // Each item's counts add up to the reports (unanswered included); the
  // infection and body-site items count what each report marks, checked
  // against the reports themselves.
  for (int item = 0; item < 16; ++item) {
    if (item == 14) continue;
    EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT sum(count) FROM item_count WHERE item = %1").arg(item)), 147)
        << item;
  }
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT sum(count) FROM item_count WHERE item = 16")),
            Scalar(network_, QStringLiteral("SELECT count(*) FROM report")));  // one site each
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT sum(count) FROM item_count WHERE item = 14 AND code = '10'")),
            Scalar(network_, QStringLiteral("SELECT count(*) FROM report WHERE other_infection = 1")));
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT sum(count) FROM item_count WHERE item = 0 AND code = '3'")),
            Scalar(network_, QStringLiteral("SELECT count(*) FROM report WHERE occupation = '3'")));

  // The year's figures: the hospital without beds listed and left out.
  const NetworkFigures f = ComputeNetworkYear(network_, k2024);
  ASSERT_EQ(f.hospitals.size(), 3u);
  EXPECT_EQ(f.hospitalsWithoutBeds, 1);
  EXPECT_EQ(f.reportsAll, 135);
  EXPECT_EQ(f.network.hospitals, 2);
  EXPECT_EQ(f.network.reports, 130);
  ASSERT_TRUE(f.network.rate);
  EXPECT_NEAR(f.network.rate->rate, 130.0 / 570.0 * 100, 1e-9);
  EXPECT_NEAR(*f.network.p50, (40.0 / 120 * 100 + 90.0 / 450 * 100) / 2, 1e-9);
  EXPECT_EQ(f.classes[0].hospitals, 1);  // 120 beds
  EXPECT_EQ(f.classes[2].hospitals, 1);  // 450 beds
  EXPECT_EQ(f.hospitals[0].hospital.facilityCode, QStringLiteral("A1"));
  ASSERT_TRUE(f.hospitals[0].perFte);
  EXPECT_NEAR(f.hospitals[0].perFte->rate, 40.0 / 80 * 100, 1e-9);
  EXPECT_FALSE(f.hospitals[2].perBeds);
  EXPECT_FALSE(f.hospitals[2].place);
  // The network's table of 職種 counts every report once.
  std::int64_t occupations = 0;
  for (const ItemRow& r : f.items[0].rows) occupations += r.count;
  EXPECT_EQ(occupations, 135);
}

TEST_F(NetworkImportTest, EachRefusalNamesItsReasonAndLeavesTheStoreAsItWas) {
  import({write({QStringLiteral("KEEP"), 2024, QStringLiteral("fiscal"), 20, 200.0, {}, 9})});
  const QString before = StoreText(network_);
  ASSERT_FALSE(before.isEmpty());

  struct Spoil {
    const char* what;
    std::function<void(const QString&)> spoil;
  };
  const auto sql = [](const char* statement) {
    return [statement](const QString& path) { ASSERT_TRUE(ChangeSubmission(path, QString::fromUtf8(statement))); };
  };
  const Spoil spoils[] = {
      {"another application", sql("PRAGMA application_id = 1234")},
      {"a newer format", sql("PRAGMA user_version = 2")},
      {"a count that does not match", sql("UPDATE submission SET report_count = report_count + 1")},
      {"a code outside its item", sql("UPDATE report SET occupation = '99' WHERE seq = 1")},
      {"a month outside the year", sql("UPDATE report SET incident_month = 13 WHERE seq = 2")},
      {"a year far ahead", sql("UPDATE submission SET year = 2999")},
      {"a body-site text too short", sql("UPDATE report SET body_sites = '01' WHERE seq = 3")},
      {"not a database",
       [](const QString& path) { ASSERT_TRUE(WriteFileBytes(path, QByteArray("施設コード,件数\r\nX,1\r\n"))); }},
      {"damaged pages",
       [](const QString& path) {
         QByteArray bytes = FileBytes(path);
         ASSERT_GT(bytes.size(), 8192);
         for (int i = 4096; i < 4096 + 200; ++i) bytes[i] = char(0x5a);  // the second page's header
         ASSERT_TRUE(WriteFileBytes(path, bytes));
       }},
  };
  for (const Spoil& s : spoils) {
    SCOPED_TRACE(s.what);
    const QString path = write({QStringLiteral("NEW1"), 2024, QStringLiteral("fiscal"), 30, 300.0, {}, 5});
    s.spoil(path);
    const SubmissionCheck check = CheckSubmissionFile(path, kTestMoment.date());
    ASSERT_FALSE(check.ok);
    const std::vector<FileImport> results = import({path});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, ImportOutcome::NotImported);
    EXPECT_EQ(ImportOutcomeText(results[0].outcome), QStringLiteral("取り込まず"));
    EXPECT_EQ(results[0].reason, check.refusal);
    EXPECT_FALSE(results[0].reason.isEmpty());
    EXPECT_EQ(StoreText(network_), before);
  }
}

TEST_F(NetworkImportTest, TheSameHospitalAndYearIsReplacedWholeOnlyWhenTheUserAgrees) {
  import({write({QStringLiteral("H7"), 2024, QStringLiteral("fiscal"), 25, 300.0, {}, 1})});
  std::vector<HospitalYear> asked;
  const QString corrected = write({QStringLiteral("H7"), 2024, QStringLiteral("fiscal"), 11, 310.0, {}, 2});
  std::vector<FileImport> results = import({corrected}, false, &asked);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].reportCount, 25);
  EXPECT_EQ(results[0].outcome, ImportOutcome::NotImported);
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT count(*) FROM report")), 25);
  EXPECT_TRUE(ReplaceQuestion(asked[0], corrected)
                  .contains(QStringLiteral("施設コード H7 の2024年度のデータは既に取り込まれています（25件")));

  results = import({corrected}, true);
  EXPECT_EQ(results[0].outcome, ImportOutcome::Replaced);
  EXPECT_EQ(ImportOutcomeText(results[0].outcome), QStringLiteral("置き換え"));
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT count(*) FROM hospital_year")), 1);
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT count(*) FROM report")), 11);
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT sum(count) FROM item_count WHERE item = 0")), 11);
  EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT beds FROM hospital_year")), 310);

  // Removed with everything that hangs on it.
  const auto h = FindHospitalYear(network_, QStringLiteral("H7"), k2024);
  ASSERT_TRUE(h);
  QString error;
  ASSERT_TRUE(RemoveHospitalYear(network_, h->id, &error));
  for (const char* table : {"hospital_year", "report", "denominator", "code_entry", "item_count"})
    EXPECT_EQ(Scalar(network_, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))), 0) << table;
}

ORVANTA_CHILD_ROLE_FUNCTION(import_and_hang) {
  const QStringList parts = argument.split(u'\n');
  Database network{NetworkDatabaseSchema()};
  if (!network.open(parts[0], kTestMoment, nullptr, nullptr)) return 2;
  ImportOptions options;
  options.today = kTestMoment.date();
  options.now = kTestMoment;
  options.replace = [](const HospitalYear&, const QString&) { return true; };
  options.beforeCommit = [] {
    testing::TellParent("inside");
    QThread::sleep(60);
  };
  WorkProgress progress;
  ImportSubmissions(network, {parts[1]}, options, progress);
  return 0;
}

TEST_F(NetworkImportTest, AnImportKilledHalfWayLeavesTheStoreAsItWas) {
  import({write({QStringLiteral("OLD"), 2024, QStringLiteral("fiscal"), 15, 150.0, {}, 1})});
  const QString before = StoreText(network_);
  network_.close();
  const QString path = write({QStringLiteral("OLD"), 2024, QStringLiteral("fiscal"), 300, 150.0, {}, 2});
  auto child = testing::StartChildRole(QStringLiteral("import_and_hang"), dbPath() + u'\n' + path);
  ASSERT_TRUE(child);
  ASSERT_FALSE(testing::WaitForChildLine(*child, "inside").isEmpty());
  child->kill();
  child->waitForFinished();

  QString notice, error;
  ASSERT_TRUE(network_.open(dbPath(), kTestMoment, &notice, &error)) << error.toStdString();
  EXPECT_TRUE(notice.isEmpty()) << notice.toStdString();
  EXPECT_EQ(StoreText(network_), before);
}

TEST_F(NetworkImportTest, TheFeedbackFileCarriesTheFiguresAndNoCode) {
  import({write({QStringLiteral("ZQX81"), 2024, QStringLiteral("fiscal"), 40, 120.0, {}, 1}),
          write({QStringLiteral("ZQX82"), 2024, QStringLiteral("fiscal"), 90, 650.0, {}, 2}),
          write({QStringLiteral("ZQX83"), 2024, QStringLiteral("fiscal"), 7, 90.0, {}, 3})});
  const Feedback feedback = FeedbackOfNetwork(network_, kTestMoment);
  const QString path = dir_.filePath(QStringLiteral("還元.sqlite"));
  QString error;
  ASSERT_TRUE(WriteFeedbackFile(feedback, path, &error)) << error.toStdString();
  const auto permissions = QFileInfo(path).permissions();
  EXPECT_TRUE(permissions & QFileDevice::WriteOwner);
  EXPECT_FALSE(permissions &
               (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther));
  EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".writing")));
  EXPECT_FALSE(FileBytes(path).contains("ZQX8"));

  const std::optional<Feedback> back = ReadFeedbackFile(path, &error);
  ASSERT_TRUE(back) << error.toStdString();
  ASSERT_EQ(back->years.size(), 1u);
  const FeedbackYear& y = back->years[0];
  EXPECT_EQ(y.year, k2024);
  EXPECT_EQ(y.network.hospitals, 3);
  EXPECT_EQ(y.network.reports, 137);
  EXPECT_NEAR(*y.network.rate, 137.0 / 860 * 100, 1e-9);
  EXPECT_NEAR(*y.network.p50, 90.0 / 650 * 100, 1e-9);  // rates 33.3, 13.8, 7.8
  EXPECT_EQ(y.classes[0].hospitals, 2);
  EXPECT_EQ(y.classes[3].hospitals, 1);
  EXPECT_EQ(y.points.size(), 3u);

  // Refused: another file, a file whose points do not match its count.
  ASSERT_TRUE(ChangeSubmission(path, QStringLiteral("DELETE FROM hospital_point WHERE beds = 90")));
  EXPECT_FALSE(ReadFeedbackFile(path, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("施設の点の数"))) << error.toStdString();
  const QString submission = write({});
  EXPECT_FALSE(ReadFeedbackFile(submission, &error));
  EXPECT_EQ(error, QStringLiteral("還元ファイルではありません。"));
}

class HospitalComparisonTest : public ::testing::Test, public testing::TempDrive {};

TEST_F(HospitalComparisonTest, TheHospitalsOwnPointOnTheNetworksFunnel) {
  ASSERT_TRUE(testing::InstallRatesCollection(*this));
  // 年度 2023 holds seven reports and 330 beds: 2.12 per 100 beds.
  FeedbackYear network;
  network.year = NetworkYear{2023, YearKind::Fiscal};
  network.network.hospitals = 4;
  network.network.rate = 3.0;
  network.points = {{100, 1}, {300, 3}, {500, 20}, {330, 7}};
  network.classes[1].hospitals = 2;
  network.classes[1].rate = 1.6;
  Feedback feedback;
  feedback.createdAt = QStringLiteral("2026-12-01T10:00:00+09:00");
  feedback.years = {network};
  QString error;
  ASSERT_TRUE(StoreFeedback(state.database, feedback, kTestMoment, &error)) << error.toStdString();
  ASSERT_TRUE(StoreFeedback(state.database, feedback, kTestMoment, &error)) << error.toStdString();  // replaces
  ASSERT_EQ(StoredFeedbackYears(state.database).size(), 1u);
  const std::optional<FeedbackYear> stored = ReadStoredFeedback(state.database, network.year);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->points.size(), 4u);

  Denominators denominators;
  ASSERT_TRUE(LoadDenominators(state.database, &denominators, &error));
  const OwnYear own =
      CountOwnYear(state.paths, state.counters.NewestFileNo, state.lists, denominators, YearKind::Fiscal, network.year);
  EXPECT_EQ(own.reports, 7);
  ASSERT_TRUE(own.beds);
  EXPECT_EQ(*own.beds, 330);
  const NetworkComparison c = CompareWithNetwork(*stored, own);
  ASSERT_TRUE(c.rate);
  EXPECT_NEAR(c.rate->rate, 7.0 / 330 * 100, 1e-9);
  // Rates 1, 1, 4 and its own 2.12: two below, itself half: (2 + 0.5) / 4.
  EXPECT_NEAR(*c.percentile, 62.5, 1e-9);
  EXPECT_EQ(c.bedClass, 1);
  ASSERT_TRUE(c.place);
  EXPECT_EQ(*c.place, PlaceOnFunnel(c.rate->rate, *FunnelLimitsAt(3.0, 330)));
  const FunnelPlotData plot = NetworkComparisonPlot(c);
  ASSERT_EQ(plot.points.size(), 5u);
  EXPECT_TRUE(plot.points.back().highlighted);
  EXPECT_NEAR(plot.points.back().rate, c.rate->rate, 1e-12);

  // Calendar years at the network but 年度 at the hospital: no beds, no rate.
  const OwnYear other = CountOwnYear(state.paths, state.counters.NewestFileNo, state.lists, denominators,
                                     YearKind::Fiscal, NetworkYear{2023, YearKind::Calendar});
  EXPECT_FALSE(other.beds);
  EXPECT_FALSE(CompareWithNetwork(*stored, other).rate);
}

}  // namespace
}  // namespace orvanta
