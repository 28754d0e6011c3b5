#include "support/gui/combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

namespace orvanta::testing {

bool ChooseInList(QComboBox* box, int index) {
  if (!box || index < 0 || index >= box->count()) return false;
  // Events left over from earlier steps are handled first, as they would be
  // before a user's next click.
  QApplication::processEvents();
  box->showPopup();
  QAbstractItemView* view = box->view();
  if (!view->isVisible()) return false;
  view->setCurrentIndex(box->model()->index(index, box->modelColumn(), box->rootModelIndex()));
  QTest::keyClick(view, Qt::Key_Return);
  return !view->isVisible() && box->currentIndex() == index;
}

}  // namespace orvanta::testing
