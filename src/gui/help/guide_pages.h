#pragma once
// The user guide's pages, compiled into the program under qrc:/guide/ (the
// build turns docs/guide/*.md into them), and the page that F1 opens over
// each window.

#include <QString>
#include <QUrl>
#include <vector>

namespace orvanta {

// The first page a new user reads, "はじめに".
QUrl GuideHomePage();
// The contents, "目次".
QUrl GuideContentsPage();
// A page of the guide by its file name ("backup.html#restore").
QUrl GuidePage(const QString& fileAndPlace);

// The page, and the place on it, for the window with this object name
// ("frmrep"); the first page for a window the guide does not describe.
QUrl GuidePageForWindow(const QString& windowName);

// Every window the guide describes, by object name, with its page.
struct GuideWindowPage {
  QString window;
  QString page;  // file name and place: "report_find.html#search"
};
const std::vector<GuideWindowPage>& GuideWindowPages();

// The text of a compiled-in page (empty when the program holds no such page).
QString GuidePageText(const QUrl& page);

}  // namespace orvanta
