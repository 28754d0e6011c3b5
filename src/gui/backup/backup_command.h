#pragma once

namespace orvanta {

class AppState;
enum class BackupOccasion;

// Makes the backup (a generation and the copy into ~/tonrixbu) under a
// progress dialog with "キャンセル", and tells the user what failed; a backup
// on demand also says that it worked.
void RunBackup(AppState& state, BackupOccasion occasion);

}  // namespace orvanta
