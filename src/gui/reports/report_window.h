#pragma once
// The report entry window (frmrep, "事故時報告書"): one report of the data
// file in memory at a time, as the 17 questions of the report form on eight
// tabbed pages. Every answer is written into the shown report at once; the
// data file is written whenever the window leaves it.

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

  // Shows the report at CurrentIndex.
  void hyouji();
  // Starts a new report at the end of the newest data file and shows it.
  void sinki();
  // Saves the data file in memory when it has changed. False when the save
  // failed: the user has been told, and Changed stays set.
  bool kakunin();
  // Writes data file CurrentFileNo and ttid.dat; a failure is told.
  bool hozon();

  // The step buttons: "▲▲", "▲", "▼", "▼▼".
  void step(Step step);
  // "表示データの削除": deletes the shown report.
  void deleteShown();
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
  ReportRecord* shown();
  void mark();
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

  QLineEdit* text1Box(QWidget* parent, int k, int x, int y, int width);
  QLineEdit* text3Box(QWidget* parent, int k, int x, int y, int width);
  QPlainTextEdit* text2Box(QWidget* parent, int k, int x, int y, int width, int height);
  QComboBox* combo(QWidget* parent, int k, int x, int y, int width);
  QRadioButton* option(QWidget* parent, int group, int n, const QString& caption, int x, int y, int width = -1);

  void onText1(int k);
  void onText2(int k);
  void onText3(int k);
  void onCombo(int k, int index);
  void onOption(int group, int n);
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
  void showCurrent();
  bool closeProcedure();

  AppState& state_;
  bool loading_ = false;
  bool changed_ = false;
  CloseGuard closeGuard_;
  // New reports started here and not written yet.
  std::vector<std::int32_t> unsavedNew_;
  DataFileOps* fileOps_ = nullptr;

  QMenuBar* menuBar_ = nullptr;
  std::array<QAction*, 2> mnuSerItem_{};
  QPushButton* command7_ = nullptr;  // 表示データの削除
  QPushButton* command4_ = nullptr;  // ▲▲
  QPushButton* command2_ = nullptr;  // ▲
  QPushButton* command3_ = nullptr;  // ▼
  QPushButton* command5_ = nullptr;  // ▼▼
  QPushButton* command6_ = nullptr;  // 新規追加
  QPushButton* back_ = nullptr;      // 戻る
  QLabel* label9_ = nullptr;         // position
  QTabBar* tabStrip_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  std::array<QWidget*, 8> picture1_{};

  std::array<QLineEdit*, 9> text1_{};
  std::array<QPlainTextEdit*, 3> text2_{};
  std::array<QLineEdit*, 6> text3_{};
  std::array<QComboBox*, 10> combo1_{};
  std::array<QButtonGroup*, kOptionGroups> groups_{};
  std::array<std::array<QRadioButton*, 4>, kOptionGroups> options_{};
  std::vector<QWidget*> patientBlock_;
  DateFieldControls* dates_ = nullptr;
  BodySitePage* sites_ = nullptr;
};

}  // namespace orvanta
