#include "gui/help/guide_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/output/print_job.h"
#include "core/platform/print_output.h"
#include "core/platform/prompts.h"
#include "gui/help/guide_book.h"
#include "gui/help/guide_pages.h"
#include "gui/widgets/layout_helpers.h"

namespace orvanta {

namespace {

const QString kTitle = QStringLiteral("使い方");

Prompts* guidePrompts = nullptr;

// How wide a picture of the whole guide may be on an A4 sheet, in the
// document's pixels.
constexpr int kPrintedPictureWidth = 620;

QUrl WithoutPlace(QUrl url) {
  url.setFragment(QString());
  return url;
}

}  // namespace

GuideWindow::GuideWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmGuide"));
  setWindowTitle(kTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with its main window

  back_ = Named(NewButton(this, QStringLiteral("◀ 前に見たページ")), "cmdBack");
  forward_ = Named(NewButton(this, QStringLiteral("次に見たページ ▶")), "cmdForward");
  auto* home = Named(NewButton(this, QStringLiteral("はじめに")), "cmdHome");
  auto* index = Named(NewButton(this, QStringLiteral("目次")), "cmdContents");
  auto* close = Named(NewButton(this, QStringLiteral("閉じる")), "cmdClose");
  searchBox_ = Named(new QLineEdit(this), "txtSearch");
  searchBox_->setPlaceholderText(QStringLiteral("使い方の中を検索"));
  searchBox_->setAccessibleName(QStringLiteral("使い方の中を検索"));
  searchBox_->setClearButtonEnabled(true);
  searchBox_->setMinimumWidth(Twips(2700));
  auto* find = Named(NewButton(this, QStringLiteral("検索")), "cmdSearch");
  print_ = Named(NewButton(this, QStringLiteral("全体を印刷")), "cmdPrintGuide");
  print_->setToolTip(
      QStringLiteral("すべてのページを印刷します。「PDF ファイルに出力」を選ぶと1つのPDFファイルになります"));

  contents_ = Named(new QTreeWidget(this), "treeContents");
  contents_->setHeaderHidden(true);
  contents_->setRootIsDecorated(false);
  contents_->setIndentation(Twips(180));
  QFont listed = contents_->font();
  listed.setPointSize(10);
  contents_->setFont(listed);
  browser_ = Named(new QTextBrowser(this), "txtGuide");
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);
  QFont text = browser_->font();
  text.setPointSize(11);
  browser_->setFont(text);

  auto* split = Named(new QSplitter(this), "splitGuide");
  split->addWidget(contents_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 1);
  split->setSizes({Twips(3600), Twips(15000)});

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addSpacing(Twips(240));
  buttons->addWidget(home);
  buttons->addWidget(index);
  buttons->addSpacing(Twips(240));
  buttons->addWidget(searchBox_);
  buttons->addWidget(find);
  buttons->addStretch(1);
  buttons->addWidget(print_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(split, 1);

  connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
  connect(home, &QPushButton::clicked, this, [this] { showPage(GuideHomePage()); });
  connect(index, &QPushButton::clicked, this, [this] { showPage(GuideContentsPage()); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(find, &QPushButton::clicked, this, &GuideWindow::search);
  connect(searchBox_, &QLineEdit::returnPressed, this, &GuideWindow::search);
  connect(print_, &QPushButton::clicked, this, &GuideWindow::printWholeGuide);
  print_->setEnabled(guidePrompts != nullptr);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& shown) { pageShown(shown); });
  connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    const QUrl target = item->data(0, Qt::UserRole).toUrl();
    if (target.isValid() && !target.isEmpty()) showPage(target);
  });
  back_->setEnabled(false);
  forward_->setEnabled(false);

  fillContents();
  followOwner();

  // Wide enough for a window's picture beside the contents, within the screen.
  const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::min(Twips(19800), screen.width() * 9 / 10), std::min(Twips(12600), screen.height() * 9 / 10));
}

void GuideWindow::followOwner() {
  if (parentWidget()) parentWidget()->installEventFilter(this);
}

// The window the guide stands over closes: the guide moves over the window
// under it, where it stays as it was.
bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched == parentWidget() && parentWidget()->parentWidget()) {
    parentWidget()->removeEventFilter(this);
    const bool shown = isVisible();
    const QRect placed = geometry();
    setParent(parentWidget()->parentWidget()->window(), Qt::Window);
    setGeometry(placed);
    followOwner();
    if (shown) show();
  }
  return QWidget::eventFilter(watched, event);
}

// The contents pane follows the contents page: each heading a group, each
// link a page under it.
void GuideWindow::fillContents() {
  QTextDocument index;
  index.setHtml(GuidePageText(GuideContentsPage()));
  QTreeWidgetItem* group = nullptr;
  for (QTextBlock block = index.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 2) {
      group = new QTreeWidgetItem(contents_, {block.text()});
      QFont bold = group->font(0);
      bold.setBold(true);
      group->setFont(0, bold);
      group->setFlags(Qt::ItemIsEnabled);
      continue;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QString href = fragment.charFormat().anchorHref();
      if (href.isEmpty()) continue;
      const QUrl target = GuideContentsPage().resolved(QUrl(href));
      if (target == GuideContentsPage()) continue;
      auto* item =
          group ? new QTreeWidgetItem(group, {fragment.text()}) : new QTreeWidgetItem(contents_, {fragment.text()});
      item->setData(0, Qt::UserRole, target);
    }
  }
  contents_->expandAll();
}

void GuideWindow::showPage(const QUrl& page) {
  // The page shown, at the place shown: only scrolled there again. Another
  // place on the same page is a new source, so that page() tells it.
  if (browser_->source() == page && !page.fragment().isEmpty()) {
    browser_->scrollToAnchor(page.fragment());
    return;
  }
  browser_->setSource(page);
}

QUrl GuideWindow::page() const { return browser_->source(); }

void GuideWindow::search() {
  const QString text = searchBox_->text();
  if (text.trimmed().isEmpty()) return;
  browser_->setHtml(GuideHitsHtml(text, SearchGuide(text)));
  pageShown(QUrl());
}

void GuideWindow::printWholeGuide() {
  Prompts* prompts = guidePrompts;
  if (!prompts) return;
  std::unique_ptr<QPagedPaintDevice> device = prompts->choosePrinter(false);
  if (!device) return;
  prompts->setBusy(true);
  QTextDocument book;
  book.setBaseUrl(GuideHomePage());
  QFont text = browser_->font();
  text.setPointSize(10);
  book.setDefaultFont(text);
  book.setHtml(WholeGuideHtml(kPrintedPictureWidth));
  book.print(device.get());
  auto* output = dynamic_cast<PrintOutput*>(device.get());
  const bool written = !output || output->commit();
  prompts->setBusy(false);
  if (!written) {
    const QString failure = output->failureMessage();
    prompts->message(failure.isEmpty() ? kPrinterNotConnected : failure, QString(), PromptIcon::Exclamation);
  }
}

// The browser tells the new page before it answers it from source().
void GuideWindow::pageShown(const QUrl& page) {
  const QString title = browser_->documentTitle();
  setWindowTitle(title.isEmpty() ? kTitle : kTitle + QStringLiteral(" － ") + title);
  // A screen reader reads the page by its title and its text.
  browser_->setAccessibleName(title.isEmpty() ? kTitle : title);
  browser_->setAccessibleDescription(browser_->toPlainText());
  const QUrl shown = WithoutPlace(page);
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    if (WithoutPlace((*it)->data(0, Qt::UserRole).toUrl()) == shown) {
      contents_->setCurrentItem(*it);
      return;
    }
  }
  contents_->setCurrentItem(nullptr);
}

void UseGuidePrompts(Prompts* prompts) { guidePrompts = prompts; }

GuideWindow* ShowGuide(const QUrl& page, QWidget* over) {
  // Asked from a guide itself: that guide shows the page.
  if (auto* guide = qobject_cast<GuideWindow*>(over ? over->window() : nullptr)) {
    guide->showPage(page);
    return guide;
  }
  static QPointer<GuideWindow> open;
  QWidget* owner = over ? over->window() : nullptr;
  if (open) {
    // Reachable unless a modal window other than its own owner blocks it.
    QWidget* modal = QApplication::activeModalWidget();
    bool reachable = modal == nullptr;
    for (QWidget* w = open; w && !reachable; w = w->parentWidget()) reachable = w == modal;
    if (!reachable) {
      open->close();
      open = nullptr;
    }
  }
  if (!open) open = new GuideWindow(owner);
  open->showPage(page);
  open->show();
  open->raise();
  open->activateWindow();
  return open;
}

}  // namespace orvanta
