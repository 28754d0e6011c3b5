#pragma once
// Installs a fixture collection (a folder holding set.dat and data/N.dat, as
// the CSV fixture scripts write them) into a test's drive root.

#include <QString>
#include <initializer_list>

namespace orvanta {
class AppState;
namespace testing {

// Reads folder/set.dat into the lists, copies folder/data/N.dat for every N
// of files into the report folder and makes the largest N the newest file.
// False when any step fails.
bool InstallFixtureCollection(AppState& state, const QString& folder, std::initializer_list<int> files);

}  // namespace testing
}  // namespace orvanta
