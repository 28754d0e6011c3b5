#pragma once
// The period frame of the analysis views: the frame "計算期間" (Frame1) with
// the from-date and to-date fields, the button that computes again
// (Command4, "再計算" or "再表示") and the note "集計期間を変更した場合は
// 「再計算」ボタンをクリックしてください。", either beside the button inside
// the frame, under the frame, or not at all. Editing a date computes
// nothing; the views read period() when they compute.

#include <QGroupBox>
#include <QString>

#include "core/analysis/analysis_axis.h"

class QLabel;
class QPushButton;

namespace orvanta {

class DateFieldControls;

// Where the parts go, in twips. The frame is as wide as its contents.
struct PeriodFrameLayout {
  QString buttonText = QStringLiteral("再計算");
  int inset = 120;      // from the frame's left edge to the from-date
  int dateTop = 255;    // top of the date rows inside the frame
  int dateGap = 180;    // between the two dates
  int buttonGap = 180;  // between the to-date and the button
  int buttonTop = 255;
  int buttonWidth = 900;
  int buttonHeight = 300;
  int rightMargin = 60;  // right of the last part inside the frame
  int frameHeight = 690;
  enum class Note { Beside, Below, None };
  Note note = Note::Beside;
  // Beside: the note wraps in two lines of this width right of the button.
  int noteWidth = 3450;
  int noteTop = 195;
  // Below: the note stands this far under the frame and right of its left
  // edge, with this object name (none when empty).
  int noteGap = 75;
  int noteIndent = 0;
  const char* noteName = nullptr;
};

class PeriodFrame : public QGroupBox {
  Q_OBJECT

 public:
  PeriodFrame(const PeriodFrameLayout& layout, QWidget* parent);
  ~PeriodFrame() override;

  // Puts the frame (and a note under it) at its place in the parent.
  void place(int leftTwips, int topTwips);
  int widthTwips() const { return widthTwips_; }
  int heightTwips() const { return layout_.frameHeight; }

  // The period the spin buttons hold now.
  AnalysisPeriod period() const;
  // Writes a period into the boxes (to-date first) without the date fields'
  // own stepping running in between.
  void showPeriod(const AnalysisPeriod& period);
  // The period line of a CSV file, from the texts of the six boxes.
  QString csvPeriodText() const;

  DateFieldControls& dates() { return *dates_; }
  const DateFieldControls& dates() const { return *dates_; }
  QPushButton* recomputeButton() const { return recomputeButton_; }
  QLabel* note() const { return note_; }  // null with Note::None

 signals:
  // The button was pressed.
  void recomputeClicked();

 private:
  PeriodFrameLayout layout_;
  DateFieldControls* dates_ = nullptr;
  QPushButton* recomputeButton_ = nullptr;
  QLabel* note_ = nullptr;
  int widthTwips_ = 0;
};

}  // namespace orvanta
