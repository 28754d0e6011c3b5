#pragma once

#include <QDialog>
#include <vector>

#include "core/backup/backup_listing.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orvanta {

class AppState;

// "バックアップから復元": the generations, the newest first, and ~/tonrixbu,
// each with the date and time it was made, how it was made, its reports, the
// newest date of occurrence among them and its size. "復元" restores the
// chosen one after asking; the state is read again at once, so every window
// shows the restored data.
class RestoreWindow : public QDialog {
  Q_OBJECT
 public:
  explicit RestoreWindow(AppState& state, QWidget* parent = nullptr);

  // Reads the list of backups again.
  void refresh();

 private:
  void restoreChosen();

  AppState& state_;
  std::vector<BackupEntry> entries_;
  QLabel* guide_;
  QTreeWidget* list_;
  QPushButton* restoreButton_;
};

}  // namespace orvanta
