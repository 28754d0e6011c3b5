#include "core/rates/denominators.h"

#include <QDir>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "core/rates/denominator_csv.h"
#include "core/rates/interventions.h"
#include "core/rates/rate_statistics.h"
#include "core/rates/rate_years.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

class DenominatorStoreTest : public ::testing::Test, public testing::TempDrive {
 protected:
  DenominatorStoreTest() {
    QDir().mkpath(state.paths.DataFolderPath());
    open();
  }

  void open() {
    QString notice;
    QString error;
    ASSERT_TRUE(state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error)) << error.toStdString();
  }
  Denominators load() {
    Denominators d;
    QString error;
    EXPECT_TRUE(LoadDenominators(state.database, &d, &error)) << error.toStdString();
    return d;
  }
  std::vector<Intervention> interventions() {
    std::vector<Intervention> list;
    QString error;
    EXPECT_TRUE(LoadInterventions(state.database, &list, &error)) << error.toStdString();
    return list;
  }
};

TEST_F(DenominatorStoreTest, ValuesAreStoredChangedAndRemoved) {
  QString error;
  ASSERT_TRUE(StoreDenominator(state.database, {2024, DenominatorKind::Beds, 0}, 350.5, &error));
  ASSERT_TRUE(StoreDenominator(state.database, {2024, DenominatorKind::Fte, 4}, 150, &error));
  ASSERT_TRUE(StoreDenominator(state.database, {2023, DenominatorKind::Fte, 1}, 60, &error));
  ASSERT_TRUE(StoreDenominator(state.database, {2024, DenominatorKind::Beds, 0}, 352, &error));
  Denominators d = load();
  EXPECT_EQ(d.value(2024, DenominatorKind::Beds), 352);
  EXPECT_EQ(d.years(), (std::vector<int>{2023, 2024}));
  EXPECT_EQ(d.sum(2024, DenominatorKind::Fte, {1, 4}), 150);
  EXPECT_FALSE(d.sum(2022, DenominatorKind::Fte, {1, 4}));

  ASSERT_TRUE(StoreDenominator(state.database, {2024, DenominatorKind::Beds, 0}, std::nullopt, &error));
  EXPECT_FALSE(load().value(2024, DenominatorKind::Beds));
  ASSERT_TRUE(RemoveDenominatorYear(state.database, 2024, &error));
  EXPECT_EQ(load().years(), (std::vector<int>{2023}));
}

// Many values go in together or not at all.
TEST_F(DenominatorStoreTest, ManyValuesAreAllOrNothing) {
  QString error;
  EXPECT_FALSE(StoreDenominators(
      state.database, {{{2024, DenominatorKind::Beds, 0}, 350}, {{2024, DenominatorKind::Fte, 4}, -1}}, &error));
  EXPECT_EQ(error, u"分母には0以上の数値を入力してください。"_s);
  EXPECT_TRUE(load().empty());
}

TEST_F(DenominatorStoreTest, YearKindIsKeptAndFiscalByDefault) {
  EXPECT_EQ(ReadYearKind(state.database), YearKind::Fiscal);
  QString error;
  ASSERT_TRUE(WriteYearKind(state.database, YearKind::Calendar, &error));
  state.database.close();
  EXPECT_EQ(ReadYearKind(state.database), YearKind::Fiscal);  // closed: the default
  open();
  EXPECT_EQ(ReadYearKind(state.database), YearKind::Calendar);
}

// A database of a newer program is read, never written.
TEST_F(DenominatorStoreTest, ReadOnlyDatabaseRefusesChanges) {
  QString error;
  ASSERT_TRUE(StoreDenominator(state.database, {2024, DenominatorKind::Beds, 0}, 350, &error));
  QSqlQuery(state.database.connection()).exec(u"PRAGMA user_version = 99"_s);
  state.database.close();
  open();
  ASSERT_TRUE(state.database.isReadOnly());
  EXPECT_EQ(load().value(2024, DenominatorKind::Beds), 350);
  EXPECT_FALSE(StoreDenominator(state.database, {2024, DenominatorKind::Beds, 0}, 1, &error));
  std::int64_t id = 0;
  EXPECT_FALSE(AddIntervention(state.database, QDate(2024, 4, 1), u"研修"_s, &id, &error));
  EXPECT_EQ(load().value(2024, DenominatorKind::Beds), 350);
}

TEST_F(DenominatorStoreTest, InterventionsByDate) {
  QString error;
  std::int64_t late = 0;
  std::int64_t early = 0;
  std::int64_t middle = 0;
  ASSERT_TRUE(AddIntervention(state.database, QDate(2024, 4, 1), u"  研修会 "_s, &late, &error));
  ASSERT_TRUE(AddIntervention(state.database, QDate(2022, 1, 10), u"廃棄容器の更新"_s, &early, &error));
  ASSERT_TRUE(AddIntervention(state.database, QDate(2023, 10, 1), u"安全器材"_s, &middle, &error));
  std::vector<Intervention> list = interventions();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].id, early);
  EXPECT_EQ(list[2], (Intervention{late, QDate(2024, 4, 1), u"研修会"_s}));  // blanks around taken off
  EXPECT_EQ(InterventionText(list[2]), u"2024-04-01  研修会"_s);

  ASSERT_TRUE(ChangeIntervention(state.database, late, QDate(2021, 4, 1), u"研修会（全職員）"_s, &error));
  ASSERT_TRUE(RemoveIntervention(state.database, middle, &error));
  list = interventions();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], (Intervention{late, QDate(2021, 4, 1), u"研修会（全職員）"_s}));

  EXPECT_FALSE(AddIntervention(state.database, QDate(2024, 4, 1), u"　 "_s, &late, &error));
  EXPECT_EQ(error, u"介入の内容を入力してください。"_s);
  EXPECT_FALSE(ChangeIntervention(state.database, early, QDate(1899, 12, 31), u"古い"_s, &error));
  EXPECT_EQ(error, u"介入の日付は1900年から2200年の間で入力してください。"_s);
  EXPECT_EQ(interventions().size(), 2u);
}

// Small lists: 職種 ids 1 and 4, 原因器材 ids 201 and 206.
CodeLists SmallLists() {
  CodeLists lists;
  lists[kOccupations].entries = {{u"医師"_s, u"1"_s, 1}, {u"看護師"_s, u"4"_s, 4}};
  lists[kDevices].entries = {{u"注射針"_s, u"1"_s, 201}, {u"翼状針"_s, u"6"_s, 206}};
  return lists;
}

const QString kHeading =
    u"年度,稼働病床数,延べ患者日数,常勤換算:1:医師,常勤換算:4:看護師,購入数:201:注射針,購入数:206:翼状針"_s;

TEST(DenominatorCsvTest, WrittenAndReadBackInTheSameLayout) {
  Denominators d;
  d.set({2023, DenominatorKind::Beds, 0}, 330);
  d.set({2023, DenominatorKind::PatientDays, 0}, 110000);
  d.set({2023, DenominatorKind::Fte, 1}, 60);
  d.set({2023, DenominatorKind::Fte, 4}, 150.5);
  d.set({2023, DenominatorKind::Devices, 201}, 20000);
  d.set({2024, DenominatorKind::Devices, 206}, 0.125);
  const QByteArray bytes = DenominatorCsvBytes(d, SmallLists(), YearKind::Fiscal);
  EXPECT_EQ(bytes, cp932::Encode(kHeading + u"\r\n2023,330,110000,60,150.5,20000,\r\n2024,,,,,,0.125\r\n"_s));

  QString problem;
  const std::optional<DenominatorImport> read = ReadDenominatorCsv(bytes, SmallLists(), YearKind::Fiscal, &problem);
  ASSERT_TRUE(read) << problem.toStdString();
  EXPECT_EQ(read->years, (std::vector<int>{2023, 2024}));
  EXPECT_EQ(read->values.size(), 12u);  // every column of both years, the empty ones to be removed
  Denominators back;
  for (const auto& [key, value] : read->values) back.set(key, value);
  EXPECT_EQ(back, d);
}

// What a spreadsheet writes: UTF-8 with its mark, LF, quotes, grouped
// thousands, empty lines and empty fields at the ends, columns in any order.
TEST(DenominatorCsvTest, SpreadsheetFilesAreRead) {
  const QByteArray utf8 = "\xEF\xBB\xBF" +
                          u"年度,購入数：206：翼状針（新）,\"稼働病床数\",,\n"
                          u"2024,\"12,000\", 352 ,,\n"
                          u"\n"
                          u",,,,\n"
                          u"2025,,+1.5,,\n"_s.toUtf8();
  QString problem;
  const std::optional<DenominatorImport> read = ReadDenominatorCsv(utf8, SmallLists(), YearKind::Fiscal, &problem);
  ASSERT_TRUE(read) << problem.toStdString();
  EXPECT_EQ(read->years, (std::vector<int>{2024, 2025}));
  using Value = std::pair<DenominatorKey, std::optional<double>>;
  EXPECT_EQ(read->values, (std::vector<Value>{{{2024, DenominatorKind::Devices, 206}, 12000},
                                              {{2024, DenominatorKind::Beds, 0}, 352},
                                              {{2025, DenominatorKind::Devices, 206}, std::nullopt},
                                              {{2025, DenominatorKind::Beds, 0}, 1.5}}));
  // The same in code page 932 with CR line ends.
  const QByteArray cp932 = cp932::Encode(u"年度,稼働病床数\r2024,352\r"_s);
  ASSERT_TRUE(ReadDenominatorCsv(cp932, SmallLists(), YearKind::Fiscal, &problem)) << problem.toStdString();
  // And UTF-8 without the mark, as some spreadsheets save it.
  const std::optional<DenominatorImport> plain =
      ReadDenominatorCsv(u"年度,稼働病床数\n2024,352\n"_s.toUtf8(), SmallLists(), YearKind::Fiscal, &problem);
  ASSERT_TRUE(plain) << problem.toStdString();
  EXPECT_EQ(plain->values, (std::vector<Value>{{{2024, DenominatorKind::Beds, 0}, 352}}));
}

TEST(DenominatorCsvTest, BadInputIsRefusedNamingTheLine) {
  struct Case {
    QString text;
    QString message;
  };
  const Case cases[] = {
      {u"年度,稼働病床数\r\n2024,abc\r\n"_s, u"2行目 2列目: 「abc」は数値ではありません。"_s},
      {u"年度,稼働病床数\r\n2023,300\r\n2024,-5\r\n"_s,
       u"3行目 2列目: 「-5」は負の数です。分母には0以上の数値を入力してください。"_s},
      {u"年度,稼働病床数\r\n2024,1.2.3\r\n"_s, u"2行目 2列目: 「1.2.3」は数値ではありません。"_s},
      {u"年度,稼働病床数\r\n2024,1e5\r\n"_s, u"2行目 2列目: 「1e5」は数値ではありません。"_s},
      {u"年度,稼働病床数\r\n1899,300\r\n"_s, u"2行目 1列目: 年度「1899」は1900から2200までの整数で書いてください。"_s},
      {u"年度,稼働病床数\r\n2201,300\r\n"_s, u"2行目 1列目: 年度「2201」は1900から2200までの整数で書いてください。"_s},
      {u"年度,稼働病床数\r\n令和6,300\r\n"_s,
       u"2行目 1列目: 年度「令和6」は1900から2200までの整数で書いてください。"_s},
      {u"年度,稼働病床数\r\n2024,300\r\n2024,310\r\n"_s, u"3行目 1列目: 2024年度が二度書かれています。"_s},
      {u"年度,常勤換算:99:事務\r\n2024,3\r\n"_s, u"1行目 2列目: 職種にコード99の項目がありません。"_s},
      {u"年度,購入数:4:看護師\r\n"_s, u"1行目 2列目: 原因器材にコード4の項目がありません。"_s},
      {u"年度,病床\r\n2024,300\r\n"_s, u"1行目 2列目: 見出し「病床」は分母の列の名前ではありません。"_s},
      {u"年度,稼働病床数,稼働病床数\r\n"_s, u"1行目 3列目: 「稼働病床数」の列が二つあります。"_s},
      {u"年度,稼働病床数\r\n2024,300,5\r\n"_s, u"2行目 3列目: 見出しのない列に値があります。"_s},
      {u"年度,稼働病床数\r\n2024,\"300\r\n"_s, u"2行目: 引用符（\"）が閉じていません。"_s},
      {u"年度,稼働病床数\r\n2024,\"300\"0\r\n"_s, u"2行目: 引用符（\"）の後に余分な文字があります。"_s},
      {u"年,稼働病床数\r\n2024,300\r\n"_s,
       u"1行目 1列目: このファイルは「年」ごとの値です。いまは「年度」ごとに登録しています。"_s},
      {u"year,beds\r\n"_s, u"1行目 1列目: 先頭の見出しは「年度」にしてください。"_s},
      {u"\r\n\r\n"_s, u"ファイルに何も書かれていません。"_s},
      // Values no count of beds, days, staff or devices can be.
      {u"年度,稼働病床数\r\n2024,0.0000000000001\r\n"_s,
       u"2行目 2列目: 「0.0000000000001」は小数点以下が3桁を超えています。分母は小数点以下3桁までの数値で入力してください。"_s},
      {u"年度,稼働病床数\r\n2024,0.005\r\n"_s,
       u"2行目 2列目: 「0.005」は小さすぎます。0より大きい分母は0.01以上の数値で入力してください。"_s},
      {u"年度,稼働病床数\r\n2024,1e-11\r\n"_s, u"2行目 2列目: 「1e-11」は数値ではありません。"_s},
      {u"年度,稼働病床数\r\n2024,"_s + QString(400, u'9') + u"\r\n"_s, u"2行目 2列目: 値が長すぎます（400文字）。"_s},
      {u"年度,稼働病床数\r\n2024,"_s + QString(30000, u'1') + u"\r\n"_s, u"2行目: 行が長すぎます（30,005文字）。"_s},
      {u"年度,稼働病床数\r\n2024,2000000000\r\n"_s,
       u"2行目 2列目: 「2000000000」は大きすぎます。分母は1,000,000,000以下の数値で入力してください。"_s},
      // A stray byte after a number is named.
      {u"年度,稼働病床数\r\n2024,1\u0001\r\n"_s,
       u"2行目 2列目: 「1」は数値ではありません。目に見えない文字（U+0001）が含まれています。"_s},
      {u"年度,稼働病床数\r\n2024,1\u007F\r\n"_s,
       u"2行目 2列目: 「1」は数値ではありません。目に見えない文字（U+007F）が含まれています。"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    QString problem;
    EXPECT_FALSE(ReadDenominatorCsv(cp932::Encode(c.text), SmallLists(), YearKind::Fiscal, &problem));
    EXPECT_EQ(problem, c.message);
  }
  // Broken UTF-8 after the mark is refused.
  QString problem;
  EXPECT_FALSE(ReadDenominatorCsv(QByteArray("\xEF\xBB\xBF\xE5\xB9,1\r\n"), SmallLists(), YearKind::Fiscal, &problem));
  EXPECT_EQ(problem, u"UTF-8として読めない文字があります。"_s);

  // A file larger than any such file is refused before it is taken apart.
  const QByteArray huge = "\xE5\xB9\xB4\xE5\xBA\xA6," + QByteArray(kMaxDenominatorCsvBytes, '1');
  EXPECT_FALSE(ReadDenominatorCsv(huge, SmallLists(), YearKind::Fiscal, &problem));
  EXPECT_EQ(problem, u"ファイルが大きすぎます。分母のCSVファイルとして読める大きさは4,194,304バイトまでです。"_s);
}

// Every rate is a number: a denominator too small to mean anything gives
// none, never an infinite one.
TEST(DenominatorCsvTest, NoRateIsInfinite) {
  EXPECT_FALSE(EstimateRate(5, 1e-320, 100));
  EXPECT_FALSE(EstimateRate(5, 0, 100));
  ASSERT_TRUE(EstimateRate(5, 0.01, 100));
  EXPECT_DOUBLE_EQ(EstimateRate(5, 0.01, 100)->rate, 50000);
}

TEST(DenominatorCsvTest, ValuesAsTyped) {
  struct Case {
    QString text;
    std::optional<double> value;
  };
  const Case cases[] = {{u"350"_s, 350},
                        {u" 85.5 "_s, 85.5},
                        {u"0"_s, 0},
                        {u"-0"_s, 0},
                        {u".5"_s, 0.5},
                        {u"12,000"_s, 12000},
                        {u"1,234.5"_s, 1234.5},
                        {u"12,00"_s, std::nullopt},
                        {u"１２．５"_s, 12.5},
                        {u"nan"_s, std::nullopt},
                        {u"-1"_s, std::nullopt},
                        {u"85.50"_s, 85.5},
                        {u"0.125"_s, 0.125},
                        {u"85.5055"_s, std::nullopt},
                        {u"0.01"_s, 0.01},
                        {u"0.001"_s, std::nullopt}};
  for (const Case& c : cases) {
    QString problem;
    EXPECT_EQ(ReadDenominatorValue(c.text, &problem), c.value) << c.text.toStdString();
  }
  EXPECT_EQ(DenominatorValueText(150.5), u"150.5"_s);
  EXPECT_EQ(DenominatorValueText(110000), u"110000"_s);
  EXPECT_EQ(DenominatorValueText(0.125), u"0.125"_s);
}

}  // namespace
}  // namespace orvanta
