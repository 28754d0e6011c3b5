#include "gui/followup/schedule_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/app/app_state.h"
#include "core/followup/followup_store.h"
#include "core/platform/prompts.h"
#include "core/reports/report_editing.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "gui/followup/followup_window.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {

namespace {

constexpr int P(int pixels) { return pixels * 15; }
constexpr int kWidth = 560;
constexpr int kHeight = 460;
constexpr int kSourceHeight = 48;  // the line naming where the defaults come from

}  // namespace

ScheduleWindow::ScheduleWindow(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), readOnly_(!state.database.isOpen() || state.database.isReadOnly()) {
  setObjectName(QStringLiteral("frmScheduleTemplates"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(readOnly_ ? QStringLiteral("経過観察の予定表（表示のみ）") : QStringLiteral("経過観察の予定表"));
  setFixedSize(kWidth, kHeight);

  auto* note = PlaceLabel(this,
                          QStringLiteral("経過観察の「予定を作成」は、汚染源の患者が陽性または不明の病原体について、"
                                         "この予定表の検査を受傷日からの時期に合わせて予定に加えます。"),
                          P(12), P(8), P(kWidth - 24), P(36));
  note->setWordWrap(true);

  scheduleGrid_ = Named(new ResultGrid(this), "grdSchedule");
  scheduleGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  PlaceTw(scheduleGrid_, P(12), P(50), P(420), P(kHeight - 62 - kSourceHeight));
  auto* source =
      Named(PlaceLabel(this, kDefaultScheduleSource, P(12), P(kHeight - 6 - kSourceHeight), P(420), P(kSourceHeight)),
            "lblDefaultSource");
  source->setWordWrap(true);
  source->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ResultGridModel& grid = scheduleGrid_->grid();
  grid.setCols(3);
  grid.setRows(1);
  const QString headings[3] = {QStringLiteral("病原体"), QStringLiteral("時期"), QStringLiteral("検査")};
  const int widths[3] = {1200, 1200, 3600};
  for (int c = 0; c < 3; ++c) {
    grid.setCell(0, c, headings[c]);
    grid.setColWidth(c, widths[c]);
  }
  grid.setFixedRows(1);

  addButton_ = Named(PlaceButton(this, QStringLiteral("追加"), P(444), P(50), P(104), P(30)), "cmdAdd");
  changeButton_ = Named(PlaceButton(this, QStringLiteral("変更"), P(444), P(86), P(104), P(30)), "cmdChange");
  removeButton_ = Named(PlaceButton(this, QStringLiteral("削除"), P(444), P(122), P(104), P(30)), "cmdRemove");
  defaultsButton_ =
      Named(PlaceButton(this, QStringLiteral("既定に戻す"), P(444), P(170), P(104), P(30)), "cmdDefaults");
  backButton_ = Named(PlaceButton(this, QStringLiteral("戻る"), P(444), P(kHeight - 42), P(104), P(30)), "cmdBack");
  connect(defaultsButton_, &QPushButton::clicked, this, &ScheduleWindow::restoreDefaults);
  connect(addButton_, &QPushButton::clicked, this, &ScheduleWindow::addEntry);
  connect(changeButton_, &QPushButton::clicked, this, &ScheduleWindow::changeEntry);
  connect(removeButton_, &QPushButton::clicked, this, &ScheduleWindow::removeEntry);
  connect(backButton_, &QPushButton::clicked, this, &ScheduleWindow::reject);
  connect(scheduleGrid_, &QAbstractItemView::doubleClicked, this, [this] {
    if (!readOnly_) changeEntry();
  });
  reload();
}

void ScheduleWindow::reload() {
  QString error;
  entries_.clear();
  if (state_.database.isOpen() && !ReadSchedule(state_.database.connection(), &entries_, &error))
    TellDatabaseReadFailure(state_, error);
  ResultGridModel& grid = scheduleGrid_->grid();
  const int current = scheduleGrid_->currentIndex().row();
  {
    ResultGridModel::UpdateBatch batch(grid);
    grid.setRows(1 + static_cast<int>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      grid.setCell(r, 0, PathogenText(entries_[i].pathogen));
      grid.setCell(r, 1, OffsetText(entries_[i].offset));
      grid.setCell(r, 2, entries_[i].test);
    }
  }
  if (current >= 1 && current < grid.rows()) scheduleGrid_->selectRow(current);
  addButton_->setEnabled(!readOnly_);
  changeButton_->setEnabled(!readOnly_ && !entries_.empty());
  removeButton_->setEnabled(!readOnly_ && !entries_.empty());
  defaultsButton_->setEnabled(!readOnly_);
}

void ScheduleWindow::restoreDefaults() {
  QString shown;
  for (const ScheduleEntry& e : DefaultSchedule())
    shown += QStringLiteral("\n%1　%2　%3").arg(PathogenText(e.pathogen), OffsetText(e.offset), e.test);
  const QString question = QStringLiteral(
                               "予定表を次の既定の内容に置き換えますか？%1\n\n%2\n"
                               "（いまの予定表の行はすべて置き換わります。すでに作成した予定は変わりません）")
                               .arg(shown, kDefaultScheduleSource);
  if (state_.prompts().message(question, QString(), PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  QString error;
  if (!ReplaceSchedule(state_.database, DefaultSchedule(), &error)) TellFollowupFailure(state_, error);
  reload();
}

const ScheduleEntry* ScheduleWindow::chosenEntry() const {
  const int row = scheduleGrid_->currentIndex().row();
  if (row < 1 || row > static_cast<int>(entries_.size())) return nullptr;
  return &entries_[static_cast<std::size_t>(row - 1)];
}

void ScheduleWindow::addEntry() {
  ScheduleEntryDialog dialog(
      state_, ScheduleEntry{},
      [this](const ScheduleEntry& entered) {
        ScheduleEntry entry = entered;
        QString error;
        return AddScheduleEntry(state_.database, &entry, &error) || TellFollowupFailure(state_, error);
      },
      this);
  if (dialog.exec() == QDialog::Accepted) reload();
}

void ScheduleWindow::changeEntry() {
  const ScheduleEntry* chosen = chosenEntry();
  if (!chosen) {
    state_.prompts().message(QStringLiteral("変更する行を選んでください。"), QString(), PromptIcon::Exclamation);
    return;
  }
  ScheduleEntryDialog dialog(
      state_, *chosen,
      [this](const ScheduleEntry& entered) {
        QString error;
        return UpdateScheduleEntry(state_.database, entered, &error) || TellFollowupFailure(state_, error);
      },
      this);
  if (dialog.exec() == QDialog::Accepted) reload();
}

void ScheduleWindow::removeEntry() {
  const ScheduleEntry* chosen = chosenEntry();
  if (!chosen) {
    state_.prompts().message(QStringLiteral("削除する行を選んでください。"), QString(), PromptIcon::Exclamation);
    return;
  }
  const QString question =
      QStringLiteral("予定表から「%1　%2　%3」を削除しますか？\n（すでに作成した予定は変わりません）")
          .arg(PathogenText(chosen->pathogen), OffsetText(chosen->offset), chosen->test);
  if (state_.prompts().message(question, QString(), PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  QString error;
  if (!RemoveScheduleEntry(state_.database, chosen->id, &error)) TellFollowupFailure(state_, error);
  reload();
}

// ---- One entry -----------------------------------------------------------------

ScheduleEntryDialog::ScheduleEntryDialog(AppState& state, const ScheduleEntry& entry,
                                         std::function<bool(const ScheduleEntry&)> store, QWidget* parent)
    : EntryDialog(state, "frmScheduleEntry",
                  entry.id == 0 ? QStringLiteral("予定表に追加") : QStringLiteral("予定表の変更"), 6900, 2280, parent),
      original_(entry),
      storeEntry_(std::move(store)) {
  PlaceLabel(this, QStringLiteral("病原体"), 180, 180, 1000, 330);
  pathogenList_ = Named(new QComboBox(this), "cboPathogen");
  for (Pathogen p : kSourcePathogens) pathogenList_->addItem(PathogenText(p), static_cast<int>(p));
  pathogenList_->setCurrentIndex(std::max(0, pathogenList_->findData(static_cast<int>(entry.pathogen))));
  PlaceTw(pathogenList_, 1200, 180, 1500, 330);

  PlaceLabel(this, QStringLiteral("時期"), 180, 600, 1000, 330);
  countBox_ = Named(new QSpinBox(this), "spnOffset");
  countBox_->setRange(0, kMaxOffsetCount);
  countBox_->setValue(entry.offset.count);
  countBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
  PlaceTw(countBox_, 1200, 600, 900, 330);
  unitList_ = Named(new QComboBox(this), "cboUnit");
  unitList_->addItem(OffsetUnitText(OffsetUnit::Weeks), static_cast<int>(OffsetUnit::Weeks));
  unitList_->addItem(OffsetUnitText(OffsetUnit::Months), static_cast<int>(OffsetUnit::Months));
  unitList_->setCurrentIndex(entry.offset.unit == OffsetUnit::Weeks ? 0 : 1);
  PlaceTw(unitList_, 2160, 600, 1000, 330);
  PlaceLabel(this, QStringLiteral("（0 は受傷時）"), 3240, 600, 2000, 330);

  PlaceLabel(this, QStringLiteral("検査"), 180, 1020, 1000, 330);
  testBox_ = Named(new QLineEdit(this), "txtTest");
  testBox_->setMaxLength(kMaxTestNameLength);
  testBox_->setText(entry.test);
  KeepLineBoxStorable(testBox_, StorableLineText, state_.prompts());
  PlaceTw(testBox_, 1200, 1020, 5400, 330);
  testBox_->setFocus();
}

bool ScheduleEntryDialog::store() {
  ScheduleEntry entry = original_;
  entry.pathogen = static_cast<Pathogen>(pathogenList_->currentData().toInt());
  entry.offset = ScheduleOffset{countBox_->value(), static_cast<OffsetUnit>(unitList_->currentData().toInt())};
  entry.test = testBox_->text().trimmed();
  const QString problem = ScheduleEntryProblem(entry);
  if (!problem.isEmpty()) return refuse(problem);
  return storeEntry_(entry);
}

}  // namespace orvanta
