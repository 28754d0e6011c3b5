#pragma once

#include <QString>

namespace orvanta {

// The text without "," and "，": stored values never hold a comma.
QString RemoveCommas(const QString& text);

// What a box tells when it kept less than was typed or pasted into it: typed
// is the text before filtering, kept what the filter left, cut how many
// characters of that went beyond the box's maxLength. Names the commas (the
// files' separators), the line breaks, up to five characters that code page
// 932 cannot hold, and the characters cut; empty when nothing was left out.
QString LeftOutText(const QString& typed, const QString& kept, qsizetype cut, qsizetype maxLength);

}  // namespace orvanta
