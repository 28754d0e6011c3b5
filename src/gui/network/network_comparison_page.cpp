#include "gui/network/network_comparison_page.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/app/app_state.h"
#include "core/network/feedback_file.h"
#include "core/network/network_print.h"
#include "core/output/csv_file.h"
#include "core/output/painter_surface.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/rates/denominators.h"
#include "gui/widgets/graph_area.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/result_grid_widget.h"

namespace orvanta {
namespace {

constexpr int kButtonHeight = 375;
constexpr int kLineHeight = 330;
const QString kTitle = QStringLiteral("ネットワークとの比較");

}  // namespace

NetworkComparisonPage::NetworkComparisonPage(AppState& state, int width, int height, QWidget* parent)
    : QWidget(parent), state_(state) {
  auto* load = Named(PlaceButton(this, QStringLiteral("還元ファイルの読み込み"), 60, 60, 2700, kButtonHeight),
                     "cmdLoadFeedback");
  connect(load, &QPushButton::clicked, this, &NetworkComparisonPage::loadFeedback);
  load->setEnabled(state_.database.isOpen() && !state_.database.isReadOnly());
  Named(PlaceLabel(this, QStringLiteral("年度"), 3000, 90, 600, kLineHeight), "lblNetworkYear");
  yearList_ = Named(new QComboBox(this), "cboNetworkYear");
  PlaceTw(yearList_, 3600, 60, 2100, kLineHeight + 30);
  connect(yearList_, &QComboBox::currentIndexChanged, this, [this] {
    if (counted_) showYear();
  });
  csvButton_ = Named(PlaceButton(this, QStringLiteral("この表をCSVファイルに変換"), width - 3150 - 120 - 1800, 60, 3150,
                                 kButtonHeight),
                     "cmdNetworkCsv");
  printButton_ = Named(PlaceButton(this, QStringLiteral("比較の印刷"), width - 1800 - 60, 60, 1800, kButtonHeight),
                       "cmdNetworkPrint");
  connect(csvButton_, &QPushButton::clicked, this, &NetworkComparisonPage::writeCsv);
  connect(printButton_, &QPushButton::clicked, this, &NetworkComparisonPage::print);

  grid_ = Named(new ResultGrid(this), "gridNetworkComparison");
  PlaceTw(grid_, 60, 540, 8700, 2400);
  note_ = Named(PlaceLabel(this, QString(), 60, 3000, 8700, 4 * kLineHeight), "lblNetworkNote");
  note_->setWordWrap(true);
  note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  funnelArea_ = Named(new GraphArea(width - 8700 - 240, height - 600, this), "picNetworkFunnel");
  funnelArea_->move(Twips(8880), Twips(540));
  fillYears();
}

void NetworkComparisonPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!counted_) {
    counted_ = true;
    showYear();
  }
}

void NetworkComparisonPage::fillYears() {
  const QSignalBlocker quiet(yearList_);
  yearList_->clear();
  if (!state_.database.isOpen()) return;
  for (const NetworkYear& y : StoredFeedbackYears(state_.database))
    yearList_->addItem(NetworkYearLabel(y), QVariantList{y.year, y.kind == YearKind::Calendar ? 1 : 0});
}

void NetworkComparisonPage::loadFeedback() {
  Prompts& prompts = state_.prompts();
  const QString path = prompts.openFileName(QStringLiteral("還元ファイルの読み込み"), state_.paths.MyDocumentPath(),
                                            QStringLiteral("還元ファイル (*.sqlite);;すべてのファイル (*)"));
  if (path.isEmpty()) return;
  QString error;
  const std::optional<Feedback> feedback = ReadFeedbackFile(path, &error);
  if (!feedback) {
    prompts.message(QStringLiteral("「%1」は読み込めません。\n%2").arg(QDir::toNativeSeparators(path), error), kTitle,
                    PromptIcon::Exclamation);
    return;
  }
  if (!StoreFeedback(state_.database, *feedback, state_.clock().now(), &error)) {
    prompts.message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Exclamation);
    return;
  }
  prompts.message(QStringLiteral("還元ファイルを読み込みました（%1年分、%2作成）。")
                      .arg(feedback->years.size())
                      .arg(feedback->createdAt.left(10)),
                  kTitle, PromptIcon::Information);
  fillYears();
  if (yearList_->count() > 0) yearList_->setCurrentIndex(0);
  showYear();
}

void NetworkComparisonPage::showYear() {
  comparison_.reset();
  std::optional<FeedbackYear> network;
  if (yearList_->currentIndex() >= 0) {
    const QVariantList v = yearList_->currentData().toList();
    network = ReadStoredFeedback(
        state_.database,
        NetworkYear{v.value(0).toInt(), v.value(1).toInt() == 1 ? YearKind::Calendar : YearKind::Fiscal});
  }
  QString note;
  if (network) {
    state_.prompts().setBusy(true);
    Denominators denominators;
    LoadDenominators(state_.database, &denominators, nullptr);
    const OwnYear own = CountOwnYear(state_.paths, state_.counters.NewestFileNo, state_.lists, denominators,
                                     ReadYearKind(state_.database), network->year);
    comparison_ = CompareWithNetwork(*network, own);
    state_.prompts().setBusy(false);
    note = QStringLiteral("貴施設の件数は%1の全部の報告書の数、稼働病床数は「分母の登録」の値です。")
               .arg(NetworkYearLabel(network->year));
    if (!own.beds)
      note += QStringLiteral("この年の稼働病床数が（同じ年の区切りで）登録されていないため、率と位置は出せません。");
  } else {
    note = QStringLiteral("「還元ファイルの読み込み」で、ネットワークから届いた還元ファイルを読み込んでください。");
  }
  note_->setText(note);
  ShowTextTable(grid_, comparison_ ? NetworkComparisonTexts(*comparison_) : TextTable{}, 1, 2200, 900);
  csvButton_->setEnabled(comparison_.has_value());
  printButton_->setEnabled(comparison_.has_value());

  const QSize size = funnelArea_->textPicture()->parentWidget()->size();
  PainterSurface picture(size);
  picture.SetAntialiased(true);
  picture.SetScale(0, 0, size.width(), size.height());
  picture.SetFontSize(9);
  FunnelStyle style;
  funnelLayout_ = comparison_ ? DrawFunnelPlot(picture, NetworkComparisonPlot(*comparison_),
                                               QRectF(10, 8, size.width() - 20, size.height() - 16), style)
                              : FunnelLayout{};
  const QImage image = picture.Image();
  funnelArea_->setPictures(image, image, 0);
}

QImage NetworkComparisonPage::funnelPicture() const { return funnelArea_->textImage(); }

void NetworkComparisonPage::writeCsv() {
  if (!comparison_) return;
  WriteCsvFileBytes(state_.prompts(), state_.paths,
                    QStringLiteral("ネットワークとの比較_%1.csv").arg(comparison_->network.year.year),
                    NetworkComparisonCsvBytes(*comparison_));
}

void NetworkComparisonPage::print() {
  if (comparison_) PrintNetworkComparison(state_.prompts(), *comparison_);
}

}  // namespace orvanta
