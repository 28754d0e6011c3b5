#include "gui/backup/restore_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/app/app_state.h"
#include "core/backup/restore_backup.h"
#include "core/platform/prompts.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

enum Column { kMade, kOccasion, kReports, kNewest, kSize, kColumns };

}  // namespace

RestoreWindow::RestoreWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmRestore"));
  setWindowTitle(kRestoreTitle);
  ResetBusyPointerOnActivation(this, state_.prompts());

  guide_ = Named(new QLabel(this), "lblGuide");
  guide_->setWordWrap(true);

  list_ = Named(new QTreeWidget(this), "lstBackups");
  list_->setColumnCount(kColumns);
  list_->setHeaderLabels({QStringLiteral("作成日時"), QStringLiteral("種類"), QStringLiteral("報告数"),
                          QStringLiteral("最新の報告日"), QStringLiteral("サイズ")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setMinimumSectionSize(Twips(1200));

  restoreButton_ = Named(NewButton(this, QStringLiteral("復元(&R)...")), "cmdRestore");
  auto* close = Named(NewButton(this, QStringLiteral("閉じる")), "cmdClose");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(restoreButton_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(guide_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(Twips(9600), Twips(5400));

  connect(list_, &QTreeWidget::itemSelectionChanged, this,
          [this] { restoreButton_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { restoreChosen(); });
  connect(restoreButton_, &QPushButton::clicked, this, [this] { restoreChosen(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  refresh();
}

void RestoreWindow::refresh() {
  state_.prompts().setBusy(true);
  entries_ = ListBackups(state_.paths);
  list_->clear();
  for (const BackupEntry& entry : entries_) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(kMade,
                 entry.isGeneration ? entry.label() : entry.made.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    row->setText(kOccasion, OccasionText(entry));
    row->setText(kReports, ReportCountText(entry.summary));
    row->setText(kNewest, ReportDateText(entry.summary.newest));
    row->setText(kSize, SizeText(entry.bytes));
    for (int c : {kReports, kSize}) row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    if (!entry.isGeneration) row->setToolTip(kMade, entry.label());
  }
  guide_->setText(entries_.empty()
                      ? QStringLiteral("復元できるバックアップはまだありません。")
                      : QStringLiteral("復元するバックアップを選んで「復元」を押してください。今のデータは、"
                                       "復元の前に新しい世代として保存されます。"));
  if (!entries_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
  restoreButton_->setEnabled(!list_->selectedItems().isEmpty());
  state_.prompts().setBusy(false);
}

void RestoreWindow::restoreChosen() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  const BackupEntry entry = entries_[static_cast<std::size_t>(row)];
  if (state_.prompts().message(RestoreQuestion(entry.label()), kRestoreTitle, PromptIcon::Question,
                               PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  state_.prompts().setBusy(true);
  RestoreResult result;
  {
    std::unique_ptr<WorkProgress> progress = state_.prompts().workProgress(kRestoreTitle);
    result = RestoreBackup(state_, entry.folder, *progress);
  }
  state_.prompts().setBusy(false);
  const bool restored = result.outcome == RestoreResult::Outcome::Restored;
  if (restored)
    state_.log.record({log_kind::kRestore, 0, QStringLiteral("バックアップ「%1」を復元しました").arg(entry.label()),
                       QJsonObject{{QStringLiteral("backup"), entry.folder},
                                   {QStringLiteral("saved_before"), result.saved.generation.path}}});
  const PromptIcon icon = restored                                           ? PromptIcon::Information
                          : result.outcome == RestoreResult::Outcome::Broken ? PromptIcon::Critical
                                                                             : PromptIcon::Exclamation;
  state_.prompts().message(RestoreResultText(result, entry.label()), kRestoreTitle, icon);
  refresh();
}

}  // namespace orvanta
