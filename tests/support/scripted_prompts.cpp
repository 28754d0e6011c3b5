#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace orvanta::testing {

ScriptedPrompts::~ScriptedPrompts() {
  EXPECT_TRUE(queue_.empty()) << queue_.size() << " scripted answer(s) were never asked for";
}

ScriptedPrompts& ScriptedPrompts::answer(PromptAnswer a, std::function<void()> whileShown) {
  queue_.push_back(MessageAnswer{a, std::move(whileShown)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerInput(std::optional<QString> text) {
  queue_.push_back(InputAnswer{text.has_value(), text.value_or(QString())});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerSaveFile(QString path) {
  queue_.push_back(SaveAnswer{std::move(path)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerPrinterCancel() {
  queue_.push_back(PrinterAnswer{PrinterAnswer::What::Cancel, {}});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerPrinterPdf(QString path) {
  queue_.push_back(PrinterAnswer{PrinterAnswer::What::Pdf, std::move(path)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerPrinterFailing() {
  queue_.push_back(PrinterAnswer{PrinterAnswer::What::Failing, {}});
  return *this;
}

QStringList ScriptedPrompts::texts() const {
  QStringList out;
  for (const Shown& s : shown_) out << s.text;
  return out;
}

PromptAnswer ScriptedPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                      PromptButtons buttons) {
  shown_.push_back(Shown{Kind::Message, text, title, icon, buttons});
  if (queue_.empty() || !std::holds_alternative<MessageAnswer>(queue_.front())) {
    ADD_FAILURE() << "unexpected message box: " << text.toStdString();
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok
           : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                             : PromptAnswer::Cancel;
  }
  MessageAnswer a = std::get<MessageAnswer>(queue_.front());
  queue_.pop_front();
  if (a.whileShown) a.whileShown();
  return a.answer;
}

std::optional<QString> ScriptedPrompts::input(const QString& prompt, const QString& title, const QString&) {
  shown_.push_back(Shown{Kind::Input, prompt, title, PromptIcon::None, PromptButtons::OkCancel});
  if (queue_.empty() || !std::holds_alternative<InputAnswer>(queue_.front())) {
    ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
    return std::nullopt;
  }
  const InputAnswer a = std::get<InputAnswer>(queue_.front());
  queue_.pop_front();
  if (!a.given) return std::nullopt;
  return a.text;
}

QString ScriptedPrompts::saveFileName(const QString& title, const QString& startPath, const QString& filter) {
  shown_.push_back(Shown{Kind::SaveFile, title, title, PromptIcon::None, PromptButtons::OkCancel});
  lastSaveStart = startPath;
  lastSaveFilter = filter;
  if (queue_.empty() || !std::holds_alternative<SaveAnswer>(queue_.front())) {
    ADD_FAILURE() << "unexpected save dialog";
    return {};
  }
  SaveAnswer a = std::get<SaveAnswer>(queue_.front());
  queue_.pop_front();
  return a.path;
}

std::unique_ptr<QPagedPaintDevice> ScriptedPrompts::choosePrinter(bool landscape) {
  shown_.push_back(Shown{Kind::Printer, {}, {}, PromptIcon::None, PromptButtons::OkCancel});
  lastPrinterLandscape = landscape;
  if (queue_.empty() || !std::holds_alternative<PrinterAnswer>(queue_.front())) {
    ADD_FAILURE() << "unexpected printer dialog";
    return nullptr;
  }
  PrinterAnswer a = std::get<PrinterAnswer>(queue_.front());
  queue_.pop_front();
  if (a.what == PrinterAnswer::What::Cancel) return nullptr;
  // A failing printer: a PDF file in a folder that does not exist, so the
  // device cannot be opened.
  const QString path = a.what == PrinterAnswer::What::Pdf
                           ? a.path
                           : QDir::tempPath() + QStringLiteral("/orvanta-no-such-folder/x/failing.pdf");
  auto writer = std::make_unique<QPdfWriter>(path);
  writer->setResolution(600);
  writer->setPageSize(QPageSize(QPageSize::A4));
  writer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  return writer;
}

}  // namespace orvanta::testing
