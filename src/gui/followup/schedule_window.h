#pragma once
// "経過観察の予定表" (frmScheduleTemplates): the hospital's follow-up
// schedule, the tests "予定を作成" plans for each pathogen at their points
// after the incident. Each addition, change and removal is stored at once.

#include <QDialog>
#include <vector>

#include "core/followup/followup_case.h"
#include "gui/followup/entry_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace orvanta {

class AppState;
class ResultGrid;

class ScheduleWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ScheduleWindow(AppState& state, QWidget* parent = nullptr);

  void addEntry();
  void changeEntry();
  void removeEntry();
  // "既定に戻す": after a question, the schedule of a new database.
  void restoreDefaults();

  const std::vector<ScheduleEntry>& shownEntries() const { return entries_; }

 private:
  void reload();
  const ScheduleEntry* chosenEntry() const;

  AppState& state_;
  bool readOnly_ = false;
  std::vector<ScheduleEntry> entries_;
  ResultGrid* scheduleGrid_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* changeButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* defaultsButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

// One entry of the schedule (frmScheduleEntry): the pathogen, the point
// after the incident (a number and 週 or か月; 0 is 受傷時) and the test.
class ScheduleEntryDialog : public EntryDialog {
  Q_OBJECT
 public:
  ScheduleEntryDialog(AppState& state, const ScheduleEntry& entry, std::function<bool(const ScheduleEntry&)> store,
                      QWidget* parent);

 protected:
  bool store() override;

 private:
  ScheduleEntry original_;
  std::function<bool(const ScheduleEntry&)> storeEntry_;
  QComboBox* pathogenList_ = nullptr;
  QSpinBox* countBox_ = nullptr;
  QComboBox* unitList_ = nullptr;
  QLineEdit* testBox_ = nullptr;
};

}  // namespace orvanta
