#pragma once
// A surface that draws nothing and logs every operation in user units with
// the state it was drawn in, so that a test can say "text X at (150, 350) in
// 9 point" or "filled box (0, 20)-(1000, 80) in colour 12".

#include <QString>
#include <optional>
#include <vector>

#include "core/output/surface.h"

namespace orvanta {

class RecordingSurface final : public Surface {
 public:
  enum class Op { Text, Line, Box, FilledBox, Arc, Picture, Clear, NewPage, EndDocument, Orientation };

  struct Entry {
    Op op = Op::Text;
    int page = 0;                           // counted from 0; NewPage records the number of the page it starts
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a text's and a picture's x1, y1 is its position
    QString text;                           // Text: the text; Picture: the picture's path
    double fontSize = 0;
    QColor color;  // the foreground, or the colour given with the call
    int lineWidth = 1;
    LineStyle lineStyle = LineStyle::Solid;
    FillStyle fillStyle = FillStyle::None;
    QColor fillColor;
    double radius = 0, startAngle = 0, endAngle = 0;  // Arc
    bool withRadii = false;                           // Arc
    PageOrientation orientation = PageOrientation::Portrait;
  };

  void PrintText(const QString& text) override;
  // The recording surface has no font to measure: every character is taken
  // as CharacterWidth() units wide (0 until set).
  // With a character width set, every character is that wide; otherwise the
  // surface's estimate.
  double TextWidth(const QString& text) const override {
    return characterWidth_ > 0 ? characterWidth_ * static_cast<double>(text.size()) : Surface::TextWidth(text);
  }
  void SetCharacterWidth(double units) { characterWidth_ = units; }
  double CharacterWidth() const { return characterWidth_; }
  using Surface::DrawBox;
  using Surface::DrawLine;
  void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) override;
  void DrawBox(double x1, double y1, double x2, double y2, const QColor& color) override;
  void FillBox(double x1, double y1, double x2, double y2, const QColor& color) override;
  void DrawArc(double cx, double cy, double radius, const QColor& outline, double startAngle, double endAngle,
               bool withRadii) override;
  void DrawPicture(const QString& svgPath, double x, double y, double width, double height) override;
  void Clear() override;
  bool NewPage() override;
  bool EndDocument() override;
  void SetOrientation(PageOrientation orientation) override;

  const std::vector<Entry>& entries() const { return entries_; }
  // Number of pages drawn on (1 + the number of NewPage calls).
  int pageCount() const { return page_ + 1; }
  bool ended() const { return ended_; }

  // Every entry of one kind, optionally on one page only.
  std::vector<Entry> all(Op op, std::optional<int> page = std::nullopt) const;
  // The texts in drawing order, optionally of one page.
  QStringList texts(std::optional<int> page = std::nullopt) const;
  // The first text entry with exactly this text, optionally on one page.
  std::optional<Entry> findText(const QString& text, std::optional<int> page = std::nullopt) const;

 private:
  Entry Stamp(Op op) const;

  std::vector<Entry> entries_;
  int page_ = 0;
  bool ended_ = false;
  double characterWidth_ = 0;
};

}  // namespace orvanta
