#pragma once
// Placing controls at their designed positions. Positions and sizes are given
// in twips, as the windows were designed (15 twips = 1 logical pixel); Qt
// scales logical pixels on high-density screens. A size of -1 leaves the
// control its natural size in that direction.

#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

namespace orvanta {

constexpr int Twips(int twips) { return (twips + 7) / 15; }

// Moves (and when width/height are given, sizes) a control, in twips.
inline void PlaceTw(QWidget* w, int left, int top, int width = -1, int height = -1) {
  w->move(Twips(left), Twips(top));
  if (width >= 0 || height >= 0) {
    const QSize hint = w->sizeHint();
    w->resize(width >= 0 ? Twips(width) : hint.width(), height >= 0 ? Twips(height) : hint.height());
  } else {
    w->adjustSize();
  }
}

// The object name of a control: its name, or for a member of a control array
// its name, an underscore and its index ("Command2_8").
inline QString ControlName(const char* name, int index = -1) {
  return index < 0 ? QString::fromLatin1(name) : QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

template <typename W>
W* Named(W* w, const char* name, int index = -1) {
  w->setObjectName(ControlName(name, index));
  return w;
}

// A label: a caption of one line (left-aligned and centred vertically) or,
// with word wrap switched on, a note.
QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width = -1, int height = -1);

// A frame with a title.
QGroupBox* PlaceFrame(QWidget* parent, const QString& title, int left, int top, int width, int height);

// A push button that Enter in a text box never presses of its own accord (it
// is no auto-default button); NewButton leaves it to be placed later.
QPushButton* NewButton(QWidget* parent, const QString& caption);
QPushButton* PlaceButton(QWidget* parent, const QString& caption, int left, int top, int width, int height);

// The row of a list window's bottom right corner: "CSVファイル変換" (cmdCsv),
// "印刷" (cmdPrint) and "戻る" (cmdBack), placed in a window of the given
// size in pixels.
struct ListButtons {
  QPushButton* csv;
  QPushButton* print;
  QPushButton* back;
};
ListButtons PlaceListButtons(QWidget* parent, int widthPx, int heightPx);

}  // namespace orvanta
