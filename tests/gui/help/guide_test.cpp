#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
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
#include "gui/help/guide_pages.h"
#include "gui/help/guide_window.h"
#include "gui/network/facility_settings_window.h"
#include "gui/network/submission_window.h"
#include "gui/network/network_window.h"
#include "gui/rates/denominators_window.h"
#include "gui/rates/rates_window.h"
#include "gui/reports/report_history_window.h"
#include "gui/reports/report_window.h"
#include "gui/reports/search_result_dialog.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/splash_window.h"
#include "support/gui/modal_window.h"
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
  void TearDown() override { CloseGuides(); }
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
    const QUrl expected = GuidePageForWindow(window->objectName());
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

}  // namespace
}  // namespace orvanta
