#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "core/app/app_state.h"
#include "gui/shell/main_window.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "gui/shell/startup_gui.h"
#include "support/modal_gui.h"
#include "support/scripted_prompts.h"

namespace orvanta {
namespace {

using testing::ScriptedPrompts;
using testing::WhenModal;

const QString kWelcome = QStringLiteral(
    "基本設定はあらかじめ登録してありますが、随時変更も可能です。部署だけは貴院の部署をご登録ください。");
const QString kGuide = QStringLiteral(
    "設定は随時変更できます。画面中央のボタン「新規登録」または「変更･表示」をクリックして針刺し･切創事故を入力し、"
    "右側のメニューでデータを自由に解析して下さい");

// One machine: a drive root that survives several starts of the program.
class StartupTest : public ::testing::Test {
 protected:
  struct Run {
    ScriptedPrompts prompts;
    std::unique_ptr<AppState> state;
    std::unique_ptr<MainWindow> window;
  };

  std::unique_ptr<Run> newRun() {
    auto run = std::make_unique<Run>();
    run->state = std::make_unique<AppState>(root.path(), run->prompts, clock);
    return run;
  }
  void start(Run& run) { run.window = Main(*run.state); }

  // Logs in through the login window with the text typed.
  static void loginWith(const QString& password, bool ok = true) {
    WhenModal(QStringLiteral("frmLogin"), [password, ok](QWidget* login) {
      auto* box = login->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
      box->clear();
      QTest::keyClicks(box, password);
      login->findChild<QPushButton*>(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))->click();
    });
  }
  static void closeDepartmentEditor() {
    WhenModal(QStringLiteral("frmiin"), [](QWidget* editor) { editor->close(); });
  }
  QString data(const QString& name) const { return QDir(root.path()).filePath(QStringLiteral("tonrix/") + name); }

  QTemporaryDir root;
  FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 30))};
};

TEST_F(StartupTest, FirstStartPreparesTheMachineAndGreetsInOrder) {
  auto run = newRun();
  loginWith(QStringLiteral("Secret"));
  bool editorOpenBetween = false;
  run->prompts.answer(PromptAnswer::Ok, [&] {
    // The department editor opens after the first message is answered.
    WhenModal(QStringLiteral("frmiin"), [&](QWidget* editor) {
      editorOpenBetween = editor->windowTitle() == QStringLiteral("部署登録");
      editor->close();
    });
  });
  run->prompts.answer(PromptAnswer::Ok);
  start(*run);

  ASSERT_NE(run->window, nullptr);
  EXPECT_TRUE(run->window->isVisible());
  EXPECT_EQ(run->prompts.texts(), (QStringList{kWelcome, kGuide}));
  EXPECT_TRUE(editorOpenBetween);
  EXPECT_TRUE(run->state->startup.FirstRun);
  // The data folder is the current folder while the program runs.
  EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), QFileInfo(data(QString())).canonicalFilePath());
  EXPECT_EQ(run->state->startup.TodayYear * 10000 + run->state->startup.TodayMonth * 100 + run->state->startup.TodayDay, 20261209);

  for (const QString& folder : {QStringLiteral("tonrix"), QStringLiteral("tonrixbu"), QStringLiteral("tonrix/data")}) {
    const QFileInfo info(QDir(root.path()).filePath(folder));
    EXPECT_TRUE(info.isDir()) << folder.toStdString();
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
  }
  CodeLists defaults, onDisk;
  SetDefaultCodeLists(defaults);
  ASSERT_TRUE(ReadSettingsFile(data("set.dat"), onDisk).ok());
  EXPECT_EQ(onDisk, defaults);
  IdCounters counters{7, 7, 7, 7};
  ASSERT_TRUE(ReadIdFile(data("ttid.dat"), counters).ok());
  EXPECT_EQ(counters, IdCounters{});
  QString password;
  ASSERT_TRUE(ReadPasswordFile(data("passw.dat"), password).ok());
  EXPECT_EQ(password, QStringLiteral("Secret"));
  run->prompts.answer(PromptAnswer::No);  // backup question on closing
  run->window->close();
}

TEST_F(StartupTest, CancelledFirstLoginEndsButTheNextStartWorks) {
  auto first = newRun();
  loginWith(QString(), /*ok=*/false);
  start(*first);
  EXPECT_EQ(first->window, nullptr);
  EXPECT_TRUE(first->prompts.shown().empty());
  EXPECT_TRUE(QFileInfo::exists(data("ttid.dat")));

  // Not a first run any more, no password was chosen: straight to the main window.
  auto second = newRun();
  start(*second);
  ASSERT_NE(second->window, nullptr);
  EXPECT_FALSE(second->state->startup.FirstRun);
  EXPECT_TRUE(second->prompts.shown().empty());
  second->prompts.answer(PromptAnswer::No);
  second->window->close();
}

TEST_F(StartupTest, LoginStateTable) {
  {  // first start with an empty password switches the login off
    auto run = newRun();
    loginWith(QString());
    run->prompts.answer(PromptAnswer::Ok);
    closeDepartmentEditor();
    run->prompts.answer(PromptAnswer::Ok);
    start(*run);
    ASSERT_NE(run->window, nullptr);
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(data("passw.dat"), bytes));
    EXPECT_EQ(bytes, QByteArray("\r\n"));
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
  }
  {  // later starts show no login window
    auto run = newRun();
    start(*run);
    ASSERT_NE(run->window, nullptr);
    EXPECT_TRUE(run->prompts.shown().empty());
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
  }
  ASSERT_TRUE(WritePasswordFile(data("passw.dat"), QStringLiteral("Secret")));
  {  // a stored password is checked case-sensitively, with unlimited retries
    auto run = newRun();
    WhenModal(QStringLiteral("frmLogin"), [&run](QWidget* login) {
      auto* box = login->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
      auto* ok = login->findChild<QPushButton*>(QStringLiteral("cmdOK"));
      EXPECT_EQ(login->windowTitle(), QStringLiteral("ﾛｸﾞｵﾝ"));
      EXPECT_FALSE(run->prompts.busy());  // no hourglass while the password is typed
      EXPECT_EQ(box->echoMode(), QLineEdit::Password);
      for (const char* wrong : {"secret", "SECRET", ""}) {
        box->setText(QString::fromLatin1(wrong));
        ok->click();
        EXPECT_TRUE(login->isVisible());
        EXPECT_EQ(box->selectedText(), box->text());
      }
      box->setText(QStringLiteral("Secret"));
      ok->click();
    });
    for (int i = 0; i < 3; ++i) run->prompts.answer(PromptAnswer::Ok);
    start(*run);
    ASSERT_NE(run->window, nullptr);
    ASSERT_EQ(run->prompts.shown().size(), 3u);
    for (const auto& shown : run->prompts.shown()) {
      EXPECT_EQ(shown.text, QStringLiteral("ﾊﾟｽﾜｰﾄﾞが正しくありません。もう一度入力してください !"));
      EXPECT_EQ(shown.title, QStringLiteral("ﾛｸﾞｲﾝ"));
    }
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
  }
  {  // cancel ends the program without the main window
    auto run = newRun();
    loginWith(QStringLiteral("Secret"), /*ok=*/false);
    start(*run);
    EXPECT_EQ(run->window, nullptr);
  }
}

TEST_F(StartupTest, LaterStartWithoutIdFileStopsAndWritesNothing) {
  auto first = newRun();
  loginWith(QString(), false);
  start(*first);
  QFile::remove(data("ttid.dat"));
  QFile::remove(data("set.dat"));

  auto run = newRun();
  run->prompts.answer(PromptAnswer::Ok);
  start(*run);
  EXPECT_EQ(run->window, nullptr);
  ASSERT_EQ(run->prompts.shown().size(), 1u);
  EXPECT_EQ(run->prompts.last().text, QStringLiteral("IDファイルのオープンに失敗しました。もう一度起動しなおしてください"));
  EXPECT_EQ(run->prompts.last().title, QString());
  EXPECT_FALSE(QFileInfo::exists(data("ttid.dat")));
  EXPECT_FALSE(QFileInfo::exists(data("set.dat")));
}

TEST_F(StartupTest, AFolderThatCannotBeMadeIsNamedAndEndsTheStart) {
  // A file where a folder belongs cannot become that folder.
  for (const char* blocked : {"tonrix", "tonrixbu"}) {
    QTemporaryDir machine;
    QFile file(QDir(machine.path()).filePath(QString::fromLatin1(blocked)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ScriptedPrompts prompts;
    AppState state(machine.path(), prompts, clock);
    prompts.answer(PromptAnswer::Ok);
    EXPECT_EQ(Main(state), nullptr) << blocked;
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("フォルダ「%1」を作成できませんでした。")
                                       .arg(QDir::toNativeSeparators(file.fileName())));
    EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
    EXPECT_FALSE(QFileInfo::exists(QDir(machine.path()).filePath(QStringLiteral("tonrix/ttid.dat"))));
  }
}

TEST_F(StartupTest, DeletedOrBrokenSettingsComeBackAsDefaults) {
  auto first = newRun();
  loginWith(QString(), false);
  start(*first);
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  for (const QByteArray& broken : {QByteArray(), QByteArray(" 3 \r\n"), QByteArray("x\r\n")}) {
    QFile::remove(data("set.dat"));
    if (!broken.isNull()) {
      QFile f(data("set.dat"));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(broken);
    }
    auto run = newRun();
    start(*run);
    ASSERT_NE(run->window, nullptr);
    EXPECT_EQ(run->state->lists, defaults);
    CodeLists onDisk;
    ASSERT_TRUE(ReadSettingsFile(data("set.dat"), onDisk).ok());
    EXPECT_EQ(onDisk, defaults);
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
  }
}

}  // namespace
}  // namespace orvanta
