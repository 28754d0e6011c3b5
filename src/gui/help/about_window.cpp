#include "gui/help/about_window.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <boost/version.hpp>

#include "core/app/app_state.h"
#include "gui/widgets/layout_helpers.h"

#ifndef ORVANTA_VERSION
#error "the build names the program's version in ORVANTA_VERSION"
#endif

namespace orvanta {

namespace {

QString SqliteVersion(const AppState& state) {
  if (!state.database.isOpen()) return QStringLiteral("－");
  QSqlQuery query(state.database.connection());
  if (!query.exec(QStringLiteral("SELECT sqlite_version()")) || !query.next()) return QStringLiteral("－");
  return query.value(0).toString();
}

// The gothic face the windows and prints use (the package depends on the IPA
// fonts).
QString FontRow() {
  return QStringLiteral("<tr><td>IPAフォント（%1）</td><td></td><td>IPAフォントライセンス v1.0</td></tr>")
      .arg(QFontInfo(QApplication::font()).family().toHtmlEscaped());
}

QString LicenceTable(const AppState& state) {
  const QString boost = QStringLiteral(BOOST_LIB_VERSION).replace(QLatin1Char('_'), QLatin1Char('.'));
  QString rows;
  auto row = [&rows](const QString& name, const QString& version, const QString& licence) {
    rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>").arg(name, version, licence);
  };
  row(QStringLiteral("Orvanta"), ProgramVersion(), QStringLiteral("MIT ライセンス"));
  row(QStringLiteral("Qt"), QString::fromLatin1(qVersion()), QStringLiteral("GNU LGPL v3"));
  row(QStringLiteral("SQLite"), SqliteVersion(state), QStringLiteral("パブリックドメイン"));
  row(QStringLiteral("Boost"), boost, QStringLiteral("Boost Software License 1.0"));
  rows += FontRow();
  return QStringLiteral(
             "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
             "<tr><th>ソフトウェア</th><th>バージョン</th><th>ライセンス</th></tr>%1</table>"
             "<p>ライセンスの全文は /usr/share/doc/ の下の各パッケージのフォルダ（Orvanta は "
             "/usr/share/doc/orvanta/copyright）にあります。</p>")
      .arg(rows);
}

}  // namespace

QString ProgramVersion() { return QStringLiteral(ORVANTA_VERSION); }

AboutWindow::AboutWindow(AppState& state, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("バージョン情報"));

  auto* icon = Named(new QLabel(this), "imgIcon");
  icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
  auto* name = Named(new QLabel(QStringLiteral("Orvanta"), this), "lblProductName");
  QFont big = name->font();
  big.setPointSize(20);
  big.setBold(true);
  name->setFont(big);
  auto* subtitle =
      Named(new QLabel(QStringLiteral("トンリクス日本版　針刺し・切創事故報告システム"), this), "lblPlatform");
  auto* version = Named(new QLabel(QStringLiteral("Ver.%1").arg(ProgramVersion()), this), "lblVersion");
  auto* titles = new QVBoxLayout;
  titles->addWidget(name);
  titles->addWidget(subtitle);
  titles->addWidget(version);
  auto* head = new QHBoxLayout;
  head->addWidget(icon, 0, Qt::AlignTop);
  head->addSpacing(Twips(180));
  head->addLayout(titles, 1);

  auto* facts = new QGridLayout;
  auto fact = [&](int row, const QString& caption, const QString& value, const char* valueName) {
    facts->addWidget(new QLabel(caption, this), row, 0);
    auto* label = Named(new QLabel(value, this), valueName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    facts->addWidget(label, row, 1);
  };
  fact(0, QStringLiteral("データフォルダ"), QDir::toNativeSeparators(state.paths.DataFolderPath()), "lblDataFolder");
  fact(1, QStringLiteral("報告書の数"), QStringLiteral("%1 件").arg(state.counters.TotalReports), "lblReportCount");
  facts->setColumnStretch(1, 1);

  auto* licences = Named(new QTextBrowser(this), "txtLicences");
  licences->setHtml(LicenceTable(state));
  licences->setMinimumHeight(Twips(2700));

  auto* ok = Named(NewButton(this, QStringLiteral("OK")), "cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addSpacing(Twips(120));
  layout->addLayout(facts);
  layout->addWidget(new QLabel(QStringLiteral("使用しているソフトウェアとライセンス"), this));
  layout->addWidget(licences, 1);
  layout->addLayout(buttons);
  resize(Twips(7800), Twips(6300));
}

}  // namespace orvanta
