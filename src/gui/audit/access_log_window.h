#pragma once
// "操作記録" (frmAccessLog): the access log, newest first, filtered by period,
// user, kind and record number; "CSVファイル変換" and "印刷" take out what the
// filter shows; "記録の検証" walks the whole chain (and the heads the backup
// generations kept) and says whether every entry is intact or where the
// chain first breaks. The table reads a page of entries at a time.

#include <QDialog>

#include "core/store/access_log.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvanta {

class AppState;
class LogTableModel;

class AccessLogWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AccessLogWindow(AppState& state, QWidget* parent = nullptr);

  // "表示": reads the entries the filter lets through.
  void showFiltered();
  void writeCsv();
  void printLog();
  void checkChain();

  LogFilter currentFilter() const;
  const LogTableModel& model() const { return *model_; }

 private:
  AppState& state_;
  LogTableModel* model_ = nullptr;
  QCheckBox* periodBox_ = nullptr;
  QDateEdit* fromDate_ = nullptr;
  QDateEdit* toDate_ = nullptr;
  QComboBox* userList_ = nullptr;
  QComboBox* kindList_ = nullptr;
  QLineEdit* reportBox_ = nullptr;
  QPushButton* showButton_ = nullptr;
  QLabel* countLabel_ = nullptr;
  QTableView* logTable_ = nullptr;
  QPushButton* csvButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* checkButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
};

}  // namespace orvanta
