#include "gui/widgets/date_field_widget.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

// Sizes in twips.
constexpr int kRowHeight = 300;      // text boxes, spin buttons and captions
constexpr int kYearBoxWidth = 600;   // " 2004" with room for the cursor
constexpr int kShortBoxWidth = 390;  // " 12"
constexpr int kSpinWidth = 240;
constexpr int kWeekdayWidth = 255;  // one full-width character
// Gaps in pixels.
constexpr int kGapAfterSpin = 2;
constexpr int kGapAfterCaption = 3;

// A spin button: a vertical scroll bar showing only its two arrows. The
// upper arrow, the wheel turned up and the Up key increase the value.
//
// QScrollBar always gives its upper arrow the action that lowers the value
// (inverted appearance and controls change only the handle and the keys), so
// the arrow actions are turned round while they are applied: the value is
// not yet taken when actionTriggered is emitted, and the slider position set
// there is the one taken.
class SpinScrollBar : public QScrollBar {
 public:
  SpinScrollBar(const SpinRange& range, QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setRange(range.min, range.max);
    setSingleStep(1);
    setPageStep(1);
    setInvertedAppearance(true);              // higher values towards the top
    setInvertedControls(true);                // Up key: the upper arrow's action
    setContextMenuPolicy(Qt::NoContextMenu);  // no "Top"/"Bottom" jumps
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
      switch (action) {
        case SliderSingleStepSub: setSliderPosition(value() + singleStep()); break;
        case SliderSingleStepAdd: setSliderPosition(value() - singleStep()); break;
        case SliderPageStepSub: setSliderPosition(value() + pageStep()); break;
        case SliderPageStepAdd: setSliderPosition(value() - pageStep()); break;
        default: break;
      }
    });
  }

 protected:
  // One step per notch of the wheel, in the direction of the arrows.
  void wheelEvent(QWheelEvent* event) override {
    const QPoint delta = event->angleDelta();
    wheel_ += delta.y() != 0 ? delta.y() : delta.x();
    while (wheel_ >= 120) {
      wheel_ -= 120;
      triggerAction(SliderSingleStepSub);
    }
    while (wheel_ <= -120) {
      wheel_ += 120;
      triggerAction(SliderSingleStepAdd);
    }
    event->accept();
  }

 private:
  int wheel_ = 0;
};

// A caption of the row, vertically centred on the row's height; returns the
// x where the next control starts.
int PlaceCaption(QWidget* parent, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->move(x, y);
  label->resize(label->sizeHint().width(), Twips(kRowHeight));
  label->show();
  return x + label->width() + kGapAfterCaption;
}

}  // namespace

DateFieldControls::DateFieldControls(DateFieldVariant variant, QObject* parent)
    : QObject(parent), model_(variant, this) {}

DateFieldControls::~DateFieldControls() { model_.setListener(nullptr); }

int DateFieldControls::rowHeightTwips() { return kRowHeight; }

int DateFieldControls::dateRowWidthTwips(int index) const {
  if (index < 0 || index >= kDateFieldCount) return 0;
  return rowWidth_[index] * 15;
}

DateFieldControls::Controls& DateFieldControls::slot(DatePart part, int index) {
  if (part == DatePart::Hour) return time_[0];
  if (part == DatePart::Minute) return time_[1];
  return date_[index][static_cast<int>(part)];
}

const DateFieldControls::Controls* DateFieldControls::find(DatePart part, int index) const {
  if (part == DatePart::Hour || part == DatePart::Minute) {
    if (index != 0) return nullptr;
    return &time_[part == DatePart::Hour ? 0 : 1];
  }
  if (index < 0 || index >= kDateFieldCount) return nullptr;
  return &date_[index][static_cast<int>(part)];
}

QLineEdit* DateFieldControls::box(DatePart part, int index) const {
  const Controls* c = find(part, index);
  return c ? c->box.data() : nullptr;
}

QScrollBar* DateFieldControls::spin(DatePart part, int index) const {
  const Controls* c = find(part, index);
  return c ? c->spin.data() : nullptr;
}

QLabel* DateFieldControls::weekdayLabel(int index) const {
  if (index < 0 || index >= kDateFieldCount) return nullptr;
  return weekday_[index].data();
}

int DateFieldControls::placePair(DatePart part, int index, QWidget* parent, int x, int y, int boxWidthTwips,
                                 const char* boxName, const char* spinName) {
  auto* box = Named(new QLineEdit(parent), boxName, index);
  box->setAttribute(Qt::WA_InputMethodEnabled, false);
  box->setGeometry(x, y, Twips(boxWidthTwips), Twips(kRowHeight));
  box->setText(model_.text(part, index));
  x += box->width();

  auto* spin = Named(new SpinScrollBar(RangeOf(part), parent), spinName, index);
  spin->setGeometry(x, y, Twips(kSpinWidth), Twips(kRowHeight));
  spin->setValue(model_.spinValue(part, index));
  x += spin->width();

  Controls& c = slot(part, index);
  c.box = box;
  c.spin = spin;

  // A box typed into (or written by the window) runs its handler; a spin
  // button clicked (or set by the window) takes its value. Both come back
  // through the listener, which updates the controls with their signals
  // blocked.
  connect(box, &QLineEdit::textChanged, this,
          [this, part, index](const QString& text) { onBoxTextChanged(part, index, text); });
  if (model_.variant() == DateFieldVariant::Report) {
    connect(box, &QLineEdit::inputRejected, this, &DateFieldControls::inputRefused);
    connect(box, &QLineEdit::editingFinished, this, [this, part, index] { model_.finishTyping(part, index); });
  }
  connect(spin, &QAbstractSlider::valueChanged, this,
          [this, part, index](int value) { model_.setSpinValue(part, index, value); });

  box->show();
  spin->show();
  return x + kGapAfterSpin;
}

void DateFieldControls::placeDate(int index, QWidget* parent, int leftTwips, int topTwips) {
  if (index < 0 || index >= kDateFieldCount || !parent) return;
  const bool report = model_.variant() == DateFieldVariant::Report;
  const int left = Twips(leftTwips);
  const int y = Twips(topTwips);
  int x = left;
  if (report) x = PlaceCaption(parent, QStringLiteral("西暦"), x, y);
  x = placePair(DatePart::Year, index, parent, x, y, kYearBoxWidth, "txy", "VSy");
  x = PlaceCaption(parent, QStringLiteral("年"), x, y);
  x = placePair(DatePart::Month, index, parent, x, y, kShortBoxWidth, "txm", "VSm");
  x = PlaceCaption(parent, QStringLiteral("月"), x, y);
  x = placePair(DatePart::Day, index, parent, x, y, kShortBoxWidth, "txd", "VSd");
  if (report) {
    x = PlaceCaption(parent, QStringLiteral("日"), x, y);
    auto* label = Named(new QLabel(model_.weekday(index), parent), "Label12", index);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // reads "土曜日"
    label->setGeometry(x, y, Twips(kWeekdayWidth), Twips(kRowHeight));
    label->show();
    weekday_[index] = label;
    x = PlaceCaption(parent, QStringLiteral("曜日"), x + label->width(), y);
  } else {
    x = PlaceCaption(parent, index == 0 ? QStringLiteral("日～") : QStringLiteral("日"), x, y);
  }
  rowWidth_[index] = x - kGapAfterCaption - left;
}

void DateFieldControls::placeTime(QWidget* parent, int leftTwips, int topTwips) {
  if (model_.variant() != DateFieldVariant::Report || !parent) return;
  const int y = Twips(topTwips);
  int x = Twips(leftTwips);
  x = placePair(DatePart::Hour, 0, parent, x, y, kShortBoxWidth, "txhour", "vsHour");
  x = PlaceCaption(parent, QStringLiteral("時"), x, y);
  x = placePair(DatePart::Minute, 0, parent, x, y, kShortBoxWidth, "txmin", "vsMin");
  PlaceCaption(parent, QStringLiteral("分"), x, y);
}

void DateFieldControls::onBoxTextChanged(DatePart part, int index, const QString& text) {
  QLineEdit* const saved = typingIn_;
  typingIn_ = box(part, index);
  const bool kept = model_.editText(part, index, text);
  typingIn_ = saved;
  if (!kept) emit inputRefused();
}

void DateFieldControls::spinValueChanged(DatePart part, int index, int value) {
  QScrollBar* bar = spin(part, index);
  if (!bar || bar->value() == value) return;
  const QSignalBlocker block(bar);
  bar->setValue(value);
}

void DateFieldControls::textChanged(DatePart part, int index, const QString& text) {
  QLineEdit* edit = box(part, index);
  if (!edit || edit->text() == text) return;
  const QSignalBlocker block(edit);
  if (edit == typingIn_) {
    // The box the user is typing in was rewritten (a refused character
    // taken out again, a full-width digit made ASCII, in the analysis views
    // a day past 31 made 31): the cursor keeps its distance from the end.
    const qsizetype fromEnd = edit->text().size() - edit->cursorPosition();
    edit->setText(text);
    edit->setCursorPosition(static_cast<int>(std::max<qsizetype>(0, text.size() - fromEnd)));
  } else {
    edit->setText(text);
  }
}

void DateFieldControls::weekdayChanged(int index, const QString& name) {
  if (QLabel* label = weekdayLabel(index)) label->setText(name);
}

void DateFieldControls::storeValue(DatePart part, int index, int value) { emit valueStored(part, index, value); }

void DateFieldControls::markChanged() { emit changed(); }

}  // namespace orvanta
