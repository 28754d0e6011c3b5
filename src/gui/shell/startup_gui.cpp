#include "gui/shell/startup_gui.h"

#include <QApplication>
#include <QDir>

#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "gui/platform/qt_prompts.h"
#include "gui/shell/app_setup_gui.h"
#include "core/app/app_state.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/splash_window.h"
#include "core/app/startup.h"

namespace orvanta {

std::unique_ptr<MainWindow> Main(AppState& state) {
  auto splash = std::make_unique<SplashWindow>();
  splash->show();
  splash->repaint();
  QApplication::processEvents();

  // A message must not hide behind the splash.
  auto tell = [&](const QString& text, PromptIcon icon) {
    splash->hide();
    state.prompts().message(text, {}, icon);
  };

  auto mainWindow = std::make_unique<MainWindow>(state);
  TakeTodaysDate(state.startup, state.clock());

  if (QString failed; !PrepareDataFolder(state.paths, &failed)) {
    tell(QStringLiteral("フォルダ「%1」を作成できませんでした。").arg(QDir::toNativeSeparators(failed)),
         PromptIcon::Critical);
    return nullptr;
  }
  // The data folder stays the current folder for the whole run.
  QDir::setCurrent(state.paths.DataFolderPath());
  LoadPassword(state.login, state.paths);
  DecideFirstRun(state.startup, state.paths, state.clock());

  QString error;
  switch (LoadIdFile(state.counters, state.paths, state.startup.FirstRun, &error)) {
    case IdFileOutcome::Read:
      break;
    case IdFileOutcome::FirstRunZero:
      if (!error.isEmpty()) tell(error, PromptIcon::Critical);
      break;
    case IdFileOutcome::Fatal:
      tell(kIdFileMessage, PromptIcon::None);
      return nullptr;
  }

  error.clear();
  if (!LoadCodeLists(state.lists, state.paths, &error)) tell(error, PromptIcon::Critical);

  if (NeedsLogin(state.login, state.startup)) {
    state.prompts().setBusy(true);
    splash->hide();
    LoginWindow login(state);
    login.exec();
    state.prompts().setBusy(false);
    if (!login.OK()) return nullptr;
  }

  // The splash stays up while the data files are counted; a first run's
  // greeting and department editor need the screen to themselves.
  if (state.startup.FirstRun) splash->hide();
  mainWindow->load();
  splash.reset();
  state.prompts().setBusy(true);
  mainWindow->show();
  mainWindow->activate();
  return mainWindow;
}

int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpApplication(app);
  QtPrompts prompts;
  SystemClock clock;
  AppState state(QDir::homePath(), prompts, clock);
  std::unique_ptr<MainWindow> mainWindow = Main(state);
  if (!mainWindow) return 0;
  mainWindow->setAttribute(Qt::WA_QuitOnClose, true);
  return app.exec();
}

}  // namespace orvanta
