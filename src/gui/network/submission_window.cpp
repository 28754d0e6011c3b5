#include "gui/network/submission_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/network/network_settings.h"
#include "core/output/csv_file.h"
#include "core/platform/clock.h"
#include "core/platform/export_record.h"
#include "core/platform/prompts.h"
#include "core/rates/denominator_csv.h"
#include "core/store/database.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

// Places and sizes, in twips.
constexpr int kClientWidth = 13200;
constexpr int kLeft = 120;
constexpr int kInnerWidth = kClientWidth - 2 * kLeft;
constexpr int kLineHeight = 330;
constexpr int kButtonHeight = 375;

constexpr int kSummaryTop = 570;
constexpr int kSummaryHeight = 4 * 270;
constexpr int kListsTop = kSummaryTop + kSummaryHeight + 60;
constexpr int kListsHeight = 3300;
constexpr int kGridsTop = kListsTop + kListsHeight + 90;
constexpr int kGridsHeight = 3600;
constexpr int kButtonsTop = kGridsTop + kGridsHeight + 120;
constexpr int kClientHeight = kButtonsTop + kButtonHeight + 120;
constexpr int kHalfWidth = (kInnerWidth - 120) / 2;
constexpr int kDenominatorWidth = 7800;

const QString kTitle = QStringLiteral("提出内容の確認");
const QString kSubmissionFilter = QStringLiteral("提出用ファイル (*.sqlite)");

// A grid of texts: the first row as the headings, the columns as wide as
// given (twips), numbers to the right.
void ShowRows(ResultGrid* view, const QStringList& headings, const std::vector<QStringList>& rows,
              const std::vector<int>& widths, int rightFrom) {
  ResultGridModel& grid = view->grid();
  ResultGridModel::UpdateBatch batch(grid);
  const int cols = static_cast<int>(headings.size());
  std::vector<QString> cells(headings.begin(), headings.end());
  for (const QStringList& row : rows)
    for (int c = 0; c < cols; ++c) cells.push_back(row.value(c));
  grid.setAllCells(static_cast<int>(rows.size()) + 1, cols, std::move(cells));
  grid.setFixedRows(1);
  grid.setFixedCols(0);
  for (int c = 0; c < cols; ++c) {
    grid.setColWidth(c, widths[static_cast<std::size_t>(c)]);
    grid.setColAlignment(c, c >= rightFrom ? GridAlignment::Right : GridAlignment::Left);
  }
}

QString DateText(const QDate& d) { return QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day()); }

}  // namespace

SubmissionWindow::SubmissionWindow(AppState& state, QString facilityCode, QWidget* parent)
    : QDialog(parent), state_(state), facilityCode_(std::move(facilityCode)) {
  setObjectName(QStringLiteral("frmSubmission"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  kind_ = ReadYearKind(state_.database);

  buildTop();
  buildLists();
  buildGrids();
  buildButtons();
  gather();
}

void SubmissionWindow::buildTop() {
  Named(PlaceLabel(this, QStringLiteral("施設コード: %1").arg(facilityCode_), kLeft, 165, 2700, kLineHeight),
        "lblFacilityCode");
  PlaceLabel(this, YearHeading(kind_), 3000, 165, 600, kLineHeight);
  yearList_ = Named(new QComboBox(this), "cboYear");
  PlaceTw(yearList_, 3600, 120, 1650, kLineHeight + 30);
  // The years up to the one under way, newest first; the last whole year is
  // chosen.
  const QDate today = state_.clock().now().date();
  const int current = YearOfDate(today.year(), today.month(), kind_);
  for (int y = current; y >= std::max(submission::kFirstYear, current - 20); --y) {
    years_.push_back(y);
    yearList_->addItem(YearLabel(y, kind_), y);
  }
  yearList_->setCurrentIndex(years_.size() > 1 ? 1 : 0);
  connect(yearList_, &QComboBox::currentIndexChanged, this, [this] { gather(); });
  periodLabel_ = Named(PlaceLabel(this, QString(), 5460, 165, kInnerWidth - 5460, kLineHeight), "lblPeriod");

  summaryLabel_ = Named(PlaceLabel(this, QString(), kLeft, kSummaryTop, kInnerWidth, kSummaryHeight), "lblSummary");
  summaryLabel_->setWordWrap(true);
  summaryLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SubmissionWindow::buildLists() {
  QGroupBox* goes = Named(
      PlaceFrame(this, QStringLiteral("送る内容（報告ごと）"), kLeft, kListsTop, kHalfWidth, kListsHeight), "fraGoes");
  goesList_ = Named(new QListWidget(goes), "lstGoes");
  PlaceTw(goesList_, 120, 300, kHalfWidth - 240, kListsHeight - 420);
  goesList_->addItems(SubmissionGoes());

  QGroupBox* never = Named(PlaceFrame(this, QStringLiteral("送らない内容（ファイルに書きません）"),
                                      kLeft + kHalfWidth + 120, kListsTop, kHalfWidth, kListsHeight),
                           "fraNeverGoes");
  neverGoesList_ = Named(new QListWidget(never), "lstNeverGoes");
  PlaceTw(neverGoesList_, 120, 300, kHalfWidth - 240, kListsHeight - 420);
  neverGoesList_->addItems(SubmissionNeverGoes());
  for (QListWidget* list : {goesList_, neverGoesList_}) list->setSelectionMode(QAbstractItemView::NoSelection);
}

void SubmissionWindow::buildGrids() {
  QGroupBox* denominators = Named(
      PlaceFrame(this, QStringLiteral("その年の分母（分母の登録）"), kLeft, kGridsTop, kDenominatorWidth, kGridsHeight),
      "fraDenominators");
  denominatorGrid_ = Named(new ResultGrid(denominators), "gridDenominators");
  PlaceTw(denominatorGrid_, 120, 300, kDenominatorWidth - 240, kGridsHeight - 420);

  const int left = kLeft + kDenominatorWidth + 120;
  QGroupBox* unanswered = Named(PlaceFrame(this, QStringLiteral("未回答の報告（送る前に補えます）"), left, kGridsTop,
                                           kClientWidth - kLeft - left, kGridsHeight),
                                "fraUnanswered");
  unansweredGrid_ = Named(new ResultGrid(unanswered), "gridUnanswered");
  PlaceTw(unansweredGrid_, 120, 300, kClientWidth - kLeft - left - 240, kGridsHeight - 420);
}

void SubmissionWindow::buildButtons() {
  constexpr int kWidth = 2100;
  int left = kClientWidth - kLeft - 3 * kWidth - 2 * 120;
  createButton_ =
      Named(PlaceButton(this, QStringLiteral("作成"), left, kButtonsTop, kWidth, kButtonHeight), "cmdCreate");
  left += kWidth + 120;
  csvButton_ =
      Named(PlaceButton(this, QStringLiteral("CSVで内容を確認"), left, kButtonsTop, kWidth, kButtonHeight), "cmdCsv");
  left += kWidth + 120;
  backButton_ = Named(PlaceButton(this, QStringLiteral("戻る"), left, kButtonsTop, kWidth, kButtonHeight), "cmdBack");
  connect(createButton_, &QPushButton::clicked, this, &SubmissionWindow::create);
  connect(csvButton_, &QPushButton::clicked, this, &SubmissionWindow::writeCsv);
  connect(backButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void SubmissionWindow::gather() {
  const int year = yearList_->currentData().toInt();
  Denominators denominators;
  QString error;
  if (!LoadDenominators(state_.database, &denominators, &error))
    state_.prompts().message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Exclamation);
  state_.prompts().setBusy(true);
  content_ = GatherSubmission(state_.paths, state_.counters.NewestFileNo, state_.lists, denominators, year, kind_);
  state_.prompts().setBusy(false);
  showContent(content_);
}

void SubmissionWindow::showContent(const SubmissionContent& c) {
  periodLabel_->setText(QStringLiteral("%1～%2").arg(DateText(c.from), DateText(c.to)));
  QStringList summary;
  summary << QStringLiteral("報告 %1 件（%2）").arg(c.reportCount()).arg(YearLabel(c.year, c.kind));
  int goes = 0;
  for (const DenominatorLine& l : c.denominators) goes += l.status == DenominatorLine::Status::Goes;
  summary << QStringLiteral("分母 %1 件を送ります（%2 件は送りません。下の表をご覧ください）")
                 .arg(goes)
                 .arg(static_cast<int>(c.denominators.size()) - goes);
  summary << CodelessAnswersText(c);
  if (c.unreadableFiles.empty()) {
    summary << QStringLiteral("読めないデータファイルはありません。");
  } else {
    QStringList names;
    for (int n : c.unreadableFiles) names << QFileInfo(state_.paths.DataFilePath(n)).fileName();
    summary
        << QStringLiteral("読めないデータファイル: %1（その報告は含まれません）").arg(names.join(QStringLiteral("、")));
  }
  summaryLabel_->setText(summary.join(u'\n'));

  std::vector<QStringList> lines;
  for (const DenominatorLine& l : c.denominators)
    lines.push_back({DenominatorKindCaption(l.kind), l.name, l.code,
                     l.value ? DenominatorValueText(*l.value) : QString(), DenominatorStatusText(l.status)});
  ShowRows(denominatorGrid_,
           {QStringLiteral("種類"), QStringLiteral("項目"), QStringLiteral("コード"), QStringLiteral("値"),
            QStringLiteral("提出")},
           lines, {1200, 2400, 750, 1050, 1800}, 3);
  // The status column reads from the left.
  denominatorGrid_->grid().setColAlignment(4, GridAlignment::Left);

  std::vector<QStringList> unanswered;
  for (const UnansweredCount& u : c.unanswered) unanswered.push_back({u.caption, QString::number(u.reports)});
  ShowRows(unansweredGrid_, {QStringLiteral("項目"), QStringLiteral("未回答")}, unanswered, {3300, 900}, 1);
}

void SubmissionWindow::create() {
  Prompts& prompts = state_.prompts();
  if (!content_.unreadableFiles.empty()) {
    const QString question = UnreadableFilesMessage(state_.paths, content_.unreadableFiles) +
                             QStringLiteral("\n\nこれらのファイルの報告を除いて提出用ファイルを作成しますか？");
    if (prompts.message(question, kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) return;
  }
  if (content_.reportCount() == 0 &&
      prompts.message(QStringLiteral("%1の報告は 0 件です。報告のない提出用ファイルを作成しますか？")
                          .arg(YearLabel(content_.year, content_.kind)),
                      kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  const QString path = AskSavePath(prompts, state_.paths, SubmissionFileName(facilityCode_, content_.year),
                                   kSubmissionFilter, QStringLiteral("sqlite"));
  if (path.isEmpty()) return;
  prompts.setBusy(true);
  QString error;
  const QDateTime now = state_.clock().now();
  const bool ok = WriteSubmissionFile(path, content_, SubmissionStamp{facilityCode_, now}, now.date(), &error);
  prompts.setBusy(false);
  if (!ok) {
    prompts.message(error, kTitle, PromptIcon::Critical);
    return;
  }
  RecordExport(
      {ExportKind::File, QStringLiteral("ネットワーク提出用ファイル"), path, static_cast<int>(content_.reportCount())});
  prompts.message(QStringLiteral("提出用ファイルを作成しました（報告 %1 件）。\n%2")
                      .arg(content_.reportCount())
                      .arg(QDir::toNativeSeparators(path)),
                  kTitle, PromptIcon::Information);
}

void SubmissionWindow::writeCsv() {
  WriteCsvFile(state_.prompts(), state_.paths,
               QStringLiteral("提出内容_%1_%2.csv").arg(facilityCode_).arg(content_.year),
               [this] { return SubmissionCsvText(content_); });
}

void ShowSubmission(AppState& state, QWidget* parent) {
  const NetworkSettings settings = ReadNetworkSettings(state.database);
  if (settings.facilityCode.isEmpty()) {
    state.prompts().message(QStringLiteral("施設コードが設定されていません。\n「ツール」メニューの「施設の設定」で"
                                           "施設コードを設定してから作成してください。"),
                            kTitle, PromptIcon::Exclamation);
    return;
  }
  SubmissionWindow window(state, settings.facilityCode, parent);
  window.exec();
}

}  // namespace orvanta
