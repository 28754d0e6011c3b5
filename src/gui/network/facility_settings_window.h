#pragma once
// The window "施設の設定" (frmFacility): the 施設コード the surveillance
// network assigns and the 施設名, kept in the database (network_settings.h).
// "OK" stores both in one transaction; a code that is not 1 to 8 half-width
// letters and digits is refused with a message and nothing is stored.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orvanta {

class AppState;

class FacilitySettingsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FacilitySettingsWindow(AppState& state, QWidget* parent = nullptr);

  // "OK": checks, stores and closes; stays open when it cannot store.
  void store();

 private:
  AppState& state_;
  QLineEdit* codeBox_ = nullptr;
  QLineEdit* nameBox_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace orvanta
