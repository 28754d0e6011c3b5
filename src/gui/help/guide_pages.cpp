#include "gui/help/guide_pages.h"

#include <QFile>
#include <QVariant>
#include <QWidget>

namespace orvanta {

namespace {

const QString kRoot = QStringLiteral("qrc:/guide/");

}  // namespace

QUrl GuidePage(const QString& fileAndPlace) { return QUrl(kRoot + fileAndPlace); }
QUrl GuideHomePage() { return GuidePage(QStringLiteral("hajimeni.html")); }
QUrl GuideContentsPage() { return GuidePage(QStringLiteral("index.html")); }

const std::vector<GuideWindowPage>& GuideWindowPages() {
  // clang-format off
  static const std::vector<GuideWindowPage> pages{
      {QStringLiteral("frmSplash"),            QStringLiteral("hajimeni.html")},
      {QStringLiteral("frmLogin"),             QStringLiteral("hajimeni.html#password")},
      {QStringLiteral("frmMain"),              QStringLiteral("main_window.html")},
      {QStringLiteral("frmiin"),               QStringLiteral("code_lists.html")},
      {QStringLiteral("frmMeibo"),             QStringLiteral("code_lists.html#rename")},
      {QStringLiteral("frmiin2"),              QStringLiteral("code_lists.html#answers")},
      {QStringLiteral("frmrep"),               QStringLiteral("report_entry.html")},
      {QStringLiteral("frmkekka"),             QStringLiteral("report_find.html#search")},
      {QStringLiteral("frmTySu"),              QStringLiteral("extraction.html")},
      {QStringLiteral("frmYHJ"),               QStringLiteral("cross_table.html")},
      {QStringLiteral("frmTySu2"),             QStringLiteral("summary.html")},
      {QStringLiteral("frmTySu3"),             QStringLiteral("graph.html")},
      {QStringLiteral("frmPost"),              QStringLiteral("item_graph.html")},
      {QStringLiteral("frmFollowup"),          QStringLiteral("followup.html")},
      {QStringLiteral("frmFollowupTest"),      QStringLiteral("followup.html#tests")},
      {QStringLiteral("frmFollowupEnd"),       QStringLiteral("followup.html#close")},
      {QStringLiteral("frmDueList"),           QStringLiteral("due_list.html")},
      {QStringLiteral("frmScheduleTemplates"), QStringLiteral("due_list.html#templates")},
      {QStringLiteral("frmScheduleEntry"),     QStringLiteral("due_list.html#templates")},
      {QStringLiteral("frmRates"),             QStringLiteral("rates.html")},
      {QStringLiteral("frmDenominators"),      QStringLiteral("denominators.html")},
      {QStringLiteral("frmFacility"),          QStringLiteral("network.html#facility")},
      {QStringLiteral("frmSubmission"),        QStringLiteral("network.html#submission")},
      {QStringLiteral("frmNetwork"),           QStringLiteral("network_centre.html")},
      {QStringLiteral("frmRestore"),           QStringLiteral("backup.html#restore")},
      {QStringLiteral("frmAccessLog"),         QStringLiteral("access_log.html#log")},
      {QStringLiteral("frmReportHistory"),     QStringLiteral("access_log.html#history")},
      {QStringLiteral("frmGuide"),             QStringLiteral("help.html#guide")},
      {QStringLiteral("frmAbout"),             QStringLiteral("help.html#about")},
  };
  // clang-format on
  return pages;
}

const std::vector<GuideWindowPage>& GuideTitledPages() {
  static const std::vector<GuideWindowPage> pages{
      {QStringLiteral("検索"), QStringLiteral("report_find.html#search")},
      {QStringLiteral("データファイルの修復"), QStringLiteral("damaged_files.html#repair")},
      {QStringLiteral("読み取り専用での起動"), QStringLiteral("trouble.html#disk-full")},
  };
  return pages;
}

QUrl GuidePageOf(const QWidget* window) {
  for (const QWidget* w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
    const QString place = w->property(kGuidePlaceProperty).toString();
    if (!place.isEmpty()) return GuidePage(place);
    for (const GuideWindowPage& entry : GuideWindowPages()) {
      if (entry.window == w->objectName()) return GuidePage(entry.page);
    }
    if (w->objectName().isEmpty()) {
      for (const GuideWindowPage& entry : GuideTitledPages()) {
        if (entry.window == w->windowTitle()) return GuidePage(entry.page);
      }
    }
  }
  return GuideHomePage();
}

QUrl GuidePageForWindow(const QString& windowName) {
  for (const GuideWindowPage& entry : GuideWindowPages()) {
    if (entry.window == windowName) return GuidePage(entry.page);
  }
  return GuideHomePage();
}

QString GuidePageText(const QUrl& page) {
  if (page.scheme() != QLatin1String("qrc")) return {};
  QFile file(QLatin1Char(':') + page.path());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace orvanta
