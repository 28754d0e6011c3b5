#include "gui/reports/report_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <variant>

#include "core/app/app_state.h"
#include "core/platform/safe_save.h"
#include "core/platform/value_file.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file.h"
#include "core/reports/data_file_repair.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"
#include "gui/widgets/layout_helpers.h"
#include "support/gui/typing.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::Commit;
using testing::FileBytes;
using testing::Retype;
using testing::Type;

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 30, 40));  // a Wednesday

CodeList ListOf(std::initializer_list<std::tuple<const char16_t*, const char16_t*, std::int32_t>> entries) {
  CodeList list;
  for (const auto& [code, name, id] : entries)
    list.entries.append(CodeEntry{QString::fromUtf16(name), QString::fromUtf16(code), id});
  return list;
}

class ReportWindowTest : public ::testing::Test, public testing::TempDrive {
 protected:
  ReportWindowTest() : TempDrive(kNow) {}
  void SetUp() override {
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    state.lists[kOccupations] = ListOf({{u"1", u"医師", 1}, {u"2", u"看護師", 2}, {u"14", u"その他", 14}});
    state.lists[kPlaces] = ListOf({{u"1", u"病室", 50}, {u"3", u"手術室", 51}});
    state.lists[kPurposes] = ListOf({{u"1", u"採血", 100}});
    state.lists[kCircumstances] = ListOf({{u"2", u"使用中", 150}});
    state.lists[kDevices] = ListOf({{u"1", u"注射針", 200}, {u"6", u"翼状針", 206}});
    state.lists[kSeverities] = ListOf({{u"1", u"軽症", 300}});
    state.lists[kQuestion6Answers] = ListOf({{u"1", u"はい", 321}, {u"2", u"いいえ", 322}});
    state.lists[kQuestion7Answers] = ListOf({{u"1", u"汚染あり", 341}});
    state.lists[kDepartments] = ListOf({{u"1", u"内科", 401}, {u"2", u"外科", 402}});
    state.lists[kActionTypes] = ListOf({{u"1", u"採血", 451}});
    state.counters.LastCodeId = 470;
  }

  static ReportRecord Report(int id) {
    ReportRecord r;
    r.ReportId = id;
    r.Texts[kReporterName] = QStringLiteral("報告者%1").arg(id);
    r.Years = {2025, 2025, 0};
    r.Months = {6, 6, 0};
    r.Days = {1, 2, 0};
    return r;
  }
  // Data files with the given report counts, reports numbered on from 1,
  // counters to match; the newest file is in memory at its last report, as
  // the main window leaves it.
  void Collection(std::initializer_list<int> counts) {
    int id = 1, n = 0;
    for (int count : counts) {
      std::vector<ReportRecord> table;
      for (int i = 0; i < count; ++i) table.push_back(Report(id++));
      ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(n), table));
      state.dataFile.FileRecordCounts[static_cast<std::size_t>(n++)] = static_cast<std::int16_t>(count);
    }
    state.counters.LastReportId = state.counters.TotalReports = id - 1;
    state.counters.NewestFileNo = static_cast<std::int16_t>(n - 1);
    state.dataFile.CurrentFileNo = n - 1;
    ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(n - 1), state.dataFile.ReportTable).ok());
    state.dataFile.CurrentIndex = std::max(0, state.dataFile.ReportCount() - 1);
  }

  template <typename T>
  T* Find(const ReportWindow& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QLineEdit* Box(const ReportWindow& w, const char* name) { return Find<QLineEdit>(w, name); }
  void ShowPage(const ReportWindow& w, int page) { Find<QTabBar>(w, "TabStrip1")->setCurrentIndex(page); }
};

TEST_F(ReportWindowTest, TheWindowHasItsPagesRowAndMenu) {
  Collection({3});
  ReportWindow w(state);
  EXPECT_EQ(w.objectName(), QStringLiteral("frmrep"));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("事故時報告書"));

  auto* tabs = Find<QTabBar>(w, "TabStrip1");
  const QStringList captions{"報告者",     "職種・場所・患者",    "事故状況", "原因器材・安全装置", "部位",
                             "その他質問", "事故状況･背景の詳細", "事故防止"};
  const QStringList tips{"報告者・事故発生日時等の記述",
                         "職種、事故発生場所、汚染源患者についての記述",
                         "器材の使用、汚染、使用目的、事故状況似ついての記述",
                         "原因器材と安全装置についての記述",
                         "針刺し･切創部位についての記述",
                         "事故の程度・HBs抗体・緊急処置についての記述",
                         "事故発生時の状況や背景についての詳細な記述",
                         "事故防止対策に対する記述"};
  ASSERT_EQ(tabs->count(), 8);
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(tabs->tabText(t), captions[t]);
    EXPECT_EQ(tabs->tabToolTip(t), tips[t]);
  }

  // Each page holds its questions' frames and controls.
  struct PageContents {
    QStringList frames;
    QStringList controls;
  };
  const PageContents pages[8] = {
      {{"１報告者", "２発生日時"}, {"Text1_5",   "Text1_7",  "Text1_0", "Combo1_8", "Text1_2", "Text1_8", "Option1_0",
                                    "Option1_1", "Text1_3",  "txy_0",   "VSy_0",    "txm_0",   "txd_0",   "Label12_0",
                                    "txhour_0",  "vsHour_0", "txmin_0", "vsMin_0",  "txy_1",   "txd_1",   "Label12_1"}},
      {{"３職種", "４針刺し･切創事故発生場所", "５汚染源の患者が誰かわかっていますか？", "事故後の受診"},
       {"Combo1_0", "Text3_0", "Combo1_1", "Text3_1", "Option2_0", "Option2_1", "Option2_2", "Text1_4", "Text1_6",
        "Option3_0", "Option3_2", "Option4_1", "Option5_2", "Text1_1", "Option10_0", "Option10_1"}},
      {{"６受傷者自身が原因器材を患者に使っているときの受傷でしたか？",
        "７器材は血液・体液などで汚染されていましたか？", "８原因器材はどのような目的で使用されていましたか？",
        "９どのような過程(状況)で針刺し・切創事故が生じましたか？"},
       {"Combo1_6", "Combo1_7", "Combo1_2", "Text3_2", "Combo1_3", "Text3_3", "Combo1_9"}},
      {{"１０針刺し･切創事故の原因となった器材は？",
        "１１針で事故が発生した場合、その針は安全装置のついている針でしたか？", "安全装置を作動させましたか？"},
       {"Combo1_4", "Text3_4", "Option6_0", "Option6_1", "Option7_0", "Option7_1", "Text3_5"}},
      {{"１２針刺し・切創部位をチェックしてください(図中の数字をクリックしてもチェックできます)"},
       {"Image1", "CHKbui_0", "CHKbui_64", "lblBui_0", "lblBui_64"}},
      {{"１３針刺し･切創事故の程度", "１４あなた自身はHBs抗体陽性ですか？",
        "１５蘇生時などの緊急処置時の受傷でしたか？"},
       {"Combo1_5", "Option8_0", "Option8_3", "Option9_0", "Option9_1"}},
      {{"１６針刺し･切創事故発生時の状況及び背景について、下記の（1）～（6）を含め詳しく記載してください。"},
       {"Text2_1"}},
      {{"１７あなたはどのようにすればこの事故が防げたと思いますか？簡単に記載してください"}, {"Text2_2"}},
  };
  auto* stack = qobject_cast<QStackedWidget*>(Find<QWidget>(w, "Picture1_0")->parentWidget());
  ASSERT_NE(stack, nullptr);
  for (int p = 0; p < 8; ++p) {
    QWidget* page = Find<QWidget>(w, ControlName("Picture1", p).toLatin1().constData());
    QStringList titles;
    for (const QGroupBox* f : page->findChildren<QGroupBox*>()) titles << f->title();
    for (const QString& frame : pages[p].frames) EXPECT_TRUE(titles.contains(frame)) << p << frame.toStdString();
    for (const QString& name : pages[p].controls)
      EXPECT_NE(page->findChild<QWidget*>(name), nullptr) << p << name.toStdString();
    tabs->setCurrentIndex(p);
    EXPECT_EQ(stack->currentWidget(), page);
  }
  QStringList q16;
  for (const QLabel* l : Find<QWidget>(w, "Picture1_6")->findChildren<QLabel*>()) q16 << l->text();
  for (const char* line :
       {"(1)具体的な事故発生現場（階、病棟名、ナースステーション等)",
        "(2)事故発生時にどのような仕事、行為をしていたか？", "(3)事故を起こした器材または装置",
        "(4)どのようにして事故が発生したか？", "(5)事故に関連する特別な事情・状況・背景等", "(6)事故後の処置、対応"})
    EXPECT_TRUE(q16.contains(QString::fromUtf8(line))) << line;
  QStringList q5;
  for (const QLabel* l : Find<QWidget>(w, "Picture1_1")->findChildren<QLabel*>()) q5 << l->text();
  for (const char* label : {"患者カルテ番号", "患者氏名", "患者の検査結果", "陽性", "陰性", "未検査", "HIV感染",
                            "HCV感染", "HBV感染", "その他", "その他の場合"})
    EXPECT_TRUE(q5.contains(QString::fromUtf8(label))) << label;
  EXPECT_EQ(Find<QRadioButton>(w, "Option2_2")->text(), QStringLiteral("適切な回答なし(患者への使用前)"));
  EXPECT_EQ(Find<QRadioButton>(w, "Option8_1")->text(), QStringLiteral("はい(自然陽転あるいは既往疾患などによる)"));

  // The row above the tabs, the remarks under the pages, the menu.
  const std::pair<const char*, const char*> buttons[] = {
      {"Command7", "表示データの削除"}, {"Command4", "▲▲"},  {"Command2", "▲"}, {"Command3", "▼"}, {"Command5", "▼▼"},
      {"Command6", "新規追加"},         {"Command1", "戻る"}};
  for (const auto& [name, caption] : buttons) EXPECT_EQ(Find<QPushButton>(w, name)->text(), QString::fromUtf8(caption));
  for (const char* name : {"Command4", "Command2", "Label9_0", "Command3", "Command5"})
    EXPECT_EQ(Find<QWidget>(w, name)->toolTip(), QStringLiteral("表示する人を切り替えます")) << name;
  const QRect up = Find<QWidget>(w, "Command2")->geometry();
  const QRect add = Find<QWidget>(w, "Command6")->geometry();
  EXPECT_GT(add.top(), up.bottom());  // "新規追加" under "▲"
  EXPECT_TRUE(add.left() <= up.center().x() && up.center().x() <= add.right());
  EXPECT_EQ(Find<QPlainTextEdit>(w, "Text2_0")->parentWidget(), Find<QWidget>(w, "Command1")->parentWidget());
  QAction* item0 = Find<QAction>(w, "mnuSerItem_0");
  QAction* item1 = Find<QAction>(w, "mnuSerItem_1");
  EXPECT_EQ(item0->text(), QStringLiteral("カルテ番号"));
  EXPECT_EQ(item1->text(), QStringLiteral("報告者氏名"));
  const QList<QAction*> menus = Find<QMenuBar>(w, "MenuBar")->actions();
  ASSERT_EQ(menus.size(), 1);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("カルテ検索"));

  // The window fits a 1366 x 768 screen with its frame and a task bar.
  w.show();
  EXPECT_LE(w.frameGeometry().width(), 1366);
  EXPECT_LE(w.frameGeometry().height(), 700);
}

TEST_F(ReportWindowTest, TextBoxesUseTheirInputMethodModes) {
  Collection({1});
  ReportWindow w(state);
  for (const char* name : {"Text1_5", "Text1_6", "Text1_1", "Text3_0", "Text3_5"}) {
    EXPECT_TRUE(Box(w, name)->testAttribute(Qt::WA_InputMethodEnabled)) << name;
    EXPECT_FALSE(Box(w, name)->inputMethodHints() & Qt::ImhPreferLatin) << name;
  }
  for (const char* name : {"Text1_0", "Text1_4", "Text1_7"}) {
    EXPECT_TRUE(Box(w, name)->testAttribute(Qt::WA_InputMethodEnabled)) << name;
    EXPECT_TRUE(Box(w, name)->inputMethodHints() & Qt::ImhPreferLatin) << name;
  }
  for (const char* name : {"Text1_2", "Text1_3", "Text1_8", "txy_0", "txm_1", "txd_0", "txhour_0", "txmin_0"})
    EXPECT_FALSE(Box(w, name)->testAttribute(Qt::WA_InputMethodEnabled)) << name;
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(Find<QPlainTextEdit>(w, ControlName("Text2", k).toLatin1().constData())
                    ->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(ReportWindowTest, ANewReportFilledOnEveryPageIsWrittenWhenTheWindowCloses) {
  Collection({1});
  state.editing.NewReportMode = true;
  ReportWindow w(state);
  w.show();
  EXPECT_FALSE(w.isChanged());
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 2/ 2"));

  ShowPage(w, 0);
  Type(Box(w, "Text1_5"), QStringLiteral("山田花子"));
  EXPECT_TRUE(w.isChanged());
  QTest::keyClicks(Box(w, "Text1_7"), "S0042");
  QTest::keyClicks(Box(w, "Text1_0"), "K-1024");
  Find<QComboBox>(w, "Combo1_8")->setCurrentIndex(1);
  QTest::keyClicks(Box(w, "Text1_2"), "12");
  QTest::keyClicks(Box(w, "Text1_8"), "5");
  Find<QRadioButton>(w, "Option1_1")->click();
  QTest::keyClicks(Box(w, "Text1_3"), "34");
  Retype(Box(w, "txd_0"), QStringLiteral("1"));
  Retype(Box(w, "txhour_0"), QStringLiteral("8"));
  Find<QScrollBar>(w, "VSm_1")->triggerAction(QAbstractSlider::SliderSingleStepSub);  // upper arrow: next month

  ShowPage(w, 1);
  Find<QComboBox>(w, "Combo1_0")->setCurrentIndex(2);
  Type(Box(w, "Text3_0"), QStringLiteral("臨床工学技士"));
  Find<QComboBox>(w, "Combo1_1")->setCurrentIndex(1);
  Type(Box(w, "Text3_1"), QStringLiteral("処置室"));
  Find<QRadioButton>(w, "Option2_0")->click();
  QTest::keyClicks(Box(w, "Text1_4"), "P-555");
  Type(Box(w, "Text1_6"), QStringLiteral("佐藤一郎"));
  Find<QRadioButton>(w, "Option3_0")->click();
  Find<QRadioButton>(w, "Option4_1")->click();
  Find<QRadioButton>(w, "Option5_2")->click();
  Type(Box(w, "Text1_1"), QStringLiteral("梅毒"));
  Find<QRadioButton>(w, "Option10_1")->click();

  ShowPage(w, 2);
  Find<QComboBox>(w, "Combo1_6")->setCurrentIndex(1);
  Find<QComboBox>(w, "Combo1_7")->setCurrentIndex(0);
  Find<QComboBox>(w, "Combo1_2")->setCurrentIndex(0);
  Type(Box(w, "Text3_2"), QStringLiteral("点滴"));
  Find<QComboBox>(w, "Combo1_3")->setCurrentIndex(0);
  Type(Box(w, "Text3_3"), QStringLiteral("片付け"));
  Find<QComboBox>(w, "Combo1_9")->setCurrentIndex(0);

  ShowPage(w, 3);
  Find<QComboBox>(w, "Combo1_4")->setCurrentIndex(1);
  Type(Box(w, "Text3_4"), QStringLiteral("ペン型"));
  Find<QRadioButton>(w, "Option6_0")->click();
  Find<QRadioButton>(w, "Option7_1")->click();
  Type(Box(w, "Text3_5"), QStringLiteral("セーフティ針Ａ"));

  ShowPage(w, 4);
  QTest::mouseClick(Find<QLabel>(w, "lblBui_0"), Qt::LeftButton);
  Find<QCheckBox>(w, "CHKbui_64")->click();

  ShowPage(w, 5);
  Find<QComboBox>(w, "Combo1_5")->setCurrentIndex(0);
  Find<QRadioButton>(w, "Option8_3")->click();
  Find<QRadioButton>(w, "Option9_0")->click();

  ShowPage(w, 6);
  auto* background = Find<QPlainTextEdit>(w, "Text2_1");
  Type(background, QStringLiteral("ab"));
  QTest::keyClick(background, Qt::Key_Return);
  Type(background, QStringLiteral("cd"));
  ShowPage(w, 7);
  Type(Find<QPlainTextEdit>(w, "Text2_2"), QStringLiteral("防止策"));
  Type(Find<QPlainTextEdit>(w, "Text2_0"), QStringLiteral("備考です"));

  Find<QPushButton>(w, "Command1")->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(prompts.shown().empty());

  ReportRecord expected;
  expected.ReportId = 2;
  expected.Texts = {"K-1024", "梅毒", "12", "34", "P-555", "山田花子", "佐藤一郎", "S0042", "5", "", ""};
  expected.Choices = {2, 1, 1, 2, 3, 1, 2, 4, 1, 2, 0};
  expected.Notes = {"備考です", "ab∨∧cd", "防止策", "", "", ""};
  expected.OtherTexts = {"臨床工学技士", "処置室", "点滴", "片付け", "ペン型", "セーフティ針Ａ"};
  expected.AnswerIds = {14, 51, 100, 150, 206, 300, 322, 341, 402, 451};
  expected.Years = {2026, 2027, 0};
  expected.Months = {12, 1, 0};
  expected.Days = {1, 9, 0};
  expected.Hours = {8, 0, 0};
  expected.Minutes = {30, 0, 0};
  expected.Sites[0] = expected.Sites[64] = 1;
  EXPECT_EQ(state.dataFile.ReportTable[1], expected);
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), DataFileBytes({Report(1), expected}));
  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 2 \r\n 0 \r\n 2 \r\n"));
}

TEST_F(ReportWindowTest, CommasAndUnstorableCharactersNeverReachTheReport) {
  Collection({1});
  ReportWindow w(state);
  struct Case {
    const char* box;
    QString typed, kept;
  } cases[] = {
      {"Text1_5", QStringLiteral("山田,花子，様"), QStringLiteral("山田花子様")},
      {"Text1_0", QStringLiteral("K,1"), QStringLiteral("K1")},
      {"Text3_1", QStringLiteral("処置室,前"), QStringLiteral("処置室前")},
      {"Text1_6", QStringLiteral("患者😀名"), QStringLiteral("患者名")},
  };
  for (const Case& c : cases) {
    QLineEdit* box = Box(w, c.box);
    Retype(box, c.typed);
    EXPECT_EQ(box->text(), c.kept) << c.box;
    EXPECT_EQ(box->cursorPosition(), c.kept.size()) << c.box;
  }
  const ReportRecord& r = state.dataFile.ReportTable[0];
  EXPECT_EQ(r.Texts[kReporterName], QStringLiteral("山田花子様"));
  EXPECT_EQ(r.Texts[kRecordNumber], QStringLiteral("K1"));
  EXPECT_EQ(r.OtherTexts[1], QStringLiteral("処置室前"));
  EXPECT_EQ(r.Texts[kPatientName], QStringLiteral("患者名"));

  // A note keeps what was typed in its box and stores "、" and the line marks.
  auto* note = Find<QPlainTextEdit>(w, "Text2_1");
  Type(note, QStringLiteral("採血後,"));
  QTest::keyClick(note, Qt::Key_Return);
  Type(note, QStringLiteral("リキャップ，受傷😀"));
  EXPECT_EQ(note->toPlainText(), QStringLiteral("採血後,\nリキャップ，受傷"));
  EXPECT_EQ(state.dataFile.ReportTable[0].Notes[1], QStringLiteral("採血後、∨∧リキャップ、受傷"));
}

TEST_F(ReportWindowTest, ListsShowCodeAndNameAndOptionsStoreTheirNumber) {
  Collection({1});
  ReportWindow w(state);
  auto* devices = Find<QComboBox>(w, "Combo1_4");
  EXPECT_FALSE(devices->isEditable());
  ASSERT_EQ(devices->count(), 2);
  EXPECT_EQ(devices->itemText(0), QStringLiteral("1;注射針"));
  EXPECT_EQ(devices->itemText(1), QStringLiteral("6;翼状針"));
  EXPECT_EQ(devices->currentIndex(), -1);
  for (int k = 0; k < 10; ++k) {
    auto* box = Find<QComboBox>(w, ControlName("Combo1", k).toLatin1().constData());
    const CodeList& list = state.lists[static_cast<std::size_t>(k)];
    ASSERT_EQ(box->count(), list.count()) << k;
    box->setCurrentIndex(list.count() - 1);
    EXPECT_EQ(state.dataFile.ReportTable[0].AnswerIds[k], list.entries.back().id) << k;
  }
  // Deselecting stores nothing.
  devices->setCurrentIndex(-1);
  EXPECT_EQ(state.dataFile.ReportTable[0].AnswerIds[kDevices], 206);

  for (int g = 0; g < ReportWindow::kOptionGroups; ++g) {
    for (int n = 0; n < ReportWindow::kOptionCounts[g]; ++n) {
      if (g == 1) continue;  // question 5 has its own test
      const QByteArray name = "Option" + QByteArray::number(g + 1) + "_" + QByteArray::number(n);
      Find<QRadioButton>(w, name.constData())->click();
      EXPECT_EQ(state.dataFile.ReportTable[0].Choices[g], n + 1) << name.constData();
    }
  }
  EXPECT_TRUE(w.isChanged());
}

TEST_F(ReportWindowTest, QuestionFiveClosesThePatientBlockAndClearsTheResults) {
  Collection({1});
  ReportWindow w(state);
  const ReportRecord& r = state.dataFile.ReportTable[0];
  const char* block[] = {"Text1_4",   "Text1_6",   "Text1_1",   "Option3_0", "Option3_1", "Option3_2",
                         "Option4_0", "Option4_1", "Option4_2", "Option5_0", "Option5_1", "Option5_2"};
  auto blockEnabled = [&](bool enabled) {
    for (const char* name : block) EXPECT_EQ(Find<QWidget>(w, name)->isEnabled(), enabled) << name;
    QStringList labels;
    for (const QLabel* l : Find<QWidget>(w, "Picture1_1")->findChildren<QLabel*>()) {
      if (l->isEnabled() != enabled) labels << l->text();
    }
    for (const char* label : {"患者カルテ番号", "患者の検査結果", "患者氏名", "HIV感染", "HCV感染", "HBV感染", "その他",
                              "陽性", "陰性", "未検査"})
      EXPECT_FALSE(labels.contains(QString::fromUtf8(label))) << label << " enabled " << enabled;
  };

  for (const char* no : {"Option2_1", "Option2_2"}) {
    Find<QRadioButton>(w, "Option2_0")->click();
    blockEnabled(true);
    QTest::keyClicks(Box(w, "Text1_4"), "P1");
    Type(Box(w, "Text1_6"), QStringLiteral("患者"));
    Find<QRadioButton>(w, "Option3_0")->click();
    Find<QRadioButton>(w, "Option4_1")->click();
    Find<QRadioButton>(w, "Option5_2")->click();
    Type(Box(w, "Text1_1"), QStringLiteral("梅毒"));
    Find<QRadioButton>(w, "Option10_0")->click();

    Find<QRadioButton>(w, no)->click();
    blockEnabled(false);
    EXPECT_EQ(r.Choices[1], no[8] - '0' + 1);
    EXPECT_EQ(r.Choices[2], 0);
    EXPECT_EQ(r.Choices[3], 0);
    EXPECT_EQ(r.Choices[4], 0);
    EXPECT_EQ(r.Texts[kOtherInfection], QString());
    EXPECT_EQ(Box(w, "Text1_1")->text(), QString());
    for (const char* o : {"Option3_0", "Option4_1", "Option5_2"}) EXPECT_FALSE(Find<QRadioButton>(w, o)->isChecked());
    // The patient's record number and name stay; the visit answer too.
    EXPECT_EQ(r.Texts[kPatientRecordNumber], QStringLiteral("P1"));
    EXPECT_EQ(Box(w, "Text1_6")->text(), QStringLiteral("患者"));
    EXPECT_EQ(r.Choices[9], 1);

    // "はい" again opens the block empty.
    Find<QRadioButton>(w, "Option2_0")->click();
    blockEnabled(true);
    EXPECT_EQ(Box(w, "Text1_1")->text(), QString());
    for (const char* o : {"Option3_0", "Option4_1", "Option5_2"}) EXPECT_FALSE(Find<QRadioButton>(w, o)->isChecked());
    Box(w, "Text1_4")->clear();
    Box(w, "Text1_6")->clear();
  }
}

TEST_F(ReportWindowTest, AStoredReportIsShownControlForControl) {
  Collection({1000, 3});
  ReportRecord& first = state.dataFile.ReportTable[0];
  // "いいえ" with an HIV result and a text kept in the closed block (as a
  // file from elsewhere may hold them).
  first.Choices = {1, 2, 1, 0, 0, 1, 1, 1, 1, 1, 0};
  first.Sites[1] = 1;
  first.Texts[kOtherInfection] = QStringLiteral("残り");
  first.Years[0] = 2026;  // today, as the report after it will show
  first.Months[0] = 12;
  first.Days[0] = 9;
  ReportRecord& r = state.dataFile.ReportTable[1];
  r.Texts = {"K-9", "梅毒", "3", "41", "P-7", "山田花子", "佐藤一郎", "S-1", "2", "", ""};
  r.Choices = {2, 1, 1, 2, 3, 0, 2, 9, 0, 1, 0};  // 9: beyond question 14's four answers
  r.Notes = {"一行目∨∧二行目", "背景、詳細", "", "", "", ""};
  r.OtherTexts = {"他0", "他1", "他2", "他3", "他4", "製品"};
  r.AnswerIds = {2, 99, 100, 0, 206, 300, 322, 341, 401, 451};  // 99: deleted since
  r.Years = {0, 2025, 0};
  r.Months = {0, 3, 0};
  r.Days = {0, 15, 0};
  r.Hours = {23, 0, 0};
  r.Minutes = {5, 0, 0};
  r.Sites[12] = r.Sites[47] = 1;
  const QByteArray onDisk = FileBytes(state.paths.DataFilePath(1));

  state.dataFile.CurrentIndex = 0;
  const ReportRecord firstAsStored = first;
  ReportWindow w(state);
  EXPECT_FALSE(Find<QWidget>(w, "Text1_4")->isEnabled());
  // Showing closes the block but leaves what it holds as stored.
  EXPECT_EQ(state.dataFile.ReportTable[0], firstAsStored);
  EXPECT_TRUE(Find<QRadioButton>(w, "Option3_0")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(w, "Option3_0")->isEnabled());
  EXPECT_EQ(Box(w, "Text1_1")->text(), QStringLiteral("残り"));
  state.dataFile.CurrentIndex = 1;
  w.showReport();

  for (int k = 0; k < 9; ++k)
    EXPECT_EQ(Box(w, ControlName("Text1", k).toLatin1().constData())->text(), r.Texts[k]) << k;
  const int selected[10] = {1, -1, 0, -1, 1, 0, 1, 0, 0, 0};
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(Find<QComboBox>(w, ControlName("Combo1", k).toLatin1().constData())->currentIndex(), selected[k]) << k;
  EXPECT_EQ(r.AnswerIds[1], 99);  // kept until another entry is chosen
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 1002/ 1003"));
  EXPECT_EQ(Find<QPlainTextEdit>(w, "Text2_0")->toPlainText(), QStringLiteral("一行目\n二行目"));
  EXPECT_EQ(Find<QPlainTextEdit>(w, "Text2_1")->toPlainText(), QStringLiteral("背景、詳細"));
  EXPECT_EQ(Find<QPlainTextEdit>(w, "Text2_2")->toPlainText(), QString());
  for (int k = 0; k < 6; ++k)
    EXPECT_EQ(Box(w, ControlName("Text3", k).toLatin1().constData())->text(), r.OtherTexts[k]) << k;

  // The date stored as 0 shows today, and the report holds it; the other
  // date and the time as stored, with their weekdays.
  EXPECT_EQ(Box(w, "txy_0")->text().trimmed(), QStringLiteral("2026"));
  EXPECT_EQ(Box(w, "txm_0")->text().trimmed(), QStringLiteral("12"));
  EXPECT_EQ(Box(w, "txd_0")->text().trimmed(), QStringLiteral("9"));
  EXPECT_EQ(Find<QLabel>(w, "Label12_0")->text(), QStringLiteral("水"));
  EXPECT_EQ(Box(w, "txy_1")->text().trimmed(), QStringLiteral("2025"));
  EXPECT_EQ(Box(w, "txm_1")->text().trimmed(), QStringLiteral("3"));
  EXPECT_EQ(Box(w, "txd_1")->text().trimmed(), QStringLiteral("15"));
  EXPECT_EQ(Find<QLabel>(w, "Label12_1")->text(), QStringLiteral("土"));
  EXPECT_EQ(Box(w, "txhour_0")->text().trimmed(), QStringLiteral("23"));
  EXPECT_EQ(Box(w, "txmin_0")->text().trimmed(), QStringLiteral("5"));
  EXPECT_EQ(r.Years[0], 2026);
  EXPECT_EQ(r.Months[0], 12);
  EXPECT_EQ(r.Days[0], 9);
  EXPECT_EQ(r.Years[1], 2025);

  // Options: the earlier report's answers are gone, this one's are chosen.
  struct Option {
    const char* name;
    bool checked;
  } options[] = {{"Option1_1", true}, {"Option1_0", false}, {"Option2_0", true},  {"Option3_0", true},
                 {"Option4_1", true}, {"Option5_2", true},  {"Option6_0", false}, {"Option6_1", false},
                 {"Option7_1", true}, {"Option8_0", false}, {"Option8_3", false}, {"Option9_0", false},
                 {"Option10_0", true}};
  for (const Option& o : options) EXPECT_EQ(Find<QRadioButton>(w, o.name)->isChecked(), o.checked) << o.name;
  EXPECT_TRUE(Find<QWidget>(w, "Text1_4")->isEnabled());

  // Body sites: boxes from the marks, labels red for marked sites.
  for (int i : {1, 12, 47}) {
    const bool marked = i != 1;
    const QByteArray box = "CHKbui_" + QByteArray::number(i);
    const QByteArray label = "lblBui_" + QByteArray::number(i);
    EXPECT_EQ(Find<QCheckBox>(w, box.constData())->isChecked(), marked) << i;
    EXPECT_EQ(Find<QLabel>(w, label.constData())->palette().color(QPalette::WindowText),
              marked ? QColor(255, 0, 0) : QColor(Qt::black))
        << i;
  }

  // Showing is no change: closing writes nothing.
  EXPECT_FALSE(w.isChanged());
  w.show();
  Find<QPushButton>(w, "Command1")->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1)), onDisk);
  EXPECT_FALSE(QFile::exists(state.paths.IdFilePath()));
}

TEST_F(ReportWindowTest, NewReportStartsAtTheEndOfTheNewestFileWithoutAChange) {
  Collection({2, 3});
  ReportWindow w(state);
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 5/ 5"));
  EXPECT_EQ(Box(w, "Text1_5")->text(), QStringLiteral("報告者5"));
  QTest::mouseClick(Find<QLabel>(w, "lblBui_3"), Qt::LeftButton);
  Find<QRadioButton>(w, "Option2_1")->click();
  EXPECT_FALSE(Find<QWidget>(w, "Text1_4")->isEnabled());
  EXPECT_TRUE(w.isChanged());
  Find<QPushButton>(w, "Command6")->click();

  ASSERT_EQ(state.dataFile.ReportCount(), 4);
  EXPECT_EQ(state.dataFile.CurrentIndex, 3);
  EXPECT_EQ(state.dataFile.ReportTable[3].ReportId, 6);
  EXPECT_EQ(state.counters.TotalReports, 6);
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 6/ 6"));
  EXPECT_EQ(Box(w, "Text1_5")->text(), QString());
  EXPECT_EQ(Box(w, "txd_0")->text().trimmed(), QStringLiteral("9"));
  EXPECT_EQ(Box(w, "txhour_0")->text().trimmed(), QStringLiteral("10"));
  EXPECT_EQ(Box(w, "txmin_0")->text().trimmed(), QStringLiteral("30"));
  EXPECT_EQ(Find<QLabel>(w, "Label12_1")->text(), QStringLiteral("水"));
  EXPECT_FALSE(Find<QCheckBox>(w, "CHKbui_3")->isChecked());
  EXPECT_EQ(Find<QLabel>(w, "lblBui_3")->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_FALSE(Find<QRadioButton>(w, "Option2_1")->isChecked());
  EXPECT_TRUE(Find<QWidget>(w, "Text1_4")->isEnabled());
  EXPECT_TRUE(w.isChanged());  // the edits of the report before are still to be saved
}

TEST_F(ReportWindowTest, AnUntouchedNewReportIsNotWrittenAndTheCountersStayTrue) {
  Collection({2});
  const QByteArray onDisk = FileBytes(state.paths.DataFilePath(0));
  state.editing.NewReportMode = true;
  {
    ReportWindow w(state);
    w.show();
    EXPECT_EQ(state.counters.TotalReports, 3);
    EXPECT_FALSE(w.isChanged());
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
  }
  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), onDisk);
  EXPECT_FALSE(QFile::exists(state.paths.IdFilePath()));
  EXPECT_EQ(state.dataFile.ReportCount(), 2);
  EXPECT_EQ(state.counters.TotalReports, 2);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 2);
  EXPECT_EQ(state.counters.LastReportId, 3);  // the id is not given again
}

TEST_F(ReportWindowTest, TheReportAfterAThousandStartsTheNextFile) {
  Collection({1000});
  state.editing.NewReportMode = true;
  ReportWindow w(state);
  w.show();
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_EQ(state.dataFile.CurrentFileNo, 1);
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 1001/ 1001"));
  Type(Box(w, "Text1_5"), QStringLiteral("千一人目"));
  w.close();  // the close box
  EXPECT_FALSE(w.isVisible());

  std::vector<ReportRecord> file1;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(1), file1).ok());
  ASSERT_EQ(file1.size(), 1u);
  EXPECT_EQ(file1[0].ReportId, 1001);
  EXPECT_EQ(file1[0].Texts[kReporterName], QStringLiteral("千一人目"));
  EXPECT_EQ(FileBytes(state.paths.IdFilePath()), QByteArray(" 470 \r\n 1001 \r\n 1 \r\n 1001 \r\n"));
}

TEST_F(ReportWindowTest, NoNewReportWhenTheLastPossibleFileIsFull) {
  std::vector<ReportRecord> full;
  for (int i = 0; i < 1000; ++i) full.push_back(Report(7000 + i));
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(kMaxFileNo), full));
  state.dataFile.ReportTable = full;
  state.counters.NewestFileNo = kMaxFileNo;
  state.dataFile.CurrentFileNo = kMaxFileNo;
  state.dataFile.CurrentIndex = 999;
  state.counters.TotalReports = 1000;
  state.counters.LastReportId = 7999;
  state.dataFile.FileRecordCounts[kMaxFileNo] = 1000;
  state.editing.NewReportMode = true;
  prompts.answer(PromptAnswer::Ok);
  ReportWindow w(state);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, kCollectionFullMessage);
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  EXPECT_EQ(state.dataFile.ReportCount(), 1000);
  EXPECT_EQ(state.counters.LastReportId, 7999);
  EXPECT_EQ(Box(w, "Text1_5")->text(), QStringLiteral("報告者7999"));
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 1000/ 1000"));
}

TEST_F(ReportWindowTest, AFailedSaveIsToldAndNothingIsLost) {
  Collection({1});
  ReportWindow w(state);
  w.show();
  Retype(Box(w, "Text1_5"), QStringLiteral("新しい名前"));
  // Something in the way of the data file: a folder of its name.
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(0)));
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFilePath(0)));

  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::No);
  Find<QPushButton>(w, "Command1")->click();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_TRUE(prompts.shown()[0].text.startsWith(QStringLiteral("ファイル「%1」を書き込めませんでした。")
                                                     .arg(QDir::toNativeSeparators(state.paths.DataFilePath(0)))))
      << prompts.shown()[0].text.toStdString();
  EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Critical);
  EXPECT_EQ(prompts.shown()[1].text, QStringLiteral("変更を保存できませんでした。保存せずに閉じますか？"));
  EXPECT_EQ(prompts.shown()[1].icon, PromptIcon::Exclamation);
  EXPECT_EQ(prompts.shown()[1].buttons, PromptButtons::YesNo);
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.isChanged());
  EXPECT_EQ(state.dataFile.ReportTable[0].Texts[kReporterName], QStringLiteral("新しい名前"));
  // The counters are saved before the data file, so they are on disk.
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
  EXPECT_EQ(onDisk, state.counters);

  // Once the way is clear the next leave saves.
  ASSERT_TRUE(QDir().rmdir(state.paths.DataFilePath(0)));
  Find<QPushButton>(w, "Command1")->click();
  EXPECT_FALSE(w.isVisible());
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(0), saved).ok());
  EXPECT_EQ(saved[0].Texts[kReporterName], QStringLiteral("新しい名前"));
}

TEST_F(ReportWindowTest, ClosingWithoutSavingAfterAFailedSaveTakesTheNewReportBack) {
  Collection({1});
  state.editing.NewReportMode = true;
  ReportWindow w(state);
  w.show();
  ASSERT_EQ(state.counters.TotalReports, 2);
  Type(Box(w, "Text1_5"), QStringLiteral("書けない報告"));
  ASSERT_TRUE(QFile::remove(state.paths.DataFilePath(0)));
  ASSERT_TRUE(QDir().mkpath(state.paths.DataFilePath(0)));

  prompts.answer(PromptAnswer::Ok).answer(PromptAnswer::Yes);
  Find<QPushButton>(w, "Command1")->click();
  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[1].text, QStringLiteral("変更を保存できませんでした。保存せずに閉じますか？"));
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.isChanged());
  // The counters describe the files on disk again; the id stays given.
  EXPECT_EQ(state.dataFile.ReportCount(), 1);
  EXPECT_EQ(state.counters.TotalReports, 1);
  EXPECT_EQ(state.dataFile.FileRecordCounts[0], 1);
  EXPECT_EQ(state.counters.LastReportId, 2);
  // The counters went to disk before the data file failed: the id is given
  // there too and never handed out again.
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
  EXPECT_EQ(onDisk.LastReportId, 2);
}

// The message that tells of a newest data file that does not read, with the
// offer of its repair.
QString DamagedNewestMessage(const DrivePaths& paths, int fileNo) {
  return QStringLiteral(
             "データファイル「%1」は正しく読み込めないため、上書きせずにそのまま残しています。\n"
             "修復しない場合、新しい報告は次のデータファイル「%2.dat」に入ります。\n\n"
             "このファイルを今すぐ修復しますか？")
      .arg(QDir::toNativeSeparators(paths.DataFilePath(fileNo)))
      .arg(fileNo + 1);
}

// A newest data file that does not read stays as it is, under its number: a
// new report never takes its place but starts the next file.
TEST_F(ReportWindowTest, AnUnreadableNewestFileStaysAndTheNewReportStartsTheNextFile) {
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(0), "2\r\n 1 \r\n"));
  state.editing.NewReportMode = true;  // the main window found the file unreadable: empty table
  prompts.answer(PromptAnswer::No);
  ReportWindow w(state);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.last().text, DamagedNewestMessage(state.paths, 0));
  EXPECT_EQ(prompts.last().icon, PromptIcon::Exclamation);
  EXPECT_EQ(prompts.last().buttons, PromptButtons::YesNo);
  w.show();
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 1/ 1"));
  Type(Box(w, "Text1_5"), QStringLiteral("報告者"));
  Find<QPushButton>(w, "Command1")->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(prompts.shown().size(), 1u);  // nothing kept aside, nothing more to tell

  EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), QByteArray("2\r\n 1 \r\n"));
  EXPECT_TRUE(QDir(state.paths.ReportFolderPath()).entryList({QStringLiteral("*.damaged-*")}).isEmpty());
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(1), saved).ok());
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].Texts[kReporterName], QStringLiteral("報告者"));
  IdCounters onDisk;
  ASSERT_TRUE(ReadIdFile(state.paths.IdFilePath(), onDisk).ok());
  EXPECT_EQ(onDisk.NewestFileNo, 1);
  EXPECT_EQ(state.counters.NewestFileNo, 1);
}

// A data file whose count line was changed by hand is not read as fewer or
// more reports: it does not read, stays as it is, and the new report goes to
// the next file. A file cut short in its body-site block reads: it takes the
// new report, and the first save keeps the original aside before it writes
// the file whole.
TEST_F(ReportWindowTest, ADataFileNotReadExactlyIsNeverWrittenOverWithItsReportsLeftOut) {
  const QString cutShort = QStringLiteral(
      "データファイル「%1」は途中で切れていたため、上書きせずに「0.dat.damaged-20261209-"
      "1030」という名前で残しました。");
  struct Case {
    const char* what;
    std::function<QByteArray(QByteArray)> damage;
    int reportsShown;  // what the window holds once the file is loaded
  };
  auto withCount = [](int count) {
    return [count](QByteArray bytes) {
      bytes.replace(0, bytes.indexOf('\n') + 1, QByteArray(" ") + QByteArray::number(count) + " \r\n");
      return bytes;
    };
  };
  const Case cases[] = {
      {"count lowered from 5 to 2", withCount(2), 0},
      {"count raised from 5 to 7", withCount(7), 0},
      {"body-site block cut short", [](QByteArray bytes) { return bytes.left(bytes.size() - 5 * 100); }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(state.paths.ReportFolderPath()).removeRecursively();
    ASSERT_TRUE(MakeOwnerOnlyFolder(state.paths.ReportFolderPath()));
    Collection({5});
    const std::vector<ReportRecord> reports = state.dataFile.ReportTable;
    const QByteArray original = c.damage(FileBytes(state.paths.DataFilePath(0)));
    ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(0), original));

    // As the main window leaves it: the newest file loaded; a new report
    // when it holds none.
    CountDataFiles(state.dataFile, state.counters, state.paths);
    LoadNewestFile(state.dataFile, state.counters, state.paths);
    ASSERT_EQ(state.dataFile.ReportCount(), c.reportsShown);
    state.editing.NewReportMode = state.dataFile.ReportCount() == 0;
    state.dataFile.CurrentIndex = std::max(0, state.dataFile.ReportCount() - 1);
    const bool passedOver = c.reportsShown == 0;
    if (passedOver) prompts.answer(PromptAnswer::No);
    ReportWindow w(state);
    w.show();
    Retype(Box(w, "Text1_5"), QStringLiteral("書き足した人"));
    if (!passedOver) prompts.answer(PromptAnswer::Ok);
    Find<QPushButton>(w, "Command1")->click();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text, passedOver ? DamagedNewestMessage(state.paths, 0)
                                              : cutShort.arg(QDir::toNativeSeparators(state.paths.DataFilePath(0))));
    prompts.clear();

    const QString kept = state.paths.DataFilePath(0) + QStringLiteral(".damaged-20261209-1030");
    std::vector<ReportRecord> saved;
    if (passedOver) {
      // The damaged file is as it was and still holds every report; the new
      // report is in the next file.
      EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), original);
      EXPECT_FALSE(QFileInfo::exists(kept));
      EXPECT_EQ(RecoverDataFile(state.paths.DataFilePath(0)).reports, reports);
      ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(1), saved).ok());
      ASSERT_EQ(saved.size(), 1u);
      EXPECT_EQ(state.counters.NewestFileNo, 1);
    } else {
      // Every report the file held is still there, byte for byte.
      EXPECT_EQ(FileBytes(kept), original);
      const ReadResult r = ReadDataFile(state.paths.DataFilePath(0), saved);
      ASSERT_TRUE(r.ok());
      EXPECT_FALSE(r.cutShort);
      ASSERT_EQ(saved.size(), 5u);
    }
    EXPECT_EQ(saved.back().Texts[kReporterName], QStringLiteral("書き足した人"));
  }
}

// "はい" to the offer: what the file holds is shown beside its count line,
// and on a second "はい" the file is mended under its number and the new
// report joins it.
TEST_F(ReportWindowTest, ADamagedNewestFileIsMendedWhenTheUserSaysYes) {
  Collection({2, 5});
  QByteArray damaged = FileBytes(state.paths.DataFilePath(1));
  damaged.replace(0, damaged.indexOf('\n') + 1, " 1 \r\n");
  ASSERT_TRUE(testing::WriteFileBytes(state.paths.DataFilePath(1), damaged));
  CountDataFiles(state.dataFile, state.counters, state.paths);
  LoadNewestFile(state.dataFile, state.counters, state.paths);
  ASSERT_EQ(state.counters.TotalReports, 2);
  state.editing.NewReportMode = true;
  const QString path = QDir::toNativeSeparators(state.paths.DataFilePath(1));
  prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::Yes).answer(PromptAnswer::Ok);
  ReportWindow w(state);
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.shown()[0].text, DamagedNewestMessage(state.paths, 1));
  EXPECT_EQ(prompts.shown()[1].text,
            QStringLiteral("データファイル「%1」の中に、完全な報告が5件見つかりました(報告番号 3～7)。\n"
                           "ファイルの1行目の件数: 1件\n"
                           "\n見つかった5件の報告で、このファイルを書き直しますか？\n"
                           "元のファイルは「1.dat.damaged-日付」という名前で残します。")
                .arg(path));
  EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("データファイルの修復"));
  EXPECT_EQ(prompts.shown()[1].buttons, PromptButtons::YesNo);
  EXPECT_EQ(prompts.shown()[2].text,
            QStringLiteral("データファイル「%1」を修復しました。報告5件が入っています。\n"
                           "元のファイルは「1.dat.damaged-20261209-1030」という名前で残しました。")
                .arg(path));
  w.show();
  EXPECT_EQ(Find<QLabel>(w, "Label9_0")->text(), QStringLiteral(" 8/ 8"));
  Type(Box(w, "Text1_5"), QStringLiteral("書き足した人"));
  Find<QPushButton>(w, "Command1")->click();
  EXPECT_EQ(prompts.shown().size(), 3u);

  EXPECT_EQ(FileBytes(state.paths.DataFilePath(1) + QStringLiteral(".damaged-20261209-1030")), damaged);
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(1), saved).ok());
  ASSERT_EQ(saved.size(), 6u);
  EXPECT_EQ(saved[4].ReportId, 7);
  EXPECT_EQ(saved[5].ReportId, 8);
  EXPECT_EQ(saved[5].Texts[kReporterName], QStringLiteral("書き足した人"));
  EXPECT_EQ(state.counters.NewestFileNo, 1);
  EXPECT_FALSE(QFileInfo::exists(state.paths.DataFilePath(2)));
}

// ---- Dates shown come from the report ---------------------------------------

// A day the shown month lacks is typed, then a button shows another report
// (or starts one) whose day is that same day: the day box already holds its
// text, but the spin buttons, the weekday and the stored date must still be
// the report's own.
struct DatesCase {
  const char* what;
  int field;             // the DateField typed into
  QDate typedIn;         // the date of the report shown while typing
  const char* typedDay;  // a day that month lacks
  const char* button;    // "▼" Command3, "▲" Command2, "新規追加" Command6
  QDate shownNext;       // the date of the report shown after the button
  const char* weekday;
};

void PrintTo(const DatesCase& c, std::ostream* os) { *os << c.what; }

class ReportDatesTest : public ReportWindowTest, public ::testing::WithParamInterface<DatesCase> {};

TEST_P(ReportDatesTest, ShowingOrStartingAReportTakesItsDatesFromTheReport) {
  const DatesCase& c = GetParam();
  // Three reports: the one before, the one typed into, the one after; the
  // clock stands on the day a new report takes.
  const QDate before = QDate(2004, 1, 31), typedIn = c.typedIn, after = QDate(2004, 6, 30);
  std::vector<ReportRecord> table;
  int id = 1;
  for (const QDate& d : {before, typedIn, after}) {
    ReportRecord r = Report(id++);
    r.Years = {d.year(), d.year(), 0};
    r.Months = {d.month(), d.month(), 0};
    r.Days = {d.day(), d.day(), 0};
    r.Hours[0] = 14 + r.ReportId;  // 15, 16, 17
    r.Minutes[0] = 5;
    table.push_back(r);
  }
  ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(0), table));
  state.dataFile.ReportTable = table;
  state.dataFile.FileRecordCounts[0] = 3;
  state.counters.LastReportId = state.counters.TotalReports = 3;
  state.dataFile.CurrentIndex = 1;
  clock.set(QDateTime(QDate(2026, 12, 31), QTime(9, 15)));

  ReportWindow w(state);
  w.show();
  const QByteArray typedName = ControlName("txd", c.field).toLatin1();
  Retype(Box(w, typedName.constData()), QString::fromLatin1(c.typedDay));
  EXPECT_EQ(Box(w, typedName.constData())->text(), QString::fromLatin1(c.typedDay)) << c.what;
  Find<QPushButton>(w, c.button)->click();

  const int shownIndex = state.dataFile.CurrentIndex;
  const ReportRecord& shown = state.dataFile.ReportTable[static_cast<std::size_t>(shownIndex)];
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(std::string(c.what) + ", field " + std::to_string(i));
    EXPECT_EQ(QDate(shown.Years[i], shown.Months[i], shown.Days[i]).toString(Qt::ISODate),
              c.shownNext.toString(Qt::ISODate));
    EXPECT_EQ(Find<QScrollBar>(w, ControlName("VSy", i).toLatin1().constData())->value(), c.shownNext.year());
    EXPECT_EQ(Find<QScrollBar>(w, ControlName("VSm", i).toLatin1().constData())->value(), c.shownNext.month());
    EXPECT_EQ(Find<QScrollBar>(w, ControlName("VSd", i).toLatin1().constData())->value(), c.shownNext.day());
    EXPECT_EQ(Box(w, ControlName("txd", i).toLatin1().constData())->text().trimmed(),
              QString::number(c.shownNext.day()));
    EXPECT_EQ(Find<QLabel>(w, ControlName("Label12", i).toLatin1().constData())->text(), QString::fromUtf8(c.weekday));
  }
  // The time as the report holds it (a new report: the present time),
  // written as the window writes it, without a blank.
  const QTime time = std::string(c.button) == "Command6" ? QTime(9, 15) : QTime(15 + shownIndex, 5);
  EXPECT_EQ(shown.Hours[0], time.hour());
  EXPECT_EQ(shown.Minutes[0], time.minute());
  EXPECT_EQ(Find<QScrollBar>(w, "vsHour_0")->value(), time.hour());
  EXPECT_EQ(Box(w, "txhour_0")->text(), QString::number(time.hour()));
  EXPECT_EQ(Box(w, "txmin_0")->text(), QString::number(time.minute()));

  // The typing changed the report typed into, so closing writes the file:
  // the report shown after it keeps its date there.
  Find<QPushButton>(w, "Command1")->click();
  EXPECT_FALSE(w.isVisible());
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(0), saved).ok());
  ASSERT_GT(saved.size(), static_cast<std::size_t>(shownIndex));
  const ReportRecord& onDisk = saved[static_cast<std::size_t>(shownIndex)];
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(QDate(onDisk.Years[i], onDisk.Months[i], onDisk.Days[i]).toString(Qt::ISODate),
              c.shownNext.toString(Qt::ISODate))
        << c.what << ", field " << i;
}

INSTANTIATE_TEST_SUITE_P(TypedDays, ReportDatesTest,
                         ::testing::Values(DatesCase{"30 typed in February, then ▼ to 30 June", 0, QDate(2004, 2, 10),
                                                     "30", "Command3", QDate(2004, 6, 30), "水"},
                                           DatesCase{"30 typed in the report date's February, then ▼", 1,
                                                     QDate(2004, 2, 10), "30", "Command3", QDate(2004, 6, 30), "水"},
                                           DatesCase{"31 typed in April, then ▲ to 31 January", 0, QDate(2004, 4, 10),
                                                     "31", "Command2", QDate(2004, 1, 31), "土"},
                                           DatesCase{"31 typed in the report date's April, then ▲", 1,
                                                     QDate(2004, 4, 10), "31", "Command2", QDate(2004, 1, 31), "土"},
                                           DatesCase{"31 typed in November, then 新規追加 on 31 December", 0,
                                                     QDate(2004, 11, 10), "31", "Command6", QDate(2026, 12, 31), "木"},
                                           DatesCase{"31 typed in the report date's November, then 新規追加", 1,
                                                     QDate(2004, 11, 10), "31", "Command6", QDate(2026, 12, 31),
                                                     "木"}));

// ---- Typing in the date boxes -------------------------------------------------

// An edit of a date box of the report shown: what the box then shows, the
// occurrence date the report then holds, and the beeps heard; then the box
// and the date once the keyboard has left the box, and the file that closing
// the window leaves.
struct DateBoxCase {
  const char* what;
  QDate shown;  // the occurrence date of the report
  const char* box;
  std::function<void(QLineEdit*)> edit;
  QString boxText;  // right after the edit
  QDate held;
  int beeps;
  QString boxTextLeft;  // once the keyboard left the box
  QDate heldLeft;       // null: held
};

using KeyOrText = std::variant<Qt::Key, const char16_t*>;

class DateBoxTest : public ReportWindowTest {
 protected:
  // Keys and typed characters as the keyboard sends them.
  static std::function<void(QLineEdit*)> Keys(std::vector<KeyOrText> keys) {
    return [keys](QLineEdit* box) {
      for (const KeyOrText& k : keys) {
        if (const auto* key = std::get_if<Qt::Key>(&k))
          QTest::keyClick(box, *key);
        else
          Type(box, QString::fromUtf16(std::get<const char16_t*>(k)));
      }
    };
  }
  static std::function<void(QLineEdit*)> Over(const char16_t* typed) {
    return [typed](QLineEdit* box) { Retype(box, QString::fromUtf16(typed)); };
  }
  // Ctrl+V with `text` on the clipboard, over all the box holds or at its
  // end.
  static std::function<void(QLineEdit*)> Paste(const char16_t* text, bool overAll) {
    return [text, overAll](QLineEdit* box) {
      QApplication::clipboard()->setText(QString::fromUtf16(text));
      if (overAll)
        box->selectAll();
      else
        box->end(false);
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    };
  }

  // A click on the lower arrow of the spin button beside the box.
  static std::function<void(QLineEdit*)> LowerArrow(const char* spin) {
    return [spin](QLineEdit* box) {
      box->parentWidget()
          ->findChild<QScrollBar*>(QString::fromLatin1(spin))
          ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    };
  }

  // The occurrence date of the report in memory.
  QDate Held() const {
    const ReportRecord& r = state.dataFile.ReportTable.front();
    return QDate(r.Years[0], r.Months[0], r.Days[0]);
  }

  void Run(const DateBoxCase& c) {
    SCOPED_TRACE(c.what);
    ReportRecord report = Report(1);
    report.Years = {c.shown.year(), 2023, 0};
    report.Months = {c.shown.month(), 9, 0};
    report.Days = {c.shown.day(), 1, 0};
    report.Hours[0] = 14;
    report.Minutes[0] = 5;
    ASSERT_TRUE(WriteDataFile(state.paths.DataFilePath(0), {report}));
    const QByteArray before = FileBytes(state.paths.DataFilePath(0));
    state.dataFile.ReportTable = {report};
    state.dataFile.FileRecordCounts[0] = 1;
    state.counters.LastReportId = state.counters.TotalReports = 1;
    state.dataFile.CurrentIndex = 0;

    ReportWindow w(state);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QLineEdit* box = Box(w, c.box);
    box->setFocus();
    const int beeps = prompts.beeps();
    c.edit(box);
    EXPECT_EQ(box->text(), c.boxText);
    EXPECT_EQ(Held(), c.held);
    EXPECT_EQ(prompts.beeps() - beeps, c.beeps);

    const QDate heldLeft = c.heldLeft.isNull() ? c.held : c.heldLeft;
    Box(w, "Text1_5")->setFocus();
    EXPECT_EQ(box->text(), c.boxTextLeft);
    EXPECT_EQ(Held(), heldLeft);
    if (heldLeft != c.shown) {
      EXPECT_TRUE(w.isChanged());
    }

    Find<QPushButton>(w, "Command1")->click();
    EXPECT_FALSE(w.isVisible());
    ReportRecord expected = report;
    expected.Years[0] = heldLeft.year();
    expected.Months[0] = heldLeft.month();
    expected.Days[0] = heldLeft.day();
    EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), DataFileBytes({expected}));
    if (heldLeft == c.shown) {
      EXPECT_EQ(FileBytes(state.paths.DataFilePath(0)), before) << "nothing written";
    }
  }
};

// The states a box passes through while the user types (empty, a number not
// yet complete) never move the date; what is no digit is refused as typed,
// with a beep; full-width digits are taken as digits; a complete number keeps
// the calendar's carries.
TEST_F(DateBoxTest, TypingNeverMovesTheDateThroughWhatTheBoxPassesOn) {
  const auto backSpaces = [](int n) { return std::vector<KeyOrText>(static_cast<std::size_t>(n), Qt::Key_Backspace); };
  const auto then = [](std::vector<KeyOrText> a, std::vector<KeyOrText> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const auto emptyTheDayThenType12 = [this, &backSpaces](QLineEdit* box) {
    QTest::keyClick(box, Qt::Key_End);
    Keys(backSpaces(2))(box);
    EXPECT_EQ(box->text(), QStringLiteral(" "));  // the sign blank the day's button wrote
    EXPECT_EQ(Held(), QDate(2023, 4, 10)) << "the emptied box changes nothing";
    Type(box, QStringLiteral("12"));
  };
  // The day box shows " 10": the window's day handler writes it with the sign
  // blank after the report is shown; the year and month boxes hold the
  // window's "2023" and "4".
  const DateBoxCase cases[] = {
      // clang-format off
      {"End, BackSpace twice and 12 in the day of 2023-04-10", QDate(2023, 4, 10), "txd_0",
       emptyTheDayThenType12, " 12", QDate(2023, 4, 12), 0, " 12", {}},
      {"abc over the day of 2023-08-08", QDate(2023, 8, 8), "txd_0",
       Over(u"abc"), " 8", QDate(2023, 8, 8), 3, " 8", {}},
      {"a minus sign before the day", QDate(2023, 3, 15), "txd_0",
       Keys({Qt::Key_Home, u"-"}), " 15", QDate(2023, 3, 15), 1, " 15", {}},
      {"full-width 15 over the day", QDate(2023, 4, 10), "txd_0",
       Over(u"１５"), "15", QDate(2023, 4, 15), 0, "15", {}},
      {"full-width 1 after 1 in the month", QDate(2023, 4, 10), "txm_0",
       Keys({Qt::Key_End, Qt::Key_Backspace, u"1", u"１"}), "11", QDate(2023, 11, 10), 0, "11", {}},
      {"2028 typed over the year of 29 February 2024", QDate(2024, 2, 29), "txy_0",
       Keys(then(then({Qt::Key_End}, backSpaces(4)), {u"2028"})), "2028", QDate(2028, 2, 29), 0, "2028", {}},
      {"202 typed there and left: the year 202 has no 29 February", QDate(2024, 2, 29), "txy_0",
       Keys(then(then({Qt::Key_End}, backSpaces(4)), {u"202"})), "202", QDate(2024, 2, 29), 0, " 202", QDate(202, 2, 28)},
      {"31 typed in April is 1 May", QDate(2023, 4, 10), "txd_0",
       Over(u"31"), "31", QDate(2023, 5, 1), 0, " 1", {}},
      {"the day emptied and left", QDate(2023, 4, 10), "txd_0",
       Keys(then({Qt::Key_End}, backSpaces(2))), " ", QDate(2023, 4, 10), 0, " 10", {}},
      // clang-format on
  };
  for (const DateBoxCase& c : cases) Run(c);
}

// A box never shows a value other than the one the report holds: a digit
// that takes the number past what the report can hold is refused with a
// beep; no year 0 is stored; a paste is taken only as a whole value, full-
// width digits as digits, and else refused with a beep.
TEST_F(DateBoxTest, ABoxNeverShowsAValueTheReportDoesNotHold) {
  const DateBoxCase cases[] = {
      // clang-format off
      {"10000 typed in the year", QDate(2023, 4, 10), "txy_0",
       Over(u"10000"), "1000", QDate(1000, 4, 10), 1, "1000", {}},
      {"45 typed in the day", QDate(2023, 4, 10), "txd_0",
       Over(u"45"), "4", QDate(2023, 4, 4), 1, "4", {}},
      {"13 typed in the month: the 1 waits for the keyboard to leave", QDate(2023, 4, 10), "txm_0",
       Over(u"13"), "1", QDate(2023, 4, 10), 1, " 1", QDate(2023, 1, 10)},
      {"0 typed in the year and left", QDate(2023, 4, 10), "txy_0",
       Over(u"0"), "0", QDate(2023, 4, 10), 0, " 2023", {}},
      {"the year 1 stepped down", QDate(1, 4, 10), "txy_0",
       LowerArrow("VSy_0"), " 1", QDate(1, 4, 10), 0, " 1", {}},
      {"January of the year 1, the month stepped down", QDate(1, 1, 10), "txm_0",
       LowerArrow("VSm_0"), " 1", QDate(1, 1, 10), 0, " 1", {}},
      {"full-width 12 pasted over the month", QDate(2023, 4, 10), "txm_0",
       Paste(u"１２", true), "12", QDate(2023, 12, 10), 0, "12", {}},
      {"full-width 13 pasted over the month", QDate(2023, 4, 10), "txm_0",
       Paste(u"１３", true), "4", QDate(2023, 4, 10), 1, "4", {}},
      {"12 pasted after the month's 4", QDate(2023, 4, 10), "txm_0",
       Paste(u"12", false), "4", QDate(2023, 4, 10), 1, "4", {}},
      {"1a pasted over the day", QDate(2023, 4, 10), "txd_0",
       Paste(u"1a", true), " 10", QDate(2023, 4, 10), 1, " 10", {}},
      {"05 pasted over the day", QDate(2023, 4, 10), "txd_0",
       Paste(u"05", true), "05", QDate(2023, 4, 5), 0, "05", {}},
      // clang-format on
  };
  for (const DateBoxCase& c : cases) Run(c);
}

// ---- Where the keyboard stands ------------------------------------------------

TEST_F(ReportWindowTest, TheKeyboardStartsInTheReportersNameAndNeverStaysOnTheDeleteButton) {
  for (bool newReport : {false, true}) {
    SCOPED_TRACE(newReport ? "new report" : "browse");
    QTemporaryDir otherRoot;
    AppState fresh{otherRoot.path(), prompts, clock};
    ASSERT_TRUE(MakeOwnerOnlyFolder(fresh.paths.ReportFolderPath()));
    std::vector<ReportRecord> table;
    for (int id = 1; id <= 6; ++id) table.push_back(Report(id));
    ASSERT_TRUE(WriteDataFile(fresh.paths.DataFilePath(0), table));
    fresh.dataFile.ReportTable = table;
    fresh.dataFile.FileRecordCounts[0] = 6;
    fresh.counters.LastReportId = fresh.counters.TotalReports = 6;
    fresh.dataFile.CurrentIndex = 2;
    fresh.editing.NewReportMode = newReport;

    ReportWindow w(fresh);
    w.show();
    const int total = fresh.counters.TotalReports;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), Box(w, "Text1_5"));
    // Enter and Space where the keyboard starts delete nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(fresh.counters.TotalReports, total);

    // Tabbed to the delete button on purpose, Space deletes once; the
    // keyboard then stands in the first field of the page again.
    auto* remove = Find<QPushButton>(w, "Command7");
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Space);
    EXPECT_EQ(fresh.counters.TotalReports, total - 1);
    EXPECT_EQ(QApplication::focusWidget(), Box(w, "Text1_5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(fresh.counters.TotalReports, total - 1);

    // A click on it deletes the shown report and leaves no focus on it.
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(fresh.counters.TotalReports, total - 2);
    EXPECT_NE(QApplication::focusWidget(), remove);

    // A step while the keyboard is on it moves the keyboard off it.
    for (const char* step : {"Command2", "Command3", "Command4", "Command5", "Command6"}) {
      remove->setFocus();
      Find<QPushButton>(w, step)->click();
      EXPECT_NE(QApplication::focusWidget(), remove) << step;
    }

    // On another page the keyboard goes to that page's first field.
    ShowPage(w, 2);
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Space);
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>(w, "Combo1_6"));
    w.close();
    EXPECT_FALSE(w.isVisible());
  }
}

// ---- Characters an input method types --------------------------------------

TEST_F(ReportWindowTest, InputMethodFormsAreStoredAsTheCodePageHoldsThemAndUnstorableInputBeeps) {
  Collection({1});
  ReportWindow w(state);
  w.show();
  const ReportRecord& r = state.dataFile.ReportTable[0];
  // What a Linux input method types, and the code-page forms a Windows one
  // types for the same keys.
  const QString typed = QStringLiteral("3〜5−—‖¢£¬");
  const QString kept = QStringLiteral("3～5－―∥￠￡￢");
  struct Case {
    const char* box;
    std::function<QString()> stored;
  } cases[] = {
      {"Text1_5", [&] { return r.Texts[kReporterName]; }},
      {"Text1_3", [&] { return r.Texts[kAge]; }},  // a number box, input method off
      {"Text3_1", [&] { return r.OtherTexts[1]; }},
      {"Text2_1", [&] { return r.Notes[1]; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    QWidget* box = Find<QWidget>(w, c.box);
    auto text = [box] {
      if (auto* line = qobject_cast<QLineEdit*>(box)) return line->text();
      return qobject_cast<QPlainTextEdit*>(box)->toPlainText();
    };
    const int beeps = prompts.beeps();
    box->setFocus();
    Commit(box, typed);
    EXPECT_EQ(text(), kept);
    EXPECT_EQ(c.stored(), kept);
    EXPECT_EQ(prompts.beeps(), beeps);
    // A character the code page lacks is dropped, with a beep.
    Commit(box, QStringLiteral("😀"));
    EXPECT_EQ(text(), kept);
    EXPECT_EQ(c.stored(), kept);
    EXPECT_EQ(prompts.beeps(), beeps + 1);
  }
  // The date boxes take digits only: full-width ones as digits, anything
  // else refused whole, with a beep.
  int beeps = prompts.beeps();
  QLineEdit* day = Box(w, "txd_0");
  day->selectAll();
  Commit(day, QStringLiteral("１５"));
  EXPECT_EQ(day->text(), QStringLiteral("15"));
  EXPECT_EQ(r.Days[0], 15);
  EXPECT_EQ(prompts.beeps(), beeps);
  for (const QString& refused : {QStringLiteral("〜"), QStringLiteral("😀")}) {
    Commit(day, refused);
    EXPECT_EQ(day->text(), QStringLiteral("15"));
    EXPECT_EQ(r.Days[0], 15);
    EXPECT_EQ(prompts.beeps(), ++beeps);
  }

  // A paste cut to the box's length beeps too.
  beeps = prompts.beeps();
  QLineEdit* record = Box(w, "Text1_0");
  QApplication::clipboard()->setText(QString(record->maxLength() + 10, QLatin1Char('7')));
  record->clear();
  QTest::keyClick(record, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(record->text().size(), record->maxLength());
  EXPECT_EQ(prompts.beeps(), beeps + 1);

  // The file holds the code-page forms.
  Find<QPushButton>(w, "Command1")->click();
  std::vector<ReportRecord> saved;
  ASSERT_TRUE(ReadDataFile(state.paths.DataFilePath(0), saved).ok());
  EXPECT_EQ(saved[0].Texts[kReporterName], kept);
  EXPECT_EQ(saved[0].Notes[1], kept);
}

}  // namespace
}  // namespace orvanta
