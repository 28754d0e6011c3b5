#include "core/backup/generations.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <set>

#include "core/backup/backup_io.h"
#include "core/platform/drive_paths.h"

namespace orvanta {

namespace {

const QString kNameFormat = QStringLiteral("yyyyMMdd-HHmmss");

int MonthIndex(const QDateTime& moment) { return moment.date().year() * 12 + moment.date().month() - 1; }

}  // namespace

QString GenerationName(const QDateTime& moment) { return moment.toString(kNameFormat); }

std::optional<QDateTime> GenerationMoment(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}$"));
  if (!pattern.match(name).hasMatch()) return std::nullopt;
  const QDateTime moment = QDateTime::fromString(name, kNameFormat);
  if (!moment.isValid()) return std::nullopt;
  return moment;
}

std::vector<Generation> ListGenerations(const DrivePaths& paths) {
  std::vector<Generation> generations;
  const QDir folder(paths.GenerationsFolderPath());
  const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : names) {
    if (const std::optional<QDateTime> made = GenerationMoment(name))
      generations.push_back(Generation{name, folder.filePath(name), *made});
  }
  std::sort(generations.begin(), generations.end(),
            [](const Generation& a, const Generation& b) { return a.name > b.name; });
  return generations;
}

std::vector<bool> KeptGenerations(const std::vector<QDateTime>& newestFirst) {
  std::vector<bool> kept(newestFirst.size(), false);
  const std::size_t newest = std::min<std::size_t>(newestFirst.size(), kNewestGenerationsKept);
  for (std::size_t i = 0; i < newest; ++i) kept[i] = true;
  if (newestFirst.size() <= newest) return kept;
  const int lastMonth = MonthIndex(newestFirst[newest - 1]);
  std::set<int> monthsTaken;
  for (std::size_t i = newest; i < newestFirst.size(); ++i) {
    const int month = MonthIndex(newestFirst[i]);
    const int back = lastMonth - month;
    // The first one met of a month is its newest.
    if (back >= 0 && back < kMonthsKept && monthsTaken.insert(month).second) kept[i] = true;
  }
  return kept;
}

std::vector<Generation> GenerationsLetGo(const std::vector<Generation>& generations, const QString& justMade,
                                         const QString& wayBack, const QDateTime& now) {
  // Only names that can be trusted are weighed; the newest name first.
  std::vector<Generation> trusted;
  for (const Generation& g : generations) {
    if (g.made <= now) trusted.push_back(g);
  }
  std::stable_sort(trusted.begin(), trusted.end(), [&](const Generation& a, const Generation& b) {
    if (a.made != b.made) return a.made > b.made;
    return a.name == justMade && b.name != justMade;
  });
  std::vector<QDateTime> moments;
  for (const Generation& g : trusted) moments.push_back(g.made);
  const std::vector<bool> kept = KeptGenerations(moments);
  std::vector<Generation> letGo;
  for (std::size_t i = 0; i < trusted.size(); ++i) {
    if (!kept[i] && trusted[i].name != justMade && trusted[i].name != wayBack) letGo.push_back(trusted[i]);
  }
  return letGo;
}

std::vector<Generation> GenerationsAfter(const std::vector<Generation>& generations, const QDateTime& now) {
  std::vector<Generation> after;
  for (const Generation& g : generations) {
    if (g.made > now) after.push_back(g);
  }
  return after;
}

bool RemoveGeneration(const Generation& generation) {
  const QDir folder = QFileInfo(generation.path).dir();
  const QString removing = folder.filePath(kRemovingPrefix + generation.name);
  if (!RemoveFolder(removing)) return false;
  if (!SystemBackupIo().rename(generation.path, removing)) return false;
  SyncFolder(folder.path());
  RemoveFolder(removing);
  return true;
}

void RemoveUnfinishedGenerations(const DrivePaths& paths) {
  const QDir folder(paths.GenerationsFolderPath());
  const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : names) {
    if (name.startsWith(kMakingPrefix) || name.startsWith(kRemovingPrefix)) RemoveFolder(folder.filePath(name));
  }
}

}  // namespace orvanta
