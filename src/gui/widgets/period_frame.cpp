#include "gui/widgets/period_frame.h"

#include <QLabel>
#include <QPushButton>

#include "core/output/csv_file.h"
#include "gui/widgets/date_field_widget.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

const QString kNote = QStringLiteral("集計期間を変更した場合は「再計算」ボタンをクリックしてください。");
constexpr int kLineHeight = 195;  // one line of 9-point text

}  // namespace

PeriodFrame::PeriodFrame(const PeriodFrameLayout& layout, QWidget* parent)
    : QGroupBox(QStringLiteral("計算期間"), parent), layout_(layout) {
  setObjectName(QStringLiteral("Frame1"));
  dates_ = new DateFieldControls(DateFieldVariant::Analysis, this);
  dates_->placeDate(0, this, layout.inset, layout.dateTop);
  const int secondLeft = layout.inset + dates_->dateRowWidthTwips(0) + layout.dateGap;
  dates_->placeDate(1, this, secondLeft, layout.dateTop);
  const int buttonLeft = secondLeft + dates_->dateRowWidthTwips(1) + layout.buttonGap;

  recomputeButton_ =
      Named(PlaceButton(this, layout.buttonText, buttonLeft, layout.buttonTop, layout.buttonWidth, layout.buttonHeight),
            "Command4");
  connect(recomputeButton_, &QPushButton::clicked, this, &PeriodFrame::recomputeClicked);
  int right = buttonLeft + layout.buttonWidth;

  if (layout.note == PeriodFrameLayout::Note::Beside) {
    // Two lines beside the button.
    const int noteLeft = right + 120;
    note_ = new QLabel(kNote, this);
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PlaceTw(note_, noteLeft, layout.noteTop, layout.noteWidth, 2 * kLineHeight + 30);
    right = noteLeft + layout.noteWidth;
  } else if (layout.note == PeriodFrameLayout::Note::Below) {
    note_ = new QLabel(kNote, parent);
  }
  if (note_ && layout.noteName) note_->setObjectName(QString::fromLatin1(layout.noteName));
  widthTwips_ = right + layout.rightMargin;
  PlaceTw(this, 0, 0, widthTwips_, layout.frameHeight);
}

PeriodFrame::~PeriodFrame() = default;

void PeriodFrame::place(int leftTwips, int topTwips) {
  PlaceTw(this, leftTwips, topTwips, widthTwips_, layout_.frameHeight);
  if (layout_.note == PeriodFrameLayout::Note::Below)
    PlaceTw(note_, leftTwips + layout_.noteIndent, topTwips + layout_.frameHeight + layout_.noteGap);
}

AnalysisPeriod PeriodFrame::period() const {
  return AnalysisPeriod{{dates_->year(0), dates_->month(0), dates_->day(0)},
                        {dates_->year(1), dates_->month(1), dates_->day(1)}};
}

void PeriodFrame::showPeriod(const AnalysisPeriod& period) {
  dates_->model().setLoading(true);
  dates_->showDate(1, period.to.year, period.to.month, period.to.day);
  dates_->showDate(0, period.from.year, period.from.month, period.from.day);
  dates_->model().setLoading(false);
}

QString PeriodFrame::csvPeriodText() const {
  return CsvPeriodText(dates_->text(DatePart::Year, 0), dates_->text(DatePart::Month, 0),
                       dates_->text(DatePart::Day, 0), dates_->text(DatePart::Year, 1),
                       dates_->text(DatePart::Month, 1), dates_->text(DatePart::Day, 1));
}

}  // namespace orvanta
