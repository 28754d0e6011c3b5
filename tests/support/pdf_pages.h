#pragma once
// Reading a PDF file back with poppler's tools: its pages with their size in
// points and the words on them with their boxes (pdftotext -bbox).

#include <QImage>
#include <QRect>
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
  // Every word's text in reading order, joined by blanks.
  QString text() const;
};

// The pages of the file; empty when pdftotext cannot read it (the failure is
// added to the running test).
std::vector<PdfPage> ReadPdfPages(const QString& path);

// A part of one page (counted from 1) as a picture at the resolution given
// (pdftoppm), the part given in pixels of that resolution from the page's
// top left; a null image when it cannot be made.
QImage PdfPageImage(const QString& path, int page, int dotsPerInch, const QRect& part);

// What a print to the PDF file path tells when the file cannot be created
// there: its path and the system's reason, as a save of that file finds it.
QString PdfCannotBeCreatedMessage(const QString& path);

}  // namespace orvanta::testing
