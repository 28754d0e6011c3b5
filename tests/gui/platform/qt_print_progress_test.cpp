#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/platform/qt_prompts.h"

namespace orvanta {
namespace {

QProgressDialog* ProgressDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("printProgress")) return qobject_cast<QProgressDialog*>(w);
  return nullptr;
}

// The progress of a print job: hidden while the job is quick, then the pages
// done and "キャンセル", which stops the job.
TEST(QtPrintProgress, ShowsThePagesAfterAMomentAndItsCancelStopsTheJob) {
  QtPrompts prompts;
  {
    std::unique_ptr<PrintProgress> progress = prompts.printProgress();
    progress->setPageCount(10);
    QProgressDialog* dialog = ProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(progress->pageDone(1));
    EXPECT_FALSE(dialog->isVisible());  // a quick job shows nothing

    QTest::qWait(500);  // the job has now run for more than a moment
    EXPECT_TRUE(progress->pageDone(2));
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("印刷"));
    EXPECT_EQ(dialog->findChild<QLabel*>()->text(), QStringLiteral("印刷しています。2 / 10 ページ"));
    EXPECT_EQ(dialog->value(), 2);
    QPushButton* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));

    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(progress->stopped());
    EXPECT_FALSE(progress->pageDone(3));
  }
  EXPECT_EQ(ProgressDialog(), nullptr);  // gone with the job
}

TEST(QtPrintProgress, WithoutAPageCountCountsThePagesDone) {
  QtPrompts prompts;
  std::unique_ptr<PrintProgress> progress = prompts.printProgress();
  QTest::qWait(500);
  EXPECT_TRUE(progress->pageDone(7));
  ASSERT_NE(ProgressDialog(), nullptr);
  EXPECT_EQ(ProgressDialog()->findChild<QLabel*>()->text(), QStringLiteral("印刷しています。7 ページ"));
  EXPECT_FALSE(progress->stopped());
}

}  // namespace
}  // namespace orvanta
