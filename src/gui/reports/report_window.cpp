#include "gui/reports/report_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/followup/followup_store.h"
#include "core/platform/clock.h"
#include "core/platform/codepage.h"
#include "core/platform/prompts.h"
#include "core/platform/text_filters.h"
#include "core/reports/body_sites.h"
#include "core/reports/data_file_repair.h"
#include "core/reports/note_text.h"
#include "core/reports/open_data_file.h"
#include "core/reports/report_editing.h"
#include "core/reports/report_history.h"
#include "core/reports/report_navigation.h"
#include "core/reports/report_search.h"
#include "core/store/database.h"
#include "gui/followup/followup_window.h"
#include "gui/help/guide_pages.h"
#include "gui/reports/body_site_widget.h"
#include "gui/reports/data_file_repair_command.h"
#include "gui/reports/report_history_window.h"
#include "gui/reports/search_result_dialog.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/date_field_widget.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"
#include "gui/widgets/view_only.h"

namespace orvanta {
namespace {

// Positions below are written in pixels and placed in twips.
constexpr int P(int pixels) { return pixels * 15; }

constexpr int kBoxHeight = 20;  // text boxes and captions beside them
constexpr int kComboHeight = 22;
constexpr int kButtonHeight = 26;
constexpr int kContentWidth = 940;
constexpr int kPagesTop = 66;
constexpr int kPageWidth = 924;
constexpr int kPageHeight = 440;
constexpr int kFrameWidth = 908;  // a frame across the whole page

const QString kStepTip = QStringLiteral("表示する人を切り替えます");

// The shared layout helpers, with this window's positions in pixels and its
// heights of captions and buttons.
QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int width = -1) {
  return PlaceLabel(parent, text, P(x), P(y), width >= 0 ? P(width) : -1, P(kBoxHeight));
}

QGroupBox* Frame(QWidget* parent, const QString& title, int x, int y, int width, int height) {
  return PlaceFrame(parent, title, P(x), P(y), P(width), P(height));
}

QPushButton* Button(QWidget* parent, const QString& caption, const char* name, int x, int y, int width) {
  return Named(PlaceButton(parent, caption, P(x), P(y), P(width), P(kButtonHeight)), name);
}

// The entry of a list with the id; the last one when several match, -1 when
// none does (nothing chosen, or an entry deleted since).
int EntryPositionOf(const CodeList& list, std::int32_t id) {
  int found = -1;
  for (int p = 0; p < list.count(); ++p) {
    if (list.entries[p].id == id) found = p;
  }
  return found;
}

}  // namespace

ReportWindow::ReportWindow(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), fileOps_(&FileSystemDataFileOps()) {
  setObjectName(QStringLiteral("frmrep"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(QStringLiteral("事故時報告書"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  menuBar_ = Named(new QMenuBar(this), "MenuBar");
  QMenu* search = menuBar_->addMenu(QStringLiteral("カルテ検索"));
  search->setObjectName(QStringLiteral("mnuSer"));
  searchItems_[0] = search->addAction(QStringLiteral("カルテ番号"));
  searchItems_[0]->setObjectName(QStringLiteral("mnuSerItem_0"));
  searchItems_[1] = search->addAction(QStringLiteral("報告者氏名"));
  searchItems_[1]->setObjectName(QStringLiteral("mnuSerItem_1"));
  connect(searchItems_[0], &QAction::triggered, this, [this] { this->search(SearchField::RecordNumber); });
  connect(searchItems_[1], &QAction::triggered, this, [this] { this->search(SearchField::ReporterName); });
  layout->setMenuBar(menuBar_);

  auto* content = new QWidget(this);
  content->setFixedSize(kContentWidth, kPagesTop + 24 + kPageHeight + 76);
  layout->addWidget(content);

  buildTopRow(content);

  pageTabs_ = Named(new QTabBar(content), "TabStrip1");
  pageTabs_->setExpanding(false);
  pageTabs_->setDrawBase(false);
  pageTabs_->setUsesScrollButtons(false);
  const std::array<std::pair<const char16_t*, const char16_t*>, 8> tabs{{
      {u"報告者", u"報告者・事故発生日時等の記述"},
      {u"職種・場所・患者", u"職種、事故発生場所、汚染源患者についての記述"},
      {u"事故状況", u"器材の使用、汚染、使用目的、事故状況似ついての記述"},
      {u"原因器材・安全装置", u"原因器材と安全装置についての記述"},
      {u"部位", u"針刺し･切創部位についての記述"},
      {u"その他質問", u"事故の程度・HBs抗体・緊急処置についての記述"},
      {u"事故状況･背景の詳細", u"事故発生時の状況や背景についての詳細な記述"},
      {u"事故防止", u"事故防止対策に対する記述"},
  }};
  for (int t = 0; t < 8; ++t) {
    pageTabs_->addTab(QString::fromUtf16(tabs[t].first));
    pageTabs_->setTabToolTip(t, QString::fromUtf16(tabs[t].second));
  }
  pageTabs_->move(8, kPagesTop);
  pageTabs_->resize(kPageWidth, pageTabs_->sizeHint().height());

  pageStack_ = new QStackedWidget(content);
  pageStack_->setFrameShape(QFrame::StyledPanel);
  const int pagesTop = kPagesTop + pageTabs_->height();
  pageStack_->setGeometry(8, pagesTop, kPageWidth, kPageHeight);
  for (int p = 0; p < 8; ++p) {
    pages_[p] = Named(new QWidget(pageStack_), "Picture1", p);
    pageStack_->addWidget(pages_[p]);
  }
  // Changing pages: the page of the clicked tab, the others hidden.
  connect(pageTabs_, &QTabBar::currentChanged, pageStack_, &QStackedWidget::setCurrentIndex);
  // F1 opens the section of the guide about the tab shown.
  const auto guidePlace = [this](int tab) {
    static const char* const kPlaces[8] = {"reporter", "patient", "situation", "device",
                                           "sites",    "others",  "free-text", "free-text"};
    setProperty(kGuidePlaceProperty,
                QStringLiteral("report_entry.html#%1").arg(QLatin1String(kPlaces[std::clamp(tab, 0, 7)])));
  };
  connect(pageTabs_, &QTabBar::currentChanged, this, guidePlace);
  guidePlace(pageTabs_->currentIndex());

  dates_ = new DateFieldControls(DateFieldVariant::Report, this);
  buildPage0(pages_[0]);
  buildPage1(pages_[1]);
  buildPage2(pages_[2]);
  buildPage3(pages_[3]);
  buildPage4(pages_[4]);
  buildPage5(pages_[5]);
  buildPage6(pages_[6]);
  buildPage7(pages_[7]);

  // The remarks, under the pages.
  const int remarksTop = pagesTop + kPageHeight + 8;
  Caption(content, QStringLiteral("備考"), 12, remarksTop);
  noteBox(content, 0, 48, remarksTop, kContentWidth - 48 - 8, content->height() - remarksTop - 8);

  connect(dates_, &DateFieldControls::valueStored, this, &ReportWindow::onDateStored);
  connect(dates_, &DateFieldControls::changed, this, &ReportWindow::markChanged);
  connect(dates_, &DateFieldControls::inputRefused, this, [this] { state_.prompts().beep(); });

  // Opening: the first page, the lists filled, then a new report or the
  // report the main window chose.
  pageTabs_->setCurrentIndex(0);
  pageStack_->setCurrentIndex(0);
  fillLists();
  if (readOnly()) {
    // The reports are shown and stepped through; nothing is changed.
    setWindowTitle(windowTitle() + kReadOnlyCaption);
    MakeViewOnly(pageStack_);
    MakeViewOnly(noteBoxes_[0]);
    bodySites_->setEnabled(false);
    for (QPushButton* b : {deleteButton_, newReportButton_}) {
      b->setEnabled(false);
      b->setToolTip(QStringLiteral("読み取り専用で起動しているため使えません"));
    }
    showCurrentOrNearest();
  } else if (state_.editing.NewReportMode || state_.dataFile.ReportCount() == 0) {
    startNewReport();
  } else {
    showReport();
  }
  // The keyboard starts in the reporter's name.
  focusFirstField();
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::buildTopRow(QWidget* content) {
  deleteButton_ = Button(content, QStringLiteral("表示データの削除"), "Command7", 8, 8, 130);
  firstButton_ = Button(content, QStringLiteral("▲▲"), "Command4", 556, 8, 44);
  stepBackButton_ = Button(content, QStringLiteral("▲"), "Command2", 602, 8, 44);
  positionLabel_ = Named(new QLabel(content), "Label9", 0);
  positionLabel_->setAlignment(Qt::AlignCenter);
  positionLabel_->setFrameShape(QFrame::Panel);
  positionLabel_->setFrameShadow(QFrame::Sunken);
  PlaceTw(positionLabel_, P(650), P(8), P(108), P(kButtonHeight));
  stepForwardButton_ = Button(content, QStringLiteral("▼"), "Command3", 762, 8, 44);
  lastButton_ = Button(content, QStringLiteral("▼▼"), "Command5", 808, 8, 44);
  closeButton_ = Button(content, QStringLiteral("戻る"), "Command1", 864, 8, 68);
  newReportButton_ = Button(content, QStringLiteral("新規追加"), "Command6", 580, 38, 88);
  // The follow-up of the worker, beside the report's own commands.
  followupButton_ = Button(content, QStringLiteral("経過観察"), "cmdFollowup", 146, 8, 96);
  followupButton_->setToolTip(QStringLiteral("この報告の受傷者の経過観察（検査の予定と結果）を開きます"));
  historyButton_ = Button(content, QStringLiteral("変更履歴"), "cmdHistory", 250, 8, 96);
  historyButton_->setToolTip(
      QStringLiteral("この報告のこれまでの版と変更した項目を表示します。削除した報告もここから戻せます"));
  // A click on the delete button leaves the keyboard where it was: a Space or
  // Enter there would delete the next report without a question. The Tab key
  // still reaches it.
  deleteButton_->setFocusPolicy(Qt::TabFocus);
  for (QWidget* w :
       std::initializer_list<QWidget*>{firstButton_, stepBackButton_, positionLabel_, stepForwardButton_, lastButton_})
    w->setToolTip(kStepTip);

  connect(firstButton_, &QPushButton::clicked, this, [this] { step(Step::First); });
  connect(stepBackButton_, &QPushButton::clicked, this, [this] { step(Step::Previous); });
  connect(stepForwardButton_, &QPushButton::clicked, this, [this] { step(Step::Next); });
  connect(lastButton_, &QPushButton::clicked, this, [this] { step(Step::Last); });
  connect(deleteButton_, &QPushButton::clicked, this, &ReportWindow::deleteShownReport);
  connect(newReportButton_, &QPushButton::clicked, this, &ReportWindow::startNewReport);
  connect(followupButton_, &QPushButton::clicked, this, &ReportWindow::openFollowup);
  connect(historyButton_, &QPushButton::clicked, this, &ReportWindow::openHistory);
  connect(closeButton_, &QPushButton::clicked, this, &ReportWindow::reject);
}

// ---- Controls ----------------------------------------------------------------

QLineEdit* ReportWindow::textBox(QWidget* parent, int k, int x, int y, int width) {
  auto* box = Named(new QLineEdit(parent), "Text1", k);
  PlaceTw(box, P(x), P(y), P(width), P(kBoxHeight));
  // Input method: names in hiragana; record and staff numbers in Latin
  // letters; years and ages in digits only.
  switch (k) {
    case kRecordNumber:
    case kPatientRecordNumber:
    case kStaffNumber: box->setInputMethodHints(Qt::ImhPreferLatin); break;
    case kExperienceYears:
    case kAge:
    case kDepartmentYears: box->setAttribute(Qt::WA_InputMethodEnabled, false); break;
    default: break;
  }
  connect(box, &QLineEdit::textChanged, this, [this, k] { onTextEdited(k); });
  connect(box, &QLineEdit::inputRejected, this, [this] { state_.prompts().beep(); });
  textBoxes_[k] = box;
  return box;
}

QLineEdit* ReportWindow::otherTextBox(QWidget* parent, int k, int x, int y, int width) {
  auto* box = Named(new QLineEdit(parent), "Text3", k);
  PlaceTw(box, P(x), P(y), P(width), P(kBoxHeight));
  connect(box, &QLineEdit::textChanged, this, [this, k] { onOtherTextEdited(k); });
  connect(box, &QLineEdit::inputRejected, this, [this] { state_.prompts().beep(); });
  otherTextBoxes_[k] = box;
  return box;
}

QPlainTextEdit* ReportWindow::noteBox(QWidget* parent, int k, int x, int y, int width, int height) {
  auto* box = Named(new QPlainTextEdit(parent), "Text2", k);
  PlaceTw(box, P(x), P(y), P(width), P(height));
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setTabChangesFocus(true);
  connect(box, &QPlainTextEdit::textChanged, this, [this, k] { onNoteEdited(k); });
  noteBoxes_[k] = box;
  return box;
}

QComboBox* ReportWindow::answerList(QWidget* parent, int k, int x, int y, int width) {
  auto* box = Named(new QComboBox(parent), "Combo1", k);
  box->setEditable(false);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(8);
  PlaceTw(box, P(x), P(y), P(width), P(kComboHeight));
  connect(box, &QComboBox::currentIndexChanged, this, [this, k](int index) { onAnswerChosen(k, index); });
  answerLists_[k] = box;
  return box;
}

QRadioButton* ReportWindow::optionButton(QWidget* parent, int group, int n, const QString& caption, int x, int y,
                                         int width) {
  const QByteArray name = "Option" + QByteArray::number(group + 1);
  auto* button = Named(new QRadioButton(caption, parent), name.constData(), n);
  PlaceTw(button, P(x), P(y), width >= 0 ? P(width) : -1, P(kBoxHeight));
  if (width < 0) button->resize(button->sizeHint().width(), kBoxHeight);
  if (!optionGroups_[group]) {
    optionGroups_[group] = new QButtonGroup(this);
    optionGroups_[group]->setExclusive(true);
    connect(optionGroups_[group], &QButtonGroup::idToggled, this, [this, group](int id, bool checked) {
      if (checked) onOptionChosen(group, id);
    });
  }
  optionGroups_[group]->addButton(button, n);
  optionButtons_[group][n] = button;
  return button;
}

// ---- Pages -------------------------------------------------------------------

void ReportWindow::buildPage0(QWidget* page) {
  QGroupBox* f1 = Frame(page, QStringLiteral("１報告者"), 8, 8, kFrameWidth, 108);
  Caption(f1, QStringLiteral("氏名"), 14, 30);
  textBox(f1, kReporterName, 46, 30, 200);
  Caption(f1, QStringLiteral("職員番号"), 270, 30);
  textBox(f1, kStaffNumber, 326, 30, 120);
  Caption(f1, QStringLiteral("カルテ番号"), 470, 30);
  textBox(f1, kRecordNumber, 538, 30, 140);

  Caption(f1, QStringLiteral("所属勤務場所"), 14, 70);
  answerList(f1, kDepartments, 96, 69, 220);
  Caption(f1, QStringLiteral("経験年数"), 334, 70);
  textBox(f1, kExperienceYears, 390, 70, 40);
  Caption(f1, QStringLiteral("年"), 433, 70);
  Caption(f1, QStringLiteral("当該部署経験年数"), 460, 70);
  textBox(f1, kDepartmentYears, 564, 70, 40);
  Caption(f1, QStringLiteral("年"), 607, 70);
  Caption(f1, QStringLiteral("性別"), 636, 70);
  optionButton(f1, 0, 0, QStringLiteral("男"), 668, 70);
  optionButton(f1, 0, 1, QStringLiteral("女"), 714, 70);
  Caption(f1, QStringLiteral("年齢"), 772, 70);
  textBox(f1, kAge, 804, 70, 40);
  Caption(f1, QStringLiteral("歳"), 847, 70);

  QGroupBox* f2 = Frame(page, QStringLiteral("２発生日時"), 8, 128, kFrameWidth, 100);
  dates_->placeDate(0, f2, P(60), P(30));
  dates_->placeTime(f2, P(60) + dates_->dateRowWidthTwips(0) + P(24), P(30));
  Caption(f2, QStringLiteral("報告日"), 14, 64);
  dates_->placeDate(1, f2, P(60), P(64));
}

void ReportWindow::buildPage1(QWidget* page) {
  QGroupBox* f3 = Frame(page, QStringLiteral("３職種"), 8, 6, 450, 84);
  answerList(f3, kOccupations, 12, 24, 426);
  Caption(f3, QStringLiteral("その他の場合"), 12, 56);
  otherTextBox(f3, 0, 96, 56, 342);

  QGroupBox* f4 = Frame(page, QStringLiteral("４針刺し･切創事故発生場所"), 466, 6, 450, 84);
  answerList(f4, kPlaces, 12, 24, 426);
  Caption(f4, QStringLiteral("その他の場合"), 12, 56);
  otherTextBox(f4, 1, 96, 56, 342);

  QGroupBox* f5 = Frame(page, QStringLiteral("５汚染源の患者が誰かわかっていますか？"), 8, 98, 664, 312);
  optionButton(f5, 1, 0, QStringLiteral("はい"), 14, 26);

  // The patient block, open only when the patient is known.
  patientBlock_.push_back(Caption(f5, QStringLiteral("患者カルテ番号"), 40, 54));
  patientBlock_.push_back(textBox(f5, kPatientRecordNumber, 130, 54, 150));
  patientBlock_.push_back(Caption(f5, QStringLiteral("患者氏名"), 304, 54));
  patientBlock_.push_back(textBox(f5, kPatientName, 360, 54, 200));
  patientBlock_.push_back(Caption(f5, QStringLiteral("患者の検査結果"), 40, 88));
  const int columns[3] = {150, 210, 270};
  const QString headings[3] = {QStringLiteral("陽性"), QStringLiteral("陰性"), QStringLiteral("未検査")};
  for (int c = 0; c < 3; ++c) {
    QLabel* heading = Caption(f5, headings[c], columns[c] - 10, 88, 52);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    patientBlock_.push_back(heading);
  }
  const QString rows[3] = {QStringLiteral("HIV感染"), QStringLiteral("HCV感染"), QStringLiteral("HBV感染")};
  for (int r = 0; r < 3; ++r) {
    const int y = 114 + r * 26;
    patientBlock_.push_back(Caption(f5, rows[r], 64, y));
    for (int c = 0; c < 3; ++c) {
      // Each button sits under its column's heading.
      QRadioButton* b = optionButton(f5, 2 + r, c, QString(), columns[c] + 8, y, 20);
      patientBlock_.push_back(b);
    }
  }
  patientBlock_.push_back(Caption(f5, QStringLiteral("その他"), 64, 196));
  patientBlock_.push_back(textBox(f5, kOtherInfection, 130, 196, 300));

  optionButton(f5, 1, 1, QStringLiteral("いいえ"), 14, 236);
  optionButton(f5, 1, 2, QStringLiteral("適切な回答なし(患者への使用前)"), 14, 264);

  QGroupBox* f10 = Frame(page, QStringLiteral("事故後の受診"), 680, 98, 236, 84);
  optionButton(f10, 9, 0, QStringLiteral("受診した"), 14, 26);
  optionButton(f10, 9, 1, QStringLiteral("受診しない"), 14, 52);
}

void ReportWindow::buildPage2(QWidget* page) {
  QGroupBox* f6 = Frame(page, QStringLiteral("６受傷者自身が原因器材を患者に使っているときの受傷でしたか？"), 8, 6,
                        kFrameWidth, 58);
  answerList(f6, kQuestion6Answers, 14, 26, 600);

  QGroupBox* f7 = Frame(page, QStringLiteral("７器材は血液・体液などで汚染されていましたか？"), 8, 72, kFrameWidth, 58);
  answerList(f7, kQuestion7Answers, 14, 26, 600);

  QGroupBox* f8 =
      Frame(page, QStringLiteral("８原因器材はどのような目的で使用されていましたか？"), 8, 138, kFrameWidth, 90);
  answerList(f8, kPurposes, 14, 26, 720);
  Caption(f8, QStringLiteral("その他の場合"), 14, 58);
  otherTextBox(f8, 2, 98, 58, 500);

  QGroupBox* f9 =
      Frame(page, QStringLiteral("９どのような過程(状況)で針刺し・切創事故が生じましたか？"), 8, 236, kFrameWidth, 124);
  answerList(f9, kCircumstances, 14, 26, 880);
  Caption(f9, QStringLiteral("その他の場合"), 14, 58);
  otherTextBox(f9, 3, 98, 58, 500);
  Caption(f9, QStringLiteral("行為別"), 14, 90);
  answerList(f9, kActionTypes, 98, 89, 400);
}

void ReportWindow::buildPage3(QWidget* page) {
  QGroupBox* f10 = Frame(page, QStringLiteral("１０針刺し･切創事故の原因となった器材は？"), 8, 6, kFrameWidth, 90);
  answerList(f10, kDevices, 14, 26, 720);
  Caption(f10, QStringLiteral("その他の場合"), 14, 58);
  otherTextBox(f10, 4, 98, 58, 500);

  QGroupBox* f11 = Frame(page, QStringLiteral("１１針で事故が発生した場合、その針は安全装置のついている針でしたか？"),
                         8, 104, kFrameWidth, 156);
  optionButton(f11, 5, 0, QStringLiteral("はい"), 14, 26);
  optionButton(f11, 5, 1, QStringLiteral("いいえ"), 90, 26);
  QGroupBox* inner = Frame(f11, QStringLiteral("安全装置を作動させましたか？"), 30, 54, 560, 90);
  optionButton(inner, 6, 0, QStringLiteral("はい"), 14, 26);
  optionButton(inner, 6, 1, QStringLiteral("いいえ"), 90, 26);
  Caption(inner, QStringLiteral("製品名"), 14, 58);
  otherTextBox(inner, 5, 62, 58, 480);
}

void ReportWindow::buildPage4(QWidget* page) {
  QGroupBox* f12 = Frame(
      page, QStringLiteral("１２針刺し・切創部位をチェックしてください(図中の数字をクリックしてもチェックできます)"), 8,
      6, kFrameWidth, 426);
  bodySites_ = new BodySitePage(BodySiteNames(), f12);
  bodySites_->move((kFrameWidth - bodySites_->width()) / 2, 26);
  connect(bodySites_, &BodySitePage::siteToggled, this, &ReportWindow::onSiteToggled);
}

void ReportWindow::buildPage5(QWidget* page) {
  QGroupBox* f13 = Frame(page, QStringLiteral("１３針刺し･切創事故の程度"), 8, 6, kFrameWidth, 58);
  answerList(f13, kSeverities, 14, 26, 500);

  QGroupBox* f14 = Frame(page, QStringLiteral("１４あなた自身はHBs抗体陽性ですか？"), 8, 72, kFrameWidth, 132);
  const QString answers[4] = {QStringLiteral("はい(ワクチン接種による)"),
                              QStringLiteral("はい(自然陽転あるいは既往疾患などによる)"), QStringLiteral("いいえ"),
                              QStringLiteral("不明")};
  for (int n = 0; n < 4; ++n) optionButton(f14, 7, n, answers[n], 14, 26 + n * 25);

  QGroupBox* f15 = Frame(page, QStringLiteral("１５蘇生時などの緊急処置時の受傷でしたか？"), 8, 212, kFrameWidth, 58);
  optionButton(f15, 8, 0, QStringLiteral("はい"), 14, 26);
  optionButton(f15, 8, 1, QStringLiteral("いいえ"), 90, 26);
}

void ReportWindow::buildPage6(QWidget* page) {
  QGroupBox* f16 =
      Frame(page,
            QStringLiteral(
                "１６針刺し･切創事故発生時の状況及び背景について、下記の（1）～（6）を含め詳しく記載してください。"),
            8, 6, kFrameWidth, 426);
  const QString prompts[6] = {
      QStringLiteral("(1)具体的な事故発生現場（階、病棟名、ナースステーション等)"),
      QStringLiteral("(2)事故発生時にどのような仕事、行為をしていたか？"),
      QStringLiteral("(3)事故を起こした器材または装置"),
      QStringLiteral("(4)どのようにして事故が発生したか？"),
      QStringLiteral("(5)事故に関連する特別な事情・状況・背景等"),
      QStringLiteral("(6)事故後の処置、対応"),
  };
  for (int i = 0; i < 6; ++i) Caption(f16, prompts[i], 24, 24 + i * 19);
  noteBox(f16, 1, 14, 142, kFrameWidth - 28, 270);
}

void ReportWindow::buildPage7(QWidget* page) {
  QGroupBox* f17 =
      Frame(page, QStringLiteral("１７あなたはどのようにすればこの事故が防げたと思いますか？簡単に記載してください"), 8,
            6, kFrameWidth, 426);
  noteBox(f17, 2, 14, 28, kFrameWidth - 28, 384);
}

void ReportWindow::fillLists() {
  for (int k = 0; k < static_cast<int>(answerLists_.size()); ++k) {
    QComboBox* box = answerLists_[k];
    const QSignalBlocker block(box);
    box->clear();
    for (const CodeEntry& entry : state_.lists[static_cast<std::size_t>(k)].entries)
      box->addItem(entry.code + QLatin1Char(';') + entry.name);
    box->setCurrentIndex(-1);
    // The open list is as wide as its longest entry.
    const int widest = box->view()->sizeHintForColumn(0) + 24;
    box->view()->setMinimumWidth(std::max(box->width(), widest));
  }
}

// ---- The shown report ------------------------------------------------------

ReportRecord* ReportWindow::shownReport() {
  if (state_.dataFile.CurrentIndex < 0 || state_.dataFile.CurrentIndex >= state_.dataFile.ReportCount()) return nullptr;
  return &state_.dataFile.ReportTable[static_cast<std::size_t>(state_.dataFile.CurrentIndex)];
}

void ReportWindow::markChanged() {
  if (!loading_ && !readOnly()) changed_ = true;
}

bool ReportWindow::readOnly() const { return state_.startup.ReadOnlySession; }

void ReportWindow::setLoading(bool on) {
  loading_ = on;
  dates_->model().setLoading(on);
}

void ReportWindow::showDates(const ReportRecord& record) {
  const QDate today = state_.clock().now().date();
  for (int i = 0; i < 2; ++i) {
    // A part stored as 0 shows today's, and the report takes what is shown.
    // The boxes and the spin buttons all take the report's date, whatever
    // they held before.
    const ShownDate s = DateShownFor(record.Years[i], record.Months[i], record.Days[i], today);
    dates_->showDate(i, s.year, s.month, s.day);
    if (ReportRecord* r = shownReport()) StoreMissingDateParts(*r, i, today);
  }
}

void ReportWindow::showReport() {
  state_.dataFile.CurrentIndex =
      std::clamp(state_.dataFile.CurrentIndex, 0, std::max(0, state_.dataFile.ReportCount() - 1));
  ReportRecord* r = shownReport();
  if (!r) return;
  setLoading(true);
  for (int k = 0; k < 9; ++k) textBoxes_[k]->setText(r->Texts[k]);
  for (int k = 0; k < 10; ++k)
    answerLists_[k]->setCurrentIndex(EntryPositionOf(state_.lists[static_cast<std::size_t>(k)], r->AnswerIds[k]));
  positionLabel_->setText(PositionLabelText(state_.dataFile, state_.counters));
  for (int k = 0; k < 3; ++k) noteBoxes_[k]->setPlainText(NoteToEditor(r->Notes[k]));
  showDates(*r);
  dates_->showTime(r->Hours[0], r->Minutes[0]);
  for (int k = 0; k < 6; ++k) otherTextBoxes_[k]->setText(r->OtherTexts[k]);

  // Every option cleared, then each group's answer chosen again (question 5
  // closing the patient block as it is chosen).
  for (int g = 0; g < kOptionGroups; ++g) clearOptions(g);
  setPatientBlockEnabled(true);
  for (int g = 0; g < kOptionGroups; ++g) {
    const std::int32_t v = r->Choices[g];
    if (v >= 1 && v <= kOptionCounts[g]) optionButtons_[g][v - 1]->setChecked(true);
  }
  bodySites_->showMarks(r->Sites);
  setLoading(false);
  dates_->model().runDayHandler(0);
  dates_->model().runDayHandler(1);
  enableFollowupButton();
  moveFocusOffDeleteButton();
  recordShowing(*r);
}

void ReportWindow::recordShowing(const ReportRecord& report) {
  // A report stays shown while it is shown again in place (after a save, a
  // failed step); a new report not yet written has nothing to show of a record.
  if (report.ReportId == lastShownId_ ||
      std::find(unsavedNew_.begin(), unsavedNew_.end(), report.ReportId) != unsavedNew_.end())
    return;
  lastShownId_ = report.ReportId;
  state_.log.record({log_kind::kReportShown, report.ReportId, QStringLiteral("報告を表示しました"),
                     QJsonObject{{QStringLiteral("file"), state_.dataFile.CurrentFileNo}}});
}

void ReportWindow::startNewReport() {
  if (readOnly()) return;
  takeWaitingDateNumber();
  // A newest data file that does not read is left as it is; its repair is
  // offered before the new report passes it over.
  if (NewReportPassesOverNewestFile(state_.dataFile, state_.counters, state_.paths)) {
    const int newest = state_.counters.NewestFileNo;
    if (state_.prompts().message(DamagedNewestFileText(state_.paths, newest), QString(), PromptIcon::Exclamation,
                                 PromptButtons::YesNo) == PromptAnswer::Yes)
      OfferDataFileRepair(state_, newest);
  }
  const QDateTime now = state_.clock().now();
  const NewReportOutcome outcome =
      StartNewReport(state_.dataFile, state_.counters, state_.paths, now, [this] { return saveIfChanged(); });
  if (outcome == NewReportOutcome::SaveFailed) return;  // told already; the report shown stays
  if (outcome == NewReportOutcome::CollectionFull) {
    state_.prompts().message(kCollectionFullMessage, QString(), PromptIcon::Exclamation);
    showReport();
    return;
  }
  ReportRecord* r = shownReport();
  if (!r) return;
  unsavedNew_.push_back(r->ReportId);

  setLoading(true);
  for (QLineEdit* box : textBoxes_) box->clear();
  for (QComboBox* box : answerLists_) box->setCurrentIndex(-1);
  positionLabel_->setText(PositionLabelText(state_.dataFile, state_.counters));
  for (QPlainTextEdit* box : noteBoxes_) box->clear();
  const QDate today = now.date();
  for (int i = 0; i < 2; ++i) dates_->showDate(i, today.year(), today.month(), today.day());
  dates_->showTime(now.time().hour(), now.time().minute());
  for (QLineEdit* box : otherTextBoxes_) box->clear();
  for (int g = 0; g < kOptionGroups; ++g) clearOptions(g);
  setPatientBlockEnabled(true);
  bodySites_->clearMarks();
  setLoading(false);
  dates_->model().runDayHandler(0);
  dates_->model().runDayHandler(1);
  enableFollowupButton();
  moveFocusOffDeleteButton();
}

bool ReportWindow::saveFile() {
  const ReportSaveOutcome saved = SaveReportFileRecorded(state_.dataFile, state_.counters, state_.paths, state_.lists,
                                                         state_.log, state_.database, state_.clock().now());
  if (!saved.notice.isEmpty()) state_.prompts().message(saved.notice, QString(), PromptIcon::Exclamation);
  if (!saved.ok()) {
    state_.prompts().message(saved.error, QString(), PromptIcon::Critical);
    return false;
  }
  followSavedFile();
  return true;
}

bool ReportWindow::saveIfChanged() {
  if (readOnly()) return true;  // nothing was changed, nothing started
  takeWaitingDateNumber();
  if (!changed_) {
    // Nothing to write: a new report never changed leaves with the file.
    dropUntouchedNewReports();
    return true;
  }
  if (!saveFile()) return false;
  changed_ = false;
  unsavedNew_.clear();
  enableFollowupButton();
  return true;
}

void ReportWindow::dropUntouchedNewReports() {
  DropUnsavedNewReports(state_.dataFile, state_.counters, state_.paths, unsavedNew_);
  unsavedNew_.clear();
}

void ReportWindow::showCurrentOrNearest() {
  if (state_.dataFile.ReportCount() > 0) {
    showReport();
    return;
  }
  std::vector<ReportRecord> table;
  int n = FindFileWithReports(state_.counters, state_.paths, state_.dataFile.CurrentFileNo - 1, -1, table);
  const bool atEnd = n >= 0;
  if (n < 0) n = FindFileWithReports(state_.counters, state_.paths, state_.dataFile.CurrentFileNo + 1, +1, table);
  if (n < 0) {
    // No report anywhere: a new one, or in a read-only run the empty form.
    if (readOnly())
      positionLabel_->setText(PositionLabelText(state_.dataFile, state_.counters));
    else
      startNewReport();
    return;
  }
  const int index = atEnd ? static_cast<int>(table.size()) - 1 : 0;
  ShowFile(state_.dataFile, n, std::move(table), index);
  showReport();
}

// ---- Steps, search, deletion ---------------------------------------------------

void ReportWindow::step(Step kind) {
  takeWaitingDateNumber();
  StepPlan plan = PlanStep(state_.dataFile, state_.counters, state_.paths, kind);
  if (!plan.moves) return;
  // The file left is saved first; when that fails the window stays.
  if (plan.leavesFile && !saveIfChanged()) return;
  ApplyStep(state_.dataFile, std::move(plan));
  showReport();
}

void ReportWindow::search(SearchField field) {
  // Edits are saved before the files are read, and a search never runs past
  // edits that could not be saved. The search reads the files on its own and
  // leaves the file in memory alone: a new report not yet written stays
  // until a hit is chosen.
  takeWaitingDateNumber();
  if (changed_ && !saveIfChanged()) return;
  state_.searchHits.clear();
  const QString prompt = field == SearchField::RecordNumber ? QStringLiteral("カルテ番号を入力してください。")
                                                            : QStringLiteral("報告者氏名を入力してください。");
  const std::optional<QString> text = state_.prompts().input(prompt, QStringLiteral("検索"), QString());
  if (!text || text->isEmpty()) return;

  state_.prompts().setBusy(true);
  SearchOutcome found = SearchReports(state_.paths, state_.counters.NewestFileNo, field, *text);
  state_.prompts().setBusy(false);
  state_.searchHits = std::move(found.hits);

  if (state_.searchHits.empty()) {
    // The report shown stays; the file in memory is as the search found it.
    state_.prompts().beep();
    state_.prompts().message(QStringLiteral("データが見つかりません"), QString(), PromptIcon::None, PromptButtons::Ok);
    return;
  }

  const int chosen = SearchResultDialog::Choose(state_, found.lines, this);
  // Closed without a choice: the report shown before the search stays.
  if (chosen < 0 || chosen >= static_cast<int>(state_.searchHits.size())) return;
  const SearchHit hit = state_.searchHits[static_cast<std::size_t>(chosen)];
  if (!saveIfChanged()) return;  // takes back a new report never changed
  LoadDataFile(state_.dataFile, state_.paths, hit.fileNo);
  state_.dataFile.CurrentIndex = hit.slot;
  showCurrentOrNearest();
}

void ReportWindow::deleteShownReport() {
  if (readOnly()) return;
  takeWaitingDateNumber();
  const DeletionCase deletion = ClassifyDeletion(state_.dataFile, state_.counters);
  const ReportRecord* shown = shownReport();
  const std::int32_t reportId = shown ? shown->ReportId : 0;
  if (deletion != DeletionCase::None && !prepareFollowupDeletion(reportId)) {
    moveFocusOffDeleteButton();
    return;
  }
  switch (deletion) {
    case DeletionCase::None: return;

    case DeletionCase::LastOfCollection:
      // The emptied data file is written and a new report starts at once.
      TakeOutShownReport(state_.dataFile, state_.counters);
      changed_ = true;
      saveIfChanged();
      startNewReport();
      return;

    case DeletionCase::WithinFile: {
      const WithinFileDeletion d = TakeOutShownReport(state_.dataFile, state_.counters);
      changed_ = true;
      // The file's last report gone, the first report of the next file
      // follows; the shortened file is saved before it is left.
      if (d.wasLastOfFile && d.newerFilesExist && saveIfChanged()) {
        std::vector<ReportRecord> next;
        const int n = FindFileWithReports(state_.counters, state_.paths, state_.dataFile.CurrentFileNo + 1, +1, next);
        if (n >= 0) ShowFile(state_.dataFile, n, std::move(next), 0);
      }
      showReport();
      return;
    }

    case DeletionCase::OnlyReportOfFile: {
      // The file goes with its only report: the deletion is recorded around it.
      RecordedReportWrite recorded(state_.log, state_.database);
      recorded.begin(ReportWrite{state_.dataFile.CurrentFileNo, {*shown}, {}, {}}, state_.lists);
      const FileRemovalOutcome removed =
          RemoveShownReportFile(state_.dataFile, state_.counters, state_.paths, *fileOps_, state_.clock().now());
      recorded.finish(removed.ok);
      if (!removed.ok) {
        state_.prompts().message(removed.error, QString(), PromptIcon::Critical);
        // The report stays, and so does its follow-up.
        cancelFollowupDeletions({reportId});
        moveFocusOffDeleteButton();
        return;
      }
      // The file in memory is gone with its report: nothing of it to save.
      changed_ = false;
      unsavedNew_.clear();
      followSavedFile();
      if (!removed.notice.isEmpty()) state_.prompts().message(removed.notice, QString(), PromptIcon::Exclamation);
      if (removed.startNewReport)
        startNewReport();
      else
        showReport();
      return;
    }
  }
}

// ---- The follow-up -------------------------------------------------------------

void ReportWindow::enableFollowupButton() {
  const ReportRecord* r = shownReport();
  followupButton_->setEnabled(r && std::find(unsavedNew_.begin(), unsavedNew_.end(), r->ReportId) == unsavedNew_.end());
}

void ReportWindow::openFollowup() {
  // The case takes the worker from the report as it is saved.
  takeWaitingDateNumber();
  if (changed_ && !saveIfChanged()) return;
  const ReportRecord* r = shownReport();
  if (!r || !followupButton_->isEnabled()) return;
  ShowFollowupForReport(state_, *r, this);
}

void ReportWindow::openHistory() {
  // The history shows the report as it is saved; a new report never changed
  // has none and is taken back.
  takeWaitingDateNumber();
  const ReportRecord* r = shownReport();
  const bool untouchedNew =
      r && !changed_ && std::find(unsavedNew_.begin(), unsavedNew_.end(), r->ReportId) != unsavedNew_.end();
  const std::int32_t reportId = r && !untouchedNew ? r->ReportId : 0;
  if (!saveIfChanged()) return;
  ReportHistoryWindow history(state_, reportId, this);
  history.exec();
  // A version made current, or a report brought back: the file it went to
  // is the file in memory now, standing at that report.
  if (history.changedReports()) lastShownId_ = 0;
  showCurrentOrNearest();
}

bool ReportWindow::prepareFollowupDeletion(std::int32_t reportId) {
  Database& database = state_.database;
  // Without a database there is nothing to find.
  if (reportId == 0 || !database.isOpen()) return true;
  CaseRecords records;
  QString error;
  if (!ReadCaseRecords(database.connection(), reportId, &records, &error)) {
    state_.prompts().message(DatabaseErrorText(database.path(), error) +
                                 QStringLiteral("\n経過観察の記録を確かめられないため、表示データは削除していません。"),
                             QString(), PromptIcon::Critical);
    return false;
  }
  if (!records.exists) return true;
  if (database.isReadOnly()) {
    state_.prompts().message(QStringLiteral("この報告書には経過観察の記録があります。\n") + database.readOnlyReason() +
                                 QStringLiteral("、記録を削除できません。表示データは削除していません。"),
                             QString(), PromptIcon::Exclamation);
    return false;
  }
  if (state_.prompts().message(CaseDeletionQuestion(records), QStringLiteral("削除の確認"), PromptIcon::Question,
                               PromptButtons::YesNo) != PromptAnswer::Yes)
    return false;
  if (!MarkCaseForDeletion(database, reportId, &error)) {
    state_.prompts().message(FollowupSaveError(database, error) + QStringLiteral("\n表示データは削除していません。"),
                             QString(), PromptIcon::Critical);
    return false;
  }
  followupDeletions_.push_back(reportId);
  return true;
}

void ReportWindow::followSavedFile() {
  Database& database = state_.database;
  if (!database.isOpen() || database.isReadOnly()) return;
  QString error;
  if (!followupDeletions_.empty()) {
    // A failure here leaves the cases marked; the next start settles them.
    if (FinishCaseDeletions(database, followupDeletions_, &error)) followupDeletions_.clear();
  }
  if (!KeepCasesInStep(database, state_.dataFile.ReportTable, state_.lists, &error)) {
    state_.prompts().message(
        QStringLiteral("経過観察の記録に、受傷者の氏名・所属部署・職種・受傷日の変更を反映できませんでした。\n") +
            DatabaseErrorText(database.path(), error),
        QString(), PromptIcon::Exclamation);
  }
}

void ReportWindow::cancelFollowupDeletions(const std::vector<std::int32_t>& reportIds) {
  const std::vector<std::int32_t> ids = reportIds.empty() ? followupDeletions_ : reportIds;
  if (ids.empty() || !state_.database.isOpen()) return;
  QString error;
  // A failure leaves the marks; the next start finds the reports and takes
  // them back.
  if (!CancelCaseDeletions(state_.database, ids, &error)) return;
  std::erase_if(followupDeletions_,
                [&ids](std::int32_t id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); });
}

// ---- Editing -----------------------------------------------------------------

void ReportWindow::filterAndTell(QLineEdit* box) {
  const QString typed = box->text();
  FilterLineBox(box, StorableLineText);
  const QString note = LeftOutText(typed, box->text(), 0, 0);
  if (note.isEmpty()) return;
  state_.prompts().beep();
  ShowInputNote(box, note);
}

void ReportWindow::onTextEdited(int k) {
  if (loading_) return;
  QLineEdit* box = textBoxes_[k];
  // A rewrite comes back here with the kept text.
  filterAndTell(box);
  ReportRecord* r = shownReport();
  if (!r) return;
  r->Texts[k] = box->text();
  markChanged();
}

void ReportWindow::onOtherTextEdited(int k) {
  QLineEdit* box = otherTextBoxes_[k];
  filterAndTell(box);
  markChanged();
  if (ReportRecord* r = shownReport()) r->OtherTexts[k] = box->text();
}

void ReportWindow::onNoteEdited(int k) {
  // Showing a report fills the box from the stored note: nothing to store.
  if (loading_) return;
  QPlainTextEdit* box = noteBoxes_[k];
  const QString typed = box->toPlainText();
  if (FilterNoteBox(box)) {
    state_.prompts().beep();
    ShowInputNote(box, LeftOutText(typed, box->toPlainText(), 0, 0));
  }
  markChanged();
  if (ReportRecord* r = shownReport()) r->Notes[k] = NoteFromEditor(box->toPlainText());
}

void ReportWindow::onAnswerChosen(int k, int index) {
  if (index < 0 || loading_) return;
  const CodeList& list = state_.lists[static_cast<std::size_t>(k)];
  ReportRecord* r = shownReport();
  if (!r || index >= list.count()) return;
  r->AnswerIds[k] = list.entries[index].id;
  markChanged();
}

void ReportWindow::onOptionChosen(int group, int n) {
  if (loading_ && group == 1) {
    // Showing a report: the patient block follows the stored answer and
    // shows what the report holds, never emptied by the showing.
    setPatientBlockEnabled(n == 0);
    return;
  }
  markChanged();
  ReportRecord* r = shownReport();
  if (!r) return;
  if (group != 1) {
    r->Choices[group] = n + 1;
    return;
  }
  // Question 5: the patient block follows the answer.
  const bool open = ApplyPatientKnownAnswer(*r, n);
  if (!open) {
    for (int g = 2; g <= 4; ++g) clearOptions(g);
    const bool wasLoading = loading_;
    loading_ = true;  // the emptied box has nothing more to store
    textBoxes_[kOtherInfection]->clear();
    loading_ = wasLoading;
  }
  setPatientBlockEnabled(open);
}

void ReportWindow::takeWaitingDateNumber() { dates_->model().takeWaitingNumber(); }

void ReportWindow::onDateStored(DatePart part, int index, int value) {
  ReportRecord* r = shownReport();
  if (!r || index < 0 || index > 2) return;
  switch (part) {
    case DatePart::Year: r->Years[index] = value; break;
    case DatePart::Month: r->Months[index] = value; break;
    case DatePart::Day: r->Days[index] = value; break;
    case DatePart::Hour: r->Hours[index] = value; break;
    case DatePart::Minute: r->Minutes[index] = value; break;
  }
}

void ReportWindow::onSiteToggled(int index, int value) {
  if (ReportRecord* r = shownReport(); r && index >= 0 && index < kSiteCount && index != 28)
    r->Sites[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
  markChanged();
}

void ReportWindow::focusFirstField() {
  QWidget* page = pageStack_->currentWidget();
  if (page == pages_[0]) {
    textBoxes_[kReporterName]->setFocus(Qt::OtherFocusReason);
    return;
  }
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page)) {
      w->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

void ReportWindow::moveFocusOffDeleteButton() {
  if (focusWidget() == deleteButton_) focusFirstField();
}

void ReportWindow::setPatientBlockEnabled(bool enabled) {
  for (QWidget* w : patientBlock_) w->setEnabled(enabled);
}

void ReportWindow::clearOptions(int group) {
  QButtonGroup* g = optionGroups_[group];
  if (!g->checkedButton()) return;
  // An exclusive group keeps one button checked: lift that while clearing.
  g->setExclusive(false);
  g->checkedButton()->setChecked(false);
  g->setExclusive(true);
}

// ---- Closing -----------------------------------------------------------------

bool ReportWindow::mayClose() {
  if (saveIfChanged()) return true;
  // The save failed and was told; the edits are still in memory.
  if (state_.prompts().message(QStringLiteral("変更を保存できませんでした。保存せずに閉じますか？"), QString(),
                               PromptIcon::Exclamation, PromptButtons::YesNo) != PromptAnswer::Yes)
    return false;
  changed_ = false;
  // The reports deleted since the last save stay in their file.
  cancelFollowupDeletions();
  dropUntouchedNewReports();
  return true;
}

// The close box, Escape and "戻る" all come here.
void ReportWindow::reject() {
  if (closeGuard_.allows([this] { return mayClose(); })) QDialog::reject();
}

}  // namespace orvanta
