#include "gui/rates/denominators_window.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "core/app/app_state.h"
#include "core/platform/codepage.h"
#include "support/gui/find_control.h"
#include "support/gui/typing.h"
#include "support/rates_collection.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::EntryIdAt;

class DenominatorsWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  DenominatorsWindowTest() : TempDrive(QDateTime(QDate(2024, 9, 30), QTime(9, 0))) {
    EXPECT_TRUE(testing::InstallRatesCollection(*this));
    window = std::make_unique<DenominatorsWindow>(state);
    window->show();
  }

  template <typename W>
  W* find(const QString& name) {
    return testing::FindControl<W>(window.get(), name);
  }
  void click(const QString& name) { find<QPushButton>(name)->click(); }
  QTableWidget* grid() { return find<QTableWidget>(u"gridDenominators"_s); }
  QTableWidget* interventionList() { return find<QTableWidget>(u"gridInterventions"_s); }
  // Types into a cell through its editor and presses Return.
  void typeInto(int row, int col, const QString& text) {
    QTableWidget* g = grid();
    g->setCurrentCell(row, col);
    g->editItem(g->item(row, col));
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : g->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    testing::Type(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes the editor through the event queue.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  Denominators stored() {
    Denominators d;
    QString error;
    EXPECT_TRUE(LoadDenominators(state.database, &d, &error));
    return d;
  }
  QString importFile(const QByteArray& bytes) {
    const QString path = root.filePath(u"in.csv"_s);
    EXPECT_TRUE(testing::WriteFileBytes(path, bytes));
    return path;
  }

  std::unique_ptr<DenominatorsWindow> window;
};

TEST_F(DenominatorsWindowTest, ShowsTheYearsAndEveryColumn) {
  EXPECT_EQ(window->objectName(), u"frmDenominators"_s);
  EXPECT_EQ(window->windowTitle(), u"分母の登録"_s);
  EXPECT_TRUE(find<QRadioButton>(u"optFiscalYear"_s)->isChecked());
  EXPECT_EQ(find<QPushButton>(u"cmdAddYear"_s)->text(), u"年度を追加"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdImportCsv"_s)->text(), u"CSVファイルから読み込み"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdExportCsv"_s)->text(), u"CSVファイル変換"_s);
  QTableWidget* g = grid();
  EXPECT_EQ(g->columnCount(), 2 + state.lists[kOccupations].count() + state.lists[kDevices].count());
  EXPECT_EQ(g->horizontalHeaderItem(0)->text(), u"稼働病床数"_s);
  EXPECT_EQ(g->horizontalHeaderItem(2)->text(), u"常勤換算\n医師(常勤・非常勤)"_s);
  ASSERT_EQ(g->rowCount(), 2);
  EXPECT_EQ(g->verticalHeaderItem(0)->text(), u"2022年度"_s);
  EXPECT_EQ(g->item(1, 0)->text(), u"330"_s);
  EXPECT_EQ(g->item(1, 1)->text(), u"110000"_s);
  EXPECT_EQ(g->item(1, 2)->text(), u"60"_s);
  EXPECT_EQ(g->item(1, 3)->text(), u""_s);
  ASSERT_EQ(interventionList()->rowCount(), 2);
  EXPECT_EQ(interventionList()->item(0, 0)->text(), u"2023-10-01"_s);
  EXPECT_EQ(interventionList()->item(1, 1)->text(), u"針刺し防止研修"_s);
}

// Every value is stored as it is typed; a value that is no number is
// refused and the cell shows the stored one again.
TEST_F(DenominatorsWindowTest, TypedValuesAreStoredAtOnce) {
  typeInto(1, 0, u"352.5"_s);
  EXPECT_EQ(stored().value(2023, DenominatorKind::Beds), 352.5);
  EXPECT_TRUE(prompts.shown().empty());

  prompts.answer(PromptAnswer::Ok);
  typeInto(1, 0, u"多い"_s);
  EXPECT_EQ(prompts.last().text, u"「多い」は数値ではありません。"_s);
  EXPECT_EQ(prompts.last().title, u"分母の登録"_s);
  EXPECT_EQ(grid()->item(1, 0)->text(), u"352.5"_s);
  prompts.answer(PromptAnswer::Ok);
  typeInto(1, 0, u"-3"_s);
  EXPECT_EQ(prompts.last().text, u"「-3」は負の数です。分母には0以上の数値を入力してください。"_s);
  EXPECT_EQ(stored().value(2023, DenominatorKind::Beds), 352.5);

  typeInto(1, 0, u""_s);  // emptied: no longer stored
  EXPECT_FALSE(stored().value(2023, DenominatorKind::Beds));
  EXPECT_EQ(grid()->rowCount(), 2);
}

// A change the database does not take is told, and the cell shows the
// value as it was.
TEST_F(DenominatorsWindowTest, AFailedChangeIsToldAndUndone) {
  state.database.close();
  prompts.answer(PromptAnswer::Ok);
  typeInto(1, 0, u"500"_s);
  EXPECT_TRUE(prompts.last().text.startsWith(u"データベース「"_s)) << prompts.last().text.toStdString();
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  EXPECT_EQ(grid()->item(1, 0)->text(), u"330"_s);
}

TEST_F(DenominatorsWindowTest, YearsAreAddedAndRemoved) {
  prompts.answerInput(u"2024"_s);
  click(u"cmdAddYear"_s);
  EXPECT_EQ(prompts.last().text, u"追加する年度を入力してください（1900～2200）"_s);
  ASSERT_EQ(grid()->rowCount(), 3);
  EXPECT_EQ(grid()->verticalHeaderItem(2)->text(), u"2024年度"_s);
  typeInto(2, 0, u"340"_s);
  EXPECT_EQ(stored().value(2024, DenominatorKind::Beds), 340);

  prompts.answerInput(u"1850"_s).answer(PromptAnswer::Ok);
  click(u"cmdAddYear"_s);
  EXPECT_EQ(prompts.last().text, u"年度は1900から2200までの整数で入力してください。"_s);

  grid()->setCurrentCell(0, 0);
  prompts.answer(PromptAnswer::No);
  click(u"cmdRemoveYear"_s);
  EXPECT_EQ(prompts.last().text, u"2022年度の分母をすべて削除しますか？"_s);
  EXPECT_EQ(stored().years(), (std::vector<int>{2022, 2023, 2024}));
  prompts.answer(PromptAnswer::Yes);
  click(u"cmdRemoveYear"_s);
  EXPECT_EQ(stored().years(), (std::vector<int>{2023, 2024}));
  EXPECT_EQ(grid()->rowCount(), 2);
}

// A file with a bad line changes nothing; a good one is stored whole.
TEST_F(DenominatorsWindowTest, ImportIsWholeOrNothing) {
  const Denominators before = stored();
  prompts
      .answerOpenFile(importFile(cp932::Encode(u"年度,稼働病床数,延べ患者日数\r\n"
                                               u"2024,340,105000\r\n"
                                               u"2025,350,abc\r\n"_s)))
      .answer(PromptAnswer::Ok);
  click(u"cmdImportCsv"_s);
  EXPECT_EQ(prompts.last().text,
            u"CSVファイルを読み込めませんでした。何も登録していません。\n3行目 3列目: 「abc」は数値ではありません。"_s);
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  EXPECT_EQ(stored(), before);
  EXPECT_EQ(grid()->rowCount(), 2);

  const QString nurse = QString::number(EntryIdAt(*this, kOccupations, 4));
  const QString good = importFile(
      "\xEF\xBB\xBF" + (u"年度,稼働病床数,常勤換算:"_s + nurse + u":看護師\n2023,,155\n2024,340,160\n"_s).toUtf8());
  // What the file adds, changes and removes is told before anything is
  // stored; an empty field removes a value, and says so.
  const QString question =
      u"CSVファイルの値を次のとおり登録します。よろしいですか？\n"
      u"新しく登録する値：2件\n変更する値：1件\n削除する値（空欄の欄）：1件\n変わらない値：0件\n\n"
      u"削除する値：\n2023年度 稼働病床数 330"_s;
  prompts.answerOpenFile(good).answer(PromptAnswer::No);
  click(u"cmdImportCsv"_s);
  EXPECT_EQ(prompts.last().text, question);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::YesNo);
  EXPECT_EQ(stored(), before);
  prompts.answerOpenFile(good).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  click(u"cmdImportCsv"_s);
  EXPECT_EQ(prompts.last().text, u"2年度分の分母を読み込みました。"_s);
  const Denominators after = stored();
  EXPECT_FALSE(after.value(2023, DenominatorKind::Beds));  // emptied by the file
  EXPECT_EQ(after.value(2023, DenominatorKind::Fte, nurse.toInt()), 155);
  EXPECT_EQ(after.value(2023, DenominatorKind::PatientDays), 110000);  // a column the file lacks
  EXPECT_EQ(after.value(2024, DenominatorKind::Beds), 340);
  EXPECT_EQ(grid()->rowCount(), 3);

  prompts.answerOpenFile(QString());  // cancelled: nothing
  click(u"cmdImportCsv"_s);
}

TEST_F(DenominatorsWindowTest, ExportWritesWhatImportReads) {
  const QString path = root.filePath(u"out.csv"_s);
  prompts.answerSaveFile(path).answer(PromptAnswer::Ok);
  click(u"cmdExportCsv"_s);
  EXPECT_EQ(prompts.last().text, u"ﾌｧｲﾙ処理に成功しました"_s);
  const QByteArray bytes = testing::FileBytes(path);
  const QList<QByteArray> lines = bytes.split('\n');
  ASSERT_EQ(lines.size(), 4);  // heading, 2022, 2023 and nothing after the last line end
  EXPECT_TRUE(lines[0].startsWith(cp932::Encode(u"年度,稼働病床数,延べ患者日数,常勤換算:1:医師(常勤・非常勤),"_s)));
  EXPECT_TRUE(lines[2].startsWith("2023,330,110000,60,,,150,"));

  // Read back into an emptied database, the same values.
  const Denominators before = stored();
  QString error;
  ASSERT_TRUE(RemoveDenominatorYear(state.database, 2022, &error));
  ASSERT_TRUE(RemoveDenominatorYear(state.database, 2023, &error));
  prompts.answerOpenFile(path).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  click(u"cmdImportCsv"_s);
  EXPECT_EQ(stored(), before);

  // The same file again changes nothing, and says so.
  prompts.answerOpenFile(path).answer(PromptAnswer::Ok);
  click(u"cmdImportCsv"_s);
  EXPECT_EQ(prompts.last().text, u"CSVファイルの値は、登録されている値と同じです。何も変わりません。"_s);
}

TEST_F(DenominatorsWindowTest, CalendarYearsAfterAskingWhenValuesExist) {
  QRadioButton* calendar = find<QRadioButton>(u"optCalendarYear"_s);
  prompts.answer(PromptAnswer::No);
  calendar->click();
  EXPECT_TRUE(prompts.last().text.startsWith(u"年の区切りを「暦年（1月～12月）」に変えます。"_s));
  EXPECT_TRUE(find<QRadioButton>(u"optFiscalYear"_s)->isChecked());
  EXPECT_EQ(ReadYearKind(state.database), YearKind::Fiscal);

  prompts.answer(PromptAnswer::Yes);
  calendar->click();
  EXPECT_EQ(ReadYearKind(state.database), YearKind::Calendar);
  EXPECT_EQ(grid()->verticalHeaderItem(0)->text(), u"2022年"_s);
  EXPECT_EQ(find<QPushButton>(u"cmdAddYear"_s)->text(), u"年を追加"_s);
}

TEST_F(DenominatorsWindowTest, InterventionsAreAddedChangedAndRemoved) {
  QDateEdit* date = find<QDateEdit>(u"dateIntervention"_s);
  QLineEdit* label = find<QLineEdit>(u"txtInterventionLabel"_s);
  date->setDate(QDate(2022, 6, 1));
  testing::Retype(label, u"廃棄容器,の更新"_s);  // commas are kept out
  EXPECT_EQ(label->text(), u"廃棄容器の更新"_s);
  click(u"cmdAddIntervention"_s);
  ASSERT_EQ(interventionList()->rowCount(), 3);
  EXPECT_EQ(interventionList()->item(0, 1)->text(), u"廃棄容器の更新"_s);
  EXPECT_EQ(interventionList()->currentRow(), 0);

  interventionList()->selectRow(2);
  EXPECT_EQ(date->date(), QDate(2024, 4, 1));
  EXPECT_EQ(label->text(), u"針刺し防止研修"_s);
  testing::Retype(label, u"針刺し防止研修（全職員）"_s);
  click(u"cmdChangeIntervention"_s);
  std::vector<Intervention> stored;
  QString error;
  ASSERT_TRUE(LoadInterventions(state.database, &stored, &error));
  EXPECT_EQ(stored.back().label, u"針刺し防止研修（全職員）"_s);

  interventionList()->selectRow(1);
  prompts.answer(PromptAnswer::Yes);
  click(u"cmdRemoveIntervention"_s);
  EXPECT_EQ(prompts.last().text, u"介入「安全装置付き翼状針の導入」（2023-10-01）を削除しますか？"_s);
  EXPECT_EQ(interventionList()->rowCount(), 2);

  label->clear();
  prompts.answer(PromptAnswer::Ok);
  click(u"cmdAddIntervention"_s);
  EXPECT_EQ(prompts.last().text, u"介入の内容を入力してください。"_s);
  EXPECT_EQ(interventionList()->rowCount(), 2);

  interventionList()->clearSelection();
  prompts.answer(PromptAnswer::Ok);
  click(u"cmdChangeIntervention"_s);
  EXPECT_EQ(prompts.last().text, u"変更する介入を一覧から選んでください。"_s);
}

// Without a database nothing can be entered, and the window says why.
TEST(DenominatorsWindowWithoutDatabaseTest, TellsAndTakesNothing) {
  testing::TempDrive drive;
  SetDefaultCodeLists(drive.state.lists);
  DenominatorsWindow window(drive.state);
  EXPECT_EQ(window.findChild<QLabel*>(u"lblNote"_s)->text(),
            u"データベースを開けなかったため、分母と介入は表示も登録もできません。"_s);
  EXPECT_FALSE(window.findChild<QPushButton*>(u"cmdImportCsv"_s)->isEnabled());
  EXPECT_EQ(window.findChild<QTableWidget*>(u"gridDenominators"_s)->editTriggers(), QAbstractItemView::NoEditTriggers);
}

}  // namespace
}  // namespace orvanta
