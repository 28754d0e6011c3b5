#pragma once

#include "core/platform/prompts.h"

class QWidget;

namespace orvanta {

// Prompts shown with Qt's own dialogs. The only place in the program that
// uses QMessageBox, QInputDialog, QFileDialog and QPrintDialog.
class QtPrompts final : public Prompts {
 public:
  PromptAnswer message(const QString& text, const QString& title, PromptIcon icon, PromptButtons buttons) override;
  std::optional<QString> input(const QString& prompt, const QString& title, const QString& initial) override;
  QString saveFileName(const QString& title, const QString& startPath, const QString& filter) override;
  QString openFileName(const QString& title, const QString& startPath, const QString& filter) override;
  QStringList openFileNames(const QString& title, const QString& startPath, const QString& filter) override;
  std::unique_ptr<QPagedPaintDevice> choosePrinter(bool landscape) override;
  std::unique_ptr<PrintProgress> printProgress() override;
  std::unique_ptr<WorkProgress> workProgress(const QString& title) override;
  void beep() override;
  void setBusy(bool busy) override;

 private:
  int busyDepth_ = 0;
};

}  // namespace orvanta
