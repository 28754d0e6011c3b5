#include "gui/platform/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace orvanta {
namespace {

QWidget* ActiveParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

QString TitleOrName(const QString& title) {
  return title.isEmpty() ? QApplication::applicationName() : title;
}

}  // namespace

PromptAnswer QtPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                PromptButtons buttons) {
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
  return printer;
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
