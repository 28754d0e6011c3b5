#include "gui/rates/rates_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/output/csv_file.h"
#include "core/output/painter_surface.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/store/database.h"
#include "gui/network/network_comparison_page.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/filter_panel.h"
#include "gui/widgets/graph_area.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/period_frame.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

// Places and sizes, in twips.
constexpr int kClientWidth = 15300;
constexpr int kLeft = 120;
constexpr int kInnerWidth = kClientWidth - 2 * kLeft;
constexpr int kButtonHeight = 375;
constexpr int kLineHeight = 330;

constexpr int kFiltersHeight = 1830;
constexpr int kCaptionHeight = 195;
const FilterPanelLayout kFilterLayout{
    .columnPitch = 2460,
    .listTops = {420, 915, 1410},
    .captionHeight = kCaptionHeight,
    .listWidth = 2280,
    .listHeight = 300,
};

constexpr int kPeriodTop = kFiltersHeight + 60;
constexpr int kPagesTop = kPeriodTop + 690 + 90;
constexpr int kPagesHeight = 7260;
constexpr int kPageWidth = kInnerWidth - 90;  // inside the tab widget's frame
constexpr int kPageHeight = kPagesHeight - 480;
constexpr int kButtonsTop = kPagesTop + kPagesHeight + 105;
constexpr int kClientHeight = kButtonsTop + kButtonHeight + 120;

constexpr int kLabelColumnWidth = 2100;
constexpr int kValueColumnWidth = 1290;
constexpr int kStaffColumnWidth = 1650;
constexpr int kGroupValueWidth = 1230;

const QString kTitle = QStringLiteral("発生率と推移");

QString KindCaption(YearKind kind) {
  return kind == YearKind::Fiscal ? QStringLiteral("年度（4月～3月）") : QStringLiteral("暦年（1月～12月）");
}

}  // namespace

RatesWindow::RatesWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmRates"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  buildFilters();
  buildPeriod();
  buildPages();
  buildButtons();

  // The lists, the period from the first day of the year four years back up
  // to the start-up date, then one computation.
  loading_ = true;
  filters_->fillWithItems(state_.lists);
  kind_ = ReadYearKind(state_.database);
  const CalendarDate today = state_.startup.StartDate();
  const int firstYear = YearOfDate(WindowedYear(today.year), std::clamp(today.month, 1, 12), kind_) - 4;
  period_->showPeriod(AnalysisPeriod{CalendarDate{firstYear, FirstMonthOfYear(kind_), 1}, today});
  loading_ = false;
  recompute();
}

RatesWindow::~RatesWindow() = default;

void RatesWindow::buildFilters() {
  QGroupBox* frame =
      Named(PlaceFrame(this, QStringLiteral("抽出条件"), kLeft, 0, kInnerWidth, kFiltersHeight), "Frame2");
  filters_ = new FilterPanel(kFilterLayout, frame);
  PlaceTw(filters_, 150, 0, filters_->widthTwips(), filters_->heightTwips());
  connect(filters_, &FilterPanel::changed, this, [this] {
    if (!loading_) recompute();
  });
}

void RatesWindow::buildPeriod() {
  PeriodFrameLayout layout;
  period_ = new PeriodFrame(layout, this);
  period_->place(kLeft, kPeriodTop);
  connect(period_, &PeriodFrame::recomputeClicked, this, &RatesWindow::recompute);
  const int left = kLeft + period_->widthTwips() + 240;
  yearKindLabel_ = Named(
      PlaceLabel(this, QString(), left, kPeriodTop + 150, kClientWidth - left - kLeft, 2 * kLineHeight), "lblYearKind");
  yearKindLabel_->setWordWrap(true);
}

void RatesWindow::buildPages() {
  pages_ = Named(new QTabWidget(this), "tabRates");
  PlaceTw(pages_, kLeft, kPagesTop, kInnerWidth, kPagesHeight);
  const auto page = [this](const char* name, const QString& title) {
    auto* w = Named(new QWidget(pages_), name);
    pages_->addTab(w, title);
    return w;
  };
  const auto pageButton = [](QWidget* page, const char* name) {
    return Named(PlaceButton(page, QStringLiteral("この表をCSVファイルに変換"), kPageWidth - 3150,
                             kPageHeight - kButtonHeight - 60, 3090, kButtonHeight),
                 name);
  };
  const int gridHeight = kPageHeight - kButtonHeight - 180;

  QWidget* rates = page("pageRates", QStringLiteral("発生率"));
  ratesGrid_ = Named(new ResultGrid(rates), "gridRates");
  PlaceTw(ratesGrid_, 60, 60, kPageWidth - 120, gridHeight - 2 * kLineHeight);
  ratesNote_ =
      Named(PlaceLabel(rates, QString(), 60, gridHeight - 2 * kLineHeight + 90, kPageWidth - 120, 3 * kLineHeight),
            "lblRatesNote");
  ratesNote_->setWordWrap(true);
  ratesNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  const auto note = [&](QWidget* page, const char* name) {
    auto* label = Named(
        PlaceLabel(page, QString(), 60, gridHeight - 2 * kLineHeight + 90, kPageWidth - 3300, 3 * kLineHeight), name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
  };
  QWidget* occupations = page("pageOccupations", QStringLiteral("職種別"));
  occupationGrid_ = Named(new ResultGrid(occupations), "gridOccupations");
  PlaceTw(occupationGrid_, 60, 60, kPageWidth - 120, gridHeight - 2 * kLineHeight);
  occupationNote_ = note(occupations, "lblOccupationNote");
  connect(pageButton(occupations, "cmdOccupationCsv"), &QPushButton::clicked, this, &RatesWindow::writeOccupationCsv);

  QWidget* devices = page("pageDevices", QStringLiteral("原因器材別"));
  deviceGrid_ = Named(new ResultGrid(devices), "gridDevices");
  PlaceTw(deviceGrid_, 60, 60, kPageWidth - 120, gridHeight - 2 * kLineHeight);
  deviceNote_ = note(devices, "lblDeviceNote");
  connect(pageButton(devices, "cmdDeviceCsv"), &QPushButton::clicked, this, &RatesWindow::writeDeviceCsv);

  QWidget* trend = page("pageTrend", QStringLiteral("推移"));
  trendArea_ = Named(new GraphArea(kPageWidth - 120, kPageHeight - 120, trend), "Picture1");
  trendArea_->move(Twips(60), Twips(60));

  QWidget* comparison = page("pageComparison", QStringLiteral("介入の前後"));
  buildComparisonPage(comparison);

  networkPage_ = Named(new NetworkComparisonPage(state_, kPageWidth, kPageHeight, pages_), "pageNetwork");
  pages_->addTab(networkPage_, QStringLiteral("ネットワークとの比較"));
}

void RatesWindow::buildComparisonPage(QWidget* page) {
  Named(PlaceLabel(page, QStringLiteral("介入"), 60, 120, 600, kLineHeight), "lblIntervention");
  interventionList_ = Named(new QComboBox(page), "cboIntervention");
  PlaceTw(interventionList_, 660, 105, 6300, kLineHeight + 30);
  Named(PlaceLabel(page, QStringLiteral("前後の月数"), 7200, 120, 1200, kLineHeight), "lblMonths");
  monthsBox_ = Named(new QSpinBox(page), "spnMonths");
  monthsBox_->setRange(1, kMaxComparisonMonths);
  monthsBox_->setValue(kDefaultComparisonMonths);
  monthsBox_->setSuffix(QStringLiteral(" か月"));
  PlaceTw(monthsBox_, 8400, 105, 1200, kLineHeight + 30);
  Named(PlaceLabel(page, QStringLiteral("分母"), 9900, 120, 600, kLineHeight), "lblBase");
  baseList_ = Named(new QComboBox(page), "cboBase");
  for (const ComparisonBase base :
       {ComparisonBase::Beds, ComparisonBase::Staff, ComparisonBase::PatientDays, ComparisonBase::Months})
    baseList_->addItem(
        ComparisonBaseName(base) + QStringLiteral("（") + ComparisonRateUnit(base) + QStringLiteral("）"),
        static_cast<int>(base));
  PlaceTw(baseList_, 10500, 105, 3900, kLineHeight + 30);

  comparisonCaption_ = Named(PlaceLabel(page, QString(), 60, 600, kPageWidth - 120, 2 * kLineHeight), "lblComparison");
  comparisonCaption_->setWordWrap(true);
  comparisonCaption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  comparisonGrid_ = Named(new ResultGrid(page), "gridComparison");
  PlaceTw(comparisonGrid_, 60, 1380, kPageWidth - 120, 1800);
  auto* explanation = Named(PlaceLabel(page, ComparisonExplanation(), 60, 3300, kPageWidth - 120, 3 * kLineHeight),
                            "lblComparisonNote");
  explanation->setWordWrap(true);
  explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* csv = Named(PlaceButton(page, QStringLiteral("この表をCSVファイルに変換"), kPageWidth - 3150,
                                kPageHeight - kButtonHeight - 60, 3090, kButtonHeight),
                    "cmdComparisonCsv");
  connect(csv, &QPushButton::clicked, this, &RatesWindow::writeComparisonCsv);
  connect(interventionList_, &QComboBox::currentIndexChanged, this, [this] {
    if (!loading_) compare();
  });
  connect(monthsBox_, &QSpinBox::valueChanged, this, [this] {
    if (!loading_) compare();
  });
  connect(baseList_, &QComboBox::currentIndexChanged, this, [this] {
    if (!loading_) compare();
  });
}

void RatesWindow::buildButtons() {
  const int right = kClientWidth - kLeft;
  closeButton_ =
      Named(PlaceButton(this, QStringLiteral("戻る"), right - 1215, kButtonsTop, 1215, kButtonHeight), "cmdClose");
  printTrendButton_ = Named(
      PlaceButton(this, QStringLiteral("推移の印刷"), right - 1215 - 120 - 1500, kButtonsTop, 1500, kButtonHeight),
      "cmdPrintTrend");
  printTablesButton_ = Named(
      PlaceButton(this, QStringLiteral("表の印刷"), right - 1215 - 2 * (120 + 1500), kButtonsTop, 1500, kButtonHeight),
      "cmdPrintTables");
  csvButton_ = Named(PlaceButton(this, QStringLiteral("CSVファイル変換"), right - 1215 - 2 * (120 + 1500) - 120 - 2100,
                                 kButtonsTop, 2100, kButtonHeight),
                     "cmdCsv");
  connect(closeButton_, &QPushButton::clicked, this, &RatesWindow::reject);
  connect(printTrendButton_, &QPushButton::clicked, this, &RatesWindow::printTrend);
  connect(printTablesButton_, &QPushButton::clicked, this, &RatesWindow::printTables);
  connect(csvButton_, &QPushButton::clicked, this, &RatesWindow::writeRatesCsv);
}

void RatesWindow::recompute() {
  Prompts& prompts = state_.prompts();
  prompts.setBusy(true);
  kind_ = ReadYearKind(state_.database);
  QString error;
  const bool read = LoadDenominators(state_.database, &denominators_, &error) &&
                    LoadInterventions(state_.database, &interventions_, &error);
  counts_ = CountRates(state_.paths, state_.counters.NewestFileNo, state_.lists, period_->period(), filters_->filter(),
                       kind_);
  fillTables();
  fillComparisonChoices();
  compare();
  drawTrend();
  prompts.setBusy(false);
  if (!read) prompts.message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Exclamation);
  unreadableNotice_.tell(prompts, state_.paths, counts_.unreadableFiles, counts_.cutShortFiles);
}

void RatesWindow::fillTables() {
  ratesRows_ = RatesTable(counts_, denominators_);
  occupationRows_ = OccupationTable(counts_, denominators_);
  deviceRows_ = DeviceTable(counts_, denominators_);
  ShowTextTable(ratesGrid_, RatesTableTexts(ratesRows_, kind_, YearForm::Label), 1, kValueColumnWidth,
                kValueColumnWidth);
  ratesGrid_->grid().setColWidth(7, kStaffColumnWidth);  // 常勤換算職員数
  ShowTextTable(occupationGrid_, OccupationTableTexts(occupationRows_, counts_), 2, kLabelColumnWidth,
                kGroupValueWidth);
  ShowTextTable(deviceGrid_, DeviceTableTexts(deviceRows_, counts_), 2, kLabelColumnWidth + 1500, kGroupValueWidth);

  QString kindText = QStringLiteral("年の区切り: ") + KindCaption(kind_);
  if (!state_.database.isOpen()) kindText += QStringLiteral("　（データベースを開けないため、分母はありません）");
  yearKindLabel_->setText(kindText + QStringLiteral("\n（「分母の登録」で変えられます）"));
  QString note = QStringLiteral(
      "率は件数÷分母×100、区間は95%信頼区間（正確法）です。分母のない年は件数だけを示します。"
      "計算期間が一部だけにかかる年は、期間内の件数を数え、分母を期間内の日数の割合で按分"
      "しています。");
  if (counts_.staffCodes.size() == 1 && counts_.occupations.size() != 1)
    note += QStringLiteral("常勤換算職員数は、抽出条件で選んだ職種の値です。");
  note += StaffRateNote(StaffLeftOut(counts_, occupationRows_, ratesRows_));
  ratesNote_->setText(note);
  occupationNote_->setText(OccupationTableNote(GroupLeftOut(counts_, occupationRows_, counts_.byOccupation)));
  deviceNote_->setText(DeviceTableNote(GroupLeftOut(counts_, deviceRows_, counts_.byDevice)));
}

void RatesWindow::fillComparisonChoices() {
  const std::int64_t chosen =
      interventionList_->currentIndex() >= 0 ? interventionList_->currentData().toLongLong() : -1;
  const QSignalBlocker quiet(interventionList_);
  interventionList_->clear();
  for (const Intervention& i : interventions_)
    interventionList_->addItem(InterventionText(i), QVariant::fromValue<qlonglong>(i.id));
  int at = interventionList_->findData(QVariant::fromValue<qlonglong>(chosen));
  if (at < 0) {
    // The first one inside the period, else the first.
    at = interventions_.empty() ? -1 : 0;
    for (std::size_t i = 0; i < interventions_.size(); ++i) {
      const QDate d = interventions_[i].date;
      const std::optional<std::int32_t> day = SerialDay(d.year(), d.month(), d.day());
      if (day && !counts_.days.empty() && *day >= counts_.days.first && *day <= counts_.days.last) {
        at = static_cast<int>(i);
        break;
      }
    }
  }
  interventionList_->setCurrentIndex(at);
}

void RatesWindow::compare() {
  const int at = interventionList_->currentIndex();
  if (at < 0 || at >= static_cast<int>(interventions_.size())) {
    comparison_ = BeforeAfter();
    comparison_.problem = QStringLiteral("介入が登録されていません。「分母の登録」で介入を登録すると比べられます。");
  } else {
    comparison_ =
        CompareBeforeAfter(counts_, denominators_, interventions_[static_cast<std::size_t>(at)], monthsBox_->value(),
                           static_cast<ComparisonBase>(baseList_->currentData().toInt()));
  }
  comparisonCaption_->setText(comparison_.problem.isEmpty() ? ComparisonCaption(comparison_) : comparison_.problem);
  ShowTextTable(comparisonGrid_, ComparisonTexts(comparison_), 1, 1500, 1800);
}

TrendGraph RatesWindow::trendGraph() const { return TrendGraph{MonthlyCounts(counts_), interventions_, kind_}; }

void RatesWindow::drawTrend() {
  const QSize size = trendArea_->textPicture()->parentWidget()->size();
  PainterSurface picture(size);
  picture.SetAntialiased(true);
  picture.SetScale(0, 0, size.width(), size.height());
  picture.SetFontSize(9);
  TrendStyle style;
  style.lineHeight = 18;
  style.pointWidth = 5;
  style.pointHeight = 5;
  style.lineDots = 2;
  trendLayout_ = DrawTrendGraph(picture, trendGraph(), QRectF(10, 8, size.width() - 20, size.height() - 16), style);
  const QImage image = picture.Image();
  trendArea_->setPictures(image, image, 0);
}

QImage RatesWindow::trendPicture() const { return trendArea_->textImage(); }

RatesPrintHeading RatesWindow::heading(const QString& title) const {
  return RatesPrintHeading{title, period_->csvPeriodText() + QStringLiteral("日"), kind_,
                           FilterConditionsText(filters_->filter(), filters_->selectedTexts())};
}

RatesTablesPrint RatesWindow::tablesPrint() const {
  RatesTablesPrint print;
  print.heading = heading(kTitle);
  print.tables.push_back(PrintedTable{QStringLiteral("発生率（") + YearHeading(kind_) + QStringLiteral("別）"),
                                      RatesTableTexts(ratesRows_, kind_, YearForm::Label), 1, 1, ratesNote_->text()});
  print.tables.push_back(PrintedTable{QStringLiteral("職種別（常勤換算100人あたり）"),
                                      OccupationTableTexts(occupationRows_, counts_), 2, 3, occupationNote_->text()});
  print.tables.push_back(PrintedTable{QStringLiteral("原因器材別（購入10万個あたり）"),
                                      DeviceTableTexts(deviceRows_, counts_), 2, 3, deviceNote_->text()});
  if (comparison_.problem.isEmpty())
    print.tables.push_back(PrintedTable{QStringLiteral("介入の前後　") + ComparisonCaption(comparison_),
                                        ComparisonTexts(comparison_), 1, 1, ComparisonExplanation()});
  return print;
}

RatesTrendPrint RatesWindow::trendPrint() const {
  return RatesTrendPrint{heading(kTitle + QStringLiteral("　月別件数の推移")), trendGraph()};
}

void RatesWindow::writeRatesCsv() {
  WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("発生率.csv"), RatesCsvBytes(ratesRows_, kind_));
}

void RatesWindow::writeOccupationCsv() {
  WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("職種別発生率.csv"),
                    GroupCsvBytes(OccupationTableTexts(occupationRows_, counts_)));
}

void RatesWindow::writeDeviceCsv() {
  WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("原因器材別発生率.csv"),
                    GroupCsvBytes(DeviceTableTexts(deviceRows_, counts_)));
}

void RatesWindow::writeComparisonCsv() {
  if (!comparison_.problem.isEmpty()) {
    state_.prompts().message(comparison_.problem, kTitle, PromptIcon::Exclamation);
    return;
  }
  WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("介入の前後.csv"), ComparisonCsvBytes(comparison_));
}

void RatesWindow::printTables() { PrintRatesTables(state_.prompts(), tablesPrint()); }

void RatesWindow::printTrend() { PrintRatesTrend(state_.prompts(), trendPrint()); }

}  // namespace orvanta
