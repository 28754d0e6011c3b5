#pragma once
// The dialogs of the follow-up window: one test (add or change) and the
// closing of the follow-up. Each checks what was entered and hands it to
// its store function; OK closes it only when that succeeded.

#include <QDate>
#include <functional>

#include "core/followup/followup_case.h"
#include "gui/followup/entry_dialog.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace orvanta {

// "検査の追加" / "検査の変更" (frmFollowupTest).
class TestDialog : public EntryDialog {
  Q_OBJECT
 public:
  // store receives the checked test and answers whether it was stored (it
  // tells the user why not).
  TestDialog(AppState& state, const FollowupTest& test, const QDate& incident,
             std::function<bool(const FollowupTest&)> store, QWidget* parent);

  FollowupTest enteredTest() const;

 protected:
  bool store() override;

 private:
  FollowupTest original_;
  QDate incident_;
  std::function<bool(const FollowupTest&)> storeTest_;
  QComboBox* pathogenList_ = nullptr;
  QLineEdit* testBox_ = nullptr;
  QDateEdit* dueEdit_ = nullptr;
  QCheckBox* doneCheck_ = nullptr;
  QDateEdit* doneEdit_ = nullptr;
  QLineEdit* resultBox_ = nullptr;
  QLineEdit* remarksBox_ = nullptr;
};

// "経過観察を終了" (frmFollowupEnd): the closing date (today unless changed)
// and the reason.
class ClosingDialog : public EntryDialog {
  Q_OBJECT
 public:
  ClosingDialog(AppState& state, const QDate& incident, std::function<bool(const QDate&, const QString&)> store,
                QWidget* parent);

 protected:
  bool store() override;

 private:
  QDate incident_;
  std::function<bool(const QDate&, const QString&)> storeClosing_;
  QDateEdit* dateEdit_ = nullptr;
  QComboBox* reasonList_ = nullptr;
};

}  // namespace orvanta
