#include "gui/network/network_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "core/app/app_state.h"
#include "core/network/feedback_file.h"
#include "core/network/network_print.h"
#include "core/network/network_tables.h"
#include "core/output/csv_file.h"
#include "core/output/painter_surface.h"
#include "core/platform/clock.h"
#include "core/platform/export_record.h"
#include "core/platform/prompts.h"
#include "core/rates/rates_print.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/graph_area.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

constexpr int kClientWidth = 15300;
constexpr int kLeft = 120;
constexpr int kInnerWidth = kClientWidth - 2 * kLeft;
constexpr int kButtonHeight = 375;
constexpr int kLineHeight = 330;
constexpr int kPagesTop = 600;
constexpr int kPagesHeight = 8400;
constexpr int kPageWidth = kInnerWidth - 90;
constexpr int kPageHeight = kPagesHeight - 480;
constexpr int kButtonsTop = kPagesTop + kPagesHeight + 105;
constexpr int kClientHeight = kButtonsTop + kButtonHeight + 120;

const QString kTitle = QStringLiteral("ネットワーク集計");
const QString kSubmissionFilter = QStringLiteral("提出ファイル (*.sqlite);;すべてのファイル (*)");
const QString kFeedbackFilter = QStringLiteral("還元ファイル (*.sqlite)");

enum Page { kHospitalsPage, kNetworkPage, kFunnelPage, kItemsPage, kImportPage };

}  // namespace

NetworkWindow::NetworkWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmNetwork"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  buildControls();

  QString notice;
  QString error;
  // A read-only run reads the pooled submissions there are, and makes none.
  ready_ = state_.startup.ReadOnlySession ? state_.network.openReadOnly(state_.paths.NetworkDatabasePath(), &error)
                                          : OpenNetworkDatabase(state_.network, state_.paths.NetworkDatabasePath(),
                                                                state_.clock().now(), &notice, &error);
  if (!notice.isEmpty()) state_.prompts().message(notice, kTitle, PromptIcon::Exclamation);
  // A read-only run where nothing was ever imported simply has nothing to show.
  const bool neverImported = state_.startup.ReadOnlySession && !QFileInfo::exists(state_.paths.NetworkDatabasePath());
  if (!ready_ && !neverImported) state_.prompts().message(error, kTitle, PromptIcon::Critical);
  importButton_->setEnabled(writable());
  fillYears(std::nullopt);
}

NetworkWindow::~NetworkWindow() = default;

bool NetworkWindow::writable() const { return ready_ && !state_.network.isReadOnly(); }

void NetworkWindow::buildControls() {
  Named(PlaceLabel(this, QStringLiteral("年度"), kLeft, 150, 600, kLineHeight), "lblYear");
  yearList_ = Named(new QComboBox(this), "cboYear");
  PlaceTw(yearList_, kLeft + 600, 120, 2100, kLineHeight + 30);
  connect(yearList_, &QComboBox::currentIndexChanged, this, &NetworkWindow::showYear);
  summary_ = Named(PlaceLabel(this, QString(), kLeft + 2900, 150, 7000, kLineHeight), "lblSummary");
  importButton_ = Named(PlaceButton(this, QStringLiteral("提出ファイルの取り込み"), kClientWidth - kLeft - 2700, 105,
                                    2700, kButtonHeight),
                        "cmdImport");
  connect(importButton_, &QPushButton::clicked, this, &NetworkWindow::importFiles);

  pages_ = Named(new QTabWidget(this), "tabNetwork");
  PlaceTw(pages_, kLeft, kPagesTop, kInnerWidth, kPagesHeight);
  const auto page = [this](const char* name, const QString& title) {
    auto* w = Named(new QWidget(pages_), name);
    pages_->addTab(w, title);
    return w;
  };
  const int gridHeight = kPageHeight - 120;

  QWidget* hospitals = page("pageHospitals", QStringLiteral("施設別"));
  hospitalGrid_ = Named(new ResultGrid(hospitals), "gridHospitals");
  PlaceTw(hospitalGrid_, 60, 60, kPageWidth - 120, gridHeight - 2 * kLineHeight - kButtonHeight - 60);
  hospitalNote_ = Named(PlaceLabel(hospitals, QString(), 60, gridHeight - 2 * kLineHeight - kButtonHeight + 30,
                                   kPageWidth - 120, 2 * kLineHeight),
                        "lblHospitalsNote");
  hospitalNote_->setWordWrap(true);
  hospitalNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  removeButton_ = Named(PlaceButton(hospitals, QStringLiteral("選んだ施設のこの年度を削除"), 60,
                                    gridHeight - kButtonHeight + 30, 3300, kButtonHeight),
                        "cmdRemove");
  connect(removeButton_, &QPushButton::clicked, this, &NetworkWindow::removeHospitalYear);

  QWidget* network = page("pageWhole", QStringLiteral("ネットワーク全体"));
  networkGrid_ = Named(new ResultGrid(network), "gridWhole");
  PlaceTw(networkGrid_, 60, 60, kPageWidth - 120, 2400);

  QWidget* funnel = page("pageFunnel", QStringLiteral("ファネルプロット"));
  funnelArea_ = Named(new GraphArea(kPageWidth - 120, kPageHeight - 120, funnel), "picFunnel");
  funnelArea_->move(Twips(60), Twips(60));

  QWidget* items = page("pageItems", QStringLiteral("項目別"));
  itemGrid_ = Named(new ResultGrid(items), "gridItems");
  PlaceTw(itemGrid_, 60, 60, kPageWidth - 120, gridHeight);

  QWidget* imports = page("pageImport", QStringLiteral("取り込み結果"));
  importGrid_ = Named(new ResultGrid(imports), "gridImport");
  PlaceTw(importGrid_, 60, 60, kPageWidth - 120, gridHeight);

  const int right = kClientWidth - kLeft;
  closeButton_ =
      Named(PlaceButton(this, QStringLiteral("閉じる"), right - 1215, kButtonsTop, 1215, kButtonHeight), "cmdClose");
  int x = right - 1215;
  const auto button = [&](const QString& caption, int width, const char* name) {
    x -= 120 + width;
    return Named(PlaceButton(this, caption, x, kButtonsTop, width, kButtonHeight), name);
  };
  feedbackButton_ = button(QStringLiteral("還元ファイルの作成"), 2400, "cmdFeedbackFile");
  sheetButton_ = button(QStringLiteral("施設別還元シート"), 2400, "cmdSheets");
  printButton_ = button(QStringLiteral("印刷"), 1215, "cmdPrint");
  csvButton_ = button(QStringLiteral("CSVファイル変換"), 2100, "cmdCsv");
  connect(closeButton_, &QPushButton::clicked, this, &NetworkWindow::reject);
  connect(feedbackButton_, &QPushButton::clicked, this, &NetworkWindow::writeFeedbackFile);
  connect(sheetButton_, &QPushButton::clicked, this, &NetworkWindow::printFeedbackSheets);
  connect(printButton_, &QPushButton::clicked, this, &NetworkWindow::printPage);
  connect(csvButton_, &QPushButton::clicked, this, &NetworkWindow::writeCsv);
}

std::optional<NetworkYear> NetworkWindow::chosenYear() const {
  if (yearList_->currentIndex() < 0) return std::nullopt;
  const QVariantList v = yearList_->currentData().toList();
  return NetworkYear{v.value(0).toInt(), v.value(1).toInt() == 1 ? YearKind::Calendar : YearKind::Fiscal};
}

void NetworkWindow::fillYears(std::optional<NetworkYear> keep) {
  {
    const QSignalBlocker quiet(yearList_);
    yearList_->clear();
    if (ready_) {
      for (const NetworkYear& y : ListNetworkYears(state_.network)) {
        yearList_->addItem(NetworkYearLabel(y), QVariantList{y.year, y.kind == YearKind::Calendar ? 1 : 0});
        if (keep && *keep == y) yearList_->setCurrentIndex(yearList_->count() - 1);
      }
    }
    if (yearList_->currentIndex() < 0 && yearList_->count() > 0) yearList_->setCurrentIndex(0);
  }
  showYear();
}

void NetworkWindow::showYear() {
  const std::optional<NetworkYear> year = chosenYear();
  figures_ = year && ready_ ? ComputeNetworkYear(state_.network, *year) : NetworkFigures{};
  ShowTextTable(hospitalGrid_, HospitalTableTexts(figures_, true), 1, 1200, 1200);
  hospitalGrid_->grid().setColWidth(6, 2900);  // 判定
  hospitalGrid_->grid().setColWidth(7, 1500);  // 常勤換算職員数
  hospitalNote_->setText(year ? HospitalTableNote(figures_) : QStringLiteral("取り込まれた提出ファイルはありません。"));
  ShowTextTable(networkGrid_, NetworkTableTexts(figures_), 1, 2100, 1200);
  ShowTextTable(itemGrid_, ItemTablesTexts(figures_.items), 0, 1500, 1200);
  itemGrid_->grid().setColWidth(1, 4200);
  itemGrid_->grid().setColAlignment(1, GridAlignment::Left);
  summary_->setText(year ? QStringLiteral("%1施設　%2件　（稼働病床数のない施設 %3）")
                               .arg(figures_.hospitals.size())
                               .arg(figures_.reportsAll)
                               .arg(figures_.hospitalsWithoutBeds)
                         : QString());
  for (QPushButton* b : {csvButton_, printButton_, sheetButton_, feedbackButton_}) b->setEnabled(year.has_value());
  removeButton_->setEnabled(writable() && !figures_.hospitals.empty());
  drawFunnel();
}

void NetworkWindow::drawFunnel() {
  const QSize size = funnelArea_->textPicture()->parentWidget()->size();
  PainterSurface picture(size);
  picture.SetAntialiased(true);
  picture.SetScale(0, 0, size.width(), size.height());
  picture.SetFontSize(9);
  FunnelStyle style;
  style.lineHeight = 18;
  style.pointRadius = 2.5;
  style.curveDots = 2;
  funnelLayout_ = figures_.hospitals.empty()
                      ? FunnelLayout{}
                      : DrawFunnelPlot(picture, NetworkFunnelData(figures_),
                                       QRectF(10, 8, size.width() - 20, size.height() - 16), style);
  const QImage image = picture.Image();
  funnelArea_->setPictures(image, image, 0);
}

QImage NetworkWindow::funnelPicture() const { return funnelArea_->textImage(); }

const HospitalFigures* NetworkWindow::chosenHospital() const {
  const int row = hospitalGrid_->grid().row() - 1;  // under the heading row
  if (row < 0 || row >= static_cast<int>(figures_.hospitals.size())) return nullptr;
  return &figures_.hospitals[static_cast<std::size_t>(row)];
}

void NetworkWindow::importFiles() {
  Prompts& prompts = state_.prompts();
  const QStringList paths =
      prompts.openFileNames(QStringLiteral("提出ファイルの取り込み"), state_.paths.MyDocumentPath(), kSubmissionFilter);
  if (paths.isEmpty()) return;
  const std::optional<NetworkYear> before = chosenYear();
  ImportOptions options;
  options.today = state_.clock().now().date();
  options.now = state_.clock().now();
  options.replace = [&prompts](const HospitalYear& present, const QString& path) {
    return prompts.message(ReplaceQuestion(present, path), kTitle, PromptIcon::Question, PromptButtons::YesNo) ==
           PromptAnswer::Yes;
  };
  const std::unique_ptr<WorkProgress> progress = prompts.workProgress(QStringLiteral("提出ファイルの取り込み"));
  prompts.setBusy(true);
  lastImport_ = ImportSubmissions(state_.network, paths, options, *progress);
  prompts.setBusy(false);

  TextTable rows{{QStringLiteral("ファイル"), QStringLiteral("結果"), QStringLiteral("施設コード"),
                  QStringLiteral("年度"), QStringLiteral("件数"), QStringLiteral("理由")}};
  std::optional<NetworkYear> imported;
  for (const FileImport& f : lastImport_) {
    const bool in = f.outcome != ImportOutcome::NotImported;
    if (in && !imported) imported = f.year;
    rows.push_back({QFileInfo(f.path).fileName(), ImportOutcomeText(f.outcome), f.facilityCode,
                    f.facilityCode.isEmpty() ? QString() : NetworkYearLabel(f.year),
                    f.facilityCode.isEmpty() ? QString() : QString::number(f.reports), f.reason});
  }
  ShowTextTable(importGrid_, rows, 1, 3300, 1200);
  importGrid_->grid().setColAlignment(1, GridAlignment::Left);
  importGrid_->grid().setColWidth(5, 7000);
  importGrid_->grid().setColAlignment(5, GridAlignment::Left);
  fillYears(imported ? imported : before);
  pages_->setCurrentIndex(kImportPage);
}

void NetworkWindow::removeHospitalYear() {
  Prompts& prompts = state_.prompts();
  const HospitalFigures* chosen = chosenHospital();
  if (!chosen) {
    prompts.message(QStringLiteral("削除する施設を「施設別」の表で選んでください。"), kTitle, PromptIcon::Information);
    return;
  }
  const HospitalYear h = chosen->hospital;
  const QString question =
      QStringLiteral(
          "施設コード %1 "
          "の%2のデータ（%3件）を削除しますか？\n削除したデータは、提出ファイルを取り込み直すと戻せます。")
          .arg(h.facilityCode, NetworkYearLabel(h.year))
          .arg(h.reportCount);
  if (prompts.message(question, kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) return;
  QString error;
  if (!RemoveHospitalYear(state_.network, h.id, &error)) {
    prompts.message(DatabaseErrorText(state_.network.path(), error), kTitle, PromptIcon::Exclamation);
    return;
  }
  fillYears(h.year);
}

void NetworkWindow::writeCsv() {
  const std::optional<NetworkYear> year = chosenYear();
  if (!year) return;
  const QString label = QString::number(year->year);
  if (pages_->currentIndex() == kItemsPage) {
    WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("ネットワーク項目別_%1.csv").arg(label),
                      ItemTablesCsvBytes(figures_.items));
  } else {
    WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("ネットワーク施設別_%1.csv").arg(label),
                      HospitalCsvBytes(figures_));
  }
}

void NetworkWindow::printPage() {
  const std::optional<NetworkYear> year = chosenYear();
  if (!year) return;
  const QString yearText = NetworkYearLabel(*year);
  if (pages_->currentIndex() == kFunnelPage) {
    PrintFunnelPlot(state_.prompts(), QStringLiteral("ファネルプロット　%1").arg(yearText),
                    NetworkFunnelData(figures_));
    return;
  }
  RatesTablesPrint print;
  print.heading = RatesPrintHeading{kTitle, yearText, year->kind,
                                    QStringLiteral("ネットワークの全施設（%1施設）").arg(figures_.hospitals.size())};
  switch (pages_->currentIndex()) {
    case kNetworkPage:
      print.tables.push_back(
          PrintedTable{QStringLiteral("ネットワーク全体と病床規模別"), NetworkTableTexts(figures_), 1, 1, QString()});
      break;
    case kItemsPage:
      for (const ItemTable& item : figures_.items) {
        TextTable cells{{QStringLiteral("コード・名称"), QStringLiteral("件数"), QStringLiteral("割合(%)")}};
        for (const ItemRow& r : item.rows)
          cells.push_back({(r.code + QLatin1Char(' ') + r.label).trimmed(), QString::number(r.count),
                           QString::number(r.share, 'f', 1)});
        print.tables.push_back(
            PrintedTable{QStringLiteral("%1. %2").arg(item.item + 1).arg(item.caption), cells, 1, 1, QString()});
      }
      break;
    default:
      print.tables.push_back(PrintedTable{QStringLiteral("施設別"), HospitalTableTexts(figures_, true), 1, 1,
                                          HospitalTableNote(figures_)});
      break;
  }
  PrintRatesTables(state_.prompts(), print);
}

void NetworkWindow::printFeedbackSheets() {
  Prompts& prompts = state_.prompts();
  const std::optional<NetworkYear> year = chosenYear();
  if (!year) return;
  std::vector<std::size_t> which;
  if (const HospitalFigures* chosen = chosenHospital(); chosen && pages_->currentIndex() == kHospitalsPage) {
    const PromptAnswer answer = prompts.message(
        QStringLiteral("施設別還元シートを印刷します。\n「はい」: 選んだ施設（%1）だけ\n「いいえ」: 全施設（%2施設）")
            .arg(chosen->hospital.facilityCode)
            .arg(figures_.hospitals.size()),
        kTitle, PromptIcon::Question, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel) return;
    if (answer == PromptAnswer::Yes) which.push_back(static_cast<std::size_t>(chosen - figures_.hospitals.data()));
  }
  if (which.empty())
    for (std::size_t i = 0; i < figures_.hospitals.size(); ++i) which.push_back(i);
  prompts.setBusy(true);
  const std::vector<ItemCount> counts = ReadItemCounts(state_.network, *year);
  const std::vector<CodeName> names = ReadCodeNames(state_.network, *year);
  std::vector<FeedbackSheet> sheets;
  for (const std::size_t i : which) {
    const HospitalYear& h = figures_.hospitals[i].hospital;
    sheets.push_back(FeedbackSheetOf(figures_, i, ItemTablesOf(counts, names, h.reportCount, h.id)));
  }
  prompts.setBusy(false);
  PrintFeedbackSheets(prompts, sheets);
}

void NetworkWindow::writeFeedbackFile() {
  Prompts& prompts = state_.prompts();
  const QDateTime now = state_.clock().now();
  QString path = prompts.saveFileName(
      QStringLiteral("還元ファイルの作成"),
      QDir(state_.paths.MyDocumentPath())
          .filePath(QStringLiteral("還元_%1.sqlite").arg(now.toString(QStringLiteral("yyyyMMdd")))),
      kFeedbackFilter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".sqlite");
  if (QFileInfo::exists(path) && prompts.message(kCsvOverwriteQuestion, kCsvOverwriteTitle, PromptIcon::Question,
                                                 PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  prompts.setBusy(true);
  const Feedback feedback = FeedbackOfNetwork(state_.network, now);
  QString error;
  const bool written = WriteFeedbackFile(feedback, path, &error);
  prompts.setBusy(false);
  if (written) {
    RecordExport({ExportKind::File, QStringLiteral("還元ファイル"), path, -1});
    prompts.message(QStringLiteral("還元ファイル「%1」を作成しました（%2年分）。")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(feedback.years.size()),
                    kTitle, PromptIcon::Information);
  } else {
    prompts.message(QStringLiteral("還元ファイルを作成できませんでした。\n%1").arg(error), kTitle,
                    PromptIcon::Exclamation);
  }
}

}  // namespace orvanta
