#pragma once
// The report entry window (frmrep, "事故時報告書"): one report of the data
// file in memory at a time, as the 17 questions of the report form on eight
// tabbed pages. Every answer is written into the shown report at once; the
// data file is written whenever the window leaves it. In a read-only run the
// window only shows the reports and steps through them.

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "gui/widgets/close_guard.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QWidget;

namespace orvanta {

class AppState;
class BodySitePage;
class DataFileOps;
class DateFieldControls;
struct ReportRecord;
enum class DatePart;
enum class SearchField;
enum class Step;

class ReportWindow : public QDialog {
  Q_OBJECT
 public:
  // Opens on a new report when NewReportMode is set, otherwise on the report
  // at CurrentIndex.
  explicit ReportWindow(AppState& state, QWidget* parent = nullptr);
  ~ReportWindow() override;

  // Shows the report at CurrentIndex (hyouji).
  void showReport();
  // Starts a new report at the end of the newest data file and shows it
  // (sinki).
  void startNewReport();
  // Saves the data file in memory when it has changed (kakunin). False when
  // the save failed: the user has been told, and Changed stays set.
  bool saveIfChanged();
  // Writes data file CurrentFileNo and ttid.dat (hozon); a failure is told.
  bool saveFile();

  // The step buttons: "▲▲", "▲", "▼", "▼▼".
  void step(Step step);
  // "表示データの削除": deletes the shown report. A report with follow-up
  // records is deleted only after the user agreed, and its records go with
  // it once the report has left its data file.
  void deleteShownReport();
  // "経過観察": the follow-up window of the shown report (saved first).
  void openFollowup();
  // "変更履歴": the versions of the shown report (saved first), from which a
  // version can be made current or a deleted report brought back.
  void openHistory();
  // The menu "カルテ検索": by record number or by the reporter's name.
  void search(SearchField field);

  // The file operations a deletion uses (the file system unless replaced).
  void setDataFileOps(DataFileOps& ops) { fileOps_ = &ops; }

  // The window's marks.
  bool isChanged() const { return changed_; }
  bool isLoading() const { return loading_; }
  void setChanged() { changed_ = true; }

  // Option groups: Option1 to Option10, answering Choices(0) to Choices(9).
  static constexpr int kOptionGroups = 10;
  static constexpr std::array<int, kOptionGroups> kOptionCounts{2, 3, 3, 3, 3, 2, 2, 4, 2, 2};

 protected:
  void reject() override;

 private:
  ReportRecord* shownReport();
  // A read-only run: reports are shown, never changed, started or deleted.
  bool readOnly() const;
  void markChanged();
  void setLoading(bool on);

  void buildTopRow(QWidget* content);
  void buildPage0(QWidget* page);
  void buildPage1(QWidget* page);
  void buildPage2(QWidget* page);
  void buildPage3(QWidget* page);
  void buildPage4(QWidget* page);
  void buildPage5(QWidget* page);
  void buildPage6(QWidget* page);
  void buildPage7(QWidget* page);
  void fillLists();

  QLineEdit* textBox(QWidget* parent, int k, int x, int y, int width);
  QLineEdit* otherTextBox(QWidget* parent, int k, int x, int y, int width);
  QPlainTextEdit* noteBox(QWidget* parent, int k, int x, int y, int width, int height);
  QComboBox* answerList(QWidget* parent, int k, int x, int y, int width);
  QRadioButton* optionButton(QWidget* parent, int group, int n, const QString& caption, int x, int y, int width = -1);

  // Keeps a line box storable; says what was left out and why.
  void filterAndTell(QLineEdit* box);
  void onTextEdited(int k);
  void onNoteEdited(int k);
  void onOtherTextEdited(int k);
  void onAnswerChosen(int k, int index);
  void onOptionChosen(int group, int n);
  void onDateStored(DatePart part, int index, int value);
  void onSiteToggled(int index, int value);

  // Question 5: opens or closes the patient block.
  void setPatientBlockEnabled(bool enabled);
  void clearOptions(int group);
  void showDates(const ReportRecord& record);
  // Takes the untouched new reports back out of the file in memory.
  void dropUntouchedNewReports();
  // Shows the report at CurrentIndex; with no report in the file in memory,
  // the nearest report there is, or a new report when there is none.
  void showCurrentOrNearest();
  // A number the user left waiting in a date box (the keyboard is still in
  // it) is taken before the window saves, moves on or closes.
  void takeWaitingDateNumber();
  bool mayClose();
  // The keyboard to the first field of the page shown (the reporter's name
  // on the first page).
  void focusFirstField();
  // Never leaves the keyboard on "表示データの削除" after a report is shown.
  void moveFocusOffDeleteButton();
  // "経過観察" is open for a report that is saved, not for a new one.
  void enableFollowupButton();
  // Asks before a report with follow-up records is deleted and marks its
  // case; false when the report must stay (the user said no, or the case
  // could not be marked).
  bool prepareFollowupDeletion(std::int32_t reportId);
  // After the data file was saved: the follow-up cases take what the saved
  // reports now say, and the cases of deleted reports go.
  void followSavedFile();
  // The deletions of reports that never reached their file are taken back:
  // those of reportIds, or every one when it is empty.
  void cancelFollowupDeletions(const std::vector<std::int32_t>& reportIds = {});
  // The access log's entry for a report shown, once per showing.
  void recordShowing(const ReportRecord& report);

  AppState& state_;
  bool loading_ = false;
  bool changed_ = false;
  CloseGuard closeGuard_;
  // New reports started here and not written yet.
  std::vector<std::int32_t> unsavedNew_;
  DataFileOps* fileOps_ = nullptr;
  // Reports deleted here whose follow-up case is marked, to go once the
  // deletion has reached the data file.
  std::vector<std::int32_t> followupDeletions_;
  std::int32_t lastShownId_ = 0;  // the report whose showing was recorded last

  QMenuBar* menuBar_ = nullptr;
  std::array<QAction*, 2> searchItems_{};
  QPushButton* deleteButton_ = nullptr;       // 表示データの削除
  QPushButton* firstButton_ = nullptr;        // ▲▲
  QPushButton* stepBackButton_ = nullptr;     // ▲
  QPushButton* stepForwardButton_ = nullptr;  // ▼
  QPushButton* lastButton_ = nullptr;         // ▼▼
  QPushButton* newReportButton_ = nullptr;    // 新規追加
  QPushButton* closeButton_ = nullptr;        // 戻る
  QPushButton* followupButton_ = nullptr;     // 経過観察
  QPushButton* historyButton_ = nullptr;      // 変更履歴
  QLabel* positionLabel_ = nullptr;           // " 5/ 12"
  QTabBar* pageTabs_ = nullptr;
  QStackedWidget* pageStack_ = nullptr;
  std::array<QWidget*, 8> pages_{};

  std::array<QLineEdit*, 9> textBoxes_{};       // Text1: Texts
  std::array<QPlainTextEdit*, 3> noteBoxes_{};  // Text2: Notes
  std::array<QLineEdit*, 6> otherTextBoxes_{};  // Text3: OtherTexts
  std::array<QComboBox*, 10> answerLists_{};    // Combo1: AnswerIds
  std::array<QButtonGroup*, kOptionGroups> optionGroups_{};
  std::array<std::array<QRadioButton*, 4>, kOptionGroups> optionButtons_{};
  std::vector<QWidget*> patientBlock_;
  DateFieldControls* dates_ = nullptr;
  BodySitePage* bodySites_ = nullptr;
};

}  // namespace orvanta
