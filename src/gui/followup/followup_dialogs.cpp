#include "gui/followup/followup_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "core/reports/report_editing.h"
#include "gui/widgets/date_edits.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {

namespace {

constexpr int kRow = 420;  // twips from one row to the next
constexpr int kBoxLeft = 1200;
constexpr int kBoxHeight = 330;

QLineEdit* TextBox(QWidget* parent, AppState& state, const char* name, const QString& text, int maxLength, int top,
                   int width) {
  auto* box = Named(new QLineEdit(parent), name);
  box->setMaxLength(maxLength);
  box->setText(text);
  // What is typed stays storable: no commas, nothing code page 932 lacks;
  // a character past the box's length is refused with a beep.
  KeepLineBoxStorable(box, StorableLineText, state.prompts());
  PlaceTw(box, kBoxLeft, top, width, kBoxHeight);
  return box;
}

}  // namespace

// ---- One test ----------------------------------------------------------------

TestDialog::TestDialog(AppState& state, const FollowupTest& test, const QDate& incident,
                       std::function<bool(const FollowupTest&)> store, QWidget* parent)
    : EntryDialog(state, "frmFollowupTest", test.id == 0 ? QStringLiteral("検査の追加") : QStringLiteral("検査の変更"),
                  6900, 3780, parent),
      original_(test),
      incident_(incident),
      storeTest_(std::move(store)) {
  const QDate today = state_.clock().now().date();
  int top = 180;
  PlaceLabel(this, QStringLiteral("病原体"), 180, top, 1000, kBoxHeight);
  pathogenList_ = Named(new QComboBox(this), "cboPathogen");
  for (Pathogen p : {Pathogen::HIV, Pathogen::HCV, Pathogen::HBV, Pathogen::Other})
    pathogenList_->addItem(PathogenText(p), static_cast<int>(p));
  pathogenList_->setCurrentIndex(pathogenList_->findData(static_cast<int>(test.pathogen)));
  PlaceTw(pathogenList_, kBoxLeft, top, 1500, kBoxHeight);

  top += kRow;
  PlaceLabel(this, QStringLiteral("検査"), 180, top, 1000, kBoxHeight);
  testBox_ = TextBox(this, state_, "txtTest", test.test, kMaxTestNameLength, top, 5400);

  top += kRow;
  PlaceLabel(this, QStringLiteral("予定日"), 180, top, 1000, kBoxHeight);
  dueEdit_ =
      Named(PlaceDateEdit(this, test.due.isValid() ? test.due : today, kBoxLeft, top, 1800, kBoxHeight), "dtpDue");

  top += kRow;
  PlaceLabel(this, QStringLiteral("実施日"), 180, top, 1000, kBoxHeight);
  doneCheck_ = Named(new QCheckBox(QStringLiteral("実施済み"), this), "chkDone");
  PlaceTw(doneCheck_, kBoxLeft, top, 1200, kBoxHeight);
  doneEdit_ = Named(
      PlaceDateEdit(this, test.done.isValid() ? test.done : today, kBoxLeft + 1260, top, 1800, kBoxHeight), "dtpDone");
  doneCheck_->setChecked(test.isDone());
  doneEdit_->setEnabled(test.isDone());
  connect(doneCheck_, &QCheckBox::toggled, doneEdit_, &QWidget::setEnabled);

  top += kRow;
  PlaceLabel(this, QStringLiteral("結果"), 180, top, 1000, kBoxHeight);
  resultBox_ = TextBox(this, state_, "txtResult", test.result, kMaxResultLength, top, 5400);

  top += kRow;
  PlaceLabel(this, QStringLiteral("備考"), 180, top, 1000, kBoxHeight);
  remarksBox_ = TextBox(this, state_, "txtTestRemarks", test.remarks, kMaxRemarksLength, top, 5400);
  testBox_->setFocus();
}

FollowupTest TestDialog::enteredTest() const {
  FollowupTest t = original_;
  t.pathogen = static_cast<Pathogen>(pathogenList_->currentData().toInt());
  t.test = testBox_->text().trimmed();
  t.due = dueEdit_->date();
  t.done = doneCheck_->isChecked() ? doneEdit_->date() : QDate();
  t.result = resultBox_->text().trimmed();
  t.remarks = remarksBox_->text().trimmed();
  // A test moved to another pathogen or renamed is no longer the schedule's.
  if (t.pathogen != original_.pathogen || t.test != original_.test) t.planned.reset();
  return t;
}

bool TestDialog::store() {
  const FollowupTest t = enteredTest();
  const QString problem = TestProblem(t, incident_, state_.clock().now().date());
  if (!problem.isEmpty()) return refuse(problem);
  return storeTest_(t);
}

// ---- The closing -------------------------------------------------------------

ClosingDialog::ClosingDialog(AppState& state, const QDate& incident,
                             std::function<bool(const QDate&, const QString&)> store, QWidget* parent)
    : EntryDialog(state, "frmFollowupEnd", QStringLiteral("経過観察を終了"), 6900, 1860, parent),
      incident_(incident),
      storeClosing_(std::move(store)) {
  int top = 180;
  PlaceLabel(this, QStringLiteral("終了日"), 180, top, 1000, kBoxHeight);
  dateEdit_ = Named(PlaceDateEdit(this, state_.clock().now().date(), kBoxLeft, top, 1800, kBoxHeight), "dtpClosedOn");
  top += kRow;
  PlaceLabel(this, QStringLiteral("理由"), 180, top, 1000, kBoxHeight);
  reasonList_ = Named(new QComboBox(this), "cboReason");
  reasonList_->setEditable(true);
  reasonList_->addItems({QStringLiteral("予定の検査がすべて終了"), QStringLiteral("汚染源の患者の陰性を確認"),
                         QStringLiteral("退職・異動"), QStringLiteral("本人の希望")});
  reasonList_->setCurrentIndex(-1);
  reasonList_->lineEdit()->setMaxLength(kMaxReasonLength);
  KeepLineBoxStorable(reasonList_->lineEdit(), StorableLineText, state_.prompts());
  PlaceTw(reasonList_, kBoxLeft, top, 5400, kBoxHeight);
  reasonList_->setFocus();
}

bool ClosingDialog::store() {
  const QDate on = dateEdit_->date();
  const QString reason = reasonList_->currentText().trimmed();
  const QString problem = ClosingProblem(on, reason, incident_, state_.clock().now().date());
  if (!problem.isEmpty()) return refuse(problem);
  return storeClosing_(on, reason);
}

}  // namespace orvanta
