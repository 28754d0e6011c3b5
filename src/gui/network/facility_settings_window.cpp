#include "gui/network/facility_settings_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/app/app_state.h"
#include "core/network/network_settings.h"
#include "core/network/submission_format.h"
#include "core/platform/prompts.h"
#include "core/reports/report_editing.h"
#include "core/store/database.h"
#include "gui/widgets/busy_pointer.h"
#include "gui/widgets/layout_helpers.h"
#include "gui/widgets/storable_text.h"

namespace orvanta {
namespace {

// Places and sizes, in twips.
constexpr int kClientWidth = 8400;
constexpr int kClientHeight = 2900;
constexpr int kLeft = 240;
constexpr int kBoxLeft = 1500;
constexpr int kBoxWidth = kClientWidth - kBoxLeft - kLeft;
constexpr int kLineHeight = 330;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;

const QString kTitle = QStringLiteral("施設の設定");

}  // namespace

FacilitySettingsWindow::FacilitySettingsWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmFacility"));
  ResetBusyPointerOnActivation(this, state_.prompts());
  setWindowTitle(kTitle);
  setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

  PlaceLabel(this, QStringLiteral("施設コード"), kLeft, 285, kBoxLeft - kLeft, kLineHeight);
  codeBox_ = Named(new QLineEdit(this), "txtFacilityCode");
  PlaceTw(codeBox_, kBoxLeft, 240, 1500, kLineHeight);
  codeBox_->setMaxLength(submission::kFacilityCodeMaxLength);
  codeBox_->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
  codeBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
  Named(PlaceLabel(this, QStringLiteral("ネットワークから割り当てられたコード（半角の英字と数字 1～8 文字）"),
                   kBoxLeft + 1620, 285, kClientWidth - kBoxLeft - 1620 - kLeft, 2 * kLineHeight),
        "lblCodeNote")
      ->setWordWrap(true);

  PlaceLabel(this, QStringLiteral("施設名"), kLeft, 1005, kBoxLeft - kLeft, kLineHeight);
  nameBox_ = Named(new QLineEdit(this), "txtFacilityName");
  PlaceTw(nameBox_, kBoxLeft, 960, kBoxWidth, kLineHeight);
  nameBox_->setMaxLength(kFacilityNameMaxLength);
  KeepLineBoxStorable(nameBox_, StorableLineText, state_.prompts());
  Named(PlaceLabel(this, QStringLiteral("施設名はこのコンピュータの中だけで使い、提出用ファイルには書きません。"),
                   kBoxLeft, 1350, kBoxWidth, 2 * kLineHeight),
        "lblNameNote")
      ->setWordWrap(true);

  const int buttonsTop = kClientHeight - kButtonHeight - 180;
  okButton_ = Named(PlaceButton(this, QStringLiteral("OK"), kClientWidth - 2 * kButtonWidth - kLeft - 120, buttonsTop,
                                kButtonWidth, kButtonHeight),
                    "cmdOK");
  cancelButton_ = Named(PlaceButton(this, QStringLiteral("キャンセル"), kClientWidth - kButtonWidth - kLeft, buttonsTop,
                                    kButtonWidth, kButtonHeight),
                        "cmdCancel");
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &FacilitySettingsWindow::store);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  const NetworkSettings settings = ReadNetworkSettings(state_.database);
  codeBox_->setText(settings.facilityCode);
  nameBox_->setText(settings.facilityName);
  const bool writable = state_.database.isOpen() && !state_.database.isReadOnly();
  codeBox_->setReadOnly(!writable);
  nameBox_->setReadOnly(!writable);
  okButton_->setEnabled(writable);
}

void FacilitySettingsWindow::store() {
  const NetworkSettings settings{codeBox_->text().trimmed(), nameBox_->text().trimmed()};
  if (const QString problem = NetworkSettingsProblem(settings); !problem.isEmpty()) {
    state_.prompts().message(problem, kTitle, PromptIcon::Exclamation);
    codeBox_->setFocus();
    return;
  }
  QString error;
  if (!WriteNetworkSettings(state_.database, settings, &error)) {
    state_.prompts().message(DatabaseErrorText(state_.database.path(), error), kTitle, PromptIcon::Critical);
    return;
  }
  accept();
}

}  // namespace orvanta
