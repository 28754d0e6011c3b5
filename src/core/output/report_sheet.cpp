#include "core/output/report_sheet.h"

#include <cmath>
#include <initializer_list>
#include <vector>

#include "core/output/print_job.h"
#include "core/output/surface.h"
#include "core/platform/print_progress.h"
#include "core/platform/prompts.h"
#include "core/reports/body_site_drawing.h"
#include "core/reports/body_sites.h"

namespace orvanta {
namespace {

// Lines of a block follow each other this far apart.
constexpr double kLine = 70;
// The question headings of the left and right column, and their answers.
constexpr double kLeftHeading = 150;
constexpr double kLeftAnswer = 200;
constexpr double kRightHeading = 1100;
constexpr double kRightAnswer = 1150;

using Texts = std::initializer_list<const char16_t*>;

void Text(Surface& s, double x, double y, const char16_t* text) {
  s.SetPosition(x, y);
  s.PrintText(QString::fromUtf16(text));
}

// Prints the texts one below the other at x from y on; answers the y of the
// line after the last.
double Lines(Surface& s, double x, double y, Texts texts) {
  for (const char16_t* text : texts) {
    Text(s, x, y, text);
    y += kLine;
  }
  return y;
}

// A question: its heading lines at the heading x, then its answers at the
// answer x.
double Question(Surface& s, double headingX, double answerX, double y, Texts heading, Texts answers) {
  return Lines(s, answerX, Lines(s, headingX, y, heading), answers);
}

// The patient table: its frame runs from x 1130 to 1970, and its texts stand
// 20 units inside it.
constexpr double kPatientTableLeft = 1130;
constexpr double kPatientTableRight = 1970;
constexpr double kPatientTableInset = kRightAnswer - kPatientTableLeft;

// The table's last row, "その他 (記載 … )": a bracket to write the other
// infection in, as wide as the row allows. Its blanks are taken away from the
// end, one at a time, until the closing bracket ends inside the table in the
// surface's face.
QString OtherInfectionRow(const Surface& s) {
  QString row = QStringLiteral(u"その他 (記載　　　　　　　　　　　 　　                              　)");
  const qsizetype firstBlank = row.indexOf(u'載') + 1;
  const double room = kPatientTableRight - kPatientTableInset - kRightAnswer;
  while (s.TextWidth(row) > room && row.size() - 1 > firstBlank) row.remove(row.size() - 2, 1);
  return row;
}

void Dotted(Surface& s) { s.SetLineStyle(LineStyle::Dotted); }
void Solid(Surface& s) { s.SetLineStyle(LineStyle::Solid); }

// The top-left header lines: the body that issues the form and the full name
// of the surveillance network, one word a line.
constexpr const char16_t* kIssuer[] = {
    u"発行　Orvanta 開発グループ", u"医療従事者", u"針刺し・切創事故", u"サーベイランス", u"ネットワーク",
};

// The body-site diagram with its site numbers, scaled into the rectangle with
// top-left corner (x, y), width and height in units of the form.
void BodySiteDiagram(Surface& s, double x, double y, double width, double height) {
  s.DrawPicture(BodySiteDrawingPath(), x, y, width, height);
  // Each site's number centred on its spot, its middle about half its size
  // below the text's top (a unit of the form is about 0.08 mm down).
  constexpr double kNumberSize = 5;
  constexpr double kSizeMm = kNumberSize * 25.4 / 72;
  constexpr double kHeight = kSizeMm / 0.08;
  // Neighbours on about the same height keep this much room between them.
  constexpr double kGap = 4;
  s.SetFontSize(kNumberSize);
  struct Number {
    QString text;
    double centreX, centreY, width;
  };
  std::vector<Number> numbers;
  for (int n = 1; n <= kSiteCount; ++n) {
    if (!IsDrawnSite(n)) continue;
    const QString text = QString::number(n);
    const QPoint spot = BodySiteSpot(n);
    numbers.push_back({text, x + spot.x() * width / kBodyDrawingWidth, y + spot.y() * height / kBodyDrawingHeight,
                       s.TextWidth(text)});
  }
  // Numbers whose spots are closer than their widths (the two halves of a
  // face, fingers side by side) move apart, each half the way, so that two
  // numbers never read as one.
  for (int pass = 0; pass < 4; ++pass) {
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      for (std::size_t j = i + 1; j < numbers.size(); ++j) {
        Number& a = numbers[i];
        Number& b = numbers[j];
        if (std::abs(a.centreY - b.centreY) >= kHeight) continue;
        const double overlap = (a.width + b.width) / 2 + kGap - std::abs(a.centreX - b.centreX);
        if (overlap <= 0) continue;
        const double push = (a.centreX <= b.centreX ? overlap : -overlap) / 2;
        a.centreX -= push;
        b.centreX += push;
      }
    }
  }
  for (const Number& n : numbers) {
    s.SetPosition(n.centreX - n.width / 2, n.centreY - kHeight * 0.55);
    s.PrintText(n.text);
  }
  s.SetFontSize(9);
}

}  // namespace

void SetReportSheetScale(Surface& s) {
  s.SetFontSize(8);
  s.SetScale(0, 0, 2000, 3700);
}

void DrawReportSheetPage1(Surface& s) {
  s.SetForeColor(Qt::black);
  s.SetLineWidth(1);
  Solid(s);

  // Header.
  s.SetFontSize(9);
  Text(s, 800, 40, u"Tonrix日本版-Japan Tonrix");
  Text(s, 1700, 80, u"A");
  s.SetFontSize(11);
  Text(s, 770, 120, u"A.針刺し・切創事故報告書");
  s.SetFontSize(8);
  Text(s, 920, 180, u"Version 3");
  s.SetFontSize(7);
  for (int i = 0; i < 5; ++i) {
    s.SetPosition(150, 40 + 30 * i);
    s.PrintText(QString::fromUtf16(kIssuer[i]));
  }
  s.SetFontSize(9);

  // Left column.
  Question(s, kLeftHeading, kLeftAnswer, 350, {u"1.報告者"},
           {u"職  員  番  号", u"氏         名", u"カ ル テ 番 号", u"所属勤務場所",
            u"経験年数(          年)　性別(男・女)　年齢(   　　  歳)", u"当該部署経験年数(           年)"});
  Question(s, kLeftHeading, kLeftAnswer, 910, {u"2.発生日時"},
           {u"西暦　　　　         年　 　      月　       　日", u"午前・午後　　　      時　　      　分"});
  Question(s, kLeftHeading, kLeftAnswer, 1190, {u"3.職種(1つだけチェック)"},
           {u"①□ 医師(常勤・非常勤)", u"②□ レジデント・研修医", u"③□ 医学生", u"④□ 看護婦", u"⑤□ 准看護婦",
            u"⑥□ 看護助手", u"⑦□ 看護学生", u"⑧□ 臨床検査技師", u"⑨□ 放射線技師", u"⑩□ 歯科医師", u"⑪□ 歯科衛生士",
            u"⑫□ 業務士(清掃・洗淀・破棄)", u"⑬□ 薬剤師", u"99□ その他(職業記載)"});
  Question(s, kLeftHeading, kLeftAnswer, 2310, {u"4.針刺し・切創事故発生場所(1つだけチェック)"},
           {u"①□ 病室", u"②□ 病室外(廊下、ナースステーション等)", u"③□ 救急部門", u"④□ 集中治療部(術後回復室を含む)",
            u"⑤□ 手術部", u"⑥□ 外来診察室(処置室)", u"⑦□ 輸血部", u"⑧□ 中央採血処置室", u"⑨□ 透析室",
            u"⑩□ 特殊検査処置室(放射線・内視鏡・筋電図等の検査室)", u"⑪□ 中央検査部", u"⑫□ 病理解剖", u"⑬□ 中央材料室",
            u"⑭□ 分娩室", u"⑮□ 在宅", u"99□ その他", u"(場所記載)"});

  // Right column.
  Question(s, kRightHeading, kRightAnswer, 350, {u"5.汚染源の患者が誰かわかっていますか？"},
           {u"①□ はい", u"②□ いいえ", u"③□ 適切な回答なし"});
  Text(s, 1200, 630, u"(患者への使用前)");
  Text(s, 1665, 670, u"▼");
  // The patient table, with the heads of its three result columns.
  const double otherRowY =
      Lines(s, kRightAnswer, 720,
            {u"患者カルテ番号", u"患 者 氏 名", u"患者の検査結果", u" HIV 感 染", u" HCV 感 染", u" HBV 感 染"});
  s.SetPosition(kRightAnswer, otherRowY);
  s.PrintText(OtherInfectionRow(s));
  Text(s, 1460, 860, u"陽性");
  Text(s, 1650, 860, u"陰性");
  Text(s, 1830, 860, u"未検査");
  Question(
      s, kRightHeading, kRightAnswer, 1280, {u"6.受傷者自身が原因器材を患者に使っているときの受傷でしたか?"},
      {u"①□ はい", u"①□ いいえ(介助、分解・洗浄・消毒、リキャップ、後片付け)", u"①□ 適切な回答内(患者への器材使用前)"});
  Question(s, kRightHeading, kRightAnswer, 1630, {u"7.器材は血液・体液などで汚染されていましたか?"},
           {u"①□ 見える程度の血液などが付いていた", u"②□ 事故前に血液などに接触したが、受傷時には",
            u"　　 見える程度の血液などは付いていなかった", u"③□ 血液などで汚染されていなかった", u"④□ わからない"});
  Question(s, kRightHeading, kRightAnswer, 2120,
           {u"8.原因器材はどのような目的で使用されていましたか?", u"　(1つだけチェック)"},
           {u"①□　不明", u"②□　注射器を用いた経皮的な注射(静・筋・皮下・皮内等)",
            u"③□　ヘパリン生食等でフラッシュ洗浄(注射器を用いて)", u"④□　静脈ラインのインジェクションサイト",
            u"　　　(ゴム管・ゴム栓)への側注又は採血", u"⑤□　静脈ラインの接続・増設", u"⑥□　血管確保",
            u"⑦-1□　静脈採血(直接穿刺)", u"⑦-2□　静脈採血(ルートからの採血)", u"⑧-1□　動脈採血(血液ガス)(直接穿刺)",
            u"⑧-2□　動脈採血(血液ガス)(ルートからの採血)", u"⑨□　体液・組織採取(試験穿刺、生検、ルンバール等)",
            u"⑩□　耳介・指・足底等の穿刺", u"⑪□　縫合", u"⑫□　外科的切開", u"⑬□　電気焼灼(電気メスの使用など)",
            u"99□　その他", u"　　　(記載)"});

  // Lines. The box around the title.
  s.DrawBox(780, 30, 1200, 100);
  // The patient table: a three-dot outline, one-dot rules; the label column,
  // and three result columns for the infection rows.
  s.SetLineWidth(3);
  s.DrawBox(kPatientTableLeft, 710, kPatientTableRight, 1200);
  s.SetLineWidth(1);
  for (const double y : {780, 850, 920, 990, 1060, 1130}) s.DrawLine(kPatientTableLeft, y, kPatientTableRight, y);
  s.DrawLine(1400, 710, 1400, 1130);
  s.DrawLine(1590, 850, 1590, 1130);
  s.DrawLine(1780, 850, 1780, 1130);

  // Write-in lines: staff number, name, chart number, department; the other
  // occupation, the other place, the other purpose.
  Dotted(s);
  for (const double y : {460, 530, 600, 670}) s.DrawLine(400, y, 900, y);
  s.DrawLine(500, 2210, 900, 2210);
  s.DrawLine(400, 3540, 900, 3540);
  s.DrawLine(1300, 3490, 1900, 3490);
  // The number box of the header, six cells.
  s.DrawBox(1690, 70, 1930, 150);
  for (const double x : {1730, 1770, 1810, 1850, 1890}) s.DrawLine(x, 70, x, 150);
  // From "はい" of question 5 down to the patient table.
  s.DrawLine(1300, 440, 1680, 440);
  s.DrawLine(1680, 440, 1680, 680);
  Solid(s);
}

void DrawReportSheetPage2(Surface& s) {
  s.SetForeColor(Qt::black);
  s.SetLineWidth(1);
  s.SetFontSize(9);

  // Left column.
  Question(s, kLeftHeading, kLeftAnswer, 120,
           {u"9.どのような過程(状況)で針刺し・切創事故が", u"　生じましたか?(1つだけチェック)"},
           {u"①□　器材を患者に使用する前",
            u"　　(既に壊れていた、器材の組立、静脈ラインの組立等",
            u"②□　器材を患者に使用中(患者の動作による受傷、",
            u"　　翼状針・点滴針等の抜き針時、及び患者の抑制介助時を含む)",
            u"③□　数段階の処置を実施する時に,その処置操作の合間",
            u"　　(数回の注射の間や薬剤の追加時、器材の受け渡し時等)",
            u"④□　器材の分解時",
            u"⑤□　再生可能な器材の再使用のための操作中",
            u"⑤　　(分類、洗浄、消毒、滅菌等)",
            u"⑥□　再生済みの注射針のリキャップ時",
            u"　　(血液ガス検体にゴム栓などを刺す時等を含む)",
            u"⑦□　ゴム管・ゴム栓(インジェクションサイト、試験管チューブ)",
            u"　　への注入及び抜針時(血液等の検体の分注処理を含む)",
            u"⑧□　器材の使用後で廃棄するまでの間(トレイ入れる、",
            u"　　後片付け、ベッド・テーブル・床等に放置してあった等)",
            u"⑨□　廃棄ボックスの上やその近くに放置してあった器材で",
            u"⑩□　廃棄ボックスに器材を入れる時",
            u"⑪□　廃棄後に廃棄ボックスの投入口からはみ出していた器材で",
            u"⑫□　廃棄ボックスの投入口以外の部位から突き出ていた器材で",
            u"⑬□　廃棄後ゴミ袋や不適切な容器から突き出ていた器材で",
            u"99□　その他",
            u"  記載"});
  Question(s, kLeftHeading, kLeftAnswer, 1870, {u"  10.針刺し・切創事故の原因となった器材は?"},
           {u"  (原因器材コード表を参照して番号を記載)：(　　　　)ゲージ",
            u"  その他(29、59、79)の場合は器材を記載してください", u"  記載"});
  Text(s, kLeftHeading, 2220, u"  11.針で事故が発生した場合、その針は安全装置のついて");
  Text(s, kLeftHeading, 2300, u"  　　いる針でしたか？");
  Lines(s, kLeftAnswer, 2370,
        {u"①□　はい→安全装置を作動させましたか？", u"①□　はい　　②□　いいえ", u"(製品名)", u"②□　いいえ"});
  Text(s, kLeftHeading, 2720, u"12.針刺し･切創部位を○で囲んでください");
  BodySiteDiagram(s, 100, 2800, 850, 650);

  // Right column.
  Question(s, kRightHeading, kRightAnswer, 120, {u"13.針刺し･切創事故の程度"},
           {u"1-1□　出血なし", u"1-2□　表在性(少量の出血)", u"②　中程度(皮膚の針刺し･切創、中等量の出血)",
            u"③　重傷(深い針刺し・切創、著しい出血)"});
  Question(
      s, kRightHeading, kRightAnswer, 540, {u"14.あなた自身はHBs抗体陽性ですか？"},
      {u"①□　はい(ワクチン接種による)", u"②□　はい(自然陽転あるいは既往疾患などによる)", u"③□　いいえ", u"④□　不明"});
  Question(s, kRightHeading, kRightAnswer, 960, {u"15.蘇生時などの緊急処置時の受傷でしたか?"},
           {u"①□　はい", u"②□　いいえ"});
  Question(s, kRightHeading, kRightAnswer, 1240,
           {u"16.針刺し・切創事故発生時の状況及び背景について、下記の", u"　　(1)～(6)を含め詳しく記載してください。"},
           {u"(1)　具体的な事故発生場所", u"　　　(階、病棟名、ナースステーション等)",
            u"(2)　事故発生時にどのような仕事、行為をしていたか?", u"(3)　事故を起こした器材または装置",
            u"(4)　どのようにして事故が発生したか?", u"(5)　事故に関連する特別な事情・状況・背景等"});
  Text(s, kRightAnswer, 1810, u"(6)　事故後の処置、対応");
  Lines(s, kRightHeading, 3140,
        {u"17.あなたはどのようにすればこの事故が防げたと思いま", u"   すか？簡単に記載してください。"});

  // Write-in lines: the other circumstance, the other device, the product
  // name; seventeen lines for question 16 and five for question 17.
  Dotted(s);
  s.DrawLine(300, 1770, 900, 1770);
  s.DrawLine(300, 2120, 900, 2120);
  s.DrawLine(330, 2550, 900, 2550);
  for (int n = 1; n <= 17; ++n) s.DrawLine(1150, 1890 + 70 * n, 1950, 1890 + 70 * n);
  for (int n = 1; n <= 5; ++n) s.DrawLine(1150, 3290 + 70 * n, 1950, 3290 + 70 * n);
  Solid(s);
}

void DrawDeviceCodeTable(Surface& s) {
  s.SetForeColor(Qt::black);
  s.SetLineWidth(1);
  Solid(s);
  s.SetFontSize(11);
  Text(s, 770, 120, u"針刺し・切創事故原因器材コード表");
  s.SetFontSize(8);
  Text(s, 920, 180, u"Version 3");

  // The three groups, each under its heading in a box. An entry's
  // continuation lines stand 30 units further right.
  s.SetFontSize(9);
  Text(s, 250, 550, u"針");
  s.DrawBox(150, 540, 900, 620);
  Text(s, 1200, 550, u"手術器材およびその他の鋭利な器材");
  s.DrawBox(1100, 540, 1900, 620);
  Text(s, 250, 2370, u"ガラス製器材");
  s.DrawBox(150, 2360, 900, 2440);

  struct Entry {
    const char16_t* text;
    bool continued = false;
  };
  const auto group = [&s](double x, double y, std::initializer_list<Entry> entries) {
    for (const Entry& e : entries) {
      Text(s, e.continued ? x + 30 : x, y, e.text);
      y += kLine;
    }
  };
  group(150, 690,
        {{u"1.使い捨ての注射針"},
         {u"(普通の注射針、ツ反、インスリン用注射器等)", true},
         {u"2.最初から薬剤の充填されている注射器の針"},
         {u"(ペン式インスリン用注射器等)", true},
         {u"3.血液ガス採取に用いた注射器の針"},
         {u"4.その他、あるいは種類のわからない注射器の針"},
         {u"(ガラス製注射器も含む)", true},
         {u"5.点滴ラインの接続・増設等に用いる針"},
         {u"6.翼状針及び点滴セットと一体となった翼状針"},
         {u"7.静脈留置針"},
         {u"(静脈カテーテル、サーフロー、エラスター、", true},
         {u"アンジオカット等)", true},
         {u"8.真空採血セットの針"},
         {u"9.ルンバール針又は硬膜外針"},
         {u"10.何にも接続されていない注射針"},
         {u"11.動脈カテーテル誘導針"},
         {u"12.中心静脈カテーテル誘導針"},
         {u"13.鼓膜カテーテル針"},
         {u"14.その他の血管用カテーテル(心臓カテーテル等)"},
         {u"15.その他の非血管用カテーテル(眼科用等)"},
         {u"28.分類不能な針"},
         {u"29.その他の針(報告書に記載してください)"}});
  group(150, 2510,
        {{u"60.薬剤アンプル"},
         {u"61.薬剤バイアル"},
         {u"62.点滴液瓶あるいは大きな薬液瓶"},
         {u"63.ガラス製ピペット"},
         {u"64.ガラス製の真空採血管"},
         {u"65.試験管。検体容器"},
         {u"66.ガラスの毛細管"},
         {u"67.ガラススライド"},
         {u"78.種類のわからないガラス製品"},
         {u"79.その他のガラス製品"},
         {u"(報告書に詳しく記載してください)", true}});
  group(1100, 690,
        {{u"30.ランセット(耳介・指・足底からの穿刺採血用)"},
         {u"31.縫合針"},
         {u"32.再生使用する外科用メス(替え刃を含む)"},
         {u"33.剃刀、刃"},
         {u"34.プラスチック製ピペット"},
         {u"35.はさみ"},
         {u"36.電気メス"},
         {u"37.骨きりメス"},
         {u"38.骨片"},
         {u"39.布鉗子"},
         {u"40.マイクロトームの刃"},
         {u"41.トロッカー(套管針)"},
         {u"42.プラスチック製の吸引チューブ"},
         {u"43.プラスチック製の検体容器・試験管"},
         {u"44.指の爪・歯"},
         {u"45.ディスポーザブル外科用メス"},
         {u"46.レトラクター、スキンフック、ボーンフック"},
         {u"47.ステープル／金属縫合糸"},
         {u"48.ワイヤ"},
         {u"49.ピン"},
         {u"50.ドリルピット"},
         {u"51.摂子、鉗子類"},
         {u"58.種類のわからない鋭利器材"},
         {u"59.その他(報告書に記載してください)"}});
}

PrintResult PrintReportSheet(Prompts& prompts) {
  return RunPrint(
      prompts,
      PrintSetup{.landscape = false, .orientationMessage = kPortraitMessage, .what = QStringLiteral("報告書の用紙")},
      [&prompts](Surface& s, PrintProgress& progress) {
        SetReportSheetScale(s);
        DrawReportSheetPage1(s);
        if (!PageFinished(s, progress, 1)) return false;
        s.NewPage();
        DrawReportSheetPage2(s);
        if (!PageFinished(s, progress, 2)) return false;
        // The question waits for the user: no hourglass over it.
        prompts.setBusy(false);
        const bool codeTable = prompts.message(QStringLiteral("原因器材コード表も印刷しますか"), QStringLiteral("印刷"),
                                               PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
        prompts.setBusy(true);
        if (!codeTable) return true;
        s.NewPage();
        DrawDeviceCodeTable(s);
        return PageFinished(s, progress, 3);
      });
}

}  // namespace orvanta
