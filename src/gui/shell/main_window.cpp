#include "gui/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/backup/backup_summary.h"
#include "core/followup/due_list.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/platform/system_info.h"
#include "core/reports/body_site_drawing.h"
#include "core/reports/data_file.h"
#include "core/reports/open_data_file.h"
#include "gui/backup/backup_command.h"
#include "gui/shell/window_openers.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

const QString kWelcome = QStringLiteral(
    "基本設定はあらかじめ登録してありますが、随時変更も可能です。部署だけは貴院の部署をご登録ください。");
const QString kGuide = QStringLiteral(
    "設定は随時変更できます。画面中央のボタン「新規登録」または「変更･表示」をクリックして針刺し･切創事故を入力し、"
    "右側のメニューでデータを自由に解析して下さい");
const QString kReadOnlyLineText = QStringLiteral(
    "読み取り専用で起動しています（ディスクの空き容量がありません）。報告の表示・集計・印刷だけができます。");
const QString kReadOnlyRefusal = QStringLiteral("読み取り専用で起動しているため使えません");
const QString kBackupQuestion = QStringLiteral(
    "バックアップに上書きしますか？\nエラーが出た場合は上書きしないでください。保存する場合は「はい」を押してください"
    "。");

}  // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  setObjectName(QStringLiteral("frmMain"));
  const bool readOnly = state_.startup.ReadOnlySession;
  setWindowTitle(QStringLiteral("トンリクス日本版　Orvanta") + (readOnly ? kReadOnlyCaption : QString()));
  // The designed panel sits under the menu bar, at its designed size.
  auto* body = Named(new QWidget(this), "panel");
  body->setFixedSize(Twips(10140), Twips(6450));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->setMenuBar(buildMenuBar());
  layout->addWidget(body);
  if (readOnly) layout->addWidget(buildReadOnlyLine());
  layout->addWidget(buildOverdueLine());

  auto* title = Named(PlaceLabel(body, QStringLiteral("Orvanta"), 1410, 180, 6000, 900), "Label2");
  QFont big = title->font();
  big.setPointSize(36);
  big.setBold(true);
  big.setItalic(true);
  title->setFont(big);
  title->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));

  auto* subtitle =
      Named(PlaceLabel(body, QStringLiteral("トンリクス日本版　Orvanta"), 2370, 1140, 4500, 330), "Label1");
  QFont mid = subtitle->font();
  mid.setPointSize(12);
  subtitle->setFont(mid);

  Named(PlaceLabel(body, QStringLiteral("Ver.3.1.0"), 8820, 780, 1200, 240), "Label3", 1);
  auto* maker = Named(PlaceLabel(body, QStringLiteral("Orvanta 開発グループ"), 7980, 1080, 2100, 240), "Label3", 0);
  maker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  // Settings.
  auto* settings = Named(PlaceFrame(body, QStringLiteral("設定"), 660, 1500, 3465, 4785), "Frame1");
  struct ListButton {
    int index;
    const char* caption;
  };
  const ListButton listButtons[] = {
      {8, "勤務部署の登録・変更・削除"},     {0, "職種の登録・変更・削除"},
      {1, "事故発生場所の登録・変更・削除"}, {2, "器材使用目的の登録・変更・削除"},
      {3, "事故発生状況の登録・変更・削除"}, {5, "事故程度の登録・変更・削除"},
      {9, "行為別の登録・変更・削除"},       {-1, "その他詳細項目の設定"},
      {4, "事故原因器材の登録・変更・削除"},
  };
  int top = 330;
  for (const ListButton& b : listButtons) {
    const QString caption = QString::fromUtf8(b.caption);
    if (b.index < 0) {
      auto* details = Named(PlaceButton(settings, caption, 150, top, 3165, 420), "Command3");
      connect(details, &QPushButton::clicked, this, [this] { openAnswerCodeEditor(); });
      offWhenReadOnly(details);
    } else {
      auto* edit = Named(PlaceButton(settings, caption, 150, top, 3165, 420), "Command2", b.index);
      connect(edit, &QPushButton::clicked, this, [this, list = b.index] { openCodeListEditor(list); });
      offWhenReadOnly(edit);
    }
    top += 480;
  }

  // Report entry.
  auto* entry = Named(PlaceFrame(body, QStringLiteral("事故入力"), 4515, 1500, 2625, 1560), "Frame2", 0);
  auto* add = Named(PlaceButton(entry, QStringLiteral("新規追加"), 180, 330, 2265, 480), "cmdname", 3);
  auto* browse = Named(PlaceButton(entry, QStringLiteral("変更・表示"), 180, 900, 2265, 480), "cmdname", 2);
  connect(add, &QPushButton::clicked, this, [this] { openReportWindow(true); });
  connect(browse, &QPushButton::clicked, this, [this] { openReportWindow(false); });

  auto* other = Named(PlaceFrame(body, QStringLiteral("その他"), 4500, 3240, 2640, 960), "Frame2", 1);
  auto* sheet = Named(PlaceButton(other, QStringLiteral("Tonrixシート印刷"), 195, 330, 2265, 480), "cmdname", 1);
  // A small copy of the body-site drawing that the printed form carries.
  auto* picture = Named(new QLabel(body), "Picture1");
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setAlignment(Qt::AlignCenter);
  PlaceTw(picture, 5670, 5220, 1365, 615);
  picture->setPixmap(QPixmap::fromImage(RenderBodySiteDrawing(
      QSize(kBodyDrawingWidth, kBodyDrawingHeight).scaled(picture->contentsRect().size(), Qt::KeepAspectRatio))));

  // Analysis.
  auto* analysis = Named(PlaceFrame(body, QStringLiteral("解析"), 7500, 1500, 2295, 3480), "Frame3");
  struct AnalysisButton {
    const char* name;
    const char* caption;
    AnalysisView view;
  };
  const AnalysisButton analysisButtons[] = {
      {"Command4", "クロス集計", AnalysisView::CrossTable},  {"Command5", "データ抽出", AnalysisView::Extraction},
      {"Command7", "レポート", AnalysisView::Summary},       {"Command8", "グラフ", AnalysisView::Graph},
      {"Command6", "項目別グラフ", AnalysisView::ItemGraph},
  };
  top = 330;
  for (const AnalysisButton& b : analysisButtons) {
    auto* open = Named(PlaceButton(analysis, QString::fromUtf8(b.caption), 180, top, 1935, 480), b.name);
    const AnalysisView view = b.view;
    open->setEnabled(HasAnalysisView(view));
    connect(open, &QPushButton::clicked, this,
            [this, view] { openModal([this, view] { ShowAnalysisView(view, state_, this); }); });
    top += 600;
  }

  sheet->setEnabled(HasSheetPrinting());
  connect(sheet, &QPushButton::clicked, this, [this] { PrintBlankSheet(state_, this); });
  add->setEnabled(HasReportWindow());
  browse->setEnabled(HasReportWindow());
  offWhenReadOnly(add);

  auto* quit = Named(PlaceButton(body, QStringLiteral("終了"), 8250, 5910, 1335, 420), "Command1");
  connect(quit, &QPushButton::clicked, this, &QWidget::close);
}

QMenuBar* MainWindow::buildMenuBar() {
  auto* bar = Named(new QMenuBar(this), "menuBar");
  struct Item {
    const char* name;
    const char* caption;
    MenuCommand command;
  };
  auto addItems = [this](QMenu* menu, std::initializer_list<Item> items) {
    for (const Item& item : items) {
      QAction* action = menu->addAction(QString::fromUtf8(item.caption));
      action->setObjectName(QString::fromLatin1(item.name));
      action->setEnabled(HasMenuCommand(item.command));
      if (WritesData(item.command)) offWhenReadOnly(action);
      connect(action, &QAction::triggered, this, [this, command = item.command] {
        openModal([this, command] { RunMenuCommand(command, state_, this); });
      });
    }
  };

  QMenu* file = Named(bar->addMenu(QStringLiteral("ファイル(&F)")), "menuFile");
  addItems(file, {{"actBackupNow", "今すぐバックアップ(&B)", MenuCommand::BackupNow},
                  {"actRestore", "バックアップから復元(&R)...", MenuCommand::Restore}});
  file->addSeparator();
  addItems(file, {{"actRepairDataFile", "データファイルの修復(&D)...", MenuCommand::RepairDataFile}});
  file->addSeparator();
  addItems(file, {{"actSubmission", "ネットワーク提出用ファイルの作成(&N)...", MenuCommand::Submission}});
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了(&X)"));
  quit->setObjectName(QStringLiteral("actQuit"));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* tools = Named(bar->addMenu(QStringLiteral("ツール(&T)")), "menuTools");
  addItems(tools, {{"actDueList", "経過観察予定(&F)...", MenuCommand::DueList},
                   {"actScheduleTemplates", "経過観察の予定表(&S)...", MenuCommand::ScheduleTemplates}});
  tools->addSeparator();
  addItems(tools, {{"actRates", "発生率と推移(&R)...", MenuCommand::Rates},
                   {"actDenominators", "分母の登録(&D)...", MenuCommand::Denominators}});
  tools->addSeparator();
  addItems(tools, {{"actAccessLog", "操作記録(&L)...", MenuCommand::AccessLog}});
  addItems(tools, {{"actFacilitySettings", "施設の設定(&N)...", MenuCommand::FacilitySettings}});
  addItems(tools, {{"actNetwork", "ネットワーク集計(&N)...", MenuCommand::Network}});

  QMenu* help = Named(bar->addMenu(QStringLiteral("ヘルプ(&H)")), "menuHelp");
  addItems(help,
           {{"actGuide", "使い方(&U)", MenuCommand::Guide}, {"actAbout", "バージョン情報(&A)", MenuCommand::About}});
  return bar;
}

void MainWindow::offWhenReadOnly(QWidget* control) {
  if (!state_.startup.ReadOnlySession) return;
  control->setEnabled(false);
  control->setToolTip(kReadOnlyRefusal);
}

void MainWindow::offWhenReadOnly(QAction* action) {
  if (!state_.startup.ReadOnlySession) return;
  action->setEnabled(false);
  action->setToolTip(kReadOnlyRefusal);
}

QWidget* MainWindow::buildReadOnlyLine() {
  // Under the designed panel, as wide as it, for the whole run.
  auto* line = Named(new QFrame(this), "readOnlyBar");
  line->setFrameShape(QFrame::StyledPanel);
  line->setFixedSize(Twips(10140), 40);
  line->setStyleSheet(QStringLiteral("QFrame#readOnlyBar { background: rgb(255, 228, 225); }"));
  auto* label = Named(new QLabel(kReadOnlyLineText, line), "lblReadOnly");
  label->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0);"));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setGeometry(12, 8, Twips(10140) - 24, 24);
  return line;
}

QWidget* MainWindow::buildOverdueLine() {
  // Under the designed panel, as wide as it; shown only while tests are
  // overdue, so the panel stays as it was designed.
  overdueLine_ = Named(new QFrame(this), "overdueBar");
  overdueLine_->setFrameShape(QFrame::StyledPanel);
  overdueLine_->setFixedSize(Twips(10140), 40);
  overdueLine_->setStyleSheet(QStringLiteral("QFrame#overdueBar { background: rgb(255, 244, 214); }"));
  overdueLabel_ = Named(new QLabel(overdueLine_), "lblOverdue");
  overdueLabel_->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
  QFont bold = overdueLabel_->font();
  bold.setBold(true);
  overdueLabel_->setFont(bold);
  overdueLabel_->setGeometry(12, 8, 440, 24);
  auto* open = Named(NewButton(overdueLine_, QStringLiteral("経過観察予定を開く")), "cmdOverdueList");
  open->setGeometry(Twips(10140) - 170, 6, 158, 28);
  connect(open, &QPushButton::clicked, this, [this] { openModal([this] { ShowDueList(state_, this); }); });
  overdueLine_->hide();
  return overdueLine_;
}

void MainWindow::showOverdueLine() {
  const int overdue =
      state_.database.isOpen() ? CountOverdueTests(state_.database.connection(), state_.clock().now().date()) : -1;
  if (overdue > 0) overdueLabel_->setText(OverdueLineText(overdue));
  overdueLine_->setVisible(overdue > 0);
}

void MainWindow::load() {
  greetFirstRun();
  state_.prompts().setBusy(true);
  const QString error = countReports();
  state_.prompts().setBusy(false);
  if (!error.isEmpty()) state_.prompts().message(error, {}, PromptIcon::Critical);
}

void MainWindow::greetFirstRun() {
  if (!state_.startup.FirstRun) return;
  state_.prompts().message(kWelcome);
  openCodeListEditor(kDepartments);
  state_.prompts().message(kGuide);
}

QString MainWindow::countReports() {
  // A read-only run counts without writing the counters it moves on.
  if (state_.startup.ReadOnlySession) {
    CountDataFiles(state_.dataFile, state_.counters, state_.paths);
    return {};
  }
  QString error;
  CountReportsAtStart(state_.dataFile, state_.counters, state_.lists, state_.paths, &error);
  return error;
}

void MainWindow::activate() {
  LoadNewestFile(state_.dataFile, state_.counters, state_.paths);
  showOverdueLine();
  state_.prompts().setBusy(false);
}

void MainWindow::openModal(const std::function<void()>& show) {
  state_.prompts().setBusy(true);
  show();
  activate();
}

void MainWindow::openCodeListEditor(int list) {
  state_.editing.EditedList = list;
  openModal([this] { ShowCodeListEditor(state_, this); });
}

void MainWindow::openAnswerCodeEditor() {
  openModal([this] { ShowAnswerCodeEditor(state_, this); });
}

void MainWindow::openReportWindow(bool newReport) {
  if (newReport) {
    state_.editing.NewReportMode = true;
  } else if (state_.dataFile.ReportCount() != 0) {
    state_.editing.NewReportMode = false;
    state_.dataFile.CurrentIndex = state_.dataFile.ReportCount() - 1;
  } else {
    // With no report to show a new one starts, unless nothing may be written.
    state_.editing.NewReportMode = !state_.startup.ReadOnlySession;
  }
  openModal([this] { ShowReportWindow(state_, this); });
  state_.editing.NewReportMode = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!runFinished_) {
    runFinished_ = true;
    finishRun();
  }
  event->accept();
}

void MainWindow::finishRun() {
  // A read-only run leaves the counters, the placement and the backups as
  // they were.
  const bool writes = !state_.startup.ReadOnlySession;
  QString error;
  if (writes && !WriteIdFile(state_.paths.IdFilePath(), state_.counters, &error)) {
    state_.prompts().message(error, {}, PromptIcon::Critical);
  }

  // Other windows still open close first, the most recent first.
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    if (*it != this && (*it)->isVisible()) (*it)->close();
  }
  if (!writes) return;

  if (!isMinimized()) {
    // The outer window, title bar and borders included.
    const QRect g = frameGeometry();
    StoreSetting(QStringLiteral("MainLeft"), QString::number(g.x() * 15));
    StoreSetting(QStringLiteral("MainTop"), QString::number(g.y() * 15));
    StoreSetting(QStringLiteral("MainWidth"), QString::number(g.width() * 15));
    StoreSetting(QStringLiteral("MainHeight"), QString::number(g.height() * 15));
  }

  if (state_.prompts().message(kBackupQuestion, QStringLiteral("バックアップの確認"), PromptIcon::Question,
                               PromptButtons::YesNo) == PromptAnswer::Yes) {
    RunBackup(state_, BackupOccasion::AtExit);
  }
}

}  // namespace orvanta
