// Renders an SVG picture into a square PNG image, for the icons installed at
// fixed sizes beside the scalable one. The build runs it.
//   svg_to_png IN.svg SIZE OUT.png
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: svg_to_png IN.svg SIZE OUT.png\n");
    return 2;
  }
  const QString in = QString::fromLocal8Bit(argv[1]);
  const int size = QString::fromLatin1(argv[2]).toInt();
  const QString out = QString::fromLocal8Bit(argv[3]);
  QSvgRenderer renderer(in);
  if (!renderer.isValid() || size <= 0) {
    std::fprintf(stderr, "svg_to_png: cannot render %s at %s pixels\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  renderer.render(&painter);
  painter.end();
  if (!image.save(out, "PNG")) {
    std::fprintf(stderr, "svg_to_png: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
