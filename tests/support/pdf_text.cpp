#include "support/pdf_text.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace orvanta::testing {

std::optional<PdfWord> PdfPage::find(const QString& text) const {
  for (const PdfWord& w : words)
    if (w.text == text) return w;
  return std::nullopt;
}

std::vector<PdfPage> ReadPdfText(const QString& path) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  QXmlStreamReader xml(p.readAllStandardOutput());
  std::vector<PdfPage> pages;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    const auto a = xml.attributes();
    if (xml.name() == u"page") {
      pages.push_back({a.value(QLatin1String("width")).toDouble(), a.value(QLatin1String("height")).toDouble(), {}});
    } else if (xml.name() == u"word" && !pages.empty()) {
      PdfWord w{{}, a.value(QLatin1String("xMin")).toDouble(), a.value(QLatin1String("yMin")).toDouble(), a.value(QLatin1String("xMax")).toDouble(),
                a.value(QLatin1String("yMax")).toDouble()};
      w.text = xml.readElementText();
      pages.back().words.push_back(w);
    }
  }
  return pages;
}

}  // namespace orvanta::testing
