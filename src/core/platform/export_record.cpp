#include "core/platform/export_record.h"

#include <utility>

namespace orvanta {

namespace {
ExportListener& Listener() {
  static ExportListener listener;
  return listener;
}
}  // namespace

ExportListener SetExportListener(ExportListener listener) { return std::exchange(Listener(), std::move(listener)); }

void RecordExport(const ExportRecord& record) {
  if (Listener()) Listener()(record);
}

}  // namespace orvanta
