#pragma once
// Every message box, question, input box, file dialog, beep and busy pointer
// goes through this interface: the program shows Qt's dialogs, tests answer
// from a script and check the exact texts.

#include <QPagedPaintDevice>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "core/platform/print_progress.h"
#include "core/platform/work_progress.h"

namespace orvanta {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompts {
 public:
  virtual ~Prompts() = default;

  // A message box. An empty title shows the application's name.
  virtual PromptAnswer message(const QString& text, const QString& title = {}, PromptIcon icon = PromptIcon::None,
                               PromptButtons buttons = PromptButtons::Ok) = 0;
  // A one-line input box; nullopt when cancelled.
  virtual std::optional<QString> input(const QString& prompt, const QString& title, const QString& initial = {}) = 0;
  // The save-file dialog; an empty result when cancelled. The dialog itself
  // does not ask about overwriting: the caller does.
  virtual QString saveFileName(const QString& title, const QString& startPath, const QString& filter) = 0;
  // The open-file dialog for a file that exists; an empty result when
  // cancelled.
  virtual QString openFileName(const QString& title, const QString& startPath, const QString& filter) = 0;
  // The same dialog choosing one or many files; empty when cancelled.
  virtual QStringList openFileNames(const QString& title, const QString& startPath, const QString& filter) = 0;
  // The printer dialog, opened with A4 and the orientation the print needs
  // already chosen (the user may still change it). Answers the device to
  // draw on: the chosen printer, or a PDF file when the user prints to a
  // file. Null when the user cancels or no dialog can be shown. A device that
  // is also a PrintOutput puts its output in place only when the print job
  // commits it (a PDF file).
  virtual std::unique_ptr<QPagedPaintDevice> choosePrinter(bool landscape) = 0;
  // The progress of one print job, for as long as the job runs: a dialog
  // with the pages done and a cancel button once the job takes more than a
  // moment. By default nothing is shown and a job is never stopped.
  virtual std::unique_ptr<PrintProgress> printProgress() { return std::make_unique<PrintProgress>(); }
  // The progress of other long work (a backup, a restore), for as long as it
  // runs: a dialog titled title with a bar and a cancel button once the work
  // takes more than a moment. By default nothing is shown and the work is
  // never stopped.
  virtual std::unique_ptr<WorkProgress> workProgress(const QString& title) {
    (void)title;
    return std::make_unique<WorkProgress>();
  }
  virtual void beep() = 0;
  // The hourglass pointer while slow work runs.
  virtual void setBusy(bool busy) = 0;
};

}  // namespace orvanta
