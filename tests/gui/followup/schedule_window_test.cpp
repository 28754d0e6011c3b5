#include "gui/followup/schedule_window.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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

class ScheduleWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    testing::OpenFollowupDatabase(state);
  }
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
  EXPECT_EQ(Rows(w), (QStringList{"HIV 受傷時 HIV抗体", "HIV 6週 HIV抗体", "HIV 3か月 HIV抗体", "HIV 6か月 HIV抗体",
                                  "HCV 受傷時 HCV抗体・ALT", "HCV 6週 HCV-RNA", "HCV 6か月 HCV抗体・ALT",
                                  "HBV 受傷時 HBs抗原・HBs抗体", "HBV 6か月 HBs抗原・HBs抗体"}));

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
  EXPECT_EQ(Rows(w)[2], QStringLiteral("HIV 12週 HIV抗原抗体"));  // between 6週 and 3か月
  EXPECT_EQ(QueryNumber(state.database, QStringLiteral("SELECT count(*) FROM schedule_template")), 10);

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
  EXPECT_EQ(Rows(w).size(), 9);
}

}  // namespace
}  // namespace orvanta
