#include "gui/reports/report_history_window.h"

#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "core/app/app_state.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

constexpr int P(int pixels) { return pixels * 15; }
constexpr int kWidth = 900;
constexpr int kHeight = 560;
const QString kTitle = QStringLiteral("変更履歴");

QString WhatText(const ReportVersion& v) {
  if (v.seq == 0) return QStringLiteral("記録開始前の内容");
  return LogKindLabel(v.kind);
}

QString ChangesText(const ReportVersion& v) {
  if (v.kind == log_kind::kReportDelete) return QStringLiteral("（報告全体を削除）");
  if (v.kind == log_kind::kReportNew) return QStringLiteral("（新しい報告）");
  if (v.seq == 0) return QString();
  QStringList lines;
  for (const ItemChange& c : v.changes) {
    const QString before = c.before.isEmpty() ? QStringLiteral("（空欄）") : c.before;
    const QString after = c.after.isEmpty() ? QStringLiteral("（空欄）") : c.after;
    lines << QStringLiteral("%1：%2 → %3").arg(c.item, before, after);
  }
  if (v.kind == log_kind::kReportRestore && lines.isEmpty()) lines << QStringLiteral("（削除された報告を戻した）");
  return lines.join(u'\n');
}

}  // namespace

ReportHistoryWindow::ReportHistoryWindow(AppState& state, std::int32_t reportId, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmReportHistory"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(kWidth, kHeight);

  PlaceLabel(this, QStringLiteral("記録番号"), P(12), P(12), -1, P(24));
  reportBox_ = Named(new QLineEdit(this), "txtReportId");
  reportBox_->setValidator(new QIntValidator(1, 999999999, reportBox_));
  reportBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
  PlaceTw(reportBox_, P(72), P(12), P(90), P(24));
  findButton_ = Named(PlaceButton(this, QStringLiteral("表示"), P(170), P(10), P(76), P(28)), "cmdFind");
  stateLabel_ = Named(PlaceLabel(this, QString(), P(260), P(12), P(kWidth - 272), P(24)), "lblState");

  versionList_ = Named(new QTreeWidget(this), "lstVersions");
  versionList_->setColumnCount(5);
  versionList_->setHeaderLabels({QStringLiteral("番号"), QStringLiteral("日時"), QStringLiteral("ユーザー"),
                                 QStringLiteral("操作"), QStringLiteral("変更した項目（変更前 → 変更後）")});
  versionList_->setRootIsDecorated(false);
  versionList_->setWordWrap(true);
  versionList_->setUniformRowHeights(false);
  versionList_->setAlternatingRowColors(true);
  const int widths[] = {56, 205, 90, 110};
  for (int c = 0; c < 4; ++c) versionList_->setColumnWidth(c, widths[c]);
  PlaceTw(versionList_, P(12), P(44), P(kWidth - 24), P(kHeight - 104));

  restoreButton_ = Named(
      PlaceButton(this, QStringLiteral("この版に戻す"), P(kWidth - 272), P(kHeight - 46), P(140), P(32)), "cmdRestore");
  backButton_ =
      Named(PlaceButton(this, QStringLiteral("戻る"), P(kWidth - 124), P(kHeight - 46), P(108), P(32)), "cmdBack");
  connect(findButton_, &QPushButton::clicked, this, [this] { showHistory(reportBox_->text().toInt()); });
  connect(reportBox_, &QLineEdit::returnPressed, this, [this] { showHistory(reportBox_->text().toInt()); });
  connect(versionList_, &QTreeWidget::itemSelectionChanged, this, &ReportHistoryWindow::enableRestore);
  connect(restoreButton_, &QPushButton::clicked, this, &ReportHistoryWindow::restoreChosen);
  connect(backButton_, &QPushButton::clicked, this, &ReportHistoryWindow::reject);
  showHistory(reportId);
}

void ReportHistoryWindow::showHistory(std::int32_t reportId) {
  reportId_ = reportId;
  reportBox_->setText(reportId > 0 ? QString::number(reportId) : QString());
  versionList_->clear();
  versions_.clear();
  if (reportId <= 0) {
    stateLabel_->setText(QString());
    enableRestore();
    return;
  }
  state_.prompts().setBusy(true);
  QString error;
  state_.database.runDeferred();  // the entries of the last save
  if (state_.database.isOpen()) versions_ = ReadReportHistory(state_.database.connection(), reportId, &error);
  inDataFiles_ = FindReport(state_.paths, state_.counters, reportId).has_value();
  state_.prompts().setBusy(false);

  for (const ReportVersion& v : versions_) {
    auto* item = new QTreeWidgetItem(
        versionList_, {v.seq == 0 ? QString() : QString::number(v.seq), v.at, v.user, WhatText(v), ChangesText(v)});
    item->setTextAlignment(0, Qt::AlignRight | Qt::AlignTop);
    for (int c = 1; c < 5; ++c) item->setTextAlignment(c, Qt::AlignLeft | Qt::AlignTop);
  }
  if (!state_.database.isOpen())
    stateLabel_->setText(QStringLiteral("データベースが開かれていないため、変更履歴はありません。"));
  else if (versions_.empty())
    stateLabel_->setText(QStringLiteral("記録番号%1の報告には変更履歴がありません。").arg(reportId));
  else if (!inDataFiles_)
    stateLabel_->setText(QStringLiteral("記録番号%1の報告は削除されています。戻す版を選んでください。").arg(reportId));
  else
    stateLabel_->setText(QStringLiteral("記録番号%1の報告：%2件の版").arg(reportId).arg(versions_.size()));
  if (!versions_.empty()) versionList_->setCurrentItem(versionList_->topLevelItem(int(versions_.size()) - 1));
  enableRestore();
  if (!error.isEmpty())
    state_.prompts().message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Critical);
}

void ReportHistoryWindow::enableRestore() {
  const int row = versionList_->indexOfTopLevelItem(versionList_->currentItem());
  const bool chosen = row >= 0 && row < static_cast<int>(versions_.size()) &&
                      versions_[static_cast<std::size_t>(row)].report.has_value();
  // The newest version of a report that is there is what it holds already.
  const bool current = inDataFiles_ && row == static_cast<int>(versions_.size()) - 1;
  restoreButton_->setEnabled(chosen && !current && state_.log.writable());
}

void ReportHistoryWindow::restoreChosen() {
  const int row = versionList_->indexOfTopLevelItem(versionList_->currentItem());
  if (row < 0 || row >= static_cast<int>(versions_.size()) || !restoreButton_->isEnabled()) return;
  const ReportVersion version = versions_[static_cast<std::size_t>(row)];
  const QString question =
      inDataFiles_ ? QStringLiteral("記録番号%1の報告をこの版の内容に戻しますか？").arg(reportId_)
                   : QStringLiteral("削除された記録番号%1の報告を、この版の内容で戻しますか？").arg(reportId_);
  if (state_.prompts().message(question, kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  state_.prompts().setBusy(true);
  QString message;
  bool ok = false;
  if (inDataFiles_) {
    ok = RestoreReportVersion(version, reportId_, state_.dataFile, state_.counters, state_.paths, state_.lists,
                              state_.log, state_.database, state_.clock().now(), &message);
    if (ok) message = QStringLiteral("記録番号%1の報告をこの版の内容に戻しました。").arg(reportId_);
  } else {
    const BringBackOutcome back = BringBackReport(version, reportId_, state_.dataFile, state_.counters, state_.paths,
                                                  state_.lists, state_.log, state_.database, state_.clock().now());
    ok = back.ok;
    message = back.message;
  }
  state_.prompts().setBusy(false);
  changed_ = changed_ || ok;
  state_.prompts().message(message, kTitle, ok ? PromptIcon::Information : PromptIcon::Critical);
  showHistory(reportId_);
}

}  // namespace orvanta
