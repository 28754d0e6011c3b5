#include "gui/shell/window_openers.h"

#include "core/app/app_state.h"
#include "core/backup/backup_summary.h"
#include "core/output/report_sheet.h"
#include "gui/analysis/cross_table_window.h"
#include "gui/analysis/extraction_window.h"
#include "gui/analysis/graph_window.h"
#include "gui/analysis/item_graph_window.h"
#include "gui/analysis/summary_window.h"
#include "gui/audit/access_log_window.h"
#include "gui/backup/backup_command.h"
#include "gui/backup/restore_window.h"
#include "gui/codelists/answer_code_editor_window.h"
#include "gui/codelists/code_list_editor_window.h"
#include "gui/followup/due_list_window.h"
#include "gui/followup/followup_window.h"
#include "gui/followup/schedule_window.h"
#include "gui/help/about_window.h"
#include "gui/help/guide_pages.h"
#include "gui/help/guide_window.h"
#include "gui/network/facility_settings_window.h"
#include "gui/network/network_window.h"
#include "gui/network/submission_window.h"
#include "gui/rates/denominators_window.h"
#include "gui/rates/rates_window.h"
#include "gui/reports/data_file_repair_command.h"
#include "gui/reports/report_window.h"

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

// Every analysis view has its window.
bool HasAnalysisView(AnalysisView view) {
  switch (view) {
    case AnalysisView::CrossTable:
    case AnalysisView::Extraction:
    case AnalysisView::Summary:
    case AnalysisView::Graph:
    case AnalysisView::ItemGraph: return true;
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
    case AnalysisView::Graph: {
      GraphWindow window(state, parent);
      window.exec();
      return;
    }
    case AnalysisView::ItemGraph: {
      ItemGraphWindow window(state, parent);
      window.exec();
      return;
    }
  }
}

bool HasMenuCommand(MenuCommand command) {
  switch (command) {
    // Backups.
    case MenuCommand::BackupNow: return true;
    case MenuCommand::Restore: return true;
    // Data files.
    case MenuCommand::RepairDataFile: return true;
    // The surveillance network.
    case MenuCommand::Submission: return true;
    case MenuCommand::FacilitySettings: return true;
    // The follow-up of exposed workers.
    case MenuCommand::DueList: return true;
    case MenuCommand::ScheduleTemplates: return true;
    // Rates and trends.
    case MenuCommand::Rates: return true;
    case MenuCommand::Denominators: return true;
    // The access log.
    case MenuCommand::AccessLog: return true;
    case MenuCommand::Network: return true;
    // Help.
    case MenuCommand::Guide: return true;
    case MenuCommand::About: return true;
  }
  return false;
}

bool WritesData(MenuCommand command) {
  switch (command) {
    case MenuCommand::BackupNow:
    case MenuCommand::Restore:
    case MenuCommand::RepairDataFile:
    case MenuCommand::FacilitySettings: return true;
    case MenuCommand::Submission:
    case MenuCommand::DueList:
    case MenuCommand::ScheduleTemplates:
    case MenuCommand::Rates:
    case MenuCommand::Denominators:
    case MenuCommand::AccessLog:
    case MenuCommand::Network:
    case MenuCommand::Guide:
    case MenuCommand::About: return false;
  }
  return true;
}

void RunMenuCommand(MenuCommand command, AppState& state, QWidget* parent) {
  switch (command) {
    // Backups.
    case MenuCommand::BackupNow: RunBackup(state, BackupOccasion::OnDemand); break;
    case MenuCommand::Restore: {
      RestoreWindow window(state, parent);
      window.exec();
      break;
    }
    // Data files.
    case MenuCommand::RepairDataFile: RepairDamagedDataFiles(state); break;
    // The surveillance network.
    case MenuCommand::Submission: ShowSubmission(state, parent); break;
    case MenuCommand::FacilitySettings: {
      FacilitySettingsWindow window(state, parent);
      window.exec();
      break;
    }
    // The follow-up of exposed workers.
    case MenuCommand::DueList: ShowDueList(state, parent); break;
    case MenuCommand::ScheduleTemplates: ShowScheduleTemplates(state, parent); break;
    // Rates and trends.
    case MenuCommand::Rates: {
      RatesWindow window(state, parent);
      window.exec();
      break;
    }
    case MenuCommand::AccessLog: {
      AccessLogWindow window(state, parent);
      window.exec();
      break;
    }
    case MenuCommand::Denominators: {
      DenominatorsWindow window(state, parent);
      window.exec();
      break;
    }
    // The centre's pooled analysis of a surveillance network.
    case MenuCommand::Network: {
      NetworkWindow window(state, parent);
      window.exec();
      break;
    }
    // Help.
    case MenuCommand::Guide: ShowGuide(GuideHomePage(), parent); break;
    case MenuCommand::About: {
      AboutWindow about(state, parent);
      about.exec();
      break;
    }
  }
  (void)state;
  (void)parent;
}

void ShowDueList(AppState& state, QWidget* parent) {
  if (!FollowupAvailable(state)) return;
  DueListWindow window(state, parent);
  window.exec();
}

void ShowScheduleTemplates(AppState& state, QWidget* parent) {
  if (!FollowupAvailable(state)) return;
  ScheduleWindow window(state, parent);
  window.exec();
}

bool HasSheetPrinting() { return true; }
void PrintBlankSheet(AppState& state, QWidget*) { PrintReportSheet(state.prompts()); }

}  // namespace orvanta
