#pragma once
// Prompts for tests: every box shown is recorded with its text, title, icon
// and buttons, and answered from a queue scripted in advance. A prompt with
// no answer left fails the test, and so do answers left unused.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "core/platform/prompts.h"

namespace orvanta::testing {

class ScriptedPrompts final : public Prompts {
 public:
  enum class Kind { Message, Input, SaveFile, OpenFile, Printer };
  struct Shown {
    Kind kind;
    QString text;
    QString title;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
  };

  ~ScriptedPrompts() override;

  // The answer to the next message box. The optional action runs while the
  // box is "open" (before it returns), e.g. to check the program's state.
  ScriptedPrompts& answer(PromptAnswer a, std::function<void()> whileShown = {});
  ScriptedPrompts& answerInput(std::optional<QString> text);
  ScriptedPrompts& answerSaveFile(QString path);
  // The file the open dialog answers with; an empty path cancels it.
  ScriptedPrompts& answerOpenFile(QString path);
  // The files the dialog of many files answers with; none cancels it.
  ScriptedPrompts& answerOpenFiles(QStringList paths);
  // Answers to the printer dialog: Cancel; printing to this PDF file (A4, 600
  // dots per inch, the orientation the dialog was opened with); a printer
  // (not a file) that fails as soon as anything is drawn on it.
  ScriptedPrompts& answerPrinterCancel();
  ScriptedPrompts& answerPrinterPdf(QString path);
  ScriptedPrompts& answerPrinterFailing();
  // A printer whose output fails on the way: the pages are drawn, but the
  // output cannot be completed.
  ScriptedPrompts& answerPrinterFailingWhileWriting();
  // Orientation the printer dialog was last opened with.
  bool lastPrinterLandscape = false;

  // The progress of print jobs: the next job is stopped by the user once
  // `pages` pages are finished (as if "キャンセル" were pressed then).
  ScriptedPrompts& stopPrintAfterPages(int pages);
  // What the last print job told its progress: the page count it announced
  // (0 when none) and the pages it reported finished.
  int printPageCount() const { return printPageCount_; }
  int printPagesDone() const { return printPagesDone_; }
  int printJobs() const { return printJobs_; }
  // Runs as each page of a print job is reported finished, e.g. to see what
  // the window shows while the pages are drawn.
  std::function<void(int pagesDone)> whenPageDone;

  // The progress of other long work: the next piece of work is stopped by
  // the user at its `steps`-th step (counted over all its parts), as if
  // "キャンセル" were pressed then.
  ScriptedPrompts& stopWorkAfterSteps(int steps);
  // What the last long work showed: its title and the text of every part
  // it began.
  QString workTitle() const { return workTitle_; }
  QStringList workParts() const { return workParts_; }
  int workSteps() const { return workSteps_; }

  const std::vector<Shown>& shown() const { return shown_; }
  QStringList texts() const;
  const Shown& last() const { return shown_.back(); }
  bool allAnswered() const { return queue_.empty(); }
  void clear() { shown_.clear(); }
  int beeps() const { return beeps_; }
  bool busy() const { return busy_; }
  int busyCalls() const { return busyCalls_; }

  PromptAnswer message(const QString& text, const QString& title, PromptIcon icon, PromptButtons buttons) override;
  std::optional<QString> input(const QString& prompt, const QString& title, const QString& initial) override;
  QString saveFileName(const QString& title, const QString& startPath, const QString& filter) override;
  QString openFileName(const QString& title, const QString& startPath, const QString& filter) override;
  QStringList openFileNames(const QString& title, const QString& startPath, const QString& filter) override;
  std::unique_ptr<QPagedPaintDevice> choosePrinter(bool landscape) override;
  std::unique_ptr<PrintProgress> printProgress() override;
  std::unique_ptr<WorkProgress> workProgress(const QString& title) override;
  void beep() override { ++beeps_; }
  void setBusy(bool busy) override {
    busy_ = busy;
    ++busyCalls_;
    if (whenBusy) whenBusy(busy);
  }
  // Runs on every change of the busy pointer, e.g. to see what is on the
  // screen when it turns on.
  std::function<void(bool)> whenBusy;

  // Start folder and filter of the last save dialog, and of the last open
  // dialog.
  QString lastSaveStart;
  QString lastSaveFilter;
  QString lastOpenStart;
  QString lastOpenFilter;

 private:
  // The path of the next answer when it is a file dialog's of that kind;
  // empty, and the test failed, when the script expects something else.
  template <class FileAnswer>
  QString nextPath(const char* unexpected);

  struct MessageAnswer {
    PromptAnswer answer;
    std::function<void()> whileShown;
  };
  struct InputAnswer {
    bool given = false;  // false: the box is cancelled
    QString text;
  };
  struct SaveAnswer {
    QString path;
  };
  struct OpenAnswer {
    QString path;
  };
  struct OpenFilesAnswer {
    QStringList paths;
  };
  struct PrinterAnswer {
    enum class What { Cancel, Pdf, Failing, FailingWhileWriting } what;
    QString path;
  };
  using Answer = std::variant<MessageAnswer, InputAnswer, SaveAnswer, OpenAnswer, OpenFilesAnswer, PrinterAnswer>;

  std::deque<Answer> queue_;
  std::vector<Shown> shown_;
  int beeps_ = 0;
  bool busy_ = false;
  int busyCalls_ = 0;
  int stopAfterPages_ = 0;
  int printPageCount_ = 0;
  int printPagesDone_ = 0;
  int printJobs_ = 0;
  int stopWorkAfterSteps_ = 0;
  QString workTitle_;
  QStringList workParts_;
  int workSteps_ = 0;
  friend class ScriptedPrintProgress;
  friend class ScriptedWorkProgress;
};

}  // namespace orvanta::testing
