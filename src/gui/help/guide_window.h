#pragma once
// The guide window (frmGuide): the user guide's pages in a text browser, the
// contents beside them. It works without a network or a web browser: every
// page and picture is compiled into the program.

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvanta {

class GuideWindow : public QWidget {
  Q_OBJECT
 public:
  explicit GuideWindow(QWidget* parent = nullptr);

  void showPage(const QUrl& page);
  QUrl page() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void followOwner();
  void fillContents();
  void pageShown(const QUrl& page);

  QTextBrowser* browser_;
  QTreeWidget* contents_;
  QPushButton* back_;
  QPushButton* forward_;
};

// Shows the guide at page, over the window `over`: the guide already open is
// used when it can be reached, else a new one is opened over `over` (a guide
// under a modal window could not be read or closed until that window closes).
// When the window it stands over closes, the guide stays open over the window
// under that one.
GuideWindow* ShowGuide(const QUrl& page, QWidget* over);

}  // namespace orvanta
