#pragma once
// The window "分母の登録" (frmDenominators): the denominators of the rates
// per year (the average occupied beds, the patient-days, the full-time
// equivalents of each 職種 entry and the units purchased of each 原因器材
// entry) in a grid, kept as they are typed, with their CSV file both ways;
// the choice between 年度 and calendar years; and the interventions, listed,
// added, changed and removed. Every change is one transaction of the
// database.

#include <QDialog>
#include <optional>
#include <vector>

#include "core/rates/denominator_csv.h"
#include "core/rates/denominators.h"
#include "core/rates/interventions.h"
#include "core/rates/rate_years.h"

class QButtonGroup;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTableWidgetItem;

namespace orvanta {

class AppState;

class DenominatorsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit DenominatorsWindow(AppState& state, QWidget* parent = nullptr);
  ~DenominatorsWindow() override;

  const Denominators& denominators() const { return denominators_; }
  const std::vector<Intervention>& interventions() const { return interventions_; }
  YearKind yearKind() const { return kind_; }
  // The year of each row of the grid.
  const std::vector<int>& years() const { return years_; }

  // "年度を追加": asks for a year and gives it a row.
  void addYear();
  // "年度を削除": removes every value of the chosen row's year, after asking.
  void removeYear();
  // "CSVファイルから読み込み" and "CSVファイル変換".
  void importCsv();
  void exportCsv();
  // The interventions' "追加", "変更", "削除".
  void addIntervention();
  void changeIntervention();
  void removeIntervention();

 private:
  void buildYearKind();
  void buildGrid();
  void buildInterventions();
  void buildButtons();

  // Reads the database again and shows it (the extra years typed in stay).
  void reload();
  void fillGrid();
  void fillInterventions();
  void onCellEdited(QTableWidgetItem* item);
  void onYearKindClicked(int id);
  void onInterventionChosen();
  void showYearKind();
  std::optional<std::size_t> chosenIntervention() const;
  // Tells the user what went wrong; false.
  bool tell(const QString& text);
  bool writable() const;

  AppState& state_;
  YearKind kind_ = YearKind::Fiscal;
  Denominators denominators_;
  std::vector<DenominatorColumn> columns_;
  std::vector<int> years_;
  std::vector<int> addedYears_;  // typed in, holding no value yet
  std::vector<Intervention> interventions_;
  bool filling_ = false;

  QButtonGroup* yearKindGroup_ = nullptr;
  QRadioButton* fiscalOption_ = nullptr;
  QRadioButton* calendarOption_ = nullptr;
  QLabel* note_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QPushButton* addYearButton_ = nullptr;
  QPushButton* removeYearButton_ = nullptr;
  QPushButton* importButton_ = nullptr;
  QPushButton* exportButton_ = nullptr;
  QTableWidget* interventionList_ = nullptr;
  QDateEdit* interventionDate_ = nullptr;
  QLineEdit* interventionLabel_ = nullptr;
  QPushButton* addInterventionButton_ = nullptr;
  QPushButton* changeInterventionButton_ = nullptr;
  QPushButton* removeInterventionButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace orvanta
