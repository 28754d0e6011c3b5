#pragma once
// The guide window (frmGuide): the user guide's pages in a text browser, the
// contents beside them. It works without a network or a web browser: every
// page and picture is compiled into the program.

#include <QUrl>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvanta {

class Prompts;

class GuideWindow : public QWidget {
  Q_OBJECT
 public:
  explicit GuideWindow(QWidget* parent = nullptr);

  void showPage(const QUrl& page);
  QUrl page() const;
  // The search box's text searched through every page; the hits shown as a
  // page of links.
  void search();
  // Every page, in the order of the contents, to the printer chosen (or to
  // one PDF file, "PDF ファイルに出力").
  void printWholeGuide();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void followOwner();
  void fillContents();
  void pageShown(const QUrl& page);

  QTextBrowser* browser_;
  QTreeWidget* contents_;
  QLineEdit* searchBox_;
  QPushButton* print_;
  QPushButton* back_;
  QPushButton* forward_;
};

// Shows the guide at page, over the window `over`: the guide already open is
// used when it can be reached, else a new one is opened over `over` (a guide
// under a modal window could not be read or closed until that window closes).
// When the window it stands over closes, the guide stays open over the window
// under that one.
GuideWindow* ShowGuide(const QUrl& page, QWidget* over);

// The guide opens from any window, also from those that hold none of the
// program's state; what it asks (the printer) goes through these prompts,
// which the program names once at start. Without them the guide cannot print.
void UseGuidePrompts(Prompts* prompts);

}  // namespace orvanta
