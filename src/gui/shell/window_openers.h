#pragma once
// The windows that the main window opens. Each function shows its window
// modally over parent and returns when it has closed.

class QWidget;

namespace orvanta {

class AppState;

void ShowCodeListEditor(AppState& state, QWidget* parent);    // on EditedList
void ShowAnswerCodeEditor(AppState& state, QWidget* parent);  // questions 6 and 7

bool HasReportWindow();
void ShowReportWindow(AppState& state, QWidget* parent);  // NewReportMode decides

enum class AnalysisView { CrossTable, Extraction, Summary, Graph, ItemGraph };
bool HasAnalysisView(AnalysisView view);
void ShowAnalysisView(AnalysisView view, AppState& state, QWidget* parent);

bool HasSheetPrinting();
void PrintBlankSheet(AppState& state, QWidget* parent);

}  // namespace orvanta
