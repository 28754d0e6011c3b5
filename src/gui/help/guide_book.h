#pragma once
// The guide as a whole: its pages in the order of the contents, a search
// through all of them, and all of them in one document to print or to save
// as one PDF file.

#include <QString>
#include <QUrl>
#include <vector>

namespace orvanta {

// The pages the contents list, in their order, the contents first.
std::vector<QUrl> GuidePagesInOrder();

// A place of the guide where a searched text stands: the page and section
// (with its anchor, when the section has one), their titles, and the text
// around the first hit in that section.
struct GuideHit {
  QUrl place;
  QString pageTitle;
  QString section;  // empty for the text before the page's first section
  QString excerpt;
};
// Every section of every page whose text holds `text` (case and width
// ignored), in the order of the contents; nothing for a blank text.
std::vector<GuideHit> SearchGuide(const QString& text);
// The hits as a page of links for the guide window.
QString GuideHitsHtml(const QString& text, const std::vector<GuideHit>& hits);

// Every page of the guide in one HTML document, in the order of the
// contents, each page starting on a new sheet, without the links between
// pages; pictures wider than maxPictureWidth pixels are shown that wide.
// Its pictures are found under GuideHomePage()'s folder.
QString WholeGuideHtml(int maxPictureWidth);

}  // namespace orvanta
