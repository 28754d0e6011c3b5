#include "gui/audit/access_log_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QIntValidator>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/app/app_state.h"
#include "core/backup/backup_summary.h"
#include "core/backup/generations.h"
#include "core/output/access_log_output.h"
#include "core/output/csv_file.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "core/store/log_table_model.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/date_edits.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

constexpr int P(int pixels) { return pixels * 15; }
constexpr int kWidth = 960;
constexpr int kHeight = 600;
const QString kTitle = QStringLiteral("操作記録");

// The heads of the log that the backup generations kept.
std::vector<LogHead> KeptHeads(const DrivePaths& paths) {
  std::vector<LogHead> heads;
  for (const Generation& g : ListGenerations(paths)) {
    const BackupSummary summary = GenerationSummary(g.path);
    if (summary.logSeq > 0) heads.push_back({summary.logSeq, summary.logHash, summary.logAt});
  }
  return heads;
}

}  // namespace

AccessLogWindow::AccessLogWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmAccessLog"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(kWidth, kHeight);

  const QDate today = state_.clock().now().date();
  periodBox_ = Named(new QCheckBox(QStringLiteral("期間"), this), "chkPeriod");
  PlaceTw(periodBox_, P(12), P(12), P(56), P(24));
  fromDate_ = Named(PlaceDateEdit(this, today.addMonths(-1), P(70), P(12), P(116), P(24)), "dtpFrom");
  PlaceLabel(this, QStringLiteral("～"), P(190), P(12), P(16), P(24));
  toDate_ = Named(PlaceDateEdit(this, today, P(208), P(12), P(116), P(24)), "dtpTo");
  fromDate_->setEnabled(false);
  toDate_->setEnabled(false);
  connect(periodBox_, &QCheckBox::toggled, fromDate_, &QWidget::setEnabled);
  connect(periodBox_, &QCheckBox::toggled, toDate_, &QWidget::setEnabled);

  PlaceLabel(this, QStringLiteral("ユーザー"), P(340), P(12), -1, P(24));
  userList_ = Named(new QComboBox(this), "cboUser");
  PlaceTw(userList_, P(396), P(12), P(130), P(24));
  PlaceLabel(this, QStringLiteral("種類"), P(538), P(12), -1, P(24));
  kindList_ = Named(new QComboBox(this), "cboKind");
  PlaceTw(kindList_, P(570), P(12), P(150), P(24));
  kindList_->addItem(QStringLiteral("全て"), QString());
  for (const QString& kind : LogKinds()) kindList_->addItem(LogKindLabel(kind), kind);
  PlaceLabel(this, QStringLiteral("記録番号"), P(732), P(12), -1, P(24));
  reportBox_ = Named(new QLineEdit(this), "txtReportId");
  reportBox_->setValidator(new QIntValidator(1, 999999999, reportBox_));
  reportBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
  PlaceTw(reportBox_, P(792), P(12), P(72), P(24));
  showButton_ = Named(PlaceButton(this, QStringLiteral("表示"), P(872), P(10), P(76), P(28)), "cmdShow");

  countLabel_ = Named(PlaceLabel(this, QString(), P(12), P(44), P(kWidth - 24), P(20)), "lblCount");
  model_ = new LogTableModel(this);
  logTable_ = Named(new QTableView(this), "grdLog");
  logTable_->setModel(model_);
  logTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  logTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  logTable_->setWordWrap(false);
  logTable_->verticalHeader()->hide();
  logTable_->verticalHeader()->setDefaultSectionSize(22);
  logTable_->horizontalHeader()->setStretchLastSection(true);
  const int widths[] = {64, 205, 90, 100, 110, 70};
  for (int c = 0; c < 6; ++c) logTable_->setColumnWidth(c, widths[c]);
  PlaceTw(logTable_, P(12), P(66), P(kWidth - 24), P(kHeight - 126));

  checkButton_ =
      Named(PlaceButton(this, QStringLiteral("記録の検証"), P(12), P(kHeight - 46), P(120), P(32)), "cmdCheck");
  const ListButtons buttons = PlaceListButtons(this, kWidth, kHeight);
  csvButton_ = buttons.csv;
  printButton_ = buttons.print;
  backButton_ = buttons.back;
  connect(showButton_, &QPushButton::clicked, this, &AccessLogWindow::showFiltered);
  connect(reportBox_, &QLineEdit::returnPressed, this, &AccessLogWindow::showFiltered);
  connect(csvButton_, &QPushButton::clicked, this, &AccessLogWindow::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &AccessLogWindow::printLog);
  connect(checkButton_, &QPushButton::clicked, this, &AccessLogWindow::checkChain);
  connect(backButton_, &QPushButton::clicked, this, &AccessLogWindow::reject);

  userList_->addItem(QStringLiteral("全て"), QString());
  if (state_.database.isOpen())
    for (const QString& user : LogUsers(state_.database.connection())) userList_->addItem(user, user);
  showFiltered();
}

LogFilter AccessLogWindow::currentFilter() const {
  LogFilter f;
  if (periodBox_->isChecked()) {
    f.from = std::min(fromDate_->date(), toDate_->date());
    f.to = std::max(fromDate_->date(), toDate_->date());
  }
  f.user = userList_->currentData().toString();
  f.kind = kindList_->currentData().toString();
  f.reportId = reportBox_->text().toInt();
  return f;
}

void AccessLogWindow::showFiltered() {
  state_.prompts().setBusy(true);
  QString error;
  state_.database.runDeferred();  // the entries of the last save
  const bool ok = model_->show(state_.database.connection(), currentFilter(), &error);
  state_.prompts().setBusy(false);
  countLabel_->setText(state_.database.isOpen()
                           ? QStringLiteral("%1件（新しい順）").arg(model_->rowCount())
                           : QStringLiteral("データベースが開かれていないため、操作記録はありません。"));
  const bool any = model_->rowCount() > 0;
  csvButton_->setEnabled(any);
  printButton_->setEnabled(any);
  checkButton_->setEnabled(state_.database.isOpen());
  if (!ok) state_.prompts().message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Critical);
}

void AccessLogWindow::writeCsv() {
  const LogFilter filter = model_->filter();
  WriteCsvFileInPieces(state_.prompts(), state_.paths, QStringLiteral("操作記録.csv"), [&](const BytePieces& write) {
    WriteAccessLogCsv(state_.database.connection(), filter, write);
  });
  showFiltered();  // the export is an entry of its own
}

void AccessLogWindow::printLog() {
  PrintAccessLog(state_.prompts(), state_.database.connection(), model_->filter(), state_.clock().now());
  showFiltered();
}

void AccessLogWindow::checkChain() {
  state_.prompts().setBusy(true);
  state_.database.runDeferred();
  const LogCheck check = CheckLogChain(state_.database.connection(), KeptHeads(state_.paths));
  state_.prompts().setBusy(false);
  const QString text = LogCheckText(check);
  state_.log.record({log_kind::kLogCheck, 0, text.section(QLatin1Char('\n'), 0, 0),
                     QJsonObject{{QStringLiteral("intact"), check.intact},
                                 {QStringLiteral("entries"), qint64(check.entries)},
                                 {QStringLiteral("broken"), qint64(check.brokenSeq)}}});
  state_.prompts().message(text, kTitle, check.intact ? PromptIcon::Information : PromptIcon::Critical);
  showFiltered();
}

}  // namespace orvanta
