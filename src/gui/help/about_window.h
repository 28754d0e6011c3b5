#pragma once
// The version window (frmAbout, "バージョン情報"): the program's version, where
// its data lives, how many reports the collection holds, and the libraries
// the program is built on with their licences.

#include <QDialog>

namespace orvanta {

class AppState;

// The version of the program, as the build names it ("3.1.0").
QString ProgramVersion();

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  AboutWindow(AppState& state, QWidget* parent = nullptr);
};

}  // namespace orvanta
