#include "support/pdf_pages.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace orvanta::testing {

std::optional<PdfWord> PdfPage::find(const QString& text) const {
  for (const PdfWord& w : words)
    if (w.text == text) return w;
  return std::nullopt;
}

QString PdfPage::text() const {
  QStringList out;
  for (const PdfWord& w : words) out << w.text;
  return out.join(u' ');
}

namespace {

// A number attribute of pdftotext's box output. A missing or unreadable one
// fails the test instead of reading as 0, which could pass a position check
// by chance.
double Number(const QXmlStreamAttributes& attributes, QLatin1String name) {
  bool ok = false;
  const double value = attributes.value(name).toDouble(&ok);
  if (!ok) ADD_FAILURE() << "pdftotext output: no number in attribute " << name.data();
  return value;
}

}  // namespace

std::vector<PdfPage> ReadPdfPages(const QString& path) {
  QProcess tool;
  tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
  if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext (poppler-utils) could not read " << path.toStdString() << ": "
                  << tool.readAllStandardError().toStdString();
    return {};
  }
  std::vector<PdfPage> pages;
  QXmlStreamReader xml(tool.readAllStandardOutput());
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    if (xml.name() == QLatin1String("page")) {
      PdfPage page;
      page.width = Number(a, QLatin1String("width"));
      page.height = Number(a, QLatin1String("height"));
      pages.push_back(page);
    } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
      PdfWord w;
      w.xMin = Number(a, QLatin1String("xMin"));
      w.yMin = Number(a, QLatin1String("yMin"));
      w.xMax = Number(a, QLatin1String("xMax"));
      w.yMax = Number(a, QLatin1String("yMax"));
      // The gothic face draws "～" (U+FF5E) with the glyph of "〜" (U+301C),
      // which is how the text reads back.
      w.text = xml.readElementText().replace(QChar(0x301C), QChar(0xFF5E));
      pages.back().words.push_back(w);
    }
  }
  if (xml.hasError()) ADD_FAILURE() << "pdftotext output: " << xml.errorString().toStdString();
  return pages;
}

QImage PdfPageImage(const QString& path, int page, int dotsPerInch, const QRect& part) {
  QProcess tool;
  const QString number = QString::number(page);
  tool.start(
      QStringLiteral("pdftoppm"),
      {QStringLiteral("-png"), QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dotsPerInch),
       QStringLiteral("-f"), number, QStringLiteral("-l"), number, QStringLiteral("-x"), QString::number(part.x()),
       QStringLiteral("-y"), QString::number(part.y()), QStringLiteral("-W"), QString::number(part.width()),
       QStringLiteral("-H"), QString::number(part.height()), QStringLiteral("-singlefile"), path});
  if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
    ADD_FAILURE() << "pdftoppm (poppler-utils) could not draw " << path.toStdString();
    return {};
  }
  QImage image;
  if (!image.loadFromData(tool.readAllStandardOutput(), "PNG")) ADD_FAILURE() << "pdftoppm gave no picture";
  return image;
}

QString PdfCannotBeCreatedMessage(const QString& path) {
  QSaveFile probe(path);
  EXPECT_FALSE(probe.open(QIODevice::WriteOnly)) << path.toStdString() << " can be created";
  return QStringLiteral("ファイル「%1」を書き込めませんでした。\n(%2)")
      .arg(QDir::toNativeSeparators(path), probe.errorString());
}

}  // namespace orvanta::testing
