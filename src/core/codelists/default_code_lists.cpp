#include <cstddef>
#include <iterator>

#include "core/codelists/code_lists.h"

// The answers of the report form, as the lists start out: name and code of
// each entry in display order. Ids run on from the list's first id.

namespace orvanta {
namespace {

struct DefaultEntry {
  const char16_t* name;
  const char16_t* code;
};

// Occupations.
constexpr DefaultEntry kOccupationEntries[] = {
    {u"医師(常勤・非常勤)", u"1"},
    {u"レジデント・研修医", u"2"},
    {u"医学生", u"3"},
    {u"正看護婦", u"4"},
    {u"准看護婦", u"5"},
    {u"看護助手", u"6"},
    {u"看護学生", u"7"},
    {u"臨床検査技師", u"8"},
    {u"放射線技師", u"9"},
    {u"歯科医師", u"10"},
    {u"歯科衛生士", u"11"},
    {u"業務士(清掃・洗濯・廃業）", u"12"},
    {u"薬剤師", u"13"},
    {u"その他", u"99"},
};

// Places of the incident.
constexpr DefaultEntry kPlaceEntries[] = {
    {u"病室(集中治療室を除く)", u"1"},
    {u"病室外(廊下、ナースステーション等)", u"2"},
    {u"救急部門", u"3"},
    {u"集中治療部(術後回復室を含む)", u"4"},
    {u"手術部", u"5"},
    {u"外来診察室(処置室)", u"6"},
    {u"輸血部", u"7"},
    {u"中央採血処置室", u"8"},
    {u"透析室", u"9"},
    {u"特殊検査処置室(放射線・内視鏡・筋電図等の検査室)", u"10"},
    {u"中央検査部", u"11"},
    {u"病理解剖", u"12"},
    {u"中央材料室", u"13"},
    {u"分娩室", u"14"},
    {u"在宅", u"15"},
    {u"その他", u"99"},
};

// Purposes of the device.
constexpr DefaultEntry kPurposeEntries[] = {
    {u"不明", u"1"},
    {u"注射器を用いた経皮的な注射(静・筋・皮下・皮内等)", u"2"},
    {u"ヘパリン生食等でフラッシュ洗浄(注射器を用いて)", u"3"},
    {u"静脈ラインのインジェクションサイト(ゴム管・ゴム栓)への側注又は採血", u"4"},
    {u"静脈ラインの接続・増設", u"5"},
    {u"血管確保", u"6"},
    {u"静脈採血(直接穿刺)", u"7-1"},
    {u"静脈採血(ルートからの採血)", u"7-2"},
    {u"動脈採血(血液ガス)(直接穿刺)", u"8-1"},
    {u"動脈採血(血液ガス)(ルートからの採血)", u"8-2"},
    {u"体液・組織採取(試験穿刺、生検、ルンパール等)", u"9"},
    {u"耳介・指・足底等の穿刺", u"10"},
    {u"縫合", u"11"},
    {u"外科的切開", u"12"},
    {u"電気焼灼(電気メスの使用など)", u"13"},
    {u"その他", u"99"},
};

// Circumstances.
constexpr DefaultEntry kCircumstanceEntries[] = {
    {u"器材を患者に使用する前(既に壊れていた、器材の組立、静脈ラインの組立等)", u"1"},
    {u"器材を患者に使用中(患者の動作による受傷、翼状針、点滴針等の抜針時、及び患者の抑制介護時を含む)", u"2"},
    {u"数段階の処置を実施する時に、その処置操作の合間(数回の注射の間や薬剤の追加時、器材の受け渡し時等)", u"3"},
    {u"器材の分解時", u"4"},
    {u"再生可能な器材の再使用のための操作中(分類、洗浄、消毒、滅菌等)", u"5"},
    {u"再生済み注射器のリキャップ時(血液ガス検体にゴム栓などを刺す時等を含む)", u"6"},
    {u"ゴム管・ゴム栓(インジェクションサイト、試験管チューブ)への注入及び抜針時(血液等の検体の分注処理を含む)", u"7"},
    {u"器材の使用後で廃棄するまでの間(トレイに入れる、後片付け、ベッド・テーブル・床等に放置してあった等)", u"8"},
    {u"廃棄ボックスの上やその近くに放置してあった器材で", u"9"},
    {u"廃棄ボックスに器材を入れる時", u"10"},
    {u"廃棄後に廃棄ボックスの投入口からはみ出していた器材で", u"11"},
    {u"廃棄ボックスの投入口以外の部位から突き出ていた器材で", u"12"},
    {u"廃棄後ごみ袋や不適切な容器から突き出ていた器材で", u"13"},
    {u"その他", u"99"},
};

// Causing devices (codes of the device code table, in four runs: 1-15, 28-51, 58-67, 78-79).
constexpr DefaultEntry kDeviceEntries[] = {
    {u"使い捨て注射器の針(普通の注射器、インスリン用注射器等)", u"1"},
    {u"最初から薬剤の充填されている注射器の針(ペン式インスリン用注射器等)", u"2"},
    {u"血液ガス採取に用いた注射器の針", u"3"},
    {u"その他、あるいは種類のわからない注射器の針(ガラス製注射器も含む)", u"4"},
    {u"点滴ラインの接続・増設等に用いる針", u"5"},
    {u"翼状針及び点滴セットと一体となった翼状針", u"6"},
    {u"静脈留置針(静脈カテーテル、サーフロー、エラスター、アンジオカット等)", u"7"},
    {u"真空採血セットの針", u"8"},
    {u"ルンバール針又は硬膜外針", u"9"},
    {u"何にも接続されていない注射針", u"10"},
    {u"動脈カテーテル誘導針", u"11"},
    {u"中心動脈カテーテル誘導針", u"12"},
    {u"鼓膜カテーテル針", u"13"},
    {u"その他の血管用カテーテル(心臓カテーテル等)", u"14"},
    {u"その他の非血管用カテーテル(眼科用等)", u"15"},
    {u"分類不能な針", u"28"},
    {u"その他の針", u"29"},
    {u"ランセット(耳介・指・足底からの穿刺採血用)", u"30"},
    {u"縫合針", u"31"},
    {u"再生使用する外科用メス(替え刃を含む)", u"32"},
    {u"剃刀、刃", u"33"},
    {u"プラスチック製ピペット", u"34"},
    {u"はさみ", u"35"},
    {u"電気メス", u"36"},
    {u"骨切りメス", u"37"},
    {u"骨片", u"38"},
    {u"布鉗子", u"39"},
    {u"マイクロトームの刃", u"40"},
    {u"トロッカー(套管針)", u"41"},
    {u"プラスチック製の吸引チューブ", u"42"},
    {u"プラスチック製の検体容器・試験管", u"43"},
    {u"指の爪、歯", u"44"},
    {u"ディスポーザブル外科用メス", u"45"},
    {u"レトラクター、スキンフック、ボーンフック", u"46"},
    {u"ステープル/金属縫合針", u"47"},
    {u"ワイヤ", u"48"},
    {u"ピン", u"49"},
    {u"ドリルピット", u"50"},
    {u"摂子、鉗子類", u"51"},
    {u"種類のわからない鋭利器材", u"58"},
    {u"その他", u"59"},
    {u"薬剤アンプル", u"60"},
    {u"薬剤バイアル", u"61"},
    {u"点滴液瓶あるいは大きな薬液瓶", u"62"},
    {u"ガラス製ピペット", u"63"},
    {u"ガラス製の真空採血管", u"64"},
    {u"試験管・検体容器", u"65"},
    {u"ガラスの毛細管", u"66"},
    {u"ガラススライド", u"67"},
    {u"種類のわからないガラス製品", u"78"},
    {u"その他のガラス製品", u"79"},
};

// Severity.
constexpr DefaultEntry kSeverityEntries[] = {
    {u"出血なし", u"1-1"},
    {u"表在性(少量の出血)", u"1-2"},
    {u"中程度(皮膚の針刺し・切創、中等量の出血)", u"2"},
    {u"重症(深い針刺し・切創、著しい出血)", u"3"},
};

// Answers to question 6.
constexpr DefaultEntry kQuestion6Entries[] = {
    {u"はい", u"1"},
    {u"いいえ(介助、分解･洗浄･消毒、リキャップ、後片付け)", u"2"},
    {u"適切な回答内(患者への器材使用前)", u"3"},
};

// Answers to question 7.
constexpr DefaultEntry kQuestion7Entries[] = {
    {u"見える程度の血液などがついていた", u"1"},
    {u"事故前に血液などに接触したが受傷時には見える程度の血液などは付いていなかった", u"2"},
    {u"血液などで汚染されていなかった", u"3"},
    {u"わからない", u"4"},
};

// Departments of the reporter (code of position p is p + 1).
constexpr const char16_t* kDepartmentNames[] = {
    u"内科部",
    u"消化器科部",
    u"精神科部",
    u"神経内科部",
    u"呼吸器科部",
    u"循環器科部",
    u"小児科部",
    u"外科部",
    u"整形外科部",
    u"形成外科部",
    u"脳神経外科部",
    u"心臓血管外科部",
    u"小児外科部",
    u"皮膚科部",
    u"泌尿器科部",
    u"産婦人科部",
    u"眼科部",
    u"耳鼻咽喉科部",
    u"リハビリテーション部",
    u"放射線科部",
    u"麻酔科部",
    u"歯科(口腔外科)部",
    u"事務部",
    u"検査部",
    u"薬剤部",
    u"看護部",
    u"NICU",
    u"救命救急センター",
    u"ICU･CCU",
    u"2-5",
    u"手術室",
    u"中央材料室",
    u"人工透析室",
    u"中央処置室",
    u"健診課",
    u"訪問看護ST",
    u"外来",
    u"内視鏡センター",
};

// Types of action.
constexpr DefaultEntry kActionTypeEntries[] = {
    {u"手術時", u"1"}, {u"リキャップ", u"2"},  {u"針廃棄時", u"3"}, {u"採血時", u"4"},
    {u"注射時", u"5"}, {u"放置針", u"6"},      {u"創処置時", u"7"}, {u"IVH", u"8"},
    {u"留置針", u"9"}, {u"ミキシング", u"10"}, {u"その他", u"99"},
};

template <std::size_t N>
void SetList(CodeList& list, const DefaultEntry (&entries)[N], std::int32_t firstId) {
  list.entries.clear();
  list.entries.reserve(static_cast<qsizetype>(N));
  for (std::size_t p = 0; p < N; ++p) {
    list.entries.append(CodeEntry{QString::fromUtf16(entries[p].name), QString::fromUtf16(entries[p].code),
                                  firstId + static_cast<std::int32_t>(p)});
  }
}

}  // namespace

void SetDefaultCodeLists(CodeLists& lists) {
  SetList(lists[kOccupations], kOccupationEntries, 1);
  SetList(lists[kPlaces], kPlaceEntries, 51);
  SetList(lists[kPurposes], kPurposeEntries, 101);
  SetList(lists[kCircumstances], kCircumstanceEntries, 150);
  SetList(lists[kDevices], kDeviceEntries, 201);
  SetList(lists[kSeverities], kSeverityEntries, 301);
  SetList(lists[kQuestion6Answers], kQuestion6Entries, 321);
  SetList(lists[kQuestion7Answers], kQuestion7Entries, 341);
  {
    CodeList& departments = lists[kDepartments];
    departments.entries.clear();
    departments.entries.reserve(static_cast<qsizetype>(std::size(kDepartmentNames)));
    for (std::size_t p = 0; p < std::size(kDepartmentNames); ++p) {
      const auto position = static_cast<std::int32_t>(p);
      departments.entries.append(
          CodeEntry{QString::fromUtf16(kDepartmentNames[p]), QString::number(position + 1), 401 + position});
    }
  }
  SetList(lists[kActionTypes], kActionTypeEntries, 451);
  // List 10 has no defaults and is left as it is.
}

}  // namespace orvanta
