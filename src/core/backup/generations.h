#pragma once
// The dated backup generations: ~/tonrixbu.generations/YYYYMMDD-HHMMSS/,
// each a whole copy of the data folder as it was at that moment (the data
// files, set.dat, ttid.dat, passw.dat, started.dat, whatever else the folder
// holds, and the database copied through SQLite; never the lock file).
//
// A generation is built under a temporary name (".making-<name>") and
// renamed to its own name only once it has been verified, so only folders
// named YYYYMMDD-HHMMSS count; a generation is removed by renaming it to
// ".removing-<name>" first. Folders with those temporary names are what a
// program stopped half-way left behind, and are removed the next time a
// generation is made. The folders are 0700, the files 0600.
//
// Beside the copied files each generation holds its summary,
// ".orvanta-generation" (see generation_summary.h).

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace orvanta {

class DrivePaths;

// The folder name of a generation made at moment: "yyyyMMdd-HHmmss".
QString GenerationName(const QDateTime& moment);
// The moment a generation's folder name stands for; nullopt for a name that
// is not one.
std::optional<QDateTime> GenerationMoment(const QString& name);

struct Generation {
  QString name;  // yyyyMMdd-HHmmss
  QString path;
  QDateTime made;
};

// The generations under the generations folder, the newest first. Folders
// with other names (the temporary ones among them) are not generations.
std::vector<Generation> ListGenerations(const DrivePaths& paths);

// The keeping rule, over the moments of the generations, the newest first:
// the ten newest are kept, and of the older ones the newest of each calendar
// month, for the twelve calendar months that end with the month of the tenth
// newest generation. Answers, for each generation, whether it is kept.
std::vector<bool> KeptGenerations(const std::vector<QDateTime>& newestFirst);
inline constexpr int kNewestGenerationsKept = 10;
inline constexpr int kMonthsKept = 12;

// The generations the keeping rule lets go, of all generations. Only names
// that can be trusted are weighed: a name after now (made while the clock
// was ahead, or copied from another machine) says nothing true of its age,
// so it is never let go until now has passed it; the user is told of it
// instead (GenerationsAfter). The generation just made and wayBack (the one
// a restore named as the way back) are never let go either.
std::vector<Generation> GenerationsLetGo(const std::vector<Generation>& generations, const QString& justMade,
                                         const QString& wayBack, const QDateTime& now);
// The generations whose names lie after now.
std::vector<Generation> GenerationsAfter(const std::vector<Generation>& generations, const QDateTime& now);

// Removes a generation: renamed to its temporary name first, so that a
// program stopped while removing it leaves nothing that counts. True when it
// no longer counts.
bool RemoveGeneration(const Generation& generation);

// Removes the folders that a program stopped half-way through making or
// removing a generation left behind.
void RemoveUnfinishedGenerations(const DrivePaths& paths);

// The temporary names.
inline const QString kMakingPrefix = QStringLiteral(".making-");
inline const QString kRemovingPrefix = QStringLiteral(".removing-");

}  // namespace orvanta
