#pragma once
// One incident report and the fields of the report form it holds.

#include <QString>
#include <array>
#include <cstdint>

namespace orvanta {

struct ReportRecord {
  std::int32_t ReportId = 0;                 // input-order number; 0 marks an empty slot
  std::array<QString, 11> Texts;             // single-line answers
  std::array<QString, 6> Notes;              // multi-line answers, stored form (see note_text.h)
  std::array<QString, 6> OtherTexts;         // "その他の場合" texts and the product name
  std::array<std::int32_t, 21> AnswerIds{};  // ids of the chosen code-list entries
  std::array<std::int32_t, 11> Choices{};    // option answers: option number + 1, 0 = none
  std::array<std::int32_t, 3> Years{};
  std::array<std::int32_t, 3> Months{};
  std::array<std::int32_t, 3> Days{};
  std::array<std::int32_t, 3> Hours{};
  std::array<std::int32_t, 3> Minutes{};
  std::array<std::int16_t, 81> Sites{};  // slot n - 1 marks body site n

  friend bool operator==(const ReportRecord&, const ReportRecord&) = default;
};

// Slots of Texts.
enum TextSlot : int {
  kRecordNumber = 0,         // カルテ番号
  kOtherInfection = 1,       // 5 その他 (another infection)
  kExperienceYears = 2,      // 経験年数
  kAge = 3,                  // 年齢
  kPatientRecordNumber = 4,  // 患者カルテ番号
  kReporterName = 5,         // 氏名
  kPatientName = 6,          // 患者氏名
  kStaffNumber = 7,          // 職員番号
  kDepartmentYears = 8,      // 当該部署経験年数
};

inline constexpr int kSiteCount = 65;  // numbered body sites 1 to 65
inline constexpr int kSiteSlots = 81;
inline constexpr int kFileCapacity = 1000;  // reports per data file
inline constexpr int kMaxFileNo = 1000;     // data files 0 to 1000

}  // namespace orvanta
