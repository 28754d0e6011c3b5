#pragma once
// The words of a PDF file with their boxes, as `pdftotext -bbox` reads them
// back (poppler-utils), for tests of real prints.

#include <QString>
#include <optional>
#include <vector>

namespace orvanta::testing {

struct PdfWord {
  QString text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points from the page's top left
};

struct PdfPage {
  double width = 0, height = 0;  // points
  std::vector<PdfWord> words;
  // The first word with exactly this text.
  std::optional<PdfWord> find(const QString& text) const;
};

// The pages of the file; empty when the file cannot be read.
std::vector<PdfPage> ReadPdfText(const QString& path);

}  // namespace orvanta::testing
