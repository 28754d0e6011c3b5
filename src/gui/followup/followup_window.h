#pragma once
// The follow-up window ("経過観察", frmFollowup) of one exposed worker: the
// worker and the incident date from the report, the source patient's status
// per pathogen, prophylaxis, the tests with add, change and remove,
// "予定を作成", the closing of the follow-up, the print of the sheet.
//
// Every change is stored at once, as one transaction: a change the database
// refuses is told and taken back on the screen, so the window always shows
// what is stored. A database written by a newer program is shown read-only.

#include <QDialog>
#include <array>
#include <cstdint>
#include <vector>

#include "core/followup/followup_case.h"
#include "gui/widgets/close_guard.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta {

class AppState;
class ResultGrid;

class FollowupWindow : public QDialog {
  Q_OBJECT
 public:
  // followup is the stored case, or (stored false) a case built from its
  // report that is stored with its first change; immunity is the worker's
  // answer to question 14 of the report (no HBV test is planned for a worker
  // known to be immune, and the window says why).
  FollowupWindow(AppState& state, const FollowupCase& followup, bool stored,
                 HbvImmunity immunity = HbvImmunity::Unknown, QWidget* parent = nullptr);

  const FollowupCase& shownCase() const { return case_; }
  const std::vector<FollowupTest>& shownTests() const { return tests_; }

  // The commands, as their buttons run them.
  void addTest();
  void changeTest();
  void removeTest();
  void planSchedule();
  void endFollowup();
  void reopenFollowup();
  void printSheet();

 protected:
  void reject() override;

 private:
  void buildWorkerFrame();
  void buildSourceFrame();
  void buildProphylaxisFrame();
  void buildTestFrame();
  void buildClosingRow();

  // Shows the case as it is stored (or built) and the tests read again.
  void showCase();
  void reloadTests();
  void enableControls();
  // The test of the grid's current row; nullptr when none is chosen.
  const FollowupTest* chosenTest() const;
  // Stores the case with one change; told and taken back when refused.
  bool commitCase(const FollowupCase& changed);
  void onSourceChosen(int pathogenIndex);
  void onProphylaxisToggled(int index);
  void onProphylaxisMomentEdited(int index);
  void commitRemarks();
  // Stores what a box still holds unstored (remarks, a moment being typed).
  bool commitPendingEdits();

  AppState& state_;
  FollowupCase case_;
  HbvImmunity immunity_ = HbvImmunity::Unknown;
  QLabel* immunityLabel_ = nullptr;
  bool stored_ = false;
  bool readOnly_ = false;
  std::vector<FollowupTest> tests_;
  CloseGuard closeGuard_;

  QLabel* nameLabel_ = nullptr;
  QLabel* departmentLabel_ = nullptr;
  QLabel* occupationLabel_ = nullptr;
  QLabel* incidentLabel_ = nullptr;
  QLabel* reportLabel_ = nullptr;
  std::array<QComboBox*, 3> sourceLists_{};  // HIV, HCV, HBV
  std::array<QCheckBox*, 3> givenChecks_{};  // HBIG, HBワクチン, 抗HIV薬
  std::array<QDateTimeEdit*, 3> givenEdits_{};
  ResultGrid* testGrid_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* changeButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* planButton_ = nullptr;
  QLineEdit* remarksBox_ = nullptr;
  QLabel* closingLabel_ = nullptr;
  QPushButton* endButton_ = nullptr;
  QPushButton* reopenButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

// Opens the follow-up window of a report over parent (its stored case, or a
// new one from the report), modally; tells why when the database cannot be
// used or the report holds no valid incident date.
void ShowFollowupForReport(AppState& state, const ReportRecord& report, QWidget* parent);
// Opens the stored case of a report (from the due list). False when there
// is none any more (told).
bool ShowFollowupOfCase(AppState& state, std::int32_t reportId, QWidget* parent);

// Whether the follow-up can be used: the database is open. Tells why not.
bool FollowupAvailable(AppState& state);
// Tells that a change of the follow-up could not be stored, and why;
// answers false.
bool TellFollowupFailure(AppState& state, const QString& reason);
// Tells that the database could not be read, and why.
void TellDatabaseReadFailure(AppState& state, const QString& reason);

}  // namespace orvanta
