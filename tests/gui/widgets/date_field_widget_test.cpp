#include "gui/widgets/date_field_widget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <vector>

#include "gui/widgets/layout_helpers.h"

namespace orvanta {
namespace {

using P = DatePart;

// Rows in twips: DateField 0, DateField 1, the time.
constexpr int kTop0 = 150;
constexpr int kTop1 = 600;
constexpr int kTopTime = 1050;

// Where the user clicks an arrow: near the top or the bottom end of the spin
// button, as seen on screen. The point must hit an arrow, not a groove.
QPoint ArrowPoint(QScrollBar* bar, bool upper) {
  const QPoint p(bar->width() / 2, upper ? 2 : bar->height() - 3);
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  opt.upsideDown = bar->invertedAppearance();
  opt.subControls = QStyle::SC_All;
  const QStyle::SubControl hit = bar->style()->hitTestComplexControl(QStyle::CC_ScrollBar, &opt, p, bar);
  EXPECT_TRUE(hit == QStyle::SC_ScrollBarSubLine || hit == QStyle::SC_ScrollBarAddLine)
      << bar->objectName().toStdString() << " has no arrow at " << p.y();
  return p;
}

void ClickArrow(QScrollBar* bar, bool upper) { QTest::mouseClick(bar, Qt::LeftButton, {}, ArrowPoint(bar, upper)); }

// The captions and the weekday label of one row, left to right.
QStringList RowLabels(QWidget* host, int topTwips) {
  std::vector<QLabel*> row;
  for (QLabel* l : host->findChildren<QLabel*>())
    if (l->y() == Twips(topTwips)) row.push_back(l);
  std::sort(row.begin(), row.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
  QStringList texts;
  for (QLabel* l : row) texts << l->text();
  return texts;
}

class DateFieldWidgetTest : public ::testing::Test {
 protected:
  explicit DateFieldWidgetTest(DateFieldVariant variant = DateFieldVariant::Report) : controls(variant) {
    host.resize(500, 120);
    controls.placeDate(0, &host, 120, kTop0);
    controls.placeDate(1, &host, 120, kTop1);
    controls.placeTime(&host, 120, kTopTime);
    host.show();
    QObject::connect(&controls, &DateFieldControls::valueStored, &controls,
                     [this](P p, int i, int v) { stored.emplace_back(p, i, v); });
    QObject::connect(&controls, &DateFieldControls::changed, &controls, [this] { ++changes; });
  }

  // Shows a date the way the windows do: written while Loading, then the day
  // handler brings the weekday label up to date.
  void show(int i, int y, int m, int d) {
    controls.model().setLoading(true);
    controls.showDate(i, y, m, d);
    controls.model().setLoading(false);
    controls.model().runDayHandler(i);
    stored.clear();
    changes = 0;
  }

  template <typename W>
  W* find(const char* name) {
    W* w = host.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
  QScrollBar* bar(const char* name) { return find<QScrollBar>(name); }

  void expectShown(int i, int y, int m, int d) {
    const std::string at = "index " + std::to_string(i);
    const char* names[2][3] = {{"txy_0", "txm_0", "txd_0"}, {"txy_1", "txm_1", "txd_1"}};
    const char* spins[2][3] = {{"VSy_0", "VSm_0", "VSd_0"}, {"VSy_1", "VSm_1", "VSd_1"}};
    const int want[3] = {y, m, d};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(box(names[i][k])->text().trimmed(), QString::number(want[k])) << at << " " << names[i][k];
      EXPECT_EQ(bar(spins[i][k])->value(), want[k]) << at << " " << spins[i][k];
    }
    EXPECT_EQ(controls.year(i), y) << at;
    EXPECT_EQ(controls.month(i), m) << at;
    EXPECT_EQ(controls.day(i), d) << at;
  }

  QWidget host;
  DateFieldControls controls;
  std::vector<std::tuple<P, int, int>> stored;
  int changes = 0;
};

class AnalysisDateFieldWidgetTest : public DateFieldWidgetTest {
 protected:
  AnalysisDateFieldWidgetTest() : DateFieldWidgetTest(DateFieldVariant::Analysis) {}
};

TEST_F(DateFieldWidgetTest, ArrowsStepTheDateWithCarries) {
  struct Case {
    int y, m, d;
    const char* spin;
    bool upper;
    int wantY, wantM, wantD;
    const char* weekday;
  };
  const Case cases[] = {
      {2004, 12, 31, "VSd_0", true, 2005, 1, 1, "土"},  {2005, 1, 1, "VSd_0", false, 2004, 12, 31, "金"},
      {2004, 3, 1, "VSd_0", false, 2004, 2, 29, "日"},  {2005, 3, 1, "VSd_0", false, 2005, 2, 28, "月"},
      {2004, 4, 30, "VSd_0", true, 2004, 5, 1, "土"},   {2004, 1, 31, "VSm_0", true, 2004, 2, 29, "日"},
      {2004, 12, 15, "VSm_0", true, 2005, 1, 15, "土"}, {2004, 2, 29, "VSy_0", true, 2005, 2, 28, "月"},
      {2005, 2, 28, "VSy_0", false, 2004, 2, 28, "土"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spin) + (c.upper ? " up from " : " down from ") + std::to_string(c.y) + "-" +
                 std::to_string(c.m) + "-" + std::to_string(c.d));
    show(0, c.y, c.m, c.d);
    ClickArrow(bar(c.spin), c.upper);
    expectShown(0, c.wantY, c.wantM, c.wantD);
    EXPECT_EQ(find<QLabel>("Label12_0")->text(), QString::fromUtf8(c.weekday));
  }
}

TEST_F(DateFieldWidgetTest, ArrowsWriteTheirValueWithABlankInTheSignPositionAndLeaveTheOtherDateAlone) {
  show(1, 2010, 6, 15);
  show(0, 2004, 12, 31);
  ClickArrow(bar("VSd_0"), true);
  EXPECT_EQ(box("txy_0")->text(), QStringLiteral(" 2005"));
  EXPECT_EQ(box("txm_0")->text(), QStringLiteral(" 1"));
  EXPECT_EQ(box("txd_0")->text(), QStringLiteral(" 1"));
  EXPECT_EQ(controls.text(P::Day, 0), QStringLiteral(" 1"));
  expectShown(1, 2010, 6, 15);
  EXPECT_EQ(find<QLabel>("Label12_1")->text(), QStringLiteral("火"));  // 15 June 2010
}

// The period boxes of the analysis views keep what is typed, bounded by the
// box's rule.
TEST_F(AnalysisDateFieldWidgetTest, TypedDaysAreBoundedAndTheBoxKeepsWhatWasTyped) {
  struct Case {
    int m;
    int wantM, wantD;
  };
  // 45 becomes 31; in April the 31st is no day, so the date moves on to the
  // 1st of May while the box keeps "31".
  const Case cases[] = {{1, 1, 31}, {4, 5, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE("month " + std::to_string(c.m));
    show(0, 2004, c.m, 10);
    QLineEdit* txd = box("txd_0");
    txd->setFocus();
    txd->selectAll();
    QTest::keyClicks(txd, QStringLiteral("45"));
    EXPECT_EQ(txd->text(), QStringLiteral("31"));
    EXPECT_EQ(txd->cursorPosition(), 2);
    EXPECT_EQ(controls.day(0), c.wantD);
    EXPECT_EQ(controls.month(0), c.wantM);
    EXPECT_EQ(bar("VSd_0")->value(), c.wantD);
    EXPECT_EQ(bar("VSm_0")->value(), c.wantM);
    EXPECT_EQ(box("txm_0")->text().trimmed(), QString::number(c.wantM));
  }
}

// A report's box refuses what is no digit where it is typed, and a number
// more digits may follow waits until the keyboard leaves the box.
TEST_F(DateFieldWidgetTest, ARefusedCharacterLeavesTheCursorAndAnOpenNumberWaitsForTheBoxToBeLeft) {
  int refused = 0;
  QObject::connect(&controls, &DateFieldControls::inputRefused, &controls, [&refused] { ++refused; });
  show(0, 2004, 12, 10);
  QLineEdit* txm = box("txm_0");
  txm->setFocus();
  txm->setCursorPosition(1);  // "1|2"
  QTest::keyClicks(txm, QStringLiteral(","));
  EXPECT_EQ(txm->text(), QStringLiteral("12"));
  EXPECT_EQ(txm->cursorPosition(), 1);
  EXPECT_EQ(refused, 1);
  txm->setCursorPosition(2);
  QTest::keyClick(txm, Qt::Key_Backspace);  // "1": January or one of 10 to 12
  EXPECT_EQ(txm->text(), QStringLiteral("1"));
  EXPECT_EQ(controls.month(0), 12);
  EXPECT_TRUE(stored.empty());
  EXPECT_EQ(changes, 0);
  emit txm->editingFinished();  // Enter, or the keyboard goes elsewhere
  EXPECT_EQ(controls.month(0), 1);
  EXPECT_EQ(box("txm_0")->text(), QStringLiteral(" 1"));
  EXPECT_EQ(controls.year(0), 2004);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(refused, 1);
}

TEST_F(DateFieldWidgetTest, TimeWrapsWithinTheDay) {
  struct Case {
    int h, min;
    const char* spin;
    bool upper;
    int wantH, wantMin;
    const char* hourText;
    const char* minuteText;
  };
  const Case cases[] = {
      {23, 30, "vsHour_0", true, 0, 30, "0", "30"},
      {0, 30, "vsHour_0", false, 23, 30, "23", "30"},
      {10, 59, "vsMin_0", true, 10, 0, "10", "0"},
      {10, 0, "vsMin_0", false, 10, 59, "10", "59"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spin) + " from " + std::to_string(c.h) + ":" + std::to_string(c.min));
    show(0, 2004, 12, 31);
    controls.model().setLoading(true);
    controls.showTime(c.h, c.min);
    controls.model().setLoading(false);
    ClickArrow(bar(c.spin), c.upper);
    EXPECT_EQ(box("txhour_0")->text().trimmed(), QString::fromLatin1(c.hourText));
    EXPECT_EQ(box("txmin_0")->text().trimmed(), QString::fromLatin1(c.minuteText));
    EXPECT_EQ(controls.hour(), c.wantH);
    EXPECT_EQ(controls.minute(), c.wantMin);
    EXPECT_EQ(bar("vsHour_0")->value(), c.wantH);
    EXPECT_EQ(bar("vsMin_0")->value(), c.wantMin);
    expectShown(0, 2004, 12, 31);
  }
}

TEST_F(DateFieldWidgetTest, TheWheelStepsLikeTheArrows) {
  show(0, 2004, 12, 10);
  QScrollBar* vsd = bar("VSd_0");
  auto turn = [vsd](int angle) {
    const QPointF at(vsd->width() / 2.0, vsd->height() / 2.0);
    QWheelEvent e(at, vsd->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(vsd, &e);
  };
  turn(120);
  EXPECT_EQ(controls.day(0), 11);
  turn(-240);
  EXPECT_EQ(controls.day(0), 9);
  EXPECT_EQ(box("txd_0")->text(), QStringLiteral(" 9"));
}

TEST_F(DateFieldWidgetTest, StoresEveryValueButMarksChangesOnlyOutsideLoading) {
  controls.model().setLoading(true);
  controls.showDate(1, 2004, 12, 31);
  controls.showTime(8, 5);
  controls.model().setLoading(false);
  const std::vector<std::tuple<P, int, int>> loaded = {
      {P::Year, 1, 2004}, {P::Month, 1, 12}, {P::Day, 1, 31}, {P::Hour, 0, 8}, {P::Minute, 0, 5}};
  EXPECT_EQ(stored, loaded);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(find<QLabel>("Label12_1")->text(), QString()) << "no stepping while Loading";

  show(1, 2004, 12, 31);
  ClickArrow(bar("VSd_1"), true);
  EXPECT_GT(changes, 0);
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(stored.front(), std::make_tuple(P::Day, 1, 32)) << "the step itself is stored first";
  std::map<P, int> last;  // what the report holds in the end
  for (const auto& [p, i, v] : stored) {
    EXPECT_EQ(i, 1);
    last[p] = v;
  }
  EXPECT_EQ(last, (std::map<P, int>{{P::Year, 2005}, {P::Month, 1}, {P::Day, 1}}));

  changes = 0;
  QLineEdit* txy = box("txy_1");
  txy->selectAll();
  QTest::keyClicks(txy, QStringLiteral("2003"));
  EXPECT_EQ(controls.year(1), 2003);
  EXPECT_GT(changes, 0);
}

TEST_F(DateFieldWidgetTest, ControlsAreNamedInOneRowAndTakeNoInputMethod) {
  EXPECT_EQ(RowLabels(&host, kTop0), (QStringList{"西暦", "年", "月", "日", "", "曜日"}));
  show(0, 2004, 12, 31);
  EXPECT_EQ(RowLabels(&host, kTop0), (QStringList{"西暦", "年", "月", "日", "金", "曜日"}));
  EXPECT_EQ(RowLabels(&host, kTop1), (QStringList{"西暦", "年", "月", "日", "", "曜日"}));
  EXPECT_EQ(RowLabels(&host, kTopTime), (QStringList{"時", "分"}));
  for (const char* name : {"txy_0", "txm_0", "txd_0", "txy_1", "txm_1", "txd_1", "txhour_0", "txmin_0"}) {
    QLineEdit* b = box(name);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->testAttribute(Qt::WA_InputMethodEnabled)) << name;
    // Each spin button stands right beside its box, on the same row.
    const QString spinName = QString::fromLatin1(name)
                                 .replace(QStringLiteral("tx"), QStringLiteral("VS"))
                                 .replace(QStringLiteral("VShour"), QStringLiteral("vsHour"))
                                 .replace(QStringLiteral("VSmin"), QStringLiteral("vsMin"));
    QScrollBar* s = host.findChild<QScrollBar*>(spinName);
    ASSERT_NE(s, nullptr) << spinName.toStdString();
    EXPECT_EQ(s->x(), b->geometry().right() + 1) << name;
    EXPECT_EQ(s->y(), b->y()) << name;
    EXPECT_EQ(s->height(), b->height()) << name;
  }
}

TEST_F(AnalysisDateFieldWidgetTest, HasNoWeekdayNorTimeAndMarksTheFromDate) {
  EXPECT_EQ(RowLabels(&host, kTop0), (QStringList{"年", "月", "日～"}));
  EXPECT_EQ(RowLabels(&host, kTop1), (QStringList{"年", "月", "日"}));
  EXPECT_EQ(host.findChild<QLabel*>(QStringLiteral("Label12_0")), nullptr);
  EXPECT_EQ(host.findChild<QLabel*>(QStringLiteral("Label12_1")), nullptr);
  EXPECT_EQ(host.findChild<QLineEdit*>(QStringLiteral("txhour_0")), nullptr);
  EXPECT_EQ(host.findChild<QScrollBar*>(QStringLiteral("vsMin_0")), nullptr);

  controls.model().setLoading(true);
  controls.showDate(0, 2004, 4, 1);
  controls.showDate(1, 2004, 12, 31);
  controls.model().setLoading(false);
  ClickArrow(bar("VSd_1"), true);
  expectShown(1, 2005, 1, 1);
  ClickArrow(bar("VSd_0"), false);
  expectShown(0, 2004, 3, 31);
  EXPECT_TRUE(stored.empty());
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace orvanta
