#include "gui/widgets/graph_area.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

constexpr int kScrollBarWidth = 255;  // twips
constexpr int kStepTwips = 100;

}  // namespace

// One picture: its image at its own size, nothing else.
class GraphPicture : public QWidget {
 public:
  explicit GraphPicture(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

  void setImage(const QImage& image) {
    image_ = image;
    resize(image.isNull() ? QSize(0, 0) : image.deviceIndependentSize().toSize());
    update();
  }
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (image_.isNull()) {
      p.fillRect(rect(), Qt::white);
      return;
    }
    p.drawImage(QPoint(0, 0), image_);
  }

 private:
  QImage image_;
};

GraphArea::GraphArea(int widthTwips, int heightTwips, QWidget* parent) : QFrame(parent) {
  setFixedSize(Twips(widthTwips), Twips(heightTwips));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, QColor(160, 160, 160));  // the frame's line
  setPalette(white);
  setAutoFillBackground(true);

  viewport_ = new QWidget(this);
  viewport_->setAutoFillBackground(false);
  text_ = new GraphPicture(viewport_);
  text_->setObjectName(QStringLiteral("Picture2_1"));
  figure_ = new GraphPicture(this);
  figure_->setObjectName(QStringLiteral("Picture2_0"));
  figure_->hide();

  scrollBar_ = Named(new QScrollBar(Qt::Vertical, this), "VScroll1");
  scrollBar_->setRange(0, 0);
  scrollBar_->setSingleStep(1);
  if (parent) scrollBar_->setPalette(parent->palette());  // not the white of the area
  connect(scrollBar_, &QScrollBar::valueChanged, this, &GraphArea::scrollTo);
  layOut();
}

QWidget* GraphArea::textPicture() const { return text_; }
QWidget* GraphArea::figurePicture() const { return figure_; }
QImage GraphArea::textImage() const { return text_->image(); }
QImage GraphArea::figureImage() const { return figure_->image(); }

void GraphArea::setPictures(const QImage& figure, const QImage& text, int scrollMaximum) {
  figure_->setImage(figure);
  text_->setImage(text);
  scrollBar_->setMaximum(std::max(scrollMaximum, 0));
  scrollTo(scrollBar_->value());
}

void GraphArea::clearPictures() { setPictures(QImage(), QImage(), 0); }

void GraphArea::layOut() {
  const QRect inside = contentsRect();
  const int barWidth = Twips(kScrollBarWidth);
  scrollBar_->setGeometry(inside.right() + 1 - barWidth, inside.top(), barWidth, inside.height());
  viewport_->setGeometry(inside.left(), inside.top(), inside.width() - barWidth, inside.height());
  // A page step shows the next screenful, less one step for orientation.
  const int visibleSteps = inside.height() * 15 / kStepTwips;
  scrollBar_->setPageStep(std::max(visibleSteps - 1, 1));
}

// The picture's top edge goes up by 100 twips a step.
void GraphArea::scrollTo(int value) { text_->move(0, -Twips(kStepTwips * value)); }

void GraphArea::wheelEvent(QWheelEvent* event) {
  if (scrollBar_->maximum() > 0) {
    QCoreApplication::sendEvent(scrollBar_, event);
  } else {
    event->ignore();
  }
}

}  // namespace orvanta
