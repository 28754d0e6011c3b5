#include "support/fixture_collection.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/codelists/code_lists.h"
#include "core/platform/safe_save.h"
#include "core/reports/body_sites.h"

namespace orvanta::testing {

bool InstallFixtureCollection(AppState& state, const QString& folder, std::initializer_list<int> files) {
  const QDir from(folder);
  if (!ReadSettingsFile(from.filePath(QStringLiteral("set.dat")), state.lists).ok()) return false;
  if (!MakeOwnerOnlyFolder(state.paths.ReportFolderPath())) return false;
  int newest = 0;
  for (int n : files) {
    if (!QFile::copy(from.filePath(QStringLiteral("data/%1.dat").arg(n)), state.paths.DataFilePath(n))) return false;
    newest = std::max(newest, n);
  }
  state.counters.NewestFileNo = static_cast<std::int16_t>(newest);
  return true;
}

}  // namespace orvanta::testing
