#include "core/network/funnel_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/network/funnel_statistics.h"
#include "core/output/surface.h"

namespace orvanta {
namespace {

const QColor kPointColor(70, 110, 170);
const QColor kOutsideColor(200, 30, 30);
const QColor kHighlightColor(245, 130, 0);
const QColor k95Color(40, 90, 200);
const QColor k998Color(200, 30, 30);
const QColor kGridColor(225, 225, 225);

QString Number(double value) {
  if (std::fabs(value - std::round(value)) < 1e-9) return QString::number(std::llround(value));
  return QString::number(value, 'f', value < 1 ? 2 : 1);
}

}  // namespace

double RoundAxisTop(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double m : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
    if (m * power >= value * (1 - 1e-12)) return m * power;
  return 10 * power;
}

FunnelLayout DrawFunnelPlot(Surface& s, const FunnelPlotData& data, const QRectF& box, const FunnelStyle& style) {
  FunnelLayout layout;
  const double line = style.lineHeight;
  // Room for the legend above, the y labels at the left, the x labels and
  // the axis title below.
  const double yLabelWidth = s.TextWidth(QStringLiteral("000.0")) + s.TextWidth(QStringLiteral("0"));
  const QRectF plot(box.left() + yLabelWidth + line * 1.2, box.top() + line * 2.2,
                    box.width() - yLabelWidth - line * 1.2 - s.TextWidth(QStringLiteral("00000000")) * 0.6,
                    box.height() - line * 4.6);
  layout.plot = plot;

  double maxBeds = 0;
  double maxRate = data.target * 2;
  for (const FunnelPoint& p : data.points) {
    maxBeds = std::max(maxBeds, p.beds);
    maxRate = std::max(maxRate, p.rate);
  }
  layout.xTop = RoundAxisTop(maxBeds * 1.05);
  layout.yTop = RoundAxisTop(maxRate * 1.08);
  const double xTop = layout.xTop;
  const double yTop = layout.yTop;
  const auto X = [&](double beds) { return plot.left() + beds / xTop * plot.width(); };
  const auto Y = [&](double rate) { return plot.bottom() - rate / yTop * plot.height(); };

  // Grid and axes with five steps each.
  s.SetLineStyle(LineStyle::Solid);
  s.SetLineWidth(1);
  for (int i = 0; i <= 5; ++i) {
    const double beds = xTop * i / 5;
    const double rate = yTop * i / 5;
    if (i > 0) {
      s.DrawLine(X(beds), plot.top(), X(beds), plot.bottom(), kGridColor);
      s.DrawLine(plot.left(), Y(rate), plot.right(), Y(rate), kGridColor);
    }
    const QString xText = Number(beds);
    s.SetPosition(X(beds) - s.TextWidth(xText) / 2, plot.bottom() + line * 0.2);
    s.PrintText(xText);
    const QString yText = Number(rate);
    s.SetPosition(plot.left() - s.TextWidth(yText) - line * 0.3, Y(rate) - line / 2);
    s.PrintText(yText);
  }
  s.DrawBox(plot.left(), plot.top(), plot.right(), plot.bottom(), Qt::black);
  const QString xTitle = QStringLiteral("稼働病床数");
  s.SetPosition(plot.center().x() - s.TextWidth(xTitle) / 2, plot.bottom() + line * 1.3);
  s.PrintText(xTitle);
  s.SetPosition(box.left(), box.top() + line * 1.1);
  s.PrintText(QStringLiteral("100床あたり件数"));

  // The target and the limits: curves from a few beds to the right edge,
  // sampled more closely where they bend (small sizes).
  const auto curve = [&](double p, const QColor& color, LineStyle lineStyle) {
    s.SetLineStyle(lineStyle);
    s.SetLineWidth(style.curveDots);
    const int steps = 240;
    const double first = xTop / 2000;
    double lastX = 0, lastY = 0;
    bool have = false;
    for (int i = 0; i <= steps; ++i) {
      const double beds = first * std::pow(xTop / first, static_cast<double>(i) / steps);
      const auto limits = FunnelLimitsAt(data.target, beds);
      if (!limits) continue;
      double rate = p == kFunnelLower998  ? limits->lower998
                    : p == kFunnelLower95 ? limits->lower95
                    : p == kFunnelUpper95 ? limits->upper95
                                          : limits->upper998;
      rate = std::clamp(rate, 0.0, yTop);
      const double x = X(beds);
      const double y = Y(rate);
      if (have && !(lastY <= plot.top() + 1e-9 && y <= plot.top() + 1e-9)) s.DrawLine(lastX, lastY, x, y, color);
      lastX = x;
      lastY = y;
      have = true;
    }
  };
  curve(kFunnelUpper998, k998Color, LineStyle::Solid);
  curve(kFunnelLower998, k998Color, LineStyle::Solid);
  curve(kFunnelUpper95, k95Color, LineStyle::Dotted);
  curve(kFunnelLower95, k95Color, LineStyle::Dotted);
  s.SetLineStyle(LineStyle::Solid);
  s.SetLineWidth(style.curveDots);
  if (data.target <= yTop) s.DrawLine(plot.left(), Y(data.target), plot.right(), Y(data.target), Qt::black);
  s.SetLineWidth(1);

  // The points: the ordinary ones first, the marked ones over them.
  s.SetFillStyle(FillStyle::Solid);
  const auto dot = [&](const FunnelPoint& p, const QColor& color, double radius) {
    s.SetFillColor(color);
    s.DrawArc(X(p.beds), Y(std::min(p.rate, yTop)), radius, color, 0, 2 * M_PI, true);
  };
  for (const FunnelPoint& p : data.points)
    if (!p.highlighted && !p.outside998) dot(p, kPointColor, style.pointRadius);
  // Labels that would overlap one placed before move down a line at a time.
  std::vector<QRectF> placed;
  const auto freePlace = [&](double x, double y, double width) {
    QRectF box(x, y, width, line);
    for (int tries = 0; tries < 20; ++tries) {
      bool clash = false;
      for (const QRectF& other : placed) clash = clash || other.intersects(box);
      if (!clash) break;
      box.moveTop(box.top() + line);
    }
    placed.push_back(box);
    return box.topLeft();
  };
  for (const FunnelPoint& p : data.points) {
    if (p.highlighted || !p.outside998) continue;
    dot(p, kOutsideColor, style.pointRadius * 1.2);
    if (!data.nameOutliers || p.label.isEmpty()) continue;
    s.SetForeColor(kOutsideColor);
    const QPointF at =
        freePlace(X(p.beds) + style.pointRadius * 1.8, Y(std::min(p.rate, yTop)) - line / 2, s.TextWidth(p.label));
    s.SetPosition(at.x(), at.y());
    s.PrintText(p.label);
    s.SetForeColor(Qt::black);
    ++layout.labelled;
  }
  for (const FunnelPoint& p : data.points) {
    if (!p.highlighted) continue;
    dot(p, Qt::black, style.pointRadius * 2.4);
    dot(p, kHighlightColor, style.pointRadius * 1.9);
    layout.highlightedX = X(p.beds);
    layout.highlightedY = Y(std::min(p.rate, yTop));
    const QString text = data.highlightLabel.isEmpty() ? p.label : data.highlightLabel;
    s.SetForeColor(Qt::black);
    s.SetPosition(layout.highlightedX + style.pointRadius * 3, layout.highlightedY - line / 2);
    s.PrintText(text);
    ++layout.labelled;
  }
  s.SetFillStyle(FillStyle::None);

  // The legend above the plot.
  double x = plot.left();
  const double y = box.top() + line * 0.3;
  const auto legend = [&](const QColor& color, LineStyle lineStyle, const QString& text) {
    s.SetLineStyle(lineStyle);
    s.SetLineWidth(style.curveDots);
    s.DrawLine(x, y + line / 2, x + line * 1.6, y + line / 2, color);
    s.SetLineStyle(LineStyle::Solid);
    s.SetLineWidth(1);
    s.SetPosition(x + line * 1.9, y);
    s.PrintText(text);
    x += line * 2.6 + s.TextWidth(text);
  };
  legend(Qt::black, LineStyle::Solid, QStringLiteral("ネットワーク全体 %1").arg(data.target, 0, 'f', 2));
  legend(k95Color, LineStyle::Dotted, QStringLiteral("95%管理限界"));
  legend(k998Color, LineStyle::Solid, QStringLiteral("99.8%管理限界"));
  s.SetFillStyle(FillStyle::Solid);
  s.SetFillColor(kOutsideColor);
  s.DrawArc(x + style.pointRadius, y + line / 2, style.pointRadius * 1.2, kOutsideColor, 0, 2 * M_PI, true);
  s.SetFillStyle(FillStyle::None);
  s.SetPosition(x + style.pointRadius * 3, y);
  s.PrintText(QStringLiteral("99.8%の限界の外"));
  return layout;
}

}  // namespace orvanta
