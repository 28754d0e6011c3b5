#include "gui/codelists/answer_code_editor_window.h"

#include <QRadioButton>

#include "core/app/app_state.h"
#include "core/codelists/code_list_editing.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

AnswerCodeEditorWindow::AnswerCodeEditorWindow(AppState& state, QWidget* parent)
    : CodeListEditorWindow(state, Variant::AnswerCodes, parent) {
  const QString captions[2] = {
      QStringLiteral("設問6(受傷者自身が原因器材を患者に使っているときの受傷でしたか)に対する回答"),
      QStringLiteral("設問7(器材は血液・体液などに汚染されていましたか)に対する回答"),
  };
  const int tops[2] = {930, 1620};
  for (int i = 0; i < 2; ++i) {
    questionOptions_[i] = Named(new QRadioButton(captions[i], this), "Option1", i);
    // The option buttons take the window's colour as their background.
    questionOptions_[i]->setBackgroundRole(QPalette::Window);
    questionOptions_[i]->setAutoFillBackground(true);
    PlaceTw(questionOptions_[i], 750, tops[i], 6855, 375);
    connect(questionOptions_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) onOptionChosen(i);
    });
  }
  // Choosing question 6 opens its list.
  questionOptions_[0]->setChecked(true);
}

void AnswerCodeEditorWindow::onOptionChosen(int index) {
  state().editing.EditedList = kQuestion6Answers + index;
  setUpList();
}

ListEditorSetUp AnswerCodeEditorWindow::setUpFor(int listIndex) const { return AnswerCodeEditorSetUp(listIndex); }

void AnswerCodeEditorWindow::applyBackground(const QColor& background, const QColor& text) {
  CodeListEditorWindow::applyBackground(background, text);
  for (QRadioButton* option : questionOptions_) {
    if (!option) continue;
    QPalette pal = option->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    option->setPalette(pal);
  }
}

}  // namespace orvanta
