#include "core/platform/print_output.h"

#include <QMarginsF>
#include <QPageSize>
#include <QSaveFile>

namespace orvanta {

std::unique_ptr<PdfFileOutput> PdfFileOutput::Create(const QString& path, const QPageLayout& layout) {
  auto file = std::make_unique<QSaveFile>(path);
  const bool opened = file->open(QIODevice::WriteOnly);
  std::unique_ptr<PdfFileOutput> output(new PdfFileOutput(std::move(file), opened));
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
PdfFileOutput::PdfFileOutput(std::unique_ptr<QSaveFile> file, bool opened)
    : QPdfWriter(opened ? static_cast<QIODevice*>(file.get()) : nullptr), file_(std::move(file)) {}

PdfFileOutput::~PdfFileOutput() {
  // Uncommitted: the temporary file goes with the QSaveFile.
  if (!committed_ && file_->isOpen()) file_->cancelWriting();
}

bool PdfFileOutput::commit() {
  if (committed_) return true;
  if (!file_->isOpen()) return false;
  committed_ = file_->commit();
  return committed_;
}

}  // namespace orvanta
