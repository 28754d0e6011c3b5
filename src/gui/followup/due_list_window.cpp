#include "gui/followup/due_list_window.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "core/app/app_state.h"
#include "core/followup/followup_print.h"
#include "core/followup/followup_store.h"
#include "core/output/csv_file.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "gui/followup/followup_window.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {

namespace {

constexpr int P(int pixels) { return pixels * 15; }
constexpr int kWidth = 800;
constexpr int kHeight = 540;

}  // namespace

DueListWindow::DueListWindow(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), list_(std::make_shared<DueList>()) {
  setObjectName(QStringLiteral("frmDueList"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("経過観察予定"));
  setFixedSize(kWidth, kHeight);

  PlaceLabel(this, QStringLiteral("今日から"), P(12), P(12), -1, P(24));
  daysBox_ = Named(new QSpinBox(this), "spnDaysAhead");
  daysBox_->setRange(0, kMaxDueDaysAhead);
  daysBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
  // A number being typed is taken (and stored) only once the box is left or
  // Enter is pressed, never digit by digit; the arrows take it at once.
  daysBox_->setKeyboardTracking(false);
  PlaceTw(daysBox_, P(72), P(12), P(64), P(24));
  PlaceLabel(this, QStringLiteral("日先までに予定されている未実施の検査（期限切れを含む）"), P(142), P(12), -1, P(24));
  countLabel_ = Named(PlaceLabel(this, QString(), P(520), P(12), P(kWidth - 532), P(24)), "lblCount");
  countLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  dueGrid_ = Named(new ResultGrid(this), "grdDue");
  dueGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  dueGrid_->setToolTip(QStringLiteral("ダブルクリックすると、その人の経過観察を開きます"));
  PlaceTw(dueGrid_, P(12), P(44), P(kWidth - 24), P(kHeight - 104));

  const ListButtons buttons = PlaceListButtons(this, kWidth, kHeight);
  csvButton_ = buttons.csv;
  printButton_ = buttons.print;
  backButton_ = buttons.back;
  connect(csvButton_, &QPushButton::clicked, this, &DueListWindow::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &DueListWindow::printList);
  connect(backButton_, &QPushButton::clicked, this, &DueListWindow::reject);
  connect(dueGrid_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { openCaseAt(index.row()); });

  daysBox_->setValue(state_.database.isOpen() ? ReadDueDaysAhead(state_.database.connection()) : kDefaultDueDaysAhead);
  connect(daysBox_, &QSpinBox::valueChanged, this, &DueListWindow::onDaysChanged);
  reload();
}

void DueListWindow::reload() {
  auto list = std::make_shared<DueList>();
  QString error;
  state_.prompts().setBusy(true);
  const bool read = state_.database.isOpen() && ReadDueList(state_.database.connection(), state_.clock().now().date(),
                                                            daysBox_->value(), list.get(), &error);
  list_ = list;
  ShowDueList(dueGrid_->grid(), list_);
  countLabel_->setText(DueListCountText(*list_));
  state_.prompts().setBusy(false);
  if (!read && state_.database.isOpen()) TellDatabaseReadFailure(state_, error);
}

void DueListWindow::onDaysChanged(int days) {
  reload();
  if (!state_.database.isOpen() || state_.database.isReadOnly()) return;
  QString error;
  if (!SaveDueDaysAhead(state_.database, days, &error)) TellFollowupFailure(state_, error);
}

void DueListWindow::openCaseAt(int row) {
  if (row < 1 || row > static_cast<int>(list_->tests.size())) return;
  ShowFollowupOfCase(state_, list_->caseOf(list_->tests[static_cast<std::size_t>(row - 1)]).reportId, this);
  // What was done there shows here at once.
  reload();
  dueGrid_->selectRow(std::min(row, dueGrid_->grid().rows() - 1));
}

void DueListWindow::writeCsv() {
  WriteCsvFileInPieces(state_.prompts(), state_.paths, QStringLiteral("経過観察予定.csv"),
                       [this](const BytePieces& write) { WriteDueListCsv(*list_, dueGrid_->grid(), write); });
}

void DueListWindow::printList() { PrintDueList(state_.prompts(), *list_, dueGrid_->grid()); }

}  // namespace orvanta
