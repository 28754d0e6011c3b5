// The windows of the network submission through their widgets: "施設の設定"
// stores the 施設コード and refuses a wrong one; "提出内容の確認" shows the
// year's reports, denominators, what goes and what never goes and the
// unanswered counts, and writes the file and its CSV.

#include "gui/network/submission_window.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/network/network_settings.h"
#include "core/network/submission_format.h"
#include "core/output/csv_file.h"
#include "core/platform/codepage.h"
#include "gui/network/facility_settings_window.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/gui/combo_box.h"
#include "support/gui/find_control.h"
#include "support/gui/typing.h"
#include "support/rates_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

class SubmissionWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  SubmissionWindowTest() { EXPECT_TRUE(testing::InstallRatesCollection(*this)); }

  void open() {
    window = std::make_unique<SubmissionWindow>(state, u"AB12"_s);
    window->show();
  }
  template <typename W>
  W* find(const QString& name) {
    return testing::FindControl<W>(window.get(), name);
  }
  void chooseYear(int year) {
    const auto at = std::find(window->years().begin(), window->years().end(), year);
    ASSERT_NE(at, window->years().end());
    ASSERT_TRUE(testing::ChooseInList(find<QComboBox>(u"cboYear"_s), static_cast<int>(at - window->years().begin())));
  }
  QStringList row(const QString& grid, int r) {
    const ResultGridModel& model = find<ResultGrid>(grid)->grid();
    QStringList cells;
    for (int c = 0; c < model.cols(); ++c) cells << model.cell(r, c);
    return cells;
  }
  QString myDocument(const QString& name) { return QDir(state.paths.MyDocumentPath()).filePath(name); }

  std::unique_ptr<SubmissionWindow> window;
};

TEST_F(SubmissionWindowTest, ShowsTheYearBeforeAnythingIsWritten) {
  open();
  EXPECT_EQ(window->windowTitle(), u"提出内容の確認"_s);
  // The clock stands in 年度 2026: the last whole year is chosen.
  EXPECT_EQ(find<QComboBox>(u"cboYear"_s)->currentText(), u"2025年度"_s);
  chooseYear(2023);
  EXPECT_EQ(find<QLabel>(u"lblPeriod"_s)->text(), u"2023年4月1日～2024年3月31日"_s);
  const QString summary = find<QLabel>(u"lblSummary"_s)->text();
  EXPECT_TRUE(summary.startsWith(u"報告 7 件（2023年度）\n"_s)) << summary.toStdString();
  EXPECT_TRUE(summary.contains(u"\nコードのない回答 0 件\n"_s)) << summary.toStdString();
  EXPECT_TRUE(summary.contains(u"読めないデータファイルはありません。"_s));

  EXPECT_EQ(row(u"gridDenominators"_s, 0), (QStringList{u"種類"_s, u"項目"_s, u"コード"_s, u"値"_s, u"提出"_s}));
  EXPECT_EQ(row(u"gridDenominators"_s, 1), (QStringList{u"稼働病床数"_s, {}, {}, u"330"_s, u"送ります"_s}));
  const CodeEntry& doctor = state.lists[kOccupations].entries[0];
  const CodeEntry& second = state.lists[kOccupations].entries[1];
  EXPECT_EQ(row(u"gridDenominators"_s, 3),
            (QStringList{u"常勤換算"_s, doctor.name, doctor.code, u"60"_s, u"送ります"_s}));
  EXPECT_EQ(row(u"gridDenominators"_s, 4),
            (QStringList{u"常勤換算"_s, second.name, second.code, {}, u"未登録（送りません）"_s}));

  EXPECT_EQ(row(u"gridUnanswered"_s, 1), (QStringList{u"職種"_s, u"0"_s}));
  EXPECT_EQ(row(u"gridUnanswered"_s, 2), (QStringList{u"発生場所"_s, u"7"_s}));

  QListWidget* never = find<QListWidget>(u"lstNeverGoes"_s);
  QStringList neverTexts;
  for (int i = 0; i < never->count(); ++i) neverTexts << never->item(i)->text();
  for (const QString& item : {u"職員番号"_s, u"年齢"_s, u"性別"_s, u"発生日の日"_s, u"発生時刻の分"_s, u"背景"_s,
                              u"防止策"_s, u"備考"_s, u"報告の記録番号"_s, u"フォローアップの記録"_s, u"施設名"_s})
    EXPECT_TRUE(neverTexts.contains(item)) << item.toStdString();
  EXPECT_TRUE(prompts.shown().empty()) << "nothing is asked or written before 作成";
  EXPECT_TRUE(QDir(state.paths.MyDocumentPath()).entryList(QDir::Files).isEmpty());
}

TEST_F(SubmissionWindowTest, CreateWritesTheFileWhereCsvFilesGo) {
  open();
  chooseYear(2023);
  const QString path = myDocument(u"提出_AB12_2023.sqlite"_s);
  prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
  find<QPushButton>(u"cmdCreate"_s)->click();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].kind, testing::ScriptedPrompts::Kind::SaveFile);
  EXPECT_EQ(prompts.lastSaveStart, path) << "the proposed name in the CSV folder";
  EXPECT_EQ(prompts.lastSaveFilter, u"提出用ファイル (*.sqlite)"_s);
  EXPECT_EQ(prompts.last().text, u"提出用ファイルを作成しました（報告 7 件）。\n%1"_s.arg(path));
  const SubmissionCheck check = CheckSubmissionFile(path, testing::kTestMoment.date());
  ASSERT_TRUE(check.ok) << check.refusal.toStdString();
  EXPECT_EQ(check.facts.reportCount, 7);
  EXPECT_EQ(check.facts.createdAt.left(19), u"2026-12-09T09:00:00"_s);

  // The CSV of the same rows, in code page 932.
  prompts.clear();
  const QString csv = myDocument(u"提出内容_AB12_2023.csv"_s);
  prompts.answerSaveFile(csv).answer(PromptAnswer::Ok);
  find<QPushButton>(u"cmdCsv"_s)->click();
  EXPECT_EQ(prompts.lastSaveStart, csv);
  EXPECT_EQ(prompts.last().text, kCsvSuccess);
  const QByteArray bytes = testing::FileBytes(csv);
  EXPECT_TRUE(bytes.startsWith(cp932::Encode(u"行番号,発生年,発生月,発生時刻（時）,職種（コード）,"_s)));
  EXPECT_EQ(bytes.count("\r\n"), 1 + 7 + 1);
}

TEST_F(SubmissionWindowTest, ADamagedDataFileIsNamedAndTheUserDecides) {
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), "2 \r\nbroken\r\n"));
  open();
  chooseYear(2023);
  EXPECT_TRUE(
      find<QLabel>(u"lblSummary"_s)->text().contains(u"読めないデータファイル: 1.dat（その報告は含まれません）"_s));
  prompts.answer(PromptAnswer::No);
  find<QPushButton>(u"cmdCreate"_s)->click();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, UnreadableFilesMessage(state.paths, {1}) +
                                     u"\n\nこれらのファイルの報告を除いて提出用ファイルを作成しますか？"_s);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::YesNo);

  const QString path = myDocument(u"提出_AB12_2023.sqlite"_s);
  prompts.answer(PromptAnswer::Yes).answerSaveFile(path).answer(PromptAnswer::Ok);
  find<QPushButton>(u"cmdCreate"_s)->click();
  EXPECT_EQ(CheckSubmissionFile(path, testing::kTestMoment.date()).facts.reportCount, 3);
}

TEST_F(SubmissionWindowTest, AnEmptyYearAndAFailingWriteAreTold) {
  open();
  chooseYear(2019);
  EXPECT_TRUE(find<QLabel>(u"lblSummary"_s)->text().startsWith(u"報告 0 件（2019年度）"_s));
  prompts.answer(PromptAnswer::No);
  find<QPushButton>(u"cmdCreate"_s)->click();
  EXPECT_EQ(prompts.last().text, u"2019年度の報告は 0 件です。報告のない提出用ファイルを作成しますか？"_s);

  // A folder stands where the file would go.
  const QString path = myDocument(u"提出_AB12_2019.sqlite"_s);
  ASSERT_TRUE(QDir().mkpath(path));
  prompts.answer(PromptAnswer::Yes).answerSaveFile(path).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  find<QPushButton>(u"cmdCreate"_s)->click();
  EXPECT_EQ(prompts.last().text, CannotWriteFileMessage(path, u"同じ名前のフォルダがあります"_s));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
  EXPECT_EQ(QDir(state.paths.MyDocumentPath()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(SubmissionWindowTest, FacilitySettingsStoreTheCode) {
  prompts.answer(PromptAnswer::Ok);
  ShowSubmission(state, nullptr);
  EXPECT_EQ(
      prompts.last().text,
      u"施設コードが設定されていません。\n「ツール」メニューの「施設の設定」で施設コードを設定してから作成してください。"_s);

  FacilitySettingsWindow settings(state);
  settings.show();
  EXPECT_EQ(settings.windowTitle(), u"施設の設定"_s);
  auto* code = testing::FindControl<QLineEdit>(&settings, u"txtFacilityCode"_s);
  auto* name = testing::FindControl<QLineEdit>(&settings, u"txtFacilityName"_s);
  testing::Type(code, u"AB-1"_s);
  testing::Type(name, u"市立中央病院"_s);
  prompts.answer(PromptAnswer::Ok);
  testing::FindControl<QPushButton>(&settings, u"cmdOK"_s)->click();
  EXPECT_EQ(prompts.last().text, u"施設コードは半角の英字と数字で 1～8 文字にしてください。"_s);
  EXPECT_EQ(ReadNetworkSettings(state.database), NetworkSettings{});

  testing::Retype(code, u"AB12"_s);
  testing::FindControl<QPushButton>(&settings, u"cmdOK"_s)->click();
  EXPECT_EQ(settings.result(), QDialog::Accepted);
  EXPECT_EQ(ReadNetworkSettings(state.database), (NetworkSettings{u"AB12"_s, u"市立中央病院"_s}));

  FacilitySettingsWindow again(state);
  EXPECT_EQ(testing::FindControl<QLineEdit>(&again, u"txtFacilityCode"_s)->text(), u"AB12"_s);
  EXPECT_EQ(testing::FindControl<QLineEdit>(&again, u"txtFacilityName"_s)->text(), u"市立中央病院"_s);
}

}  // namespace
}  // namespace orvanta
