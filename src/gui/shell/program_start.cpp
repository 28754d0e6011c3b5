#include "gui/shell/program_start.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "core/app/app_state.h"
#include "core/app/command_line.h"
#include "core/app/startup.h"
#include "core/backup/backup_listing.h"
#include "core/backup/restore_record.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/report_history.h"
#include "gui/help/about_window.h"
#include "gui/help/guide_window.h"
#include "gui/platform/qt_prompts.h"
#include "gui/shell/application_setup.h"
#include "gui/shell/data_folder_guard.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/splash_window.h"

namespace orvanta {

namespace {

// A full disk leaves the reports readable: the user may go on read-only. A
// data folder that was never started holds nothing to read, and a restore
// stopped half-way needs room to be settled before anything is read. False
// when the start ends here (the user told, or answering no).
bool OfferReadOnlyStart(AppState& state, const DataFolderLock& lock, bool folderExisted, SplashWindow& splash) {
  auto tell = [&](const QString& text) {
    splash.hide();
    state.prompts().message(text, {}, PromptIcon::Critical);
  };
  DecideFirstRun(state.startup, state.paths);
  if (!lock.diskFull() || !folderExisted || state.startup.FirstRun) {
    tell(lock.failedMessage());
    return false;
  }
  if (RestoreLeftToSettle(state.paths)) {
    tell(lock.failedMessage() +
         QStringLiteral("\n前回、バックアップからの復元が途中で止まっているため、読み取り専用でも起動できません。"
                        "ディスクに空きを作ってから起動しなおすと、復元を最後まで行うか、元に戻します。"));
    return false;
  }
  splash.hide();
  if (state.prompts().message(lock.readOnlyQuestion(), QStringLiteral("読み取り専用での起動"), PromptIcon::Question,
                              PromptButtons::YesNo) != PromptAnswer::Yes)
    return false;
  state.startup.ReadOnlySession = true;
  return true;
}

}  // namespace

std::unique_ptr<MainWindow> Main(AppState& state, const RoomLeft& roomLeft) {
  auto splash = std::make_unique<SplashWindow>();
  splash->showPainted();

  // A message must not hide behind the splash.
  auto tell = [&](const QString& text, PromptIcon icon) {
    splash->hide();
    state.prompts().message(text, {}, icon);
  };

  TakeTodaysDate(state.startup, state.clock());
  state.log.recordStart();  // held until the database is open

  // One program at a time on the data folder: the lock is taken before
  // anything there is read or written, as soon as the folder exists.
  const bool folderExisted = QFileInfo(state.paths.DataFolderPath()).isDir();
  QString failed;
  if (!folderExisted && !MakeDataFolder(state.paths, &failed)) {
    tell(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(failed)),
         PromptIcon::Critical);
    return nullptr;
  }
  auto guard = std::make_unique<DataFolderGuard>(state.paths.DataFolderPath(), roomLeft);
  switch (guard->takeLock()) {
    case DataFolderLock::Outcome::Locked: break;
    case DataFolderLock::Outcome::HeldElsewhere:
      tell(guard->lock().heldMessage(), PromptIcon::Information);
      return nullptr;
    case DataFolderLock::Outcome::InTheWay: tell(guard->lock().inTheWayMessage(), PromptIcon::Critical); return nullptr;
    case DataFolderLock::Outcome::Failed:
      if (!OfferReadOnlyStart(state, guard->lock(), folderExisted, *splash)) return nullptr;
      break;
  }
  // From here on a read-only run writes nothing in the data folder or
  // beside it: it holds no lock, and leaves the folders as they are.
  const bool readOnly = state.startup.ReadOnlySession;
  auto mainWindow = std::make_unique<MainWindow>(state);
  if (!readOnly) {
    guard->answerSecondStarts(mainWindow.get());
    if (!folderExisted && !MakeCompanionFolders(state.paths, &failed)) {
      tell(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(failed)),
           PromptIcon::Critical);
      return nullptr;
    }
    TightenDataFolders(state.paths);

    // A restore that a stop interrupted is finished or undone before
    // anything else is read, so that a half-replaced folder is never taken
    // for a first start or for the data.
    const RestoreSettlement settlement = SettleInterruptedRestore(state.paths, state.clock().now());
    if (settlement.outcome != RestoreSettlement::Outcome::Nothing) {
      const bool stuck = settlement.outcome == RestoreSettlement::Outcome::Stuck;
      tell(RestoreSettlementText(settlement, state.paths), stuck ? PromptIcon::Critical : PromptIcon::Information);
      if (stuck) return nullptr;
    }
  }

  // The data folder stays the current folder for the whole run.
  QDir::setCurrent(state.paths.DataFolderPath());
  LoadPassword(state.login, state.paths);
  DecideFirstRun(state.startup, state.paths);

  QString error;
  switch (LoadIdFile(state.counters, state.paths, state.startup.FirstRun, &error)) {
    case IdFileOutcome::Read: break;
    case IdFileOutcome::FirstRunZero:
      if (!error.isEmpty()) tell(error, PromptIcon::Critical);
      break;
    case IdFileOutcome::Fatal: tell(kIdFileMessage, PromptIcon::None); return nullptr;
  }

  error.clear();
  QString notice;
  if (readOnly) {
    ReadCodeListsOnly(state.lists, state.paths, &notice);
    if (!notice.isEmpty()) tell(notice, PromptIcon::Exclamation);
  } else {
    const bool listsWritten = LoadCodeLists(state.lists, state.paths, state.clock().now(), &notice, &error);
    if (!notice.isEmpty()) tell(notice, PromptIcon::Exclamation);
    if (!listsWritten) tell(error, PromptIcon::Critical);
  }

  auto openDatabase = [&](QString* databaseNotice) {
    if (readOnly)
      OpenDatabaseReadOnlyAtStart(state.database, state.paths, databaseNotice);
    else
      OpenDatabaseAtStart(state.database, state.paths, state.clock().now(), databaseNotice);
  };
  if (NeedsLogin(state.login, state.startup)) {
    state.prompts().setBusy(true);
    splash->hide();
    LoginWindow login(state);
    login.exec();
    state.prompts().setBusy(false);
    if (!login.loggedIn()) {
      // The failed passwords are recorded even when the login is given up.
      QString ignored;
      openDatabase(&ignored);
      state.log.attach();
      state.log.recordEnd();
      return nullptr;
    }
  }
  // Only a first start whose login was answered counts as made.
  if (state.startup.FirstRun) RecordFirstStart(state.paths, state.clock());

  QString databaseNotice;
  const bool databaseMissing = !state.startup.FirstRun && !QFileInfo(state.paths.DatabasePath()).isFile();
  openDatabase(&databaseNotice);
  if (!databaseNotice.isEmpty()) tell(databaseNotice, PromptIcon::Exclamation);
  if (databaseMissing && !readOnly) {
    const QString missing = MissingDatabaseText(state.paths);
    if (!missing.isEmpty()) tell(missing, PromptIcon::Exclamation);
  }
  // A read-only database takes no entries: the log holds nothing back.
  state.log.attach();
  if (!readOnly) {
    SettleFollowupAtStart(state.database, state.paths, state.counters);
    SettleReportEntriesAtStart(state.database, state.log, state.paths, state.counters);
  }

  // A first run's greeting and department editor need the screen to
  // themselves; then the splash is back, painted, under the busy pointer
  // while every data file is counted, until the main window is up.
  if (state.startup.FirstRun) {
    splash->hide();
    mainWindow->greetFirstRun();
  }
  if (!splash->painted()) splash->showPainted();
  state.prompts().setBusy(true);
  error = mainWindow->countReports();
  if (!error.isEmpty()) tell(error, PromptIcon::Critical);
  mainWindow->show();
  splash.reset();
  guard.release()->setParent(mainWindow.get());  // the lock lasts as long as the program
  mainWindow->activate();                        // the newest data file; the normal pointer again
  return mainWindow;
}

int RunProgram(int argc, char** argv) {
  // --help and --version are answered before Qt opens a display or the
  // program touches a file.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine commandLine = ReadCommandLine(arguments, ProgramVersion());
  if (commandLine.action != CommandLine::Action::Run) {
    const QByteArray text = commandLine.text.toUtf8();
    std::fwrite(text.constData(), 1, text.size(), commandLine.exitStatus == 0 ? stdout : stderr);
    return commandLine.exitStatus;
  }
  QApplication app(argc, argv);
  SetUpApplication(app);
  QtPrompts prompts;
  UseGuidePrompts(&prompts);
  SystemClock clock;
  AppState state(QDir::homePath(), prompts, clock);
  std::unique_ptr<MainWindow> mainWindow = Main(state);
  if (!mainWindow) return 0;
  mainWindow->setAttribute(Qt::WA_QuitOnClose, true);
  const int exitCode = app.exec();
  state.log.recordEnd();
  return exitCode;
}

}  // namespace orvanta
