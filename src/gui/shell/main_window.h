#pragma once

#include <QWidget>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenuBar;

namespace orvanta {

class AppState;

// The hub of the program: every other window opens modally from here. It
// counts the reports of every data file when it loads, reloads the newest
// data file whenever it becomes active again, and on closing writes the
// counters, stores its placement and offers the backup. In a read-only run
// (StartupFacts::ReadOnlySession) its caption and a line under the panel say
// so, the commands that write are off, and closing writes nothing.
class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);

  // The load handler: greets a first run, counts every data file.
  void load();
  // Its two halves. greetFirstRun shows the first run's two messages and the
  // department editor (nothing on a later start). countReports counts every
  // data file, moves the counters on to what the files hold and writes
  // ttid.dat when they changed; it returns why that write failed (empty when
  // it did not), for the caller to tell.
  void greetFirstRun();
  QString countReports();
  // The activation handler: reloads the newest data file and shows or hides
  // the line about overdue follow-up tests.
  void activate();
  // The line under the panel, "期限を過ぎた経過観察の検査が N 件あります",
  // with its way into the due list: shown while tests are overdue.
  void showOverdueLine();

  // Opens one of the program's modal windows from this window and runs the
  // activation handler when it has closed.
  void openModal(const std::function<void()>& show);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // What closing ends the run with: the counters written, the other windows
  // closed, the placement stored, the backup offered (saigo).
  void finishRun();
  // The menu bar over the designed panel: ファイル, ツール, ヘルプ.
  QMenuBar* buildMenuBar();
  QWidget* buildOverdueLine();
  // The line under the panel that says the run is read-only.
  QWidget* buildReadOnlyLine();
  // A control that would write: off, with its reason, in a read-only run.
  void offWhenReadOnly(QWidget* control);
  void offWhenReadOnly(QAction* action);
  void openCodeListEditor(int list);
  void openAnswerCodeEditor();
  void openReportWindow(bool newReport);

  AppState& state_;
  bool runFinished_ = false;
  QFrame* overdueLine_ = nullptr;
  QLabel* overdueLabel_ = nullptr;
};

}  // namespace orvanta
