#pragma once
// The search result window (frmkekka, "検索結果"): one line per hit of the
// last search; clicking a line chooses that report and closes the window.

#include <QDialog>
#include <QStringList>

class QListView;
class QModelIndex;

namespace orvanta {

class AppState;

class SearchResultDialog : public QDialog {
  Q_OBJECT
 public:
  SearchResultDialog(AppState& state, const QStringList& lines, QWidget* parent = nullptr);

  // The line chosen, -1 when the window was closed without a choice.
  int chosenHit() const { return chosenHit_; }

  // Shows the window modally and returns the line chosen (or -1).
  static int Choose(AppState& state, const QStringList& lines, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void chooseHit(const QModelIndex& index);

  AppState& state_;
  int chosenHit_ = -1;
  QListView* hitList_ = nullptr;
};

}  // namespace orvanta
