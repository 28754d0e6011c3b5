#include "shell/main_window_openers_gui.h"

#include "codelists/answer_code_editor_window.h"
#include "codelists/code_list_editor_window.h"
#include "reports/report_window.h"
#include "shell/app_state.h"

namespace orvanta {

void ShowCodeListEditor(AppState& state, QWidget* parent) {
  CodeListEditorWindow editor(state, parent);
  editor.exec();
}

void ShowAnswerCodeEditor(AppState& state, QWidget* parent) {
  AnswerCodeEditorWindow editor(state, parent);
  editor.exec();
}

bool HasReportWindow() { return true; }
void ShowReportWindow(AppState& state, QWidget* parent) {
  ReportWindow window(state, parent);
  window.exec();
}

// The windows below come with the analysis and printing work; until a window
// exists its button on the main window stays disabled.
bool HasAnalysisView(AnalysisView) { return false; }
void ShowAnalysisView(AnalysisView, AppState&, QWidget*) {}

bool HasSheetPrinting() { return false; }
void PrintBlankSheet(AppState&, QWidget*) {}

}  // namespace orvanta
