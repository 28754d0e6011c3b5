#include "gui/help/guide_book.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "gui/help/guide_pages.h"

namespace orvanta {

namespace {

QUrl WithoutPlace(QUrl url) {
  url.setFragment(QString());
  return url;
}

// The body of a page without the links to the contents and to the pages
// before and after it.
QString PageBody(const QString& page) {
  const qsizetype start = page.indexOf(QLatin1String("<body>"));
  const qsizetype end = page.lastIndexOf(QLatin1String("</body>"));
  if (start < 0 || end < start) return page;
  QString body = page.mid(start + 6, end - start - 6);
  static const QRegularExpression nav(QStringLiteral("<p class=\"nav\">.*?</p>|<hr>"),
                                      QRegularExpression::DotMatchesEverythingOption);
  body.remove(nav);
  return body;
}

QString Folded(const QString& text) { return text.normalized(QString::NormalizationForm_KC).toCaseFolded(); }

}  // namespace

std::vector<QUrl> GuidePagesInOrder() {
  std::vector<QUrl> pages{GuideContentsPage()};
  QTextDocument index;
  index.setHtml(GuidePageText(GuideContentsPage()));
  for (QTextBlock block = index.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QString href = it.fragment().charFormat().anchorHref();
      if (href.isEmpty()) continue;
      const QUrl page = WithoutPlace(GuideContentsPage().resolved(QUrl(href)));
      if (std::find(pages.begin(), pages.end(), page) == pages.end()) pages.push_back(page);
    }
  }
  return pages;
}

std::vector<GuideHit> SearchGuide(const QString& text) {
  std::vector<GuideHit> hits;
  const QString wanted = Folded(text.trimmed());
  if (wanted.isEmpty()) return hits;
  for (const QUrl& page : GuidePagesInOrder()) {
    QTextDocument document;
    document.setHtml(GuidePageText(page));
    const QString pageTitle = document.metaInformation(QTextDocument::DocumentTitle);
    // The sections: each heading of level 2 or 3 starts one; its anchor is
    // the name the heading carries.
    QString section;
    QString anchor;
    bool found = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
      const int level = block.blockFormat().headingLevel();
      if (level == 2 || level == 3) {
        section = block.text();
        anchor.clear();
        found = false;
        for (auto it = block.begin(); !it.atEnd() && anchor.isEmpty(); ++it) {
          const QStringList names = it.fragment().charFormat().anchorNames();
          if (!names.isEmpty()) anchor = names.first();
        }
      }
      if (found) continue;
      const QString line = block.text();
      const qsizetype at = Folded(line).indexOf(wanted);
      if (at < 0) continue;
      found = true;
      QUrl place = page;
      if (!anchor.isEmpty()) place.setFragment(anchor);
      const qsizetype from = std::max<qsizetype>(0, at - 20);
      QString excerpt = line.mid(from, 60).trimmed();
      if (from > 0) excerpt.prepend(QStringLiteral("…"));
      if (from + 60 < line.size()) excerpt.append(QStringLiteral("…"));
      hits.push_back(GuideHit{place, pageTitle, section, excerpt});
    }
  }
  return hits;
}

QString GuideHitsHtml(const QString& text, const std::vector<GuideHit>& hits) {
  QString html = QStringLiteral("<html><head><title>検索の結果</title></head><body><h1>「%1」の検索の結果</h1>")
                     .arg(text.trimmed().toHtmlEscaped());
  if (hits.empty()) {
    html +=
        QStringLiteral("<p>見つかりませんでした。ほかの言葉で探すか、<a href=\"%1\">目次</a>から探してください。</p>")
            .arg(GuideContentsPage().toString());
  } else {
    html += QStringLiteral("<p>%1 か所にあります。</p><ul>").arg(hits.size());
    for (const GuideHit& hit : hits) {
      const QString name = hit.section.isEmpty() || hit.section == hit.pageTitle
                               ? hit.pageTitle
                               : hit.pageTitle + QStringLiteral(" － ") + hit.section;
      html += QStringLiteral("<li><a href=\"%1\">%2</a><br>%3</li>")
                  .arg(hit.place.toString(), name.toHtmlEscaped(), hit.excerpt.toHtmlEscaped());
    }
    html += QStringLiteral("</ul>");
  }
  return html + QStringLiteral("</body></html>");
}

QString WholeGuideHtml(int maxPictureWidth) {
  QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Orvanta 使い方</title></head><body>");
  static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
  bool first = true;
  for (const QUrl& page : GuidePagesInOrder()) {
    QString body = PageBody(GuidePageText(page));
    // Each page on a new sheet.
    if (!first) body.replace(QLatin1String("<h1>"), QLatin1String("<h1 style=\"page-break-before: always\">"));
    first = false;
    // Wide pictures shrunk to the sheet.
    QString sized;
    qsizetype done = 0;
    for (auto m = picture.globalMatch(body); m.hasNext();) {
      const QRegularExpressionMatch hit = m.next();
      sized += body.mid(done, hit.capturedEnd() - done);
      done = hit.capturedEnd();
      const QSize size = QImageReader(QLatin1Char(':') + page.resolved(QUrl(hit.captured(1))).path()).size();
      if (size.width() > maxPictureWidth)
        sized += QStringLiteral(" width=\"%1\" height=\"%2\"")
                     .arg(maxPictureWidth)
                     .arg(size.height() * maxPictureWidth / size.width());
    }
    html += sized + body.mid(done);
  }
  return html + QStringLiteral("</body></html>");
}

}  // namespace orvanta
