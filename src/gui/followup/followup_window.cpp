#include "gui/followup/followup_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/app/app_state.h"
#include "core/followup/followup_print.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/reports/report_editing.h"
#include "core/reports/report_navigation.h"
#include "core/store/database.h"
#include "gui/followup/followup_dialogs.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/date_edits.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {

namespace {

// Positions below are written in pixels and placed in twips.
constexpr int P(int pixels) { return pixels * 15; }

constexpr int kWidth = 760;
constexpr int kHeight = 632;
constexpr int kBoxHeight = 22;
constexpr int kButtonHeight = 28;

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int width = -1) {
  return PlaceLabel(parent, text, P(x), P(y), width >= 0 ? P(width) : -1, P(kBoxHeight));
}

// A label that shows a value, sunken like a box that cannot be typed in.
QLabel* Value(QWidget* parent, const char* name, int x, int y, int width) {
  auto* label = Named(PlaceLabel(parent, QString(), P(x), P(y), P(width), P(kBoxHeight)), name);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QPushButton* Button(QWidget* parent, const QString& caption, const char* name, int x, int y, int width) {
  return Named(PlaceButton(parent, caption, P(x), P(y), P(width), P(kButtonHeight)), name);
}

// A moment to the minute, as the boxes and the database hold it.
QDateTime ToMinute(const QDateTime& moment) {
  return QDateTime(moment.date(), QTime(moment.time().hour(), moment.time().minute()));
}

}  // namespace

FollowupWindow::FollowupWindow(AppState& state, const FollowupCase& followup, bool stored, HbvImmunity immunity,
                               QWidget* parent)
    : QDialog(parent),
      state_(state),
      case_(followup),
      immunity_(immunity),
      stored_(stored),
      readOnly_(state.database.isReadOnly()) {
  setObjectName(QStringLiteral("frmFollowup"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(readOnly_ ? QStringLiteral("経過観察（表示のみ）") : QStringLiteral("経過観察"));
  setFixedSize(kWidth, kHeight);

  buildWorkerFrame();
  buildSourceFrame();
  buildProphylaxisFrame();
  buildTestFrame();
  buildClosingRow();

  printButton_ = Button(this, QStringLiteral("印刷"), "cmdPrint", 560, kHeight - 40, 90);
  backButton_ = Button(this, QStringLiteral("戻る"), "cmdBack", 658, kHeight - 40, 90);
  connect(printButton_, &QPushButton::clicked, this, &FollowupWindow::printSheet);
  connect(backButton_, &QPushButton::clicked, this, &FollowupWindow::reject);

  showCase();
  reloadTests();
  enableControls();
}

void FollowupWindow::buildWorkerFrame() {
  QGroupBox* frame = PlaceFrame(this, QStringLiteral("受傷者"), P(8), P(6), P(kWidth - 16), P(82));
  Caption(frame, QStringLiteral("氏名"), 12, 22);
  nameLabel_ = Value(frame, "lblName", 70, 22, 190);
  Caption(frame, QStringLiteral("所属部署"), 276, 22);
  departmentLabel_ = Value(frame, "lblDepartment", 340, 22, 160);
  Caption(frame, QStringLiteral("職種"), 516, 22);
  occupationLabel_ = Value(frame, "lblOccupation", 560, 22, 170);
  Caption(frame, QStringLiteral("受傷日"), 12, 52);
  incidentLabel_ = Value(frame, "lblIncident", 70, 52, 190);
  Caption(frame, QStringLiteral("報告番号"), 276, 52);
  reportLabel_ = Value(frame, "lblReportId", 340, 52, 160);
}

void FollowupWindow::buildSourceFrame() {
  QGroupBox* frame = PlaceFrame(this, QStringLiteral("汚染源の患者"), P(8), P(94), P(250), P(112));
  for (int i = 0; i < 3; ++i) {
    Caption(frame, PathogenText(kSourcePathogens[static_cast<std::size_t>(i)]), 16, 24 + 28 * i, 50);
    QComboBox* list = Named(new QComboBox(frame), "cboSource", i);
    for (SourceStatus s : kSourceStatuses) list->addItem(SourceStatusText(s), static_cast<int>(s));
    PlaceTw(list, P(70), P(24 + 28 * i), P(120), P(kBoxHeight));
    connect(list, &QComboBox::activated, this, [this, i] { onSourceChosen(i); });
    sourceLists_[static_cast<std::size_t>(i)] = list;
  }
}

void FollowupWindow::buildProphylaxisFrame() {
  QGroupBox* frame = PlaceFrame(this, QStringLiteral("予防投与"), P(266), P(94), P(kWidth - 274), P(112));
  for (int i = 0; i < 3; ++i) {
    auto* check =
        Named(new QCheckBox(ProphylacticText(kProphylactics[static_cast<std::size_t>(i)]), frame), "chkProphylaxis", i);
    PlaceTw(check, P(16), P(24 + 28 * i), P(120), P(kBoxHeight));
    QDateTimeEdit* edit =
        Named(PlaceMomentEdit(frame, ToMinute(state_.clock().now()), P(150), P(24 + 28 * i), P(170), P(kBoxHeight)),
              "dtpProphylaxis", i);
    connect(check, &QCheckBox::clicked, this, [this, i] { onProphylaxisToggled(i); });
    connect(edit, &QDateTimeEdit::editingFinished, this, [this, i] { onProphylaxisMomentEdited(i); });
    givenChecks_[static_cast<std::size_t>(i)] = check;
    givenEdits_[static_cast<std::size_t>(i)] = edit;
  }
}

void FollowupWindow::buildTestFrame() {
  QGroupBox* frame = PlaceFrame(this, QStringLiteral("検査"), P(8), P(212), P(kWidth - 16), P(290));
  testGrid_ = Named(new ResultGrid(frame), "grdTests");
  testGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  PlaceTw(testGrid_, P(10), P(22), P(620), P(258));
  ResultGridModel& grid = testGrid_->grid();
  grid.setCols(5);
  grid.setRows(1);
  const QString headings[5] = {QStringLiteral("予定日"), QStringLiteral("検査"), QStringLiteral("実施日"),
                               QStringLiteral("結果"), QStringLiteral("備考")};
  // The test is the longest: a default test with its time, "HBs抗原・HBs抗体・HBc抗体（受傷時）", fits whole.
  const int widths[5] = {1300, 3900, 1300, 1100, 1400};
  for (int c = 0; c < 5; ++c) {
    grid.setCell(0, c, headings[c]);
    grid.setColWidth(c, widths[c]);
  }
  grid.setFixedRows(1);

  addButton_ = Button(frame, QStringLiteral("追加"), "cmdAddTest", 640, 22, 98);
  changeButton_ = Button(frame, QStringLiteral("変更"), "cmdChangeTest", 640, 56, 98);
  removeButton_ = Button(frame, QStringLiteral("削除"), "cmdRemoveTest", 640, 90, 98);
  planButton_ = Button(frame, QStringLiteral("予定を作成"), "cmdPlanSchedule", 640, 144, 98);
  planButton_->setToolTip(
      QStringLiteral("汚染源の患者が陽性または不明の病原体について、経過観察の予定表の検査を加えます"));
  connect(addButton_, &QPushButton::clicked, this, &FollowupWindow::addTest);
  connect(changeButton_, &QPushButton::clicked, this, &FollowupWindow::changeTest);
  connect(removeButton_, &QPushButton::clicked, this, &FollowupWindow::removeTest);
  connect(planButton_, &QPushButton::clicked, this, &FollowupWindow::planSchedule);
  connect(testGrid_, &QAbstractItemView::doubleClicked, this, [this] {
    if (!readOnly_) changeTest();
  });
}

void FollowupWindow::buildClosingRow() {
  // The worker's own immunity (question 14), and why no HBV test is planned.
  const QString note = HbvImmunityNote(immunity_);
  const QString answer = immunity_ == HbvImmunity::NotImmune ? QStringLiteral("いいえ")
                         : immunity_ == HbvImmunity::Unknown ? QStringLiteral("不明または未回答")
                                                             : QString();
  immunityLabel_ = Named(PlaceLabel(this, QString(), P(16), P(505), P(kWidth - 32), P(32)), "lblHbvImmunity");
  immunityLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  immunityLabel_->setText(note.isEmpty() ? QStringLiteral("受傷者のHBs抗体（設問14）: %1").arg(answer) : note);
  immunityLabel_->setWordWrap(true);

  Caption(this, QStringLiteral("備考"), 16, 542);
  remarksBox_ = Named(new QLineEdit(this), "txtRemarks");
  remarksBox_->setMaxLength(kMaxRemarksLength);
  KeepLineBoxStorable(remarksBox_, StorableLineText, state_.prompts());
  PlaceTw(remarksBox_, P(70), P(542), P(kWidth - 86), P(kBoxHeight));
  connect(remarksBox_, &QLineEdit::editingFinished, this, &FollowupWindow::commitRemarks);

  closingLabel_ = Value(this, "lblClosed", 16, kHeight - 37, 290);
  endButton_ = Button(this, QStringLiteral("経過観察を終了"), "cmdEndFollowup", 314, kHeight - 40, 120);
  reopenButton_ = Button(this, QStringLiteral("終了の取消"), "cmdReopen", 440, kHeight - 40, 90);
  connect(endButton_, &QPushButton::clicked, this, &FollowupWindow::endFollowup);
  connect(reopenButton_, &QPushButton::clicked, this, &FollowupWindow::reopenFollowup);
}

// ---- Showing -------------------------------------------------------------------

void FollowupWindow::showCase() {
  nameLabel_->setText(case_.worker.name);
  departmentLabel_->setText(case_.worker.department);
  occupationLabel_->setText(case_.worker.occupation);
  incidentLabel_->setText(DateText(case_.worker.incident));
  reportLabel_->setText(QString::number(case_.reportId));
  for (std::size_t i = 0; i < 3; ++i) {
    const QSignalBlocker block(sourceLists_[i]);
    sourceLists_[i]->setCurrentIndex(
        sourceLists_[i]->findData(static_cast<int>(case_.sources.of(kSourcePathogens[i]))));
    const Prophylaxis& given = case_.prophylaxis[i];
    const QSignalBlocker blockCheck(givenChecks_[i]);
    const QSignalBlocker blockEdit(givenEdits_[i]);
    givenChecks_[i]->setChecked(given.given);
    if (given.given && given.at.isValid()) givenEdits_[i]->setDateTime(given.at);
  }
  {
    const QSignalBlocker block(remarksBox_);
    remarksBox_->setText(case_.remarks);
  }
  closingLabel_->setText(case_.isClosed()
                             ? QStringLiteral("%1 終了（%2）").arg(DateText(case_.closedOn), case_.closedReason)
                             : QStringLiteral("経過観察中"));
  enableControls();
}

void FollowupWindow::reloadTests() {
  tests_.clear();
  if (stored_) {
    QString error;
    if (!ReadTests(state_.database.connection(), case_.reportId, &tests_, &error))
      TellDatabaseReadFailure(state_, error);
  }
  ResultGridModel& grid = testGrid_->grid();
  const int current = testGrid_->currentIndex().row();
  ResultGridModel::UpdateBatch batch(grid);
  grid.setRows(1 + static_cast<int>(tests_.size()));
  for (std::size_t i = 0; i < tests_.size(); ++i) {
    const FollowupTest& t = tests_[i];
    const int r = static_cast<int>(i) + 1;
    grid.setCell(r, 0, DateText(t.due));
    grid.setCell(r, 1, TestLabel(t.test, t.planned));
    grid.setCell(r, 2, DateText(t.done));
    grid.setCell(r, 3, t.result);
    grid.setCell(r, 4, t.remarks);
  }
  if (current >= 1 && current < grid.rows()) testGrid_->selectRow(current);
}

void FollowupWindow::enableControls() {
  const bool editable = !readOnly_;
  for (QComboBox* list : sourceLists_) list->setEnabled(editable);
  for (std::size_t i = 0; i < 3; ++i) {
    givenChecks_[i]->setEnabled(editable);
    givenEdits_[i]->setEnabled(editable && case_.prophylaxis[i].given);
  }
  addButton_->setEnabled(editable);
  changeButton_->setEnabled(editable && !tests_.empty());
  removeButton_->setEnabled(editable && !tests_.empty());
  planButton_->setEnabled(editable);
  remarksBox_->setReadOnly(!editable);
  endButton_->setEnabled(editable && !case_.isClosed());
  reopenButton_->setEnabled(editable && case_.isClosed());
}

const FollowupTest* FollowupWindow::chosenTest() const {
  const int row = testGrid_->currentIndex().row();
  if (row < 1 || row > static_cast<int>(tests_.size())) return nullptr;
  return &tests_[static_cast<std::size_t>(row - 1)];
}

// ---- The case ------------------------------------------------------------------

bool FollowupWindow::commitCase(const FollowupCase& changed) {
  QString error;
  const QString what = changed.isClosed() && !case_.isClosed()   ? QStringLiteral("経過観察を終了しました")
                       : !changed.isClosed() && case_.isClosed() ? QStringLiteral("経過観察を再開しました")
                       : stored_ ? QStringLiteral("経過観察の記録を変更しました")
                                 : QStringLiteral("経過観察の記録を作成しました");
  const auto entry = state_.log.forNextChange({log_kind::kFollowup, changed.reportId, what, {}});
  if (!SaveCase(state_.database, changed, &error)) {
    TellFollowupFailure(state_, error);
    showCase();  // back to what is stored
    return false;
  }
  case_ = changed;
  stored_ = true;
  showCase();
  return true;
}

void FollowupWindow::onSourceChosen(int pathogenIndex) {
  FollowupCase changed = case_;
  const QComboBox* list = sourceLists_[static_cast<std::size_t>(pathogenIndex)];
  changed.sources.set(kSourcePathogens[static_cast<std::size_t>(pathogenIndex)],
                      static_cast<SourceStatus>(list->currentData().toInt()));
  if (changed.sources != case_.sources) commitCase(changed);
}

void FollowupWindow::onProphylaxisToggled(int index) {
  const auto i = static_cast<std::size_t>(index);
  FollowupCase changed = case_;
  Prophylaxis& given = changed.prophylaxis[i];
  given.given = givenChecks_[i]->isChecked();
  given.at = given.given ? ToMinute(givenEdits_[i]->dateTime()) : QDateTime();
  const QString problem = ProphylaxisProblem(kProphylactics[i], given, case_.worker.incident, state_.clock().now());
  if (!problem.isEmpty()) {
    // Given, but the box holds a moment that cannot be: the box is opened to
    // be put right, and nothing is stored until it is.
    state_.prompts().message(problem, QString(), PromptIcon::Exclamation);
    showCase();
    if (given.given) {
      givenEdits_[i]->setEnabled(true);
      const QSignalBlocker block(givenChecks_[i]);
      givenChecks_[i]->setChecked(true);
      givenEdits_[i]->setFocus();
    }
    return;
  }
  commitCase(changed);
}

void FollowupWindow::onProphylaxisMomentEdited(int index) {
  const auto i = static_cast<std::size_t>(index);
  if (!givenChecks_[i]->isChecked()) return;
  FollowupCase changed = case_;
  Prophylaxis& given = changed.prophylaxis[i];
  given.given = true;
  given.at = ToMinute(givenEdits_[i]->dateTime());
  if (given == case_.prophylaxis[i]) return;
  const QString problem = ProphylaxisProblem(kProphylactics[i], given, case_.worker.incident, state_.clock().now());
  if (!problem.isEmpty()) {
    state_.prompts().message(problem, QString(), PromptIcon::Exclamation);
    if (case_.prophylaxis[i].given) showCase();
    return;
  }
  commitCase(changed);
}

void FollowupWindow::commitRemarks() {
  if (readOnly_) return;
  FollowupCase changed = case_;
  changed.remarks = remarksBox_->text().trimmed();
  if (changed.remarks != case_.remarks) commitCase(changed);
}

bool FollowupWindow::commitPendingEdits() {
  if (readOnly_) return true;
  FollowupCase changed = case_;
  changed.remarks = remarksBox_->text().trimmed();
  for (std::size_t i = 0; i < 3; ++i) {
    if (!givenChecks_[i]->isChecked()) continue;
    Prophylaxis& given = changed.prophylaxis[i];
    const QDateTime typed = ToMinute(givenEdits_[i]->dateTime());
    if (given.given && given.at == typed) continue;
    given = Prophylaxis{true, typed};
    const QString problem = ProphylaxisProblem(kProphylactics[i], given, case_.worker.incident, state_.clock().now());
    if (!problem.isEmpty()) {
      state_.prompts().message(problem, QString(), PromptIcon::Exclamation);
      givenEdits_[i]->setFocus();
      return false;
    }
  }
  return changed == case_ || commitCase(changed);
}

// ---- Tests ---------------------------------------------------------------------

void FollowupWindow::addTest() {
  FollowupTest fresh;
  fresh.reportId = case_.reportId;
  fresh.due = state_.clock().now().date();
  if (case_.worker.incident.isValid() && fresh.due < case_.worker.incident) fresh.due = case_.worker.incident;
  TestDialog dialog(
      state_, fresh, case_.worker.incident,
      [this](const FollowupTest& entered) {
        FollowupTest test = entered;
        QString error;
        const auto entry = state_.log.forNextChange(
            {log_kind::kFollowup,
             case_.reportId,
             QStringLiteral("検査を追加しました：%1（予定日 %2）").arg(test.test, DateText(test.due)),
             {}});
        if (!AddTest(state_.database, case_, &test, &error)) return TellFollowupFailure(state_, error);
        stored_ = true;
        return true;
      },
      this);
  if (dialog.exec() == QDialog::Accepted) {
    reloadTests();
    enableControls();
  }
}

void FollowupWindow::changeTest() {
  const FollowupTest* chosen = chosenTest();
  if (!chosen) {
    state_.prompts().message(QStringLiteral("変更する検査を選んでください。"), QString(), PromptIcon::Exclamation);
    return;
  }
  TestDialog dialog(
      state_, *chosen, case_.worker.incident,
      [this](const FollowupTest& entered) {
        QString error;
        const auto entry = state_.log.forNextChange(
            {log_kind::kFollowup,
             case_.reportId,
             QStringLiteral("検査を変更しました：%1（予定日 %2、実施日 %3、結果 %4）")
                 .arg(entered.test, DateText(entered.due), DateText(entered.done), entered.result),
             {}});
        return UpdateTest(state_.database, entered, &error) || TellFollowupFailure(state_, error);
      },
      this);
  if (dialog.exec() == QDialog::Accepted) reloadTests();
}

void FollowupWindow::removeTest() {
  const FollowupTest* chosen = chosenTest();
  if (!chosen) {
    state_.prompts().message(QStringLiteral("削除する検査を選んでください。"), QString(), PromptIcon::Exclamation);
    return;
  }
  const QString question = QStringLiteral("検査「%1」（予定日 %2）を削除しますか？")
                               .arg(TestLabel(chosen->test, chosen->planned), DateText(chosen->due));
  if (state_.prompts().message(question, QString(), PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  QString error;
  const auto entry = state_.log.forNextChange(
      {log_kind::kFollowup,
       case_.reportId,
       QStringLiteral("検査を削除しました：%1（予定日 %2）").arg(chosen->test, DateText(chosen->due)),
       {}});
  if (!RemoveTest(state_.database, chosen->id, &error)) TellFollowupFailure(state_, error);
  reloadTests();
  enableControls();
}

void FollowupWindow::planSchedule() {
  std::vector<ScheduleEntry> schedule;
  QString error;
  if (!ReadSchedule(state_.database.connection(), &schedule, &error)) {
    TellDatabaseReadFailure(state_, error);
    return;
  }
  std::vector<FollowupTest> planned = PlanSchedule(case_, schedule, tests_, immunity_);
  const QString immunityNote = HbvImmunityNote(immunity_);
  const SourceStatus hbv = case_.sources.of(Pathogen::HBV);
  const QString hbvLeftOut = !immunityNote.isEmpty() && (hbv == SourceStatus::Positive || hbv == SourceStatus::Unknown)
                                 ? QStringLiteral("\n") + immunityNote
                                 : QString();
  if (planned.empty()) {
    bool anyToFollow = false;
    for (Pathogen pathogen : kSourcePathogens) {
      const SourceStatus status = case_.sources.of(pathogen);
      anyToFollow = anyToFollow || status == SourceStatus::Positive || status == SourceStatus::Unknown;
    }
    state_.prompts().message(
        anyToFollow ? QStringLiteral("予定に加える検査はありません。\n"
                                     "汚染源の患者が陽性または不明の病原体の検査は、すでにすべて予定にあります。")
                    : QStringLiteral("予定に加える検査はありません。\n"
                                     "汚染源の患者が陽性または不明の病原体がありません。"
                                     "検査が必要なときは「追加」で加えてください。") +
                          hbvLeftOut,
        QString(), PromptIcon::Information);
    return;
  }
  const auto entry = state_.log.forNextChange(
      {log_kind::kFollowup, case_.reportId, QStringLiteral("予定を作成しました（%1件）").arg(planned.size()), {}});
  if (!AddPlannedTests(state_.database, case_, &planned, &error)) {
    TellFollowupFailure(state_, error);
    return;
  }
  stored_ = true;
  reloadTests();
  enableControls();
  state_.prompts().message(QStringLiteral("検査を %1 件予定に加えました。").arg(planned.size()) + hbvLeftOut, QString(),
                           PromptIcon::Information);
}

// ---- Closing -------------------------------------------------------------------

void FollowupWindow::endFollowup() {
  if (!commitPendingEdits()) return;
  const auto open = std::count_if(tests_.begin(), tests_.end(), [](const FollowupTest& t) { return !t.isDone(); });
  ClosingDialog dialog(
      state_, case_.worker.incident,
      [this, open](const QDate& on, const QString& reason) {
        if (open > 0 &&
            state_.prompts().message(QStringLiteral("未実施の検査が %1 件あります。経過観察を終了しますか？\n"
                                                    "終了すると、これらの検査は経過観察予定に表示されなくなります。")
                                         .arg(open),
                                     QString(), PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
          return false;
        FollowupCase changed = case_;
        changed.closedOn = on;
        changed.closedReason = reason;
        return commitCase(changed);
      },
      this);
  dialog.exec();
}

void FollowupWindow::reopenFollowup() {
  if (state_.prompts().message(QStringLiteral("経過観察の終了を取り消して、経過観察を続けますか？"), QString(),
                               PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  FollowupCase changed = case_;
  changed.closedOn = QDate();
  changed.closedReason.clear();
  commitCase(changed);
}

void FollowupWindow::printSheet() {
  if (!commitPendingEdits()) return;
  FollowupSheet sheet{case_, tests_, state_.clock().now().date()};
  PrintFollowupSheet(state_.prompts(), sheet);
}

void FollowupWindow::reject() {
  if (closeGuard_.allows([this] { return commitPendingEdits(); })) QDialog::reject();
}

// ---- Opening -------------------------------------------------------------------

bool TellFollowupFailure(AppState& state, const QString& reason) {
  state.prompts().message(FollowupSaveError(state.database, reason), QString(), PromptIcon::Critical);
  return false;
}

void TellDatabaseReadFailure(AppState& state, const QString& reason) {
  state.prompts().message(DatabaseErrorText(state.database.path(), reason), QString(), PromptIcon::Critical);
}

bool FollowupAvailable(AppState& state) {
  if (state.database.isOpen()) return true;
  state.prompts().message(QStringLiteral("データベースを開けなかったため、経過観察は使えません。\n"
                                         "Orvantaを起動しなおしてください。"),
                          QString(), PromptIcon::Exclamation);
  return false;
}

void ShowFollowupForReport(AppState& state, const ReportRecord& report, QWidget* parent) {
  if (!FollowupAvailable(state)) return;
  FollowupCase followup;
  bool found = false;
  QString error;
  if (!ReadCase(state.database.connection(), report.ReportId, &followup, &found, &error)) {
    TellDatabaseReadFailure(state, error);
    return;
  }
  if (!found) {
    followup = CaseFromReport(report, state.lists);
    if (!followup.worker.incident.isValid()) {
      state.prompts().message(QStringLiteral("この報告書には正しい発生日がないため、経過観察を始められません。"),
                              QString(), PromptIcon::Exclamation);
      return;
    }
  }
  FollowupWindow window(state, followup, found, HbvImmunityFromReport(report), parent);
  window.exec();
}

bool ShowFollowupOfCase(AppState& state, std::int32_t reportId, QWidget* parent) {
  if (!FollowupAvailable(state)) return false;
  FollowupCase followup;
  bool found = false;
  QString error;
  if (!ReadCase(state.database.connection(), reportId, &followup, &found, &error)) {
    TellDatabaseReadFailure(state, error);
    return false;
  }
  if (!found) {
    state.prompts().message(QStringLiteral("この経過観察の記録は見つかりませんでした。"), QString(),
                            PromptIcon::Exclamation);
    return false;
  }
  // The worker's answer to question 14 is in the report, not in the case.
  const std::optional<ReportRecord> report = FindReport(state.paths, state.counters.NewestFileNo, reportId);
  FollowupWindow window(state, followup, true, report ? HbvImmunityFromReport(*report) : HbvImmunity::Unknown, parent);
  window.exec();
  return true;
}

}  // namespace orvanta
