#include "core/platform/print_output.h"

#include <QMarginsF>
#include <QPageSize>
#include <QSaveFile>

#include "core/platform/safe_save.h"

namespace orvanta {

std::unique_ptr<PdfFileOutput> PdfFileOutput::Create(const QString& path, const QPageLayout& layout) {
  auto file = std::make_unique<QSaveFile>(path);
  const bool opened = file->open(QIODevice::WriteOnly);
  std::unique_ptr<PdfFileOutput> output(new PdfFileOutput(path, std::move(file), opened));
  output->setPageLayout(layout);
  output->setResolution(600);
  output->setCreator(QStringLiteral("Orvanta"));
  return output;
}

QPageLayout PdfFileOutput::A4Layout(bool landscape) {
  return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
}

// A file that could not be created gives the writer no device, so that
// beginning to draw on it fails.
PdfFileOutput::PdfFileOutput(const QString& path, std::unique_ptr<QSaveFile> file, bool opened)
    : QPdfWriter(opened ? static_cast<QIODevice*>(file.get()) : nullptr), path_(path), file_(std::move(file)) {
  if (!opened) failure_ = file_->errorString();
}

PdfFileOutput::~PdfFileOutput() {
  // Uncommitted: the temporary file goes with the QSaveFile.
  if (!committed_ && file_->isOpen()) file_->cancelWriting();
}

bool PdfFileOutput::commit() {
  if (committed_) return true;
  if (!file_->isOpen()) return false;
  // What is still in the file's buffer reaches the disk here; QSaveFile's
  // commit would put a file cut short in place when this write fails. A
  // write cut short (a disk that fills up) leaves no reason; trying the rest
  // once more gets the system's.
  if (!file_->flush() && !file_->flush()) {
    failure_ = file_->errorString();
    file_->cancelWriting();
    return false;
  }
  committed_ = file_->commit();
  if (!committed_ && failure_.isEmpty()) failure_ = file_->errorString();
  return committed_;
}

QString PdfFileOutput::failureMessage() const {
  QString why = failure_;
  // A write that failed while the pages were drawn.
  if (why.isEmpty() && file_->error() != QFileDevice::NoError) why = file_->errorString();
  return CannotWriteFileMessage(path_, why);
}

}  // namespace orvanta
