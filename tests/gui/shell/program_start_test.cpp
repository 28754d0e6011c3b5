#include "gui/shell/program_start.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "core/app/app_state.h"
#include "core/app/data_folder_lock.h"
#include "core/app/password_file.h"
#include "core/app/startup.h"
#include "core/backup/generations.h"
#include "core/backup/make_generation.h"
#include "core/backup/restore_record.h"
#include "core/codelists/code_lists.h"
#include "core/platform/clock.h"
#include "core/platform/drive_paths.h"
#include "core/platform/value_file.h"
#include "core/reports/data_file.h"
#include "gui/shell/main_window.h"
#include "gui/shell/program_start.h"
#include "gui/shell/splash_window.h"
#include "support/file_permissions.h"
#include "support/gui/modal_window.h"
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
  // A whole first start that chooses no password: OK on the blank login,
  // the two greetings answered, the department editor closed, no backup.
  void startOnceWithoutPassword() {
    auto run = newRun();
    loginWith(QString());
    run->prompts.answer(PromptAnswer::Ok);
    closeDepartmentEditor();
    run->prompts.answer(PromptAnswer::Ok);
    start(*run);
    ASSERT_NE(run->window, nullptr);
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
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
  EXPECT_EQ(run->state->startup.TodayYear * 10000 + run->state->startup.TodayMonth * 100 + run->state->startup.TodayDay,
            20261209);

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
  EXPECT_EQ(counters, (IdCounters{461, 0, 0, 0}));  // the default lists' ids are in use
  QString password;
  ASSERT_TRUE(ReadPasswordFile(data("passw.dat"), password).ok());
  EXPECT_EQ(password, QStringLiteral("Secret"));
  run->prompts.answer(PromptAnswer::No);  // backup question on closing
  run->window->close();
}

// The record of the first start is written only once its login window has
// been answered with OK: a first start ended at the login window (cancelled,
// or killed while the window was open) leaves the next start a first start,
// which asks for the password again.
TEST_F(StartupTest, AFirstStartEndedAtTheLoginLeavesTheNextStartAFirstStart) {
  auto first = newRun();
  bool recordWhileAsked = true;
  WhenModal(QStringLiteral("frmLogin"), [&](QWidget* login) {
    recordWhileAsked = QFileInfo::exists(data("started.dat"));
    login->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
  });
  start(*first);
  EXPECT_EQ(first->window, nullptr);
  EXPECT_TRUE(first->prompts.shown().empty());
  EXPECT_FALSE(recordWhileAsked);
  EXPECT_FALSE(QFileInfo::exists(data("started.dat")));
  EXPECT_FALSE(QFileInfo::exists(data("passw.dat")));
  EXPECT_TRUE(QFileInfo::exists(data("ttid.dat")));

  // Still a first start: the login window asks for the password to choose.
  auto second = newRun();
  bool recordAtOk = true;
  WhenModal(QStringLiteral("frmLogin"), [&](QWidget* login) {
    recordAtOk = QFileInfo::exists(data("started.dat"));
    QTest::keyClicks(login->findChild<QLineEdit*>(QStringLiteral("txtPassword")), QStringLiteral("Secret"));
    login->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
  });
  second->prompts.answer(PromptAnswer::Ok);
  closeDepartmentEditor();
  second->prompts.answer(PromptAnswer::Ok);
  start(*second);
  ASSERT_NE(second->window, nullptr);
  EXPECT_TRUE(second->state->startup.FirstRun);
  EXPECT_FALSE(recordAtOk);
  EXPECT_EQ(second->prompts.texts(), (QStringList{kWelcome, kGuide}));
  EXPECT_TRUE(QFileInfo::exists(data("started.dat")));
  second->prompts.answer(PromptAnswer::No);
  second->window->close();
  second->window.reset();  // the lock goes with the program

  // From now on the chosen password guards every start.
  auto third = newRun();
  loginWith(QStringLiteral("Secret"));
  start(*third);
  ASSERT_NE(third->window, nullptr);
  EXPECT_FALSE(third->state->startup.FirstRun);
  EXPECT_TRUE(third->prompts.shown().empty());
  third->prompts.answer(PromptAnswer::No);
  third->window->close();
}

// The first start on an empty home holds the data folder from the moment it
// has made it: a second start while the first asks for its password is
// turned away, and the lock goes with the first start's end.
TEST_F(StartupTest, TheFirstStartHoldsTheNewFolderFromTheBeginning) {
  auto first = newRun();
  auto second = newRun();
  second->prompts.answer(PromptAnswer::Ok);
  bool lockedDuringLogin = false;
  WhenModal(QStringLiteral("frmLogin"), [&](QWidget* login) {
    lockedDuringLogin = QFileInfo::exists(data("orvanta.lock"));
    start(*second);
    login->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
  });
  start(*first);
  EXPECT_TRUE(lockedDuringLogin);
  EXPECT_EQ(first->window, nullptr);
  EXPECT_EQ(second->window, nullptr);
  EXPECT_EQ(second->prompts.texts(),
            QStringList{QStringLiteral("Orvantaは既に起動しています。先に起動したウィンドウをお使いください。")});
  EXPECT_FALSE(QFileInfo::exists(data("orvanta.lock")));
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
  startOnceWithoutPassword();
  QFile::remove(data("ttid.dat"));
  QFile::remove(data("set.dat"));

  auto run = newRun();
  run->prompts.answer(PromptAnswer::Ok);
  start(*run);
  EXPECT_EQ(run->window, nullptr);
  ASSERT_EQ(run->prompts.shown().size(), 1u);
  EXPECT_EQ(run->prompts.last().text,
            QStringLiteral("IDファイルのオープンに失敗しました。もう一度起動しなおしてください"));
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
    EXPECT_EQ(prompts.last().text,
              QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(file.fileName())));
    EXPECT_EQ(prompts.last().icon, PromptIcon::Critical);
    EXPECT_FALSE(QFileInfo::exists(QDir(machine.path()).filePath(QStringLiteral("tonrix/ttid.dat"))));
  }
}

TEST_F(StartupTest, DeletedSettingsComeBackAsDefaultsWithoutAWord) {
  startOnceWithoutPassword();
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  QFile::remove(data("set.dat"));
  auto run = newRun();
  start(*run);
  ASSERT_NE(run->window, nullptr);
  EXPECT_TRUE(run->prompts.shown().empty());
  EXPECT_EQ(run->state->lists, defaults);
  CodeLists onDisk;
  ASSERT_TRUE(ReadSettingsFile(data("set.dat"), onDisk).ok());
  EXPECT_EQ(onDisk, defaults);
  run->prompts.answer(PromptAnswer::No);
  run->window->close();
}

// The user's own lists are never written over by the defaults: a set.dat
// that does not read is kept aside first, and the user is told.
TEST_F(StartupTest, AnUnreadableSettingsFileIsKeptAsideAndTheUserTold) {
  startOnceWithoutPassword();
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  CodeLists own = defaults;
  own[kDepartments].entries.append(CodeEntry{QStringLiteral("救命救急センター"), QStringLiteral("99"), 900});
  QByteArray ownBytes = SettingsFileBytes(own);
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"cut short by six bytes", ownBytes.left(ownBytes.size() - 6)},
      {"a count only", " 3 \r\n"},
      {"not a number", "x\r\n"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QFile f(data("set.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(c.bytes);
    f.close();
    const QString keptName = QStringLiteral("set.dat.damaged-20261209-1030");
    QFile::remove(data(keptName));
    auto run = newRun();
    run->prompts.answer(PromptAnswer::Ok);
    start(*run);
    ASSERT_NE(run->window, nullptr);
    ASSERT_EQ(run->prompts.shown().size(), 1u);
    EXPECT_EQ(run->prompts.last().text,
              QStringLiteral("設定ファイル「%1」を読み込めませんでした。元のファイルは「%2」という名前で残し、"
                             "部署・職種などの一覧は初期設定のものを使います。")
                  .arg(QDir::toNativeSeparators(data("set.dat")), keptName));
    EXPECT_EQ(run->prompts.last().icon, PromptIcon::Exclamation);
    QByteArray kept;
    ASSERT_TRUE(ReadWholeFile(data(keptName), kept));
    EXPECT_EQ(kept, c.bytes);
    EXPECT_EQ(run->state->lists, defaults);
    CodeLists onDisk;
    ASSERT_TRUE(ReadSettingsFile(data("set.dat"), onDisk).ok());
    EXPECT_EQ(onDisk, defaults);
    run->prompts.answer(PromptAnswer::No);
    run->window->close();
  }
}

// A machine that has been started once (no password): the next start goes
// straight to the main window.
class StartedMachineTest : public StartupTest {
 protected:
  void SetUp() override {
    startOnceWithoutPassword();
    ASSERT_TRUE(QFileInfo::exists(data("ttid.dat")));
  }
  static ReportRecord report(int id) {
    ReportRecord r;
    r.ReportId = id;
    r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(id);
    r.Years = {2025, 2025, 0};
    r.Months = {6, 6, 0};
    r.Days = {1, 2, 0};
    return r;
  }
  void writeReports(int fileNo, int firstId, int count) {
    std::vector<ReportRecord> table;
    for (int i = 0; i < count; ++i) table.push_back(report(firstId + i));
    ASSERT_TRUE(WriteDataFile(data(QStringLiteral("data/%1.dat").arg(fileNo)), table));
  }
  void writeIdFile(const QByteArray& bytes) {
    QFile f(data("ttid.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  void finish(Run& run) {
    run.prompts.answer(PromptAnswer::No);  // the backup question
    run.window->close();
    run.window.reset();
  }
};

// A program stopped between saving a new report and saving ttid.dat left
// the counters behind the files (or a ttid.dat of one line). The next new
// report must not get an id that a stored report has.
TEST_F(StartedMachineTest, ANewReportNeverGetsAnIdTheFilesAlreadyHold) {
  struct Case {
    const char* what;
    QByteArray idFile;
  } cases[] = {
      {"counters one report behind", " 470 \r\n 6 \r\n 1 \r\n 6 \r\n"},
      {"one-line ttid.dat", " 470 \r\n"},
      {"damaged report id", " 470 \r\nx\r\n 1 \r\n 6 \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeReports(0, 1, 4);
    writeReports(1, 5, 3);  // ids 5, 6, 7: report 7 was saved, ttid.dat was not
    writeIdFile(c.idFile);
    auto run = newRun();
    start(*run);
    ASSERT_NE(run->window, nullptr);
    EXPECT_EQ(run->state->counters.LastReportId, 7);
    EXPECT_EQ(run->state->counters.TotalReports, 7);
    IdCounters onDisk;
    ASSERT_TRUE(ReadIdFile(data("ttid.dat"), onDisk).ok());
    EXPECT_EQ(onDisk, (IdCounters{470, 7, 1, 7}));

    std::int32_t newId = 0;
    WhenModal(QStringLiteral("frmrep"), [&](QWidget* window) {
      newId = run->state->dataFile.ReportTable[static_cast<std::size_t>(run->state->dataFile.CurrentIndex)].ReportId;
      window->close();
    });
    run->window->findChild<QPushButton*>(QStringLiteral("cmdname_3"))->click();  // 新規追加
    EXPECT_EQ(newId, 8);
    finish(*run);
  }
}

// A code id once handed out is never handed out again. 「その他」 (461) and
// 「ミキシング」 (460) of 行為別 are deleted in the editor and a new entry
// inserted, with reports that hold the deleted ids, on a machine whose
// ttid.dat lags behind: written by an older start, cut to one line, damaged
// after its first line.
TEST_F(StartedMachineTest, ANewCodeEntryNeverGetsAnIdInUse) {
  CodeLists defaults;
  SetDefaultCodeLists(defaults);
  CodeLists deletedBefore = defaults;  // by an older start
  deletedBefore[kActionTypes].entries.resize(9);
  struct Case {
    const char* what;
    QByteArray idFile;
    const CodeLists& lists;
    std::int32_t otherAnswerId;  // a report's answer on 職種, of an entry deleted long ago
    std::int32_t lastCodeId;     // after the start
  } cases[] = {
      {"counter behind set.dat", " 0 \r\n 2 \r\n 0 \r\n 2 \r\n", defaults, 1, 461},
      {"one-line ttid.dat, the ids left only in reports", " 0 \r\n", deletedBefore, 1, 461},
      {"damaged ttid.dat, a higher id in a report", " 0 \r\nx\r\n 0 \r\n 2 \r\n", deletedBefore, 470, 470},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteSettingsFile(data("set.dat"), c.lists));
    writeIdFile(c.idFile);
    std::vector<ReportRecord> reports = {report(1), report(2)};
    reports[0].AnswerIds[kActionTypes] = 461;
    reports[1].AnswerIds[kActionTypes] = 460;
    reports[1].AnswerIds[kOccupations] = c.otherAnswerId;
    ASSERT_TRUE(WriteDataFile(data("data/0.dat"), reports));

    auto run = newRun();
    start(*run);
    ASSERT_NE(run->window, nullptr);
    IdCounters onDisk;
    ASSERT_TRUE(ReadIdFile(data("ttid.dat"), onDisk).ok());
    EXPECT_EQ(onDisk.LastCodeId, c.lastCodeId);

    WhenModal(QStringLiteral("frmiin"), [&](QWidget* editor) {
      auto* list = editor->findChild<QListWidget*>(QStringLiteral("List1"));
      for (const QString& name : {QStringLiteral("その他"), QStringLiteral("ミキシング")}) {
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
        run->prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Ok);  // both confirmations
        editor->findChild<QPushButton*>(QStringLiteral("cmdname_1"))->click();
      }
      editor->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("新しい行為"));
      editor->findChild<QPushButton*>(QStringLiteral("cmdname_0"))->click();
      run->prompts.answer(PromptAnswer::Yes);  // save on the way back
      editor->findChild<QPushButton*>(QStringLiteral("Command6"))->click();
    });
    run->window->findChild<QPushButton*>(QStringLiteral("Command2_9"))->click();

    CodeLists saved;
    ASSERT_TRUE(ReadSettingsFile(data("set.dat"), saved).ok());
    CodeList expected = deletedBefore[kActionTypes];
    expected.entries.append(CodeEntry{QStringLiteral("新しい行為"), QString(), c.lastCodeId + 2});
    EXPECT_EQ(saved[kActionTypes], expected);
    ASSERT_TRUE(ReadIdFile(data("ttid.dat"), onDisk).ok());
    EXPECT_EQ(onDisk.LastCodeId, c.lastCodeId + 2);
    finish(*run);
  }
}

// The splash is on the screen, painted, before the data files are counted,
// the busy pointer covers the count, and the splash stays until the main
// window is up, also when a login window came between.
TEST_F(StartedMachineTest, TheSplashIsPaintedAndThePointerBusyWhileTheFilesAreCounted) {
  writeReports(0, 1, 3);
  writeReports(1, 4, 2);
  writeIdFile(" 470 \r\n 5 \r\n 1 \r\n 5 \r\n");
  ASSERT_TRUE(WritePasswordFile(data("passw.dat"), QStringLiteral("Secret")));

  auto run = newRun();
  struct Seen {
    bool busy;
    bool counted;
    bool splashPainted;
    bool loginOpen;
    bool mainVisible;
  };
  std::vector<Seen> seen;
  run->prompts.whenBusy = [&](bool busy) {
    Seen s{busy, run->state->dataFile.FileRecordCounts[0] == 3, false, false, false};
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* splash = qobject_cast<SplashWindow*>(w)) s.splashPainted = splash->isVisible() && splash->painted();
      if (w->objectName() == QStringLiteral("frmLogin") && w->isVisible()) s.loginOpen = true;
      if (w->objectName() == QStringLiteral("frmMain") && w->isVisible()) s.mainVisible = true;
    }
    seen.push_back(s);
  };
  loginWith(QStringLiteral("Secret"));
  start(*run);
  run->prompts.whenBusy = nullptr;
  ASSERT_NE(run->window, nullptr);

  // The change of pointer just before the count: busy, the splash painted,
  // the login window gone, the main window not yet there.
  const auto firstCounted = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.counted; });
  ASSERT_NE(firstCounted, seen.end());
  ASSERT_NE(firstCounted, seen.begin());
  const Seen& before = *(firstCounted - 1);
  EXPECT_TRUE(before.busy);
  EXPECT_TRUE(before.splashPainted);
  EXPECT_FALSE(before.loginOpen);
  EXPECT_FALSE(before.mainVisible);
  // The pointer comes back once the main window is up.
  EXPECT_FALSE(firstCounted->busy);
  EXPECT_TRUE(firstCounted->mainVisible);
  EXPECT_FALSE(firstCounted->splashPainted);
  EXPECT_FALSE(run->prompts.busy());
  finish(*run);
}

// Folders made by an older installation were readable by everyone: the start
// tightens them, and only what belongs in them.
TEST_F(StartedMachineTest, StartTightensTheDataAndBackupFoldersToTheOwner) {
  writeReports(0, 1, 2);
  writeIdFile(" 470 \r\n 2 \r\n 0 \r\n 2 \r\n");
  ASSERT_TRUE(QDir().mkpath(QDir(root.path()).filePath(QStringLiteral("tonrixbu/data"))));
  QFile backupFile(QDir(root.path()).filePath(QStringLiteral("tonrixbu/data/0.dat")));
  ASSERT_TRUE(backupFile.open(QIODevice::WriteOnly));
  backupFile.write(" 0 \r\n");
  backupFile.close();
  // A file elsewhere that a link in the data folder points to.
  QTemporaryDir elsewhere;
  const QString outside = QDir(elsewhere.path()).filePath(QStringLiteral("shared.txt"));
  QFile outsideFile(outside);
  ASSERT_TRUE(outsideFile.open(QIODevice::WriteOnly));
  outsideFile.close();
  ASSERT_TRUE(QFile::link(outside, data("link-to-shared.txt")));

  const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
  const auto openDir = open | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
  const QStringList folders = {QStringLiteral("tonrix"), QStringLiteral("tonrix/data"), QStringLiteral("tonrixbu"),
                               QStringLiteral("tonrixbu/data")};
  const QStringList files = {QStringLiteral("tonrix/set.dat"), QStringLiteral("tonrix/ttid.dat"),
                             QStringLiteral("tonrix/data/0.dat"), QStringLiteral("tonrixbu/data/0.dat")};
  for (const QString& f : folders) ASSERT_TRUE(QFile::setPermissions(QDir(root.path()).filePath(f), openDir));
  for (const QString& f : files) ASSERT_TRUE(QFile::setPermissions(QDir(root.path()).filePath(f), open));
  ASSERT_TRUE(QFile::setPermissions(outside, open));

  auto run = newRun();
  start(*run);
  ASSERT_NE(run->window, nullptr);
  const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                      QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
  for (const QString& f : folders) {
    const auto p = QFile::permissions(QDir(root.path()).filePath(f));
    EXPECT_EQ(p & others, QFileDevice::Permissions()) << f.toStdString();
    EXPECT_TRUE(p & QFileDevice::ExeOwner) << f.toStdString();
  }
  for (const QString& f : files) {
    const auto p = QFile::permissions(QDir(root.path()).filePath(f));
    EXPECT_EQ(p & others, QFileDevice::Permissions()) << f.toStdString();
    EXPECT_EQ(p & (QFileDevice::ReadOwner | QFileDevice::WriteOwner), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  EXPECT_EQ(QFile::permissions(outside) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
            QFileDevice::ReadGroup | QFileDevice::ReadOther);  // not the program's to change
  finish(*run);
}

// Every file under a folder with its bytes, times and mode, and every folder.
QStringList Snapshot(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    QString line = QDir(folder).relativeFilePath(path) + QLatin1Char(' ') +
                   QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(' ') +
                   QString::number(static_cast<int>(info.permissions()), 16);
    if (info.isFile()) {
      QFile f(path);
      if (f.open(QIODevice::ReadOnly)) line += QLatin1Char(' ') + QString::fromLatin1(f.readAll().toHex());
    }
    out << line;
  }
  out.sort();
  return out;
}

// One program at a time on one data folder: a second start is told so and
// touches nothing; once the first has ended, the next start works.
TEST_F(StartedMachineTest, ASecondStartIsToldAndWritesNothing) {
  writeReports(0, 1, 2);
  writeIdFile(" 470 \r\n 2 \r\n 0 \r\n 2 \r\n");
  auto first = newRun();
  start(*first);
  ASSERT_NE(first->window, nullptr);
  EXPECT_TRUE(QFileInfo::exists(data("orvanta.lock")));
  const QStringList before = Snapshot(root.path());
  QTest::qWait(20);  // a write now would show in the times

  auto second = newRun();
  second->prompts.answer(PromptAnswer::Ok);
  start(*second);
  EXPECT_EQ(second->window, nullptr);
  ASSERT_EQ(second->prompts.shown().size(), 1u);
  EXPECT_EQ(second->prompts.last().text,
            QStringLiteral("Orvantaは既に起動しています。先に起動したウィンドウをお使いください。"));
  EXPECT_EQ(second->prompts.last().title, QString());
  EXPECT_EQ(Snapshot(root.path()), before);

  finish(*first);
  EXPECT_FALSE(QFileInfo::exists(data("orvanta.lock")));
  auto third = newRun();
  start(*third);
  ASSERT_NE(third->window, nullptr);
  EXPECT_TRUE(third->prompts.shown().empty());
  finish(*third);
}

// A restore stopped half-way is finished before anything is read, said so,
// and never taken for a first start; what cannot be settled ends the start
// without touching a file.
TEST_F(StartedMachineTest, ARestoreStoppedHalfWayIsSettledFirst) {
  writeReports(0, 1, 2);
  writeIdFile(" 470 \r\n 2 \r\n 0 \r\n 2 \r\n");
  // Everything went out, nothing came in yet: the folder looks empty.
  const QString in = data(".orvanta-restore-in");
  const QString out = data(".orvanta-restore-out");
  ASSERT_TRUE(QDir().mkpath(in));
  ASSERT_TRUE(QDir().mkpath(out));
  RestoreRecord record;
  record.savedGeneration = QStringLiteral("20261209-100000");
  for (const QString& name : QDir(data(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
    if (name.startsWith(QLatin1Char('.'))) continue;
    record.goingOut << name;
    ASSERT_TRUE(QFile::copy(data(name), QDir(in).filePath(name)) || QDir().mkpath(QDir(in).filePath(name)));
  }
  ASSERT_TRUE(QFile::copy(data("data/0.dat"), QDir(in).filePath(QStringLiteral("data/0.dat"))));
  record.comingIn = record.goingOut;
  ASSERT_TRUE(WriteRestoreRecord(data(QString()), record, nullptr));
  for (const QString& name : record.goingOut) ASSERT_TRUE(QDir().rename(data(name), QDir(out).filePath(name)));
  ASSERT_FALSE(QFileInfo::exists(data("started.dat")));

  auto run = newRun();
  run->prompts.answer(PromptAnswer::Ok);
  start(*run);
  ASSERT_NE(run->window, nullptr);
  ASSERT_GE(run->prompts.shown().size(), 1u);
  EXPECT_EQ(run->prompts.shown()[0].text,
            QStringLiteral("前回、バックアップからの復元が途中で止まっていたため、復元を最後まで行いました。\n"
                           "復元の前のデータは「2026/12/09 10:00:00」の世代に保存してあります。"));
  EXPECT_FALSE(run->state->startup.FirstRun);
  EXPECT_EQ(run->state->counters.LastReportId, 2);
  EXPECT_FALSE(QFileInfo::exists(in));
  EXPECT_FALSE(QFileInfo::exists(out));
  finish(*run);

  // An outgoing folder that no record explains stops the start.
  ASSERT_TRUE(QDir().mkpath(out));
  ASSERT_TRUE(QDir().rename(data("data"), QDir(out).filePath(QStringLiteral("data"))));
  auto stuck = newRun();
  stuck->prompts.answer(PromptAnswer::Ok);
  start(*stuck);
  EXPECT_EQ(stuck->window, nullptr);
  ASSERT_EQ(stuck->prompts.shown().size(), 1u);
  EXPECT_TRUE(stuck->prompts.last().text.startsWith(
      QStringLiteral("前回、バックアップからの復元が途中で止まっており、データを元の状態にできませんでした。")));
  EXPECT_EQ(stuck->prompts.last().icon, PromptIcon::Critical);
  EXPECT_TRUE(QFileInfo(QDir(out).filePath(QStringLiteral("data/0.dat"))).isFile());
}

// The disk full: how much room the disk has is told by the test. With no
// room no lock is attempted; with room, a folder the lock cannot be made in
// (mode 0555, held to the modes as an ordinary user) fails it.
class FullDiskTest : public StartedMachineTest {
 protected:
  static qint64 NoRoom(const QString&) { return 0; }
  static qint64 Room(const QString&) { return qint64(1) << 30; }
  static QFileDevice::Permissions LockedOut() {
    return QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup |
           QFileDevice::ReadOther | QFileDevice::ExeOther;
  }
  void SetUp() override {
    StartedMachineTest::SetUp();
    // Counters behind the files and no set.dat: a start that may write
    // would write both.
    writeReports(0, 1, 3);
    writeReports(1, 4, 2);
    writeIdFile(" 470 \r\n 0 \r\n 0 \r\n 0 \r\n");
    ASSERT_TRUE(QFile::remove(data("set.dat")));
    ASSERT_TRUE(QFileInfo(data("orvanta.sqlite")).isFile());
    folderMode = QFile::permissions(data(QString()));
  }
  // Starts on a disk with the room roomLeft tells; a disk with room has the
  // data folder locked against the lock for the start.
  void startOnFullDisk(Run& run, qint64 (*roomLeft)(const QString&)) {
    if (roomLeft == NoRoom) {
      run.window = Main(*run.state, roomLeft);
      return;
    }
    testing::OrdinaryFileAccess ordinary;
    if (!ordinary.active()) GTEST_SKIP() << "file modes cannot be enforced here";
    ASSERT_TRUE(QFile::setPermissions(data(QString()), LockedOut()));
    run.window = Main(*run.state, roomLeft);
    QFile::setPermissions(data(QString()), folderMode);
  }
  QString diskFullText() const {
    return QStringLiteral(
               "ディスクの空き容量がないため、データフォルダ「%1」にファイル「orvanta.lock」を作成できず、"
               "起動できません。\n不要なファイルを削除してディスクに空きを作ってから、起動しなおしてください。")
        .arg(QDir::toNativeSeparators(data(QString()).chopped(1)));
  }

  QFileDevice::Permissions folderMode;
};

TEST_F(FullDiskTest, TheReportsAreReadAndNothingIsWritten) {
  const QStringList before = Snapshot(root.path());
  auto run = newRun();
  run->prompts.answer(PromptAnswer::Yes);
  startOnFullDisk(*run, NoRoom);
  ASSERT_NE(run->window, nullptr);
  ASSERT_EQ(run->prompts.shown().size(), 1u);
  const auto& question = run->prompts.shown()[0];
  EXPECT_EQ(question.text,
            QStringLiteral("ディスクの空き容量がないため、データフォルダ「%1」にファイル「orvanta.lock」を作成できず、"
                           "通常どおりには起動できません。\n\n"
                           "読み取り専用で起動すると、報告の表示・検索・集計・印刷はできますが、ディスクに空きを作って"
                           "起動しなおすまでは、報告の保存・変更・削除、設定の変更、取り込み、バックアップ、復元は"
                           "一切できません。\n\n"
                           "読み取り専用で起動しますか？\n「はい」で読み取り専用で起動し、「いいえ」で終了します。")
                .arg(QDir::toNativeSeparators(data(QString()).chopped(1))));
  EXPECT_EQ(question.title, QStringLiteral("読み取り専用での起動"));
  EXPECT_EQ(question.icon, PromptIcon::Question);
  EXPECT_EQ(question.buttons, PromptButtons::YesNo);

  MainWindow& window = *run->window;
  EXPECT_TRUE(run->state->startup.ReadOnlySession);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("トンリクス日本版　Orvanta（読み取り専用）"));
  auto* line = window.findChild<QLabel*>(QStringLiteral("lblReadOnly"));
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->isVisible());
  EXPECT_TRUE(run->state->database.isOpen());
  EXPECT_TRUE(run->state->database.isReadOnly());
  EXPECT_EQ(run->state->counters.TotalReports, 5);  // counted, not written
  // What writes is off; what reads and takes out is on.
  for (const char* name : {"actBackupNow", "actRestore", "actRepairDataFile", "actFacilitySettings"})
    EXPECT_FALSE(window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled()) << name;
  for (const char* name : {"actRates", "actAccessLog", "actDueList", "actGuide"})
    EXPECT_TRUE(window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled()) << name;
  for (const char* name : {"Command2_8", "Command2_0", "Command3", "cmdname_3"})
    EXPECT_FALSE(window.findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled()) << name;
  for (const char* name : {"cmdname_2", "cmdname_1", "Command4", "Command7"})
    EXPECT_TRUE(window.findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled()) << name;

  // The report window shows the newest report and steps back into the file
  // before; nothing in it changes a report.
  QStringList shownNames;
  bool viewOnly = false;
  QString caption;
  WhenModal(QStringLiteral("frmrep"), [&](QWidget* reports) {
    caption = reports->windowTitle();
    auto* name = reports->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(kReporterName));
    viewOnly = name->isReadOnly() && !reports->findChild<QPushButton*>(QStringLiteral("Command7"))->isEnabled() &&
               !reports->findChild<QPushButton*>(QStringLiteral("Command6"))->isEnabled();
    shownNames << name->text();
    for (int i = 0; i < 2; ++i) {
      reports->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
      shownNames << name->text();
    }
    reports->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  });
  window.findChild<QPushButton*>(QStringLiteral("cmdname_2"))->click();
  EXPECT_EQ(caption, QStringLiteral("事故時報告書（読み取り専用）"));
  EXPECT_TRUE(viewOnly);
  EXPECT_EQ(shownNames, (QStringList{QStringLiteral("報告者5"), QStringLiteral("報告者4"), QStringLiteral("報告者3")}));

  // Closing asks nothing and writes nothing.
  window.close();
  run->window.reset();
  EXPECT_EQ(run->prompts.shown().size(), 1u);
  EXPECT_EQ(Snapshot(root.path()), before);
}

// A program that runs holds its lock whatever the room left: a second start
// is told so, and not offered a read-only run.
TEST_F(FullDiskTest, ARunningProgramIsStillToldOnAFullDisk) {
  auto first = newRun();
  start(*first);
  ASSERT_NE(first->window, nullptr);
  auto second = newRun();
  second->prompts.answer(PromptAnswer::Ok);
  startOnFullDisk(*second, NoRoom);
  EXPECT_EQ(second->window, nullptr);
  ASSERT_EQ(second->prompts.shown().size(), 1u);
  EXPECT_EQ(second->prompts.last().text, kAlreadyRunningMessage);
  finish(*first);
}

// Where the start ends on a full disk, it writes nothing either.
TEST_F(FullDiskTest, EveryOtherWayEndsTheStartAndLeavesTheFilesAlone) {
  struct Case {
    const char* what;
    qint64 (*roomLeft)(const QString&);
    std::function<void()> prepare;
    QString told;  // empty: the question, answered "いいえ"
  } cases[] = {
      {"the user ends it", NoRoom, {}, QString()},
      {"no room is not the reason",
       Room,
       {},
       QStringLiteral("データフォルダ「%1」にファイル「orvanta.lock」を作成できないため、起動できません。\n"
                      "フォルダに書き込めるか確認してください。")
           .arg(QDir::toNativeSeparators(data(QString()).chopped(1)))},
      {"a restore waits to be settled", NoRoom,
       [this] {
         RestoreRecord record;
         record.goingOut << QStringLiteral("data");
         record.comingIn << QStringLiteral("data");
         ASSERT_TRUE(WriteRestoreRecord(data(QString()), record, nullptr));
       },
       diskFullText() +
           QStringLiteral("\n前回、バックアップからの復元が途中で止まっているため、読み取り専用でも起動できません。"
                          "ディスクに空きを作ってから起動しなおすと、復元を最後まで行うか、元に戻します。")},
      {"no first start was made", NoRoom, [this] { ASSERT_TRUE(QFile::remove(data("started.dat"))); }, diskFullText()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.prepare) c.prepare();
    const QStringList before = Snapshot(root.path());
    auto run = newRun();
    run->prompts.answer(c.told.isEmpty() ? PromptAnswer::No : PromptAnswer::Ok);
    startOnFullDisk(*run, c.roomLeft);
    if (IsSkipped()) return;
    EXPECT_EQ(run->window, nullptr);
    ASSERT_EQ(run->prompts.shown().size(), 1u);
    if (c.told.isEmpty()) {
      EXPECT_EQ(run->prompts.last().title, QStringLiteral("読み取り専用での起動"));
    } else {
      EXPECT_EQ(run->prompts.last().text, c.told);
      EXPECT_EQ(run->prompts.last().icon, PromptIcon::Critical);
    }
    EXPECT_EQ(Snapshot(root.path()), before);
  }
}

// The database gone from a data folder in use: a new one is made, and the
// user is told where the old one is kept.
TEST_F(StartedMachineTest, AMissingDatabaseIsToldWithTheBackupThatHoldsIt) {
  auto run = newRun();
  start(*run);
  ASSERT_NE(run->window, nullptr);
  run->prompts.answer(PromptAnswer::Yes);  // the backup question: a generation with the database
  run->window->close();
  run->window.reset();
  const std::vector<Generation> generations = ListGenerations(DrivePaths(root.path()));
  ASSERT_EQ(generations.size(), 1u);
  ASSERT_TRUE(QFile::remove(data("orvanta.sqlite")));

  auto next = newRun();
  next->prompts.answer(PromptAnswer::Ok);
  start(*next);
  ASSERT_NE(next->window, nullptr);
  ASSERT_EQ(next->prompts.shown().size(), 1u);
  EXPECT_EQ(next->prompts.last().text,
            QStringLiteral("データベース「%1」が見つからなかったため、新しい空のデータベースを作成しました。\n"
                           "経過観察、分母などの記録は表示されません。それまでの記録はバックアップの世代「%2」に"
                           "残っています。ファイル → バックアップから復元 で戻すことができます。")
                .arg(QDir::toNativeSeparators(data("orvanta.sqlite")), GenerationLabel(generations[0].made)));
  finish(*next);
}

// The backup on closing copies the data, not the running program's lock.
TEST_F(StartedMachineTest, TheBackupLeavesTheLockOut) {
  auto run = newRun();
  start(*run);
  ASSERT_NE(run->window, nullptr);
  run->prompts.answer(PromptAnswer::Yes);  // the backup question
  run->window->close();
  run->window.reset();
  const QDir backup(QDir(root.path()).filePath(QStringLiteral("tonrixbu")));
  EXPECT_TRUE(backup.exists(QStringLiteral("ttid.dat")));
  EXPECT_TRUE(backup.exists(QStringLiteral("set.dat")));
  EXPECT_FALSE(backup.exists(QStringLiteral("orvanta.lock")));
}

// The second start brings the first one's window to the front.
TEST_F(StartedMachineTest, ASecondStartBringsTheFirstWindowToTheFront) {
  auto first = newRun();
  start(*first);
  ASSERT_NE(first->window, nullptr);
  first->window->showMinimized();
  QApplication::processEvents();
  ASSERT_TRUE(first->window->isMinimized());

  auto second = newRun();
  second->prompts.answer(PromptAnswer::Ok);
  start(*second);
  EXPECT_EQ(second->window, nullptr);
  QDeadlineTimer deadline(3000);
  while (first->window->isMinimized() && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(first->window->isMinimized());
  finish(*first);
}

// The lock file of the running program, written by QLockFile itself, with
// another process id put in, and for another machine its host name and ids.
QByteArray LockFileOf(const QString& path, qint64 pid, const QString& otherHost) {
  QByteArray content;
  {
    QLockFile probe(path);
    EXPECT_TRUE(probe.tryLock(0));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    content = f.readAll();
  }
  QList<QByteArray> lines = content.split('\n');
  EXPECT_GE(lines.size(), 5);
  if (lines.size() < 5) return content;
  lines[0] = QByteArray::number(pid);
  if (!otherHost.isEmpty()) {
    lines[2] = otherHost.toUtf8();
    lines[3] = "0f0e0d0c0b0a09080706050403020100";      // its machine id
    lines[4] = "00000000-0000-0000-0000-000000000001";  // its boot id
  }
  return lines.join('\n');
}

// A lock left by a program that no longer runs on this machine does not
// block a start: it is taken over.
TEST_F(StartedMachineTest, ALockLeftByAProgramThatEndedIsTakenOver) {
  QProcess ended;
  ended.start(QStringLiteral("true"), {});
  ASSERT_TRUE(ended.waitForStarted());
  const qint64 pid = ended.processId();
  ASSERT_TRUE(ended.waitForFinished());
  const QByteArray stale = LockFileOf(data("orvanta.lock"), pid, QString());
  QFile lock(data("orvanta.lock"));
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(stale);
  lock.close();

  auto run = newRun();
  start(*run);
  ASSERT_NE(run->window, nullptr);
  EXPECT_TRUE(run->prompts.shown().empty());
  QByteArray now;
  ASSERT_TRUE(ReadWholeFile(data("orvanta.lock"), now));
  EXPECT_TRUE(now.startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
  finish(*run);
}

// A data folder shared over the network: the lock of a program on another
// machine is never taken over, and the message says which machine has it.
TEST_F(StartedMachineTest, ALockOfAnotherMachineIsNamedAndNotTakenOver) {
  const QByteArray other = LockFileOf(data("orvanta.lock"), 4242, QStringLiteral("ward-pc-7"));
  QFile lock(data("orvanta.lock"));
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(other);
  lock.close();
  // Old enough for a lock that goes stale by age.
  QTest::qWait(50);

  auto run = newRun();
  run->prompts.answer(PromptAnswer::Ok);
  start(*run);
  EXPECT_EQ(run->window, nullptr);
  ASSERT_EQ(run->prompts.shown().size(), 1u);
  EXPECT_EQ(run->prompts.last().text,
            QStringLiteral(
                "Orvantaは別のコンピュータ「ward-pc-7」で既に起動しています。先に起動したウィンドウをお使いください。\n"
                "そのコンピュータでOrvantaが動いていないのにこの表示が出るときは、ファイル「%1」を削除してから"
                "起動しなおしてください。")
                .arg(QDir::toNativeSeparators(data("orvanta.lock"))));
  QByteArray still;
  ASSERT_TRUE(ReadWholeFile(data("orvanta.lock"), still));
  EXPECT_EQ(still, other);
}

// What stands at the lock's path but is no lock, with no program running on
// the folder, never keeps the user out: it is taken over where it can be
// removed, and named, with what to do, where it cannot. The start runs held
// to the file modes as an ordinary user is.
TEST_F(StartedMachineTest, WhatIsNoLockIsTakenOverOrNamed) {
  const QString lock = data("orvanta.lock");
  const QString folderMessage =
      QStringLiteral(
          "Orvantaが起動中の印に使うファイル「%1」の場所にフォルダがあるため、起動できません。\n"
          "このフォルダを別の場所に移すか削除してから、起動しなおしてください。")
          .arg(QDir::toNativeSeparators(lock));
  const QString fileMessage =
      QStringLiteral(
          "Orvantaが起動中の印に使うファイル「%1」が壊れていて、削除もできないため、起動できません。\n"
          "このファイルを削除してから、起動しなおしてください。削除できないときは、コンピュータの管理者に"
          "依頼してください。")
          .arg(QDir::toNativeSeparators(lock));
  const QString strangeMessage =
      QStringLiteral(
          "Orvantaが起動中の印に使うファイル「%1」の場所に、普通のファイルではないもの（名前付きパイプ、"
          "リンクなど）があるため、起動できません。\n"
          "これを別の場所に移すか削除してから、起動しなおしてください。")
          .arg(QDir::toNativeSeparators(lock));
  auto writeLock = [&](const QByteArray& bytes) {
    QFile f(lock);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  };
  const auto folderMode = QFile::permissions(data(QString()));
  struct Case {
    const char* what;
    std::function<void()> make;
    QString message;  // empty: taken over
  } cases[] = {
      {"empty file", [&] { writeLock(""); }, {}},
      {"damaged file", [&] { writeLock("\x01\x02 not a lock\n"); }, {}},
      // What it says (this very program, running) cannot be read.
      {"file of mode 000",
       [&] {
         writeLock(LockFileOf(lock, QCoreApplication::applicationPid(), QString()));
         ASSERT_TRUE(QFile::setPermissions(lock, QFileDevice::Permissions()));
       },
       {}},
      {"broken link", [&] { ASSERT_TRUE(QFile::link(data("gone.lock"), lock)); }, {}},
      {"folder",
       [&] {
         ASSERT_TRUE(QDir().mkpath(lock));
         QFile inside(QDir(lock).filePath(QStringLiteral("note.txt")));
         ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
       },
       folderMessage},
      // Opening a pipe would wait for a writer for good.
      {"named pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0); }, strangeMessage},
      {"link to a pipe",
       [&] {
         ASSERT_EQ(::mkfifo(QFile::encodeName(data("pipe")).constData(), 0600), 0);
         ASSERT_TRUE(QFile::link(data("pipe"), lock));
       },
       strangeMessage},
      {"file that cannot be removed",
       [&] {
         writeLock("");
         ASSERT_TRUE(QFile::setPermissions(data(QString()), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
       },
       fileMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    auto run = newRun();
    if (!c.message.isEmpty()) run->prompts.answer(PromptAnswer::Ok);
    {
      testing::OrdinaryFileAccess ordinary;
      ASSERT_TRUE(ordinary.active());
      start(*run);
    }
    ASSERT_TRUE(QFile::setPermissions(data(QString()), folderMode));
    if (c.message.isEmpty()) {
      ASSERT_NE(run->window, nullptr);
      EXPECT_TRUE(run->prompts.shown().empty());
      QByteArray now;
      ASSERT_TRUE(ReadWholeFile(lock, now));
      EXPECT_TRUE(now.startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
      finish(*run);
      EXPECT_FALSE(QFileInfo::exists(lock));
    } else {
      EXPECT_EQ(run->window, nullptr);
      EXPECT_EQ(run->prompts.texts(), QStringList{c.message});
      EXPECT_EQ(run->prompts.last().icon, PromptIcon::Critical);
      EXPECT_TRUE(QFileInfo::exists(lock));  // left for the user
      // A pipe is no folder: removed as a file first.
      ASSERT_TRUE(QFile::remove(lock) || QDir(lock).removeRecursively());
      QFile::remove(data("pipe"));
    }
  }
}

// Where the lock cannot be read, a program that runs on the folder still
// turns a second start away: when it answers on its socket, and when it holds
// its lock file while it has not yet written it.
TEST_F(StartedMachineTest, ARunningProgramTurnsASecondStartAwayWhateverItsLockFileHolds) {
  const QString lock = data("orvanta.lock");
  {  // the running program's lock file has been emptied
    auto first = newRun();
    start(*first);
    ASSERT_NE(first->window, nullptr);
    first->window->showMinimized();
    QApplication::processEvents();
    QFile f(lock);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.close();

    auto second = newRun();
    second->prompts.answer(PromptAnswer::Ok);
    start(*second);
    EXPECT_EQ(second->window, nullptr);
    EXPECT_EQ(second->prompts.texts(), QStringList{kAlreadyRunningMessage});
    QDeadlineTimer deadline(3000);
    while (first->window->isMinimized() && !deadline.hasExpired())
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(first->window->isMinimized());
    EXPECT_TRUE(QFileInfo::exists(lock));
    finish(*first);
  }
  {  // a start between creating its lock file and writing it
    QFile empty(lock);
    ASSERT_TRUE(empty.open(QIODevice::ReadWrite));
    ASSERT_EQ(::flock(empty.handle(), LOCK_EX | LOCK_NB), 0);
    auto second = newRun();
    second->prompts.answer(PromptAnswer::Ok);
    start(*second);
    EXPECT_EQ(second->window, nullptr);
    EXPECT_EQ(second->prompts.texts(), QStringList{kAlreadyRunningMessage});
    EXPECT_TRUE(QFileInfo::exists(lock));
  }
}

// A relative HOME: the data and backup folders are taken from where the
// program started, once, so what it reads and writes is still found there
// after the data folder has become the current folder.
TEST_F(StartedMachineTest, ARelativeHomeNamesTheSameFoldersForTheWholeRun) {
  writeReports(0, 1, 3);
  writeIdFile(" 470 \r\n 0 \r\n 0 \r\n 0 \r\n");  // behind the file: the start writes ttid.dat
  const QString startedIn = QDir::currentPath();
  const QFileInfo home(root.path());
  ASSERT_TRUE(QDir::setCurrent(home.absolutePath()));
  // Anything modal (a login, as on a first start) is closed and noted.
  bool modalShown = false;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modalShown = true;
      modal->close();
    }
  });
  closer.start(20);

  ScriptedPrompts prompts;
  AppState state(home.fileName(), prompts, clock);
  std::unique_ptr<MainWindow> window = Main(state);
  closer.stop();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(modalShown);
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_FALSE(state.startup.FirstRun);
  EXPECT_EQ(state.paths.DataFolderPath(), QDir(home.absoluteFilePath()).filePath(QStringLiteral("tonrix")));
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(data("ttid.dat"), onDisk).ok());
  EXPECT_EQ(onDisk.TotalReports, 3);
  EXPECT_EQ(onDisk.LastReportId, 3);
  EXPECT_EQ(state.dataFile.ReportCount(), 3);

  prompts.answer(PromptAnswer::Yes);  // the backup
  window->close();
  window.reset();
  EXPECT_TRUE(QFileInfo::exists(QDir(root.path()).filePath(QStringLiteral("tonrixbu/ttid.dat"))));
  EXPECT_FALSE(QFileInfo::exists(data(home.fileName())));  // nothing under the data folder again
  QDir::setCurrent(startedIn);
}

}  // namespace
}  // namespace orvanta
