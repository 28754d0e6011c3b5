#include "gui/followup/schedule_window.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "gui/widgets/result_grid_widget.h"
#include "support/followup_cases.h"
#include "support/gui/combo_box.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/qt_printers.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::QueryNumber;
using testing::Type;
using testing::WhenModal;

// The schedule of a new database, as the window shows it.
const QStringList kDefaults{"HIV 受傷時 HIV抗原・抗体(第4世代)",
                            "HIV 6週 HIV抗原・抗体(第4世代)",
                            "HIV 4か月 HIV抗原・抗体(第4世代)",
                            "HCV 受傷時 HCV抗体(陽性ならHCV-RNA)",
                            "HCV 6週 HCV-RNA",
                            "HCV 6か月 HCV抗体",
                            "HBV 受傷時 HBs抗原・HBs抗体・HBc抗体",
                            "HBV 6か月 HBs抗原・HBc抗体"};

class ScheduleWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override { testing::OpenFollowupDatabase(state); }
  static QStringList Rows(const ScheduleWindow& w) {
    const ResultGridModel& grid = w.findChild<ResultGrid*>(QStringLiteral("grdSchedule"))->grid();
    QStringList rows;
    for (int r = 1; r < grid.rows(); ++r) rows << grid.cell(r, 0) + u' ' + grid.cell(r, 1) + u' ' + grid.cell(r, 2);
    return rows;
  }
  static void Choose(const ScheduleWindow& w, int row) {
    auto* grid = w.findChild<ResultGrid*>(QStringLiteral("grdSchedule"));
    grid->setCurrentIndex(grid->model()->index(row, 0));
  }
  static void Click(const QWidget* w, const char* name) {
    w->findChild<QPushButton*>(QString::fromLatin1(name))->click();
  }
};

TEST_F(ScheduleWindowTest, ShowsAddsChangesAndRemovesEntries) {
  ScheduleWindow w(state);
  EXPECT_EQ(w.objectName(), QStringLiteral("frmScheduleTemplates"));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("経過観察の予定表"));
  EXPECT_EQ(Rows(w), kDefaults);

  // Added: HIV at 12 weeks; a test without a name is refused first.
  prompts.answer(PromptAnswer::Ok);
  WhenModal(QStringLiteral("frmScheduleEntry"), [&](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("予定表に追加"));
    d->findChild<QSpinBox*>(QStringLiteral("spnOffset"))->setValue(12);
    Click(d, "cmdOk");
    EXPECT_EQ(prompts.last().text, QStringLiteral("検査名を入力してください。"));
    Type(d->findChild<QLineEdit*>(QStringLiteral("txtTest")), QStringLiteral("HIV抗原抗体"));
    Click(d, "cmdOk");
  });
  Click(&w, "cmdAdd");
  EXPECT_EQ(Rows(w)[2], QStringLiteral("HIV 12週 HIV抗原抗体"));  // between 6週 and 4か月
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM schedule_template")), 9);

  // Changed to HBV at 1 month.
  Choose(w, 3);
  WhenModal(QStringLiteral("frmScheduleEntry"), [&](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("予定表の変更"));
    EXPECT_EQ(d->findChild<QSpinBox*>(QStringLiteral("spnOffset"))->value(), 12);
    ASSERT_TRUE(testing::ChooseInList(d->findChild<QComboBox*>(QStringLiteral("cboPathogen")), 2));
    d->findChild<QSpinBox*>(QStringLiteral("spnOffset"))->setValue(1);
    ASSERT_TRUE(testing::ChooseInList(d->findChild<QComboBox*>(QStringLiteral("cboUnit")), 1));
    Click(d, "cmdOk");
  });
  Click(&w, "cmdChange");
  EXPECT_TRUE(Rows(w).contains(QStringLiteral("HBV 1か月 HIV抗原抗体")));
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM schedule_template WHERE pathogen = 'HBV'"
                                                       " AND offset_count = 1 AND offset_unit = 'か月'")),
            1);

  // Removed after a question.
  const int row = static_cast<int>(Rows(w).indexOf(QStringLiteral("HBV 1か月 HIV抗原抗体"))) + 1;
  Choose(w, row);
  prompts.answer(PromptAnswer::Yes);
  Click(&w, "cmdRemove");
  EXPECT_EQ(
      prompts.last().text,
      QStringLiteral("予定表から「HBV　1か月　HIV抗原抗体」を削除しますか？\n（すでに作成した予定は変わりません）"));
  EXPECT_EQ(Rows(w).size(), 8);
}

// "既定に戻す" asks, naming the new schedule and its source, and puts the
// hospital's edited schedule back to the defaults; "いいえ" keeps it.
TEST_F(ScheduleWindowTest, RestoringTheDefaultsAsksAndReplacesTheWholeSchedule) {
  ASSERT_TRUE(QSqlQuery(state.database.connection())
                  .exec(QStringLiteral("UPDATE schedule_template SET test = '院内の検査' WHERE pathogen = 'HIV'")));
  ASSERT_TRUE(QSqlQuery(state.database.connection())
                  .exec(QStringLiteral("DELETE FROM schedule_template WHERE pathogen = 'HBV'")));
  ScheduleWindow w(state);
  EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblDefaultSource"))->text(),
            QStringLiteral("既定の予定は、HIVは米国公衆衛生局の指針（2013年）、HCVはCDCの指針（2020年）、HBVはCDCの指針"
                           "（2013年）によります。HBVの検査は、受傷者がHBs抗体陽性（設問14）のときは予定しません。"));
  auto* restore = w.findChild<QPushButton*>(QStringLiteral("cmdDefaults"));
  ASSERT_NE(restore, nullptr);
  EXPECT_EQ(restore->text(), QStringLiteral("既定に戻す"));
  const QStringList edited = Rows(w);
  ASSERT_EQ(edited.size(), 6);

  prompts.answer(PromptAnswer::No);
  restore->click();
  EXPECT_EQ(Rows(w), edited);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::YesNo);
  EXPECT_TRUE(prompts.last().text.startsWith(
      QStringLiteral("予定表を次の既定の内容に置き換えますか？\nHIV　受傷時　HIV抗原・抗体(第4世代)\n")));
  EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("CDCの指針（2020年）")));

  prompts.answer(PromptAnswer::Yes);
  restore->click();
  EXPECT_EQ(Rows(w), kDefaults);
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM schedule_template")), 8);
}

}  // namespace
}  // namespace orvanta
