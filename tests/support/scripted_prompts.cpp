#include "support/scripted_prompts.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <gtest/gtest.h>

#include "core/platform/print_output.h"

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

ScriptedPrompts& ScriptedPrompts::answerOpenFiles(QStringList paths) {
  queue_.push_back(OpenFilesAnswer{std::move(paths)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::answerOpenFile(QString path) {
  queue_.push_back(OpenAnswer{std::move(path)});
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

ScriptedPrompts& ScriptedPrompts::answerPrinterFailingWhileWriting() {
  queue_.push_back(PrinterAnswer{PrinterAnswer::What::FailingWhileWriting, {}});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::stopPrintAfterPages(int pages) {
  stopAfterPages_ = pages;
  return *this;
}

// Records what a print job reports and stops it where the script says.
class ScriptedPrintProgress final : public PrintProgress {
 public:
  explicit ScriptedPrintProgress(ScriptedPrompts& prompts) : prompts_(prompts), stopAt_(prompts.stopAfterPages_) {
    prompts_.stopAfterPages_ = 0;
    prompts_.printPageCount_ = 0;
    prompts_.printPagesDone_ = 0;
    ++prompts_.printJobs_;
  }
  void setPageCount(int pages) override { prompts_.printPageCount_ = pages; }
  bool pageDone(int pagesDone) override {
    EXPECT_GT(pagesDone, prompts_.printPagesDone_) << "pages are reported in order";
    prompts_.printPagesDone_ = pagesDone;
    if (prompts_.whenPageDone) prompts_.whenPageDone(pagesDone);
    if (stopAt_ > 0 && pagesDone >= stopAt_) stopped_ = true;
    return !stopped_;
  }
  bool stopped() const override { return stopped_; }

 private:
  ScriptedPrompts& prompts_;
  int stopAt_ = 0;
  bool stopped_ = false;
};

std::unique_ptr<PrintProgress> ScriptedPrompts::printProgress() {
  return std::make_unique<ScriptedPrintProgress>(*this);
}

ScriptedPrompts& ScriptedPrompts::stopWorkAfterSteps(int steps) {
  stopWorkAfterSteps_ = steps;
  return *this;
}

// Records the parts of long work and stops it where the script says.
class ScriptedWorkProgress final : public WorkProgress {
 public:
  ScriptedWorkProgress(ScriptedPrompts& prompts, const QString& title)
      : prompts_(prompts), stopAt_(prompts.stopWorkAfterSteps_) {
    prompts_.stopWorkAfterSteps_ = 0;
    prompts_.workTitle_ = title;
    prompts_.workParts_.clear();
    prompts_.workSteps_ = 0;
  }
  void begin(const QString& text, int) override { prompts_.workParts_ << text; }
  bool advance(int) override {
    ++prompts_.workSteps_;
    if (stopAt_ > 0 && prompts_.workSteps_ >= stopAt_) stopped_ = true;
    return !stopped_;
  }
  bool stopped() const override { return stopped_; }

 private:
  ScriptedPrompts& prompts_;
  int stopAt_ = 0;
  bool stopped_ = false;
};

std::unique_ptr<WorkProgress> ScriptedPrompts::workProgress(const QString& title) {
  return std::make_unique<ScriptedWorkProgress>(*this, title);
}

namespace {

// A file that takes the first bytes and then refuses every write.
class FailingFile final : public QIODevice {
 public:
  explicit FailingFile(qint64 capacity) : capacity_(capacity) { open(QIODevice::WriteOnly); }
  bool failed() const { return failed_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (static_cast<qint64>(bytes_.size()) + size > capacity_) {
      failed_ = true;
      return -1;
    }
    bytes_.append(data, size);
    return size;
  }

 private:
  qint64 capacity_;
  QByteArray bytes_;
  bool failed_ = false;
};

// A printer's output that fills up after 4 KB.
class FailingPdfOutput final : public QPdfWriter, public PrintOutput {
 public:
  static std::unique_ptr<FailingPdfOutput> Create(bool landscape) {
    auto file = std::make_unique<FailingFile>(4096);
    std::unique_ptr<FailingPdfOutput> out(new FailingPdfOutput(std::move(file)));
    out->setPageLayout(PdfFileOutput::A4Layout(landscape));
    out->setResolution(600);
    return out;
  }
  bool commit() override { return !file_->failed(); }

 private:
  explicit FailingPdfOutput(std::unique_ptr<FailingFile> file) : QPdfWriter(file.get()), file_(std::move(file)) {}
  std::unique_ptr<FailingFile> file_;
};

}  // namespace

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
    return buttons == PromptButtons::Ok      ? PromptAnswer::Ok
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

template <class FileAnswer>
QString ScriptedPrompts::nextPath(const char* unexpected) {
  if (queue_.empty() || !std::holds_alternative<FileAnswer>(queue_.front())) {
    ADD_FAILURE() << unexpected;
    return {};
  }
  const QString path = std::get<FileAnswer>(queue_.front()).path;
  queue_.pop_front();
  return path;
}

QString ScriptedPrompts::saveFileName(const QString& title, const QString& startPath, const QString& filter) {
  shown_.push_back(Shown{Kind::SaveFile, title, title, PromptIcon::None, PromptButtons::OkCancel});
  lastSaveStart = startPath;
  lastSaveFilter = filter;
  return nextPath<SaveAnswer>("unexpected save dialog");
}

QString ScriptedPrompts::openFileName(const QString& title, const QString& startPath, const QString& filter) {
  shown_.push_back(Shown{Kind::OpenFile, title, title, PromptIcon::None, PromptButtons::OkCancel});
  lastOpenStart = startPath;
  lastOpenFilter = filter;
  return nextPath<OpenAnswer>("unexpected open dialog");
}

QStringList ScriptedPrompts::openFileNames(const QString& title, const QString& startPath, const QString& filter) {
  shown_.push_back(Shown{Kind::OpenFile, title, title, PromptIcon::None, PromptButtons::OkCancel});
  lastOpenStart = startPath;
  lastOpenFilter = filter;
  if (queue_.empty() || !std::holds_alternative<OpenFilesAnswer>(queue_.front())) {
    ADD_FAILURE() << "unexpected dialog of many files";
    return {};
  }
  const QStringList paths = std::get<OpenFilesAnswer>(queue_.front()).paths;
  queue_.pop_front();
  return paths;
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
  switch (a.what) {
    case PrinterAnswer::What::Cancel: return nullptr;
    case PrinterAnswer::What::Pdf: return PdfFileOutput::Create(a.path, PdfFileOutput::A4Layout(landscape));
    case PrinterAnswer::What::Failing: {
      // A device with nowhere to write, which cannot be opened.
      auto printer = std::make_unique<QPdfWriter>(static_cast<QIODevice*>(nullptr));
      printer->setPageLayout(PdfFileOutput::A4Layout(landscape));
      return printer;
    }
    case PrinterAnswer::What::FailingWhileWriting: return FailingPdfOutput::Create(landscape);
  }
  return nullptr;
}

}  // namespace orvanta::testing
