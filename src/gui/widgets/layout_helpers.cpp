#include "gui/widgets/layout_helpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace orvanta {

QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
  auto* label = new QLabel(text, parent);
  PlaceTw(label, left, top, width, height);
  return label;
}

QGroupBox* PlaceFrame(QWidget* parent, const QString& title, int left, int top, int width, int height) {
  auto* frame = new QGroupBox(title, parent);
  PlaceTw(frame, left, top, width, height);
  return frame;
}

QPushButton* NewButton(QWidget* parent, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  return button;
}

QPushButton* PlaceButton(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
  QPushButton* button = NewButton(parent, caption);
  PlaceTw(button, left, top, width, height);
  return button;
}

ListButtons PlaceListButtons(QWidget* parent, int widthPx, int heightPx) {
  constexpr int kTwips = 15;  // per pixel
  const int top = (heightPx - 46) * kTwips;
  const int height = 32 * kTwips;
  return {
      Named(PlaceButton(parent, QStringLiteral("CSVファイル変換"), (widthPx - 388) * kTwips, top, 140 * kTwips, height),
            "cmdCsv"),
      Named(PlaceButton(parent, QStringLiteral("印刷"), (widthPx - 240) * kTwips, top, 108 * kTwips, height),
            "cmdPrint"),
      Named(PlaceButton(parent, QStringLiteral("戻る"), (widthPx - 124) * kTwips, top, 108 * kTwips, height),
            "cmdBack")};
}

}  // namespace orvanta
