#pragma once
// The answer-code editor (frmiin2): the code-list editor for the answers of
// questions 6 and 7 (lists 6 and 7), chosen with two option buttons above
// the list. Switching between them reads set.dat again without a question.

#include <array>

#include "gui/codelists/code_list_editor_window.h"

class QRadioButton;

namespace orvanta {

class AnswerCodeEditorWindow : public CodeListEditorWindow {
  Q_OBJECT
 public:
  // Opens on question 6: sets EditedList to 6 and reads set.dat.
  explicit AnswerCodeEditorWindow(AppState& state, QWidget* parent = nullptr);

 protected:
  ListEditorSetUp setUpFor(int listIndex) const override;
  void applyBackground(const QColor& background, const QColor& text) override;

 private:
  void onOptionChosen(int index);

  std::array<QRadioButton*, 2> questionOptions_{};
};

}  // namespace orvanta
