// The access log through the windows: what the report window, the login and
// the exports record, the history window ("変更履歴") going back to a version
// and bringing back a deleted report, and the log window ("操作記録") with its
// filters, CSV file, print and check.

#include "gui/audit/access_log_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "core/output/csv_file.h"
#include "core/platform/codepage.h"
#include "core/platform/system_info.h"
#include "core/reports/data_file.h"
#include "core/reports/report_history.h"
#include "core/store/database.h"
#include "core/store/log_table_model.h"
#include "gui/reports/report_history_window.h"
#include "gui/reports/report_window.h"
#include "gui/shell/login_window.h"
#include "support/followup_cases.h"
#include "support/gui/modal_window.h"
#include "support/gui/typing.h"
#include "support/logged_reports.h"
#include "support/pdf_pages.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::WhenModal;

ReportRecord Report(int id, const QString& name) { return testing::NamedReport(id, name); }

template <typename T>
T* Find(const QWidget& w, const char* name) {
  T* found = w.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

class AccessLogWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override { testing::SetUpLoggedReports(*this); }
  // The database as a reader of the log sees it: the entries of the last
  // save moved in first.
  QSqlDatabase db() {
    state.database.runDeferred();
    return state.database.connection();
  }
  std::vector<LogEntry> entries(const QString& kind = {}) {
    LogFilter f;
    f.kind = kind;
    return ReadLogEntries(db(), f, 0, 1000);
  }
  std::vector<ReportRecord> file0() {
    std::vector<ReportRecord> t;
    ReadDataFile(state.paths.DataFilePath(0), t);
    return t;
  }
};

TEST_F(AccessLogWindowTest, TheReportWindowRecordsShowingChangingAndItsHistoryGoesBack) {
  state.dataFile.CurrentIndex = 1;
  ReportWindow w(state);
  w.show();
  // Shown once, however often it is drawn again.
  ASSERT_EQ(entries(log_kind::kReportShown).size(), 1u);
  EXPECT_EQ(entries(log_kind::kReportShown)[0].reportId, 2);

  testing::Retype(Find<QLineEdit>(w, "Text1_5"), QStringLiteral("佐藤 一子"));
  // "変更履歴" saves first; the history then holds the version before the
  // log began and the change.
  WhenModal(QStringLiteral("frmReportHistory"), [&](QWidget* window) {
    auto* list = Find<QTreeWidget>(*window, "lstVersions");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("記録開始前の内容"));
    EXPECT_EQ(list->topLevelItem(1)->text(3), QStringLiteral("報告の変更"));
    EXPECT_EQ(list->topLevelItem(1)->text(4), QStringLiteral("氏名：佐藤 一郎 → 佐藤 一子"));
    EXPECT_EQ(list->topLevelItem(1)->text(2), CurrentUserName());
    auto* restore = Find<QPushButton>(*window, "cmdRestore");
    // The newest version is what the report holds.
    EXPECT_FALSE(restore->isEnabled());
    list->setCurrentItem(list->topLevelItem(0));
    ASSERT_TRUE(restore->isEnabled());
    prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
    restore->click();
    EXPECT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(2)->text(3), QStringLiteral("報告の復元"));
    EXPECT_EQ(list->topLevelItem(2)->text(4), QStringLiteral("氏名：佐藤 一子 → 佐藤 一郎"));
    Find<QPushButton>(*window, "cmdBack")->click();
  });
  Find<QPushButton>(w, "cmdHistory")->click();
  EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("記録番号2の報告をこの版の内容に戻しますか？"),
                                          QStringLiteral("記録番号2の報告をこの版の内容に戻しました。")}));
  EXPECT_EQ(file0()[1].Texts[kReporterName], QStringLiteral("佐藤 一郎"));
  // The window shows what the file holds again.
  EXPECT_EQ(Find<QLineEdit>(w, "Text1_5")->text(), QStringLiteral("佐藤 一郎"));
  const std::vector<LogEntry> change = entries(log_kind::kReportChange);
  ASSERT_EQ(change.size(), 1u);
  EXPECT_EQ(change[0].summary, QStringLiteral("変更：氏名"));
  EXPECT_TRUE(CheckLogChain(db()).intact);
}

TEST_F(AccessLogWindowTest, ADeletedReportIsFoundByItsNumberAndBroughtBack) {
  state.dataFile.CurrentIndex = 1;
  {
    ReportWindow w(state);
    w.show();
    Find<QPushButton>(w, "Command7")->click();
    Find<QPushButton>(w, "Command1")->click();  // "戻る": the file is saved as the window closes
  }
  ASSERT_EQ(file0().size(), 2u);
  const std::vector<LogEntry> deleted = entries(log_kind::kReportDelete);
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0].reportId, 2);

  ReportHistoryWindow history(state, 0);
  history.show();
  testing::Retype(Find<QLineEdit>(history, "txtReportId"), QStringLiteral("2"));
  Find<QPushButton>(history, "cmdFind")->click();
  EXPECT_EQ(Find<QLabel>(history, "lblState")->text(),
            QStringLiteral("記録番号2の報告は削除されています。戻す版を選んでください。"));
  auto* list = Find<QTreeWidget>(history, "lstVersions");
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("報告の削除"));
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  Find<QPushButton>(history, "cmdRestore")->click();
  EXPECT_EQ(prompts.texts().last(), QStringLiteral("記録番号2の報告を、削除前のデータファイル0に戻しました。"));
  ASSERT_EQ(file0().size(), 3u);
  EXPECT_EQ(file0()[1], Report(2, QStringLiteral("佐藤 一郎")));
  EXPECT_TRUE(history.changedReports());
}

TEST_F(AccessLogWindowTest, TheLoginRecordsEachFailedPasswordWithoutItsText) {
  testing::TempDrive drive;
  drive.state.login.Password = QStringLiteral("secret-pw");
  drive.state.log.recordStart();
  LoginWindow login(drive.state);
  login.show();
  testing::Retype(Find<QLineEdit>(login, "txtPassword"), QStringLiteral("wrong-pw"));
  drive.prompts.answer(PromptAnswer::Ok);
  Find<QPushButton>(login, "cmdOK")->click();
  testing::Retype(Find<QLineEdit>(login, "txtPassword"), QStringLiteral("secret-pw"));
  Find<QPushButton>(login, "cmdOK")->click();
  testing::OpenFollowupDatabase(drive.state);
  drive.state.log.attach();
  const std::vector<LogEntry> all = ReadLogEntries(drive.state.database.connection(), {}, 0, 10);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[2].kind, log_kind::kStart);
  EXPECT_EQ(all[1].kind, log_kind::kLoginFailed);
  EXPECT_EQ(all[0].kind, log_kind::kLogin);
  for (const LogEntry& e : all) {
    EXPECT_FALSE(e.summary.contains(QStringLiteral("pw"))) << e.summary.toStdString();
    EXPECT_FALSE(e.details.contains(QStringLiteral("pw"))) << e.details.toStdString();
  }
}

TEST_F(AccessLogWindowTest, TheLogWindowFiltersTakesOutAndChecksTheLog) {
  for (int i = 0; i < 5; ++i) {
    clock.set(testing::kTestMoment.addDays(i));
    state.log.record({i % 2 ? log_kind::kLogin : log_kind::kReportShown,
                      i % 2 ? 0 : 1 + i,
                      QStringLiteral("項目%1, \"引用\"").arg(i),
                      {}});
  }
  AccessLogWindow w(state);
  w.show();
  EXPECT_EQ(w.objectName(), QStringLiteral("frmAccessLog"));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("操作記録"));
  auto* table = Find<QTableView>(w, "grdLog");
  EXPECT_EQ(table->model()->rowCount(), 5);
  EXPECT_EQ(Find<QLabel>(w, "lblCount")->text(), QStringLiteral("5件（新しい順）"));
  EXPECT_EQ(table->model()->index(0, LogTableModel::Seq).data().toString(), QStringLiteral("5"));

  auto* kinds = Find<QComboBox>(w, "cboKind");
  kinds->setCurrentIndex(kinds->findText(QStringLiteral("ログイン")));
  Find<QPushButton>(w, "cmdShow")->click();
  EXPECT_EQ(table->model()->rowCount(), 2);
  kinds->setCurrentIndex(0);
  Find<QCheckBox>(w, "chkPeriod")->setChecked(true);
  Find<QDateEdit>(w, "dtpFrom")->setDate(QDate(2026, 12, 10));
  Find<QDateEdit>(w, "dtpTo")->setDate(QDate(2026, 12, 11));
  testing::Retype(Find<QLineEdit>(w, "txtReportId"), QStringLiteral("3"));
  Find<QPushButton>(w, "cmdShow")->click();
  ASSERT_EQ(table->model()->rowCount(), 1);
  EXPECT_EQ(table->model()->index(0, LogTableModel::Report).data().toString(), QStringLiteral("3"));
  Find<QLineEdit>(w, "txtReportId")->clear();
  Find<QPushButton>(w, "cmdShow")->click();
  ASSERT_EQ(table->model()->rowCount(), 2);

  // The CSV file of what the filter shows, quoted where needed.
  const QString csv = root.filePath(QStringLiteral("log.csv"));
  prompts.answerSaveFile(csv).answer(PromptAnswer::Ok);
  Find<QPushButton>(w, "cmdCsv")->click();
  const QString text = cp932::Decode(testing::FileBytes(csv));
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  ASSERT_GE(lines.size(), 4);
  EXPECT_EQ(lines[0],
            QStringLiteral("操作記録　期間：2026/12/10～2026/12/11　ユーザー：全て　種類：全て　記録番号：全て"));
  EXPECT_TRUE(
      lines[1].startsWith(QStringLiteral("番号,日時,ユーザー,ホスト,種類,記録番号,内容,詳細,直前のハッシュ,ハッシュ")));
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("3,2026-12-11T09:00:00")));
  EXPECT_TRUE(lines[2].contains(QStringLiteral(",\"項目2, \"\"引用\"\"\",")));
  // The export is an entry of its own, shown at once.
  EXPECT_EQ(entries(log_kind::kCsv).size(), 1u);

  // The print.
  Find<QCheckBox>(w, "chkPeriod")->setChecked(false);
  Find<QPushButton>(w, "cmdShow")->click();
  const QString pdf = root.filePath(QStringLiteral("log.pdf"));
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf);
  Find<QPushButton>(w, "cmdPrint")->click();
  const std::vector<testing::PdfPage> pages = testing::ReadPdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("操作記録"))) << pages[0].text().toStdString();
  EXPECT_TRUE(pages[0].text().contains(QStringLiteral("2026-12-13T09:00:00"))) << pages[0].text().toStdString();
  EXPECT_EQ(entries(log_kind::kPdf).size(), 1u);

  // The check: intact, then broken by another tool.
  prompts.answer(PromptAnswer::Ok);
  Find<QPushButton>(w, "cmdCheck")->click();
  EXPECT_EQ(prompts.texts().last(), QStringLiteral("操作記録の全7件は改ざんされていません。"));
  QSqlQuery q(db());
  ASSERT_TRUE(q.exec(QStringLiteral("DROP TRIGGER access_log_no_update")));
  ASSERT_TRUE(q.exec(QStringLiteral("UPDATE access_log SET os_user = 'someone' WHERE seq = 4")));
  prompts.answer(PromptAnswer::Ok);
  Find<QPushButton>(w, "cmdCheck")->click();
  EXPECT_TRUE(prompts.texts().last().startsWith(QStringLiteral("操作記録の連鎖が番号4（2026-12-12T09:00:00")))
      << prompts.texts().last().toStdString();
  EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
}

}  // namespace
}  // namespace orvanta
