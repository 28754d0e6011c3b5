#include "gui/shell/window_openers.h"

#include "gui/analysis/cross_table_window.h"
#include "gui/analysis/extraction_window.h"
#include "gui/analysis/summary_window.h"
#include "gui/codelists/answer_code_editor_window.h"
#include "gui/codelists/code_list_editor_window.h"
#include "gui/reports/report_window.h"
#include "core/app/app_state.h"

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

// The graph views come with the graph work; until a window exists its button
// on the main window stays disabled.
bool HasAnalysisView(AnalysisView view) {
  switch (view) {
    case AnalysisView::CrossTable:
    case AnalysisView::Extraction:
    case AnalysisView::Summary:
      return true;
    case AnalysisView::Graph:
    case AnalysisView::ItemGraph:
      return false;
  }
  return false;
}

void ShowAnalysisView(AnalysisView view, AppState& state, QWidget* parent) {
  switch (view) {
    case AnalysisView::CrossTable: {
      CrossTableWindow window(state, parent);
      window.exec();
      return;
    }
    case AnalysisView::Extraction: {
      ExtractionWindow window(state, parent);
      window.exec();
      return;
    }
    case AnalysisView::Summary: {
      SummaryWindow window(state, parent);
      window.exec();
      return;
    }
    case AnalysisView::Graph:
    case AnalysisView::ItemGraph:
      return;
  }
}

bool HasSheetPrinting() { return false; }
void PrintBlankSheet(AppState&, QWidget*) {}

}  // namespace orvanta
