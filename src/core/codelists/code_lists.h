#pragma once
// The eleven code lists: the answer choices of the report form, each entry
// with a name, the answer's code on the form and an id unique over all lists.
// Reports store ids only.

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

#include "core/platform/value_file.h"

namespace orvanta {

struct CodeEntry {
  QString name;
  QString code;
  std::int32_t id = 0;
  friend bool operator==(const CodeEntry&, const CodeEntry&) = default;
};

// One list: entries 0 to count - 1 in display order.
struct CodeList {
  QList<CodeEntry> entries;
  int count() const { return static_cast<int>(entries.size()); }
  friend bool operator==(const CodeList&, const CodeList&) = default;
};

inline constexpr int kCodeListCount = 11;
inline constexpr int kCodeListCapacity = 101;

// Indexes of the lists.
enum CodeListIndex : int {
  kOccupations = 0,
  kPlaces = 1,
  kPurposes = 2,
  kCircumstances = 3,
  kDevices = 4,
  kSeverities = 5,
  kQuestion6Answers = 6,
  kQuestion7Answers = 7,
  kDepartments = 8,
  kActionTypes = 9,
  kReservedList = 10,
};

using CodeLists = std::array<CodeList, kCodeListCount>;

// Sets lists 0 to 9 to the answers of the report form. List 10 and the id
// counter are left alone.
void SetDefaultCodeLists(CodeLists& lists);

// Reads set.dat into the lists, list by list in file order. A failure (missing
// file, a value of the wrong kind, the file ending early, a count above 101 or
// below 0) stops the reading and is returned with the line it happened on; the
// lists read so far stay as read, the list being read holds its entries read
// completely so far (none when its count failed), and the lists after it are
// left as they were. A missing or unreadable file changes no list.
ReadResult ReadSettingsFile(const QString& path, CodeLists& lists);

// Reads the lists from the bytes of a set.dat, as ReadSettingsFile does.
ReadResult ReadSettingsBytes(QByteArrayView data, CodeLists& lists);

// The bytes of set.dat for the lists.
QByteArray SettingsFileBytes(const CodeLists& lists);

// Writes set.dat, readable by its owner only; false (with the reason in
// error) when it cannot be saved, and then the old file is left whole. A list
// holding more than 101 entries is not written, since it could not be read.
bool WriteSettingsFile(const QString& path, const CodeLists& lists, QString* error = nullptr);

// Position of the entry with the id in a list, or -1.
int FindEntryById(const CodeList& list, std::int32_t id);

}  // namespace orvanta
