#pragma once
// The small dialogs of the follow-up windows that take one entry (a test, a
// closing, a schedule entry): "OK" and "キャンセル" at the foot, and OK closes
// the dialog only when the entry has been stored. Until then nothing is
// stored, and a refused entry keeps everything typed.

#include <QDialog>

class QPushButton;

namespace orvanta {

class AppState;

class EntryDialog : public QDialog {
  Q_OBJECT
 public:
  // Sizes in twips; the buttons sit at the bottom right.
  EntryDialog(AppState& state, const char* objectName, const QString& title, int width, int height, QWidget* parent);

  void accept() override;

 protected:
  // Checks and stores the entry; false (the user told why) keeps the dialog
  // open.
  virtual bool store() = 0;
  // Tells a problem with the entry (an exclamation box); answers false.
  bool refuse(const QString& problem);

  AppState& state_;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace orvanta
