#pragma once
// The body-site page of the report entry window (question 12): the drawing
// of the front and back of a body and of both hands (`Image1`), a number
// label `lblBui`(i) on the spot of every site, and a check box `CHKbui`(i)
// per site in four columns at the right of the drawing. Index i is the site
// number minus one; site 29 (index 28) has neither.

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

#include "core/reports/body_site_drawing.h"

class QCheckBox;
class QPaintEvent;
class QMouseEvent;

namespace orvanta {

// `Image1`: shows the drawing at its own size.
class BodySiteDrawing : public QWidget {
  Q_OBJECT
 public:
  explicit BodySiteDrawing(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A number label on the drawing; a left click on it is reported by clicked().
class BodySiteNumberLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

class BodySitePage : public QWidget {
  Q_OBJECT
 public:
  // names: the body-site names, index = site number - 1; each label shows
  // its site's name as tooltip.
  explicit BodySitePage(const std::array<QString, 81>& names, QWidget* parent = nullptr);

  // Sets every check box from the marks (non-zero = marked) and colours its
  // label red or black, without emitting siteToggled.
  void showMarks(const std::array<std::int16_t, 81>& sites);
  // Clears every check box and draws every label black, without emitting.
  void clearMarks();

 signals:
  // A check box changed, by its own click or by a click on its label:
  // value 1 when marked, 0 when cleared.
  void siteToggled(int index, int value);

 private:
  void onLabelClicked(int index);
  void onBoxToggled(int index, bool checked);
  void colourLabel(int index, bool marked);

  std::array<QCheckBox*, 65> boxes_{};
  std::array<BodySiteNumberLabel*, 65> labels_{};
  bool filling_ = false;
};

}  // namespace orvanta
