#include "core/platform/text_filters.h"

#include <QStringList>

#include "core/platform/codepage.h"

namespace orvanta {

QString RemoveCommas(const QString& text) {
  QString out = text;
  out.remove(QLatin1Char(','));
  out.remove(QChar(0xFF0C));
  return out;
}

QString LeftOutText(const QString& typed, const QString& kept, qsizetype cut, qsizetype maxLength) {
  QStringList said;
  if (typed.size() != kept.size() || typed != kept) {
    bool commas = false;
    bool breaks = false;
    QStringList unstorable;
    const QString forms = cp932::ToCodePageForms(typed);
    for (qsizetype i = 0; i < forms.size(); ++i) {
      qsizetype n = forms.at(i).isHighSurrogate() && i + 1 < forms.size() ? 2 : 1;
      const QString c = forms.mid(i, n);
      i += n - 1;
      if (c == QStringLiteral(",") || c == QString(QChar(0xFF0C))) {
        commas = true;
      } else if (c == QStringLiteral("\n") || c == QStringLiteral("\r")) {
        breaks = true;
      } else if (!cp932::CanEncode(c) && !unstorable.contains(c) && unstorable.size() < 5) {
        unstorable << c;
      }
    }
    if (commas) said << QStringLiteral("カンマ（,）はファイルの区切りに使うため、入力できません。");
    if (breaks) said << QStringLiteral("この欄には改行を入力できません。");
    if (!unstorable.isEmpty()) {
      said << QStringLiteral("「%1」は保存できない文字のため、除きました。")
                  .arg(unstorable.join(QStringLiteral("」「")));
    }
  }
  if (cut > 0) {
    said << QStringLiteral("この欄に入るのは%L1文字までです。入りきらなかった%L2文字は除きました。")
                .arg(maxLength)
                .arg(cut);
  }
  return said.join(QLatin1Char('\n'));
}

}  // namespace orvanta
