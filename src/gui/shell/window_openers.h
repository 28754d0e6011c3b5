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

// The commands of the main window's menu bar that open a window or run a
// task of their own.
enum class MenuCommand {
  BackupNow,          // ファイル → 今すぐバックアップ
  Restore,            // ファイル → バックアップから復元
  RepairDataFile,     // ファイル → データファイルの修復
  Submission,         // ファイル → ネットワーク提出用ファイルの作成
  DueList,            // ツール → 経過観察予定
  ScheduleTemplates,  // ツール → 経過観察の予定表
  Rates,              // ツール → 発生率と推移
  Denominators,       // ツール → 分母の登録
  AccessLog,          // ツール → 操作記録
  FacilitySettings,   // ツール → 施設の設定
  Network,            // ツール → ネットワーク集計
  Guide,              // ヘルプ → 使い方
  About,              // ヘルプ → バージョン情報
};
bool HasMenuCommand(MenuCommand command);
// Whether a command writes in the data folder or beside it (the backups, the
// restore, a repair, the settings of the hospital): off in a read-only run.
// The windows that only show and take out what they show stay on; those that
// also change the database show it read-only.
bool WritesData(MenuCommand command);
void RunMenuCommand(MenuCommand command, AppState& state, QWidget* parent);

// The follow-up's windows of the menu ツール (also the way into the due list
// from the main window's line about overdue tests).
void ShowDueList(AppState& state, QWidget* parent);
void ShowScheduleTemplates(AppState& state, QWidget* parent);

bool HasSheetPrinting();
void PrintBlankSheet(AppState& state, QWidget* parent);

}  // namespace orvanta
