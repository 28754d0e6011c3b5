#pragma once
// The graph area of the graph windows (Picture1): a white area that shows a
// picture (Picture2_1) under a vertical scroll bar (VScroll1) at its right
// edge. Each step of the scroll bar moves the picture up by 100 twips; the
// wheel over the picture scrolls too. A second picture (Picture2_0) is kept
// but never shown: only its image is used.

#include <QFrame>
#include <QImage>

class QScrollBar;

namespace orvanta {

class GraphPicture;

class GraphArea : public QFrame {
  Q_OBJECT

 public:
  // An area of the size given in twips, the scroll bar inside its right edge.
  GraphArea(int widthTwips, int heightTwips, QWidget* parent);

  // The images of the two pictures, and the scroll bar's maximum.
  void setPictures(const QImage& figure, const QImage& text, int scrollMaximum);
  // Shows nothing.
  void clearPictures();

  QScrollBar* scrollBar() const { return scrollBar_; }
  // The shown picture (Picture2_1) and the hidden one (Picture2_0).
  QWidget* textPicture() const;
  QWidget* figurePicture() const;
  QImage textImage() const;
  QImage figureImage() const;

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  void layOut();
  void scrollTo(int value);

  QWidget* viewport_ = nullptr;
  GraphPicture* figure_ = nullptr;
  GraphPicture* text_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
};

}  // namespace orvanta
