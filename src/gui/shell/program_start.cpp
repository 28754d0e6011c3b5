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

std::unique_ptr<MainWindow> Main(AppState& state) {
  auto splash = std::make_unique<SplashWindow>();
  splash->showPainted();

  // A message must not hide behind the splash.
  auto tell = [&](const QString& text, PromptIcon icon) {
    splash->hide();
    state.prompts().message(text, {}, icon);
  };

  auto mainWindow = std::make_unique<MainWindow>(state);
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
  auto guard = std::make_unique<DataFolderGuard>(state.paths.DataFolderPath());
  switch (guard->takeLock()) {
    case DataFolderLock::Outcome::Locked: break;
    case DataFolderLock::Outcome::HeldElsewhere:
      tell(guard->lock().heldMessage(), PromptIcon::Information);
      return nullptr;
    case DataFolderLock::Outcome::InTheWay: tell(guard->lock().inTheWayMessage(), PromptIcon::Critical); return nullptr;
    case DataFolderLock::Outcome::Failed: tell(guard->lock().failedMessage(), PromptIcon::Critical); return nullptr;
  }
  guard->answerSecondStarts(mainWindow.get());
  if (!folderExisted && !MakeCompanionFolders(state.paths, &failed)) {
    tell(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(failed)),
         PromptIcon::Critical);
    return nullptr;
  }
  TightenDataFolders(state.paths);

  // A restore that a stop interrupted is finished or undone before anything
  // else is read, so that a half-replaced folder is never taken for a first
  // start or for the data.
  const RestoreSettlement settlement = SettleInterruptedRestore(state.paths, state.clock().now());
  if (settlement.outcome != RestoreSettlement::Outcome::Nothing) {
    const bool stuck = settlement.outcome == RestoreSettlement::Outcome::Stuck;
    tell(RestoreSettlementText(settlement, state.paths), stuck ? PromptIcon::Critical : PromptIcon::Information);
    if (stuck) return nullptr;
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
  const bool listsWritten = LoadCodeLists(state.lists, state.paths, state.clock().now(), &notice, &error);
  if (!notice.isEmpty()) tell(notice, PromptIcon::Exclamation);
  if (!listsWritten) tell(error, PromptIcon::Critical);

  if (NeedsLogin(state.login, state.startup)) {
    state.prompts().setBusy(true);
    splash->hide();
    LoginWindow login(state);
    login.exec();
    state.prompts().setBusy(false);
    if (!login.loggedIn()) {
      // The failed passwords are recorded even when the login is given up.
      QString ignored;
      OpenDatabaseAtStart(state.database, state.paths, state.clock().now(), &ignored);
      state.log.attach();
      state.log.recordEnd();
      return nullptr;
    }
  }
  // Only a first start whose login was answered counts as made.
  if (state.startup.FirstRun) RecordFirstStart(state.paths, state.clock());

  QString databaseNotice;
  const bool databaseMissing = !state.startup.FirstRun && !QFileInfo(state.paths.DatabasePath()).isFile();
  OpenDatabaseAtStart(state.database, state.paths, state.clock().now(), &databaseNotice);
  if (!databaseNotice.isEmpty()) tell(databaseNotice, PromptIcon::Exclamation);
  if (databaseMissing) {
    const QString missing = MissingDatabaseText(state.paths);
    if (!missing.isEmpty()) tell(missing, PromptIcon::Exclamation);
  }
  state.log.attach();
  SettleFollowupAtStart(state.database, state.paths, state.counters);
  SettleReportEntriesAtStart(state.database, state.log, state.paths, state.counters);

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
