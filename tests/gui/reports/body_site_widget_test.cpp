#include "gui/reports/body_site_widget.h"

#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class BodySitePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillBodySiteNames(names_);
    page_ = std::make_unique<BodySitePage>(names_);
    spy_ = std::make_unique<QSignalSpy>(page_.get(), &BodySitePage::siteToggled);
  }

  QLabel* Label(int index) const { return page_->findChild<QLabel*>(QStringLiteral("lblBui_%1").arg(index)); }
  QCheckBox* Box(int index) const { return page_->findChild<QCheckBox*>(QStringLiteral("CHKbui_%1").arg(index)); }
  QWidget* Drawing() const { return page_->findChild<QWidget*>(QStringLiteral("Image1")); }
  static QColor Colour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

  // The siteToggled emissions so far, as (index, value) pairs.
  std::vector<std::pair<int, int>> Emitted() const {
    std::vector<std::pair<int, int>> out;
    for (const QList<QVariant>& args : *spy_) out.emplace_back(args.at(0).toInt(), args.at(1).toInt());
    return out;
  }

  std::vector<int> RedLabels() const {
    std::vector<int> out;
    for (int i = 0; i < kSiteCount; ++i)
      if (QLabel* l = Label(i); l && Colour(l) == kRed) out.push_back(i);
    return out;
  }

  std::vector<int> CheckedBoxes() const {
    std::vector<int> out;
    for (int i = 0; i < kSiteCount; ++i)
      if (QCheckBox* b = Box(i); b && b->isChecked()) out.push_back(i);
    return out;
  }

  std::array<QString, kSiteSlots> names_;
  std::unique_ptr<BodySitePage> page_;
  std::unique_ptr<QSignalSpy> spy_;
};

TEST_F(BodySitePageTest, OneLabelAndOneBoxPerSiteExceptTwentyNine) {
  EXPECT_EQ(page_->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lblBui_"))).size(), 64);
  EXPECT_EQ(page_->findChildren<QCheckBox*>(QRegularExpression(QStringLiteral("^CHKbui_"))).size(), 64);
  EXPECT_EQ(Label(28), nullptr);
  EXPECT_EQ(Box(28), nullptr);
  for (int i = 0; i < kSiteCount; ++i) {
    if (i == 28) continue;
    QLabel* label = Label(i);
    QCheckBox* box = Box(i);
    ASSERT_TRUE(label && box) << i;
    EXPECT_EQ(label->text(), QString::number(i + 1));
    EXPECT_EQ(box->text(), QString::number(i + 1));
    EXPECT_EQ(label->toolTip(), names_[i]) << i;
    EXPECT_FALSE(label->toolTip().isEmpty()) << i;
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor) << i;
    EXPECT_EQ(Colour(label), kBlack) << i;
    EXPECT_FALSE(box->isChecked()) << i;
  }
  ASSERT_NE(Drawing(), nullptr);
  EXPECT_EQ(Drawing()->size(), QSize(683, 392));
  EXPECT_EQ(Drawing()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(BodySitePageTest, ClickingALabelMarksItsSite) {
  for (int index : {0, 64}) {
    spy_->clear();
    QTest::mouseClick(Label(index), Qt::LeftButton);
    EXPECT_TRUE(Box(index)->isChecked()) << index;
    EXPECT_EQ(Colour(Label(index)), kRed) << index;
    EXPECT_EQ(Emitted(), (std::vector<std::pair<int, int>>{{index, 1}}));
  }
  EXPECT_EQ(RedLabels(), (std::vector<int>{0, 64}));
  EXPECT_EQ(CheckedBoxes(), (std::vector<int>{0, 64}));
}

TEST_F(BodySitePageTest, ClickingALabelTwiceLeavesItsSiteUnmarked) {
  QTest::mouseClick(Label(5), Qt::LeftButton);
  QTest::mouseClick(Label(5), Qt::LeftButton);
  EXPECT_FALSE(Box(5)->isChecked());
  EXPECT_EQ(Colour(Label(5)), kBlack);
  EXPECT_EQ(Emitted(), (std::vector<std::pair<int, int>>{{5, 1}, {5, 0}}));
  // Another button does not toggle.
  QTest::mouseClick(Label(5), Qt::RightButton);
  EXPECT_FALSE(Box(5)->isChecked());
  EXPECT_EQ(spy_->size(), 2);
}

TEST_F(BodySitePageTest, ClickingACheckBoxStoresItsMark) {
  Box(47)->click();
  Box(47)->click();
  Box(47)->click();
  EXPECT_EQ(Emitted(), (std::vector<std::pair<int, int>>{{47, 1}, {47, 0}, {47, 1}}));
  EXPECT_EQ(Colour(Label(47)), kRed);
  // The label then clears what the box marked.
  QTest::mouseClick(Label(47), Qt::LeftButton);
  EXPECT_FALSE(Box(47)->isChecked());
  EXPECT_EQ(Colour(Label(47)), kBlack);
}

TEST_F(BodySitePageTest, ShowingMarksSetsBoxesAndColoursWithoutEmitting) {
  QTest::mouseClick(Label(10), Qt::LeftButton);  // marked before the report is shown
  spy_->clear();

  std::array<std::int16_t, kSiteSlots> sites{};
  for (int i : {0, 28, 33, 64, 65, 80}) sites[i] = 1;
  page_->showMarks(sites);
  EXPECT_EQ(CheckedBoxes(), (std::vector<int>{0, 33, 64}));
  EXPECT_EQ(RedLabels(), (std::vector<int>{0, 33, 64}));
  EXPECT_EQ(spy_->size(), 0);

  page_->clearMarks();
  EXPECT_TRUE(CheckedBoxes().empty());
  EXPECT_TRUE(RedLabels().empty());
  EXPECT_EQ(spy_->size(), 0);

  // After clearing, a click marks the site again.
  QTest::mouseClick(Label(33), Qt::LeftButton);
  EXPECT_EQ(Emitted(), (std::vector<std::pair<int, int>>{{33, 1}}));
}

TEST_F(BodySitePageTest, LabelsSitOnTheDrawingWithoutOverlapping) {
  const QRect drawing = Drawing()->geometry();
  const QImage picture = RenderBodySiteDrawing(drawing.size());
  ASSERT_EQ(picture.size(), drawing.size());
  const QRgb white = qRgb(255, 255, 255);
  for (int i = 0; i < kSiteCount; ++i) {
    QLabel* a = Label(i);
    if (!a) continue;
    EXPECT_TRUE(drawing.contains(a->geometry())) << i + 1;
    // The label's centre is on the drawn body, not on the white around it.
    const QPoint centre = a->geometry().center() - drawing.topLeft();
    EXPECT_NE(picture.pixel(centre), white) << i + 1;
    EXPECT_LE((BodySiteSpot(i + 1) - a->geometry().center()).manhattanLength(), 2) << i + 1;
    for (int j = i + 1; j < kSiteCount; ++j)
      if (QLabel* b = Label(j)) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry())) << i + 1 << " " << j + 1;
      }
  }
  EXPECT_EQ(BodySiteSpot(29), QPoint(-1, -1));
  EXPECT_EQ(BodySiteSpot(66), QPoint(-1, -1));
}

TEST_F(BodySitePageTest, LabelsStandInTheirRegionsAndOnTheirSides) {
  auto centre = [&](int site) { return Label(site - 1)->geometry().center(); };
  // Regions: front figure left of the back figure, both left of the hands;
  // the right hand above the left hand.
  int frontMaxX = 0, backMinX = 1 << 20, backMaxX = 0, handMinX = 1 << 20, rightMaxY = 0, leftMinY = 1 << 20;
  for (int n = 1; n <= kSiteCount; ++n) {
    if (!IsDrawnSite(n)) continue;
    const QPoint c = centre(n);
    switch (BodyRegionOf(n)) {
      case BodyRegion::Front: frontMaxX = std::max(frontMaxX, c.x()); break;
      case BodyRegion::Back:
        backMinX = std::min(backMinX, c.x());
        backMaxX = std::max(backMaxX, c.x());
        break;
      case BodyRegion::RightHand:
        handMinX = std::min(handMinX, c.x());
        rightMaxY = std::max(rightMaxY, c.y());
        break;
      case BodyRegion::LeftHand:
        handMinX = std::min(handMinX, c.x());
        leftMinY = std::min(leftMinY, c.y());
        break;
      case BodyRegion::None: break;
    }
  }
  EXPECT_LT(frontMaxX, backMinX);
  EXPECT_LT(backMaxX, handMinX);
  EXPECT_LT(rightMaxY, leftMinY);

  // Sides: the front shows the figure's right on the viewer's left, the back
  // its left; the hands run thumb, fingers, back/palm as their names say.
  // clang-format off
  const std::pair<int, int> leftOf[] = {
      {33, 39}, {34, 40}, {30, 47}, {35, 41}, {36, 42}, {37, 43}, {38, 44}, {32, 45}, {31, 46},  // front
      {51, 57}, {52, 58}, {48, 65}, {53, 59}, {54, 60}, {55, 61}, {56, 62}, {50, 63}, {49, 64},  // back
      {31, 32}, {45, 46} /* forearms further out than upper arms */,
      {1, 2}, {2, 3}, {3, 4}, {4, 5}, {6, 7}, {8, 13}, {9, 10}, {10, 11}, {11, 12}, {13, 14},    // right hand
      {15, 16}, {16, 21}, {17, 18}, {18, 19}, {19, 20}, {22, 27}, {23, 24}, {24, 25}, {25, 26}, {27, 28},
      {7, 8}, {21, 22} /* back of the right hand left of its palm; left palm left of its back */,
  };
  // clang-format on
  for (auto [a, b] : leftOf) EXPECT_LT(centre(a).x(), centre(b).x()) << a << " left of " << b;
  const std::pair<int, int> above[] = {
      {33, 34}, {34, 30}, {30, 35}, {35, 36}, {36, 37}, {37, 38}, {32, 31}, {51, 52},
      {52, 48}, {48, 53}, {53, 54}, {54, 55}, {55, 56}, {50, 49}, {3, 1},   {2, 6},
      {5, 7},   {11, 14}, {9, 8},   {18, 15}, {17, 16}, {25, 28}, {23, 22},
  };
  for (auto [a, b] : above) EXPECT_LT(centre(a).y(), centre(b).y()) << a << " above " << b;
}

TEST_F(BodySitePageTest, CheckBoxesStandInFourColumnsFromTheRight) {
  auto box = [&](int site) { return Box(site - 1)->geometry(); };
  const QRect drawing = Drawing()->geometry();
  // Column tops, from the rightmost: 1, 17, 33, 49.
  EXPECT_GT(box(1).x(), box(17).x());
  EXPECT_GT(box(17).x(), box(33).x());
  EXPECT_GT(box(33).x(), box(49).x());
  EXPECT_GT(box(49).x(), drawing.right());
  for (int top : {17, 33, 49}) EXPECT_EQ(box(top).y(), box(1).y()) << top;
  const int pitch = box(2).y() - box(1).y();
  ASSERT_GT(pitch, 0);
  // Numbers run down each column; 29's place stays empty.
  const std::pair<int, int> columns[] = {{1, 16}, {17, 32}, {33, 48}, {49, 65}};
  for (auto [first, last] : columns) {
    for (int n = first; n <= last; ++n) {
      if (n == 29) continue;
      EXPECT_EQ(box(n).x(), box(first).x()) << n;
      EXPECT_EQ(box(n).y(), box(first).y() + (n - first) * pitch) << n;
    }
  }
  const QRect page = page_->rect();
  for (int i = 0; i < kSiteCount; ++i) {
    QCheckBox* a = Box(i);
    if (!a) continue;
    EXPECT_TRUE(page.contains(a->geometry())) << i + 1;
    EXPECT_FALSE(a->geometry().intersects(drawing)) << i + 1;
    for (int j = i + 1; j < kSiteCount; ++j)
      if (QCheckBox* b = Box(j)) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry())) << i + 1 << " " << j + 1;
      }
  }
}

}  // namespace
}  // namespace orvanta
