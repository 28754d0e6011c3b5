#pragma once
// The window "提出内容の確認" (frmSubmission): a year's submission to the
// surveillance network shown before anything is written. The year (年度 or
// calendar year, as the rates' year kind says), the number of reports, the
// year's denominators line by line (found, missing, or left out and why),
// what goes and what never goes, the answers without a code and the
// unanswered reports per item. "作成" writes the file (submission.h), "CSVで
// 内容を確認" the same rows as a CSV file for the privacy officer, "戻る" closes.

#include <QDialog>

#include "core/network/submission.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orvanta {

class AppState;
class ResultGrid;

class SubmissionWindow : public QDialog {
  Q_OBJECT

 public:
  SubmissionWindow(AppState& state, QString facilityCode, QWidget* parent = nullptr);

  const SubmissionContent& content() const { return content_; }
  // The years offered, newest first.
  const std::vector<int>& years() const { return years_; }

  // Gathers the chosen year again and shows it.
  void gather();
  // "作成" and "CSVで内容を確認".
  void create();
  void writeCsv();

 private:
  void buildTop();
  void buildLists();
  void buildGrids();
  void buildButtons();
  void showContent(const SubmissionContent& content);

  AppState& state_;
  QString facilityCode_;
  YearKind kind_ = YearKind::Fiscal;
  std::vector<int> years_;
  SubmissionContent content_;

  QComboBox* yearList_ = nullptr;
  QLabel* periodLabel_ = nullptr;
  QLabel* summaryLabel_ = nullptr;
  QListWidget* goesList_ = nullptr;
  QListWidget* neverGoesList_ = nullptr;
  ResultGrid* denominatorGrid_ = nullptr;
  ResultGrid* unansweredGrid_ = nullptr;
  QPushButton* createButton_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

// ファイル → "ネットワーク提出用ファイルの作成": asks for the 施設コード first
// when none is set, then shows the window.
void ShowSubmission(AppState& state, QWidget* parent);

}  // namespace orvanta
