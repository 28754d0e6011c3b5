#include "core/codelists/code_lists.h"

#include <QDir>

#include "core/platform/safe_save.h"

namespace orvanta {

ReadResult ReadSettingsFile(const QString& path, CodeLists& lists) {
  QByteArray data;
  if (!ReadWholeFile(path, data)) return ReadResult{ReadError::CannotOpen, 0};
  return ReadSettingsBytes(data, lists);
}

ReadResult ReadSettingsBytes(QByteArrayView data, CodeLists& lists) {
  ValueReader reader(data);
  for (CodeList& list : lists) {
    // From here on this list holds exactly the entries read so far.
    list.entries.clear();
    std::int16_t count = 0;
    if (!reader.readInt16(count)) return reader.result();
    if (count < 0 || count > kCodeListCapacity) {
      reader.fail(ReadError::OutOfRange);
      return reader.result();
    }
    list.entries.reserve(count);
    for (int p = 0; p < count; ++p) {
      CodeEntry entry;
      if (!reader.readText(entry.name) || !reader.readText(entry.code) || !reader.readInt32(entry.id))
        return reader.result();
      list.entries.append(std::move(entry));
    }
  }
  return reader.result();
}

QByteArray SettingsFileBytes(const CodeLists& lists) {
  ValueWriter writer;
  qsizetype entries = 0;
  for (const CodeList& list : lists) entries += list.entries.size();
  writer.reserve(32 + entries * 64);
  for (const CodeList& list : lists) {
    writer.writeInt(list.count());
    for (const CodeEntry& entry : list.entries) {
      writer.writeText(entry.name);
      writer.writeText(entry.code);
      writer.writeInt(entry.id);
    }
  }
  return writer.bytes();
}

bool WriteSettingsFile(const QString& path, const CodeLists& lists, QString* error) {
  // A list beyond its capacity would give a file that cannot be read back,
  // and an unreadable set.dat is replaced by the defaults at the next start.
  for (const CodeList& list : lists) {
    if (list.count() > kCodeListCapacity) {
      if (error) {
        *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(%2件を超える項目のあるリストがあります)")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(kCodeListCapacity);
      }
      return false;
    }
  }
  return SaveFileAtomically(path, SettingsFileBytes(lists), FileAccess::OwnerOnly, error);
}

int FindEntryById(const CodeList& list, std::int32_t id) {
  for (int p = 0; p < list.count(); ++p) {
    if (list.entries[p].id == id) return p;
  }
  return -1;
}

}  // namespace orvanta
