#pragma once
// The user guide's pages, compiled into the program under qrc:/guide/ (the
// build turns docs/guide/*.md into them), and the page that F1 opens over
// each window.

#include <QString>
#include <QUrl>
#include <vector>

class QWidget;

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

// The dialogs that have no object name of their own (the question boxes and
// the text input of the Prompts seam), by their title ("検索"), with their
// page.
const std::vector<GuideWindowPage>& GuideTitledPages();

// A window names the place of the guide that describes what it shows now (the
// report window: the section of the tab shown) in this property.
inline constexpr char kGuidePlaceProperty[] = "guidePlace";

// The page F1 opens over a window: the place the window names itself, else
// the page of its object name, else of its title; else that of the window it
// stands over, and so on outwards; the first page when none is described.
QUrl GuidePageOf(const QWidget* window);

// The text of a compiled-in page (empty when the program holds no such page).
QString GuidePageText(const QUrl& page);

}  // namespace orvanta
