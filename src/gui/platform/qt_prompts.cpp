#include "gui/platform/qt_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "core/platform/print_output.h"

namespace orvanta {
namespace {

QWidget* ActiveParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

QString TitleOrName(const QString& title) { return title.isEmpty() ? QApplication::applicationName() : title; }

}  // namespace

PromptAnswer QtPrompts::message(const QString& text, const QString& title, PromptIcon icon, PromptButtons buttons) {
  QMessageBox box(ActiveParent());
  box.setWindowTitle(TitleOrName(title));
  box.setText(text);
  switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
  }
  switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // Qt's own buttons read in Japanese once its translation is loaded; the
  // captions are set here too so that they never fall back to English.
  if (auto* b = box.button(QMessageBox::Ok)) b->setText(QStringLiteral("OK"));
  if (auto* b = box.button(QMessageBox::Cancel)) b->setText(QStringLiteral("キャンセル"));
  if (auto* b = box.button(QMessageBox::Yes)) b->setText(QStringLiteral("はい(&Y)"));
  if (auto* b = box.button(QMessageBox::No)) b->setText(QStringLiteral("いいえ(&N)"));
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  if (busy) QApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default:
      // The close box: the same as the box's cancelling button.
      if (buttons == PromptButtons::YesNo) return PromptAnswer::No;
      return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
  }
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title, const QString& initial) {
  QInputDialog dialog(ActiveParent());
  dialog.setWindowTitle(TitleOrName(title));
  dialog.setLabelText(prompt);
  dialog.setTextValue(initial);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("キャンセル"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

QString QtPrompts::saveFileName(const QString& title, const QString& startPath, const QString& filter) {
  return QFileDialog::getSaveFileName(ActiveParent(), TitleOrName(title), startPath, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::openFileName(const QString& title, const QString& startPath, const QString& filter) {
  return QFileDialog::getOpenFileName(ActiveParent(), TitleOrName(title), startPath, filter);
}

QStringList QtPrompts::openFileNames(const QString& title, const QString& startPath, const QString& filter) {
  return QFileDialog::getOpenFileNames(ActiveParent(), TitleOrName(title), startPath, filter);
}

std::unique_ptr<QPagedPaintDevice> QtPrompts::choosePrinter(bool landscape) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPrintDialog dialog(printer.get(), ActiveParent());
  dialog.setWindowTitle(QStringLiteral("印刷"));
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = dialog.exec();
  if (busy) QApplication::restoreOverrideCursor();
  if (result != QDialog::Accepted) return nullptr;
  // Printing to a PDF file: the file is written under a temporary name and
  // put in place only when the whole print has worked.
  if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
    auto pdf = PdfFileOutput::Create(printer->outputFileName(), printer->pageLayout());
    pdf->setTitle(printer->docName());
    return pdf;
  }
  return printer;
}

namespace {

// A modal progress dialog with a bar and "キャンセル" that appears only once
// its work has run for a moment; from then on the windows repaint while the
// work runs, and being modal the dialog keeps them from taking input
// meanwhile. Print jobs and other long work both show one.
class DelayedProgressDialog {
 public:
  DelayedProgressDialog(const QString& objectName, const QString& title) : dialog_(ActiveParent()) {
    dialog_.setObjectName(objectName);
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setCancelButtonText(QStringLiteral("キャンセル"));
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    // Shown here, not by the dialog's own timer.
    dialog_.setMinimumDuration(std::numeric_limits<int>::max());
    dialog_.setRange(0, 0);
    dialog_.setMinimumWidth(360);
    dialog_.hide();
    clock_.start();
  }
  ~DelayedProgressDialog() {
    if (arrow_) QApplication::restoreOverrideCursor();
  }

  // Steps 0 (not known: a busy bar) or more.
  void setSteps(int steps) { dialog_.setRange(0, std::max(steps, 0)); }
  void setText(const QString& text) { dialog_.setLabelText(text); }

  // Shows how far the work has come (the dialog appears once the work has
  // run for a moment) and lets the windows repaint; false once cancelled.
  bool show(int done) {
    if (!dialog_.isVisible()) {
      if (clock_.elapsed() < kMomentMs) return !stopped();
      dialog_.show();
      if (QApplication::overrideCursor()) {
        // The busy pointer must not hide that "キャンセル" can be pressed.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        arrow_ = true;
      }
    }
    if (dialog_.maximum() > 0) dialog_.setValue(std::min(done, dialog_.maximum()));
    QApplication::processEvents();
    return !stopped();
  }

  bool stopped() const { return dialog_.wasCanceled(); }

 private:
  static constexpr qint64 kMomentMs = 400;

  QProgressDialog dialog_;
  QElapsedTimer clock_;
  bool arrow_ = false;
};

// The progress of a print job: the pages done out of the pages to come.
class QtPrintProgress final : public PrintProgress {
 public:
  QtPrintProgress() : dialog_(QStringLiteral("printProgress"), QStringLiteral("印刷")) { dialog_.setText(Label(0)); }

  void setPageCount(int pages) override {
    pages_ = std::max(pages, 0);
    dialog_.setSteps(pages_);
    dialog_.setText(Label(0));
  }

  bool pageDone(int pagesDone) override {
    dialog_.setText(Label(pagesDone));
    return dialog_.show(pagesDone);
  }

  bool stopped() const override { return dialog_.stopped(); }

 private:
  QString Label(int done) const {
    if (pages_ > 0) return QStringLiteral("印刷しています。%1 / %2 ページ").arg(done).arg(pages_);
    return QStringLiteral("印刷しています。%1 ページ").arg(done);
  }

  DelayedProgressDialog dialog_;
  int pages_ = 0;
};

// The progress of other long work: what it does now and a bar of its steps.
class QtWorkProgress final : public WorkProgress {
 public:
  explicit QtWorkProgress(const QString& title) : dialog_(QStringLiteral("workProgress"), title) {}

  void begin(const QString& text, int steps) override {
    dialog_.setText(text);
    dialog_.setSteps(steps);
    dialog_.show(0);
  }
  bool advance(int done) override { return dialog_.show(done); }
  bool stopped() const override { return dialog_.stopped(); }

 private:
  DelayedProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<PrintProgress> QtPrompts::printProgress() { return std::make_unique<QtPrintProgress>(); }

std::unique_ptr<WorkProgress> QtPrompts::workProgress(const QString& title) {
  return std::make_unique<QtWorkProgress>(TitleOrName(title));
}

void QtPrompts::beep() { QApplication::beep(); }

void QtPrompts::setBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
  } else {
    while (busyDepth_ > 0) {
      QApplication::restoreOverrideCursor();
      --busyDepth_;
    }
  }
}

}  // namespace orvanta
