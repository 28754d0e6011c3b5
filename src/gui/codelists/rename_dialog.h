#pragma once
// The rename dialog (frmMeibo) of the code-list editors: one text box with the
// entry's name, "OK" and "キャンセル".

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orvanta {

class AppState;

class RenameDialog : public QDialog {
  Q_OBJECT
 public:
  RenameDialog(AppState& state, const QString& currentName, QWidget* parent = nullptr);

  // The name handed back: the text of the box after "OK" with a non-empty
  // text; the current name after "OK" with an empty box, "キャンセル", Escape
  // or the close box.
  QString handedBackName() const { return handedBack_; }

  // Shows the dialog modally and returns the name handed back.
  static QString Ask(AppState& state, const QString& currentName, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppState& state_;
  QString handedBack_;
  QLineEdit* nameBox_ = nullptr;
};

}  // namespace orvanta
