#include "support/pdf_pages.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

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
      page.width = a.value(QLatin1String("width")).toDouble();
      page.height = a.value(QLatin1String("height")).toDouble();
      pages.push_back(page);
    } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
      PdfWord w;
      w.xMin = a.value(QLatin1String("xMin")).toDouble();
      w.yMin = a.value(QLatin1String("yMin")).toDouble();
      w.xMax = a.value(QLatin1String("xMax")).toDouble();
      w.yMax = a.value(QLatin1String("yMax")).toDouble();
      w.text = xml.readElementText();
      pages.back().words.push_back(w);
    }
  }
  if (xml.hasError()) ADD_FAILURE() << "pdftotext output: " << xml.errorString().toStdString();
  return pages;
}

}  // namespace orvanta::testing
