#include "gui/rates/denominators_window.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <algorithm>

#include "core/app/app_state.h"
#include "core/output/csv_file.h"
#include "core/platform/clock.h"
#include "core/platform/prompts.h"
#include "core/rates/denominator_csv.h"
#include "core/reports/report_editing.h"
#include "core/store/database.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {
namespace {

// Places and sizes, in twips.
constexpr int kClientWidth = 15000;
constexpr int kClientHeight = 10260;
constexpr int kLeft = 120;
constexpr int kInnerWidth = kClientWidth - 2 * kLeft;
constexpr int kButtonHeight = 375;
constexpr int kLineHeight = 330;
constexpr int kRowHeight = 300;  // a row of the grids

constexpr int kYearKindTop = 60;
constexpr int kYearKindWidth = 5400;
constexpr int kYearKindHeight = 660;

constexpr int kGridTop = 840;
constexpr int kGridHeight = 4800;
constexpr int kGridButtonsTop = kGridTop + kGridHeight + 90;
constexpr int kValueColumnWidth = 1320;

constexpr int kInterventionsTop = kGridButtonsTop + kButtonHeight + 150;
constexpr int kInterventionsHeight = 3150;
constexpr int kInterventionListWidth = 8700;
constexpr int kInterventionFieldsLeft = kInterventionListWidth + 360;
constexpr int kCloseTop = kInterventionsTop + kInterventionsHeight + 120;
static_assert(kCloseTop + kButtonHeight <= kClientHeight, "the buttons fit the client area");

const QString kTitle = QStringLiteral("分母の登録");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// The heading of a grid column: the kind over the entry's name.
QString ColumnHeading(const DenominatorColumn& c) {
  const QString caption = DenominatorKindCaption(c.kind);
  return c.name.isEmpty() ? caption : caption + u'\n' + c.name;
}

}  // namespace

DenominatorsWindow::DenominatorsWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmDenominators"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));
  columns_ = DenominatorColumns(state_.lists);

  buildYearKind();
  buildGrid();
  buildInterventions();
  buildButtons();
  reload();
}

DenominatorsWindow::~DenominatorsWindow() = default;

void DenominatorsWindow::buildYearKind() {
  QGroupBox* frame =
      Named(PlaceFrame(this, QStringLiteral("年の区切り"), kLeft, kYearKindTop, kYearKindWidth, kYearKindHeight),
            "fraYearKind");
  fiscalOption_ = Named(new QRadioButton(QStringLiteral("年度（4月～3月）"), frame), "optFiscalYear");
  PlaceTw(fiscalOption_, 180, 285, 2400, kLineHeight - 45);
  calendarOption_ = Named(new QRadioButton(QStringLiteral("暦年（1月～12月）"), frame), "optCalendarYear");
  PlaceTw(calendarOption_, 2700, 285, 2500, kLineHeight - 45);
  yearKindGroup_ = new QButtonGroup(this);
  yearKindGroup_->addButton(fiscalOption_, static_cast<int>(YearKind::Fiscal));
  yearKindGroup_->addButton(calendarOption_, static_cast<int>(YearKind::Calendar));
  connect(yearKindGroup_, &QButtonGroup::idClicked, this, &DenominatorsWindow::onYearKindClicked);

  note_ = Named(PlaceLabel(this, QString(), kLeft + kYearKindWidth + 240, kYearKindTop + 90,
                           kInnerWidth - kYearKindWidth - 240, 2 * kLineHeight),
                "lblNote");
  note_->setWordWrap(true);
}

void DenominatorsWindow::buildGrid() {
  grid_ = Named(new QTableWidget(this), "gridDenominators");
  PlaceTw(grid_, kLeft, kGridTop, kInnerWidth, kGridHeight);
  grid_->setColumnCount(static_cast<int>(columns_.size()));
  for (int c = 0; c < grid_->columnCount(); ++c) {
    const DenominatorColumn& column = columns_[static_cast<std::size_t>(c)];
    auto* heading = new QTableWidgetItem(ColumnHeading(column));
    heading->setToolTip(column.name.isEmpty()
                            ? DenominatorKindCaption(column.kind)
                            : DenominatorKindCaption(column.kind) + QStringLiteral(": ") + column.name);
    grid_->setHorizontalHeaderItem(c, heading);
    // Wide enough for the longest line of its heading (a long occupation or
    // device name), never narrower than a value needs.
    int widest = 0;
    for (const QString& line : heading->text().split(u'\n'))
      widest = std::max(widest, grid_->horizontalHeader()->fontMetrics().horizontalAdvance(line));
    grid_->setColumnWidth(c, std::max(Twips(kValueColumnWidth), widest + 12));
  }
  grid_->horizontalHeader()->setTextElideMode(Qt::ElideRight);
  grid_->horizontalHeader()->setFixedHeight(Twips(3 * 270));
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->verticalHeader()->setDefaultSectionSize(Twips(kRowHeight));
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  connect(grid_, &QTableWidget::itemChanged, this, &DenominatorsWindow::onCellEdited);
}

void DenominatorsWindow::buildInterventions() {
  QGroupBox* frame = Named(PlaceFrame(this, QStringLiteral("介入（推移のグラフに縦線で示します）"), kLeft,
                                      kInterventionsTop, kInnerWidth, kInterventionsHeight),
                           "fraInterventions");
  interventionList_ = Named(new QTableWidget(frame), "gridInterventions");
  PlaceTw(interventionList_, 120, 300, kInterventionListWidth, kInterventionsHeight - 420);
  interventionList_->setColumnCount(2);
  interventionList_->setHorizontalHeaderLabels({QStringLiteral("日付"), QStringLiteral("内容")});
  interventionList_->setColumnWidth(0, Twips(1500));
  interventionList_->horizontalHeader()->setStretchLastSection(true);
  interventionList_->verticalHeader()->hide();
  interventionList_->verticalHeader()->setDefaultSectionSize(Twips(kRowHeight));
  interventionList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  interventionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  interventionList_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(interventionList_, &QTableWidget::itemSelectionChanged, this, &DenominatorsWindow::onInterventionChosen);

  const int fieldsLeft = kInterventionFieldsLeft;
  const int fieldLeft = fieldsLeft + 720;
  const int fieldWidth = kInnerWidth - fieldLeft - 180;
  Named(PlaceLabel(frame, QStringLiteral("日付"), fieldsLeft, 330, 660, kLineHeight), "lblInterventionDate");
  interventionDate_ = Named(new QDateEdit(frame), "dateIntervention");
  interventionDate_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  interventionDate_->setCalendarPopup(true);
  interventionDate_->setDateRange(QDate(kFirstDenominatorYear, 1, 1), QDate(kLastDenominatorYear, 12, 31));
  interventionDate_->setDate(state_.clock().now().date());
  PlaceTw(interventionDate_, fieldLeft, 300, 2100, kLineHeight + 30);
  Named(PlaceLabel(frame, QStringLiteral("内容"), fieldsLeft, 810, 660, kLineHeight), "lblInterventionLabel");
  interventionLabel_ = Named(new QLineEdit(frame), "txtInterventionLabel");
  interventionLabel_->setMaxLength(100);
  PlaceTw(interventionLabel_, fieldLeft, 780, fieldWidth, kLineHeight + 30);
  KeepLineBoxStorable(interventionLabel_, StorableLineText, state_.prompts());

  const int buttonWidth = 1380;
  addInterventionButton_ = Named(
      PlaceButton(frame, QStringLiteral("追加"), fieldLeft, 1350, buttonWidth, kButtonHeight), "cmdAddIntervention");
  changeInterventionButton_ =
      Named(PlaceButton(frame, QStringLiteral("変更"), fieldLeft + buttonWidth + 120, 1350, buttonWidth, kButtonHeight),
            "cmdChangeIntervention");
  removeInterventionButton_ = Named(
      PlaceButton(frame, QStringLiteral("削除"), fieldLeft + 2 * (buttonWidth + 120), 1350, buttonWidth, kButtonHeight),
      "cmdRemoveIntervention");
  auto* hint =
      Named(PlaceLabel(frame,
                       QStringLiteral("一覧から選ぶと日付と内容がここに出ます。直して「変更」を押すと書き換わります。"),
                       fieldsLeft, 1860, kInnerWidth - fieldsLeft - 180, 2 * kLineHeight),
            "lblInterventionHint");
  hint->setWordWrap(true);
  connect(addInterventionButton_, &QPushButton::clicked, this, &DenominatorsWindow::addIntervention);
  connect(changeInterventionButton_, &QPushButton::clicked, this, &DenominatorsWindow::changeIntervention);
  connect(removeInterventionButton_, &QPushButton::clicked, this, &DenominatorsWindow::removeIntervention);
}

void DenominatorsWindow::buildButtons() {
  addYearButton_ = Named(PlaceButton(this, QString(), kLeft, kGridButtonsTop, 1500, kButtonHeight), "cmdAddYear");
  removeYearButton_ =
      Named(PlaceButton(this, QString(), kLeft + 1620, kGridButtonsTop, 1500, kButtonHeight), "cmdRemoveYear");
  exportButton_ = Named(PlaceButton(this, QStringLiteral("CSVファイル変換"), kClientWidth - kLeft - 2100,
                                    kGridButtonsTop, 2100, kButtonHeight),
                        "cmdExportCsv");
  importButton_ = Named(PlaceButton(this, QStringLiteral("CSVファイルから読み込み"),
                                    kClientWidth - kLeft - 2100 - 120 - 2700, kGridButtonsTop, 2700, kButtonHeight),
                        "cmdImportCsv");
  closeButton_ =
      Named(PlaceButton(this, QStringLiteral("戻る"), kClientWidth - kLeft - 1500, kCloseTop, 1500, kButtonHeight),
            "cmdClose");
  connect(addYearButton_, &QPushButton::clicked, this, &DenominatorsWindow::addYear);
  connect(removeYearButton_, &QPushButton::clicked, this, &DenominatorsWindow::removeYear);
  connect(importButton_, &QPushButton::clicked, this, &DenominatorsWindow::importCsv);
  connect(exportButton_, &QPushButton::clicked, this, &DenominatorsWindow::exportCsv);
  connect(closeButton_, &QPushButton::clicked, this, &DenominatorsWindow::reject);
}

bool DenominatorsWindow::writable() const { return state_.database.isOpen() && !state_.database.isReadOnly(); }

bool DenominatorsWindow::tell(const QString& text) {
  state_.prompts().message(text, kTitle, PromptIcon::Exclamation);
  return false;
}

void DenominatorsWindow::reload() {
  kind_ = ReadYearKind(state_.database);
  QString error;
  if (!LoadDenominators(state_.database, &denominators_, &error) ||
      !LoadInterventions(state_.database, &interventions_, &error))
    tell(DatabaseErrorText(state_.database.path(), error));
  showYearKind();
  fillGrid();
  fillInterventions();

  const bool canWrite = writable();
  for (QWidget* w : std::initializer_list<QWidget*>{fiscalOption_, calendarOption_, addYearButton_, removeYearButton_,
                                                    importButton_, addInterventionButton_, changeInterventionButton_,
                                                    removeInterventionButton_, interventionDate_, interventionLabel_})
    w->setEnabled(canWrite);
  grid_->setEditTriggers(canWrite ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                        QAbstractItemView::AnyKeyPressed
                                  : QAbstractItemView::NoEditTriggers);
  if (!state_.database.isOpen()) {
    note_->setText(QStringLiteral("データベースを開けなかったため、分母と介入は表示も登録もできません。"));
  } else if (state_.database.isReadOnly()) {
    note_->setText(state_.database.readOnlyReason() + QStringLiteral("、表示だけができます。"));
  } else {
    note_->setText(
        QStringLiteral("値を入力すると、その場で保存されます。値を消すと、その分母は登録されていない"
                       "ことになります。"));
  }
}

void DenominatorsWindow::showYearKind() {
  const QSignalBlocker quiet(yearKindGroup_);
  (kind_ == YearKind::Fiscal ? fiscalOption_ : calendarOption_)->setChecked(true);
  addYearButton_->setText(YearHeading(kind_) + QStringLiteral("を追加"));
  removeYearButton_->setText(YearHeading(kind_) + QStringLiteral("を削除"));
}

void DenominatorsWindow::fillGrid() {
  std::vector<int> years = denominators_.years();
  for (const int y : addedYears_)
    if (std::find(years.begin(), years.end(), y) == years.end()) years.push_back(y);
  std::sort(years.begin(), years.end());
  years_ = years;

  filling_ = true;
  grid_->setRowCount(static_cast<int>(years_.size()));
  for (int r = 0; r < grid_->rowCount(); ++r) {
    const int year = years_[static_cast<std::size_t>(r)];
    grid_->setVerticalHeaderItem(r, new QTableWidgetItem(YearLabel(year, kind_)));
    for (int c = 0; c < grid_->columnCount(); ++c) {
      const DenominatorColumn& column = columns_[static_cast<std::size_t>(c)];
      const std::optional<double> v = denominators_.value(year, column.kind, column.code);
      auto* item = new QTableWidgetItem(v ? DenominatorValueText(*v) : QString());
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid_->setItem(r, c, item);
    }
  }
  filling_ = false;
}

void DenominatorsWindow::fillInterventions() {
  const QSignalBlocker quiet(interventionList_);
  interventionList_->clearSelection();
  interventionList_->setRowCount(static_cast<int>(interventions_.size()));
  for (int r = 0; r < interventionList_->rowCount(); ++r) {
    const Intervention& i = interventions_[static_cast<std::size_t>(r)];
    interventionList_->setItem(r, 0, new QTableWidgetItem(i.date.toString(kDateFormat)));
    interventionList_->setItem(r, 1, new QTableWidgetItem(i.label));
  }
}

void DenominatorsWindow::onCellEdited(QTableWidgetItem* item) {
  if (filling_) return;
  const int r = item->row();
  const int c = item->column();
  if (r < 0 || c < 0 || r >= static_cast<int>(years_.size()) || c >= static_cast<int>(columns_.size())) return;
  const DenominatorColumn& column = columns_[static_cast<std::size_t>(c)];
  const DenominatorKey key{years_[static_cast<std::size_t>(r)], column.kind, column.code};
  const std::optional<double> before = denominators_.value(key);
  const auto show = [&](const std::optional<double>& v) {
    filling_ = true;
    item->setText(v ? DenominatorValueText(*v) : QString());
    filling_ = false;
  };
  std::optional<double> value;
  if (!item->text().trimmed().isEmpty()) {
    QString problem;
    value = ReadDenominatorValue(item->text(), &problem);
    if (!value) {
      show(before);
      tell(problem);
      return;
    }
  }
  if (value == before) {
    show(before);
    return;
  }
  QString error;
  const auto entry = state_.log.forNextChange({log_kind::kDenominator,
                                               0,
                                               QStringLiteral("分母を変更しました：%1 %2（コード番号%3） %4 → %5")
                                                   .arg(YearLabel(key.year, kind_), DenominatorKindCaption(key.kind))
                                                   .arg(key.code)
                                                   .arg(before ? QString::number(*before) : QStringLiteral("（空欄）"),
                                                        value ? QString::number(*value) : QStringLiteral("（空欄）")),
                                               {}});
  if (!StoreDenominator(state_.database, key, value, &error)) {
    show(before);
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  denominators_.set(key, value);
  if (std::find(addedYears_.begin(), addedYears_.end(), key.year) == addedYears_.end()) addedYears_.push_back(key.year);
  show(value);
}

void DenominatorsWindow::onYearKindClicked(int id) {
  const YearKind chosen = static_cast<YearKind>(id);
  if (chosen == kind_) return;
  if (!denominators_.empty()) {
    const QString question =
        QStringLiteral(
            "年の区切りを「%1」に変えます。\n登録済みの分母は、同じ数字の%2の値として扱われます"
            "（2024%3の値は2024%2の値になります）。\n変えてよろしいですか？")
            .arg(chosen == YearKind::Fiscal ? QStringLiteral("年度（4月～3月）") : QStringLiteral("暦年（1月～12月）"),
                 YearHeading(chosen), YearHeading(kind_));
    if (state_.prompts().message(question, kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) {
      showYearKind();
      return;
    }
  }
  QString error;
  if (!WriteYearKind(state_.database, chosen, &error)) {
    showYearKind();
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  kind_ = chosen;
  showYearKind();
  fillGrid();
}

void DenominatorsWindow::addYear() {
  const int suggested = years_.empty()
                            ? YearOfDate(state_.clock().now().date().year(), state_.clock().now().date().month(), kind_)
                            : years_.back() + 1;
  const std::optional<QString> typed =
      state_.prompts().input(QStringLiteral("追加する%1を入力してください（1900～2200）").arg(YearHeading(kind_)),
                             kTitle, QString::number(suggested));
  if (!typed) return;
  bool ok = false;
  const int year = typed->normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
  if (!ok || year < kFirstDenominatorYear || year > kLastDenominatorYear) {
    tell(QStringLiteral("%1は1900から2200までの整数で入力してください。").arg(YearHeading(kind_)));
    return;
  }
  if (std::find(addedYears_.begin(), addedYears_.end(), year) == addedYears_.end()) addedYears_.push_back(year);
  fillGrid();
  const auto at = std::find(years_.begin(), years_.end(), year);
  grid_->setCurrentCell(static_cast<int>(at - years_.begin()), 0);
  grid_->setFocus();
}

void DenominatorsWindow::removeYear() {
  const int r = grid_->currentRow();
  if (r < 0 || r >= static_cast<int>(years_.size())) {
    tell(QStringLiteral("削除する%1の行を選んでください。").arg(YearHeading(kind_)));
    return;
  }
  const int year = years_[static_cast<std::size_t>(r)];
  if (state_.prompts().message(QStringLiteral("%1の分母をすべて削除しますか？").arg(YearLabel(year, kind_)), kTitle,
                               PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  QString error;
  const auto entry = state_.log.forNextChange(
      {log_kind::kDenominator, 0, QStringLiteral("%1の分母をすべて削除しました").arg(YearLabel(year, kind_)), {}});
  if (!RemoveDenominatorYear(state_.database, year, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  addedYears_.erase(std::remove(addedYears_.begin(), addedYears_.end(), year), addedYears_.end());
  reload();
}

void DenominatorsWindow::importCsv() {
  Prompts& prompts = state_.prompts();
  const QString path =
      prompts.openFileName(QStringLiteral("CSVファイルから読み込み"), state_.paths.MyDocumentPath(), kCsvFilter);
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    tell(QStringLiteral("ファイル「%1」を読み込めませんでした。").arg(path));
    return;
  }
  // Never more than a denominators' file can hold is read into memory.
  const QByteArray bytes = file.read(kMaxDenominatorCsvBytes + 1);
  QString problem;
  const std::optional<DenominatorImport> read = ReadDenominatorCsv(bytes, state_.lists, kind_, &problem);
  if (!read) {
    tell(QStringLiteral("CSVファイルを読み込めませんでした。何も登録していません。\n") + problem);
    return;
  }
  Denominators stored;
  QString error;
  if (!LoadDenominators(state_.database, &stored, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error) + QStringLiteral("\n何も登録していません。"));
    return;
  }
  const DenominatorImportChanges changes = CompareDenominatorImport(*read, stored, state_.lists, kind_);
  if (!changes.any()) {
    prompts.message(QStringLiteral("CSVファイルの値は、登録されている値と同じです。何も変わりません。"), kTitle,
                    PromptIcon::Information);
    return;
  }
  if (prompts.message(DenominatorImportQuestion(changes), kTitle, PromptIcon::Question, PromptButtons::YesNo) !=
      PromptAnswer::Yes)
    return;
  const auto entry =
      state_.log.forNextChange({log_kind::kDenominator,
                                0,
                                QStringLiteral("分母をCSVファイルから登録しました（%1件）").arg(read->values.size()),
                                {}});
  if (!StoreDenominators(state_.database, read->values, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error) + QStringLiteral("\n何も登録していません。"));
    return;
  }
  for (const int y : read->years)
    if (std::find(addedYears_.begin(), addedYears_.end(), y) == addedYears_.end()) addedYears_.push_back(y);
  reload();
  prompts.message(QStringLiteral("%1%2分の分母を読み込みました。").arg(read->years.size()).arg(YearHeading(kind_)),
                  kTitle, PromptIcon::Information);
}

void DenominatorsWindow::exportCsv() {
  WriteCsvFileBytes(state_.prompts(), state_.paths, QStringLiteral("分母.csv"),
                    DenominatorCsvBytes(denominators_, state_.lists, kind_));
}

std::optional<std::size_t> DenominatorsWindow::chosenIntervention() const {
  const int r = interventionList_->currentRow();
  const QList<QTableWidgetItem*> chosen = interventionList_->selectedItems();
  if (chosen.isEmpty() || r < 0 || r >= static_cast<int>(interventions_.size())) return std::nullopt;
  return static_cast<std::size_t>(r);
}

void DenominatorsWindow::onInterventionChosen() {
  const std::optional<std::size_t> at = chosenIntervention();
  if (!at) return;
  interventionDate_->setDate(interventions_[*at].date);
  interventionLabel_->setText(interventions_[*at].label);
}

void DenominatorsWindow::addIntervention() {
  QString error;
  std::int64_t id = 0;
  const QDate date = interventionDate_->date();
  const QString label = interventionLabel_->text();
  if (const QString problem = InterventionProblem(date, label); !problem.isEmpty()) {
    tell(problem);
    return;
  }
  const auto entry =
      state_.log.forNextChange({log_kind::kIntervention,
                                0,
                                QStringLiteral("介入を追加しました：%1（%2）").arg(label, date.toString(kDateFormat)),
                                {}});
  if (!AddIntervention(state_.database, date, label, &id, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  reload();
  for (std::size_t i = 0; i < interventions_.size(); ++i)
    if (interventions_[i].id == id) interventionList_->selectRow(static_cast<int>(i));
}

void DenominatorsWindow::changeIntervention() {
  const std::optional<std::size_t> at = chosenIntervention();
  if (!at) {
    tell(QStringLiteral("変更する介入を一覧から選んでください。"));
    return;
  }
  const std::int64_t id = interventions_[*at].id;
  const QDate date = interventionDate_->date();
  const QString label = interventionLabel_->text();
  if (const QString problem = InterventionProblem(date, label); !problem.isEmpty()) {
    tell(problem);
    return;
  }
  QString error;
  const auto entry =
      state_.log.forNextChange({log_kind::kIntervention,
                                0,
                                QStringLiteral("介入を変更しました：%1（%2） → %3（%4）")
                                    .arg(interventions_[*at].label, interventions_[*at].date.toString(kDateFormat),
                                         label, date.toString(kDateFormat)),
                                {}});
  if (!ChangeIntervention(state_.database, id, date, label, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  reload();
  for (std::size_t i = 0; i < interventions_.size(); ++i)
    if (interventions_[i].id == id) interventionList_->selectRow(static_cast<int>(i));
}

void DenominatorsWindow::removeIntervention() {
  const std::optional<std::size_t> at = chosenIntervention();
  if (!at) {
    tell(QStringLiteral("削除する介入を一覧から選んでください。"));
    return;
  }
  const Intervention chosen = interventions_[*at];
  if (state_.prompts().message(
          QStringLiteral("介入「%1」（%2）を削除しますか？").arg(chosen.label, chosen.date.toString(kDateFormat)),
          kTitle, PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  QString error;
  const auto entry = state_.log.forNextChange(
      {log_kind::kIntervention,
       0,
       QStringLiteral("介入を削除しました：%1（%2）").arg(chosen.label, chosen.date.toString(kDateFormat)),
       {}});
  if (!RemoveIntervention(state_.database, chosen.id, &error)) {
    tell(DatabaseErrorText(state_.database.path(), error));
    return;
  }
  reload();
}

}  // namespace orvanta
