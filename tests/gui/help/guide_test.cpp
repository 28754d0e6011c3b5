#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "core/app/app_state.h"
#include "core/app/startup.h"
#include "core/reports/open_data_file.h"
#include "gui/analysis/cross_table_window.h"
#include "gui/analysis/extraction_window.h"
#include "gui/analysis/graph_window.h"
#include "gui/analysis/item_graph_window.h"
#include "gui/analysis/summary_window.h"
#include "gui/audit/access_log_window.h"
#include "gui/backup/restore_window.h"
#include "gui/codelists/answer_code_editor_window.h"
#include "gui/codelists/code_list_editor_window.h"
#include "gui/codelists/rename_dialog.h"
#include "gui/followup/due_list_window.h"
#include "gui/followup/followup_dialogs.h"
#include "gui/followup/followup_window.h"
#include "gui/followup/schedule_window.h"
#include "gui/help/about_window.h"
#include "gui/help/guide_book.h"
#include "gui/help/guide_pages.h"
#include "gui/help/guide_window.h"
#include "gui/network/facility_settings_window.h"
#include "gui/network/network_window.h"
#include "gui/network/submission_window.h"
#include "gui/platform/qt_prompts.h"
#include "gui/rates/denominators_window.h"
#include "gui/rates/rates_window.h"
#include "gui/reports/report_history_window.h"
#include "gui/reports/report_window.h"
#include "gui/reports/search_result_dialog.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/splash_window.h"
#include "support/gui/modal_window.h"
#include "support/pdf_pages.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::WhenModal;

const QString kSources = QStringLiteral(ORVANTA_FIXTURES "/../../src/gui");
const QDate kIncident(2024, 5, 1);

FollowupCase OpenCase() {
  FollowupCase followup;
  followup.reportId = 1;
  followup.worker.incident = kIncident;
  return followup;
}

// Every window of the program, made as the program makes it. A window class
// added to src/gui must be added here (WindowsOfTheSources fails until it is),
// and its object name must have a page (GuideWindowPages).
struct WindowMaker {
  const char* className;
  std::function<std::unique_ptr<QWidget>(AppState&)> make;
};
const std::vector<WindowMaker>& EveryWindow() {
  static const std::vector<WindowMaker> windows{
      {"SplashWindow", [](AppState&) { return std::make_unique<SplashWindow>(); }},
      {"LoginWindow", [](AppState& s) { return std::make_unique<LoginWindow>(s); }},
      {"MainWindow", [](AppState& s) { return std::make_unique<MainWindow>(s); }},
      {"CodeListEditorWindow",
       [](AppState& s) {
         s.editing.EditedList = 0;
         return std::make_unique<CodeListEditorWindow>(s);
       }},
      {"AnswerCodeEditorWindow", [](AppState& s) { return std::make_unique<AnswerCodeEditorWindow>(s); }},
      {"RenameDialog", [](AppState& s) { return std::make_unique<RenameDialog>(s, QStringLiteral("内科")); }},
      {"ReportWindow",
       [](AppState& s) {
         s.editing.NewReportMode = true;
         return std::make_unique<ReportWindow>(s);
       }},
      {"SearchResultDialog",
       [](AppState& s) { return std::make_unique<SearchResultDialog>(s, QStringList{QStringLiteral("K1")}); }},
      {"ExtractionWindow", [](AppState& s) { return std::make_unique<ExtractionWindow>(s); }},
      {"CrossTableWindow", [](AppState& s) { return std::make_unique<CrossTableWindow>(s); }},
      {"SummaryWindow", [](AppState& s) { return std::make_unique<SummaryWindow>(s); }},
      {"GraphWindow", [](AppState& s) { return std::make_unique<GraphWindow>(s); }},
      {"ItemGraphWindow", [](AppState& s) { return std::make_unique<ItemGraphWindow>(s); }},
      {"GuideWindow",
       [](AppState&) {
         auto guide = std::make_unique<GuideWindow>();
         guide->setAttribute(Qt::WA_DeleteOnClose, false);  // the test owns it
         return guide;
       }},
      {"AboutWindow", [](AppState& s) { return std::make_unique<AboutWindow>(s); }},
      {"RestoreWindow", [](AppState& s) { return std::make_unique<RestoreWindow>(s); }},
      {"FollowupWindow", [](AppState& s) { return std::make_unique<FollowupWindow>(s, OpenCase(), false); }},
      {"TestDialog",
       [](AppState& s) {
         return std::make_unique<TestDialog>(
             s, FollowupTest{}, kIncident, [](const FollowupTest&) { return true; }, nullptr);
       }},
      {"ClosingDialog",
       [](AppState& s) {
         return std::make_unique<ClosingDialog>(
             s, kIncident, [](const QDate&, const QString&) { return true; }, nullptr);
       }},
      {"DueListWindow", [](AppState& s) { return std::make_unique<DueListWindow>(s); }},
      {"ScheduleWindow", [](AppState& s) { return std::make_unique<ScheduleWindow>(s); }},
      {"ScheduleEntryDialog",
       [](AppState& s) {
         return std::make_unique<ScheduleEntryDialog>(
             s, ScheduleEntry{}, [](const ScheduleEntry&) { return true; }, nullptr);
       }},
      {"RatesWindow", [](AppState& s) { return std::make_unique<RatesWindow>(s); }},
      {"DenominatorsWindow", [](AppState& s) { return std::make_unique<DenominatorsWindow>(s); }},
      {"AccessLogWindow", [](AppState& s) { return std::make_unique<AccessLogWindow>(s); }},
      {"ReportHistoryWindow", [](AppState& s) { return std::make_unique<ReportHistoryWindow>(s, 1); }},
      {"FacilitySettingsWindow", [](AppState& s) { return std::make_unique<FacilitySettingsWindow>(s); }},
      {"SubmissionWindow", [](AppState& s) { return std::make_unique<SubmissionWindow>(s, QStringLiteral("AB12")); }},
      {"NetworkWindow", [](AppState& s) { return std::make_unique<NetworkWindow>(s); }},
  };
  return windows;
}

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The sources of the windows: every class that is a dialog or is named as a
// window or dialog, and every form name ("frm...") written in them. A class
// that other windows are made from (a base like EntryDialog) is shown only
// as those, which are made instead.
struct WindowSources {
  QSet<QString> classes;
  QSet<QString> formNames;
};
WindowSources WindowsOfTheSources() {
  WindowSources found;
  QSet<QString> bases;
  const QRegularExpression declared(QStringLiteral(R"re(class\s+(\w+)\s*(?:final\s*)?:\s*public\s+(\w+))re"));
  const QRegularExpression formName(QStringLiteral(R"re("(frm\w+)")re"));
  QDirIterator it(kSources, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString text = ReadText(it.next());
    for (auto m = declared.globalMatch(text); m.hasNext();) {
      const auto match = m.next();
      const QString name = match.captured(1), base = match.captured(2);
      if (base == QLatin1String("QDialog") || base == QLatin1String("QMainWindow") ||
          name.endsWith(QLatin1String("Window")) || name.endsWith(QLatin1String("Dialog")))
        found.classes.insert(name);
      bases.insert(base);
    }
    for (auto m = formName.globalMatch(text); m.hasNext();) found.formNames.insert(m.next().captured(1));
  }
  found.classes.subtract(bases);
  return found;
}

QUrl WithoutPlaceOf(QUrl url) {
  url.setFragment(QString());
  return url;
}

GuideWindow* OpenGuide() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String("frmGuide") && w->isVisible()) return static_cast<GuideWindow*>(w);
  }
  return nullptr;
}

void CloseGuides() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String("frmGuide")) w->close();
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Presses F1 where the user's typing goes in that window.
void PressF1(QWidget* window) {
  QWidget* target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, Qt::Key_F1);
}

// The page is compiled in, and the place on it (when named) is there.
void ExpectPageExists(const QUrl& page) {
  const QString text = GuidePageText(page);
  ASSERT_FALSE(text.isEmpty()) << page.toString().toStdString();
  if (!page.fragment().isEmpty()) {
    EXPECT_TRUE(text.contains(QStringLiteral("<a name=\"%1\">").arg(page.fragment()))) << page.toString().toStdString();
  }
}

class GuideTest : public ::testing::Test, public testing::TempDrive {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PrepareDataFolder(state.paths));
    ASSERT_TRUE(LoadCodeLists(state.lists, state.paths, clock.now()));
    QString notice, error;
    ASSERT_TRUE(state.database.open(state.paths.DatabasePath(), clock.now(), &notice, &error)) << error.toStdString();
  }
  void TearDown() override {
    CloseGuides();
    UseGuidePrompts(nullptr);
  }
};

// Every window class of the program has a maker above, and every form name
// given to a window has its page.
TEST_F(GuideTest, EveryWindowOfTheSourcesHasItsPage) {
  const WindowSources sources = WindowsOfTheSources();
  ASSERT_GE(sources.classes.size(), 15) << "the sources were not found at " << kSources.toStdString();
  QSet<QString> made;
  for (const WindowMaker& maker : EveryWindow()) made.insert(QString::fromLatin1(maker.className));
  for (const QString& name : sources.classes) EXPECT_TRUE(made.contains(name)) << "no maker for " << name.toStdString();
  QSet<QString> described;
  for (const GuideWindowPage& entry : GuideWindowPages()) {
    described.insert(entry.window);
    SCOPED_TRACE(entry.window.toStdString());
    ExpectPageExists(GuidePage(entry.page));
  }
  for (const QString& name : sources.formNames)
    EXPECT_TRUE(described.contains(name)) << "no page for " << name.toStdString();
}

// F1 in each window opens the guide, in a window of its own titled 使い方,
// at that window's page, which the program holds.
TEST_F(GuideTest, F1InEveryWindowOpensItsPage) {
  for (const WindowMaker& maker : EveryWindow()) {
    SCOPED_TRACE(maker.className);
    std::unique_ptr<QWidget> window = maker.make(state);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    PressF1(window.get());
    GuideWindow* guide = OpenGuide();
    ASSERT_NE(guide, nullptr);
    if (maker.className != std::string("GuideWindow")) {
      EXPECT_EQ(guide->parentWidget(), window.get());
    }
    // The window's own place (the report window: its tab's section), else
    // the page of its name.
    const QUrl expected = GuidePageOf(window.get());
    EXPECT_EQ(WithoutPlaceOf(expected), WithoutPlaceOf(GuidePageForWindow(window->objectName())));
    bool described = false;
    for (const GuideWindowPage& entry : GuideWindowPages()) described |= entry.window == window->objectName();
    EXPECT_TRUE(described) << "no page for " << window->objectName().toStdString();
    EXPECT_EQ(guide->page(), expected) << window->objectName().toStdString();
    ExpectPageExists(expected);
    EXPECT_TRUE(guide->windowTitle().startsWith(QStringLiteral("使い方 － "))) << guide->windowTitle().toStdString();
    auto* browser = guide->findChild<QTextBrowser*>(QStringLiteral("txtGuide"));
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(browser->toPlainText().trimmed().isEmpty());
    CloseGuides();
    window.reset();
  }
}

// Every picture and every link of the compiled-in pages is there: pictures
// under qrc:/guide/images/, links to pages and places that exist.
TEST_F(GuideTest, EveryPictureAndLinkOfThePagesIsThere) {
  const QRegularExpression source(QStringLiteral(R"re(<img src="([^"]+)")re"));
  const QRegularExpression link(QStringLiteral(R"re(<a href="([^"]+)")re"));
  int pages = 0, pictures = 0;
  QDirIterator it(QStringLiteral(":/guide"), {QStringLiteral("*.html")}, QDir::Files);
  while (it.hasNext()) {
    const QString path = it.next();
    const QUrl page(QStringLiteral("qrc") + path);
    const QString text = GuidePageText(page);
    ++pages;
    for (auto m = source.globalMatch(text); m.hasNext();) {
      const QUrl picture = page.resolved(QUrl(m.next().captured(1)));
      EXPECT_TRUE(QFile::exists(QLatin1Char(':') + picture.path()))
          << path.toStdString() << ": " << picture.toString().toStdString();
      ++pictures;
    }
    for (auto m = link.globalMatch(text); m.hasNext();) {
      const QUrl target = page.resolved(QUrl(m.next().captured(1)));
      SCOPED_TRACE(path.toStdString() + " -> " + target.toString().toStdString());
      ExpectPageExists(target);
    }
  }
  EXPECT_GE(pages, 20);
  EXPECT_GE(pictures, 20);
}

// ヘルプ → 使い方 opens the first page beside the contents; a page chosen in
// the contents is shown, and the way back leads to the first page again.
TEST_F(GuideTest, MenuOpensTheFirstPageBesideTheContents) {
  MainWindow mainWindow(state);
  mainWindow.show();
  auto* action = mainWindow.findChild<QAction*>(QStringLiteral("actGuide"));
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->isEnabled());
  action->trigger();
  GuideWindow* guide = OpenGuide();
  ASSERT_NE(guide, nullptr);
  EXPECT_EQ(guide->page(), GuideHomePage());
  EXPECT_EQ(guide->windowTitle(), QStringLiteral("使い方 － はじめに"));

  auto* contents = guide->findChild<QTreeWidget*>(QStringLiteral("treeContents"));
  ASSERT_NE(contents, nullptr);
  QTreeWidgetItem* backup = nullptr;
  int entries = 0;
  for (QTreeWidgetItemIterator it(contents); *it; ++it) {
    if ((*it)->data(0, Qt::UserRole).toUrl().isEmpty()) continue;
    ++entries;
    if ((*it)->text(0) == QStringLiteral("バックアップと復元")) backup = *it;
  }
  EXPECT_GE(entries, 20);
  ASSERT_NE(backup, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(guide));
  contents->scrollToItem(backup);
  QApplication::processEvents();
  QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualItemRect(backup).center());
  EXPECT_EQ(guide->page(), GuidePage(QStringLiteral("backup.html")));
  EXPECT_EQ(guide->windowTitle(), QStringLiteral("使い方 － バックアップと復元"));
  EXPECT_EQ(contents->currentItem(), backup);

  auto* back = guide->findChild<QPushButton*>(QStringLiteral("cmdBack"));
  ASSERT_TRUE(back && back->isEnabled());
  QTest::mouseClick(back, Qt::LeftButton);
  EXPECT_EQ(guide->page(), GuideHomePage());
  EXPECT_FALSE(back->isEnabled());
}

// F1 over a modal window: the guide opened before over the main window would
// be blocked by it, so the guide opens again over the modal window; a second
// F1 there uses that guide. When the modal window closes, the guide stays
// open over the main window.
TEST_F(GuideTest, F1InAModalWindowOpensAGuideThatCanBeRead) {
  MainWindow mainWindow(state);
  mainWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
  PressF1(&mainWindow);
  QPointer<GuideWindow> overMain = OpenGuide();
  ASSERT_TRUE(overMain);
  EXPECT_EQ(overMain->page(), GuidePage(QStringLiteral("main_window.html")));

  QPointer<GuideWindow> overEditor;
  state.editing.EditedList = 8;
  {
    CodeListEditorWindow editor(state, &mainWindow);
    WhenModal(QStringLiteral("frmiin"), [&](QWidget* modal) {
      PressF1(modal);
      overEditor = OpenGuide();
      ASSERT_TRUE(overEditor);
      EXPECT_EQ(overEditor->parentWidget(), modal);
      EXPECT_EQ(overEditor->page(), GuidePage(QStringLiteral("code_lists.html")));
      PressF1(modal);
      EXPECT_EQ(OpenGuide(), overEditor.data());
      modal->close();
    });
    editor.exec();
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(overMain) << "the guide under the modal window is closed";
  ASSERT_TRUE(overEditor) << "the guide outlives the window it was opened over";
  EXPECT_TRUE(overEditor->isVisible());
  EXPECT_EQ(overEditor->parentWidget(), &mainWindow);
  EXPECT_EQ(overEditor->page(), GuidePage(QStringLiteral("code_lists.html")));
}

// ヘルプ → バージョン情報: the version as the main window shows it, the data
// folder, the number of reports, and the licences of what the program is
// built on.
TEST_F(GuideTest, AboutShowsVersionDataFolderReportsAndLicences) {
  ASSERT_TRUE(WriteReports(0, {ReportRecord{}, ReportRecord{}, ReportRecord{}}));
  CountDataFiles(state.dataFile, state.counters, state.paths);
  MainWindow mainWindow(state);
  auto* action = mainWindow.findChild<QAction*>(QStringLiteral("actAbout"));
  ASSERT_TRUE(action && action->isEnabled());
  bool shown = false;
  WhenModal(QStringLiteral("frmAbout"), [&](QWidget* about) {
    shown = true;
    EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
    auto text = [about](const char* name) {
      auto* label = about->findChild<QLabel*>(QString::fromLatin1(name));
      EXPECT_NE(label, nullptr) << name;
      return label ? label->text() : QString();
    };
    EXPECT_EQ(text("lblVersion"), mainWindow.findChild<QLabel*>(QStringLiteral("Label3_1"))->text());
    EXPECT_EQ(text("lblDataFolder"), QDir::toNativeSeparators(root.path() + QStringLiteral("/tonrix")));
    EXPECT_EQ(text("lblReportCount"), QStringLiteral("3 件"));
    auto* licences = about->findChild<QTextBrowser*>(QStringLiteral("txtLicences"));
    ASSERT_NE(licences, nullptr);
    const QString shownText = licences->toPlainText();
    for (const char* expected : {"MIT ライセンス", "Qt", "GNU LGPL v3", "SQLite", "パブリックドメイン", "Boost",
                                 "Boost Software License 1.0", "IPAフォントライセンス v1.0"}) {
      EXPECT_TRUE(shownText.contains(QString::fromUtf8(expected))) << expected;
    }
    EXPECT_TRUE(shownText.contains(QString::fromLatin1(qVersion())));
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
  });
  action->trigger();
  EXPECT_TRUE(shown);
}

// In the report window F1 opens the section of the tab shown.
TEST_F(GuideTest, F1InTheReportWindowOpensTheSectionOfTheTabShown) {
  ReportWindow window(state);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* tabs = window.findChild<QTabBar*>(QStringLiteral("TabStrip1"));
  ASSERT_NE(tabs, nullptr);
  const char* const places[8] = {"reporter", "patient", "situation", "device",
                                 "sites",    "others",  "free-text", "free-text"};
  for (int tab = 0; tab < 8; ++tab) {
    tabs->setCurrentIndex(tab);
    PressF1(&window);
    GuideWindow* guide = OpenGuide();
    ASSERT_NE(guide, nullptr);
    const QUrl expected = GuidePage(QStringLiteral("report_entry.html#%1").arg(QLatin1String(places[tab])));
    EXPECT_EQ(guide->page(), expected) << tab;
    ExpectPageExists(expected);
  }
}

// The dialogs the program asks through its prompts: F1 in the 検索 input
// opens the search's section, in the repair question the repair's, in the
// question of a read-only start the section about a full disk.
TEST_F(GuideTest, F1InTheSearchInputAndTheQuestionsOpensTheirSections) {
  ReportWindow window(state);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QtPrompts real;
  // F1 pressed in the next unnamed modal dialog: the page the guide opens.
  QUrl shown;
  const auto pressF1InDialog = [&](const QString& title) {
    shown = QUrl();
    WhenModal(QString(), [&shown, title](QWidget* modal) {
      EXPECT_EQ(modal->windowTitle(), title);
      PressF1(modal);
      if (GuideWindow* guide = OpenGuide()) shown = guide->page();
      CloseGuides();
      modal->close();
    });
  };
  pressF1InDialog(QStringLiteral("検索"));
  real.input(QStringLiteral("カルテ番号を入力してください"), QStringLiteral("検索"), QString());
  EXPECT_EQ(shown, GuidePage(QStringLiteral("report_find.html#search")));
  pressF1InDialog(QStringLiteral("データファイルの修復"));
  real.message(QStringLiteral("見つかった 3 件の報告で、このファイルを書き直しますか？"),
               QStringLiteral("データファイルの修復"), PromptIcon::Question, PromptButtons::YesNo);
  EXPECT_EQ(shown, GuidePage(QStringLiteral("damaged_files.html#repair")));
  ExpectPageExists(GuidePage(QStringLiteral("damaged_files.html#repair")));
  pressF1InDialog(QStringLiteral("読み取り専用での起動"));
  real.message(QStringLiteral("読み取り専用で起動しますか？"), QStringLiteral("読み取り専用での起動"),
               PromptIcon::Question, PromptButtons::YesNo);
  EXPECT_EQ(shown, GuidePage(QStringLiteral("trouble.html#disk-full")));
  ExpectPageExists(GuidePage(QStringLiteral("trouble.html#disk-full")));
}

// The search box finds a text on every page that holds it, each section
// once, and leads there.
TEST_F(GuideTest, TheSearchBoxListsThePlacesOfATextAndLeadsThere) {
  GuideWindow* guide = ShowGuide(GuideHomePage(), nullptr);
  auto* box = guide->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
  ASSERT_NE(box, nullptr);
  box->setText(QStringLiteral("パスワードを忘れ"));
  QTest::keyClick(box, Qt::Key_Return);
  auto* browser = guide->findChild<QTextBrowser*>(QStringLiteral("txtGuide"));
  const QString shown = browser->toPlainText();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("「パスワードを忘れ」の検索の結果"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("困ったとき － パスワードを忘れた"))) << shown.toStdString();
  const std::vector<GuideHit> hits = SearchGuide(QStringLiteral("ＰＤＦ ファイルに出力"));  // width ignored
  ASSERT_GE(hits.size(), 2u);
  for (const GuideHit& hit : hits) ExpectPageExists(hit.place);
  EXPECT_TRUE(SearchGuide(QStringLiteral("  ")).empty());
  EXPECT_TRUE(SearchGuide(QStringLiteral("この言葉はどこにもない")).empty());
  guide->showPage(hits.front().place);
  EXPECT_EQ(guide->page(), hits.front().place);
}

// A screen reader finds the page by its title and reads its text.
TEST_F(GuideTest, ThePageTextIsThereForAScreenReader) {
  GuideWindow* guide = ShowGuide(GuidePage(QStringLiteral("trouble.html")), nullptr);
  auto* browser = guide->findChild<QTextBrowser*>(QStringLiteral("txtGuide"));
  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(browser);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("困ったとき"));
  EXPECT_TRUE(reader->text(QAccessible::Description).contains(QStringLiteral("パスワードを忘れた")));
  if (QAccessibleTextInterface* text = reader->textInterface()) {
    EXPECT_TRUE(text->text(0, text->characterCount()).contains(QStringLiteral("パスワードを忘れた")));
  }
}

// 全体を印刷: every page of the contents, in one PDF file when the printer
// dialog is answered with a file, each page starting a new sheet.
TEST_F(GuideTest, TheWholeGuidePrintsToOnePdfFile) {
  UseGuidePrompts(&prompts);
  GuideWindow* guide = ShowGuide(GuideHomePage(), nullptr);
  auto* print = guide->findChild<QPushButton*>(QStringLiteral("cmdPrintGuide"));
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(print->text(), QStringLiteral("全体を印刷"));
  ASSERT_TRUE(print->isEnabled());
  const QString path = root.filePath(QStringLiteral("guide.pdf"));
  prompts.answerPrinterPdf(path);
  print->click();
  EXPECT_TRUE(prompts.allAnswered());
  const auto pages = testing::ReadPdfPages(path);
  const std::vector<QUrl> order = GuidePagesInOrder();
  ASSERT_EQ(order.size(), 26u);  // every page of docs/guide
  EXPECT_GT(pages.size(), order.size());
  const auto textOf = [](const testing::PdfPage& page) { return page.text().remove(u' '); };
  EXPECT_TRUE(textOf(pages.front()).contains(QStringLiteral("目次")));
  bool trouble = false, glossary = false;
  for (const auto& page : pages) {
    trouble = trouble || textOf(page).contains(QStringLiteral("パスワードを忘れた"));
    glossary = glossary || textOf(page).contains(QStringLiteral("率比"));
  }
  EXPECT_TRUE(trouble);
  EXPECT_TRUE(glossary);
}

}  // namespace
}  // namespace orvanta
