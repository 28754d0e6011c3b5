#include "core/output/print_job.h"

#include <memory>

#include "core/output/painter_surface.h"
#include "core/platform/export_record.h"
#include "core/platform/print_output.h"
#include "core/platform/print_progress.h"
#include "core/platform/prompts.h"

namespace orvanta {

PrintResult RunPrint(Prompts& prompts, const PrintSetup& setup, const PrintDrawing& draw) {
  if (!setup.orientationMessage.isEmpty()) prompts.message(setup.orientationMessage);
  std::unique_ptr<QPagedPaintDevice> device = prompts.choosePrinter(setup.landscape);
  if (!device) return PrintResult::Cancelled;

  bool failed = false;
  bool stopped = false;
  prompts.setBusy(true);
  {
    const std::unique_ptr<PrintProgress> progress = prompts.printProgress();
    // The surface ends its painter when it goes, before the device does.
    PainterSurface surface(device.get());
    if (!surface.Begin()) {
      failed = true;
    } else {
      if (setup.whileDrawing.before) setup.whileDrawing.before();
      const bool drawn = draw(surface, *progress);
      if (setup.whileDrawing.after) setup.whileDrawing.after();
      if (surface.Failed())
        failed = true;
      else if (!drawn || progress->stopped())
        stopped = true;
      else
        failed = !surface.EndDocument();
    }
  }
  // Only a whole job is put in place; a device dropped uncommitted discards
  // what was drawn on it.
  QString failureMessage = setup.failureMessage;
  ExportRecord record{ExportKind::Print, setup.what, QString(), setup.reports};
  if (const auto* pdf = dynamic_cast<PdfFileOutput*>(device.get())) {
    record.kind = ExportKind::Pdf;
    record.path = pdf->path();
  }
  if (auto* output = dynamic_cast<PrintOutput*>(device.get())) {
    if (!failed && !stopped) failed = !output->commit();
    // A file that could not be written is no printer that is missing.
    if (failed && !output->failureMessage().isEmpty()) failureMessage = output->failureMessage();
  }
  device.reset();
  prompts.setBusy(false);

  if (failed) {
    prompts.message(failureMessage);
    return PrintResult::Failed;
  }
  if (stopped) return PrintResult::Stopped;
  RecordExport(record);
  return PrintResult::Printed;
}

bool PageFinished(const Surface& surface, PrintProgress& progress, int pagesDone) {
  if (surface.Failed()) return false;
  return progress.pageDone(pagesDone);
}

}  // namespace orvanta
